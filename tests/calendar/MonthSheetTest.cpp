#include "calendar/MonthSheet.h"

#include "CalendarChecks.h"
#include "CalendarClub.h"
#include "calendar/StatusColors.h"

using namespace Qt::StringLiterals;

namespace {

class MonthSheetTest : public CalendarClub {
protected:
    // The sheet of a month, drawn as a move leaves it.
    std::unique_ptr<MonthSheet> sheetOf(int year, int month) {
        clock.current = QDateTime(QDate(year, month, 1), QTime(9, 0));
        auto sheet = std::make_unique<MonthSheet>(*module);
        EXPECT_TRUE(sheet->BuildMonthSheet());
        return sheet;
    }
    static QList<int> visibleCells(const MonthSheet &sheet) {
        QList<int> cells;
        for (int i = 0; i < MonthSheet::CellCount; ++i) {
            if (sheet.cells[i].visible)
                cells << i;
        }
        return cells;
    }
    static QString textOfDay(const MonthSheet &sheet, int day) {
        return sheet.cells[cellOfDay(sheet, day)].text;
    }
};

TEST_F(MonthSheetTest, TheDaysFallInTheirWeekdayCells) {
    const struct {
        int year, month, firstCell, days;
    } months[] = {
        {2025, 3, 6, 31},  // starts on a Saturday: cells 6 to 36
        {2024, 2, 4, 29},  // leap year
        {2025, 2, 6, 28},  // common year
        {2100, 2, 1, 28},  // divisible by 4, yet not a leap year
        {2026, 11, 0, 30}, // starts on a Sunday
    };
    for (const auto &m : months) {
        SCOPED_TRACE(m.year * 100 + m.month);
        const auto sheet = sheetOf(m.year, m.month);
        const QList<int> cells = visibleCells(*sheet);
        ASSERT_EQ(cells.size(), m.days);
        EXPECT_EQ(cells.first(), m.firstCell);
        EXPECT_EQ(cells.last(), m.firstCell + m.days - 1);
        EXPECT_EQ(sheet->cells[m.firstCell].text, u"1"_s);
        EXPECT_EQ(sheet->cells[cells.last()].text, QString::number(m.days));
        EXPECT_EQ(sheet->cells[cells.last()].foreColor, CellColor::Blue);
        for (int i = 0; i < MonthSheet::CellCount; ++i)
            EXPECT_TRUE(cells.contains(i) || sheet->cells[i].text.isEmpty()) << i;
    }
}

TEST_F(MonthSheetTest, ADayListsItsFirstFourEventsByStartTimeInTheirStatusColours) {
    exec(u"evnt"_s, u"insert into clubsetting (name, value) values ('statuscolor4', '#123456')"_s);
    const int day = 20250314;
    addEvent(1, day, u"Six"_s, u"20:00"_s, u"21:00"_s);
    addEvent(2, day, u"Two \"Gala\" O'Brien"_s, u"09:00"_s, u"10:00"_s, 4);
    addEvent(3, day, u"Five"_s, u"18:00"_s, u"19:00"_s, 8);
    addEvent(4, day, u"One Свадьба 日本語 Ünïcødé"_s, u"07:30"_s, u"08:00"_s, 3);
    addEvent(5, day, u"Four"_s, u"13:00"_s, u"CLOSE"_s, 5);
    addEvent(6, day, QString(60, QLatin1Char('T')), u"11:00"_s, u"12:00"_s);
    // Contacts and cancelled events hold no room; neither do other months.
    addEvent(7, day, u"Contact"_s, u"06:00"_s, u"07:00"_s, 1);
    addEvent(8, day, u"Cancelled"_s, u"06:00"_s, u"07:00"_s, 9);
    addEvent(9, 20250228, u"February"_s, u"10:00"_s, u"11:00"_s);
    addEvent(10, 20250401, u"April"_s, u"10:00"_s, u"11:00"_s);
    addEvent(11, 20250331, QString(), u"10:00"_s, u"11:00"_s);
    exec(u"evnt"_s, u"update eventinfo set eventtitle = null where eventnum = 11"_s);
    // The 6th and 7th hold five and four events, entered latest first.
    int number = 20;
    for (const auto &[date, count] : {std::pair{6, 5}, {7, 4}}) {
        for (int hour = 8 + count - 1; hour >= 8; --hour)
            addEvent(number++, 20250300 + date, u"E%1"_s.arg(hour),
                     u"%1:00"_s.arg(hour, 2, 10, QLatin1Char('0')), u"23:00"_s, 2 + hour % 2);
    }
    const int reserved = StatusColors::defaultColor(2);
    const int deposit = StatusColors::defaultColor(3);

    const auto sheet = sheetOf(2025, 3);
    const struct {
        int day;
        QString text;
        QList<int> colors;
    } days[] = {
        {14,
         u"14   6 events\r\n07:30 One Свадьба 日本語 Ünïcødé\r\n09:00 Two \"Gala\" O'Brien\r\n"
         u"11:00 "_s +
             QString(50, QLatin1Char('T')) + u"\r\n13:00 Four\r\n+2 more"_s,
         {deposit, 0x123456, reserved, StatusColors::defaultColor(5)}},
        {6,
         u"6   5 events\r\n08:00 E8\r\n09:00 E9\r\n10:00 E10\r\n11:00 E11\r\n+1 more"_s,
         {reserved, deposit, reserved, deposit}},
        {7,
         u"7   4 events\r\n08:00 E8\r\n09:00 E9\r\n10:00 E10\r\n11:00 E11"_s,
         {reserved, deposit, reserved, deposit}},
        {31, u"31   1 event\r\n10:00"_s, {reserved}},
        {1, u"1"_s, {}},
    };
    for (const auto &d : days) {
        SCOPED_TRACE(d.day);
        const DayCell &cell = sheet->cells[cellOfDay(*sheet, d.day)];
        EXPECT_EQ(cell.text, d.text);
        QList<int> colors;
        for (const DayLine &line : cell.lines)
            colors << line.color;
        EXPECT_EQ(colors, d.colors);
    }
    int busy = 0;
    for (const DayCell &cell : sheet->cells)
        busy += cell.events > 0;
    EXPECT_EQ(busy, 4);
}

TEST_F(MonthSheetTest, RedisplayAppliesTheTimeAndRoomListsOnce) {
    addRoom(u"Terrace"_s, 80);
    addRoom(u"Library"_s, 20);
    addEvent(1, 20250505, u"Dinner"_s, u"17:00"_s, u"18:30"_s, 2, 1);
    addEvent(2, 20250505, u"Lunch"_s, u"12:00"_s, u"17:30"_s, 2, 2);
    addEvent(3, 20250505, u"Late"_s, u"19:00"_s, u"21:00"_s, 2, 2);
    const auto sheet = sheetOf(2025, 5);
    sheet->setRooms(rooms());
    ASSERT_EQ(sheet->roomFilter.entries.size(), 3);

    sheet->chooseTimeFilter(u"Show Evening Only (after 6pm)"_s);
    ASSERT_TRUE(sheet->RedisplayCalendar());
    EXPECT_EQ(textOfDay(*sheet, 5), u"5   2 events\r\n17:00 Dinner\r\n19:00 Late"_s);
    sheet->chooseRoomFilter(sheet->roomFilter.entries[2]); // "2 - Library  -  cap:20 only"
    ASSERT_TRUE(sheet->RedisplayCalendar());
    EXPECT_EQ(textOfDay(*sheet, 5), u"5   1 event\r\n19:00 Late"_s);
    // Any other redisplay shows every event again.
    ASSERT_TRUE(sheet->BuildMonthSheet());
    EXPECT_TRUE(textOfDay(*sheet, 5).startsWith(u"5   3 events\r\n12:00 Lunch"_s));
}

TEST_F(MonthSheetTest, TodayIsGreyAndTheSelectionYellowWhereverTheSheetGoes) {
    const auto sheet = sheetOf(2026, 12);
    clock.current = QDateTime(QDate(2026, 12, 6), QTime(9, 0));
    sheet->BuildMonthSheet();
    const int today = cellOfDay(*sheet, 6);
    const int tenth = cellOfDay(*sheet, 10);
    const int third = cellOfDay(*sheet, 3);
    const auto colour = [&](int cell) {
        return sheet->cells[cell].backColor;
    };
    EXPECT_EQ(colour(today), CellColor::Today);
    EXPECT_EQ(colour(tenth), CellColor::White);

    sheet->SelectDay(today);
    EXPECT_EQ(colour(today), CellColor::Selected);
    sheet->SelectDay(tenth);
    EXPECT_EQ(colour(today), CellColor::Today);
    EXPECT_EQ(colour(tenth), CellColor::Selected);
    EXPECT_EQ(sheet->dateBoxes[MonthSheet::DateBox], u"20261210"_s);
    sheet->SelectDay(third);
    EXPECT_EQ(colour(tenth), CellColor::White);
    EXPECT_EQ(sheet->dateBoxes[MonthSheet::DateBox], u"20261203"_s);
    sheet->SelectDay(MonthSheet::CellCount - 1); // hidden: after the 31st
    EXPECT_EQ(sheet->SelectedDate, 20261203);

    // A redraw keeps the selection; another month has none, and coming
    // back finds it again.
    sheet->BuildMonthSheet();
    EXPECT_EQ(colour(third), CellColor::Selected);
    sheet->MoveMonthOrYear(MonthSheet::MonthForward);
    EXPECT_EQ(colour(cellOfDay(*sheet, 3)), CellColor::White);
    EXPECT_EQ(sheet->selectedCell, -1);
    sheet->MoveMonthOrYear(MonthSheet::MonthBack);
    EXPECT_EQ(colour(third), CellColor::Selected);
    EXPECT_EQ(colour(today), CellColor::Today);
}

TEST_F(MonthSheetTest, MovesCrossTheYearAndShowTheNewMonthsSheet) {
    const auto sheet = sheetOf(2025, 12);
    addEvent(1, 20260115, u"New Year Ball"_s, u"19:00"_s, u"23:00"_s);
    const struct {
        int button;
        const char *shown;
    } moves[] = {
        {MonthSheet::MonthForward, "2026 01  Jan"}, {MonthSheet::MonthBack, "2025 12  Dec"},
        {MonthSheet::YearForward, "2026 12  Dec"},  {MonthSheet::YearBack, "2025 12  Dec"},
        {MonthSheet::YearBack, "2024 12  Dec"},     {MonthSheet::MonthForward, "2025 01  Jan"},
        {MonthSheet::YearForward, "2026 01  Jan"},
    };
    for (const auto &move : moves) {
        sheet->MoveMonthOrYear(move.button);
        EXPECT_EQ(sheet->dateBoxes[MonthSheet::YearBox] + u' ' +
                      sheet->dateBoxes[MonthSheet::MonthBox],
                  QLatin1String(move.shown));
    }
    EXPECT_EQ(textOfDay(*sheet, 15), u"15   1 event\r\n19:00 New Year Ball"_s);
    EXPECT_EQ(visibleCells(*sheet).first(), 4); // 1 January 2026 is a Thursday
}

// Calendar and list view are one state of the sheet: only one is checked.
TEST_F(MonthSheetTest, OpeningADayShowsItsGridAndTheListViewNeedsOne) {
    addRoom(u"Terrace"_s, 80);
    const auto sheet = sheetOf(2025, 6);
    sheet->setRooms(rooms());
    sheet->ChangeView(MonthSheet::ListView);
    EXPECT_EQ(lastShown(prompts), u"Oops...: Please select a calendar date or event first."_s);
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Information);
    EXPECT_TRUE(sheet->calendarVisible());

