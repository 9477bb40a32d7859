#pragma once

#include "values/Result.h"

#include <QVariantList>
#include <optional>

class Database;

// The event's row of eventinfo. Reads take every column in stored order:
// the event's fields first, then whatever columns the club added after
// them. Writes name the event's own columns and leave the club's alone.
// Every function works on the caller's connection, inside its transaction
// where it writes.
namespace EventRow {

// The row's values in column order, a Null column as an invalid value;
// none when there is no such event.
Result<std::optional<QVariantList>> read(Database &evnt, int number);

// Stores the event's fields, one value per field in column order, into
// its row. No row to change (deleted meanwhile, or the engine dropped the
// change) is error 3021.
Status update(Database &evnt, int number, const QVariantList &fields);

// Adds the event's row, one value per field in column order.
Status add(Database &evnt, const QVariantList &fields);

} // namespace EventRow
