#include "EditingFixture.h"

namespace {

using Key = FieldEntry::Key;

class FieldEntryTest : public EditingFixture {
protected:
    FieldEntry &entry() { return logic->entry; }
    // What leaving the box left in it, and the messages it showed.
    QString leave(EventField field, const QString &text) {
        prompts.clear();
        type(field, text);
        return box(field);
    }
};

constexpr int Library = 3;

TEST_F(FieldEntryTest, DatesAreCompletedCheckedAndNeverBackDatedByAClerk) {
    click(EventCommand::NewEvent);
    EXPECT_EQ(leave(EventField::Date, QStringLiteral("1225")), QStringLiteral("20261225"));
    EXPECT_EQ(event().Date, 20261225);
    EXPECT_EQ(leave(EventField::Date, QStringLiteral("12252027")), QStringLiteral("20271225"))
        << "month first with the year last is turned round";
    EXPECT_TRUE(prompts.messages.isEmpty());

    struct Case {
        const char *typed;
        const char *message;
    };
    for (const Case c :
         {Case{"1332", "Invalid month"}, Case{"20270229", "Invalid day of the month"},
          Case{"abcd", "Invalid month"}, Case{"20270431", "Invalid day of the month"},
          Case{"00000000", "Invalid month"}, Case{"2027011", "Invalid month"},
          Case{"0", "Invalid month"}, Case{"abc", "Invalid month"}}) {
        leave(EventField::Date, QString::fromLatin1(c.typed));
        EXPECT_EQ(prompts.messageTexts(), QStringList{QString::fromLatin1(c.message)}) << c.typed;
        EXPECT_EQ(window().focusField, EventField::Date) << "the operator is put back into the box";
    }
    EXPECT_EQ(leave(EventField::Date, QStringLiteral("20280229")), QStringLiteral("20280229"))
        << "a leap year";
    EXPECT_EQ(leave(EventField::Date, QStringLiteral("02012027")), QStringLiteral("20270201"))
        << "month first keeps its zero";

    // A clerk (below evaccess3) cannot back-date a new event; an empty box
    // is no date at all.
    setLevel(20);
    EXPECT_EQ(leave(EventField::Date, QStringLiteral("20261205")), QString());
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("You must be in administrator mode to\nback-date a new "
                                         "reservation. Redo.")});
    EXPECT_EQ(leave(EventField::Date, QString()), QString());
    EXPECT_TRUE(prompts.messages.isEmpty());
    leave(EventField::Date, QStringLiteral("00000000"));
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Invalid month")})
        << "no date is told as such, not as back-dating";
    EXPECT_EQ(leave(EventField::Date, QStringLiteral("1206")), QStringLiteral("20261206"))
        << "today is fine";
    EXPECT_EQ(leave(EventField::Date, QStringLiteral("12252027")), QStringLiteral("20271225"));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(FieldEntryTest, TimesMustBeQuarterHoursOfTheClock) {
    click(EventCommand::NewEvent);
    const QString notATime = QStringLiteral("Improperly formatted time. Must be in HH:MM format");
    struct Case {
        EventField field;
        const char *typed;
        const char *told; // nullptr: accepted
    };
    const Case cases[] = {
        {EventField::Start, "00:00", nullptr},
        {EventField::Start, "", nullptr},
        {EventField::End, "18:30", nullptr},
        {EventField::End, "CLOSE", nullptr},
        {EventField::End, "23:59", nullptr}, // the end of the day
        {EventField::Start, "24:00", ""},
        {EventField::Start, "24:01", ""},
        {EventField::Start, "7", ""},
        {EventField::Start, "7:30", ""},
        {EventField::Start, "12:60", ""},
        {EventField::Start, "CLOSE", ""},
        {EventField::End, "close", ""},
        {EventField::Start, "1a:30", ""},
        {EventField::Start, "12:", ""},
        {EventField::End, "1x:59", ""},
        {EventField::Start, "00:00x", ""},
        {EventField::Start, " 8:00", ""},
        {EventField::Start, "09:50",
         "Start time: 09:50 is not on a quarter-hour. Rooms are booked by the "
         "quarter-hour: use 09:45 or 10:00."},
        {EventField::End, "18:07",
         "End time: 18:07 is not on a quarter-hour. Rooms are booked by the "
         "quarter-hour: use 18:00 or 18:15."},
    };
    for (const Case &c : cases) {
        const QString typed = QString::fromLatin1(c.typed);
        prompts.clear();
        const QString left = leave(c.field, typed);
        SCOPED_TRACE(std::string(c.typed) + " in box " + std::to_string(columnOf(c.field)));
        if (!c.told) {
            EXPECT_EQ(left, typed);
            EXPECT_TRUE(prompts.messages.isEmpty());
        } else {
            EXPECT_EQ(left, QString());
            EXPECT_EQ(prompts.messageTexts(),
                      QStringList{*c.told ? QString::fromLatin1(c.told) : notATime});
            EXPECT_EQ(window().focusField, c.field);
        }
    }
    leave(EventField::End, QStringLiteral("CLOSE"));
    EXPECT_EQ(event().EndTime, QStringLiteral("24:00"));
}

