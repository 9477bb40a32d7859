#include "EventChanges.h"

#include "Databases.h"
#include "session/CurrentEvent.h"
#include "values/TextValue.h"

namespace EventChanges {

namespace {

const QString StampFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
constexpr int NameSize = 30;

Stamp stampOf(const QSqlQuery &row) {
    return {row.value(0).toInt(), row.value(1).toString().trimmed(),
            QDateTime::fromString(row.value(2).toString(), StampFormat)};
}

} // namespace

Result<Stamp> read(Database &evnt, int number) {
    auto row = evnt.exec(QStringLiteral("select changecount, changedby, changedat from "
                                        "eventchange where eventnum = ?"),
                         {number});
    if (!row)
        return row.error();
    return row->next() ? stampOf(*row) : Stamp{};
}

Result<std::optional<StoredEvent>> hold(Database &evnt, int number) {
    auto row = evnt.exec(QStringLiteral("select eventdate, roomnumber, status, eventtitle from "
                                        "eventinfo where eventnum = ?") +
                             evnt.dialect().lockRowsClause(),
                         {number});
    if (!row)
        return row.error();
    if (!row->next())
        return std::optional<StoredEvent>();
    return std::optional<StoredEvent>(StoredEvent{row->value(0).toInt(), row->value(1).toInt(),
                                                  row->value(2).toInt(), row->value(3).toString()});
}

Result<Claim> claim(Database &evnt, int number, std::optional<int> expected,
                    const QString &changedBy, const QDateTime &changedAt) {
    // The event's own row is the lock every writer of the event takes first,
    // so its count row (which an old event may not have yet) is read and
    // written by one writer at a time.
    auto held = hold(evnt, number);
    if (!held)
        return held.error();
    Claim claimed;
    const bool exists = held->has_value();
    if (exists)
        claimed.stored = **held;
    auto stamp = read(evnt, number);
    if (!stamp)
        return stamp.error();
    claimed.before = stamp->count;
    if (!exists || (expected && *expected != stamp->count)) {
        claimed.outcome = exists ? Claim::Stale : Claim::Missing;
        claimed.stamp = *stamp;
        return claimed;
    }
    const QVariantList values{stamp->count + 1, cutToLength(changedBy, NameSize),
                              changedAt.toString(StampFormat), number};
    const Status raised =
        stamp->count > 0
            ? evnt.change(QStringLiteral("update eventchange set changecount = ?, changedby = ?, "
                                         "changedat = ? where eventnum = ?"),
                          values)
            : evnt.execute(QStringLiteral("insert into eventchange (changecount, changedby, "
                                          "changedat, eventnum) values (?, ?, ?, ?)"),
                           values);
    if (!raised)
        return raised.error();
    claimed.stamp = {stamp->count + 1, changedBy, changedAt};
    return claimed;
}

Status start(Database &evnt, int number, const QString &changedBy, const QDateTime &changedAt) {
    if (Status cleared =
            evnt.execute(QStringLiteral("delete from eventchange where eventnum = ?"), {number});
        !cleared)
        return cleared;
    return evnt.execute(
        QStringLiteral("insert into eventchange (eventnum, changecount, "
                       "changedby, changedat) values (?, 1, ?, ?)"),
        {number, cutToLength(changedBy, NameSize), changedAt.toString(StampFormat)});
}

void adopt(CurrentEvent &event, int number, const Claim &claimed) {
    if (claimed.outcome == Claim::Raised && event.EventNumber == number &&
        event.ChangeCount == claimed.before)
        event.ChangeCount = claimed.stamp.count;
}

QString staleText(int number, const Stamp &stamp, const QDate &today) {
    return QStringLiteral("Event #%1 was changed at another workstation (%2) since you opened it.")
        .arg(number)
        .arg(who(stamp, today));
}

QString deletedText(int number, const Stamp &stamp, const QDate &today) {
    // Without a count row nothing says who took it, or that it ever was.
    if (stamp.count == 0)
        return QStringLiteral("Event #%1 could not be found; it may have been deleted at another "
                              "workstation.")
            .arg(number);
    return QStringLiteral("Event #%1 was deleted at another workstation (%2).")
        .arg(number)
        .arg(who(stamp, today));
}

QDateTime changedAt(const QString &stored, const QTimeZone &zone) {
    // Date and time apart: read as one, a time in a gap of this workstation's
    // own zone would be moved.
    const QStringList parts = stored.trimmed().split(QLatin1Char(' '));
    const QDate date = QDate::fromString(parts.value(0), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(parts.value(1), QStringLiteral("HH:mm:ss"));
    return date.isValid() && time.isValid() ? QDateTime(date, time, zone) : QDateTime();
}

QString who(const Stamp &stamp, const QDate &today) {
    const QString name = stamp.changedBy.isEmpty() ? QStringLiteral("?") : stamp.changedBy;
    if (!stamp.changedAt.isValid())
        return name;
    const QString format = stamp.changedAt.date() == today ? QStringLiteral("HH:mm")
                                                           : QStringLiteral("MM/dd/yyyy HH:mm");
    return name + QStringLiteral(", ") + stamp.changedAt.toString(format);
}

} // namespace EventChanges
