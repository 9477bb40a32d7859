#include "RoomsBoard.h"

#include "SlotBooking.h"
#include "StatusColors.h"
#include "session/Configuration.h"
#include "session/CurrentEvent.h"
#include "session/DatabaseAccess.h"

#include <QHash>

namespace {

const QString EventDatabase = QStringLiteral("evnt");
constexpr int MinutesPerDay = 24 * 60;
constexpr int EnquiryStatus = 1;

// Minutes since midnight of "HH:MM"; -1 for anything else. Read digit by
// digit: the board reads every event of a week with it.
int minutesOf(const QString &time) {
    if (time.size() != 5 || time[2] != QLatin1Char(':'))
        return -1;
    int digits[4];
    for (int i = 0, at = 0; at < 5; ++at) {
        if (at == 2)
            continue;
        const int digit = time[at].digitValue();
        if (digit < 0 || digit > 9)
            return -1;
        digits[i++] = digit;
    }
    const int hour = digits[0] * 10 + digits[1];
    const int minute = digits[2] * 10 + digits[3];
    return hour < 24 && minute < 60 ? hour * 60 + minute : -1;
}

QDate dateOf(int yyyymmdd) {
    return QDate(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
}

// An end: "CLOSE" and "23:59" are the end of the day.
int endMinutesOf(const QString &time) {
    if (time == QLatin1String(SlotBooking::Close) || time == QLatin1String("23:59"))
        return MinutesPerDay;
    return minutesOf(time);
}

bool onQuarterHour(const QString &time) {
    return time == QLatin1String(SlotBooking::Close) ||
           SlotBooking::checkTime(time, true) == SlotBooking::TimeCheck::Valid;
}

QString timeOf(int minutes) {
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

RoomsBoard::RoomsBoard(DatabaseAccess &access, const Configuration &config, QObject *parent)
    : QObject(parent)
    , m_access(access)
    , m_config(config) {
    layOutSlots();
}

void RoomsBoard::setRooms(const QList<Room> &rooms) {
    m_rooms = rooms;
    layOutRows();
}

void RoomsBoard::setFilter(const CalendarFilter &filter, bool andReload) {
    m_filter = filter;
    layOutRows();
    layOutSlots();
    if (andReload && m_firstDay.isValid())
        reload();
}

void RoomsBoard::cancelDrag() {
    if (m_drag.kind == DragKind::None)
        return;
    m_drag = Drag{};
    emit changed();
}

void RoomsBoard::cursorToDayEdge(bool end) {
    if (m_slots.isEmpty())
        return;
    m_cursor.slot = end ? int(m_slots.size()) - 1 : 0;
    m_anchor = m_cursor.slot;
    emit changed();
}

void RoomsBoard::showDate(const QDate &date, Span span) {
    m_span = span;
    // Weeks run Sunday to Saturday, as the month sheet's rows do.
    m_firstDay = span == Span::Week ? date.addDays(-(date.dayOfWeek() % 7)) : date;
    m_cursor.day = span == Span::Week ? int(m_firstDay.daysTo(date)) : 0;
    m_anchor = m_cursor.slot;
    reload();
}

void RoomsBoard::setSpan(Span span) {
    if (span != m_span && m_firstDay.isValid())
        showDate(dayAt(m_cursor.day), span);
}

void RoomsBoard::step(int direction) {
    if (!m_firstDay.isValid())
        return;
    m_firstDay = m_firstDay.addDays(direction * dayCount());
    reload();
}

// The hall a room belongs to, however deep its sections go; 0 for a room
// on its own, or one whose chain of halls runs in a circle or to a room
// that is gone.
int RoomsBoard::topHallOf(int room) const {
    QList<int> seen{room};
    int current = room;
    for (;;) {
        const int up = hallOf(current);
        if (up == 0)
            return current == room ? 0 : current;
        if (seen.contains(up) || findRoom(up) == nullptr)
            return 0;
        seen << up;
        current = up;
    }
}

const Room *RoomsBoard::findRoom(int room) const {
    for (const Room &each : m_rooms) {
        if (each.roomnum == room)
            return &each;
    }
    return nullptr;
}

void RoomsBoard::layOutRows() {
    m_rows.clear();
    const auto shown = [&](const Room &room) {
        return m_filter.room == 0 || room.roomnum == m_filter.room ||
               topHallOf(room.roomnum) == m_filter.room;
    };
    // Halls and rooms on their own in number order, each hall's sections
    // straight under it.
    for (const Room &room : m_rooms) {
        if (topHallOf(room.roomnum) != 0)
            continue;
        if (shown(room))
            m_rows << BoardRow{room.roomnum, room.room, 0};
        for (const Room &section : m_rooms) {
            if (topHallOf(section.roomnum) == room.roomnum && shown(section))
                m_rows << BoardRow{section.roomnum, section.room, room.roomnum};
        }
    }
    m_cursor.row = std::clamp(m_cursor.row, 0, std::max(0, int(m_rows.size()) - 1));
}

void RoomsBoard::layOutSlots() {
    const int dayStart = std::max(0, minutesOf(m_config.DayStartTime));
    int dayEnd = minutesOf(m_config.DayEndTime);
    if (dayEnd < dayStart)
        dayEnd = MinutesPerDay - SlotMinutes;
    int first = std::max(dayStart, minutesOf(m_filter.firstTime(timeOf(dayStart))));
    int last = dayEnd;
    if (m_filter.times == CalendarFilter::Times::Morning)
        last = std::min(dayEnd, 12 * 60 - SlotMinutes);
    else if (m_filter.times == CalendarFilter::Times::Afternoon)
        last = std::min(dayEnd, 18 * 60 - SlotMinutes);
    if (last < first)
        first = last;
    m_firstMinute = first - first % SlotMinutes;
    m_slots.clear();
    for (int minute = m_firstMinute; minute <= last; minute += SlotMinutes)
        m_slots << timeOf(minute);
    m_cursor.slot = std::clamp(m_cursor.slot, 0, int(m_slots.size()) - 1);
    m_anchor = m_cursor.slot;
}

int RoomsBoard::minuteAt(int slot) const {
    return m_firstMinute + slot * SlotMinutes;
}

int RoomsBoard::lastMinute() const {
    return minuteAt(int(m_slots.size()));
}

bool RoomsBoard::runsToClose() const {
    return lastMinute() > std::max(0, minutesOf(m_config.DayEndTime));
}

QString RoomsBoard::timeAt(int slot) const {
    if (slot >= m_slots.size())
        return runsToClose() ? QString::fromLatin1(SlotBooking::Close) : timeOf(lastMinute());
    return m_slots.value(slot);
}

bool RoomsBoard::reload(bool reportFailure) {
    const Status read = this->read();
    if (!read) {
        m_blocks.clear();
        m_shades.clear();
        if (reportFailure)
            m_access.showError(read.error());
    }
    if (m_drag.kind != DragKind::None)
        m_drag = Drag{};
    emit changed();
    return read.ok();
}

// One query for every day shown: the days' events that hold a room or
// ask for one, in start order.
Status RoomsBoard::read() {
    m_blocks.clear();
    m_shades.clear();
    m_unplaced.clear();
    fillLegend();
    if (!m_firstDay.isValid())
        return {};
    auto opened = m_access.databases().open(EventDatabase);
    if (!opened)
        return opened.error();
    Database *db = opened->get();
    // A club whose settings cannot be read is drawn in the default colours.
    if (const auto club = ClubSettings::read(*db))
        m_club = *club;
    fillLegend();

    QHash<int, int> colors; // looked up once, not per block
    for (int status = 1; status <= 8; ++status)
        colors[status] = StatusColors::colorOf(m_club, status);
    // Every event of the days is read: the time filter picks the hours
    // shown, which clip the blocks (a room booked right through the
    // afternoon is booked in the afternoon), and the room filter picks
    // rows, so a hall's booking still hatches the section shown.
    const int from = m_firstDay.toString(QStringLiteral("yyyyMMdd")).toInt();
    const int to = dayAt(dayCount() - 1).toString(QStringLiteral("yyyyMMdd")).toInt();
    auto query = db->exec(
        QStringLiteral("select eventnum, eventdate, starttime, endtime, roomnumber, eventtitle, "
                       "setfor, status from eventinfo where eventdate between ? and ? and status "
                       "between ? and ? and roomnumber > ? order by eventdate, starttime, eventnum"),
        QVariantList{from, to, EnquiryStatus, 8, 0});
    if (!query)
        return query.error();
    while (query->next()) {
        BoardBlock block;
        block.eventNumber = query->value(0).toInt();
        block.date = query->value(1).toInt();
        block.start = query->value(2).toString().trimmed();
        block.end = query->value(3).toString().trimmed();
        const int room = query->value(4).toInt();
        block.title = query->value(5).toString().trimmed();
        block.guests = query->value(6).toInt();
        block.status = query->value(7).toInt();
        block.holdsRoom = block.status != EnquiryStatus;
        const QDate day = dateOf(block.date);
        block.day = day.isValid() ? int(m_firstDay.daysTo(day)) : -1;
        const int startMinute = minutesOf(block.start);
        const int endMinute = endMinutesOf(block.end);
        if (block.day < 0 || block.day >= dayCount())
            continue;
        if (startMinute < 0 || endMinute <= startMinute) {
            // Times the calendar cannot place: counted, so the board does
            // not pass the room off as free without a word.
            m_unplaced << block.eventNumber;
            continue;
        }
        block.firstSlot = std::max(0, (startMinute - m_firstMinute) / SlotMinutes);
        block.endSlot = std::min(int(m_slots.size()),
                                 (endMinute - m_firstMinute + SlotMinutes - 1) / SlotMinutes);
        if (block.endSlot <= block.firstSlot)
            continue;
        block.color = colors.value(block.status, StatusColors::defaultColor(block.status));
        block.label = block.start + QLatin1Char('-') + block.end + QLatin1Char(' ') + block.title;
        if (block.guests > 0)
            block.label += QStringLiteral(" (%1)").arg(block.guests);
        block.row = rowOf(room);
        if (block.row >= 0)
            m_blocks << block;
        // The rooms linked to this one: its hall, and its sections.
        if (!block.holdsRoom)
            continue;
        const int hall = hallOf(room);
        for (const Room &other : m_rooms) {
            const bool linked =
                other.roomnum != room && (other.subdiv.toInt() == room || other.roomnum == hall);
            if (const int row = linked ? rowOf(other.roomnum) : -1; row >= 0)
                m_shades << BoardShade{row, block.day, block.firstSlot, block.endSlot,
                                       block.eventNumber,
                                       roomName(room) + QStringLiteral(": ") + block.title};
        }
    }
    if (query->lastError().isValid())
        return db->error(query->lastError());
    return {};
}

void RoomsBoard::fillLegend() {
    m_legend.clear();
    for (int status = 1; status <= CurrentEvent::BilledStatus; ++status)
        m_legend << BoardLegendEntry{statusName(status), StatusColors::colorOf(m_club, status)};
}

// The room this one is a section of, as its row in the room table says.
int RoomsBoard::hallOf(int room) const {
    const Room *found = findRoom(room);
    const int hall = found ? found->subdiv.toInt() : 0;
    return hall == room ? 0 : hall;
}

int RoomsBoard::rowOf(int room) const {
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row].room == room)
            return row;
    }
    return -1;
}

