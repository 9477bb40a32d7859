#pragma once

#include "Rooms.h"
#include "session/ClubSettings.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

class Database;
class Configuration;
class DatabaseAccess;

// The reservation grid gridres: the quarter-hour rows of the reservation
// table for a day (or a range of days) between the club's day start and
// end, one column pair per room. The rows are read once and kept, so no
// database stays open while the grid is shown. The rows keep the stored
// values; what the grid shows of them is in the club's own formats.
class ReservationGrid : public QObject {
    Q_OBJECT

public:
    enum class ColumnKind { Date, Time, EventNumber, RoomText, Other };
    struct Column {
        QString name;    // as the table names it: resdate, restime, Event3, Room3
        QString caption; // "Date", "Time", the room's name
        QString tooltip; // a room's line as the room lists show it
        ColumnKind kind = ColumnKind::Other;
        int room = 0;
        bool visible = true;
        int width = 0; // in characters
    };

    ReservationGrid(DatabaseAccess &access, const Configuration &config, QObject *parent = nullptr);

    // Reads the slots from firstDate to lastDate, each day from fromTime
    // (a time filter's start; empty: the club's day start) to the day's
    // end. A range without slots (its year is not set up) or a failure
    // (reported) leaves the grid as it was and gives false.
    bool open(int firstDate, int lastDate, const QString &fromTime = {});
    // Forgets the rows; the list view then asks for a day first.
    void close();
    bool isOpen() const { return m_open; }
    // Reads the open range again, with the columns of any room added since.
    bool reload();
    // The room captions follow the rooms; an open grid is read again so a
    // new room's columns appear.
    void setRooms(const QList<Room> &rooms);

    // A click on a slot: its date and time, and in the help line the
    // booking of that room's slot or "Open".
    void selectSlot(int row, int column);
    // A double-click on a booked room cell opens its event.
    void openSlot(int row, int column);

    int rowCount() const { return int(rows.size()); }
    int date(int row) const;
    QString time(int row) const;
    // A cell as the grid shows it: the date and time in the club's formats.
    QString shownText(int row, int column) const;
    // A cell as a screen reader says it: "Grand Ballroom, 6:00 PM, free",
    // "Grand Ballroom, 6:00 PM, Hawthorne Wedding", "Date, 01/02/2027".
    QString cellName(int row, int column) const;
    // What a free slot of a room is given to: "Clearing after Hawthorne
    // Wedding", "Setting for Members' Breakfast"; empty when it is not in a
    // turnover of the room's bookings.
    QString turnover(int row, int room) const;
    // The club's formats, as read with the rows.
    const ClubSettings &club() const { return m_club; }

    QList<Column> columns;
    QList<QStringList> rows; // cell texts, one list per slot
    int currentRow = -1;

signals:
    void changed();
    void status(const QString &text); // the main window's help line
    void slotSelected(int date, const QString &time);
    void eventRequested(int eventNumber);

private:
    bool load(int firstDate, int lastDate, const QString &fromTime);
    void setUpColumns(const QStringList &names);
    // The turnovers of the rooms' bookings over the slots read; false on a
    // failure (reported).
    bool markTurnovers(Database &evnt, int firstDate, int lastDate);
    // The room whose pair holds the column, 0 for the date and time columns.
    int roomOf(int column) const;
    int columnOf(ColumnKind kind, int room) const;
    // What the room's slot holds; empty when it is free.
    QString booking(int row, int room) const;

    DatabaseAccess &m_access;
    const Configuration &m_config;
    QList<Room> m_rooms;
    bool m_open = false;
    int m_firstDate = 0;
    int m_lastDate = 0;
    QString m_fromTime;
    ClubSettings m_club;
    QHash<QPair<int, int>, QString> m_turnovers; // by row and room
};
