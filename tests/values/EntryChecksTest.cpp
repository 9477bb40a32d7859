#include "ClubFixture.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {

class EntryChecksTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

// The text checked is the date as read; a refusal shows one message titled Brevant.
TEST_F(EntryChecksTest, CheckDateJudgesMonthThenDayOfTheMonth) {
    const struct {
        const char *rule;
        int typed;
        const char *dateText;
        const char *message; // "" when accepted
    } cases[] = {
        {"plain date", 20260704, "20260704", ""},
        {"month first christmas", 12252026, "20261225", ""},
        {"leap day in leap year", 20280229, "20280229", ""},
        {"no leap day in common year", 20270229, "20270229", "Invalid day of the month"},
        {"no leap day in 2100", 21000229, "21000229", "Invalid day of the month"},
        {"leap day in 2000", 20000229, "20000229", ""},
        {"month 13", 20261301, "20261301", "Invalid month"},
        {"month 00", 20260015, "20260015", "Invalid month"},
        {"day 00", 20260700, "20260700", "Invalid day of the month"},
        {"april 31", 20260431, "20260431", "Invalid day of the month"},
        {"december 31", 20261231, "20261231", ""},
        // A date has eight digits: fewer have no month to judge.
        {"seven digits", 2026125, "2026125", "Invalid month"},
        {"seven digits that read as a date by position", 2026011, "2026011", "Invalid month"},
        {"month first that lost its zero", 1012027, "1012027", "Invalid month"},
        {"seven digits ending in a month and day", 2021231, "2021231", "Invalid month"},
        {"zero", 0, "0", "Invalid month"},
        {"nine digits", 202601011, "202601011", "Invalid month"},
        {"negative", -20260101, "-20260101", "Invalid month"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rule);
        prompts.clear();
        const CheckedDate checked = module->checks.checkDate(c.typed);
        EXPECT_EQ(checked.text, QString::fromLatin1(c.dateText));
        EXPECT_EQ(checked.refused, *c.message != '\0');
        EXPECT_EQ(prompts.messageTexts(),
                  *c.message ? QStringList{QString::fromLatin1(c.message)} : QStringList());
        if (*c.message)
            EXPECT_EQ(prompts.lastMessage().title, u"Brevant"_s);
    }
}

