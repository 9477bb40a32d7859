#include "ClubFixture.h"
#include "ShownWindow.h"
#include "ViewTest.h"
#include "WaitFor.h"
#include "ui/ContractBuilderView.h"
#include "ui/LookupPanel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The event window's controls, worked on the demo club: each reaches its
// logic, whose rules and stored rows the logic tests check.
class DemoClubViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
    void SetUp() override {
        ClubFixture::SetUp();
        shown = std::make_unique<ShownWindow>(*module, club, u"view-test"_s);
        ASSERT_TRUE(shown->show(QSize(1366, 900)));
    }
    void TearDown() override {
        shown.reset();
        ClubFixture::TearDown();
    }
    void expectNoMessages() {
        EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    }

    std::unique_ptr<ShownWindow> shown;
};

// The account button makes a non-member's account, Bill Event bills and
// Screen Capture reaches the capture (whose fake screen has no picture).
TEST_F(DemoClubViewTest, TheAccountBillAndCaptureCommandsReachTheirLogic) {
    MainWindow &window = shown->window;
    const int event = eventNumber(u"Sullivan-Park Reception"_s);
    QLineEdit *account = shown->typeAccount(event, u"New"_s);
    ASSERT_TRUE(account);
    child<QPushButton>(window, u"cmdassign"_s)->click();
    EXPECT_EQ(account->text(), u"90002"_s);

    window.button(EventCommand::Save)->click();
    window.button(EventCommand::Modify)->click();
    prompts.answerYesNo(false); // no employee
    prompts.answerYesNo(true);  // "Bill this event now?"
    window.button(EventCommand::BillEvent)->click();
    auto *status = child<QComboBox>(window, u"cbostatus"_s);
    EXPECT_TRUE(waitFor([&] { return status->currentText().startsWith(u"5-"_s); }));
    prompts.expectError();
    window.menuCommand(u"mnuclipboard"_s)->trigger();
    EXPECT_TRUE(waitFor([&] { return screen.grabs == 1; }));
}

// The contract builder lies whole on the screen, merges the contract picked
// from its list, and closes by its Exit button, by Escape or by its frame,
// and the main window comes back each time.
TEST_F(DemoClubViewTest, TheContractBuilderMergesAndEveryCloseBringsBackTheMainWindow) {
    MainWindow &window = shown->window;
    const int event = scalar(u"evnt"_s, u"select eventnum from eventinfo where eventtitle = "
                                        "'Wellington School Auction Committee' and status = 2"_s)
                          .toInt();
    auto *builder = child<ContractBuilderView>(window, u"frmbanq2"_s);
    auto *contracts = child<QComboBox>(*builder, u"cbocontract"_s);
    for (const char *close : {"frame", "Exit", "Escape"}) {
        SCOPED_TRACE(close);
        ASSERT_TRUE(shown->logic.ShowEvent(event));
        window.button(EventCommand::ContractBuilder)->click();
        ASSERT_TRUE(waitFor([&] { return builder->isVisible(); }));
        EXPECT_TRUE(builder->screen()->availableGeometry().contains(builder->frameGeometry()));
        contracts->setFocus();
        ASSERT_TRUE(waitFor([&] { return contracts->hasFocus(); }));
        if (close == std::string_view("frame")) {
            contracts->setCurrentIndex(2);
            emit contracts->activated(2); // as a pick from the open list
            EXPECT_TRUE(child<QPlainTextEdit>(*builder, u"Text1"_s)
                            ->toPlainText()
                            .contains(u"Wellington School Auction Committee"_s));
            builder->close();
        } else if (close == std::string_view("Escape")) {
            QTest::keyClick(contracts, Qt::Key_Escape);
        } else {
            child<QPushButton>(*builder, u"cmdexit"_s)->click();
        }
        EXPECT_TRUE(waitFor([&] { return !builder->isVisible() && window.isActiveWindow(); }));
        EXPECT_FALSE(shown->logic.contracts.visible);
    }
    expectNoMessages();
}

