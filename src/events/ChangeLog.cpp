#include "ChangeLog.h"

#include "foundation/Clock.h"
#include "foundation/Module.h"
#include "foundation/TextValue.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

ChangeLog::ChangeLog(Module &module)
    : m_module(module)
    , m_log(module.messages.changeLog()) {}

namespace {

// A line's time stamp: its first two fields.
const QString StampDate = QStringLiteral("MMddyyyy");
const QString StampTime = QStringLiteral("HH:mm");

} // namespace

QString ChangeLog::line() const {
    const CurrentEvent &event = m_module.event;
    QString entry = AuditLine;
    if (event.EditMode != CurrentEvent::EnteringNew)
        entry.prepend(historyKey(event.EventNumber) + QLatin1Char('\\'));
    const QDateTime now = m_module.ports.clock.now();
    return now.toString(StampDate) + QLatin1Char('\\') + now.toString(StampTime) +
           QStringLiteral("\\E#0\\") + entry;
}

bool ChangeLog::WriteAudit() {
    const QString text = line();
    AuditLine.clear();
    return m_module.messages.writeShared(m_log, {text});
}

namespace {

// The columns whose changes the history names, with their entry texts.
struct Named {
    int column;
    const char *what;
};
constexpr Named NamedColumns[] = {
    {0, "Date"},   {1, "Event name"}, {3, "Start time"}, {4, "End time"},
    {5, "Status"}, {6, "Set For"},    {7, "Guarantee"},  {8, "Room"},
};
constexpr int LastRecordedColumn = 20; // the billing e-mail
constexpr int StatusColumn = 5;

} // namespace

QString ChangeLog::changeTexts(const CurrentEvent &event) {
    // Enquiries (status 0 and 1) change too often to be worth the words.
    if (integerValue(event.NewValue[StatusColumn]) <= 1)
        return QString();
    QString texts;
    for (const Named &named : NamedColumns) {
        if (!event.Changed[named.column])
            continue;
        texts += QLatin1String(named.what) + QStringLiteral(" changed from ") +
                 field(event.OldValue[named.column]) + QStringLiteral(" to ") +
                 field(event.NewValue[named.column]) + QLatin1Char('\\');
    }
    return texts;
}

QString ChangeLog::field(QString text) {
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1String("\r\n"), QLatin1String(" "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
}

bool ChangeLog::recordsChange(const CurrentEvent &event) {
    for (int i = 0; i <= LastRecordedColumn; ++i) {
        if (event.Changed[i])
            return true;
    }
    return false;
}

QString ChangeLog::historyKey(int eventNumber) {
    return QStringLiteral("Event#%1 ").arg(eventNumber);
}

Status ChangeLog::forEachLine(const std::function<void(const QString &)> &take) const {
    QFile file(m_log.path());
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return DbError{ErrorNumber::FileAccess,
                       QStringLiteral("The change log %1 cannot be read: %2")
                           .arg(m_log.path(), file.errorString())};
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd())
        take(in.readLine());
    return {};
}

Result<QString> ChangeLog::history(int eventNumber) const {
    const QString key = historyKey(eventNumber);
    QString lines;
    const Status read = forEachLine([&](const QString &line) {
        if (line.contains(key))
            lines += line + QLatin1Char('\n');
    });
    if (!read)
        return read.error();
    return lines;
}

Result<QHash<int, QDateTime>> ChangeLog::lastChanges(const QTimeZone &zone) const {
    static const QRegularExpression key(QStringLiteral("\\\\Event#(\\d+) "));
    QHash<int, QDateTime> changes;
    const Status read = forEachLine([&](const QString &line) {
        const auto match = key.match(line);
        const QStringList stamp = line.split(QLatin1Char('\\'));
        if (!match.hasMatch() || stamp.size() < 2)
            return;
        const QDateTime at(QDate::fromString(stamp[0], StampDate),
                           QTime::fromString(stamp[1], StampTime), zone);
        QDateTime &last = changes[match.captured(1).toInt()];
        if (at.isValid() && (!last.isValid() || at > last))
            last = at;
    });
    if (!read)
        return read.error();
    return changes;
}
