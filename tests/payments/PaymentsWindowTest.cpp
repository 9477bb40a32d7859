#include "payments/PaymentsWindow.h"

#include "../orders/ReceptionFixture.h"
#include "events/ChangeLog.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

const QString Evnt = u"evnt"_s;

// The reception, confirmed, with this workstation's main window on it and
// its payments window open.
class PaymentsWindowTest : public ReceptionFixture {
protected:
    void SetUp() override {
        ReceptionFixture::SetUp();
        ASSERT_TRUE(record->LoadEvent(event));
        window = std::make_unique<PaymentsWindow>(*module);
        ASSERT_TRUE(window->open()) << prompts.messageTexts().join(u"|"_s).toStdString();
    }
    void TearDown() override {
        window.reset();
        ReceptionFixture::TearDown();
    }

    // The stored lines, one text each, in schedule order.
    QStringList stored() {
        return rowTexts(Evnt,
                        u"select line, what, duedate, amountdue, receiveddate, amountreceived, "
                        "coalesce(reference, ''), coalesce(recordedby, ''), posted from "
                        "eventpayment where eventnum = ? "
                        "order by line"_s,
                        {event});
    }
    int storedCount() {
        return scalar(Evnt, u"select changecount from eventchange where eventnum = ?"_s, {event})
            .toInt();
    }
    QString storedDeposit() {
        return rowTexts(Evnt, u"select deposit from eventinfo where eventnum = ?"_s, {event})
            .value(0);
    }
    QString log() {
        QFile file(path(QString::fromLatin1(ChangeLog::FileName)));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    static QString cells(const PaymentsWindow::Row &row) {
        QStringList shown;
        for (PaymentColumn column : AllPaymentColumns)
            shown << row.cells[column];
        return shown.join(u'|');
    }

    std::unique_ptr<PaymentsWindow> window;
};

TEST_F(PaymentsWindowTest, TypedEntriesAreRefusedByLineAndFieldWithNothingWritten) {
    ASSERT_TRUE(window->applyTerms());
    const QStringList before = stored();
    const int count = storedCount();
    using enum PaymentColumn;
    struct Case {
        int row;
        PaymentColumn column;
        QString typed;
        const char *refusal;
    };
    const Case cases[] = {
        {1, Due, u"31/02"_s, "Line 2: \"31/02\" is not a date."},
        {0, Due, u"20271301"_s, "Line 1: \"20271301\" is not a date."},
        {2, Due, u"02/29/2027"_s, "Line 3: \"02/29/2027\" is not a date."},
        {1, AmountDue, u"12abc"_s, "Line 2 amount due: \"12abc\" is not a number."},
        {0, AmountDue, u"-5"_s, "Line 1 amount due: \"-5\" is below 0"},
        {0, AmountDue, u"10.005"_s, "Line 1 amount due: \"10.005\" has more decimal places"},
        {0, AmountDue, u""_s, "Line 1: type the amount due."},
        {0, What, u" "_s, "Line 1: say what the payment is"},
        {0, What, QString(31, u'x'), "Line 1: at most 30 characters (this has 31)."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        prompts.clear();
        EXPECT_FALSE(window->editCell(c.row, c.column, c.typed));
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(QString::fromUtf8(c.refusal)))
            << prompts.lastMessage().text.toStdString();
        EXPECT_NE(window->rows[c.row].cells[c.column], c.typed) << "shown as stored again";
    }
    const std::pair<PaymentsWindow::PaymentEntry, const char *> payments[] = {
        {{u"31/02"_s, u"100"_s, {}}, "Date received: \"31/02\" is not a date."},
        {{u"12/06/2026"_s, u"0"_s, {}}, "Amount received: \"0\" is below 0.01"},
        {{u"12/06/2026"_s, u" "_s, {}}, "Amount received: type the amount paid."},
        {{u"12/06/2026"_s, u"100"_s, QString(31, u'7')}, "Reference: at most 30 characters"},
    };
    for (const auto &[typed, refusal] : payments) {
        prompts.clear();
        EXPECT_FALSE(window->recordPayment(0, typed));
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(QString::fromUtf8(refusal)))
            << prompts.lastMessage().text.toStdString();
    }
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(storedCount(), count);

    // Dates as the event's date box takes them and as the table shows
    // them; amounts with the club's grouping and currency sign.
    ASSERT_TRUE(window->editCell(1, Due, u"05/15/2027"_s));
    ASSERT_TRUE(window->editCell(2, Due, u"0704"_s));
    ASSERT_TRUE(window->editCell(2, AmountDue, u"$1,700.00"_s));
    ASSERT_TRUE(window->editCell(2, What, u" Final balance "_s));
    EXPECT_EQ(stored().mid(1), (QStringList{u"2|Second payment|20270515|3311.25|0|0|||0"_s,
                                            u"3|Final balance|20260704|1700|0|0|||0"_s}));
    EXPECT_EQ(cells(window->rows[2]), u"Final balance|07/04/2026|1,700.00|||||"_s);
    EXPECT_EQ(window->caution, u"The schedule comes to $6,666.88, $44.38 more than the priced "
                               "total of $6,622.50."_s);
}

