#pragma once

#include "club/ClubCreator.h"
#include "storage/Databases.h"

#include <QString>
#include <optional>

// The PostgreSQL server the tests run against, named in the environment
// variable MORAVEL_TEST_POSTGRES ("host=/tmp/... port=54329 user=postgres");
// without it every club is made of SQLite files. Each test club gets a
// database of its own, dropped again afterwards.
namespace TestServer {

// The server's settings; nothing when the tests run on SQLite.
std::optional<StorageSettings> server();
bool active();
// A new, empty database on the server; its settings, or nothing when it
// could not be made (the failure is added to the test).
std::optional<StorageSettings> createDatabase();
void dropDatabase(const StorageSettings &database);

// A new club in `directory` whose databases are a new database on the
// server, as ClubCreator would make it with these options. Making a club on
// the server takes seconds (hundreds of tables and indexes, and the demo
// data), so each test program makes it once per server and kind of club, as
// a template database beside a template directory, and every test gets a
// copy of both. Nothing on failure (added to the test).
std::optional<StorageSettings> createClub(const QString &directory,
                                          const ClubCreator::Options &options);

} // namespace TestServer
