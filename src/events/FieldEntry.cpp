#include "FieldEntry.h"

#include "BookingCheck.h"
#include "EventEditor.h"
#include "EventRecord.h"
#include "calendar/Rooms.h"
#include "foundation/Clipboard.h"
#include "foundation/Clock.h"
#include "foundation/Companions.h"
#include "foundation/Module.h"
#include "foundation/TextValue.h"
#include "utilities/Keysend.h"

namespace {

const QString Oops = QStringLiteral("Oops...");
const QString Caution = QStringLiteral("Caution...");

bool isNotesBox(int box) {
    return box == CurrentEvent::NotesBox || box == CurrentEvent::InternalNotesBox;
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

void FieldEntry::text1GotFocus(int box) {
    if (box < 0 || box >= EventWindow::BoxCount)
        return;
    m_window.text1BackColor[box] = box == CurrentEvent::InternalNotesBox
                                       ? EventWindow::InternalNotesFocus
                                       : EventWindow::Yellow;
    m_window.helpwindow = m_window.text1ToolTip[box];
    m_window.startListVisible = box == CurrentEvent::StartBox;
    m_window.endListVisible = box == CurrentEvent::EndBox;
    QString &text = m_module.event.Text1[box];
    text = text.trimmed();
    if (m_window.focusBox == box)
        m_window.focusBox = -1;
    emit changed();
}

void FieldEntry::text1LostFocus(int box) {
    if (box < 0 || box >= EventWindow::BoxCount)
        return;
    CurrentEvent &event = m_module.event;
    QString &text = event.Text1[box];
    m_window.text1BackColor[box] = EventWindow::restingColor(box);
    if (EventRecord::isNumberBox(box) && !m_events.takeNumberBox(box)) {
        m_window.focusBox = box;
        emit changed();
        return;
    }
    switch (box) {
    case CurrentEvent::DateBox:
        leaveDate();
        break;
    case CurrentEvent::StartBox:
    case CurrentEvent::EndBox:
        leaveTime(box);
        break;
    case CurrentEvent::GuestsBox:
        if (event.EditMode != CurrentEvent::EnteringNew)
            checkCapacity();
        break;
    case CurrentEvent::RoomBox:
        event.Room = integerValue(text);
        m_window.roomListVisible = false;
        break;
    case 15:
    case 25:
        text = text.toUpper();
        break;
    case 17:
    case 18:
    case 19:
    case 27:
    case 28:
    case 29:
        text = groupedPhone(text);
        break;
    case 20:
    case 30: {
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
    QString &text = event.Text1[CurrentEvent::DateBox];
    int date = 0;
    switch (checkTypedDate(m_module, text, event.EditMode == CurrentEvent::EnteringNew, date)) {
    case TypedDate::None:
        return;
    case TypedDate::BackDated:
        warn(BackDatingRefused, Oops);
        text.clear();
        m_window.focusBox = CurrentEvent::DateBox;
        return;
    case TypedDate::Refused:
        m_window.focusBox = CurrentEvent::DateBox;
        return;
    case TypedDate::Accepted:
        text = QString::number(date);
        event.Date = date;
        return;
    }
}

void FieldEntry::leaveTime(int box) {
    CurrentEvent &event = m_module.event;
    QString &text = event.Text1[box];
    if (text.isEmpty())
        return;
    const bool isEnd = box == CurrentEvent::EndBox;
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
        m_window.focusBox = box;
        return;
    }
    if (box == CurrentEvent::StartBox)
        event.StartTime = text;
    else
        event.EndTime = text == QLatin1String(SlotBooking::Close) ? QStringLiteral("24:00") : text;
}

std::optional<double> FieldEntry::capacity(int roomnum) {
    const auto rooms = LoadRooms(m_module);
    if (!rooms)
        return std::nullopt;
    for (const Room &room : *rooms) {
        if (room.roomnum == roomnum && !room.capacity.isNull())
            return room.capacity.toDouble();
    }
    return std::nullopt;
}

void FieldEntry::checkCapacity() {
    const auto &box = m_module.event.Text1;
    const auto seats = capacity(integerValue(box[CurrentEvent::RoomBox]));
    if (seats && (numericValue(box[CurrentEvent::GuestsBox]) > *seats ||
                  numericValue(box[CurrentEvent::GuaranteeBox]) > *seats))
        warn(QStringLiteral("The chosen room's capacity doesn't seem to be a good match\nfor "
                            "the expected or guaranteed number of guests."),
             Caution);
}

bool FieldEntry::text1KeyPress(int box, Key key) {
    if (!m_window.EditingEnabled || box < 0 || box >= EventWindow::BoxCount)
        return false;
    if (key == Key::Enter && !isNotesBox(box)) {
        m_module.ports.keys.SendKeyText(QStringLiteral("{TAB}"));
        return false;
    }
    // The event number is issued, never typed: a changed number would save
    // this event over another one.
    if (box == CurrentEvent::NumberBox)
        return key == Key::Tab;
    // Tab only moves on, and Enter in the notes starts a new line.
    if (key == Key::Other)
        m_module.event.UnsavedChanges = true;
    return true;
}

void FieldEntry::text1KeyDown(int box, Key key) {
    if (!m_window.EditingEnabled || key != Key::F5)
        return;
    if (box == CurrentEvent::DateBox || box == CurrentEvent::CreatedBox) {
        m_companions.LookUp(QStringLiteral("datesift.exe"));
    } else if (box == CurrentEvent::RoomBox) {
        m_window.roomListVisible = true;
        emit changed();
    } else if (box == CurrentEvent::AccountBox) {
        m_companions.LookUp(QStringLiteral("acctsift.exe"));
    }
}

void FieldEntry::text1Click(int box) {
    if (box >= 10 && box <= 20)
        m_editor.bringToFront(EventWindow::Panel::Billing);
    else if (box >= 21 && box <= 30)
        m_editor.bringToFront(EventWindow::Panel::Contact);
}

void FieldEntry::text1DblClick(int box) {
    switch (box) {
    case CurrentEvent::DateBox:
    case CurrentEvent::AccountBox:
    case CurrentEvent::CreatedBox: {
        // A look-up's choice; one that ended without a choice changes nothing.
        if (!m_window.EditingEnabled)
            return;
        const QString choice = takeClipboard();
        if (choice.isEmpty())
            return;
        m_module.event.Text1[box] = choice;
        m_module.event.UnsavedChanges = true;
        break;
    }
    case CurrentEvent::StartBox:
    case CurrentEvent::EndBox:
        m_window.startListVisible = box == CurrentEvent::StartBox;
        m_window.endListVisible = box == CurrentEvent::EndBox;
        break;
    case CurrentEvent::RoomBox:
        m_window.roomListVisible = true;
        break;
    default:
        return;
    }
    followBoxes();
}

void FieldEntry::text1Change(int box, const QString &typed) {
    if (box < 0 || box >= EventWindow::BoxCount)
        return;
    CurrentEvent &event = m_module.event;
    // Only the notes take several lines; pasted text keeps its first line.
    const QString text = isNotesBox(box) ? typed : typed.section(QLatin1Char('\n'), 0, 0);
    if (m_window.EditingEnabled && box != CurrentEvent::NumberBox && text != event.Text1[box]) {
        event.Text1[box] = text;
        event.UnsavedChanges = true;
    }
    // Anything else (typing while editing is off) is drawn back as it was.
    followBoxes();
}

void FieldEntry::followBoxes() {
    const auto &box = m_module.event.Text1;
    m_editor.updateModifyButton();
    const int memberFlag = integerValue(box[CurrentEvent::MemberBox]);
    m_module.event.MemberFlag = memberFlag;
    m_window.setAccountKind(memberFlag);
    m_window.Button1Caption[1] = box[CurrentEvent::InternalNotesBox].size() < 3
                                     ? QStringLiteral("Internal Notes")
                                     : QStringLiteral("Internal Notes Exist");
    emit changed();
}

void FieldEntry::cbostatusClick(int position) {
    if (!m_window.editControlsEnabled || position < 1 || position > 6)
        return;
    CurrentEvent &event = m_module.event;
    const int shown = integerValue(event.Text1[CurrentEvent::StatusBox]);
    const int chosen = Configuration::statusCode(position);
    const auto showStatus = [&](int code) {
        m_window.cbostatus.text = m_module.config.statusListText(code);
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
    event.Text1[CurrentEvent::StatusBox] = QString::number(chosen);
    showStatus(chosen);
    if (chosen != shown)
        event.UnsavedChanges = true;
    m_window.cmdEnabled[EventWindow::BillEventButton] = m_editor.billable();
    m_module.ports.keys.SendKeyText(QStringLiteral("{TAB}"));
    event.Status = chosen;
    if (chosen == 1)
        m_editor.bringToFront(EventWindow::Panel::Contact);
    else if (chosen >= 2 && event.Text1[CurrentEvent::AccountBox].trimmed().isEmpty())
        event.Text1[CurrentEvent::AccountBox] = QStringLiteral("New");
    m_window.focusBox = CurrentEvent::TitleBox;
    emit changed();
}

void FieldEntry::cbostatusFocus(bool focused) {
    m_window.statusFocused = focused;
    emit changed();
}

void FieldEntry::cbostartClick(const QString &entry) {
    if (m_window.editControlsEnabled)
        m_events.chooseStartTime(entry);
}

void FieldEntry::cboendClick(const QString &entry) {
    if (m_window.editControlsEnabled)
        m_events.chooseEndTime(entry);
}

void FieldEntry::List1Click(int roomnum) {
    if (!m_window.EditingEnabled)
        return;
    m_events.chooseRoom(roomnum);
    m_window.roomListVisible = false;
    emit changed();
    const auto seats = capacity(roomnum);
    if (seats && numericValue(m_module.event.Text1[CurrentEvent::GuestsBox]) > *seats)
        warn(QStringLiteral("The chosen room's capacity doesn't seem to be a \ngood match "
                            "for the expected number of guests."),
             Caution);
}

void FieldEntry::optmemnonmemClick(int index) {
    if (!m_window.editControlsEnabled || index < 0 || index > 1)
        return;
    CurrentEvent &event = m_module.event;
    const QString flag = index == 0 ? QStringLiteral("1") : QStringLiteral("2");
    if (event.Text1[CurrentEvent::MemberBox] != flag)
        event.UnsavedChanges = true;
    event.Text1[CurrentEvent::MemberBox] = flag;
    followBoxes();
}

void FieldEntry::Button1Click(int index) {
    m_window.notesShown = index == 1 ? 1 : 0;
    emit changed();
}

void FieldEntry::txtemployeeChange(const QString &text) {
    m_window.txtemployee = text;
}

void FieldEntry::txtemployeeKeyDown(Key key) {
    if (key == Key::F5)
        m_companions.LookUp(QStringLiteral("staffsift.exe"));
}

void FieldEntry::txtemployeeDblClick() {
    const QString choice = takeClipboard();
    if (choice.isEmpty())
        return;
    m_window.txtemployee = choice;
    emit changed();
}

TypedNumber FieldEntry::readEmployee(const QString &typed) {
    return TypedNumber::read(typed, QStringLiteral("Employee #"),
                             TypedNumber::ofColumn(QStringLiteral("emp"), QStringLiteral("empinfo"),
                                                   QStringLiteral("empid"))
                                 .atLeast(Decimal())
                                 .atMost(Decimal::fromInteger(9999)));
}

void FieldEntry::txtemployeeLostFocus() {
    const TypedNumber employee = readEmployee(m_window.txtemployee);
    if (!employee.isNumber() && !employee.isEmpty()) {
        warn(employee.isOutOfRange() ? QStringLiteral("Entry out of allowable 0-9999 range. Redo.")
                                     : employee.message(),
             Oops);
        m_window.txtemployee = QStringLiteral("0");
        m_window.BillingEmployee = 0;
    }
    emit changed();
}
