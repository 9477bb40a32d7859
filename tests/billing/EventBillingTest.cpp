#include "billing/EventBilling.h"

#include "BillingFixture.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

using Billed = EventBilling::Billed;

class EventBillingTest : public BillingFixture {
protected:
    void SetUp() override {
        BillingFixture::SetUp();
        addAccount(1001);
        exec(u"ar"_s, u"insert into ar0 (aracctnum, ardesc, arapplytominimum, artototal, "
                      "arppcode, arinstallcode) values (4010, 'Banquets', 1, 1, 3, 2)"_s);
    }
    Billed bill(int event, double account = 1001, int employee = 0) {
        return EventBilling(*module).BillEvent(event, account, employee);
    }
    // The charge of that memo, its values separated by "|".
    QString charge(const QString &memo, const QString &table = u"ardaily"_s) {
        return rowTexts(u"daily"_s, u"select * from %1 where memo = ?"_s.arg(table), {memo})
            .value(0);
    }
};

TEST_F(EventBillingTest, DailyBillingChargesEachItemOnceIntoTheWorkAreaMonthlyToTheAccount) {
    addEvent(7);
    addEvent(8);
    const QString sixty = u"Carved prime rib, horseradish cream, Yorkshire puddings!"_s;
    ASSERT_EQ(sixty.size() + 4, 60);
    addItem(7, u"Plated dinner"_s, 4010, u"1000.10"_s, u"180.02"_s, u"64.8125"_s);
    addItem(7, sixty + u" x40"_s, 4999, u"12"_s, u"0"_s, u"0.96"_s);
    addItem(7, u"Coffee"_s, 4010, u"30"_s, u"5.4"_s, u"2.4"_s);
    addItem(8, u"Another event's wine"_s, 4010, u"99"_s, u"0"_s, u"0"_s);

    prompts.answerYesNo(true);
    EXPECT_EQ(bill(7, 1001, 77), Billed::Charged);
    EXPECT_EQ(prompts.questions.first().text, u"Bill this event now?"_s);
    EXPECT_EQ(prompts.questions.first().title, u"Please confirm"_s);
    EXPECT_EQ(status(7), 5);
    EXPECT_EQ(status(8), 4);
    EXPECT_EQ(charges(7), 3) << "one charge per item, however the tables are joined";
    EXPECT_EQ(charges(8), 0);
    EXPECT_EQ(charges(7, u"armonthly"_s), 0);

    // Account (the item's glnum), EV and the event, today, member account,
    // employee, covers, the amounts (exact, never via double), the codes of
    // the ar0 row, the batch (daily only), validated (monthly only).
    EXPECT_EQ(charge(u"Plated dinner"_s), u"4010|EV7|20261206|1001|77|0|1000.1|180.02|64.8125|"
                                          "1244.9325|1|1|3|2|EV7|<null>|Plated dinner|9"_s);
    EXPECT_EQ(charge(sixty.left(40)),
              u"4999|EV7|20261206|1001|77|0|12|0|0.96|12.96|0|0|0|0|EV7|<null>|"_s +
                  sixty.left(40) + u"|9"_s)
        << "no ar0 row for 4999";

    // The same window after Clear, or another workstation: never twice.
    prompts.answerYesNo(true);
    EXPECT_EQ(bill(7), Billed::AlreadyBilled);
    EXPECT_EQ(prompts.lastMessage().text,
              u"Event #7 has already been billed. Nothing was charged again."_s);
    EXPECT_EQ(charges(7), 3);

    // Monthly billing posts straight to the account: EV and the event cut to
    // ten characters, no employee, no batch, validated.
    module->config.BillingMode = 1;
    addEvent(123456789);
    addItem(123456789, u"Room fee"_s, 4010, u"250"_s, u"0"_s, u"0"_s);
    prompts.answerYesNo(true);
    EXPECT_EQ(bill(123456789), Billed::Charged);
    EXPECT_EQ(charges(123456789), 0);
    EXPECT_EQ(charge(u"Room fee"_s, u"armonthly"_s),
              u"4010|EV12345678|20261206|1001|0|0|250|0|0|250|1|1|3|2|<null>|P|Room fee|9"_s);
}

