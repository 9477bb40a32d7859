#include "ChangeLog.h"

#include "ports/Clock.h"
#include "ports/Messages.h"
#include "session/CurrentEvent.h"
#include "session/Module.h"
#include "values/TextValue.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>

ChangeLog::ChangeLog(Messages &messages, Clock &clock, const CurrentEvent &event)
    : m_messages(messages)
    , m_clock(clock)
    , m_event(event)
    , m_log(messages.changeLog()) {}

namespace {

// A line's time stamp: its first two fields.
const QString StampDate = QStringLiteral("MMddyyyy");
const QString StampTime = QStringLiteral("HH:mm");

} // namespace

QString ChangeLog::line() const {
    const CurrentEvent &event = m_event;
    QString entry = AuditLine;
    if (event.mode != CurrentEvent::EnteringNew)
        entry.prepend(historyKey(event.EventNumber) + QLatin1Char('\\'));
    const QDateTime now = m_clock.now();
    return now.toString(StampDate) + QLatin1Char('\\') + now.toString(StampTime) +
           QStringLiteral("\\E#0\\") + entry;
}

bool ChangeLog::WriteAudit() {
    const QString text = line();
    AuditLine.clear();
    return m_messages.writeShared(m_log, {text});
}

namespace {

// The fields whose changes the history names, with their entry texts.
struct Named {
    EventField field;
    const char *what;
};
constexpr Named NamedFields[] = {
    {EventField::Date, "Date"},           {EventField::Title, "Event name"},
    {EventField::Start, "Start time"},    {EventField::End, "End time"},
    {EventField::Status, "Status"},       {EventField::Guests, "Set For"},
    {EventField::Guarantee, "Guarantee"}, {EventField::Room, "Room"},
};

} // namespace

QString ChangeLog::changeTexts(const CurrentEvent &event) {
    // Enquiries (status 0 and 1) change too often to be worth the words.
    if (integerValue(event.saving[EventField::Status]) <= 1)
        return QString();
    QString texts;
    for (const Named &named : NamedFields) {
        if (!event.changed[named.field])
            continue;
        texts += QLatin1String(named.what) + QStringLiteral(" changed from ") +
                 field(event.loaded[named.field]) + QStringLiteral(" to ") +
                 field(event.saving[named.field]) + QLatin1Char('\\');
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
    // Up to the billing e-mail: the contact, deposit and notes change
    // without a line.
    return std::ranges::any_of(eventFieldsFrom(EventField::Date, EventField::BillingEmail),
                               [&](EventField field) { return event.changed[field]; });
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

QString ChangeLog::cloneEntry(int source, const CloneChoices &copies, int package) {
    QStringList left;
    for (const auto &[copied, what] :
         {std::pair{copies.items, "items"}, std::pair{copies.guests, "guest counts"},
          std::pair{copies.contact, "contact and billing"}, std::pair{copies.notes, "notes"}})
        if (!copied)
            left << QString::fromLatin1(what);
    QString text = QStringLiteral("Cloned from #%1").arg(source);
    if (!left.isEmpty()) {
        const QString last = left.takeLast();
        text += QStringLiteral(" without ") +
                (left.isEmpty() ? last
                                : left.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last);
    }
    if (package > 0)
        text += QStringLiteral(", linked into package #%1").arg(package);
    return field(text) + QLatin1Char('\\');
}

bool logEventChange(Module &module, int number, const QString &entries) {
    CurrentEvent logged = module.event;
    logged.EventNumber = number;
    logged.mode = CurrentEvent::Viewing;
    ChangeLog log(module.messages, module.ports.clock, logged);
    log.AuditLine = entries;
    return log.WriteAudit();
}
