#include "billing/BillingAccounts.h"

#include "BillingFixture.h"
#include "events/AccountAssignment.h"
#include "events/EventRecord.h"
#include "events/EventWindow.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

class BillingAccountsTest : public BillingFixture {
protected:
    void SetUp() override {
        BillingFixture::SetUp();
        accounts = std::make_unique<BillingAccounts>(*module);
    }
    int accountsInRange() {
        return count(u"master"_s, u"select count(*) from acctinfo where acctnumber >= 90000"_s);
    }
    QString field(const QString &column, const QString &table, double number) {
        return scalar(u"master"_s, u"select %1 from %2 where acctnumber = ?"_s.arg(column, table),
                      {number})
            .toString();
    }
    QString &box(EventField field) { return module->event.fields[field]; }

    std::unique_ptr<BillingAccounts> accounts;
};

TEST_F(BillingAccountsTest, ANewAccountTakesTheNextFreeNumberWithAllItsRowsAndTellsTheTills) {
    for (double number : {90000.0, 90001.0, 90002.0, 90003.0, 90004.0, 1001.0})
        addAccount(number);
    // A row the suite left behind without its account: stepped over.
    exec(u"master2"_s, u"insert into ar (acctnumber) values (90005)"_s);
    // 47 letters, then emoji: the second straddles the column's 50th unit.
    const QString name = u"O'Brien & Søn Catering Company of Philadelphia."_s + u"🎉🎉🎉 and more"_s;
    box(EventField::BillingName) = name;
    box(EventField::BillingState) = u"PA"_s;
    box(EventField::BillingEmail) = u"events@obrien.example.com"_s;
    box(EventField::ContactName) = u"Zoë D'Angelo"_s;

    int exports = 0;
    QString mode;
    QObject::connect(accounts.get(), &BillingAccounts::pointOfSaleExportRequested,
                     [&](const QString &requested) {
                         ++exports;
                         mode = requested;
                     });
    const auto number = accounts->CreateAccount(42);
    ASSERT_TRUE(number.ok());
    EXPECT_EQ(*number, 90006);
    EXPECT_EQ(box(EventField::Account), u"90006"_s);
    EXPECT_EQ(prompts.lastMessage().text, u"Billing Account # 90006 created."_s);
    EXPECT_EQ(exports, 0) << "a club without tills";
    EXPECT_EQ(prompts.lastMessage().title, u"Successful..."_s);
    EXPECT_EQ(accountRows(u"acctnumber = 90006"_s), QList<int>(5, 1));
    EXPECT_EQ(accountRows(u"acctnumber = 90005"_s), (QList<int>{0, 0, 0, 0, 1}))
        << "the stray row untouched, nothing added to it";
    EXPECT_EQ(field(u"lname"_s, u"acctinfo"_s, 90006), u"Event #42"_s);
    EXPECT_EQ(field(u"classcode || '/' || billcode"_s, u"acctinfo"_s, 90006), u"EV/E"_s);
    const QString stored = field(u"mailname"_s, u"address"_s, 90006);
    EXPECT_TRUE(name.startsWith(stored));
    EXPECT_EQ(stored.size(), 49);
    EXPECT_FALSE(stored.back().isHighSurrogate()) << "no emoji cut in half";
    EXPECT_EQ(field(u"altname"_s, u"address"_s, 90006), u"Zoë D'Angelo"_s);

    touch(u"TILLZO.EXE"_s);
    ASSERT_TRUE(accounts->CreateAccount(2));
    EXPECT_EQ(prompts.lastMessage().text,
              u"Billing Account # 90007 created.\r\nClick OK to update Tillzo POS "
              "with new account information..."_s);
    EXPECT_EQ(exports, 1) << "the export window is built in";
    EXPECT_EQ(mode, u"16"_s);
}

