#include "SchemaBuilder.h"

#include "Databases.h"
#include "Transaction.h"

#include <QStringList>

namespace SchemaBuilder {

namespace {

QString columnDefinition(const Database &db, const Schema::Column &column) {
    return column.name + QLatin1Char(' ') + db.dialect().columnType(column.type, column.size);
}

bool safe(const QStringList &names) {
    for (const QString &name : names) {
        if (!SqlDialect::isSafeIdentifier(name))
            return false;
    }
    return true;
}

DbError unsafeName(const QString &name) {
    return {ErrorNumber::InvalidFieldType, QStringLiteral("Invalid name: %1").arg(name)};
}

} // namespace

bool tableExists(Database &db, const QString &table) {
    return db.handle().tables().contains(table, Qt::CaseInsensitive);
}

Status createIndex(Database &db, const QString &table, const Schema::Index &index) {
    if (!safe(index.columns) || !SqlDialect::isSafeIdentifier(table))
        return unsafeName(index.columns.join(QLatin1Char(',')));
    // The condition is our own schema text, never typed by an operator.
    return db.execute(
        QStringLiteral("create %1index %2 on %3 (%4)%5")
            .arg(index.unique ? QStringLiteral("unique ") : QString(), index.name(table), table,
                 index.columns.join(QLatin1String(", ")),
                 index.where.isEmpty() ? QString() : QStringLiteral(" where ") + index.where));
}

Status createTable(Database &db, const Schema::Table &table) {
    QStringList definitions;
    for (const Schema::Column &column : table.columns) {
        if (!SqlDialect::isSafeIdentifier(column.name))
            return unsafeName(column.name);
        definitions << columnDefinition(db, column);
    }
    if (!safe(table.primaryKey) || !SqlDialect::isSafeIdentifier(table.name))
        return unsafeName(table.name);
    if (!table.primaryKey.isEmpty())
        definitions
            << QStringLiteral("primary key (%1)").arg(table.primaryKey.join(QLatin1String(", ")));
    Status status = db.execute(QStringLiteral("create table %1 (%2)")
                                   .arg(table.name, definitions.join(QLatin1String(", "))));
    if (!status)
        return status;
    for (const Schema::Index &index : table.indexes) {
        if (Status made = createIndex(db, table.name, index); !made)
            return made;
    }
    return {};
}

// Stores the columns' descriptions where the database keeps them.
Status storeDescriptions(Database &db, const QList<Schema::Table> &tables) {
    auto insert = db.prepare(QStringLiteral(
        "insert into fielddesc (tablename, fieldname, description) values (?, ?, ?)"));
    if (!insert)
        return insert.status();
    for (const Schema::Table &table : tables) {
        for (const Schema::Column &column : table.columns) {
            if (column.description.isEmpty())
                continue;
            insert->addBindValue(table.name);
            insert->addBindValue(column.name);
            insert->addBindValue(column.description);
            if (Status status = db.exec(*insert); !status)
                return status;
        }
    }
    return {};
}

Status createTables(Database &db) {
    const QList<Schema::Table> tables = Schema::tablesOf(db.name());
    Transaction transaction(db);
    if (!transaction.begun())
        return transaction.begun();
    QList<Schema::Table> created;
    for (const Schema::Table &table : tables) {
        if (tableExists(db, table.name))
            continue;
        if (Status status = createTable(db, table); !status)
            return status;
        created << table;
    }
    if (Schema::findTable(db.name(), QStringLiteral("fielddesc"))) {
        if (Status stored = storeDescriptions(db, created); !stored)
            return stored;
    }
    return transaction.commit();
}

Status addColumn(Database &db, const QString &table, const Schema::Column &column) {
    if (!SqlDialect::isSafeIdentifier(table))
        return unsafeName(table);
    if (!SqlDialect::isSafeIdentifier(column.name))
        return unsafeName(column.name);
    return db.execute(
        QStringLiteral("alter table %1 add column %2").arg(table, columnDefinition(db, column)));
}

} // namespace SchemaBuilder
