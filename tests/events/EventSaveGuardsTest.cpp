#include "EditingFixture.h"
#include "events/ChangeLog.h"
#include "items/ItemWindow.h"

#include <QDir>

namespace {

constexpr int Ballroom = 1; // its section, Ballroom East, is room 2
constexpr int BallroomEast = 2;
constexpr int Library = 3;
const QString Evnt = u"evnt"_s;

// What a save checks before it writes anything: the booking itself, the
// rooms around it, the event as stored; and what it writes beside the row.
using EventSaveGuardsTest = EditingFixture;

TEST_F(EventSaveGuardsTest, ABookingNeedsARealRoomAndQuarterHoursInOrder) {
    booked(u"20270410"_s, u"Dinner"_s, u"17:00"_s, u"23:00"_s, Library);
    // The texts that are times are the slot booking's; here each box's
    // refusal is named, and the save stores nothing.
    const std::tuple<const char *, const char *, const char *, std::optional<EventField>,
                     const char *>
        cases[] = {
            {"20:00", "18:00", "3", EventField::End,
             "End time cannot be equal to or earlier than the start time"},
            {"18:00", "22:00", "abc", EventField::Room, "Location/room: \"abc\" is not a number."},
            {"18:00", "22:00", "9", EventField::Room,
             "Location/room: \"9\" is not one of the club's rooms."},
            {"18:00", "22:00", "", EventField::Room, "Location/room: a booking needs a room."},
            {"1a:30", "22:00", "3", EventField::Start, "Start time: \"1a:30\" is not a time."},
            {"18:00", "1x:59", "3", EventField::End, "End time: \"1x:59\" is not a time."},
            {"", "22:00", "3", EventField::Start, "Start time: a booking needs one."},
            {"18:07", "22:00", "3", EventField::Start,
             "Start time: 18:07 is not on a quarter-hour. Rooms are booked "
             "by the quarter-hour: use 18:00 or 18:15."},
            {"18:00", "23:59", "3", std::nullopt, nullptr}, // refused for the clash only
        };
    for (const auto &[start, end, room, field, told] : cases) {
        SCOPED_TRACE(std::string(start) + "-" + end + " room " + room);
        prompts.clear();
        record->ClearEvent();
        record->NextEventNumber();
        auto &fields = module->event.fields;
        fields[EventField::Date] = u"20270410"_s;
        fields[EventField::Title] = u"Second dinner"_s;
        fields[EventField::Start] = QString::fromLatin1(start);
        fields[EventField::End] = QString::fromLatin1(end);
        fields[EventField::Status] = u"2"_s;
        fields[EventField::Room] = QString::fromLatin1(room);
        EXPECT_EQ(record->SaveEvent(EventRecord::NewEvent),
                  told ? EventRecord::Saved::Refused : EventRecord::Saved::Conflict);
        EXPECT_EQ(record->refusedField, field);
        if (told) {
            EXPECT_TRUE(prompts.lastMessage().text.startsWith(QString::fromLatin1(told)))
                << prompts.lastMessage().text.toStdString();
        }
        EXPECT_EQ(events(), 1) << "nothing of a refused booking is stored";
    }
    EXPECT_EQ(cells(Library, 20270410).size(), 24) << "the first dinner keeps its cells";

    // An enquiry holds no cells, so its times and room are not checked.
    record->ClearEvent();
    record->NextEventNumber();
    module->event.fields[EventField::Date] = u"20270410"_s;
    module->event.fields[EventField::End] = u"whenever"_s;
    module->event.fields[EventField::Status] = u"1"_s;
    EXPECT_EQ(record->SaveEvent(EventRecord::NewEvent), EventRecord::Saved::Done);
}

TEST_F(EventSaveGuardsTest,
       ATakenRoomIsRefusedWhateverItsLinkedRoomSaysAndAMoveFreesTheCellsAsStored) {
    const int east =
        booked(u"20270411"_s, u"East cocktails"_s, u"18:00"_s, u"22:00"_s, BallroomEast);
    // The ballroom is free, its section is not: the operator may book anyway.
    prompts.answerYesNo(true);
    booked(u"20270411"_s, u"Ballroom gala"_s, u"18:00"_s, u"22:00"_s, Ballroom);
    EXPECT_EQ(prompts.questions.last().text,
              u"Caution - a possible conflict with room # 2 exists with this "
              "reservation.\r\nRoom # 2 is held by Event #%1 \"East cocktails\", "
              "room 2, 18:00-22:00.\r\nClick YES to make the reservation anyway; "
              "click NO to exit."_s.arg(east));
    // The section itself is taken: refused without a question, naming the
    // event in it, and its cells stay the cocktails'.
    prompts.clear();
    EXPECT_EQ(book(u"20270411"_s, u"East again"_s, u"19:00"_s, u"20:00"_s, BallroomEast),
              EventRecord::Saved::Conflict);
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(prompts.lastMessage().text,
              u"The chosen time and room combination is already in use.\r\nIt is "
              "held by Event #%1 \"East cocktails\", room 2, 18:00-22:00."_s.arg(east));
    EXPECT_EQ(cells(BallroomEast, 20270411).size(), 16);
    // A title of pages is cut short in the message; the number stays.
    exec(Evnt, u"update eventinfo set eventtitle = ? where eventnum = ?"_s,
         {QString(10000, u'W'), east});
    prompts.clear();
    EXPECT_EQ(book(u"20270411"_s, u"East again"_s, u"19:00"_s, u"20:00"_s, BallroomEast),
              EventRecord::Saved::Conflict);
    EXPECT_EQ(prompts.lastMessage().text,
              u"The chosen time and room combination is already in use.\r\nIt is "
              "held by Event #%1 \"%2\u2026\", room 2, 18:00-22:00."_s.arg(east)
                  .arg(QString(59, u'W')));

    // An event moving into the section of its own hall is in nobody's way.
    const int lunch = booked(u"20270412"_s, u"Hall lunch"_s, u"12:00"_s, u"14:00"_s, Ballroom);
    ASSERT_TRUE(record->LoadEvent(lunch));
    record->chooseRoom(BallroomEast);
    prompts.clear();
    EXPECT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(cells(BallroomEast, 20270412).size(), 8);
    EXPECT_TRUE(cells(Ballroom, 20270412).isEmpty());

    const int number = booked(u"20270415"_s, u"Recital"_s, u"18:00"_s, u"22:00"_s, Library);
    ASSERT_TRUE(record->LoadEvent(number));
    // Moved to the 16th behind this window's back, by a program that keeps
    // no change count.
    exec(Evnt, u"update reserv set event3 = 0, room3 = ' ' where event3 = ?"_s, {number});
    exec(Evnt,
         u"update reserv set event3 = ?, room3 = 'Recital' where resdate = 20270416 "
         "and restime >= '18:00' and restime < '22:00'"_s,
         {number});
    exec(Evnt, u"update eventinfo set eventdate = 20270416 where eventnum = ?"_s, {number});
    module->event.fields[EventField::Title] = u"Spring recital"_s;
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(cells(Library, 20270415).size(), 16);
    EXPECT_TRUE(cells(Library, 20270416).isEmpty()) << "no phantom left on the 16th";
}

TEST_F(EventSaveGuardsTest, ThisWorkstationsItemWindowNeverMakesItsOwnSaveStale) {
    enterBooking(u"20270420"_s, u"Reunion"_s, Library);
    click(EventCommand::Save);
    const int number = box(EventField::Number).toInt();
    exec(Evnt,
         u"insert into items (eventid, qty, itemdesc, price, servchg, tax, glnum) "
         "values (?, 1, 'Cake', 10, 1, 1, 4010)"_s,
         {number});
    click(EventCommand::Modify);
    type(EventField::Title, u"Class reunion"_s);
    ItemWindow &items = logic->items;
    ASSERT_TRUE(items.open());
    items.selectEventItemRow(0);
    items.moveItem(ItemWindow::RemoveMove);
    EXPECT_EQ(scalar(Evnt, u"select count(*) from items"_s).toInt(), 0);
    prompts.clear();
    click(EventCommand::Save);
    EXPECT_TRUE(prompts.questions.isEmpty()) << prompts.questions.value(0).text.toStdString();
    EXPECT_EQ(stored(u"eventtitle"_s, number), u"Class reunion"_s);

    // Another workstation's change in between is not adopted: the save is
    // refused, and Yes loads the event as it is now.
    click(EventCommand::Modify);
    exec(Evnt,
         u"update eventchange set changecount = changecount + 1, changedby = "
         "'MARY', changedat = '2026-12-06 08:15:00' where eventnum = ?"_s,
         {number});
    exec(Evnt, u"update eventinfo set setfor = 80 where eventnum = ?"_s, {number});
    type(EventField::Title, u"Lost title"_s);
    prompts.answerYesNo(true);
    click(EventCommand::Save);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].text.startsWith(
        u"Event #%1 was changed at another workstation (MARY, 08:15) since you "
        "opened it."_s.arg(number)));
    EXPECT_EQ(stored(u"eventtitle"_s, number), u"Class reunion"_s);
    EXPECT_EQ(box(EventField::Title), u"Class reunion"_s) << "reloaded";
    EXPECT_EQ(box(EventField::Guests), u"80"_s);
    click(EventCommand::Save);
    EXPECT_EQ(event().mode, CurrentEvent::Viewing) << "the reloaded copy saves";
}

