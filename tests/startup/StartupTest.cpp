#include "ClubFixture.h"
#include "HeldLock.h"
#include "app/MainWindowLogic.h"
#include "session/SingleInstance.h"
#include "startup/SavedNotice.h"
#include "storage/ClubStorage.h"

#include <QFile>

namespace {

class StartupTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        instance = std::make_unique<SingleInstance>(club, QStringLiteral("test-account"));
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
    MainWindowLogic::Outcome start(const QString &commandLine) {
        return logic->StartMainWindow(commandLine, *instance);
    }
    void setThresholds(int access0, int access1) {
        exec(QStringLiteral("config"),
             QStringLiteral("update evmgr set evaccess0 = ?, evaccess1 = ?"), {access0, access1});
    }
    void addRoom(int number, const QString &name, int capacity, const QVariant &subdiv) {
        exec(QStringLiteral("evnt"),
             QStringLiteral(
                 "insert into location (roomnum, room, capacity, subdiv) values (?, ?, ?, ?)"),
             {number, name, capacity, subdiv});
    }

    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<MainWindowLogic> logic;
};

TEST_F(StartupTest, RefusesToRunWithoutTheSuitesCommandLine) {
    // An empty command line is refused before the settings are read: with
    // config.mdb gone the only message is the refusal.
    removeDatabase(QStringLiteral("config"));
    prompts.expectError();
    EXPECT_EQ(start(QString()), MainWindowLogic::Outcome::NotLaunchedBySuite);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("This module cannot be run by itself.\nClick OK to exit..."));
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Brevant"));
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Critical);
    EXPECT_FALSE(logic->started);
}

TEST_F(StartupTest, RefusesALevelBelowTheFirstThreshold) {
    setThresholds(10, 20);
    EXPECT_EQ(start(QStringLiteral("ZQJ09DEMO")), MainWindowLogic::Outcome::AccessDenied);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Access denied. See system administrator.\nClick OK to exit..."));
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Information);
    // A non-numeric level counts as 0.
    restart();
    EXPECT_EQ(start(QStringLiteral("ZQJxxDEMO")), MainWindowLogic::Outcome::AccessDenied);
}

TEST_F(StartupTest, MissingSettingsStopStartUpWithAClearMessage) {
    exec(QStringLiteral("config"), QStringLiteral("update evmgr set evaccess1 = null"));
    prompts.expectError();
    EXPECT_EQ(start(QStringLiteral("ZQJ99DEMO")), MainWindowLogic::Outcome::SettingsMissing);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Brevant"));
    EXPECT_TRUE(prompts.lastMessage().text.contains(QStringLiteral("evaccess1")));
}

TEST_F(StartupTest, AServerThatCannotBeReachedOrLacksASchemaIsNamed) {
    if (!onPostgres())
        GTEST_SKIP() << "a club on a PostgreSQL server";
    // The settings schema is gone.
    removeDatabase(QStringLiteral("config"));
    prompts.expectError();
    EXPECT_EQ(start(QStringLiteral("ZQJ99DEMO")), MainWindowLogic::Outcome::SettingsMissing);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        QStringLiteral("The configuration database CONFIG.MDB is missing from\n") +
        ClubStorage::describe(*server) + QLatin1Char('\n')))
        << prompts.lastMessage().text.toStdString();

    // The server does not answer where the club says it is.
    StorageSettings elsewhere = *server;
    elsewhere.port = 1;
    ASSERT_TRUE(ClubStorage::writeServer(club, elsewhere).ok());
    logic.reset();
    instance.reset();
    reopen(settings());
    instance = std::make_unique<SingleInstance>(club, QStringLiteral("test-account"));
    logic = std::make_unique<MainWindowLogic>(*module);
    prompts.clear();
    prompts.expectError();
    EXPECT_EQ(start(QStringLiteral("ZQJ99DEMO")), MainWindowLogic::Outcome::SettingsMissing);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(QStringLiteral("The club's ") +
                                                      ClubStorage::describe(elsewhere) +
                                                      QStringLiteral(" cannot be opened: ")))
        << prompts.lastMessage().text.toStdString();
    ASSERT_TRUE(ClubStorage::writeServer(club, *server).ok());
}

