#include "reports/CalendarExport.h"

#include "ClubFixture.h"
#include "startup/ConfigurationLoader.h"
#include "storage/EventChanges.h"
#include "storage/Transaction.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimeZone>

namespace {

// Reads an iCalendar file with the distribution's own parser and prints
// each event's fields as JSON, times in UTC: an independent judge of the
// file.
const char *const Reader = R"(
import json, sys, icalendar
from datetime import date, datetime, timezone
calendar = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
def when(prop):
    if prop is None:
        return ''
    value = prop.dt
    if isinstance(value, datetime):
        return value.astimezone(timezone.utc).strftime('%Y%m%dT%H%M%SZ')
    return value.strftime('%Y%m%d')
events = [{'uid': str(e.get('uid')), 'summary': str(e.get('summary')),
           'location': str(e.get('location', '')), 'start': when(e.get('dtstart')),
           'end': when(e.get('dtend')), 'description': str(e.get('description')),
           'modified': when(e.get('last-modified')), 'stamp': when(e.get('dtstamp')),
           'status': str(e.get('status')), 'sequence': int(e.get('sequence', -1))}
          for e in calendar.walk('VEVENT')]
print(json.dumps(events))
)";

class CalendarExportTest : public ClubFixture {
protected:
    // A zone with daylight saving, and unlike the test machine's (UTC).
    static constexpr const char *ClubZone = "America/Chicago";

    void SetUp() override {
        ClubFixture::SetUp();
        signIn(99);
        exec(QStringLiteral("config"), QStringLiteral("update company set compname = ?"),
             {QStringLiteral("Hollow Creek / Bayside Club")});
        // The club keeps its own time zone, whatever the workstation's: times
        // are the club's wall-clock times wherever the export runs.
        exec(QStringLiteral("evnt"),
             QStringLiteral("update clubsetting set value = ? where name = 'timezone'"),
             {QString::fromLatin1(ClubZone)});
        auto loaded = LoadConfiguration(module->databases);
        ASSERT_TRUE(loaded.ok());
        module->config = loaded->settings;
        for (const auto &[number, name] :
             {std::pair{1, "Grand Ballroom"}, std::pair{2, "Salle Étoile, \"East\""},
              std::pair{3, "Board Room"}})
            exec(QStringLiteral("evnt"),
                 QStringLiteral("insert into location (roomnum, room, capacity, subdiv) values "
                                "(?, ?, 100, 0)"),
                 {number, QString::fromUtf8(name)});
    }

    void addEvent(int number, int date, const QString &title, int status, int room,
                  const QString &start, const QString &end) {
        exec(QStringLiteral("evnt"),
             QStringLiteral("insert into eventinfo (eventnum, eventdate, eventtitle, status, "
                            "roomnumber, starttime, endtime, setfor, guarantee, contactname, "
                            "contphone1, createdate) values (?, ?, ?, ?, ?, ?, ?, 120, 110, "
                            "'Hannah Park', '215-555-0100', 20261101)"),
             {number, date, title, status, room, start, end});
    }

