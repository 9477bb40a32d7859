#include "calendar/RoomsBoard.h"

#include "CalendarClub.h"
#include "calendar/StatusColors.h"
#include "session/Module.h"

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// "1:0 2:1 4:1": each row's room and the hall it is under.
QString rowsText(const RoomsBoard &board) {
    QStringList rows;
    for (const BoardRow &row : board.rows())
        rows << u"%1:%2"_s.arg(row.room).arg(row.hall);
    return rows.join(u' ');
}

// The rooms board over a club of a hall with two sections and a room on
// its own: what it reads for a day or a week, and what each drag and key
// asks for, before anything reaches the event window.
class RoomsBoardTest : public CalendarClub {
protected:
    void SetUp() override {
        CalendarClub::SetUp();
        for (const char *name : {"Hall", "Hall East", "Terrace", "Hall West", "Spare"})
            addRoom(QString::fromUtf8(name), 50);
        exec(u"evnt"_s, u"update location set subdiv = 1 where roomnum in (2, 4)"_s);
        exec(u"evnt"_s, u"update location set room = ' ' where roomnum = 5"_s);
        fillYear(2027);
        board = std::make_unique<RoomsBoard>(module->access, module->config);
        board->setRooms(rooms());
        QObject::connect(board.get(), &RoomsBoard::moveRequested,
                         [this](const BoardMove &move) { moves << move; });
        QObject::connect(board.get(), &RoomsBoard::bookingRequested,
                         [this](const BoardBooking &booking) { bookings << booking; });
    }
    QStringList blockTexts() {
        QStringList texts;
        for (const BoardBlock &block : board->blocks())
            texts << u"%1 %2 %3-%4 %5"_s.arg(board->rows()[block.row].room)
                         .arg(block.day)
                         .arg(board->timeAt(block.firstSlot), board->timeAt(block.endSlot),
                              block.label);
        return texts;
    }
    QStringList shadeTexts() {
        QStringList texts;
        for (const BoardShade &shade : board->shades())
            texts << u"%1 %2 %3"_s.arg(board->rows()[shade.row].room)
                         .arg(board->timeAt(shade.firstSlot), shade.text);
        return texts;
    }
    // What the last drag or key asked for, or the board's refusal.
    QString asked() const {
        QString asked = board->notice();
        for (const BoardMove &move : moves)
            asked = u"move %1 to %2 room %3 %4-%5"_s.arg(move.eventNumber)
                        .arg(move.date)
                        .arg(move.room)
                        .arg(move.start, move.end);
        for (const BoardBooking &booking : bookings)
            asked = u"book %1 room %2 %3-%4"_s.arg(booking.date)
                        .arg(booking.room)
                        .arg(booking.start, booking.end);
        return asked;
    }
    // The start of what was asked; nothing asked nor refused for "".
    void expectAsked(const char *expected) const {
        const QString seen = asked();
        EXPECT_TRUE(*expected ? seen.startsWith(QString::fromUtf8(expected)) : seen.isEmpty())
            << seen.toStdString();
    }
    BoardCell at(int room, const QString &time, int day = 0) {
        for (int row = 0; row < board->rows().size(); ++row)
            if (board->rows()[row].room == room)
                return {row, day, int(board->slotTimes().indexOf(time))};
        return {};
    }

    std::unique_ptr<RoomsBoard> board;
    QList<BoardMove> moves;
    QList<BoardBooking> bookings;
};

const QDate Saturday(2027, 8, 7);

