#include "calendar/SlotBooking.h"

#include "Fuzz.h"

#include <QTime>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using namespace SlotBooking;

TEST(SlotBooking, TimeListsRunFromTheFirstHourAndSkipThePartOfTheLastHour) {
    const TimeLists lists = BuildTimeLists(u"00:00"_s, u"23:45"_s);
    EXPECT_EQ(lists.start.first(), u"00:00       00:00 AM"_s);
    EXPECT_TRUE(lists.start.contains(u"12:30       12:30 PM"_s));
    EXPECT_TRUE(lists.start.contains(u"13:15       01:15 PM"_s));
    EXPECT_EQ(lists.start.size(), 23 * 4 + 1);
    EXPECT_EQ(lists.start.last(), u"23:45       11:45 PM"_s);
    EXPECT_FALSE(lists.start.contains(u"23:00       11:00 PM"_s))
        << "23:00 to 23:30 are not offered";
    EXPECT_EQ(lists.end.mid(0, lists.start.size()), lists.start);
    EXPECT_EQ(lists.end.last(), u"CLOSE"_s);

    const TimeLists day = BuildTimeLists(u"06:00"_s, u"22:00"_s);
    EXPECT_EQ(day.start.first(), u"06:00       06:00 AM"_s);
    EXPECT_EQ(day.start.last(), u"22:00       10:00 PM"_s);
}

TEST(SlotBooking, AnEndMustFollowAChosenStart) {
    const auto at = [](const char *time) {
        return QString::fromLatin1(time) + u"       x"_s;
    };
    EXPECT_TRUE(endFollowsStart(u"18:00"_s, at("18:15")));
    EXPECT_FALSE(endFollowsStart(u"18:00"_s, at("18:00")));
    EXPECT_FALSE(endFollowsStart(u"18:00"_s, at("09:00")));
    EXPECT_TRUE(endFollowsStart(u"23:45"_s, u"CLOSE"_s));
    EXPECT_FALSE(endFollowsStart(QString(), u"CLOSE"_s)) << "no start chosen yet";
    EXPECT_TRUE(endFollowsStart(u"00:00"_s, at("01:00"))) << "midnight is a start";
}

TEST(SlotBooking, ALinkedRoomIsTheRoomsOwnOrTheLastOfItsParts) {
    const QList<Room> rooms{{1, u"Ballroom"_s, 200, 0},
                            {2, u"East"_s, 100, 1},
                            {3, u"West"_s, 100, 1},
                            {4, u"Library"_s, 20, 0}};
    EXPECT_EQ(linkedRoomOnChoice(rooms, 2), 1);
    EXPECT_EQ(linkedRoomOnChoice(rooms, 1), 3);
    EXPECT_EQ(linkedRoomOnChoice(rooms, 4), 0);
    EXPECT_EQ(linkedRoomOnLoad(rooms, 1), 0);
}

TEST(SlotBooking, FuzzedTimesAreAcceptedOnlyWhenTheyAreQuarterHoursOfTheClock) {
    FuzzInputs fuzz(20261207);
    const QString alphabet = u"0123456789:::CLOSEclosexAZ \t\n"_s;
    const QStringList seeds{"00:00", "12:30", "23:45", "23:59", "CLOSE", "18:07", "24:00", "9:15"};
    const int inputs = FuzzInputs::count(20000);
    for (int i = 0; i < inputs; ++i) {
        const QString text =
            fuzz.oneIn(2) ? fuzz.from(alphabet, 8) : fuzz.mutate(fuzz.pick(seeds), alphabet, 2);
        const bool isEnd = fuzz.oneIn(2);
        const TimeCheck check = checkTime(text, isEnd);
        const QTime time = QTime::fromString(text, u"HH:mm"_s);
        const bool endOfDay = isEnd && (text == QLatin1String(Close) || text == "23:59");
        const bool quarterHour = text.size() == 5 && time.isValid() && time.minute() % 15 == 0;
        EXPECT_EQ(check == TimeCheck::Valid, quarterHour || endOfDay)
            << "input " << i << (isEnd ? " (end): \"" : " (start): \"") << text.toStdString()
            << '"';
    }
}

} // namespace
