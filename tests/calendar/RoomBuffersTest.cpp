#include "calendar/RoomBuffers.h"

#include "EventFixture.h"
#include "calendar/ReservationGrid.h"
#include "calendar/Rooms.h"
#include "calendar/RoomsBoard.h"
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

// Whatever the bookings, the day's grid and board agree with the event rows
// and the rooms' settings: a cell is booked exactly where a booking's times
// are, and marked as being set or cleared exactly where a booking's buffer
// reaches a free one (the board shades the buffer itself). Worked out here
// from the rows and the settings in minutes, not through the code under
// test.
TEST_F(RoomBuffersTest, TheGridAndTheBoardShowEveryBookingAndItsTurnoversAsTheRowsAndSettingsSay) {
    module->config.DayStartTime = u"00:00"_s;
    module->config.DayEndTime = u"23:45"_s;
    exec(u"evnt"_s, u"insert into roomsetting (roomnum, name, value) values (1, 'setupminutes', "
                    "'30'), (1, 'clearminutes', '60'), (3, 'setupminutes', '20'), (3, "
                    "'clearminutes', '15')"_s);
    prompts.answerYesNo(true); // the talk's clearing reaches the lunch after the move
    for (const auto &[date, title, start, end, room, status] : {
             std::tuple{"20270612", "Hawthorne Wedding", "18:00", "CLOSE", 1, 4},
             {"20270613", "Members' Breakfast", "08:00", "10:00", 1, 2},
             {"20270613", "Enquiry", "12:00", "13:00", 1, 1},
             {"20270613", "Talk", "09:00", "10:30", 3, 2},
             {"20270613", "Lunch", "12:45", "14:00", 3, 3},
             {"20270614", "Early Swim Club", "00:15", "01:00", 3, 2},
         })
        ASSERT_EQ(book(QString::fromLatin1(date), QString::fromLatin1(title),
                       QString::fromLatin1(start), QString::fromLatin1(end), room, status),
                  EventRecord::Saved::Done)
            << title;
    ASSERT_TRUE(record->LoadEvent(eventNumber(u"Talk"_s)));
    module->event.fields[EventField::Start] = u"11:00"_s;
    module->event.fields[EventField::End] = u"12:30"_s;
    module->event.UnsavedChanges = true;
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);

    // Minutes from the 12th's midnight.
    const auto minutesOf = [](int date, const QString &time) {
        const int day =
            int(QDate(2027, 6, 12).daysTo(QDate::fromString(QString::number(date), u"yyyyMMdd"_s)));
        return day * 1440 + (time.trimmed() == u"CLOSE"_s
                                 ? 1440
                                 : time.left(2).toInt() * 60 + time.mid(3, 2).toInt());
    };
    QMap<int, std::pair<int, int>> buffers;
    for (const QString &row :
         rowTexts(u"evnt"_s, u"select roomnum, name, value from roomsetting"_s)) {
        const QStringList v = row.split(u'|');
        (v[1] == u"setupminutes"_s ? buffers[v[0].toInt()].first : buffers[v[0].toInt()].second) =
            v[2].toInt();
    }
    struct Span {
        int room, from, to;
    };
    QList<Span> booked, turning;
    for (const QString &row : rowTexts(u"evnt"_s, u"select roomnumber, eventdate, starttime, "
                                                  "endtime from eventinfo where status "
                                                  "between 2 and 8"_s)) {
        const QStringList v = row.split(u'|');
        const int room = v[0].toInt(), from = minutesOf(v[1].toInt(), v[2]),
                  to = minutesOf(v[1].toInt(), v[3]);
        booked << Span{room, from, to};
        turning << Span{room, from - buffers[room].first, from}
                << Span{room, to, to + buffers[room].second};
    }
    const auto within = [](const QList<Span> &spans, int room, int slot) {
        return std::any_of(spans.cbegin(), spans.cend(), [&](const Span &span) {
            return span.room == room && span.from < slot + 15 && slot < span.to;
        });
    };

    const QList<Room> rooms = *LoadRooms(module->access);
    ReservationGrid grid(module->access, module->config);
    grid.setRooms(rooms);
    RoomsBoard board(module->access, module->config);
    board.setRooms(rooms);
    int turnoverSlots = 0;
    for (const int date : {20270612, 20270613, 20270614}) {
        ASSERT_TRUE(grid.open(date, date));
        board.showDate(QDate::fromString(QString::number(date), u"yyyyMMdd"_s),
                       RoomsBoard::Span::Day);
        for (int row = 0; row < grid.rowCount(); ++row) {
            const int slot = minutesOf(date, grid.time(row));
            for (int room = 1; room <= 3; ++room) {
                const bool held = within(booked, room, slot);
                const bool turned = within(turning, room, slot);
                const QString place = u"room %1 at %2 %3"_s.arg(room).arg(date).arg(grid.time(row));
                int text = 0;
                while (grid.columns[text].room != room ||
                       grid.columns[text].kind != ReservationGrid::ColumnKind::RoomText)
                    ++text;
                EXPECT_EQ(!grid.rows[row][text].trimmed().isEmpty(), held) << place.toStdString();
                EXPECT_EQ(!grid.turnover(row, room).isEmpty(), turned && !held)
                    << place.toStdString();
                const auto &shades = board.shades();
                const int boardRow =
                    int(std::find_if(board.rows().cbegin(), board.rows().cend(),
                                     [&](const BoardRow &r) { return r.room == room; }) -
                        board.rows().cbegin());
                EXPECT_EQ(std::any_of(shades.cbegin(), shades.cend(),
                                      [&](const BoardShade &shade) {
                                          return shade.turnover && shade.row == boardRow &&
                                                 shade.firstSlot <= row && row < shade.endSlot;
                                      }),
                          turned)
                    << "board " << place.toStdString();
                turnoverSlots += turned ? 1 : 0;
            }
        }
    }
    EXPECT_GE(turnoverSlots, 20) << "the scenario reaches turnovers";
}

} // namespace
