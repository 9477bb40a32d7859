#pragma once

#include "Schema.h"
#include "values/Result.h"

#include <QSqlError>
#include <QString>
#include <QVariant>
#include <memory>

class QSqlDatabase;

// What differs between the storage engines: column types, how a write
// transaction starts, and how the engine's errors map to the suite's numbers.
// Everything else is the same standard SQL on both.
class SqlDialect {
public:
    virtual ~SqlDialect() = default;

    virtual QString driverName() const = 0;
    // Both engines take the same standard column types but for bytes.
    QString columnType(Schema::ColumnType type, int size) const;
    virtual QString binaryType() const = 0;
    virtual QString textType(int size) const = 0;
    // Starts a transaction that takes the write lock at once, so two
    // workstations cannot both read a booking as free and then write it.
    virtual Status beginWrite(QSqlDatabase &db) const = 0;
    virtual DbError mapError(const QSqlError &error) const = 0;

    // The engine's own identity of a row ("rowid", "ctid"). It is valid only
    // inside the write transaction that read it: another workstation may
    // move or reuse it once the transaction ends.
    virtual QString rowIdentity() const = 0;
    // Appended to a select that picks rows to change, so that no other
    // workstation changes them before this transaction ends.
    virtual QString lockRowsClause() const = 0;
    // A statement that keeps other workstations from writing the table until
    // this transaction ends, while they may still read its committed rows;
    // empty where beginWrite already holds the whole database.
    virtual QString lockTableStatement(const QString &table) const = 0;
    // A select of the names of the indexes on the table bound to its one
    // placeholder.
    virtual QString indexNamesQuery() const = 0;
    // A select that returns a row when the table bound to its one
    // placeholder exists in this database (its schema on PostgreSQL).
    virtual QString tableExistsQuery() const = 0;

    // A condition that holds when the column's text contains `text`: letters
    // compare without regard to case in every alphabet ("Zoë" is found by
    // "ZOË", "Σίσυφος" by "ΣΊΣΥΦΟΣ"), every other character is taken as it
    // is, with no wildcards (% _ * ? [ are plain characters). A null column
    // never matches. Bind `value` to the condition's one placeholder.
    //
    // Neither engine's lower() folds more than ASCII under the C locale a
    // server may run with, so the match is made from the letters' case
    // variants instead: a GLOB pattern on SQLite, a regular expression on
    // PostgreSQL. SQLite refuses patterns longer than 50,000 bytes: match
    // texts no longer than a short text column holds.
    struct Match {
        QString condition;
        QVariant value;
    };
    virtual Match containsText(const QString &column, const QString &text) const = 0;

    // Identifiers are built from our own names and numbers only and are
    // never quoted, so both engines fold them the same way.
    static bool isSafeIdentifier(const QString &name);

    static std::unique_ptr<SqlDialect> sqlite();
    static std::unique_ptr<SqlDialect> postgres();
};
