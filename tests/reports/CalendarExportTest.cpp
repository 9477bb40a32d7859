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
        exec("config", "update company set compname = ?", {"Hollow Creek / Bayside Club"});
        // The club keeps its own time zone, whatever the workstation's: times
        // are the club's wall-clock times wherever the export runs.
        exec("evnt", "update clubsetting set value = ? where name = 'timezone'",
             {QString::fromLatin1(ClubZone)});
        auto loaded = LoadConfiguration(module->databases);
        ASSERT_TRUE(loaded.ok());
        module->config = loaded->settings;
        for (const auto &[number, name] :
             {std::pair{1, "Grand Ballroom"}, std::pair{2, "Salle Étoile, \"East\""},
              std::pair{3, "Board Room"}})
            exec("evnt",
                 "insert into location (roomnum, room, capacity, subdiv) values "
                 "(?, ?, 100, 0)",
                 {number, QString::fromUtf8(name)});
    }

    // Events as "number|date|title|status|room|start|end".
    void addEvents(const QStringList &events) {
        for (const QString &event : events) {
            const QStringList v = event.split(QLatin1Char('|'));
            exec("evnt",
                 "insert into eventinfo (eventnum, eventdate, eventtitle, status, "
                 "roomnumber, starttime, endtime, setfor, guarantee, contactname, "
                 "contphone1, createdate) values (?, ?, ?, ?, ?, ?, ?, 120, 110, "
                 "'Hannah Park', '215-555-0100', 20261101)",
                 {v[0].toInt(), v[1].toInt(), v[2], v[3].toInt(), v[4].toInt(),
                  v[5].isEmpty() ? QString() : v[5], v[6].isEmpty() ? QString() : v[6]});
        }
    }

    // The events of the file as the independent parser read them.
    QJsonArray parsed(const QByteArray &content) {
        const QString file = path("parsed.ics");
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
        out.close();
        QProcess python;
        // The distribution's own Python, which has its icalendar package.
        python.start("/usr/bin/python3", {"-c", QString::fromLatin1(Reader), file});
        EXPECT_TRUE(python.waitForFinished(60000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    }

    // The named fields (separated by blanks) of each parsed event, as
    // "value|value|...".
    static QStringList fields(const QJsonArray &events, const char *names) {
        QStringList found;
        for (const QJsonValue &event : events) {
            QStringList values;
            for (const QString &name : QString::fromLatin1(names).split(QLatin1Char(' ')))
                values << event[name].toVariant().toString();
            found << values.join(QLatin1Char('|'));
        }
        return found;
    }
};

TEST(ICalendarText, IsEscapedAndFoldedAtSeventyFiveOctets) {
    EXPECT_EQ(ICalendar::escaped("a,b;c\\d\ne\r\nf"), "a\\,b\\;c\\\\d\\ne\\nf");
    // A continuation line's leading blank counts; no character is parted.
    const QString x(QLatin1Char('x')), a = QString::fromUtf8("ä"), party = QString::fromUtf8("🎉");
    const std::pair<QString, QStringList> lines[] = {
        {x.repeated(75), {x.repeated(75)}},
        {x.repeated(76), {x.repeated(75), x}},
        {"SUMMARY:" + x.repeated(200),
         {"SUMMARY:" + x.repeated(67), x.repeated(74), x.repeated(59)}},
        {"SUMMARY:" + a.repeated(40), {"SUMMARY:" + a.repeated(33), a.repeated(7)}},
        {"SUMMARY:" + party.repeated(60),
         {"SUMMARY:" + party.repeated(16), party.repeated(18), party.repeated(18),
          party.repeated(8)}}};
    for (const auto &[line, physical] : lines)
        EXPECT_EQ(ICalendar::folded(line), (physical.join("\r\n ") + "\r\n").toUtf8());
}

TEST_F(CalendarExportTest, BookedEventsReadBackWithTheirTimesRoomsAndTexts) {
    const QString special =
        QString::fromUtf8("Smith, Jones; \"VIP\" \\ night: 東京 Ωμέγα Zoë 🎉 and a very long "
                          "title that fills the line");
    addEvents({"1|20270116|" + special + "|4|2|18:00|23:00",
               "2|20270116|New Year Gala|3|1|20:00|CLOSE", "3|20270117|Late Party|5|1|22:00|01:30",
               "4|20270118|All Day Retreat|2|3||", "5|20270118|Enquiry only|1|1|10:00|11:00",
               "6|20270118|Cancelled|9|1|10:00|11:00", "7|20270201|Next month|4|1|10:00|11:00",
               "8|20270119|Unknown room|4|7|09:00|10:00"});
    CalendarExport calendars(*module);
    auto made = calendars.calendar({.from = 20270101, .to = 20270131, .room = 0});
    ASSERT_TRUE(made.ok()) << made.error().description.toStdString();
    EXPECT_EQ(made->events, 6);
    EXPECT_TRUE(made->content.contains("\r\nX-WR-TIMEZONE:America/Chicago\r\n"));
    const QJsonArray events = parsed(made->content);
    ASSERT_EQ(events.size(), 6) << made->content.toStdString();

    // Times in UTC: the club's are six hours behind in winter, five in summer.
    EXPECT_EQ(fields(events, "summary location start end status sequence"),
              (QStringList{
                  special + "|Salle Étoile, \"East\"|20270117T000000Z|20270117T050000Z|CONFIRMED|0",
                  "New Year Gala|Grand Ballroom|20270117T020000Z|20270117T060000Z|TENTATIVE|0",
                  "Late Party|Grand Ballroom|20270118T040000Z|20270118T073000Z|CONFIRMED|0",
                  "All Day Retreat|Board Room|20270118|20270119|TENTATIVE|0",
                  "Cancelled|Grand Ballroom|20270118T160000Z|20270118T170000Z|CANCELLED|0",
                  "Unknown room|Room 7|20270119T150000Z|20270119T160000Z|CONFIRMED|0"}))
        << "never changed through a count: sequence 0";
    // No change logged: modified the day it was made.
    EXPECT_EQ(fields(events, "uid description modified").value(0),
              "event-1@hollow-creek-bayside-club.moravel|Status: 4-Confirmed w/Count\nGuests: 120 "
              "(guaranteed 110)\nContact: Hannah Park\nPhone: 215-555-0100|20261101T050000Z");

    // The latest change logged for event 3 is its last modification, though
    // a workstation with a slow clock wrote an earlier time after it; one
    // with a fast clock does not date a change after the export.
    QFile log(path("evntsched.ini"));
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write("12032026\\09:10\\E#0\\Event#3 \\Room\\\r\n"
              "12012026\\14:05\\E#0\\Event#3 \\Guarantee\\\r\n"
              "12052026\\16:45\\E#0\\Event#33 \\Room\\\r\n"
              "12092026\\08:00\\E#0\\Event#1 \\Room\\\r\n");
    log.close();
    const QStringList again =
        fields(parsed(calendars.calendar({.from = 20270101, .to = 20270131, .room = 0})->content),
               "modified stamp");
    ASSERT_EQ(again.size(), 6);
    EXPECT_TRUE(again[2].startsWith("20261203T151000Z|"));
    const QString now = ICalendar::utc(clock.now());
    EXPECT_EQ(again[0], now + "|" + now);

    // One room, and a room without events: still a calendar.
    const auto ballroom = calendars.calendar({.from = 20270101, .to = 20270131, .room = 1});
    ASSERT_TRUE(ballroom.ok());
    EXPECT_EQ(parsed(ballroom->content).size(), 3);
    const auto empty = calendars.calendar({.from = 20270101, .to = 20270131, .room = 12});
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty->events, 0);
    EXPECT_TRUE(parsed(empty->content).isEmpty());
    EXPECT_TRUE(empty->content.startsWith("BEGIN:VCALENDAR\r\n"));
    EXPECT_TRUE(empty->content.endsWith("END:VCALENDAR\r\n"));

    // A calendar program that imported the file replaces each event by its
    // UID: the UIDs stay, SEQUENCE rises with each change, and a
    // cancellation stays in the file with the changed times and titles.
    const auto change = [this](int number, const QString &set) {
        auto evnt = module->databases.open("evnt");
        ASSERT_TRUE(evnt.ok());
        Transaction transaction(**evnt);
        ASSERT_TRUE((*evnt)->execute(
            QStringLiteral("update eventinfo set %1 where eventnum = ?").arg(set), {number}));
        ASSERT_TRUE(EventChanges::claim(**evnt, number, std::nullopt, "DEMO2", clock.now()));
        ASSERT_TRUE(transaction.commit());
    };
    change(2, "eventtitle = 'Gala moved', starttime = '19:00'");
    change(3, "status = 9");
    change(3, "guarantee = 0");
    const QJsonArray changed =
        parsed(calendars.calendar({.from = 20270101, .to = 20270131, .room = 0})->content);
    EXPECT_EQ(fields(changed, "uid"), fields(events, "uid"));
    EXPECT_EQ(fields(changed, "sequence status summary start end").mid(1, 2),
              (QStringList{"1|TENTATIVE|Gala moved|20270117T010000Z|20270117T060000Z",
                           "2|CANCELLED|Late Party|20270118T040000Z|20270118T073000Z"}));
}

