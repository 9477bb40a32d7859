#pragma once

#include "values/Result.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

class Database;

// The minutes a room needs before a booking to be set and after it to be
// cleared: the room settings `setupminutes` and `clearminutes` (none where
// a room sets none, so the calendar holds as it always has). They are never
// written into the calendar's cells, which hold one booking each: they are
// worked out here, from the settings and the event rows, for every place
// that shows or checks them.
struct RoomBuffer {
    int before = 0; // minutes of setting up
    int after = 0;  // minutes of clearing

    static constexpr auto SetupSetting = "setupminutes";
    static constexpr auto ClearSetting = "clearminutes";
    static constexpr int MostMinutes = 12 * 60;
    bool isEmpty() const { return before == 0 && after == 0; }
};

namespace RoomBuffers {

// Every room's buffer that is set; a setting that is not a whole number of
// minutes from 0 to MostMinutes counts as none.
Result<QMap<int, RoomBuffer>> read(Database &evnt);
// Why a typed value cannot be a buffer's minutes; empty when it can.
QString refusal(const QString &typed);
// Sets a room's buffer (0 minutes removes the setting), in the caller's
// transaction.
Status write(Database &evnt, int room, const RoomBuffer &buffer);

// The time a room is being set or cleared around one booking.
struct Turnover {
    int event = 0;
    QString title;
    QDateTime from, to; // the buffer's own span, outside the booking
    bool clearing = false;
};
// The turnovers of the room's bookings that reach into `date` (YYYYMMDD):
// the day's own, a clearing after the evening before and a setting up for
// the morning after. Booked statuses only (2 to 8); `except` is left out
// (the booking being moved or saved).
Result<QList<Turnover>> around(Database &evnt, int room, int date, const RoomBuffer &buffer,
                               int except = 0);

// The turnover a booking from `start` to `end` on `date` would fall into,
// as the operator is told of it ("The Grand Ballroom is being cleared after
// the Hawthorne Wedding until 00:30."); empty when it falls into none.
QString caution(const QList<Turnover> &turnovers, const QString &roomName, const QDateTime &start,
                const QDateTime &end);

} // namespace RoomBuffers