TEST_F(StartupTest, ASecondInstanceOnTheSameClubIsRefused) {
    SingleInstance first(club, QStringLiteral("test-account"));
    ASSERT_TRUE(first.acquire());
    prompts.expectError();
    EXPECT_EQ(start(QStringLiteral("ZQJ99DEMO")), MainWindowLogic::Outcome::AlreadyRunning);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("The module is already running."));
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Uh-oh..."));

    // Another club directory is another instance.
    SingleInstance elsewhere(club + QStringLiteral("-other"), QStringLiteral("test-account"));
    EXPECT_TRUE(elsewhere.acquire());
    first.release();
    prompts.clear();
    EXPECT_EQ(start(QStringLiteral("ZQJ99DEMO")), MainWindowLogic::Outcome::Started);
}

TEST_F(StartupTest, MaintenanceLevelSeesTheCalendarMaintenanceCommands) {
    ASSERT_EQ(start(QStringLiteral("ZQJ99DEMO")), MainWindowLogic::Outcome::Started);
    EXPECT_EQ(logic->caption, QStringLiteral("DEMO @ Moravel"));
    EXPECT_TRUE(logic->reverifyMenuVisible);
    EXPECT_TRUE(logic->purgeCalendarMenuVisible);
    EXPECT_TRUE(prompts.messages.isEmpty())
        << prompts.messageTexts().join(QLatin1Char('|')).toStdString();

    restart();
    ASSERT_EQ(start(QStringLiteral("ZQJ98DEMO")), MainWindowLogic::Outcome::Started);
    EXPECT_FALSE(logic->reverifyMenuVisible);
    EXPECT_FALSE(logic->purgeCalendarMenuVisible);
}

TEST_F(StartupTest, ModifyAndSaveNeedTheEditingLevel) {
    setThresholds(10, 20);
    ASSERT_EQ(start(QStringLiteral("ZQJ20DEMO")), MainWindowLogic::Outcome::Started);
    EXPECT_TRUE(logic->window.commandVisible[EventCommand::Modify]);
    EXPECT_TRUE(logic->window.commandVisible[EventCommand::Save]);
    EXPECT_FALSE(logic->window.commandEnabled[EventCommand::Modify]) << "nothing to modify yet";

    restart();
    ASSERT_EQ(start(QStringLiteral("ZQJ19DEMO")), MainWindowLogic::Outcome::Started);
    EXPECT_FALSE(logic->window.commandVisible[EventCommand::Modify]);
    EXPECT_FALSE(logic->window.commandVisible[EventCommand::Save]);
    EXPECT_TRUE(logic->window.commandVisible[EventCommand::NewEvent]);
    EXPECT_EQ(logic->window.commandCaption[EventCommand::Save], QStringLiteral("&Save"));
}

