#pragma once

#include "Rooms.h"

#include <QList>
#include <QObject>
#include <QStringList>

class Database;
class Module;

// The reservation grid gridres: the quarter-hour rows of the reservation
// table for a day (or a range of days) between the club's day start and
// end, one column pair per room. The rows are read once and kept, so no
// database stays open while the grid is shown.
class ReservationGrid : public QObject {
    Q_OBJECT

public:
    enum class ColumnKind { Date, Time, EventNumber, RoomText, Other };
    struct Column {
        QString name; // as the table names it: resdate, restime, Event3, Room3
        QString caption;
        ColumnKind kind = ColumnKind::Other;
        int room = 0;
        bool visible = true;
        int width = 0; // in characters
    };

    explicit ReservationGrid(Module &module, QObject *parent = nullptr);

    // Reads the slots from firstDate to lastDate. A range without slots
    // (its year is not set up) or a failure (reported) leaves the grid as
    // it was and gives false.
    bool open(int firstDate, int lastDate);
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
    void gridresClick(int row, int column);
    // A double-click on a booked room cell opens its event.
    void gridresDblClick(int row, int column);

    int rowCount() const { return int(rows.size()); }
    int date(int row) const;
    QString time(int row) const;

    QList<Column> columns;
    QList<QStringList> rows; // cell texts, one list per slot
    int currentRow = -1;

signals:
    void changed();
    void status(const QString &text); // the main window's help line
    void slotSelected(int date, const QString &time);
    void eventRequested(int eventNumber);

private:
    bool load(int firstDate, int lastDate);
    void setUpColumns(const QStringList &names);
    // The room whose pair holds the column, 0 for the date and time columns.
    int roomOf(int column) const;
    int columnOf(ColumnKind kind, int room) const;

    Module &m_module;
    QList<Room> m_rooms;
    bool m_open = false;
    int m_firstDate = 0;
    int m_lastDate = 0;
};
