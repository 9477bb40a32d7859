#include "ports/Companions.h"

#include "ClubFixture.h"

namespace {

class CompanionsTest : public ClubFixture {
protected:
    Companions &companions() { return module->companions; }
};

TEST_F(CompanionsTest, HelpShowsTheManualOrFallsBackToTheWindowsHelpText) {
    // No manual viewer: the help text of the window straight away.
    companions().Help(2);
    EXPECT_EQ(programs.started, QStringList{QStringLiteral("vrnedit.exe evnt-2.txt")});

    // A viewer that shows the manual: nothing more.
    programs.started.clear();
    programs.available << QStringLiteral("vrnohelp.exe");
    clipboard.content = QStringLiteral("left over");
    companions().Help(1);
    EXPECT_EQ(programs.started, QStringList{QStringLiteral("vrnohelp.exe manual-MORAVEL.pdf")});
    EXPECT_EQ(programs.states.last(), Programs::WindowState::Maximized);
    EXPECT_EQ(clipboard.content, QString()) << "the clipboard is cleared before asking";
}

TEST_F(CompanionsTest, AViewerAnsweringNoHelpLeadsToTheHelpText) {
    // A viewer that cannot show the manual says so on the clipboard.
    struct NoManual final : Programs {
        explicit NoManual(FakeClipboard &clipboard)
            : clipboard(clipboard) {}
        bool exists(const QString &) const override { return true; }
        bool start(const QString &program, const QStringList &arguments, WindowState) override {
            started << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
            if (program == QLatin1String("vrnohelp.exe"))
                clipboard.content = QStringLiteral("NOHELP");
            return true;
        }
        int runAndWait(const QString &, const QStringList &, const QString &) override { return 0; }
        FakeClipboard &clipboard;
        QStringList started;
    } viewer(clipboard);
    Module withViewer(settings(), Ports{prompts, clipboard, viewer, clock, keys, printer, screen});
    withViewer.companions.Help(3);
    EXPECT_EQ(viewer.started, (QStringList{QStringLiteral("vrnohelp.exe manual-MORAVEL.pdf"),
                                           QStringLiteral("vrnedit.exe evnt-3.txt")}));
}

TEST_F(CompanionsTest, InfoLineNamesTheOperatorProgramAndVersion) {
    module->session.UserName = QStringLiteral("DEMO");
    module->session.SysUser = 4;
    const QString line = companions().infoLine();
    EXPECT_TRUE(line.startsWith(QStringLiteral("DEMO@")));
    EXPECT_TRUE(line.endsWith(QStringLiteral(" 21.12.28a     SysUser: 4")));
    companions().Info();
    EXPECT_EQ(programs.waited, QStringList{QStringLiteral("quelvi32.exe ") + line});
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