QString RoomsBoard::roomName(int room) const {
    const Room *found = findRoom(room);
    return found && !found->room.trimmed().isEmpty() ? found->room.trimmed()
                                                     : QStringLiteral("Room %1").arg(room);
}

// "Confirmed w/Count" for the club's "4-Confirmed w/Count" (or the usual
// name, for a club that names none).
QString RoomsBoard::statusName(int status) const {
    const int position = Configuration::statusPosition(status);
    QString name = m_config.StatusNames[position];
    if (name.trimmed().isEmpty())
        name = Configuration::defaultStatusName(position);
    if (const qsizetype dash = name.indexOf(QLatin1Char('-')); dash > 0 && name.at(0).isDigit())
        name = name.mid(dash + 1);
    return name.isEmpty() ? QStringLiteral("Status %1").arg(status) : name;
}

QString RoomsBoard::dayText(int day) const {
    return m_club.longDate(dayAt(day));
}

QString RoomsBoard::caption() const {
    if (!m_firstDay.isValid())
        return QString();
    QString caption = m_span == Span::Day ? dayText(0) : QStringLiteral("Week of ") + dayText(0);
    if (!m_unplaced.isEmpty()) {
        QStringList numbers;
        for (int number : m_unplaced)
            numbers << QStringLiteral("#%1").arg(number);
        caption += QStringLiteral(" (times to correct, not shown: %1)")
                       .arg(numbers.join(QStringLiteral(", ")));
    }
    return caption;
}

