#include "publishing/CalendarPublisher.h"

#include "FakeCalendarServer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Item = CalendarPublisher::Item;

// An event as the export makes it; `extra` stands for what else changed.
Item item(int number, int sequence = 0, const QString &extra = QString()) {
    const QString uid = u"event-%1@club.moravel"_s.arg(number);
    QStringList lines{u"BEGIN:VEVENT"_s, u"UID:"_s + uid, u"DTSTAMP:20261206T093000Z"_s,
                      u"SUMMARY:Event %1"_s.arg(number), u"SEQUENCE:%1"_s.arg(sequence)};
    if (!extra.isEmpty())
        lines << extra;
    lines << u"END:VEVENT"_s;
    CalendarExport::Entry entry{number, uid, u"Event %1"_s.arg(number), sequence, lines};
    return CalendarPublisher::items({{entry}, u"UTC"_s, u"Club"_s}).constFirst();
}

QString name(int number) {
    return CalendarPublisher::resourceName(u"event-%1@club.moravel"_s.arg(number));
}

class CalendarPublisherTest : public ::testing::Test {
protected:
    CalendarPublisher::Report publish(const QList<Item> &items, bool force = false,
                                      const std::optional<QSet<QString>> &only = {}) {
        PublishState state(statePath(), server.collection().toString());
        server.requests.clear();
        return CalendarPublisher(server, state, u"@club.moravel"_s).publish(items, only, force);
    }
    QString statePath() const { return dir.filePath(u"publish.state"_s); }
    // What the state file says the server holds, read afresh.
    QHash<QString, PublishState::Entry> noted() const {
        PublishState state(statePath(), server.collection().toString());
        EXPECT_EQ(state.refresh(), QString());
        return state.entries();
    }
    // The state never claims what the server does not hold.
    void expectStateTrue() const {
        for (const auto &[uid, entry] : noted().asKeyValueRange()) {
            const auto held = server.resources.constFind(CalendarPublisher::resourceName(uid));
            ASSERT_NE(held, server.resources.constEnd()) << qPrintable(uid);
            EXPECT_EQ(held->etag, entry.etag) << qPrintable(uid);
        }
    }

    QTemporaryDir dir;
    FakeCalendarServer server;
};

} // namespace

TEST_F(CalendarPublisherTest, OnlyWhatChangedIsSentAndWhatLeftIsRemoved) {
    auto report = publish({item(1), item(2), item(3)});
    EXPECT_EQ(report.counts(), u"3 added, 0 changed, 0 removed, 0 unchanged."_s);
    EXPECT_TRUE(report.complete());
    EXPECT_EQ(server.resources.size(), 3);

    report = publish({item(1), item(2), item(3)});
    EXPECT_EQ(server.requests, (QStringList{u"PROPFIND"_s, u"LIST"_s}))
        << "nothing changed, nothing sent";
    EXPECT_EQ(report.unchanged, 3);

    // Event 2 moved (its change count rose), event 3 left the range.
    report = publish({item(1), item(2, 1, u"LOCATION:Library"_s)});
    EXPECT_EQ(server.requests,
              (QStringList{u"PROPFIND"_s, u"LIST"_s, u"PUT "_s + name(2), u"DELETE "_s + name(3)}));
    EXPECT_EQ(report.counts(), u"0 added, 1 changed, 1 removed, 1 unchanged."_s);
    EXPECT_TRUE(server.resources[name(2)].content.contains("LOCATION:Library"));
    EXPECT_FALSE(server.resources.contains(name(3)));
    expectStateTrue();

    // One event's publish answers for that event only.
    report = publish({}, false, QSet<QString>{u"event-2@club.moravel"_s});
    EXPECT_EQ(server.requests, (QStringList{u"PROPFIND"_s, u"DELETE "_s + name(2)}));
    EXPECT_TRUE(server.resources.contains(name(1))) << "not among those answered for";
}