TEST_F(BillingAccountsTest, NoAccountWhenTheRangeIsUsedUpUnsetOrMonthEndRuns) {
    const QString missing =
        u"A key configuration setting is missing. The from/to automatic member number range \r\n"
        "has not been configured. This is necessary before member billing accounts \r\n"
        "can be created from within the event scheduling module."_s;
    const QString usedUp = u"The range of allocated member numbers has been used up. \r\n"
                           "The configuration option must be expanded before more \r\n"
                           "accounts can be created through the event scheduling \r\nmodule."_s;
    addAccount(90000);
    addAccount(90001);
    // Unset, reversed, above the highest number, used up.
    for (const auto &[from, to, message] : {std::tuple{0.0, 0.0, missing},
                                            {90010.0, 90000.0, missing},
                                            {90000.0, 100000.0, missing},
                                            {90000.0, 90001.0, usedUp}}) {
        module->config.RangeFrom = from;
        module->config.RangeTo = to;
        EXPECT_FALSE(accounts->CreateAccount(7)) << from << " to " << to;
        EXPECT_EQ(prompts.lastMessage().text, message);
        EXPECT_EQ(accountsInRange(), 2);
        EXPECT_TRUE(box(EventField::Account).isEmpty());
    }

    loadConfiguration();
    touch(u"mstr2bak.mdb"_s);
    const auto duringMonthEnd = accounts->CreateAccount(7);
    EXPECT_FALSE(duringMonthEnd);
    EXPECT_EQ(prompts.lastMessage().text,
              u"Unable to create accounts during month-end billing process. Try again later."_s);
    EXPECT_EQ(duringMonthEnd.error(), BillingAccounts::NoAccount::MonthEndRunning);
    EXPECT_EQ(accountsInRange(), 2);

    ASSERT_TRUE(QFile::remove(path(u"mstr2bak.mdb"_s)));
    removeDatabase(u"master2"_s);
    prompts.expectError();
    EXPECT_FALSE(accounts->CreateAccount(7));
    EXPECT_TRUE(prompts.lastMessage().text.contains(u"MASTER2.MDB"_s))
        << prompts.lastMessage().text.toStdString();
    EXPECT_EQ(accountsInRange(), 2) << "no part of an account without its receivables row";
}

TEST_F(BillingAccountsTest, LinkingCopiesTheAccountAndGuardsSuspendedOnes) {
    addAccount(1001, 0, 1);
    exec(u"master"_s, u"insert into address (acctnumber, mailname, mailaddr1, mailstate, "
                      "mailemail, altname) values (1001, 'Siobhán O''Neill 🌷', '12 Rue "
                      "d''Été', 'PA', 'siobhan@example.com', 'Seán')"_s);
    const auto linked = accounts->LinkAccount(1001);
    ASSERT_TRUE(linked.has_value());
    EXPECT_TRUE(linked->taxExempt);
    EXPECT_EQ(module->checks.TaxExemptFlag, 1);
    EXPECT_EQ(linked->classcode, u"FM"_s);
    EXPECT_EQ(box(EventField::BillingName), u"Siobhán O'Neill 🌷"_s);
    EXPECT_EQ(box(EventField::BillingAddress1), u"12 Rue d'Été"_s);
    EXPECT_EQ(box(EventField::BillingState), u"PA"_s);
    EXPECT_EQ(box(EventField::BillingEmail), u"siobhan@example.com"_s);
    EXPECT_EQ(box(EventField::ContactName), u"Seán"_s);

    box(EventField::Account) = u"5"_s;
    EXPECT_FALSE(accounts->LinkAccount(5));
    EXPECT_EQ(prompts.lastMessage().text, u"Account # 5 does not exist."_s);
    EXPECT_TRUE(box(EventField::Account).isEmpty());

    addAccount(1002, 1);
    // No at any level; Yes below evaccess3 (90) is told; Yes at it links.
    for (const auto &[level, yes, linked] :
         {std::tuple{99, false, false}, {89, true, false}, {90, true, true}}) {
        signIn(level);
        box(EventField::Account) = u"1002"_s;
        prompts.clear();
        prompts.answerYesNo(yes);
        EXPECT_EQ(accounts->LinkAccount(1002).has_value(), linked) << level;
        EXPECT_EQ(prompts.questions.last().text,
                  u"Member account # 1002 is currently a suspended account.\r\n"
                  "Link this event to it anyway?"_s);
        EXPECT_EQ(box(EventField::Account).isEmpty(), !linked);
        EXPECT_EQ(prompts.messageTexts(),
                  yes && !linked ? QStringList{u"Access level 3 is required for this override."_s}
                                 : QStringList());
    }
}

TEST_F(BillingAccountsTest, SavingWritesTheAddressOfEventAccountsOnly) {
    addAccount(1001);
    exec(u"master"_s, u"insert into address (acctnumber, mailname) values (1001, 'Member')"_s);
    ASSERT_TRUE(accounts->CreateAccount(5));
    box(EventField::BillingName) = u"Renée O'Hara"_s;
    box(EventField::ContactEmail) = QString(80, QLatin1Char('e'));
    accounts->UpdateAccount();
    EXPECT_EQ(prompts.lastMessage().text, u"Billing Account # 90000 updated."_s);
    EXPECT_EQ(field(u"mailname"_s, u"address"_s, 90000), u"Renée O'Hara"_s);
    EXPECT_EQ(field(u"altemail"_s, u"address"_s, 90000).size(), 75);

    prompts.clear();
    box(EventField::Account) = u"1001"_s;
    accounts->UpdateAccount();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(field(u"mailname"_s, u"address"_s, 1001), u"Member"_s)
        << "a member's own address is not the event's to change";

    box(EventField::Account) = u"90500"_s;
    accounts->UpdateAccount();
    EXPECT_EQ(prompts.lastMessage().text,
              u"The billing account for this event does not exist and therefore "
              "cannot be used for billing."_s);

    box(EventField::Account) = u"90000"_s;
    box(EventField::BillingName) = u"Changed during month end"_s;
    touch(u"mstr2bak.mdb"_s);
    accounts->UpdateAccount();
    EXPECT_EQ(prompts.lastMessage().text,
              u"Unable to update accounts during month-end billing process. Try again later."_s);
    EXPECT_EQ(field(u"mailname"_s, u"address"_s, 90000), u"Renée O'Hara"_s);
}

