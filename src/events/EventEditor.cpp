#include "EventEditor.h"

#include "EventRecord.h"
#include "FieldEntry.h"
#include "billing/BillingAccounts.h"
#include "billing/EventBilling.h"
#include "calendar/Rooms.h"
#include "ports/Clock.h"
#include "ports/Printer.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "values/TextValue.h"

#include <algorithm>

namespace {

const QString EventDatabase = QStringLiteral("evnt");
const QString Oops = QStringLiteral("Oops...");

using Access = OperatorSession::Threshold;
constexpr Access AnyButton = OperatorSession::evaccess0;
constexpr Access Editing = OperatorSession::evaccess1;
constexpr Access Billing = OperatorSession::evaccess2;

// The level each command of the row needs; below it the command does nothing.
constexpr Access commandLevel(EventCommand command) {
    switch (command) {
    case EventCommand::NewEvent:
    case EventCommand::Modify:
    case EventCommand::Save:
    case EventCommand::CancelEvent:
    case EventCommand::ContractBuilder:
        return Editing;
    case EventCommand::BillEvent:
        return Billing;
    default:
        return AnyButton;
    }
}

// The fields a status requires; the deposit only for non-members.
QList<EventField> requiredFields(int status, bool member) {
    using enum EventField;
    switch (status) {
    case 0:
    case 1:
        return {Title, ContactName, ContactPhone1};
    case 2:
        return {Date, Title,       Start,         End,      Guests, Guarantee,
                Room, ContactName, ContactPhone1, BookedBy, Created};
    case 3: {
        QList<EventField> fields{
            Date,          Title,       Start,           End,         Guests,       Room,
            Account,       BillingName, BillingAddress1, BillingCity, BillingState, BillingZip,
            BillingPhone1, ContactName, ContactPhone1,   BookedBy,    Created};
        if (!member)
            fields << Deposit;
        return fields;
    }
    default: {
        QList<EventField> fields{Date,        Title,           Start,       End,
                                 Guests,      Guarantee,       Room,        Account,
                                 BillingName, BillingAddress1, BillingCity, BillingState,
                                 BillingZip,  BillingPhone1,   ContactName, ContactPhone1,
                                 BookedBy,    Created};
        if (!member)
            fields << Deposit;
        return fields;
    }
    }
}

// A field as a message names it: its caption, with the section it belongs to
// where two sections have the same captions, and without the caption's
// decoration ("Set for ???", "Deposit $$").
QString fieldName(const EventWindow &window, EventField field) {
    QString caption = window.fieldLabel[field];
    caption.remove(QStringLiteral(" ???")).remove(QStringLiteral(" $$"));
    if (field > EventField::Account && field < EventField::ContactName)
        return QStringLiteral("Billing ") + caption;
    if (field > EventField::ContactName && field < EventField::Deposit)
        return QStringLiteral("Contact ") + caption;
    return caption;
}

} // namespace

EventEditor::EventEditor(Module &module, EventRecord &events, EventWindow &window,
                         EventBilling &billing, BillingAccounts &accounts, QObject *parent)
    : QObject(parent)
    , m_module(module)
    , m_events(events)
    , m_window(window)
    , m_billing(billing)
    , m_accounts(accounts) {}

bool EventEditor::level(int threshold) const {
    return m_module.session.CheckAccess(threshold);
}

bool EventEditor::readOnly() const {
    return m_module.databases.settings().readOnly;
}

void EventEditor::applyReadOnly() {
    if (!readOnly())
        return;
    for (EventCommand command : AllEventCommands) {
        if (commandLevel(command) != AnyButton)
            m_window.commandEnabled[command] = false;
    }
}

