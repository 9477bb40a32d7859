#include "BookingCheck.h"

#include "calendar/SlotBooking.h"
#include "storage/Databases.h"
#include "values/TextValue.h"

#include <algorithm>

namespace BookingCheck {

namespace {

std::optional<Refusal> checkTime(EventField field, const QString &label, const QString &time,
                                 bool isEnd) {
    using SlotBooking::TimeCheck;
    if (time.isEmpty())
        return Refusal{field, QStringLiteral("%1: a booking needs one.").arg(label)};
    switch (SlotBooking::checkTime(time, isEnd)) {
    case TimeCheck::Valid:
        return std::nullopt;
    case TimeCheck::NotATime:
        return Refusal{field, QStringLiteral("%1: \"%2\" is not a time. Type it as HH:MM on the "
                                             "24-hour clock, for example 18:00.")
                                  .arg(label, time)};
    case TimeCheck::OffQuarterHour:
        return Refusal{field, offQuarterHourText(label, time)};
    }
    return std::nullopt;
}

} // namespace

std::optional<Refusal> check(const QList<Room> &rooms, const QString &room, const QString &start,
                             const QString &end) {
    bool number = false;
    const int roomnum = room.toInt(&number);
    const bool known = number && std::any_of(rooms.begin(), rooms.end(),
                                             [&](const Room &r) { return r.roomnum == roomnum; });
    if (!known)
        return Refusal{EventField::Room,
                       room.isEmpty() ? QStringLiteral("Location/room: a booking needs a room. "
                                                       "Choose it from the room list.")
                                      : QStringLiteral("Location/room: \"%1\" is not one of the "
                                                       "club's rooms. Choose the room from the "
                                                       "room list.")
                                            .arg(room)};
    if (auto refused = checkTime(EventField::Start, QStringLiteral("Start time"), start, false))
        return refused;
    if (auto refused = checkTime(EventField::End, QStringLiteral("End time"), end, true))
        return refused;
    if (!SlotBooking::endFollowsStart(start, end))
        return Refusal{
            EventField::End,
            QStringLiteral("End time cannot be equal to or earlier than the start time")};
    return std::nullopt;
}

QString offQuarterHourText(const QString &label, const QString &time) {
    return QStringLiteral("%1: %2 is not on a quarter-hour. Rooms are booked by the quarter-hour: "
                          "use %3.")
        .arg(label, time, SlotBooking::nearestQuarterHours(time));
}

QString describeEvent(Database &evnt, int number) {
    if (number <= 0)
        return QStringLiteral("an entry without an event number");
    auto row = evnt.exec(QStringLiteral("select eventtitle, roomnumber, starttime, endtime from "
                                        "eventinfo where eventnum = ?"),
                         {number});
    if (!row || !row->next())
        return QStringLiteral("Event #%1").arg(number);
    return QStringLiteral("Event #%1 \"%2\", room %3, %4-%5")
        .arg(number)
        .arg(shortened(row->value(0).toString()), row->value(1).toString(),
             row->value(2).toString().trimmed(), row->value(3).toString().trimmed());
}

} // namespace BookingCheck
