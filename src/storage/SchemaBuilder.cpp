#include "SchemaBuilder.h"

#include "Databases.h"
#include "Transaction.h"

#include <QRegularExpression>
#include <QSqlRecord>
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
    auto found = db.exec(db.dialect().tableExistsQuery(), {table});
    return found && found->next();
}

Result<QStringList> columnNames(Database &db, const QString &table) {
    auto probe = db.exec(QStringLiteral("select * from %1 where 1 = 0").arg(table));
    if (!probe)
        return probe.error();
    const QSqlRecord record = probe->record();
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
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
    // A club may have reworded a description already there; it stays.
    auto insert = db.prepare(
        QStringLiteral("insert into fielddesc (tablename, fieldname, description) "
                       "select ?, ?, ? where not exists "
                       "(select 1 from fielddesc where tablename = ? and fieldname = ?)"));
    if (!insert)
        return insert.status();
    for (const Schema::Table &table : tables) {
        for (const Schema::Column &column : table.columns) {
            if (column.description.isEmpty())
                continue;
            insert->addBindValue(table.name);
            insert->addBindValue(column.name);
            insert->addBindValue(column.description);
            insert->addBindValue(table.name);
            insert->addBindValue(column.name);
            if (Status status = db.exec(*insert); !status)
                return status;
        }
    }
    return {};
}

Status createTables(Database &db) {
    QList<Schema::Table> tables = Schema::tablesOf(db.name());
    tables.removeIf([&](const Schema::Table &table) { return tableExists(db, table.name); });
    if (tables.isEmpty())
        return {}; // nothing to make, and no write lock taken for it
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

namespace {

Result<QStringList> indexNames(Database &db, const QString &table) {
    auto rows = db.exec(db.dialect().indexNamesQuery(), {table});
    if (!rows)
        return rows.error();
    QStringList names;
    while (rows->next())
        names << rows->value(0).toString().toLower();
    return names;
}

Result<qint64> rowCount(Database &db, const QString &table) {
    auto count = db.exec(QStringLiteral("select count(*) from ") + table);
    if (!count)
        return count.error();
    return count->next() ? count->value(0).toLongLong() : 0;
}

} // namespace

Status syncIndexes(Database &db, const Schema::Table &table) {
    auto existing = indexNames(db, table.name);
    if (!existing)
        return existing.status();
    static const QRegularExpression numbered(QStringLiteral("^[a-z0-9_]+_ix[0-9]+$"));
    for (const QString &name : *existing) {
        if (name.startsWith(table.name.toLower() + QLatin1Char('_')) &&
            numbered.match(name).hasMatch()) {
            if (Status dropped = db.execute(QStringLiteral("drop index ") + name); !dropped)
                return dropped;
        }
    }
    for (const Schema::Index &index : table.indexes) {
        if (existing->contains(index.name(table.name).toLower()))
            continue;
        if (Status made = createIndex(db, table.name, index); !made)
            return made;
    }
    return {};
}

Status rebuildTable(Database &db, const Schema::Table &table) {
    auto before = rowCount(db, table.name);
    if (!before)
        return before.status();
    auto probe = db.exec(QStringLiteral("select * from %1 where 1 = 0").arg(table.name));
    if (!probe)
        return probe.status();
    const QSqlRecord old = probe->record();
    probe->finish();
    QStringList shared;
    for (const Schema::Column &column : table.columns) {
        if (old.indexOf(column.name) >= 0)
            shared << column.name;
    }

    Schema::Table rebuilt = table;
    rebuilt.name = table.name + QStringLiteral("_rebuilt");
    rebuilt.indexes.clear(); // made under their own names once the table has its own
    const QString columns = shared.join(QLatin1String(", "));
    Status status = createTable(db, rebuilt);
    if (status && !shared.isEmpty())
        status = db.execute(QStringLiteral("insert into %1 (%2) select %2 from %3")
                                .arg(rebuilt.name, columns, table.name));
    if (status)
        status = db.execute(QStringLiteral("drop table ") + table.name);
    if (status)
        status =
            db.execute(QStringLiteral("alter table %1 rename to %2").arg(rebuilt.name, table.name));
    if (status)
        status = syncIndexes(db, table);
    if (!status)
        return status;
    auto after = rowCount(db, table.name);
    if (!after)
        return after.status();
    if (*after != *before)
        return DbError{ErrorNumber::Unknown,
                       QStringLiteral("Rebuilding %1 would keep %2 of its %3 rows.")
                           .arg(table.name)
                           .arg(*after)
                           .arg(*before)};
    return {};
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
