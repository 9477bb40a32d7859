#include "EventWindow.h"

namespace {

// Each with its own Alt+letter in the main window, where File, Reports,
// Help and E&xit hold F, R, H and X.
const char *const CommandCaptions[EventCommandCount] = {
    "&New Event",        "&Event Info",  "&Lookup",  "&Calendar",     "&Item Detail",
    "Cle&ar Screen",     "&Modify",      "&Save",    "Cancel E&vent", "&Bill Event",
    "C&ontract Builder", "Event Or&der", "&Payments"};

// The captions beside the boxes; the account's follows the member options.
const char *const FieldLabels[EventFieldCount] = {
    "Event date",  "Event Title", "Event #",       "Start time",    "End time",  "Status",
    "Set for ???", "Guarantee",   "Location/room", "Member",        "Account #", "Name",
    "Address 1",   "Address 2",   "City",          "State",         "Zip",       "Phone 1",
    "Phone 2",     "Fax",         "Email",         "Contact Name",  "Address 1", "Address 2",
    "City",        "State",       "Zip",           "Phone 1",       "Phone 2",   "Fax",
    "Email",       "Deposit $$",  "Booked by",     "Creation date", "Notes",     "Internal Notes"};

} // namespace

EventWindow::EventWindow() {
    for (EventCommand command : AllEventCommands) {
        commandCaption[command] = QString::fromLatin1(CommandCaptions[static_cast<int>(command)]);
        commandVisible[command] = true;
        // Modify, Save, Cancel Event and Bill Event wait for an event.
        commandEnabled[command] =
            command != EventCommand::Modify && command != EventCommand::Save &&
            command != EventCommand::CancelEvent && command != EventCommand::BillEvent;
    }
    for (EventField field : AllEventFields)
        fieldLabel[field] = QString::fromLatin1(FieldLabels[columnOf(field)]);
    setAccountKind(2);
    resetColors();
}

void EventWindow::resetColors() {
    for (EventField field : AllEventFields)
        fieldColor[field] = restingColor(field);
    statusMissing = false;
}

void EventWindow::clearEventMarks() {
    resetColors();
    fieldRequired.fill(false);
    MissingFlag = false;
    statusList.text = NoStatusText;
    helpwindow.clear();
}

void EventWindow::setAccountKind(int memberFlag) {
    const bool member = memberFlag == 1;
    fieldLabel[EventField::Account] =
        member ? QStringLiteral("Member #") : QStringLiteral("Account #");
    accountButtonCaption =
        member ? QStringLiteral("Link to Member #") : QStringLiteral("Assign/Link to Account #");
}

void EventWindow::showPanels(bool reservations, bool billing, bool contact, bool lookup) {
    reservationsVisible = reservations;
    billingVisible = billing;
    contactVisible = contact;
    lookupVisible = lookup;
}
