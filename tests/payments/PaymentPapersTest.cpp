#include "../orders/ReceptionFixture.h"
#include "billing/EventBilling.h"
#include "contracts/ContractBuilder.h"
#include "payments/EventPayments.h"
#include "payments/PaymentReports.h"
#include "reports/ReportMenu.h"

using namespace Qt::StringLiterals;

namespace {

const QString Evnt = u"evnt"_s;

// The papers of the payment schedules printed by the real report program and
// read back from the PDF: the reception ($6,622.50 of items, billed to
// account 1058) on the club's usual terms, applied on 10 January 2027.
class PaymentPapersTest : public PrintingFixture {
protected:
    void SetUp() override {
        PrintingFixture::SetUp();
        clock.current = QDateTime(QDate(2027, 1, 10), QTime(9, 30));
        exec(Evnt,
             u"update eventinfo set custid = 1058, custname = 'Park, Hannah' "
             "where eventnum = ?"_s,
             {event});
        exec(u"master"_s, u"insert into acctinfo (acctnumber, fname, lname, classcode, "
                          "taxexempt, suspended, terminated) values (1058, 'Hannah', 'Park', "
                          "'FM', 0, 0, 0)"_s);
        menu = std::make_unique<ReportMenu>(*printing);
        printing->event.EventNumber = event;
        const auto applied =
            EventPayments::applyTerms(*open(), event, PaymentTerms::from(ClubSettings()), actor());
        ASSERT_TRUE(applied.ok());
        ASSERT_EQ(applied->outcome, EventPayments::Changed::Outcome::Done);
    }
    void TearDown() override {
        menu.reset();
        PrintingFixture::TearDown();
    }

    EventPayments::Actor actor() { return {u"DEMO"_s, clock.current, ClubSettings()}; }
    void receive(int number, int line, int date, const char *amount, const QString &reference) {
        const auto received = EventPayments::receive(
            *open(), number,
            {line, date, Money::fromText(QString::fromLatin1(amount)).value(), reference}, actor());
        ASSERT_TRUE(received.ok());
        ASSERT_EQ(received->outcome, EventPayments::Changed::Outcome::Done)
            << received->text.toStdString();
    }
    // The contract of the shipped letter, standard layout.
    QString contract() {
        exec(Evnt, u"delete from cbuilder"_s);
        exec(Evnt, u"insert into cbuilder (contractnum, contractdesc, ord, cbfilename) values "
                   "(1, 'Reception', 0, 'cbterms.txt')"_s);
        EXPECT_TRUE(EventRecord(*printing).LoadEvent(event));
        const ContractBuilder::EventTokens tokens = ContractBuilder::schemaEventTokens();
        ContractBuilder builder(*printing, tokens);
        EXPECT_TRUE(builder.chooseContract(1));
        auto work = builder.fillContract(ContractBuilder::StandardLayout);
        EXPECT_TRUE(work && ReportLauncher(*printing).LaunchReport(*work));
        return printed();
    }
    QString bill() {
        menu->printClientBill();
        return printed();
    }

