#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Every table this module reads or writes, with its columns in their stored
// order. Column positions are part of the file format: the event window, the
// reservation grid and the report work tables all address columns by position.
// The club-directory creator, the tests and upgrades build their tables here.
namespace Schema {

enum class ColumnType {
    Text,     // short text; size is the maximum length
    Memo,     // long text
    Long,     // 32-bit integer (dates YYYYMMDD, event and account numbers)
    Integer,  // 16-bit integer (codes, flags, room numbers)
    Double,   // floating point (quantities, factors, percentages)
    Currency, // money, four decimals
    DateTime, // a point in time
    Binary,   // bytes (pictures)
};

struct Column {
    QString name;
    ColumnType type = ColumnType::Text;
    int size = 0;        // maximum length of a Text column; 0 for the other types
    QString description; // shown to the operator as the field's tooltip
};

struct Index {
    QStringList columns;
    bool unique = false;
    QString where; // a partial index covers only the rows this condition holds for

    // "<table>_<columns>_uq" or "..._ix": named by what it covers, so an
    // upgrade can tell which indexes a database already has.
    QString name(const QString &table) const;
};

struct Table {
    QString database; // logical database name: "evnt", "config", "rpt", ...
    QString name;
    QList<Column> columns;
    QStringList primaryKey; // may be empty
    QList<Index> indexes;

    int columnIndex(const QString &column) const; // -1 when absent
    // The maximum length of a Text column; 0 for other types or no such column.
    int textSize(const QString &column) const;
};

// The logical databases, in the order the club-directory creator makes them.
QStringList databases();

const QList<Table> &tables();
QList<Table> tablesOf(const QString &database);
const Table *findTable(const QString &database, const QString &table);

// OLE DB style type code the record layer reports for a column type:
// 202 text, 203 memo, 3 long, 2 integer, 5 double, 6 currency, 7 date,
// 205 binary.
int providerTypeCode(ColumnType type);
bool isTextType(ColumnType type);

} // namespace Schema
