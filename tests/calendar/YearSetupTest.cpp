#include "calendar/YearSetup.h"

#include "ClubFixture.h"
#include "calendar/RoomEditor.h"

#include <QTimer>
#include <optional>

namespace {

class YearSetupTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        signIn(99);
        setup = std::make_unique<YearSetup>(*module);
        QObject::connect(setup.get(), &YearSetup::status,
                         [this](const QString &text) { statusLines << text; });
        QObject::connect(setup.get(), &YearSetup::calendarRequested, [this] { ++calendarRedraws; });
    }
    // Runs the menu command with the year typed and, for a year that was set
    // up before, the answer to the backfill question.
    void initialize(const QString &answer, std::optional<bool> backfill = {}) {
        prompts.answerInput(answer);
        if (backfill)
            prompts.answerYesNo(*backfill);
        setup->InitializeYear();
    }
    int rows(const QString &condition = QStringLiteral("1 = 1")) {
        return scalar(QStringLiteral("evnt"),
                      QStringLiteral("select count(*) from reserv where ") + condition)
            .toInt();
    }
    int distinctSlots() {
        return scalar(
                   QStringLiteral("evnt"),
                   QStringLiteral(
                       "select count(*) from (select distinct resdate, restime from reserv) slots"))
            .toInt();
    }

    std::unique_ptr<YearSetup> setup;
    QStringList statusLines;
    int calendarRedraws = 0;
};

TEST_F(YearSetupTest, ACommonAndALeapYearGetEveryQuarterHourOnce) {
    initialize(QStringLiteral("2025"));
    EXPECT_EQ(rows(), 35040);
    EXPECT_EQ(rows(QStringLiteral("resdate between 20250200 and 20250232")), 28 * 96);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Initialization complete for year: 2025"));
    EXPECT_EQ(prompts.lastMessage().title, QString());
    EXPECT_EQ(calendarRedraws, 1);
    EXPECT_EQ(prompts.inputs[0].title, QStringLiteral("Set-up Year"));
    EXPECT_EQ(
        prompts.inputs[0].text,
        QStringLiteral(
            "Enter 4-digit year to initialize and click OK.\r\nExamples: 2016, 2017, 2018, etc."));

    initialize(QStringLiteral("2024"));
    EXPECT_EQ(rows(QStringLiteral("resdate between 20240000 and 20241232")), 35136);
    EXPECT_EQ(rows(QStringLiteral("resdate = 20240229")), 96);
    EXPECT_EQ(distinctSlots(), rows());
    EXPECT_EQ(scalar(QStringLiteral("evnt"),
                     QStringLiteral("select min(restime) || max(restime) from reserv"))
                  .toString(),
              QStringLiteral("00:0023:45"));
}

TEST_F(YearSetupTest, ProgressIsShownForEveryDay) {
    initialize(QStringLiteral("2027"));
    EXPECT_EQ(statusLines.first(), QStringLiteral("Working...please wait..."));
    EXPECT_EQ(statusLines.count(QStringLiteral("Working...  20270101 - 23:45")), 1);
    EXPECT_EQ(statusLines.last(), QStringLiteral("Working...  20271231 - 23:45"));
    EXPECT_GE(statusLines.size(), 1 + 365);
}

TEST_F(YearSetupTest, YearsOutOfRangeAreRefusedAndNonNumbersIgnored) {
    for (const QString &year : {QStringLiteral("2006"), QStringLiteral("2100"),
                                QStringLiteral("-2027"), QStringLiteral("20 27")}) {
        prompts.clear();
        initialize(year);
        ASSERT_EQ(prompts.messages.size(), 1) << year.toStdString();
        EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Invalid year"));
        EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Oops..."));
    }
    prompts.clear();
    for (const QString &answer : {QStringLiteral("abc"), QString(), QStringLiteral("   ")})
        initialize(answer);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(rows(), 0);

    // Blanks around the year and a plus sign are read past.
    initialize(QStringLiteral("  +2027 "));
    EXPECT_EQ(rows(), 35040);
}

TEST_F(YearSetupTest, BelowTheSetUpLevelNothingHappens) {
    module->session.UserLevel = 49;
    setup->InitializeYear(); // the scripted prompts fail the test on any question
    EXPECT_TRUE(prompts.inputs.isEmpty());
    EXPECT_EQ(rows(), 0);
}

