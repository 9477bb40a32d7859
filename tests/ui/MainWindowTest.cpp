#include "ui/MainWindow.h"

#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "app/MainWindowLogic.h"
#include "session/SingleInstance.h"
#include "ui/EventPanels.h"
#include "ui/SavedNoticeWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class MainWindowTest : public ClubFixture {};

TEST_F(MainWindowTest, OpensWithTheDemoClubAndClosesCleanly) {
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

namespace {

class DemoMainWindowTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

// The demo club as a newcomer opens it on 6 December 2026.
TEST_F(DemoMainWindowTest, TheMonthSheetIsFullAndADayOpensOnItsBookings) {
    ShownWindow shown(*module, club, QStringLiteral("view-test"));
    ASSERT_TRUE(shown.show());
    MainWindowLogic &logic = shown.logic;
    MainWindow &window = shown.window;

    // December 2026 starts on a Tuesday: the 16th is cell 17.
    auto *sixteenth = window.findChild<QPlainTextEdit *>(QStringLiteral("cal(17)"));
    ASSERT_NE(sixteenth, nullptr);
    EXPECT_TRUE(sixteenth->toPlainText().startsWith(QStringLiteral("16           * 2 events *")))
        << sixteenth->toPlainText().toStdString();
    EXPECT_TRUE(
        sixteenth->toPlainText().contains(QStringLiteral("Halvorsen Engineering Holiday Party")));
    int filled = 0;
    for (int cell = 0; cell < 42; ++cell) {
        auto *day = window.findChild<QPlainTextEdit *>(QStringLiteral("cal(%1)").arg(cell));
        filled += day->isVisible() && day->toPlainText().contains(QLatin1Char('*')) ? 1 : 0;
    }
    EXPECT_GE(filled, 8) << "a month alive with bookings";

    QTest::mouseDClick(sixteenth->viewport(), Qt::LeftButton);
    auto *grid = window.findChild<QTableView *>(QStringLiteral("gridres"));
    ASSERT_TRUE(waitFor([&] { return grid->isVisible(); }));
    QAbstractItemModel *model = grid->model();
    EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Grand Ballroom"));
    int evening = 0;
    while (evening < model->rowCount() &&
           logic.calendar.grid.time(evening) != QStringLiteral("18:30"))
        ++evening;
    ASSERT_LT(evening, model->rowCount());
    EXPECT_EQ(model->index(evening, 3).data().toString(),
              QStringLiteral("Halvorsen Engineering Holiday Party"));
    EXPECT_EQ(model->index(evening - 1, 3).data().toString(), QString()) << "booked from 18:30";

    grid->scrollTo(model->index(evening, 3));
    const QPoint slot = grid->visualRect(model->index(evening, 3)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, slot);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, slot);
    EXPECT_EQ(window.findChild<QLineEdit *>(QStringLiteral("Text1(1)"))->text(),
              QStringLiteral("Halvorsen Engineering Holiday Party"));
    EXPECT_EQ(window.findChild<QLineEdit *>(QStringLiteral("Text1(3)"))->text(),
              QStringLiteral("18:30"));
    EXPECT_TRUE(window.findChild<QWidget *>(QStringLiteral("frabilling"))->isVisible());
    EXPECT_EQ(window.findChild<QComboBox *>(QStringLiteral("cbostatus"))->currentText(),
              QStringLiteral("4-Confirmed w/Count"));
    EXPECT_TRUE(prompts.messages.isEmpty());
    logic.QueryUnloadMainWindow();
}

} // namespace
