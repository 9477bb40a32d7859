#include "EditingFixture.h"
#include "session/ClubSettings.h"

// A history entry in a failure message, as its four columns.
void PrintTo(const AuditEntry &entry, std::ostream *out) {
    *out << QStringList{entry.date, entry.time, entry.changedBy, entry.text}
                .join(QStringLiteral(" | "))
                .toStdString();
}

namespace {

constexpr int Library = 3;
constexpr int Ballroom = 1;

class EventEditorTest : public EditingFixture {
protected:
    // A confirmed event of account 1001 with one item, saved with every
    // field billing requires and opened with Modify, ready for Bill Event.
    void readyToBill(const QString &date) {
        exec(QStringLiteral("master"),
             QStringLiteral("insert into acctinfo (acctnumber, lname) select 1001, 'Byron' where "
                            "not exists (select 1 from acctinfo where acctnumber = 1001)"));
        EXPECT_EQ(book(date, QStringLiteral("Billed"), QStringLiteral("10:00"),
                       QStringLiteral("11:00"), Library, 4),
                  EventRecord::Saved::Done);
        exec(QStringLiteral("evnt"),
             QStringLiteral("insert into items (eventid, qty, itemdesc, price, servchg, tax, "
                            "glnum) values (?, 1, 'Lunch', 10, 1, 1, 4010)"),
             {lastNumber});
        EXPECT_TRUE(logic->ShowEvent(lastNumber));
        click(EventCommand::Modify);
        for (EventField required :
             {EventField::Guests, EventField::Guarantee, EventField::Account,
              EventField::BillingName, EventField::BillingAddress1, EventField::BillingCity,
              EventField::BillingState, EventField::BillingZip, EventField::BillingPhone1,
              EventField::ContactName, EventField::ContactPhone1, EventField::Deposit,
              EventField::BookedBy})
            type(required, required == EventField::Account ? QStringLiteral("1001")
                           : required == EventField::Guests || required == EventField::Guarantee
                               ? QStringLiteral("40")
                               : QStringLiteral("1234567"));
        click(EventCommand::Save);
        click(EventCommand::Modify);
        EXPECT_TRUE(window().EditingEnabled) << prompts.messageTexts().join('|').toStdString();
        prompts.clear();
    }
    int charges(int event) {
        return scalar(QStringLiteral("daily"),
                      QStringLiteral("select count(*) from ardaily where architnum = ?"),
                      {QStringLiteral("EV%1").arg(event)})
            .toInt();
    }
};

TEST_F(EventEditorTest, ABookingFromEnquiryToCancellationAndBack) {
    enterBooking(QStringLiteral("20270612"), QStringLiteral("Garden Party"), Library);
    const int number = box(EventField::Number).toInt();
    EXPECT_GT(number, 0);
    EXPECT_EQ(box(EventField::BookedBy), QStringLiteral("DEMO"));
    EXPECT_EQ(box(EventField::Created), QStringLiteral("20261206"));
    EXPECT_EQ(box(EventField::Account), QStringLiteral("New"))
        << "a booking asks for a billing account";
    EXPECT_EQ(box(EventField::ContactPhone1), QStringLiteral("555-123-4567"));
    EXPECT_TRUE(event().UnsavedChanges);
    EXPECT_FALSE(window().commandEnabled[EventCommand::Modify]) << "a new event is saved first";

    click(EventCommand::Save);
    EXPECT_EQ(cells(Library, 20270612).size(), 16);
    EXPECT_EQ(stored(QStringLiteral("eventtitle"), number), QStringLiteral("Garden Party"));
    EXPECT_EQ(stored(QStringLiteral("memnonmem"), number), QStringLiteral("2"))
        << "no member option chosen counts as a non-member";
    EXPECT_EQ(historyFile(),
              QStringList{QStringLiteral("12062026\\09:30\\E#0\\Event#%1 opened").arg(number)})
        << "a new event's save writes no history line";
    EXPECT_EQ(event().mode, CurrentEvent::Viewing);
    EXPECT_FALSE(event().UnsavedChanges);
    EXPECT_FALSE(window().EditingEnabled);
    EXPECT_FALSE(window().commandEnabled[EventCommand::Save]);
    EXPECT_TRUE(window().commandEnabled[EventCommand::Modify]);

    // Moved to the ballroom a day later: the old cells are freed, the new
    // booked, and one line names both changes.
    click(EventCommand::Modify);
    EXPECT_EQ(event().mode, CurrentEvent::Editing);
    EXPECT_TRUE(window().commandEnabled[EventCommand::CancelEvent]);
    EXPECT_FALSE(window().commandEnabled[EventCommand::BillEvent]) << "status 2 is not billed";
    type(EventField::Date, QStringLiteral("20270613"));
    chooseRoom(Ballroom);
    click(EventCommand::Save);
    EXPECT_TRUE(cells(Library, 20270612).isEmpty());
    EXPECT_EQ(cells(Ballroom, 20270613).size(), 16);
    const QString prefix = QStringLiteral("12062026\\09:30\\E#0\\Event#%1 \\").arg(number);
    EXPECT_EQ(historyFile().value(1),
              prefix + QStringLiteral("Date changed from 20270612 to "
                                      "20270613\\Room changed from 3 to 1\\"));

    // Cancelled: the notes keep the room, the save frees the cells.
    click(EventCommand::Modify);
    prompts.answerYesNo(true);
    click(EventCommand::CancelEvent);
    EXPECT_EQ(prompts.questions.last().title, QStringLiteral("* Event cancellation *"));
    EXPECT_EQ(box(EventField::Status), QStringLiteral("9"));
    EXPECT_EQ(box(EventField::Room), QString());
    EXPECT_EQ(box(EventField::Notes), QStringLiteral("\n1\nCancelled 12/06/2026 @ 09:30 by DEMO"));
    EXPECT_EQ(window().statusList.text, module->config.StatusNames[6]);
    EXPECT_EQ(historyFile().size(), 2) << "the cancellation is written once it is saved";
    click(EventCommand::Save);
    EXPECT_TRUE(cells(Ballroom, 20270613).isEmpty());
    EXPECT_EQ(stored(QStringLiteral("status"), number), QStringLiteral("9"));
    EXPECT_EQ(historyFile().mid(2),
              (QStringList{prefix + QStringLiteral("Cancelled and removed from calendar"),
                           prefix + QStringLiteral("Status changed from 2 to 9\\Room changed "
                                                   "from 1 to \\")}));

    // Reactivated in the library.
    click(EventCommand::Modify);
    chooseStatus(2);
    chooseRoom(Library);
    click(EventCommand::Save);
    EXPECT_EQ(cells(Library, 20270613).size(), 16);
    EXPECT_EQ(historyFile().mid(4),
              (QStringList{prefix + QStringLiteral("Status changed from 9 to 2\\Room changed "
                                                   "from 0 to 3\\"),
                           prefix + QStringLiteral("Reactivated in calendar")}));

    // The history panel lists the event's lines newest first in the club's
    // formats, the operator of the last write on its line, and prints them.
    exec(QStringLiteral("evnt"), QStringLiteral("delete from clubsetting where name = ?"),
         {QStringLiteral("locale")});
    exec(QStringLiteral("evnt"),
         QStringLiteral("insert into clubsetting (name, value) values (?, ?)"),
         {QStringLiteral("locale"), QStringLiteral("en_US")});
    logic->editor.ShowAuditHistory();
    EXPECT_TRUE(window().auditVisible);
    const QList<AuditEntry> &history = window().auditEntries;
    ASSERT_EQ(history.size(), historyFile().size());
    const QString date = QStringLiteral("12/06/2026");
    const QString time = QStringLiteral("9:30 AM");
    EXPECT_EQ(history[0], (AuditEntry{date, time, QStringLiteral("DEMO"),
                                      QStringLiteral("Reactivated in calendar")}));
    EXPECT_EQ(history[1], (AuditEntry{date, time, QString(),
                                      QStringLiteral("Status changed from 9 to 2; Room changed "
                                                     "from 0 to 3")}));
    EXPECT_EQ(history.last().text, QStringLiteral("Event#%1 opened").arg(number));
    logic->editor.printAuditHistory();
    ASSERT_EQ(printer.documents.size(), 1);
    const QStringList printed = printer.documents[0].lines;
    EXPECT_EQ(printed.value(0), QStringLiteral("Event date:   20270613"));
    EXPECT_EQ(printed.value(1), QStringLiteral("Event Title:   Garden Party"));
    EXPECT_EQ(printed.value(8), QStringLiteral("Location/room:   3"));
    EXPECT_EQ(printed.value(9), QString(78, QLatin1Char('-')));
    EXPECT_EQ(printed.value(10),
              QStringLiteral("12/06/2026  9:30 AM  DEMO  Reactivated in calendar"));
    EXPECT_EQ(printed.size(), 10 + history.size());
    logic->editor.closeAuditHistory();
    EXPECT_FALSE(window().auditVisible);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(EventEditorTest, AFailedSaveKeepsEverythingTypedAndWritesNoHistory) {
    ASSERT_EQ(book(QStringLiteral("20270612"), QStringLiteral("Taken"), QStringLiteral("19:00"),
                   QStringLiteral("20:00"), Library),
              EventRecord::Saved::Done);
    const int linesBefore = historyFile().size();

    // A blank required box: red, the message, nothing stored.
    enterBooking(QStringLiteral("20270612"), QStringLiteral("Clash"), Library);
    const int number = box(EventField::Number).toInt();
    type(EventField::ContactName, QString());
    click(EventCommand::Save);
    // The message names the blank box by its caption.
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("One or more required fields of data is missing.\r\n"
                             "Please fill in: Contact Name."));
    EXPECT_EQ(window().fieldColor[EventField::ContactName], EventWindow::Red);
    EXPECT_EQ(window().fieldColor[EventField::Title], EventWindow::White);
    EXPECT_TRUE(window().fieldRequired[EventField::Room]) << "a booking needs its room";

    // The slot is taken: the conflict message, the window stays as it was.
    type(EventField::ContactName, QStringLiteral("Ada Lovelace"));
    click(EventCommand::Save);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        QStringLiteral("The chosen time and room combination is already in use.")));
    EXPECT_EQ(event().mode, CurrentEvent::EnteringNew);
    EXPECT_TRUE(window().EditingEnabled);
    EXPECT_TRUE(event().UnsavedChanges);
    EXPECT_TRUE(window().commandEnabled[EventCommand::Save]);
    EXPECT_FALSE(window().commandEnabled[EventCommand::CancelEvent])
        << "a new event cannot be cancelled";
    EXPECT_EQ(box(EventField::Title), QStringLiteral("Clash"));
    EXPECT_EQ(stored(QStringLiteral("count(*)"), number), QStringLiteral("0"));
    EXPECT_EQ(historyFile().size(), linesBefore + 1) << "only the opened line";

    // Another time saves it.
    type(EventField::Start, QStringLiteral("21:00"));
    type(EventField::End, QStringLiteral("CLOSE"));
    click(EventCommand::Save);
    EXPECT_EQ(event().mode, CurrentEvent::Viewing);
    EXPECT_EQ(stored(QStringLiteral("endtime"), number), QStringLiteral("CLOSE"));
}