    // The year is not set up: the day has no slots and opens nothing.
    const int tenth = cellOfDay(*sheet, 10);
    sheet->OpenDay(tenth);
    EXPECT_TRUE(sheet->calendarVisible());
    EXPECT_FALSE(sheet->grid.isOpen());
    EXPECT_FALSE(sheet->dateTimeVisible);

    fillYear(2025);
    module->config.DayStartTime = u"08:00"_s;
    sheet->OpenDay(tenth);
    EXPECT_TRUE(sheet->gridVisible());
    EXPECT_TRUE(sheet->dateTimeVisible);
    EXPECT_EQ(sheet->grid.rowCount(), 96 - 32);
    sheet->grid.selectSlot(2, 1);
    EXPECT_EQ(sheet->dateBoxes[MonthSheet::TimeBox], sheet->grid.club().time(u"08:30"_s));

    sheet->ChangeView(MonthSheet::CalendarView);
    EXPECT_FALSE(sheet->dateTimeVisible);
    EXPECT_EQ(sheet->dateBoxes[MonthSheet::DateBox], QString());
    EXPECT_EQ(sheet->SelectedDate, 20250610);
    sheet->ChangeView(MonthSheet::ListView); // the opened day is still there
    EXPECT_TRUE(sheet->gridVisible());
    EXPECT_EQ(prompts.messages.size(), 1);