void EventEditor::run(EventCommand command) {
    if (!m_window.commandEnabled[command] || m_module.longOperation.running() ||
        !level(AnyButton) || !level(commandLevel(command)))
        return;
    // A read-only club is looked at, never changed.
    if (readOnly() && commandLevel(command) != AnyButton)
        return;
    // The button stays disabled while its action runs, so a second click
    // cannot start it again.
    m_window.commandEnabled[command] = false;
    beginAction();
    switch (command) {
    case EventCommand::NewEvent:
        newEvent();
        break;
    case EventCommand::EventInfo:
        eventInfo();
        break;
    case EventCommand::Lookup:
        lookup();
        break;
    case EventCommand::Calendar:
        DisableEventEditing();
        emit calendarRequested();
        break;
    case EventCommand::ItemDetail:
        itemDetail();
        break;
    case EventCommand::ClearScreen:
        clearScreen();
        break;
    case EventCommand::Modify:
        modify();
        break;
    case EventCommand::Save:
        saveEvent();
        break;
    case EventCommand::CancelEvent:
        cancelEvent();
        break;
    case EventCommand::BillEvent:
        billEvent();
        break;
    case EventCommand::ContractBuilder:
        contractBuilder();
        break;
    case EventCommand::EventOrder:
        eventOrder();
        break;
    case EventCommand::Payments:
        payments();
        break;
    }
    // Save decides its own button; Modify follows the event number; Bill Event waits
    // for the employee panel when that is open, and is done with a billed
    // event.
    if (command == EventCommand::Modify)
        updateModifyButton();
    else if (command == EventCommand::BillEvent)
        m_window.commandEnabled[command] = !m_awaitingEmployee && billable();
    else if (command != EventCommand::Save)
        m_window.commandEnabled[command] = true;
    emit changed();
}

void EventEditor::beginAction() {
    CurrentEvent &event = m_module.event;
    event.EventNumber = integerValue(event.fields[EventField::Number]);
    event.Status = integerValue(event.fields[EventField::Status]);
    event.MemberFlag = integerValue(event.fields[EventField::Member]);
    m_window.helpwindow.clear();
    if (event.Status == CurrentEvent::CancelledStatus)
        event.fields[EventField::Room].clear();
    cancelEmployeeLink();
}

void EventEditor::cancelEmployeeLink() {
    m_awaitingEmployee = false;
    m_window.employeeVisible = false;
}

void EventEditor::EnableEventEditing() {
    m_window.editControlsEnabled = true;
}

void EventEditor::DisableEventEditing() {
    m_window.editControlsEnabled = false;
    m_window.startListVisible = m_window.endListVisible = m_window.roomListVisible = false;
}

void EventEditor::updateModifyButton() {
    const CurrentEvent &event = m_module.event;
    // A new event is changed by its own save, not reloaded over.
    m_window.commandEnabled[EventCommand::Modify] =
        integerValue(event.fields[EventField::Number]) > 0 && level(Editing) && !readOnly() &&
        event.mode != CurrentEvent::EnteringNew;
}

bool EventEditor::mayDiscardChanges() {
    if (!m_module.event.UnsavedChanges)
        return true;
    return m_module.messages.AskYesNo(QStringLiteral("Cancel changes?"), QStringLiteral("???"));
}

void EventEditor::bringToFront(EventWindow::Panel panel) {
    m_window.front = panel;
    emit changed();
}

void EventEditor::showBillingPanel() {
    bringToFront(EventWindow::Panel::Billing);
}

void EventEditor::showContactPanel() {
    bringToFront(EventWindow::Panel::Contact);
}

void EventEditor::endEditing() {
    CurrentEvent &event = m_module.event;
    cancelEmployeeLink();
    event.mode = CurrentEvent::Viewing;
    event.UnsavedChanges = false;
    m_pendingCancellation.clear();
    m_window.resetColors();
    m_window.EditingEnabled = false;
    DisableEventEditing();
    for (EventCommand command :
         {EventCommand::Save, EventCommand::CancelEvent, EventCommand::BillEvent})
        m_window.commandEnabled[command] = false;
    updateModifyButton();
}

void EventEditor::setStatus(int code) {
    CurrentEvent &event = m_module.event;
    event.fields[EventField::Status] = QString::number(code);
    event.Status = code;
    m_window.statusList.text = m_module.config.statusListText(code);
}