TEST_F(YearSetupTest, ASecondRunAsksAndBackfillsOnlyWhatIsMissing) {
    initialize(QStringLiteral("2025"));
    exec(QStringLiteral("evnt"), QStringLiteral("delete from reserv where resdate = 20250310"));
    prompts.clear();

    initialize(QStringLiteral("2025"), false);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].title, QStringLiteral("Hmmmmm....."));
    EXPECT_EQ(prompts.questions[0].text,
              QStringLiteral("It looks like 2025 has already been initialized.\r\nWould you like "
                             "to backfill some dates "
                             "or expand it?\r\n\r\nClick YES to continue; NO to cancel now."));
    EXPECT_TRUE(prompts.messages.isEmpty()) << "No ends without a message";
    EXPECT_EQ(rows(), 35040 - 96);

    initialize(QStringLiteral("2025"), true);
    EXPECT_EQ(rows(QStringLiteral("resdate = 20250310")), 96);
    EXPECT_EQ(rows(), 35040);
    EXPECT_EQ(distinctSlots(), 35040);
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Initialization complete for year: 2025"));
}

TEST_F(YearSetupTest, AYearMissingOnlyItsFirstDaysIsCompletedWithoutDuplicates) {
    initialize(QStringLiteral("2026"));
    exec(QStringLiteral("evnt"), QStringLiteral("delete from reserv where resdate < 20260201"));
    prompts.clear();
    initialize(QStringLiteral("2026")); // no 1 January row: no question
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Initialization complete for year: 2026")});
    EXPECT_EQ(rows(), 35040);
    EXPECT_EQ(distinctSlots(), 35040);
}

TEST_F(YearSetupTest, AFailureMidYearKeepsWholeMonthsAndABackfillCompletesTheYear) {
    // The disk "fills up" on 15 March.
    addFault(QStringLiteral("evnt"), QStringLiteral("fail_march"), QStringLiteral("insert"),
             QStringLiteral("reserv"), QStringLiteral("new.resdate = 20270315"),
             QStringLiteral("disk I/O error"));
    prompts.expectError();
    initialize(QStringLiteral("2027"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Brevant Codes"));
    EXPECT_EQ(calendarRedraws, 0);
    EXPECT_EQ(rows(), (31 + 28) * 96) << "January and February whole, nothing of March";
    EXPECT_EQ(rows(QStringLiteral("resdate between 20270300 and 20270332")), 0);

    removeFault(QStringLiteral("evnt"), QStringLiteral("fail_march"), QStringLiteral("reserv"));
    initialize(QStringLiteral("2027"), true);
    EXPECT_EQ(rows(), 35040);
    EXPECT_EQ(distinctSlots(), 35040);
}

TEST_F(YearSetupTest, TheWindowStaysLiveButNothingWritesWhileItRuns) {
    // What the operator clicks, and what another workstation writes, while
    // the status line shows progress.
    RoomEditor editor(*module);
    editor.OpenRoomEditor();
    editor.editBox(RoomEditor::NameBox, QStringLiteral("Terrace"));
    editor.editBox(RoomEditor::CapacityBox, QStringLiteral("80"));
    bool clicked = false;
    Status otherWorkstation = DbError{};
    QTimer::singleShot(0, [&] {
        clicked = true;
        editor.RoomButton(RoomEditor::AddRoom);
    });
    QTimer::singleShot(0, [&] {
        Databases other(settings());
        auto db = other.open(QStringLiteral("evnt"));
        otherWorkstation =
            db.value()->execute(QStringLiteral("insert into location (roomnum, room, capacity, "
                                               "subdiv) values (9, 'Library', 12, 0)"));
    });
    initialize(QStringLiteral("2027"));
    EXPECT_TRUE(clicked) << "the window had its events";
    EXPECT_TRUE(otherWorkstation.ok())
        << "no month's transaction was open while the window had its events: "
        << otherWorkstation.error().description.toStdString();
    EXPECT_EQ(column(QStringLiteral("evnt"), QStringLiteral("select room from location")),
              QVariantList{QStringLiteral("Library")})
        << "Add Room waited for the year set-up";
    EXPECT_EQ(rows(), 35040);
    EXPECT_FALSE(module->longOperation.running());
}

} // namespace
