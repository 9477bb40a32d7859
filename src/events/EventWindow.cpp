#include "EventWindow.h"

namespace {

// Each with its own Alt+letter in the main window, where File, Reports,
// Help and E&xit hold F, R, H and X.
const char *const ButtonCaptions[EventWindow::ButtonCount] = {
    "&New Event",    "&Event Info",   "&Lookup",          "&Calendar",
    "&Item Detail",  "Cle&ar Screen", "&Modify",          "&Save",
    "Cancel E&vent", "&Bill Event",   "C&ontract Builder"};

// The captions beside the boxes; 10 follows the member options.
const char *const BoxLabels[EventWindow::BoxCount] = {
    "Event date",  "Event Title", "Event #",       "Start time",    "End time",  "Status",
    "Set for ???", "Guarantee",   "Location/room", "Member",        "Account #", "Name",
    "Address 1",   "Address 2",   "City",          "State",         "Zip",       "Phone 1",
    "Phone 2",     "Fax",         "Email",         "Contact Name",  "Address 1", "Address 2",
    "City",        "State",       "Zip",           "Phone 1",       "Phone 2",   "Fax",
    "Email",       "Deposit $$",  "Booked by",     "Creation date", "Notes",     "Internal Notes"};

} // namespace

EventWindow::EventWindow() {
    for (int i = 0; i < ButtonCount; ++i) {
        cmdCaption[i] = QString::fromLatin1(ButtonCaptions[i]);
        cmdVisible[i] = true;
        // Modify, Save, Cancel Event and Bill Event wait for an event.
        cmdEnabled[i] =
            i != ModifyButton && i != SaveButton && i != CancelEventButton && i != BillEventButton;
    }
    for (int i = 0; i < BoxCount; ++i)
        text1Label[i] = QString::fromLatin1(BoxLabels[i]);
    setAccountKind(2);
    resetColors();
}

void EventWindow::resetColors() {
    for (int i = 0; i < BoxCount; ++i)
        text1BackColor[i] = restingColor(i);
    statusMissing = false;
}

void EventWindow::clearEventMarks() {
    resetColors();
    text1Required.fill(false);
    MissingFlag = false;
    cbostatus.text = NoStatusText;
    helpwindow.clear();
}

void EventWindow::setAccountKind(int memberFlag) {
    const bool member = memberFlag == 1;
    text1Label[10] = member ? QStringLiteral("Member #") : QStringLiteral("Account #");
    cmdassignCaption =
        member ? QStringLiteral("Link to Member #") : QStringLiteral("Assign/Link to Account #");
}

void EventWindow::showPanels(bool reservations, bool billing, bool contact, bool lookup) {
    reservationsVisible = reservations;
    billingVisible = billing;
    contactVisible = contact;
    lookupVisible = lookup;
}