TEST_F(CalendarExportTest, TheExportWindowOffersTheRoomsAndWritesOnlyOnOk) {
    addEvents({"1|20261216|Dinner|4|1|18:00|23:00", "2|20261217|Lunch|4|3|12:00|14:00"});
    CalendarExport logic(*module);
    ASSERT_TRUE(logic.open());
    EXPECT_EQ(logic.form.from, QDate(2026, 12, 1));
    EXPECT_EQ(logic.form.to, QDate(2026, 12, 31));
    EXPECT_EQ(logic.form.file, QDir::toNativeSeparators(path("events-20261201-20261231.ics")));
    EXPECT_EQ(logic.form.rooms,
              (QList<std::pair<int, QString>>{{0, "Every room"},
                                              {1, "Grand Ballroom"},
                                              {2, QString::fromUtf8("Salle Étoile, \"East\"")},
                                              {3, "Board Room"}}));
    EXPECT_EQ(logic.form.zone, "Times are the club's, in America/Chicago.");

    // Each failure is said in the window, and nothing is written.
    for (const auto &[file, error] :
         {std::pair{QStringLiteral("  "),
                    QStringLiteral("Choose the file to save the calendar in.")},
          std::pair{path("no-such-folder/x.ics"),
                    QStringLiteral("The calendar could not be saved as ")}}) {
        logic.form.file = file;
        EXPECT_FALSE(logic.save());
        EXPECT_TRUE(logic.form.error.startsWith(error)) << logic.form.error.toStdString();
    }
    EXPECT_TRUE(prompts.messages.isEmpty());

    const QString file = path("ballroom.ics");
    logic.form = {QDate(2026, 12, 31), QDate(2026, 12, 1), 1, file, {}, {}, {}, {}};
    ASSERT_TRUE(logic.save()) << logic.form.error.toStdString();
    EXPECT_EQ(
        prompts.messageTexts(),
        QStringList{
            QStringLiteral("1 event was written to %1.").arg(QDir::toNativeSeparators(file))});
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QJsonArray events = parsed(written.readAll());
    EXPECT_EQ(fields(events, "summary"), QStringList{"Dinner"});

    prompts.clear();
    signIn(10);
    EXPECT_FALSE(logic.open());
    EXPECT_TRUE(prompts.inputs.isEmpty() && prompts.messages.isEmpty())
        << "below the level that prints listings, the command does nothing";
}

