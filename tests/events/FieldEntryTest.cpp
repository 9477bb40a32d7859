#include "EditingFixture.h"

namespace {

using Key = FieldEntry::Key;

class FieldEntryTest : public EditingFixture {
protected:
    FieldEntry &entry() { return logic->entry; }
    QString leave(EventField field, const QString &text) {
        prompts.clear();
        type(field, text);
        return box(field);
    }
};

constexpr int Library = 3;

TEST_F(FieldEntryTest, DatesAreCompletedCheckedAndNeverBackDatedByAClerk) {
    click(EventCommand::NewEvent);
    EXPECT_EQ(leave(EventField::Date, u"1225"_s), u"20261225"_s);
    EXPECT_EQ(event().Date, 20261225);
    EXPECT_EQ(leave(EventField::Date, u"12252027"_s), u"20271225"_s)
        << "month first with the year last is turned round";
    EXPECT_TRUE(prompts.messages.isEmpty());

    // The date rules are the entry checks'; here a refused date puts the
    // operator back into the box.
    for (const auto &[typed, message] :
         {std::pair{"1332", "Invalid month"}, std::pair{"20270431", "Invalid day of the month"}}) {
        leave(EventField::Date, QString::fromLatin1(typed));
        EXPECT_EQ(prompts.messageTexts(), QStringList{QString::fromLatin1(message)}) << typed;
        EXPECT_EQ(window().focusField, EventField::Date);
    }

    // A clerk (below evaccess3) cannot back-date a new event; an empty box
    // is no date at all.
    setLevel(20);
    EXPECT_EQ(leave(EventField::Date, u"20261205"_s), QString());
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"You must be in administrator mode to\nback-date a new "
                          "reservation. Redo."_s});
    EXPECT_EQ(leave(EventField::Date, QString()), QString());
    EXPECT_TRUE(prompts.messages.isEmpty());
    leave(EventField::Date, u"00000000"_s);
    EXPECT_EQ(prompts.messageTexts(), QStringList{u"Invalid month"_s})
        << "no date is told as such, not as back-dating";
    EXPECT_EQ(leave(EventField::Date, u"1206"_s), u"20261206"_s) << "today is fine";
    EXPECT_EQ(leave(EventField::Date, u"12252027"_s), u"20271225"_s);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(FieldEntryTest, TimesMustBeQuarterHoursOfTheClock) {
    click(EventCommand::NewEvent);
    // Which texts are times is the slot booking's rule; here the box says
    // which message, and what is kept.
    const QString notATime = u"Improperly formatted time. Must be in HH:MM format"_s;
    const std::tuple<EventField, const char *, const char *> cases[] = {
        // nullptr: accepted; "": not a time
        {EventField::Start, "00:00", nullptr},
        {EventField::Start, "", nullptr},
        {EventField::End, "18:30", nullptr},
        {EventField::End, "CLOSE", nullptr},
        {EventField::Start, "24:00", ""},
        {EventField::Start, "CLOSE", ""},
        {EventField::Start, "09:50",
         "Start time: 09:50 is not on a quarter-hour. Rooms are booked by the "
         "quarter-hour: use 09:45 or 10:00."},
        {EventField::End, "18:07",
         "End time: 18:07 is not on a quarter-hour. Rooms are booked by the "
         "quarter-hour: use 18:00 or 18:15."},
    };
    for (const auto &[field, typed, told] : cases) {
        SCOPED_TRACE(typed);
        const QString left = leave(field, QString::fromLatin1(typed));
        if (!told) {
            EXPECT_EQ(left, QString::fromLatin1(typed));
            EXPECT_TRUE(prompts.messages.isEmpty());
            continue;
        }
        EXPECT_EQ(left, QString());
        EXPECT_EQ(prompts.messageTexts(),
                  QStringList{*told ? QString::fromLatin1(told) : notATime});
        EXPECT_EQ(window().focusField, field);
    }
    EXPECT_EQ(event().StartTime, u"00:00"_s);
    leave(EventField::End, u"CLOSE"_s);
    EXPECT_EQ(event().EndTime, u"24:00"_s);
}

