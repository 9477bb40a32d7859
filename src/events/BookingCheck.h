#pragma once

#include "calendar/Rooms.h"
#include "session/EventField.h"

#include <QList>
#include <QString>
#include <optional>

class Database;

// What a booking (an event holding calendar cells) needs before its save
// checks the calendar: a room of the club, and start and end times that are
// quarter-hours of the clock in order ("CLOSE" and "23:59" end the day).
namespace BookingCheck {

struct Refusal {
    EventField field; // the field to correct
    QString text;     // what the operator is told, naming the field
};

// Nothing when the booking may be saved.
std::optional<Refusal> check(const QList<Room> &rooms, const QString &room, const QString &start,
                             const QString &end);

// "Start time: 18:07 is not on a quarter-hour. ...": what the operator is
// told of a time between the quarter-hours, typed or saved.
QString offQuarterHourText(const QString &label, const QString &time);

// The event in the way, as the conflict messages name it:
// Event #23 "Smith wedding", room 2, 18:00-22:00.
QString describeEvent(Database &evnt, int number);

} // namespace BookingCheck
