#include "EditingFixture.h"
#include "events/ChangeLog.h"
#include "items/ItemWindow.h"

#include <QDir>

namespace {

constexpr int Ballroom = 1; // its section, Ballroom East, is room 2
constexpr int BallroomEast = 2;
constexpr int Library = 3;
const QString Evnt = QStringLiteral("evnt");

// What a save checks before it writes anything: the booking itself, the
// rooms around it, the event as stored; and what it writes beside the row.
class EventSaveGuardsTest : public EditingFixture {
protected:
    QString storedText(const QString &column, int number) {
        return scalar(Evnt,
                      QStringLiteral("select %1 from eventinfo where eventnum = ?").arg(column),
                      {number})
            .toString();
    }
};

TEST_F(EventSaveGuardsTest, ABookingNeedsARealRoomAndQuarterHoursInOrder) {
    ASSERT_EQ(book(QStringLiteral("20270410"), QStringLiteral("Dinner"), QStringLiteral("17:00"),
                   QStringLiteral("23:00"), Library),
              EventRecord::Saved::Done);
    struct Case {
        const char *start, *end, *room;
        std::optional<EventField> field;
        const char *told;
    };
    const Case cases[] = {
        {"20:00", "18:00", "3", EventField::End,
         "End time cannot be equal to or earlier than the start time"},
        {"20:00", "20:00", "3", EventField::End,
         "End time cannot be equal to or earlier than the start time"},
        {"18:00", "22:00", "abc", EventField::Room, "Location/room: \"abc\" is not a number."},
        {"18:00", "22:00", "0", EventField::Room,
         "Location/room: \"0\" is not one of the club's rooms."},
        {"18:00", "22:00", "-1", EventField::Room,
         "Location/room: \"-1\" is below 0, the least the box takes."},
        {"18:00", "22:00", "3abc", EventField::Room, "Location/room: \"3abc\" is not a number."},
        {"18:00", "22:00", "9", EventField::Room,
         "Location/room: \"9\" is not one of the club's rooms."},
        {"18:00", "22:00", "", EventField::Room, "Location/room: a booking needs a room."},
        {"1a:30", "22:00", "3", EventField::Start, "Start time: \"1a:30\" is not a time."},
        {"12:", "22:00", "3", EventField::Start, "Start time: \"12:\" is not a time."},
        {"18:00", "1x:59", "3", EventField::End, "End time: \"1x:59\" is not a time."},
        {"00:00x", "22:00", "3", EventField::Start, "Start time: \"00:00x\" is not a time."},
        {"", "22:00", "3", EventField::Start, "Start time: a booking needs one."},
        {"18:07", "22:00", "3", EventField::Start,
         "Start time: 18:07 is not on a quarter-hour. Rooms are booked "
         "by the quarter-hour: use 18:00 or 18:15."},
        {"18:00", "23:59", "3", std::nullopt,
         nullptr}, // the end of the day; refused for the clash only
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.start) + "-" + c.end + " room " + c.room);
        prompts.clear();
        record->ClearEvent();
        record->NextEventNumber();
        auto &fields = module->event.fields;
        fields[EventField::Date] = QStringLiteral("20270410");
        fields[EventField::Title] = QStringLiteral("Second dinner");
        fields[EventField::Start] = QString::fromLatin1(c.start);
        fields[EventField::End] = QString::fromLatin1(c.end);
        fields[EventField::Status] = QStringLiteral("2");
        fields[EventField::Room] = QString::fromLatin1(c.room);
        const auto saved = record->SaveEvent(EventRecord::NewEvent);
        EXPECT_EQ(record->refusedField, c.field);
        if (c.told) {
            EXPECT_EQ(saved, EventRecord::Saved::Refused);
            ASSERT_FALSE(prompts.messages.isEmpty());
            EXPECT_TRUE(prompts.lastMessage().text.startsWith(QString::fromLatin1(c.told)))
                << prompts.lastMessage().text.toStdString();
        } else {
            EXPECT_EQ(saved, EventRecord::Saved::Conflict);
        }
        EXPECT_EQ(events(), 1) << "nothing of a refused booking is stored";
    }
    EXPECT_EQ(cells(Library, 20270410).size(), 24) << "the first dinner keeps its cells";

    // An enquiry holds no cells, so its times and room are not checked.
    record->ClearEvent();
    record->NextEventNumber();
    module->event.fields[EventField::Date] = QStringLiteral("20270410");
    module->event.fields[EventField::End] = QStringLiteral("whenever");
    module->event.fields[EventField::Status] = QStringLiteral("1");
    EXPECT_EQ(record->SaveEvent(EventRecord::NewEvent), EventRecord::Saved::Done);
}

