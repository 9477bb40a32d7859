#include "ui/PaymentsView.h"

#include "ClubFixture.h"
#include "ShownWindow.h"
#include "ViewTest.h"
#include "WaitFor.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class PaymentsViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

// The demo wedding's deposit taken at the counter: the schedule from the
// club's terms, the deposit recorded through its box, and the main
// window's deposit box showing it once the window is closed by Escape.
TEST_F(PaymentsViewTest, ADepositRecordedThroughItsBoxReachesTheEventsDepositBox) {
    ShownWindow shown(*module, club, u"payments-view"_s);
    ASSERT_TRUE(shown.show(QSize(1366, 768)));
    const int event = eventNumber(u"Sullivan-Park Reception"_s);
    exec(u"evnt"_s, u"delete from eventpayment where eventnum = ?"_s, {event});
    exec(u"evnt"_s, u"update eventinfo set deposit = 0 where eventnum = ?"_s, {event});
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    shown.window.button(EventCommand::Payments)->click();
    auto *payments = child<PaymentsView>(shown.window, u"frmpayments"_s);
    ASSERT_TRUE(waitFor([&] { return payments->isVisible() && payments->isActiveWindow(); }));
    EXPECT_EQ(payments->windowTitle(), u"Payments - #%1 Sullivan-Park Reception"_s.arg(event));

    auto *table = child<QTableWidget>(*payments, u"grdpayments"_s);
    QTest::keyClick(payments, Qt::Key_T, Qt::AltModifier);
    ASSERT_TRUE(waitFor([&] { return table->rowCount() == 3; }));
    EXPECT_EQ(table->item(0, int(PaymentColumn::What))->text(), u"Deposit"_s);
    const QString deposit = table->item(0, int(PaymentColumn::AmountDue))->text();

    table->setFocus();
    table->setCurrentCell(0, int(PaymentColumn::What));
    QTest::keyClick(payments, Qt::Key_P, Qt::AltModifier);
    QWidget *box = nullptr;
    ASSERT_TRUE(waitFor([&] {
        box = payments->findChild<QDialog *>(u"frmreceive"_s);
        return box && box->isVisible();
    }));
    auto *amount = child<QLineEdit>(*box, u"txtreceivedamount"_s);
    EXPECT_EQ(amount->text(), deposit) << "what the line owes";
    EXPECT_TRUE(amount->hasFocus());
    child<QLineEdit>(*box, u"txtreference"_s)->setText(u"Cheque 1041"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return !box->isVisible(); }));

    EXPECT_EQ(table->item(0, int(PaymentColumn::AmountReceived))->text(), deposit);
    EXPECT_EQ(table->item(0, int(PaymentColumn::Reference))->text(), u"Cheque 1041"_s);
    EXPECT_EQ(table->item(0, int(PaymentColumn::Posted))->checkState(), Qt::Unchecked)
        << "a received payment has its tick";
    EXPECT_FALSE(table->item(1, int(PaymentColumn::Posted))->data(Qt::CheckStateRole).isValid());
    EXPECT_EQ(child<QLabel>(*payments, u"lbltotalreceived"_s)->text(), u"$"_s + deposit);
    EXPECT_TRUE(child<QPushButton>(*payments, u"cmdundopay"_s)->isEnabled());
    EXPECT_FALSE(child<QPushButton>(*payments, u"cmdremoveline"_s)->isEnabled())
        << "a paid line is not removed";
    if (const QString folder = qEnvironmentVariable("MORAVEL_SCREENSHOTS"); !folder.isEmpty()) {
        QTest::qWait(50); // the totals laid out for their new texts
        payments->grab().save(QDir(folder).filePath(u"payments.png"_s));
    }

    QTest::keyClick(payments, Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return !payments->isVisible(); }));
    auto *depositBox =
        child<QLineEdit>(shown.window, u"Text1(%1)"_s.arg(columnOf(EventField::Deposit)));
    EXPECT_EQ(depositBox->text(), QString(deposit).remove(u','));
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    shown.logic.QueryUnloadMainWindow();
}

} // namespace
