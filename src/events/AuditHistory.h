#pragma once

#include "storage/EventChanges.h"

#include <QList>
#include <QString>
#include <QStringList>

class ClubSettings;

// One line of an event's change history as the history panel shows it.
struct AuditEntry {
    QString date; // in the club's short format
    QString time; // in the club's format
    QString changedBy;
    QString text; // the line's entries, "; " between them

    bool operator==(const AuditEntry &) const = default;
};

// The history panel's table: an event's lines of the change log, read
// into their fields and put newest first.
namespace AuditHistory {

// `lines`: the event's lines as the change log holds them
// ("12072026\09:00\E#0\Event#4 \Room changed from 1 to 3\"). The operator is the line's own
// where its third field names one ("E#DEMO2"); the event's change count
// names whoever made the event's last write, and so the operator of the
// newest line written in that minute.
QList<AuditEntry> read(const QString &lines, const ClubSettings &club,
                       const EventChanges::Stamp &lastWrite);
// The entries as the printed history lists them, one line each.
QStringList printedLines(const QList<AuditEntry> &entries);

} // namespace AuditHistory