TEST_F(EventEditorTest, WhatASaveWritesToTheHistory) {
    // An enquiry (status 1): a changed title gives a line without texts.
    click(EventCommand::NewEvent);
    type(EventField::Date, QStringLiteral("20270701"));
    type(EventField::Title, QStringLiteral("Enquiry"));
    type(EventField::ContactName, QStringLiteral("Ada"));
    type(EventField::ContactPhone1, QStringLiteral("5551234"));
    click(EventCommand::Save);
    const int number = box(EventField::Number).toInt();
    const QString prefix = QStringLiteral("12062026\\09:30\\E#0\\Event#%1 \\").arg(number);
    click(EventCommand::Modify);
    type(EventField::Title, QStringLiteral("Enquiry, second call"));
    click(EventCommand::Save);
    EXPECT_EQ(historyFile().last(), prefix);

    // Notes alone are not history; the billing name is, without text.
    click(EventCommand::Modify);
    type(EventField::Notes, QStringLiteral("Prefers the terrace"));
    click(EventCommand::Save);
    EXPECT_EQ(historyFile().size(), 2);
    click(EventCommand::Modify);
    type(EventField::BillingName, QStringLiteral("Lovelace & Co"));
    click(EventCommand::Save);
    EXPECT_EQ(historyFile().size(), 3);
    EXPECT_EQ(historyFile().last(), prefix);

    // A booking names every change of the save in one line, in column order.
    click(EventCommand::Modify);
    chooseStatus(2);
    type(EventField::Start, QStringLiteral("18:00"));
    type(EventField::End, QStringLiteral("19:00"));
    type(EventField::Guests, QStringLiteral("20"));
    type(EventField::Guarantee, QStringLiteral("20"));
    chooseRoom(Library);
    type(EventField::Title, QStringLiteral("Dinner"));
    click(EventCommand::Save);
    EXPECT_EQ(historyFile().last(),
              prefix + QStringLiteral("Event name changed from Enquiry, second call to "
                                      "Dinner\\Start time changed from  to 18:00\\End time "
                                      "changed from  to 19:00\\Status changed from 1 to 2\\Set "
                                      "For changed from 0 to 20\\Guarantee changed from 0 to "
                                      "20\\Room changed from 0 to 3\\"));

    // Saved from the keyboard while still in a box: the history names the
    // number stored.
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    click(EventCommand::Modify);
    logic->entry.editField(EventField::Guarantee, QStringLiteral("1,250"));
    click(EventCommand::Save);
    EXPECT_EQ(historyFile().last(), prefix + QStringLiteral("Guarantee changed from 20 to 1250\\"));
}