TEST_F(RoomsBoardTest, AWeekShowsEachRoomsBookingsAndHatchesTheLinkedRooms) {
    addEvent(1, 20270807, u"Wedding"_s, u"18:00"_s, u"CLOSE"_s, 4, 1);
    addEvent(2, 20270802, u"Lunch"_s, u"12:00"_s, u"13:30"_s, 3, 3);
    addEvent(3, 20270805, u"Seminar"_s, u"09:00"_s, u"12:00"_s, 2, 2);
    addEvent(4, 20270806, u"Enquiry"_s, u"10:00"_s, u"11:00"_s, 1, 3);
    addEvent(5, 20270806, u"Cancelled"_s, u"10:00"_s, u"11:00"_s, 9, 3);
    addEvent(6, 20270808, u"Next week"_s, u"10:00"_s, u"11:00"_s, 2, 3);
    exec(u"evnt"_s, u"update eventinfo set setfor = 120 where eventnum = 1"_s);
    board->showDate(Saturday, RoomsBoard::Span::Week);

    EXPECT_EQ(board->firstDay(), QDate(2027, 8, 1)) << "weeks start on Sunday";
    EXPECT_EQ(rowsText(*board), u"1:0 2:1 4:1 3:0 5:0"_s) << "sections under their hall";
    EXPECT_EQ(blockTexts(), (QStringList{
                                u"3 1 12:00-13:30 12:00-13:30 Lunch"_s,
                                u"2 4 09:00-12:00 09:00-12:00 Seminar"_s,
                                u"3 5 10:00-11:00 10:00-11:00 Enquiry"_s,
                                u"1 6 18:00-CLOSE 18:00-CLOSE Wedding (120)"_s,
                            }));
    EXPECT_FALSE(board->blocks()[2].holdsRoom) << "an enquiry keeps nobody out";
    EXPECT_EQ(shadeTexts(), (QStringList{u"1 09:00 Hall East: Seminar"_s,
                                         u"2 18:00 Hall: Wedding"_s, u"4 18:00 Hall: Wedding"_s}));
    EXPECT_EQ(board->cellName(at(1, u"19:00"_s, 6)),
              u"Hall, Saturday, August 7, 2027, 18:00 to close, Wedding, 120 guests, confirmed "
              "w/count"_s);
    EXPECT_EQ(board->cellName(at(4, u"19:00"_s, 6)),
              u"Hall West, Saturday, August 7, 2027, 19:00, blocked by Hall: Wedding"_s);
    EXPECT_EQ(board->cellName(at(3, u"19:00"_s, 6)),
              u"Terrace, Saturday, August 7, 2027, 19:00, free"_s);

    // The filters apply at once: the evening only, the hall and its sections.
    board->setFilter(CalendarFilter::fromLists(u"Show Evening Only (after 6pm)"_s,
                                               u"1 - Hall  -  cap:50 only"_s));
    EXPECT_EQ(board->slotTimes().first(), u"18:00"_s);
    EXPECT_EQ(board->rows().size(), 3);
    EXPECT_EQ(blockTexts(), QStringList{u"1 6 18:00-CLOSE 18:00-CLOSE Wedding (120)"_s});
}

