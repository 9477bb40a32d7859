#include "FieldEntry.h"

#include "BookingCheck.h"
#include "EventEditor.h"
#include "EventRecord.h"
#include "calendar/Rooms.h"
#include "ports/Clipboard.h"
#include "ports/Clock.h"
#include "ports/Companions.h"
#include "session/Module.h"
#include "utilities/Keysend.h"
#include "values/TextValue.h"

namespace {

const QString Oops = QStringLiteral("Oops...");
const QString Caution = QStringLiteral("Caution...");

bool isNotes(EventField field) {
    return field == EventField::Notes || field == EventField::InternalNotes;
}

// "HH:MM" with the hour 00 to 23 and the minutes 00 to 59, judged as text.
// Seven or ten characters of a phone number grouped with hyphens.
QString groupedPhone(const QString &text) {
    if (text.size() == 7)
        return text.left(3) + QLatin1Char('-') + text.right(4);
    if (text.size() == 10)
        return text.left(3) + QLatin1Char('-') + text.mid(3, 3) + QLatin1Char('-') + text.right(4);
    return text;
}

} // namespace

FieldEntry::FieldEntry(Module &module, EventRecord &events, EventEditor &editor,
                       EventWindow &window, Companions &companions, QObject *parent)
    : QObject(parent)
    , m_module(module)
    , m_events(events)
    , m_editor(editor)
    , m_window(window)
    , m_companions(companions) {}

bool FieldEntry::level(int threshold) const {
    return m_module.session.CheckAccess(threshold);
}

void FieldEntry::warn(const QString &text, const QString &title) {
    m_module.messages.show(text, title, Icon::Information);
}

QString FieldEntry::takeClipboard() {
    Clipboard &clipboard = m_module.ports.clipboard;
    const QString text = clipboard.text().trimmed();
    clipboard.clear();
    return text;
}

void FieldEntry::enterField(EventField field) {
    m_window.fieldColor[field] =
        field == EventField::InternalNotes ? EventWindow::InternalNotesFocus : EventWindow::Yellow;
    m_window.helpwindow = m_window.fieldHelp[field];
    m_window.startListVisible = field == EventField::Start;
    m_window.endListVisible = field == EventField::End;
    QString &text = m_module.event.fields[field];
    text = text.trimmed();
    if (m_window.focusField == field)
        m_window.focusField.reset();
    emit changed();
}

void FieldEntry::leaveField(EventField field) {
    CurrentEvent &event = m_module.event;
    QString &text = event.fields[field];
    m_window.fieldColor[field] = EventWindow::restingColor(field);
    if (EventRecord::isNumberField(field) && !m_events.takeNumberField(field)) {
        m_window.focusField = field;
        emit changed();
        return;
    }
    switch (field) {
    case EventField::Date:
        leaveDate();
        break;
    case EventField::Start:
    case EventField::End:
        leaveTime(field);
        break;
    case EventField::Guests:
        if (event.mode != CurrentEvent::EnteringNew)
            checkCapacity();
        break;
    case EventField::Room:
        event.Room = integerValue(text);
        m_window.roomListVisible = false;
        break;
    case EventField::BillingState:
    case EventField::ContactState:
        text = text.toUpper();
        break;
    case EventField::BillingPhone1:
    case EventField::BillingPhone2:
    case EventField::BillingFax:
    case EventField::ContactPhone1:
    case EventField::ContactPhone2:
    case EventField::ContactFax:
        text = groupedPhone(text);
        break;
    case EventField::BillingEmail:
    case EventField::ContactEmail: {
        const QString address = text.trimmed();
        if (address.size() >= 3 && !address.contains(QLatin1Char('@')))
            warn(QStringLiteral("Invalid e-mail address!"), Oops);
        break;
    }
    default:
        break;
    }
    emit changed();
}

FieldEntry::TypedDate FieldEntry::checkTypedDate(Module &module, QString &text, bool newEvent,
                                                 int &date) {
    if (text.trimmed().isEmpty())
        return TypedDate::None;
    const QDate today = module.ports.clock.today();
    if (text.size() == 4)
        text.prepend(today.toString(QStringLiteral("yyyy")));
    // Anything typed is judged, "00000000" and "abc" too: left in the box,
    // it would be refused only at the save, as a year the calendar lacks.
    // The date is checked before the back-dating, so what is no date is
    // told as such.
    EntryChecks &checks = module.checks;
    const CheckedDate checked = checks.checkDate(EntryChecks::dateNumber(text));
    if (checked.refused)
        return TypedDate::Refused;
    const int typed = checked.number();
    if (newEvent && !module.session.CheckAccess(OperatorSession::evaccess3) &&
        typed < today.toString(QStringLiteral("yyyyMMdd")).toInt())
        return TypedDate::BackDated;
    date = typed;
    return TypedDate::Accepted;
}