TEST_F(FieldEntryTest, CapacityWarnings) {
    booked(u"20270801"_s, u"Crowd"_s, u"10:00"_s, u"11:00"_s, Library);
    click(EventCommand::NewEvent);
    leave(EventField::Guests, u"80"_s);
    EXPECT_TRUE(prompts.messages.isEmpty()) << "a new event is not warned on leaving";
    prompts.clear();
    chooseRoom(Library);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"The chosen room's capacity doesn't seem to be a \ngood "
                          "match for the expected number of guests."_s});
    EXPECT_EQ(prompts.lastMessage().title, u"Caution..."_s);

    prompts.answerYesNo(true); // give up the new event
    ASSERT_TRUE(logic->ShowEvent(lastNumber));
    click(EventCommand::Modify);
    EXPECT_TRUE(leave(EventField::Guests, u"50"_s).size() > 0);
    EXPECT_TRUE(prompts.messages.isEmpty()) << "the capacity itself is fine";
    leave(EventField::Guarantee, u"51"_s);
    leave(EventField::Guests, u"50"_s);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"The chosen room's capacity doesn't seem to be a good "
                          "match\nfor the expected or guaranteed number of "
                          "guests."_s});
}

// How a number is read is the record's (EventRecordTest); leaving the box
// tidies it, or keeps what was typed and puts the operator back.
TEST_F(FieldEntryTest, NumberAndAddressBoxesAreTidiedAsTheyAreLeft) {
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    click(EventCommand::NewEvent);
    const std::tuple<EventField, const char *, const char *> tidied[] = {
        {EventField::Guests, " 1,500 ", "1500"},
        {EventField::Room, "3", "3"},
        {EventField::Deposit, "$1,000.00", "1000"},
        {EventField::Account, "New", "New"}};
    for (const auto &[field, typed, left] : tidied) {
        EXPECT_EQ(leave(field, QString::fromLatin1(typed)), QString::fromLatin1(left));
        EXPECT_TRUE(prompts.messages.isEmpty()) << typed;
    }
    EXPECT_EQ(event().Room, Library);
    const std::tuple<EventField, const char *, const char *> refused[] = {
        {EventField::Guarantee, "1234567", "Guarantee"},
        {EventField::Room, "2abc", "Location/room"},
        {EventField::Account, "12abc", "Account #"}};
    for (const auto &[field, typed, label] : refused) {
        EXPECT_EQ(leave(field, QString::fromLatin1(typed)), QString::fromLatin1(typed));
        EXPECT_EQ(prompts.messageTexts().size(), 1) << typed;
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(
            u"%1: \"%2\" "_s.arg(QString::fromLatin1(label), typed)));
        EXPECT_EQ(window().focusField, field) << "the operator is put back into the box";
    }
    EXPECT_EQ(event().Room, Library) << "a refused room is not taken";

    // Where the point groups thousands, the box is written so it reads back the same.
    WorkstationLocale german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(leave(EventField::Deposit, u"2,1250"_s), u"2.1250"_s);
    EXPECT_EQ(leave(EventField::Deposit, box(EventField::Deposit)), u"2.1250"_s);
    EXPECT_TRUE(prompts.messages.isEmpty());

    // Address boxes are tidied; an odd e-mail address is kept, only warned of.
    EXPECT_EQ(leave(EventField::BillingState, u"ny"_s), u"NY"_s);
    EXPECT_EQ(leave(EventField::ContactState, u"québec"_s), u"QUÉBEC"_s);
    EXPECT_EQ(leave(EventField::BillingPhone1, u"5551234"_s), u"555-1234"_s);
    EXPECT_EQ(leave(EventField::ContactPhone2, u"5551234567"_s), u"555-123-4567"_s);
    EXPECT_EQ(leave(EventField::BillingFax, u"55512"_s), u"55512"_s);
    EXPECT_EQ(leave(EventField::ContactFax, u"555-123-4567"_s), u"555-123-4567"_s);

    for (const char *fine : {"", "ab", "a@b", "events@club.example"}) {
        leave(EventField::BillingEmail, QString::fromLatin1(fine));
        EXPECT_TRUE(prompts.messages.isEmpty()) << fine;
    }
    EXPECT_EQ(leave(EventField::ContactEmail, u"abc"_s), u"abc"_s) << "kept, only warned";
    EXPECT_EQ(prompts.messageTexts(), QStringList{u"Invalid e-mail address!"_s});
}