// Each drag, dropped on a cell: the request it makes, or the board's own
// refusal with nothing asked.
TEST_F(RoomsBoardTest, EachDragAsksForWhatItShowsOrSaysWhyNot) {
    addEvent(1, 20270807, u"Dinner"_s, u"18:00"_s, u"21:00"_s, 4, 3);
    addEvent(2, 20270807, u"Brunch"_s, u"10:00"_s, u"12:00"_s, 2, 1);
    addEvent(3, 20270807, u"Party"_s, u"20:00"_s, u"CLOSE"_s, 2, 1);
    addEvent(4, 20270807, u"Enquiry"_s, u"13:00"_s, u"15:00"_s, 1, 2);
    board->showDate(Saturday, RoomsBoard::Span::Day);
    const struct {
        const char *name;
        BoardCell from;
        bool edge;
        BoardCell to;
        const char *asked; // the move or booking, or the refusal
    } drags[] = {
        {"to another room and time", at(3, u"18:00"_s), false, at(2, u"13:00"_s),
         "move 1 to 20270807 room 2 13:00-16:00"},
        {"by its middle, keeping its length", at(3, u"19:00"_s), false, at(3, u"17:00"_s),
         "move 1 to 20270807 room 3 16:00-19:00"},
        {"its end stretched", at(3, u"20:45"_s), true, at(3, u"22:15"_s),
         "move 1 to 20270807 room 3 18:00-22:30"},
        {"its end stretched to the last slot", at(3, u"20:45"_s), true, at(3, u"23:45"_s),
         "move 1 to 20270807 room 3 18:00-CLOSE"},
        {"a run to the close, moved earlier", at(1, u"20:00"_s), false, at(1, u"19:00"_s),
         "move 3 to 20270807 room 1 19:00-CLOSE"},
        {"a run to the close, moved to another room", at(1, u"21:00"_s), false, at(3, u"22:00"_s),
         "move 3 to 20270807 room 3 21:00-CLOSE"},
        {"over another booking", at(3, u"18:00"_s), false, at(1, u"11:00"_s),
         "Hall is taken then by #2 Brunch."},
        {"past midnight", at(3, u"18:00"_s), false, at(3, u"22:00"_s),
         "#1 cannot run past the end of the day."},
        {"before the day", at(3, u"19:00"_s), false, at(3, u"00:00"_s),
         "#1 cannot start before 00:00."},
        {"onto a room without a name", at(3, u"18:00"_s), false, at(5, u"18:00"_s),
         "Room 5 has no name"},
        {"across free cells", at(2, u"18:00"_s), false, at(2, u"19:45"_s),
         "book 20270807 room 2 18:00-20:00"},
        {"across an enquiry, which keeps nobody out", at(2, u"12:00"_s), false, at(2, u"13:30"_s),
         "book 20270807 room 2 12:00-13:45"},
        {"an enquiry over a booking", at(2, u"13:00"_s), false, at(1, u"10:00"_s),
         "move 4 to 20270807 room 1 10:00-12:00"},
        {"across a room without a name", at(5, u"18:00"_s), false, at(5, u"19:00"_s),
         "Room 5 has no name"},
        {"backwards across free cells", at(2, u"19:45"_s), false, at(2, u"18:00"_s),
         "book 20270807 room 2 18:00-20:00"},
        {"across another booking", at(1, u"09:00"_s), false, at(1, u"10:30"_s),
         "Hall is taken then by #2 Brunch."},
        {"dropped outside", at(3, u"18:00"_s), false, BoardCell{}, ""},
        {"dropped where it was", at(3, u"18:00"_s), false, at(3, u"18:00"_s), ""},
    };
    for (const auto &drag : drags) {
        SCOPED_TRACE(drag.name);
        moves.clear();
        bookings.clear();
        board->press(drag.from, drag.edge);
        board->release(drag.to);
        expectAsked(drag.asked);
        EXPECT_EQ(board->drag().kind, RoomsBoard::DragKind::None);
    }
}

