#include "calendar/RoomBuffers.h"

#include "EventFixture.h"
#include "storage/Databases.h"

using namespace Qt::StringLiterals;

namespace {

class RoomBuffersTest : public EventFixture {
protected:
    DatabasePtr open() { return std::move(module->databases.open(u"evnt"_s).value()); }
    QStringList spans(int date, const RoomBuffer &buffer, int except = 0) {
        QStringList texts;
        const auto turnovers = RoomBuffers::around(*open(), 1, date, buffer, except);
        for (const auto &t : *turnovers)
            texts << u"%1 %2 %3-%4"_s.arg(t.title, t.clearing ? u"clear"_s : u"set"_s,
                                          t.from.toString(u"dd HH:mm"_s),
                                          t.to.toString(u"dd HH:mm"_s));
        return texts;
    }
};

TEST_F(RoomBuffersTest, TurnoversComeFromTheRowsAndTheSettingsAndCautionABookingInThem) {
    ASSERT_EQ(book(u"20270612"_s, u"Hawthorne Wedding"_s, u"18:00"_s, u"CLOSE"_s, 1, 4),
              EventRecord::Saved::Done);
    ASSERT_EQ(book(u"20270613"_s, u"Members' Breakfast"_s, u"08:00"_s, u"10:00"_s, 1, 2),
              EventRecord::Saved::Done);
    const int breakfast = lastNumber;
    ASSERT_EQ(book(u"20270613"_s, u"Enquiry"_s, u"12:00"_s, u"13:00"_s, 1, 1),
              EventRecord::Saved::Done);

    // Set and read back; a setting that is not minutes counts as none.
    ASSERT_TRUE(RoomBuffers::write(*open(), 1, {30, 60}).ok());
    exec(u"evnt"_s, u"insert into roomsetting (roomnum, name, value) values (3, 'setupminutes', "
                    "'abc'), (3, 'clearminutes', '2000')"_s);
    const auto buffers = *RoomBuffers::read(*open());
    EXPECT_EQ(buffers.keys(), QList<int>{1});
    const RoomBuffer ballroom = buffers.value(1);
    EXPECT_EQ(std::pair(ballroom.before, ballroom.after), std::pair(30, 60));
    for (const auto &[typed, why] :
         {std::pair{"45", ""}, std::pair{"", ""},
          std::pair{"-5", "\"-5\" is not a number of minutes from 0 to 720."},
          std::pair{"721", "\"721\" is not a number of minutes from 0 to 720."},
          std::pair{"1.5", "\"1.5\" is not a number of minutes from 0 to 720."}})
        EXPECT_EQ(RoomBuffers::refusal(QString::fromLatin1(typed)), QString::fromLatin1(why));

    // The wedding's clearing runs past midnight into the next day; an
    // enquiry holds no room and has none.
    EXPECT_EQ(spans(20270613, ballroom),
              (QStringList{u"Hawthorne Wedding clear 13 00:00-13 01:00"_s,
                           u"Members' Breakfast set 13 07:30-13 08:00"_s,
                           u"Members' Breakfast clear 13 10:00-13 11:00"_s}));
    EXPECT_EQ(spans(20270612, ballroom), QStringList{u"Hawthorne Wedding set 12 17:30-12 18:00"_s})
        << "its clearing begins at the next midnight";
    EXPECT_EQ(spans(20270613, ballroom, breakfast).size(), 1) << "the event being moved";
    EXPECT_TRUE(spans(20270613, RoomBuffer()).isEmpty());

    const QList<RoomBuffers::Turnover> turnovers =
        *RoomBuffers::around(*open(), 1, 20270613, ballroom);
    const auto caution = [&](const char *from, const char *to) {
        return RoomBuffers::caution(
            turnovers, u"Grand Ballroom"_s,
            QDateTime(QDate(2027, 6, 13), QTime::fromString(QLatin1String(from), u"HH:mm"_s)),
            QDateTime(QDate(2027, 6, 13), QTime::fromString(QLatin1String(to), u"HH:mm"_s)));
    };
    EXPECT_EQ(caution("00:30", "02:00"),
              u"The Grand Ballroom is being cleared after the Hawthorne Wedding until 01:00."_s);
    EXPECT_EQ(caution("06:00", "07:45"),
              u"The Grand Ballroom is being set for the Members' Breakfast from 07:30."_s);
    EXPECT_EQ(caution("01:00", "07:30"), QString()) << "touching a turnover is no clash";
    EXPECT_EQ(caution("11:00", "12:30"), QString());

    // Nothing set is no buffer again.
    ASSERT_TRUE(RoomBuffers::write(*open(), 1, {}).ok());
    EXPECT_TRUE(RoomBuffers::read(*open())->isEmpty());
}

} // namespace
