#include "ports/Companions.h"

#include "ClubFixture.h"
#include "ports/CompanionFiles.h"

using namespace Qt::StringLiterals;

namespace {

// The help, the manual, the help texts and the pictures the companion
// programs show.
class CompanionsTest : public ClubFixture {
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

TEST_F(CompanionsTest, ManualPicturesAndHelpTextsAreTheClubsFiles) {
    QStringList opened;
    bool works = true;
    const auto open = [&](const QString &file) {
        opened << file;
        return works;
    };
    const QStringList arguments{u"manual-MORAVEL.pdf"_s};
    EXPECT_FALSE(files().showManual(arguments, open));
    EXPECT_EQ(clipboard.content, u"NOHELP"_s);
    EXPECT_TRUE(opened.isEmpty());

    write(u"manual-MORAVEL.pdf"_s, "%PDF-1.4");
    clipboard.clear();
    EXPECT_TRUE(files().showManual(arguments, open));
    EXPECT_EQ(opened, QStringList{path(u"manual-MORAVEL.pdf"_s)});
    EXPECT_TRUE(clipboard.content.isEmpty());

    // A viewer that fails counts as no manual; a path elsewhere means the club's file.
    works = false;
    EXPECT_FALSE(files().showManual(arguments, open));
    EXPECT_EQ(clipboard.content, u"NOHELP"_s);
    EXPECT_EQ(files().manualPath({u"..\\other\\manual-MORAVEL.pdf"_s}),
              path(u"manual-MORAVEL.pdf"_s));

    // Pictures are found from the suite's paths.
    write(u"screen.bmp"_s, "BM");
    const QString screen = QFileInfo(path(u"screen.bmp"_s)).absoluteFilePath();
    for (const QString &given : {screen, u"C:\\Brevant\\screen.bmp"_s, u"screen.bmp"_s,
                                 QDir::toNativeSeparators(club) + u"\\screen.bmp"_s})
        EXPECT_EQ(files().picturePath(given), screen) << given.toStdString();
    EXPECT_TRUE(files().picturePath(u"missing.bmp"_s).isEmpty());
    EXPECT_TRUE(files().picturePath(QString()).isEmpty());

    // Help texts keep their line ends; old ones read as Latin-1. Who may edit them, and their
    // viewer, are the view tests' (CompanionsTest in ui).
    module->session.AccessThresholds = {0, 10, 20, 30};
    module->session.UserLevel = 19;
    write(u"evnt-2.txt"_s, "Items window\r\nAdd --> adds the item.\r\n");
    auto help = files().readHelpText({u"evnt-2.txt"_s});
    EXPECT_EQ(help->text, u"Items window\nAdd --> adds the item.\n"_s);
    EXPECT_FALSE(files().saveHelpText(*help, u"changed"_s).ok()) << "below the second threshold";
    module->session.UserLevel = 20;
    help = files().readHelpText({u"evnt-2.txt"_s});
    ASSERT_TRUE(files().saveHelpText(*help, u"Items\nTotals\n"_s).ok());
    EXPECT_EQ(read(u"evnt-2.txt"_s), "Items\r\nTotals\r\n");

    // New texts are written as UTF-8.
    ASSERT_TRUE(files().saveHelpText(*files().readHelpText({u"evnt-3.txt"_s}), u"Caf\u00e9\n"_s));
    EXPECT_EQ(read(u"evnt-3.txt"_s), "Caf\xc3\xa9\n");
    write(u"evnt-1.txt"_s, "Caf\xe9 menu\n");
    help = files().readHelpText({u"evnt-1.txt"_s});
    EXPECT_EQ(help->text, u"Caf\u00e9 menu\n"_s);

    // A failed write is reported and leaves nothing behind.
    help->path = QDir(club).filePath(u"no-such-folder/evnt-1.txt"_s);
    const Status failed = files().saveHelpText(*help, u"lost"_s);
    ASSERT_FALSE(failed.ok());
    EXPECT_FALSE(failed.error().description.isEmpty());
    EXPECT_EQ(read(u"evnt-1.txt"_s), "Caf\xe9 menu\n");
}

TEST_F(CompanionsTest, HelpShowsTheManualOrFallsBackToTheWindowsHelpTextAndInfoNamesTheVersion) {
    module->companions.Help(2); // no manual viewer: the help text straight away
    EXPECT_EQ(programs.started, QStringList{u"vrnedit.exe evnt-2.txt"_s});

    // A viewer that shows the manual: nothing more.
    programs.started.clear();
    programs.available << u"vrnohelp.exe"_s;
    clipboard.content = u"left over"_s;
    module->companions.Help(1);
    EXPECT_EQ(programs.started, QStringList{u"vrnohelp.exe manual-MORAVEL.pdf"_s});
    EXPECT_EQ(programs.states.last(), Programs::WindowState::Maximized);
    EXPECT_EQ(clipboard.content, QString()) << "the clipboard is cleared before asking";

    // A viewer that cannot show the manual says so on the clipboard.
    programs.started.clear();
    programs.onStart = [&](const QString &) {
        clipboard.content = u"NOHELP"_s;
    };
    module->companions.Help(3);
    EXPECT_EQ(programs.started,
              (QStringList{u"vrnohelp.exe manual-MORAVEL.pdf"_s, u"vrnedit.exe evnt-3.txt"_s}));

    // The information box names the operator, the program and its version.
    module->session.UserName = u"DEMO"_s;
    module->session.SysUser = 4;
    const QString line = module->companions.infoLine();
    EXPECT_TRUE(line.startsWith(u"DEMO@"_s));
    EXPECT_TRUE(line.endsWith(u" 21.12.28a     SysUser: 4"_s));
    module->companions.Info();
    EXPECT_EQ(programs.waited, QStringList{u"quelvi32.exe "_s + line});
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