TEST(PaymentDate, TheEventWindowsFormsAndTheClubsOwn) {
    const QDate today(2026, 12, 6);
    const ClubSettings american({{u"locale"_s, u"en_US"_s}});
    const ClubSettings german({{u"locale"_s, u"de_DE"_s}});
    const struct {
        const char *typed;
        const ClubSettings &club;
        int date;
    } cases[] = {
        {"20270612", american, 20270612},
        {"06122027", american, 20270612},
        {"0612", american, 20260612},
        {"06/12/2027", american, 20270612},
        {"6/1/2027", american, 20270601},
        {"12.06.2027", german, 20270612},
        {"02/29/2028", american, 20280229},
        {"02/29/2027", american, 0},
        {"31/02", american, 0},
        {"2027061", american, 0},
        {"", american, 0},
        {"June 12", american, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(paymentDate(QString::fromLatin1(c.typed), c.club, today).value_or(0), c.date)
            << c.typed;
}

TEST_F(PaymentsWindowTest, TermsADepositAndItsUndoReachTheMainWindowsEvent) {
    int redrawn = 0;
    QObject::connect(window.get(), &PaymentsWindow::eventChanged, [&] { ++redrawn; });
    EXPECT_EQ(window->pricedText, u"$6,622.50"_s);
    ASSERT_TRUE(window->applyTerms());
    EXPECT_TRUE(prompts.questions.isEmpty()) << "nothing to replace";
    QStringList amounts;
    for (const auto &row : window->rows)
        amounts << row.cells[PaymentColumn::What] + u" "_s + row.cells[PaymentColumn::AmountDue];
    EXPECT_EQ(amounts, (QStringList{u"Deposit 1,655.63"_s, u"Second payment 3,311.25"_s,
                                    u"Balance 1,655.62"_s}));
    EXPECT_EQ(window->caution, QString());

    // The deposit, as the box offers it: today and what the line owes.
    PaymentsWindow::PaymentEntry paid = window->paymentFor(0);
    EXPECT_EQ(paid.date + u" "_s + paid.amount, u"12/06/2026 1,655.63"_s);
    paid.reference = u"Cheque 1041"_s;
    ASSERT_TRUE(window->recordPayment(0, paid));
    EXPECT_EQ(cells(window->rows[0]),
              u"Deposit|12/06/2026|1,655.63|12/06/2026|1,655.63|Cheque 1041|DEMO|"_s);
    EXPECT_EQ(window->receivedText, u"$1,655.63"_s);
    EXPECT_EQ(window->balanceLabel + u" "_s + window->balanceText, u"Balance due $4,966.87"_s);
    EXPECT_TRUE(log().contains(
        u"Payment received: Deposit $1,655.63 received 12/06/2026 (Cheque 1041)\\"_s));

    // The main window's event shows the deposit as a reload would, takes
    // the raised count, and is not unsaved: its next save goes through.
    CurrentEvent &shown = module->event;
    EXPECT_EQ(shown.fields[EventField::Deposit], u"1655.63"_s);
    EXPECT_EQ(shown.loaded[EventField::Deposit], u"1655.63"_s);
    EXPECT_EQ(storedDeposit(), u"1655.63"_s);
    EXPECT_FALSE(shown.UnsavedChanges);
    EXPECT_EQ(shown.ChangeCount, storedCount());
    EXPECT_EQ(redrawn, 2);
    shown.fields[EventField::Guests] = u"62"_s;
    EXPECT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done)
        << prompts.messageTexts().join(u"|"_s).toStdString();

    // Once paid, the terms are not applied again, even when the operator
    // agrees to replace the lines.
    const QStringList paidLines = stored();
    prompts.answerYesNo(true);
    prompts.clear();
    EXPECT_FALSE(window->applyTerms());
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"Payments have been received"_s));
    EXPECT_EQ(stored(), paidLines);

    // More received than priced is a credit.
    ASSERT_TRUE(window->recordPayment(1, {u"20261207"_s, u"5,000"_s, {}}));
    EXPECT_EQ(window->balanceLabel + u" "_s + window->balanceText, u"Credit $33.13"_s);
    ASSERT_TRUE(window->undoPayment(1));

    // Undone, the deposit box is empty again and the line owes it.
    ASSERT_TRUE(window->undoPayment(0));
    EXPECT_EQ(shown.fields[EventField::Deposit], QString());
    EXPECT_EQ(storedDeposit(), u"0"_s);
    EXPECT_EQ(cells(window->rows[0]), u"Deposit|12/06/2026|1,655.63|||||"_s);
    EXPECT_EQ(shown.ChangeCount, storedCount());
    EXPECT_TRUE(log().contains(u"Payment taken back: Deposit $1,655.63"_s));

    // Now terms may replace the lines, once the operator says so.
    prompts.answerYesNo(false);
    EXPECT_FALSE(window->applyTerms());
    EXPECT_EQ(prompts.questions.last().text,
              u"Replace the 3 lines of the schedule with the club's usual terms?"_s);
    ASSERT_TRUE(window->removeLine(2));
    ASSERT_TRUE(window->addLine());
    EXPECT_EQ(cells(window->rows[2]), u"Payment|12/06/2026|1,655.62|||||"_s)
        << "a new line owes what the others do not cover";
}

