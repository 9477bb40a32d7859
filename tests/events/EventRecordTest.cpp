#include "EventFixture.h"
#include "HeldLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class EventRecordTest : public EventFixture {
protected:
    QString file(const QString &name) {
        QFile in(path(name));
        return in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString();
    }
    QVariant stored(const QString &column, int number) {
        return scalar(QStringLiteral("evnt"),
                      QStringLiteral("select %1 from eventinfo where eventnum = ?").arg(column),
                      {number});
    }
};

TEST_F(EventRecordTest, EventNumbersStartAtOneAndNeverRepeat) {
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("evntsched.dat"))));
    EXPECT_EQ(record->NextEventNumber(), 1);
    EXPECT_EQ(file(QStringLiteral("evntsched.dat")), QStringLiteral("1\n"));
    EXPECT_EQ(module->event.mode, CurrentEvent::EnteringNew);
    EXPECT_EQ(file(QStringLiteral("evntsched.ini")),
              QStringLiteral("12062026\\09:30\\E#0\\Event#1 opened\n"));
    EXPECT_EQ(record->NextEventNumber(), 2);

    // A saved event numbered 40 (say, from a restored backup) is never issued
    // again, whatever the counter says (the next test goes through its
    // contents).
    ASSERT_EQ(book(QStringLiteral("20270305"), QStringLiteral("Gala"), QStringLiteral("18:00"),
                   QStringLiteral("19:00"), 1),
              EventRecord::Saved::Done);
    exec(QStringLiteral("evnt"), QStringLiteral("update eventinfo set eventnum = 40"));
    EXPECT_EQ(record->NextEventNumber(), 41);
}

TEST_F(EventRecordTest, TheCounterGoesOnAfterTheEventsAndStopsAtTheHighestNumber) {
    ASSERT_EQ(book(QStringLiteral("20270305"), QStringLiteral("Gala"), QStringLiteral("18:00"),
                   QStringLiteral("19:00"), 1),
              EventRecord::Saved::Done);
    constexpr qint64 Max = 2147483647;
    const QString full =
        QStringLiteral(
            "No new event can be entered: event numbers have reached 2147483647, the highest there "
            "can be.\r\nNo number was issued and the event counter %1 was left as it is. Please "
            "call for support.")
            .arg(QDir::toNativeSeparators(path(QStringLiteral("evntsched.dat"))));
    struct Case {
        const char *counter;
        qint64 highestEvent;
        qint64 issued; // 0: refused
    };
    const Case cases[] = {
        {"", 40, 41},
        {"garbage", 40, 41},
        {"7\n", 40, 41}, // behind the events, as restored from a backup
        {"-5\n", 40, 41},
        {"2147483646\n", 40, Max},
        {"2147483647\n", 40, 0},
        {"3000000000\n", 40, 0},
        {"99999999999999999999999\n", 40, 0},
        {"7\n", Max - 1, Max},
        {"7\n", Max, 0},
    };
    const QDateTime longAgo(QDate(2020, 1, 1), QTime(12, 0));
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.counter) + " with event " + std::to_string(c.highestEvent));
        exec(QStringLiteral("evnt"), QStringLiteral("update eventinfo set eventnum = ?"),
             {c.highestEvent});
        QFile counter(path(QStringLiteral("evntsched.dat")));
        ASSERT_TRUE(counter.open(QIODevice::WriteOnly | QIODevice::Truncate));
        counter.write(c.counter);
        ASSERT_TRUE(counter.flush());
        ASSERT_TRUE(counter.setFileTime(longAgo, QFileDevice::FileModificationTime));
        counter.close();
        const QString log = file(QStringLiteral("evntsched.ini"));
        module->event.EventNumber = 7;
        prompts.clear();
        if (c.issued == 0)
            prompts.expectError();

        EXPECT_EQ(record->NextEventNumber(), c.issued);
        if (c.issued != 0) {
            EXPECT_EQ(file(QStringLiteral("evntsched.dat")), QString::number(c.issued) + "\n");
            EXPECT_EQ(module->event.EventNumber, c.issued);
            EXPECT_TRUE(prompts.messages.isEmpty());
            continue;
        }
        EXPECT_EQ(prompts.messageTexts(), QStringList{full});
        EXPECT_EQ(file(QStringLiteral("evntsched.dat")), QString::fromLatin1(c.counter));
        EXPECT_EQ(QFileInfo(counter).lastModified().toString(Qt::ISODate),
                  longAgo.toString(Qt::ISODate))
            << "the counter is not written";
        EXPECT_EQ(file(QStringLiteral("evntsched.ini")), log) << "nothing opened";
        EXPECT_EQ(module->event.EventNumber, 7);
    }
}

