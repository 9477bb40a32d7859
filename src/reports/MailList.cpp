#include "MailList.h"

#include "Mailings.h"
#include "storage/ClubFile.h"
#include "storage/Databases.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

const QString UnusableMark = QStringLiteral("(no usable address)");

QString shownPath(const QString &path) {
    return QDir::toNativeSeparators(path);
}

DbError readFailure(const DbError &error, const QString &path) {
    switch (error.number) {
    case ErrorNumber::CorruptDatabase:
    case ErrorNumber::FieldMissing:
        return DbError{error.number,
                       QStringLiteral("%1 is not a report work database.").arg(shownPath(path))};
    case ErrorNumber::TableMissing:
        return DbError{error.number,
                       QStringLiteral("%1 has no e-mail list: the table master is missing.")
                           .arg(shownPath(path))};
    default:
        return DbError{
            error.number,
            QStringLiteral("%1 cannot be read: %2").arg(shownPath(path), error.description)};
    }
}

bool isForbidden(QChar c) {
    static const QString separators = QStringLiteral(",;<>\"");
    return c.isSpace() || c.category() == QChar::Other_Control || separators.contains(c);
}

QString plural(qsizetype count, const QString &one, const QString &many) {
    return QString::number(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}

QString eventList(const QList<qint64> &events, const QString &separator) {
    QStringList texts;
    for (qint64 event : events)
        texts << QString::number(event);
    return texts.join(separator);
}

// A spreadsheet runs a cell that starts like a formula, or with a tab or a
// line break before one; the apostrophe makes it plain text. Every field
// of the CSV is written through here, the addresses and numbers as well as
// the names.
QString csvField(const QString &text) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r\n");
    QString field = QString(text).replace(QLatin1Char('"'), QLatin1String("\"\""));
    if (!text.isEmpty() && formulaStarts.contains(text.front()))
        field.prepend(QLatin1Char('\''));
    return QLatin1Char('"') + field + QLatin1Char('"');
}

QString csvLine(const QStringList &fields) {
    QStringList quoted;
    for (const QString &field : fields)
        quoted << csvField(field);
    return quoted.join(QLatin1Char(',')) + QLatin1String("\r\n");
}

// A display name with characters that mean something in an address header
// goes in double quotes.
QString headerName(const QString &name) {
    static const QString specials = QStringLiteral(",\"<>;:@()\\[]");
    for (QChar c : name) {
        if (specials.contains(c)) {
            QString escaped = name;
            escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
                .replace(QLatin1Char('"'), QLatin1String("\\\""));
            return QLatin1Char('"') + escaped + QLatin1Char('"');
        }
    }
    return name;
}

} // namespace

MailList::MailList(QList<MailRow> rows)
    : m_rows(std::move(rows)) {
    QHash<QString, qsizetype> seen;
    for (MailRow &row : m_rows) {
        row.usable = isUsable(row.address);
        if (!row.usable)
            continue;
        const QString key = row.address.toCaseFolded();
        auto found = seen.constFind(key);
        if (found == seen.cend()) {
            seen.insert(key, m_addresses.size());
            m_addresses << MailAddress{row.name, row.address, {row.event}};
        } else {
            m_addresses[*found].events << row.event;
        }
    }
}

QString MailList::workPath(const QString &clubDirectory, const QStringList &arguments) {
    const QString argument = arguments.join(QLatin1Char(' ')).trimmed();
    if (argument.isEmpty())
        return QString();
    if (argument.contains(QLatin1Char('/')) || argument.contains(QLatin1Char('\\')))
        return argument;
    const QString found = ClubFile::find(clubDirectory, argument);
    return found.isEmpty() ? QDir(clubDirectory).filePath(argument) : found;
}