void EventEditor::newEvent() {
    if (!mayDiscardChanges())
        return;
    CurrentEvent &event = m_module.event;
    event.MemberFlag = 0;
    EnableEventEditing();

    const auto refuse = [&](const QString &text) {
        m_module.messages.show(text, Oops, Icon::Information);
        DisableEventEditing();
    };
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt) {
        DisableEventEditing();
        return;
    }
    auto firstDay = evnt->exec(QStringLiteral("select min(resdate) from reserv"));
    if (!firstDay) {
        m_module.messages.ShowErrorCodes(firstDay.error());
        DisableEventEditing();
        return;
    }
    if (!firstDay->next() || firstDay->value(0).isNull())
        return refuse(
            QStringLiteral("The Year must be initialized before events can be scheduled."));
    firstDay->finish();
    const auto rooms = LoadRooms(m_module.access);
    if (!rooms) {
        DisableEventEditing();
        return;
    }
    if (rooms->isEmpty())
        return refuse(QStringLiteral("Rooms must be defined before events can be scheduled."));
    evnt.reset();

    // Rows a crashed save may have left without a number.
    if (Status cleaned = m_module.databases.executeIfPresent(
            EventDatabase, QStringLiteral("delete from eventinfo where eventnum < 1"));
        !cleaned)
        m_module.messages.ShowErrorCodes(cleaned.error());

    m_window.showPanels(false, true, true, false);
    m_window.front = EventWindow::Panel::Contact;
    m_window.focusField = EventField::Date;
    m_window.resetColors();
    m_pendingCancellation.clear();
    m_events.ClearEvent();
    event.mode = CurrentEvent::EnteringNew;
    if (m_events.NextEventNumber() <= 0) {
        // The operator gave up waiting for the counter: no event to enter.
        m_events.ClearEvent();
        DisableEventEditing();
        return;
    }
    setStatus(1);
    if (m_openedDate > 0)
        event.fields[EventField::Date] = QString::number(m_openedDate);
    if (m_openedRoom > 0)
        event.fields[EventField::Room] = QString::number(m_openedRoom);
    event.fields[EventField::BookedBy] = m_module.session.UserName;
    event.fields[EventField::Created] =
        m_module.ports.clock.today().toString(QStringLiteral("yyyyMMdd"));
    event.UnsavedChanges = false;
    m_window.setAccountKind(0);
    m_window.EditingEnabled = true;
    m_window.commandEnabled[EventCommand::Save] = true;
    m_window.commandEnabled[EventCommand::CancelEvent] = false;
    m_window.commandEnabled[EventCommand::BillEvent] = false;
    m_window.packageButtonsVisible = true;
    updateModifyButton();
}

void EventEditor::setOpenedDay(int date, int room) {
    m_openedDate = date;
    m_openedRoom = room;
}

QString EventEditor::whyNoChanges() const {
    if (readOnly())
        return QStringLiteral("This club is open read-only: events cannot be entered or changed.");
    if (!level(AnyButton) || !level(commandLevel(EventCommand::Save)))
        return QStringLiteral("Your access level does not allow events to be entered or changed.");
    return QString();
}

bool EventEditor::startNewEventAt(int date, int room, const QString &start, const QString &end) {
    CurrentEvent &event = m_module.event;
    const QString before = event.fields[EventField::Number];
    const int openedDate = std::exchange(m_openedDate, date);
    const int openedRoom = std::exchange(m_openedRoom, room);
    run(EventCommand::NewEvent);
    m_openedDate = openedDate;
    m_openedRoom = openedRoom;
    // New Event did nothing (the operator kept what he was typing, or a
    // long operation runs): nothing of the board's goes over his boxes.
    if (event.mode != CurrentEvent::EnteringNew || event.fields[EventField::Number] == before)
        return false;
    event.Date = date;
    event.fields[EventField::Start] = start;
    event.fields[EventField::End] = end;
    m_window.focusField = EventField::Title;
    emit changed();
    return true;
}

void EventEditor::eventInfo() {
    m_window.showPanels(false, true, true, false);
    m_window.front = EventWindow::Panel::Billing;
    // Back from the calendar to an event being entered or changed: the
    // operator carries on where he left it.
    if (m_window.EditingEnabled && m_module.event.mode != CurrentEvent::Viewing)
        EnableEventEditing();
}

void EventEditor::lookup() {
    if (!mayDiscardChanges())
        return;
    m_events.ClearEvent();
    endEditing();
    m_window.showPanels(false, false, false, true);
    emit lookupRequested();
}

bool EventEditor::takeSavedEvent(const QString &cloneText) {
    const CurrentEvent &event = m_module.event;
    if (event.CloneSource > 0) {
        m_module.messages.show(cloneText, Oops, Icon::Information);
        return false;
    }
    if (integerValue(event.fields[EventField::Number]) <= 0) {
        m_module.messages.show(QStringLiteral("No event has been selected..."), Oops,
                               Icon::Information);
        return false;
    }
    takeShownEvent();
    return true;
}

