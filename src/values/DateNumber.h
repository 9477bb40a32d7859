#pragma once

#include <QDate>

// Dates as the club's tables keep them: a YYYYMMDD number.
inline int dateNumber(const QDate &date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}
// The date of a YYYYMMDD number; invalid for anything else.
inline QDate dateOfNumber(int yyyymmdd) {
    return QDate(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
}