// Events are booked in the club's wall-clock time: across a change of
// daylight-saving time either way, each keeps the hours it was booked for.
TEST_F(CalendarExportTest, DaylightSavingChangesKeepTheBookedHours) {
    addEvents({"1|20270313|E|4|1|18:00|23:00", "2|20270313|E|4|1|22:00|03:00",
               "3|20270314|E|4|1|00:00|01:30", "4|20270314|E|4|1|18:00|CLOSE",
               "5|20271106|E|4|1|22:00|03:00", "6|20271107|E|4|1|03:00|06:00",
               "7|20271107|E|4|1|18:00|23:00"});
    EXPECT_EQ(fields(parsed(CalendarExport(*module)
                                .calendar({.from = 20270301, .to = 20271130, .room = 0})
                                ->content),
                     "start end"),
              (QStringList{"20270314T000000Z|20270314T050000Z",    // the day before
                           "20270314T040000Z|20270314T080000Z",    // over the change
                           "20270314T060000Z|20270314T073000Z",    //
                           "20270314T230000Z|20270315T050000Z",    // daylight time
                           "20271107T030000Z|20271107T090000Z",    // back again
                           "20271107T090000Z|20271107T120000Z",    //
                           "20271108T000000Z|20271108T050000Z"})); // standard time
}

