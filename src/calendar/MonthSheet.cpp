#include "MonthSheet.h"

#include "StatusColors.h"
#include "ports/Clock.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "values/TextValue.h"

#include <QDate>

namespace {

const QString EventDatabase = QStringLiteral("evnt");

// The events of one month, by day: how many, and the first ones in
// start-time order.
struct MonthEvents {
    std::array<int, 32> counts{};
    std::array<QList<DayLine>, 32> lines;
};

// One range query for the whole month, grouped by day here: the cost of a
// sheet follows the month's events, not the days or the club's history.
Result<MonthEvents> readMonthEvents(Module &module, int firstDate, int lastDate,
                                    const CalendarFilter &filter) {
    auto db = module.databases.open(EventDatabase);
    if (!db)
        return db.error();
    // A club whose settings cannot be read gets the default colours.
    const auto club = ClubSettings::read(*db.value());
    const StatusColors::Palette colors(club ? *club : ClubSettings());
    const SqlCondition condition =
        filter.condition(module.config.DayStartTime, module.config.DayEndTime);
    // Statuses 1 (contact only) and 9 (cancelled) hold no room.
    auto query = db.value()->exec(
        QStringLiteral("select eventdate, starttime, eventtitle, status from eventinfo where "
                       "eventdate between ? and ? and status between ? and ?") +
            condition.sql + QStringLiteral(" order by eventdate, starttime, eventnum"),
        QVariantList{firstDate, lastDate, 2, 8} + condition.values);
    if (!query)
        return query.error();
    MonthEvents events;
    while (query->next()) {
        const int day = query->value(0).toInt() % 100;
        if (day < 1 || day > 31)
            continue;
        ++events.counts[day];
        if (events.lines[day].size() < MonthSheet::TitlesShown)
            events.lines[day] << DayLine{
                query->value(1).toString(),
                cutToLength(query->value(2).toString(), MonthSheet::TitleLength),
                colors(query->value(3).toInt())};
    }
    if (query->lastError().isValid())
        return db.value()->error(query->lastError());
    return events;
}

// The count sits on the day's own line, short enough for the narrowest cell.
DayCell dayCell(int day, int count, const QList<DayLine> &lines) {
    DayCell cell;
    cell.visible = true;
    cell.events = count;
    cell.heading = QString::number(day);
    if (count > 0)
        cell.heading += QStringLiteral("   %1 %2")
                            .arg(count)
                            .arg(count == 1 ? QStringLiteral("event") : QStringLiteral("events"));
    cell.lines = lines;
    if (count > lines.size())
        cell.more = QStringLiteral("+%1 more").arg(count - lines.size());
    cell.text = cell.heading;
    for (const DayLine &line : lines)
        cell.text += QStringLiteral("\r\n") + line.text();
    if (!cell.more.isEmpty())
        cell.text += QStringLiteral("\r\n") + cell.more;
    return cell;
}

} // namespace

// A line without a title (or a time) shows what it has, without a stray blank.
QString DayLine::text() const {
    if (title.isEmpty() || time.isEmpty())
        return time + title;
    return time + QLatin1Char(' ') + title;
}

MonthSheet::MonthSheet(Module &module, QObject *parent)
    : QObject(parent)
    , grid(module.access, module.config)
    , board(module.access, module.config)
    , m_module(module) {
    timeFilter.entries = {QStringLiteral("Show All Times"),
                          QStringLiteral("Show Morning Only (before Noon)"),
                          QStringLiteral("Show Afternoon Only (Noon - 6pm)"),
                          QStringLiteral("Show Evening Only (after 6pm)")};
    timeFilter.text = timeFilter.entries.first();
    roomFilter.entries = {QStringLiteral("Show All Rooms")};
    roomFilter.text = roomFilter.entries.first();
    const QDate today = m_module.ports.clock.today();
    setMonth(today.year(), today.month());
    redrawTimer.setInterval(TickIntervalMs);
    connect(&redrawTimer, &QTimer::timeout, this, &MonthSheet::redrawTick);
    connect(&grid, &ReservationGrid::slotSelected, this, &MonthSheet::showGridSlot);
    connect(&board, &RoomsBoard::changed, this, &MonthSheet::followBoard);
}

QString MonthSheet::monthText(int month) {
    static const char *const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12)
        return QString();
    return QStringLiteral("%1  %2")
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(QLatin1String(names[month - 1]));
}