// Nothing the board draws may pass a booked room off as free, and nothing
// a stray click or an odd stored time does may book or move behind the
// operator's back.
TEST_F(RoomsBoardTest, ABookedRoomNeverLooksFreeAndAStrayClickChangesNothing) {
    addEvent(1, 20270807, u"All day"_s, u"10:00"_s, u"19:00"_s, 2, 3);
    addEvent(2, 20270807, u"Enquiry"_s, u"09:00"_s, u"13:00"_s, 1, 2);
    addEvent(3, 20270807, u"Over it"_s, u"11:00"_s, u"12:00"_s, 4, 2);
    addEvent(4, 20270807, u"Typed oddly"_s, u"9:00"_s, u"11:00"_s, 2, 1);
    addEvent(5, 20270807, u"Late"_s, u"22:00"_s, u"23:59"_s, 2, 1);
    addEvent(6, 20270807, u"Off the hour"_s, u"12:10"_s, u"13:00"_s, 2, 1);
    // A section of a section is still under the hall; a circle of halls
    // leaves its rooms standing on their own.
    exec(u"evnt"_s, u"update location set subdiv = 2 where roomnum = 4"_s);
    board->setRooms(rooms());
    board->setFilter(CalendarFilter::fromLists(u"Show Afternoon Only (Noon - 6pm)"_s, QString()));
    board->showDate(Saturday, RoomsBoard::Span::Day);

    EXPECT_EQ(rowsText(*board), u"1:0 2:1 4:1 3:0 5:0"_s);
    EXPECT_EQ(board->cellName(at(3, u"14:00"_s)).section(u", "_s, -2), u"All day, reserved"_s)
        << "booked through the afternoon, so booked in it";
    EXPECT_EQ(board->blocks()[board->blockAt(at(2, u"12:00"_s))].eventNumber, 2);
    EXPECT_EQ(board->blocks()[board->blockAt(at(2, u"12:30"_s))].eventNumber, 2);
    board->setFilter(CalendarFilter::fromLists(u"Show All Times"_s, QString()));
    EXPECT_EQ(board->blocks()[board->blockAt(at(2, u"11:30"_s))].eventNumber, 3)
        << "the booking, not the enquiry drawn under it";
    EXPECT_TRUE(board->caption().endsWith(u"(times to correct, not shown: #4)"_s));
    EXPECT_EQ(board->blocks()[board->blockAt(at(1, u"23:45"_s))].eventNumber, 5)
        << "23:59 ends the day";

    const struct {
        const char *name;
        BoardCell from;
        BoardCell to;
        const char *told;
    } drags[] = {
        {"a click on a free cell", at(3, u"20:00"_s), at(3, u"20:00"_s), ""},
        {"an event off the quarter-hours", at(1, u"12:00"_s), at(1, u"14:00"_s),
         "#6 runs from 12:10 to 13:00, off the quarter-hours"},
        {"one ending 23:59, moved earlier", at(1, u"22:00"_s), at(1, u"21:00"_s), ""},
    };
    for (const auto &drag : drags) {
        SCOPED_TRACE(drag.name);
        moves.clear();
        bookings.clear();
        board->press(drag.from, false);
        board->release(drag.to);
        EXPECT_TRUE(bookings.isEmpty());
        EXPECT_TRUE(*drag.told ? board->notice().startsWith(QString::fromUtf8(drag.told))
                               : board->notice().isEmpty())
            << board->notice().toStdString();
    }
    ASSERT_EQ(moves.size(), 1);
    EXPECT_EQ(moves[0].start + moves[0].end, u"21:00CLOSE"_s) << "it still runs to the close";

    // A key move refused, or not saved, leaves the cursor on its event.
    for (const int columns : {-40, -10}) {
        board->setCursor(at(1, u"22:00"_s));
        board->nudge(0, columns);
        EXPECT_EQ(board->cursor(), at(1, u"22:00"_s)) << columns;
    }
    EXPECT_TRUE(board->notice().isEmpty());
    EXPECT_EQ(moves.size(), 2) << "the first was refused on the board";
}

TEST_F(RoomsBoardTest, TheKeysWalkTheWeekBookAndMoveTheChosenEvent) {
    addEvent(1, 20270807, u"Dinner"_s, u"18:00"_s, u"21:00"_s, 4, 3);
    board->showDate(Saturday, RoomsBoard::Span::Week);
    QList<int> opened;
    QObject::connect(board.get(), &RoomsBoard::eventRequested,
                     [&](int number) { opened << number; });

    board->setCursor(at(3, u"23:45"_s, 5));
    board->moveCursor(0, 1);
    EXPECT_EQ(board->cursor(), at(3, u"00:00"_s, 6)) << "on into the next day";
    board->moveCursor(0, -1);
    EXPECT_EQ(board->cursor(), at(3, u"23:45"_s, 5)) << "back into the day before";
    board->moveCursor(-1, 0, true);
    EXPECT_EQ(board->cursor().row, at(3, u"23:45"_s, 5).row) << "a pick stays in its room";

    // Times picked across a booking are refused, not cut short.
    board->setCursor(at(3, u"17:00"_s, 6));
    board->moveCursor(0, 17, true);
    board->activate();
    EXPECT_TRUE(bookings.isEmpty());
    EXPECT_EQ(board->notice(), u"Terrace is taken then by #1 Dinner."_s);

    // A block dragged to another day of the week.
    board->press(at(3, u"18:00"_s, 6), false);
    board->release(at(3, u"18:00"_s, 5));
    ASSERT_EQ(moves.size(), 1);
    EXPECT_EQ(moves.takeFirst().date, 20270806);
    board->setCursor(at(3, u"18:00"_s, 6));
    board->activate();
    EXPECT_EQ(opened, QList<int>{1});

    board->nudge(0, 1);
    ASSERT_EQ(moves.size(), 1);
    EXPECT_EQ(moves[0].start + moves[0].end, u"18:1521:15"_s);
    board->nudge(-1, 0);
    ASSERT_EQ(moves.size(), 2);
    EXPECT_EQ(moves[1].room, 4) << "the row above";

    board->setCursor(at(3, u"12:00"_s, 6));
    board->moveCursor(0, 2, true);
    board->activate();
    ASSERT_EQ(bookings.size(), 1);
    EXPECT_EQ(bookings[0].start + bookings[0].end, u"12:0012:45"_s);
    board->setCursor(at(3, u"17:00"_s, 6));
    board->activate();
    ASSERT_EQ(bookings.size(), 2);
    EXPECT_EQ(bookings[1].start + bookings[1].end, u"17:0018:00"_s)
        << "an hour, cut short by the next booking";

    // A club that names no day's end books to the close.
    module->config.DayEndTime.clear();
    board->setFilter(CalendarFilter{});
    board->press(at(3, u"18:00"_s, 6), false);
    board->release(at(3, u"21:00"_s, 6));
    ASSERT_EQ(moves.size(), 3);
    EXPECT_EQ(moves[2].start + moves[2].end, u"21:00CLOSE"_s);
}

