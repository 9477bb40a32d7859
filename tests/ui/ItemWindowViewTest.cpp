#include "ui/ItemWindowView.h"

#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>

namespace {

// The items window as a newcomer uses it on the demo club: a priced menu
// with totals, an item added, the button set-up opened and closed.
class ItemWindowViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

TEST_F(ItemWindowViewTest, ADemoEventsMenuIsShownAddedToAndTheButtonSetUpOpens) {
    ShownWindow shown(*module, club, QStringLiteral("view-test"));
    ASSERT_TRUE(shown.show());
    const int event = eventNumber(QStringLiteral("Halvorsen Engineering Holiday Party"));
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    shown.window.button(EventCommand::ItemDetail)->click();

    auto *items = shown.window.findChild<ItemWindowView *>();
    ASSERT_TRUE(waitFor([&] { return items && items->isVisible(); }));
    const auto control = [&](const QString &name) {
        QWidget *found = items->findChild<QWidget *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    };
    auto *selected = qobject_cast<QTableWidget *>(control(QStringLiteral("grid1")));
    ASSERT_EQ(selected->rowCount(), 6) << "the demo menu";
    auto *total = qobject_cast<QLineEdit *>(control(QStringLiteral("txtsub(3)")));
    const QString before = total->text();
    EXPECT_FALSE(before.isEmpty());
    EXPECT_NE(qobject_cast<QLineEdit *>(control(QStringLiteral("txtperperson")))->text(),
              QStringLiteral("No GTE"));

    // Food, ten of the second dish.
    qobject_cast<QPushButton *>(control(QStringLiteral("cmddept(0)")))->click();
    auto *inventory = qobject_cast<QTableWidget *>(control(QStringLiteral("itemgrid")));
    ASSERT_GT(inventory->rowCount(), 2);
    auto *quantity = qobject_cast<QLineEdit *>(control(QStringLiteral("txtqty")));
    EXPECT_EQ(quantity->text(), QStringLiteral("Qty"));
    QTest::mouseClick(quantity, Qt::LeftButton);
    EXPECT_EQ(quantity->text(), QString()) << "a click empties the hint";
    QTest::keyClicks(quantity, QStringLiteral("10"));
    const QString dish = inventory->item(1, 0)->text();
    // A double-click is a click and then the second press.
    const QPoint second = inventory->visualItemRect(inventory->item(1, 0)).center();
    QTest::mouseClick(inventory->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(inventory->viewport(), Qt::LeftButton, {}, second);
    ASSERT_EQ(selected->rowCount(), 7) << prompts.messageTexts().join(", ").toStdString();
    QStringList descriptions;
    for (int row = 0; row < selected->rowCount(); ++row) {
        descriptions << selected->item(row, 1)->text();
        // Departments by the names their buttons give them.
        if (descriptions.last() == QStringLiteral("10 ") + dish) {
            EXPECT_EQ(selected->item(row, 0)->text(), QStringLiteral("Food"));
        }
        EXPECT_FALSE(selected->item(row, 0)->text().front().isDigit())
            << selected->item(row, 0)->text().toStdString();
    }
    EXPECT_TRUE(descriptions.contains(QStringLiteral("10 ") + dish))
        << descriptions.join(", ").toStdString();
    EXPECT_NE(total->text(), before);

    // The menu opens the button set-up, which Done closes again.
    auto *configure = items->findChild<QAction *>(QStringLiteral("mnuconfigbuttons"));
    ASSERT_NE(configure, nullptr);
    configure->trigger();
    ASSERT_TRUE(waitFor([&] { return control(QStringLiteral("fraconfigbuttons"))->isVisible(); }));
    qobject_cast<QPushButton *>(control(QStringLiteral("cmddone")))->click();
    EXPECT_FALSE(control(QStringLiteral("fraconfigbuttons"))->isVisible());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
