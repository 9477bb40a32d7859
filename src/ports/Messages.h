#pragma once

#include "MessageChannel.h"
#include "Prompts.h"
#include "storage/SharedLog.h"
#include "values/Result.h"

#include <QDateTime>
#include <functional>

class Clock;
struct OperatorSession;

// The shared Yes/No question, the error-code report and the admin log.
class Messages {
public:
    Messages(MessageChannel &channel, Prompts &prompts, Clock &clock,
             const OperatorSession &session, QString clubDirectory);

    // Asks MessageText under MessageTitle (No is the default); stores the
    // answer in YesNoAnswer and returns true for Yes.
    bool AskYesNo();
    bool AskYesNo(const QString &text, const QString &title);

    void show(const QString &text, const QString &title, Icon icon);
    // Error report: the error's own line, the table of common codes, then an
    // admin-log line with the first line. Error number 0 shows nothing.
    void ShowErrorCodes(const DbError &error);
    // One line with `text` to "admlog.ini" (or "lastbkup.dat" during
    // backup/restore). A line that cannot be written is shown to the operator
    // and kept for the next write.
    bool WriteAdminLog(const QString &text);
    // The admin log's name and one of its lines, for the tools that log
    // there without a window: date-time-user-location-text, on one line.
    static constexpr auto AdminLogName = "admlog.ini";
    static QString adminLogLine(const QDateTime &now, const QString &user, const QString &location,
                                QString text);
    // Appends lines to a shared log; a failure is shown and the lines kept.
    bool writeShared(SharedLog &log, const QStringList &lines);
    // Writes the lines kept from earlier failures; those that still cannot
    // be written are shown, so the operator can note them. At closing.
    bool flushLogs();
    void ShowMissingDatabase(const QString &fileName);
    // Shows the error as its kind demands: the missing-database message for
    // a missing file, the error report otherwise.
    void reportFailure(const DbError &error, const QString &databaseName);

    // Runs write until it succeeds; on a locked record asks whether to try
    // again at once. Returns the last outcome (the lock error after No).
    Status RetryWhileLocked(const std::function<Status()> &write);

    static QString errorCodeTable();

    MessageChannel &channel() { return m_channel; }
    // The event change log "evntsched.ini": one per workstation, so that
    // lines kept by any window are written first next time, or shown at
    // closing.
    SharedLog &changeLog() { return m_changeLog; }
    Prompts &prompts() { return m_prompts; }

private:
    MessageChannel &m_channel;
    Prompts &m_prompts;
    Clock &m_clock;
    const OperatorSession &m_session;
    SharedLog m_adminLog;
    SharedLog m_backupLog;
    SharedLog m_changeLog;
};