// A booking drawn over an enquiry is the one a click or a key reaches.
int RoomsBoard::blockAt(const BoardCell &cell) const {
    int found = -1;
    for (int i = 0; i < m_blocks.size(); ++i) {
        const BoardBlock &block = m_blocks[i];
        if (block.row == cell.row && block.day == cell.day && cell.slot >= block.firstSlot &&
            cell.slot < block.endSlot && (found < 0 || block.holdsRoom))
            found = i;
    }
    return found;
}

int RoomsBoard::shadeAt(const BoardCell &cell) const {
    for (int i = 0; i < m_shades.size(); ++i) {
        const BoardShade &shade = m_shades[i];
        if (shade.row == cell.row && shade.day == cell.day && cell.slot >= shade.firstSlot &&
            cell.slot < shade.endSlot)
            return i;
    }
    return -1;
}

QString RoomsBoard::blockName(const BoardBlock &block) const {
    QString name = m_rows.value(block.row).name.trimmed();
    if (name.isEmpty())
        name = roomName(m_rows.value(block.row).room);
    QString end = block.end == QLatin1String(SlotBooking::Close) ? QStringLiteral("close")
                                                                 : block.end;
    QString text = name + QStringLiteral(", ") + dayText(block.day) + QStringLiteral(", ") +
                   block.start + QStringLiteral(" to ") + end + QStringLiteral(", ") + block.title;
    if (block.guests > 0)
        text += QStringLiteral(", %1 guests").arg(block.guests);
    return text + QStringLiteral(", ") + statusName(block.status).toLower();
}