TEST_F(EventRecordTest, ACounterThatCannotBeWrittenIsNamedWithTheReasonBeforeTheQuestion) {
    const QString counter = QDir::toNativeSeparators(path(QStringLiteral("evntsched.dat")));
    struct Case {
        const char *folder; // stands where a file should be
        QString reason;
    };
    const Case cases[] = {
        {"evntsched.dat", QStringLiteral(": file to open is a directory")},
        {"evntsched.dat.lck",
         QStringLiteral(": the lock file %1.lck cannot be opened: Is a directory").arg(counter)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.folder);
        QFile::remove(path(QString::fromLatin1(c.folder)));
        ASSERT_TRUE(QDir(club).mkdir(QString::fromLatin1(c.folder)));
        prompts.clear();
        prompts.answerYesNo(true);
        prompts.answerYesNo(false);
        const QString log = file(QStringLiteral("evntsched.ini"));

        EXPECT_EQ(record->NextEventNumber(), 0);
        ASSERT_EQ(prompts.questions.size(), 2) << "asked again after a yes";
        const QString asked = prompts.questions[0].text;
        EXPECT_TRUE(asked.startsWith(
            QStringLiteral("The event counter %1 could not be updated").arg(counter) + c.reason))
            << asked.toStdString();
        EXPECT_TRUE(asked.endsWith(QStringLiteral("\r\n\r\nTry network again?")))
            << asked.toStdString();
        EXPECT_EQ(prompts.questions[0].title, QStringLiteral("Network Connection Timeout"));
        EXPECT_EQ(file(QStringLiteral("evntsched.ini")), log) << "nothing opened";
        ASSERT_TRUE(QDir(club).rmdir(QString::fromLatin1(c.folder)));
    }
    EXPECT_EQ(record->NextEventNumber(), 1) << "the counter works again once it can be written";
}

TEST_F(EventRecordTest, ASavedEventStoresItsBoxesAndBooksItsQuarterHours) {
    const QString title = QStringLiteral("O'Brien \"Fiftieth\" \\ Zoë's 婚礼");
    ASSERT_EQ(book(QStringLiteral("20270305"), title, QStringLiteral("18:00"),
                   QStringLiteral("19:00"), 3),
              EventRecord::Saved::Done);
    const int number = lastNumber;
    EXPECT_EQ(stored(QStringLiteral("eventtitle"), number).toString(), title);
    EXPECT_EQ(cells(3, 20270305),
              (QStringList{QStringLiteral("18:00 %1 %2").arg(number).arg(title),
                           QStringLiteral("18:15 %1 %2").arg(number).arg(title),
                           QStringLiteral("18:30 %1 %2").arg(number).arg(title),
                           QStringLiteral("18:45 %1 %2").arg(number).arg(title)}))
        << "the end slot stays free for the next booking";
    // Blank numbers are stored as 0.
    EXPECT_EQ(stored(QStringLiteral("guarantee"), number).toInt(), 0);
    EXPECT_EQ(stored(QStringLiteral("custid"), number).toDouble(), 0.0);

    // The window shows what was stored.
    const CurrentEvent &event = module->event;
    EXPECT_EQ(event.EventNumber, number);
    EXPECT_EQ(event.fields[EventField::Title], title);
    EXPECT_EQ(event.Caption, title + QStringLiteral(" - 03/05/2027"));
    EXPECT_EQ(event.Status, 2);
    EXPECT_EQ(event.fields[EventField::Deposit], QString()) << "no deposit shows empty";
}