TEST_F(EventEditorTest, TheHistoryKeyEndsAfterTheNumber) {
    QFile log(path(QStringLiteral("evntsched.ini")));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("12062026\\09:30\\E#0\\Event#12 opened\n"
              "12062026\\09:31\\E#0\\Event#123 opened\n"
              "12062026\\09:32\\E#0\\Event#123 \\Date changed from 1 to 2\\\n"
              "12062026\\09:33\\E#0\\Event#12 \\Room changed from 1 to 2\\\n");
    log.close();
    const auto twelve = logic->events.changeLog.history(12);
    ASSERT_TRUE(twelve.ok());
    EXPECT_EQ(*twelve, QStringLiteral("12062026\\09:30\\E#0\\Event#12 opened\n"
                                      "12062026\\09:33\\E#0\\Event#12 \\Room changed from 1 to "
                                      "2\\\n"));
    EXPECT_EQ(*logic->events.changeLog.history(7), QString()) << "no line: an empty box";
}

TEST_F(EventEditorTest, ButtonsFollowTheStatusAndTheLevel) {
    // Billing and cancelling after Modify, by status.
    struct Case {
        int status;
        int level;
        bool bill;
        bool cancel;
    };
    int day = 1;
    for (const Case c :
         {Case{2, 99, false, true}, Case{3, 99, false, true}, Case{4, 99, true, true},
          Case{4, 20, false, true}, Case{5, 99, false, false}}) {
        ASSERT_EQ(book(QStringLiteral("202708%1").arg(day++, 2, 10, QLatin1Char('0')),
                       QStringLiteral("Status"), QStringLiteral("10:00"), QStringLiteral("11:00"),
                       Library, 2),
                  EventRecord::Saved::Done);
        exec(QStringLiteral("evnt"),
             QStringLiteral("update eventinfo set status = ? where eventnum = ?"),
             {c.status, lastNumber});
        setLevel(c.level);
        ASSERT_TRUE(logic->ShowEvent(lastNumber));
        click(EventCommand::Modify);
        EXPECT_EQ(window().commandEnabled[EventCommand::BillEvent], c.bill) << c.status;
        EXPECT_EQ(window().commandEnabled[EventCommand::CancelEvent], c.cancel) << c.status;
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
    click(EventCommand::ClearScreen);
    enterBooking(QStringLiteral("20270820"), QStringLiteral("Wedding"), Library);
    chooseStatus(4);
    EXPECT_FALSE(window().commandEnabled[EventCommand::BillEvent]);

    // "New" in the account box that status 4 requires: the save makes no
    // account, so it is refused by name and stores nothing.
    EXPECT_EQ(box(EventField::Account), QStringLiteral("New"));
    for (EventField required :
         {EventField::BillingName, EventField::BillingAddress1, EventField::BillingCity,
          EventField::BillingState, EventField::BillingZip, EventField::BillingPhone1,
          EventField::Deposit, EventField::BookedBy})
        type(required, QStringLiteral("1234567"));
    const QVariant events =
        scalar(QStringLiteral("evnt"), QStringLiteral("select count(*) from eventinfo"));
    prompts.clear();
    click(EventCommand::Save);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("The Account # box says \"New\", and saving does not make "
                                         "an account.\r\nClick \"Assign/Link to Account #\" to "
                                         "make the billing account first, or type its number.")});
    EXPECT_EQ(window().fieldColor[EventField::Account], EventWindow::Red);
    EXPECT_EQ(scalar(QStringLiteral("evnt"), QStringLiteral("select count(*) from eventinfo")),
              events);
}

