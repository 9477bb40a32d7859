#include "RepeatPreview.h"

#include "BookingCheck.h"
#include "EventRecord.h"
#include "EventSeries.h"
#include "WholeEvent.h"
#include "calendar/RoomBuffers.h"
#include "session/Module.h"
#include "storage/Databases.h"
#include "values/DateNumber.h"
#include "values/TextValue.h"

namespace RepeatPreview {

Result<QList<RepeatOutcome>> outcomes(Database &evnt, const SlotBooking::SlotRequest &booking,
                                      const QString &roomName, const QList<QDate> &dates,
                                      const QDate &today) {
    auto buffers = RoomBuffers::read(evnt);
    if (!buffers)
        return buffers.error();
    const RoomBuffer buffer = buffers->value(booking.room);
    QList<RepeatOutcome> found;
    for (const QDate &date : dates) {
        RepeatOutcome outcome;
        outcome.date = date;
        const int day = dateNumber(date);
        auto held =
            evnt.exec(QStringLiteral("select count(*) from reserv where resdate = ?"), {day});
        if (!held)
            return held.error();
        const bool setUp = held->next() && held->value(0).toInt() > 0;
        held->finish();
        if (date < today) {
            outcome.kind = RepeatOutcome::Kind::InPast;
            outcome.text = QStringLiteral("The date has passed.");
        } else if (!setUp) {
            outcome.kind = RepeatOutcome::Kind::YearNotSetUp;
            outcome.text = QStringLiteral("The calendar year %1 is not set up.").arg(date.year());
        } else if (booking.status >= 2 && booking.status <= 8) {
            // An enquiry's or a cancelled event's copies hold no room, so
            // nothing can stand in their way.
            SlotBooking::SlotRequest copy = booking;
            copy.date = day;
            copy.eventNumber = 0;
            auto conflicts = SlotBooking::SlotConflictCheck(evnt, copy);
            if (!conflicts)
                return conflicts.error();
            if (conflicts->room) {
                outcome.kind = RepeatOutcome::Kind::Conflict;
                outcome.text = QStringLiteral("The room is booked: %1.")
                                   .arg(BookingCheck::describeEvent(evnt, conflicts->room));
            } else if (conflicts->linked) {
                outcome.kind = RepeatOutcome::Kind::LinkedCaution;
                outcome.text = QStringLiteral("Room #%1, linked to this one, is booked: %2.")
                                   .arg(booking.linkedRoom)
                                   .arg(BookingCheck::describeEvent(evnt, conflicts->linked));
            } else {
                auto caution = RoomBuffers::cautionFor(evnt, buffer, booking.room, roomName, day,
                                                       booking.start, booking.end);
                if (!caution)
                    return caution.error();
                if (!caution->isEmpty()) {
                    outcome.kind = RepeatOutcome::Kind::TurnoverCaution;
                    outcome.text = *caution;
                }
            }
        }
        found << outcome;
    }
    return found;
}

QList<int> saveCopies(Module &module, EventRecord &record, int original, const QList<QDate> &dates,
                      const QString &rule, const QSet<QDate> &cautioned) {
    QList<int> saved;
    for (const QDate &date : dates) {
        // The preview showed this date's caution before the operator saved.
        record.cautionsAccepted = cautioned.contains(date);
        int number = 0;
        if (record.LoadEvent(original) &&
            WholeEvent::prepareClone(module, record, dateNumber(date))) {
            module.event.SeriesOf = original;
            module.event.SeriesRule = rule;
            if (record.SaveEvent(EventRecord::NewEvent) == EventRecord::Saved::Done)
                number = module.event.EventNumber;
        }
        saved << number;
    }
    record.cautionsAccepted = false;
    record.LoadEvent(original);
    return saved;
}

QList<SeriesChanged> changeLater(Module &module, EventRecord &record, int number,
                                 const SeriesChange &change) {
    QList<SeriesChanged> outcomes;
    auto evnt = module.databases.open(QStringLiteral("evnt"));
    if (!evnt)
        return outcomes;
    auto members = EventSeries::members(**evnt, number);
    auto from = (*evnt)->exec(QStringLiteral("select eventdate from eventinfo where eventnum = ?"),
                              {number});
    if (!members || !from || !from->next())
        return outcomes;
    const int after = from->value(0).toInt();
    from->finish();
    for (int member : *members) {
        if (member == number || !record.LoadEvent(member))
            continue;
        CurrentEvent &event = module.event;
        if (integerValue(event.fields[EventField::Date]) <= after)
            continue;
        SeriesChanged outcome{member, {}};
        const int status = integerValue(event.fields[EventField::Status]);
        if (status == CurrentEvent::BilledStatus || status == CurrentEvent::CancelledStatus) {
            outcome.failure = status == CurrentEvent::BilledStatus ? QStringLiteral("billed")
                                                                   : QStringLiteral("cancelled");
            outcomes << outcome;
            continue;
        }
        if (change.start)
            event.fields[EventField::Start] = *change.start;
        if (change.end)
            event.fields[EventField::End] = *change.end;
        if (change.title)
            event.fields[EventField::Title] = *change.title;
        if (change.guests)
            event.fields[EventField::Guests] = *change.guests;
        if (change.room)
            record.chooseRoom(*change.room);
        event.UnsavedChanges = true;
        if (record.SaveEvent(EventRecord::ChangedEvent) != EventRecord::Saved::Done)
            outcome.failure = QStringLiteral("not saved");
        outcomes << outcome;
    }
    record.LoadEvent(number);
    return outcomes;
}

} // namespace RepeatPreview
