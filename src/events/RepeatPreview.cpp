#include "RepeatPreview.h"

#include "BookingCheck.h"
#include "EventRecord.h"
#include "WholeEvent.h"
#include "calendar/RoomBuffers.h"
#include "session/Module.h"
#include "storage/Databases.h"

namespace {

int numberOf(const QDate &date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}

QDateTime at(const QDate &day, const QString &time) {
    if (time.trimmed().compare(QLatin1String(SlotBooking::Close), Qt::CaseInsensitive) == 0)
        return QDateTime(day.addDays(1), QTime(0, 0));
    return QDateTime(day, QTime::fromString(time.trimmed(), QStringLiteral("HH:mm")));
}

} // namespace

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
        const int day = numberOf(date);
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
        } else {
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
                auto turnovers = RoomBuffers::around(evnt, booking.room, day, buffer);
                if (!turnovers)
                    return turnovers.error();
                const QString caution = RoomBuffers::caution(
                    *turnovers, roomName, at(date, booking.start), at(date, booking.end));
                if (!caution.isEmpty()) {
                    outcome.kind = RepeatOutcome::Kind::TurnoverCaution;
                    outcome.text = caution;
                }
            }
        }
        found << outcome;
    }
    return found;
}

QList<int> saveCopies(Module &module, EventRecord &record, int original, const QList<QDate> &dates,
                      const QString &rule) {
    QList<int> saved;
    for (const QDate &date : dates) {
        int number = 0;
        if (record.LoadEvent(original) &&
            WholeEvent::prepareClone(module, record, numberOf(date))) {
            module.event.SeriesOf = original;
            module.event.SeriesRule = rule;
            if (record.SaveEvent(EventRecord::NewEvent) == EventRecord::Saved::Done)
                number = module.event.EventNumber;
        }
        saved << number;
    }
    record.LoadEvent(original);
    return saved;
}

} // namespace RepeatPreview
