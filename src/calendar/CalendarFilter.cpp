#include "CalendarFilter.h"

#include "values/TextValue.h"

namespace {

const QString Noon = QStringLiteral("12:00");
const QString Evening = QStringLiteral("18:00");

// Starts or ends between from and to, as HH:MM text.
SqlCondition startsOrEnds(const QString &from, const QString &to) {
    return {QStringLiteral(" and (starttime between ? and ? or endtime between ? and ?)"),
            {from, to, from, to}};
}

} // namespace

CalendarFilter CalendarFilter::fromLists(const QString &timeText, const QString &roomText) {
    CalendarFilter filter;
    if (timeText.contains(QLatin1String("All")))
        filter.times = Times::AllDay;
    else if (timeText.contains(QLatin1String("Morning")))
        filter.times = Times::Morning;
    else if (timeText.contains(QLatin1String("Afternoon")))
        filter.times = Times::Afternoon;
    else if (timeText.contains(QLatin1String("Evening")))
        filter.times = Times::Evening;
    else
        filter.times = Times::AllDay;
    // A room line starts with its number; "Show All Rooms" reads as 0.
    filter.room = qMax(0, integerValue(roomText));
    return filter;
}

SqlCondition CalendarFilter::condition(const QString &dayStart, const QString &dayEnd) const {
    SqlCondition condition;
    switch (times) {
    case Times::Any:
        break;
    case Times::AllDay:
        condition = {QStringLiteral(" and starttime between ? and ?"), {dayStart, dayEnd}};
        break;
    case Times::Morning:
        condition = startsOrEnds(dayStart, QStringLiteral("11:45"));
        break;
    case Times::Afternoon:
        condition = startsOrEnds(Noon, QStringLiteral("17:45"));
        break;
    case Times::Evening:
        // "CLOSE" sorts after every time, yet the event runs to the day's end.
        condition = {QStringLiteral(" and (starttime between ? and ? or endtime between ? and ? "
                                    "or endtime = ?)"),
                     {Evening, dayEnd, Evening, dayEnd, QStringLiteral("CLOSE")}};
        break;
    }
    if (room != 0) {
        condition.sql += QStringLiteral(" and roomnumber = ?");
        condition.values << room;
    }
    return condition;
}

QString CalendarFilter::firstTime(const QString &dayStart) const {
    switch (times) {
    case Times::Afternoon:
        return Noon;
    case Times::Evening:
        return Evening;
    default:
        return dayStart;
    }
}