    // The events of the file as the independent parser read them.
    QJsonArray parsed(const QByteArray &content) {
        const QString file = path(QStringLiteral("parsed.ics"));
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
        out.close();
        QProcess python;
        // The distribution's own Python, which has its icalendar package.
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"), QString::fromLatin1(Reader), file});
        EXPECT_TRUE(python.waitForFinished(60000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    }

    static QString utc(int date, const char *time, int days = 0) {
        const QDate day = QDate(date / 10000, date / 100 % 100, date % 100).addDays(days);
        return QDateTime(day, QTime::fromString(QString::fromLatin1(time), QStringLiteral("HH:mm")),
                         QTimeZone(ClubZone))
            .toUTC()
            .toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    }
};

TEST(ICalendarText, IsEscapedAndFoldedAtSeventyFiveOctets) {
    EXPECT_EQ(ICalendar::escaped(QStringLiteral("a,b;c\\d\ne\r\nf")),
              QStringLiteral("a\\,b\\;c\\\\d\\ne\\nf"));

    for (const QString &line :
         {QStringLiteral("SUMMARY:") + QString(200, QLatin1Char('x')),
          QStringLiteral("SUMMARY:") + QString::fromUtf8("東京ä").repeated(40),
          QStringLiteral("SUMMARY:") + QString::fromUtf8("🎉").repeated(60),
          QStringLiteral("END:VEVENT")}) {
        const QByteArray folded = ICalendar::folded(line);
        ASSERT_TRUE(folded.endsWith("\r\n"));
        const QList<QByteArray> physical = folded.chopped(2).split('\n');
        for (qsizetype i = 0; i < physical.size(); ++i) {
            QByteArray part = physical[i];
            if (i + 1 < physical.size()) {
                ASSERT_TRUE(part.endsWith('\r'));
                part.chop(1);
            }
            EXPECT_LE(part.size(), 75);
            if (i > 0) {
                EXPECT_TRUE(part.startsWith(' '));
            }
            EXPECT_TRUE(QString::fromUtf8(part).toUtf8() == part)
                << "line " << i << " parts a character";
        }
        EXPECT_EQ(QString::fromUtf8(folded.chopped(2).replace("\r\n ", "")), line);
    }
}

TEST_F(CalendarExportTest, BookedEventsReadBackWithTheirTimesRoomsAndTexts) {
    const QString special =
        QString::fromUtf8("Smith, Jones; \"VIP\" \\ night: 東京 Ωμέγα Zoë 🎉 and a very long "
                          "title that fills the line");
    addEvent(1, 20270116, special, 4, 2, QStringLiteral("18:00"), QStringLiteral("23:00"));
    addEvent(2, 20270116, QStringLiteral("New Year Gala"), 3, 1, QStringLiteral("20:00"),
             QStringLiteral("CLOSE"));
    addEvent(3, 20270117, QStringLiteral("Late Party"), 5, 1, QStringLiteral("22:00"),
             QStringLiteral("01:30"));
    addEvent(4, 20270118, QStringLiteral("All Day Retreat"), 2, 3, QString(), QString());
    addEvent(5, 20270118, QStringLiteral("Enquiry only"), 1, 1, QStringLiteral("10:00"),
             QStringLiteral("11:00"));
    addEvent(6, 20270118, QStringLiteral("Cancelled"), 9, 1, QStringLiteral("10:00"),
             QStringLiteral("11:00"));
    addEvent(7, 20270201, QStringLiteral("Next month"), 4, 1, QStringLiteral("10:00"),
             QStringLiteral("11:00"));
    addEvent(8, 20270119, QStringLiteral("Unknown room"), 4, 7, QStringLiteral("09:00"),
             QStringLiteral("10:00"));

    CalendarExport calendars(*module);
    auto made = calendars.calendar({20270101, 20270131, 0});
    ASSERT_TRUE(made.ok()) << made.error().description.toStdString();
    EXPECT_EQ(made->events, 6);
    EXPECT_TRUE(made->content.contains("\r\nX-WR-TIMEZONE:America/Chicago\r\n"));
    const QJsonArray events = parsed(made->content);
    ASSERT_EQ(events.size(), 6) << made->content.toStdString();

    struct Expected {
        QString summary, location, start, end, status;
    } const expected[] = {
        {special, QString::fromUtf8("Salle Étoile, \"East\""), utc(20270116, "18:00"),
         utc(20270116, "23:00"), QStringLiteral("CONFIRMED")},
        {QStringLiteral("New Year Gala"), QStringLiteral("Grand Ballroom"), utc(20270116, "20:00"),
         utc(20270116, "00:00", 1), QStringLiteral("TENTATIVE")},
        {QStringLiteral("Late Party"), QStringLiteral("Grand Ballroom"), utc(20270117, "22:00"),
         utc(20270117, "01:30", 1), QStringLiteral("CONFIRMED")},
        {QStringLiteral("All Day Retreat"), QStringLiteral("Board Room"),
         QStringLiteral("20270118"), QStringLiteral("20270119"), QStringLiteral("TENTATIVE")},
        {QStringLiteral("Cancelled"), QStringLiteral("Grand Ballroom"), utc(20270118, "10:00"),
         utc(20270118, "11:00"), QStringLiteral("CANCELLED")},
        {QStringLiteral("Unknown room"), QStringLiteral("Room 7"), utc(20270119, "09:00"),
         utc(20270119, "10:00"), QStringLiteral("CONFIRMED")},
    };
    for (int i = 0; i < 6; ++i) {
        const QJsonObject event = events[i].toObject();
        SCOPED_TRACE(expected[i].summary.toStdString());
        EXPECT_EQ(event[QStringLiteral("summary")].toString(), expected[i].summary);
        EXPECT_EQ(event[QStringLiteral("location")].toString(), expected[i].location);
        EXPECT_EQ(event[QStringLiteral("start")].toString(), expected[i].start);
        EXPECT_EQ(event[QStringLiteral("end")].toString(), expected[i].end);
        EXPECT_EQ(event[QStringLiteral("status")].toString(), expected[i].status);
        EXPECT_EQ(event[QStringLiteral("sequence")].toInt(), 0) << "never changed through a count";
    }
    const QJsonObject first = events[0].toObject();
    EXPECT_EQ(first[QStringLiteral("uid")].toString(),
              QStringLiteral("event-1@hollow-creek-bayside-club.moravel"));
    EXPECT_EQ(first[QStringLiteral("description")].toString(),
              QStringLiteral("Status: 4-Confirmed w/Count\nGuests: 120 (guaranteed 110)\n"
                             "Contact: Hannah Park\nPhone: 215-555-0100"));
    EXPECT_EQ(first[QStringLiteral("modified")].toString(), utc(20261101, "00:00"))
        << "no change logged: the day it was made";

    // The latest change logged for event 3 is its last modification, though
    // a workstation with a slow clock wrote an earlier time after it; one
    // with a fast clock does not date a change after the export.
    QFile log(path(QStringLiteral("evntsched.ini")));
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write("12032026\\09:10\\E#0\\Event#3 \\Room\\\r\n"
              "12012026\\14:05\\E#0\\Event#3 \\Guarantee\\\r\n"
              "12052026\\16:45\\E#0\\Event#33 \\Room\\\r\n"
              "12092026\\08:00\\E#0\\Event#1 \\Room\\\r\n");
    log.close();
    const QJsonArray again = parsed(calendars.calendar({20270101, 20270131, 0})->content);
    ASSERT_EQ(again.size(), 6);
    EXPECT_EQ(again[2].toObject()[QStringLiteral("modified")].toString(), utc(20261203, "09:10"));
    EXPECT_EQ(again[0].toObject()[QStringLiteral("modified")].toString(),
              ICalendar::utc(clock.now()));
    EXPECT_EQ(again[0].toObject()[QStringLiteral("stamp")].toString(), ICalendar::utc(clock.now()));

    // One room, and a room without events: still a calendar.
    const auto ballroom = calendars.calendar({20270101, 20270131, 1});
    ASSERT_TRUE(ballroom.ok());
    EXPECT_EQ(parsed(ballroom->content).size(), 3);
    const auto empty = calendars.calendar({20270101, 20270131, 12});
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty->events, 0);
    EXPECT_TRUE(parsed(empty->content).isEmpty());
    EXPECT_TRUE(empty->content.startsWith("BEGIN:VCALENDAR\r\n"));
    EXPECT_TRUE(empty->content.endsWith("END:VCALENDAR\r\n"));
}

TEST_F(CalendarExportTest, TheExportWindowOffersTheRoomsAndWritesOnlyOnOk) {
    addEvent(1, 20261216, QStringLiteral("Dinner"), 4, 1, QStringLiteral("18:00"),
             QStringLiteral("23:00"));
    addEvent(2, 20261217, QStringLiteral("Lunch"), 4, 3, QStringLiteral("12:00"),
             QStringLiteral("14:00"));
    CalendarExport logic(*module);
    ASSERT_TRUE(logic.open());
    EXPECT_EQ(logic.form.from, QDate(2026, 12, 1));
    EXPECT_EQ(logic.form.to, QDate(2026, 12, 31));
    EXPECT_EQ(logic.form.file,
              QDir::toNativeSeparators(path(QStringLiteral("events-20261201-20261231.ics"))));
    EXPECT_EQ(logic.form.rooms,
              (QList<std::pair<int, QString>>{{0, QStringLiteral("Every room")},
                                              {1, QStringLiteral("Grand Ballroom")},
                                              {2, QString::fromUtf8("Salle Étoile, \"East\"")},
                                              {3, QStringLiteral("Board Room")}}));
    EXPECT_EQ(logic.form.zone, QStringLiteral("Times are the club's, in America/Chicago."));

    // Each failure is said in the window, and nothing is written.
    for (const auto &[file, error] :
         {std::pair{QStringLiteral("  "),
                    QStringLiteral("Choose the file to save the calendar in.")},
          std::pair{path(QStringLiteral("no-such-folder/x.ics")),
                    QStringLiteral("The calendar could not be saved as ")}}) {
        logic.form.file = file;
        EXPECT_FALSE(logic.save());
        EXPECT_TRUE(logic.form.error.startsWith(error)) << logic.form.error.toStdString();
    }
    EXPECT_TRUE(prompts.messages.isEmpty());

    const QString file = path(QStringLiteral("ballroom.ics"));
    logic.form = {QDate(2026, 12, 31), QDate(2026, 12, 1), 1, file, {}, {}, {}, {}};
    ASSERT_TRUE(logic.save()) << logic.form.error.toStdString();
    EXPECT_EQ(
        prompts.messageTexts(),
        QStringList{
            QStringLiteral("1 events were written to %1.").arg(QDir::toNativeSeparators(file))});
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QJsonArray events = parsed(written.readAll());
    ASSERT_EQ(events.size(), 1) << "the dates in either order, the one room";
    EXPECT_EQ(events[0].toObject()[QStringLiteral("summary")].toString(), QStringLiteral("Dinner"));

    prompts.clear();
    signIn(10);
    EXPECT_FALSE(logic.open());
    EXPECT_TRUE(prompts.inputs.isEmpty() && prompts.messages.isEmpty())
        << "below the level that prints listings, the command does nothing";
}

// Events are booked in the club's wall-clock time: across a change of
// daylight-saving time either way, each keeps the hours it was booked for.
TEST_F(CalendarExportTest, DaylightSavingChangesKeepTheBookedHours) {
    const struct {
        int date;
        const char *start, *end;
        const char *utcStart, *utcEnd;
    } rows[] = {
        {20270313, "18:00", "23:00", "20270314T000000Z", "20270314T050000Z"}, // the day before
        {20270313, "22:00", "03:00", "20270314T040000Z", "20270314T080000Z"}, // over the change
        {20270314, "00:00", "01:30", "20270314T060000Z", "20270314T073000Z"},
        {20270314, "18:00", "CLOSE", "20270314T230000Z", "20270315T050000Z"}, // daylight time
        {20271106, "22:00", "03:00", "20271107T030000Z", "20271107T090000Z"}, // back again
        {20271107, "03:00", "06:00", "20271107T090000Z", "20271107T120000Z"},
        {20271107, "18:00", "23:00", "20271108T000000Z", "20271108T050000Z"}, // standard time
    };
    int number = 0;
    for (const auto &row : rows) {
        ++number;
        addEvent(number, row.date, QStringLiteral("Event %1").arg(number), 4, 1,
                 QString::fromLatin1(row.start), QString::fromLatin1(row.end));
    }
    const QJsonArray events =
        parsed(CalendarExport(*module).calendar({20270301, 20271130, 0})->content);
    ASSERT_EQ(events.size(), number);
    for (int i = 0; i < number; ++i) {
        const QJsonObject event = events[i].toObject();
        SCOPED_TRACE(rows[i].date);
        EXPECT_EQ(event[QStringLiteral("start")].toString(), QString::fromLatin1(rows[i].utcStart));
        EXPECT_EQ(event[QStringLiteral("end")].toString(), QString::fromLatin1(rows[i].utcEnd));
    }
}

#ifdef MORAVEL_CLUB
TEST_F(CalendarExportTest, TheClubToolWritesTheSameFileInEveryWorkstationZone) {
    addEvent(1, 20270116, QStringLiteral("Dinner"), 4, 1, QStringLiteral("18:00"),
             QStringLiteral("23:00"));
    addEvent(2, 20270117, QStringLiteral("Lunch"), 4, 3, QStringLiteral("12:00"),
             QStringLiteral("14:00"));
    addEvent(3, 20270328, QStringLiteral("Spring"), 9, 1, QStringLiteral("01:00"),
             QStringLiteral("05:00"));
    const auto run = [this](const QStringList &arguments, const char *zone = "UTC") {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TZ"), QString::fromLatin1(zone));
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(MORAVEL_CLUB),
                   QStringList{QStringLiteral("export-ics"), club} + arguments);
        EXPECT_TRUE(tool.waitForFinished(60000));
        return std::tuple{tool.exitCode(), tool.readAllStandardOutput(),
                          QString::fromUtf8(tool.readAllStandardError())};
    };
    const auto [status, output, said] =
        run({QStringLiteral("20270331"), QStringLiteral("20270101")});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(parsed(output).size(), 3) << "the dates in either order";
    EXPECT_EQ(said, QStringLiteral("3 events, times in the club's time zone America/Chicago.\n"));
    const auto [roomStatus, roomOutput, roomSaid] =
        run({QStringLiteral("20270101"), QStringLiteral("20270131"), QStringLiteral("3")});
    EXPECT_EQ(roomStatus, 0);
    EXPECT_EQ(parsed(roomOutput).size(), 1);
    for (const QStringList &bad :
         {QStringList{QStringLiteral("2027-01-01"), QStringLiteral("20270131")},
          QStringList{QStringLiteral("20270231"), QStringLiteral("20270301")},
          QStringList{QStringLiteral("20270101"), QStringLiteral("20270131"), QStringLiteral("x")},
          QStringList{QStringLiteral("20270101")}})
        EXPECT_EQ(std::get<0>(run(bad)), 2) << bad.join(QLatin1Char(' ')).toStdString();

