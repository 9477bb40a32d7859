#include "reports/CalendarExport.h"

#include "ClubFixture.h"
#include "startup/ConfigurationLoader.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
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
           'modified': when(e.get('last-modified'))} for e in calendar.walk('VEVENT')]
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
    EXPECT_EQ(made->events, 5);
    const QJsonArray events = parsed(made->content);
    ASSERT_EQ(events.size(), 5) << made->content.toStdString();

    struct Expected {
        QString summary, location, start, end;
    } const expected[] = {
        {special, QString::fromUtf8("Salle Étoile, \"East\""), utc(20270116, "18:00"),
         utc(20270116, "23:00")},
        {QStringLiteral("New Year Gala"), QStringLiteral("Grand Ballroom"), utc(20270116, "20:00"),
         utc(20270116, "00:00", 1)},
        {QStringLiteral("Late Party"), QStringLiteral("Grand Ballroom"), utc(20270117, "22:00"),
         utc(20270117, "01:30", 1)},
        {QStringLiteral("All Day Retreat"), QStringLiteral("Board Room"),
         QStringLiteral("20270118"), QStringLiteral("20270119")},
        {QStringLiteral("Unknown room"), QStringLiteral("Room 7"), utc(20270119, "09:00"),
         utc(20270119, "10:00")},
    };
    for (int i = 0; i < 5; ++i) {
        const QJsonObject event = events[i].toObject();
        SCOPED_TRACE(expected[i].summary.toStdString());
        EXPECT_EQ(event[QStringLiteral("summary")].toString(), expected[i].summary);
        EXPECT_EQ(event[QStringLiteral("location")].toString(), expected[i].location);
        EXPECT_EQ(event[QStringLiteral("start")].toString(), expected[i].start);
        EXPECT_EQ(event[QStringLiteral("end")].toString(), expected[i].end);
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
    // a workstation with a slow clock wrote an earlier time after it.
    QFile log(path(QStringLiteral("evntsched.ini")));
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write("12032026\\09:10\\E#0\\Event#3 \\Room\\\r\n"
              "12012026\\14:05\\E#0\\Event#3 \\Guarantee\\\r\n"
              "12052026\\16:45\\E#0\\Event#33 \\Room\\\r\n");
    log.close();
    const QJsonArray again = parsed(calendars.calendar({20270101, 20270131, 0})->content);
    ASSERT_EQ(again.size(), 5);
    EXPECT_EQ(again[2].toObject()[QStringLiteral("modified")].toString(), utc(20261203, "09:10"));

    // One room, and a room without events: still a calendar.
    const auto ballroom = calendars.calendar({20270101, 20270131, 1});
    ASSERT_TRUE(ballroom.ok());
    EXPECT_EQ(parsed(ballroom->content).size(), 2);
    const auto empty = calendars.calendar({20270101, 20270131, 12});
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty->events, 0);
    EXPECT_TRUE(parsed(empty->content).isEmpty());
    EXPECT_TRUE(empty->content.startsWith("BEGIN:VCALENDAR\r\n"));
    EXPECT_TRUE(empty->content.endsWith("END:VCALENDAR\r\n"));
}

TEST_F(CalendarExportTest, TheFileMenuCommandAsksRangeRoomAndFile) {
    exec(QStringLiteral("evnt"),
         QStringLiteral("insert into reserv (resdate, restime) values (?, "
                        "'08:00')"),
         {20270101});
    addEvent(1, 20270116, QStringLiteral("Dinner"), 4, 1, QStringLiteral("18:00"),
             QStringLiteral("23:00"));
    addEvent(2, 20270117, QStringLiteral("Lunch"), 4, 3, QStringLiteral("12:00"),
             QStringLiteral("14:00"));
    const QString file = path(QStringLiteral("ballroom.ics"));
    for (const char *answer : {"20270101", "20270131", "abc", "1"})
        prompts.answerInput(QString::fromLatin1(answer));
    prompts.answerInput(file);
    CalendarExport(*module).mnuexportcalendarClick();
    EXPECT_EQ(
        prompts.messageTexts(),
        (QStringList{
            QStringLiteral("\"abc\" is not a room number."),
            QStringLiteral("1 events were written to %1.").arg(QDir::toNativeSeparators(file))}));
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QJsonArray events = parsed(written.readAll());
    ASSERT_EQ(events.size(), 1);
    EXPECT_EQ(events[0].toObject()[QStringLiteral("summary")].toString(), QStringLiteral("Dinner"));

    prompts.clear();
    signIn(10);
    CalendarExport(*module).mnuexportcalendarClick();
    EXPECT_TRUE(prompts.inputs.isEmpty() && prompts.messages.isEmpty())
        << "below the level that prints listings, the command does nothing";
}

#ifdef MORAVEL_CLUB
TEST_F(CalendarExportTest, TheClubToolWritesTheCalendarToItsOutput) {
    addEvent(1, 20270116, QStringLiteral("Dinner"), 4, 1, QStringLiteral("18:00"),
             QStringLiteral("23:00"));
    addEvent(2, 20270117, QStringLiteral("Lunch"), 4, 3, QStringLiteral("12:00"),
             QStringLiteral("14:00"));
    const auto run = [this](const QStringList &arguments) {
        QProcess tool;
        tool.start(QStringLiteral(MORAVEL_CLUB),
                   QStringList{QStringLiteral("export-ics"), club} + arguments);
        EXPECT_TRUE(tool.waitForFinished(60000));
        return std::pair{tool.exitCode(), tool.readAllStandardOutput()};
    };
    const auto [status, output] = run({QStringLiteral("20270131"), QStringLiteral("20270101")});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(parsed(output).size(), 2) << "the dates in either order";
    const auto [roomStatus, roomOutput] =
        run({QStringLiteral("20270101"), QStringLiteral("20270131"), QStringLiteral("3")});
    EXPECT_EQ(roomStatus, 0);
    EXPECT_EQ(parsed(roomOutput).size(), 1);
    for (const QStringList &bad :
         {QStringList{QStringLiteral("2027-01-01"), QStringLiteral("20270131")},
          QStringList{QStringLiteral("20270231"), QStringLiteral("20270301")},
          QStringList{QStringLiteral("20270101"), QStringLiteral("20270131"), QStringLiteral("x")},
          QStringList{QStringLiteral("20270101")}})
        EXPECT_EQ(run(bad).first, 2) << bad.join(QLatin1Char(' ')).toStdString();
}
#endif

} // namespace
