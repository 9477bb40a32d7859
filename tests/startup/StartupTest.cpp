#include "ClubFixture.h"
#include "HeldLock.h"
#include "app/MainWindowLogic.h"
#include "session/SingleInstance.h"
#include "startup/SavedNotice.h"
#include "storage/ClubStorage.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

class StartupTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        instance = std::make_unique<SingleInstance>(club, u"test-account"_s);
        logic = std::make_unique<MainWindowLogic>(*module);
    }
    void TearDown() override {
        logic.reset();
        instance.reset();
        ClubFixture::TearDown();
    }
    // A fresh start on the same club, as the next launch would make it.
    void restart() {
        logic = std::make_unique<MainWindowLogic>(*module);
        instance->release();
        prompts.clear();
    }
    // The club opened afresh with these settings, as the next launch opens it.
    void reopenClub(const StorageSettings &storage) {
        logic.reset();
        instance.reset();
        reopen(storage);
        instance = std::make_unique<SingleInstance>(club, u"test-account"_s);
        restart();
    }
    MainWindowLogic::Outcome start(const QString &commandLine) {
        return logic->StartMainWindow(commandLine, *instance);
    }
    // Every message shown, as "title: text".
    QStringList shown() const {
        QStringList all;
        for (const auto &message : prompts.messages)
            all << message.title + u": "_s + message.text;
        return all;
    }
    void setThresholds(int access0, int access1) {
        exec(u"config"_s, u"update evmgr set evaccess0 = ?, evaccess1 = ?"_s, {access0, access1});
    }
    void addRoom(int number, const QString &name, int capacity, const QVariant &subdiv) {
        exec(u"evnt"_s,
             u"insert into location (roomnum, room, capacity, subdiv) values (?, ?, ?, ?)"_s,
             {number, name, capacity, subdiv});
    }

    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<MainWindowLogic> logic;
};

TEST_F(StartupTest, RefusesToRunWithoutTheSuitesCommandLine) {
    // An empty command line is refused before the settings are read: with
    // config.mdb gone the only message is the refusal.
    removeDatabase(u"config"_s);
    prompts.expectError();
    EXPECT_EQ(start(QString()), MainWindowLogic::Outcome::NotLaunchedBySuite);
    EXPECT_EQ(shown(), QStringList{u"Brevant: This module cannot be run by itself.\nClick OK to "
                                   "exit..."_s});
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Critical);
    EXPECT_FALSE(logic->started);
}

// Each start-up below is the next launch after the one before was refused.
TEST_F(StartupTest, ALowLevelASecondInstanceOrMissingSettingsOrEventsStopStartUp) {
    setThresholds(10, 20);
    EXPECT_EQ(start(u"ZQJ09DEMO"_s), MainWindowLogic::Outcome::AccessDenied);
    EXPECT_EQ(shown(),
              QStringList{u"Brevant: Access denied. See system administrator.\nClick OK to "
                          "exit..."_s});
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Information);
    restart();
    EXPECT_EQ(start(u"ZQJxxDEMO"_s), MainWindowLogic::Outcome::AccessDenied)
        << "a level that is no number counts as 0";

    restart();
    SingleInstance first(club, u"test-account"_s);
    ASSERT_TRUE(first.acquire());
    prompts.expectError();
    EXPECT_EQ(start(u"ZQJ99DEMO"_s), MainWindowLogic::Outcome::AlreadyRunning);
    EXPECT_EQ(shown(), QStringList{u"Uh-oh...: The module is already running."_s});
    // Another club directory is another instance.
    SingleInstance elsewhere(club + u"-other"_s, u"test-account"_s);
    EXPECT_TRUE(elsewhere.acquire());
    first.release();

    exec(u"config"_s, u"update evmgr set evaccess1 = null"_s);
    restart();
    prompts.expectError();
    EXPECT_EQ(start(u"ZQJ99DEMO"_s), MainWindowLogic::Outcome::SettingsMissing);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().title, u"Brevant"_s);
    EXPECT_TRUE(prompts.lastMessage().text.contains(u"evaccess1"_s));

    setThresholds(10, 20);
    removeDatabase(u"evnt"_s);
    restart();
    prompts.expectError();
    EXPECT_EQ(start(u"ZQJ99DEMO"_s), MainWindowLogic::Outcome::DatabaseFailure);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"The EVNT.MDB database is missing."_s));
}

