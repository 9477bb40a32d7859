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

    const QList<RoomBuffers::Booked> others = *RoomBuffers::near(*open(), 1, 20270613);
    const auto at = [](const char *time) {
        return QDateTime(QDate(2027, 6, 13), QTime::fromString(QLatin1String(time), u"HH:mm"_s));
    };
    // Into another's turnover, or another inside this one's own; touching
    // is no clash.
    for (const auto &[from, to, buffer, expected] : {
             std::tuple{"00:30", "02:00", ballroom,
                        "The Grand Ballroom is being cleared after the Hawthorne Wedding until "
                        "01:00."},
             {"06:00", "07:45", ballroom,
              "The Grand Ballroom is being set for the Members' Breakfast from 07:30."},
             {"01:00", "06:30", ballroom, ""},
             {"11:00", "12:30", ballroom, ""},
             {"05:00", "07:00", RoomBuffer{0, 90},
              "The Grand Ballroom needs 90 minutes to be cleared after this booking, and the "
              "Members' Breakfast begins at 08:00."},
             {"10:30", "11:30", RoomBuffer{45, 0},
              "The Grand Ballroom needs 45 minutes to be set before this booking, and the "
              "Members' Breakfast runs until 10:00."},
             {"10:45", "11:30", RoomBuffer{45, 0}, ""},
             {"10:30", "11:30", RoomBuffer(), ""},
         })
        EXPECT_EQ(RoomBuffers::caution(others, buffer, u"Grand Ballroom"_s, at(from), at(to)),
                  QString::fromLatin1(expected))
            << from << "-" << to;

    // Nothing set is no buffer again.
    ASSERT_TRUE(RoomBuffers::write(*open(), 1, {}).ok());
    EXPECT_TRUE(RoomBuffers::read(*open())->isEmpty());
}

// The save asks before booking into a turnover, or letting one reach
// another booking, and asks an event that stays where it is nothing.
TEST_F(RoomBuffersTest, ASaveIntoATurnoverAsksFirstAndAnUnmovedEventIsNotAskedAgain) {
    ASSERT_TRUE(RoomBuffers::write(*open(), 1, {0, 60}).ok());
    ASSERT_EQ(book(u"20270612"_s, u"Hawthorne Wedding"_s, u"18:00"_s, u"22:00"_s, 1, 4),
              EventRecord::Saved::Done);
    const int wedding = lastNumber;
    const auto asked = [&] {
        const QString text =
            prompts.questions.isEmpty() ? QString() : prompts.questions.last().text;
        prompts.clear();
        return text.section(u"\r\n"_s, 0, 0);
    };

    prompts.answerYesNo(false);
    EXPECT_EQ(book(u"20270612"_s, u"Late Supper"_s, u"22:30"_s, u"23:30"_s, 1),
              EventRecord::Saved::Declined);
    EXPECT_EQ(
        asked(),
        u"Caution - The Ballroom is being cleared after the Hawthorne Wedding until 23:00."_s);
    EXPECT_EQ(events(), 1) << "declined, nothing written";
    EXPECT_EQ(cells(1, 20270612).size(), 16);

    prompts.answerYesNo(true);
    ASSERT_EQ(book(u"20270612"_s, u"Late Supper"_s, u"22:30"_s, u"23:30"_s, 1),
              EventRecord::Saved::Done);
    const int supper = lastNumber;
    EXPECT_FALSE(asked().isEmpty());
    EXPECT_EQ(cells(1, 20270612).size(), 20) << "its own cells only; the buffer holds none";

    // Changed where it stands: nothing asked.
    ASSERT_TRUE(record->LoadEvent(supper));
    module->event.fields[EventField::Title] = u"Late Supper (buffet)"_s;
    module->event.UnsavedChanges = true;
    EXPECT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(asked(), QString());

    // Moved, the wedding's own clearing would reach the supper.
    ASSERT_TRUE(record->LoadEvent(wedding));
    module->event.fields[EventField::Start] = u"17:30"_s;
    module->event.fields[EventField::End] = u"21:45"_s;
    module->event.UnsavedChanges = true;
    prompts.answerYesNo(true);
    EXPECT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(asked(), u"Caution - The Ballroom needs 60 minutes to be cleared after this "
                       "booking, and the Late Supper (buffet) begins at 22:30."_s);

    // A room without a buffer asks nothing.
    EXPECT_EQ(book(u"20270612"_s, u"Library Talk"_s, u"21:45"_s, u"22:30"_s, 3),
              EventRecord::Saved::Done);
    EXPECT_EQ(asked(), QString());
}

} // namespace
