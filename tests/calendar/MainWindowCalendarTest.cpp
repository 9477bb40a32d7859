#include "CalendarClub.h"
#include "RunningWindow.h"

namespace {

// The calendar as the main window holds it: started with the window,
// brought back by the Calendar button, following the rooms.
class MainWindowCalendarTest : public CalendarClub {
protected:
    void SetUp() override {
        CalendarClub::SetUp();
        clock.current = QDateTime(QDate(2025, 3, 14), QTime(9, 30));
        addRoom(QStringLiteral("Terrace"), 80);
        fillYear(2025);
        window.start(*module, club, QStringLiteral("calendar-test"));
        logic = window.logic.get();
    }
    void TearDown() override {
        window.stop();
        CalendarClub::TearDown();
    }
    int cellOfDay(int day) const {
        for (int i = 0; i < MonthSheet::CellCount; ++i) {
            if (logic->calendar.dayOfCell(i) == day)
                return i;
        }
        return -1;
    }

    RunningWindow window;
    MainWindowLogic *logic = nullptr;
};

TEST_F(MainWindowCalendarTest, StartShowsTodaysMonthAndClosingStopsTheTimer) {
    MonthSheet &calendar = logic->calendar;
    EXPECT_EQ(calendar.dateBoxes[MonthSheet::MonthBox], QStringLiteral("03  Mar"));
    EXPECT_EQ(calendar.cells[cellOfDay(14)].backColor, CellColor::Today);
    EXPECT_TRUE(calendar.redrawTimer.isActive());
    logic->QueryUnloadMainWindow();
    EXPECT_FALSE(calendar.redrawTimer.isActive());
}

TEST_F(MainWindowCalendarTest, TheCalendarButtonBringsBackTodaysMonthUnfiltered) {
    MonthSheet &calendar = logic->calendar;
    calendar.OpenDay(cellOfDay(20));
    calendar.chooseTimeFilter(calendar.timeFilter.entries[3]);
    calendar.chooseRoomFilter(calendar.roomFilter.entries[1]);
    calendar.MoveMonthOrYear(MonthSheet::YearForward);
    logic->window.billingVisible = true;
    addEvent(5, 20250317, QStringLiteral("Breakfast"), QStringLiteral("07:00"),
             QStringLiteral("09:00"));

    logic->CalendarCommand();
    EXPECT_TRUE(logic->window.reservationsVisible);
    EXPECT_FALSE(logic->window.billingVisible);
    EXPECT_EQ(calendar.dateBoxes[MonthSheet::YearBox], QStringLiteral("2025"));
    EXPECT_EQ(calendar.timeFilter.text, QStringLiteral("Show All Times"));
    EXPECT_EQ(calendar.roomFilter.text, QStringLiteral("Show All Rooms"));
    EXPECT_TRUE(calendar.calendarVisible());
    EXPECT_TRUE(calendar.cells[cellOfDay(17)].text.endsWith(QStringLiteral("\r\nBreakfast")));
}

TEST_F(MainWindowCalendarTest, TheEventSideRedrawsAndOpensEventsThroughTheWindow) {
    QList<int> requested;
    QObject::connect(logic, &MainWindowLogic::eventRequested,
                     [&](int number) { requested << number; });
    MonthSheet &calendar = logic->calendar;
    calendar.OpenDay(cellOfDay(18));
    addEvent(9, 20250318, QStringLiteral("Quiz Night"), QStringLiteral("19:00"),
             QStringLiteral("22:00"));

    emit logic->calendarRedrawRequested();
    EXPECT_TRUE(calendar.cells[cellOfDay(18)].text.endsWith(QStringLiteral("\r\nQuiz Night")));
    int slot = 0;
    while (calendar.grid.time(slot) != QStringLiteral("19:00"))
        ++slot;
    calendar.grid.selectSlot(slot, 3);
    EXPECT_EQ(logic->window.helpwindow, QStringLiteral("Event # 9 - Quiz Night"));
    calendar.grid.openSlot(slot, 3);
    EXPECT_EQ(requested, QList<int>{9});
}

TEST_F(MainWindowCalendarTest, AnAddedRoomJoinsTheFilterAndTheOpenGrid) {
    MonthSheet &calendar = logic->calendar;
    calendar.OpenDay(cellOfDay(18));
    logic->rooms.boxes[RoomEditor::NameBox] = QStringLiteral("Library");
    logic->rooms.boxes[RoomEditor::CapacityBox] = QStringLiteral("20");
    logic->rooms.RoomButton(RoomEditor::AddRoom);

    EXPECT_EQ(calendar.roomFilter.entries.last(), QStringLiteral("2 - Library  -  cap:20 only"));
    EXPECT_EQ(calendar.grid.columns.last().caption, QStringLiteral("Library"));
    EXPECT_EQ(calendar.grid.columns.last().tooltip, QStringLiteral("2 - Library  -  cap:20"));
    EXPECT_EQ(calendar.grid.rows.first().size(), 6);
}

// An opened day reads as the club writes dates and times, from where the
// time filter's part of the day starts; New Event starts on that day, in
// the room filter's room.
TEST_F(MainWindowCalendarTest, AnOpenedDayStartsAtItsFilterAndANewEventOnIt) {
    exec(QStringLiteral("evnt"), QStringLiteral("delete from clubsetting where name = ?"),
         {QStringLiteral("locale")});
    exec(QStringLiteral("evnt"),
         QStringLiteral("insert into clubsetting (name, value) values (?, ?)"),
         {QStringLiteral("locale"), QStringLiteral("en_US")});
    module->config.DayStartTime = QStringLiteral("08:00");
    module->config.DayEndTime = QStringLiteral("23:00");
    addEvent(9, 20250318, QStringLiteral("Hawthorne Wedding"), QStringLiteral("18:00"),
             QStringLiteral("22:00"));
    MonthSheet &calendar = logic->calendar;
    ReservationGrid &grid = calendar.grid;
    const struct {
        int filter; // the entry of cbotime
        const char *firstTime;
        const char *firstTerrace; // what a screen reader says of the first Terrace cell
    } filters[] = {
        {0, "8:00 AM", "Terrace, 8:00 AM, free"},
        {1, "8:00 AM", "Terrace, 8:00 AM, free"},
        {2, "12:00 PM", "Terrace, 12:00 PM, free"},
        {3, "6:00 PM", "Terrace, 6:00 PM, Hawthorne Wedding"},
    };
    for (const auto &c : filters) {
        calendar.chooseTimeFilter(calendar.timeFilter.entries[c.filter]);
        calendar.OpenDay(cellOfDay(18));
        QStringList captions;
        for (const auto &column : grid.columns) {
            if (column.visible)
                captions << column.caption;
        }
        EXPECT_EQ(captions, (QStringList{QStringLiteral("Date"), QStringLiteral("Time"),
                                         QStringLiteral("Terrace")}));
        EXPECT_EQ(grid.shownText(0, 0), QStringLiteral("03/18/2025")) << c.filter;
        EXPECT_EQ(grid.shownText(0, 1), QString::fromLatin1(c.firstTime)) << c.filter;
        EXPECT_EQ(grid.cellName(0, 0), QStringLiteral("Date, 03/18/2025")) << c.filter;
        EXPECT_EQ(grid.cellName(0, 3), QString::fromLatin1(c.firstTerrace)) << c.filter;
        EXPECT_EQ(calendar.dateBoxes[MonthSheet::DateBox], QStringLiteral("03/18/2025"))
            << c.filter;
        EXPECT_EQ(calendar.dateBoxes[MonthSheet::TimeBox], QString::fromLatin1(c.firstTime))
            << c.filter;
    }

    logic->rooms.boxes[RoomEditor::NameBox] = QStringLiteral("Library");
    logic->rooms.boxes[RoomEditor::CapacityBox] = QStringLiteral("20");
    logic->rooms.RoomButton(RoomEditor::AddRoom);
    calendar.chooseRoomFilter(calendar.roomFilter.entries[2]);
    calendar.OpenDay(cellOfDay(20));
    logic->editor.run(EventCommand::NewEvent);
    EXPECT_EQ(module->event.mode, CurrentEvent::EnteringNew);
    EXPECT_EQ(module->event.fields[EventField::Date], QStringLiteral("20250320"));
    EXPECT_EQ(module->event.fields[EventField::Room], QStringLiteral("2"));
    // Once the month moves on no day is open, and a new event starts blank.
    logic->editor.run(EventCommand::Calendar);
    calendar.MoveMonthOrYear(MonthSheet::MonthForward);
    logic->editor.run(EventCommand::NewEvent);
    EXPECT_EQ(module->event.fields[EventField::Date], QString());
    EXPECT_EQ(module->event.fields[EventField::Room], QString());
}

} // namespace
