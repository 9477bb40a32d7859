#include "RoomEditor.h"

#include "RoomBuffers.h"
#include "Rooms.h"
#include "session/Module.h"
#include "storage/Schema.h"
#include "storage/SchemaBuilder.h"
#include "storage/Transaction.h"
#include "utilities/Keysend.h"
#include "values/TextValue.h"
#include "values/TypedNumber.h"

#include <QSqlRecord>
#include <optional>

namespace {

const QString EventDatabase = QStringLiteral("evnt");
const QString ReservTable = QStringLiteral("reserv");

// The column types a reservation column may be given, by code or by name.
std::optional<Schema::Column> columnOfType(const QString &columnType, int size) {
    using Schema::ColumnType;
    static const struct {
        int code;
        const char *name;
        ColumnType type;
    } types[] = {
        {1, "BOOLEAN", ColumnType::Integer},   {2, "BYTE", ColumnType::Integer},
        {3, "INTEGER", ColumnType::Integer},   {4, "LONG", ColumnType::Long},
        {5, "CURRENCY", ColumnType::Currency}, {6, "SINGLE", ColumnType::Double},
        {7, "DOUBLE", ColumnType::Double},     {8, "DATE", ColumnType::DateTime},
        {10, "TEXT", ColumnType::Text},        {11, "LONGBINARY", ColumnType::Binary},
        {12, "MEMO", ColumnType::Memo},
    };
    const QString wanted = columnType.trimmed().toUpper();
    bool numeric = false;
    const int code = wanted.toInt(&numeric);
    for (const auto &type : types) {
        if ((numeric && code == type.code) || (!numeric && wanted == QLatin1String(type.name))) {
            if (type.type == ColumnType::Text && (size < 1 || size > 255))
                return std::nullopt;
            return Schema::Column{QString(), type.type, type.type == ColumnType::Text ? size : 0,
                                  QString()};
        }
    }
    return std::nullopt;
}

bool hasColumn(Database &evnt, const QString &column) {
    auto probe = evnt.exec(QStringLiteral("select * from reserv where 1 = 0"));
    return probe && probe->record().indexOf(column) >= 0;
}

} // namespace

RoomEditor::RoomEditor(Module &module, QObject *parent)
    : QObject(parent)
    , m_module(module) {}

bool RoomEditor::loadLists() {
    const auto rooms = LoadRooms(m_module.access);
    if (!rooms)
        return false;
    roomNames.clear();
    roomCapacities.clear();
    roomNumbers.clear();
    roomSubdivisions.clear();
    roomSetups.clear();
    roomClears.clear();
    DatabasePtr db = m_module.access.open(EventDatabase);
    auto buffers =
        db ? RoomBuffers::read(*db) : Result<QMap<int, RoomBuffer>>(QMap<int, RoomBuffer>());
    if (!buffers) {
        m_module.messages.ShowErrorCodes(buffers.error());
        return false;
    }
    const auto minutes = [](int value) {
        return value > 0 ? QString::number(value) : QString();
    };
    for (const Room &room : *rooms) {
        roomNames << room.room;
        roomCapacities << room.capacity.toString();
        roomNumbers << QString::number(room.roomnum);
        roomSubdivisions << room.subdiv.toString();
        const RoomBuffer buffer = buffers->value(room.roomnum);
        roomSetups << minutes(buffer.before);
        roomClears << minutes(buffer.after);
    }
    selectedRow = -1;
    emit changed();
    return true;
}

void RoomEditor::OpenRoomEditor(bool loadOnly) {
    if (!loadOnly) {
        visible = true;
        // Below the set-up level the panel only shows the rooms.
        const bool mayEdit = m_module.session.CheckAccess(2);
        buttonVisible[AddRoom] = buttonVisible[SaveChanges] = buttonVisible[DeleteRoom] = mayEdit;
    }
    if (!loadLists() || loadOnly)
        return;
    boxes[NameBox] = placeholder();
    emit status(
        QStringLiteral("To add a room: (1) enter the room name, (2) enter the room capacity in the "
                       "capacity box, (3) click Add Room.\r\n") +
        QStringLiteral(
            "To change a room name or capacity, (1) double-click on it in the list, (2) make "
            "the changes, (3) click Save Changes."));
    emit changed();
}

