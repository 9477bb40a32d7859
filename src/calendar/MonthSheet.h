#pragma once

#include "CalendarFilter.h"
#include "ListState.h"
#include "ReservationGrid.h"
#include "Rooms.h"
#include "RoomsBoard.h"

#include <QObject>
#include <QTimer>
#include <array>

class Module;

// Cell colours as plain 0xRRGGBB numbers.
namespace CellColor {
inline constexpr int White = 0xFFFFFF;
inline constexpr int Blue = 0x0000FF;
inline constexpr int Today = 0xE0E0E0;     // light grey
inline constexpr int Selected = 0xFFFF80;  // light yellow
inline constexpr int EventText = 0x000000; // black reads on every status colour
} // namespace CellColor

// One event of a day cell: its start as the calendar stores it, its title
// and its status's colour, shown as "18:00 Title" on that colour.
struct DayLine {
    QString time;
    QString title;
    int color = 0;

    QString text() const;
    bool operator==(const DayLine &) const = default;
};

// One day cell cal(i) of the month sheet: the day with its count, the first
// events by start time and "+N more" for the rest. `text` holds the same as
// plain lines, CR LF apart, for tooltips and scripts.
struct DayCell {
    QString text;
    QString heading; // "14   6 events"
    QList<DayLine> lines;
    QString more;   // "+2 more", empty when every event is listed
    int events = 0; // the day's events under the filters
    int backColor = CellColor::White;
    int foreColor = CellColor::Blue;
    bool visible = false;

    bool operator==(const DayCell &) const = default;
};

// The reservations frame frareservations: the month sheet (42 day cells
// cal(0..41), the year and month boxes Text2(0), Text2(1), the month and
// year buttons cmdmove(0..3), the filters cbotime and cboroom) and the
// reservation grid gridres of an opened day, one of the two shown as the
// option pair optviewmode says.
class MonthSheet : public QObject {
    Q_OBJECT

public:
    static constexpr int CellCount = 42;
    static constexpr int TitlesShown = 4;
    static constexpr int TitleLength = 50;
    static constexpr int RedisplayTicks = 59;
    static constexpr int TickIntervalMs = 1000;
    enum ViewMode { CalendarView = 0, ListView = 1, BoardView = 2 };
    enum MoveButton { MonthBack = 0, MonthForward = 1, YearForward = 2, YearBack = 3 };
    enum Box { YearBox = 0, MonthBox = 1, DateBox = 2, TimeBox = 3 };

    explicit MonthSheet(Module &module, QObject *parent = nullptr);

    // "07  Jul": the month box as it shows month 7.
    static QString monthText(int month);

    // The "Calendar" button cmd(3): today's month with every room and time,
    // in the calendar view.
    bool ShowCurrentMonth();
    // Fills the 42 cells for the month in the year and month boxes; false
    // on a failure (reported), which leaves every cell hidden.
    bool BuildMonthSheet(const CalendarFilter &filter = {});
    // cmdrequery "Redisplay Calendar": the sheet with the two filters.
    bool RedisplayCalendar();
    // After an event was saved or moved: the sheet and an open day again.
    void Refresh();
    void SelectDay(int cell);
    void OpenDay(int cell);
    void ChangeView(int mode);
    void MoveMonthOrYear(int button);
    // Timer1: while the month sheet shows, it is redrawn every minute or
    // so, so that one workstation sees another's bookings.
    void redrawTick();
    void chooseTimeFilter(const QString &text);
    void chooseRoomFilter(const QString &text);
    // The room filter's entries follow the rooms, as do the grid's columns.
    void setRooms(const QList<Room> &rooms);

    int year() const { return m_year; }
    int month() const { return m_month; }
    bool calendarVisible() const { return viewMode == CalendarView; }
    bool gridVisible() const { return viewMode == ListView; }
    bool boardVisible() const { return viewMode == BoardView; }
    // The day the board opens on: the selected day of the shown month, or
    // today in today's month, or the month's first.
    QDate shownDay() const;
    // The day a visible cell stands for, 0 for a hidden cell.
    int dayOfCell(int cell) const;

    ReservationGrid grid;
    RoomsBoard board; // the rooms against the hours of a day or a week
    QTimer redrawTimer;
    std::array<QString, 4> dateBoxes;
    // Label2(4) "Date && Time" with Text2(2) and Text2(3), list view only.
    bool dateTimeVisible = false;
    std::array<DayCell, CellCount> cells;
    int viewMode = CalendarView;
    ListState timeFilter;
    ListState roomFilter;
    int SelectedDate = 0;
    int selectedCell = -1;

signals:
    void changed();
    // The day whose slots the grid shows, with the room filter's room (0:
    // every room); a date of 0 once no day is open.
    void dayOpened(int date, int room);

private:
    void setMonth(int year, int month);
    void followBoard();
    CalendarFilter chosenFilter() const;
    bool drawMonth(const CalendarFilter &filter, bool reportFailure);
    int dateOf(int day) const { return m_year * 10000 + m_month * 100 + day; }
    int restingColor(int cell) const;
    void markSelectedCell();
    void selectCell(int cell);
    void showGridSlot(int date, const QString &time);
    void showSlotText(int date, const QString &time);

    Module &m_module;
    int m_year = 0;
    int m_month = 0;
    int m_firstCell = 0;
    int m_ticks = 0;
    int m_boardChosenDate = 0; // the day chosen on the sheet when the board last opened
    bool m_tickFailed = false;
};
