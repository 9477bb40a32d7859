#pragma once

#include "foundation/SharedLog.h"

#include <QString>

class Module;

// The shared change log "evntsched.ini": one line per occasion, appended by
// every workstation. A line is the date (MMDDYYYY), the time (HH:MM), "E#0",
// for an event that is not being entered anew "Event#<number> ", and the
// entry texts collected in AuditLine, all joined by backslashes.
class ChangeLog {
public:
    static constexpr auto FileName = "evntsched.ini";

    explicit ChangeLog(Module &module);

    // Entry texts of the line being built; WriteAudit empties it.
    QString AuditLine;

    // Appends the line for the current event. A line that cannot be written
    // is shown to the operator and kept for the next one; false then.
    bool WriteAudit();
    // The line WriteAudit would append now.
    QString line() const;

private:
    Module &m_module;
    SharedLog m_log;
};