void EventEditor::itemDetail() {
    // Its first save copies the source's items; items added before would
    // come twice.
    if (!takeSavedEvent(QStringLiteral("Save the cloned event first: its items are copied from "
                                       "the original when it is saved.")))
        return;
    if (Status cleaned =
            readOnly() ? Status()
                       : m_module.databases.executeIfPresent(
                             EventDatabase, QStringLiteral("delete from items where eventid < 1"));
        !cleaned) {
        m_module.messages.ShowErrorCodes(cleaned.error());
        return;
    }
    emit itemWindowRequested();
}

// The order is read from the stored event: a clone has none until its save.
void EventEditor::eventOrder() {
    if (takeSavedEvent(QStringLiteral("Save the cloned event first: its order can be written "
                                      "once it is saved.")))
        emit eventOrderRequested();
}

// The schedule belongs to the stored event, as its order does.
void EventEditor::payments() {
    if (takeSavedEvent(QStringLiteral("Save the event before recording payments.")))
        emit paymentsRequested();
}

void EventEditor::clearScreen() {
    if (!mayDiscardChanges())
        return;
    m_events.ClearEvent();
    endEditing();
}

void EventEditor::modify() {
    if (!mayDiscardChanges())
        return;
    CurrentEvent &event = m_module.event;
    const int number = integerValue(event.fields[EventField::Number]);
    EnableEventEditing();
    if (!m_events.LoadEvent(number)) {
        DisableEventEditing();
        m_module.messages.show(
            QStringLiteral("Event #%1 could not be found; it may have been deleted.").arg(number),
            Oops, Icon::Information);
        return;
    }
    m_pendingCancellation.clear();
    m_window.resetColors();
    m_window.EditingEnabled = true;
    m_window.commandEnabled[EventCommand::Save] = true;
    m_window.commandEnabled[EventCommand::CancelEvent] = event.Status != CurrentEvent::BilledStatus;
    event.mode = CurrentEvent::Editing;
    event.UnsavedChanges = false;
    m_window.commandEnabled[EventCommand::BillEvent] = billable();
}

void EventEditor::showBilled() {
    // The billing stored status 5 with the charges: the window shows it as
    // stored, and the event cannot be billed or cancelled again.
    CurrentEvent &event = m_module.event;
    setStatus(CurrentEvent::BilledStatus);
    event.loaded[EventField::Status] = event.fields[EventField::Status];
    m_window.commandEnabled[EventCommand::BillEvent] = false;
    m_window.commandEnabled[EventCommand::CancelEvent] = false;
}

bool EventEditor::billable() const {
    // A saved event, stored and shown at status 4: a 4 chosen but not yet
    // saved cannot be billed, nor a stored 4 the operator is changing.
    const CurrentEvent &event = m_module.event;
    return event.mode != CurrentEvent::EnteringNew &&
           integerValue(event.fields[EventField::Number]) > 0 &&
           integerValue(event.loaded[EventField::Status]) == 4 &&
           integerValue(event.fields[EventField::Status]) == 4 && level(Billing);
}

