// The club published to a real CalDAV server (Radicale, started for the
// test on a loopback port), read back through its storage folder and by
// another program's CalDAV client.
#include "ClubFixture.h"
#include "events/EventRecord.h"
#include "publishing/Publishing.h"
#include "startup/ConfigurationLoader.h"
#include "storage/EventChanges.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

const QString User = u"clubcal"_s;
const QString Password = u"clubcal-secret"_s;

// Reads the collection with python3-caldav: one line per event, its
// summary and status, sorted.
const char *const Reader = R"(
import sys, caldav
client = caldav.DAVClient(sys.argv[1], username=sys.argv[2], password=sys.argv[3])
calendar = client.calendar(url=sys.argv[1])
lines = []
for event in calendar.events():
    vevent = event.vobject_instance.vevent
    lines.append('%s|%s' % (vevent.summary.value, vevent.status.value))
print('\n'.join(sorted(lines)))
)";

class RadicaleTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }

    void SetUp() override {
        ClubFixture::SetUp();
        // The club's name makes the events' UIDs, as in the club tool.
        auto loaded = LoadConfiguration(module->databases);
        ASSERT_TRUE(loaded);
        module->config = loaded->settings;
        QTcpServer probe; // a port nobody uses
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
        probe.close();
        startServer();
        QFile ini(path(u"publish.ini"_s));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(
            u"# the test's Radicale\nurl = %1\nuser = %2\ntimeout = 5\n"_s.arg(url, User).toUtf8());
    }
    void TearDown() override {
        QProcess::execute(u"" RADICALE_SERVER ""_s, {u"stop"_s, serverDir.path()});
        ClubFixture::TearDown();
    }
    void startServer() {
        QProcess start;
        start.start(u"" RADICALE_SERVER ""_s,
                    {u"start"_s, serverDir.path(), QString::number(port)});
        ASSERT_TRUE(start.waitForFinished(30000));
        ASSERT_EQ(start.exitCode(), 0) << start.readAllStandardError().constData();
        url = QString::fromUtf8(start.readAllStandardOutput()).trimmed();
    }

    // moravel-club publish on the club, started.
    std::unique_ptr<QProcess> startPublish(const QString &password = Password) {
        auto tool = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(PublishSettings::PasswordVariable), password);
        tool->setProcessEnvironment(environment);
        tool->start(u"" MORAVEL_CLUB ""_s, QStringList{u"publish"_s, club});
        return tool;
    }
    // Its exit status and what it wrote.
    static std::pair<int, QString> finished(QProcess &tool) {
        EXPECT_TRUE(tool.waitForFinished(120000));
        return {tool.exitCode(),
                QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError())};
    }
    std::pair<int, QString> publishCommand(const QString &password = Password) {
        return finished(*startPublish(password));
    }
    // The calendar's resources as Radicale stores them: name and content.
    QMap<QString, QByteArray> stored() const {
        QMap<QString, QByteArray> files;
        QDirIterator it(serverDir.filePath(u"storage/collection-root/clubcal/events"_s),
                        {u"*.ics"_s}, QDir::Files);
        while (it.hasNext()) {
            QFile file(it.next());
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            files.insert(it.fileName(), file.readAll());
        }
        return files;
    }
    // The names whose content differs between two readings.
    static QStringList changed(const QMap<QString, QByteArray> &before,
                               const QMap<QString, QByteArray> &after) {
        QStringList names;
        for (const auto &[name, content] : after.asKeyValueRange())
            if (before.value(name) != content)
                names << name;
        for (const QString &name : before.keys())
            if (!after.contains(name))
                names << name;
        return names;
    }
    QString resource(int event) const {
        return CalendarPublisher::resourceName(CalendarExport::uid(event, module->config.compname));
    }
    // An event changed as the event window changes it, through its save.
    void saveChanged(int number, EventField field, const QString &value) {
        EventRecord record(*module);
        ASSERT_TRUE(record.LoadEvent(number));
        module->event.fields[field] = value;
        ASSERT_EQ(record.SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done)
            << qPrintable(prompts.lastMessage().text);
    }

    QTemporaryDir serverDir;
    quint16 port = 0;
    QString url;
};

} // namespace

