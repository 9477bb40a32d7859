#include "Rooms.h"

#include "session/DatabaseAccess.h"

Result<QList<Room>> ReadRooms(Database &evnt) {
    auto rows = evnt.exec(
        QStringLiteral("select roomnum, room, capacity, subdiv from location order by roomnum"));
    if (!rows)
        return rows.error();
    QList<Room> rooms;
    while (rows->next())
        rooms << Room{rows->value(0).toInt(), rows->value(1).toString(), rows->value(2),
                      rows->value(3)};
    return rooms;
}

std::optional<QList<Room>> LoadRooms(DatabaseAccess &access) {
    DatabasePtr db = access.open(QStringLiteral("evnt"));
    if (!db)
        return std::nullopt;
    auto rooms = ReadRooms(*db);
    if (!rooms) {
        access.showError(rooms.error());
        return std::nullopt;
    }
    return *rooms;
}

QString RoomDisplayLine(const Room &room) {
    return QString::number(room.roomnum) + QStringLiteral(" - ") + room.room +
           QStringLiteral("  -  cap:") + room.capacity.toString();
}

// Built from the number alone, never from typed text.
QString EventColumn(int roomnum) {
    return QStringLiteral("Event%1").arg(roomnum);
}
QString RoomColumn(int roomnum) {
    return QStringLiteral("Room%1").arg(roomnum);
}
