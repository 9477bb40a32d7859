#include "SqlDialect.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

using Schema::ColumnType;

bool SqlDialect::isSafeIdentifier(const QString &name) {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    return pattern.match(name).hasMatch();
}

QString SqlDialect::columnType(ColumnType type, int size) const {
    switch (type) {
    case ColumnType::Text:
        return textType(size > 0 ? size : 255);
    case ColumnType::Memo:
        return QStringLiteral("text");
    case ColumnType::Long:
        return QStringLiteral("integer");
    case ColumnType::Integer:
        return QStringLiteral("smallint");
    case ColumnType::Double:
        return QStringLiteral("double precision");
    case ColumnType::Currency:
        return QStringLiteral("numeric(19,4)");
    case ColumnType::DateTime:
        return QStringLiteral("timestamp");
    case ColumnType::Binary:
        return binaryType();
    }
    return QStringLiteral("text");
}

namespace {

// Never without words: a driver that gives none (a PostgreSQL session that
// ended without a reply) still leaves the operator something to report.
DbError unknownError(const QSqlError &error) {
    const QString text = error.text().trimmed();
    if (!text.isEmpty())
        return {ErrorNumber::Unknown, text};
    return {ErrorNumber::Unknown,
            QStringLiteral("The database gave no reason for the failure (error type %1, code "
                           "\"%2\"); the connection to it may have been lost.")
                .arg(int(error.type()))
                .arg(error.nativeErrorCode())};
}

// The characters Unicode's simple case folding makes one, keyed by their
// folded form: 'a' holds "aA", 's' holds "sSſ", 'σ' holds "σΣς". Characters
// with no other case are not in it.
const QHash<char32_t, QList<char32_t>> &caseClasses() {
    static const QHash<char32_t, QList<char32_t>> classes = [] {
        QHash<char32_t, QList<char32_t>> made;
        // Every letter that has cases lies below U+20000.
        for (char32_t c = 0; c < 0x20000; ++c) {
            const char32_t folded = QChar::toCaseFolded(c);
            if (folded == c)
                continue;
            QList<char32_t> &members = made[folded];
            if (members.isEmpty())
                members << folded;
            members << c;
        }
        return made;
    }();
    return classes;
}

void appendCharacter(QString &pattern, char32_t c) {
    pattern += QString::fromUcs4(&c, 1);
}

// The text with each letter that has cases written as the bracket set of its
// case variants ("[Zz][Oo][Ëë]"); every other character goes through
// `literal`, which writes it so that the pattern language takes it as it is.
template <typename Literal> QString casePattern(const QString &text, Literal literal) {
    const QHash<char32_t, QList<char32_t>> &classes = caseClasses();
    QString pattern;
    for (const char32_t c : text.toUcs4()) {
        const auto found = classes.constFind(QChar::toCaseFolded(c));
        if (found == classes.constEnd()) {
            literal(pattern, c);
            continue;
        }
        pattern += QLatin1Char('[');
        for (const char32_t variant : *found)
            appendCharacter(pattern, variant);
        pattern += QLatin1Char(']');
    }
    return pattern;
}

bool mentions(const QSqlError &error, const char *text) {
    return error.databaseText().contains(QLatin1String(text), Qt::CaseInsensitive) ||
           error.driverText().contains(QLatin1String(text), Qt::CaseInsensitive);
}

class SqliteDialect final : public SqlDialect {
public:
    QString driverName() const override { return QStringLiteral("QSQLITE"); }
    QString binaryType() const override { return QStringLiteral("blob"); }
    // SQLite keeps the declared size as a note and stores any length.
    QString textType(int size) const override { return QStringLiteral("varchar(%1)").arg(size); }

    // BEGIN IMMEDIATE already holds the whole file against other writers.
    QString rowIdentity() const override { return QStringLiteral("rowid"); }
    QString lockRowsClause() const override { return QString(); }
    QString lockTableStatement(const QString &) const override { return QString(); }
    QString indexNamesQuery() const override {
        return QStringLiteral(
            "select name from sqlite_master where type = 'index' and lower(tbl_name) = lower(?)");
    }
    QString tableExistsQuery() const override {
        return QStringLiteral(
            "select name from sqlite_master where type = 'table' and lower(name) = lower(?)");
    }

    // GLOB compares case-sensitively and reads bracket sets character by
    // character in any alphabet; * ? and [ are made plain by a set of their own.
    Match containsText(const QString &column, const QString &text) const override {
        const QString pattern = casePattern(text, [](QString &out, char32_t c) {
            if (c == U'*' || c == U'?' || c == U'[') {
                out += QLatin1Char('[');
                appendCharacter(out, c);
                out += QLatin1Char(']');
            } else {
                appendCharacter(out, c);
            }
        });
        return {column + QLatin1String(" glob ?"),
                QString(QLatin1Char('*') + pattern + QLatin1Char('*'))};
    }

    Status beginWrite(QSqlDatabase &db) const override {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return mapError(query.lastError());
        return {};
    }