// The account button over an event typed into the boxes.
class AccountButtonTest : public BillingAccountsTest {
protected:
    void SetUp() override {
        BillingAccountsTest::SetUp();
        record = std::make_unique<EventRecord>(*module);
        button =
            std::make_unique<AccountAssignment>(module->messages, module->session, module->config,
                                                module->event, *record, window, *accounts);
        for (const auto &[field, text] : {std::pair{EventField::Date, "20270801"},
                                          {EventField::Title, "Dinner"},
                                          {EventField::Number, "12"},
                                          {EventField::Start, "18:00"},
                                          {EventField::End, "22:00"},
                                          {EventField::Status, "2"},
                                          {EventField::Guests, "40"},
                                          {EventField::Guarantee, "35"},
                                          {EventField::Room, "1"},
                                          {EventField::Member, "2"}})
            box(field) = QString::fromLatin1(text);
    }
    std::unique_ptr<EventRecord> record;
    EventWindow window;
    std::unique_ptr<AccountAssignment> button;
};

TEST_F(AccountButtonTest, TheAccountBoxDecidesBetweenCreatingLinkingAndAsking) {
    box(EventField::Start).clear();
    box(EventField::Status).clear();
    button->assignAccount();
    EXPECT_EQ(prompts.lastMessage().text,
              u"A billing account cannot be created until basic information is completed."_s);
    EXPECT_EQ(window.fieldColor[EventField::Start], EventWindow::Red);
    EXPECT_EQ(window.fieldColor[EventField::End], EventWindow::White);
    EXPECT_TRUE(window.statusMissing);
    box(EventField::Start) = u"18:00"_s;
    box(EventField::Status) = u"2"_s;

    for (const char *refused : {"-5", "100000", "abc", "12abc", "1e3", "1001.005"}) {
        SCOPED_TRACE(refused);
        prompts.clear();
        box(EventField::Account) = QString::fromLatin1(refused);
        button->assignAccount();
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(
            u"Account #: \"%1\" "_s.arg(QString::fromLatin1(refused))));
        EXPECT_EQ(box(EventField::Account), QString::fromLatin1(refused)) << "kept to be corrected";
        EXPECT_EQ(window.focusField, EventField::Account);
        EXPECT_EQ(accountsInRange(), 0);
        EXPECT_TRUE(record->classCodeText.isEmpty()) << "nothing linked";
    }
    for (const char *asked : {"new", ""}) {
        SCOPED_TRACE(asked);
        box(EventField::Account) = QString::fromLatin1(asked);
        button->assignAccount();
        EXPECT_GE(box(EventField::Account).toDouble(), 90000)
            << "a non-member event's account is created";
        EXPECT_EQ(record->classCodeText, u"Classcode: EV"_s);
    }
    EXPECT_EQ(accountsInRange(), 2);

    addAccount(1001);
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    box(EventField::Account) = u"1,001"_s;
    button->assignAccount();
    EXPECT_EQ(record->classCodeText, u"Classcode: FM"_s);

    // A member event without a number: asked whether it is new.
    box(EventField::Member) = u"1"_s;
    box(EventField::Account).clear();
    window.focusField.reset();
    prompts.answerYesNo(false);
    button->assignAccount();
    EXPECT_EQ(
        prompts.questions.last().text,
        u"Is this a new event billing account?  \r\n(i.e. not an already existing account)"_s);
    EXPECT_EQ(prompts.lastMessage().text,
              u"Please enter the desired billing/member  \r\naccount number or "
              "press F-5 for a lookup."_s);
    EXPECT_EQ(window.focusField, EventField::Account);

    prompts.clear();
    prompts.answerYesNo(true);
    button->assignAccount();
    EXPECT_TRUE(prompts.messages.isEmpty()) << "nothing created or linked for a member";
    EXPECT_EQ(accountsInRange(), 2);
}

} // namespace
