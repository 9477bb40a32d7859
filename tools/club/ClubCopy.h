#pragma once

#include "values/Result.h"

#include <QString>
#include <QStringList>
#include <functional>

// Moves a club's data from one club directory to another, whatever engine
// each keeps its databases in (SQLite files beside it, or the schemas of the
// PostgreSQL database its postgres.ini names): every row of every table,
// the reservation table's room columns, and the club's other files that the
// target lacks. The target carries the incomplete-copy marker from before
// its first write until every table has been read back from both sides and
// found equal, so no workstation ever opens a half-made copy.
namespace ClubCopy {

// Called with each report line as the copy gets there.
using Progress = std::function<void(const QString &line)>;

// The report: one line per table ("evnt.eventinfo: 31 rows"), one per file
// copied or kept, and the closing line. A target that holds more than a
// club just made by the creator is refused, changing nothing, unless
// `replace` is given; then its rows are replaced. Both clubs must be at this
// program's schema version.
Result<QStringList> copy(const QString &from, const QString &to, bool replace,
                         const Progress &progress = {});

} // namespace ClubCopy
