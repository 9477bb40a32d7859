#pragma once

#include "EventWindow.h"

#include <QObject>
#include <QString>

class BillingAccounts;
class EventBilling;
class EventRecord;
class Module;

// The main window's command row cmd(0..12) and what hangs on it: starting,
// changing, saving, cancelling and billing events, the required-field check,
// the enabling of the editing controls, the billing and contact panels and
// the event's change history.
//
// A save runs the checks in order, then one transaction for the row and its
// calendar cells, and writes the history line only after that committed: a
// save that fails leaves the window in edit mode with everything typed, and
// the history untouched.
class EventEditor : public QObject {
    Q_OBJECT

public:
    EventEditor(Module &module, EventRecord &events, EventWindow &window, EventBilling &billing,
                BillingAccounts &accounts, QObject *parent = nullptr);

    // A command of the row cmd(0..12), as its button runs it.
    void run(EventCommand command);

    // Marks the required boxes for the status and colours every blank one
    // red; MissingFlag and the message when one is blank. True when all
    // are filled.
    bool CheckRequiredFields();
    // "Bill Event" is for a saved event stored and shown at status 4, and an
    // operator at evaccess2.
    bool billable() const;
    void EnableEventEditing();
    void DisableEventEditing();
    // Back to showing the event: editing off, nothing left to save, cancel
    // or bill, no colour or unsaved change left over.
    void endEditing();
    // "&Modify" follows the event number and the operator's level.
    void updateModifyButton();
    // In a read-only club the commands that change events are disabled.
    void applyReadOnly();
    // Before the shown event is dropped (another event, Clear Screen, Lookup,
    // closing): with unsaved changes the operator is asked; true to go on.
    bool mayDiscardChanges();

    // The billing panel's buttons: which of the billing and contact panels
    // is in front.
    void showBillingPanel();
    void showContactPanel();
    void bringToFront(EventWindow::Panel panel);

    // The employee panel fraemployee that "Bill Event" opens: "Link to this
    // employee" (true) or "Cancel Employee Link".
    void answerEmployeeLink(bool link);

    // mnuaudithistory: the history panel with every line of the shown event.
    void ShowAuditHistory();
    // The history panel's buttons "Print Audit" and "Exit".
    void printAuditHistory();
    void closeAuditHistory();

    // The day opened in the calendar and the room of its room filter, which
    // a new event starts with; 0 for none.
    void setOpenedDay(int date, int room);
    // Why this operator may not enter or change events here (his level, or
    // a club opened read-only); empty when he may.
    QString whyNoChanges() const;
    // "New Event" on a date, in a room and at times picked on the rooms
    // board; false when no new event was begun (the operator kept the one
    // he was entering, or was told why not).
    bool startNewEventAt(int date, int room, const QString &start, const QString &end);

signals:
    void changed();
    void calendarRequested();        // cmd(3)
    void calendarRefreshRequested(); // after a save changed what the calendar shows
    // Windows of their own, opened for the event whose number is shown.
    void itemWindowRequested();
    void contractBuilderRequested();
    void eventOrderRequested();
    void paymentsRequested();
    void lookupRequested();

private:
    // False, with the box red and a message, when the account box says
    // "New" and the status needs an account: the save makes none.
    bool accountChosen();
    bool level(int threshold) const;
    bool readOnly() const;
    void beginAction();
    void newEvent();
    void eventInfo();
    void lookup();
    void itemDetail();
    void eventOrder();
    void payments();
    // The shown event for a window of its own: false, with the reason
    // shown, when none is or it is a clone not saved yet (`cloneText`).
    bool takeSavedEvent(const QString &cloneText);
    void takeShownEvent();
    void clearScreen();
    void modify();
    void saveEvent();
    void cancelEvent();
    void billEvent();
    // Bills the event once the employee is known (BillingEmployee, 0 none).
    void bill();
    // Status 5 as the billing stored it.
    void showBilled();
    // The employee panel is given up when another command starts.
    void cancelEmployeeLink();
    void contractBuilder();
    void setStatus(int code);
    void printAudit();

    Module &m_module;
    EventRecord &m_events;
    EventWindow &m_window;
    EventBilling &m_billing;
    BillingAccounts &m_accounts;
    // "Cancelled and removed from calendar", written once the cancellation
    // is saved.
    QString m_pendingCancellation;
    bool m_awaitingEmployee = false;
    int m_openedDate = 0;
    int m_openedRoom = 0;
    // The event and account text "Bill Event" was pressed for.
    int m_billingEvent = 0;
    QString m_billingAccount;
};
