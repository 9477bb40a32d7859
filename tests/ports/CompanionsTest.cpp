#include "ports/Companions.h"

#include "ClubFixture.h"
#include "ports/CompanionFiles.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// The help, the manual, the help texts and the pictures the companion
// programs show.
class CompanionsTest : public ClubFixture {
protected:
    Companions &companions() { return module->companions; }
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

TEST_F(CompanionsTest, ManualIsShownOrNoHelpIsLeft) {
    QStringList opened;
    auto opener = [&opened](bool works) {
        return [&opened, works](const QString &file) {
            opened << file;
            return works;
        };
    };
    const QStringList arguments{u"manual-MORAVEL.pdf"_s};

    EXPECT_FALSE(files().showManual(arguments, opener(true)));
    EXPECT_EQ(clipboard.content, u"NOHELP"_s);
    EXPECT_TRUE(opened.isEmpty());

    write(u"manual-MORAVEL.pdf"_s, "%PDF-1.4");
    clipboard.clear();
    EXPECT_TRUE(files().showManual(arguments, opener(true)));
    EXPECT_EQ(opened, QStringList{path(u"manual-MORAVEL.pdf"_s)});
    EXPECT_TRUE(clipboard.content.isEmpty());

    // A viewer that fails counts as no manual; a path elsewhere means the club's file.
    EXPECT_FALSE(files().showManual(arguments, opener(false)));
    EXPECT_EQ(clipboard.content, u"NOHELP"_s);
    EXPECT_EQ(files().manualPath({u"..\\other\\manual-MORAVEL.pdf"_s}),
              path(u"manual-MORAVEL.pdf"_s));
}

TEST_F(CompanionsTest, HelpTextsAreEditableOnlyFromTheSecondThreshold) {
    module->session.AccessThresholds = {0, 10, 20, 30};
    write(u"evnt-2.txt"_s, "Items window\r\nAdd --> adds the item.\r\n");

    module->session.UserLevel = 19;
    auto help = files().readHelpText({u"evnt-2.txt"_s});
    ASSERT_TRUE(help.ok());
    EXPECT_TRUE(help->exists);
    EXPECT_FALSE(help->editable);
    EXPECT_EQ(help->text, u"Items window\nAdd --> adds the item.\n"_s);
    EXPECT_FALSE(files().saveHelpText(*help, u"changed"_s).ok());
    EXPECT_EQ(read(u"evnt-2.txt"_s), "Items window\r\nAdd --> adds the item.\r\n");

    // At the threshold the text is saved with the line ends it had.
    module->session.UserLevel = 20;
    help = files().readHelpText({u"evnt-2.txt"_s});
    ASSERT_TRUE(help.ok());
    EXPECT_TRUE(help->editable);
    ASSERT_TRUE(files().saveHelpText(*help, u"Items\nTotals\n"_s).ok());
    EXPECT_EQ(read(u"evnt-2.txt"_s), "Items\r\nTotals\r\n");

    // A missing text is empty and can be written; an 8-bit text is read as Latin-1.
    help = files().readHelpText({u"evnt-3.txt"_s});
    ASSERT_TRUE(help.ok());
    EXPECT_FALSE(help->exists);
    EXPECT_TRUE(help->text.isEmpty());
    ASSERT_TRUE(files().saveHelpText(*help, u"Caf\u00e9\n"_s).ok());
    EXPECT_EQ(read(u"evnt-3.txt"_s), "Caf\xc3\xa9\n");
    write(u"evnt-1.txt"_s, "Caf\xe9 menu\n");
    help = files().readHelpText({u"evnt-1.txt"_s});
    ASSERT_TRUE(help.ok());
    EXPECT_EQ(help->text, u"Caf\u00e9 menu\n"_s);

    // A failed write is reported and leaves nothing behind.
    HelpText nowhere = *help;
    nowhere.path = QDir(club).filePath(u"no-such-folder/evnt-1.txt"_s);
    const Status failed = files().saveHelpText(nowhere, u"lost"_s);
    ASSERT_FALSE(failed.ok());
    EXPECT_FALSE(failed.error().description.isEmpty());
    EXPECT_EQ(read(u"evnt-1.txt"_s), "Caf\xe9 menu\n");
}

TEST_F(CompanionsTest, PicturesAreFoundFromTheSuitesPaths) {
    write(u"screen.bmp"_s, "BM");
    const QString screen = QFileInfo(path(u"screen.bmp"_s)).absoluteFilePath();
    EXPECT_EQ(files().picturePath(screen), screen);
    EXPECT_EQ(files().picturePath(u"C:\\Brevant\\screen.bmp"_s), screen);
    EXPECT_EQ(files().picturePath(QDir::toNativeSeparators(club) + u"\\screen.bmp"_s), screen);
    EXPECT_EQ(files().picturePath(u"screen.bmp"_s), screen);
    EXPECT_TRUE(files().picturePath(u"missing.bmp"_s).isEmpty());
    EXPECT_TRUE(files().picturePath(QString()).isEmpty());
}

TEST_F(CompanionsTest, HelpShowsTheManualOrFallsBackToTheWindowsHelpText) {
    // No manual viewer: the help text of the window straight away.
    companions().Help(2);
    EXPECT_EQ(programs.started, QStringList{u"vrnedit.exe evnt-2.txt"_s});

    // A viewer that shows the manual: nothing more.
    programs.started.clear();
    programs.available << u"vrnohelp.exe"_s;
    clipboard.content = u"left over"_s;
    companions().Help(1);
    EXPECT_EQ(programs.started, QStringList{u"vrnohelp.exe manual-MORAVEL.pdf"_s});
    EXPECT_EQ(programs.states.last(), Programs::WindowState::Maximized);
    EXPECT_EQ(clipboard.content, QString()) << "the clipboard is cleared before asking";

    // A viewer that cannot show the manual says so on the clipboard: the help text follows.
    programs.started.clear();
    programs.onStart = [&](const QString &program) {
        if (program == u"vrnohelp.exe"_s)
            clipboard.content = u"NOHELP"_s;
    };
    companions().Help(3);
    EXPECT_EQ(programs.started,
              (QStringList{u"vrnohelp.exe manual-MORAVEL.pdf"_s, u"vrnedit.exe evnt-3.txt"_s}));
}

TEST_F(CompanionsTest, InfoLineNamesTheOperatorProgramAndVersion) {
    module->session.UserName = u"DEMO"_s;
    module->session.SysUser = 4;
    const QString line = companions().infoLine();
    EXPECT_TRUE(line.startsWith(u"DEMO@"_s));
    EXPECT_TRUE(line.endsWith(u" 21.12.28a     SysUser: 4"_s));
    companions().Info();
    EXPECT_EQ(programs.waited, QStringList{u"quelvi32.exe "_s + line});
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
