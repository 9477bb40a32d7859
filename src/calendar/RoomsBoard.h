#pragma once

#include "CalendarFilter.h"
#include "RoomBuffers.h"
#include "Rooms.h"
#include "StatusColors.h"
#include "session/ClubSettings.h"
#include "values/Result.h"

#include <QDate>
#include <QObject>
#include <QStringList>
#include <algorithm>
#include <optional>

class DatabaseAccess;
class QSqlQuery;
struct Configuration;

// A place on the board: a room's row, a day (always 0 on a day board, 0 to
// 6 across a week) and a quarter-hour column of that day.
struct BoardCell {
    int row = -1;
    int day = 0;
    int slot = 0;
    bool valid() const { return row >= 0; }
    friend bool operator==(const BoardCell &, const BoardCell &) = default;
};

// A room's row; a section of a divisible hall sits, indented, under it.
struct BoardRow {
    int room = 0;
    QString name;
    int hall = 0; // the room this one is a section of, 0 for none
};

// One event drawn across the cells it holds, clipped to the hours shown.
struct BoardBlock {
    int eventNumber = 0;
    int row = 0;
    int day = 0;
    int firstSlot = 0;
    int endSlot = 0; // the first column after it
    int date = 0;    // YYYYMMDD
    QString start;   // as stored: "HH:MM"
    QString end;     // "HH:MM" or "CLOSE"
    QString title;
    int guests = 0;
    int status = 0;
    int color = 0;         // 0xRRGGBB
    QString label;         // "18:00-23:30 Hawthorne Wedding (120)"
    QString detail;        // under the title on the board: "18:00-23:30  120"
    bool holdsRoom = true; // an enquiry is drawn, yet keeps nobody out
};

// A room that is a section of a booked hall, or the hall of a booked
// section; or a room being set before a booking or cleared after it. The
// save would ask before booking it, so it is drawn hatched.
struct BoardShade {
    int row = 0;
    int day = 0;
    int firstSlot = 0;
    int endSlot = 0;
    int eventNumber = 0;
    QString text;          // "Grand Ballroom: Hawthorne Wedding", "Clearing after ..."
    bool turnover = false; // setting up or clearing, not a linked room
};

struct BoardLegendEntry {
    QString name;
    int color = 0;
    bool dashed = false; // an enquiry's edge
};

// What booking in place asks the event window to start with.
struct BoardBooking {
    int date = 0;
    int room = 0;
    QString start;
    QString end;
};

// A block dragged elsewhere: the event as the board showed it, and where
// it is to go. The texts name both for the operator's confirmation.
struct BoardMove {
    int eventNumber = 0;
    QString title;
    int fromDate = 0;
    int fromRoom = 0;
    QString fromStart;
    QString fromEnd;
    int date = 0;
    int room = 0;
    QString start;
    QString end;
    QString fromText; // "Grand Ballroom, Saturday, January 2, 2027, 18:00 to 23:30"
    QString toText;
};

// The rooms board: every room against the quarter-hours of one day or of a
// week, each booking a block in its status colour. It follows the month
// sheet's time and room filters and reads a day or a week with one query.
//
// The mouse and the keys arrive as cells; what they ask for leaves as a
// booking or a move request, which the event side carries out through the
// event window's own save. Anything the board can already tell is
// impossible (outside the day, over another booking, a room without a name)
// is refused here, with the reason in notice(), and asks nothing.
class RoomsBoard : public QObject {
    Q_OBJECT

public:
    enum class Span { Day, Week };
    static constexpr int SlotMinutes = 15;
    static constexpr int WeekDays = 7;
    static constexpr int DefaultBookingSlots = 4; // a double-click books an hour
    static constexpr int EnquiryStatus = 1;       // drawn, yet holds no room
    static constexpr int LastHoldingStatus = 8;   // 2 to 8 hold their room

    RoomsBoard(DatabaseAccess &access, const Configuration &config, QObject *parent = nullptr);

    void setRooms(const QList<Room> &rooms);
    // The filters as the month sheet's lists hold them; the board follows
    // them at once.
    void setFilter(const CalendarFilter &filter, bool andReload = true);
    // The day, or the week (Sunday to Saturday) that holds it.
    void showDate(const QDate &date, Span span);
    void setSpan(Span span);
    // A day or a week back (-1) or forward (1).
    void step(int direction);
    // Reads the shown days again; false when they could not be read, which
    // leaves the board empty and, when asked, tells the operator why.
    bool reload(bool reportFailure = true);

    Span span() const { return m_span; }
    QDate firstDay() const { return m_firstDay; }
    int dayCount() const { return m_span == Span::Week ? WeekDays : 1; }
    QDate dayAt(int day) const { return m_firstDay.addDays(day); }
    // "Sat 9 Jan", as the club's language writes it, over a week's day.
    QString dayHeading(int day) const;
    const QList<BoardRow> &rows() const { return m_rows; }
    // The quarter-hours of a day the board shows, "HH:MM".
    const QStringList &slotTimes() const { return m_slots; }
    const QList<BoardBlock> &blocks() const { return m_blocks; }
    const QList<BoardShade> &shades() const { return m_shades; }
    const QList<BoardLegendEntry> &legend() const { return m_legend; }
    QString caption() const;
    // Rises whenever the rows, the hours or the blocks change (not the
    // cursor or a drag): what a view keeps between paints depends on it.
    int generation() const { return m_generation; }
    // What the board last refused, and why; empty when nothing was. The
    // count rises with every refusal, the same one again too.
    const QString &notice() const { return m_notice; }
    int noticeCount() const { return m_noticeCount; }