void RoomEditor::SelectRoomForEdit(int row) {
    if (row < 0 || row >= roomNames.size())
        return;
    selectedRow = row;
    boxes = {roomNames[row],        roomCapacities[row], roomNumbers[row],
             roomSubdivisions[row], roomSetups[row],     roomClears[row]};
    editState = 2;
    buttonEnabled[AddRoom] = false;
    buttonEnabled[SaveChanges] = true;
    buttonEnabled[DeleteRoom] = true;
    emit changed();
}

void RoomEditor::editBox(int box, const QString &text) {
    if (box >= 0 && box < int(boxes.size()))
        boxes[box] = text;
}

void RoomEditor::enterBox(int box) {
    if (box == NameBox && boxes[NameBox] == placeholder()) {
        boxes[NameBox].clear();
        emit changed();
    }
}

void RoomEditor::boxEnterPressed(int box) {
    if (box >= NameBox && box <= NumberBox)
        m_module.ports.keys.SendKeyText(QStringLiteral("{Tab}"));
}

void RoomEditor::leaveBox(int box) {
    if ((box == NumberBox || box == SubdivisionBox) && numericValue(boxes[box]) < 0) {
        boxes[box] = QStringLiteral("0");
        emit changed();
    }
}

void RoomEditor::RoomButton(int button) {
    if (button < AddRoom || button > DeleteRoom || !buttonEnabled[button] || !buttonVisible[button])
        return;
    if (button != ExitButton && m_module.longOperation.running())
        return; // rooms change once the year set-up has finished
    emit status(QString());
    if (button == ExitButton) {
        visible = false;
        emit changed();
        emit calendarRequested();
        finishButton(button);
        return;
    }
    const QString name = boxes[NameBox];
    if (!m_module.session.CheckAccess(2) || name.trimmed().isEmpty() || name == placeholder() ||
        !takeCount(CapacityBox) || numericValue(boxes[CapacityBox]) < 1 ||
        !takeCount(SubdivisionBox) || !takeMinutes(SetupBox) || !takeMinutes(ClearBox))
        return;
    buttonEnabled[button] = false;
    emit changed();
    if (button == DeleteRoom)
        deleteRoom();
    else
        addOrSave(button);
    buttonEnabled[button] = true;
    finishButton(button);
}

// The capacity and SubD boxes read whole ("1,500" is 1500; "12abc" is
// refused by name, never 12), within what their columns hold; a number is
// written back plainly. False when refused.
bool RoomEditor::takeCount(int box) {
    const TypedNumber count = TypedNumber::read(
        boxes[box], box == CapacityBox ? QStringLiteral("Capacity") : QStringLiteral("SubD"),
        TypedNumber::ofColumn(EventDatabase, QStringLiteral("location"),
                              box == CapacityBox ? QStringLiteral("capacity")
                                                 : QStringLiteral("subdiv"))
            .atLeast(Decimal()));
    if (count.isNumber())
        boxes[box] = TypedNumber::plainText(count.value());
    if (count.isNumber() || count.isEmpty())
        return true;
    m_module.messages.show(count.message(), QStringLiteral("Oops..."), Icon::Information);
    emit changed();
    return false;
}

// The set-up and clearing boxes take whole minutes up to half a day; empty
// is none.
bool RoomEditor::takeMinutes(int box) {
    const QString why = RoomBuffers::refusal(boxes[box]);
    if (why.isEmpty()) {
        boxes[box] = boxes[box].trimmed();
        return true;
    }
    m_module.messages.show((box == SetupBox ? QStringLiteral("Set-up minutes: ")
                                            : QStringLiteral("Clearing minutes: ")) +
                               why,
                           QStringLiteral("Oops..."), Icon::Information);
    emit changed();
    return false;
}

void RoomEditor::finishButton(int button) {
    if (button != ExitButton && editState == 2) {
        buttonEnabled[AddRoom] = true;
        buttonEnabled[SaveChanges] = false;
        buttonEnabled[DeleteRoom] = false;
    }
    editState = 0;
    emit changed();
}