    // A club in Berlin whose changes were logged in the hour that does not
    // exist in Los Angeles: wherever the export runs, the same file.
    exec(QStringLiteral("evnt"),
         QStringLiteral("update clubsetting set value = 'Europe/Berlin' where name = 'timezone'"));
    exec(QStringLiteral("evnt"), QStringLiteral("update eventinfo set createdate = 20260101"));
    exec(QStringLiteral("evnt"),
         QStringLiteral("insert into eventchange (eventnum, changecount, changedby, changedat) "
                        "values (2, 3, 'DEMO2', '2026-03-08 02:40:00')"));
    QFile log(path(QStringLiteral("evntsched.ini")));
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write("03082026\\02:30\\E#0\\Event#1 \\Room\\\r\n");
    log.close();
    QList<QByteArray> files;
    for (const char *zone : {"UTC", "Europe/Berlin", "America/Los_Angeles"}) {
        const QString file = path(QStringLiteral("export.ics"));
        const auto [zoneStatus, zoneOutput, zoneSaid] = run(
            {QStringLiteral("20270101"), QStringLiteral("20270331"), QStringLiteral("--out"), file},
            zone);
        EXPECT_EQ(zoneStatus, 0) << zoneSaid.toStdString();
        EXPECT_EQ(QString::fromUtf8(zoneOutput),
                  QStringLiteral("3 events, times in the club's time zone Europe/Berlin, written "
                                 "to %1\n")
                      .arg(file));
        QFile written(file);
        EXPECT_TRUE(written.open(QIODevice::ReadOnly));
        static const QRegularExpression stamp(QStringLiteral("DTSTAMP:[0-9TZ]+"));
        files << QString::fromUtf8(written.readAll()).replace(stamp, QString()).toUtf8();
    }
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(files[1], files[0]);
    EXPECT_EQ(files[2], files[0]);
    const QJsonArray events = parsed(files[0]);
    ASSERT_EQ(events.size(), 3);
    EXPECT_EQ(events[0].toObject()[QStringLiteral("modified")].toString(),
              QStringLiteral("20260308T013000Z"));
    EXPECT_EQ(events[1].toObject()[QStringLiteral("modified")].toString(),
              QStringLiteral("20260308T014000Z"));
    EXPECT_EQ(events[2].toObject()[QStringLiteral("start")].toString(),
              QStringLiteral("20270328T000000Z"));
    EXPECT_EQ(events[2].toObject()[QStringLiteral("end")].toString(),
              QStringLiteral("20270328T030000Z"));
}
#endif

