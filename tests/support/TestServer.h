#pragma once

#include "foundation/Databases.h"

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

} // namespace TestServer
