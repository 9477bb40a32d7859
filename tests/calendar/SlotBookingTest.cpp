#include "calendar/SlotBooking.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Which times are valid is checked where they are typed and saved, by the
// field entry and save guard tests of events.
namespace {

using namespace SlotBooking;

TEST(SlotBooking, TimeListsRunFromTheFirstHourAndSkipThePartOfTheLastHour) {
    const TimeLists lists = BuildTimeLists(u"00:00"_s, u"23:45"_s);
    EXPECT_EQ(lists.start.first(), u"00:00       00:00 AM"_s);
    EXPECT_TRUE(lists.start.contains(u"12:30       12:30 PM"_s));
    EXPECT_TRUE(lists.start.contains(u"13:15       01:15 PM"_s));
    EXPECT_EQ(lists.start.size(), 23 * 4 + 1) << "23:00 to 23:30 are not offered";
    EXPECT_EQ(lists.start.last(), u"23:45       11:45 PM"_s);
    EXPECT_EQ(lists.end.mid(0, lists.start.size()), lists.start);
    EXPECT_EQ(lists.end.last(), u"CLOSE"_s);

    const TimeLists day = BuildTimeLists(u"06:00"_s, u"22:00"_s);
    EXPECT_EQ(day.start.first(), u"06:00       06:00 AM"_s);
    EXPECT_EQ(day.start.last(), u"22:00       10:00 PM"_s);
}

TEST(SlotBooking, AnEndMustFollowAChosenStart) {
    EXPECT_TRUE(endFollowsStart(u"18:00"_s, u"18:15       x"_s));
    EXPECT_FALSE(endFollowsStart(u"18:00"_s, u"18:00       x"_s));
    EXPECT_FALSE(endFollowsStart(u"18:00"_s, u"09:00       x"_s));
    EXPECT_TRUE(endFollowsStart(u"23:45"_s, u"CLOSE"_s));
    EXPECT_FALSE(endFollowsStart(QString(), u"CLOSE"_s)) << "no start chosen yet";
    EXPECT_TRUE(endFollowsStart(u"00:00"_s, u"01:00       x"_s)) << "midnight is a start";
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

} // namespace
