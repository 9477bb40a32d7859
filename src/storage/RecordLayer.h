#pragma once

#include "values/Result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

class Database;
class Databases;
class Messages;

// The small position-addressed record layer used by billing, accounts and
// the point-of-sale export: read one row into the field arrays, write the
// arrays back to the first row of a query (or to a new row), run a statement.
// SQL texts carry '?' placeholders; the values are bound in order.
//
// A missing database shows the missing-database message and leaves the
// arrays as they were; other engine errors are returned for the caller to
// report (a locked record may deserve the retry question rather than the
// error report).
class RecordLayer {
public:
    RecordLayer(Databases &databases, Messages &messages);

    // An empty database or SQL text changes nothing, MessageText included.
    // Fills the arrays from the first row. With no row, the names and types
    // are filled, every value is Empty (invalid) and MessageText is "QUIT".
    Status ReadRecord(const QString &database, const QString &sql, const QVariantList &values = {});
    // The same on a connection the caller holds, inside its transaction.
    Status ReadRecord(Database &db, const QString &sql, const QVariantList &values = {});
    // Writes every value that is not Empty to the first row the query returns
    // (that row alone, even where others match too), or to a new row of the
    // query's table while NewRecordMode is on. No row to edit, or a row that
    // could not be changed, is error 3021.
    Status WriteRecord(const QString &database, const QString &sql,
                       const QVariantList &values = {});
    // The same inside the caller's write transaction on that connection, so
    // that a save's row and the writes that belong with it commit together.
    Status WriteRecord(Database &db, const QString &sql, const QVariantList &values = {});
    // An UPDATE, DELETE or INSERT; a missing database is passed over silently.
    Status ExecuteSql(const QString &database, const QString &sql, const QVariantList &values = {});

    void BeginNewRecord() { NewRecordMode = true; }
    void EndNewRecord() { NewRecordMode = false; }

    int FieldCount = -1; // number of fields of the last read, minus one
    QVariantList FieldValues;
    QStringList FieldNames;
    QList<int> FieldTypes;
    QVariantList FieldExtra;
    bool NewRecordMode = false;

private:
    Status writeRow(const QString &database, const QString &sql, const QVariantList &values);

    Databases &m_databases;
    Messages &m_messages;
};
