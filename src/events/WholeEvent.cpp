#include "WholeEvent.h"

#include "EventEditor.h"
#include "EventRecord.h"
#include "FieldEntry.h"
#include "calendar/SlotBooking.h"
#include "orders/EventOrder.h"
#include "payments/EventPayments.h"
#include "ports/Clock.h"
#include "ports/Prompts.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "storage/Transaction.h"
#include "values/TextValue.h"

namespace {

const QString EventDatabase = QStringLiteral("evnt");
// A clone of a billed event has not been billed itself.
constexpr int ReservedStatus = 2;
constexpr int DepositStatus = 3;
constexpr int ConfirmedStatus = 4;

// The clone's checklist, in order.
enum CloneOption { ItemsOption, GuestsOption, ContactOption, NotesOption, PackageOption };

} // namespace

WholeEvent::WholeEvent(Module &module, EventRecord &events, EventEditor &editor,
                       EventWindow &window, QObject *parent)
    : QObject(parent)
    , m_module(module)
    , m_events(events)
    , m_editor(editor)
    , m_window(window) {}

bool WholeEvent::level(int threshold) const {
    return m_module.session.CheckAccess(threshold);
}

void WholeEvent::oops(const QString &text, const QString &title) {
    m_module.messages.show(text, title, Icon::Information);
}

int WholeEvent::askCloneDate() {
    QString typed = m_module.ports.prompts
                        .input(QStringLiteral("Enter the new date for the cloned event and click "
                                              "OK.\r\nYou may enter MMDD for the current year or "
                                              "YYYYMMDD"),
                               QStringLiteral("Clone Event - Enter new date"))
                        .trimmed();
    int date = 0;
    switch (FieldEntry::checkTypedDate(m_module, typed, true, date)) {
    case FieldEntry::TypedDate::Accepted:
        break;
    case FieldEntry::TypedDate::BackDated:
        oops(FieldEntry::BackDatingRefused);
        return 0;
    default:
        return 0;
    }
    // Checked before a number is issued, so a refused clone uses none.
    return m_events.calendarHolds(date) ? date : 0;
}

QString WholeEvent::dateText(int date) const {
    const auto club = ClubSettings::load(m_module.databases);
    return (club ? *club : ClubSettings()).dateNumber(date);
}

QList<PromptOption> WholeEvent::cloneOptions(int source) {
    const CloneChoices copies;
    return {
        {QStringLiteral("&Items"), copies.items},
        {QStringLiteral("&Guest counts"), copies.guests},
        {QStringLiteral("Contact and &billing"), copies.contact},
        {QStringLiteral("&Notes"), copies.notes},
        {QStringLiteral("&Link into the package of #%1").arg(source), copies.linkPackage},
    };
}

CloneChoices WholeEvent::chosenCopies(const QList<PromptOption> &options) {
    const auto ticked = [&](CloneOption option) {
        return options.value(option).checked;
    };
    return {ticked(ItemsOption), ticked(GuestsOption), ticked(ContactOption), ticked(NotesOption),
            ticked(PackageOption)};
}

std::optional<CloneChoices> WholeEvent::askCloneChoices(int date) {
    const CurrentEvent &event = m_module.event;
    QList<PromptOption> options = cloneOptions(event.EventNumber);
    if (!m_module.ports.prompts.chooseOptions(
            QStringLiteral("Event #%1 \"%2\" is cloned to %3.\r\nThe clone takes its title, "
                           "times, room and status; tick what else it copies.")
                .arg(event.EventNumber)
                .arg(shortened(event.fields[EventField::Title]), dateText(date)),
            QStringLiteral("Clone Event - What to copy"), options,
            QStringLiteral("frmclonechoices")))
        return std::nullopt;
    return chosenCopies(options);
}

