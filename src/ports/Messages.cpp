#include "Messages.h"

#include "Clock.h"
#include "session/OperatorSession.h"
#include "storage/Databases.h"

#include <QDir>
#include <QFileInfo>

Messages::Messages(MessageChannel &channel, Prompts &prompts, Clock &clock,
                   const OperatorSession &session, QString clubDirectory)
    : m_channel(channel)
    , m_prompts(prompts)
    , m_clock(clock)
    , m_session(session)
    , m_adminLog(QDir(clubDirectory).filePath(QString::fromLatin1(AdminLogName)))
    , m_backupLog(QDir(clubDirectory).filePath(QStringLiteral("lastbkup.dat")))
    , m_changeLog(QDir(clubDirectory).filePath(QStringLiteral("evntsched.ini"))) {}

bool Messages::AskYesNo() {
    const bool yes = m_prompts.askYesNo(m_channel.MessageText, m_channel.MessageTitle);
    m_channel.YesNoAnswer = yes ? MessageChannel::Yes : MessageChannel::No;
    return yes;
}

bool Messages::AskYesNo(const QString &text, const QString &title) {
    m_channel.MessageText = text;
    m_channel.MessageTitle = title;
    return AskYesNo();
}

void Messages::show(const QString &text, const QString &title, Icon icon) {
    m_prompts.message(text, title, icon);
}

QString Messages::errorCodeTable() {
    static const char *const lines[] = {
        "FYI - other possible codes and their explanations",
        "    13 = An alpha character exists for a numeric field",
        "    53 = A database is missing. Call Quorvane.",
        "3018 = Data field is missing. Call Quorvane.",
        "3021 = There is no data available",
        "3022 = Duplicate: the number for this record already exists",
        "3024 = Data file or table is missing. Run UPDATE",
        "3043 = Exit Brevant, restart and try again.",
        "3049 = Corrupt database - use the Database Repair Tool",
        "3186-3188 = Another user is using this database. Try again later.",
        "3000 or 8194 = A database is locked by another user. Try again later.",
        "3420 = Close and restart the module to try again.",
        "20500-20900 = Crystal Report errors. Try restarting the computer. ",
        "Other codes - call Quorvane",
    };
    QStringList table;
    for (const char *line : lines)
        table << QString::fromLatin1(line);
    return table.join(QLatin1Char('\n'));
}

void Messages::ShowErrorCodes(const DbError &error) {
    if (error.number == 0)
        return;
    const QString header = QStringLiteral("Code %1 - %2").arg(error.number).arg(error.description);
    m_prompts.message(header + QLatin1String("\n\n") + errorCodeTable(),
                      QStringLiteral("Brevant Codes"), Icon::Information);
    m_channel.MessageText = header;
    WriteAdminLog(header);
}

bool Messages::WriteAdminLog(const QString &text) {
    const QDateTime now = m_clock.now();
    const bool backup = m_session.LocationName == QLatin1String("Backup/Restore");
    SharedLog &log = backup ? m_backupLog : m_adminLog;
    return writeShared(log, {adminLogLine(now, m_session.UserName, m_session.LocationName, text)});
}

QString Messages::adminLogLine(const QDateTime &now, const QString &user, const QString &location,
                               QString text) {
    // One line per entry, whatever the message holds.
    text.replace(QLatin1String("\r\n"), QLatin1String(" "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    return now.toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char('-') +
           now.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char('-') + user + QLatin1Char('-') +
           location + QLatin1Char('-') + text;
}

bool Messages::writeShared(SharedLog &log, const QStringList &lines) {
    if (log.append(lines))
        return true;
    m_prompts.message(QStringLiteral("This line could not be written to %1; it is kept and will "
                                     "be written with the next one:\n\n")
                              .arg(QFileInfo(log.path()).fileName()) +
                          lines.join(QLatin1Char('\n')),
                      QStringLiteral("Uh-oh..."), Icon::Exclamation);
    return false;
}

bool Messages::flushLogs() {
    bool written = true;
    for (SharedLog *log : {&m_adminLog, &m_backupLog, &m_changeLog}) {
        if (log->flush())
            continue;
        written = false;
        m_prompts.message(QStringLiteral("These lines could not be written to %1:\n\n")
                                  .arg(QFileInfo(log->path()).fileName()) +
                              log->kept().join(QLatin1Char('\n')),
                          QStringLiteral("Uh-oh..."), Icon::Exclamation);
    }
    return written;
}

void Messages::ShowMissingDatabase(const QString &fileName) {
    QString name = fileName.trimmed().toUpper();
    if (!name.endsWith(QLatin1String(".MDB")) && !name.endsWith(QLatin1String(".SYS")))
        name += QLatin1String(".MDB");
    m_prompts.message(QStringLiteral("The ") + name + QStringLiteral(" database is missing.\r\n") +
                          QStringLiteral("Contact Quorvane technical support for assistance."),
                      QStringLiteral("Uh-oh..."), Icon::Information);
}

void Messages::reportFailure(const DbError &error, const QString &databaseName) {
    if (error.number == ErrorNumber::FileMissing)
        ShowMissingDatabase(Databases::fileName(Databases::logicalName(databaseName)));
    else
        ShowErrorCodes(error);
}

Status Messages::RetryWhileLocked(const std::function<Status()> &write) {
    for (;;) {
        Status status = write();
        if (status || status.error().number != ErrorNumber::RecordLocked)
            return status;
        const bool again =
            AskYesNo(QStringLiteral("Plase wait... another user is editing a record; Click YES to "
                                    "try again now or \r\n") +
                         QStringLiteral("or click NO to wait a moment or two and try again."),
                     QStringLiteral("Multi-user database lock..."));
        if (!again)
            return status;
    }
}