QString RoomsBoard::cellName(const BoardCell &cell) const {
    if (!cell.valid() || cell.row >= m_rows.size())
        return QString();
    if (const int block = blockAt(cell); block >= 0)
        return blockName(m_blocks[block]);
    const QString place = roomName(m_rows[cell.row].room) + QStringLiteral(", ") +
                          dayText(cell.day) + QStringLiteral(", ") + timeAt(cell.slot);
    if (const int shade = shadeAt(cell); shade >= 0)
        return place + QStringLiteral(", blocked by ") + m_shades[shade].text;
    return place + QStringLiteral(", free");
}

int RoomsBoard::blockInWay(int row, int day, int first, int end, int self) const {
    for (int i = 0; i < m_blocks.size(); ++i) {
        const BoardBlock &block = m_blocks[i];
        if (i != self && block.holdsRoom && block.row == row && block.day == day &&
            block.firstSlot < end && first < block.endSlot &&
            (self < 0 || block.eventNumber != m_blocks[self].eventNumber))
            return i;
    }
    return -1;
}

void RoomsBoard::refuse(const QString &why) {
    notice = why;
    m_drag = Drag{};
    emit changed();
}

void RoomsBoard::requestBooking(int row, int day, int first, int end) {
    notice.clear();
    if (row < 0 || row >= m_rows.size() || first >= end)
        return;
    if (m_rows[row].name.trimmed().isEmpty())
        return refuse(QStringLiteral("Room %1 has no name; name it in View/Add/Edit Rooms first.")
                          .arg(m_rows[row].room));
    if (const int clash = blockInWay(row, day, first, end, -1); clash >= 0)
        return refuse(QStringLiteral("%1 is taken then by #%2 %3.")
                          .arg(roomName(m_rows[row].room))
                          .arg(m_blocks[clash].eventNumber)
                          .arg(m_blocks[clash].title));
    m_drag = Drag{};
    emit changed();
    emit bookingRequested(BoardBooking{dayAt(day).toString(QStringLiteral("yyyyMMdd")).toInt(),
                                       m_rows[row].room, timeAt(first), timeAt(end)});
}