TEST_F(StartupTest, EventFieldsGetTooltipsLengthsAndMergeTokensFromTheEventTable) {
    exec(QStringLiteral("evnt"),
         QStringLiteral(
             "update fielddesc set description = ? where tablename = ? and fieldname = ?"),
         {QStringLiteral("Which night is the party?"), QStringLiteral("eventinfo"),
          QStringLiteral("eventdate")});
    ASSERT_EQ(start(QStringLiteral("ZQJ99DEMO")), MainWindowLogic::Outcome::Started);
    EXPECT_EQ(logic->window.fieldHelp[EventField::Date],
              QStringLiteral("Which night is the party?"));
    for (EventField field : AllEventFields)
        EXPECT_FALSE(logic->window.fieldHelp[field].isEmpty())
            << "Text1(" << columnOf(field) << ")";
    EXPECT_EQ(logic->EventFieldTokens[columnOf(EventField::Date)], QStringLiteral("<EVENTDATE>"));
    EXPECT_EQ(logic->EventFieldTokens[columnOf(EventField::InternalNotes)],
              QStringLiteral("<INTERNALNOTES>"));
    EXPECT_EQ(logic->EventFieldTokens[EventFieldCount], QString());
    EXPECT_EQ(logic->fieldMaxLength[EventField::Title], 50);
    EXPECT_EQ(logic->fieldMaxLength[EventField::Start], 5);
    EXPECT_EQ(logic->fieldMaxLength[EventField::Date], 0);  // numeric
    EXPECT_EQ(logic->fieldMaxLength[EventField::Notes], 0); // memo
}

TEST_F(StartupTest, ListsAreFilledAndARoomWithoutSubdivisionStoresZero) {
    exec(QStringLiteral("config"), QStringLiteral("update evmgr set status4 = ?"),
         {QStringLiteral("Confirmed")});
    addRoom(2, QStringLiteral("Terrace"), 80, 0);
    addRoom(1, QStringLiteral("Grand Ballroom"), 240, QVariant());
    ASSERT_EQ(start(QStringLiteral("ZQJ99DEMO")), MainWindowLogic::Outcome::Started);

    EXPECT_EQ(logic->roomList, (QStringList{QStringLiteral("1 - Grand Ballroom  -  cap:240"),
                                            QStringLiteral("2 - Terrace  -  cap:80")}));
    EXPECT_EQ(logic->calendar.roomFilter.entries,
              (QStringList{QStringLiteral("Show All Rooms"),
                           QStringLiteral("1 - Grand Ballroom  -  cap:240 only"),
                           QStringLiteral("2 - Terrace  -  cap:80 only")}));
    EXPECT_EQ(logic->calendar.roomFilter.text, QStringLiteral("Show All Rooms"));
    EXPECT_EQ(scalar(QStringLiteral("evnt"),
                     QStringLiteral("select subdiv from location where roomnum = 1")),
              QVariant(0));
    EXPECT_EQ(logic->calendar.timeFilter.entries.size(), 4);
    EXPECT_EQ(logic->calendar.timeFilter.text, QStringLiteral("Show All Times"));
    EXPECT_EQ(logic->window.statusList.entries,
              (QStringList{QStringLiteral("1-Contact Only"), QStringLiteral("2-Reserved"),
                           QStringLiteral("3-Reserved w/Dep $"), QStringLiteral("4-Confirmed"),
                           QStringLiteral("5-Done/Billed"), QStringLiteral("9-Cancelled")}));
    EXPECT_EQ(logic->window.statusList.text, QStringLiteral("(Click to set)"));
    EXPECT_TRUE(logic->calendar.calendarVisible());
    EXPECT_FALSE(logic->calendar.gridVisible());
}

TEST_F(StartupTest, ClosingSetsTheOperatorsLocationBackToStartup) {
    exec(QStringLiteral("user"), QStringLiteral("update staff set location = ?"),
         {QStringLiteral("Events")});
    clipboard.content = QStringLiteral("left over");
    ASSERT_EQ(start(QStringLiteral("ZQJ99demo")), MainWindowLogic::Outcome::Started);
    EXPECT_EQ(clipboard.content, QString()) << "start-up clears the clipboard";
    EXPECT_EQ(module->session.SysUser, 1);
    logic->QueryUnloadMainWindow();
    EXPECT_EQ(scalar(QStringLiteral("user"),
                     QStringLiteral("select location from staff where username = 'DEMO'"))
                  .toString(),
              QStringLiteral("Startup"));
    EXPECT_FALSE(logic->started);
}

