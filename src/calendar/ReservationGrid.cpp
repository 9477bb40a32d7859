#include "ReservationGrid.h"

#include "RoomBuffers.h"
#include "session/Configuration.h"
#include "session/DatabaseAccess.h"
#include "values/DateNumber.h"

#include <QRegularExpression>
#include <QSqlRecord>
#include <algorithm>

namespace {

constexpr int DateWidth = 9;
constexpr int TimeWidth = 6;
constexpr int RoomWidth = 24;

QString cellText(const QVariant &value, ReservationGrid::ColumnKind kind) {
    // A free slot's number is Null or 0; the grid shows nothing for it.
    if (kind == ReservationGrid::ColumnKind::EventNumber)
        return value.toInt() > 0 ? QString::number(value.toInt()) : QString();
    return value.isNull() ? QString() : value.toString();
}

} // namespace

ReservationGrid::ReservationGrid(DatabaseAccess &access, const Configuration &config,
                                 QObject *parent)
    : QObject(parent)
    , m_access(access)
    , m_config(config) {}

bool ReservationGrid::open(int firstDate, int lastDate, const QString &fromTime) {
    if (!load(firstDate, lastDate, fromTime))
        return false;
    emit changed();
    return true;
}

bool ReservationGrid::load(int firstDate, int lastDate, const QString &fromTime) {
    DatabasePtr db = m_access.open(QStringLiteral("evnt"));
    if (!db)
        return false;
    // A club whose settings cannot be read is shown in the workstation's.
    const auto club = ClubSettings::read(*db);
    const QString dayStart = m_config.DayStartTime;
    const QString firstTime = fromTime > dayStart ? fromTime : dayStart;
    auto query = db->exec(QStringLiteral("select * from reserv where resdate between ? and ? and "
                                         "restime between ? and ? order by resdate, restime"),
                          {firstDate, lastDate, firstTime, m_config.DayEndTime});
    if (!query) {
        m_access.showError(query.error());
        return false;
    }
    const QSqlRecord record = query->record();
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    QList<Column> previous = columns;
    setUpColumns(names);
    QList<QStringList> read;
    while (query->next()) {
        QStringList cells;
        for (int i = 0; i < columns.size(); ++i)
            cells << cellText(query->value(i), columns[i].kind);
        read << cells;
    }
    if (query->lastError().isValid()) {
        columns = previous;
        m_access.showError(db->error(query->lastError()));
        return false;
    }
    if (read.isEmpty()) {
        columns = previous;
        return false;
    }
    rows = read;
    if (!markTurnovers(*db, firstDate, lastDate)) {
        columns = previous;
        rows.clear();
        m_open = false;
        return false;
    }
    currentRow = 0;
    m_open = true;
    m_firstDate = firstDate;
    m_lastDate = lastDate;
    m_fromTime = fromTime;
    m_club = club ? *club : ClubSettings();
    return true;
}

bool ReservationGrid::markTurnovers(Database &evnt, int firstDate, int lastDate) {
    m_turnovers.clear();
    auto buffers = RoomBuffers::read(evnt);
    if (buffers && buffers->isEmpty())
        return true;
    // A booking the evening before may still be clearing on the first day.
    auto bookings =
        buffers ? RoomBuffers::between(evnt, dateNumber(dateOfNumber(firstDate).addDays(-1)),
                                       dateNumber(dateOfNumber(lastDate).addDays(1)))
                : Result<QMap<int, QList<RoomBuffers::Booked>>>(buffers.error());
    if (!bookings) {
        m_access.showError(bookings.error());
        return false;
    }
    QHash<QDateTime, int> rowAt;
    for (int row = 0; row < rows.size(); ++row)
        rowAt.insert(QDateTime(dateOfNumber(date(row)),
                               QTime::fromString(time(row), QStringLiteral("HH:mm"))),
                     row);
    for (auto room = buffers->cbegin(); room != buffers->cend(); ++room)
        for (const RoomBuffers::Booked &booked : bookings->value(room.key()))
            for (const RoomBuffers::Turnover &turnover :
                 RoomBuffers::turnoversOf(booked, room.value()))
                // Every quarter-hour cell the turnover reaches into.
                for (QDateTime slot = turnover.from.addSecs(
                         -60 * (turnover.from.time().minute() % RoomBuffer::SlotMinutes));
                     slot < turnover.to; slot = slot.addSecs(60 * RoomBuffer::SlotMinutes)) {
                    const int row = rowAt.value(slot, -1);
                    if (row >= 0 && booking(row, room.key()).isEmpty())
                        m_turnovers.insert({row, room.key()},
                                           (turnover.clearing ? QStringLiteral("Clearing after ")
                                                              : QStringLiteral("Setting for ")) +
                                               turnover.title);
                }
    return true;
}

QString ReservationGrid::turnover(int row, int room) const {
    return m_turnovers.value({row, room});
}

void ReservationGrid::close() {
    rows.clear();
    m_turnovers.clear();
    currentRow = -1;
    m_open = false;
    emit changed();
}

// The slot the operator was looking at stays the current one.
bool ReservationGrid::reload() {
    const int row = currentRow;
    if (!m_open || !load(m_firstDate, m_lastDate, m_fromTime))
        return false;
    currentRow = qBound(0, row, rowCount() - 1);
    emit changed();
    return true;
}

