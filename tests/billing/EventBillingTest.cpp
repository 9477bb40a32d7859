#include "billing/EventBilling.h"

#include "BillingFixture.h"

#include <QFile>
#include <QSqlRecord>

namespace {

using Billed = EventBilling::Billed;

class EventBillingTest : public BillingFixture {
protected:
    void SetUp() override {
        BillingFixture::SetUp();
        addAccount(1001);
        exec(QStringLiteral("ar"),
             QStringLiteral("insert into ar0 (aracctnum, ardesc, arapplytominimum, artototal, "
                            "arppcode, arinstallcode) values (4010, 'Banquets', 1, 1, 3, 2)"));
    }
    Billed bill(int event, double account = 1001, int employee = 0) {
        return EventBilling(*module).BillEvent(event, account, employee);
    }
    QVariantList charge(const QString &memo, const QString &table = QStringLiteral("ardaily")) {
        Databases databases(settings());
        auto db = databases.open(QStringLiteral("daily"));
        EXPECT_TRUE(db.ok());
        auto row =
            db.value()->exec(QStringLiteral("select * from %1 where memo = ?").arg(table), {memo});
        EXPECT_TRUE(row && row->next()) << memo.toStdString();
        QVariantList values;
        for (int i = 0; row && i < row->record().count(); ++i)
            values << row->value(i);
        return values;
    }
    static QString money(const QVariant &value) {
        return Money::fromVariant(value).value_or(Money::fromUnits(-1)).toString();
    }
};

TEST_F(EventBillingTest, DailyBillingChargesEachItemOnceIntoTheWorkArea) {
    addEvent(7);
    addEvent(8);
    const QString sixty =
        QStringLiteral("Carved prime rib, horseradish cream, Yorkshire puddings!");
    ASSERT_EQ(sixty.size() + 4, 60);
    addItem(7, QStringLiteral("Plated dinner"), 4010, QStringLiteral("1000.10"),
            QStringLiteral("180.02"), QStringLiteral("64.8125"));
    addItem(7, sixty + QStringLiteral(" x40"), 4999, QStringLiteral("12"), QStringLiteral("0"),
            QStringLiteral("0.96"));
    addItem(7, QStringLiteral("Coffee"), 4010, QStringLiteral("30"), QStringLiteral("5.4"),
            QStringLiteral("2.4"));
    addItem(8, QStringLiteral("Another event's wine"), 4010, QStringLiteral("99"),
            QStringLiteral("0"), QStringLiteral("0"));

    prompts.answerYesNo(true);
    EXPECT_EQ(bill(7, 1001, 77), Billed::Charged);
    EXPECT_EQ(prompts.questions.first().text, QStringLiteral("Bill this event now?"));
    EXPECT_EQ(prompts.questions.first().title, QStringLiteral("Please confirm"));
    EXPECT_EQ(status(7), 5);
    EXPECT_EQ(status(8), 4);
    EXPECT_EQ(charges(7), 3) << "one charge per item, however the tables are joined";
    EXPECT_EQ(charges(8), 0);
    EXPECT_EQ(charges(7, QStringLiteral("armonthly")), 0);

    const QVariantList dinner = charge(QStringLiteral("Plated dinner"));
    ASSERT_EQ(dinner.size(), 18);
    EXPECT_EQ(dinner[0].toInt(), 4010);                     // aracctnum: the item's glnum
    EXPECT_EQ(dinner[1].toString(), QStringLiteral("EV7")); // architnum
    EXPECT_EQ(dinner[2].toInt(), 20261206);                 // architdate: today
    EXPECT_EQ(dinner[3].toDouble(), 1001);                  // armemberacctnum
    EXPECT_EQ(dinner[4].toDouble(), 77);                    // architemployee
    EXPECT_EQ(dinner[5].toInt(), 0);                        // architcovers
    EXPECT_EQ(money(dinner[6]), QStringLiteral("1000.1"));
    EXPECT_EQ(money(dinner[7]), QStringLiteral("180.02"));
    EXPECT_EQ(money(dinner[8]), QStringLiteral("64.8125"));
    EXPECT_EQ(money(dinner[9]), QStringLiteral("1244.9325")) << "exact, never via double";
    EXPECT_EQ((QList<int>{dinner[10].toInt(), dinner[11].toInt(), dinner[12].toInt(),
                          dinner[13].toInt()}),
              (QList<int>{1, 1, 3, 2}))
        << "the codes of the ar0 row";
    EXPECT_EQ(dinner[14].toString(), QStringLiteral("EV7")); // batch, daily only
    EXPECT_TRUE(dinner[15].isNull());                        // validated, monthly only
    EXPECT_EQ(dinner[17].toInt(), 9);                        // tendtype

    const QVariantList prime = charge(sixty.left(40));
    ASSERT_EQ(prime.size(), 18);
    EXPECT_EQ(
        (QList<int>{prime[10].toInt(), prime[11].toInt(), prime[12].toInt(), prime[13].toInt()}),
        (QList<int>{0, 0, 0, 0}))
        << "no ar0 row for 4999";

    // The same window after Clear, or another workstation: never twice.
    prompts.answerYesNo(true);
    EXPECT_EQ(bill(7), Billed::AlreadyBilled);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Event #7 has already been billed. Nothing was charged again."));
    EXPECT_EQ(charges(7), 3);
}

TEST_F(EventBillingTest, MonthlyBillingPostsStraightToTheAccount) {
    module->config.BillingMode = 1;
    addEvent(123456789, 4, 1001);
    addItem(123456789, QStringLiteral("Room fee"), 4010, QStringLiteral("250"), QStringLiteral("0"),
            QStringLiteral("0"));
    prompts.answerYesNo(true);
    EXPECT_EQ(bill(123456789), Billed::Charged);
    EXPECT_EQ(charges(123456789, QStringLiteral("ardaily")), 0);
    const QVariantList fee = charge(QStringLiteral("Room fee"), QStringLiteral("armonthly"));
    ASSERT_EQ(fee.size(), 18);
    EXPECT_EQ(fee[1].toString(), QStringLiteral("EV12345678")) << "cut to ten characters";
    EXPECT_TRUE(fee[14].isNull());                      // batch, daily only
    EXPECT_EQ(fee[15].toString(), QStringLiteral("P")); // validated
    EXPECT_EQ(fee[4].toDouble(), 0) << "no employee";
}

TEST_F(EventBillingTest, AnEventWithoutItemsIsMarkedBilledOnlyAtTheOperatorsWord) {
    addEvent(9);
    prompts.answerYesNo(false);
    EXPECT_EQ(bill(9), Billed::NotBilled);
    EXPECT_EQ(module->channel.MessageText, QStringLiteral("Bill this event now?"))
        << "declined: the question's own text, no outcome";
    EXPECT_TRUE(prompts.messages.isEmpty());

    prompts.answerYesNo(true);
    prompts.answerYesNo(false);
    EXPECT_EQ(bill(9), Billed::NotBilled);
    EXPECT_EQ(prompts.questions.last().text,
              QStringLiteral("There are no items to bill for event # 9\r\n\r\nChange the event "
                             "status to '5-Done/Billed' anyway?"));
    EXPECT_EQ(prompts.questions.last().title, QStringLiteral("FYI..."));
    EXPECT_EQ(status(9), 4);

    prompts.answerYesNo(true);
    prompts.answerYesNo(true);
    EXPECT_EQ(bill(9), Billed::MarkedBilled);
    EXPECT_EQ(status(9), 5) << "stored at once, as a billing is";
}

TEST_F(EventBillingTest, RefusedBillingsWriteNothing) {
    addEvent(7);
    addItem(7, QStringLiteral("Coffee"), 4010, QStringLiteral("30"), QStringLiteral("0"),
            QStringLiteral("0"));
    const auto nothingWritten = [&] {
        EXPECT_EQ(status(7), 4);
        EXPECT_EQ(charges(7), 0);
    };

    {
        SCOPED_TRACE("month-end receivables run");
        QFile marker(path(QStringLiteral("MSTR2BAK.MDB")));
        ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
        marker.close();
        EXPECT_EQ(bill(7), Billed::NotBilled);
        EXPECT_TRUE(prompts.questions.isEmpty()) << "nothing is asked";
        EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("A/R processing is active..."));
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(
            QStringLiteral("Event billing cannot be performed while month-end A/R \r\n")));
        nothingWritten();
        ASSERT_TRUE(marker.remove());
    }
    {
        SCOPED_TRACE("an account that does not exist");
        EXPECT_EQ(bill(7, 4021), Billed::NotBilled);
        EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Account # 4021 does not exist."));
        nothingWritten();
    }
    {
        SCOPED_TRACE("not ready: status 3");
        exec(QStringLiteral("evnt"), QStringLiteral("update eventinfo set status = 3"));
        prompts.answerYesNo(true);
        EXPECT_EQ(bill(7), Billed::NotBilled);
        EXPECT_TRUE(prompts.lastMessage().text.contains(QStringLiteral("no longer ready")));
        EXPECT_EQ(charges(7), 0);
        exec(QStringLiteral("evnt"), QStringLiteral("update eventinfo set status = 4"));
    }
    {
        SCOPED_TRACE("the account changed on another workstation");
        addAccount(1002);
        exec(QStringLiteral("evnt"), QStringLiteral("update eventinfo set custid = 1002"));
        prompts.answerYesNo(true);
        EXPECT_EQ(bill(7, 1001), Billed::NotBilled);
        EXPECT_TRUE(
            prompts.lastMessage().text.contains(QStringLiteral("billing account was changed")));
        nothingWritten();
        exec(QStringLiteral("evnt"), QStringLiteral("update eventinfo set custid = 1001"));
    }
    {
        SCOPED_TRACE("items of an event that is gone");
        addItem(99, QStringLiteral("Orphan"), 4010, QStringLiteral("1"), QStringLiteral("0"),
                QStringLiteral("0"));
        prompts.answerYesNo(true);
        EXPECT_EQ(bill(99), Billed::Deleted);
        EXPECT_TRUE(prompts.lastMessage().text.contains(QStringLiteral("could not be found")));
        EXPECT_EQ(charges(99), 0);
    }
    for (const QString &missing : {QStringLiteral("ar"), QStringLiteral("daily")}) {
        SCOPED_TRACE(missing.toStdString());
        removeDatabase(missing);
        prompts.clear();
        prompts.answerYesNo(true);
        prompts.expectError();
        EXPECT_EQ(bill(7), Billed::NotBilled);
        EXPECT_TRUE(
            prompts.lastMessage().text.contains(Databases::fileName(missing), Qt::CaseInsensitive))
            << prompts.lastMessage().text.toStdString();
        EXPECT_EQ(status(7), 4);
        auto made = Databases(settings()).create(missing);
        ASSERT_TRUE(made.ok());
    }
}

TEST_F(EventBillingTest, AFailedChargeLeavesNoChargeAndTheEventUnbilled) {
    addEvent(7);
    for (const char *item : {"First", "Second", "Third", "Fourth"})
        addItem(7, QString::fromLatin1(item), 4010, QStringLiteral("10"), QStringLiteral("1"),
                QStringLiteral("0.5"));
    addFault(QStringLiteral("daily"), QStringLiteral("third_fails"), QStringLiteral("insert"),
             QStringLiteral("ardaily"), QStringLiteral("new.memo = 'Third'"),
             QStringLiteral("disk full"));
    prompts.answerYesNo(true);
    prompts.expectError();
    EXPECT_EQ(bill(7), Billed::NotBilled);
    EXPECT_EQ(status(7), 4);
    EXPECT_EQ(charges(7), 0) << "the first two charges went with the failure";

    removeFault(QStringLiteral("daily"), QStringLiteral("third_fails"), QStringLiteral("ardaily"));
    prompts.answerYesNo(true);
    EXPECT_EQ(bill(7), Billed::Charged);
    EXPECT_EQ(charges(7), 4);
}

} // namespace
