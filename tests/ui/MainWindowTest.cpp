#include "ui/MainWindow.h"

#include "ClubFixture.h"
#include "WaitFor.h"
#include "app/MainWindowLogic.h"
#include "session/SingleInstance.h"
#include "ui/EventPanels.h"
#include "ui/SavedNoticeWindow.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

namespace {

class MainWindowTest : public ClubFixture {};

// The names, captions and limits the logic gives reach the widgets, and
// Exit closes the window through the logic's own close.
TEST_F(MainWindowTest, OpensWithTheLogicsNamesAndLimitsAndClosesCleanly) {
    exec(
        QStringLiteral("evnt"),
        QStringLiteral(
            "insert into location (roomnum, room, capacity, subdiv) values (1, 'Terrace', 80, 0)"));
    exec(QStringLiteral("user"), QStringLiteral("update staff set location = 'Events'"));
    SingleInstance instance(club, QStringLiteral("view-test"));
    MainWindowLogic logic(*module);
    auto *window = new MainWindow(logic);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<MainWindow> alive(window);
    ASSERT_EQ(logic.StartMainWindow(QStringLiteral("ZQJ99DEMO"), instance),
              MainWindowLogic::Outcome::Started);
    window->show();
    ASSERT_TRUE(waitFor([&] { return window->isVisible(); }));

    EXPECT_EQ(window->windowTitle(), QStringLiteral("DEMO @ Moravel"));
    EXPECT_EQ(window->objectName(), QStringLiteral("frmbanq0"));
    auto *save = window->findChild<QPushButton *>(QStringLiteral("cmd(7)"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), QStringLiteral("&Save"));
    EXPECT_FALSE(save->isEnabled());
    auto *title = window->findChild<QLineEdit *>(QStringLiteral("Text1(1)"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->maxLength(), 50);
    EXPECT_FALSE(title->toolTip().isEmpty());
    EXPECT_TRUE(window->menuCommand(QStringLiteral("mnupurgecalendar"))->isVisible());
    EXPECT_EQ(window->findChild<QListWidget *>(QStringLiteral("List1"))->count(), 1);
    EXPECT_EQ(window->findChild<QComboBox *>(QStringLiteral("cboroom"))->count(), 2);
    EXPECT_EQ(window->findChild<QComboBox *>(QStringLiteral("cbostatus"))->count(), 6);
    for (int column = 0; column < EventFieldCount; ++column)
        EXPECT_NE(window->findChild<QWidget *>(QStringLiteral("Text1(%1)").arg(column)), nullptr)
            << column;

    window->findChild<QPushButton *>(QStringLiteral("cmdexit"))->click();
    ASSERT_TRUE(waitFor([&] { return alive.isNull(); }));
    EXPECT_EQ(scalar(QStringLiteral("user"),
                     QStringLiteral("select location from staff where username = 'DEMO'"))
                  .toString(),
              QStringLiteral("Startup"));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST(SavedNoticeView, ShowsOnTopAndClosesItselfEachTime) {
    for (int save = 0; save < 2; ++save) {
        QPointer<SavedNoticeWindow> notice = SavedNoticeWindow::ShowSavedNotice();
        ASSERT_TRUE(notice);
        EXPECT_TRUE(notice->isVisible());
        EXPECT_TRUE(notice->windowFlags() & Qt::WindowStaysOnTopHint);
        ASSERT_TRUE(waitFor([&] { return notice.isNull(); }))
            << "the notice closes and deletes itself";
    }
}

} // namespace
