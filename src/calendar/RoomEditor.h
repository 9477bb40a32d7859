#pragma once

#include "values/Result.h"

#include <QObject>
#include <QStringList>
#include <array>

class Database;
class Module;

// The room editor panel fralocation ("View/Add/Edit Rooms"): the four room
// lists, the entry boxes Text3(0..3) and the buttons cmdroom(0..3), with the
// minutes the room takes to be set before a booking and cleared after it
// (List6, List7, Text3(4), Text3(5)). Adding a room adds its row and its two
// reservation columns in one transaction; deleting a room frees its cells
// and disconnects its events.
class RoomEditor : public QObject {
    Q_OBJECT

public:
    static constexpr int MaxRooms = 20;
    enum Button { AddRoom = 0, ExitButton = 1, SaveChanges = 2, DeleteRoom = 3 };
    enum Box {
        NameBox = 0,
        CapacityBox = 1,
        NumberBox = 2,
        SubdivisionBox = 3,
        SetupBox = 4,
        ClearBox = 5
    };
    static constexpr int BoxCount = 6;

    explicit RoomEditor(Module &module, QObject *parent = nullptr);

    static QString placeholder() { return QStringLiteral("(room name here)"); }

    // mnuaddroom; with loadOnly (start-up) it only fills the lists.
    void OpenRoomEditor(bool loadOnly = false);
    // Double-click on a name in List2.
    void SelectRoomForEdit(int row);
    void editBox(int box, const QString &text);
    void enterBox(int box);
    void boxEnterPressed(int box);
    void leaveBox(int box);
    void RoomButton(int button);

    // Adds Event<n> and Room<n> to the reservation table; false on failure
    // (already reported).
    bool AddRoomColumns(Database &evnt, int roomnum);
    // Adds one column to the reservation table, its type given as a code
    // (4) or a name ("LONG"); an existing column is left quietly. False on
    // failure (already reported).
    bool AddReservColumn(Database &evnt, const QString &column, const QString &columnType,
                         int columnSize);

    bool visible = false;
    // The four room lists, one line per room, row by row alike.
    QStringList roomNames;
    QStringList roomCapacities;
    QStringList roomNumbers;
    QStringList roomSubdivisions;
    QStringList roomSetups; // minutes, empty for none
    QStringList roomClears;
    std::array<QString, BoxCount> boxes;
    std::array<QString, 4> buttonCaptions{QStringLiteral("Add Room"), QStringLiteral("Exit"),
                                          QStringLiteral("Save Changes"),
                                          QStringLiteral("Delete Room")};
    std::array<bool, 4> buttonVisible{true, true, true, true};
    std::array<bool, 4> buttonEnabled{true, true, false, false};
    bool panelEnabled = true;
    int editState = 0; // 0 adding, 2 editing the selected room
    int selectedRow = -1;
    int NewRoomNumber = 0;

signals:
    void changed();
    void status(const QString &text); // the main window's help line
    void roomsChanged();
    void calendarRequested();

private:
    bool loadLists();
    void addOrSave(int button);
    void deleteRoom();
    void finishButton(int button);
    bool takeCount(int box);
    bool takeMinutes(int box);
    void reportColumnFailure(const QString &problem, const DbError &error, const QString &column,
                             const QString &columnType);

    Module &m_module;
};
