#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

// A non-member wedding on the demo club gets its account and is billed,
// through the window's own controls.
class BillingViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

TEST_F(BillingViewTest, ANonMemberEventGetsItsAccountAndIsBilled) {
    ShownWindow shown(*module, club, QStringLiteral("billing-view-test"));
    ASSERT_TRUE(shown.show(QSize(1366, 900)));
    MainWindow &window = shown.window;
    const int event = eventNumber(QStringLiteral("Sullivan-Park Reception"));
    QLineEdit *account = shown.typeAccount(event, QStringLiteral("New"));
    auto *assign = window.findChild<QPushButton *>(QStringLiteral("cmdassign"));
    auto *status = window.findChild<QComboBox *>(QStringLiteral("cbostatus"));
    ASSERT_TRUE(account && assign && status);
    EXPECT_EQ(assign->text(), QStringLiteral("Assign/Link to Account #"));
    assign->click();
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Billing Account # 90002 created."));
    EXPECT_EQ(account->text(), QStringLiteral("90002"));

    window.button(EventCommand::Save)->click();
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Billing Account # 90002 updated."));

    window.button(EventCommand::Modify)->click();
    ASSERT_TRUE(window.button(EventCommand::BillEvent)->isEnabled());
    prompts.answerYesNo(false); // no employee
    prompts.answerYesNo(true);  // "Bill this event now?"
    window.button(EventCommand::BillEvent)->click();
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Event #%1 billing has been sent to the A/R workspace.").arg(event));
    EXPECT_TRUE(waitFor([&] { return status->currentText().startsWith(QLatin1String("5-")); }))
        << status->currentText().toStdString();
    EXPECT_FALSE(window.button(EventCommand::BillEvent)->isEnabled());
    EXPECT_EQ(scalar(QStringLiteral("daily"),
                     QStringLiteral("select count(*) from ardaily where armemberacctnum = 90002"))
                  .toInt(),
              4);
}

} // namespace