TEST_F(FieldEntryTest, KeysWhileEditingAndWhileNot) {
    // Nothing is being entered: typing and look-up results change nothing.
    EXPECT_FALSE(entry().typeKey(EventField::Title, Key::Other));
    entry().editField(EventField::Title, u"typed"_s);
    clipboard.content = u"20270101"_s;
    entry().doubleClickField(EventField::Date);
    entry().pressKey(EventField::Date, Key::F5);
    EXPECT_EQ(box(EventField::Title), QString());
    EXPECT_EQ(box(EventField::Date), QString());
    EXPECT_FALSE(event().UnsavedChanges);
    EXPECT_TRUE(programs.started.isEmpty());
    EXPECT_TRUE(keys.sent.isEmpty());

    click(EventCommand::NewEvent);
    // Enter moves on by a Tab, except in the notes where it starts a line.
    EXPECT_FALSE(entry().typeKey(EventField::Title, Key::Enter));
    EXPECT_EQ(keys.sent, QStringList{u"{TAB}"_s});
    EXPECT_FALSE(event().UnsavedChanges);
    EXPECT_TRUE(entry().typeKey(EventField::Notes, Key::Enter));
    EXPECT_TRUE(entry().typeKey(EventField::Title, Key::Tab));
    EXPECT_FALSE(event().UnsavedChanges);
    EXPECT_TRUE(entry().typeKey(EventField::Title, Key::Other));
    EXPECT_TRUE(event().UnsavedChanges);
    EXPECT_FALSE(entry().typeKey(EventField::Number, Key::Other))
        << "the event number is never typed";

    // Pasted text: one line in a single-line box, all of it in the notes.
    entry().editField(EventField::Title, u"O'Brien \"Ruby\" 婚礼\nsecond line"_s);
    EXPECT_EQ(box(EventField::Title), u"O'Brien \"Ruby\" 婚礼"_s);
    entry().editField(EventField::Notes, u"line one\nline two"_s);
    EXPECT_EQ(box(EventField::Notes), u"line one\nline two"_s);

    // The look-ups answer on the clipboard; no choice changes nothing.
    entry().pressKey(EventField::Date, Key::F5);
    entry().pressKey(EventField::Account, Key::F5);
    EXPECT_EQ(programs.started, (QStringList{u"datesift.exe"_s, u"acctsift.exe"_s}));
    clipboard.content = u"20270314"_s;
    entry().doubleClickField(EventField::Date);
    EXPECT_EQ(box(EventField::Date), u"20270314"_s);
    EXPECT_TRUE(clipboard.content.isEmpty());
    entry().doubleClickField(EventField::Account);
    EXPECT_EQ(box(EventField::Account), QString());
    entry().pressKey(EventField::Room, Key::F5);
    EXPECT_TRUE(window().roomListVisible);
    entry().leaveField(EventField::Room);
    EXPECT_FALSE(window().roomListVisible);

    // Focus colours, help text and the time lists.
    entry().enterField(EventField::Start);
    EXPECT_EQ(window().fieldColor[EventField::Start], EventWindow::Yellow);
    EXPECT_EQ(window().helpwindow, window().fieldHelp[EventField::Start]);
    EXPECT_TRUE(window().startListVisible);
    EXPECT_FALSE(window().endListVisible);
    entry().leaveField(EventField::Start);
    EXPECT_EQ(window().fieldColor[EventField::Start], EventWindow::White);
    entry().enterField(EventField::InternalNotes);
    EXPECT_EQ(window().fieldColor[EventField::InternalNotes], EventWindow::InternalNotesFocus);
    entry().leaveField(EventField::InternalNotes);
    EXPECT_EQ(window().fieldColor[EventField::InternalNotes], EventWindow::InternalNotes);
    entry().enterField(EventField::Title);
    EXPECT_FALSE(window().startListVisible);
}

