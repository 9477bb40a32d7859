#include "ChangeLog.h"

#include "foundation/Clock.h"
#include "foundation/Module.h"

ChangeLog::ChangeLog(Module &module)
    : m_module(module)
    , m_log(module.clubPath(QString::fromLatin1(FileName))) {}

QString ChangeLog::line() const {
    const CurrentEvent &event = m_module.event;
    QString entry = AuditLine;
    if (event.EditMode != CurrentEvent::EnteringNew)
        entry.prepend(QStringLiteral("Event#%1 \\").arg(event.EventNumber));
    const QDateTime now = m_module.ports.clock.now();
    return now.toString(QStringLiteral("MMddyyyy")) + QLatin1Char('\\') +
           now.toString(QStringLiteral("HH:mm")) + QStringLiteral("\\E#0\\") + entry;
}

bool ChangeLog::WriteAudit() {
    const QString text = line();
    AuditLine.clear();
    return m_module.messages.writeShared(m_log, {text});
}
