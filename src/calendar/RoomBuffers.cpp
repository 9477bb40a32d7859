#include "RoomBuffers.h"

#include "storage/Databases.h"

#include <QLocale>

namespace {

QDate dateOf(int yyyymmdd) {
    return QDate(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
}

int numberOf(const QDate &date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}

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

Result<QList<Turnover>> around(Database &evnt, int room, int date, const RoomBuffer &buffer,
                               int except) {
    QList<Turnover> found;
    if (buffer.isEmpty())
        return found;
    const QDate day = dateOf(date);
    auto rows = evnt.exec(
        QStringLiteral("select eventnum, eventtitle, eventdate, starttime, endtime from "
                       "eventinfo where roomnumber = ? and eventdate between ? and ? and status "
                       "between 2 and 8 and eventnum <> ? order by eventdate, starttime"),
        {room, numberOf(day.addDays(-1)), numberOf(day.addDays(1)), except});
    if (!rows)
        return rows.error();
    const QDateTime dayStart(day, QTime(0, 0)), dayEnd(day.addDays(1), QTime(0, 0));
    while (rows->next()) {
        const QDate held = dateOf(rows->value(2).toInt());
        const auto start = at(held, rows->value(3).toString(), false);
        const auto end = at(held, rows->value(4).toString(), true);
        if (!start || !end)
            continue;
        const Turnover setting{rows->value(0).toInt(), rows->value(1).toString().trimmed(),
                               start->addSecs(-60 * buffer.before), *start, false};
        const Turnover clearing{setting.event, setting.title, *end, end->addSecs(60 * buffer.after),
                                true};
        for (const Turnover &turnover : {setting, clearing})
            if (turnover.from < turnover.to && turnover.from < dayEnd && dayStart < turnover.to)
                found << turnover;
    }
    return found;
}

QString caution(const QList<Turnover> &turnovers, const QString &roomName, const QDateTime &start,
                const QDateTime &end) {
    const QLocale english(QLocale::English);
    for (const Turnover &turnover : turnovers) {
        if (!(start < turnover.to && turnover.from < end))
            continue;
        const QString time = english.toString(
            turnover.clearing ? turnover.to.time() : turnover.from.time(), QStringLiteral("HH:mm"));
        return turnover.clearing ? QStringLiteral("The %1 is being cleared after the %2 until %3.")
                                       .arg(roomName, turnover.title, time)
                                 : QStringLiteral("The %1 is being set for the %2 from %3.")
                                       .arg(roomName, turnover.title, time);
    }
    return QString();
}

} // namespace RoomBuffers
