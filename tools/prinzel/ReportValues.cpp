#include "ReportValues.h"

#include "ValueText.h"
#include "items/ItemPricing.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace ReportValues {

namespace {

ReportFailure failed(const QuerySection &query, const QString &why) {
    return {ExitCode::Data, QStringLiteral("The query %1 failed: %2.").arg(query.name, why)};
}

std::string key(const QString &name) {
    return name.toStdString();
}

Result<Data, ReportFailure> headings(QSqlDatabase database) {
    Data row(Data::type::object);
    if (!database.tables().contains(QStringLiteral("headings"), Qt::CaseInsensitive))
        return row;
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("select * from headings")))
        return ReportFailure{
            ExitCode::Data,
            QStringLiteral("The headings cannot be read: %1.").arg(query.lastError().text())};
    if (query.next()) {
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i)
            row[key(record.fieldName(i).toLower())] = text(query.value(i).toString());
    }
    return row;
}

// The query's rows, narrowed by the selection formula when it names the
// query's table: the formula's columns are checked against the columns the
// query returns, and its literals bound.
Result<QSqlQuery, ReportFailure> select(QSqlDatabase database, const QuerySection &section,
                                        const SelectionFormula &formula) {
    QString sql = section.sql;
    QVariantList values;
    if (!formula.isEmpty() && formula.table().compare(section.table, Qt::CaseInsensitive) == 0) {
        QSqlQuery probe(database);
        if (!probe.exec(QStringLiteral("select * from (%1) limit 0").arg(sql)))
            return failed(section, probe.lastError().text());
        QStringList columns;
        for (int i = 0; i < probe.record().count(); ++i)
            columns << probe.record().fieldName(i);
        const auto condition = formula.condition(columns);
        if (!condition)
            return condition.error();
        sql = QStringLiteral("select * from (%1)").arg(sql) + condition->where;
        values = condition->values;
    }
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return failed(section, query.lastError().text());
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        return failed(section, query.lastError().text());
    return query;
}

// A memo as the list of its lines, each with `line` and `blank`; a page may
// break between them. The break that ends the last line makes no line.
Data memoLines(const QVariant &value) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = value.toString().split(lineBreak);
    if (lines.last().isEmpty())
        lines.removeLast();
    Data list(Data::type::list);
    for (const QString &line : lines) {
        Data entry(Data::type::object);
        entry["line"] = text(line);
        entry["blank"] = Data(line.trimmed().isEmpty());
        list.push_back(entry);
    }
    return list;
}

Data cell(const ValueText &writer, const QVariant &value, ValueFormat format) {
    return format == ValueFormat::Memo ? memoLines(value) : text(writer.format(value, format));
}

// Sums one query's rows in Money, per group and overall.
class Totals {
public:
    Totals(const QuerySection &section, const QSqlRecord &record, const ValueText &writer)
        : m_section(section)
        , m_writer(writer) {
        for (const QString &column : section.sums)
            m_columns << record.indexOf(column);
        m_sums.resize(m_columns.size());
    }

    // The sum column the query does not return, if any.
    QString missingColumn() const {
        const qsizetype at = m_columns.indexOf(-1);
        return at < 0 ? QString() : m_section.sums.at(at);
    }

    std::optional<ReportFailure> add(const QSqlQuery &query) {
        for (qsizetype i = 0; i < m_columns.size(); ++i) {
            const QVariant value = query.value(m_columns[i]);
            const auto amount = Money::fromVariant(value);
            if (!amount)
                return failed(m_section, QStringLiteral("%1 holds \"%2\", which is not an amount")
                                             .arg(m_section.sums[i], value.toString()));
            m_sums[i] += *amount;
        }
        return std::nullopt;
    }

    Money sumOf(const QString &column) const {
        for (qsizetype i = 0; i < m_columns.size(); ++i) {
            if (m_section.sums[i].compare(column, Qt::CaseInsensitive) == 0)
                return m_sums[i];
        }
        return Money();
    }

    Data values() const {
        Data sums(Data::type::object);
        for (qsizetype i = 0; i < m_columns.size(); ++i) {
            const QString &column = m_section.sums[i];
            sums[key(column)] =
                text(m_section.formatOf(column) == ValueFormat::Money ? m_writer.money(m_sums[i])
                                                                      : m_sums[i].toString());
        }
        return sums;
    }

private:
    const QuerySection &m_section;
    const ValueText &m_writer;
    QList<int> m_columns;
    QList<Money> m_sums;
};

// Collects rows into groups of one value of the group column.
class Groups {
public:
    Groups(const QuerySection &section, const QSqlRecord &record, const ValueText &writer)
        : m_column(record.indexOf(section.group))
        , m_guestsColumn(section.perGuest ? record.indexOf(section.perGuest->guests) : -1)
        , m_section(section)
        , m_writer(writer)
        , m_record(record) {}

