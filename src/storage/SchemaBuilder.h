#pragma once

#include "Schema.h"
#include "values/Result.h"

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
// The table's columns as the database has them, in their order.
Result<QStringList> columnNames(Database &db, const QString &table);

// Gives an existing table the schema's columns and indexes: a new table is
// made, every row copied over by column name, the old one dropped and the
// new one renamed. Fails, changing nothing, if any row would not fit. Runs
// inside the caller's transaction.
Status rebuildTable(Database &db, const Schema::Table &table);
// Creates the schema's indexes that the table lacks and drops the unnamed
// ones ("<table>_ix<n>") that earlier versions made.
Status syncIndexes(Database &db, const Schema::Table &table);

} // namespace SchemaBuilder