void RoomEditor::addOrSave(int button) {
    DatabasePtr db = m_module.access.open(EventDatabase);
    if (!db)
        return;
    Database &evnt = *db;
    // The row and its reservation columns go in together or not at all.
    Transaction transaction(evnt);
    if (!transaction.begun()) {
        m_module.messages.ShowErrorCodes(transaction.begun().error());
        return;
    }
    auto highest = evnt.exec(QStringLiteral("select max(roomnum) from location"));
    if (!highest) {
        m_module.messages.ShowErrorCodes(highest.error());
        return;
    }
    const int next = (highest->next() ? highest->value(0).toInt() : 0) + 1;
    if (button == AddRoom) {
        if (next > MaxRooms) {
            m_module.messages.show(QStringLiteral("Event Scheduler has reached its maximum."),
                                   QStringLiteral("Unable to add."), Icon::Information);
            return;
        }
        boxes[NumberBox] = QString::number(next);
    } else {
        if (selectedRow < 0 || selectedRow >= roomNumbers.size())
            return;
        boxes[NumberBox] = roomNumbers[selectedRow];
    }

    const int roomnum = integerValue(boxes[NumberBox]);
    const int subdiv = integerValue(boxes[SubdivisionBox]);
    if (subdiv != 0) {
        // A room can only be part of another room that exists.
        auto larger = evnt.exec(
            QStringLiteral("select count(*) from location where roomnum = ? and roomnum <> ?"),
            {subdiv, roomnum});
        if (!larger) {
            m_module.messages.ShowErrorCodes(larger.error());
            return;
        }
        if (!larger->next() || larger->value(0).toInt() == 0) {
            m_module.messages.show(
                QStringLiteral("SubD is the number of the larger room this room is part of, "
                               "or 0 when it stands alone. Room %1 cannot be that.")
                    .arg(subdiv),
                QStringLiteral("Oops..."), Icon::Information);
            return;
        }
    }
    const QVariantList values{boxes[NameBox].trimmed(), integerValue(boxes[CapacityBox]), subdiv,
                              roomnum};
    auto existing =
        evnt.exec(QStringLiteral("select count(*) from location where roomnum = ?"), {roomnum});
    if (!existing) {
        m_module.messages.ShowErrorCodes(existing.error());
        return;
    }
    const bool found = existing->next() && existing->value(0).toInt() > 0;
    existing->finish();
    const Status written =
        found
            ? evnt.execute(
                  QStringLiteral(
                      "update location set room = ?, capacity = ?, subdiv = ? where roomnum = ?"),
                  values)
            : evnt.execute(
                  QStringLiteral(
                      "insert into location (room, capacity, subdiv, roomnum) values (?, ?, ?, ?)"),
                  values);
    if (!written) {
        m_module.messages.ShowErrorCodes(written.error());
        return;
    }
    if (Status buffered = RoomBuffers::write(
            evnt, roomnum, {integerValue(boxes[SetupBox]), integerValue(boxes[ClearBox])});
        !buffered) {
        m_module.messages.ShowErrorCodes(buffered.error());
        return;
    }
    const bool newRoom = !found;
    if (newRoom) {
        NewRoomNumber = roomnum;
        panelEnabled = false;
        emit status(
            QStringLiteral("Please wait while room is being added to reservations table..."));
        emit changed();
        const bool added = AddRoomColumns(evnt, roomnum);
        panelEnabled = true;
        if (!added) {
            emit status(QString());
            return;
        }
    }
    if (Status committed = transaction.commit(); !committed) {
        m_module.messages.ShowErrorCodes(committed.error());
        NewRoomNumber = 0;
        return;
    }
    db.reset();
    loadLists();
    boxes = {};
    emit roomsChanged();
    if (newRoom) {
        emit status(QStringLiteral("Room successfully added to reservations table."));
        emit calendarRequested();
    }
}

bool RoomEditor::AddRoomColumns(Database &evnt, int roomnum) {
    if (roomnum < 1)
        return true;
    const bool added = AddReservColumn(evnt, EventColumn(roomnum), QStringLiteral("4"), 0) &&
                       AddReservColumn(evnt, RoomColumn(roomnum), QStringLiteral("10"), 50);
    NewRoomNumber = 0;
    return added;
}