TEST_F(StartupTest, AServerThatCannotBeReachedOrLacksASchemaIsNamed) {
    if (!onPostgres())
        GTEST_SKIP() << "a club on a PostgreSQL server";
    // The settings schema is gone.
    removeDatabase(u"config"_s);
    prompts.expectError();
    EXPECT_EQ(start(u"ZQJ99DEMO"_s), MainWindowLogic::Outcome::SettingsMissing);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        u"The configuration database CONFIG.MDB is missing from\n"_s +
        ClubStorage::describe(*server) + QLatin1Char('\n')))
        << prompts.lastMessage().text.toStdString();

    // The server does not answer where the club says it is.
    StorageSettings elsewhere = *server;
    elsewhere.port = 1;
    ASSERT_TRUE(ClubStorage::writeServer(club, elsewhere).ok());
    reopenClub(settings());
    prompts.expectError();
    EXPECT_EQ(start(u"ZQJ99DEMO"_s), MainWindowLogic::Outcome::SettingsMissing);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        u"The club's "_s + ClubStorage::describe(elsewhere) + u" cannot be opened: "_s))
        << prompts.lastMessage().text.toStdString();
    ASSERT_TRUE(ClubStorage::writeServer(club, *server).ok());
}

TEST_F(StartupTest, CommandsFollowTheOperatorsLevel) {
    setThresholds(10, 20);
    // Reverify and Purge Calendar need the top level, Modify and Save the
    // editing level.
    const struct {
        const char *commandLine;
        bool administers, edits;
    } levels[] = {{"ZQJ99DEMO", true, true},
                  {"ZQJ98DEMO", false, true},
                  {"ZQJ20DEMO", false, true},
                  {"ZQJ19DEMO", false, false}};
    for (const auto &level : levels) {
        SCOPED_TRACE(level.commandLine);
        restart();
        ASSERT_EQ(start(QString::fromLatin1(level.commandLine)), MainWindowLogic::Outcome::Started);
        EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join(u'|').toStdString();
        EXPECT_EQ(logic->caption, u"DEMO @ Moravel"_s);
        EXPECT_EQ(logic->reverifyMenuVisible, level.administers);
        EXPECT_EQ(logic->purgeCalendarMenuVisible, level.administers);
        EXPECT_EQ(logic->window.commandVisible[EventCommand::Modify], level.edits);
        EXPECT_EQ(logic->window.commandVisible[EventCommand::Save], level.edits);
        EXPECT_TRUE(logic->window.commandVisible[EventCommand::NewEvent]);
        EXPECT_FALSE(logic->window.commandEnabled[EventCommand::Modify]) << "nothing to modify yet";
    }
    EXPECT_EQ(logic->window.commandCaption[EventCommand::Save], u"&Save"_s);
}

TEST_F(StartupTest, StartFillsTheFieldsAndListsAndARoomWithoutSubdivisionStoresZero) {
    exec(u"evnt"_s, u"update fielddesc set description = ? where tablename = ? and fieldname = ?"_s,
         {u"Which night is the party?"_s, u"eventinfo"_s, u"eventdate"_s});
    exec(u"config"_s, u"update evmgr set status4 = ?"_s, {u"Confirmed"_s});
    addRoom(2, u"Terrace"_s, 80, 0);
    addRoom(1, u"Grand Ballroom"_s, 240, QVariant());
    ASSERT_EQ(start(u"ZQJ99DEMO"_s), MainWindowLogic::Outcome::Started);
    // Tooltips, lengths and merge tokens come from the event table.
    EXPECT_EQ(logic->window.fieldHelp[EventField::Date], u"Which night is the party?"_s);
    for (EventField field : AllEventFields)
        EXPECT_FALSE(logic->window.fieldHelp[field].isEmpty()) << columnOf(field);
    EXPECT_EQ(logic->EventFieldTokens[columnOf(EventField::Date)], u"<EVENTDATE>"_s);
    EXPECT_EQ(logic->EventFieldTokens[columnOf(EventField::InternalNotes)], u"<INTERNALNOTES>"_s);
    EXPECT_EQ(logic->fieldMaxLength[EventField::Title], 50);
    EXPECT_EQ(logic->fieldMaxLength[EventField::Start], 5);
    EXPECT_EQ(logic->fieldMaxLength[EventField::Date], 0);  // numeric
    EXPECT_EQ(logic->fieldMaxLength[EventField::Notes], 0); // memo

    EXPECT_EQ(logic->roomList,
              (QStringList{u"1 - Grand Ballroom  -  cap:240"_s, u"2 - Terrace  -  cap:80"_s}));
    EXPECT_EQ(logic->calendar.roomFilter.entries,
              (QStringList{u"Show All Rooms"_s, u"1 - Grand Ballroom  -  cap:240 only"_s,
                           u"2 - Terrace  -  cap:80 only"_s}));
    EXPECT_EQ(logic->calendar.roomFilter.text, u"Show All Rooms"_s);
    EXPECT_EQ(scalar(u"evnt"_s, u"select subdiv from location where roomnum = 1"_s), QVariant(0));
    EXPECT_EQ(logic->calendar.timeFilter.entries.size(), 4);
    EXPECT_EQ(logic->calendar.timeFilter.text, u"Show All Times"_s);
    EXPECT_EQ(logic->window.statusList.entries,
              (QStringList{u"1-Contact Only"_s, u"2-Reserved"_s, u"3-Reserved w/Dep $"_s,
                           u"4-Confirmed"_s, u"5-Done/Billed"_s, u"9-Cancelled"_s}));
    EXPECT_EQ(logic->window.statusList.text, u"(Click to set)"_s);
    EXPECT_TRUE(logic->calendar.calendarVisible());
    EXPECT_FALSE(logic->calendar.gridVisible());
}