void MonthSheet::setMonth(int year, int month) {
    m_year = year;
    m_month = month;
    dateBoxes[YearBox] = QString::number(year);
    dateBoxes[MonthBox] = monthText(month);
}

int MonthSheet::dayOfCell(int cell) const {
    if (cell < 0 || cell >= CellCount || !cells[cell].visible)
        return 0;
    return cell - m_firstCell + 1;
}

int MonthSheet::restingColor(int cell) const {
    const QDate today = m_module.ports.clock.today();
    const bool isToday =
        today.year() == m_year && today.month() == m_month && today.day() == dayOfCell(cell);
    return isToday ? CellColor::Today : CellColor::White;
}

bool MonthSheet::ShowCurrentMonth() {
    timeFilter.text = timeFilter.entries.value(0);
    roomFilter.text = roomFilter.entries.value(0);
    const QDate today = m_module.ports.clock.today();
    setMonth(today.year(), today.month());
    viewMode = CalendarView;
    dateTimeVisible = false;
    dateBoxes[DateBox].clear();
    dateBoxes[TimeBox].clear();
    return BuildMonthSheet();
}

bool MonthSheet::BuildMonthSheet(const CalendarFilter &filter) {
    return drawMonth(filter, true);
}

bool MonthSheet::drawMonth(const CalendarFilter &filter, bool reportFailure) {
    const QDate first(m_year, m_month, 1);
    m_firstCell = first.dayOfWeek() % 7; // Qt counts Monday 1 ... Sunday 7
    const int days = first.daysInMonth();
    cells.fill(DayCell{});
    auto events = readMonthEvents(m_module, dateOf(1), dateOf(days), filter);
    if (!events) {
        selectedCell = -1;
        emit changed();
        if (reportFailure)
            m_module.messages.reportFailure(events.error(), EventDatabase);
        return false;
    }
    for (int day = 1; day <= days; ++day) {
        const int index = m_firstCell + day - 1;
        cells[index] = dayCell(day, events->counts[day], events->lines[day]);
        cells[index].backColor = restingColor(index);
    }
    markSelectedCell();
    emit changed();
    return true;
}

// The selection survives a redraw of its month (the timer's among them).
void MonthSheet::markSelectedCell() {
    selectedCell = -1;
    if (SelectedDate / 100 != m_year * 100 + m_month)
        return;
    const int cell = m_firstCell + SelectedDate % 100 - 1;
    if (dayOfCell(cell) == 0)
        return;
    selectedCell = cell;
    cells[cell].backColor = CellColor::Selected;
}

bool MonthSheet::RedisplayCalendar() {
    if (boardVisible())
        return board.reload();
    return BuildMonthSheet(chosenFilter());
}

void MonthSheet::Refresh() {
    BuildMonthSheet();
    if (grid.isOpen())
        grid.reload();
    if (boardVisible())
        board.reload();
}

// The year and month boxes name the month of the board's cursor, and the
// month sheet opens on it when the operator goes back to it.
void MonthSheet::followBoard() {
    if (!boardVisible() || !board.firstDay().isValid())
        return;
    const QDate day = board.dayAt(board.cursor().day);
    if (day.year() == m_year && day.month() == m_month)
        return;
    setMonth(day.year(), day.month());
    emit changed();
}

QDate MonthSheet::shownDay() const {
    if (SelectedDate / 100 == m_year * 100 + m_month)
        return QDate(m_year, m_month, SelectedDate % 100);
    const QDate today = m_module.ports.clock.today();
    if (today.year() == m_year && today.month() == m_month)
        return today;
    return QDate(m_year, m_month, 1);
}

void MonthSheet::selectCell(int cell) {
    const int day = dayOfCell(cell);
    dateBoxes[DateBox] = QString::number(dateOf(day));
    if (dayOfCell(selectedCell) != 0)
        cells[selectedCell].backColor = restingColor(selectedCell);
    cells[cell].backColor = CellColor::Selected;
    SelectedDate = dateOf(day);
    selectedCell = cell;
}

void MonthSheet::SelectDay(int cell) {
    if (dayOfCell(cell) == 0)
        return;
    selectCell(cell);
    emit changed();
}

void MonthSheet::OpenDay(int cell) {
    if (dayOfCell(cell) == 0)
        return;
    selectCell(cell);
    // A day of a year that is not set up has no slots and opens nothing.
    // The slots start where the time filter's part of the day does.
    const CalendarFilter filter = chosenFilter();
    if (grid.open(SelectedDate, SelectedDate, filter.firstTime(m_module.config.DayStartTime))) {
        showSlotText(SelectedDate, grid.time(0));
        dateTimeVisible = true;
        viewMode = ListView;
        emit dayOpened(SelectedDate, filter.room);
    }
    emit changed();
}