// A change raises SEQUENCE and a cancellation stays in the file, so a
// calendar that has the event replaces it rather than keeping the old one.
TEST_F(CalendarExportTest, ChangedAndCancelledEventsReplaceWhatACalendarHas) {
    addEvent(1, 20270116, QStringLiteral("Dinner"), 4, 1, QStringLiteral("18:00"),
             QStringLiteral("23:00"));
    addEvent(2, 20270117, QStringLiteral("Lunch"), 3, 3, QStringLiteral("12:00"),
             QStringLiteral("14:00"));
    const QString first = path(QStringLiteral("first.ics")),
                  second = path(QStringLiteral("second.ics"));
    const auto write = [this](const QString &file) {
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(CalendarExport(*module).calendar({20270101, 20270131, 0})->content);
    };
    write(first);
    const auto change = [this](int number, const QString &set) {
        auto evnt = module->databases.open(QStringLiteral("evnt"));
        ASSERT_TRUE(evnt.ok());
        Transaction transaction(**evnt);
        ASSERT_TRUE((*evnt)->execute(
            QStringLiteral("update eventinfo set %1 where eventnum = ?").arg(set), {number}));
        ASSERT_TRUE(EventChanges::claim(**evnt, number, std::nullopt, QStringLiteral("DEMO2"),
                                        clock.now()));
        ASSERT_TRUE(transaction.commit());
    };
    change(1, QStringLiteral("eventtitle = 'Dinner moved', starttime = '19:00'"));
    change(2, QStringLiteral("status = 9"));
    change(2, QStringLiteral("guarantee = 0"));
    write(second);
    QFile read(second);
    ASSERT_TRUE(read.open(QIODevice::ReadOnly));
    const QJsonArray events = parsed(read.readAll());
    ASSERT_EQ(events.size(), 2);
    EXPECT_EQ(events[0].toObject()[QStringLiteral("sequence")].toInt(), 1);
    EXPECT_EQ(events[1].toObject()[QStringLiteral("sequence")].toInt(), 2);
    EXPECT_EQ(events[1].toObject()[QStringLiteral("status")].toString(),
              QStringLiteral("CANCELLED"));

    // A calendar program that imported the first file and then the second.
    if (QStandardPaths::findExecutable(QStringLiteral("khal")).isEmpty())
        GTEST_SKIP() << "khal is not installed (scripts/install-deps.sh installs it): the "
                        "import into a calendar program was not checked";
    const QString store = path(QStringLiteral("khal/club")),
                  config = path(QStringLiteral("khal.conf"));
    ASSERT_TRUE(QDir().mkpath(store));
    QFile settings(config);
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly | QIODevice::Text));
    settings.write(QStringLiteral("[calendars]\n[[club]]\npath = %1\ntype = calendar\n[locale]\n"
                                  "timeformat = %H:%M\ndateformat = %Y-%m-%d\nlongdateformat = "
                                  "%Y-%m-%d\ndatetimeformat = %Y-%m-%d %H:%M\nlongdatetimeformat "
                                  "= %Y-%m-%d %H:%M\ndefault_timezone = America/Chicago\n"
                                  "local_timezone = America/Chicago\n")
                       .arg(store)
                       .toUtf8());
    settings.close();
    const auto khal = [&](const QStringList &arguments) {
        QProcess program;
        program.start(QStringLiteral("khal"),
                      QStringList{QStringLiteral("-c"), config} + arguments);
        EXPECT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        return QString::fromUtf8(program.readAllStandardOutput());
    };
    khal({QStringLiteral("import"), QStringLiteral("--batch"), first});
    khal({QStringLiteral("import"), QStringLiteral("--batch"), second});
    EXPECT_EQ(khal({QStringLiteral("list"), QStringLiteral("--day-format"),
                    QStringLiteral("{date}"), QStringLiteral("--format"),
                    QStringLiteral("{cancelled}{start-end-time-style} {title}"),
                    QStringLiteral("2027-01-01"), QStringLiteral("2027-01-31")}),
              QStringLiteral("2027-01-16\n19:00-23:00 Dinner moved\n"
                             "2027-01-17\nCANCELLED 12:00-14:00 Lunch\n"));
}

} // namespace
