#pragma once

#include "Rooms.h"
#include "values/Result.h"

#include <QString>
#include <QStringList>

class Database;

// The quarter-hours an event occupies: the start and end time choices, the
// room-conflict check and the reservation cells Event<n>/Room<n> of its
// room from its start up to, not including, its end. "CLOSE" as the end
// means the end of the day (it sorts after every "HH:MM").
namespace SlotBooking {

inline constexpr auto Close = "CLOSE";

// The entries of the start list cbostart and the end list cboend.
struct TimeLists {
    QStringList start;
    QStringList end;
};
// Quarter-hours from the club's first slot's hour to the hour before its
// last slot, then the last slot itself; the end list closes with "CLOSE".
// An entry is "HH:MM", seven blanks and the time on the 12-hour clock.
TimeLists BuildTimeLists(const QString &timefrom, const QString &timeto);
// The time an entry stands for: its first five characters.
QString entryTime(const QString &entry);
// Whether an end entry may follow the start time: a start is chosen and the
// end sorts after it.
bool endFollowsStart(const QString &startTime, const QString &endEntry);

// What the save asks of the calendar for one event.
struct SlotRequest {
    int date = 0; // YYYYMMDD
    QString start;
    QString end;
    int status = 0;
    int eventNumber = 0;
    int room = 0;
    int linkedRoom = 0; // checked too; a booking there is a possible conflict
};

// The events in the way, by number; 0 where none is.
struct Conflicts {
    int room = 0;   // holds a slot of the room itself: never booked over
    int linked = 0; // holds a slot of the linked room only: the operator may book anyway
};

// Reads the request's slots (the end slot is free for the next booking).
// Cells carrying the event's own number are no conflict, in the room or its
// linked room; a cancelled event never conflicts.
Result<Conflicts> SlotConflictCheck(Database &evnt, const SlotRequest &request);

// How a typed time reads. Times are booked in quarter-hours; "CLOSE" and
// "23:59" as an end are the end of the day.
enum class TimeCheck { Valid, NotATime, OffQuarterHour };
TimeCheck checkTime(const QString &text, bool isEnd);
// The quarter-hours either side of a time off the quarter-hour ("18:00 or
// 18:15" for 18:07).
QString nearestQuarterHours(const QString &time);

// Books the event's cells; the title is cut to the cell's 50 characters.
Status WriteEventCells(Database &evnt, const SlotRequest &request, const QString &title);
// Frees every cell of the room on the date that carries the event's number.
Status ClearEventCells(Database &evnt, int room, int date, int eventNumber);

// The linked room when a room is chosen from the room list: its own subdiv,
// or else the last room that is a part of it.
int linkedRoomOnChoice(const QList<Room> &rooms, int roomnum);
// The linked room of a loaded event's room: its own subdiv.
int linkedRoomOnLoad(const QList<Room> &rooms, int roomnum);

} // namespace SlotBooking