TEST_F(FieldEntryTest, StatusMemberOptionsAndNoteSwitchAndBilledEventsKeptForAdministrators) {
    const auto statusName = [&](int code) {
        return module->config.StatusNames[Configuration::statusPosition(code)];
    };
    booked(u"20270801"_s, u"Billed"_s, u"10:00"_s, u"11:00"_s, Library, 4);
    ASSERT_TRUE(logic->ShowEvent(lastNumber));
    click(EventCommand::Modify);
    setLevel(50);
    chooseStatus(5);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"Administrator level is required to change to a status 5 "
                          "event."_s});
    EXPECT_EQ(box(EventField::Status), u"4"_s);
    EXPECT_EQ(window().statusList.text, statusName(4));

    setLevel(99);
    chooseStatus(5);
    EXPECT_EQ(box(EventField::Status), u"5"_s);
    EXPECT_FALSE(window().commandEnabled[EventCommand::BillEvent]);
    setLevel(50);
    prompts.clear();
    chooseStatus(3);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"Administrator level is required to change a status 5 "
                          "event."_s});
    EXPECT_EQ(box(EventField::Status), u"5"_s);
    EXPECT_EQ(window().statusList.text, statusName(5));

    setLevel(99);
    chooseStatus(4);
    EXPECT_TRUE(window().commandEnabled[EventCommand::BillEvent]);
    EXPECT_EQ(window().focusField, EventField::Title) << "on to the title";
    EXPECT_EQ(keys.sent.last(), u"{TAB}"_s);

    // A new event's status decides the account box; the member options
    // name it.
    prompts.answerYesNo(true); // give up the changes
    click(EventCommand::NewEvent);
    chooseStatus(1);
    EXPECT_EQ(window().front, EventWindow::Panel::Contact);
    EXPECT_EQ(box(EventField::Account), QString()) << "an enquiry needs no account yet";
    chooseStatus(2);
    EXPECT_EQ(box(EventField::Account), u"New"_s);
    type(EventField::Account, u"4021"_s);
    chooseStatus(3);
    EXPECT_EQ(box(EventField::Account), u"4021"_s);

    // Only a changed option is an unsaved change.
    event().UnsavedChanges = false;
    entry().chooseMembership(0);
    EXPECT_TRUE(event().UnsavedChanges);
    event().UnsavedChanges = false;
    entry().chooseMembership(0);
    EXPECT_FALSE(event().UnsavedChanges);
    EXPECT_EQ(box(EventField::Member), u"1"_s);
    EXPECT_EQ(window().fieldLabel[EventField::Account], u"Member #"_s);
    EXPECT_EQ(window().accountButtonCaption, u"Link to Member #"_s);
    entry().chooseMembership(1);
    EXPECT_EQ(event().MemberFlag, 2);
    EXPECT_EQ(window().fieldLabel[EventField::Account], u"Account #"_s);
    EXPECT_EQ(window().accountButtonCaption, u"Assign/Link to Account #"_s);

    type(EventField::InternalNotes, u"ab"_s);
    EXPECT_EQ(window().noteSwitchCaption[1], u"Internal Notes"_s);
    type(EventField::InternalNotes, u"abc"_s);
    EXPECT_EQ(window().noteSwitchCaption[1], u"Internal Notes Exist"_s);
    entry().showNotes(1);
    EXPECT_EQ(window().notesShown, 1);
    entry().showNotes(0);
    EXPECT_EQ(window().notesShown, 0);

    entry().clickField(EventField::BillingAddress1);
    EXPECT_EQ(window().front, EventWindow::Panel::Billing);
    entry().clickField(EventField::ContactAddress1);
    EXPECT_EQ(window().front, EventWindow::Panel::Contact);
}

} // namespace
