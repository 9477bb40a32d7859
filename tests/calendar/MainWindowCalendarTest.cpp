#include "CalendarChecks.h"
#include "CalendarClub.h"
#include "RunningWindow.h"

using namespace Qt::StringLiterals;

namespace {

// The calendar as the main window holds it: started with the window,
// brought back by the Calendar button, following the rooms. Its looks and
// clicks are the main window's view tests.
class MainWindowCalendarTest : public CalendarClub {
protected:
    void SetUp() override {
        CalendarClub::SetUp();
        clock.current = QDateTime(QDate(2025, 3, 14), QTime(9, 30));
        addRoom(u"Terrace"_s, 80);
        fillYear(2025);
        window.start(*module, club, u"calendar-test"_s);
        logic = window.logic.get();
    }
    void TearDown() override {
        window.stop();
        CalendarClub::TearDown();
    }
    int cellOfDay(int day) const { return ::cellOfDay(logic->calendar, day); }

    RunningWindow window;
    MainWindowLogic *logic = nullptr;
};

TEST_F(MainWindowCalendarTest, TheCalendarButtonShowsTodaysMonthUnfilteredAndRedrawn) {
    MonthSheet &calendar = logic->calendar;
    EXPECT_TRUE(calendar.redrawTimer.isActive());
    calendar.OpenDay(cellOfDay(20));
    calendar.chooseTimeFilter(calendar.timeFilter.entries[3]);
    calendar.chooseRoomFilter(calendar.roomFilter.entries[1]);
    calendar.MoveMonthOrYear(MonthSheet::YearForward);
    logic->window.billingVisible = true;
    addEvent(5, 20250317, u"Breakfast"_s, u"07:00"_s, u"09:00"_s);

    logic->CalendarCommand();
    EXPECT_TRUE(logic->window.reservationsVisible);
    EXPECT_FALSE(logic->window.billingVisible);
    EXPECT_EQ(calendar.dateBoxes[MonthSheet::YearBox], u"2025"_s);
    EXPECT_EQ(calendar.timeFilter.text, u"Show All Times"_s);
    EXPECT_EQ(calendar.roomFilter.text, u"Show All Rooms"_s);
    EXPECT_TRUE(calendar.calendarVisible());
    EXPECT_TRUE(calendar.cells[cellOfDay(17)].text.endsWith(u"\r\n07:00 Breakfast"_s));
    // The event side asks for a redraw when it saves.
    addEvent(9, 20250318, u"Quiz Night"_s, u"19:00"_s, u"22:00"_s);
    emit logic->calendarRedrawRequested();
    EXPECT_TRUE(calendar.cells[cellOfDay(18)].text.endsWith(u"\r\n19:00 Quiz Night"_s));
    logic->QueryUnloadMainWindow();
    EXPECT_FALSE(calendar.redrawTimer.isActive());
}

// An opened day reads as the club writes dates and times, from where the
// time filter's part of the day starts; New Event starts on that day, in
// the room filter's room.
TEST_F(MainWindowCalendarTest, AnOpenedDayStartsAtItsFilterAndANewEventOnIt) {
    exec(u"evnt"_s, u"update clubsetting set value = ? where name = ?"_s,
         {u"en_US"_s, u"locale"_s});
    module->config.DayStartTime = u"08:00"_s;
    module->config.DayEndTime = u"23:00"_s;
    addEvent(9, 20250318, u"Hawthorne Wedding"_s, u"18:00"_s, u"22:00"_s);
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
        const QStringList shown{grid.shownText(0, 0),
                                grid.shownText(0, 1),
                                grid.cellName(0, 0),
                                grid.cellName(0, 3),
                                calendar.dateBoxes[MonthSheet::DateBox],
                                calendar.dateBoxes[MonthSheet::TimeBox]};
        EXPECT_EQ(shown, (QStringList{u"03/18/2025"_s, QString::fromLatin1(c.firstTime),
                                      u"Date, 03/18/2025"_s, QString::fromLatin1(c.firstTerrace),
                                      u"03/18/2025"_s, QString::fromLatin1(c.firstTime)}))
            << c.filter;
    }

    logic->rooms.boxes[RoomEditor::NameBox] = u"Library"_s;
    logic->rooms.boxes[RoomEditor::CapacityBox] = u"20"_s;
    logic->rooms.RoomButton(RoomEditor::AddRoom);
    // The added room joins the room filter and the open grid.
    EXPECT_EQ(calendar.roomFilter.entries.last(), u"2 - Library  -  cap:20 only"_s);
    EXPECT_EQ(grid.columns.last().caption, u"Library"_s);
    EXPECT_EQ(grid.rows.first().size(), 6);
    calendar.chooseRoomFilter(calendar.roomFilter.entries[2]);
    calendar.OpenDay(cellOfDay(20));
    logic->editor.run(EventCommand::NewEvent);
    EXPECT_EQ(module->event.mode, CurrentEvent::EnteringNew);
    EXPECT_EQ(module->event.fields[EventField::Date], u"20250320"_s);
    EXPECT_EQ(module->event.fields[EventField::Room], u"2"_s);
    // Once the month moves on no day is open, and a new event starts blank.
    logic->editor.run(EventCommand::Calendar);
    calendar.MoveMonthOrYear(MonthSheet::MonthForward);
    logic->editor.run(EventCommand::NewEvent);
    EXPECT_EQ(module->event.fields[EventField::Date], QString());
    EXPECT_EQ(module->event.fields[EventField::Room], QString());
}

} // namespace
