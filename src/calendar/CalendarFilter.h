#pragma once

#include <QString>
#include <QVariantList>

// A condition to append to a query: " and ..." with ? placeholders, and the
// values that go into them, in order.
struct SqlCondition {
    QString sql;
    QVariantList values;
};

// The month sheet's filter, as chosen in the time list cbotime and the room
// list cboroom. It is kept as data and becomes SQL only with bound values,
// so nothing the lists hold is ever pasted into a query.
struct CalendarFilter {
    enum class Times {
        Any,    // no time condition: a plain redisplay
        AllDay, // between the club's day start and day end
        Morning,
        Afternoon,
        Evening,
    };

    Times times = Times::Any;
    int room = 0; // 0: every room

    // "Show Evening Only (after 6pm)" and "12 - Terrace  -  cap:80 only".
    static CalendarFilter fromLists(const QString &timeText, const QString &roomText);

    // An event shows in a part of the day when it starts or ends in it; an
    // end of "CLOSE" ends in the evening.
    SqlCondition condition(const QString &dayStart, const QString &dayEnd) const;
    // Where the chosen part of the day starts ("18:00" in the evening).
    QString firstTime(const QString &dayStart) const;
};
