#include "ui/CalendarFrame.h"

#include "CalendarClub.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "app/MainWindowLogic.h"
#include "session/SingleInstance.h"
#include "ui/MainWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

namespace {

class CalendarFrameTest : public CalendarClub {};

TEST_F(CalendarFrameTest, TheMonthShowsItsEventsAndADoubleClickedDayItsBookings) {
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

} // namespace