// Every command gated by a level does nothing one below it: no question,
// no message, no change of the window or the event.
TEST_F(EventEditorTest, GatedCommandsDoNothingBelowTheirLevel) {
    struct Gate {
        const char *rule;
        EventCommand button;
        int threshold; // evaccess0..3: 10, 20, 50, 90 in a new club
    };
    const Gate gates[] = {
        {"any button needs evaccess0", EventCommand::Calendar, 10},
        {"any button needs evaccess0", EventCommand::ItemDetail, 10},
        {"New Event needs evaccess1", EventCommand::NewEvent, 20},
        {"Modify needs evaccess1", EventCommand::Modify, 20},
        {"Save needs evaccess1", EventCommand::Save, 20},
        {"Cancel Event needs evaccess1", EventCommand::CancelEvent, 20},
        {"Contract Builder needs evaccess1", EventCommand::ContractBuilder, 20},
        {"Bill Event needs evaccess2", EventCommand::BillEvent, 50},
    };
    ASSERT_EQ(book(QStringLiteral("20270801"), QStringLiteral("Gate"), QStringLiteral("10:00"),
                   QStringLiteral("11:00"), Library, 4),
              EventRecord::Saved::Done);
    ASSERT_TRUE(logic->ShowEvent(lastNumber));
    click(EventCommand::Modify);
    ASSERT_TRUE(window().commandEnabled[EventCommand::BillEvent]);
    int requests = 0;
    for (auto signal : {&EventEditor::itemWindowRequested, &EventEditor::contractBuilderRequested,
                        &EventEditor::calendarRequested})
        QObject::connect(&logic->editor, signal, [&] { ++requests; });

    for (const Gate &gate : gates) {
        SCOPED_TRACE(gate.rule);
        setLevel(gate.threshold - 1);
        const CurrentEvent before = event();
        const bool editing = window().EditingEnabled;
        const bool panels = window().reservationsVisible;
        click(gate.button);
        EXPECT_EQ(event().fields, before.fields);
        EXPECT_EQ(event().mode, before.mode);
        EXPECT_EQ(window().EditingEnabled, editing);
        EXPECT_EQ(window().reservationsVisible, panels);
        EXPECT_TRUE(window().commandEnabled[gate.button]) << "the button is usable again";
        EXPECT_EQ(requests, 0);
        EXPECT_TRUE(prompts.messages.isEmpty());
        EXPECT_TRUE(prompts.questions.isEmpty());
        setLevel(gate.threshold);
    }
}

