#include "ui/ContractBuilderView.h"

#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"

#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

class ContractBuilderViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

// From the demo club's main window: a confirmed event's contract builder,
// the wedding contract merged for it, and back to the main window.
TEST_F(ContractBuilderViewTest, AConfirmedEventsContractIsMergedAndTheMainWindowComesBack) {
    ShownWindow shown(*module, club, QStringLiteral("contract-view-test"));
    ASSERT_TRUE(shown.show());
    MainWindow &window = shown.window;
    const QString title = QStringLiteral("Wellington School Auction Committee");
    const int event = scalar(QStringLiteral("evnt"),
                             QStringLiteral("select eventnum from eventinfo where eventtitle = ? "
                                            "and status = 2"),
                             {title})
                          .toInt();
    ASSERT_GT(event, 0);
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    window.button(EventCommand::ContractBuilder)->click();

    auto *builder = window.findChild<ContractBuilderView *>(QStringLiteral("frmbanq2"));
    ASSERT_TRUE(builder);
    ASSERT_TRUE(waitFor([&] { return builder->isVisible(); }));
    EXPECT_TRUE(
        builder->windowTitle().startsWith(QStringLiteral("DEMO @ Contract Builder  -  ") + title));
    auto *contracts = builder->findChild<QComboBox *>(QStringLiteral("cbocontract"));
    auto *files = builder->findChild<QListWidget *>(QStringLiteral("File1"));
    auto *components = builder->findChild<QListWidget *>(QStringLiteral("List1"));
    auto *viewer = builder->findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
    ASSERT_TRUE(contracts && files && components && viewer);
    EXPECT_EQ(contracts->itemText(2), QStringLiteral("1 - Wedding Reception"));
    EXPECT_EQ(contracts->itemText(3), QStringLiteral("2 - Corporate Meeting"));
    EXPECT_TRUE(files->findItems(QStringLiteral("cbterms.txt"), Qt::MatchExactly).size() == 1);

    contracts->setCurrentIndex(2);
    emit contracts->activated(2); // as a pick from the open list
    EXPECT_EQ(components->count(), 5);
    EXPECT_TRUE(viewer->toPlainText().contains(QStringLiteral("for \"") + title + "\""))
        << viewer->toPlainText().left(400).toStdString();
    EXPECT_TRUE(viewer->toPlainText().contains(QStringLiteral("Hollow Creek Country Club")));
    EXPECT_TRUE(prompts.messages.isEmpty());

    builder->close();
    EXPECT_TRUE(waitFor([&] { return !builder->isVisible() && window.isVisible(); }));
    EXPECT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
}

// The builder closes as the other windows do: with its Exit button, or
// with Escape; the main window comes back each time.
TEST_F(ContractBuilderViewTest, ExitAndEscapeCloseTheBuilder) {
    ShownWindow shown(*module, club, QStringLiteral("contract-exit-test"));
    ASSERT_TRUE(shown.show());
    MainWindow &window = shown.window;
    const int event = eventNumber(QStringLiteral("Wellington School Auction Committee"));
    auto *builder = window.findChild<ContractBuilderView *>(QStringLiteral("frmbanq2"));
    ASSERT_TRUE(builder);
    for (const bool escape : {false, true}) {
        ASSERT_TRUE(shown.logic.ShowEvent(event));
        window.button(EventCommand::ContractBuilder)->click();
        ASSERT_TRUE(waitFor([&] { return builder->isVisible(); }));
        const QRect area = builder->screen()->availableGeometry();
        EXPECT_TRUE(area.contains(builder->frameGeometry())) << "on a 1366x768 screen";
        auto *exit = builder->findChild<QPushButton *>(QStringLiteral("cmdexit"));
        ASSERT_TRUE(exit);
        EXPECT_EQ(exit->text(), QStringLiteral("E&xit"));
        EXPECT_TRUE(exit->isVisible());
        auto *contracts = builder->findChild<QComboBox *>(QStringLiteral("cbocontract"));
        contracts->setFocus();
        ASSERT_TRUE(waitFor([&] { return contracts->hasFocus(); }));
        if (escape)
            QTest::keyClick(contracts, Qt::Key_Escape);
        else
            exit->click();
        EXPECT_TRUE(waitFor([&] { return !builder->isVisible() && window.isVisible(); }))
            << (escape ? "Escape" : "Exit");
        EXPECT_FALSE(shown.logic.contracts.visible);
    }
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    shown.logic.QueryUnloadMainWindow();
}

} // namespace
