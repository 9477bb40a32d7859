#include "AuditHistory.h"

#include "ChangeLog.h"
#include "session/ClubSettings.h"

#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>

namespace {

// The fields of a line; a doubled backslash is one inside its field.
QStringList fields(const QString &line) {
    QStringList found{QString()};
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != QLatin1Char('\\'))
            found.last() += line[i];
        else if (i + 1 < line.size() && line[i + 1] == QLatin1Char('\\'))
            found.last() += line[i++];
        else
            found << QString();
    }
    return found;
}

struct Line {
    QDateTime at;
    AuditEntry entry;
};

Line readLine(const QString &text, const ClubSettings &club) {
    const QStringList parts = fields(text);
    Line line;
    line.at = QDateTime(QDate::fromString(parts.value(0), QStringLiteral("MMddyyyy")),
                        QTime::fromString(parts.value(1), QStringLiteral("HH:mm")));
    if (!line.at.isValid()) {
        // A line the history cannot read is shown whole.
        line.entry.text = text;
        return line;
    }
    line.entry.date = club.shortDate(line.at.date());
    line.entry.time = club.time(parts.value(1));
    const QString by = parts.value(2).mid(2);
    if (parts.value(2).startsWith(QLatin1String("E#")) && by != QLatin1String("0"))
        line.entry.changedBy = by;
    // The event's own key ("Event#4 ") only says whose line it is.
    static const QRegularExpression key(QStringLiteral("^Event#\\d+$"));
    QStringList entries;
    for (qsizetype i = 3; i < parts.size(); ++i) {
        const QString entry = parts[i].trimmed();
        if (!entry.isEmpty() && !key.match(entry).hasMatch())
            entries << entry;
    }
    line.entry.text = entries.join(QStringLiteral("; "));
    return line;
}

} // namespace

namespace AuditHistory {

QList<AuditEntry> read(const QString &lines, const ClubSettings &club,
                       const EventChanges::Stamp &lastWrite) {
    QList<Line> read;
    for (const QString &text : lines.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        read << readLine(text, club);
    // Newest first; lines of one minute in the reverse of their order in the
    // log, so the last written leads. Unreadable lines go last.
    std::reverse(read.begin(), read.end());
    std::stable_sort(read.begin(), read.end(),
                     [](const Line &a, const Line &b) { return a.at > b.at; });
    const QDateTime lastMinute =
        lastWrite.changedAt.isValid()
            ? QDateTime(lastWrite.changedAt.date(), QTime(lastWrite.changedAt.time().hour(),
                                                          lastWrite.changedAt.time().minute()))
            : QDateTime();
    QList<AuditEntry> entries;
    const auto last = std::find_if(read.begin(), read.end(),
                                   [&](const Line &line) { return line.at == lastMinute; });
    if (lastMinute.isValid() && last != read.end() && last->entry.changedBy.isEmpty())
        last->entry.changedBy = lastWrite.changedBy;
    for (const Line &line : std::as_const(read))
        entries << line.entry;
    return entries;
}

QStringList printedLines(const QList<AuditEntry> &entries) {
    // The columns line up under each other, as on the panel.
    qsizetype widths[3] = {};
    for (const AuditEntry &entry : entries) {
        widths[0] = std::max(widths[0], entry.date.size());
        widths[1] = std::max(widths[1], entry.time.size());
        widths[2] = std::max(widths[2], entry.changedBy.size());
    }
    QStringList printed;
    for (const AuditEntry &entry : entries) {
        const QString gap = QStringLiteral("  ");
        printed << (entry.date.leftJustified(widths[0]) + gap +
                    entry.time.leftJustified(widths[1]) + gap +
                    entry.changedBy.leftJustified(widths[2]) + gap + entry.text)
                       .trimmed();
    }
    return printed;
}

} // namespace AuditHistory
