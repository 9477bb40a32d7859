#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "app/MainWindowLogic.h"
#include "session/SingleInstance.h"
#include "ui/MainWindow.h"
#include "ui/QtKeySender.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

class RoomEditorPanelTest : public ClubFixture {};

TEST_F(RoomEditorPanelTest, AddingARoomThroughThePanelUpdatesEveryRoomList) {
    ShownWindow shown(*module, club, QStringLiteral("panel-test"));
    ASSERT_TRUE(shown.show());
    MainWindow &window = shown.window;

    window.menuCommand(QStringLiteral("mnuaddroom"))->trigger();
    auto *panel = window.findChild<QWidget *>(QStringLiteral("fralocation"));
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(waitFor([&] { return panel->isVisible(); }));
    auto *name = window.findChild<QLineEdit *>(QStringLiteral("Text3(0)"));
    auto *capacity = window.findChild<QLineEdit *>(QStringLiteral("Text3(1)"));
    QTest::qWait(50); // focus changes arrive as events
    EXPECT_EQ(name->text(), QStringLiteral("(room name here)")) << "the hint stays until the "
                                                                   "operator enters the box";
    auto *help = window.findChild<QPlainTextEdit *>(QStringLiteral("helpwindow"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->toPlainText().startsWith(QStringLiteral("To add a room")));

    name->setFocus();
    ASSERT_TRUE(waitFor([&] { return name->text().isEmpty(); })) << "entering clears the hint";
    QTest::keyClicks(name, QStringLiteral("Terrace Pavilion"));
    QTest::keyClicks(capacity, QStringLiteral("90"));
    window.findChild<QPushButton *>(QStringLiteral("cmdroom(0)"))->click();

    EXPECT_EQ(window.findChild<QListWidget *>(QStringLiteral("List2"))->count(), 1);
    EXPECT_EQ(window.findChild<QListWidget *>(QStringLiteral("List1"))->item(0)->text(),
              QStringLiteral("1 - Terrace Pavilion  -  cap:90"));
    EXPECT_EQ(window.findChild<QComboBox *>(QStringLiteral("cboroom"))->count(), 2);
    EXPECT_EQ(name->text(), QString());
    EXPECT_EQ(help->toPlainText(),
              QStringLiteral("Room successfully added to reservations table."));

    window.findChild<QPushButton *>(QStringLiteral("cmdroom(1)"))->click();
    EXPECT_TRUE(waitFor([&] { return !panel->isVisible(); }));
    EXPECT_TRUE(prompts.messages.isEmpty());
    window.close();
}

TEST(KeySender, TabMovesTheFocusAndCharactersAreTyped) {
    QWidget form;
    auto *first = new QLineEdit(&form);
    auto *second = new QLineEdit(&form);
    first->move(0, 0);
    second->move(0, 40);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    first->setFocus();
    ASSERT_TRUE(waitFor([&] { return first->hasFocus(); }));

    QtKeySender keys;
    keys.SendKeyText(QStringLiteral("aB{+}é"));
    EXPECT_EQ(first->text(), QStringLiteral("aB+é"));
    keys.SendKeyText(QStringLiteral("{Tab}"));
    EXPECT_TRUE(second->hasFocus());
    keys.SendKeyText(QStringLiteral("+{TAB}"));
    EXPECT_TRUE(first->hasFocus());
    keys.SendKeyText(QStringLiteral("{END}{BS 2}")); // focus by Tab selects the text
    EXPECT_EQ(first->text(), QStringLiteral("aB"));
}

} // namespace
