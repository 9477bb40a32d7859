#include "calendar/SlotBooking.h"

#include "Fuzz.h"

#include <QTime>
#include <gtest/gtest.h>

namespace {

using namespace SlotBooking;

TEST(SlotBooking, TimeListsRunFromTheFirstHourAndSkipThePartOfTheLastHour) {
    const TimeLists lists = BuildTimeLists(QStringLiteral("00:00"), QStringLiteral("23:45"));
    EXPECT_EQ(lists.start.first(), QStringLiteral("00:00       00:00 AM"));
    EXPECT_TRUE(lists.start.contains(QStringLiteral("12:30       12:30 PM")));
    EXPECT_TRUE(lists.start.contains(QStringLiteral("13:15       01:15 PM")));
    EXPECT_EQ(lists.start.size(), 23 * 4 + 1);
    EXPECT_EQ(lists.start.last(), QStringLiteral("23:45       11:45 PM"));
    EXPECT_FALSE(lists.start.contains(QStringLiteral("23:00       11:00 PM")))
        << "23:00 to 23:30 are not offered";
    EXPECT_EQ(lists.end.mid(0, lists.start.size()), lists.start);
    EXPECT_EQ(lists.end.last(), QStringLiteral("CLOSE"));

    const TimeLists day = BuildTimeLists(QStringLiteral("06:00"), QStringLiteral("22:00"));
    EXPECT_EQ(day.start.first(), QStringLiteral("06:00       06:00 AM"));
    EXPECT_EQ(day.start.last(), QStringLiteral("22:00       10:00 PM"));
}

TEST(SlotBooking, AnEndMustFollowAChosenStart) {
    const auto at = [](const char *time) {
        return QString::fromLatin1(time) + QStringLiteral("       x");
    };
    EXPECT_TRUE(endFollowsStart(QStringLiteral("18:00"), at("18:15")));
    EXPECT_FALSE(endFollowsStart(QStringLiteral("18:00"), at("18:00")));
    EXPECT_FALSE(endFollowsStart(QStringLiteral("18:00"), at("09:00")));
    EXPECT_TRUE(endFollowsStart(QStringLiteral("23:45"), QStringLiteral("CLOSE")));
    EXPECT_FALSE(endFollowsStart(QString(), QStringLiteral("CLOSE"))) << "no start chosen yet";
    EXPECT_TRUE(endFollowsStart(QStringLiteral("00:00"), at("01:00"))) << "midnight is a start";
}

TEST(SlotBooking, ALinkedRoomIsTheRoomsOwnOrTheLastOfItsParts) {
    const QList<Room> rooms{{1, QStringLiteral("Ballroom"), 200, 0},
                            {2, QStringLiteral("East"), 100, 1},
                            {3, QStringLiteral("West"), 100, 1},
                            {4, QStringLiteral("Library"), 20, 0}};
    EXPECT_EQ(linkedRoomOnChoice(rooms, 2), 1);
    EXPECT_EQ(linkedRoomOnChoice(rooms, 1), 3);
    EXPECT_EQ(linkedRoomOnChoice(rooms, 4), 0);
    EXPECT_EQ(linkedRoomOnLoad(rooms, 1), 0);
}

TEST(SlotBooking, FuzzedTimesAreAcceptedOnlyWhenTheyAreQuarterHoursOfTheClock) {
    FuzzInputs fuzz(20261207);
    const QString alphabet = QStringLiteral("0123456789:::CLOSEclosexAZ \t\n");
    const QStringList seeds{"00:00", "12:30", "23:45", "23:59", "CLOSE", "18:07", "24:00", "9:15"};
    const int inputs = FuzzInputs::count(20000);
    for (int i = 0; i < inputs; ++i) {
        const QString text =
            fuzz.oneIn(2) ? fuzz.from(alphabet, 8) : fuzz.mutate(fuzz.pick(seeds), alphabet, 2);
        const bool isEnd = fuzz.oneIn(2);
        const TimeCheck check = checkTime(text, isEnd);
        const QTime time = QTime::fromString(text, QStringLiteral("HH:mm"));
        const bool endOfDay = isEnd && (text == QLatin1String(Close) || text == "23:59");
        const bool quarterHour = text.size() == 5 && time.isValid() && time.minute() % 15 == 0;
        EXPECT_EQ(check == TimeCheck::Valid, quarterHour || endOfDay)
            << "input " << i << (isEnd ? " (end): \"" : " (start): \"") << text.toStdString()
            << '"';
    }
}

} // namespace
