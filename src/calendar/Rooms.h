#pragma once

#include "values/Result.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

class Database;

// One function room of the location table.
struct Room {
    int roomnum = 0;
    QString room;
    QVariant capacity;
    QVariant subdiv; // Null in rows the program has not yet repaired
};

class DatabaseAccess;

// The rooms in room-number order.
Result<QList<Room>> ReadRooms(Database &evnt);
// The same for a window's command: a failure is shown and gives nullopt.
std::optional<QList<Room>> LoadRooms(DatabaseAccess &access);
// "3 - Terrace  -  cap:80", as the room lists show a room.
QString RoomDisplayLine(const Room &room);
// The reservation columns that belong to a room number.
QString EventColumn(int roomnum);
QString RoomColumn(int roomnum);
