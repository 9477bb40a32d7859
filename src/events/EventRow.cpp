#include "EventRow.h"

#include "session/EventField.h"
#include "storage/Databases.h"
#include "storage/Schema.h"

#include <QSqlRecord>

namespace {

QStringList fieldColumns() {
    const Schema::Table *table =
        Schema::findTable(QStringLiteral("evnt"), QStringLiteral("eventinfo"));
    QStringList names;
    for (int column = 0; column < EventFieldCount; ++column)
        names << table->columns[column].name;
    return names;
}

const QStringList &columns() {
    static const QStringList names = fieldColumns();
    return names;
}

Status wrongCount(const QVariantList &fields) {
    return DbError{ErrorNumber::Unknown, QStringLiteral("%1 values for the event's %2 fields.")
                                             .arg(fields.size())
                                             .arg(EventFieldCount)};
}

} // namespace

namespace EventRow {

Result<std::optional<QVariantList>> read(Database &evnt, int number) {
    auto query = evnt.exec(QStringLiteral("select * from eventinfo where eventnum = ?"), {number});
    if (!query)
        return query.error();
    if (!query->next())
        return std::optional<QVariantList>();
    const int count = query->record().count();
    QVariantList values;
    values.reserve(count);
    for (int column = 0; column < count; ++column) {
        const QVariant value = query->value(column);
        values << (value.isNull() ? QVariant() : value);
    }
    return std::optional<QVariantList>(std::move(values));
}

Status update(Database &evnt, int number, const QVariantList &fields) {
    if (fields.size() != EventFieldCount)
        return wrongCount(fields);
    QStringList assignments;
    for (const QString &column : columns())
        assignments << column + QLatin1String(" = ?");
    return evnt.change(QStringLiteral("update eventinfo set %1 where eventnum = ?")
                           .arg(assignments.join(QLatin1String(", "))),
                       QVariantList(fields) << number);
}

Status add(Database &evnt, const QVariantList &fields) {
    if (fields.size() != EventFieldCount)
        return wrongCount(fields);
    QStringList marks;
    for (qsizetype i = 0; i < columns().size(); ++i)
        marks << QStringLiteral("?");
    return evnt.execute(
        QStringLiteral("insert into eventinfo (%1) values (%2)")
            .arg(columns().join(QLatin1String(", ")), marks.join(QLatin1String(", "))),
        fields);
}

} // namespace EventRow