void EventEditor::saveEvent() {
    CurrentEvent &event = m_module.event;
    const bool cancelWasEnabled = m_window.commandEnabled[EventCommand::CancelEvent];
    m_window.commandEnabled[EventCommand::CancelEvent] = false;
    const auto stop = [&] {
        m_window.commandEnabled[EventCommand::Save] = true;
        m_window.commandEnabled[EventCommand::CancelEvent] = cancelWasEnabled;
    };

    if (event.MemberFlag == 0) {
        event.fields[EventField::Member] = QStringLiteral("2");
        event.MemberFlag = 2;
    }
    // Stored trimmed, as the calendar and the packages show it.
    event.fields[EventField::Title] = event.fields[EventField::Title].trimmed();
    // Numbers as they will be stored, so the history names what is saved.
    if (!m_events.takeNumberFields()) {
        m_window.focusField = m_events.refusedField;
        return stop();
    }
    const bool isNew = event.mode == CurrentEvent::EnteringNew;
    event.takeFieldsForSaving(isNew);
    // The history line is put together now and written once the save has
    // committed.
    const QString changeTexts = isNew ? QString() : ChangeLog::changeTexts(event);
    const bool writesLine = !isNew && ChangeLog::recordsChange(event);
    // A changed billing block goes to the account; a new event's account
    // was made before its name and address were typed, so it takes them too.
    const bool accountChanged =
        isNew ? numericValue(event.fields[EventField::Account]) > 0
              : std::ranges::any_of(eventFieldsFrom(EventField::Account, EventField::BillingEmail),
                                    [&](EventField field) { return event.changed[field]; });
    const bool reactivated =
        !isNew && integerValue(event.loaded[EventField::Status]) == CurrentEvent::CancelledStatus &&
        integerValue(event.fields[EventField::Status]) < CurrentEvent::CancelledStatus;
    if (numericValue(event.fields[EventField::Created].trimmed()) == 0)
        event.fields[EventField::Created] =
            m_module.ports.clock.today().toString(QStringLiteral("yyyyMMdd"));

    if (!CheckRequiredFields() || !accountChosen())
        return stop();
    // The record layer decides from the status whether the event holds
    // cells; its transaction checks the slot, frees the old cells and books
    // the new ones together with the row.
    const EventRecord::Saved saved =
        m_events.SaveEvent(isNew ? EventRecord::NewEvent : EventRecord::ChangedEvent);
    if (saved == EventRecord::Saved::Deleted) {
        // Saving it again would only be refused again.
        m_pendingCancellation.clear();
        m_events.ClearEvent();
        endEditing();
        emit calendarRefreshRequested();
        return;
    }
    if (saved != EventRecord::Saved::Done) {
        if (m_events.refusedField)
            m_window.focusField = m_events.refusedField;
        return stop();
    }

    ChangeLog &log = m_events.changeLog;
    if (!m_pendingCancellation.isEmpty()) {
        log.AuditLine = m_pendingCancellation;
        log.WriteAudit();
    }
    if (writesLine) {
        log.AuditLine = changeTexts;
        log.WriteAudit();
    }
    if (reactivated) {
        log.AuditLine = QStringLiteral("Reactivated in calendar");
        log.WriteAudit();
    }
    if (accountChanged && event.MemberFlag == 2)
        m_accounts.UpdateAccount();
    endEditing();
}

void EventEditor::cancelEvent() {
    if (!m_module.messages.AskYesNo(
            QStringLiteral("Click YES to cancel this event; click NO to abort."),
            QStringLiteral("* Event cancellation *")))
        return;
    CurrentEvent &event = m_module.event;
    setStatus(CurrentEvent::CancelledStatus);
    const QDateTime now = m_module.ports.clock.now();
    QString &notes = event.fields[EventField::Notes];
    notes += QLatin1Char('\n') + event.fields[EventField::Room] + QLatin1Char('\n') +
             QStringLiteral("Cancelled ") + now.toString(QStringLiteral("MM/dd/yyyy")) +
             QStringLiteral(" @ ") + now.toString(QStringLiteral("HH:mm")) +
             QStringLiteral(" by ") + m_module.session.UserName;
    event.fields[EventField::Room].clear();
    event.mode = CurrentEvent::OffCalendar;
    event.UnsavedChanges = true;
    m_pendingCancellation = QStringLiteral("Cancelled and removed from calendar");
    m_window.EditingEnabled = false;
    DisableEventEditing();
}

void EventEditor::billEvent() {
    // Only what is stored is billed: the account number must be the
    // event's own.
    if (m_module.event.UnsavedChanges || !CheckRequiredFields()) {
        m_module.messages.show(
            QStringLiteral("Please save the data first, then choose 'Modify' and 'Bill Event'"),
            Oops, Icon::Information);
        return;
    }
    const double account = numericValue(m_module.event.fields[EventField::Account]);
    if (account < 1 || account > 99999.99) {
        m_module.messages.show(QStringLiteral("The billing account number is not valid."), Oops,
                               Icon::Information);
        return;
    }
    // What the employee panel's answer bills: the event and account shown now.
    m_billingEvent = integerValue(m_module.event.fields[EventField::Number]);
    m_billingAccount = m_module.event.fields[EventField::Account];
    m_window.BillingEmployee = 0;
    if (m_module.messages.AskYesNo(
            QStringLiteral("Do you want to link this event to an employee by employee number?"),
            QStringLiteral("Link to employee?"))) {
        m_window.employeeText = QStringLiteral("0");
        m_window.employeeVisible = true;
        m_awaitingEmployee = true;
        return;
    }
    bill();
}

