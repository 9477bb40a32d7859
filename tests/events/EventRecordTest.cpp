#include "EditingFixture.h"
#include "HeldLock.h"

#include <QDir>

namespace {

using EventRecordTest = RecordFixture;

TEST_F(EventRecordTest, TheCounterGoesOnAfterTheEventsAndStopsAtTheHighestNumber) {
    EXPECT_EQ(record->NextEventNumber(), 1);
    EXPECT_EQ(file(u"evntsched.dat"_s), u"1\n"_s);
    EXPECT_EQ(module->event.mode, CurrentEvent::EnteringNew);
    EXPECT_EQ(file(u"evntsched.ini"_s), u"12062026\\09:30\\E#0\\Event#1 opened\n"_s);
    EXPECT_EQ(record->NextEventNumber(), 2);

    // A saved event numbered higher (say, from a restored backup) is never
    // issued again, whatever the counter says.
    booked(u"20270305"_s, u"Gala"_s, u"18:00"_s, u"19:00"_s, 1);
    constexpr qint64 Max = 2147483647;
    const QString full =
        u"No new event can be entered: event numbers have reached 2147483647, the highest there "
        "can be.\r\nNo number was issued and the event counter %1 was left as it is. Please "
        "call for support."_s.arg(QDir::toNativeSeparators(path(u"evntsched.dat"_s)));
    const std::tuple<const char *, qint64, qint64> cases[] = {
        // counter, highest event, number issued (0: refused)
        {"", 40, 41},
        {"garbage", 40, 41},
        {"7\n", 40, 41},
        {"-5\n", 40, 41},
        {"2147483646\n", 40, Max},
        {"2147483647\n", 40, 0},
        {"99999999999999999999999\n", 40, 0},
        {"7\n", Max - 1, Max},
        {"7\n", Max, 0},
    };
    for (const auto &[counter, highestEvent, issued] : cases) {
        SCOPED_TRACE(std::string(counter) + " with event " + std::to_string(highestEvent));
        exec(u"evnt"_s, u"update eventinfo set eventnum = ?"_s, {highestEvent});
        QFile dat(path(u"evntsched.dat"_s));
        ASSERT_TRUE(dat.open(QIODevice::WriteOnly | QIODevice::Truncate));
        dat.write(counter);
        dat.close();
        const QString log = file(u"evntsched.ini"_s);
        module->event.EventNumber = 7;
        prompts.clear();
        if (issued == 0)
            prompts.expectError();
        EXPECT_EQ(record->NextEventNumber(), issued);
        if (issued != 0) {
            EXPECT_EQ(file(u"evntsched.dat"_s), QString::number(issued) + u"\n"_s);
            EXPECT_EQ(module->event.EventNumber, issued);
            EXPECT_TRUE(prompts.messages.isEmpty());
            continue;
        }
        EXPECT_EQ(prompts.messageTexts(), QStringList{full});
        EXPECT_EQ(file(u"evntsched.dat"_s), QString::fromLatin1(counter));
        EXPECT_EQ(file(u"evntsched.ini"_s), log) << "nothing opened";
        EXPECT_EQ(module->event.EventNumber, 7);
    }
}

TEST_F(EventRecordTest, ACounterThatCannotBeWrittenIsNamedWithTheReasonBeforeTheQuestion) {
    const QString counter = QDir::toNativeSeparators(path(u"evntsched.dat"_s));
    // A folder stands where the file should be.
    for (const auto &[folder, reason] :
         {std::pair{"evntsched.dat", u": file to open is a directory"_s},
          std::pair{"evntsched.dat.lck",
                    u": the lock file %1.lck cannot be opened: Is a directory"_s.arg(counter)}}) {
        SCOPED_TRACE(folder);
        QFile::remove(path(QString::fromLatin1(folder)));
        ASSERT_TRUE(QDir(club).mkdir(QString::fromLatin1(folder)));
        prompts.clear();
        prompts.answerYesNo(true);
        prompts.answerYesNo(false);
        const QString log = file(u"evntsched.ini"_s);
        EXPECT_EQ(record->NextEventNumber(), 0);
        ASSERT_EQ(prompts.questions.size(), 2) << "asked again after a yes";
        const QString asked = prompts.questions[0].text;
        EXPECT_TRUE(
            asked.startsWith(u"The event counter %1 could not be updated"_s.arg(counter) + reason))
            << asked.toStdString();
        EXPECT_TRUE(asked.endsWith(u"\r\n\r\nTry network again?"_s)) << asked.toStdString();
        EXPECT_EQ(prompts.questions[0].title, u"Network Connection Timeout"_s);
        EXPECT_EQ(file(u"evntsched.ini"_s), log) << "nothing opened";
        ASSERT_TRUE(QDir(club).rmdir(QString::fromLatin1(folder)));
    }
    EXPECT_EQ(record->NextEventNumber(), 1) << "the counter works again once it can be written";
}

TEST_F(EventRecordTest, ASavedEventStoresItsBoxesBooksItsQuarterHoursAndKeepsThemFromOthers) {
    const QString title = u"O'Brien \"Fiftieth\" \\ Zoë's 婚礼"_s;
    const int number = booked(u"20270305"_s, title, u"18:00"_s, u"19:00"_s, 3);
    EXPECT_EQ(stored(u"eventtitle"_s, number), title);
    QStringList quarters;
    for (const char *time : {"18:00", "18:15", "18:30", "18:45"})
        quarters << u"%1 %2 %3"_s.arg(QLatin1String(time)).arg(number).arg(title);
    EXPECT_EQ(cells(3, 20270305), quarters) << "the end slot stays free for the next booking";
    // Blank numbers are stored as 0.
    EXPECT_EQ(storedValue(u"guarantee"_s, number).toInt(), 0);
    EXPECT_EQ(storedValue(u"custid"_s, number).toDouble(), 0.0);

    // The window shows what was stored.
    const CurrentEvent &event = module->event;
    EXPECT_EQ(event.EventNumber, number);
    EXPECT_EQ(event.Caption, title + u" - 03/05/2027"_s);
    EXPECT_EQ(event.Status, 2);
    EXPECT_EQ(event.fields[EventField::Deposit], QString()) << "no deposit shows empty";

    // Taken slots are refused.
    const int wedding = booked(u"20270306"_s, u"Wedding"_s, u"18:00"_s, u"19:00"_s, 3);
    EXPECT_EQ(book(u"20270306"_s, u"Overlap"_s, u"18:45"_s, u"20:00"_s, 3),
              EventRecord::Saved::Conflict);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        u"The chosen time and room combination is already in use."_s));
    EXPECT_EQ(prompts.lastMessage().title, u"Oops..."_s);
    EXPECT_EQ(events(), 2) << "no row of the refused event";
    EXPECT_EQ(book(u"20270306"_s, u"After"_s, u"19:00"_s, u"20:00"_s, 3), EventRecord::Saved::Done);
    EXPECT_EQ(book(u"20270306"_s, u"Called off"_s, u"18:00"_s, u"19:00"_s, 3, 9),
              EventRecord::Saved::Done)
        << "a cancelled event never conflicts";

    // Moved, it frees its cells.
    ASSERT_TRUE(record->LoadEvent(wedding));
    auto &fields = module->event.fields;
    fields[EventField::Date] = u"20270309"_s;
    fields[EventField::Room] = u"1"_s;
    fields[EventField::Start] = u"23:30"_s;
    fields[EventField::End] = u"CLOSE"_s;
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(cells(3, 20270306).size(), 4) << "the wedding's cells are free";
    EXPECT_EQ(cells(1, 20270309),
              (QStringList{u"23:30 %1 Wedding"_s.arg(wedding), u"23:45 %1 Wedding"_s.arg(wedding)}))
        << "CLOSE books to the end of the day";
}

