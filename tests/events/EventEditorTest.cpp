#include "EditingFixture.h"
#include "session/ClubSettings.h"

namespace {

constexpr int Library = 3;
constexpr int Ballroom = 1;
const QString SaveFirst = u"Please save the data first, then choose 'Modify' and 'Bill Event'"_s;

class EventEditorTest : public EditingFixture {
protected:
    // A confirmed event of account 1001 with one item, saved with every
    // field billing requires and opened with Modify, ready for Bill Event.
    void readyToBill(const QString &date) {
        exec(u"master"_s, u"insert into acctinfo (acctnumber, lname) select 1001, 'Byron' where "
                          "not exists (select 1 from acctinfo where acctnumber = 1001)"_s);
        booked(date, u"Billed"_s, u"10:00"_s, u"11:00"_s, Library, 4);
        exec(u"evnt"_s,
             u"insert into items (eventid, qty, itemdesc, price, servchg, tax, "
             "glnum) values (?, 1, 'Lunch', 10, 1, 1, 4010)"_s,
             {lastNumber});
        EXPECT_TRUE(logic->ShowEvent(lastNumber));
        click(EventCommand::Modify);
        typeBillingBoxes(u"1001"_s);
        saveAndModify();
        EXPECT_TRUE(window().EditingEnabled) << told();
        prompts.clear();
    }
    void typeBillingBoxes(const QString &account) {
        for (EventField required :
             {EventField::Guests, EventField::Guarantee, EventField::Account,
              EventField::BillingName, EventField::BillingAddress1, EventField::BillingCity,
              EventField::BillingState, EventField::BillingZip, EventField::BillingPhone1,
              EventField::ContactName, EventField::ContactPhone1, EventField::Deposit,
              EventField::BookedBy})
            type(required, required == EventField::Account ? account
                           : required == EventField::Guests || required == EventField::Guarantee
                               ? u"40"_s
                               : u"1234567"_s);
    }
    void saveAndModify() {
        click(EventCommand::Save);
        click(EventCommand::Modify);
    }
    // Bill Event, answering the employee question, then "Bill this event now?" with Yes.
    void bill(bool linkEmployee = false) {
        prompts.answerYesNo(linkEmployee);
        if (!linkEmployee)
            prompts.answerYesNo(true);
        click(EventCommand::BillEvent);
    }
    int charges(int event) {
        return scalar(u"daily"_s, u"select count(*) from ardaily where architnum = ?"_s,
                      {u"EV%1"_s.arg(event)})
            .toInt();
    }
};

TEST_F(EventEditorTest, ABookingFromEnquiryToCancellationAndBack) {
    enterBooking(u"20270612"_s, u"Garden Party"_s, Library);
    const int number = box(EventField::Number).toInt();
    EXPECT_EQ(box(EventField::BookedBy), u"DEMO"_s);
    EXPECT_EQ(box(EventField::Created), u"20261206"_s);
    EXPECT_EQ(box(EventField::Account), u"New"_s) << "a booking asks for a billing account";
    EXPECT_TRUE(event().UnsavedChanges);
    EXPECT_FALSE(window().commandEnabled[EventCommand::Modify]) << "a new event is saved first";
    EXPECT_FALSE(window().commandEnabled[EventCommand::CancelEvent]);

    click(EventCommand::Save);
    EXPECT_EQ(cells(Library, 20270612).size(), 16);
    EXPECT_EQ(stored(u"memnonmem"_s, number), u"2"_s)
        << "no member option chosen counts as a non-member";
    EXPECT_EQ(historyFile(), QStringList{u"12062026\\09:30\\E#0\\Event#%1 opened"_s.arg(number)})
        << "a new event's save writes no history line";
    EXPECT_EQ(event().mode, CurrentEvent::Viewing);
    EXPECT_FALSE(window().EditingEnabled);
    EXPECT_FALSE(window().commandEnabled[EventCommand::Save]);

    // Moved to the ballroom a day later: one line names both changes.
    click(EventCommand::Modify);
    EXPECT_EQ(event().mode, CurrentEvent::Editing);
    type(EventField::Date, u"20270613"_s);
    chooseRoom(Ballroom);
    click(EventCommand::Save);
    EXPECT_EQ(cells(Ballroom, 20270613).size(), 16);
    const QString prefix = u"12062026\\09:30\\E#0\\Event#%1 \\"_s.arg(number);
    EXPECT_EQ(historyFile().value(1), prefix + u"Date changed from 20270612 to "
                                               "20270613\\Room changed from 3 to 1\\"_s);

    // Cancelled: the notes keep the room, the save frees the cells.
    click(EventCommand::Modify);
    prompts.answerYesNo(true);
    click(EventCommand::CancelEvent);
    EXPECT_EQ(prompts.questions.last().title, u"* Event cancellation *"_s);
    EXPECT_EQ(box(EventField::Status), u"9"_s);
    EXPECT_EQ(box(EventField::Room), QString());
    EXPECT_EQ(box(EventField::Notes), u"\n1\nCancelled 12/06/2026 @ 09:30 by DEMO"_s);
    EXPECT_EQ(window().statusList.text, module->config.StatusNames[6]);
    EXPECT_EQ(historyFile().size(), 2) << "the cancellation is written once it is saved";
    click(EventCommand::Save);
    EXPECT_TRUE(cells(Ballroom, 20270613).isEmpty());
    EXPECT_EQ(stored(u"status"_s, number), u"9"_s);
    EXPECT_EQ(historyFile().mid(2),
              (QStringList{prefix + u"Cancelled and removed from calendar"_s,
                           prefix + u"Status changed from 2 to 9\\Room changed "
                                    "from 1 to \\"_s}));

    click(EventCommand::Modify);
    chooseStatus(2);
    chooseRoom(Library);
    click(EventCommand::Save);
    EXPECT_EQ(cells(Library, 20270613).size(), 16);
    EXPECT_EQ(historyFile().mid(4),
              (QStringList{prefix + u"Status changed from 9 to 2\\Room changed "
                                    "from 0 to 3\\"_s,
                           prefix + u"Reactivated in calendar"_s}));

    // The history panel lists the event's lines newest first in the club's
    // formats, the operator of the last write on its line, and prints them.
    exec(u"evnt"_s, u"update clubsetting set value = 'en_US' where name = 'locale'"_s);
    logic->editor.ShowAuditHistory();
    EXPECT_TRUE(window().auditVisible);
    const QList<AuditEntry> &history = window().auditEntries;
    ASSERT_EQ(history.size(), historyFile().size());
    EXPECT_EQ(history[0],
              (AuditEntry{u"12/06/2026"_s, u"9:30 AM"_s, u"DEMO"_s, u"Reactivated in calendar"_s}));
    EXPECT_EQ(history[1].changedBy, QString());
    EXPECT_EQ(history[1].text, u"Status changed from 9 to 2; Room changed from 0 to 3"_s);
    QList<bool> printEnabled; // as the window is told of each change
    QObject scope;
    QObject::connect(&logic->editor, &EventEditor::changed, &scope,
                     [&] { printEnabled << window().auditPrintEnabled; });
    logic->editor.printAuditHistory();
    EXPECT_EQ(printEnabled, (QList<bool>{false, true})) << "Print is off while it prints";
    ASSERT_EQ(printer.documents.size(), 1);
    const QStringList printed = printer.documents[0].lines;
    EXPECT_EQ(printed.value(0), u"Event date:   20270613"_s);
    EXPECT_EQ(printed.value(8), u"Location/room:   3"_s);
    EXPECT_EQ(printed.value(9), QString(78, QLatin1Char('-')));
    EXPECT_EQ(printed.value(10), u"12/06/2026  9:30 AM  DEMO  Reactivated in calendar"_s);
    EXPECT_EQ(printed.size(), 10 + history.size());
    logic->editor.closeAuditHistory();
    EXPECT_FALSE(window().auditVisible);
    EXPECT_TRUE(prompts.messages.isEmpty()) << told();
}

TEST_F(EventEditorTest, WhatASaveWritesToTheHistory) {
    // An enquiry (status 1): a changed title gives a line without texts.
    click(EventCommand::NewEvent);
    type(EventField::Date, u"20270701"_s);
    type(EventField::Title, u"Enquiry"_s);
    type(EventField::ContactName, u"Ada"_s);
    type(EventField::ContactPhone1, u"5551234"_s);
    click(EventCommand::Save);
    const QString prefix = u"12062026\\09:30\\E#0\\Event#%1 \\"_s.arg(box(EventField::Number));
    click(EventCommand::Modify);
    type(EventField::Title, u"Enquiry, second call"_s);
    saveAndModify();
    EXPECT_EQ(historyFile().last(), prefix);

    // Notes alone are not history; the billing name is, without text.
    type(EventField::Notes, u"Prefers the terrace"_s);
    saveAndModify();
    EXPECT_EQ(historyFile().size(), 2);
    type(EventField::BillingName, u"Lovelace & Co"_s);
    saveAndModify();
    EXPECT_EQ(historyFile().size(), 3);
    EXPECT_EQ(historyFile().last(), prefix);

    // A booking names every change of the save in one line, in column order.
    chooseStatus(2);
    type(EventField::Start, u"18:00"_s);
    type(EventField::End, u"19:00"_s);
    type(EventField::Guests, u"20"_s);
    type(EventField::Guarantee, u"20"_s);
    chooseRoom(Library);
    type(EventField::Title, u"Dinner"_s);
    saveAndModify();
    EXPECT_EQ(historyFile().last(), prefix +
                                        u"Event name changed from Enquiry, second call to "
                                        "Dinner\\Start time changed from  to 18:00\\End time "
                                        "changed from  to 19:00\\Status changed from 1 to 2\\Set "
                                        "For changed from 0 to 20\\Guarantee changed from 0 to "
                                        "20\\Room changed from 0 to 3\\"_s);

    // Saved from the keyboard while still in a box: the history names the
    // number stored.
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    logic->entry.editField(EventField::Guarantee, u"1,250"_s);
    click(EventCommand::Save);
    EXPECT_EQ(historyFile().last(), prefix + u"Guarantee changed from 20 to 1250\\"_s);

    // A line is found by its number whole: event 12's are not event 123's.
    QFile log(path(u"evntsched.ini"_s));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("12062026\\09:30\\E#0\\Event#12 opened\n"
              "12062026\\09:32\\E#0\\Event#123 \\Date changed from 1 to 2\\\n"
              "12062026\\09:33\\E#0\\Event#12 \\Room changed from 1 to 2\\\n");
    log.close();
    EXPECT_EQ(*logic->events.changeLog.history(12),
              u"12062026\\09:30\\E#0\\Event#12 opened\n"
              "12062026\\09:33\\E#0\\Event#12 \\Room changed from 1 to 2\\\n"_s);
    EXPECT_EQ(*logic->events.changeLog.history(7), QString()) << "no line: an empty box";
}

TEST_F(EventEditorTest, ButtonsFollowTheStatusAndTheLevel) {
    // Every command gated by a level does nothing one below it: no question,
    // no message, no change of the window or the event.
    // evaccess0..3 are 10, 20, 50, 90 in a new club.
    const std::pair<EventCommand, int> gates[] = {{EventCommand::Calendar, 10},
                                                  {EventCommand::ItemDetail, 10},
                                                  {EventCommand::EventOrder, 10},
                                                  {EventCommand::Payments, 10},
                                                  {EventCommand::NewEvent, 20},
                                                  {EventCommand::Modify, 20},
                                                  {EventCommand::Save, 20},
                                                  {EventCommand::CancelEvent, 20},
                                                  {EventCommand::ContractBuilder, 20},
                                                  {EventCommand::BillEvent, 50}};
    booked(u"20270810"_s, u"Gate"_s, u"10:00"_s, u"11:00"_s, Library, 4);
    ASSERT_TRUE(logic->ShowEvent(lastNumber));
    click(EventCommand::Modify);
    int requests = 0;
    for (auto signal : {&EventEditor::itemWindowRequested, &EventEditor::contractBuilderRequested,
                        &EventEditor::eventOrderRequested, &EventEditor::paymentsRequested,
                        &EventEditor::calendarRequested})
        QObject::connect(&logic->editor, signal, [&] { ++requests; });

    for (const auto &[button, threshold] : gates) {
        setLevel(threshold - 1);
        const CurrentEvent before = event();
        click(button);
        EXPECT_EQ(event().fields, before.fields) << threshold;
        EXPECT_EQ(event().mode, before.mode) << threshold;
        EXPECT_TRUE(window().EditingEnabled);
        EXPECT_FALSE(window().reservationsVisible);
        EXPECT_TRUE(window().commandEnabled[button]) << "the button is usable again";
        EXPECT_EQ(requests, 0);
        EXPECT_TRUE(prompts.messages.isEmpty());
        EXPECT_TRUE(prompts.questions.isEmpty());
        setLevel(threshold);
    }
    click(EventCommand::ClearScreen);

    // Billing and cancelling after Modify, by status.
    const std::tuple<int, int, bool, bool> cases[] = {{2, 99, false, true},
                                                      {3, 99, false, true},
                                                      {4, 99, true, true},
                                                      {4, 20, false, true},
                                                      {5, 99, false, false}};
    int day = 1;
    for (const auto &[status, level, bill, cancel] : cases) {
        booked(u"2027080%1"_s.arg(day++), u"Status"_s, u"10:00"_s, u"11:00"_s, Library);
        exec(u"evnt"_s, u"update eventinfo set status = ? where eventnum = ?"_s,
             {status, lastNumber});
        setLevel(level);
        ASSERT_TRUE(logic->ShowEvent(lastNumber));
        click(EventCommand::Modify);
        EXPECT_EQ(window().commandEnabled[EventCommand::BillEvent], bill) << status;
        EXPECT_EQ(window().commandEnabled[EventCommand::CancelEvent], cancel) << status;
        setLevel(99);
        click(EventCommand::ClearScreen);
    }

    // The stored status counts: a 4 chosen but not saved is not billed, for
    // a stored enquiry as for a new event.
    ASSERT_TRUE(logic->ShowEvent(lastNumber - 4)); // stored at 2
    click(EventCommand::Modify);
    chooseStatus(4);
    EXPECT_FALSE(window().commandEnabled[EventCommand::BillEvent]);
    prompts.answerYesNo(true); // give up the change
    enterBooking(u"20270820"_s, u"Wedding"_s, Library);
    chooseStatus(9); // the list's last entry
    EXPECT_EQ(box(EventField::Status), u"9"_s);
    chooseStatus(4);
    EXPECT_FALSE(window().commandEnabled[EventCommand::BillEvent]);

    // "New" in the account box that status 4 requires: the save makes no
    // account, so it is refused by name and stores nothing.
    EXPECT_EQ(box(EventField::Account), u"New"_s);
    typeBillingBoxes(u"New"_s);
    const int before = events();
    prompts.clear();
    click(EventCommand::Save);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"The Account # box says \"New\", and saving does not make "
                          "an account.\r\nClick \"Assign/Link to Account #\" to "
                          "make the billing account first, or type its number."_s});
    EXPECT_EQ(window().fieldColor[EventField::Account], EventWindow::Red);
    EXPECT_EQ(events(), before);
}

