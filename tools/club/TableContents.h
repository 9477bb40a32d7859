#pragma once

#include "storage/Schema.h"
#include "values/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

class Database;

// What a table holds, whatever the order of its rows and the engine that
// keeps it, so that a copy can be checked against its source.
namespace TableContents {

// A digest of each row, sorted, and an order-free sum per column that tells
// which columns a difference lies in.
struct Contents {
    QList<QByteArray> rows;
    QList<quint64> columnSums;
};

// A stored value as text both engines agree on. SQLite hands numbers back as
// integers or doubles, PostgreSQL its numeric columns as decimal text, so a
// value is read by its column's type; one that is not what its type says is
// compared as it stands.
QString canonical(const QVariant &value, Schema::ColumnType type);
// The table's rows over these columns; a column the table lacks reads as null.
Result<Contents> read(Database &db, const QString &table, const QList<Schema::Column> &columns);
// How `to` differs from `from`, in words; empty when it does not.
QString difference(const Contents &from, const Contents &to, const QList<Schema::Column> &columns);

} // namespace TableContents
