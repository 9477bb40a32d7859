#pragma once

#include "calendar/SlotBooking.h"
#include "values/Result.h"

#include <QDate>
#include <QList>
#include <QString>

class Database;
class EventRecord;
class Module;

// What saving a copy of an event on each date of a repeat would meet,
// worked out before anything is saved: the date is free, or the room is
// held (by the event named), or a linked room is (a caution), or the room
// is being set or cleared then (a caution), or the calendar does not hold
// the year, or the date has passed.
struct RepeatOutcome {
    enum class Kind { Free, Conflict, LinkedCaution, TurnoverCaution, YearNotSetUp, InPast };
    QDate date;
    Kind kind = Kind::Free;
    QString text; // for the operator; empty when free

    // Free and the cautions may be saved; the others never are.
    bool saveable() const {
        return kind == Kind::Free || kind == Kind::LinkedCaution || kind == Kind::TurnoverCaution;
    }
};

namespace RepeatPreview {

// The outcome on each date of copies of the booking `booking` (its date
// and number are the original's; each copy keeps its times and room).
Result<QList<RepeatOutcome>> outcomes(Database &evnt, const SlotBooking::SlotRequest &booking,
                                      const QString &roomName, const QList<QDate> &dates,
                                      const QDate &today);

// Saves a copy of `original` on each date, each through the event's own
// save (its conflict check, row, cells and items in one transaction) as a
// clone joined to the original's series and package. The number of each
// copy saved, 0 where the save did not take it (the operator was told why).
QList<int> saveCopies(Module &module, EventRecord &record, int original, const QList<QDate> &dates,
                      const QString &rule);

} // namespace RepeatPreview
