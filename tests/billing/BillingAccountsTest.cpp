#include "billing/BillingAccounts.h"

#include "BillingFixture.h"
#include "events/AccountAssignment.h"
#include "events/EventRecord.h"
#include "events/EventWindow.h"

#include <QFile>

namespace {

class BillingAccountsTest : public BillingFixture {
protected:
    void SetUp() override {
        BillingFixture::SetUp();
        accounts = std::make_unique<BillingAccounts>(*module);
    }
    // How many of the five tables hold a row for the account.
    int rowsOf(double number) {
        int rows = 0;
        for (const auto &[database, table] :
             {std::pair{"master", "acctinfo"}, std::pair{"master", "address"},
              std::pair{"master", "interesta"}, std::pair{"master", "comments"},
              std::pair{"master2", "ar"}})
            rows += count(QString::fromLatin1(database),
                          QStringLiteral("select count(*) from %1 where acctnumber = ?")
                              .arg(QString::fromLatin1(table)),
                          {number});
        return rows;
    }
    int accountsInRange() {
        return count(QStringLiteral("master"), QStringLiteral("select count(*) from acctinfo "
                                                              "where acctnumber >= 90000"));
    }
    QString &box(EventField field) { return module->event.fields[field]; }

    std::unique_ptr<BillingAccounts> accounts;
};

TEST_F(BillingAccountsTest, ANewAccountTakesTheNextNumberWithAllItsRows) {
    for (double number : {90000.0, 90001.0, 90002.0, 90003.0, 90004.0, 1001.0})
        addAccount(number);
    // 47 letters, then emoji: the second straddles the column's 50th unit.
    const QString name = QStringLiteral("O'Brien & Søn Catering Company of Philadelphia.") +
                         QStringLiteral("🎉🎉🎉 and more");
    box(EventField::BillingName) = name;
    box(EventField::BillingState) = QStringLiteral("PA");
    box(EventField::BillingEmail) = QStringLiteral("events@obrien.example.com");
    box(EventField::ContactName) = QStringLiteral("Zoë D'Angelo");

    const auto number = accounts->CreateAccount(42);
    ASSERT_TRUE(number.ok());
    EXPECT_EQ(*number, 90005) << "the sixth number of the range";
    EXPECT_EQ(box(EventField::Account), QStringLiteral("90005"));
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Billing Account # 90005 created."));
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Successful..."));
    EXPECT_EQ(rowsOf(90005), 5);
    EXPECT_EQ(scalar(QStringLiteral("master"),
                     QStringLiteral("select lname from acctinfo where acctnumber = 90005"))
                  .toString(),
              QStringLiteral("Event #42"));
    EXPECT_EQ(scalar(QStringLiteral("master"),
                     QStringLiteral("select classcode || '/' || billcode from acctinfo where "
                                    "acctnumber = 90005"))
                  .toString(),
              QStringLiteral("EV/E"));
    const QString stored = scalar(QStringLiteral("master"),
                                  QStringLiteral("select mailname from address where acctnumber = "
                                                 "90005"))
                               .toString();
    EXPECT_TRUE(name.startsWith(stored));
    EXPECT_EQ(stored.size(), 49);
    EXPECT_FALSE(stored.back().isHighSurrogate()) << "no emoji cut in half";
    EXPECT_EQ(scalar(QStringLiteral("master"),
                     QStringLiteral("select altname from address where acctnumber = 90005"))
                  .toString(),
              QStringLiteral("Zoë D'Angelo"));
}

TEST_F(BillingAccountsTest, TheTillsAreToldOfANewAccountWhenTheyAreThere) {
    int exports = 0;
    QString mode;
    QObject::connect(accounts.get(), &BillingAccounts::pointOfSaleExportRequested,
                     [&](const QString &requested) {
                         ++exports;
                         mode = requested;
                     });
    ASSERT_TRUE(accounts->CreateAccount(1));
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Billing Account # 90000 created."));
    EXPECT_EQ(exports, 0) << "a club without tills";
    touch(QStringLiteral("TILLZO.EXE"));
    ASSERT_TRUE(accounts->CreateAccount(2));
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Billing Account # 90001 created.\r\nClick OK to update Tillzo POS "
                             "with new account information..."));
    EXPECT_EQ(exports, 1) << "the export window is built in";
    EXPECT_EQ(mode, QStringLiteral("16"));
}