TEST_F(EventRecordTest, DepositsAreKeptFromStatusThreeAndNumberBoxesAreReadWhole) {
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    exec(u"master"_s, u"insert into acctinfo (acctnumber, lname) values (1042.5, 'Hall')"_s);
    const int number = booked(u"20270305"_s, u"Deposit"_s, u"10:00"_s, u"11:00"_s, 1);
    auto &fields = module->event.fields;
    fields[EventField::Deposit] = u"250.10"_s;
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(storedValue(u"deposit"_s, number).toDouble(), 0.0) << "status 2 keeps none";

    fields[EventField::Status] = u"3"_s;
    fields[EventField::Deposit] = u"$1,000.00"_s;
    fields[EventField::Guests] = u" 1,500 "_s;
    fields[EventField::Guarantee] = u"1,250"_s;
    fields[EventField::Account] = u"1,042.50"_s;
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    const auto numbers = [&] {
        return QList<double>{storedValue(u"deposit"_s, number).toDouble(),
                             storedValue(u"setfor"_s, number).toDouble(),
                             storedValue(u"guarantee"_s, number).toDouble(),
                             storedValue(u"custid"_s, number).toDouble()};
    };
    EXPECT_EQ(numbers(), (QList<double>{1000, 1500, 1250, 1042.5}));
    EXPECT_EQ(fields[EventField::Deposit], u"1000"_s);

    // A box that is no number, or more than its column holds, stops the save.
    const std::pair<EventField, const char *> refused[] = {{EventField::Deposit, "12abc"},
                                                           {EventField::Guests, "1e3"},
                                                           {EventField::Guarantee, "1234567"},
                                                           {EventField::Account, "1042.505"}};
    for (const auto &[field, typed] : refused) {
        prompts.clear();
        record->LoadEvent(number);
        fields[field] = QString::fromLatin1(typed);
        EXPECT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Refused);
        EXPECT_EQ(record->refusedField, field);
        EXPECT_TRUE(prompts.lastMessage().text.contains(u'"' + fields[field] + u'"')) << typed;
        EXPECT_EQ(fields[field], QString::fromLatin1(typed)) << "the box keeps what was typed";
        EXPECT_EQ(numbers(), (QList<double>{1000, 1500, 1250, 1042.5})) << typed;
    }

    // Where the point groups thousands, what the box shows reads back as it was.
    WorkstationLocale german(QLocale(QLocale::German, QLocale::Germany));
    record->LoadEvent(number);
    fields[EventField::Deposit] = u"2,1250"_s;
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(Money::fromVariant(storedValue(u"deposit"_s, number)), Money::fromText(u"2.125"));
}

