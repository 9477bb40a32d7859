#include "ClubFixture.h"

using namespace Qt::StringLiterals;

namespace {

class EntryChecksTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

// A date has eight digits: fewer have no month to judge. A refusal shows one message titled
// Brevant; the text checked is the date as read, month first turned round.
TEST_F(EntryChecksTest, DatesAreReadAndJudgedMonthThenDayOfTheMonth) {
    const char *const month = "Invalid month", *const day = "Invalid day of the month";
    const std::pair<int, const char *> cases[] = {
        {20260704, nullptr}, {12252026, nullptr}, {20280229, nullptr}, {20270229, day},
        {21000229, day},     {20000229, nullptr}, {20261301, month},   {20260015, month},
        {20260700, day},     {20260431, day},     {20261231, nullptr}, {2026125, month},
        {2026011, month},    {1012027, month},    {2021231, month},    {0, month},
        {202601011, month},  {-20260101, month}};
    for (const auto &[typed, message] : cases) {
        prompts.clear();
        const CheckedDate checked = module->checks.checkDate(typed);
        EXPECT_EQ(checked.text, typed == 12252026 ? u"20261225"_s : QString::number(typed));
        EXPECT_EQ(checked.refused, message != nullptr) << typed;
        EXPECT_EQ(prompts.messageTexts().join(u'|'), QString::fromLatin1(message)) << typed;
        EXPECT_TRUE(!message || prompts.lastMessage().title == u"Brevant"_s);
    }

    // Typed text becomes the number the date check judges.
    const std::pair<const char *, int> numbers[] = {{"20261225", 20261225},
                                                    {"12252026", 20261225},
                                                    {"02012024", 20240201},
                                                    {" 02012024 ", 20240201},
                                                    {"2026011", 2026011}};
    for (const char *none : {"00000000", "abc", "999999999999", "-20260101"})
        EXPECT_EQ(EntryChecks::dateNumber(QString::fromLatin1(none)), 0) << none;
    for (const auto &[typed, number] : numbers)
        EXPECT_EQ(EntryChecks::dateNumber(QString::fromLatin1(typed)), number) << typed;
}

TEST_F(EntryChecksTest, DateRangesPutTheEarlierDateFirstAndRefuseWhatNoCalendarDayMatches) {
    // Neither four nor eight digits: asked again.
    for (const QString &typed : {u"123"_s, u"  1231 "_s, u"0115"_s})
        prompts.answerInput(typed);
    EXPECT_EQ(module->checks.askTypedDates(u"Events by Date Range"_s),
              (TypedDates{u"20260115"_s, u"20261231"_s}));
    EXPECT_EQ(prompts.inputs[0].title, u"FROM Date - Events by Date Range"_s);
    EXPECT_EQ(prompts.inputs[0].text,
              u"Type the FROM date in YYYYMMDD format.\nWhen done, press ENTER or "
              "click OK.\n\nClick CANCEL to exit this feature."_s);
    EXPECT_EQ(prompts.inputs.value(2).title, u"TO Date - Events by Date Range"_s);

    // An empty answer cancels, at either date.
    prompts.answerInput(u"20260101"_s);
    prompts.answerInput(QString());
    EXPECT_EQ(module->checks.askTypedDates(u"Events by Date Range"_s), std::nullopt);

    // Checked: a short date or eight zeros are no date; the calendar's rows need a year the
    // calendar holds, events of a year purged from it do not.
    for (const int date : {20240101, 20241231})
        exec(u"evnt"_s, u"insert into reserv (resdate, restime) values (?, '00:00')"_s, {date});
    using enum EntryChecks::RangeFor;
    const std::tuple<const char *, const char *, EntryChecks::RangeFor, const char *> cases[] = {
        {"20241231", "20240101", CalendarRows, "20240101-20241231"},
        {"12312024", "02012024", Events, "20240201-20241231"},
        {"2024-1-1", "20241231", Events, "Invalid month"},
        {"20240101", "00000000", Events, "Invalid month"},
        {"20240101", "20240230", Events, "Invalid day of the month"},
        {"20230101", "20241231", CalendarRows,
         "20230101 is not a date of the calendar: the calendar holds no days of the year 2023."},
        {"20230101", "20241231", Events, "20230101-20241231"}};
    for (const auto &[from, to, use, outcome] : cases) {
        prompts.clear();
        prompts.answerInput(QString::fromLatin1(from));
        prompts.answerInput(QString::fromLatin1(to));
        const auto range = module->checks.askDateRange(u"Purge Calendar Data"_s, use);
        EXPECT_EQ(range ? u"%1-%2"_s.arg(range->from).arg(range->to)
                        : prompts.messageTexts().join(QString()),
                  QString::fromLatin1(outcome));
        EXPECT_TRUE(!range || prompts.messages.isEmpty()) << from;
    }
    EXPECT_EQ(prompts.inputs.first().title, u"FROM Date - Purge Calendar Data"_s);
}

TEST_F(EntryChecksTest, MemberNumberDescribesTheAccountOrAsksToRedo) {
    // Typed with cents, and stored a hair away from the typed number.
    exec(u"master"_s, u"update acctinfo set suspended = 1, terminated = 1, taxexempt = 1, "
                      "acctnumber = 1001.0004 where acctnumber = 1001"_s);
    EXPECT_EQ(module->checks.checkMember(u" 1001.00 "_s).description,
              u"Whitaker, Robert TaxExempt SUSPENDED TERMINATED"_s);
    EXPECT_EQ(module->checks.TaxExemptFlag, 1);
    EXPECT_EQ(module->checks.TerminatedFlag, 1);
    EXPECT_EQ(clipboard.content, u"FG-Full Golf"_s);

    // The next account's flags are its own, not the last one's.
    EXPECT_FALSE(module->checks.checkMember(u"1004"_s).description.contains(u"TaxExempt"_s));
    EXPECT_EQ(module->checks.TaxExemptFlag, 0);
    EXPECT_EQ(module->checks.TerminatedFlag, 0);

    // An unknown number is refused and leaves nothing of the last one; nothing typed, nothing said.
    module->checks.TerminatedFlag = 1;
    clipboard.content = u"old"_s;
    prompts.expectError();
    EXPECT_EQ(module->checks.checkMember(u"99"_s).outcome, MemberCheck::Outcome::Unknown);
    EXPECT_EQ(module->checks.TerminatedFlag, 0);
    EXPECT_EQ(clipboard.content, QString());
    EXPECT_EQ(prompts.messageTexts(), QStringList{u"Invalid member number!"_s});
    EXPECT_EQ(prompts.lastMessage().title, u"Member # Check"_s);
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Critical);
    EXPECT_EQ(module->checks.checkMember(u"abc"_s).outcome, MemberCheck::Outcome::NoNumber);
    EXPECT_EQ(prompts.messages.size(), 1);
}

} // namespace
