#include "events/RepeatRule.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Kind = RepeatRule::Kind;

QString dates(const QList<QDate> &list) {
    QStringList texts;
    for (const QDate &date : list)
        texts << date.toString(u"yyyyMMdd"_s);
    return texts.join(u' ');
}

TEST(RepeatRule, RulesExpandAcrossMonthEndsLeapYearsAndYearEnds) {
    struct Case {
        const char *what;
        QDate original;
        RepeatRule rule;
        const char *dates;   // the copies, or the refusal
        const char *skipped; // months passed over
    };
    const auto rule = [](Kind kind, int every, QList<int> weekdays, int count,
                         QDate until = QDate(), QList<QDate> picked = {}) {
        RepeatRule made;
        made.kind = kind;
        made.every = every;
        made.weekdays = weekdays;
        made.count = count;
        made.until = until;
        made.picked = picked;
        return made;
    };
    const Case cases[] = {
        // The Rotary's Wednesday lunch, ten more weeks, over the year's end.
        {"weekly over the year end", QDate(2026, 12, 9), rule(Kind::Weeks, 1, {}, 10),
         "20261216 20261223 20261230 20270106 20270113 20270120 20270127 20270203 20270210 "
         "20270217",
         ""},
        {"every other week on two days", QDate(2027, 3, 3), rule(Kind::Weeks, 2, {5, 3}, 5),
         "20270305 20270317 20270319 20270331 20270402", ""},
        {"weekly until a date, inclusive", QDate(2027, 3, 3),
         rule(Kind::Weeks, 1, {3}, 0, QDate(2027, 3, 24)), "20270310 20270317 20270324", ""},
        {"every 10 days over February of a leap year", QDate(2028, 2, 10),
         rule(Kind::Days, 10, {}, 3), "20280220 20280301 20280311", ""},
        {"monthly on the 31st skips the short months", QDate(2027, 1, 31),
         rule(Kind::MonthlyByDate, 1, {}, 3), "20270331 20270531 20270731", "202702 202704 202706"},
        {"29 February monthly", QDate(2028, 2, 29), rule(Kind::MonthlyByDate, 1, {}, 2),
         "20280329 20280429", ""},
        {"29 February every twelve months is every leap year", QDate(2028, 2, 29),
         rule(Kind::MonthlyByDate, 12, {}, 2), "20320229 20360229",
         "202902 203002 203102 203302 203402 203502"},
        {"the second Wednesday", QDate(2027, 1, 13), rule(Kind::MonthlyByWeekday, 1, {}, 3),
         "20270210 20270310 20270414", ""},
        {"the fifth Friday only where a month has one", QDate(2027, 1, 29),
         rule(Kind::MonthlyByWeekday, 1, {}, 2, QDate()), "20270430 20270730",
         "202702 202703 202705 202706"},
        {"picked dates, sorted, the original's own left out", QDate(2027, 5, 1),
         rule(Kind::Picked, 1, {}, 0, QDate(),
              {QDate(2027, 6, 1), QDate(2027, 5, 1), QDate(2027, 4, 1), QDate(2027, 6, 1)}),
         "20270401 20270601", ""},
        // What cannot be saved is refused as a whole.
        {"no end", QDate(2027, 5, 1), rule(Kind::Weeks, 1, {}, 0),
         "Say when the repeats end: a number of times or a last date.", ""},
        {"an end before the start", QDate(2027, 5, 1),
         rule(Kind::Days, 1, {}, 0, QDate(2027, 4, 30)),
         "The last date, 04/30/2027, is not after the event's own date, 05/01/2027.", ""},
        {"no date at all", QDate(2027, 5, 31),
         rule(Kind::MonthlyByDate, 1, {}, 0, QDate(2027, 6, 30)),
         "The rule gives no date after the original.", ""},
        {"500 dates", QDate(2027, 1, 1), rule(Kind::Days, 1, {}, 500),
         "At most 120 repeats are made at once.", ""},
        {"a year of days", QDate(2027, 1, 1), rule(Kind::Days, 1, {}, 0, QDate(2027, 12, 31)),
         "The rule gives more than 120 dates; at most 120 repeats are made at once.", ""},
        {"every 0 weeks", QDate(2027, 1, 1), rule(Kind::Weeks, 0, {}, 3),
         "Repeat every 1 to 99 weeks.", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto expanded = c.rule.expand(c.original);
        if (const auto *why = std::get_if<QString>(&expanded)) {
            EXPECT_EQ(*why, QString::fromLatin1(c.dates));
            continue;
        }
        const auto &found = std::get<RepeatRule::Expansion>(expanded);
        EXPECT_EQ(dates(found.dates), QString::fromLatin1(c.dates));
        QStringList months;
        for (const QDate &month : found.skippedMonths)
            months << month.toString(u"yyyyMM"_s);
        EXPECT_EQ(months.join(u' '), QString::fromLatin1(c.skipped));
    }
}

TEST(RepeatRule, DescriptionsSayTheRuleInWords) {
    RepeatRule weekly;
    weekly.weekdays = {3, 5};
    weekly.every = 2;
    weekly.count = 10;
    EXPECT_EQ(weekly.describe(), u"Every 2 weeks on Wednesday and Friday, 10 times"_s);
    RepeatRule monthly;
    monthly.kind = Kind::MonthlyByWeekday;
    monthly.until = QDate(2027, 12, 31);
    EXPECT_EQ(monthly.describe(),
              u"Every month on the same weekday of the month until 12/31/2027"_s);
}

} // namespace