// Each failure is told in words, the run stops where the whole server is
// concerned, the state keeps only what the server accepted, and the next
// run sends the rest.
TEST_F(CalendarPublisherTest, FailuresAreToldAndALaterRunCompletesTheWork) {
    struct Case {
        const char *verb;
        int at; // the request of that verb that fails (1: the first)
        ServerReply reply;
        const char *told;
        bool stops;
        bool notCalendar = false;
    };
    const auto noAnswer = [](const QString &why) {
        return FakeCalendarServer::reply(0, why);
    };
    const Case cases[] = {
        {"PROPFIND", 1,
         noAnswer(u"The calendar server at cal could not be reached: Connection "
                  "refused."_s),
         "could not be reached: Connection refused", true},
        {"PROPFIND", 1, FakeCalendarServer::reply(401), "refused the user and password", true},
        {"PROPFIND", 1, FakeCalendarServer::reply(403), "does not let this user write", true},
        {"PROPFIND", 1, FakeCalendarServer::reply(404), "There is no calendar at", true},
        {"PROPFIND", 0, {}, "is not a calendar on the server", true, true},
        {"PUT", 2, FakeCalendarServer::reply(507), "storage is full", true},
        {"PUT", 2, noAnswer(u"The calendar server at cal did not answer within 30 seconds."_s),
         "did not answer within 30 seconds", true},
        {"PUT", 2, FakeCalendarServer::reply(502), "The calendar server failed (502)", true},
        {"PUT", 2, FakeCalendarServer::reply(404), "There is no calendar at", true},
        {"PUT", 2, FakeCalendarServer::reply(415), "Event #2 \"Event 2\" was refused", false},
        {"PUT", 2, FakeCalendarServer::reply(409),
         "another entry on the server already holds its UID", false},
        {"LIST", 1, FakeCalendarServer::reply(401), "refused the user and password", true},
    };
    const QList<Item> items{item(1), item(2), item(3)};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.told);
        server = FakeCalendarServer();
        QFile::remove(statePath());
        server.calendar = !c.notCalendar;
        int seen = 0;
        server.fault = [&](const QString &verb, const QString &) -> std::optional<ServerReply> {
            if (verb == QLatin1String(c.verb) && ++seen == c.at)
                return c.reply;
            return std::nullopt;
        };
        auto report = publish(items);
        const QString told = c.stops ? report.stopped : report.problems.join(u"\n"_s);
        EXPECT_TRUE(told.contains(QLatin1String(c.told))) << qPrintable(told);
        EXPECT_FALSE(report.complete());
        EXPECT_EQ(report.overridable, 0) << "forcing settles none of these";
        expectStateTrue();
        EXPECT_EQ(noted().size(), server.resources.size());

        server.fault = nullptr;
        server.calendar = true;
        const qsizetype before = server.resources.size();
        report = publish(items);
        EXPECT_TRUE(report.complete()) << qPrintable(report.stopped);
        EXPECT_EQ(report.added, 3 - before) << "only the rest is sent";
        EXPECT_EQ(server.resources.size(), 3);
        expectStateTrue();
    }
}

TEST_F(CalendarPublisherTest, ChangesMadeOnTheServerAreReportedAndOverwrittenOnlyWhenForced) {
    publish({item(1), item(2), item(3)});
    server.change(name(1), "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Edited by hand\r\n"
                           "END:VEVENT\r\nEND:VCALENDAR\r\n");
    server.resources.remove(name(2));
    server.change(name(3), "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Also edited\r\n"
                           "END:VEVENT\r\nEND:VCALENDAR\r\n");
    const QList<Item> changed{item(1, 1), item(2, 1)}; // and event 3 deleted

    auto report = publish(changed);
    ASSERT_EQ(report.problems.size(), 3) << qPrintable(report.problems.join(u"\n"_s));
    EXPECT_EQ(report.overridable, 3) << "each is settled by a forced publish";
    EXPECT_TRUE(report.problems[0].startsWith(
        u"Event #1 \"Event 1\" was changed on the server by someone else"_s));
    EXPECT_TRUE(report.problems[1].contains(u"was deleted from the calendar on the server"_s));
    EXPECT_TRUE(report.problems[2].startsWith(u"Event #3 was changed on the server"_s));
    EXPECT_TRUE(server.resources[name(1)].content.contains("Edited by hand"));
    EXPECT_TRUE(server.resources.contains(name(3)));
    EXPECT_FALSE(server.resources.contains(name(2)));

    report = publish(changed, true);
    EXPECT_TRUE(report.complete()) << qPrintable(report.problems.join(u"\n"_s));
    EXPECT_EQ(report.counts(), u"1 added, 1 changed, 1 removed, 0 unchanged."_s)
        << "the deleted one is put back";
    EXPECT_TRUE(server.resources[name(1)].content.contains("SEQUENCE:1"));
    EXPECT_TRUE(server.resources.contains(name(2)));
    EXPECT_FALSE(server.resources.contains(name(3)));
    expectStateTrue();
}