// The room table and the club's hours at their edges: halls that are gone
// or run in a circle, a filter on a section, a day that starts off the
// quarter-hour or ends before the evening, and events the hours shown or
// the stored times leave out.
TEST_F(RoomsBoardTest, TheRoomTableAndTheClubsHoursAtTheirEdges) {
    const struct {
        const char *name;
        const char *rooms; // SQL run on the room table first, or ""
        const char *dayStart;
        const char *dayEnd;
        const char *times;    // the time filter's entry
        const char *room;     // the room filter's entry
        const char *event;    // one event: "room status start end"
        const char *expected; // rows | first-last slot | blocks | shades | caption's end
    } cases[] = {
        {"a hall that is gone", "update location set subdiv = 9 where roomnum = 3", "00:00",
         "23:45", "Show All Times", "", "3 2 10:00 11:00", "1:0 2:1 4:1 3:0 5:0|00:00-23:45|1|0|"},
        {"halls in a circle", "update location set subdiv = 2 where roomnum = 1", "00:00", "23:45",
         "Show All Times", "", "1 2 10:00 11:00", "1:0 2:0 3:0 4:0 5:0|00:00-23:45|1|2|"},
        {"a room its own hall", "update location set subdiv = 3 where roomnum = 3", "00:00",
         "23:45", "Show All Times", "", "3 2 10:00 11:00", "1:0 2:1 4:1 3:0 5:0|00:00-23:45|1|0|"},
        {"the filter on a section", "", "00:00", "23:45", "Show All Times",
         "2 - Hall East  -  cap:50 only", "1 2 10:00 11:00", "2:1|00:00-23:45|0|1|"},
        {"a day starting off the quarter", "", "08:10", "23:45", "Show All Times", "",
         "3 2 10:00 11:00", "1:0 2:1 4:1 3:0 5:0|08:00-23:45|1|0|"},
        {"a day ending before the evening", "", "06:00", "17:00", "Show Evening Only (after 6pm)",
         "", "3 2 10:00 11:00", "1:0 2:1 4:1 3:0 5:0|17:00-17:00|0|0|"},
        {"a morning event on the afternoon board", "", "00:00", "23:45",
         "Show Afternoon Only (Noon - 6pm)", "", "3 2 10:00 12:00",
         "1:0 2:1 4:1 3:0 5:0|12:00-17:45|0|0|"},
        {"an enquiry hatches nothing", "", "00:00", "23:45", "Show All Times", "",
         "2 1 13:00 15:00", "1:0 2:1 4:1 3:0 5:0|00:00-23:45|1|0|"},
        {"an event of no length", "", "00:00", "23:45", "Show All Times", "", "3 2 10:00 10:00",
         "1:0 2:1 4:1 3:0 5:0|00:00-23:45|0|0|(times to correct, not shown: #1)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        exec(u"evnt"_s,
             u"update location set subdiv = case when roomnum in (2, 4) then 1 else 0 end"_s);
        exec(u"evnt"_s, u"delete from eventinfo"_s);
        if (*c.rooms)
            exec(u"evnt"_s, QString::fromUtf8(c.rooms));
        module->config.DayStartTime = QString::fromUtf8(c.dayStart);
        module->config.DayEndTime = QString::fromUtf8(c.dayEnd);
        const QStringList event = QString::fromUtf8(c.event).split(u' ');
        addEvent(1, 20270807, u"Event"_s, event[2], event[3], event[1].toInt(), event[0].toInt());
        board->setRooms(rooms());
        board->setFilter(
            CalendarFilter::fromLists(QString::fromUtf8(c.times), QString::fromUtf8(c.room)),
            false);
        board->showDate(Saturday, RoomsBoard::Span::Day);
        const QString caption = board->caption();
        const QString seen =
            u"%1|%2-%3|%4|%5|%6"_s
                .arg(rowsText(*board), board->slotTimes().first(), board->slotTimes().last())
                .arg(board->blocks().size())
                .arg(board->shades().size())
                .arg(caption.contains(u'(') ? caption.mid(caption.indexOf(u'(')) : QString());
        EXPECT_EQ(seen, QString::fromUtf8(c.expected));
    }

    // A room held to 13:05 is held at 13:00: drawn up to the quarter it ends in.
    exec(u"evnt"_s, u"delete from eventinfo"_s);
    addEvent(1, 20270807, u"Event"_s, u"12:00"_s, u"13:05"_s, 2, 3);
    board->setFilter(CalendarFilter{});
    EXPECT_GE(board->blockAt(at(3, u"13:00"_s)), 0);
    // The cursor stays on a row the filter leaves.
    board->setCursor(at(5, u"12:00"_s));
    board->setFilter(CalendarFilter::fromLists(QString(), u"1 - Hall  -  cap:50 only"_s));
    EXPECT_FALSE(board->cellName(board->cursor()).isEmpty());
    // A colour may be set with or without its "#".
    EXPECT_EQ(StatusColors::parse(u" A8D8F4 "_s), 0xA8D8F4);
}