TEST_F(EventEditorTest, UnsavedChangesAreGivenUpOnlyWhenTheOperatorAgrees) {
    ASSERT_EQ(book(QStringLiteral("20270801"), QStringLiteral("Kept"), QStringLiteral("10:00"),
                   QStringLiteral("11:00"), Library),
              EventRecord::Saved::Done);
    const int other = lastNumber;
    enterBooking(QStringLiteral("20270802"), QStringLiteral("Typed"), Library);
    const QString number = box(EventField::Number);

    for (EventCommand button :
         {EventCommand::NewEvent, EventCommand::ClearScreen, EventCommand::Lookup}) {
        prompts.answerYesNo(false);
        click(button);
        EXPECT_EQ(prompts.questions.last().text, QStringLiteral("Cancel changes?"));
        EXPECT_EQ(box(EventField::Title), QStringLiteral("Typed")) << static_cast<int>(button);
        EXPECT_EQ(box(EventField::Number), number);
    }
    prompts.answerYesNo(false);
    EXPECT_FALSE(logic->ShowEvent(other)) << "a calendar double-click asks too";
    prompts.answerYesNo(false);
    EXPECT_FALSE(logic->mayClose());
    EXPECT_EQ(box(EventField::Title), QStringLiteral("Typed"));

    prompts.answerYesNo(true);
    click(EventCommand::ClearScreen);
    EXPECT_EQ(box(EventField::Number), QString());
    for (EventCommand button : {EventCommand::Modify, EventCommand::Save, EventCommand::CancelEvent,
                                EventCommand::BillEvent})
        EXPECT_FALSE(window().commandEnabled[button]) << "nothing left to save, change or bill";

    enterBooking(QStringLiteral("20270803"), QStringLiteral("Typed again"), Library);
    prompts.answerYesNo(true);
    EXPECT_TRUE(logic->ShowEvent(other));
    EXPECT_EQ(box(EventField::Title), QStringLiteral("Kept"));
    EXPECT_EQ(event().mode, CurrentEvent::Viewing);
    EXPECT_FALSE(window().EditingEnabled);
    EXPECT_FALSE(window().commandEnabled[EventCommand::Save]);
    EXPECT_TRUE(logic->mayClose()) << "nothing unsaved: no question";
}