bool WholeEvent::prepareClone(Module &module, EventRecord &events, int date, QString *note,
                              const CloneChoices &copies) {
    CurrentEvent &event = module.event;
    const int source = event.EventNumber;
    if (events.NextEventNumber() == 0)
        return false;
    event.fields[EventField::Date] = QString::number(date);
    event.Date = date;
    // What is not copied starts as on a new event; guest counts as 0, which
    // a booking's save takes.
    if (!copies.guests)
        event.fields[EventField::Guests] = event.fields[EventField::Guarantee] =
            QStringLiteral("0");
    if (!copies.contact) {
        for (EventField field : eventFieldsFrom(EventField::Member, EventField::ContactEmail))
            event.fields[field].clear();
        event.MemberFlag = 0;
        event.Account = 0;
        events.classCodeText.clear();
        events.taxExemptShown = false;
    }
    if (!copies.notes) {
        event.fields[EventField::Notes].clear();
        event.fields[EventField::InternalNotes].clear();
    }
    int status = integerValue(event.fields[EventField::Status]);
    if (status == CurrentEvent::BilledStatus)
        status = ConfirmedStatus;
    // A clone has received nothing: a status that stands on a deposit (with
    // deposit, or past it for a non-member) goes back to reserved.
    event.fields[EventField::Deposit].clear();
    const bool member = integerValue(event.fields[EventField::Member]) == 1;
    if (status == DepositStatus || (status == ConfirmedStatus && !member)) {
        status = ReservedStatus;
        if (note)
            *note = QStringLiteral("The clone has no deposit received, so it starts as "
                                   "Reserved (status 2).");
    }
    event.fields[EventField::Status] = QString::number(status);
    event.Status = status;
    event.CloneSource = source;
    event.CloneCopies = copies;
    event.UnsavedChanges = true;
    return true;
}

void WholeEvent::cloneEvent() {
    if (!level(OperatorSession::evaccess1) || m_module.longOperation.running())
        return;
    CurrentEvent &event = m_module.event;
    if (event.EventNumber < 1 || event.mode == CurrentEvent::EnteringNew) {
        oops(QStringLiteral("Recall the original reservation first, then clone it."),
             QStringLiteral("Oops.."));
        return;
    }
    // The changes would move into the clone and be lost to the source.
    if (event.UnsavedChanges) {
        oops(QStringLiteral("You must first save your changes."));
        return;
    }
    const int date = askCloneDate();
    if (date == 0)
        return;
    // Asked before a number is issued, so a cancelled clone uses none.
    const auto copies = askCloneChoices(date);
    if (!copies)
        return;
    QString note;
    if (!prepareClone(m_module, m_events, date, &note, *copies))
        return;
    // The window as for a new event typed in, so that a stopped save leaves
    // the clone to be changed and saved.
    m_editor.EnableEventEditing();
    m_window.EditingEnabled = true;
    m_window.commandEnabled[EventCommand::Save] = true;
    m_window.commandEnabled[EventCommand::CancelEvent] = false;
    m_window.commandEnabled[EventCommand::BillEvent] = false;
    m_editor.updateModifyButton();
    emit changed();
    // Saved as the operator saves a new event: the conflict check, the
    // row, the cells and the copied items together.
    m_editor.run(EventCommand::Save);
    if (!note.isEmpty() && !event.UnsavedChanges)
        m_module.messages.show(QStringLiteral("Event #%1: ").arg(event.EventNumber) + note,
                               QStringLiteral("FYI..."), Icon::Information);
    emit changed();
    emit calendarChanged();
}

