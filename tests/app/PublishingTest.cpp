#include "EditingFixture.h"
#include "SharedCalendarServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace {

constexpr int Ballroom = 1;
constexpr int Library = 3;
const QString Url = u"https://cal.example.org/club/"_s;

// The main window publishing the event club to a fake calendar server:
// File > Publish Calendar, and each save when publish.ini asks for it.
class PublishingTest : public EditingFixture {
protected:
    void SetUp() override {
        EditingFixture::SetUp();
        logic->publishRunner.makeServer = SharedCalendarServer::maker(server);
    }

    void writeSettings(const QString &text) {
        QFile file(path(u"publish.ini"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }
    // The events sent run to their end, the window's thread served meanwhile.
    bool settled() {
        QElapsedTimer timer;
        timer.start();
        while ((logic->publishRunner.busy() || logic->publishWindow.running) &&
               timer.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::processEvents();
        return !logic->publishRunner.busy();
    }
    int save(const QString &date, const QString &title, int room) {
        enterBooking(date, title, room);
        const int number = box(EventField::Number).toInt();
        click(EventCommand::Save);
        return number;
    }
    static QString resource(int number) { return u"event-%1@"_s.arg(number); }
    // The event's resource on the server; empty when there is none.
    QString fileOf(int number) {
        for (const QString &name : server.resources.keys()) {
            if (name.startsWith(resource(number)))
                return name;
        }
        return QString();
    }
    QStringList requestsFor(int number) { return server.requests.filter(resource(number)); }

    PublishWindow &publish() { return logic->publishWindow; }
    FakeCalendarServer server;
};

TEST_F(PublishingTest, PublishCalendarIsForTheAdministratorAndNeedsTheClubsSettings) {
    struct Case {
        const char *what;
        int level;
        const char *settings; // nullptr: no publish.ini
        const char *told;     // the start of what the operator is told
    };
    const Case cases[] = {
        {"below the administrator's level", 50, "url = https://cal.example.org/club/\n",
         "Publishing the calendar requires the administrator's access level."},
        {"no publish.ini", 99, nullptr, "The club has no "},
        {"an address that is no calendar's", 99, "url = ftp://cal.example.org/\n",
         "is not an http or https address"},
        {"a setting it does not know", 99, "url = https://cal.example.org/club/\ncolour = red\n",
         "\"colour\" is not a publishing setting"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        setLevel(c.level);
        QFile::remove(path(u"publish.ini"_s));
        if (c.settings)
            writeSettings(QString::fromLatin1(c.settings));
        prompts.clear();
        EXPECT_FALSE(publish().open());
        EXPECT_FALSE(publish().running);
        ASSERT_EQ(prompts.messageTexts().size(), 1);
        EXPECT_TRUE(prompts.messageTexts().constFirst().contains(QString::fromLatin1(c.told)))
            << prompts.messageTexts().constFirst().toStdString();
    }
    EXPECT_TRUE(server.requests.isEmpty());
}

TEST_F(PublishingTest, APublishShowsHowFarItIsWhatItDidAndWhyItStopped) {
    writeSettings(u"url = %1\n"_s.arg(Url));
    const int dinner = booked(u"20270305"_s, u"Board Dinner"_s, u"18:00"_s, u"21:00"_s, Library);
    const int gala = booked(u"20270410"_s, u"Spring Gala"_s, u"19:00"_s, u"23:00"_s, Ballroom);
    booked(u"20270412"_s, u"Book Club"_s, u"12:00"_s, u"13:00"_s, Library);
    QList<std::pair<int, int>> shown;
    QObject::connect(&publish(), &PublishWindow::changed, [&] {
        if (publish().running && publish().total > 0)
            shown.append({publish().done, publish().total});
    });

    // The whole club, the window told how far it is until the end.
    ASSERT_TRUE(publish().open());
    EXPECT_EQ(publish().where, Url);
    EXPECT_TRUE(publish().running);
    ASSERT_TRUE(settled());
    EXPECT_EQ(publish().heading, u"3 added, 0 changed, 0 removed, 0 unchanged."_s);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.constLast().first, shown.constLast().second) << "the bar reaches its end";
    EXPECT_TRUE(std::ranges::is_sorted(shown, {}, &std::pair<int, int>::first));
    EXPECT_EQ(server.resources.size(), 3);

    // Someone changed the dinner on the server; the club changed it too.
    const QString dinnerFile = fileOf(dinner);
    ASSERT_FALSE(dinnerFile.isEmpty());
    server.change(dinnerFile, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    exec(u"evnt"_s,
         u"update eventinfo set eventtitle = 'Board Dinner and Toasts' where eventnum = ?"_s,
         {dinner});
    ASSERT_TRUE(publish().open());
    ASSERT_TRUE(settled());
    ASSERT_EQ(publish().problems.size(), 1);
    EXPECT_TRUE(publish().problems.constFirst().endsWith(
        u"by someone else since it was published; it was left as they made it."_s))
        << publish().problems.constFirst().toStdString();
    EXPECT_TRUE(publish().overwriteOffered);
    prompts.answerYesNo(false);
    publish().overwrite();
    EXPECT_FALSE(publish().running) << "nothing overwritten unless the operator agrees";
    prompts.answerYesNo(true);
    publish().overwrite();
    ASSERT_TRUE(settled());
    EXPECT_EQ(publish().heading, u"0 added, 1 changed, 0 removed, 2 unchanged."_s);
    EXPECT_TRUE(server.resources[dinnerFile].content.contains("Board Dinner and Toasts"));
    EXPECT_FALSE(publish().overwriteOffered);

    // A server that does not answer stops the run, and says so.
    server.fault = [](const QString &, const QString &) {
        return std::optional(FakeCalendarServer::reply(0, u"Connection refused"_s));
    };
    exec(u"evnt"_s, u"delete from eventinfo where eventnum = ?"_s, {gala});
    ASSERT_TRUE(publish().open());
    ASSERT_TRUE(settled());
    EXPECT_TRUE(publish().heading.contains(u"Connection refused"_s))
        << publish().heading.toStdString();
    EXPECT_FALSE(publish().heading.contains(u"publish again to send the rest"_s))
        << "nothing was sent, so there is no rest";
    EXPECT_FALSE(fileOf(gala).isEmpty()) << "nothing removed while the server is down";

    // Cancel stops between resources: the one being sent is kept, no other.
    server.requests.clear();
    std::atomic_bool first{false}, released{false};
    server.fault = [&](const QString &verb, const QString &) -> std::optional<ServerReply> {
        if (verb == u"DELETE"_s || verb == u"PUT"_s) {
            first = true;
            while (!released)
                QThread::msleep(5);
        }
        return std::nullopt;
    };
    for (const QString &date : {u"20270501"_s, u"20270502"_s})
        booked(date, u"May Lunch"_s, u"12:00"_s, u"13:00"_s, Library);
    ASSERT_TRUE(publish().open());
    QElapsedTimer waited;
    waited.start();
    while (!first && waited.elapsed() < 10000)
        QThread::msleep(5);
    publish().cancel();
    released = true;
    ASSERT_TRUE(settled());
    EXPECT_EQ(server.requests.filter(QRegularExpression(u"^(PUT|DELETE) "_s)).size(), 1)
        << server.requests.join(u", "_s).toStdString();
    EXPECT_TRUE(publish().heading.startsWith(u"Publishing was stopped before its end."_s))
        << publish().heading.toStdString();

    // Closing the program while a publish runs stops it and waits for it.
    server.fault = [](const QString &, const QString &) -> std::optional<ServerReply> {
        QThread::msleep(50);
        return std::nullopt;
    };
    ASSERT_TRUE(publish().open());
    logic->QueryUnloadMainWindow();
    EXPECT_FALSE(logic->publishRunner.busy());
}

TEST_F(PublishingTest, ASavedEventIsSentAloneAndOneThatFailedGoesAgainWithTheNext) {
    writeSettings(u"url = %1\nonsave = no\n"_s.arg(Url));
    booked(u"20270305"_s, u"Board Dinner"_s, u"18:00"_s, u"21:00"_s, Library);
    const int quiet = save(u"20270306"_s, u"Quiet Supper"_s, Library);
    ASSERT_TRUE(settled());
    EXPECT_TRUE(server.requests.isEmpty()) << "onsave off sends nothing";
    EXPECT_TRUE(publish().open());
    ASSERT_TRUE(settled());
    server.requests.clear();

    writeSettings(u"url = %1\nonsave = yes\n"_s.arg(Url));
    const int gala = save(u"20270410"_s, u"Spring Gala"_s, Ballroom);
    ASSERT_TRUE(settled());
    EXPECT_EQ(logic->window.helpwindow, u"Event #%1 published to the staff calendar."_s.arg(gala));
    EXPECT_EQ(server.requests.filter(u"PUT "_s), requestsFor(gala).filter(u"PUT "_s));
    EXPECT_EQ(requestsFor(gala).filter(u"PUT "_s).size(), 1);
    EXPECT_TRUE(requestsFor(quiet).isEmpty()) << "only the saved event is sent";

    // The server down: the save is told, and the event goes with the next.
    server.fault = [](const QString &, const QString &) {
        return std::optional(FakeCalendarServer::reply(0, u"Connection refused"_s));
    };
    const int lunch = save(u"20270411"_s, u"Rotary Lunch"_s, Library);
    ASSERT_TRUE(settled());
    EXPECT_TRUE(
        logic->window.helpwindow.startsWith(u"Event #%1 could not be published: "_s.arg(lunch)));
    EXPECT_TRUE(logic->window.helpwindow.endsWith(u". It is sent again at the next publish."_s))
        << logic->window.helpwindow.toStdString();
    EXPECT_EQ(logic->publishOnSave.pending(), QSet<int>{lunch});
    server.fault = nullptr;
    server.requests.clear();
    const int tea = save(u"20270412"_s, u"Garden Tea"_s, Library);
    ASSERT_TRUE(settled());
    EXPECT_EQ(logic->window.helpwindow, u"Event #%1 published to the staff calendar. Event #%2 "
                                        "published to the staff calendar."_s.arg(lunch)
                                            .arg(tea));
    EXPECT_EQ(requestsFor(lunch).filter(u"PUT "_s).size(), 1);
    EXPECT_EQ(requestsFor(tea).filter(u"PUT "_s).size(), 1);
    EXPECT_TRUE(logic->publishOnSave.pending().isEmpty());

    // Deleted from the window, it leaves the calendar.
    ASSERT_TRUE(logic->ShowEvent(tea));
    prompts.answerYesNo(true); // Delete this contact now?
    logic->wholeEvent.deleteContact();
    ASSERT_TRUE(settled());
    EXPECT_EQ(logic->window.helpwindow, u"Event #%1 removed from the staff calendar."_s.arg(tea));
    EXPECT_TRUE(fileOf(tea).isEmpty());
}

} // namespace