TEST_F(EventEditorTest, UnsavedChangesAreGivenUpOnlyWhenTheOperatorAgreesAndCommandsNeedAnEvent) {
    const int other = booked(u"20270801"_s, u"Kept"_s, u"10:00"_s, u"11:00"_s, Library);
    enterBooking(u"20270802"_s, u"Typed"_s, Library);
    const QString number = box(EventField::Number);
    for (EventCommand button :
         {EventCommand::NewEvent, EventCommand::ClearScreen, EventCommand::Lookup}) {
        prompts.answerYesNo(false);
        click(button);
        EXPECT_EQ(prompts.questions.last().text, u"Cancel changes?"_s);
        EXPECT_EQ(box(EventField::Number), number) << static_cast<int>(button);
    }
    prompts.answerYesNo(false);
    EXPECT_FALSE(logic->ShowEvent(other)) << "a calendar double-click asks too";
    prompts.answerYesNo(false);
    EXPECT_FALSE(logic->mayClose());
    EXPECT_EQ(box(EventField::Title), u"Typed"_s);

    prompts.answerYesNo(true);
    click(EventCommand::ClearScreen);
    EXPECT_EQ(box(EventField::Number), QString());
    for (EventCommand button : {EventCommand::Modify, EventCommand::Save, EventCommand::CancelEvent,
                                EventCommand::BillEvent})
        EXPECT_FALSE(window().commandEnabled[button]) << "nothing left to save, change or bill";
    for (EventCommand button :
         {EventCommand::ItemDetail, EventCommand::EventOrder, EventCommand::Payments}) {
        prompts.clear();
        click(button);
        EXPECT_EQ(prompts.messageTexts(), QStringList{u"No event has been selected..."_s});
        EXPECT_EQ(prompts.lastMessage().title, u"Oops..."_s);
    }
    prompts.clear();

    enterBooking(u"20270803"_s, u"Typed again"_s, Library);
    prompts.answerYesNo(true);
    EXPECT_TRUE(logic->ShowEvent(other));
    EXPECT_EQ(box(EventField::Title), u"Kept"_s);
    EXPECT_EQ(event().mode, CurrentEvent::Viewing);
    EXPECT_FALSE(window().EditingEnabled);
    EXPECT_TRUE(logic->mayClose()) << "nothing unsaved: no question";

    // Back from the calendar, the operator carries on typing.
    enterBooking(u"20270802"_s, u"Half typed"_s, Library);
    click(EventCommand::Calendar);
    EXPECT_TRUE(window().reservationsVisible);
    EXPECT_FALSE(window().editControlsEnabled);
    click(EventCommand::EventInfo);
    EXPECT_FALSE(window().reservationsVisible);
    EXPECT_EQ(window().front, EventWindow::Panel::Billing);
    EXPECT_TRUE(window().editControlsEnabled);
    chooseStatus(3);
    EXPECT_EQ(box(EventField::Status), u"3"_s);
    EXPECT_EQ(box(EventField::Title), u"Half typed"_s);

    // Without the year set up, New Event issues no number.
    prompts.answerYesNo(true);
    click(EventCommand::ClearScreen);
    exec(u"evnt"_s, u"delete from reserv"_s);
    click(EventCommand::NewEvent);
    EXPECT_EQ(prompts.lastMessage().text,
              u"The Year must be initialized before events can be scheduled."_s);
    EXPECT_FALSE(window().editControlsEnabled);
    EXPECT_EQ(box(EventField::Number), QString());
}

