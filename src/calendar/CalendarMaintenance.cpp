#include "CalendarMaintenance.h"

#include "ports/Clock.h"
#include "ports/ReportLauncher.h"
#include "session/ClubSettings.h"
#include "session/Module.h"

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
    const auto range = m_module.checks.askDateRange(QStringLiteral("Purge Calendar Data"),
                                                    EntryChecks::RangeFor::CalendarRows);
    if (!range)
        return;
    const QString from = QString::number(range->from);
    const QString to = QString::number(range->to);
    Messages &messages = m_module.messages;
    if (!messages.AskYesNo(FirstWarning.arg(from, to),
                           QStringLiteral("*** EXTREME CAUTION ADVISED ***")))
        return;
    // Said before the last question: a purge meant for past years can
    // catch bookings still to come.
    const auto losses = upcomingLosses(*range);
    if (!losses) {
        messages.ShowErrorCodes(losses.error());
        return;
    }
    messages.show(*losses, QStringLiteral("Purge Calendar Data"), Icon::Exclamation);
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

Result<QString> CalendarMaintenance::upcomingLosses(const DateRange &range) {
    auto db = m_module.databases.open(EventDatabase);
    if (!db)
        return db.error();
    const QDate today = m_module.ports.clock.today();
    const int after = today.year() * 10000 + today.month() * 100 + today.day();
    auto events = db.value()->exec(
        QStringLiteral("select eventnum, eventdate, eventtitle from eventinfo where eventnum > 0 "
                       "and status between 2 and 5 and eventdate > ? and eventdate between ? "
                       "and ? order by eventdate, eventnum"),
        {after, range.from, range.to});
    if (!events)
        return events.error();
    constexpr int Named = 10;
    QStringList named;
    int count = 0;
    while (events->next()) {
        if (++count <= Named)
            named << QStringLiteral("#%1  %2  %3")
                         .arg(events->value(0).toString(), events->value(1).toString(),
                              events->value(2).toString().trimmed());
    }
    if (count == 0)
        return QStringLiteral("No booked event dated after today is in this range.");
    QString text =
        QStringLiteral("%1 booked event%2 (status 2 to 5) dated after today will lose "
                       "%3 calendar cells, and will no longer show on the calendar:\r\n\r\n")
            .arg(count)
            .arg(count == 1 ? QString() : QStringLiteral("s"),
                 count == 1 ? QStringLiteral("its") : QStringLiteral("their")) +
        named.join(QStringLiteral("\r\n"));
    if (count > Named)
        text += QStringLiteral("\r\n... and %1 more").arg(count - Named);
    return text;
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
    const auto range = m_module.checks.askDateRange(QStringLiteral("Room Conflicts by Date Range"),
                                                    EntryChecks::RangeFor::CalendarRows);
    if (!range)
        return;
    ReportLauncher launcher(m_module);
    const auto work = launcher.PrepareReportDatabase();
    if (!work)
        return;
    ReportRequest &request = m_module.report;
    request.RangeFrom = range->from;
    request.RangeTo = range->to;
    const ClubSettings club = launcher.clubSettings();
    request.ReportHeadings[1] = QStringLiteral("from %1 to %2")
                                    .arg(club.dateNumber(range->from), club.dateNumber(range->to));

    DatabasePtr events = m_module.access.open(EventDatabase);
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