TEST_F(EventSaveGuardsTest, ATakenRoomIsRefusedWhateverItsLinkedRoomSays) {
    ASSERT_EQ(book(QStringLiteral("20270411"), QStringLiteral("East cocktails"),
                   QStringLiteral("18:00"), QStringLiteral("22:00"), BallroomEast),
              EventRecord::Saved::Done);
    const int east = lastNumber;
    // The ballroom is free, its section is not: the operator may book anyway.
    prompts.answerYesNo(true);
    ASSERT_EQ(book(QStringLiteral("20270411"), QStringLiteral("Ballroom gala"),
                   QStringLiteral("18:00"), QStringLiteral("22:00"), Ballroom),
              EventRecord::Saved::Done);
    EXPECT_EQ(prompts.questions.last().text,
              QStringLiteral("Caution - a possible conflict with room # 2 exists with this "
                             "reservation.\r\nRoom # 2 is held by Event #%1 \"East cocktails\", "
                             "room 2, 18:00-22:00.\r\nClick YES to make the reservation anyway; "
                             "click NO to exit.")
                  .arg(east));
    // The section itself is taken: refused without a question, naming the
    // event in it, and its cells stay the cocktails'.
    prompts.clear();
    EXPECT_EQ(book(QStringLiteral("20270411"), QStringLiteral("East again"),
                   QStringLiteral("19:00"), QStringLiteral("20:00"), BallroomEast),
              EventRecord::Saved::Conflict);
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("The chosen time and room combination is already in use.\r\nIt is "
                             "held by Event #%1 \"East cocktails\", room 2, 18:00-22:00.")
                  .arg(east));
    EXPECT_EQ(cells(BallroomEast, 20270411).size(), 16);
    EXPECT_TRUE(cells(BallroomEast, 20270411).first().endsWith(QStringLiteral("East cocktails")));
    // A title of pages is cut short in the message; the number stays.
    exec(Evnt, QStringLiteral("update eventinfo set eventtitle = ? where eventnum = ?"),
         {QString(10000, u'W'), east});
    prompts.clear();
    EXPECT_EQ(book(QStringLiteral("20270411"), QStringLiteral("East again"),
                   QStringLiteral("19:00"), QStringLiteral("20:00"), BallroomEast),
              EventRecord::Saved::Conflict);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("The chosen time and room combination is already in use.\r\nIt is "
                             "held by Event #%1 \"%2\u2026\", room 2, 18:00-22:00.")
                  .arg(east)
                  .arg(QString(59, u'W')));

    // An event moving into the section of its own hall is in nobody's way.
    ASSERT_EQ(book(QStringLiteral("20270412"), QStringLiteral("Hall lunch"),
                   QStringLiteral("12:00"), QStringLiteral("14:00"), Ballroom),
              EventRecord::Saved::Done);
    const int lunch = lastNumber;
    ASSERT_TRUE(record->LoadEvent(lunch));
    record->chooseRoom(BallroomEast);
    prompts.clear();
    EXPECT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(cells(BallroomEast, 20270412).size(), 8);
    EXPECT_TRUE(cells(Ballroom, 20270412).isEmpty());
}