    DbError mapError(const QSqlError &error) const override {
        const int code = error.nativeErrorCode().toInt() & 0xff; // primary result code
        const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
        switch (code) {
        case 5: // SQLITE_BUSY
        case 6: // SQLITE_LOCKED
            return {ErrorNumber::RecordLocked,
                    QStringLiteral("Could not update; currently locked.")};
        case 8: // SQLITE_READONLY
            return {ErrorNumber::ReadOnly,
                    QStringLiteral("Cannot update. Database or object is read-only.")};
        case 10: // SQLITE_IOERR
            return {ErrorNumber::FileAccess, text};
        case 13: // SQLITE_FULL
            return {ErrorNumber::FileAccess, QStringLiteral("The disk is full (%1)").arg(text)};
        case 11: // SQLITE_CORRUPT
        case 26: // SQLITE_NOTADB
            return {ErrorNumber::CorruptDatabase, text};
        case 14: // SQLITE_CANTOPEN
            return {ErrorNumber::OpenFailed,
                    QStringLiteral("The database file cannot be opened: ") + text};
        case 19: // SQLITE_CONSTRAINT
            if (mentions(error, "UNIQUE") || mentions(error, "PRIMARY KEY"))
                return {ErrorNumber::DuplicateKey, text};
            return unknownError(error);
        default:
            break;
        }
        // Some of the driver's errors (a failed commit) carry the text alone.
        if (mentions(error, "disk I/O error"))
            return {ErrorNumber::FileAccess, text};
        if (mentions(error, "database or disk is full"))
            return {ErrorNumber::FileAccess, QStringLiteral("The disk is full (%1)").arg(text)};
        if (mentions(error, "no such table"))
            return {ErrorNumber::TableMissing, text};
        if (mentions(error, "no such column") || mentions(error, "has no column"))
            return {ErrorNumber::FieldMissing, text};
        if (mentions(error, "duplicate column name"))
            return {ErrorNumber::DuplicateName, text};
        if (mentions(error, "database is locked"))
            return {ErrorNumber::RecordLocked,
                    QStringLiteral("Could not update; currently locked.")};
        if (mentions(error, "readonly"))
            return {ErrorNumber::ReadOnly,
                    QStringLiteral("Cannot update. Database or object is read-only.")};
        return unknownError(error);
    }
};

class PostgresDialect final : public SqlDialect {
public:
    QString driverName() const override { return QStringLiteral("QPSQL"); }
    QString binaryType() const override { return QStringLiteral("bytea"); }
    // Unbounded like SQLite's, so that both engines keep the same values and
    // a club's data moves between them whole; the program cuts what the
    // operator types to the schema's sizes itself.
    QString textType(int) const override { return QStringLiteral("text"); }

    QString rowIdentity() const override { return QStringLiteral("ctid"); }
    QString lockRowsClause() const override { return QStringLiteral(" for update"); }
    QString lockTableStatement(const QString &table) const override {
        return QStringLiteral("lock table %1 in exclusive mode").arg(table);
    }
    QString indexNamesQuery() const override {
        return QStringLiteral("select indexname from pg_indexes where schemaname = "
                              "current_schema() and tablename = lower(?)");
    }
    QString tableExistsQuery() const override {
        return QStringLiteral("select tablename from pg_tables where schemaname = "
                              "current_schema() and tablename = lower(?)");
    }

    // A regular expression matches anywhere in the text. An ASCII character
    // other than a letter or digit is made plain by a backslash; no other
    // character means anything to it.
    Match containsText(const QString &column, const QString &text) const override {
        const QString pattern = casePattern(text, [](QString &out, char32_t c) {
            if (c < 0x80 && !QChar::isLetterOrNumber(c))
                out += QLatin1Char('\\');
            appendCharacter(out, c);
        });
        return {column + QLatin1String(" ~ ?"), pattern};
    }

    Status beginWrite(QSqlDatabase &db) const override {
        if (!db.transaction())
            return mapError(db.lastError());
        return {};
    }

    DbError mapError(const QSqlError &error) const override {
        const QString state = error.nativeErrorCode();
        const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
        if (state == QLatin1String("23505"))
            return {ErrorNumber::DuplicateKey, text};
        if (state == QLatin1String("42P01") || state == QLatin1String("3F000"))
            return {ErrorNumber::TableMissing, text};
        if (state == QLatin1String("42703"))
            return {ErrorNumber::FieldMissing, text};
        if (state == QLatin1String("42701"))
            return {ErrorNumber::DuplicateName, text};
        if (state == QLatin1String("55P03") || state == QLatin1String("40P01") ||
            state == QLatin1String("40001"))
            return {ErrorNumber::RecordLocked,
                    QStringLiteral("Could not update; currently locked.")};
        if (state == QLatin1String("25006"))
            return {ErrorNumber::ReadOnly, text};
        // The server went away, or ended this session, mid-operation.
        if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")) ||
            (state.isEmpty() && error.type() == QSqlError::ConnectionError))
            return {ErrorNumber::OpenFailed,
                    QStringLiteral("The connection to the database server was lost: ") + text};
        return unknownError(error);
    }
};

} // namespace

std::unique_ptr<SqlDialect> SqlDialect::sqlite() {
    return std::make_unique<SqliteDialect>();
}
std::unique_ptr<SqlDialect> SqlDialect::postgres() {
    return std::make_unique<PostgresDialect>();
}
