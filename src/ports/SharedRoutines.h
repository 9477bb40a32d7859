#pragma once

#include <QString>
#include <QStringList>

class Clipboard;
class Databases;
class Messages;
class Programs;
struct OperatorSession;

// Routines every window calls: the database-update check, running a
// companion program to its end, the club directory and the clipboard wait.
class SharedRoutines {
public:
    SharedRoutines(Databases &databases, Messages &messages, OperatorSession &session,
                   Programs &programs, Clipboard &clipboard);

    // True when "schemafix.dat" asks for the update program to run first:
    // the operator has been told, and the caller then ends the module.
    bool CheckDatabaseUpdate();
    // Runs a program to its end; a non-zero exit code is warned about and
    // logged, unless it is one of `toldByProgram`: the program has then shown
    // the operator its own reason.
    int RunAndWait(const QString &program, const QStringList &arguments = {},
                   const QString &input = {}, const QList<int> &toldByProgram = {});
    bool ChangeToProgramDirectory();
    // Hourglass and arrow pointer around long operations.
    void ShowBusy();
    void ShowIdle();
    void CloseAllDatabases();
    // Clears the clipboard and LookupResult, then waits in the event loop
    // until a look-up leaves text on the clipboard or sets LookupResult.
    // A timeout of -1 waits without limit; false when it timed out.
    bool WaitForClipboardText(int timeoutMs = -1);

private:
    Databases &m_databases;
    Messages &m_messages;
    OperatorSession &m_session;
    Programs &m_programs;
    Clipboard &m_clipboard;
};