// The move keeps the event's length; one that ran to the close still does.
void RoomsBoard::requestMove(int index, int row, int day, int startMinute, int endMinute,
                             bool keepClose) {
    notice.clear();
    const BoardBlock block = m_blocks.value(index);
    if (index < 0 || row < 0 || row >= m_rows.size())
        return refuse(QString());
    if (!onQuarterHour(block.start) || !onQuarterHour(block.end))
        return refuse(QStringLiteral("#%1 runs from %2 to %3, off the quarter-hours the calendar "
                                     "books; correct its times in the event window first.")
                          .arg(block.eventNumber)
                          .arg(block.start, block.end));
    const int dayStart = std::max(0, minutesOf(m_config.DayStartTime));
    if (startMinute < dayStart)
        return refuse(
            QStringLiteral("#%1 cannot start before %2.").arg(block.eventNumber).arg(timeOf(dayStart)));
    const int closing = std::max(0, minutesOf(m_config.DayEndTime)) + SlotMinutes;
    if (!keepClose && endMinute > closing)
        return refuse(QStringLiteral("#%1 cannot run past the end of the day.")
                          .arg(block.eventNumber));
    // Up to the day's last slot is up to the close, as the end list has it.
    const bool toClose = keepClose || endMinute >= closing;
    if (toClose && startMinute >= closing)
        return refuse(QStringLiteral("#%1 cannot start at the close of the day.")
                          .arg(block.eventNumber));
    const QString start = timeOf(startMinute);
    const QString end = toClose ? QString::fromLatin1(SlotBooking::Close) : timeOf(endMinute);
    const int date = dayAt(day).toString(QStringLiteral("yyyyMMdd")).toInt();
    const int room = m_rows[row].room;
    if (date == block.date && room == m_rows[block.row].room && start == block.start &&
        endMinutesOf(end) == endMinutesOf(block.end)) {
        m_drag = Drag{};
        emit changed();
        return;
    }
    if (m_rows[row].name.trimmed().isEmpty())
        return refuse(QStringLiteral("Room %1 has no name; name it in View/Add/Edit Rooms first.")
                          .arg(room));
    const int first = std::max(0, (startMinute - m_firstMinute) / SlotMinutes);
    const int last = toClose ? int(m_slots.size())
                             : (endMinute - m_firstMinute + SlotMinutes - 1) / SlotMinutes;
    if (block.holdsRoom) {
        if (const int clash = blockInWay(row, day, first, last, index); clash >= 0)
            return refuse(QStringLiteral("%1 is taken then by #%2 %3.")
                              .arg(roomName(room))
                              .arg(m_blocks[clash].eventNumber)
                              .arg(m_blocks[clash].title));
    }
    const auto describe = [&](int roomnum, int onDay, const QString &from, const QString &to) {
        return roomName(roomnum) + QStringLiteral(", ") +
               m_club.longDate(dateOf(onDay)) +
               QStringLiteral(", ") + from + QStringLiteral(" to ") +
               (to == QLatin1String(SlotBooking::Close) ? QStringLiteral("close") : to);
    };
    BoardMove move{block.eventNumber,
                   block.title,
                   block.date,
                   m_rows[block.row].room,
                   block.start,
                   block.end,
                   date,
                   room,
                   start,
                   end,
                   describe(m_rows[block.row].room, block.date, block.start, block.end),
                   describe(room, date, start, end)};
    m_drag = Drag{};
    emit changed();
    emit moveRequested(move);
}

void RoomsBoard::setCursor(const BoardCell &cell) {
    if (!cell.valid() || cell.row >= m_rows.size())
        return;
    m_cursor = cell;
    m_anchor = cell.slot;
    emit changed();
}

void RoomsBoard::moveCursor(int rows, int columns, bool extend) {
    if (m_rows.isEmpty() || m_slots.isEmpty())
        return;
    BoardCell next = m_cursor;
    next.row = std::clamp(next.row + rows, 0, int(m_rows.size()) - 1);
    next.slot += columns;
    if (extend) {
        // A booking stays within one day.
        next.slot = std::clamp(next.slot, 0, int(m_slots.size()) - 1);
        next.row = m_cursor.row;
    } else if (next.slot < 0) {
        next.slot = next.day > 0 ? int(m_slots.size()) - 1 : 0;
        next.day = std::max(0, next.day - 1);
    } else if (next.slot >= m_slots.size()) {
        next.slot = next.day < dayCount() - 1 ? 0 : int(m_slots.size()) - 1;
        next.day = std::min(dayCount() - 1, next.day + 1);
    }
    const int anchor = m_anchor;
    m_cursor = next;
    m_anchor = extend ? anchor : next.slot;
    emit changed();
}

void RoomsBoard::activate() {
    if (const int block = blockAt(m_cursor); block >= 0)
        return emit eventRequested(m_blocks[block].eventNumber);
    int first = selectionFirst();
    int end = selectionEnd();
    if (end - first == 1) // nothing picked: an hour, up to the next booking
        end = first + DefaultBookingSlots;
    end = std::min(end, int(m_slots.size()));
    for (int slot = first + 1; slot < end; ++slot) {
        if (blockInWay(m_cursor.row, m_cursor.day, slot, slot + 1, -1) >= 0) {
            end = slot;
            break;
        }
    }
    requestBooking(m_cursor.row, m_cursor.day, first, end);
}

