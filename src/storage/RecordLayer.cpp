#include "RecordLayer.h"

#include "Databases.h"
#include "Schema.h"
#include "TableRow.h"
#include "Transaction.h"
#include "ports/Messages.h"

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

// The provider type code of a field: from the schema of the query's table
// (looked up once per read), else from the value's type.
int typeCode(const Schema::Table *table, const QSqlField &field) {
    if (table) {
        const int index = table->columnIndex(field.name());
        if (index >= 0)
            return Schema::providerTypeCode(table->columns[index].type);
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
    if (database.isEmpty() || sql.isEmpty())
        return {};
    m_messages.channel().MessageText.clear();
    auto db = m_databases.open(database);
    if (!db) {
        if (db.error().number == ErrorNumber::FileMissing)
            m_messages.ShowMissingDatabase(database);
        return db.error();
    }
    return ReadRecord(*db.value(), sql, values);
}

Status RecordLayer::ReadRecord(Database &db, const QString &sql, const QVariantList &values) {
    m_messages.channel().MessageText.clear();
    auto query = db.exec(sql, values);
    if (!query)
        return query.error();
    const QSqlRecord record = query->record();
    const bool found = query->next();
    const Schema::Table *table = Schema::findTable(db.name(), sourceTable(sql));
    FieldCount = record.count() - 1;
    FieldValues.clear();
    FieldNames.clear();
    FieldTypes.clear();
    FieldExtra.clear();
    for (int i = 0; i < record.count(); ++i) {
        const QVariant value = found ? query->value(i) : QVariant();
        FieldValues << (isEmpty(value) ? QVariant() : value);
        FieldNames << record.fieldName(i);
        FieldTypes << typeCode(table, record.field(i));
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
    Transaction transaction(*db.value());
    if (!transaction.begun())
        return transaction.begun().error();
    if (Status written = WriteRecord(*db.value(), sql, values); !written)
        return written;
    return transaction.commit();
}

Status RecordLayer::WriteRecord(Database &db, const QString &sql, const QVariantList &values) {
    const QString table = sourceTable(sql);
    if (!SqlDialect::isSafeIdentifier(table))
        return DbError{ErrorNumber::TableMissing, QStringLiteral("No table in: ") + sql};
    // The first row is addressed by the engine's row identity, read under
    // the same transaction that writes it: never by the query's condition,
    // which may match several rows of a table without a key.
    const QString select = NewRecordMode ? sql : TableRow::selectWithIdentity(db.dialect(), sql);
    if (select.isEmpty())
        return DbError{ErrorNumber::Unknown, QStringLiteral("Not a plain select: ") + sql};
    const int first = NewRecordMode ? 0 : 1; // where the query's own columns begin

    auto query = db.exec(select, values);
    if (!query)
        return query.error();
    const QSqlRecord record = query->record();
    const bool found = query->next();
    const QVariant identity = found && !NewRecordMode ? query->value(0) : QVariant();
    query->finish();

    QStringList columns;
    QVariantList bound;
    for (int i = 0; first + i < record.count() && i < FieldValues.size(); ++i) {
        QVariant value = FieldValues[i];
        if (isEmpty(value))
            continue; // keeps what the field holds
        if (i == ZeroFilledPosition && value.toString().trimmed().isEmpty())
            value = QStringLiteral("0");
        columns << record.fieldName(first + i);
        bound << value;
    }
    Status written;
    if (NewRecordMode) {
        if (columns.isEmpty())
            return DbError{ErrorNumber::Unknown, QStringLiteral("Nothing to write.")};
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        written = db.execute(
            QStringLiteral("insert into %1 (%2) values (%3)")
                .arg(table, columns.join(QLatin1String(", ")), marks.join(QLatin1String(", "))),
            bound);
    } else if (!found) {
        return DbError{ErrorNumber::NoCurrentRecord, QStringLiteral("No current record.")};
    } else if (!columns.isEmpty()) {
        written = TableRow::update(db, table, identity, columns, bound);
    }
    return written;
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
