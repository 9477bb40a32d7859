#pragma once

#include "calendar/SlotBooking.h"
#include "values/Result.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

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
// clone joined to the original's series and package. The cautions of the
// dates in `cautioned` were shown in the preview and are not asked again;
// any other date's caution is. The number of each copy saved, 0 where the
// save did not take it (the operator was told why).
QList<int> saveCopies(Module &module, EventRecord &record, int original, const QList<QDate> &dates,
                      const QString &rule, const QSet<QDate> &cautioned = {});

// A change "Change the series" makes to the later events of a series: the
// values given, the others kept.
struct SeriesChange {
    std::optional<QString> start, end, title, guests;
    std::optional<int> room;
};
// What became of each later event of the series.
struct SeriesChanged {
    int event = 0;
    QString failure; // empty when changed
};
// Applies the change to every event of `number`'s series dated after it,
// each through the event's own save; billed and cancelled events are left
// as they are and named.
QList<SeriesChanged> changeLater(Module &module, EventRecord &record, int number,
                                 const SeriesChange &change);

} // namespace RepeatPreview