TEST_F(EventSaveGuardsTest, TitlesAreStoredCopiedAndCutAlike) {
    // Trimmed, and copied to the package and the cells; 49 letters and an
    // emoji (two UTF-16 units) do not fit 50, so the emoji goes whole.
    const QString letters(49, QLatin1Char('a'));
    const QString emoji = u"\U0001F389"_s;
    const int number =
        booked(u"20270425"_s, u"  "_s + letters + emoji, u"18:00"_s, u"19:00"_s, Library);
    exec(Evnt,
         u"insert into pkg (pkgnum, eventnum, eventdate, eventtitle) values (?, ?, "
         "20270425, 'old')"_s,
         {number, number});
    ASSERT_TRUE(record->LoadEvent(number));
    module->event.fields[EventField::Title] = u" Party "_s + emoji + u"  "_s;
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    const QString title = u"Party "_s + emoji;
    EXPECT_EQ(stored(u"eventtitle"_s, number), title);
    EXPECT_EQ(scalar(Evnt, u"select eventtitle from pkg"_s).toString(), title);
    EXPECT_TRUE(cells(Library, 20270425).first().endsWith(title));

    // Too long, it is cut to its column between characters, and the operator told.
    booked(u"20270426"_s, letters + emoji, u"18:00"_s, u"19:00"_s, Library);
    EXPECT_TRUE(prompts.lastMessage().text.contains(
        u"Title of the event as it shows on the calendar: the first 50 characters"_s));
    EXPECT_EQ(stored(u"eventtitle"_s, lastNumber), letters);
    EXPECT_EQ(cells(Library, 20270426).first().section(QLatin1Char(' '), 2), letters);
}

