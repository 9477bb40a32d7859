#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

// Two of the demo club's bookings tied into a package through the package
// list and buttons below the event panel.
class PackagesViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

TEST_F(PackagesViewTest, AnEventHeadsAPackageAnotherJoinsAndADoubleClickOpensTheHead) {
    ShownWindow shown(*module, club, QStringLiteral("packages-view-test"));
    ASSERT_TRUE(shown.show(QSize(1366, 900)));
    MainWindow &window = shown.window;
    const QVariantList bookings = column(
        QStringLiteral("evnt"),
        QStringLiteral("select eventnum from eventinfo where status between 2 and 4 order by "
                       "eventdate, eventnum"));
    ASSERT_GE(bookings.size(), 2);
    const int head = bookings[0].toInt();
    const int member = bookings[1].toInt();

    auto *list = window.findChild<QListWidget *>(QStringLiteral("lstpkg"));
    auto *create = window.findChild<QPushButton *>(QStringLiteral("cmdmulti(0)"));
    auto *linkOrUnlink = window.findChild<QPushButton *>(QStringLiteral("cmdmulti(1)"));
    auto *number = window.findChild<QLineEdit *>(QStringLiteral("Text1(2)"));
    ASSERT_TRUE(list && create && linkOrUnlink && number);
    EXPECT_EQ(create->accessibleName(), create->text());
    EXPECT_EQ(linkOrUnlink->text(),
              QStringLiteral("Link/Unlink to an existing multi-event package"));

    ASSERT_TRUE(shown.logic.ShowEvent(head));
    EXPECT_FALSE(list->isVisible()) << "in no package yet";
    ASSERT_TRUE(create->isVisible());
    EXPECT_FALSE(create->isEnabled()) << "only while the event is changed";
    window.button(EventCommand::Modify)->click();
    ASSERT_TRUE(create->isEnabled());
    prompts.answerYesNo(true);
    create->click();
    EXPECT_EQ(prompts.questions.last().title, QStringLiteral("Create Package"));
    EXPECT_FALSE(create->isVisible());
    ASSERT_TRUE(list->isVisible());

    ASSERT_TRUE(shown.logic.ShowEvent(member));
    window.button(EventCommand::Modify)->click();
    linkOrUnlink->click(); // nothing selected: the open packages
    const int packages =
        scalar(QStringLiteral("evnt"), QStringLiteral("select count(*) from pkg where pkgnum = "
                                                      "eventnum"))
            .toInt();
    ASSERT_EQ(list->count(), 1 + packages) << "the demo's wedding package and the new one";
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Available packages are:"));
    const auto offeredItems =
        list->findItems(QStringLiteral("%1 - %1 - ").arg(head), Qt::MatchStartsWith);
    ASSERT_EQ(offeredItems.size(), 1);
    QListWidgetItem *offered = offeredItems.first();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(offered).center());
    prompts.answerYesNo(true);
    linkOrUnlink->click();
    EXPECT_EQ(prompts.questions.last().title, QStringLiteral("Create Link"));
    EXPECT_EQ(scalar(QStringLiteral("evnt"),
                     QStringLiteral("select pkgnum from pkg where eventnum = ?"), {member})
                  .toInt(),
              head);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Unlink this event"));

    int headRow = 1;
    while (headRow < list->count() &&
           !list->item(headRow)->text().startsWith(QStringLiteral("%1 - %1 - ").arg(head)))
        ++headRow;
    ASSERT_LT(headRow, list->count());
    prompts.answerYesNo(true);
    const QPoint at = list->visualItemRect(list->item(headRow)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(prompts.questions.last().text,
              QStringLiteral("Do you want to switch to viewing linked event #%1 ?").arg(head));
    EXPECT_TRUE(waitFor([&] { return number->text() == QString::number(head); }))
        << number->text().toStdString();
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

} // namespace
