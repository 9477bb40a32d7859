#pragma once

#include "ReportFailure.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The calling program's row selection, "{eventinfo.eventnum} = 123": terms
// "{table.column} OP literal" joined by "and" / "or", OP one of = <> < <= > >=,
// the literal a number or a quoted text. Anything else is refused by name, so
// no text of the formula ever reaches SQL except as a bound value or a column
// checked against a query's own columns.
class SelectionFormula {
public:
    struct Term {
        QString joiner; // "and" or "or"; empty for the first term
        QString table;
        QString column;
        QString op;
        QVariant literal;
    };

    // The condition to append to a query: "where "c" = ? ..." and its values.
    struct Condition {
        QString where;
        QVariantList values;
    };

    // An empty text selects every row.
    static Result<SelectionFormula, ReportFailure> parse(const QString &text);

    bool isEmpty() const { return m_terms.isEmpty(); }
    const QList<Term> &terms() const { return m_terms; }
    // The table every term names (one table per formula).
    QString table() const { return m_terms.isEmpty() ? QString() : m_terms.first().table; }
    // The condition over a query returning `columns`; a column the query does
    // not return is refused.
    Result<Condition, ReportFailure> condition(const QStringList &columns) const;

private:
    QString m_text;
    QList<Term> m_terms;
};