TEST(DateNumber, TypedTextBecomesTheNumberTheDateCheckJudges) {
    const struct {
        const char *typed;
        int number;
    } cases[] = {
        {"20261225", 20261225},
        {"12252026", 20261225},
        {"02012024", 20240201},
        {" 02012024 ", 20240201},
        {"2026011", 2026011},
        {"00000000", 0},
        {"abc", 0},
        {"999999999999", 0},
        {"-20260101", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(EntryChecks::dateNumber(QString::fromLatin1(c.typed)), c.number) << c.typed;
}

TEST_F(EntryChecksTest, DateRangeTakesMonthDayForThisYearAndPutsTheEarlierDateFirst) {
    prompts.answerInput(u"123"_s); // neither four nor eight digits: asked again
    prompts.answerInput(u"  1231 "_s);
    prompts.answerInput(u"0115"_s);
    EXPECT_EQ(module->checks.askTypedDates(u"Events by Date Range"_s),
              (TypedDates{u"20260115"_s, u"20261231"_s}));
    ASSERT_EQ(prompts.inputs.size(), 3);
    EXPECT_EQ(prompts.inputs[0].title, u"FROM Date - Events by Date Range"_s);
    EXPECT_EQ(prompts.inputs[0].text,
              u"Type the FROM date in YYYYMMDD format.\nWhen done, press ENTER or "
              "click OK.\n\nClick CANCEL to exit this feature."_s);
    EXPECT_EQ(prompts.inputs[2].title, u"TO Date - Events by Date Range"_s);

    // An empty answer cancels, at either date.
    prompts.answerInput(u"20260101"_s);
    prompts.answerInput(QString());
    EXPECT_EQ(module->checks.askTypedDates(u"Events by Date Range"_s), std::nullopt);
}

TEST_F(EntryChecksTest, CheckedDateRangeRefusesWhatNoCalendarDayMatches) {
    for (const int date : {20240101, 20241231})
        exec(u"evnt"_s, u"insert into reserv (resdate, restime) values (?, '00:00')"_s, {date});
    using RangeFor = EntryChecks::RangeFor;
    struct Case {
        const char *rule;
        const char *from;
        const char *to;
        RangeFor use;
        std::optional<std::pair<int, int>> range;
        const char *message;
    };
    const Case cases[] = {
        {"two good dates, later first", "20241231", "20240101", RangeFor::CalendarRows,
         std::pair{20240101, 20241231}, ""},
        {"month first is turned round, then ordered", "12312024", "02012024", RangeFor::Events,
         std::pair{20240201, 20241231}, ""},
        {"a short date is no date", "2024-1-1", "20241231", RangeFor::Events, std::nullopt,
         "Invalid month"},
        {"eight zeros are no date", "20240101", "00000000", RangeFor::Events, std::nullopt,
         "Invalid month"},
        {"no 30 February", "20240101", "20240230", RangeFor::Events, std::nullopt,
         "Invalid day of the month"},
        {"the calendar's rows of a year it lacks", "20230101", "20241231", RangeFor::CalendarRows,
         std::nullopt,
         "20230101 is not a date of the calendar: the calendar holds no days of the year 2023."},
        {"events of a year purged from the calendar", "20230101", "20241231", RangeFor::Events,
         std::pair{20230101, 20241231}, ""},
    };
    for (const Case &c : cases) {
        prompts.clear();
        prompts.answerInput(QString::fromLatin1(c.from));
        prompts.answerInput(QString::fromLatin1(c.to));
        const auto range = module->checks.askDateRange(u"Purge Calendar Data"_s, c.use);
        ASSERT_EQ(range.has_value(), c.range.has_value()) << c.rule;
        if (range) {
            EXPECT_EQ(std::pair(range->from, range->to), *c.range) << c.rule;
        }
        EXPECT_EQ(prompts.messageTexts().join(QString()), QString::fromLatin1(c.message)) << c.rule;
    }
    EXPECT_EQ(prompts.inputs.first().title, u"FROM Date - Purge Calendar Data"_s);
}

TEST_F(EntryChecksTest, MemberNumberDescribesTheAccount) {
    exec(u"master"_s, u"update acctinfo set suspended = 1, terminated = 1, taxexempt = 1 "
                      "where acctnumber = 1001"_s);
    const QString name =
        scalar(u"master"_s, u"select lname from acctinfo where acctnumber = 1001"_s)
            .toString()
            .trimmed();
    const QString first =
        scalar(u"master"_s, u"select fname from acctinfo where acctnumber = 1001"_s)
            .toString()
            .trimmed();
    const QString classCode =
        scalar(u"master"_s, u"select classcode from acctinfo where acctnumber = 1001"_s).toString();
    const QString classText =
        scalar(u"master"_s, u"select description from classcode where classcode = ?"_s, {classCode})
            .toString();

    // Typed with cents, and stored a hair away from the typed number.
    exec(u"master"_s, u"update acctinfo set acctnumber = 1001.0004 where acctnumber = 1001"_s);
    EXPECT_EQ(module->checks.checkMember(u" 1001.00 "_s).description,
              name + u", "_s + first + u" TaxExempt SUSPENDED TERMINATED"_s);
    EXPECT_EQ(module->checks.TaxExemptFlag, 1);
    EXPECT_EQ(module->checks.TerminatedFlag, 1);
    EXPECT_EQ(clipboard.content, classCode + QLatin1Char('-') + classText);
    EXPECT_TRUE(prompts.messages.isEmpty());

    // The next account's flags are its own, not the last one's.
    const QString next =
        scalar(u"master"_s, u"select min(acctnumber) from acctinfo where taxexempt = 0 and "
                            "suspended = 0 and terminated = 0"_s)
            .toString();
    EXPECT_FALSE(module->checks.checkMember(next).description.contains(u"TaxExempt"_s));
    EXPECT_EQ(module->checks.TaxExemptFlag, 0);
    EXPECT_EQ(module->checks.TerminatedFlag, 0);
}

TEST_F(EntryChecksTest, UnknownMemberNumberAsksToRedo) {
    module->checks.TerminatedFlag = 1;
    clipboard.content = u"old"_s;
    prompts.expectError();
    EXPECT_EQ(module->checks.checkMember(u"99"_s).outcome, MemberCheck::Outcome::Unknown);
    EXPECT_EQ(module->checks.TerminatedFlag, 0);
    EXPECT_EQ(clipboard.content, QString());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().text, u"Invalid member number!"_s);
    EXPECT_EQ(prompts.lastMessage().title, u"Member # Check"_s);
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Critical);

    // Nothing typed: nothing happens.
    prompts.clear();
    EXPECT_EQ(module->checks.checkMember(u"abc"_s).outcome, MemberCheck::Outcome::NoNumber);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
