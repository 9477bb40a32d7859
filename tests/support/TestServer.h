#pragma once

#include "club/ClubCreator.h"
#include "storage/Databases.h"

// The PostgreSQL server named in MORAVEL_TEST_POSTGRES ("host=/tmp/... port=54329
// user=postgres"); without it clubs are SQLite files. Failures are added to the test.
namespace TestServer {

bool active();
// A new, empty database on the server; its settings, or nothing.
std::optional<StorageSettings> createDatabase();
void dropDatabase(const StorageSettings &database);
// A new club in `directory` on a new database, as ClubCreator makes it: a copy
// of a template database made once per server (see ClubTemplate).
std::optional<StorageSettings> createClub(const QString &directory,
                                          const ClubCreator::Options &options);

} // namespace TestServer
