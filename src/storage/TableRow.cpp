#include "TableRow.h"

#include "Databases.h"

#include <QRegularExpression>

namespace TableRow {

namespace {

DbError unsafeName(const QString &name) {
    return {ErrorNumber::FieldMissing, QStringLiteral("Invalid name: %1").arg(name)};
}

bool safe(const QString &table, const QStringList &columns) {
    if (!SqlDialect::isSafeIdentifier(table))
        return false;
    for (const QString &column : columns) {
        if (!SqlDialect::isSafeIdentifier(column))
            return false;
    }
    return true;
}

QString identityCondition(const Database &db) {
    return QStringLiteral(" where ") + db.dialect().rowIdentity() + QStringLiteral(" = ?");
}

} // namespace

QString selectWithIdentity(const SqlDialect &dialect, const QString &select) {
    static const QRegularExpression plainSelect(
        QStringLiteral("^\\s*select\\s+(?!distinct\\b)(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto match = plainSelect.match(select);
    if (!match.hasMatch())
        return QString();
    return QStringLiteral("select %1 as %2, ").arg(dialect.rowIdentity(), IdentityColumn) +
           match.captured(1) + dialect.lockRowsClause();
}

Result<QVariant> findShown(Database &db, const QString &table, const QStringList &columns,
                           const QVariantList &values) {
    if (!safe(table, columns) || columns.size() != values.size())
        return unsafeName(table);
    QStringList conditions;
    QVariantList bound;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (values[i].isNull()) {
            conditions << columns[i] + QStringLiteral(" is null");
        } else {
            conditions << columns[i] + QStringLiteral(" = ?");
            bound << values[i];
        }
    }
    const QString select = QStringLiteral("select * from ") + table +
                           (conditions.isEmpty() ? QString()
                                                 : QStringLiteral(" where ") +
                                                       conditions.join(QLatin1String(" and ")));
    auto rows = db.exec(selectWithIdentity(db.dialect(), select), bound);
    if (!rows)
        return rows.error();
    if (!rows->next())
        return DbError{ErrorNumber::NoCurrentRecord,
                       QStringLiteral("The row was changed or removed at another workstation.")};
    return rows->value(0);
}

Status update(Database &db, const QString &table, const QVariant &identity,
              const QStringList &columns, const QVariantList &values) {
    if (!safe(table, columns) || columns.isEmpty() || columns.size() != values.size())
        return unsafeName(table);
    QStringList sets;
    for (const QString &column : columns)
        sets << column + QStringLiteral(" = ?");
    return db.change(QStringLiteral("update ") + table + QStringLiteral(" set ") +
                         sets.join(QLatin1String(", ")) + identityCondition(db),
                     QVariantList(values) << identity);
}

Status remove(Database &db, const QString &table, const QVariant &identity) {
    if (!safe(table, {}))
        return unsafeName(table);
    return db.change(QStringLiteral("delete from ") + table + identityCondition(db), {identity});
}

} // namespace TableRow
