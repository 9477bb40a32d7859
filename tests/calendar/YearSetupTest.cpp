#include "calendar/YearSetup.h"

#include "CalendarChecks.h"
#include "ClubFixture.h"
#include "calendar/RoomEditor.h"

#include <QTimer>
#include <optional>

using namespace Qt::StringLiterals;

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
    int rows(const QString &condition = u"1 = 1"_s) {
        return scalar(u"evnt"_s, u"select count(*) from reserv where "_s + condition).toInt();
    }
    int distinctSlots() {
        return scalar(u"evnt"_s, u"select count(*) from (select distinct resdate, restime "
                                 "from reserv) slots"_s)
            .toInt();
    }

    std::unique_ptr<YearSetup> setup;
    QStringList statusLines;
    int calendarRedraws = 0;
};

TEST_F(YearSetupTest, ACommonAndALeapYearGetEveryQuarterHourOnceAndASecondRunBackfills) {
    initialize(u"2025"_s);
    EXPECT_EQ(rows(), 35040);
    EXPECT_EQ(rows(u"resdate between 20250200 and 20250232"_s), 28 * 96);
    EXPECT_EQ(lastShown(prompts), u": Initialization complete for year: 2025"_s);
    EXPECT_EQ(calendarRedraws, 1);
    EXPECT_EQ(prompts.inputs[0].title, u"Set-up Year"_s);
    EXPECT_EQ(
        prompts.inputs[0].text,
        u"Enter 4-digit year to initialize and click OK.\r\nExamples: 2016, 2017, 2018, etc."_s);

    // Progress is shown for every day.
    EXPECT_EQ(statusLines.first(), u"Working...please wait..."_s);
    EXPECT_EQ(statusLines.count(u"Working...  20250101 - 23:45"_s), 1);
    EXPECT_EQ(statusLines.last(), u"Working...  20251231 - 23:45"_s);
    EXPECT_GE(statusLines.size(), 1 + 365);

    // A second run asks, and backfills only what is missing.
    exec(u"evnt"_s, u"delete from reserv where resdate = 20250310"_s);
    prompts.clear();

    initialize(u"2025"_s, false);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].title, u"Hmmmmm....."_s);
    EXPECT_EQ(prompts.questions[0].text,
              u"It looks like 2025 has already been initialized.\r\nWould you like to backfill "
              "some dates or expand it?\r\n\r\nClick YES to continue; NO to cancel now."_s);
    EXPECT_TRUE(prompts.messages.isEmpty()) << "No ends without a message";
    EXPECT_EQ(rows(), 35040 - 96);

    initialize(u"2025"_s, true);
    EXPECT_EQ(rows(u"resdate = 20250310"_s), 96);
    EXPECT_EQ(distinctSlots(), 35040);
    EXPECT_EQ(rows(), 35040);

    // Without its 1 January the year is not asked about, and completed as well.
    exec(u"evnt"_s, u"delete from reserv where resdate < 20250201"_s);
    prompts.clear();
    initialize(u"2025"_s);
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(prompts.messageTexts(), QStringList{u"Initialization complete for year: 2025"_s});
    EXPECT_EQ(distinctSlots(), 35040);
    EXPECT_EQ(rows(), 35040);

    initialize(u"2024"_s);
    EXPECT_EQ(rows(u"resdate between 20240000 and 20241232"_s), 35136);
    EXPECT_EQ(rows(u"resdate = 20240229"_s), 96);
    EXPECT_EQ(distinctSlots(), rows());
    EXPECT_EQ(scalar(u"evnt"_s, u"select min(restime) || max(restime) from reserv"_s).toString(),
              u"00:0023:45"_s);
}

TEST_F(YearSetupTest, BelowTheSetUpLevelOrOutOfRangeNothingHappens) {
    module->session.UserLevel = 49;
    setup->InitializeYear(); // the scripted prompts fail the test on any question
    EXPECT_TRUE(prompts.inputs.isEmpty());
    module->session.UserLevel = 99;
    for (const QString &year : {u"2006"_s, u"2100"_s, u"-2027"_s, u"20 27"_s}) {
        prompts.clear();
        initialize(year);
        EXPECT_EQ(lastShown(prompts), u"Oops...: Invalid year"_s) << year.toStdString();
    }
    prompts.clear();
    for (const QString &answer : {u"abc"_s, QString(), u"   "_s})
        initialize(answer);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(rows(), 0);

    // Blanks around the year and a plus sign are read past.
    initialize(u"  +2027 "_s);
    EXPECT_EQ(rows(), 35040);
}

TEST_F(YearSetupTest, AFailureMidYearKeepsWholeMonthsAndABackfillCompletesTheYear) {
    // The disk "fills up" on 15 March.
    addFault(u"evnt"_s, u"fail_march"_s, u"insert"_s, u"reserv"_s, u"new.resdate = 20270315"_s,
             u"disk I/O error"_s);
    prompts.expectError();
    initialize(u"2027"_s);
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().title, u"Brevant Codes"_s);
    EXPECT_EQ(calendarRedraws, 0);
    EXPECT_EQ(rows(), (31 + 28) * 96) << "January and February whole, nothing of March";
    EXPECT_EQ(rows(u"resdate between 20270300 and 20270332"_s), 0);

    removeFault(u"evnt"_s, u"fail_march"_s, u"reserv"_s);
    initialize(u"2027"_s, true);
    EXPECT_EQ(rows(), 35040);
    EXPECT_EQ(distinctSlots(), 35040);
}

TEST_F(YearSetupTest, TheWindowStaysLiveButNothingWritesWhileItRuns) {
    // What the operator clicks, and what another workstation writes, while
    // the status line shows progress.
    RoomEditor editor(*module);
    editor.OpenRoomEditor();
    editor.editBox(RoomEditor::NameBox, u"Terrace"_s);
    editor.editBox(RoomEditor::CapacityBox, u"80"_s);
    bool clicked = false;
    Status otherWorkstation = DbError{};
    QTimer::singleShot(0, [&] {
        clicked = true;
        editor.RoomButton(RoomEditor::AddRoom);
    });
    QTimer::singleShot(0, [&] {
        Databases other(settings());
        auto db = other.open(u"evnt"_s);
        otherWorkstation = db.value()->execute(u"insert into location (roomnum, room, capacity, "
                                               "subdiv) values (9, 'Library', 12, 0)"_s);
    });
    initialize(u"2027"_s);
    EXPECT_TRUE(clicked) << "the window had its events";
    EXPECT_TRUE(otherWorkstation.ok())
        << "no month's transaction was open while the window had its events: "
        << otherWorkstation.error().description.toStdString();
    EXPECT_EQ(column(u"evnt"_s, u"select room from location"_s), QVariantList{u"Library"_s})
        << "Add Room waited for the year set-up";
    EXPECT_EQ(rows(), 35040);
    EXPECT_FALSE(module->longOperation.running());
}

} // namespace
