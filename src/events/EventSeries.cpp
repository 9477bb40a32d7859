#include "EventSeries.h"

#include "EventPackages.h"
#include "storage/Databases.h"
#include "values/TextValue.h"

namespace {

constexpr int RuleLength = 100;

} // namespace

namespace EventSeries {

Status join(Database &evnt, int original, int copy, const QString &rule) {
    const QString cut = cutToLength(rule, RuleLength);
    // A copy repeated again adds to the series it is in, not to one of its
    // own, so the whole series changes together.
    auto series = evnt.exec(QStringLiteral("select seriesnum from eventseries where eventnum = ?"),
                            {original});
    if (!series)
        return series.status();
    const int seriesNumber = series->next() ? series->value(0).toInt() : 0;
    series->finish();
    if (seriesNumber == 0)
        if (Status added = evnt.execute(QStringLiteral("insert into eventseries (eventnum, "
                                                       "seriesnum, rule) values (?, ?, ?)"),
                                        {original, original, cut});
            !added)
            return added;
    if (Status added = evnt.execute(
            QStringLiteral("insert into eventseries (eventnum, seriesnum, rule) values (?, ?, ?)"),
            {copy, seriesNumber == 0 ? original : seriesNumber, cut});
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