// The look-up panel with the mouse and keys: F5 starts the date look-up,
// Tab follows the boxes, Enter searches and a pick opens the event.
TEST_F(DemoClubViewTest, ATitleTypedAndChosenIsShownInTheEventBoxes) {
    MainWindow &window = shown->window;
    auto *panel = child<LookupPanel>(window, u"fralookup"_s);
    window.button(EventCommand::Lookup)->click();
    ASSERT_TRUE(waitFor([&] { return panel->isVisible(); }));
    const auto box = [&](int i) {
        return child<QLineEdit>(*panel, u"txtlookup(%1)"_s.arg(i));
    };

    QTest::mouseClick(box(0), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return box(0)->hasFocus(); }));
    QTest::keyClick(box(0), Qt::Key_F5);
    EXPECT_EQ(programs.started, QStringList{u"datesift.exe"_s});
    QTest::keyClicks(box(0), u"1225"_s);
    QTest::keyClick(box(0), Qt::Key_Tab);
    ASSERT_TRUE(waitFor([&] { return box(2)->hasFocus(); })) << "the boxes in the order shown";
    EXPECT_EQ(box(0)->text(), u"20261225"_s);

    auto *results = child<QComboBox>(*panel, u"cbolookup"_s);
    QTest::mouseClick(box(1), Qt::LeftButton);
    QTest::keyClicks(box(1), u"wedd"_s);
    QTest::keyClick(box(1), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return results->view()->isVisible(); }));
    results->hidePopup();
    const int wedding = results->findText(u"Sullivan-Park Wedding Ceremony"_s, Qt::MatchContains);
    ASSERT_GE(wedding, 0);
    const QString chosen = results->itemText(wedding).section(u" - "_s, 0, 0);
    results->setCurrentIndex(wedding);
    emit results->activated(wedding);
    ASSERT_TRUE(waitFor([&] { return !panel->isVisible(); }));
    EXPECT_EQ(child<QLineEdit>(window, u"Text1(1)"_s)->text(), u"Sullivan-Park Wedding Ceremony"_s);
    EXPECT_EQ(child<QLineEdit>(window, u"Text1(2)"_s)->text(), chosen);
    expectNoMessages();
}

// The package buttons and list: Create makes the event a package head,
// Link/Unlink offers the open packages and links the one clicked, and a
// double-click on a linked event opens it. The questions' words are the
// package logic's.
TEST_F(DemoClubViewTest, AnEventHeadsAPackageAnotherJoinsAndADoubleClickOpensTheHead) {
    MainWindow &window = shown->window;
    const QVariantList bookings =
        column(u"evnt"_s,
               u"select eventnum from eventinfo where status between 2 and 4 order by eventnum"_s);
    const int head = bookings[0].toInt(), member = bookings[1].toInt();
    auto *list = child<QListWidget>(window, u"lstpkg"_s);
    auto *create = child<QPushButton>(window, u"cmdmulti(0)"_s);
    auto *linkOrUnlink = child<QPushButton>(window, u"cmdmulti(1)"_s);
    const auto clickRowOf = [&](int event, bool twice = false) {
        const auto rows = list->findItems(u"%1 - %1 - "_s.arg(event), Qt::MatchStartsWith);
        ASSERT_EQ(rows.size(), 1);
        const QPoint at = list->visualItemRect(rows.first()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    };

    ASSERT_TRUE(shown->logic.ShowEvent(head));
    EXPECT_FALSE(create->isEnabled()) << "only while the event is changed";
    window.button(EventCommand::Modify)->click();
    prompts.answerYesNo(true);
    create->click();
    EXPECT_TRUE(list->isVisible() && !create->isVisible());

    ASSERT_TRUE(shown->logic.ShowEvent(member));
    window.button(EventCommand::Modify)->click();
    linkOrUnlink->click(); // nothing chosen: the open packages are offered
    EXPECT_EQ(list->item(0)->text(), u"Available packages are:"_s);
    clickRowOf(head);
    prompts.answerYesNo(true);
    linkOrUnlink->click();
    EXPECT_EQ(prompts.questions.last().title, u"Create Link"_s);
    EXPECT_EQ(list->item(0)->text(), u"Unlink this event"_s);

    prompts.answerYesNo(true);
    clickRowOf(head, true);
    auto *number = child<QLineEdit>(window, u"Text1(2)"_s);
    EXPECT_TRUE(waitFor([&] { return number->text() == QString::number(head); }));
    expectNoMessages();
}

} // namespace