    // The board opens on the selected day; stepped into another month, the
    // month boxes follow it, and the sheet opens there.
    sheet->ChangeView(MonthSheet::BoardView);
    EXPECT_EQ(sheet->board.firstDay(), QDate(2025, 6, 10));
    for (int day = 0; day < 21; ++day)
        sheet->board.step(1);
    EXPECT_EQ(sheet->dateBoxes[MonthSheet::MonthBox], MonthSheet::monthText(7));
    sheet->ChangeView(MonthSheet::CalendarView);
    EXPECT_EQ(sheet->month(), 7);
    sheet->ChangeView(MonthSheet::BoardView);
    EXPECT_EQ(sheet->board.firstDay(), QDate(2025, 7, 1)) << "the day the operator left";
    sheet->MoveMonthOrYear(MonthSheet::MonthBack);
    sheet->ChangeView(MonthSheet::ListView);
    EXPECT_EQ(prompts.messages.size(), 2);

    // A move closes the day: the list view asks again.
    sheet->MoveMonthOrYear(MonthSheet::MonthForward);
    sheet->ChangeView(MonthSheet::ListView);
    EXPECT_EQ(prompts.messages.size(), 3);
    EXPECT_TRUE(sheet->calendarVisible());
}

TEST_F(MonthSheetTest, Timer1RedrawsTheShownSheetAboutOnceAMinute) {
    fillYear(2025);
    const auto sheet = sheetOf(2025, 3);
    EXPECT_EQ(sheet->redrawTimer.interval(), 1000);
    const auto ticks = [&](int count) {
        for (int tick = 0; tick < count; ++tick)
            sheet->redrawTick();
    };
    addEvent(1, 20250310, u"Booked elsewhere"_s, u"10:00"_s, u"11:00"_s);
    ticks(58);
    EXPECT_EQ(textOfDay(*sheet, 10), u"10"_s);
    ticks(1);
    EXPECT_NE(textOfDay(*sheet, 10), u"10"_s) << "the 59th tick redraws";
    addEvent(2, 20250311, u"Another"_s, u"10:00"_s, u"11:00"_s);
    ticks(57);
    EXPECT_EQ(textOfDay(*sheet, 11), u"11"_s);
    ticks(1);
    EXPECT_NE(textOfDay(*sheet, 11), u"11"_s) << "then every 58th";

    // Not while a day's grid is shown.
    sheet->OpenDay(cellOfDay(*sheet, 12));
    ASSERT_TRUE(sheet->gridVisible());
    addEvent(3, 20250312, u"Third"_s, u"10:00"_s, u"11:00"_s);
    ticks(120);
    EXPECT_EQ(textOfDay(*sheet, 12), u"12"_s);

    // The rooms board is redrawn on the same beat.
    addRoom(u"Hall"_s, 50);
    sheet->setRooms(rooms());
    sheet->ChangeView(MonthSheet::BoardView);
    ASSERT_EQ(sheet->board.firstDay(), QDate(2025, 3, 12));
    const int shown = int(sheet->board.blocks().size());
    addEvent(4, 20250312, u"Fourth"_s, u"12:00"_s, u"13:00"_s);
    ticks(57);
    EXPECT_EQ(sheet->board.blocks().size(), shown);
    ticks(1);
    EXPECT_EQ(sheet->board.blocks().size(), shown + 1);

    // A failing redraw is reported once, not every minute, on the board as
    // on the sheet.
    for (const auto view : {MonthSheet::BoardView, MonthSheet::CalendarView}) {
        SCOPED_TRACE(view);
        exec(u"evnt"_s, u"alter table eventinfo rename to eventgone"_s);
        prompts.clear();
        prompts.expectError();
        sheet->viewMode = view;
        ticks(3 * 58);
        EXPECT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(view == MonthSheet::BoardView ? sheet->board.blocks().isEmpty()
                                                  : visibleCells(*sheet).isEmpty())
            << "nothing stale is left showing";
        exec(u"evnt"_s, u"alter table eventgone rename to eventinfo"_s);
        ticks(58); // read again: the next failure is reported again
    }
}

} // namespace
