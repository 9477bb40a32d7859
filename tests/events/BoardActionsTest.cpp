#include "EditingFixture.h"
#include "Workstation.h"
#include "values/TextValue.h"

#include <functional>
#include <tuple>

namespace {

constexpr int Ballroom = 1;
constexpr int Library = 3;
constexpr int Day = 20270807; // a Saturday
const QDate Saturday(2027, 8, 7);

// Moves and bookings made on the rooms board: whatever the board asks, the
// event window's own save decides, and a refused move leaves the event,
// its cells and its history as they were.
class BoardActionsTest : public EditingFixture {
protected:
    void SetUp() override {
        EditingFixture::SetUp();
        morning = booked(QString::number(Day), u"Brunch"_s, u"10:00"_s, u"12:00"_s, Ballroom);
        enterBooking(QString::number(Day), u"Gala"_s, Library); // 18:00 to 22:00
        click(EventCommand::Save);
        gala = integerValue(box(EventField::Number));
        showBoard(*logic);
        prompts.clear();
    }
    static void showBoard(MainWindowLogic &on) {
        on.calendar.ChangeView(MonthSheet::BoardView);
        on.calendar.board.showDate(Saturday, RoomsBoard::Span::Day);
    }
    static BoardCell cellOf(MainWindowLogic &on, int room, const QString &time) {
        const RoomsBoard &board = on.calendar.board;
        for (int row = 0; row < board.rows().size(); ++row)
            if (board.rows()[row].room == room)
                return {row, 0, int(board.slotTimes().indexOf(time))};
        return {};
    }
    // The gala's block dragged by its first cell to a room and start.
    static void dragGala(MainWindowLogic &on, int room, const QString &start) {
        on.calendar.board.press(cellOf(on, Library, u"18:00"_s), false);
        on.calendar.board.release(cellOf(on, room, start));
    }
    QString where() {
        return rowTexts(u"evnt"_s,
                        u"select eventdate, roomnumber, starttime, endtime from eventinfo "
                        "where eventnum = ?"_s,
                        {gala})
            .join(u';');
    }