TEST_F(EventEditorTest, BillEventBillsOnlyWhatIsSavedThenLinksAnEmployee) {
    booked(u"20270801"_s, u"Billed"_s, u"10:00"_s, u"11:00"_s, Library, 4);
    ASSERT_TRUE(logic->ShowEvent(lastNumber));
    click(EventCommand::Modify);
    click(EventCommand::BillEvent);
    EXPECT_EQ(prompts.messageTexts(),
              (QStringList{u"One or more required fields of data is missing.\r\n"
                           "Please fill in: Billing Name, Billing Address 1, "
                           "Billing City, Billing State, Billing Zip, Billing "
                           "Phone 1, Contact Name, Contact Phone 1, Deposit, "
                           "Booked by."_s,
                           SaveFirst}));
    typeBillingBoxes(u"0"_s);
    prompts.clear();
    click(EventCommand::BillEvent);
    EXPECT_EQ(prompts.messageTexts(), QStringList{SaveFirst})
        << "typed but unsaved: the account typed may not be the event's";

    saveAndModify();
    prompts.clear();
    click(EventCommand::BillEvent);
    EXPECT_EQ(prompts.messageTexts(), QStringList{u"The billing account number is not valid."_s});
    EXPECT_TRUE(window().commandEnabled[EventCommand::BillEvent]);

    // The new club has no account 4021: the box and the load say so.
    prompts.expectError(2);
    type(EventField::Account, u"4021"_s);
    saveAndModify();
    bill(true);
    EXPECT_EQ(prompts.questions.last().title, u"Link to employee?"_s);
    EXPECT_TRUE(window().employeeVisible);
    EXPECT_FALSE(window().commandEnabled[EventCommand::BillEvent]) << "until the panel answers";

    FieldEntry &entry = logic->entry;
    entry.pressEmployeeKey(FieldEntry::Key::F5);
    EXPECT_EQ(programs.started.last(), u"staffsift.exe"_s);
    clipboard.content = u"12000"_s;
    entry.doubleClickEmployee();
    EXPECT_TRUE(clipboard.content.isEmpty());
    entry.leaveEmployee();
    EXPECT_EQ(prompts.lastMessage().text, u"Entry out of allowable 0-9999 range. Redo."_s);
    EXPECT_EQ(window().employeeText, u"0"_s);
    logic->editor.answerEmployeeLink(true);
    EXPECT_EQ(prompts.lastMessage().text,
              u"Must be a valid employee number if a link is desired."_s);
    // The number is read whole: no employee 7 for "7.7".
    entry.editEmployee(u"7.7"_s);
    logic->editor.answerEmployeeLink(true);
    EXPECT_EQ(prompts.lastMessage().text, u"Employee #: \"7.7\" is not a whole number."_s);
    EXPECT_TRUE(window().employeeVisible);
    entry.editEmployee(u"77"_s);
    logic->editor.answerEmployeeLink(true);
    EXPECT_FALSE(window().employeeVisible);
    EXPECT_EQ(window().BillingEmployee, 77);
    // Billing finds no account 4021 either: nothing is billed.
    EXPECT_EQ(prompts.lastMessage().text, u"Account # 4021 does not exist."_s);
    EXPECT_EQ(stored(u"status"_s, lastNumber), u"4"_s);
    EXPECT_TRUE(window().commandEnabled[EventCommand::BillEvent]);
}

