#pragma once

#include "values/Result.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <optional>

class Database;
struct CurrentEvent;

// Every write that concerns an event raises the event's change count (table
// eventchange), inside the write's own transaction. A window remembers the
// count it loaded; a write that must not overwrite what it has not seen (a
// save, a delete, a billing) names that count and changes nothing when the
// stored one has moved on. The row of a deleted event stays, raised, so the
// next workstation can be told who deleted it and when.
namespace EventChanges {

struct Stamp {
    int count = 0; // 0: never changed through a count (an event from before counts existed)
    QString changedBy;
    QDateTime changedAt;
};

// The event row as stored, read under the write lock.
struct StoredEvent {
    int date = 0;
    int room = 0;
    int status = 0;
    QString title;
};

struct Claim {
    enum Outcome { Raised, Stale, Missing } outcome = Raised;
    // Raised: the count before and after the raise. Stale and Missing: the
    // stored stamp, which says who changed the event last.
    int before = 0;
    Stamp stamp;
    StoredEvent stored;
};

// The stored stamp; count 0 when the event has none yet.
Result<Stamp> read(Database &evnt, int number);

// Inside the caller's write transaction: locks the event's row against every
// other writer without raising its count; nothing when the event is gone.
Result<std::optional<StoredEvent>> hold(Database &evnt, int number);

// Inside the caller's write transaction: locks the event's row against every
// other writer, and raises its count when the event still exists and, given
// `expected`, its count is still that one.
Result<Claim> claim(Database &evnt, int number, std::optional<int> expected,
                    const QString &changedBy, const QDateTime &changedAt);

// A new event's first count, written with its row.
Status start(Database &evnt, int number, const QString &changedBy, const QDateTime &changedAt);

// A count raised by this workstation's own write (the item window, a
// package, the billing) is taken over by the shown event when it had the
// count that write started from, so that its own save is not refused; a
// change from elsewhere in between is not hidden that way.
void adopt(CurrentEvent &event, int number, const Claim &claimed);

// A stored change time ("2026-12-07 14:32:10") as that wall-clock time in
// the club's `zone`; invalid for none.
QDateTime changedAt(const QString &stored, const QTimeZone &zone);

// "DEMO2, 14:32": who changed it and when, the date too when not `today`.
QString who(const Stamp &stamp, const QDate &today);
// "Event #23 was changed at another workstation (DEMO2, 14:32) since you opened it."
QString staleText(int number, const Stamp &stamp, const QDate &today);
// "Event #23 was deleted at another workstation (DEMO2, 14:32)."
QString deletedText(int number, const Stamp &stamp, const QDate &today);

} // namespace EventChanges