TEST_F(RadicaleTest, TheDemoSeasonIsPublishedAndThenOnlyWhatChanged) {
    signIn(99);
    const auto [status, output] = publishCommand();
    ASSERT_EQ(status, 0) << qPrintable(output);
    const auto first = stored();
    EXPECT_TRUE(
        output.contains(u": %1 added, 0 changed, 0 removed, 0 unchanged."_s.arg(first.size())))
        << qPrintable(output);
    EXPECT_GE(first.size(), 30);
    // Every resource is one booked event, named by its UID.
    for (const auto &[name, content] : first.asKeyValueRange()) {
        const int number = name.section(u'-', 1).section(u'@', 0, 0).toInt();
        EXPECT_EQ(resource(number), name);
        const int eventStatus = scalar(u"evnt"_s,
                                       u"select status from eventinfo where eventnum "
                                       "= ?"_s,
                                       {number})
                                    .toInt();
        EXPECT_TRUE((eventStatus >= 2 && eventStatus <= 5) || eventStatus == 9) << number;
        EXPECT_FALSE(content.contains("Contact:")) << "member data stays off staff calendars";
    }

    // Moved, cancelled and deleted: exactly those three resources change.
    const int lunch = eventNumber(u"Rotary Club Weekly Lunch"_s);
    const int dinner = eventNumber(u"Patel Engagement Dinner"_s);
    const int preview = eventNumber(u"Lindqvist Midsummer Preview Dinner"_s);
    saveChanged(lunch, EventField::End, u"14:00"_s);
    saveChanged(dinner, EventField::Status, u"9"_s);
    exec(u"evnt"_s, u"delete from eventinfo where eventnum = ?"_s, {preview});
    // Two workstations publish at once: between them each change is sent
    // once, and neither takes the other's write for someone else's.
    const auto one = startPublish(), other = startPublish();
    const auto [oneStatus, oneOutput] = finished(*one);
    const auto [otherStatus, otherOutput] = finished(*other);
    EXPECT_EQ(oneStatus, 0) << qPrintable(oneOutput);
    EXPECT_EQ(otherStatus, 0) << qPrintable(otherOutput);
    const auto second = stored();
    QStringList expected{resource(lunch), resource(dinner), resource(preview)};
    QStringList names = changed(first, second);
    expected.sort();
    names.sort();
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(second.value(resource(dinner)).contains("STATUS:CANCELLED"));

    // Another program's CalDAV client reads the calendar back.
    QProcess python;
    python.start(u"/usr/bin/python3"_s,
                 {u"-c"_s, QString::fromLatin1(Reader), url, User, Password});
    ASSERT_TRUE(python.waitForFinished(60000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().constData();
    const QStringList events =
        QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(events.size(), second.size());
    EXPECT_TRUE(events.contains(u"Patel Engagement Dinner|CANCELLED"_s));
    EXPECT_FALSE(events.contains(u"Lindqvist Midsummer Preview Dinner|TENTATIVE"_s));
}

// A wrong password and a stopped server are told, and leave a state that
// claims nothing the server did not take; the next run completes.
TEST_F(RadicaleTest, AWrongPasswordAndAStoppedServerAreToldAndTheNextRunCompletes) {
    auto [status, output] = publishCommand(u"wrong"_s);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(output.contains(u"refused the user and password (401"_s)) << qPrintable(output);
    EXPECT_TRUE(stored().isEmpty());

    // Stopped in the middle of a first publish: the server is stopped after
    // ten events are written.
    qputenv(PublishSettings::PasswordVariable, Password.toUtf8());
    auto settings = PublishSettings::load(club);
    qunsetenv(PublishSettings::PasswordVariable);
    ASSERT_TRUE(settings) << qPrintable(settings.error().description);
    auto job = Publishing::prepare(*module, *settings);
    ASSERT_TRUE(job);
    const auto report = Publishing::send(*job, false, [&](int done, int) {
        if (done == 10)
            QProcess::execute(u"" RADICALE_SERVER ""_s, {u"stop"_s, serverDir.path()});
    });
    EXPECT_TRUE(report.stopped.contains(u"could not be reached"_s) ||
                report.stopped.contains(u"did not answer"_s))
        << qPrintable(report.stopped);
    const qsizetype kept = stored().size();
    EXPECT_GE(kept, 10);

    startServer();
    std::tie(status, output) = publishCommand();
    EXPECT_EQ(status, 0) << qPrintable(output);
    EXPECT_EQ(stored().size(), job->items.size());
    EXPECT_TRUE(output.contains(u"%1 added"_s.arg(job->items.size() - kept)) ||
                output.contains(u"%1 added"_s.arg(job->items.size() - kept + 1)))
        << "the rest is sent, at most the one in flight again: " << qPrintable(output);
}