TEST_F(EventBillingTest, AnEventWithoutItemsIsMarkedBilledOnlyAtTheOperatorsWord) {
    addEvent(9);
    prompts.answerYesNo(false);
    EXPECT_EQ(bill(9), Billed::NotBilled);
    EXPECT_EQ(module->channel.MessageText, u"Bill this event now?"_s)
        << "declined: the question's own text, no outcome";
    EXPECT_TRUE(prompts.messages.isEmpty());

    prompts.answerYesNo(true);
    prompts.answerYesNo(false);
    EXPECT_EQ(bill(9), Billed::NotBilled);
    EXPECT_EQ(prompts.questions.last().text,
              u"There are no items to bill for event # 9\r\n\r\nChange the event "
              "status to '5-Done/Billed' anyway?"_s);
    EXPECT_EQ(prompts.questions.last().title, u"FYI..."_s);
    EXPECT_EQ(status(9), 4);

    prompts.answerYesNo(true);
    prompts.answerYesNo(true);
    EXPECT_EQ(bill(9), Billed::MarkedBilled);
    EXPECT_EQ(status(9), 5) << "stored at once, as a billing is";
}

TEST_F(EventBillingTest, RefusedOrFailedBillingsWriteNothing) {
    addEvent(7);
    addItem(7, u"Coffee"_s, 4010, u"30"_s, u"0"_s, u"0"_s);
    const auto refused = [&](int event, double account, const QString &said) {
        EXPECT_EQ(bill(event, account), event == 99 ? Billed::Deleted : Billed::NotBilled);
        EXPECT_TRUE(prompts.lastMessage().text.contains(said))
            << prompts.lastMessage().text.toStdString();
        EXPECT_EQ(status(7), 4);
        EXPECT_EQ(charges(event), 0);
    };
    touch(u"MSTR2BAK.MDB"_s); // a month-end receivables run: nothing is asked
    refused(7, 1001, u"Event billing cannot be performed while month-end A/R \r\n"_s);
    EXPECT_EQ(prompts.lastMessage().title, u"A/R processing is active..."_s);
    EXPECT_TRUE(prompts.questions.isEmpty());
    ASSERT_TRUE(QFile::remove(path(u"MSTR2BAK.MDB"_s)));
    refused(7, 4021, u"Account # 4021 does not exist."_s);

    exec(u"evnt"_s, u"update eventinfo set status = 3"_s);
    prompts.answerYesNo(true);
    EXPECT_EQ(bill(7), Billed::NotBilled);
    EXPECT_TRUE(prompts.lastMessage().text.contains(u"no longer ready"_s));
    EXPECT_EQ(charges(7), 0);
    exec(u"evnt"_s, u"update eventinfo set status = 4, custid = 1002"_s);
    addAccount(1002); // the account changed on another workstation
    prompts.answerYesNo(true);
    refused(7, 1001, u"billing account was changed"_s);
    exec(u"evnt"_s, u"update eventinfo set custid = 1001"_s);
    addItem(99, u"Orphan"_s, 4010, u"1"_s, u"0"_s, u"0"_s); // of an event that is gone
    prompts.answerYesNo(true);
    refused(99, 1001, u"could not be found"_s);
    for (const QString &missing : {u"ar"_s, u"daily"_s}) {
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

    // A charge that fails halfway (a full disk) takes the earlier ones with it.
    for (const char *item : {"First", "Second", "Third", "Fourth"})
        addItem(7, QString::fromLatin1(item), 4010, u"10"_s, u"1"_s, u"0.5"_s);
    addFault(u"daily"_s, u"third_fails"_s, u"insert"_s, u"ardaily"_s, u"new.memo = 'Third'"_s,
             u"disk full"_s);
    prompts.answerYesNo(true);
    prompts.expectError();
    EXPECT_EQ(bill(7), Billed::NotBilled);
    EXPECT_EQ(status(7), 4);
    EXPECT_EQ(charges(7), 0);
    removeFault(u"daily"_s, u"third_fails"_s, u"ardaily"_s);
    prompts.answerYesNo(true);
    EXPECT_EQ(bill(7), Billed::Charged);
    EXPECT_EQ(charges(7), 5);
}

} // namespace
