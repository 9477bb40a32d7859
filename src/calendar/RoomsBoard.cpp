#include "RoomsBoard.h"

#include "SlotBooking.h"
#include "StatusColors.h"
#include "session/Configuration.h"
#include "session/CurrentEvent.h"
#include "session/DatabaseAccess.h"

#include <QSqlQuery>

namespace {

const QString EventDatabase = QStringLiteral("evnt");
constexpr int MinutesPerDay = 24 * 60;

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
    fillLegend();
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

void RoomsBoard::showDate(const QDate &date, Span span) {
    m_span = span;
    // Weeks run Sunday to Saturday, as the month sheet's rows do.
    m_firstDay = span == Span::Week ? date.addDays(-(date.dayOfWeek() % WeekDays)) : date;
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
    ++m_generation;
}

// The club's day, from its first slot to the close after its last, and the
// part of it the time filter shows.
void RoomsBoard::layOutSlots() {
    m_dayStart = std::max(0, minutesOf(m_config.DayStartTime));
    int lastSlot = minutesOf(m_config.DayEndTime);
    if (lastSlot < m_dayStart)
        lastSlot = MinutesPerDay - SlotMinutes;
    m_closing = lastSlot + SlotMinutes;
    int first = std::max(m_dayStart, minutesOf(m_filter.firstTime(timeOf(m_dayStart))));
    int last = lastSlot;
    if (m_filter.times == CalendarFilter::Times::Morning)
        last = std::min(lastSlot, 12 * 60 - SlotMinutes);
    else if (m_filter.times == CalendarFilter::Times::Afternoon)
        last = std::min(lastSlot, 18 * 60 - SlotMinutes);
    if (last < first)
        first = last;
    m_firstMinute = first - first % SlotMinutes;
    m_slots.clear();
    for (int minute = m_firstMinute; minute <= last; minute += SlotMinutes)
        m_slots << timeOf(minute);
    m_cursor.slot = std::clamp(m_cursor.slot, 0, int(m_slots.size()) - 1);
    m_anchor = m_cursor.slot;
    ++m_generation;
}

int RoomsBoard::minuteAt(int slot) const {
    return m_firstMinute + slot * SlotMinutes;
}

// The column a minute falls in, counted from the first shown.
int RoomsBoard::slotOf(int minute) const {
    return (minute - m_firstMinute) / SlotMinutes;
}

int RoomsBoard::lastMinute() const {
    return minuteAt(int(m_slots.size()));
}

bool RoomsBoard::runsToClose() const {
    return lastMinute() >= m_closing;
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
    m_drag = Drag{};
    ++m_generation;
    emit changed();
    return read.ok();
}

// One query for every day shown. Every event of the days is read: the time
// filter picks the hours shown, which clip the blocks (a room booked right
// through the afternoon is booked in the afternoon), and the room filter
// picks rows, so a hall's booking still hatches the section shown.
Status RoomsBoard::read() {
    m_blocks.clear();
    m_shades.clear();
    m_unplaced.clear();
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
    const StatusColors::Palette colors(m_club);

    // Read first: the engine answers one query at a time on a connection.
    auto buffers = RoomBuffers::read(*db);
    if (!buffers)
        return buffers.error();
    // The days either side only matter for a turnover past midnight.
    const bool around = !buffers->isEmpty();
    auto query = db->exec(
        QStringLiteral(
            "select eventnum, eventdate, starttime, endtime, roomnumber, eventtitle, "
            "setfor, status from eventinfo where eventdate between ? and ? and status "
            "between ? and ? and roomnumber > ? order by eventdate, starttime, eventnum"),
        QVariantList{dateNumber(around ? -1 : 0), dateNumber(around ? dayCount() : dayCount() - 1),
                     EnquiryStatus, LastHoldingStatus, 0});
    if (!query)
        return query.error();
    while (query->next()) {
        const int room = query->value(4).toInt();
        // A turnover is shaded on each day shown that it reaches.
        if (buffers->contains(room) && query->value(7).toInt() != EnquiryStatus)
            if (const int row = rowOf(room); row >= 0)
                if (const auto placed = RoomBuffers::place(
                        query->value(0).toInt(), query->value(5).toString().trimmed(),
                        query->value(1).toInt(), query->value(2).toString(),
                        query->value(3).toString()))
                    shadeTurnovers(row, *placed, buffers->value(room));
        std::optional<BoardBlock> block = blockOf(*query, colors);
        if (!block)
            continue;
        block->row = rowOf(room);
        if (block->row >= 0)
            m_blocks << *block;
        if (block->holdsRoom)
            shadeLinkedRooms(*block, room);
    }
    if (query->lastError().isValid())
        return db->error(query->lastError());
    return {};
}

std::optional<BoardBlock> RoomsBoard::blockOf(const QSqlQuery &row,
                                              const StatusColors::Palette &colors) {
    BoardBlock block;
    block.eventNumber = row.value(0).toInt();
    block.date = row.value(1).toInt();
    block.start = row.value(2).toString().trimmed();
    block.end = row.value(3).toString().trimmed();
    block.title = row.value(5).toString().trimmed();
    block.guests = row.value(6).toInt();
    block.status = row.value(7).toInt();
    block.holdsRoom = block.status != EnquiryStatus;
    const QDate day = dateOf(block.date);
    block.day = day.isValid() ? int(m_firstDay.daysTo(day)) : -1;
    if (block.day < 0 || block.day >= dayCount())
        return std::nullopt;
    const int startMinute = minutesOf(block.start);
    const int endMinute = endMinutesOf(block.end);
    if (startMinute < 0 || endMinute <= startMinute) {
        // Times the calendar cannot place: named in the caption, so the
        // board does not pass the room off as free without a word.
        m_unplaced << block.eventNumber;
        return std::nullopt;
    }
    block.firstSlot = std::max(0, slotOf(startMinute));
    block.endSlot = std::min(int(m_slots.size()), slotOf(endMinute + SlotMinutes - 1));
    if (block.endSlot <= block.firstSlot)
        return std::nullopt;
    block.color = colors(block.status);
    const QString times = block.start + QLatin1Char('-') + block.end;
    block.label = times + QLatin1Char(' ') + block.title;
    block.detail = times;
    if (block.guests > 0) {
        block.label += QStringLiteral(" (%1)").arg(block.guests);
        block.detail += QStringLiteral("  %1").arg(block.guests);
    }
    return block;
}

// The rooms linked to a booked one, its hall and its sections, are hatched.
void RoomsBoard::shadeLinkedRooms(const BoardBlock &block, int room) {
    const int hall = hallOf(room);
    for (const Room &other : m_rooms) {
        const bool linked =
            other.roomnum != room && (other.subdiv.toInt() == room || other.roomnum == hall);
        if (const int row = linked ? rowOf(other.roomnum) : -1; row >= 0)
            m_shades << BoardShade{row,
                                   block.day,
                                   block.firstSlot,
                                   block.endSlot,
                                   block.eventNumber,
                                   roomName(room) + QStringLiteral(": ") + block.title};
    }
}

// The time the room is being set before a booking and cleared after it, on
// each day shown that it reaches.
void RoomsBoard::shadeTurnovers(int row, const RoomBuffers::Booked &booking,
                                const RoomBuffer &buffer) {
    for (const RoomBuffers::Turnover &turnover : RoomBuffers::turnoversOf(booking, buffer)) {
        const QString text = (turnover.clearing ? QStringLiteral("Clearing after ")
                                                : QStringLiteral("Setting for ")) +
                             booking.title;
        for (int day = 0; day < dayCount(); ++day) {
            const QDateTime midnight(dayAt(day), QTime(0, 0));
            const int first = std::max(0, slotOf(int(midnight.secsTo(turnover.from) / 60)));
            const int end =
                std::min(int(m_slots.size()),
                         slotOf(int(midnight.secsTo(turnover.to) / 60) + SlotMinutes - 1));
            if (end > first)
                m_shades << BoardShade{row, day, first, end, booking.event, text, true};
        }
    }
}

void RoomsBoard::fillLegend() {
    m_legend.clear();
    for (int status = StatusColors::FirstStatus; status <= StatusColors::LastStatus; ++status)
        m_legend << BoardLegendEntry{statusName(status), StatusColors::colorOf(m_club, status),
                                     status == EnquiryStatus};
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

int RoomsBoard::dateNumber(int day) const {
    const QDate date = dayAt(day);
    return date.year() * 10000 + date.month() * 100 + date.day();
}

QString RoomsBoard::dayText(int day) const {
    return m_club.longDate(dayAt(day));
}

QString RoomsBoard::dayHeading(int day) const {
    return m_club.locale().toString(dayAt(day), QStringLiteral("ddd d MMM"));
}

QString RoomsBoard::placeText(int room, int date, const QString &start, const QString &end) const {
    return roomName(room) + QStringLiteral(", ") + m_club.longDate(dateOf(date)) +
           QStringLiteral(", ") + start + QStringLiteral(" to ") +
           (end == QLatin1String(SlotBooking::Close) ? QStringLiteral("close") : end);
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
    QString text = placeText(m_rows.value(block.row).room, block.date, block.start, block.end) +
                   QStringLiteral(", ") + block.title;
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
        return place + (m_shades[shade].turnover
                            ? QStringLiteral(", ") + m_shades[shade].text.toLower()
                            : QStringLiteral(", blocked by ") + m_shades[shade].text);
    return place + QStringLiteral(", free");
}

// Enquiries keep nobody out, and an event is never in its own way.
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

QString RoomsBoard::roomRefusal(int row, int day, int first, int end, int self) const {
    const int room = m_rows[row].room;
    if (m_rows[row].name.trimmed().isEmpty())
        return QStringLiteral("Room %1 has no name; name it in View/Add/Edit Rooms first.")
            .arg(room);
    if (self >= 0 && !m_blocks[self].holdsRoom)
        return QString();
    if (const int clash = blockInWay(row, day, first, end, self); clash >= 0)
        return QStringLiteral("%1 is taken then by #%2 %3.")
            .arg(roomName(room))
            .arg(m_blocks[clash].eventNumber)
            .arg(m_blocks[clash].title);
    return QString();
}

void RoomsBoard::refuse(const QString &why) {
    m_notice = why;
    ++m_noticeCount;
    m_drag = Drag{};
    emit changed();
}

void RoomsBoard::requestBooking(int row, int day, int first, int end) {
    m_notice.clear();
    if (row < 0 || row >= m_rows.size() || first >= end)
        return;
    if (const QString why = roomRefusal(row, day, first, end, -1); !why.isEmpty())
        return refuse(why);
    m_drag = Drag{};
    emit changed();
    emit bookingRequested(
        BoardBooking{dateNumber(day), m_rows[row].room, timeAt(first), timeAt(end)});
}

RoomsBoard::Times RoomsBoard::shifted(const BoardBlock &block, int minutes) const {
    const bool toClose = endMinutesOf(block.end) == MinutesPerDay;
    return {minutesOf(block.start) + minutes,
            toClose ? MinutesPerDay : minutesOf(block.end) + minutes, toClose};
}

// What the board can tell of a move it refuses before anything is asked;
// what passes is asked for, naming both places.
void RoomsBoard::requestMove(int index, int row, int day, const Times &to) {
    m_notice.clear();
    if (index < 0 || index >= m_blocks.size() || row < 0 || row >= m_rows.size())
        return refuse(QString());
    const BoardBlock block = m_blocks[index];
    if (!onQuarterHour(block.start) || !onQuarterHour(block.end))
        return refuse(QStringLiteral("#%1 runs from %2 to %3, off the quarter-hours the calendar "
                                     "books; correct its times in the event window first.")
                          .arg(block.eventNumber)
                          .arg(block.start, block.end));
    if (to.start < m_dayStart)
        return refuse(QStringLiteral("#%1 cannot start before %2.")
                          .arg(block.eventNumber)
                          .arg(timeOf(m_dayStart)));
    if (!to.toClose && to.end > m_closing)
        return refuse(
            QStringLiteral("#%1 cannot run past the end of the day.").arg(block.eventNumber));
    // Up to the day's last slot is up to the close, as the end list has it.
    const bool toClose = to.toClose || to.end >= m_closing;
    if (toClose && to.start >= m_closing)
        return refuse(
            QStringLiteral("#%1 cannot start at the close of the day.").arg(block.eventNumber));
    const QString start = timeOf(to.start);
    const QString end = toClose ? QString::fromLatin1(SlotBooking::Close) : timeOf(to.end);
    const int date = dateNumber(day);
    const int fromRoom = m_rows[block.row].room;
    const int room = m_rows[row].room;
    if (date == block.date && room == fromRoom && start == block.start &&
        endMinutesOf(end) == endMinutesOf(block.end)) {
        m_drag = Drag{};
        emit changed();
        return;
    }
    const int first = std::max(0, slotOf(to.start));
    const int last = toClose ? int(m_slots.size()) : slotOf(to.end + SlotMinutes - 1);
    if (const QString why = roomRefusal(row, day, first, last, index); !why.isEmpty())
        return refuse(why);
    const BoardMove move{block.eventNumber,
                         block.title,
                         block.date,
                         fromRoom,
                         block.start,
                         block.end,
                         date,
                         room,
                         start,
                         end,
                         placeText(fromRoom, block.date, block.start, block.end),
                         placeText(room, date, start, end)};
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
        // A booking stays within one day and one room.
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

void RoomsBoard::cursorToDayEdge(bool end) {
    if (m_slots.isEmpty())
        return;
    m_cursor.slot = end ? int(m_slots.size()) - 1 : 0;
    m_anchor = m_cursor.slot;
    emit changed();
}

void RoomsBoard::activate() {
    if (const int block = blockAt(m_cursor); block >= 0)
        return emit eventRequested(m_blocks[block].eventNumber);
    const int first = selectionFirst();
    int end = selectionEnd();
    if (end - first == 1) {
        // Nothing picked: an hour, up to the next booking. What was picked
        // is booked as picked, or refused.
        end = std::min(first + DefaultBookingSlots, int(m_slots.size()));
        for (int slot = first + 1; slot < end; ++slot) {
            if (blockInWay(m_cursor.row, m_cursor.day, slot, slot + 1, -1) >= 0) {
                end = slot;
                break;
            }
        }
    }
    requestBooking(m_cursor.row, m_cursor.day, first, end);
}

void RoomsBoard::nudge(int rows, int columns) {
    const int index = blockAt(m_cursor);
    if (index < 0)
        return refuse(QStringLiteral("There is no event at the cursor to move."));
    const BoardBlock block = m_blocks[index];
    const int row = block.row + rows;
    if (row < 0 || row >= m_rows.size())
        return refuse(QStringLiteral("There is no room further that way."));
    // The cursor goes with the event, and stays where it was when the
    // event did not move (refused or declined).
    const BoardCell before = m_cursor;
    m_cursor.row = row;
    m_cursor.slot = std::clamp(m_cursor.slot + columns, 0, int(m_slots.size()) - 1);
    m_anchor = m_cursor.slot;
    requestMove(index, row, block.day, shifted(block, columns * SlotMinutes));
    const int now = blockAt(m_cursor);
    const bool moved =
        now >= 0 && m_blocks[now].eventNumber == block.eventNumber &&
        (m_blocks[now].row != block.row || m_blocks[now].firstSlot != block.firstSlot ||
         m_blocks[now].endSlot != block.endSlot);
    if (!moved) {
        m_cursor = before;
        m_anchor = before.slot;
        emit changed();
    }
}

void RoomsBoard::press(const BoardCell &cell, bool onEndEdge) {
    m_notice.clear();
    m_drag = Drag{};
    if (!cell.valid() || cell.row >= m_rows.size())
        return;
    m_cursor = cell;
    m_anchor = cell.slot;
    const int block = blockAt(cell);
    m_drag.kind = block < 0   ? DragKind::Booking
                  : onEndEdge ? DragKind::Stretching
                              : DragKind::Moving;
    m_drag.block = block;
    m_drag.from = cell;
    m_drag.to = cell;
    emit changed();
}

// Bookings and stretches keep their row and day; a move goes anywhere.
BoardCell RoomsBoard::dragTarget(const BoardCell &cell) const {
    if (m_drag.kind == DragKind::Moving)
        return cell;
    const int slot = cell.day == m_drag.from.day  ? cell.slot
                     : cell.day > m_drag.from.day ? int(m_slots.size()) - 1
                                                  : 0;
    return {m_drag.from.row, m_drag.from.day, slot};
}

void RoomsBoard::dragTo(const BoardCell &cell) {
    if (m_drag.kind == DragKind::None || !cell.valid() || cell.row >= m_rows.size())
        return;
    const BoardCell to = dragTarget(cell);
    if (to == m_drag.to)
        return;
    m_drag.to = to;
    emit changed();
}

int RoomsBoard::stretchedEnd() const {
    const BoardBlock &block = m_blocks.value(m_drag.block);
    return std::max(m_drag.to.slot + 1, block.firstSlot + 1);
}

void RoomsBoard::release(const BoardCell &cell) {
    if (m_drag.kind == DragKind::None)
        return;
    if (!cell.valid() || cell.row >= m_rows.size())
        return cancelDrag(); // let go outside the board: nothing changes
    m_drag.to = dragTarget(cell);
    const Drag drag = m_drag;
    switch (drag.kind) {
    case DragKind::None:
        return;
    case DragKind::Booking:
        m_cursor = drag.to;
        m_anchor = drag.from.slot;
        if (drag.to == drag.from) {
            // A click only places the cursor: booking takes a drag across
            // cells, a double-click or Enter, so a stray click books nothing.
            m_drag = Drag{};
            emit changed();
            return;
        }
        return requestBooking(drag.from.row, drag.from.day, std::min(drag.from.slot, drag.to.slot),
                              std::max(drag.from.slot, drag.to.slot) + 1);
    case DragKind::Moving:
        m_cursor = drag.to;
        m_anchor = drag.to.slot;
        return requestMove(
            drag.block, drag.to.row, drag.to.day,
            shifted(m_blocks[drag.block], (drag.to.slot - drag.from.slot) * SlotMinutes));
    case DragKind::Stretching: {
        const BoardBlock &block = m_blocks[drag.block];
        const int endSlot = stretchedEnd();
        return requestMove(drag.block, block.row, block.day,
                           {minutesOf(block.start), minuteAt(endSlot),
                            endSlot >= m_slots.size() && runsToClose()});
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

void RoomsBoard::cancelDrag() {
    if (m_drag.kind == DragKind::None)
        return;
    m_drag = Drag{};
    emit changed();
}