TEST_F(BillingAccountsTest, NoAccountWhenTheRangeIsUsedUpUnsetOrMonthEndRuns) {
    const QString missing = QStringLiteral(
        "A key configuration setting is missing. The from/to automatic member number range \r\n"
        "has not been configured. This is necessary before member billing accounts \r\n"
        "can be created from within the event scheduling module.");
    struct Range {
        const char *what;
        double from, to;
        QString message;
    } ranges[] = {
        {"unset", 0, 0, missing},
        {"reversed", 90010, 90000, missing},
        {"above the highest number", 90000, 100000, missing},
        {"used up", 90000, 90001,
         QStringLiteral("The range of allocated member numbers has been used up. \r\n"
                        "The configuration option must be expanded before more \r\n"
                        "accounts can be created through the event scheduling \r\nmodule.")},
    };
    addAccount(90000);
    addAccount(90001);
    for (const Range &range : ranges) {
        SCOPED_TRACE(range.what);
        module->config.RangeFrom = range.from;
        module->config.RangeTo = range.to;
        box(EventField::Account).clear();
        EXPECT_FALSE(accounts->CreateAccount(7));
        EXPECT_EQ(prompts.lastMessage().text, range.message);
        EXPECT_EQ(accountsInRange(), 2);
        EXPECT_TRUE(box(EventField::Account).isEmpty());
    }

    loadConfiguration();
    touch(QStringLiteral("mstr2bak.mdb"));
    const auto duringMonthEnd = accounts->CreateAccount(7);
    EXPECT_FALSE(duringMonthEnd);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Unable to create accounts during month-end billing process. Try "
                             "again later."));
    EXPECT_EQ(duringMonthEnd.error(), BillingAccounts::NoAccount::MonthEndRunning);
    EXPECT_EQ(accountsInRange(), 2);

    ASSERT_TRUE(QFile::remove(path(QStringLiteral("mstr2bak.mdb"))));
    removeDatabase(QStringLiteral("master2"));
    prompts.expectError();
    EXPECT_FALSE(accounts->CreateAccount(7));
    EXPECT_TRUE(prompts.lastMessage().text.contains(QStringLiteral("MASTER2.MDB")))
        << prompts.lastMessage().text.toStdString();
    EXPECT_EQ(accountsInRange(), 2) << "no part of an account without its receivables row";
}

TEST_F(BillingAccountsTest, ANumberAlreadyTakenInAnotherTableIsSteppedOver) {
    // A row the suite left behind without its account: the next number.
    exec(QStringLiteral("master2"), QStringLiteral("insert into ar (acctnumber) values (90000)"));
    const auto number = accounts->CreateAccount(3);
    ASSERT_TRUE(number.ok());
    EXPECT_EQ(*number, 90001);
    EXPECT_EQ(rowsOf(90001), 5);
    EXPECT_EQ(rowsOf(90000), 1) << "the stray row untouched, nothing added to it";
}

TEST_F(BillingAccountsTest, LinkingCopiesTheAccountAndGuardsSuspendedOnes) {
    addAccount(1001, 0, 1);
    exec(QStringLiteral("master"),
         QStringLiteral("insert into address (acctnumber, mailname, mailaddr1, mailstate, "
                        "mailemail, altname) values (1001, 'Siobhán O''Neill 🌷', '12 Rue "
                        "d''Été', 'PA', 'siobhan@example.com', 'Seán')"));
    const auto linked = accounts->LinkAccount(1001);
    ASSERT_TRUE(linked.has_value());
    EXPECT_TRUE(linked->taxExempt);
    EXPECT_EQ(module->checks.TaxExemptFlag, 1);
    EXPECT_EQ(linked->classcode, QStringLiteral("FM"));
    EXPECT_EQ(box(EventField::BillingName), QStringLiteral("Siobhán O'Neill 🌷"));
    EXPECT_EQ(box(EventField::BillingAddress1), QStringLiteral("12 Rue d'Été"));
    EXPECT_EQ(box(EventField::BillingState), QStringLiteral("PA"));
    EXPECT_EQ(box(EventField::BillingEmail), QStringLiteral("siobhan@example.com"));
    EXPECT_EQ(box(EventField::ContactName), QStringLiteral("Seán"));

    box(EventField::Account) = QStringLiteral("5");
    EXPECT_FALSE(accounts->LinkAccount(5));
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Account # 5 does not exist."));
    EXPECT_TRUE(box(EventField::Account).isEmpty());

    addAccount(1002, 1);
    struct Try {
        const char *what;
        int level;
        bool yes;
        bool linked;
    } tries[] = {{"answered No", 99, false, false},
                 {"Yes below evaccess3", 89, true, false},
                 {"Yes at evaccess3", 90, true, true}};
    for (const Try &t : tries) {
        SCOPED_TRACE(t.what);
        signIn(t.level);
        box(EventField::Account) = QStringLiteral("1002");
        prompts.clear();
        prompts.answerYesNo(t.yes);
        EXPECT_EQ(accounts->LinkAccount(1002).has_value(), t.linked);
        EXPECT_EQ(prompts.questions.last().text,
                  QStringLiteral("Member account # 1002 is currently a suspended account.\r\n"
                                 "Link this event to it anyway?"));
        EXPECT_EQ(box(EventField::Account).isEmpty(), !t.linked);
        if (t.yes && !t.linked) {
            EXPECT_EQ(prompts.lastMessage().text,
                      QStringLiteral("Access level 3 is required for this override."));
        }
    }
}

