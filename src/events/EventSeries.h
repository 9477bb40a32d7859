#pragma once

#include "values/Result.h"

#include <QList>
#include <QString>

class Database;

// The series of repeated bookings (table eventseries): an original and the
// copies a repeat made of it, each copy also in the original's package.
namespace EventSeries {

// Inside the caller's transaction: `copy` joins the series of `original`
// (the original too, when this is its first copy) and its package (made,
// headed by the original, when it had none).
Status join(Database &evnt, int original, int copy, const QString &rule);

// The events of the series `number` is in, the original first, then by
// date; none when it is in none.
Result<QList<int>> members(Database &evnt, int number);

} // namespace EventSeries
