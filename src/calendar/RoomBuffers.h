#pragma once

#include "values/Result.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

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
    static constexpr int SlotMinutes = 15; // the calendar's cells
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

// A booking of the room as its row places it in time.
struct Booked {
    int event = 0;
    QString title;
    QDateTime start, end; // "CLOSE" ends at the next midnight
};
// The room's bookings that may reach into `date` (YYYYMMDD) with a buffer:
// the day's own and those of the days either side. Booked statuses only
// (2 to 8); `except` is left out (the booking being moved or saved).
Result<QList<Booked>> near(Database &evnt, int room, int date, int except = 0);
// The bookings of every room from `first` to `last` (YYYYMMDD), by room.
Result<QMap<int, QList<Booked>>> between(Database &evnt, int first, int last);
// Where a stored date, start and end place a booking; nothing for times the
// calendar cannot place.
std::optional<Booked> place(int event, const QString &title, int date, const QString &start,
                            const QString &end);

// The time a room is being set or cleared around one booking.
struct Turnover {
    int event = 0;
    QString title;
    QDateTime from, to; // the buffer's own span, outside the booking
    bool clearing = false;
};
// The setting up before a booking and the clearing after it; none where
// the buffer is none.
QList<Turnover> turnoversOf(const Booked &booking, const RoomBuffer &buffer);
// The turnovers of the room's bookings that reach into `date`: a clearing
// after the evening before and a setting up for the morning after among
// them.
Result<QList<Turnover>> around(Database &evnt, int room, int date, const RoomBuffer &buffer,
                               int except = 0);

// What a booking from `start` to `end` would run into, as the operator is
// told of it: another booking's turnover ("The Grand Ballroom is being
// cleared after the Hawthorne Wedding until 00:30."), or another booking
// inside this one's own ("The Grand Ballroom needs 60 minutes to be cleared
// after this booking, and the Members' Breakfast begins at 08:00."). Empty
// when it runs into none.
QString caution(const QList<Booked> &others, const RoomBuffer &buffer, const QString &roomName,
                const QDateTime &start, const QDateTime &end);

// The caution for a booking of `room` on `date` (YYYYMMDD) from `start` to
// `end` as stored, against the room's other bookings (`except` left out):
// empty when the room has no buffer or the booking runs into nothing.
Result<QString> cautionFor(Database &evnt, const RoomBuffer &buffer, int room,
                           const QString &roomName, int date, const QString &start,
                           const QString &end, int except = 0);

} // namespace RoomBuffers