void WholeEvent::deleteContact() {
    CurrentEvent &event = m_module.event;
    const int number = event.EventNumber;
    if (number < 1 || event.mode == CurrentEvent::EnteringNew || m_module.longOperation.running())
        return;
    // Final, and it takes the event's items, tasks and package row along.
    if (!level(OperatorSession::evaccess2))
        return;
    if (integerValue(event.loaded[EventField::Status]) == CurrentEvent::BilledStatus &&
        !level(OperatorSession::evaccess3)) {
        oops(FieldEntry::BilledStatusRefused);
        return;
    }
    // The question names the event, so that the operator knows which one goes.
    if (!m_module.messages.AskYesNo(
            QStringLiteral("Delete this contact now?\r\nEvent #%1 \"%2\" on %3.")
                .arg(number)
                .arg(shortened(event.fields[EventField::Title]), dateText(event.Date)),
            QStringLiteral("** Confirm **")))
        return;

    DatabasePtr db = m_module.access.open(EventDatabase);
    if (!db)
        return;
    Deleted outcome = Deleted::Done;
    EventChanges::Stamp stamp;
    const Status written = m_module.messages.RetryWhileLocked([&] {
        auto result = deleteRows(*db, number, stamp);
        if (!result)
            return Status(result.error());
        outcome = *result;
        return Status();
    });
    db.reset();
    if (!written) {
        if (written.error().number != ErrorNumber::RecordLocked)
            m_module.messages.ShowErrorCodes(written.error());
        return;
    }
    switch (outcome) {
    case Deleted::Billed:
        oops(FieldEntry::BilledStatusRefused);
        return;
    case Deleted::Paid:
        oops(QStringLiteral("Event #%1 is not deleted: payments have been received for it.\n%2\n"
                            "Cancel the event instead, or take the payments back in Payments "
                            "once they are refunded.")
                 .arg(number)
                 .arg(m_received));
        return;
    case Deleted::Stale:
        // What the operator decided to delete is not what is stored now.
        if (m_events.askReloadStale(number, stamp)) {
            m_events.LoadEvent(number);
            m_editor.endEditing();
            emit changed();
        }
        return;
    case Deleted::Missing:
        m_events.tellDeleted(number, stamp);
        break;
    case Deleted::Done: {
        ChangeLog &log = m_events.changeLog;
        log.AuditLine = QStringLiteral("Contact deleted - ") +
                        ChangeLog::field(event.fields[EventField::ContactName]) +
                        QStringLiteral(" - ") +
                        ChangeLog::field(event.fields[EventField::ContactPhone1]);
        log.WriteAudit();
        break;
    }
    }
    // The deleted event must not stay in the window, where a save would
    // write it again.
    m_events.ClearEvent();
    m_editor.endEditing();
    emit changed();
    emit calendarChanged();
    emit deleted(number);
}

Result<WholeEvent::Deleted> WholeEvent::deleteRows(Database &evnt, int number,
                                                   EventChanges::Stamp &stamp) {
    Transaction transaction(evnt);
    if (!transaction.begun())
        return transaction.begun().error();
    // Room, date and status as stored, not as the boxes may show them; the
    // raised count stays behind and tells a workstation still showing the
    // event who deleted it.
    auto claimed = EventChanges::claim(evnt, number, m_module.event.ChangeCount,
                                       m_module.session.UserName, m_module.ports.clock.now());
    if (!claimed)
        return claimed.error();
    stamp = claimed->stamp;
    if (claimed->outcome == EventChanges::Claim::Missing)
        return Deleted::Missing;
    if (claimed->outcome == EventChanges::Claim::Stale)
        return Deleted::Stale;
    const EventChanges::StoredEvent &stored = claimed->stored;
    if (stored.status == CurrentEvent::BilledStatus && !level(OperatorSession::evaccess3))
        return Deleted::Billed;
    // Money received for the event stays on record with it.
    auto schedule = EventPayments::read(evnt, number);
    if (!schedule)
        return schedule.error();
    if (schedule->totalReceived() != Money()) {
        auto club = ClubSettings::read(evnt);
        m_received = EventPayments::receivedText(*schedule, club ? *club : ClubSettings());
        return Deleted::Paid;
    }
    if (Status payments = EventPayments::removeUnreceived(evnt, number); !payments)
        return payments.error();
    if (Status freed = SlotBooking::ClearEventCells(evnt, stored.room, stored.date, number); !freed)
        return freed.error();
    // A heading event takes its whole package, as unlinking it does.
    const QList<std::pair<QString, QVariantList>> deletes = {
        {QStringLiteral("delete from items where eventid = ?"), {number}},
        {QStringLiteral("delete from tasklist where eventnumber = ?"), {number}},
        {QStringLiteral("delete from pkg where eventnum = ? or pkgnum = ?"), {number, number}},
        // The rest of its series stays one, under its original's number.
        {QStringLiteral("delete from eventseries where eventnum = ?"), {number}},
        {QStringLiteral("delete from eventinfo where eventnum = ?"), {number}},
    };
    for (const auto &[sql, values] : deletes)
        if (Status deleted = evnt.execute(sql, values); !deleted)
            return deleted.error();
    if (Status removed = EventOrders::removeOrder(evnt, number); !removed)
        return removed.error();
    if (Status committed = transaction.commit(); !committed)
        return committed.error();
    return Deleted::Done;
}
