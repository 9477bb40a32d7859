#include "RoomBuffers.h"

#include "storage/Databases.h"
#include "values/DateNumber.h"

#include <QLocale>

namespace {

// A stored start or end as a time on the day; "CLOSE" (and 23:59 as an
// end) is the day's end, the next midnight.
std::optional<QDateTime> at(const QDate &day, const QString &stored, bool isEnd) {
    const QString text = stored.trimmed();
    if (isEnd && (text.compare(QLatin1String("CLOSE"), Qt::CaseInsensitive) == 0 ||
                  text == QLatin1String("23:59")))
        return QDateTime(day.addDays(1), QTime(0, 0));
    const QTime time = QTime::fromString(text, QStringLiteral("HH:mm"));
    if (!time.isValid())
        return std::nullopt;
    return QDateTime(day, time);
}

std::optional<int> minutes(const QString &typed) {
    bool whole = false;
    const int value = typed.trimmed().toInt(&whole);
    if (!whole || value < 0 || value > RoomBuffer::MostMinutes)
        return std::nullopt;
    return value;
}

} // namespace

namespace RoomBuffers {

Result<QMap<int, RoomBuffer>> read(Database &evnt) {
    auto rows = evnt.exec(QStringLiteral("select roomnum, name, value from roomsetting where name "
                                         "in (?, ?)"),
                          {QString::fromLatin1(RoomBuffer::SetupSetting),
                           QString::fromLatin1(RoomBuffer::ClearSetting)});
    if (!rows)
        return rows.error();
    QMap<int, RoomBuffer> buffers;
    while (rows->next()) {
        const auto value = minutes(rows->value(2).toString());
        if (!value)
            continue;
        RoomBuffer &buffer = buffers[rows->value(0).toInt()];
        (rows->value(1).toString() == QLatin1String(RoomBuffer::SetupSetting) ? buffer.before
                                                                              : buffer.after) =
            *value;
    }
    return buffers;
}

QString refusal(const QString &typed) {
    if (typed.trimmed().isEmpty() || minutes(typed))
        return QString();
    return QStringLiteral("\"%1\" is not a number of minutes from 0 to %2.")
        .arg(typed.trimmed())
        .arg(RoomBuffer::MostMinutes);
}

Status write(Database &evnt, int room, const RoomBuffer &buffer) {
    for (const auto &[name, value] : {std::pair{RoomBuffer::SetupSetting, buffer.before},
                                      std::pair{RoomBuffer::ClearSetting, buffer.after}}) {
        if (Status cleared = evnt.execute(
                QStringLiteral("delete from roomsetting where roomnum = ? and name = ?"),
                {room, QString::fromLatin1(name)});
            !cleared)
            return cleared;
        if (value > 0)
            if (Status set =
                    evnt.execute(QStringLiteral("insert into roomsetting (roomnum, name, "
                                                "value) values (?, ?, ?)"),
                                 {room, QString::fromLatin1(name), QString::number(value)});
                !set)
                return set;
    }
    return {};
}

static Result<QMap<int, QList<Booked>>> between(Database &evnt, int first, int last, int room,
                                                int except) {
    auto rows = evnt.exec(
        QStringLiteral("select roomnumber, eventnum, eventtitle, eventdate, starttime, endtime "
                       "from eventinfo where eventdate between ? and ? and status between 2 and "
                       "8 and roomnumber > 0 and (roomnumber = ? or ? = 0) and eventnum <> ? "
                       "order by eventdate, starttime"),
        {first, last, room, room, except});
    if (!rows)
        return rows.error();
    QMap<int, QList<Booked>> found;
    while (rows->next())
        if (auto booked =
                place(rows->value(1).toInt(), rows->value(2).toString().trimmed(),
                      rows->value(3).toInt(), rows->value(4).toString(), rows->value(5).toString()))
            found[rows->value(0).toInt()] << *booked;
    return found;
}

Result<QMap<int, QList<Booked>>> between(Database &evnt, int first, int last) {
    return between(evnt, first, last, 0, 0);
}

Result<QList<Booked>> near(Database &evnt, int room, int date, int except) {
    const QDate day = dateOfNumber(date);
    auto found =
        between(evnt, dateNumber(day.addDays(-1)), dateNumber(day.addDays(1)), room, except);
    if (!found)
        return found.error();
    return found->value(room);
}

std::optional<Booked> place(int event, const QString &title, int date, const QString &start,
                            const QString &end) {
    const QDate day = dateOfNumber(date);
    const auto from = at(day, start, false);
    const auto to = at(day, end, true);
    if (!day.isValid() || !from || !to || !(*from < *to))
        return std::nullopt;
    return Booked{event, title, *from, *to};
}

QList<Turnover> turnoversOf(const Booked &booking, const RoomBuffer &buffer) {
    QList<Turnover> found;
    if (buffer.before > 0)
        found << Turnover{booking.event, booking.title, booking.start.addSecs(-60 * buffer.before),
                          booking.start, false};
    if (buffer.after > 0)
        found << Turnover{booking.event, booking.title, booking.end,
                          booking.end.addSecs(60 * buffer.after), true};
    return found;
}

Result<QList<Turnover>> around(Database &evnt, int room, int date, const RoomBuffer &buffer,
                               int except) {
    QList<Turnover> found;
    if (buffer.isEmpty())
        return found;
    auto bookings = near(evnt, room, date, except);
    if (!bookings)
        return bookings.error();
    const QDate day = dateOfNumber(date);
    const QDateTime dayStart(day, QTime(0, 0)), dayEnd(day.addDays(1), QTime(0, 0));
    for (const Booked &booking : *bookings)
        for (const Turnover &turnover : turnoversOf(booking, buffer))
            if (turnover.from < dayEnd && dayStart < turnover.to)
                found << turnover;
    return found;
}

QString caution(const QList<Booked> &others, const RoomBuffer &buffer, const QString &roomName,
                const QDateTime &start, const QDateTime &end) {
    const QLocale english(QLocale::English);
    const auto time = [&](const QDateTime &at) {
        return english.toString(at.time(), QStringLiteral("HH:mm"));
    };
    // Into another booking's turnover first: that is where the room's staff
    // are at work.
    for (const Booked &other : others)
        for (const Turnover &turnover : turnoversOf(other, buffer)) {
            if (!(start < turnover.to && turnover.from < end))
                continue;
            return turnover.clearing
                       ? QStringLiteral("The %1 is being cleared after the %2 until %3.")
                             .arg(roomName, turnover.title, time(turnover.to))
                       : QStringLiteral("The %1 is being set for the %2 from %3.")
                             .arg(roomName, turnover.title, time(turnover.from));
        }
    // Another booking inside this one's own setting up or clearing.
    const Booked self{0, QString(), start, end};
    for (const Turnover &own : turnoversOf(self, buffer))
        for (const Booked &other : others) {
            if (!(other.start < own.to && own.from < other.end))
                continue;
            return own.clearing ? QStringLiteral("The %1 needs %2 minutes to be cleared after this "
                                                 "booking, and the %3 begins at %4.")
                                      .arg(roomName)
                                      .arg(buffer.after)
                                      .arg(other.title, time(other.start))
                                : QStringLiteral("The %1 needs %2 minutes to be set before this "
                                                 "booking, and the %3 runs until %4.")
                                      .arg(roomName)
                                      .arg(buffer.before)
                                      .arg(other.title, time(other.end));
        }
    return QString();
}

Result<QString> cautionFor(Database &evnt, const RoomBuffer &buffer, int room,
                           const QString &roomName, int date, const QString &start,
                           const QString &end, int except) {
    const auto placed = place(except, QString(), date, start, end);
    if (buffer.isEmpty() || !placed)
        return QString();
    auto others = near(evnt, room, date, except);
    if (!others)
        return others.error();
    return caution(*others, buffer, roomName, placed->start, placed->end);
}

} // namespace RoomBuffers
