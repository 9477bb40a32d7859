#pragma once

#include "storage/Databases.h"
#include "values/Result.h"

// Whole databases on a PostgreSQL server, made and dropped through its
// maintenance database "postgres" (throwaway clubs for tests and benchmarks).
namespace ServerDatabases {

// Runs one statement there, as the server settings' user.
Status execute(const StorageSettings &server, const QString &sql);
Status create(const StorageSettings &server, const QString &databaseName);
// Drops it even while sessions are still connected.
Status drop(const StorageSettings &server, const QString &databaseName);

} // namespace ServerDatabases
