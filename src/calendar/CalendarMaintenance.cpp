#include "CalendarMaintenance.h"

#include "foundation/Module.h"
#include "foundation/ReportLauncher.h"

#include <QSet>

namespace {

const QString EventDatabase = QStringLiteral("evnt");

const QString FirstWarning = QStringLiteral(
    "Purging calendar data is permanent; there is no 'un-do' to this procedure.\r\n\r\n"
    "Purge does not delete event details, but it will disconnect events from the\r\n"
    "visible calendar that have dates within the from/to date range shown below:\r\n\r\n"
    "Purge from: %1   to: %2\r\n\r\n"
    "Click YES to continue; NO to cancel now.");
const QString LastWarning =
    QStringLiteral("Click YES again to confirm purge or click NO to cancel.\r\n"
                   "This is the last warning you will receive.\r\n\r\n"
                   "Continue with purge operation?");

// Both rooms' booked quarter-hours of the range. The column names are made
// from room numbers read from the room table, never from typed text.
QString conflictQuery(const CalendarMaintenance::RoomPair &pair) {
    const QString s = QString::number(pair.larger);
    const QString r = QString::number(pair.part);
    return QStringLiteral("select resdate, restime, event%1, room%1, event%2, room%2 from reserv "
                          "where room%1 > ' ' and room%2 > ' ' and resdate between ? and ? "
                          "order by resdate, restime")
        .arg(s, r);
}

} // namespace

CalendarMaintenance::CalendarMaintenance(Module &module, QObject *parent)
    : QObject(parent)
    , m_module(module) {}

void CalendarMaintenance::PurgeCalendar() {
    if (m_module.session.UserLevel != OperatorSession::MaintenanceLevel)
        return;
    const auto range = m_module.checks.askDateRange(QStringLiteral("Purge Calendar Data"));
    if (!range)
        return;
    const QString from = QString::number(range->from);
    const QString to = QString::number(range->to);
    Messages &messages = m_module.messages;
    if (!messages.AskYesNo(FirstWarning.arg(from, to),
                           QStringLiteral("*** EXTREME CAUTION ADVISED ***")))
        return;
    if (!messages.AskYesNo(LastWarning, QStringLiteral(" *** CONFIRM PURGE??? ***")))
        return;

    emit status(QStringLiteral("Please wait... purging calendar data between ") + from +
                QStringLiteral(" and ") + to);
    const auto purged = purge(range->from, range->to);
    if (!purged) {
        messages.ShowErrorCodes(purged.error());
        emit status(QString());
        return;
    }
    emit status(QStringLiteral("Purge Complete"));
    emit calendarRequested();
}

Result<int> CalendarMaintenance::purge(int from, int to) {
    auto db = m_module.databases.open(EventDatabase);
    if (!db)
        return db.error();
    int deleted = 0;
    const Status done = m_module.messages.RetryWhileLocked([&]() -> Status {
        auto query = db.value()->exec(
            QStringLiteral("delete from reserv where resdate between ? and ?"), {from, to});
        if (!query)
            return query.error();
        deleted = query->numRowsAffected();
        return {};
    });
    if (!done)
        return done.error();
    return deleted;
}

Result<CalendarMaintenance::Rooms> CalendarMaintenance::roomPairs(Database &events) {
    auto rooms =
        events.exec(QStringLiteral("select roomnum, subdiv from location order by roomnum"));
    if (!rooms)
        return rooms.error();
    QSet<int> numbers;
    Rooms found;
    while (rooms->next()) {
        numbers.insert(rooms->value(0).toInt());
        found.pairs << RoomPair{rooms->value(1).toInt(), rooms->value(0).toInt()};
    }
    // A larger room must be another room that exists: its columns are
    // queried by name.
    found.pairs.removeIf([&](const RoomPair &pair) {
        return pair.larger < 1 || pair.larger == pair.part || !numbers.contains(pair.larger);
    });
    found.count = numbers.size();
    return found;
}

Status CalendarMaintenance::copyConflicts(Database &events, const ReportWorkCopy &report,
                                          const QList<RoomPair> &pairs, const DateRange &range) {
    QList<QVariantList> conflicts;
    for (const RoomPair &pair : pairs) {
        auto rows = events.exec(conflictQuery(pair), {range.from, range.to});
        if (!rows)
            return rows.error();
        while (rows->next()) {
            QVariantList row;
            for (int column = 0; column < 6; ++column)
                row << rows->value(column);
            conflicts << row;
        }
    }
    return report.append(QStringLiteral("eventreserv"),
                         {QStringLiteral("resdate"), QStringLiteral("restime"),
                          QStringLiteral("event1"), QStringLiteral("room1"),
                          QStringLiteral("event2"), QStringLiteral("room2")},
                         conflicts);
}

void CalendarMaintenance::RoomConflictReport() {
    const auto range = m_module.checks.askDateRange(QStringLiteral("Room Conflicts by Date Range"));
    if (!range)
        return;
    ReportLauncher launcher(m_module);
    const auto work = launcher.PrepareReportDatabase();
    if (!work)
        return;
    ReportRequest &request = m_module.report;
    request.RangeFrom = range->from;
    request.RangeTo = range->to;
    request.ReportHeadings[1] = QStringLiteral("from %1 to %2").arg(range->from).arg(range->to);

    DatabasePtr events = m_module.openDatabase(EventDatabase);
    if (!events)
        return;
    const auto rooms = roomPairs(*events);
    if (!rooms) {
        m_module.messages.ShowErrorCodes(rooms.error());
        return;
    }
    if (rooms->count == 0) {
        m_module.messages.show(QStringLiteral("No rooms are defined yet."),
                               QStringLiteral("Oops..."), Icon::Information);
        return;
    }
    const Status copied = copyConflicts(*events, *work, rooms->pairs, *range);
    events.reset();
    if (!copied) {
        m_module.messages.ShowErrorCodes(copied.error());
        return;
    }
    if (!launcher.WriteReportHeadings(*work))
        return;
    request.ReportFile = QStringLiteral("evntcon1.rpt");
    request.DataFiles[0] = work->fileName();
    launcher.LaunchReport(*work);
}