TEST_F(FieldEntryTest, AddressBoxesAreTidiedAsTheyAreLeft) {
    click(EventCommand::NewEvent);
    EXPECT_EQ(leave(EventField::BillingState, QStringLiteral("ny")), QStringLiteral("NY"));
    EXPECT_EQ(leave(EventField::ContactState, QStringLiteral("québec")), QStringLiteral("QUÉBEC"));
    EXPECT_EQ(leave(EventField::BillingPhone1, QStringLiteral("5551234")),
              QStringLiteral("555-1234"));
    EXPECT_EQ(leave(EventField::ContactPhone2, QStringLiteral("5551234567")),
              QStringLiteral("555-123-4567"));
    EXPECT_EQ(leave(EventField::BillingFax, QStringLiteral("55512")), QStringLiteral("55512"));
    EXPECT_EQ(leave(EventField::ContactFax, QStringLiteral("555-123-4567")),
              QStringLiteral("555-123-4567"));

    for (const char *fine : {"", "ab", "a@b", "events@club.example"}) {
        leave(EventField::BillingEmail, QString::fromLatin1(fine));
        EXPECT_TRUE(prompts.messages.isEmpty()) << fine;
    }
    EXPECT_EQ(leave(EventField::ContactEmail, QStringLiteral("abc")), QStringLiteral("abc"))
        << "kept, only warned";
    EXPECT_EQ(prompts.messageTexts(), QStringList{QStringLiteral("Invalid e-mail address!")});
}

TEST_F(FieldEntryTest, CapacityWarnings) {
    ASSERT_EQ(book(QStringLiteral("20270801"), QStringLiteral("Crowd"), QStringLiteral("10:00"),
                   QStringLiteral("11:00"), Library),
              EventRecord::Saved::Done);
    click(EventCommand::NewEvent);
    leave(EventField::Guests, QStringLiteral("80"));
    EXPECT_TRUE(prompts.messages.isEmpty()) << "a new event is not warned on leaving";
    prompts.clear();
    chooseRoom(Library);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("The chosen room's capacity doesn't seem to be a \ngood "
                                         "match for the expected number of guests.")});
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Caution..."));

    prompts.answerYesNo(true); // give up the new event
    ASSERT_TRUE(logic->ShowEvent(lastNumber));
    click(EventCommand::Modify);
    EXPECT_TRUE(leave(EventField::Guests, QStringLiteral("50")).size() > 0);
    EXPECT_TRUE(prompts.messages.isEmpty()) << "the capacity itself is fine";
    leave(EventField::Guarantee, QStringLiteral("51"));
    leave(EventField::Guests, QStringLiteral("50"));
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("The chosen room's capacity doesn't seem to be a good "
                                         "match\nfor the expected or guaranteed number of "
                                         "guests.")});
}