    std::unique_ptr<ReportMenu> menu;
};

// Each stage adds its payments to the ones before and prints the client's
// bill and the contract: the schedule, what was received, and the balance
// as the priced total less every payment received.
TEST_F(PaymentPapersTest, TheBillAndTheContractTakeEveryPaymentReceivedOffThePricedTotal) {
    const struct {
        const char *stage;
        QList<std::tuple<int, int, const char *, QString>>
            receipts; // line, date, amount, reference
        QStringList bill, contract;
        QString notOnBill;
    } stages[] = {
        {"nothing received yet",
         {},
         {u"No payment has been received."_s, u"Total of the items 6,622.50"_s,
          u"Less the payments received 0.00"_s, u"Balance due 6,622.50"_s},
         // The deposit asked for, before it is received.
         {u"A deposit of $1,655.63 confirms the booking."_s,
          u"come to $6,622.50 with service charge and tax; less the payments received, "
          "$6,622.50 is billed"_s,
          u"Total 5,298.00 953.64 370.86 6,622.50 Balance due 6,622.50"_s, u"Payment schedule"_s,
          u"Payment Due Amount due Received Amount received"_s, u"Deposit 01/10/2027 1,655.63"_s,
          u"Second payment 05/13/2027 3,311.25"_s, u"Balance 06/26/2027 1,655.62"_s},
         u"Credit"_s},
        {"the deposit, and part of the second payment",
         {{1, 20270112, "1655.63", u"Cheque 1041"_s}, {2, 20270510, "1000", u"Visa 4471"_s}},
         {u"Deposit 01/12/2027 Cheque 1041 1,655.63"_s,
          u"Second payment 05/10/2027 Visa 4471 1,000.00"_s, u"Total of the items 6,622.50"_s,
          u"Less the payments received 2,655.63"_s, u"Balance due 3,966.87"_s},
         {u"less the payments received, $3,966.87 is billed"_s,
          u"Payments received 2,655.63 Balance due 3,966.87"_s,
          u"Deposit 01/10/2027 1,655.63 01/12/2027 1,655.63"_s,
          u"Second payment 05/13/2027 3,311.25 05/10/2027 1,000.00"_s,
          u"Balance 06/26/2027 1,655.62"_s},
         u"Credit"_s},
        {"more received than priced",
         {{3, 20270620, "5000", u"Wire 88"_s}},
         {u"Balance 06/20/2027 Wire 88 5,000.00"_s, u"Less the payments received 7,655.63"_s,
          u"Credit (received beyond the total of the items) 1,033.13"_s},
         {u"Payments received 7,655.63"_s},
         u"Balance due"_s},
    };
    for (const auto &stage : stages) {
        SCOPED_TRACE(stage.stage);
        for (const auto &[line, date, amount, reference] : stage.receipts)
            receive(event, line, date, amount, reference);
        const QString billed = bill();
        EXPECT_EQ(missing(billed, QStringList{u"Client's Bill"_s,
                                              u"Park Reception Bill to (account 1058)"_s,
                                              u"Event #: %1 Park, Hannah"_s.arg(event),
                                              u"Date: Saturday, June 12, 2027"_s,
                                              u"Time: 6:00 PM to 11:00 PM"_s, u"Room: Library"_s,
                                              u"Guests: 60, guarantee 58 Hannah Park, "
                                              "267-555-0136"_s,
                                              u"30 Grilled Salmon 1,170.00 210.60 81.90 1,462.50"_s,
                                              u"232 Open Bar 2,784.00 501.12 194.88 3,480.00"_s,
                                              u"Total 5,298.00 953.64 370.86 6,622.50"_s,
                                              u"Payments received Date Reference Amount"_s} +
                                      stage.bill),
                  QString())
            << billed.toStdString();
        EXPECT_FALSE(billed.contains(stage.notOnBill)) << billed.toStdString();
        const QString contracted = contract();
        EXPECT_EQ(missing(contracted, stage.contract), QString()) << contracted.toStdString();
    }
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('\n').toStdString();

    // Billing charges the items as before: the payments are the accounting
    // staff's to post, never charged or credited by the billing run.
    prompts.answerYesNo(true);
    EXPECT_EQ(EventBilling(*module).BillEvent(event, 1058, 0), EventBilling::Billed::Charged);
    EXPECT_EQ(rowTexts(u"daily"_s,
                       u"select architbase, architsrvchg, archittax, archittotal from ardaily "
                       "order by archittotal"_s),
              (QStringList{u"1170|210.6|81.9|1462.5"_s, u"1344|241.92|94.08|1680"_s,
                           u"2784|501.12|194.88|3480"_s}));
    EXPECT_EQ(missing(bill(), {u"Credit (received beyond the total of the items) 1,033.13"_s}),
              QString())
        << "a billed event's bill still prints";
}

// The listings of the office: what is due in the dates or overdue, and what
// was received and waits to be posted, with events of every status.
TEST_F(PaymentPapersTest, TheListingsShowWhatIsOwedAndWhatWaitsToBePosted) {
    receive(event, 1, 20270112, "1655.63", u"Cheque 1041"_s);
    receive(event, 2, 20270510, "1000", u"Visa 4471"_s);
    // The deposit (due 01/10/2027) is paid in full and never listed as due. A
    // reserved lunch owes its deposit; a cancelled gala and an enquiry have lines
    // that are never chased.
    const auto another = [&](const char *title, int status, const char *due, int hour) {
        EXPECT_EQ(book(u"20270715"_s, QString::fromLatin1(title), u"%1:00"_s.arg(hour),
                       u"%1:30"_s.arg(hour), 1),
                  EventRecord::Saved::Done);
        exec(Evnt,
             u"update eventinfo set status = ?, contactname = 'Ruth Kemp', "
             "contphone1 = '215-555-0101' where eventnum = ?"_s,
             {status, lastNumber});
        PaymentLine line;
        line.what = u"Deposit"_s;
        line.due = QString::fromLatin1(due).toInt();
        line.amountDue = Money::fromText(u"500"_s).value();
        EXPECT_TRUE(EventPayments::saveLine(*open(), lastNumber, line, actor()).ok());
        return lastNumber;
    };
    const int lunch = another("Garden Lunch", 2, "20270525", 12);
    another("Cancelled Gala", 9, "20270522", 14);
    another("Maybe Brunch", 1, "20270523", 16);
    clock.current = QDateTime(QDate(2027, 5, 20), QTime(9, 0));

    const QString second = u"#%1 Park Reception Hannah Park"_s.arg(event);
    const QString garden = u"Deposit #%1 Garden Lunch Ruth Kemp 500.00 500.00"_s.arg(lunch);
    const struct {
        QString from, to;
        QStringList listed;
        QString left; // an event that is not on the paper
    } ranges[] = {
        {u"20270520"_s,
         u"20270531"_s,
         {u"Payments Due"_s, u"Due from 05/20/2027 to 05/31/2027, and overdue"_s,
          u"05/13/2027 Second payment "_s + second +
              u" 3,311.25 2,311.25 OVERDUE 06/12/2027, "
              "Confirmed w/Count 267-555-0136"_s,
          u"05/25/2027 "_s + garden + u" 07/15/2027, Reserved 215-555-0101"_s,
          u"Total outstanding 2,811.25"_s, u"of which overdue 2,311.25"_s},
         u"Balance"_s},
        // What falls due between today and the first day is not yet due.
        {u"20270601"_s,
         u"20270630"_s,
         {u"05/13/2027 Second payment "_s + second + u" 3,311.25 2,311.25 OVERDUE"_s,
          u"06/26/2027 Balance "_s + second + u" 1,655.62 1,655.62 06/12/2027"_s,
          u"Total outstanding 3,966.87"_s, u"of which overdue 2,311.25"_s},
         u"Garden Lunch"_s},
        {u"20270101"_s, u"20270105"_s, {u"No payments are due."_s}, u"Total outstanding"_s},
    };
    for (const auto &range : ranges) {
        SCOPED_TRACE(range.from.toStdString());
        prompts.answerInput(range.from);
        prompts.answerInput(range.to);
        prompts.offered.clear();
        menu->printPaymentsDue();
        EXPECT_EQ(prompts.offered, (QStringList{u"20270520"_s, u"20270531"_s}))
            << "today to the end of the month is offered";
        const QString paper = printed();
        EXPECT_EQ(missing(paper, range.listed), QString()) << paper.toStdString();
        for (const QString &left : {range.left, u"Brunch"_s, u"Cancelled"_s, u"01/10/2027"_s})
            EXPECT_FALSE(paper.contains(left)) << left.toStdString();
    }

    // Paid ahead: the rest of the second payment and more, which covers the
    // balance not yet due, so nothing of the reception is chased.
    receive(event, 2, 20270521, "4000", u"Wire 9"_s);
    prompts.answerInput(u"20270601"_s);
    prompts.answerInput(u"20270630"_s);
    menu->printPaymentsDue();
    EXPECT_TRUE(printed().contains(u"No payments are due."_s));

    // Received and not posted: both of the reception's payments, then the
    // second alone once the deposit is posted, then none.
    menu->printPaymentsNotPosted();
    QString paper = printed();
    EXPECT_EQ(
        missing(paper, {u"Payments Received, Not Posted"_s, u"Received on any date"_s,
                        u"yet to post to the members' accounts"_s,
                        u"01/12/2027 #%1 Park Reception"_s.arg(event),
                        u"1058 Park, Hannah Deposit Cheque 1041"_s, u"1,655.63"_s, u"05/10/2027"_s,
                        u"Second payment Visa 4471"_s, u"1,000.00"_s, u"Total to post 6,655.63"_s}),
        QString())
        << paper.toStdString();
    ASSERT_TRUE(EventPayments::setPosted(*open(), event, 1, true, actor()).ok());
    menu->printPaymentsNotPosted();
    paper = printed();
    EXPECT_FALSE(paper.contains(u"Cheque 1041"_s)) << paper.toStdString();
    EXPECT_TRUE(paper.contains(u"Total to post 5,000.00"_s)) << paper.toStdString();
    ASSERT_TRUE(EventPayments::setPosted(*open(), event, 2, true, actor()).ok());
    ASSERT_TRUE(EventPayments::setPosted(*open(), event, 3, true, actor()).ok());
    menu->printPaymentsNotPosted();
    EXPECT_TRUE(printed().contains(u"Every payment received has been posted."_s));

    // The client's bill waits for the event's confirmation.
    printing->event.EventNumber = lunch;
    EXPECT_EQ(bill(), u"(no paper)"_s);
    EXPECT_EQ(
        prompts.lastMessage().text,
        u"Event #%1 is reserved; the client's bill is printed once it is confirmed."_s.arg(lunch));
}

} // namespace
