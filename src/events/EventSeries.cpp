#include "EventSeries.h"

#include "EventPackages.h"
#include "storage/Databases.h"
#include "values/TextValue.h"

namespace {

constexpr int RuleLength = 100;

Result<bool> exists(Database &evnt, const QString &sql, const QVariantList &values) {
    auto rows = evnt.exec(sql, values);
    if (!rows)
        return rows.error();
    return rows->next() && rows->value(0).toInt() > 0;
}

} // namespace

namespace EventSeries {

Status join(Database &evnt, int original, int copy, const QString &rule) {
    const QString cut = cutToLength(rule, RuleLength);
    auto started = exists(
        evnt, QStringLiteral("select count(*) from eventseries where eventnum = ?"), {original});
    if (!started)
        return started.status();
    if (!*started)
        if (Status added = evnt.execute(QStringLiteral("insert into eventseries (eventnum, "
                                                       "seriesnum, rule) values (?, ?, ?)"),
                                        {original, original, cut});
            !added)
            return added;
    if (Status added = evnt.execute(
            QStringLiteral("insert into eventseries (eventnum, seriesnum, rule) values (?, ?, ?)"),
            {copy, original, cut});
        !added)
        return added;
    // The original's package, or one it heads from now on.
    return EventPackages::joinPackageOf(evnt, original, copy).status();
}

Result<QList<int>> members(Database &evnt, int number) {
    auto rows = evnt.exec(
        QStringLiteral("select s.eventnum from eventseries s join eventinfo e on e.eventnum = "
                       "s.eventnum where s.seriesnum = (select seriesnum from eventseries where "
                       "eventnum = ?) order by case when s.eventnum = s.seriesnum then 0 else 1 "
                       "end, e.eventdate, s.eventnum"),
        {number});
    if (!rows)
        return rows.error();
    QList<int> found;
    while (rows->next())
        found << rows->value(0).toInt();
    return found;
}

} // namespace EventSeries
