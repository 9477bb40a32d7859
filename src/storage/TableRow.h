#pragma once

#include "values/Result.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

class Database;
class SqlDialect;

// Changing one row of a table that has no key of its own (items, tasks,
// packages, receivables charges, ...). A row is addressed by the engine's
// row identity, which is valid only inside the write transaction that read
// it, so every function here runs inside the caller's Transaction.
namespace TableRow {

// Column name under which selectWithIdentity() returns the identity.
inline constexpr auto IdentityColumn = "moravel_row";

// "select a, b from t where ..." becomes "select <identity> as moravel_row,
// a, b from t where ..." with the engine's row lock; the identity is column
// 0 of the result. Empty when the text is not a plain select.
QString selectWithIdentity(const SqlDialect &dialect, const QString &select);

// A row a window showed earlier, found again by every value it showed.
// Rows alike in all of them are interchangeable, so the first one serves.
// Error 3021 when no row matches any more (another workstation changed or
// removed it): the window says so and changes nothing.
Result<QVariant> findShown(Database &db, const QString &table, const QStringList &columns,
                           const QVariantList &values);

// Sets the columns of exactly that row; anything but one changed row is an
// error.
Status update(Database &db, const QString &table, const QVariant &identity,
              const QStringList &columns, const QVariantList &values);
Status remove(Database &db, const QString &table, const QVariant &identity);

} // namespace TableRow