// Each move and key at the edges of the day, of the rooms and of the week.
TEST_F(RoomsBoardTest, MovesAndKeysAtTheEdgesOfTheDayTheRoomsAndTheWeek) {
    addEvent(1, 20270807, u"Dinner"_s, u"18:00"_s, u"21:00"_s, 4, 3);
    addEvent(2, 20270807, u"Late"_s, u"22:00"_s, u"CLOSE"_s, 2, 1);
    addEvent(3, 20270807, u"Night"_s, u"23:45"_s, u"CLOSE"_s, 2, 3);
    addEvent(4, 20270807, u"Odd end"_s, u"12:00"_s, u"13:10"_s, 2, 3);
    board->showDate(Saturday, RoomsBoard::Span::Day);
    const auto drag = [&](const BoardCell &from, const BoardCell &to) {
        board->press(from, false);
        board->release(to);
    };
    const struct {
        const char *name;
        std::function<void()> act;
        const char *asked; // the move or booking, or the board's refusal
    } cases[] = {
        {"an end off the quarter-hours", [&] { drag(at(3, u"12:00"_s), at(3, u"14:00"_s)); },
         "#4 runs from 12:00 to 13:10"},
        {"moved to the day's first quarter", [&] { drag(at(3, u"18:00"_s), at(3, u"00:00"_s)); },
         "move 1 to 20270807 room 3 00:00-03:00"},
        {"nudged to start at the close",
         [&] {
             board->setCursor(at(3, u"23:45"_s));
             board->nudge(0, 1);
         },
         "#3 cannot start at the close of the day."},
        {"onto a booking of the day's last quarter",
         [&] { drag(at(1, u"22:00"_s), at(3, u"22:00"_s)); }, "Terrace is taken then by #3 Night."},
        {"nudged above the first room",
         [&] {
             board->setCursor(at(1, u"22:00"_s));
             board->nudge(-1, 0);
         },
         "There is no room further that way."},
        {"an hour cut short by the next booking",
         [&] {
             board->setCursor(at(3, u"17:30"_s));
             board->activate();
         },
         "book 20270807 room 3 17:30-18:00"},
        {"let go below the last room",
         [&] {
             drag(at(3, u"08:00"_s), BoardCell{int(board->rows().size()), 0, 40});
         },
         ""},
        {"a booking dragged into another room", [&] { drag(at(3, u"08:00"_s), at(2, u"09:45"_s)); },
         "book 20270807 room 3 08:00-10:00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        moves.clear();
        bookings.clear();
        c.act();
        expectAsked(c.asked);
    }

    // A week: the cursor stops at its ends; a booking dragged into the next
    // day runs to the close of its own.
    board->showDate(Saturday, RoomsBoard::Span::Week);
    board->setCursor(at(3, u"00:00"_s, 0));
    board->moveCursor(0, -1);
    EXPECT_EQ(board->cursor(), at(3, u"00:00"_s, 0));
    board->setCursor(at(3, u"23:45"_s, 6));
    board->moveCursor(0, 1);
    EXPECT_EQ(board->cursor(), at(3, u"23:45"_s, 6));
    bookings.clear();
    drag(at(3, u"22:00"_s, 3), at(3, u"01:00"_s, 4));
    ASSERT_EQ(bookings.size(), 1);
    EXPECT_EQ(u"%1 %2-%3"_s.arg(bookings[0].date).arg(bookings[0].start, bookings[0].end),
              u"20270804 22:00-CLOSE"_s);

    // A club whose day ends at 22:00: a run to the close moves as one.
    module->config.DayEndTime = u"22:00"_s;
    board->setFilter(CalendarFilter{});
    board->showDate(Saturday, RoomsBoard::Span::Day);
    moves.clear();
    drag(at(1, u"22:00"_s), at(1, u"19:00"_s));
    ASSERT_EQ(moves.size(), 1);
    EXPECT_EQ(moves[0].start + moves[0].end, u"19:00CLOSE"_s);
}

} // namespace