TEST_F(EventRecordTest, DepositsAreKeptFromStatusThreeAndNumberBoxesAreReadWhole) {
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    exec(QStringLiteral("master"),
         QStringLiteral("insert into acctinfo (acctnumber, lname) values (1042.5, 'Hall')"));
    ASSERT_EQ(book(QStringLiteral("20270305"), QStringLiteral("Deposit"), QStringLiteral("10:00"),
                   QStringLiteral("11:00"), 1),
              EventRecord::Saved::Done);
    const int number = lastNumber;
    auto &fields = module->event.fields;
    fields[EventField::Deposit] = QStringLiteral("250.10");
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(stored(QStringLiteral("deposit"), number).toDouble(), 0.0) << "status 2 keeps none";

    fields[EventField::Status] = QStringLiteral("3");
    fields[EventField::Deposit] = QStringLiteral("$1,000.00");
    fields[EventField::Guests] = QStringLiteral(" 1,500 ");
    fields[EventField::Guarantee] = QStringLiteral("1,250");
    fields[EventField::Account] = QStringLiteral("1,042.50");
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(Money::fromVariant(stored(QStringLiteral("deposit"), number)),
              Money::fromText(u"1000"));
    EXPECT_EQ(stored(QStringLiteral("setfor"), number).toInt(), 1500);
    EXPECT_EQ(stored(QStringLiteral("guarantee"), number).toInt(), 1250);
    EXPECT_EQ(stored(QStringLiteral("custid"), number).toDouble(), 1042.5);
    EXPECT_EQ(fields[EventField::Deposit], QStringLiteral("1000"));

    // A box that is no number, or more than its column holds, stops the save.
    const struct {
        EventField field;
        const char *typed;
    } refused[] = {{EventField::Deposit, "99999999999999999999"},
                   {EventField::Deposit, "12abc"},
                   {EventField::Guests, "1e3"},
                   {EventField::Guarantee, "1234567"},
                   {EventField::Guarantee, "12 guests"},
                   {EventField::Account, "1042.505"}};
    for (const auto &c : refused) {
        SCOPED_TRACE(c.typed);
        prompts.clear();
        record->LoadEvent(number);
        fields[c.field] = QString::fromLatin1(c.typed);
        EXPECT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Refused);
        EXPECT_EQ(record->refusedField, c.field);
        EXPECT_TRUE(prompts.lastMessage().text.contains(u'"' + fields[c.field] + u'"'));
        EXPECT_EQ(fields[c.field], QString::fromLatin1(c.typed)) << "the box keeps what was typed";
        EXPECT_EQ(stored(QStringLiteral("guarantee"), number).toInt(), 1250);
        EXPECT_EQ(stored(QStringLiteral("setfor"), number).toInt(), 1500);
        EXPECT_EQ(Money::fromVariant(stored(QStringLiteral("deposit"), number)),
                  Money::fromText(u"1000"));
        EXPECT_EQ(stored(QStringLiteral("custid"), number).toDouble(), 1042.5);
    }

    // Where the point groups thousands, what the box shows reads back as it was.
    WorkstationLocale german(QLocale(QLocale::German, QLocale::Germany));
    record->LoadEvent(number);
    fields[EventField::Deposit] = QStringLiteral("2,1250");
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(Money::fromVariant(stored(QStringLiteral("deposit"), number)),
              Money::fromText(u"2.125"));
}

TEST_F(EventRecordTest, TakenSlotsAreRefusedAndNothingOfTheSaveIsWritten) {
    ASSERT_EQ(book(QStringLiteral("20270306"), QStringLiteral("Wedding"), QStringLiteral("18:00"),
                   QStringLiteral("19:00"), 3),
              EventRecord::Saved::Done);
    const int wedding = lastNumber;

    EXPECT_EQ(book(QStringLiteral("20270306"), QStringLiteral("Overlap"), QStringLiteral("18:45"),
                   QStringLiteral("20:00"), 3),
              EventRecord::Saved::Conflict);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        QStringLiteral("The chosen time and room combination is already in use.")));
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Oops..."));
    EXPECT_EQ(events(), 1) << "no row of the refused event";

    EXPECT_EQ(book(QStringLiteral("20270306"), QStringLiteral("After"), QStringLiteral("19:00"),
                   QStringLiteral("20:00"), 3),
              EventRecord::Saved::Done);
    EXPECT_EQ(book(QStringLiteral("20270306"), QStringLiteral("Called off"),
                   QStringLiteral("18:00"), QStringLiteral("19:00"), 3, 9),
              EventRecord::Saved::Done)
        << "a cancelled event never conflicts";

    // Re-saving an event over its own cells is no conflict.
    ASSERT_TRUE(record->LoadEvent(wedding));
    module->event.fields[EventField::Guests] = QStringLiteral("120");
    EXPECT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(cells(3, 20270306).size(), 8);
}

