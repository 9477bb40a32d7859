#pragma once

#include "ClubFixture.h"
#include "calendar/RoomEditor.h"
#include "calendar/Rooms.h"
#include "calendar/YearSetup.h"

// A club with rooms, years and events for the calendar tests. Rooms go in
// through the room editor, years through the year set-up, and events as
// rows with their reservation cells, as a save leaves them.
class CalendarClub : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        signIn(99);
    }

    void addRoom(const QString &name, int capacity) {
        RoomEditor editor(*module);
        editor.boxes[RoomEditor::NameBox] = name;
        editor.boxes[RoomEditor::CapacityBox] = QString::number(capacity);
        editor.RoomButton(RoomEditor::AddRoom);
    }
    QList<Room> rooms() { return LoadRooms(module->access).value_or(QList<Room>()); }

    void fillYear(int year) { ASSERT_TRUE(YearSetup(*module).fillYear(year).ok()) << year; }

    // An event row, and its room's cells from start up to (not including)
    // end when the status holds a room and the room exists.
    void addEvent(int number, int date, const QString &title, const QString &start,
                  const QString &end, int status = 2, int room = 1) {
        exec(QStringLiteral("evnt"),
             QStringLiteral("insert into eventinfo (eventnum, eventdate, eventtitle, starttime, "
                            "endtime, status, roomnumber) values (?, ?, ?, ?, ?, ?, ?)"),
             {number, date, title, start, end, status, room});
        const bool roomExists =
            scalar(QStringLiteral("evnt"),
                   QStringLiteral("select count(*) from location where roomnum = ?"), {room})
                .toInt() > 0;
        if (status >= 2 && status <= 8 && roomExists)
            exec(QStringLiteral("evnt"),
                 QStringLiteral("update reserv set %1 = ?, %2 = ? where resdate = ? and restime "
                                ">= ? and restime < ?")
                     .arg(EventColumn(room), RoomColumn(room)),
                 {number, title, date, start,
                  end == QLatin1String("CLOSE") ? QStringLiteral("24:00") : end});
    }
};
