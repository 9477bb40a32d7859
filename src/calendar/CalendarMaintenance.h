#pragma once

#include "values/EntryChecks.h"
#include "values/Result.h"

#include <QList>
#include <QObject>

class Database;
class Module;
class ReportWorkCopy;

// Upkeep of the reservation table: the purge of a date range's calendar
// rows (the events stay) and the report of quarter-hours in which a room
// and the larger room it is part of are both booked.
class CalendarMaintenance : public QObject {
    Q_OBJECT

public:
    // A room that is part of a larger one.
    struct RoomPair {
        int larger = 0;
        int part = 0;
    };

    explicit CalendarMaintenance(Module &module, QObject *parent = nullptr);

    // File menu "Purge Calendar Data"; administrators only.
    void PurgeCalendar();
    // Reports menu "Event/Room Conflicts by date range".
    void RoomConflictReport();

    // Deletes the calendar rows from `from` to `to`, both included; the rows
    // deleted.
    Result<int> purge(int from, int to);
    // What a purge of the range takes from events still to come: a line
    // saying how many booked events (status 2 to 5) dated after today lose
    // their calendar cells, and which.
    Result<QString> upcomingLosses(const DateRange &range);
    struct Rooms {
        int count = 0;         // rooms defined
        QList<RoomPair> pairs; // in the part rooms' order
    };

    // Every room with the larger room it is part of, in room order. A room
    // naming itself or a room that does not exist is left out.
    Result<Rooms> roomPairs(Database &events);
    // Copies the quarter-hours both rooms of a pair have booked into the
    // report's eventreserv table, in one transaction.
    Status copyConflicts(Database &events, const ReportWorkCopy &report,
                         const QList<RoomPair> &pairs, const DateRange &range);

signals:
    void status(const QString &text); // the main window's help line
    void calendarRequested();         // redisplay the calendar

private:
    Module &m_module;
};