    // The block or shade covering a cell; -1 for none.
    int blockAt(const BoardCell &cell) const;
    int shadeAt(const BoardCell &cell) const;
    // What a screen reader says of a cell, a block's name where one lies.
    QString cellName(const BoardCell &cell) const;
    QString blockName(const BoardBlock &block) const;
    // The time at which a column starts; the column after the last is the
    // end of the shown hours ("CLOSE" when they run to the end of the day).
    QString timeAt(int slot) const;

    // The keyboard cursor and the columns picked with it for a booking.
    BoardCell cursor() const { return m_cursor; }
    int selectionFirst() const { return std::min(m_anchor, m_cursor.slot); }
    int selectionEnd() const { return std::max(m_anchor, m_cursor.slot) + 1; }
    void setCursor(const BoardCell &cell);
    // Arrows: a column or a row; across a week the cursor runs on into
    // the next day. With `extend` the booking's columns grow or shrink.
    void moveCursor(int rows, int columns, bool extend = false);
    // Home and End: the first or the last quarter-hour of the cursor's day.
    void cursorToDayEdge(bool end);
    // Enter: opens the event under the cursor, or books the picked columns
    // (an hour when none are picked, cut short by the next booking).
    void activate();
    // The chosen block a quarter-hour or a room on (a key chord).
    void nudge(int rows, int columns);

    // The mouse, cell by cell: a press on a block moves it (on its right
    // edge, stretches it), a press on a free cell books from there. A
    // release outside the board (an invalid cell) gives the drag up.
    enum class DragKind { None, Booking, Moving, Stretching };
    struct Drag {
        DragKind kind = DragKind::None;
        int block = -1;
        BoardCell from;
        BoardCell to;
    };
    const Drag &drag() const { return m_drag; }
    // The first column after a stretched block, as the drag stands.
    int stretchedEnd() const;
    void press(const BoardCell &cell, bool onEndEdge);
    void dragTo(const BoardCell &cell);
    void release(const BoardCell &cell);
    void doubleClick(const BoardCell &cell);
    // Escape: nothing changes.
    void cancelDrag();

signals:
    void changed();
    void bookingRequested(const BoardBooking &booking);
    void moveRequested(const BoardMove &move);
    void eventRequested(int eventNumber);

private:
    // Where a block goes when it moves by some minutes: its length kept,
    // and a run to the close still one.
    struct Times {
        int start = 0;
        int end = 0;
        bool toClose = false;
    };
    Times shifted(const BoardBlock &block, int minutes) const;

    void layOutRows();
    void layOutSlots();
    Status read();
    // The block one row of the query makes; nothing for a day not shown
    // or hours that are not (times it cannot place are noted).
    std::optional<BoardBlock> blockOf(const QSqlQuery &row, const StatusColors::Palette &colors);
    void shadeLinkedRooms(const BoardBlock &block, int room);
    void shadeTurnovers(int row, const RoomBuffers::Booked &booking, const RoomBuffer &buffer);
    void fillLegend();
    int rowOf(int room) const;
    int hallOf(int room) const;
    int topHallOf(int room) const;
    const Room *findRoom(int room) const;
    int minuteAt(int slot) const;
    int slotOf(int minute) const;
    int lastMinute() const; // the minute the shown hours end at
    bool runsToClose() const;
    int dateNumber(int day) const;
    QString dayText(int day) const;
    QString roomName(int room) const;
    QString statusName(int status) const;
    // "Terrace, Saturday, January 9, 2027, 18:00 to close"
    QString placeText(int room, int date, const QString &start, const QString &end) const;
    // The block in the way of columns of a row on a day, other than `self`.
    int blockInWay(int row, int day, int first, int end, int self) const;
    // Why a room cannot take a booking or a move then; empty when it can.
    QString roomRefusal(int row, int day, int first, int end, int self) const;
    BoardCell dragTarget(const BoardCell &cell) const;
    void requestBooking(int row, int day, int first, int end);
    void requestMove(int block, int row, int day, const Times &to);
    void refuse(const QString &why);

    DatabaseAccess &m_access;
    const Configuration &m_config;
    ClubSettings m_club;
    QList<Room> m_rooms;
    CalendarFilter m_filter;
    Span m_span = Span::Day;
    QDate m_firstDay;
    QList<BoardRow> m_rows;
    QStringList m_slots;
    int m_firstMinute = 0;
    int m_dayStart = 0; // the club's day, in minutes
    int m_closing = 0;  // the minute after its last slot
    QList<BoardBlock> m_blocks;
    QList<int> m_unplaced; // events whose times the board cannot place
    QList<BoardShade> m_shades;
    QList<BoardLegendEntry> m_legend;
    BoardCell m_cursor{0, 0, 0};
    int m_anchor = 0;
    Drag m_drag;
    int m_generation = 0;
    QString m_notice;
    int m_noticeCount = 0;
};
