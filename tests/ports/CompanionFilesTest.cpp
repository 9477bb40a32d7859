#include "ports/CompanionFiles.h"

#include "ClubFixture.h"

#include <QFile>

namespace {

class CompanionFilesTest : public ClubFixture {
protected:
    CompanionFiles files() { return CompanionFiles(club, module->session, clipboard); }

    void write(const QString &name, const QByteArray &bytes) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const QString &name) {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(CompanionFilesTest, ManualIsShownOrNoHelpIsLeft) {
    QStringList opened;
    auto opener = [&opened](bool works) {
        return [&opened, works](const QString &file) {
            opened << file;
            return works;
        };
    };
    const QStringList arguments{QStringLiteral("manual-MORAVEL.pdf")};

    EXPECT_FALSE(files().showManual(arguments, opener(true)));
    EXPECT_EQ(clipboard.content, QStringLiteral("NOHELP"));
    EXPECT_TRUE(opened.isEmpty());

    write(QStringLiteral("manual-MORAVEL.pdf"), "%PDF-1.4");
    clipboard.clear();
    EXPECT_TRUE(files().showManual(arguments, opener(true)));
    EXPECT_EQ(opened, QStringList{path(QStringLiteral("manual-MORAVEL.pdf"))});
    EXPECT_TRUE(clipboard.content.isEmpty());

    // A viewer that fails counts as no manual; a path elsewhere means the club's file.
    EXPECT_FALSE(files().showManual(arguments, opener(false)));
    EXPECT_EQ(clipboard.content, QStringLiteral("NOHELP"));
    EXPECT_EQ(files().manualPath({QStringLiteral("..\\other\\manual-MORAVEL.pdf")}),
              path(QStringLiteral("manual-MORAVEL.pdf")));
}

TEST_F(CompanionFilesTest, HelpTextsAreEditableOnlyFromTheSecondThreshold) {
    module->session.AccessThresholds = {0, 10, 20, 30};
    write(QStringLiteral("evnt-2.txt"), "Items window\r\nAdd --> adds the item.\r\n");

    module->session.UserLevel = 19;
    auto help = files().readHelpText({QStringLiteral("evnt-2.txt")});
    ASSERT_TRUE(help.ok());
    EXPECT_TRUE(help->exists);
    EXPECT_FALSE(help->editable);
    EXPECT_EQ(help->text, QStringLiteral("Items window\nAdd --> adds the item.\n"));
    EXPECT_FALSE(files().saveHelpText(*help, QStringLiteral("changed")).ok());
    EXPECT_EQ(read(QStringLiteral("evnt-2.txt")), "Items window\r\nAdd --> adds the item.\r\n");

    // At the threshold the text is saved with the line ends it had.
    module->session.UserLevel = 20;
    help = files().readHelpText({QStringLiteral("evnt-2.txt")});
    ASSERT_TRUE(help.ok());
    EXPECT_TRUE(help->editable);
    ASSERT_TRUE(files().saveHelpText(*help, QStringLiteral("Items\nTotals\n")).ok());
    EXPECT_EQ(read(QStringLiteral("evnt-2.txt")), "Items\r\nTotals\r\n");

    // A missing text is empty and can be written; an 8-bit text is read as Latin-1.
    help = files().readHelpText({QStringLiteral("evnt-3.txt")});
    ASSERT_TRUE(help.ok());
    EXPECT_FALSE(help->exists);
    EXPECT_TRUE(help->text.isEmpty());
    ASSERT_TRUE(files().saveHelpText(*help, QStringLiteral("Caf\u00e9\n")).ok());
    EXPECT_EQ(read(QStringLiteral("evnt-3.txt")), "Caf\xc3\xa9\n");
    write(QStringLiteral("evnt-1.txt"), "Caf\xe9 menu\n");
    help = files().readHelpText({QStringLiteral("evnt-1.txt")});
    ASSERT_TRUE(help.ok());
    EXPECT_EQ(help->text, QStringLiteral("Caf\u00e9 menu\n"));

    // A failed write is reported and leaves nothing behind.
    HelpText nowhere = *help;
    nowhere.path = QDir(club).filePath(QStringLiteral("no-such-folder/evnt-1.txt"));
    const Status failed = files().saveHelpText(nowhere, QStringLiteral("lost"));
    ASSERT_FALSE(failed.ok());
    EXPECT_FALSE(failed.error().description.isEmpty());
    EXPECT_EQ(read(QStringLiteral("evnt-1.txt")), "Caf\xe9 menu\n");
}

TEST_F(CompanionFilesTest, PicturesAreFoundFromTheSuitesPaths) {
    write(QStringLiteral("screen.bmp"), "BM");
    const QString screen = QFileInfo(path(QStringLiteral("screen.bmp"))).absoluteFilePath();
    EXPECT_EQ(files().picturePath(screen), screen);
    EXPECT_EQ(files().picturePath(QStringLiteral("C:\\Brevant\\screen.bmp")), screen);
    EXPECT_EQ(files().picturePath(QDir::toNativeSeparators(club) + QStringLiteral("\\screen.bmp")),
              screen);
    EXPECT_EQ(files().picturePath(QStringLiteral("screen.bmp")), screen);
    EXPECT_TRUE(files().picturePath(QStringLiteral("missing.bmp")).isEmpty());
    EXPECT_TRUE(files().picturePath(QString()).isEmpty());
}

} // namespace
