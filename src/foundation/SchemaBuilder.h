#pragma once

#include "Result.h"
#include "Schema.h"

class Database;

// Turns the schema tables into DDL on an open database.
namespace SchemaBuilder {

// Creates every table of the database's schema that is not there yet.
Status createTables(Database &db);
Status createTable(Database &db, const Schema::Table &table);
Status createIndex(Database &db, const QString &table, const Schema::Index &index);
// Appends one column; an existing column of that name is reported as 3191.
Status addColumn(Database &db, const QString &table, const Schema::Column &column);
bool tableExists(Database &db, const QString &table);

} // namespace SchemaBuilder