TEST_F(EventRecordTest, MovingAnEventFreesItsOldCellsAndBooksTheNewOnes) {
    ASSERT_EQ(book(QStringLiteral("20270308"), QStringLiteral("Board lunch"),
                   QStringLiteral("12:00"), QStringLiteral("13:00"), 3),
              EventRecord::Saved::Done);
    const int number = lastNumber;
    auto &fields = module->event.fields;
    fields[EventField::Date] = QStringLiteral("20270309");
    fields[EventField::Room] = QStringLiteral("1");
    fields[EventField::Start] = QStringLiteral("23:30");
    fields[EventField::End] = QStringLiteral("CLOSE");
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_TRUE(cells(3, 20270308).isEmpty());
    EXPECT_EQ(cells(1, 20270309), (QStringList{QStringLiteral("23:30 %1 Board lunch").arg(number),
                                               QStringLiteral("23:45 %1 Board lunch").arg(number)}))
        << "CLOSE books to the end of the day";

    // Cancelling takes it off the calendar.
    fields[EventField::Status] = QStringLiteral("9");
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_TRUE(cells(1, 20270309).isEmpty());
    EXPECT_EQ(stored(QStringLiteral("status"), number).toInt(), 9);
}

TEST_F(EventRecordTest, ChosenTimesAndRoomsFillTheirBoxes) {
    const SlotBooking::TimeLists lists =
        SlotBooking::BuildTimeLists(QStringLiteral("00:00"), QStringLiteral("23:45"));
    record->chooseStartTime(lists.start[4 * 18]);
    EXPECT_EQ(module->event.fields[EventField::Start], QStringLiteral("18:00"));
    EXPECT_TRUE(module->event.UnsavedChanges);

    EXPECT_FALSE(record->chooseEndTime(lists.end[4 * 18]));
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("End time cannot be equal to or earlier than the start time"));
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Oops..."));
    EXPECT_EQ(module->event.fields[EventField::End], QString()) << "nothing changes";
    EXPECT_TRUE(record->chooseEndTime(lists.end.last()));
    EXPECT_EQ(module->event.fields[EventField::End], QStringLiteral("CLOSE"));

    record->chooseRoom(1); // the ballroom, of which East is a part
    EXPECT_EQ(module->event.fields[EventField::Room], QStringLiteral("1"));
    EXPECT_EQ(module->event.LinkedRoom, 2);
    record->chooseRoom(2);
    EXPECT_EQ(module->event.LinkedRoom, 1);
}

TEST_F(EventRecordTest, AYearNotSetUpOrAPurgedDateTakesNoBooking) {
    prompts.expectError();
    EXPECT_EQ(book(QStringLiteral("20280105"), QStringLiteral("Too early"), QStringLiteral("10:00"),
                   QStringLiteral("11:00"), 1),
              EventRecord::Saved::YearNotInitialized);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("The calendar year for this reservation has not yet been initialized "
                             "\r\nand the reservation cannot be taken at this time."));
    EXPECT_EQ(events(), 0);

    // A day purged from a year that was set up is called what it is.
    exec(QStringLiteral("evnt"), QStringLiteral("delete from reserv where resdate = 20270105"));
    prompts.expectError();
    EXPECT_EQ(book(QStringLiteral("20270105"), QStringLiteral("Too late"), QStringLiteral("10:00"),
                   QStringLiteral("11:00"), 1),
              EventRecord::Saved::YearNotInitialized);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("The calendar for 20270105 was purged \r\nand the reservation cannot "
                             "be taken at this time."));
    EXPECT_EQ(events(), 0);
}