TEST_F(EventSaveGuardsTest, ASaveFreesTheCellsOfTheRowAsStored) {
    ASSERT_EQ(book(QStringLiteral("20270415"), QStringLiteral("Recital"), QStringLiteral("18:00"),
                   QStringLiteral("22:00"), Library),
              EventRecord::Saved::Done);
    const int number = lastNumber;
    ASSERT_TRUE(record->LoadEvent(number));
    // Moved to the 16th behind this window's back, by a program that keeps
    // no change count.
    exec(Evnt, QStringLiteral("update reserv set event3 = 0, room3 = ' ' where event3 = ?"),
         {number});
    exec(Evnt,
         QStringLiteral("update reserv set event3 = ?, room3 = 'Recital' where resdate = 20270416 "
                        "and restime >= '18:00' and restime < '22:00'"),
         {number});
    exec(Evnt, QStringLiteral("update eventinfo set eventdate = 20270416 where eventnum = ?"),
         {number});
    module->event.fields[EventField::Title] = QStringLiteral("Spring recital");
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(cells(Library, 20270415).size(), 16);
    EXPECT_TRUE(cells(Library, 20270416).isEmpty()) << "no phantom left on the 16th";
}

TEST_F(EventSaveGuardsTest, ThisWorkstationsItemWindowNeverMakesItsOwnSaveStale) {
    enterBooking(QStringLiteral("20270420"), QStringLiteral("Reunion"), Library);
    click(EventCommand::Save);
    const int number = box(EventField::Number).toInt();
    exec(Evnt,
         QStringLiteral("insert into items (eventid, qty, itemdesc, price, servchg, tax, glnum) "
                        "values (?, 1, 'Cake', 10, 1, 1, 4010)"),
         {number});
    click(EventCommand::Modify);
    type(EventField::Title, QStringLiteral("Class reunion"));
    ItemWindow &items = logic->items;
    ASSERT_TRUE(items.open());
    items.selectEventItemRow(0);
    items.moveItem(ItemWindow::RemoveMove);
    EXPECT_EQ(scalar(Evnt, QStringLiteral("select count(*) from items")).toInt(), 0);
    prompts.clear();
    click(EventCommand::Save);
    EXPECT_TRUE(prompts.questions.isEmpty()) << prompts.questions.value(0).text.toStdString();
    EXPECT_EQ(storedText(QStringLiteral("eventtitle"), number), QStringLiteral("Class reunion"));

    // Another workstation's change in between is not adopted: the save is
    // refused, and Yes loads the event as it is now.
    click(EventCommand::Modify);
    exec(Evnt,
         QStringLiteral("update eventchange set changecount = changecount + 1, changedby = "
                        "'MARY', changedat = '2026-12-06 08:15:00' where eventnum = ?"),
         {number});
    exec(Evnt, QStringLiteral("update eventinfo set setfor = 80 where eventnum = ?"), {number});
    type(EventField::Title, QStringLiteral("Lost title"));
    prompts.answerYesNo(true);
    click(EventCommand::Save);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].text.startsWith(
        QStringLiteral("Event #%1 was changed at another workstation (MARY, 08:15) since you "
                       "opened it.")
            .arg(number)));
    EXPECT_EQ(storedText(QStringLiteral("eventtitle"), number), QStringLiteral("Class reunion"));
    EXPECT_EQ(box(EventField::Title), QStringLiteral("Class reunion")) << "reloaded";
    EXPECT_EQ(box(EventField::Guests), QStringLiteral("80"));
    click(EventCommand::Save);
    EXPECT_EQ(event().mode, CurrentEvent::Viewing) << "the reloaded copy saves";
}