    void add(const QSqlQuery &query, const Data &row) {
        const QVariant value = query.value(m_column);
        if (!m_totals || value != m_value) {
            close();
            m_value = value;
            m_group = Data(row);
            m_group[key(QStringLiteral("group"))] =
                text(m_writer.format(value, m_section.formatOf(m_section.group)));
            m_rows = Data(Data::type::list);
            m_guests = m_guestsColumn < 0 ? QVariant() : query.value(m_guestsColumn);
            m_totals.emplace(m_section, m_record, m_writer);
        }
        m_rows.push_back(row);
        m_totals->add(query);
    }

    Data take() {
        close();
        return std::move(m_groups);
    }

private:
    void close() {
        if (!m_totals)
            return;
        m_group[key(QStringLiteral("count"))] = text(QString::number(m_rows.list_value().size()));
        m_group[key(QStringLiteral("sum"))] = m_totals->values();
        if (const auto &perGuest = m_section.perGuest)
            m_group[key(perGuest->name)] =
                perGuestValue(perGuest->name, m_totals->sumOf(perGuest->amount));
        m_group[key(QStringLiteral("rows"))] = std::move(m_rows);
        m_groups.push_back(m_group);
        m_totals.reset();
    }

    // The group's price per guest; nothing without a guest.
    Data perGuestValue(const QString &name, Money total) const {
        bool whole = false;
        const qint64 guests = m_guests.toLongLong(&whole);
        const auto price = whole ? ItemPricing::perGuest(total, guests) : std::nullopt;
        if (!price)
            return text(QString());
        return text(m_section.formatOf(name) == ValueFormat::Money ? m_writer.money(*price)
                                                                   : price->toString());
    }

    int m_column;
    int m_guestsColumn;
    QVariant m_guests; // the first row's guest count
    const QuerySection &m_section;
    const ValueText &m_writer;
    QSqlRecord m_record;
    QVariant m_value;
    Data m_group;
    Data m_rows{Data::type::list};
    Data m_groups{Data::type::list};
    std::optional<Totals> m_totals;
};

// Adds the query's rows, groups and totals to `root`; the number of rows.
Result<int, ReportFailure> addQuery(Data &root, QSqlDatabase database, const QuerySection &section,
                                    const SelectionFormula &formula, const ValueText &writer) {
    auto query = select(database, section, formula);
    if (!query)
        return query.error();
    const QSqlRecord record = query->record();
    Totals totals(section, record, writer);
    QString missing = totals.missingColumn();
    if (missing.isEmpty() && !section.group.isEmpty() && record.indexOf(section.group) < 0)
        missing = section.group;
    if (missing.isEmpty() && section.perGuest && record.indexOf(section.perGuest->guests) < 0)
        missing = section.perGuest->guests;
    if (!missing.isEmpty())
        return ReportFailure{
            ExitCode::Layout,
            QStringLiteral("The query %1 returns no column %2.").arg(section.name, missing)};
    QList<std::string> names;
    QList<ValueFormat> formats;
    for (int i = 0; i < record.count(); ++i) {
        names << key(record.fieldName(i));
        formats << section.formatOf(record.fieldName(i));
    }
    std::optional<Groups> groups;
    if (!section.group.isEmpty())
        groups.emplace(section, record, writer);
    Data rows(Data::type::list);
    int count = 0;
    while (query->next()) {
        Data row(Data::type::object);
        for (int i = 0; i < names.size(); ++i)
            row[names[i]] = cell(writer, query->value(i), formats[i]);
        if (const auto failure = totals.add(*query))
            return *failure;
        if (groups)
            groups->add(*query, row);
        rows.push_back(row);
        ++count;
    }
    if (query->lastError().isValid())
        return failed(section, query->lastError().text());
    const std::string name = key(section.name);
    root[name] = std::move(rows);
    root[name + "_count"] = text(QString::number(count));
    root[name + "_empty"] = Data(count == 0);
    root[name + "_total"] = totals.values();
    if (groups)
        root[name + "_groups"] = groups->take();
    return count;
}

} // namespace

Data text(const QString &value) {
    return value.isEmpty() ? Data(false) : Data(value.toStdString());
}

Result<Data, ReportFailure> read(QSqlDatabase database, const ReportLayout &layout,
                                 const SelectionFormula &formula, const QString &title,
                                 const QDate &today, const ValueText &writer) {
    if (!formula.isEmpty()) {
        const bool named = std::any_of(
            layout.queries.begin(), layout.queries.end(), [&](const QuerySection &query) {
                return query.table.compare(formula.table(), Qt::CaseInsensitive) == 0;
            });
        if (!named)
            return ReportFailure{ExitCode::Data,
                                 QStringLiteral("The selection formula names the table %1, which "
                                                "no query of the layout reads.")
                                     .arg(formula.table())};
    }
    Data root(Data::type::object);
    auto heading = headings(database);
    if (!heading)
        return heading.error();
    root["headings"] = std::move(*heading);
    root["title"] = text(title);
    root["today"] = text(writer.date(today));
    bool empty = true;
    for (const QuerySection &section : layout.queries) {
        const auto count = addQuery(root, database, section, formula, writer);
        if (!count)
            return count.error();
        empty &= *count == 0;
    }
    root["empty"] = Data(empty);
    return root;
}

} // namespace ReportValues