    int gala = 0;
    int morning = 0;
};

TEST_F(BoardActionsTest, AConfirmedMoveIsSavedWithItsCellsHistoryAndChangeCount) {
    const int countBefore =
        count(u"select changecount from eventchange where eventnum = ?"_s, {gala});
    prompts.answerYesNo(true);
    // The minute's redraw waits while the block is held.
    logic->calendar.board.press(cellOf(*logic, Library, u"18:00"_s), false);
    for (int tick = 0; tick < 2 * MonthSheet::RedisplayTicks; ++tick)
        logic->calendar.redrawTick();
    logic->calendar.board.release(cellOf(*logic, Ballroom, u"19:00"_s));

    ASSERT_EQ(prompts.questions.size(), 1) << told();
    EXPECT_EQ(prompts.questions.first().text,
              u"Move #%1 Gala\nfrom Library, Saturday, August 7, 2027, 18:00 to 22:00\nto "
              "Ballroom, Saturday, August 7, 2027, 19:00 to 23:00?"_s.arg(gala));
    EXPECT_EQ(where(), u"20270807|1|19:00|23:00"_s);
    EXPECT_TRUE(cells(Library, Day).isEmpty());
    EXPECT_EQ(cells(Ballroom, Day).filter(u" %1 "_s.arg(gala)).size(), 16);
    EXPECT_GT(count(u"select changecount from eventchange where eventnum = ?"_s, {gala}),
              countBefore);
    EXPECT_TRUE(historyFile().last().contains(
        u"Event#%1 \\Start time changed from 18:00 to 19:00"_s.arg(gala)))
        << historyFile().last().toStdString();
    EXPECT_EQ(event().mode, CurrentEvent::Viewing);
    EXPECT_TRUE(window().reservationsVisible) << "the board stays in front";
    const RoomsBoard &board = logic->calendar.board;
    EXPECT_EQ(
        board.rows()[board.blocks()[board.blockAt(cellOf(*logic, Ballroom, u"19:00"_s))].row].room,
        Ballroom);
}

// What the board refuses itself asks nothing; what the operator declines
// or the save refuses leaves the event as stored.
TEST_F(BoardActionsTest, ARefusedOrDeclinedMoveLeavesTheEventAsStored) {
    const QString stored = where();
    const QStringList storedCells = cells(Library, Day);
    const struct {
        const char *name;
        std::function<void()> act;
        const char *told; // the board's notice or the message shown
    } cases[] = {
        {"over another booking", [&] { dragGala(*logic, Ballroom, u"09:00"_s); },
         "Ballroom is taken then by #%1 Brunch."},
        {"past the end of the day", [&] { dragGala(*logic, Library, u"21:00"_s); },
         "cannot run past the end of the day."},
        {"let go outside the board",
         [&] {
             logic->calendar.board.press(cellOf(*logic, Library, u"18:00"_s), false);
             logic->calendar.board.release(BoardCell{});
         },
         ""},
        {"declined",
         [&] {
             prompts.answerYesNo(false);
             dragGala(*logic, Ballroom, u"19:00"_s);
         },
         ""},
        {"taken after the board was drawn",
         [&] {
             // Booked at another workstation, as its save leaves it.
             exec(u"evnt"_s,
                  u"insert into eventinfo (eventnum, eventdate, eventtitle, "
                  "starttime, endtime, status, roomnumber) values (900, ?, 'Late', "
                  "'21:00', '22:00', 2, 1)"_s,
                  {Day});
             exec(u"evnt"_s,
                  u"update reserv set Event1 = 900, Room1 = 'Late' where resdate = "
                  "? and restime >= '21:00' and restime < '22:00'"_s,
                  {Day});
             prompts.answerYesNo(true);
             dragGala(*logic, Ballroom, u"19:00"_s);
         },
         "The chosen time and room combination is already in use."},
        {"into the past below the administrator",
         [&] {
             setLevel(50);
             logic->boardActions.move({gala,
                                       u"Gala"_s,
                                       Day,
                                       Library,
                                       u"18:00"_s,
                                       u"22:00"_s,
                                       20261201,
                                       Library,
                                       u"18:00"_s,
                                       u"22:00"_s,
                                       {},
                                       {}});
         },
         "administrator mode"},
        {"below the level that changes events, before anything is asked",
         [&] {
             setLevel(10);
             dragGala(*logic, Ballroom, u"19:00"_s);
         },
         "Your access level does not allow events to be entered or changed."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        setLevel(99);
        showBoard(*logic);
        prompts.clear();
        c.act();
        const QString notice = logic->calendar.board.notice();
        const QString shown = prompts.messages.isEmpty() ? QString() : prompts.messages.last().text;
        const QString expected = QString::fromUtf8(c.told).contains(u"%1"_s)
                                     ? QString::fromUtf8(c.told).arg(morning)
                                     : QString::fromUtf8(c.told);
        EXPECT_TRUE(expected.isEmpty() ? notice.isEmpty() && shown.isEmpty()
                                       : notice.contains(expected) || shown.contains(expected))
            << notice.toStdString() << " / " << shown.toStdString();
        EXPECT_EQ(where(), stored);
        EXPECT_EQ(cells(Library, Day), storedCells);
        EXPECT_EQ(event().mode, CurrentEvent::Viewing);
        EXPECT_FALSE(event().UnsavedChanges);
        EXPECT_EQ(box(EventField::Room) + box(EventField::Start) + box(EventField::End),
                  u"318:0022:00"_s)
            << "the window shows the event as stored";
        exec(u"evnt"_s, u"delete from eventinfo where eventtitle = 'Late'"_s);
        exec(u"evnt"_s, u"update reserv set Event1 = 0, Room1 = ' ' where Room1 = 'Late'"_s);
    }
}

// Two workstations, one event: whichever moved it first, the other's move
// or save from its older picture is refused, and the event stays where
// the first put it.
TEST_F(BoardActionsTest, TheSecondWorkstationToMoveTheSameEventIsRefused) {
    enum class First { BoardMove, StartSaved, EndSaved, DateSaved };
    enum class Second { BoardMove, Save };
    const struct {
        const char *name;
        First first;
        Second second;
        const char *stored; // where the first put the gala
        int quarters;       // the cells it holds there
    } races[] = {
        {"board after board", First::BoardMove, Second::BoardMove, "20270807|1|19:00|23:00", 16},
        {"save after board", First::BoardMove, Second::Save, "20270807|1|19:00|23:00", 16},
        // Only a time changed: a move to another room must not undo it.
        {"board after a save of the start", First::StartSaved, Second::BoardMove,
         "20270807|3|17:00|22:00", 20},
        {"board after a save of the end", First::EndSaved, Second::BoardMove,
         "20270807|3|18:00|21:00", 12},
        {"board after a save of the date", First::DateSaved, Second::BoardMove,
         "20270808|3|18:00|22:00", 16},
    };
    for (const auto &race : races) {
        SCOPED_TRACE(race.name);
        Workstation anna(settings(), club, u"ANNA"_s);
        Workstation bert(settings(), club, u"BERT"_s);
        showBoard(anna.logic());
        showBoard(bert.logic());
        if (race.second == Second::Save) {
            ASSERT_TRUE(bert.logic().ShowEvent(gala));
            bert.click(EventCommand::Modify);
        }
        if (race.first == First::BoardMove) {
            anna.prompts.answerYesNo(true);
            dragGala(anna.logic(), Ballroom, u"19:00"_s);
        } else {
            ASSERT_TRUE(anna.logic().ShowEvent(gala));
            anna.click(EventCommand::Modify);
            const EventField field = race.first == First::StartSaved ? EventField::Start
                                     : race.first == First::EndSaved ? EventField::End
                                                                     : EventField::Date;
            anna.event().fields[field] = field == EventField::Start ? u"17:00"_s
                                         : field == EventField::End ? u"21:00"_s
                                                                    : u"20270808"_s;
            anna.event().UnsavedChanges = true;
            anna.click(EventCommand::Save);
        }
        ASSERT_EQ(where(), QString::fromUtf8(race.stored))
            << anna.prompts.messageTexts().join('|').toStdString();

        if (race.second == Second::BoardMove) {
            bert.prompts.answerYesNo(true);
            dragGala(bert.logic(), Ballroom, u"18:00"_s);
            EXPECT_TRUE(bert.prompts.messages.last().text.contains(
                u"was changed at another workstation"_s));
        } else {
            bert.event().fields[EventField::Start] = u"17:00"_s;
            bert.event().UnsavedChanges = true;
            bert.prompts.answerYesNo(false); // keep his screen rather than reload
            bert.click(EventCommand::Save);
            EXPECT_TRUE(bert.prompts.questions.last().text.contains(
                u"was changed at another workstation"_s));
        }
        EXPECT_EQ(where(), QString::fromUtf8(race.stored));
        const QStringList stored = QString::fromUtf8(race.stored).split(u'|');
        const int room = stored[1].toInt();
        EXPECT_EQ(cells(room, stored[0].toInt()).filter(u" %1 "_s.arg(gala)).size(), race.quarters);
        EXPECT_TRUE(cells(room == Ballroom ? Library : Ballroom, Day)
                        .filter(u" %1 "_s.arg(gala))
                        .isEmpty());

        // Back where it started, for the next race.
        exec(u"evnt"_s,
             u"update eventinfo set eventdate = ?, roomnumber = 3, starttime = "
             "'18:00', endtime = '22:00' where eventnum = ?"_s,
             {Day, gala});
        exec(u"evnt"_s, u"update reserv set Event1 = 0, Room1 = ' ' where Event1 = ?"_s, {gala});
        exec(u"evnt"_s, u"update reserv set Event3 = 0, Room3 = ' ' where Event3 = ?"_s, {gala});
        exec(u"evnt"_s,
             u"update reserv set Event3 = ?, Room3 = 'Gala' where resdate = ? and "
             "restime >= '18:00' and restime < '22:00'"_s,
             {gala, Day});
    }
}

// While the operator enters or changes an event, the board takes nothing
// of his: a move of another is refused, and a booking he declines to start
// leaves his boxes as he typed them.
TEST_F(BoardActionsTest, WhatTheOperatorIsTypingIsNeverOverwritten) {
    ASSERT_TRUE(logic->ShowEvent(morning));
    click(EventCommand::Modify);
    type(EventField::Title, u"Brunch for forty"_s);
    prompts.clear();
    dragGala(*logic, Ballroom, u"19:00"_s);
    EXPECT_EQ(prompts.messages.last().text,
              u"Save or cancel the event being entered or changed before moving another."_s);
    EXPECT_EQ(box(EventField::Title), u"Brunch for forty"_s);
    EXPECT_TRUE(event().UnsavedChanges);
    EXPECT_EQ(where(), u"20270807|3|18:00|22:00"_s);
    prompts.answerYesNo(true); // "Cancel changes?"
    click(EventCommand::ClearScreen);

    enterBooking(u"20270901"_s, u"Typed"_s, Library);
    const QString number = box(EventField::Number);
    prompts.answerYesNo(false); // "Cancel changes?": no, keep them
    logic->calendar.board.press(cellOf(*logic, 2, u"13:00"_s), false);
    logic->calendar.board.release(cellOf(*logic, 2, u"15:45"_s));
    EXPECT_EQ(box(EventField::Number), number);
    EXPECT_EQ(box(EventField::Date) + box(EventField::Room) + box(EventField::Start) +
                  box(EventField::End),
              u"20270901318:0022:00"_s);
    EXPECT_TRUE(event().UnsavedChanges);
}

// A hall moved in its own room is saved as a typed change of time is: its
// sections are not asked about. An event deleted after the board was drawn
// is named, and drops off the board.
TEST_F(BoardActionsTest, AHallMovedInItsRoomAndAnEventDeletedMeanwhile) {
    enterBooking(QString::number(Day), u"Hall dinner"_s, Ballroom);
    click(EventCommand::Save);
    const int dinner = integerValue(box(EventField::Number));
    booked(QString::number(Day), u"Section tea"_s, u"14:00"_s, u"15:00"_s, 2);
    logic->events.ClearEvent();
    logic->editor.endEditing();
    showBoard(*logic);
    prompts.clear();
    prompts.answerYesNo(true);
    logic->calendar.board.press(cellOf(*logic, Ballroom, u"18:00"_s), false);
    logic->calendar.board.release(cellOf(*logic, Ballroom, u"13:00"_s));
    EXPECT_EQ(prompts.questions.size(), 1) << told();
    EXPECT_EQ(stored(u"starttime"_s, dinner), u"13:00"_s);

    exec(u"evnt"_s, u"delete from eventinfo where eventnum = ?"_s, {gala});
    prompts.clear();
    prompts.answerYesNo(true);
    dragGala(*logic, Library, u"19:00"_s);
    EXPECT_EQ(prompts.messages.last().text,
              u"Event #%1 could not be found; it may have been deleted."_s.arg(gala));
    for (const BoardBlock &block : logic->calendar.board.blocks())
        EXPECT_NE(block.eventNumber, gala);
}

TEST_F(BoardActionsTest, DraggingAcrossFreeCellsStartsNewEventFilledIn) {
    RoomsBoard &board = logic->calendar.board;
    board.press(cellOf(*logic, 2, u"13:00"_s), false);
    board.release(cellOf(*logic, 2, u"15:45"_s));
    EXPECT_EQ(event().mode, CurrentEvent::EnteringNew) << told();
    EXPECT_EQ(box(EventField::Date), u"20270807"_s);
    EXPECT_EQ(box(EventField::Room), u"2"_s);
    EXPECT_EQ(box(EventField::Start), u"13:00"_s);
    EXPECT_EQ(box(EventField::End), u"16:00"_s);
    EXPECT_EQ(event().LinkedRoom, Ballroom) << "a section books with its hall in view";
    EXPECT_FALSE(event().UnsavedChanges);

    click(EventCommand::ClearScreen);
    setLevel(50);
    logic->boardActions.book({20261206, Library, u"18:00"_s, u"19:00"_s});
    EXPECT_EQ(event().mode, CurrentEvent::EnteringNew) << "today is not the past";
    click(EventCommand::ClearScreen);
    for (const auto &[level, date, told] :
         {std::tuple{50, 20261201, FieldEntry::BackDatingRefused},
          std::tuple{10, 20270807,
                     u"Your access level does not allow events to be entered or changed."_s}}) {
        setLevel(level);
        logic->boardActions.book({date, Library, u"18:00"_s, u"19:00"_s});
        EXPECT_EQ(prompts.messages.last().text, told);
        EXPECT_NE(event().mode, CurrentEvent::EnteringNew);
    }
}

} // namespace