void EventEditor::answerEmployeeLink(bool link) {
    if (!m_awaitingEmployee)
        return;
    if (link) {
        const TypedNumber employee = FieldEntry::readEmployee(m_window.employeeText);
        const bool notANumber =
            !employee.isNumber() && !employee.isEmpty() && !employee.isOutOfRange();
        if (!employee.isNumber() || employee.value() < Decimal::fromInteger(1)) {
            m_module.messages.show(
                notANumber
                    ? employee.message()
                    : QStringLiteral("Must be a valid employee number if a link is desired."),
                Oops, Icon::Information);
            return;
        }
        m_window.BillingEmployee = int(employee.value().toDouble());
    } else {
        m_window.BillingEmployee = 0;
    }
    m_window.employeeVisible = false;
    m_awaitingEmployee = false;
    emit changed();
    bill();
}

void EventEditor::bill() {
    CurrentEvent &event = m_module.event;
    // Typed into while the employee panel waited: the stored event is no
    // longer what the window shows.
    if (event.UnsavedChanges || integerValue(event.fields[EventField::Number]) != m_billingEvent ||
        event.fields[EventField::Account] != m_billingAccount) {
        m_module.messages.show(
            QStringLiteral("Please save the data first, then choose 'Modify' and 'Bill Event'"),
            Oops, Icon::Information);
        m_window.commandEnabled[EventCommand::BillEvent] = billable();
        emit changed();
        return;
    }
    const int number = m_billingEvent;
    const double account = numericValue(m_billingAccount);
    const QString eventText = QStringLiteral("Event #") + QString::number(number);
    QString text, title;
    switch (m_billing.BillEvent(number, account, m_window.BillingEmployee, event.ChangeCount)) {
    case EventBilling::Billed::MarkedBilled:
        text = eventText + QStringLiteral(" billing complete.");
        title = QStringLiteral("FYI...");
        break;
    case EventBilling::Billed::Charged:
        text = eventText + (m_module.config.BillingMode == 1
                                ? QStringLiteral(" has been billed directly to account # ") +
                                      QLatin1Char(' ') + BillingAccounts::numberText(account)
                                : QStringLiteral(" billing has been sent to the A/R workspace."));
        title = QStringLiteral("Billing Complete");
        break;
    case EventBilling::Billed::AlreadyBilled:
        // Billed on another workstation: the window shows it as stored.
        showBilled();
        emit changed();
        return;
    case EventBilling::Billed::Stale:
        // Billed as it is now, or not at all: the operator sees it first.
        if (m_events.askReloadStale(number, m_billing.staleStamp()))
            m_events.LoadEvent(number);
        m_window.commandEnabled[EventCommand::BillEvent] = billable();
        emit changed();
        return;
    case EventBilling::Billed::Deleted:
        // Nothing of it is left to show or save.
        m_events.ClearEvent();
        endEditing();
        emit changed();
        emit calendarRefreshRequested();
        return;
    case EventBilling::Billed::NotBilled:
        m_window.commandEnabled[EventCommand::BillEvent] = billable();
        emit changed();
        return;
    }
    showBilled();
    event.mode = CurrentEvent::Editing;
    m_events.changeLog.AuditLine = text;
    m_events.changeLog.WriteAudit();
    emit changed();
    m_module.messages.show(text, title, Icon::Information);
}

// The event the secondary windows work on: the one the boxes show.
void EventEditor::takeShownEvent() {
    CurrentEvent &event = m_module.event;
    const auto &fields = event.fields;
    event.EventNumber = integerValue(fields[EventField::Number]);
    event.Caption = fields[EventField::Title].trimmed() + QStringLiteral(" - ") +
                    fields[EventField::Date].mid(4, 2) + QLatin1Char('/') +
                    fields[EventField::Date].mid(6, 2) + QLatin1Char('/') +
                    fields[EventField::Date].left(4);
    event.Status = integerValue(fields[EventField::Status]);
}