TEST_F(PaymentsWindowTest, TwoWorkstationsPayingOneLineKeepBothPayments) {
    // Either may record first; the second's payment goes on a line of its
    // own, and the balance counts both.
    for (const bool annaFirst : {true, false}) {
        SCOPED_TRACE(annaFirst ? "Anna first" : "Bert first");
        exec(Evnt, u"delete from eventpayment where eventnum = ?"_s, {event});
        exec(Evnt, u"update eventinfo set deposit = 0 where eventnum = ?"_s, {event});
        ASSERT_TRUE(record->LoadEvent(event));
        ASSERT_TRUE(window->open());
        ASSERT_TRUE(window->applyTerms());
        FakeOperator bertDesk;
        Module bert(settings(), bertDesk.ports());
        bert.session = module->session;
        bert.session.UserName = u"BERT"_s;
        bert.event.EventNumber = event;
        PaymentsWindow bertWindow(bert);
        ASSERT_TRUE(bertWindow.open());

        PaymentsWindow &first = annaFirst ? *window : bertWindow;
        PaymentsWindow &second = annaFirst ? bertWindow : *window;
        ScriptedPrompts &secondPrompts = annaFirst ? bertDesk.prompts : prompts;
        ASSERT_TRUE(first.recordPayment(0, {u"12/06/2026"_s, u"1,000.00"_s, u"Card"_s}));
        // This workstation's event takes the count of its own change only
        // when nothing came between.
        EXPECT_EQ(module->event.ChangeCount == storedCount(), annaFirst);
        secondPrompts.clear();
        ASSERT_TRUE(second.recordPayment(0, {u"12/06/2026"_s, u"1,655.63"_s, u"Cheque"_s}));
        EXPECT_TRUE(secondPrompts.lastMessage().text.startsWith(
            u"Deposit already had a payment recorded by %1 ($1,000.00 on 12/06/2026)"_s.arg(
                annaFirst ? u"DEMO"_s : u"BERT"_s)))
            << secondPrompts.lastMessage().text.toStdString();
        EXPECT_EQ(stored(),
                  (QStringList{u"1|Deposit|20261206|1000|20261206|1000|Card|%1|0"_s.arg(
                                   annaFirst ? u"DEMO"_s : u"BERT"_s),
                               u"2|Deposit|20261206|655.63|20261206|1655.63|Cheque|%1|0"_s.arg(
                                   annaFirst ? u"BERT"_s : u"DEMO"_s),
                               u"3|Second payment|20270513|3311.25|0|0|||0"_s,
                               u"4|Balance|20270626|1655.62|0|0|||0"_s}));
        EXPECT_EQ(second.receivedText, u"$2,655.63"_s);
        EXPECT_EQ(second.balanceText, u"$3,966.87"_s);
        // This workstation's deposit box shows the deposit as its own last
        // change left it: both payments once it recorded the second.
        EXPECT_EQ(module->event.fields[EventField::Deposit], annaFirst ? u"1000"_s : u"2655.63"_s);
        EXPECT_NE(module->event.ChangeCount, storedCount());
    }
}

TEST_F(PaymentsWindowTest, TheLevelsDecideWhoChangesAndWhoPosts) {
    ASSERT_TRUE(window->applyTerms());
    ASSERT_TRUE(window->recordPayment(0, window->paymentFor(0)));
    struct Level {
        int level;
        bool editable, postable;
    };
    for (const Level &at :
         {Level{10, false, false}, Level{20, true, false}, Level{50, true, true}}) {
        SCOPED_TRACE(at.level);
        signIn(at.level);
        ASSERT_TRUE(window->open());
        EXPECT_EQ(window->editable, at.editable);
        EXPECT_EQ(window->postable, at.postable);
        EXPECT_EQ(window->statusText.isEmpty(), at.editable);
        prompts.clear();
        EXPECT_EQ(window->setPosted(0, true), at.postable);
        if (at.editable && !at.postable) {
            EXPECT_EQ(prompts.lastMessage().text,
                      u"Payments are marked posted at the billing level."_s);
        }
        EXPECT_EQ(window->rows[0].posted, at.postable);
        EXPECT_EQ(window->editCell(1, PaymentColumn::What, u"Menu tasting"_s), at.editable);
    }
    EXPECT_EQ(stored()[0], u"1|Deposit|20261206|1655.63|20261206|1655.63||DEMO|1"_s);
    // Posted, the payment is the accounting staff's to reverse.
    EXPECT_FALSE(window->canUndo(0));
    EXPECT_FALSE(window->undoPayment(0));
    EXPECT_EQ(stored()[0].right(1), u"1"_s);

    // No saved event: nothing to open.
    for (int number : {0, event + 50}) {
        module->event.EventNumber = number;
        prompts.clear();
        EXPECT_FALSE(PaymentsWindow(*module).open());
        EXPECT_EQ(prompts.lastMessage().text, u"Save the event before recording payments."_s);
    }
}

} // namespace
