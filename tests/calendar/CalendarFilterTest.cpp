#include "calendar/CalendarFilter.h"

#include "CalendarClub.h"

using namespace Qt::StringLiterals;

namespace {

class CalendarFilterTest : public CalendarClub {
protected:
    // The events a filter keeps, by number.
    QList<int> kept(const CalendarFilter &filter) {
        const SqlCondition condition = filter.condition(u"07:00"_s, u"23:45"_s);
        QList<int> numbers;
        for (const QVariant &number : column(u"evnt"_s,
                                             u"select eventnum from eventinfo where 1 = 1"_s +
                                                 condition.sql + u" order by eventnum"_s,
                                             condition.values))
            numbers << number.toInt();
        return numbers;
    }
};

TEST_F(CalendarFilterTest, EachChoiceKeepsTheEventsOfItsPartOfTheDayAndNoListTextReachesTheQuery) {
    const struct {
        const char *start;
        const char *end;
        int room;
    } events[] = {
        {"17:00", "18:30", 1},  // 1: ends in the evening
        {"12:00", "17:30", 1},  // 2: afternoon only
        {"11:00", "13:00", 2},  // 3: morning and afternoon
        {"10:00", "19:00", 2},  // 4: morning and evening, not afternoon
        {"06:00", "06:45", 12}, // 5: before the day starts
        {"20:00", "CLOSE", 12}, // 6: evening
        {"09:00", "CLOSE", 1},  // 7: runs to the end of the day
    };
    for (int i = 0; i < int(std::size(events)); ++i)
        addEvent(i + 1, 20250505, u"Event"_s, QLatin1String(events[i].start),
                 QLatin1String(events[i].end), 2, events[i].room);

    const struct {
        const char *times;
        const char *rooms; // all when none
        QList<int> kept;
        const char *rule;
    } rules[] = {
        {"Show All Times", nullptr, {1, 2, 3, 4, 6, 7}, "all times: between day start and end"},
        {"Show Morning Only (before Noon)", nullptr, {3, 4, 7}, "starts or ends before noon"},
        {"Show Afternoon Only (Noon - 6pm)", nullptr, {1, 2, 3}, "starts or ends noon to 17:45"},
        {"Show Evening Only (after 6pm)", nullptr, {1, 4, 6, 7}, "from 18:00, CLOSE included"},
        {"Show Something Else", nullptr, {1, 2, 3, 4, 6, 7}, "an unknown choice: all times"},
        {"Show All Times", "12 - Garden  -  cap:40 only", {6}, "a room line: its number"},
        {"Show Morning Only (before Noon)", "2 - Terrace  -  cap:80 only", {3, 4}, "both"},
    };
    for (const auto &rule : rules) {
        const CalendarFilter filter = CalendarFilter::fromLists(
            QLatin1String(rule.times), QLatin1String(rule.rooms ? rule.rooms : "Show All Rooms"));
        EXPECT_EQ(kept(filter), rule.kept) << rule.rule;
    }
    EXPECT_EQ(kept(CalendarFilter{}), (QList<int>{1, 2, 3, 4, 5, 6, 7})) << "no filter";

    // The lists' texts never reach the query.
    const QString hostile = u"1 or 1=1; drop table eventinfo; --' only"_s;
    const CalendarFilter filter = CalendarFilter::fromLists(u"Show Evening' or '1'='1"_s, hostile);
    EXPECT_EQ(filter.room, 1);
    const SqlCondition condition = filter.condition(u"00:00"_s, u"23:45"_s);
    EXPECT_FALSE(condition.sql.contains(QLatin1String("drop")));
    EXPECT_FALSE(condition.sql.contains(QLatin1Char('\'')));
    EXPECT_EQ(condition.sql.count(QLatin1Char('?')), condition.values.size());
}

} // namespace