TEST_F(EventEditorTest, ABilledEventShowsItsOutcomeInTheWindowAndTheHistory) {
    readyToBill(u"20270801"_s);
    bill();
    const QString daily =
        u"Event #%1 billing has been sent to the A/R workspace."_s.arg(lastNumber);
    EXPECT_EQ(prompts.lastMessage().text, daily);
    EXPECT_EQ(prompts.lastMessage().title, u"Billing Complete"_s);
    EXPECT_EQ(box(EventField::Status), u"5"_s);
    EXPECT_EQ(window().statusList.text, module->config.statusListText(5));
    EXPECT_EQ(stored(u"status"_s, lastNumber), u"5"_s);
    EXPECT_TRUE(historyFile().last().endsWith(daily));
    EXPECT_FALSE(window().commandEnabled[EventCommand::BillEvent]) << "billed once";
    EXPECT_FALSE(window().commandEnabled[EventCommand::CancelEvent]);
    const int lines = int(historyFile().size());
    click(EventCommand::Save);
    EXPECT_EQ(historyFile().size(), lines) << "the stored status is no change to log";

    module->config.BillingMode = 1;
    readyToBill(u"20270802"_s);
    bill();
    EXPECT_EQ(prompts.lastMessage().text,
              u"Event #%1 has been billed directly to account #  1001"_s.arg(lastNumber));

    // Billed on another workstation meanwhile: the window shows it billed.
    readyToBill(u"20270804"_s);
    exec(u"evnt"_s, u"update eventinfo set status = 5 where eventnum = ?"_s, {lastNumber});
    bill();
    EXPECT_EQ(prompts.lastMessage().text,
              u"Event #%1 has already been billed. Nothing was charged again."_s.arg(lastNumber));
    EXPECT_EQ(charges(lastNumber), 0);
    EXPECT_EQ(window().statusList.text, module->config.statusListText(5));
    EXPECT_FALSE(window().commandEnabled[EventCommand::BillEvent]);
    click(EventCommand::Save);
    EXPECT_EQ(stored(u"status"_s, lastNumber), u"5"_s);

    // While the employee panel waits, another command gives it up, and an
    // account typed since is not billed.
    readyToBill(u"20270803"_s);
    bill(true);
    ASSERT_TRUE(window().employeeVisible);
    click(EventCommand::EventInfo);
    EXPECT_FALSE(window().employeeVisible);
    readyToBill(u"20270805"_s);
    bill(true);
    ASSERT_TRUE(window().employeeVisible);
    type(EventField::Account, u"1002"_s);
    logic->entry.editEmployee(u"7"_s);
    logic->editor.answerEmployeeLink(true);
    EXPECT_EQ(prompts.lastMessage().text, SaveFirst);
    EXPECT_EQ(charges(lastNumber), 0);
    EXPECT_EQ(stored(u"status"_s, lastNumber), u"4"_s);
}