#ifdef MORAVEL_CLUB
TEST_F(CalendarExportTest, TheClubToolWritesTheSameFileInEveryWorkstationZone) {
    addEvents({"1|20270116|Dinner|4|1|18:00|23:00", "2|20270117|Lunch|4|3|12:00|14:00",
               "3|20270328|Spring|9|1|01:00|05:00"});
    const auto run = [this](const QStringList &arguments, const char *zone = "UTC") {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TZ", QString::fromLatin1(zone));
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(MORAVEL_CLUB), QStringList{"export-ics", club} + arguments);
        EXPECT_TRUE(tool.waitForFinished(60000));
        return std::tuple{tool.exitCode(), tool.readAllStandardOutput(),
                          QString::fromUtf8(tool.readAllStandardError())};
    };
    const auto [status, output, said] = run({"20270331", "20270101"});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(parsed(output).size(), 3) << "the dates in either order";
    EXPECT_EQ(said, "3 events, times in the club's time zone America/Chicago.\n");
    const auto [roomStatus, roomOutput, roomSaid] = run({"20270101", "20270131", "3"});
    EXPECT_EQ(roomStatus, 0);
    EXPECT_EQ(parsed(roomOutput).size(), 1);
    for (const QStringList &bad :
         {QStringList{"2027-01-01", "20270131"}, QStringList{"20270231", "20270301"},
          QStringList{"20270101", "20270131", "x"}, QStringList{"20270101"}})
        EXPECT_EQ(std::get<0>(run(bad)), 2) << bad.join(QLatin1Char(' ')).toStdString();

    // A club in Berlin whose changes were logged in the hour that does not
    // exist in Los Angeles: wherever the export runs, the same file.
    exec("evnt", "update clubsetting set value = 'Europe/Berlin' where name = 'timezone'");
    exec("evnt", "update eventinfo set createdate = 20260101");
    exec("evnt", "insert into eventchange (eventnum, changecount, changedby, changedat) "
                 "values (2, 3, 'DEMO2', '2026-03-08 02:40:00')");
    QFile log(path("evntsched.ini"));
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write("03082026\\02:30\\E#0\\Event#1 \\Room\\\r\n");
    log.close();
    QList<QByteArray> files;
    for (const char *zone : {"UTC", "Europe/Berlin", "America/Los_Angeles"}) {
        const QString file = path("export.ics");
        const auto [zoneStatus, zoneOutput, zoneSaid] =
            run({"20270101", "20270331", "--out", file}, zone);
        EXPECT_EQ(zoneStatus, 0) << zoneSaid.toStdString();
        EXPECT_EQ(QString::fromUtf8(zoneOutput),
                  QStringLiteral("3 events, times in the club's time zone Europe/Berlin, written "
                                 "to %1\n")
                      .arg(file));
        QFile written(file);
        EXPECT_TRUE(written.open(QIODevice::ReadOnly));
        static const QRegularExpression stamp("DTSTAMP:[0-9TZ]+");
        files << QString::fromUtf8(written.readAll()).replace(stamp, QString()).toUtf8();
    }
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(files[1], files[0]);
    EXPECT_EQ(files[2], files[0]);
    const QJsonArray events = parsed(files[0]);
    EXPECT_EQ(fields(events, "modified").mid(0, 2),
              (QStringList{"20260308T013000Z", "20260308T014000Z"}));
    EXPECT_EQ(fields(events, "start end").value(2), "20270328T000000Z|20270328T030000Z");
}
#endif

} // namespace