namespace {

// The board over the demo club, on each engine: every booking of the busy
// week in its room's row and on its day, and each hall and its sections
// hatched wherever the other is booked.
class DemoRoomsBoardTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

TEST_F(DemoRoomsBoardTest, TheBusyWeekShowsEveryBookingAndHatchesTheLinkedRooms) {
    signIn(99);
    RoomsBoard board(module->access, module->config);
    board.setRooms(LoadRooms(module->access).value_or(QList<Room>()));
    board.showDate(QDate(2027, 1, 9), RoomsBoard::Span::Week);

    EXPECT_EQ(rowsText(board), u"1:0 2:1 3:1 4:0 5:0 6:0"_s);

    const QStringList stored = rowTexts(
        u"evnt"_s,
        u"select eventnum, roomnumber, eventdate from eventinfo where eventdate between 20270103 "
        "and 20270109 and status between 1 and 8 and roomnumber > 0 order by eventnum"_s);
    QStringList shown;
    for (const BoardBlock &block : board.blocks())
        shown << u"%1|%2|%3"_s.arg(block.eventNumber)
                     .arg(board.rows()[block.row].room)
                     .arg(board.dayAt(block.day).toString(u"yyyyMMdd"_s));
    shown.sort();
    QStringList expected = stored;
    expected.sort();
    EXPECT_EQ(shown, expected);
    ASSERT_GE(shown.size(), 5) << "the demo's busy Saturday";

    // Each booking of the hall hatches both sections; each of a section,
    // the hall; nothing else is hatched.
    QStringList hatched, linked;
    for (const BoardBlock &block : board.blocks()) {
        const int room = board.rows()[block.row].room;
        if (!block.holdsRoom)
            continue;
        const QList<int> others = room == 1   ? QList<int>{2, 3}
                                  : room <= 3 ? QList<int>{1}
                                              : QList<int>{};
        for (int other : others)
            linked << u"%1 %2 %3"_s.arg(block.eventNumber).arg(other).arg(block.day);
    }
    for (const BoardShade &shade : board.shades())
        hatched << u"%1 %2 %3"_s.arg(shade.eventNumber)
                       .arg(board.rows()[shade.row].room)
                       .arg(shade.day);
    hatched.sort();
    linked.sort();
    EXPECT_EQ(hatched, linked);
    EXPECT_FALSE(hatched.isEmpty());
}

} // namespace
