#include "SlotBooking.h"

#include "foundation/Databases.h"
#include "foundation/TextValue.h"

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
    const int event = 2 * request.room;
    const int linked = 2 * request.linkedRoom;
    const QString own = QString::number(request.eventNumber);
    while (rows->next()) {
        if (event + 1 < columns && rows->value(event).toString().trimmed() != own &&
            taken(rows->value(event + 1)))
            found.conflict = true;
        if (request.linkedRoom > 0 && linked + 1 < columns && taken(rows->value(linked + 1))) {
            found.conflict = true;
            found.linkedRoom = true;
        }
    }
    return found;
}

Status WriteEventCells(Database &evnt, const SlotRequest &request, const QString &title) {
    if (request.room < 1)
        return {};
    return evnt.execute(QStringLiteral("update reserv set %1 = ?, %2 = ? where resdate = ? and "
                                       "restime >= ? and restime < ?")
                            .arg(EventColumn(request.room), RoomColumn(request.room)),
                        {request.eventNumber, title.trimmed().left(CellTextSize), request.date,
                         request.start, request.end});
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