void MonthSheet::ChangeView(int mode) {
    if (mode == CalendarView) {
        dateBoxes[DateBox].clear();
        dateBoxes[TimeBox].clear();
        dateTimeVisible = false;
        viewMode = CalendarView;
        BuildMonthSheet();
        return;
    }
    if (mode == BoardView) {
        if (viewMode == BoardView)
            return;
        dateTimeVisible = false;
        viewMode = BoardView;
        board.setFilter(chosenFilter(), false);
        // Back on the board, the operator finds the day he left, unless he
        // has chosen another on the month sheet since.
        const bool samePlace = board.firstDay().isValid() && SelectedDate == m_boardChosenDate;
        m_boardChosenDate = SelectedDate;
        board.showDate(samePlace ? board.dayAt(board.cursor().day) : shownDay(), board.span());
        emit changed();
        return;
    }
    if (mode != ListView)
        return;
    if (!grid.isOpen()) {
        m_module.messages.show(QStringLiteral("Please select a calendar date or event first."),
                               QStringLiteral("Oops..."), Icon::Information);
        emit changed(); // the option goes back to the calendar view
        return;
    }
    viewMode = ListView;
    dateTimeVisible = true;
    emit changed();
}

// A move shows the new month's sheet and closes the opened day, so the
// list view asks for a day of the new month first.
void MonthSheet::MoveMonthOrYear(int button) {
    const QDate first(m_year, m_month, 1);
    QDate moved;
    switch (button) {
    case MonthBack:
        moved = first.addMonths(-1);
        break;
    case MonthForward:
        moved = first.addMonths(1);
        break;
    case YearForward:
        moved = first.addYears(1);
        break;
    case YearBack:
        moved = first.addYears(-1);
        break;
    default:
        return;
    }
    if (!moved.isValid())
        return;
    dateTimeVisible = false;
    setMonth(moved.year(), moved.month());
    grid.close();
    emit dayOpened(0, 0);
    viewMode = CalendarView;
    RedisplayCalendar();
}

void MonthSheet::redrawTick() {
    // Year set-up holds the reservation table between its months.
    // Nor while the operator drags on the board: the redraw would drop it.
    if ((!calendarVisible() && !boardVisible()) || m_module.longOperation.running() ||
        board.drag().kind != RoomsBoard::DragKind::None)
        return;
    if (++m_ticks < RedisplayTicks)
        return;
    m_ticks = 1;
    // A failing redisplay is reported once, not every minute, until one
    // succeeds again; the flag is set first since the report may wait for
    // the operator while further ticks arrive.
    const bool report = !m_tickFailed;
    m_tickFailed = true;
    m_tickFailed = boardVisible() ? !board.reload(report) : !drawMonth(chosenFilter(), report);
}

// What the time and room lists hold, as a filter.
CalendarFilter MonthSheet::chosenFilter() const {
    return CalendarFilter::fromLists(timeFilter.text, roomFilter.text);
}

// The month sheet waits for "Redisplay Calendar"; the board follows at once.
void MonthSheet::chooseTimeFilter(const QString &text) {
    timeFilter.text = text;
    if (boardVisible())
        board.setFilter(chosenFilter());
}

void MonthSheet::chooseRoomFilter(const QString &text) {
    roomFilter.text = text;
    if (boardVisible())
        board.setFilter(chosenFilter());
}

void MonthSheet::setRooms(const QList<Room> &rooms) {
    roomFilter.entries = {QStringLiteral("Show All Rooms")};
    for (const Room &room : rooms)
        roomFilter.entries << RoomDisplayLine(room) + QStringLiteral(" only");
    roomFilter.text = roomFilter.entries.first();
    grid.setRooms(rooms);
    board.setRooms(rooms);
    board.setFilter(chosenFilter(), boardVisible());
    emit changed();
}

void MonthSheet::showGridSlot(int date, const QString &time) {
    showSlotText(date, time);
    dateTimeVisible = true;
    emit changed();
}

// The slot's date and time as the grid shows them.
void MonthSheet::showSlotText(int date, const QString &time) {
    dateBoxes[DateBox] = grid.club().dateNumber(date);
    dateBoxes[TimeBox] = grid.club().time(time);
}