void EventEditor::contractBuilder() {
    DisableEventEditing();
    takeShownEvent();
    if (Status cleaned = m_module.databases.executeIfPresent(
            EventDatabase, QStringLiteral("delete from cbuilder where contractnum < 1"));
        !cleaned) {
        m_module.messages.ShowErrorCodes(cleaned.error());
        return;
    }
    emit contractBuilderRequested();
}

bool EventEditor::CheckRequiredFields() {
    CurrentEvent &event = m_module.event;
    const auto &fields = event.fields;
    const int status = integerValue(fields[EventField::Status]);
    if (status >= 0 && status <= 5) {
        m_window.fieldRequired.fill(false);
        for (EventField required :
             requiredFields(status, integerValue(fields[EventField::Member]) == 1))
            m_window.fieldRequired[required] = true;
    } else {
        // A cancelled event has given up its room.
        m_window.fieldRequired[EventField::Room] = false;
    }
    event.Date = integerValue(fields[EventField::Date]);
    event.Title = fields[EventField::Title].trimmed();
    event.EventNumber = integerValue(fields[EventField::Number]);
    event.StartTime = fields[EventField::Start];
    event.EndTime = fields[EventField::End];
    event.Room = integerValue(fields[EventField::Room]);

    QStringList missingNames;
    for (EventField field : AllEventFields) {
        const bool missing = m_window.fieldRequired[field] && fields[field].trimmed().isEmpty();
        m_window.fieldColor[field] = missing ? EventWindow::Red : EventWindow::restingColor(field);
        if (missing)
            missingNames << fieldName(m_window, field);
    }
    m_window.MissingFlag = !missingNames.isEmpty();
    if (m_window.MissingFlag)
        m_module.messages.show(QStringLiteral("One or more required fields of data is missing.") +
                                   QStringLiteral("\r\nPlease fill in: ") +
                                   missingNames.join(QStringLiteral(", ")) + QLatin1Char('.'),
                               Oops, Icon::Information);
    emit changed();
    return !m_window.MissingFlag;
}

bool EventEditor::accountChosen() {
    const QString &account = m_module.event.fields[EventField::Account];
    if (account.trimmed().compare(QLatin1String("New"), Qt::CaseInsensitive) != 0 ||
        !m_window.fieldRequired[EventField::Account])
        return true;
    // Saving makes no account: "New" would be stored as no account at all.
    m_window.fieldColor[EventField::Account] = EventWindow::Red;
    m_window.focusField = EventField::Account;
    m_module.messages.show(
        QStringLiteral("The Account # box says \"New\", and saving does not make an account.\r\n"
                       "Click \"%1\" to make the billing account first, or type its number.")
            .arg(m_window.accountButtonCaption),
        Oops, Icon::Information);
    emit changed();
    return false;
}

void EventEditor::ShowAuditHistory() {
    const int number = integerValue(m_module.event.fields[EventField::Number]);
    if (number <= 0)
        return;
    const auto history = m_events.changeLog.history(number);
    if (!history) {
        m_module.messages.ShowErrorCodes(history.error());
        return;
    }
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return;
    // Settings or a count that cannot be read leave the workstation's
    // formats and the lines' own operators.
    const auto club = ClubSettings::read(*evnt);
    const auto lastWrite = EventChanges::read(*evnt, number);
    m_window.auditEntries = AuditHistory::read(*history, club ? *club : ClubSettings(),
                                               lastWrite ? *lastWrite : EventChanges::Stamp());
    m_window.auditVisible = true;
    emit changed();
}

void EventEditor::printAuditHistory() {
    printAudit();
    emit changed();
}

void EventEditor::closeAuditHistory() {
    m_window.auditVisible = false;
    emit changed();
}

void EventEditor::printAudit() {
    m_window.auditPrintEnabled = false;
    emit changed();
    QStringList lines;
    const auto &fields = m_module.event.fields;
    for (EventField field : eventFieldsFrom(EventField::Date, EventField::Room))
        lines << m_window.fieldLabel[field] + QStringLiteral(":   ") + fields[field];
    lines << QString(78, QLatin1Char('-'));
    lines << AuditHistory::printedLines(m_window.auditEntries);
    Printer &printer = m_module.ports.printer;
    if (!printer.printLines(QStringLiteral("Event Audit History"), lines) &&
        !printer.errorText().isEmpty())
        m_module.messages.show(printer.errorText(), Oops, Icon::Information);
    m_window.auditPrintEnabled = true;
}