void RoomsBoard::nudge(int rows, int columns) {
    const int index = blockAt(m_cursor);
    if (index < 0)
        return refuse(QStringLiteral("There is no event at the cursor to move."));
    const BoardBlock block = m_blocks[index];
    const int start = minutesOf(block.start) + columns * SlotMinutes;
    const bool toClose = endMinutesOf(block.end) == MinutesPerDay;
    const int end = toClose ? MinutesPerDay : minutesOf(block.end) + columns * SlotMinutes;
    int row = block.row + rows;
    if (row < 0 || row >= m_rows.size())
        return refuse(QStringLiteral("There is no room further that way."));
    // The cursor goes with the event, and stays on it when the move is
    // refused or declined.
    const BoardCell before = m_cursor;
    m_cursor.row = row;
    m_cursor.slot = std::clamp(m_cursor.slot + columns, 0, int(m_slots.size()) - 1);
    m_anchor = m_cursor.slot;
    requestMove(index, row, block.day, start, end, toClose);
    const int now = blockAt(m_cursor);
    if (now < 0 || m_blocks[now].eventNumber != block.eventNumber) {
        m_cursor = before;
        m_anchor = before.slot;
        emit changed();
    }
}

void RoomsBoard::press(const BoardCell &cell, bool onEndEdge) {
    notice.clear();
    m_drag = Drag{};
    if (!cell.valid() || cell.row >= m_rows.size())
        return;
    m_cursor = cell;
    m_anchor = cell.slot;
    const int block = blockAt(cell);
    m_drag.kind = block < 0 ? DragKind::Booking
                            : onEndEdge ? DragKind::Stretching : DragKind::Moving;
    m_drag.block = block;
    m_drag.from = cell;
    m_drag.to = cell;
    emit changed();
}

void RoomsBoard::dragTo(const BoardCell &cell) {
    if (m_drag.kind == DragKind::None || !cell.valid() || cell.row >= m_rows.size())
        return;
    if (m_drag.kind != DragKind::Moving) // bookings and stretches keep their row and day
        m_drag.to = BoardCell{m_drag.from.row, m_drag.from.day,
                              cell.day == m_drag.from.day ? cell.slot
                              : cell.day > m_drag.from.day ? int(m_slots.size()) - 1
                                                           : 0};
    else
        m_drag.to = cell;
    emit changed();
}

void RoomsBoard::release(const BoardCell &cell) {
    const Drag drag = m_drag;
    if (drag.kind == DragKind::None)
        return;
    if (!cell.valid() || cell.row >= m_rows.size()) {
        // Let go outside the board: nothing changes.
        m_drag = Drag{};
        emit changed();
        return;
    }
    dragTo(cell);
    const BoardCell to = m_drag.to;
    switch (drag.kind) {
    case DragKind::None:
        return;
    case DragKind::Booking:
        m_cursor = to;
        m_anchor = drag.from.slot;
        if (to == drag.from) {
            // A click only places the cursor: booking takes a drag across
            // cells or a double-click, so a stray click books nothing.
            m_drag = Drag{};
            emit changed();
            return;
        }
        return requestBooking(drag.from.row, drag.from.day, std::min(drag.from.slot, to.slot),
                              std::max(drag.from.slot, to.slot) + 1);
    case DragKind::Moving: {
        const BoardBlock &block = m_blocks[drag.block];
        const int shift = (to.slot - drag.from.slot) * SlotMinutes;
        const bool toClose = endMinutesOf(block.end) == MinutesPerDay;
        const int start = minutesOf(block.start) + shift;
        const int end = toClose ? MinutesPerDay : minutesOf(block.end) + shift;
        m_cursor = to;
        m_anchor = to.slot;
        return requestMove(drag.block, to.row, to.day, start, end, toClose);
    }
    case DragKind::Stretching: {
        const BoardBlock &block = m_blocks[drag.block];
        const int endSlot = std::max(to.slot + 1, block.firstSlot + 1);
        const int end = minuteAt(endSlot);
        return requestMove(drag.block, block.row, block.day, minutesOf(block.start), end,
                           endSlot >= m_slots.size() && runsToClose());
    }
    }
}

void RoomsBoard::doubleClick(const BoardCell &cell) {
    m_drag = Drag{};
    if (!cell.valid() || cell.row >= m_rows.size())
        return;
    m_cursor = cell;
    m_anchor = cell.slot;
    activate();
}