TEST_F(EventEditorTest, BackFromTheCalendarTheOperatorCarriesOnTyping) {
    enterBooking(QStringLiteral("20270802"), QStringLiteral("Half typed"), Library);
    click(EventCommand::Calendar);
    EXPECT_TRUE(window().reservationsVisible);
    EXPECT_FALSE(window().editControlsEnabled);
    click(EventCommand::EventInfo);
    EXPECT_FALSE(window().reservationsVisible);
    EXPECT_EQ(window().front, EventWindow::Panel::Billing);
    EXPECT_TRUE(window().editControlsEnabled);
    chooseStatus(3);
    EXPECT_EQ(box(EventField::Status), QStringLiteral("3"));
    EXPECT_EQ(box(EventField::Title), QStringLiteral("Half typed"));
}

TEST_F(EventEditorTest, BillEventBillsOnlyWhatIsSavedThenLinksAnEmployee) {
    ASSERT_EQ(book(QStringLiteral("20270801"), QStringLiteral("Billed"), QStringLiteral("10:00"),
                   QStringLiteral("11:00"), Library, 4),
              EventRecord::Saved::Done);
    ASSERT_TRUE(logic->ShowEvent(lastNumber));
    click(EventCommand::Modify);
    const auto billAfterSaving = [&] {
        click(EventCommand::Save);
        click(EventCommand::Modify);
        prompts.clear();
        click(EventCommand::BillEvent);
    };

    click(EventCommand::BillEvent);
    EXPECT_EQ(prompts.messageTexts(),
              (QStringList{QStringLiteral("One or more required fields of data is missing.\r\n"
                                          "Please fill in: Billing Name, Billing Address 1, "
                                          "Billing City, Billing State, Billing Zip, Billing "
                                          "Phone 1, Contact Name, Contact Phone 1, Deposit, "
                                          "Booked by."),
                           QStringLiteral("Please save the data first, then choose 'Modify' and "
                                          "'Bill Event'")}));
    for (EventField required :
         {EventField::Guests, EventField::Guarantee, EventField::Account, EventField::BillingName,
          EventField::BillingAddress1, EventField::BillingCity, EventField::BillingState,
          EventField::BillingZip, EventField::BillingPhone1, EventField::ContactName,
          EventField::ContactPhone1, EventField::Deposit, EventField::BookedBy})
        type(required, required == EventField::Account ? QStringLiteral("0")
                       : required == EventField::Guests || required == EventField::Guarantee
                           ? QStringLiteral("40")
                           : QStringLiteral("1234567"));
    prompts.clear();
    click(EventCommand::BillEvent);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Please save the data first, then choose 'Modify' and "
                                         "'Bill Event'")})
        << "typed but unsaved: the account typed may not be the event's";

    billAfterSaving();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("The billing account number is not valid.")});
    EXPECT_TRUE(window().commandEnabled[EventCommand::BillEvent]);

    // The new club has no account 4021: the box and the load say so.
    prompts.expectError(2);
    type(EventField::Account, QStringLiteral("4021"));
    prompts.answerYesNo(true);
    billAfterSaving();
    EXPECT_EQ(prompts.questions.last().title, QStringLiteral("Link to employee?"));
    EXPECT_TRUE(window().employeeVisible);
    EXPECT_FALSE(window().commandEnabled[EventCommand::BillEvent]) << "until the panel answers";

    FieldEntry &entry = logic->entry;
    entry.pressEmployeeKey(FieldEntry::Key::F5);
    EXPECT_EQ(programs.started.last(), QStringLiteral("staffsift.exe"));
    clipboard.content = QStringLiteral("12000");
    entry.doubleClickEmployee();
    EXPECT_TRUE(clipboard.content.isEmpty());
    entry.leaveEmployee();
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Entry out of allowable 0-9999 range. Redo."));
    EXPECT_EQ(window().employeeText, QStringLiteral("0"));
    logic->editor.answerEmployeeLink(true);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Must be a valid employee number if a link is desired."));
    EXPECT_TRUE(window().employeeVisible);
    // The number is read whole: no employee 12 for "12abc", no 7 for "7.7".
    entry.editEmployee(QStringLiteral("12abc"));
    entry.leaveEmployee();
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Employee #: \"12abc\" is not a number.\nType a whole number in "
                             "digits."));
    EXPECT_EQ(window().employeeText, QStringLiteral("0"));
    entry.editEmployee(QStringLiteral("7.7"));
    logic->editor.answerEmployeeLink(true);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Employee #: \"7.7\" is not a whole number."));
    EXPECT_TRUE(window().employeeVisible);
    entry.editEmployee(QStringLiteral("77"));
    logic->editor.answerEmployeeLink(true);
    EXPECT_FALSE(window().employeeVisible);
    EXPECT_EQ(window().BillingEmployee, 77);
    // Billing finds no account 4021 either: nothing is billed.
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Account # 4021 does not exist."));
    EXPECT_EQ(stored(QStringLiteral("status"), lastNumber), QStringLiteral("4"));
    EXPECT_TRUE(window().commandEnabled[EventCommand::BillEvent]);
}