TEST_F(FieldEntryTest, NumberBoxesAreReadWholeAsTheyAreLeft) {
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    click(EventCommand::NewEvent);
    struct Case {
        EventField field;
        const char *typed, *left;
    };
    for (const Case c :
         {Case{EventField::Guests, " 1,500 ", "1500"}, Case{EventField::Guarantee, "1,250", "1250"},
          Case{EventField::Room, "3", "3"}, Case{EventField::Deposit, "$1,000.00", "1000"},
          Case{EventField::Deposit, "", ""}, Case{EventField::Account, "1,042.50", "1042.5"},
          Case{EventField::Account, "New", "New"}}) {
        EXPECT_EQ(leave(c.field, QString::fromLatin1(c.typed)), QString::fromLatin1(c.left))
            << c.typed;
        EXPECT_TRUE(prompts.messages.isEmpty()) << c.typed;
    }
    EXPECT_EQ(event().Room, Library);

    for (const Case c : {Case{EventField::Guests, "1e3", "Set for"},
                         Case{EventField::Guarantee, "1234567", "Guarantee"},
                         Case{EventField::Room, "2abc", "Location/room"},
                         Case{EventField::Deposit, "$100x", "Deposit"},
                         Case{EventField::Account, "12abc", "Account #"}}) {
        EXPECT_EQ(leave(c.field, QString::fromLatin1(c.typed)), QString::fromLatin1(c.typed))
            << "the box keeps what was typed";
        ASSERT_EQ(prompts.messages.size(), 1) << c.typed;
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(
            QStringLiteral("%1: \"%2\" ").arg(QString::fromLatin1(c.left), c.typed)));
        EXPECT_EQ(window().focusField, c.field) << "the operator is put back into the box";
    }
    EXPECT_EQ(event().Room, Library) << "a refused room is not taken";

    // Where the point groups thousands, the box is written so it reads back the same.
    WorkstationLocale german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(leave(EventField::Deposit, QStringLiteral("2,1250")), QStringLiteral("2.1250"));
    EXPECT_EQ(leave(EventField::Deposit, box(EventField::Deposit)), QStringLiteral("2.1250"));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(FieldEntryTest, KeysWhileEditingAndWhileNot) {
    // Nothing is being entered: typing and look-up results change nothing.
    EXPECT_FALSE(entry().typeKey(EventField::Title, Key::Other));
    entry().editField(EventField::Title, QStringLiteral("typed"));
    clipboard.content = QStringLiteral("20270101");
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
    EXPECT_EQ(keys.sent, QStringList{QStringLiteral("{TAB}")});
    EXPECT_FALSE(event().UnsavedChanges);
    EXPECT_TRUE(entry().typeKey(EventField::Notes, Key::Enter));
    EXPECT_TRUE(entry().typeKey(EventField::Title, Key::Tab));
    EXPECT_FALSE(event().UnsavedChanges);
    EXPECT_TRUE(entry().typeKey(EventField::Title, Key::Other));
    EXPECT_TRUE(event().UnsavedChanges);
    EXPECT_FALSE(entry().typeKey(EventField::Number, Key::Other))
        << "the event number is never typed";

    // Pasted text: one line in a single-line box, all of it in the notes.
    entry().editField(EventField::Title, QStringLiteral("O'Brien \"Ruby\" 婚礼\nsecond line"));
    EXPECT_EQ(box(EventField::Title), QStringLiteral("O'Brien \"Ruby\" 婚礼"));
    entry().editField(EventField::Notes, QStringLiteral("line one\nline two"));
    EXPECT_EQ(box(EventField::Notes), QStringLiteral("line one\nline two"));

    // The look-ups answer on the clipboard; no choice changes nothing.
    entry().pressKey(EventField::Date, Key::F5);
    entry().pressKey(EventField::Account, Key::F5);
    EXPECT_EQ(programs.started,
              (QStringList{QStringLiteral("datesift.exe"), QStringLiteral("acctsift.exe")}));
    clipboard.content = QStringLiteral("20270314");
    entry().doubleClickField(EventField::Date);
    EXPECT_EQ(box(EventField::Date), QStringLiteral("20270314"));
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

TEST_F(FieldEntryTest, TheStatusListKeepsBilledEventsForAdministrators) {
    const auto statusName = [&](int code) {
        return module->config.StatusNames[Configuration::statusPosition(code)];
    };
    ASSERT_EQ(book(QStringLiteral("20270801"), QStringLiteral("Billed"), QStringLiteral("10:00"),
                   QStringLiteral("11:00"), Library, 4),
              EventRecord::Saved::Done);
    ASSERT_TRUE(logic->ShowEvent(lastNumber));
    click(EventCommand::Modify);
    setLevel(50);
    chooseStatus(5);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Administrator level is required to change to a status 5 "
                                         "event.")});
    EXPECT_EQ(box(EventField::Status), QStringLiteral("4"));
    EXPECT_EQ(window().statusList.text, statusName(4));

    setLevel(99);
    chooseStatus(5);
    EXPECT_EQ(box(EventField::Status), QStringLiteral("5"));
    EXPECT_FALSE(window().commandEnabled[EventCommand::BillEvent]);
    setLevel(50);
    prompts.clear();
    chooseStatus(3);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Administrator level is required to change a status 5 "
                                         "event.")});
    EXPECT_EQ(box(EventField::Status), QStringLiteral("5"));
    EXPECT_EQ(window().statusList.text, statusName(5));

    setLevel(99);
    chooseStatus(4);
    EXPECT_TRUE(window().commandEnabled[EventCommand::BillEvent]);
    EXPECT_EQ(window().focusField, EventField::Title) << "on to the title";
    EXPECT_EQ(keys.sent.last(), QStringLiteral("{TAB}"));
}

TEST_F(FieldEntryTest, StatusMemberOptionsAndNoteSwitch) {
    click(EventCommand::NewEvent);
    chooseStatus(1);
    EXPECT_EQ(window().front, EventWindow::Panel::Contact);
    EXPECT_EQ(box(EventField::Account), QString()) << "an enquiry needs no account yet";
    chooseStatus(2);
    EXPECT_EQ(box(EventField::Account), QStringLiteral("New"));
    type(EventField::Account, QStringLiteral("4021"));
    chooseStatus(3);
    EXPECT_EQ(box(EventField::Account), QStringLiteral("4021"));

    entry().chooseMembership(0);
    EXPECT_EQ(box(EventField::Member), QStringLiteral("1"));
    EXPECT_EQ(window().fieldLabel[EventField::Account], QStringLiteral("Member #"));
    EXPECT_EQ(window().accountButtonCaption, QStringLiteral("Link to Member #"));
    entry().chooseMembership(1);
    EXPECT_EQ(event().MemberFlag, 2);
    EXPECT_EQ(window().fieldLabel[EventField::Account], QStringLiteral("Account #"));
    EXPECT_EQ(window().accountButtonCaption, QStringLiteral("Assign/Link to Account #"));

    type(EventField::InternalNotes, QStringLiteral("ab"));
    EXPECT_EQ(window().noteSwitchCaption[1], QStringLiteral("Internal Notes"));
    type(EventField::InternalNotes, QStringLiteral("abc"));
    EXPECT_EQ(window().noteSwitchCaption[1], QStringLiteral("Internal Notes Exist"));
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
