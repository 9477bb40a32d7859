#pragma once

#include <QString>

class Clipboard;
class OperatorSession;
class Programs;
class SharedRoutines;

// Starting the suite's companion programs the way the windows do: help,
// the info box, printer set-up and the look-ups.
class Companions {
public:
    static constexpr auto Version = "21.12.28a";

    Companions(Programs &programs, Clipboard &clipboard, SharedRoutines &routines,
               const OperatorSession &session);

    // Help for window 1 (main), 2 (items) or 3 (contract): the manual when
    // it can be shown, else the window's help text.
    void Help(int window);
    // The info box with the operator, the program and its version.
    void Info();
    // acctsift, staffsift or datesift; the choice comes back on the clipboard.
    bool LookUp(const QString &program);

    QString infoLine() const;

private:
    Programs &m_programs;
    Clipboard &m_clipboard;
    SharedRoutines &m_routines;
    const OperatorSession &m_session;
};
