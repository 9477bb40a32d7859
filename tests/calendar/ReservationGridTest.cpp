#include "calendar/ReservationGrid.h"

#include "CalendarClub.h"

using namespace Qt::StringLiterals;

namespace {

// Two rooms and 2025 set up. A room added to an open grid is the main
// window calendar test's.
class ReservationGridTest : public CalendarClub {
protected:
    void SetUp() override {
        CalendarClub::SetUp();
        addRoom(u"Grand Ballroom"_s, 240);
        addRoom(u"Terrace"_s, 80);
        fillYear(2025);
        grid = std::make_unique<ReservationGrid>(module->access, module->config);
        grid->setRooms(rooms());
        QObject::connect(grid.get(), &ReservationGrid::status,
                         [this](const QString &text) { help = text; });
        QObject::connect(grid.get(), &ReservationGrid::slotSelected,
                         [this](int date, const QString &time) {
                             selected = QString::number(date) + QLatin1Char(' ') + time;
                         });
        QObject::connect(grid.get(), &ReservationGrid::eventRequested,
                         [this](int number) { requested << number; });
    }
    int column(const QString &name) const {
        for (int i = 0; i < grid->columns.size(); ++i) {
            if (grid->columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    int row(const QString &time) const {
        for (int i = 0; i < grid->rowCount(); ++i) {
            if (grid->time(i) == time)
                return i;
        }
        return -1;
    }

    std::unique_ptr<ReservationGrid> grid;
    QString help;
    QString selected;
    QList<int> requested;
};

TEST_F(ReservationGridTest, ADayHasItsSlotsAndACaptionPerRoomAndAYearNotSetUpOpensNothing) {
    module->config.DayStartTime = u"08:00"_s;
    module->config.DayEndTime = u"22:00"_s;
    EXPECT_FALSE(grid->open(20260301, 20260301));
    EXPECT_FALSE(grid->isOpen());
    ASSERT_TRUE(grid->open(20250704, 20250704));
    EXPECT_EQ(grid->rowCount(), 14 * 4 + 1);
    EXPECT_EQ(grid->time(0), u"08:00"_s);
    EXPECT_EQ(grid->time(grid->rowCount() - 1), u"22:00"_s);
    EXPECT_EQ(grid->date(0), 20250704);
    QStringList captions;
    for (const auto &column : grid->columns) {
        if (column.visible)
            captions << column.caption;
    }
    EXPECT_EQ(captions, (QStringList{u"Date"_s, u"Time"_s, u"Grand Ballroom"_s, u"Terrace"_s}));
    EXPECT_FALSE(grid->columns[column(u"Event1"_s)].visible);

    // Several days read in date and time order.
    ASSERT_TRUE(grid->open(20250701, 20250731));
    EXPECT_EQ(grid->rowCount(), 31 * 57);
    EXPECT_EQ(grid->date(57), 20250702);
    EXPECT_EQ(grid->time(57), u"08:00"_s);

    EXPECT_FALSE(grid->open(20260301, 20260301));
    EXPECT_EQ(grid->date(0), 20250701) << "the open days stay";
    grid->close();
    EXPECT_FALSE(grid->isOpen());
    EXPECT_EQ(grid->rowCount(), 0);
}

TEST_F(ReservationGridTest, ClickingASlotTellsItsBookingAndDoubleClickingOpensTheEvent) {
    addEvent(1234, 20250704, u"Smith \"Gala\" Ünïcødé"_s, u"10:00"_s, u"12:00"_s, 4, 2);
    addEvent(77, 20250704, u"Jo"_s, u"09:00"_s, u"09:30"_s, 2, 1);
    // A released slot keeps a blank.
    exec(u"evnt"_s,
         u"update reserv set Event1 = 0, Room1 = ' ' where resdate = ? and restime = ?"_s,
         {20250704, u"13:00"_s});
    ASSERT_TRUE(grid->open(20250704, 20250704));
    const int room1 = column(u"Room1"_s);
    const int room2 = column(u"Room2"_s);

    grid->selectSlot(row(u"10:30"_s), room2);
    EXPECT_EQ(help, u"Event # 1234 - Smith \"Gala\" Ünïcødé"_s);
    EXPECT_EQ(selected, u"20250704 10:30"_s);
    // The end slot is free for the next booking; two characters or fewer read as open.
    for (const auto &[time, room] :
         {std::pair{u"12:00"_s, room2}, {u"13:00"_s, room1}, {u"09:15"_s, room1}}) {
        help.clear();
        grid->selectSlot(row(time), room);
        EXPECT_EQ(help, u"Open"_s) << time.toStdString();
    }
    EXPECT_EQ(selected, u"20250704 09:15"_s);

    grid->openSlot(row(u"11:45"_s), room2);
    grid->openSlot(row(u"09:00"_s), room1);
    grid->openSlot(row(u"12:00"_s), room2);
    grid->openSlot(row(u"13:00"_s), room1);
    grid->openSlot(row(u"10:00"_s), column(u"restime"_s));
    EXPECT_EQ(requested, (QList<int>{1234, 77}));
}

} // namespace