TEST_F(EventRecordTest, ChangingDateOrTitleUpdatesThePackageCopy) {
    ASSERT_EQ(book(QStringLiteral("20270310"), QStringLiteral("Rehearsal"), QStringLiteral("17:00"),
                   QStringLiteral("18:00"), 3),
              EventRecord::Saved::Done);
    const int number = lastNumber;
    exec(QStringLiteral("evnt"),
         QStringLiteral("insert into pkg (pkgnum, eventnum, eventdate, eventtitle) values (?, ?, "
                        "20270310, 'Rehearsal')"),
         {number, number});
    ASSERT_TRUE(record->LoadEvent(number));
    module->event.fields[EventField::Date] = QStringLiteral("20270311");
    module->event.fields[EventField::Title] = QStringLiteral("Rehearsal dinner");
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(scalar(QStringLiteral("evnt"),
                     QStringLiteral("select eventdate || ' ' || eventtitle from pkg"))
                  .toString(),
              QStringLiteral("20270311 Rehearsal dinner"));
}

TEST_F(EventRecordTest, OverlongTextIsCutToItsFieldAndTheOperatorTold) {
    ASSERT_EQ(book(QStringLiteral("20270312"), QString(10000, QLatin1Char('x')),
                   QStringLiteral("09:00"), QStringLiteral("10:00"), 3),
              EventRecord::Saved::Done);
    EXPECT_EQ(stored(QStringLiteral("eventtitle"), lastNumber).toString(),
              QString(50, QLatin1Char('x')));
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("FYI..."));
    EXPECT_TRUE(prompts.lastMessage().text.contains(QStringLiteral("the first 50 characters")));
}

TEST_F(EventRecordTest, AConnectionLostInTheMiddleOfASaveKeepsNothingOfIt) {
    if (!onPostgres())
        GTEST_SKIP() << "a club on a PostgreSQL server";
    // The server ends the session while the event row is being written.
    exec(QStringLiteral("evnt"),
         QStringLiteral("create function lose_connection() returns trigger language plpgsql as $$ "
                        "begin perform pg_terminate_backend(pg_backend_pid()); "
                        "perform pg_sleep(5); return new; end $$"));
    exec(QStringLiteral("evnt"), QStringLiteral("create trigger lose_connection before insert on "
                                                "eventinfo for each row execute function "
                                                "lose_connection()"));
    prompts.expectError();
    EXPECT_EQ(book(QStringLiteral("20270313"), QStringLiteral("Cut off"), QStringLiteral("09:00"),
                   QStringLiteral("10:00"), 3),
              EventRecord::Saved::NotWritten);
    EXPECT_TRUE(prompts.lastMessage().text.contains(
        QStringLiteral("The connection to the database server was lost")))
        << prompts.lastMessage().text.toStdString();
    EXPECT_EQ(events(), 0);
    EXPECT_TRUE(cells(3, 20270313).isEmpty());
    EXPECT_TRUE(module->event.UnsavedChanges) << "what was typed is still there to save";
}

TEST_F(EventRecordTest, ABusyDatabaseIsRetriedThenTheOperatorDecides) {
    auto held =
        std::make_unique<HeldLock>(settings(), QStringLiteral("evnt"), QStringLiteral("reserv"));
    ASSERT_TRUE(held->held());
    prompts.answerYesNo(false); // wait a moment and try again later
    EXPECT_EQ(book(QStringLiteral("20270313"), QStringLiteral("Busy"), QStringLiteral("09:00"),
                   QStringLiteral("10:00"), 3),
              EventRecord::Saved::NotWritten);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].title, QStringLiteral("Multi-user database lock..."));
    EXPECT_EQ(clock.pauses.size(), EventRecord::BusyAttempts - 1);
    held.reset();
    EXPECT_EQ(events(), 0);
    EXPECT_TRUE(cells(3, 20270313).isEmpty());

    // Once the other workstation is done, the same save goes through.
    EXPECT_EQ(record->SaveEvent(EventRecord::NewEvent), EventRecord::Saved::Done);
    EXPECT_EQ(cells(3, 20270313).size(), 4);
}

} // namespace
