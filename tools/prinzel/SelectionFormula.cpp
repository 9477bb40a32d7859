#include "SelectionFormula.h"

#include <QRegularExpression>

namespace {

ReportFailure refused(const QString &formula, const QString &why) {
    return {ExitCode::Data,
            QStringLiteral("The selection formula \"%1\" is refused: %2.").arg(formula, why)};
}

// Reads the formula left to right; each read* returns the reason when the
// text there is not what the grammar allows.
class Reader {
public:
    explicit Reader(const QString &text)
        : m_text(text) {}

    bool atEnd() {
        skipBlanks();
        return m_at >= m_text.size();
    }

    std::optional<QString> readField(SelectionFormula::Term &term) {
        static const QRegularExpression field(
            QStringLiteral("\\G\\{\\s*([A-Za-z_][A-Za-z0-9_]*)\\.([A-Za-z_][A-Za-z0-9_]*)\\s*\\}"));
        skipBlanks();
        const auto match = field.match(m_text, m_at);
        if (!match.hasMatch())
            return unexpected(QStringLiteral("a field such as {table.column}"));
        term.table = match.captured(1);
        term.column = match.captured(2);
        m_at = match.capturedEnd();
        return std::nullopt;
    }

    std::optional<QString> readOperator(SelectionFormula::Term &term) {
        skipBlanks();
        for (const char *op : {"<>", "<=", ">=", "=", "<", ">"}) {
            if (QStringView(m_text).mid(m_at).startsWith(QLatin1String(op))) {
                term.op = QLatin1String(op);
                m_at += term.op.size();
                return std::nullopt;
            }
        }
        return unexpected(QStringLiteral("one of = <> < <= > >="));
    }

    std::optional<QString> readLiteral(SelectionFormula::Term &term) {
        static const QRegularExpression number(QStringLiteral("\\G[-+]?[0-9]+(\\.[0-9]+)?"));
        skipBlanks();
        if (const auto match = number.match(m_text, m_at); match.hasMatch()) {
            const QString digits = match.captured();
            m_at = match.capturedEnd();
            if (match.hasCaptured(1))
                term.literal = digits.toDouble();
            else
                term.literal = digits.toLongLong();
            return std::nullopt;
        }
        if (m_at < m_text.size() && (m_text[m_at] == u'\'' || m_text[m_at] == u'"'))
            return readQuoted(term);
        return unexpected(QStringLiteral("a number or a quoted text"));
    }

    // "and" / "or"; anything else after a term is refused.
    std::optional<QString> readJoiner(SelectionFormula::Term &term) {
        static const QRegularExpression joiner(QStringLiteral("\\G(and|or)\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
        skipBlanks();
        const auto match = joiner.match(m_text, m_at);
        if (!match.hasMatch())
            return unexpected(QStringLiteral("\"and\" or \"or\""));
        term.joiner = match.captured(1).toLower();
        m_at = match.capturedEnd();
        return std::nullopt;
    }

private:
    void skipBlanks() {
        while (m_at < m_text.size() && m_text[m_at].isSpace())
            ++m_at;
    }

    // A quoted text; the quote doubled stands for itself.
    std::optional<QString> readQuoted(SelectionFormula::Term &term) {
        const QChar quote = m_text[m_at];
        QString value;
        for (qsizetype i = m_at + 1; i < m_text.size(); ++i) {
            if (m_text[i] != quote) {
                value += m_text[i];
            } else if (i + 1 < m_text.size() && m_text[i + 1] == quote) {
                value += quote;
                ++i;
            } else {
                term.literal = value;
                m_at = i + 1;
                return std::nullopt;
            }
        }
        return QStringLiteral("a quoted text is not closed");
    }

    // Names what was found where `expected` should be, the common attempts
    // at more than the grammar allows by their own name.
    QString unexpected(const QString &expected) const {
        static const QRegularExpression word(
            QStringLiteral("\\G([A-Za-z_][A-Za-z0-9_]*)\\s*(\\()?"));
        if (m_at >= m_text.size())
            return QStringLiteral("it ends where %1 should follow").arg(expected);
        const QChar c = m_text[m_at];
        if (c == u';')
            return QStringLiteral("\";\" is not allowed");
        static const QRegularExpression subSelect(QStringLiteral("\\G\\(\\s*select\\b"),
                                                  QRegularExpression::CaseInsensitiveOption);
        if (subSelect.match(m_text, m_at).hasMatch())
            return QStringLiteral("a sub-select is not allowed");
        if (c == u'(' || c == u')')
            return QStringLiteral("parentheses are not supported");
        if (const auto match = word.match(m_text, m_at); match.hasMatch()) {
            if (match.captured(1).compare(QLatin1String("select"), Qt::CaseInsensitive) == 0)
                return QStringLiteral("a sub-select is not allowed");
            if (match.hasCaptured(2))
                return QStringLiteral("the function %1() is not allowed").arg(match.captured(1));
        }
        return QStringLiteral("\"%1\" is found where %2 should be")
            .arg(QStringView(m_text).mid(m_at, 20).toString(), expected);
    }

    const QString &m_text;
    qsizetype m_at = 0;
};

// A checked column name, quoted as an identifier.
QString quoted(const QString &column) {
    return QLatin1Char('"') + QString(column).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

} // namespace

Result<SelectionFormula, ReportFailure> SelectionFormula::parse(const QString &text) {
    SelectionFormula formula;
    formula.m_text = text.trimmed();
    Reader reader(formula.m_text);
    while (!reader.atEnd()) {
        Term term;
        std::optional<QString> why;
        if (!formula.m_terms.isEmpty())
            why = reader.readJoiner(term);
        if (!why)
            why = reader.readField(term);
        if (!why)
            why = reader.readOperator(term);
        if (!why)
            why = reader.readLiteral(term);
        if (why)
            return refused(formula.m_text, *why);
        if (!formula.m_terms.isEmpty() &&
            term.table.compare(formula.table(), Qt::CaseInsensitive) != 0)
            return refused(formula.m_text, QStringLiteral("it names more than one table"));
        formula.m_terms << term;
    }
    return formula;
}

Result<SelectionFormula::Condition, ReportFailure>
SelectionFormula::condition(const QStringList &columns) const {
    Condition condition;
    for (const Term &term : m_terms) {
        const auto found = std::find_if(columns.begin(), columns.end(), [&](const QString &column) {
            return column.compare(term.column, Qt::CaseInsensitive) == 0;
        });
        if (found == columns.end())
            return refused(m_text, QStringLiteral("the query on %1 returns no column %2")
                                       .arg(term.table, term.column));
        condition.where +=
            (term.joiner.isEmpty() ? QStringLiteral(" where ")
                                   : QLatin1Char(' ') + term.joiner + QLatin1Char(' ')) +
            quoted(*found) + QLatin1Char(' ') + term.op + QStringLiteral(" ?");
        condition.values << term.literal;
    }
    return condition;
}
