#pragma once

#include "AuditHistory.h"
#include "calendar/ListState.h"
#include "session/EventField.h"

#include <QString>
#include <array>
#include <optional>

// The command row cmd(0..12), in its order on the window.
enum class EventCommand {
    NewEvent,
    EventInfo,
    Lookup,
    Calendar,
    ItemDetail,
    ClearScreen,
    Modify,
    Save,
    CancelEvent,
    BillEvent,
    ContractBuilder,
    EventOrder,
    Payments,
};
inline constexpr int EventCommandCount = static_cast<int>(EventCommand::Payments) + 1;
inline constexpr auto AllEventCommands = enumValues<EventCommand, EventCommandCount>();

// One value for each command of the row.
template <typename T> using PerEventCommand = EnumArray<EventCommand, T, EventCommandCount>;

// What the event side of the main window shows: the command row cmd(0..12),
// which panels are up, the boxes' colours and required marks, the lists that
// open beside the boxes, the help line. The button row and the field entry
// change it; the view draws it.
struct EventWindow {
    enum class Panel { Billing, Contact };

    // Background colours as RGB numbers.
    static constexpr int White = 0xFFFFFF;
    static constexpr int Yellow = 0xFFFF00;             // the box with the focus
    static constexpr int Red = 0xFF0000;                // a required box left blank
    static constexpr int InternalNotes = 0xFFC080;      // the internal notes, light orange
    static constexpr int InternalNotesFocus = 0xFFE0C0; // focused, light peach

    static constexpr int restingColor(EventField field) {
        return field == EventField::InternalNotes ? InternalNotes : White;
    }

    // What the status list shows while no status is chosen.
    static inline const QString NoStatusText = QStringLiteral("(Click to set)");

    PerEventCommand<QString> commandCaption;
    PerEventCommand<bool> commandVisible{};
    PerEventCommand<bool> commandEnabled{};

    // frareservations, frabilling, fracontact, fralookup, fraaudit, fraemployee
    bool reservationsVisible = true;
    bool billingVisible = false;
    bool contactVisible = false;
    bool lookupVisible = false;
    bool auditVisible = false;
    bool employeeVisible = false;
    Panel front = Panel::Billing; // of the billing and contact panels

    // Typing goes into the boxes (New Event and Modify until the save).
    bool EditingEnabled = false;
    // The time lists, status list, member options, package and billing
    // buttons (EnableEventEditing and DisableEventEditing).
    bool editControlsEnabled = false;
    bool MissingFlag = false;
    PerEventField<int> fieldColor{};
    PerEventField<bool> fieldRequired{};
    std::optional<EventField> focusField; // the box the window puts the focus into

    bool startListVisible = false;      // cbostart, opened beside the start time
    bool endListVisible = false;        // cboend, beside the end time
    bool roomListVisible = false;       // List1, opened under the room
    bool statusFocused = false;         // cbostatus shows the focus colour
    bool statusMissing = false;         // cbostatus marked yellow: no status chosen yet
    bool packageButtonsVisible = false; // cmdmulti(0..1)

    PerEventField<QString> fieldLabel; // the caption beside each box
    PerEventField<QString> fieldHelp;  // the column's description, for the help line
    ListState statusList;

    QString accountButtonCaption;
    std::array<QString, 2> noteSwitchCaption{QStringLiteral("Regular Notes"),
                                             QStringLiteral("Internal Notes")};
    int notesShown = 0; // 0 the notes, 1 the internal notes

    QString employeeText = QStringLiteral("0");
    int BillingEmployee = 0;
    QList<AuditEntry> auditEntries; // the history panel's table, newest first
    bool auditPrintEnabled = true;

    QString helpwindow;

    // The account's label and the caption of cmdassign for a member (1) or
    // non-member (2) event.
    void setAccountKind(int memberFlag);
    void showPanels(bool reservations, bool billing, bool contact, bool lookup);

    EventWindow();
    // Every box back to its resting colour.
    void resetColors();
    // A fresh start, once the event is gone from the window (Clear Screen,
    // a deleted event, Lookup, New Event): no required marks, no status
    // chosen in the list, nothing left on the help line, every box at its
    // resting colour.
    void clearEventMarks();
};