// Lines of several days, newest first; an operator the line names; a
// doubled backslash inside an entry; a line no date starts, shown whole last.
TEST(AuditHistoryTest, LinesReadIntoColumnsNewestFirst) {
    ClubSettings club({{QString::fromLatin1(ClubSettings::Locale), u"de_DE"_s}});
    const QString log = u"01022027\\18:00\\E#0\\Event#4 opened\n"
                        "damaged\n"
                        "03042027\\07:15\\E#KIM\\Event#4 \\Room changed from 1 to "
                        "3\\Event name changed from A\\\\B to C\\\n"
                        "01022027\\18:00\\E#0\\Event#4 \\Status changed from 1 to 2\\\n"_s;
    const EventChanges::Stamp lastWrite{2, u"DEMO"_s,
                                        QDateTime(QDate(2027, 1, 2), QTime(18, 0, 42))};
    const QList<AuditEntry> expected{
        {u"04.03.2027"_s, u"07:15"_s, u"KIM"_s,
         u"Room changed from 1 to 3; Event name changed from A\\B to C"_s},
        {u"02.01.2027"_s, u"18:00"_s, u"DEMO"_s, u"Status changed from 1 to 2"_s},
        {u"02.01.2027"_s, u"18:00"_s, QString(), u"Event#4 opened"_s},
        {QString(), QString(), QString(), u"damaged"_s},
    };
    EXPECT_EQ(AuditHistory::read(log, club, lastWrite), expected);
}

} // namespace