bool RoomEditor::AddReservColumn(Database &evnt, const QString &column, const QString &columnType,
                                 int columnSize) {
    if (!SchemaBuilder::tableExists(evnt, ReservTable)) {
        reportColumnFailure(
            QStringLiteral("Table not found in database - update canceled."),
            {ErrorNumber::TableMissing, QStringLiteral("Could not find table 'reserv'.")}, column,
            columnType);
        return false;
    }
    std::optional<Schema::Column> definition = columnOfType(columnType, columnSize);
    if (!definition) {
        reportColumnFailure(
            QStringLiteral("Invalid field data type"),
            {ErrorNumber::InvalidFieldType, QStringLiteral("Invalid field data type.")}, column,
            columnType);
        return false;
    }
    if (hasColumn(evnt, column))
        return true; // added before: the existing column stays
    definition->name = column;
    const Status added = SchemaBuilder::addColumn(evnt, ReservTable, *definition);
    if (added || added.error().number == ErrorNumber::DuplicateName)
        return true;
    m_module.messages.ShowErrorCodes(added.error());
    return false;
}

void RoomEditor::reportColumnFailure(const QString &problem, const DbError &error,
                                     const QString &column, const QString &columnType) {
    const QStringList lines{problem,
                            QStringLiteral("Call Quorvane with the following information:"),
                            QStringLiteral("%1 - %2").arg(error.number).arg(error.description),
                            QStringLiteral("database = ") + Databases::fileName(EventDatabase),
                            QStringLiteral("dbtable  = ") + ReservTable,
                            QStringLiteral("dbfield  = ") + column,
                            QStringLiteral("dbtype   = ") + columnType};
    m_module.messages.show(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'),
                           QStringLiteral("Brevant Update"), Icon::Critical);
}

void RoomEditor::deleteRoom() {
    if (editState != 2 || selectedRow < 0 || selectedRow >= roomNumbers.size()) {
        m_module.messages.show(QStringLiteral("Double-click the room to delete in the list first."),
                               QStringLiteral("Oops..."), Icon::Information);
        return;
    }
    const bool yes = m_module.messages.AskYesNo(
        QStringLiteral("Deleting a room disconnects all events that are associated with \r\n"
                       "the chosen room so that they will not be visible in the calendar. \r\n"
                       "Such disconnected events can be re-linked to the calendar by \r\n"
                       "re-assigning them to remaining rooms. Extreme caution is advised \r\n"
                       "as deletion is permanent and affects all events whether past,\r\n"
                       "present or future.\r\n\r\n"
                       "Click NO to cancel or click YES to delete the chosen room."),
        QStringLiteral("** CAUTION ** "));
    if (!yes)
        return;

    const int roomnum = roomNumbers[selectedRow].toInt();
    DatabasePtr db = m_module.access.open(EventDatabase);
    if (!db)
        return;
    Database &evnt = *db;
    Transaction transaction(evnt);
    Status outcome = transaction.begun();
    // The columns stay so later rooms keep their positions; emptied, they
    // hand nothing on to a room that gets this number again.
    if (outcome && hasColumn(evnt, EventColumn(roomnum)))
        outcome = evnt.execute(
            QStringLiteral(
                "update reserv set %1 = null, %2 = null where %1 is not null or %2 is not null")
                .arg(EventColumn(roomnum), RoomColumn(roomnum)));
    if (outcome)
        outcome = evnt.execute(
            QStringLiteral("update eventinfo set roomnumber = 0 where roomnumber = ?"), {roomnum});
    if (outcome)
        outcome = evnt.execute(QStringLiteral("update location set subdiv = 0 where subdiv = ?"),
                               {roomnum});
    if (outcome)
        outcome = evnt.execute(QStringLiteral("delete from location where roomnum = ?"), {roomnum});
    // A room given this number later starts with no settings of its own.
    if (outcome)
        outcome =
            evnt.execute(QStringLiteral("delete from roomsetting where roomnum = ?"), {roomnum});
    if (outcome)
        outcome = transaction.commit();
    if (!outcome) {
        m_module.messages.ShowErrorCodes(outcome.error());
        return;
    }
    db.reset();
    loadLists();
    boxes = {};
    emit roomsChanged();
    emit status(
        QStringLiteral("Room %1 deleted. Its events keep their data and can be given another room.")
            .arg(roomnum));
    emit calendarRequested();
}