TEST_F(EventSaveGuardsTest, ChangeLogLinesKeepTheirFieldsAndThoseNotWrittenAreShownAtClosing) {
    enterBooking(u"20270427"_s, u"A\\B night"_s, Library);
    click(EventCommand::Save);
    const int number = box(EventField::Number).toInt();
    click(EventCommand::Modify);
    type(EventField::Title, u"C:\\night"_s);
    click(EventCommand::Save);
    // A backslash is doubled, so lines are still told apart by their number
    // and time.
    EXPECT_TRUE(historyFile().last().endsWith(
        u"\\Event#%1 \\Event name changed from A\\\\B night to C:\\\\night\\"_s.arg(number)))
        << historyFile().last().toStdString();
    ChangeLog log(module->messages, module->ports.clock, module->event);
    const auto changes = log.lastChanges(QTimeZone::systemTimeZone());
    ASSERT_TRUE(changes.ok());
    EXPECT_EQ(changes->value(number), clock.now());

    // The log cannot be written: a folder stands where the file goes.
    click(EventCommand::Modify);
    type(EventField::Title, u"Pub quiz"_s);
    ASSERT_TRUE(QFile::rename(path(u"evntsched.ini"_s), path(u"evntsched.old"_s)));
    ASSERT_TRUE(QDir(club).mkdir(u"evntsched.ini"_s));
    prompts.expectError(3);
    click(EventCommand::Save);
    // Another window's line waits behind it, in order.
    ChangeLog other(module->messages, module->ports.clock, module->event);
    other.AuditLine = u"Add Item#7-Cake"_s;
    EXPECT_FALSE(other.WriteAudit());
    EXPECT_FALSE(module->messages.flushLogs());
    const QString shown = prompts.lastMessage().text;
    EXPECT_TRUE(shown.startsWith(u"These lines could not be written to evntsched.ini:\n\n"_s));
    EXPECT_TRUE(shown.contains(u"night to Pub quiz"_s));
    EXPECT_TRUE(shown.endsWith(u"Add Item#7-Cake"_s));
}

} // namespace
