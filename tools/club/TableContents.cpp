#include "TableContents.h"

#include "storage/Databases.h"
#include "values/Money.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QLocale>
#include <QSqlError>
#include <QSqlRecord>
#include <QtEndian>
#include <algorithm>
#include <iterator>

namespace TableContents {

using Schema::ColumnType;

QString canonical(const QVariant &value, ColumnType type) {
    switch (type) {
    case ColumnType::Currency:
        if (const auto money = Money::fromVariant(value))
            return money->toString();
        break;
    case ColumnType::Long:
    case ColumnType::Integer:
    case ColumnType::Double: {
        bool number = false;
        const int id = value.metaType().id();
        if (id != QMetaType::Double && id != QMetaType::Float) {
            const qlonglong whole = value.toLongLong(&number);
            if (number)
                return QString::number(whole);
        }
        const double real = value.toDouble(&number);
        if (number)
            return QString::number(real, 'f', QLocale::FloatingPointShortest);
        break;
    }
    case ColumnType::DateTime:
        if (const QDateTime time = value.toDateTime(); time.isValid())
            return time.toString(Qt::ISODateWithMs);
        break;
    case ColumnType::Binary:
        return QString::fromLatin1(value.toByteArray().toHex());
    case ColumnType::Text:
    case ColumnType::Memo:
        break;
    }
    return value.toString();
}

Result<Contents> read(Database &db, const QString &table, const QList<Schema::Column> &columns) {
    auto query = db.exec(QStringLiteral("select * from ") + table);
    if (!query)
        return query.error();
    const QSqlRecord record = query->record();
    QList<int> positions;
    for (const Schema::Column &column : columns)
        positions << record.indexOf(column.name); // -1: this side lacks it, read as null
    Contents contents;
    contents.columnSums.fill(0, columns.size());
    while (query->next()) {
        QByteArray row;
        for (qsizetype i = 0; i < columns.size(); ++i) {
            const int at = positions.at(i);
            // A marker byte keeps null apart from every text, the length
            // keeps one value from running into the next.
            const QByteArray value =
                at < 0 || query->isNull(at)
                    ? QByteArray(1, '\0')
                    : '\1' + canonical(query->value(at), columns.at(i).type).toUtf8();
            char length[4];
            qToBigEndian(quint32(value.size()), length);
            row.append(length, 4).append(value);
            contents.columnSums[i] += qHash(value, 0);
        }
        contents.rows << QCryptographicHash::hash(row, QCryptographicHash::Sha1);
    }
    if (query->lastError().isValid())
        return db.error(query->lastError());
    std::sort(contents.rows.begin(), contents.rows.end());
    return contents;
}

QString difference(const Contents &from, const Contents &to, const QList<Schema::Column> &columns) {
    if (from.rows.size() != to.rows.size())
        return QStringLiteral("%1 rows in FROM, %2 in TO")
            .arg(from.rows.size())
            .arg(to.rows.size());
    if (from.rows == to.rows)
        return QString();
    QList<QByteArray> unmatched;
    std::set_difference(from.rows.begin(), from.rows.end(), to.rows.begin(), to.rows.end(),
                        std::back_inserter(unmatched));
    QStringList where;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (from.columnSums.at(i) != to.columnSums.at(i))
            where << columns.at(i).name;
    }
    return QStringLiteral("%1 of its %2 rows differ%3")
        .arg(unmatched.size())
        .arg(from.rows.size())
        .arg(where.isEmpty() ? QString()
                             : QStringLiteral(" (in %1)").arg(where.join(QLatin1String(", "))));
}

} // namespace TableContents
