#include "SharedRoutines.h"

#include "Clipboard.h"
#include "Messages.h"
#include "Programs.h"
#include "session/OperatorSession.h"
#include "storage/ClubFile.h"
#include "storage/Databases.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QTimer>

SharedRoutines::SharedRoutines(Databases &databases, Messages &messages, OperatorSession &session,
                               Programs &programs, Clipboard &clipboard)
    : m_databases(databases)
    , m_messages(messages)
    , m_session(session)
    , m_programs(programs)
    , m_clipboard(clipboard) {}

bool SharedRoutines::CheckDatabaseUpdate() {
    const QString club = m_databases.settings().clubDirectory;
    if (!ClubFile::exists(club, QStringLiteral("schemafix.dat")))
        return false;
    QString text = QStringLiteral("Before you may continue, you must run the \n") +
                   QStringLiteral("SCHEMAFIX module.  Note that no users may be  \n") +
                   QStringLiteral("using Brevant Accounting during an update.  \n\n");
    if (ClubFile::exists(club, QStringLiteral("TILLZO.EXE")))
        text += QStringLiteral("Unless the instructions specify otherwise, it is NOT \n") +
                QStringLiteral("necessary to shut down Tillzo Point of sale.");
    m_messages.show(text, QStringLiteral("Brevant Database Update Required"), Icon::Critical);
    return true;
}

int SharedRoutines::RunAndWait(const QString &program, const QStringList &arguments,
                               const QString &input, const QList<int> &toldByProgram) {
    const int exitCode = m_programs.runAndWait(program, arguments, input);
    if (exitCode != 0 && !toldByProgram.contains(exitCode)) {
        m_messages.show(QStringLiteral("WARNING - PREMATURE USER TERMINATION OF BACKUP PROCEDURE"),
                        QStringLiteral("CAUTION"), Icon::Critical);
        m_session.LocationName = QStringLiteral("Backup/Restore");
        m_messages.WriteAdminLog(
            QStringLiteral("%1 ended with exit code %2").arg(program).arg(exitCode));
    }
    return exitCode;
}

bool SharedRoutines::ChangeToProgramDirectory() {
    return QDir::setCurrent(m_databases.settings().clubDirectory);
}

void SharedRoutines::ShowBusy() {
    m_messages.prompts().setBusy(true);
}

void SharedRoutines::ShowIdle() {
    m_messages.prompts().setBusy(false);
}

void SharedRoutines::CloseAllDatabases() {
    m_databases.closeAll();
}

bool SharedRoutines::WaitForClipboardText(int timeoutMs) {
    MessageChannel &channel = m_messages.channel();
    m_clipboard.clear();
    channel.LookupResult.clear();
    const QDeadlineTimer deadline(timeoutMs < 0 ? QDeadlineTimer::Forever
                                                : QDeadlineTimer(timeoutMs));
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (channel.LookupResult.isEmpty())
            channel.LookupResult = m_clipboard.text();
        if (!channel.LookupResult.isEmpty() || deadline.hasExpired())
            loop.quit();
    });
    poll.start(50);
    loop.exec();
    return !channel.LookupResult.isEmpty();
}