void FieldEntry::leaveDate() {
    CurrentEvent &event = m_module.event;
    QString &text = event.fields[EventField::Date];
    int date = 0;
    switch (checkTypedDate(m_module, text, event.mode == CurrentEvent::EnteringNew, date)) {
    case TypedDate::None:
        return;
    case TypedDate::BackDated:
        warn(BackDatingRefused, Oops);
        text.clear();
        m_window.focusField = EventField::Date;
        return;
    case TypedDate::Refused:
        m_window.focusField = EventField::Date;
        return;
    case TypedDate::Accepted:
        text = QString::number(date);
        event.Date = date;
        return;
    }
}

void FieldEntry::leaveTime(EventField field) {
    CurrentEvent &event = m_module.event;
    QString &text = event.fields[field];
    if (text.isEmpty())
        return;
    const bool isEnd = field == EventField::End;
    const auto check = SlotBooking::checkTime(text, isEnd);
    if (check != SlotBooking::TimeCheck::Valid) {
        // Cells are quarter-hours: a time between them would book a slot
        // the operator did not type.
        warn(check == SlotBooking::TimeCheck::NotATime
                 ? QStringLiteral("Improperly formatted time. Must be in HH:MM format")
                 : BookingCheck::offQuarterHourText(
                       isEnd ? QStringLiteral("End time") : QStringLiteral("Start time"), text),
             Oops);
        text.clear();
        m_window.focusField = field;
        return;
    }
    if (field == EventField::Start)
        event.StartTime = text;
    else
        event.EndTime = text == QLatin1String(SlotBooking::Close) ? QStringLiteral("24:00") : text;
}

std::optional<double> FieldEntry::capacity(int roomnum) {
    const auto rooms = LoadRooms(m_module.access);
    if (!rooms)
        return std::nullopt;
    for (const Room &room : *rooms) {
        if (room.roomnum == roomnum && !room.capacity.isNull())
            return room.capacity.toDouble();
    }
    return std::nullopt;
}

void FieldEntry::checkCapacity() {
    const auto &fields = m_module.event.fields;
    const auto seats = capacity(integerValue(fields[EventField::Room]));
    if (seats && (numericValue(fields[EventField::Guests]) > *seats ||
                  numericValue(fields[EventField::Guarantee]) > *seats))
        warn(QStringLiteral("The chosen room's capacity doesn't seem to be a good match\nfor "
                            "the expected or guaranteed number of guests."),
             Caution);
}

bool FieldEntry::typeKey(EventField field, Key key) {
    if (!m_window.EditingEnabled)
        return false;
    if (key == Key::Enter && !isNotes(field)) {
        m_module.ports.keys.SendKeyText(QStringLiteral("{TAB}"));
        return false;
    }
    // The event number is issued, never typed: a changed number would save
    // this event over another one.
    if (field == EventField::Number)
        return key == Key::Tab;
    // Tab only moves on, and Enter in the notes starts a new line.
    if (key == Key::Other)
        m_module.event.UnsavedChanges = true;
    return true;
}

void FieldEntry::pressKey(EventField field, Key key) {
    if (!m_window.EditingEnabled || key != Key::F5)
        return;
    if (field == EventField::Date || field == EventField::Created) {
        m_companions.LookUp(QStringLiteral("datesift.exe"));
    } else if (field == EventField::Room) {
        m_window.roomListVisible = true;
        emit changed();
    } else if (field == EventField::Account) {
        m_companions.LookUp(QStringLiteral("acctsift.exe"));
    }
}

void FieldEntry::clickField(EventField field) {
    if (field >= EventField::Account && field <= EventField::BillingEmail)
        m_editor.bringToFront(EventWindow::Panel::Billing);
    else if (field >= EventField::ContactName && field <= EventField::ContactEmail)
        m_editor.bringToFront(EventWindow::Panel::Contact);
}

void FieldEntry::doubleClickField(EventField field) {
    switch (field) {
    case EventField::Date:
    case EventField::Account:
    case EventField::Created: {
        // A look-up's choice; one that ended without a choice changes nothing.
        if (!m_window.EditingEnabled)
            return;
        const QString choice = takeClipboard();
        if (choice.isEmpty())
            return;
        m_module.event.fields[field] = choice;
        m_module.event.UnsavedChanges = true;
        break;
    }
    case EventField::Start:
    case EventField::End:
        m_window.startListVisible = field == EventField::Start;
        m_window.endListVisible = field == EventField::End;
        break;
    case EventField::Room:
        m_window.roomListVisible = true;
        break;
    default:
        return;
    }
    followFields();
}

void FieldEntry::editField(EventField field, const QString &typed) {
    CurrentEvent &event = m_module.event;
    // Only the notes take several lines; pasted text keeps its first line.
    const QString text = isNotes(field) ? typed : typed.section(QLatin1Char('\n'), 0, 0);
    if (m_window.EditingEnabled && field != EventField::Number && text != event.fields[field]) {
        event.fields[field] = text;
        event.UnsavedChanges = true;
    }
    // Anything else (typing while editing is off) is drawn back as it was.
    followFields();
}

