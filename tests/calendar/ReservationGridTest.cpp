#include "calendar/ReservationGrid.h"

#include "CalendarClub.h"

namespace {

class ReservationGridTest : public CalendarClub {
protected:
    void SetUp() override {
        CalendarClub::SetUp();
        addRoom(QStringLiteral("Grand Ballroom"), 240);
        addRoom(QStringLiteral("Terrace"), 80);
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
    QStringList shownCaptions() const {
        QStringList captions;
        for (const auto &column : grid->columns) {
            if (column.visible)
                captions << column.caption;
        }
        return captions;
    }

    std::unique_ptr<ReservationGrid> grid;
    QString help;
    QString selected;
    QList<int> requested;
};

TEST_F(ReservationGridTest, ADayHasItsSlotsAndACaptionPerRoom) {
    module->config.DayStartTime = QStringLiteral("08:00");
    module->config.DayEndTime = QStringLiteral("22:00");
    ASSERT_TRUE(grid->open(20250704, 20250704));
    EXPECT_EQ(grid->rowCount(), 14 * 4 + 1);
    EXPECT_EQ(grid->time(0), QStringLiteral("08:00"));
    EXPECT_EQ(grid->time(grid->rowCount() - 1), QStringLiteral("22:00"));
    EXPECT_EQ(grid->date(0), 20250704);
    EXPECT_EQ(shownCaptions(),
              (QStringList{QStringLiteral("Date"), QStringLiteral("Time"),
                           QStringLiteral("Grand Ballroom"), QStringLiteral("Terrace")}));
    EXPECT_FALSE(grid->columns[column(QStringLiteral("Event1"))].visible);

    // A new room's columns appear in the open grid, captioned.
    addRoom(QStringLiteral("Library"), 20);
    grid->setRooms(rooms());
    EXPECT_EQ(shownCaptions().last(), QStringLiteral("Library"));
    EXPECT_EQ(grid->columns.last().tooltip, QStringLiteral("3 - Library  -  cap:20"));
    EXPECT_EQ(grid->rows[0].size(), grid->columns.size());

    // Several days read in date and time order.
    ASSERT_TRUE(grid->open(20250701, 20250731));
    EXPECT_EQ(grid->rowCount(), 31 * 57);
    EXPECT_EQ(grid->date(57), 20250702);
    EXPECT_EQ(grid->time(57), QStringLiteral("08:00"));
}

TEST_F(ReservationGridTest, ADayOfAYearNotSetUpOpensNothing) {
    EXPECT_FALSE(grid->open(20260301, 20260301));
    EXPECT_FALSE(grid->isOpen());
    ASSERT_TRUE(grid->open(20250301, 20250301));
    EXPECT_FALSE(grid->open(20260301, 20260301));
    EXPECT_TRUE(grid->isOpen());
    EXPECT_EQ(grid->date(0), 20250301) << "the open day stays";
    grid->close();
    EXPECT_FALSE(grid->isOpen());
    EXPECT_EQ(grid->rowCount(), 0);
}

TEST_F(ReservationGridTest, ClickingASlotTellsItsBookingAndDoubleClickingOpensTheEvent) {
    addEvent(1234, 20250704, QStringLiteral("Smith \"Gala\" Ünïcødé"), QStringLiteral("10:00"),
             QStringLiteral("12:00"), 4, 2);
    addEvent(77, 20250704, QStringLiteral("Jo"), QStringLiteral("09:00"), QStringLiteral("09:30"),
             2, 1);
    // A released slot keeps a blank.
    exec(QStringLiteral("evnt"),
         QStringLiteral("update reserv set Event1 = 0, Room1 = ' ' where resdate = ? and "
                        "restime = ?"),
         {20250704, QStringLiteral("13:00")});
    ASSERT_TRUE(grid->open(20250704, 20250704));
    const int room2 = column(QStringLiteral("Room2"));

    grid->selectSlot(row(QStringLiteral("10:30")), room2);
    EXPECT_EQ(help, QStringLiteral("Event # 1234 - Smith \"Gala\" Ünïcødé"));
    EXPECT_EQ(selected, QStringLiteral("20250704 10:30"));
    grid->selectSlot(row(QStringLiteral("12:00")), room2);
    EXPECT_EQ(help, QStringLiteral("Open")) << "the end slot is free for the next booking";
    EXPECT_EQ(selected, QStringLiteral("20250704 12:00"));
    grid->selectSlot(row(QStringLiteral("13:00")), column(QStringLiteral("Room1")));
    EXPECT_EQ(help, QStringLiteral("Open"));
    // Two characters or fewer read as open.
    grid->selectSlot(row(QStringLiteral("09:15")), column(QStringLiteral("Room1")));
    EXPECT_EQ(help, QStringLiteral("Open"));

    grid->openSlot(row(QStringLiteral("11:45")), room2);
    grid->openSlot(row(QStringLiteral("09:00")), column(QStringLiteral("Room1")));
    grid->openSlot(row(QStringLiteral("12:00")), room2);
    grid->openSlot(row(QStringLiteral("13:00")), column(QStringLiteral("Room1")));
    grid->openSlot(row(QStringLiteral("10:00")), column(QStringLiteral("restime")));
    EXPECT_EQ(requested, (QList<int>{1234, 77}));
}

} // namespace