TEST_F(EventEditorTest, ABilledEventShowsItsOutcomeInTheWindowAndTheHistory) {
    const auto billReadyEvent = [&](const QString &date) {
        readyToBill(date);
        prompts.answerYesNo(false); // no employee
        prompts.answerYesNo(true);  // "Bill this event now?"
        click(EventCommand::BillEvent);
    };

    billReadyEvent(QStringLiteral("20270801"));
    const QString daily =
        QStringLiteral("Event #%1 billing has been sent to the A/R workspace.").arg(lastNumber);
    EXPECT_EQ(prompts.lastMessage().text, daily);
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Billing Complete"));
    EXPECT_EQ(box(EventField::Status), QStringLiteral("5"));
    EXPECT_EQ(window().statusList.text, module->config.statusListText(5));
    EXPECT_EQ(stored(QStringLiteral("status"), lastNumber), QStringLiteral("5"));
    EXPECT_TRUE(historyFile().last().endsWith(daily));
    EXPECT_FALSE(window().commandEnabled[EventCommand::BillEvent]) << "billed once";
    EXPECT_FALSE(window().commandEnabled[EventCommand::CancelEvent]);
    const int lines = int(historyFile().size());
    click(EventCommand::Save);
    EXPECT_EQ(historyFile().size(), lines) << "the stored status is no change to log";

    module->config.BillingMode = 1;
    billReadyEvent(QStringLiteral("20270802"));
    EXPECT_EQ(
        prompts.lastMessage().text,
        QStringLiteral("Event #%1 has been billed directly to account #  1001").arg(lastNumber));
}

TEST_F(EventEditorTest, WhileTheEmployeePanelWaitsNothingElseIsBilled) {
    readyToBill(QStringLiteral("20270801"));
    prompts.answerYesNo(true); // link an employee
    click(EventCommand::BillEvent);
    ASSERT_TRUE(window().employeeVisible);
    type(EventField::Account, QStringLiteral("1002")); // another account, not saved
    logic->entry.editEmployee(QStringLiteral("7"));
    logic->editor.answerEmployeeLink(true);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Please save the data first, then choose 'Modify' and 'Bill Event'"));
    EXPECT_EQ(charges(lastNumber), 0);
    EXPECT_EQ(stored(QStringLiteral("status"), lastNumber), QStringLiteral("4"));

    // Another command gives the panel up.
    readyToBill(QStringLiteral("20270802"));
    prompts.answerYesNo(true);
    click(EventCommand::BillEvent);
    ASSERT_TRUE(window().employeeVisible);
    click(EventCommand::EventInfo);
    EXPECT_FALSE(window().employeeVisible);
}