// A lost or copied state file, and a server that gives no ETags: what the
// server holds of the club's is recognised by the fingerprint each resource
// carries, so changes go out, events gone are removed, and only a resource
// someone edited there is reported.
TEST_F(CalendarPublisherTest, AfterTheStateIsLostTheClubsResourcesAreStillItsOwn) {
    for (const bool tags : {true, false}) {
        SCOPED_TRACE(tags ? "with ETags" : "without ETags");
        server = FakeCalendarServer();
        server.giveTags = tags;
        QFile::remove(statePath());
        publish({item(1), item(2), item(3), item(4)});
        server.change(u"someone-elses.ics"_s, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
        server.change(name(4), item(4).content.replace("SUMMARY:Event 4", "SUMMARY:Edited"));
        QFile::remove(statePath());

        // Event 2 changed, event 3 deleted, event 4 edited on the server.
        auto report = publish({item(1), item(2, 1), item(4, 1)});
        EXPECT_EQ(report.counts(), u"0 added, 1 changed, 1 removed, 1 unchanged."_s);
        ASSERT_EQ(report.problems.size(), 1) << qPrintable(report.problems.join(u"\n"_s));
        EXPECT_TRUE(
            report.problems[0].startsWith(u"Event #4 \"Event 4\" was changed on the server"_s));
        EXPECT_FALSE(server.resources.contains(name(3)));
        EXPECT_TRUE(server.resources.contains(u"someone-elses.ics"_s)) << "not the club's";
        EXPECT_TRUE(server.resources[name(2)].content.contains("SEQUENCE:1"));
        expectStateTrue();
    }
}

// A wrong url fails before the journal is touched, so the right one finds
// it as it was.
TEST_F(CalendarPublisherTest, AWrongUrlLeavesTheJournalAlone) {
    publish({item(1), item(2)});
    const auto before = noted();
    server.fault = [](const QString &verb, const QString &) -> std::optional<ServerReply> {
        return verb == u"PROPFIND"_s ? std::optional(FakeCalendarServer::reply(404)) : std::nullopt;
    };
    PublishState elsewhere(statePath(), u"https://cal.example.org/clbu/"_s);
    EXPECT_FALSE(
        CalendarPublisher(server, elsewhere).publish({item(1), item(2)}).stopped.isEmpty());
    EXPECT_EQ(noted().size(), before.size());
}

// Two workstations publishing at once, in both orders: the second to write
// finds the first's resource, keeps the newer of the two, and reports no
// conflict; both read the same state afterwards.
TEST_F(CalendarPublisherTest, TwoPublishersAtOnceKeepTheNewerAndReportNothing) {
    struct Case {
        int mine, theirs; // the change count each publishes
    };
    for (const Case c : {Case{2, 1}, Case{1, 2}, Case{2, 2}}) {
        SCOPED_TRACE(testing::Message() << "mine " << c.mine << ", theirs " << c.theirs);
        server = FakeCalendarServer();
        QFile::remove(statePath());
        publish({item(1), item(2)});
        bool once = true;
        server.fault = [&](const QString &verb, const QString &) -> std::optional<ServerReply> {
            if (verb == u"PUT"_s && std::exchange(once, false)) {
                // The other workstation publishes first, in the middle of ours.
                PublishState theirState(statePath(), server.collection().toString());
                const auto other =
                    CalendarPublisher(server, theirState).publish({item(1, c.theirs), item(2)});
                EXPECT_TRUE(other.complete());
            }
            return std::nullopt;
        };
        PublishState state(statePath(), server.collection().toString());
        const auto report = CalendarPublisher(server, state).publish({item(1, c.mine), item(2)});
        EXPECT_TRUE(report.complete()) << qPrintable(report.problems.join(u"\n"_s));
        const int newer = std::max(c.mine, c.theirs);
        EXPECT_TRUE(
            server.resources[name(1)].content.contains(u"SEQUENCE:%1"_s.arg(newer).toUtf8()));
        EXPECT_EQ(state.find(u"event-1@club.moravel"_s)->etag, server.resources[name(1)].etag);
        expectStateTrue();
    }
}

TEST_F(CalendarPublisherTest, TheStateJournalIsSharedLineByLine) {
    const QString collection = server.collection().toString();
    PublishState first(statePath(), collection), second(statePath(), collection);
    ASSERT_EQ(first.refresh(), QString());
    ASSERT_EQ(second.refresh(), QString());
    EXPECT_EQ(first.record(u"a"_s, {"\"1\"", "f1"}), QString());
    EXPECT_EQ(second.record(u"b"_s, {"\"2\"", "f2"}), QString()) << "reads a's line first";
    EXPECT_EQ(second.entries().size(), 2);
    EXPECT_EQ(first.forget(u"b"_s), QString());

    // A line cut short by a crash claims nothing, and the next line is whole.
    QFile file(statePath());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("c\t\"3\"");
    file.close();
    ASSERT_EQ(second.refresh(), QString());
    EXPECT_EQ(second.entries().keys(), QStringList{u"a"_s});
    EXPECT_EQ(second.record(u"d"_s, {"\"4\"", "f4"}), QString());
    ASSERT_EQ(first.refresh(), QString());
    EXPECT_EQ(first.find(u"d"_s)->etag, "\"4\"");
    EXPECT_EQ(first.find(u"c"_s), nullptr);

    // Compacted by one, read afresh by the other.
    EXPECT_EQ(second.compact(), QString());
    EXPECT_EQ(first.record(u"e"_s, {"\"5\"", "f5"}), QString());
    ASSERT_EQ(second.refresh(), QString());
    QStringList keys = second.entries().keys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{u"a"_s, u"d"_s, u"e"_s}));

    // The club moved its calendar: the old notes say nothing of the new one.
    PublishState moved(statePath(), u"https://elsewhere.example.org/cal/"_s);
    ASSERT_EQ(moved.refresh(), QString());
    EXPECT_TRUE(moved.entries().isEmpty());
    // An ETag that would break the journal's lines is not kept.
    EXPECT_FALSE(moved.record(u"f"_s, {"\"6\"\n", "f6"}).isEmpty());
}