TEST_F(EventSaveGuardsTest, TitlesAreStoredCopiedAndCutAlike) {
    // Trimmed, and cut between characters: 49 letters and an emoji (two
    // UTF-16 units) do not fit 50, so the emoji goes whole.
    const QString letters(49, QLatin1Char('a'));
    const QString emoji = QStringLiteral("\U0001F389");
    ASSERT_EQ(book(QStringLiteral("20270425"), QStringLiteral("  ") + letters + emoji,
                   QStringLiteral("18:00"), QStringLiteral("19:00"), Library),
              EventRecord::Saved::Done);
    const int number = lastNumber;
    exec(Evnt,
         QStringLiteral("insert into pkg (pkgnum, eventnum, eventdate, eventtitle) values (?, ?, "
                        "20270425, 'old')"),
         {number, number});
    ASSERT_TRUE(record->LoadEvent(number));
    module->event.fields[EventField::Title] =
        QStringLiteral(" Party ") + emoji + QStringLiteral("  ");
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    const QString title = QStringLiteral("Party ") + emoji;
    EXPECT_EQ(storedText(QStringLiteral("eventtitle"), number), title);
    EXPECT_EQ(scalar(Evnt, QStringLiteral("select eventtitle from pkg")).toString(), title);
    EXPECT_TRUE(cells(Library, 20270425).first().endsWith(title));

    ASSERT_EQ(book(QStringLiteral("20270426"), letters + emoji, QStringLiteral("18:00"),
                   QStringLiteral("19:00"), Library),
              EventRecord::Saved::Done);
    for (const QString &stored : {storedText(QStringLiteral("eventtitle"), lastNumber),
                                  cells(Library, 20270426).first().section(QLatin1Char(' '), 2)}) {
        EXPECT_EQ(stored, letters);
        EXPECT_FALSE(stored.contains(QChar(0xFFFD)));
    }
}

TEST_F(EventSaveGuardsTest, ABackslashStaysInItsFieldOfTheChangeLog) {
    enterBooking(QStringLiteral("20270427"), QStringLiteral("A\\B night"), Library);
    click(EventCommand::Save);
    const int number = box(EventField::Number).toInt();
    click(EventCommand::Modify);
    type(EventField::Title, QStringLiteral("C:\\night"));
    click(EventCommand::Save);
    const QString line = historyFile().last();
    EXPECT_TRUE(line.endsWith(QStringLiteral("\\Event#%1 \\Event name changed from A\\\\B night "
                                             "to C:\\\\night\\")
                                  .arg(number)))
        << line.toStdString();
    // Lines are still told apart by their number and time, old and new.
    ChangeLog log(module->messages, module->ports.clock, module->event);
    const auto changes = log.lastChanges(QTimeZone::systemTimeZone());
    ASSERT_TRUE(changes.ok());
    EXPECT_EQ(changes->value(number), clock.now());
}

TEST_F(EventSaveGuardsTest, ChangeLogLinesThatCouldNotBeWrittenAreShownAtClosing) {
    enterBooking(QStringLiteral("20270428"), QStringLiteral("Quiz"), Library);
    click(EventCommand::Save);
    click(EventCommand::Modify);
    type(EventField::Title, QStringLiteral("Pub quiz"));
    // The log cannot be written: a folder stands where the file goes.
    ASSERT_TRUE(QFile::rename(path(QStringLiteral("evntsched.ini")),
                              path(QStringLiteral("evntsched.old"))));
    ASSERT_TRUE(QDir(club).mkdir(QStringLiteral("evntsched.ini")));
    prompts.expectError();
    click(EventCommand::Save);
    // Another window's line waits behind it, in order.
    ChangeLog other(module->messages, module->ports.clock, module->event);
    other.AuditLine = QStringLiteral("Add Item#7-Cake");
    prompts.expectError();
    EXPECT_FALSE(other.WriteAudit());
    prompts.expectError();
    EXPECT_FALSE(module->messages.flushLogs());
    const QString shown = prompts.lastMessage().text;
    EXPECT_TRUE(shown.startsWith(QStringLiteral("These lines could not be written to "
                                                "evntsched.ini:\n\n")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Event name changed from Quiz to Pub quiz")));
    EXPECT_TRUE(shown.endsWith(QStringLiteral("Add Item#7-Cake")));
}

} // namespace