Result<MailList> MailList::read(const Databases &databases, const QString &path) {
    if (path.isEmpty())
        return DbError{ErrorNumber::FileMissing, QStringLiteral("No work database was named.")};
    // Opening a missing file would make an empty database of it.
    if (!QFileInfo(path).isFile())
        return DbError{ErrorNumber::FileMissing,
                       QStringLiteral("The work database %1 was not found.").arg(shownPath(path))};
    auto db = databases.openLocalFile(path);
    if (!db)
        return readFailure(db.error(), path);
    auto query = db.value()->exec(
        QStringLiteral("select acctnumber, fname, lname, email1 from master order by acctnumber"));
    if (!query)
        return readFailure(query.error(), path);
    QList<MailRow> rows;
    while (query->next()) {
        MailRow row;
        row.event = std::llround(query->value(0).toDouble());
        row.name = contactName(query->value(1).toString(), query->value(2).toString());
        row.address = query->value(3).toString().trimmed();
        rows << row;
    }
    return MailList(std::move(rows));
}

QString MailList::csvPath(const QString &workPath) {
    static const QRegularExpression operatorCopy(QStringLiteral("^rpt(\\d\\d)\\.mdb$"),
                                                 QRegularExpression::CaseInsensitiveOption);
    const QFileInfo work(workPath);
    const auto match = operatorCopy.match(work.fileName());
    const QString name = match.hasMatch() ? QStringLiteral("email%1.csv").arg(match.captured(1))
                                          : work.completeBaseName() + QStringLiteral("-email.csv");
    return work.dir().filePath(name);
}

// The cut may fall on a blank, so the first half is padded back to its
// width before the halves are joined.
QString MailList::contactName(const QString &fname, const QString &lname) {
    return (fname.leftJustified(Mailings::FirstNameLength, QLatin1Char(' ')) + lname).trimmed();
}

bool MailList::isUsable(const QString &address) {
    if (address.count(QLatin1Char('@')) != 1 ||
        std::any_of(address.cbegin(), address.cend(), isForbidden))
        return false;
    const qsizetype at = address.indexOf(QLatin1Char('@'));
    const QString domain = address.mid(at + 1);
    return at > 0 && domain.contains(QLatin1Char('.')) && !domain.startsWith(QLatin1Char('.')) &&
           !domain.endsWith(QLatin1Char('.'));
}

QString MailList::shownAddress(const MailRow &row) {
    if (row.usable)
        return row.address;
    return row.address.isEmpty() ? UnusableMark : row.address + QStringLiteral("  ") + UnusableMark;
}

QList<qint64> MailList::withoutAddress() const {
    QList<qint64> events;
    for (const MailRow &row : m_rows)
        if (!row.usable)
            events << row.event;
    return events;
}

QString MailList::counts() const {
    const QList<qint64> missing = withoutAddress();
    QString text =
        plural(m_rows.size(), QStringLiteral("event"), QStringLiteral("events")) +
        QStringLiteral(", ") +
        plural(m_addresses.size(), QStringLiteral("address"), QStringLiteral("addresses")) +
        QStringLiteral(", ") +
        plural(missing.size(), QStringLiteral("event without a usable address"),
               QStringLiteral("events without a usable address"));
    if (!missing.isEmpty())
        text += QStringLiteral(": ") + eventList(missing, QStringLiteral(", "));
    return text;
}

QByteArray MailList::csv() const {
    QString text =
        csvLine({QStringLiteral("Name"), QStringLiteral("E-mail"), QStringLiteral("Event#")});
    for (const MailAddress &entry : m_addresses)
        text += csvLine({entry.name, entry.address, eventList(entry.events, QStringLiteral(" "))});
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

Status MailList::writeCsv(const QString &path) const {
    if (const QString failed = ClubFile::replace(path, csv()); !failed.isEmpty())
        return DbError{
            ErrorNumber::FileAccess,
            QStringLiteral("The CSV file %1 was not saved: %2").arg(shownPath(path), failed)};
    return {};
}

QString MailList::addressLine() const {
    QStringList entries;
    for (const MailAddress &entry : m_addresses)
        entries << (entry.name.isEmpty() ? entry.address
                                         : headerName(entry.name) + QStringLiteral(" <") +
                                               entry.address + QLatin1Char('>'));
    return entries.join(QStringLiteral(", "));
}
