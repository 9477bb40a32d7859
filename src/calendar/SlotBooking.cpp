#include "SlotBooking.h"

#include "storage/Databases.h"
#include "values/TextValue.h"

#include <QRegularExpression>
#include <QSqlRecord>

namespace SlotBooking {

namespace {

constexpr int CellTextSize = 50;

QString twoDigits(int number) {
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString entry(int hour, const QString &slot) {
    const QString minutes = slot.mid(2);
    QString clock;
    if (hour < 12)
        clock = twoDigits(hour) + minutes + QStringLiteral(" AM");
    else if (hour == 12)
        clock = slot + QStringLiteral(" PM");
    else
        clock = twoDigits(hour - 12) + minutes + QStringLiteral(" PM");
    return slot + QString(7, QLatin1Char(' ')) + clock;
}

bool taken(const QVariant &roomText) {
    return roomText.toString().trimmed() > QLatin1String(" ");
}

} // namespace

TimeLists BuildTimeLists(const QString &timefrom, const QString &timeto) {
    TimeLists lists;
    const int first = integerValue(timefrom);
    const int last = integerValue(timeto);
    for (int hour = first; hour <= last - 1; ++hour) {
        for (const char *minutes : {":00", ":15", ":30", ":45"}) {
            const QString slot = twoDigits(hour) + QLatin1String(minutes);
            lists.start << entry(hour, slot);
        }
    }
    lists.start << entry(last, timeto.trimmed());
    lists.end = lists.start;
    lists.end << QString::fromLatin1(Close);
    return lists;
}

QString entryTime(const QString &entry) {
    return entry.left(5);
}

bool endFollowsStart(const QString &startTime, const QString &endEntry) {
    // Any chosen start counts, midnight included.
    if (startTime.trimmed().isEmpty())
        return false;
    return entryTime(endEntry) > entryTime(startTime);
}

Result<Conflicts> SlotConflictCheck(Database &evnt, const SlotRequest &request) {
    Conflicts found;
    if (request.status == 9 || request.room < 1)
        return found;
    // The rows stay locked until the save ends, so another workstation's
    // save of the same slots waits and then sees this one's cells.
    auto rows = evnt.exec(QStringLiteral("select * from reserv where resdate = ? and restime >= ? "
                                         "and restime < ? order by restime") +
                              evnt.dialect().lockRowsClause(),
                          {request.date, request.start, request.end});
    if (!rows)
        return rows.error();
    // Room n's cells sit at columns 2n and 2n + 1.
    const int columns = rows->record().count();
    const auto holder = [&](int room) {
        const int event = 2 * room;
        if (room < 1 || event + 1 >= columns || !taken(rows->value(event + 1)))
            return 0;
        const int number = integerValue(rows->value(event).toString());
        // A cell with a title and no number is someone's all the same.
        return number == request.eventNumber ? 0 : number > 0 ? number : -1;
    };
    while (rows->next()) {
        if (!found.room)
            found.room = holder(request.room);
        if (!found.linked && request.linkedRoom != request.room)
            found.linked = holder(request.linkedRoom);
    }
    return found;
}

TimeCheck checkTime(const QString &text, bool isEnd) {
    if (isEnd && text == QLatin1String(Close))
        return TimeCheck::Valid;
    // Anchored at the very end: "$" alone also matches before a final line
    // break, which let "12:30\n" through.
    static const QRegularExpression hhmm(
        QRegularExpression::anchoredPattern(QStringLiteral("([01][0-9]|2[0-3]):([0-5][0-9])")));
    const auto match = hhmm.match(text);
    if (!match.hasMatch())
        return TimeCheck::NotATime;
    const int minutes = match.captured(2).toInt();
    if (minutes % 15 == 0 || (isEnd && text == QLatin1String("23:59")))
        return TimeCheck::Valid;
    return TimeCheck::OffQuarterHour;
}

QString nearestQuarterHours(const QString &time) {
    const int minutes = time.left(2).toInt() * 60 + time.mid(3, 2).toInt();
    const int before = minutes - minutes % 15;
    const auto clock = [](int m) {
        return m >= 24 * 60 ? QString::fromLatin1(Close)
                            : QStringLiteral("%1:%2").arg(twoDigits(m / 60), twoDigits(m % 60));
    };
    return clock(before) + QStringLiteral(" or ") + clock(before + 15);
}

Status WriteEventCells(Database &evnt, const SlotRequest &request, const QString &title) {
    if (request.room < 1)
        return {};
    return evnt.execute(QStringLiteral("update reserv set %1 = ?, %2 = ? where resdate = ? and "
                                       "restime >= ? and restime < ?")
                            .arg(EventColumn(request.room), RoomColumn(request.room)),
                        {request.eventNumber, cutToLength(title.trimmed(), CellTextSize),
                         request.date, request.start, request.end});
}

Status ClearEventCells(Database &evnt, int room, int date, int eventNumber) {
    if (room < 1)
        return {};
    return evnt.execute(
        QStringLiteral("update reserv set %1 = 0, %2 = ' ' where resdate = ? and %1 = ?")
            .arg(EventColumn(room), RoomColumn(room)),
        {date, eventNumber});
}

int linkedRoomOnChoice(const QList<Room> &rooms, int roomnum) {
    const int own = linkedRoomOnLoad(rooms, roomnum);
    if (own != 0)
        return own;
    int part = 0;
    for (const Room &room : rooms) {
        if (room.subdiv.toInt() == roomnum && room.roomnum != roomnum)
            part = room.roomnum;
    }
    return part;
}

int linkedRoomOnLoad(const QList<Room> &rooms, int roomnum) {
    for (const Room &room : rooms) {
        if (room.roomnum == roomnum)
            return room.subdiv.toInt();
    }
    return 0;
}

} // namespace SlotBooking