TEST_F(StartupTest, ClosingSetsTheOperatorsLocationBackUnlessItIsLockedOrTheStaffDatabaseIsGone) {
    exec(u"user"_s, u"update staff set location = 'Events'"_s);
    auto held = std::make_unique<HeldLock>(settings(), u"user"_s, u"staff"_s);
    ASSERT_TRUE(held->held());
    EXPECT_EQ(start(u"ZQJ99DEMO"_s), MainWindowLogic::Outcome::Started);
    EXPECT_EQ(module->session.SysUser, 1)
        << "reading is not blocked by another workstation's write";
    logic->QueryUnloadMainWindow();
    EXPECT_TRUE(prompts.messages.isEmpty());
    QFile log(path(u"admlog.ini"_s));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Location not set back to Startup: Code 3186"));
    held.reset();
    const QString location = u"select location from staff where username = 'DEMO'"_s;
    EXPECT_EQ(scalar(u"user"_s, location).toString(), u"Events"_s)
        << "the write gave up cleanly; the next start-up or close sets it";

    restart();
    clipboard.content = u"left over"_s;
    ASSERT_EQ(start(u"ZQJ99demo"_s), MainWindowLogic::Outcome::Started);
    EXPECT_EQ(clipboard.content, QString()) << "start-up clears the clipboard";
    logic->QueryUnloadMainWindow();
    EXPECT_EQ(scalar(u"user"_s, location).toString(), u"Startup"_s);
    EXPECT_FALSE(logic->started);

    // Without the staff database the operator still gets in, told once.
    removeDatabase(u"user"_s);
    restart();
    prompts.expectError();
    EXPECT_EQ(start(u"ZQJ99DEMO"_s), MainWindowLogic::Outcome::Started);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"The USER.MDB database is missing."_s));
    logic->QueryUnloadMainWindow(); // nothing to write back, nothing shown
    EXPECT_EQ(prompts.messages.size(), 1);
}

TEST_F(StartupTest, AReadOnlyClubOpensForViewingAndSaysSo) {
    addRoom(1, u"Terrace"_s, 80, QVariant());
    StorageSettings readOnly = settings();
    readOnly.readOnly = true;
    reopenClub(readOnly);
    EXPECT_EQ(start(u"ZQJ99DEMO"_s), MainWindowLogic::Outcome::Started);
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_TRUE(shown().first().startsWith(u"FYI...: "_s) &&
                shown().first().contains(u"read-only"_s));
    EXPECT_EQ(logic->roomList.size(), 1);
    // Events are looked at, never changed.
    EXPECT_FALSE(logic->window.commandEnabled[EventCommand::NewEvent]);
    EXPECT_TRUE(logic->window.commandEnabled[EventCommand::Calendar]);
    logic->window.commandEnabled[EventCommand::NewEvent] = true;
    prompts.clear();
    logic->editor.run(EventCommand::NewEvent);
    EXPECT_EQ(module->event.fields[EventField::Number], QString());
    EXPECT_TRUE(prompts.messages.isEmpty());
    module->event.fields[EventField::Number] = u"7"_s;
    logic->entry.followFields();
    EXPECT_FALSE(logic->window.commandEnabled[EventCommand::Modify]);
    logic->QueryUnloadMainWindow();
}

TEST(SavedNoticeLifetime, ClosesOnTheSeventhTick) {
    SavedNotice notice;
    for (int tick = 1; tick <= 7; ++tick)
        EXPECT_EQ(notice.tick(), tick == 7) << "tick " << tick;
    EXPECT_EQ(notice.ticks(), 7);
}

} // namespace