TEST_F(EventRecordTest, ChosenTimesAndRoomsFillTheirBoxes) {
    const SlotBooking::TimeLists lists = SlotBooking::BuildTimeLists(u"00:00"_s, u"23:45"_s);
    record->chooseStartTime(lists.start[4 * 18]);
    EXPECT_EQ(module->event.fields[EventField::Start], u"18:00"_s);
    EXPECT_TRUE(module->event.UnsavedChanges);

    EXPECT_FALSE(record->chooseEndTime(lists.end[4 * 18]));
    EXPECT_EQ(prompts.lastMessage().text,
              u"End time cannot be equal to or earlier than the start time"_s);
    EXPECT_EQ(prompts.lastMessage().title, u"Oops..."_s);
    EXPECT_EQ(module->event.fields[EventField::End], QString()) << "nothing changes";
    EXPECT_TRUE(record->chooseEndTime(lists.end.last()));
    EXPECT_EQ(module->event.fields[EventField::End], u"CLOSE"_s);

    record->chooseRoom(1); // the ballroom, of which East is a part
    EXPECT_EQ(module->event.fields[EventField::Room], u"1"_s);
    EXPECT_EQ(module->event.LinkedRoom, 2);
    record->chooseRoom(2);
    EXPECT_EQ(module->event.LinkedRoom, 1);
}

TEST_F(EventRecordTest, AYearNotSetUpOrAPurgedDateTakesNoBooking) {
    exec(u"evnt"_s, u"delete from reserv where resdate = 20270105"_s);
    const std::pair<const char *, QString> cases[] = {
        {"20280105", u"The calendar year for this reservation has not yet been initialized "
                     "\r\nand the reservation cannot be taken at this time."_s},
        // A day purged from a year that was set up is called what it is.
        {"20270105", u"The calendar for 20270105 was purged \r\nand the reservation cannot "
                     "be taken at this time."_s}};
    for (const auto &[date, told] : cases) {
        prompts.expectError();
        EXPECT_EQ(book(QString::fromLatin1(date), u"Early"_s, u"10:00"_s, u"11:00"_s, 1),
                  EventRecord::Saved::YearNotInitialized);
        EXPECT_EQ(prompts.lastMessage().text, told);
    }
    EXPECT_EQ(events(), 0);
}

TEST_F(EventRecordTest, AConnectionLostInTheMiddleOfASaveKeepsNothingOfIt) {
    if (!onPostgres())
        GTEST_SKIP() << "a club on a PostgreSQL server";
    // The server ends the session while the event row is being written.
    exec(u"evnt"_s, u"create function lose_connection() returns trigger language plpgsql as $$ "
                    "begin perform pg_terminate_backend(pg_backend_pid()); "
                    "perform pg_sleep(5); return new; end $$"_s);
    exec(u"evnt"_s, u"create trigger lose_connection before insert on "
                    "eventinfo for each row execute function "
                    "lose_connection()"_s);
    prompts.expectError();
    EXPECT_EQ(book(u"20270313"_s, u"Cut off"_s, u"09:00"_s, u"10:00"_s, 3),
              EventRecord::Saved::NotWritten);
    EXPECT_TRUE(
        prompts.lastMessage().text.contains(u"The connection to the database server was lost"_s))
        << prompts.lastMessage().text.toStdString();
    EXPECT_EQ(events(), 0);
    EXPECT_TRUE(cells(3, 20270313).isEmpty());
    EXPECT_TRUE(module->event.UnsavedChanges) << "what was typed is still there to save";
}

TEST_F(EventRecordTest, ABusyDatabaseIsRetriedThenTheOperatorDecides) {
    auto held = std::make_unique<HeldLock>(settings(), u"evnt"_s, u"reserv"_s);
    ASSERT_TRUE(held->held());
    prompts.answerYesNo(false); // wait a moment and try again later
    EXPECT_EQ(book(u"20270313"_s, u"Busy"_s, u"09:00"_s, u"10:00"_s, 3),
              EventRecord::Saved::NotWritten);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].title, u"Multi-user database lock..."_s);
    held.reset();
    EXPECT_EQ(events(), 0);
    EXPECT_TRUE(cells(3, 20270313).isEmpty());

    // Once the other workstation is done, the same save goes through.
    EXPECT_EQ(record->SaveEvent(EventRecord::NewEvent), EventRecord::Saved::Done);
    EXPECT_EQ(cells(3, 20270313).size(), 4);
}

} // namespace