TEST_F(StartupTest, AMissingStaffDatabaseIsReportedButTheOperatorGetsIn) {
    removeDatabase(QStringLiteral("user"));
    prompts.expectError();
    EXPECT_EQ(start(QStringLiteral("ZQJ99DEMO")), MainWindowLogic::Outcome::Started);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(
        prompts.lastMessage().text.startsWith(QStringLiteral("The USER.MDB database is missing.")));
    logic->QueryUnloadMainWindow(); // nothing to write back, nothing shown
    EXPECT_EQ(prompts.messages.size(), 1);
}

TEST_F(StartupTest, ALockedStaffDatabaseDelaysNothingButTheLocationWrite) {
    exec(QStringLiteral("user"), QStringLiteral("update staff set location = 'Events'"));
    auto held =
        std::make_unique<HeldLock>(settings(), QStringLiteral("user"), QStringLiteral("staff"));
    ASSERT_TRUE(held->held());
    EXPECT_EQ(start(QStringLiteral("ZQJ99DEMO")), MainWindowLogic::Outcome::Started);
    EXPECT_EQ(module->session.SysUser, 1)
        << "reading is not blocked by another workstation's write";
    logic->QueryUnloadMainWindow();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(clock.pauses.size(), StaffLocation::WriteAttempts - 1);
    QFile log(path(QStringLiteral("admlog.ini")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Location not set back to Startup: Code 3186"));
    held.reset();
    EXPECT_EQ(scalar(QStringLiteral("user"),
                     QStringLiteral("select location from staff where username = 'DEMO'"))
                  .toString(),
              QStringLiteral("Events"))
        << "the write gave up cleanly; the next start-up or close sets it";
}

TEST_F(StartupTest, AReadOnlyClubOpensForViewingAndSaysSo) {
    addRoom(1, QStringLiteral("Terrace"), 80, QVariant());
    StorageSettings readOnly = settings();
    readOnly.readOnly = true;
    logic.reset();
    reopen(readOnly);
    logic = std::make_unique<MainWindowLogic>(*module);
    EXPECT_EQ(start(QStringLiteral("ZQJ99DEMO")), MainWindowLogic::Outcome::Started);
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_EQ(prompts.messages.first().title, QStringLiteral("FYI..."));
    EXPECT_TRUE(prompts.messages.first().text.contains(QStringLiteral("read-only")));
    EXPECT_EQ(logic->roomList.size(), 1);
    // Events are looked at, never changed.
    EXPECT_FALSE(logic->window.commandEnabled[EventCommand::NewEvent]);
    EXPECT_TRUE(logic->window.commandEnabled[EventCommand::Calendar]);
    logic->window.commandEnabled[EventCommand::NewEvent] = true;
    prompts.clear();
    logic->editor.run(EventCommand::NewEvent);
    EXPECT_EQ(module->event.fields[EventField::Number], QString());
    EXPECT_TRUE(prompts.messages.isEmpty());
    module->event.fields[EventField::Number] = QStringLiteral("7");
    logic->entry.followFields();
    EXPECT_FALSE(logic->window.commandEnabled[EventCommand::Modify]);
    logic->QueryUnloadMainWindow();
}

TEST_F(StartupTest, AMissingEventDatabaseStopsStartUp) {
    removeDatabase(QStringLiteral("evnt"));
    prompts.expectError();
    EXPECT_EQ(start(QStringLiteral("ZQJ99DEMO")), MainWindowLogic::Outcome::DatabaseFailure);
    EXPECT_TRUE(
        prompts.lastMessage().text.startsWith(QStringLiteral("The EVNT.MDB database is missing.")));
}

TEST(SavedNoticeLifetime, ClosesOnTheSeventhTick) {
    SavedNotice notice;
    for (int tick = 1; tick <= 6; ++tick)
        EXPECT_FALSE(notice.tick()) << "tick " << tick;
    EXPECT_TRUE(notice.tick());
    EXPECT_EQ(notice.ticks(), 7);
}

} // namespace
