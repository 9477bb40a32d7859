#pragma once

#include "Databases.h"
#include "values/Result.h"

#include <QString>

// Where a club directory keeps its databases: SQLite files beside it (the
// default, one workstation), or the PostgreSQL server named in its file
// "postgres.ini" (several workstations). The files of the club directory
// itself (counter, change log, components, layouts) stay there either way.
//
//   # the club's PostgreSQL server
//   host=db.club.example
//   port=5432
//   database=moravel
//   user=events
//
// The password is never kept in the club directory: the PostgreSQL client
// library reads it from PGPASSWORD or the operator's ~/.pgpass.
namespace ClubStorage {

inline constexpr auto ServerFile = "postgres.ini";
// Left in a club directory while its data is being copied there, and
// removed only when the copy has been checked; no workstation opens a club
// that has it.
inline constexpr auto IncompleteMarker = "copy-incomplete.txt";

// The storage of the club directory; an unreadable server file, or one that
// lacks the database, is an error naming the file and what is wrong.
Result<StorageSettings> load(const QString &clubDirectory);
// Writes the server file for these settings (nothing for SQLite).
Status writeServer(const QString &clubDirectory, const StorageSettings &settings);
// "host=... port=... database=... user=..." read into PostgreSQL settings;
// an error names what is missing or not understood.
Result<StorageSettings> parseServer(const QString &text);
// The server in words for messages: "PostgreSQL database moravel on db:5432".
QString describe(const StorageSettings &settings);

} // namespace ClubStorage
