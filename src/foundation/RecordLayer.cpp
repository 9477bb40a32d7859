#include "RecordLayer.h"

#include "Databases.h"
#include "Messages.h"
#include "Schema.h"
#include "Transaction.h"

#include <QRegularExpression>
#include <QSqlField>
#include <QSqlRecord>

namespace {

// The table a "select ... from <table> ..." text reads.
QString sourceTable(const QString &sql) {
    static const QRegularExpression from(QStringLiteral("\\bfrom\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    return from.match(sql).captured(1);
}

// The "where ..." part of a select, without any "order by".
QString whereClause(const QString &sql) {
    static const QRegularExpression where(QStringLiteral("\\bwhere\\b(.*?)(\\border\\s+by\\b.*)?$"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const auto match = where.match(sql);
    return match.hasMatch() ? QStringLiteral(" where") + match.captured(1) : QString();
}

int typeCode(const QString &database, const QString &fallbackTable, const QSqlField &field) {
    for (const QString &table : {field.tableName(), fallbackTable}) {
        if (const Schema::Table *def = Schema::findTable(database, table)) {
            const int index = def->columnIndex(field.name());
            if (index >= 0)
                return Schema::providerTypeCode(def->columns[index].type);
        }
    }
    switch (field.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        return Schema::providerTypeCode(Schema::ColumnType::Long);
    case QMetaType::Double:
        return Schema::providerTypeCode(Schema::ColumnType::Double);
    default:
        return Schema::providerTypeCode(Schema::ColumnType::Text);
    }
}

bool isEmpty(const QVariant &value) {
    return !value.isValid() || value.isNull();
}

constexpr int ZeroFilledPosition = 80; // blank text there is stored as "0"

} // namespace

RecordLayer::RecordLayer(Databases &databases, Messages &messages)
    : m_databases(databases)
    , m_messages(messages) {}

Status RecordLayer::ReadRecord(const QString &database, const QString &sql,
                               const QVariantList &values) {
    m_messages.channel().MessageText.clear();
    if (database.isEmpty() || sql.isEmpty())
        return {};
    auto db = m_databases.open(database);
    if (!db) {
        if (db.error().number == ErrorNumber::FileMissing)
            m_messages.ShowMissingDatabase(database);
        return db.error();
    }
    auto query = db.value()->exec(sql, values);
    if (!query)
        return query.error();
    const QSqlRecord record = query->record();
    const bool found = query->next();
    const QString logical = Databases::logicalName(database);
    const QString table = sourceTable(sql);
    FieldCount = record.count() - 1;
    FieldValues.clear();
    FieldNames.clear();
    FieldTypes.clear();
    FieldExtra.clear();
    for (int i = 0; i < record.count(); ++i) {
        const QVariant value = found ? query->value(i) : QVariant();
        FieldValues << (isEmpty(value) ? QVariant() : value);
        FieldNames << record.fieldName(i);
        FieldTypes << typeCode(logical, table, record.field(i));
        FieldExtra << QVariant();
    }
    if (!found)
        m_messages.channel().MessageText = QStringLiteral("QUIT");
    return {};
}

Status RecordLayer::WriteRecord(const QString &database, const QString &sql,
                                const QVariantList &values) {
    if (database.isEmpty() || sql.isEmpty())
        return {};
    const Status written = writeRow(database, sql, values);
    if (!written && written.error().number == ErrorNumber::FileMissing)
        m_messages.ShowMissingDatabase(database);
    return written;
}

Status RecordLayer::writeRow(const QString &database, const QString &sql,
                             const QVariantList &values) {
    auto db = m_databases.open(database);
    if (!db)
        return db.error();
    const QString table = sourceTable(sql);
    if (!SqlDialect::isSafeIdentifier(table))
        return DbError{ErrorNumber::TableMissing, QStringLiteral("No table in: ") + sql};

    Transaction transaction(*db.value());
    if (!transaction.begun())
        return transaction.begun().error();
    auto query = db.value()->exec(sql, values);
    if (!query)
        return query.error();
    const QSqlRecord record = query->record();
    const bool found = query->next();

    // The values go first in the statement, any key values after them.
    QStringList columns;
    QVariantList bound;
    for (int i = 0; i < record.count() && i < FieldValues.size(); ++i) {
        QVariant value = FieldValues[i];
        if (isEmpty(value))
            continue; // keeps what the field holds
        if (i == ZeroFilledPosition && value.toString().trimmed().isEmpty())
            value = QStringLiteral("0");
        columns << record.fieldName(i);
        bound << value;
    }
    if (NewRecordMode && columns.isEmpty())
        return DbError{ErrorNumber::Unknown, QStringLiteral("Nothing to write.")};
    if (!NewRecordMode && !found)
        return DbError{ErrorNumber::NoCurrentRecord, QStringLiteral("No current record.")};
    if (columns.isEmpty())
        return {}; // every field keeps what it holds

    QString statement;
    if (NewRecordMode) {
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        statement =
            QStringLiteral("insert into %1 (%2) values (%3)")
                .arg(table, columns.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
    } else {
        QStringList sets;
        for (const QString &column : columns)
            sets << column + QLatin1String(" = ?");
        // The first row is addressed by its key where the table has one,
        // else by the query's own condition.
        QString where;
        const Schema::Table *def = Schema::findTable(Databases::logicalName(database), table);
        if (def && !def->primaryKey.isEmpty()) {
            QStringList keys;
            for (const QString &key : def->primaryKey) {
                keys << key + QLatin1String(" = ?");
                bound << query->value(key);
            }
            where = QStringLiteral(" where ") + keys.join(QLatin1String(" and "));
        } else {
            where = whereClause(sql);
            bound << values;
        }
        statement =
            QStringLiteral("update %1 set %2%3").arg(table, sets.join(QLatin1String(", ")), where);
    }
    query->finish();
    if (Status status = db.value()->execute(statement, bound); !status)
        return status;
    return transaction.commit();
}

Status RecordLayer::ExecuteSql(const QString &database, const QString &sql,
                               const QVariantList &values) {
    if (database.isEmpty() || sql.isEmpty())
        return {};
    auto db = m_databases.open(database);
    if (!db)
        return db.error().number == ErrorNumber::FileMissing ? Status() : Status(db.error());
    return db.value()->execute(sql, values);
}