void FieldEntry::followFields() {
    const auto &fields = m_module.event.fields;
    m_editor.updateModifyButton();
    const int memberFlag = integerValue(fields[EventField::Member]);
    m_module.event.MemberFlag = memberFlag;
    m_window.setAccountKind(memberFlag);
    m_window.noteSwitchCaption[1] = fields[EventField::InternalNotes].size() < 3
                                        ? QStringLiteral("Internal Notes")
                                        : QStringLiteral("Internal Notes Exist");
    emit changed();
}

void FieldEntry::onStatusChosen(int position) {
    if (!m_window.editControlsEnabled || position < 1 || position > 6)
        return;
    CurrentEvent &event = m_module.event;
    const int shown = integerValue(event.fields[EventField::Status]);
    const int chosen = Configuration::statusCode(position);
    const auto showStatus = [&](int code) {
        m_window.statusList.text = m_module.config.statusListText(code);
    };
    if (shown == CurrentEvent::BilledStatus && !level(OperatorSession::evaccess3)) {
        warn(BilledStatusRefused, Oops);
        showStatus(CurrentEvent::BilledStatus);
        emit changed();
        return;
    }
    if (chosen == CurrentEvent::BilledStatus && shown < CurrentEvent::BilledStatus &&
        !level(OperatorSession::evaccess3)) {
        warn(QStringLiteral("Administrator level is required to change to a status 5 event."),
             Oops);
        showStatus(shown);
        emit changed();
        return;
    }
    event.fields[EventField::Status] = QString::number(chosen);
    showStatus(chosen);
    if (chosen != shown)
        event.UnsavedChanges = true;
    m_window.commandEnabled[EventCommand::BillEvent] = m_editor.billable();
    m_module.ports.keys.SendKeyText(QStringLiteral("{TAB}"));
    event.Status = chosen;
    if (chosen == 1)
        m_editor.bringToFront(EventWindow::Panel::Contact);
    else if (chosen >= 2 && event.fields[EventField::Account].trimmed().isEmpty())
        event.fields[EventField::Account] = QStringLiteral("New");
    m_window.focusField = EventField::Title;
    emit changed();
}

void FieldEntry::statusFocusChanged(bool focused) {
    m_window.statusFocused = focused;
    emit changed();
}

void FieldEntry::chooseStartTime(const QString &entry) {
    if (m_window.editControlsEnabled)
        m_events.chooseStartTime(entry);
}

void FieldEntry::chooseEndTime(const QString &entry) {
    if (m_window.editControlsEnabled)
        m_events.chooseEndTime(entry);
}

void FieldEntry::chooseRoom(int roomnum) {
    if (!m_window.EditingEnabled)
        return;
    m_events.chooseRoom(roomnum);
    m_window.roomListVisible = false;
    emit changed();
    const auto seats = capacity(roomnum);
    if (seats && numericValue(m_module.event.fields[EventField::Guests]) > *seats)
        warn(QStringLiteral("The chosen room's capacity doesn't seem to be a \ngood match "
                            "for the expected number of guests."),
             Caution);
}

void FieldEntry::chooseMembership(int index) {
    if (!m_window.editControlsEnabled || index < 0 || index > 1)
        return;
    CurrentEvent &event = m_module.event;
    const QString flag = index == 0 ? QStringLiteral("1") : QStringLiteral("2");
    if (event.fields[EventField::Member] != flag)
        event.UnsavedChanges = true;
    event.fields[EventField::Member] = flag;
    followFields();
}

void FieldEntry::showNotes(int index) {
    m_window.notesShown = index == 1 ? 1 : 0;
    emit changed();
}

void FieldEntry::editEmployee(const QString &text) {
    m_window.employeeText = text;
}

void FieldEntry::pressEmployeeKey(Key key) {
    if (key == Key::F5)
        m_companions.LookUp(QStringLiteral("staffsift.exe"));
}

void FieldEntry::doubleClickEmployee() {
    const QString choice = takeClipboard();
    if (choice.isEmpty())
        return;
    m_window.employeeText = choice;
    emit changed();
}

TypedNumber FieldEntry::readEmployee(const QString &typed) {
    return TypedNumber::read(typed, QStringLiteral("Employee #"),
                             TypedNumber::ofColumn(QStringLiteral("emp"), QStringLiteral("empinfo"),
                                                   QStringLiteral("empid"))
                                 .atLeast(Decimal())
                                 .atMost(Decimal::fromInteger(9999)));
}

void FieldEntry::leaveEmployee() {
    const TypedNumber employee = readEmployee(m_window.employeeText);
    if (!employee.isNumber() && !employee.isEmpty()) {
        warn(employee.isOutOfRange() ? QStringLiteral("Entry out of allowable 0-9999 range. Redo.")
                                     : employee.message(),
             Oops);
        m_window.employeeText = QStringLiteral("0");
        m_window.BillingEmployee = 0;
    }
    emit changed();
}
