#include "ClubFixture.h"

#include <optional>

namespace {

struct DateCase {
    const char *rule;
    int typed;
    const char *dateText;
    int error;
    const char *message; // "" when none
};

void PrintTo(const DateCase &c, std::ostream *out) {
    *out << c.rule;
}

class DateRules : public ClubFixture, public ::testing::WithParamInterface<DateCase> {};

TEST_P(DateRules, ValidateDate) {
    const DateCase &c = GetParam();
    const CheckedDate checked = module->checks.checkDate(c.typed);
    EXPECT_EQ(checked.text, QString::fromLatin1(c.dateText));
    EXPECT_EQ(checked.refused ? 1 : 0, c.error);
    if (QString::fromLatin1(c.message).isEmpty()) {
        EXPECT_TRUE(prompts.messages.isEmpty());
    } else {
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(prompts.lastMessage().text, QString::fromLatin1(c.message));
        EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Brevant"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DateRules,
    ::testing::Values(
        DateCase{"plain_date", 20260704, "20260704", 0, ""},
        DateCase{"month_first_christmas", 12252026, "20261225", 0, ""},
        DateCase{"leap_day_in_leap_year", 20280229, "20280229", 0, ""},
        DateCase{"no_leap_day_in_common_year", 20270229, "20270229", 1, "Invalid day of the month"},
        DateCase{"no_leap_day_in_2100", 21000229, "21000229", 1, "Invalid day of the month"},
        DateCase{"leap_day_in_2000", 20000229, "20000229", 0, ""},
        DateCase{"month_13", 20261301, "20261301", 1, "Invalid month"},
        DateCase{"month_00", 20260015, "20260015", 1, "Invalid month"},
        DateCase{"day_00", 20260700, "20260700", 1, "Invalid day of the month"},
        DateCase{"april_31", 20260431, "20260431", 1, "Invalid day of the month"},
        DateCase{"december_31", 20261231, "20261231", 0, ""},
        // A date has eight digits: fewer have no month to judge.
        DateCase{"seven_digits", 2026125, "2026125", 1, "Invalid month"},
        DateCase{"seven_digits_that_read_as_a_date_by_position", 2026011, "2026011", 1,
                 "Invalid month"},
        DateCase{"month_first_that_lost_its_zero", 1012027, "1012027", 1, "Invalid month"},
        DateCase{"seven_digits_ending_in_a_month_and_day", 2021231, "2021231", 1, "Invalid month"},
        DateCase{"zero", 0, "0", 1, "Invalid month"},
        DateCase{"nine_digits", 202601011, "202601011", 1, "Invalid month"},
        DateCase{"negative", -20260101, "-20260101", 1, "Invalid month"}),
    [](const auto &info) { return std::string(info.param.rule); });

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

class EntryChecksTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

TEST(LeapYear, FollowsTheGregorianRule) {
    EXPECT_TRUE(EntryChecks::isLeapYear(2024));
    EXPECT_FALSE(EntryChecks::isLeapYear(2025));
    EXPECT_TRUE(EntryChecks::isLeapYear(2000));
    EXPECT_FALSE(EntryChecks::isLeapYear(2100));
}

TEST_F(EntryChecksTest, DateRangeTakesMonthDayForThisYearAndPutsTheEarlierDateFirst) {
    prompts.answerInput(QStringLiteral("123")); // neither four nor eight digits: asked again
    prompts.answerInput(QStringLiteral("  1231 "));
    prompts.answerInput(QStringLiteral("0115"));
    EXPECT_EQ(module->checks.askTypedDates(QStringLiteral("Events by Date Range")),
              (TypedDates{QStringLiteral("20260115"), QStringLiteral("20261231")}));
    ASSERT_EQ(prompts.inputs.size(), 3);
    EXPECT_EQ(prompts.inputs[0].title, QStringLiteral("FROM Date - Events by Date Range"));
    EXPECT_EQ(prompts.inputs[0].text,
              QStringLiteral("Type the FROM date in YYYYMMDD format.\nWhen done, press ENTER or "
                             "click OK.\n\nClick CANCEL to exit this feature."));
    EXPECT_EQ(prompts.inputs[2].title, QStringLiteral("TO Date - Events by Date Range"));

    // An empty answer cancels, at either date.
    prompts.answerInput(QStringLiteral("20260101"));
    prompts.answerInput(QString());
    EXPECT_EQ(module->checks.askTypedDates(QStringLiteral("Events by Date Range")), std::nullopt);
}

TEST_F(EntryChecksTest, CheckedDateRangeRefusesWhatNoCalendarDayMatches) {
    for (const int date : {20240101, 20241231})
        exec(QStringLiteral("evnt"),
             QStringLiteral("insert into reserv (resdate, restime) values (?, '00:00')"), {date});
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
        const auto range =
            module->checks.askDateRange(QStringLiteral("Purge Calendar Data"), c.use);
        ASSERT_EQ(range.has_value(), c.range.has_value()) << c.rule;
        if (range) {
            EXPECT_EQ(std::pair(range->from, range->to), *c.range) << c.rule;
        }
        EXPECT_EQ(prompts.messageTexts().join(QString()), QString::fromLatin1(c.message)) << c.rule;
    }
    EXPECT_EQ(prompts.inputs.first().title, QStringLiteral("FROM Date - Purge Calendar Data"));
}

TEST_F(EntryChecksTest, MemberNumberDescribesTheAccount) {
    exec(QStringLiteral("master"),
         QStringLiteral("update acctinfo set suspended = 1, terminated = 1, taxexempt = 1 "
                        "where acctnumber = 1001"));
    const QString name =
        scalar(QStringLiteral("master"),
               QStringLiteral("select lname from acctinfo where acctnumber = 1001"))
            .toString()
            .trimmed();
    const QString first =
        scalar(QStringLiteral("master"),
               QStringLiteral("select fname from acctinfo where acctnumber = 1001"))
            .toString()
            .trimmed();
    const QString classCode =
        scalar(QStringLiteral("master"),
               QStringLiteral("select classcode from acctinfo where acctnumber = 1001"))
            .toString();
    const QString classText =
        scalar(QStringLiteral("master"),
               QStringLiteral("select description from classcode where classcode = ?"), {classCode})
            .toString();

    // Typed with cents, and stored a hair away from the typed number.
    exec(QStringLiteral("master"),
         QStringLiteral("update acctinfo set acctnumber = 1001.0004 where acctnumber = 1001"));
    EXPECT_EQ(module->checks.checkMember(QStringLiteral(" 1001.00 ")).description,
              name + QStringLiteral(", ") + first +
                  QStringLiteral(" TaxExempt SUSPENDED TERMINATED"));
    EXPECT_EQ(module->checks.TaxExemptFlag, 1);
    EXPECT_EQ(module->checks.TerminatedFlag, 1);
    EXPECT_EQ(clipboard.content, classCode + QLatin1Char('-') + classText);
    EXPECT_TRUE(prompts.messages.isEmpty());

    // The next account's flags are its own, not the last one's.
    const QString next =
        scalar(QStringLiteral("master"),
               QStringLiteral("select min(acctnumber) from acctinfo where taxexempt = 0 and "
                              "suspended = 0 and terminated = 0"))
            .toString();
    EXPECT_FALSE(
        module->checks.checkMember(next).description.contains(QStringLiteral("TaxExempt")));
    EXPECT_EQ(module->checks.TaxExemptFlag, 0);
    EXPECT_EQ(module->checks.TerminatedFlag, 0);
}

TEST_F(EntryChecksTest, UnknownMemberNumberAsksToRedo) {
    module->checks.TerminatedFlag = 1;
    clipboard.content = QStringLiteral("old");
    prompts.expectError();
    EXPECT_EQ(module->checks.checkMember(QStringLiteral("99")).outcome,
              MemberCheck::Outcome::Unknown);
    EXPECT_EQ(module->checks.TerminatedFlag, 0);
    EXPECT_EQ(clipboard.content, QString());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Invalid member number!"));
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Member # Check"));
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Critical);

    // Nothing typed: nothing happens.
    prompts.clear();
    EXPECT_EQ(module->checks.checkMember(QStringLiteral("abc")).outcome,
              MemberCheck::Outcome::NoNumber);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
