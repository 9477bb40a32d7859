#pragma once

#include "storage/SharedLog.h"
#include "values/Result.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QTimeZone>
#include <functional>

class Clock;
class Messages;
class Module;
struct CloneChoices;
struct CurrentEvent;

// The shared change log "evntsched.ini": one line per occasion, appended by
// every workstation. A line is the date (MMDDYYYY), the time (HH:MM), "E#0",
// for an event that is not being entered anew "Event#<number> ", and the
// entry texts collected in AuditLine, all joined by backslashes.
class ChangeLog {
public:
    static constexpr auto FileName = "evntsched.ini";

    // The lines name `event`, stamped by `clock`; a line that cannot be
    // written is reported through `messages`.
    ChangeLog(Messages &messages, Clock &clock, const CurrentEvent &event);

    // Entry texts of the line being built; WriteAudit empties it.
    QString AuditLine;

    // Appends the line for the current event. A line that cannot be written
    // is shown to the operator and kept for the next one; false then.
    bool WriteAudit();
    // The line WriteAudit would append now.
    QString line() const;

    // The entry texts of a save for the columns it changed (Changed), each
    // followed by "\"; none for an event of status 0 or 1.
    static QString changeTexts(const CurrentEvent &event);
    // A value as it may stand inside one field of a line: on one line, and
    // with a backslash doubled, so that it never reads as the end of its
    // field. Lines written before backslashes were doubled read as before.
    static QString field(QString text);
    // True when the save changed a column the history records a line for
    // (the columns up to the billing e-mail), even without entry text.
    static bool recordsChange(const CurrentEvent &event);

    // The entry of a clone's first save: its source, what it left out and
    // the package it joined (0 for none), ended by a backslash: "Cloned
    // from #24 without items and guest counts, linked into package #23".
    static QString cloneEntry(int source, const CloneChoices &copies, int package);

    // The search key of an event's lines: "Event#12 " matches event 12 and
    // its opened line, never event 123.
    static QString historyKey(int eventNumber);
    // Every line of the log with the event's key, each ended by a line break.
    // A log that cannot be read gives its error instead.
    Result<QString> history(int eventNumber) const;
    // When each event the log names was last changed, by the time stamps
    // of its lines: the club's wall-clock times, read in its `zone` (never
    // the workstation's, whose daylight-saving changes may fall elsewhere).
    // An event the log does not name is absent.
    Result<QHash<int, QDateTime>> lastChanges(const QTimeZone &zone) const;

private:
    // Hands every line of the log to `take`; a missing log has none.
    Status forEachLine(const std::function<void(const QString &)> &take) const;

    Messages &m_messages;
    Clock &m_clock;
    const CurrentEvent &m_event;
    SharedLog &m_log;
};

// Appends change-log entries (each ended by a backslash) under the event's
// number, whatever the main window is doing: for the windows beside the
// event (its order, its payments). False when the line could not be
// written (the operator was told).
bool logEventChange(Module &module, int number, const QString &entries);
