#include "calendar/CalendarMaintenance.h"

#include "CalendarChecks.h"
#include "EventFixture.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

class CalendarMaintenanceTest : public EventFixture {
protected:
    void SetUp() override {
        EventFixture::SetUp();
        programs.available << u"prinzel.exe"_s;
        QFile layout(path(u"evntcon1.rpt"_s));
        ASSERT_TRUE(layout.open(QIODevice::WriteOnly));
    }

    void answerDates(const char *from, const char *to) {
        prompts.answerInput(QString::fromLatin1(from));
        prompts.answerInput(QString::fromLatin1(to));
    }
    int calendarRows(const QString &condition = u"1 = 1"_s) {
        return scalar(u"evnt"_s, u"select count(*) from reserv where "_s + condition).toInt();
    }
    // Runs the purge with the dates typed and the answers given.
    void purge(const char *from, const char *to, std::initializer_list<bool> answers) {
        answerDates(from, to);
        for (bool yes : answers)
            prompts.answerYesNo(yes);
        CalendarMaintenance(*module).PurgeCalendar();
    }
    // The conflict report's rows as "date time event1 room1 / event2 room2".
    QStringList conflicts(const char *from, const char *to) {
        answerDates(from, to);
        CalendarMaintenance(*module).RoomConflictReport();
        QStringList rows;
        auto db = module->databases.openLocalFile(path(u"rpt00.mdb"_s));
        EXPECT_TRUE(db.ok());
        auto query = db.value()->exec(
            u"select resdate, restime, event1, room1, event2, room2 from eventreserv"_s);
        while (query && query->next())
            rows << u"%1 %2 %3 %4 / %5 %6"_s.arg(
                query->value(0).toString(), query->value(1).toString(), query->value(2).toString(),
                query->value(3).toString(), query->value(4).toString(), query->value(5).toString());
        return rows;
    }
};

TEST_F(CalendarMaintenanceTest, PurgeDeletesTheRangesCalendarRowsOnly) {
    ASSERT_EQ(book(u"20270115"_s, u"Gala"_s, u"18:00"_s, u"19:00"_s, 1), EventRecord::Saved::Done);
    const int events = this->events();
    const QVariant accountRange = module->config.RangeFrom;
    const int before = calendarRows();

    // No at the first or the last warning: nothing goes. Mistyped dates are
    // the entry checks' business.
    purge("20270101", "20270131", {false});
    purge("20270101", "20270131", {true, false});
    EXPECT_EQ(calendarRows(), before);

    prompts.clear();
    purge("20270131", "20270101", {true, true}); // the earlier date comes first
    ASSERT_EQ(prompts.questions.size(), 2);
    EXPECT_EQ(prompts.questions[0].title, u"*** EXTREME CAUTION ADVISED ***"_s);
    EXPECT_TRUE(prompts.questions[0].text.contains(
        u"Purge from: 20270101   to: 20270131\r\n\r\nClick YES"_s));
    EXPECT_EQ(prompts.questions[1].title, u" *** CONFIRM PURGE??? ***"_s);
    // Before the last question: the bookings still to come that lose their cells.
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().text,
              u"1 booked event (status 2 to 5) dated after today will lose its "
              "calendar cells, and will no longer show on the calendar:\r\n\r\n"
              "#%1  20270115  Gala"_s.arg(lastNumber));
    EXPECT_EQ(calendarRows(), before - 2976) << "31 days of 96 quarter-hours";
    EXPECT_EQ(calendarRows(u"resdate between 20270101 and 20270131"_s), 0);
    EXPECT_EQ(calendarRows(u"resdate = 20270201 and restime = '00:00'"_s), 1);
    EXPECT_EQ(this->events(), events) << "events stay";
    EXPECT_EQ(QVariant(module->config.RangeFrom), accountRange) << "account range untouched";

    // Only the administrator may purge, whatever calls it.
    signIn(90);
    CalendarMaintenance(*module).PurgeCalendar();
    EXPECT_EQ(calendarRows(), before - 2976);
}

TEST_F(CalendarMaintenanceTest, ConflictsPairEachRoomWithTheRoomItIsPartOf) {
    // Rooms 2 and 4 are parts of room 1; room 3 names itself, room 5 a room
    // that does not exist: neither is compared, and neither is an error.
    for (const auto &[number, subdiv] : {std::pair{4, 1}, std::pair{5, 0}}) {
        RoomEditor rooms(*module);
        rooms.OpenRoomEditor(true);
        rooms.editBox(RoomEditor::NameBox, u"Section %1"_s.arg(number));
        rooms.editBox(RoomEditor::CapacityBox, u"20"_s);
        rooms.editBox(RoomEditor::SubdivisionBox, QString::number(subdiv));
        rooms.RoomButton(RoomEditor::AddRoom);
    }
    exec(u"evnt"_s, u"update location set subdiv = 3 where roomnum = 3"_s);
    exec(u"evnt"_s, u"update location set subdiv = 99 where roomnum = 5"_s);
    const auto bookAt = [&](int room, const char *start, const char *end, const char *title) {
        EXPECT_EQ(book(u"20270320"_s, QString::fromLatin1(title), QString::fromLatin1(start),
                       QString::fromLatin1(end), room),
                  EventRecord::Saved::Done);
        return lastNumber;
    };
    // A booking ends before its end time: 18:00 to 19:00 holds 18:00 to 18:45.
    const int whole = bookAt(1, "18:00", "19:00", "Gala");
    prompts.answerYesNo(true); // each part's overlap was accepted at its save
    const int east = bookAt(2, "18:30", "19:15", "Toast");
    prompts.answerYesNo(true);
    const int section = bookAt(4, "18:45", "19:30", "Band");
    bookAt(3, "18:00", "19:00", "Library");
    prompts.clear();

    const QStringList rows = conflicts("20270301", "20270331");
    const QString gala = u"20270320 %2 %1 Gala / "_s.arg(whole);
    EXPECT_EQ(rows, (QStringList{gala.arg(u"18:30"_s) + u"%1 Toast"_s.arg(east),
                                 gala.arg(u"18:45"_s) + u"%1 Toast"_s.arg(east),
                                 gala.arg(u"18:45"_s) + u"%1 Band"_s.arg(section)}))
        << "rooms 2 and 4 overlap from 18:45 too, but parts are not compared with each other";
    EXPECT_EQ(programs.inputs.size(), 1);
    EXPECT_TRUE(programs.inputs.last().contains(u"ReportFileName=evntcon1.rpt~"_s));
    EXPECT_TRUE(programs.inputs.last().contains(u"\nDataFiles(0)=rpt00.mdb~"_s));
    auto report = module->databases.openLocalFile(path(u"rpt00.mdb"_s));
    auto heading = report.value()->exec(u"select ctlauxtitle from headings"_s);
    ASSERT_TRUE(heading && heading->next());
    EXPECT_EQ(heading->value(0).toString(), u"from 03/01/2027 to 03/31/2027"_s);

    // No room at all: said so, nothing printed.
    exec(u"evnt"_s, u"delete from location"_s);
    conflicts("20270301", "20270331");
    EXPECT_EQ(lastShown(prompts), u"Oops...: No rooms are defined yet."_s);
    EXPECT_EQ(programs.inputs.size(), 1);
}

} // namespace