void ReservationGrid::setRooms(const QList<Room> &rooms) {
    m_rooms = rooms;
    if (reload())
        return;
    QStringList names;
    for (const Column &column : std::as_const(columns))
        names << column.name;
    setUpColumns(names);
    emit changed();
}

void ReservationGrid::setUpColumns(const QStringList &names) {
    static const QRegularExpression pair(QStringLiteral("^(event|room)([0-9]+)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    columns.clear();
    for (const QString &name : names) {
        Column column{name, name, {}};
        const QRegularExpressionMatch match = pair.match(name);
        if (name.compare(QLatin1String("resdate"), Qt::CaseInsensitive) == 0) {
            column.kind = ColumnKind::Date;
            column.caption = QStringLiteral("Date");
            column.width = DateWidth;
        } else if (name.compare(QLatin1String("restime"), Qt::CaseInsensitive) == 0) {
            column.kind = ColumnKind::Time;
            column.caption = QStringLiteral("Time");
            column.width = TimeWidth;
        } else if (match.hasMatch()) {
            column.room = match.captured(2).toInt();
            const bool event =
                match.captured(1).compare(QLatin1String("event"), Qt::CaseInsensitive) == 0;
            column.kind = event ? ColumnKind::EventNumber : ColumnKind::RoomText;
            const auto room = std::find_if(m_rooms.cbegin(), m_rooms.cend(),
                                           [&](const Room &r) { return r.roomnum == column.room; });
            // The event numbers show in the help line when a slot is
            // clicked, so the grid spends its width on the bookings. A
            // deleted room's emptied columns stay in the table, unshown.
            column.visible = !event && room != m_rooms.cend();
            column.width = column.visible ? RoomWidth : 0;
            if (room != m_rooms.cend()) {
                column.caption = room->room.trimmed();
                column.tooltip = RoomDisplayLine(*room);
            }
        }
        columns << column;
    }
}

int ReservationGrid::roomOf(int column) const {
    return column >= 0 && column < columns.size() ? columns[column].room : 0;
}

int ReservationGrid::columnOf(ColumnKind kind, int room) const {
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].kind == kind && columns[i].room == room)
            return i;
    }
    return -1;
}

int ReservationGrid::date(int row) const {
    const int column = columnOf(ColumnKind::Date, 0);
    return row >= 0 && row < rows.size() && column >= 0 ? rows[row][column].toInt() : 0;
}

QString ReservationGrid::time(int row) const {
    const int column = columnOf(ColumnKind::Time, 0);
    return row >= 0 && row < rows.size() && column >= 0 ? rows[row][column] : QString();
}

QString ReservationGrid::shownText(int row, int column) const {
    if (row < 0 || row >= rows.size() || column < 0 || column >= columns.size())
        return QString();
    const QString &stored = rows[row][column];
    switch (columns[column].kind) {
    case ColumnKind::Date:
        return m_club.dateNumber(stored.toInt());
    case ColumnKind::Time:
        return m_club.time(stored);
    case ColumnKind::RoomText:
        if (const QString given = turnover(row, columns[column].room); !given.isEmpty())
            return QStringLiteral("(%1)").arg(given);
        return stored;
    default:
        return stored;
    }
}

QString ReservationGrid::cellName(int row, int column) const {
    if (row < 0 || row >= rows.size() || column < 0 || column >= columns.size())
        return QString();
    const Column &shown = columns[column];
    if (shown.room == 0)
        return shown.caption + QStringLiteral(", ") + shownText(row, column);
    const QString booked = booking(row, shown.room);
    const QString given = turnover(row, shown.room);
    return shown.caption + QStringLiteral(", ") + m_club.time(time(row)) + QStringLiteral(", ") +
           (!booked.isEmpty() ? booked.trimmed()
            : given.isEmpty() ? QStringLiteral("free")
                              : given.toLower().left(1) + given.mid(1));
}

// A blank of two characters or fewer is a free slot.
QString ReservationGrid::booking(int row, int room) const {
    const int text = columnOf(ColumnKind::RoomText, room);
    const QString booked = text >= 0 ? rows[row][text] : QString();
    return booked.size() > 2 ? booked : QString();
}

void ReservationGrid::selectSlot(int row, int column) {
    if (row < 0 || row >= rows.size())
        return;
    currentRow = row;
    emit slotSelected(date(row), time(row));
    const int room = roomOf(column);
    if (room == 0)
        return;
    const int number = columnOf(ColumnKind::EventNumber, room);
    const QString booked = booking(row, room);
    const QString eventNumber = number >= 0 ? rows[row][number] : QString();
    const QString given = turnover(row, room);
    emit status(!booked.isEmpty()
                    ? QStringLiteral("Event # ") + eventNumber + QStringLiteral(" - ") + booked
                : given.isEmpty()
                    ? QStringLiteral("Open")
                    : QStringLiteral("Open; the room is being turned over: ") + given);
}

void ReservationGrid::openSlot(int row, int column) {
    const int room = roomOf(column);
    if (row < 0 || row >= rows.size() || room == 0)
        return;
    const int text = columnOf(ColumnKind::RoomText, room);
    const int number = columnOf(ColumnKind::EventNumber, room);
    if (text < 0 || number < 0 || rows[row][text].trimmed().isEmpty())
        return;
    const int eventNumber = rows[row][number].toInt();
    if (eventNumber > 0)
        emit eventRequested(eventNumber);
}