TEST_F(EventEditorTest, BilledOnAnotherWorkstationTheWindowShowsItBilled) {
    readyToBill(QStringLiteral("20270801"));
    exec(QStringLiteral("evnt"), QStringLiteral("update eventinfo set status = 5"));
    prompts.answerYesNo(false); // no employee
    prompts.answerYesNo(true);  // "Bill this event now?"
    click(EventCommand::BillEvent);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Event #%1 has already been billed. Nothing was charged again.")
                  .arg(lastNumber));
    EXPECT_EQ(charges(lastNumber), 0);
    EXPECT_EQ(window().statusList.text, module->config.statusListText(5));
    EXPECT_FALSE(window().commandEnabled[EventCommand::BillEvent]);
    click(EventCommand::Save);
    EXPECT_EQ(stored(QStringLiteral("status"), lastNumber), QStringLiteral("5"));
}

TEST_F(EventEditorTest, ANewEventsAccountTakesTheNameTypedAfterIt) {
    enterBooking(QStringLiteral("20270805"), QStringLiteral("Walk-in wedding"), Library);
    logic->entry.chooseMembership(1);
    logic->assignment.assignAccount();
    ASSERT_EQ(box(EventField::Account), QStringLiteral("90000"));
    type(EventField::BillingName, QStringLiteral("Ada Lovelace"));
    click(EventCommand::Save);
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Billing Account # 90000 updated."));
    EXPECT_EQ(scalar(QStringLiteral("master"),
                     QStringLiteral("select mailname from address where acctnumber = 90000"))
                  .toString(),
              QStringLiteral("Ada Lovelace"));
}

TEST_F(EventEditorTest, CommandsWithoutAnEventOrWithoutTheYear) {
    click(EventCommand::ItemDetail);
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("No event has been selected..."));
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Oops..."));

    exec(QStringLiteral("evnt"), QStringLiteral("delete from reserv"));
    click(EventCommand::NewEvent);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("The Year must be initialized before events can be scheduled."));
    EXPECT_FALSE(window().editControlsEnabled);
    EXPECT_EQ(box(EventField::Number), QString()) << "no number issued";
}

// Lines of several days, newest first; an operator the line names; a
// doubled backslash inside an entry; a line no date starts, shown whole last.
TEST(AuditHistoryTest, LinesReadIntoColumnsNewestFirst) {
    ClubSettings club({{QString::fromLatin1(ClubSettings::Locale), QStringLiteral("de_DE")}});
    const QString log =
        QStringLiteral("01022027\\18:00\\E#0\\Event#4 opened\n"
                       "damaged\n"
                       "03042027\\07:15\\E#KIM\\Event#4 \\Room changed from 1 to "
                       "3\\Event name changed from A\\\\B to C\\\n"
                       "01022027\\18:00\\E#0\\Event#4 \\Status changed from 1 to 2\\\n");
    const EventChanges::Stamp lastWrite{2, QStringLiteral("DEMO"),
                                        QDateTime(QDate(2027, 1, 2), QTime(18, 0, 42))};
    const QList<AuditEntry> expected{
        {QStringLiteral("04.03.2027"), QStringLiteral("07:15"), QStringLiteral("KIM"),
         QStringLiteral("Room changed from 1 to 3; Event name changed from A\\B to C")},
        {QStringLiteral("02.01.2027"), QStringLiteral("18:00"), QStringLiteral("DEMO"),
         QStringLiteral("Status changed from 1 to 2")},
        {QStringLiteral("02.01.2027"), QStringLiteral("18:00"), QString(),
         QStringLiteral("Event#4 opened")},
        {QString(), QString(), QString(), QStringLiteral("damaged")},
    };
    EXPECT_EQ(AuditHistory::read(log, club, lastWrite), expected);
}

} // namespace
