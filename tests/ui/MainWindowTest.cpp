#include "ui/MainWindow.h"

#include "CalendarClub.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "app/MainWindowLogic.h"
#include "session/SingleInstance.h"
#include "ui/CalendarFrame.h"
#include "ui/EventPanels.h"
#include "ui/QtKeySender.h"
#include "ui/SavedNoticeWindow.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

namespace {

// The main window over a club of the test's making.
class MainWindowTest : public CalendarClub {};

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

TEST_F(MainWindowTest, TheMonthShowsItsEventsAndADoubleClickedDayItsBookings) {
    const QDate today = clock.today();
    addRoom(QStringLiteral("Terrace"), 80);
    addRoom(QStringLiteral("Library"), 20);
    fillYear(today.year());
    const int date = today.year() * 10000 + today.month() * 100 + 15;
    addEvent(41, date, QStringLiteral("Smith Wedding"), QStringLiteral("10:00"),
             QStringLiteral("12:00"), 3, 2);
    addEvent(42, date, QStringLiteral("Book Club"), QStringLiteral("08:00"),
             QStringLiteral("09:00"), 2, 1);

    ShownWindow shown(*module, club, QStringLiteral("calendar-view-test"));
    ASSERT_TRUE(shown.show());
    MainWindowLogic &logic = shown.logic;
    MainWindow &window = shown.window;

    const auto *frame = window.findChild<CalendarFrame *>(QStringLiteral("frareservations"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("Label2(5)"))->text(),
              QStringLiteral("Sunday"));
    EXPECT_EQ(window.findChild<QLineEdit *>(QStringLiteral("Text2(1)"))->text(),
              MonthSheet::monthText(today.month()));
    const int first = QDate(today.year(), today.month(), 1).dayOfWeek() % 7;
    QPlainTextEdit *fifteenth =
        window.findChild<QPlainTextEdit *>(QStringLiteral("cal(%1)").arg(first + 14));
    ASSERT_NE(fifteenth, nullptr);
    EXPECT_EQ(fifteenth->toPlainText(),
              QStringLiteral("15           * 2 events *\nBook Club\nSmith Wedding"));
    EXPECT_TRUE(fifteenth->isVisible());
    QPlainTextEdit *todays =
        window.findChild<QPlainTextEdit *>(QStringLiteral("cal(%1)").arg(first + today.day() - 1));
    EXPECT_EQ(todays->palette().color(QPalette::Base), QColor(224, 224, 224));

    QTest::mouseClick(fifteenth->viewport(), Qt::LeftButton);
    EXPECT_EQ(fifteenth->palette().color(QPalette::Base), QColor(255, 255, 128));
    QTest::mouseDClick(fifteenth->viewport(), Qt::LeftButton);

    auto *grid = window.findChild<QTableView *>(QStringLiteral("gridres"));
    ASSERT_TRUE(waitFor([&] { return grid->isVisible(); }));
    EXPECT_FALSE(fifteenth->isVisible());
    EXPECT_TRUE(window.findChild<QRadioButton *>(QStringLiteral("optviewmode(1)"))->isChecked());
    EXPECT_EQ(window.findChild<QLineEdit *>(QStringLiteral("Text2(2)"))->text(),
              logic.calendar.grid.club().dateNumber(date));
    QAbstractItemModel *model = grid->model();
    EXPECT_EQ(model->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Library"));
    EXPECT_EQ(model->headerData(5, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("2 - Library  -  cap:20"));
    EXPECT_TRUE(grid->isColumnHidden(4)) << "event numbers show in the help line";
    int tenOClock = 0;
    while (logic.calendar.grid.time(tenOClock) != QStringLiteral("10:00"))
        ++tenOClock;
    EXPECT_EQ(model->index(tenOClock, 5).data().toString(), QStringLiteral("Smith Wedding"));
    EXPECT_EQ(model->index(tenOClock, 3).data().toString(), QString());
    EXPECT_EQ(model->index(tenOClock - 8, 3).data().toString(), QStringLiteral("Book Club"));

    QList<int> requested;
    QObject::connect(&logic, &MainWindowLogic::eventRequested,
                     [&](int number) { requested << number; });
    grid->scrollTo(model->index(tenOClock, 5));
    const QRect slot = grid->visualRect(model->index(tenOClock, 5));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, slot.center());
    EXPECT_EQ(logic.window.helpwindow, QStringLiteral("Event # 41 - Smith Wedding"));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, slot.center());
    EXPECT_EQ(requested, QList<int>{41});
    // The event opens in the event panels in place of the calendar.
    EXPECT_EQ(window.findChild<QLineEdit *>(QStringLiteral("Text1(1)"))->text(),
              QStringLiteral("Smith Wedding"));
    EXPECT_TRUE(window.findChild<QComboBox *>(QStringLiteral("cbostatus"))
                    ->currentText()
                    .startsWith(QStringLiteral("3-")));
    EXPECT_TRUE(window.findChild<QWidget *>(QStringLiteral("frabilling"))->isVisible());
    EXPECT_TRUE(waitFor([&] { return !frame->isVisible(); }));

    window.button(EventCommand::Calendar)->click(); // Calendar: this month's sheet again
    EXPECT_TRUE(waitFor([&] { return fifteenth->isVisible(); }));
    EXPECT_FALSE(grid->isVisible());
    EXPECT_TRUE(prompts.messages.isEmpty());
    window.close();
}

TEST_F(MainWindowTest, AddingARoomThroughThePanelUpdatesEveryRoomList) {
    ShownWindow shown(*module, club, QStringLiteral("panel-test"));
    ASSERT_TRUE(shown.show());
    MainWindow &window = shown.window;

    window.menuCommand(QStringLiteral("mnuaddroom"))->trigger();
    auto *panel = window.findChild<QWidget *>(QStringLiteral("fralocation"));
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(waitFor([&] { return panel->isVisible(); }));
    auto *name = window.findChild<QLineEdit *>(QStringLiteral("Text3(0)"));
    auto *capacity = window.findChild<QLineEdit *>(QStringLiteral("Text3(1)"));
    QTest::qWait(50); // focus changes arrive as events
    EXPECT_EQ(name->text(), QStringLiteral("(room name here)")) << "the hint stays until the "
                                                                   "operator enters the box";
    auto *help = window.findChild<QPlainTextEdit *>(QStringLiteral("helpwindow"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->toPlainText().startsWith(QStringLiteral("To add a room")));

    name->setFocus();
    ASSERT_TRUE(waitFor([&] { return name->text().isEmpty(); })) << "entering clears the hint";
    QTest::keyClicks(name, QStringLiteral("Terrace Pavilion"));
    QTest::keyClicks(capacity, QStringLiteral("90"));
    window.findChild<QPushButton *>(QStringLiteral("cmdroom(0)"))->click();

    EXPECT_EQ(window.findChild<QListWidget *>(QStringLiteral("List2"))->count(), 1);
    EXPECT_EQ(window.findChild<QListWidget *>(QStringLiteral("List1"))->item(0)->text(),
              QStringLiteral("1 - Terrace Pavilion  -  cap:90"));
    EXPECT_EQ(window.findChild<QComboBox *>(QStringLiteral("cboroom"))->count(), 2);
    EXPECT_EQ(name->text(), QString());
    EXPECT_EQ(help->toPlainText(),
              QStringLiteral("Room successfully added to reservations table."));

    window.findChild<QPushButton *>(QStringLiteral("cmdroom(1)"))->click();
    EXPECT_TRUE(waitFor([&] { return !panel->isVisible(); }));
    EXPECT_TRUE(prompts.messages.isEmpty());
    window.close();
}

TEST(KeySender, TabMovesTheFocusAndCharactersAreTyped) {
    QWidget form;
    auto *first = new QLineEdit(&form);
    auto *second = new QLineEdit(&form);
    first->move(0, 0);
    second->move(0, 40);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    first->setFocus();
    ASSERT_TRUE(waitFor([&] { return first->hasFocus(); }));

    QtKeySender keys;
    keys.SendKeyText(QStringLiteral("aB{+}é"));
    EXPECT_EQ(first->text(), QStringLiteral("aB+é"));
    keys.SendKeyText(QStringLiteral("{Tab}"));
    EXPECT_TRUE(second->hasFocus());
    keys.SendKeyText(QStringLiteral("+{TAB}"));
    EXPECT_TRUE(first->hasFocus());
    keys.SendKeyText(QStringLiteral("{END}{BS 2}")); // focus by Tab selects the text
    EXPECT_EQ(first->text(), QStringLiteral("aB"));
}

} // namespace