TEST_F(BillingAccountsTest, SavingWritesTheAddressOfEventAccountsOnly) {
    addAccount(1001);
    exec(QStringLiteral("master"),
         QStringLiteral("insert into address (acctnumber, mailname) values (1001, 'Member')"));
    ASSERT_TRUE(accounts->CreateAccount(5));
    box(EventField::BillingName) = QStringLiteral("Renée O'Hara");
    box(EventField::ContactEmail) = QString(80, QLatin1Char('e'));
    accounts->UpdateAccount();
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Billing Account # 90000 updated."));
    EXPECT_EQ(scalar(QStringLiteral("master"),
                     QStringLiteral("select mailname from address where acctnumber = 90000"))
                  .toString(),
              QStringLiteral("Renée O'Hara"));
    EXPECT_EQ(scalar(QStringLiteral("master"),
                     QStringLiteral("select altemail from address where acctnumber = 90000"))
                  .toString()
                  .size(),
              75);

    prompts.clear();
    box(EventField::Account) = QStringLiteral("1001");
    accounts->UpdateAccount();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("master"),
                     QStringLiteral("select mailname from address where acctnumber = 1001"))
                  .toString(),
              QStringLiteral("Member"))
        << "a member's own address is not the event's to change";

    box(EventField::Account) = QStringLiteral("90500");
    accounts->UpdateAccount();
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("The billing account for this event does not exist and therefore "
                             "cannot be used for billing."));

    box(EventField::Account) = QStringLiteral("90000");
    box(EventField::BillingName) = QStringLiteral("Changed during month end");
    touch(QStringLiteral("mstr2bak.mdb"));
    accounts->UpdateAccount();
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Unable to update accounts during month-end billing process. Try "
                             "again later."));
    EXPECT_EQ(scalar(QStringLiteral("master"),
                     QStringLiteral("select mailname from address where acctnumber = 90000"))
                  .toString(),
              QStringLiteral("Renée O'Hara"));
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
        box(EventField::Date) = QStringLiteral("20270801");
        box(EventField::Title) = QStringLiteral("Dinner");
        box(EventField::Number) = QStringLiteral("12");
        box(EventField::Start) = QStringLiteral("18:00");
        box(EventField::End) = QStringLiteral("22:00");
        box(EventField::Status) = QStringLiteral("2");
        box(EventField::Guests) = QStringLiteral("40");
        box(EventField::Guarantee) = QStringLiteral("35");
        box(EventField::Room) = QStringLiteral("1");
        box(EventField::Member) = QStringLiteral("2");
    }
    std::unique_ptr<EventRecord> record;
    EventWindow window;
    std::unique_ptr<AccountAssignment> button;
};

TEST_F(AccountButtonTest, TheAccountBoxDecidesBetweenCreatingAndLinking) {
    box(EventField::Start).clear();
    box(EventField::Status).clear();
    button->assignAccount();
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("A billing account cannot be created until basic information is "
                             "completed."));
    EXPECT_EQ(window.fieldColor[EventField::Start], EventWindow::Red);
    EXPECT_EQ(window.fieldColor[EventField::End], EventWindow::White);
    EXPECT_TRUE(window.statusMissing);
    box(EventField::Start) = QStringLiteral("18:00");
    box(EventField::Status) = QStringLiteral("2");

    for (const char *refused : {"-5", "100000", "abc", "12abc", "1e3", "1001.005"}) {
        SCOPED_TRACE(refused);
        prompts.clear();
        box(EventField::Account) = QString::fromLatin1(refused);
        button->assignAccount();
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(
            QStringLiteral("Account #: \"%1\" ").arg(QString::fromLatin1(refused))));
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
        EXPECT_EQ(record->classCodeText, QStringLiteral("Classcode: EV"));
    }
    EXPECT_EQ(accountsInRange(), 2);

    addAccount(1001);
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    box(EventField::Account) = QStringLiteral("1,001");
    button->assignAccount();
    EXPECT_EQ(record->classCodeText, QStringLiteral("Classcode: FM"));
}

TEST_F(AccountButtonTest, AMemberEventWithoutNumberAsksWhetherItIsNew) {
    box(EventField::Member) = QStringLiteral("1");
    box(EventField::Account).clear();
    prompts.answerYesNo(false);
    button->assignAccount();
    EXPECT_EQ(prompts.questions.last().text,
              QStringLiteral("Is this a new event billing account?  \r\n(i.e. not an already "
                             "existing account)"));
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Please enter the desired billing/member  \r\naccount number or "
                             "press F-5 for a lookup."));
    EXPECT_EQ(window.focusField, EventField::Account);

    prompts.clear();
    prompts.answerYesNo(true);
    button->assignAccount();
    EXPECT_TRUE(prompts.messages.isEmpty()) << "nothing created or linked for a member";
    EXPECT_EQ(accountsInRange(), 0);
}

} // namespace
