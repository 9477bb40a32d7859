#include "Lookups.h"

#include "Databases.h"
#include "ports/Clipboard.h"

#include <QRegularExpression>
#include <cmath>

namespace {

// A where clause and the values it binds, in order.
struct Condition {
    QStringList parts;
    QVariantList values;

    QString where() const { return parts.isEmpty() ? QString() : " where " + parts.join(" and "); }
};

QStringList searchWords(const QString &text) {
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

// Every word must appear in one of the name columns, in any letter case
// and taken literally.
void addNameWords(Condition &condition, const SqlDialect &dialect, const QStringList &words,
                  const QStringList &columns, QStringList &alternatives) {
    QStringList wordParts;
    for (const QString &word : words) {
        QStringList any;
        for (const QString &column : columns) {
            const SqlDialect::Match match = dialect.containsText(column, word);
            any << match.condition;
            condition.values << match.value;
        }
        wordParts << '(' + any.join(" or ") + ')';
    }
    if (!wordParts.isEmpty())
        alternatives << '(' + wordParts.join(" and ") + ')';
}

struct NumberRange {
    double from = 0;
    double to = 0;
};

// The numbers a typed prefix stands for: "10" is 10, 100-109, 1000-1099 ...
// up to the widest number of that kind; "1042.5" is 1042.50 to 1042.59.
QList<NumberRange> numberRanges(const QString &text, int integerDigits, bool decimals) {
    static const QRegularExpression number(QStringLiteral("^(\\d{1,15})(?:\\.(\\d{0,2}))?$"));
    const QRegularExpressionMatch match = number.match(text.trimmed());
    if (!match.hasMatch() || (!decimals && text.contains(QLatin1Char('.'))))
        return {};
    const QString digits = match.captured(1);
    const double whole = digits.toDouble();
    if (text.contains(QLatin1Char('.'))) {
        const QString fraction = match.captured(2);
        const double step = std::pow(10.0, -fraction.size());
        const double from = whole + (fraction.isEmpty() ? 0 : fraction.toDouble() * step);
        // Half a hundredth of slack for stored doubles such as 1042.1.
        return {{from - 0.005, from + step - 0.005}};
    }
    QList<NumberRange> ranges{{whole, whole + 1}};
    if (whole == 0)
        return ranges;
    for (qsizetype width = digits.size() + 1; width <= integerDigits; ++width) {
        const double scale = std::pow(10.0, width - digits.size());
        ranges << NumberRange{whole * scale, (whole + 1) * scale};
    }
    return ranges;
}

void addNumberRanges(Condition &condition, const QList<NumberRange> &ranges, const QString &column,
                     QStringList &alternatives) {
    for (const NumberRange &range : ranges) {
        alternatives << QStringLiteral("(%1 >= ? and %1 < ?)").arg(column);
        condition.values << range.from << range.to;
    }
}

Condition searchCondition(const SqlDialect &dialect, const QString &text,
                          const QStringList &nameColumns, const QString &numberColumn,
                          const QList<NumberRange> &ranges) {
    Condition condition;
    QStringList alternatives;
    addNameWords(condition, dialect, searchWords(text), nameColumns, alternatives);
    addNumberRanges(condition, ranges, numberColumn, alternatives);
    if (!alternatives.isEmpty())
        condition.parts << '(' + alternatives.join(" or ") + ')';
    return condition;
}

QString displayName(const QString &last, const QString &first) {
    const QString lname = last.trimmed(), fname = first.trimmed();
    return fname.isEmpty() ? lname : lname + QStringLiteral(", ") + fname;
}

// Reads up to the limit and notes whether more rows were waiting.
template <typename Match, typename Read>
LookupPage<Match> readPage(QSqlQuery &query, int limit, Read read) {
    LookupPage<Match> page;
    while (query.next()) {
        if (page.rows.size() == limit) {
            page.more = true;
            break;
        }
        page.rows << read(query);
    }
    return page;
}

} // namespace

QStringList AccountMatch::statusWords() const {
    QStringList words;
    if (taxExempt)
        words << QStringLiteral("TaxExempt");
    if (suspended)
        words << QStringLiteral("SUSPENDED");
    if (terminated)
        words << QStringLiteral("TERMINATED");
    return words;
}

Lookups::Lookups(const Databases &databases, Clipboard &clipboard)
    : m_databases(databases)
    , m_clipboard(clipboard) {}

Result<LookupPage<AccountMatch>> Lookups::findAccounts(const QString &text) const {
    auto db = m_databases.open(QStringLiteral("master"));
    if (!db)
        return db.error();
    const QList<NumberRange> ranges = numberRanges(text, 5, true);
    const Condition condition = searchCondition(
        db.value()->dialect(), text, {QStringLiteral("a.lname"), QStringLiteral("a.fname")},
        QStringLiteral("a.acctnumber"), ranges);
    const QString order =
        ranges.isEmpty() ? QStringLiteral(" order by lower(a.lname), lower(a.fname), a.acctnumber")
                         : QStringLiteral(" order by a.acctnumber");
    auto query = db.value()->exec(
        QStringLiteral("select a.acctnumber, a.lname, a.fname, a.classcode, c.description, "
                       "a.taxexempt, a.suspended, a.terminated from acctinfo a "
                       "left join classcode c on c.classcode = a.classcode") +
            condition.where() + order,
        condition.values);
    if (!query)
        return query.error();
    return readPage<AccountMatch>(*query, ResultLimit, [](const QSqlQuery &row) {
        AccountMatch match;
        match.number = row.value(0).toDouble();
        match.name = displayName(row.value(1).toString(), row.value(2).toString());
        match.classCode = row.value(3).toString().trimmed();
        match.classDescription = row.value(4).toString().trimmed();
        // Any non-zero flag is set: the suite's files may store true as -1.
        match.taxExempt = row.value(5).toInt() != 0;
        match.suspended = row.value(6).toInt() != 0;
        match.terminated = row.value(7).toInt() != 0;
        return match;
    });
}

Result<LookupPage<EmployeeMatch>> Lookups::findEmployees(const QString &text) const {
    auto db = m_databases.open(QStringLiteral("emp"));
    if (!db)
        return db.error();
    const QList<NumberRange> ranges = numberRanges(text, 4, false);
    const Condition condition = searchCondition(
        db.value()->dialect(), text,
        {QStringLiteral("emplname"), QStringLiteral("empfname"), QStringLiteral("empmainname")},
        QStringLiteral("empid"), ranges);
    const QString order = ranges.isEmpty()
                              ? QStringLiteral(" order by lower(emplname), lower(empfname), empid")
                              : QStringLiteral(" order by empid");
    auto query = db.value()->exec(
        QStringLiteral("select empid, emplname, empfname, empstatus from empinfo") +
            condition.where() + order,
        condition.values);
    if (!query)
        return query.error();
    return readPage<EmployeeMatch>(*query, ResultLimit, [](const QSqlQuery &row) {
        EmployeeMatch match;
        match.number = row.value(0).toInt();
        match.name = displayName(row.value(1).toString(), row.value(2).toString());
        match.active = row.value(3).toString().trimmed() == QLatin1String("1");
        return match;
    });
}

void Lookups::chooseAccount(double number) {
    m_clipboard.setText(accountText(number));
}

void Lookups::chooseEmployee(int number) {
    m_clipboard.setText(employeeText(number));
}

void Lookups::chooseDate(const QDate &date) {
    if (date.isValid())
        m_clipboard.setText(dateText(date));
}

QString Lookups::accountText(double number) {
    const qint64 cents = qRound64(number * 100.0);
    const qint64 whole = std::llabs(cents) / 100, fraction = std::llabs(cents) % 100;
    QString text = cents < 0 ? QStringLiteral("-") : QString();
    if (whole != 0)
        text += QString::number(whole);
    return text + QLatin1Char('.') + QString::number(fraction).rightJustified(2, QLatin1Char('0'));
}

QString Lookups::employeeText(int number) {
    return QString::number(number);
}

QString Lookups::dateText(const QDate &date) {
    return QString::number(date.year() * 10000 + date.month() * 100 + date.day());
}
