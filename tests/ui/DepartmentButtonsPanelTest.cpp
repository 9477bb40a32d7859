#include "ui/DepartmentButtonsPanel.h"

#include "ClubFixture.h"
#include "WaitFor.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace {

class DepartmentButtonsPanelTest : public ClubFixture {};

TEST_F(DepartmentButtonsPanelTest, AButtonIsSetUpWithRealClicksAndKeys) {
    signIn(99);
    DepartmentButtons logic(module->databases, module->messages, module->session);
    logic.windowOpened();
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *row = new DepartmentButtonRow(logic, &window);
    auto *itemList = new QListWidget(&window);
    layout->addWidget(row);
    layout->addWidget(itemList);
    auto *panel = new DepartmentButtonsPanel(logic, &window);
    panel->setCovered(itemList);
    window.resize(900, 600);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto *button2 = window.findChild<QPushButton *>(QStringLiteral("cmddept(2)"));
    ASSERT_NE(button2, nullptr);
    EXPECT_EQ(button2->text(), QStringLiteral("Dept"));

    ASSERT_TRUE(logic.openPanel());
    ASSERT_TRUE(waitFor([&] { return panel->isVisible(); }));
    EXPECT_EQ(panel->objectName(), QStringLiteral("fraconfigbuttons"));
    EXPECT_TRUE(panel->geometry().contains(itemList->geometry().center()));
    button2->click();
    auto *caption = window.findChild<QLineEdit *>(QStringLiteral("txtbuttoncaption"));
    auto *tag = window.findChild<QLineEdit *>(QStringLiteral("txtbuttontag"));
    EXPECT_EQ(caption->text(), QStringLiteral("Dept"));
    caption->selectAll();
    QTest::keyClicks(caption, QStringLiteral("Food & Wine"));
    QTest::keyClicks(tag, QStringLiteral("BEVERAGE"));
    EXPECT_EQ(tag->text(), QStringLiteral("BEVER"));
    auto *sample = window.findChild<QPushButton *>(QStringLiteral("cmdsample"));
    EXPECT_EQ(sample->accessibleName(), QStringLiteral("Food & Wine"));

    window.findChild<QPushButton *>(QStringLiteral("cmdsave"))->click();
    EXPECT_EQ(button2->text(), QStringLiteral("Food && Wine")) << "no keyboard shortcut";
    window.findChild<QPushButton *>(QStringLiteral("cmddone"))->click();
    EXPECT_TRUE(waitFor([&] { return !panel->isVisible(); }));
    QFile file(path(QStringLiteral("evnt.dat")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))[2],
              QStringLiteral("Food & Wine,BEVER"));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
