#include "ui/LookupPanel.h"

#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "events/EventLookup.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

// The look-up panel in the demo club, driven with the mouse and keys.
class LookupPanelTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

TEST_F(LookupPanelTest, ATitleTypedAndChosenIsShownInTheEventBoxes) {
    ShownWindow shown(*module, club, QStringLiteral("lookup-view-test"));
    ASSERT_TRUE(shown.show());
    MainWindow &window = shown.window;
    auto *panel = window.findChild<LookupPanel *>(QStringLiteral("fralookup"));
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible());

    window.button(EventCommand::Lookup)->click();
    ASSERT_TRUE(waitFor([&] { return panel->isVisible(); }));
    QLineEdit *date = panel->findChild<QLineEdit *>(QStringLiteral("txtlookup(0)"));
    QLineEdit *title = panel->findChild<QLineEdit *>(QStringLiteral("txtlookup(1)"));
    ASSERT_TRUE(date && title);
    for (int box = 0; box < EventLookup::BoxCount; ++box) {
        QLineEdit *line = panel->findChild<QLineEdit *>(QStringLiteral("txtlookup(%1)").arg(box));
        EXPECT_EQ(line->accessibleName(), EventLookup::label(box)) << box;
    }
    EXPECT_EQ(panel->findChild<QPushButton *>(QStringLiteral("cmdlookup2(0)"))->text(),
              QStringLiteral("Lookup"));
    EXPECT_EQ(panel->findChild<QPushButton *>(QStringLiteral("cmdlookup2(1)"))->text(),
              QStringLiteral("Cancel Lookup"));

    // F5 in the date box starts the date look-up; month and day get the
    // year; typing into the next box empties the date.
    QTest::mouseClick(date, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return date->hasFocus(); }));
    EXPECT_TRUE(date->styleSheet().contains(QStringLiteral("#ffff00"))) << "the box in use";
    QTest::keyClick(date, Qt::Key_F5);
    EXPECT_EQ(programs.started, QStringList{QStringLiteral("datesift.exe")});
    QTest::keyClicks(date, QStringLiteral("1225"));
    QTest::keyClick(date, Qt::Key_Tab);
    QLineEdit *number = panel->findChild<QLineEdit *>(QStringLiteral("txtlookup(2)"));
    ASSERT_TRUE(waitFor([&] { return number->hasFocus(); })) << "the boxes in the order shown";
    EXPECT_EQ(date->text(), QStringLiteral("20261225"));
    EXPECT_TRUE(date->styleSheet().contains(QStringLiteral("#ffffff")));
    QTest::keyClicks(number, QStringLiteral("7"));
    EXPECT_EQ(date->text(), QString());
    EXPECT_EQ(number->text(), QStringLiteral("7"));

    // Month and day of an event this year, Enter: the year is added and
    // the day's events listed at once, counted.
    auto *results = panel->findChild<QComboBox *>(QStringLiteral("cbolookup"));
    auto *count = panel->findChild<QLabel *>(QStringLiteral("lbllookupcount"));
    ASSERT_TRUE(results && count);
    const int booked = scalar(QStringLiteral("evnt"),
                              QStringLiteral("select min(eventdate) from eventinfo where eventdate "
                                             "between ? and ? and eventnum > 0"),
                              {20260101, 20261231})
                           .toInt();
    ASSERT_GT(booked, 0);
    QTest::mouseClick(date, Qt::LeftButton);
    QTest::keyClicks(date, QString::number(booked % 10000).rightJustified(4, QLatin1Char('0')));
    QTest::keyClick(date, Qt::Key_Return);
    EXPECT_EQ(date->text(), QString::number(booked));
    ASSERT_TRUE(waitFor([&] { return results->view()->isVisible(); })) << "the list opens";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_EQ(count->text(), results->count() == 1
                                 ? QStringLiteral("1 event found")
                                 : QStringLiteral("%1 events found").arg(results->count()));
    results->hidePopup();

    // A few letters of a title, Enter, and the wedding chosen from the list.
    QTest::mouseClick(title, Qt::LeftButton);
    EXPECT_EQ(number->text(), QString()) << "a click empties every box";
    QTest::keyClicks(title, QStringLiteral("wedd"));
    QTest::keyClick(title, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return results->view()->isVisible(); }));
    EXPECT_EQ(count->text(), QStringLiteral("%1 events found").arg(results->count()));
    EXPECT_GT(results->count(), 1);
    results->hidePopup();
    EXPECT_EQ(results->placeholderText(), EventLookup::ResultsPrompt);
    int wedding = -1;
    for (int i = 0; i < results->count(); ++i) {
        EXPECT_TRUE(results->itemText(i).contains(QStringLiteral("Wedding"))) << i;
        if (results->itemText(i).contains(QStringLiteral("Sullivan-Park Wedding Ceremony")))
            wedding = i;
    }
    ASSERT_GE(wedding, 0);
    const QString chosen = results->itemText(wedding).section(QStringLiteral(" - "), 0, 0);
    results->setCurrentIndex(wedding);
    emit results->activated(wedding);

    ASSERT_TRUE(waitFor([&] { return !panel->isVisible(); }));
    auto *eventTitle = window.findChild<QLineEdit *>(QStringLiteral("Text1(1)"));
    auto *eventNumber = window.findChild<QLineEdit *>(QStringLiteral("Text1(2)"));
    EXPECT_EQ(eventTitle->text(), QStringLiteral("Sullivan-Park Wedding Ceremony"));
    EXPECT_EQ(eventNumber->text(), chosen);
    EXPECT_TRUE(window.findChild<QWidget *>(QStringLiteral("frabilling"))->isVisible());
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();

    // The wedding's package lists its weekend; the rehearsal dinner opens
    // with a double click.
    auto *package = window.findChild<QListWidget *>(QStringLiteral("lstpkg"));
    ASSERT_TRUE(package && package->isVisible());
    const auto dinners = package->findItems(QStringLiteral("Rehearsal Dinner"), Qt::MatchContains);
    ASSERT_EQ(dinners.size(), 1);
    const QPoint at = package->visualItemRect(dinners.first()).center();
    prompts.answerYesNo(true);
    QTest::mouseClick(package->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(package->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(waitFor(
        [&] { return eventTitle->text() == QStringLiteral("Sullivan-Park Rehearsal Dinner"); }));

    // The File menu's clone reaches the event: a new number, the same title.
    const QDate held =
        QDate::fromString(window.findChild<QLineEdit *>(QStringLiteral("Text1(0)"))->text(),
                          QStringLiteral("yyyyMMdd"));
    ASSERT_TRUE(held.isValid());
    prompts.answerInput(held.addMonths(1).toString(QStringLiteral("yyyyMMdd")));
    window.menuCommand(QStringLiteral("mnucloneevent"))->trigger();
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_NE(eventNumber->text(), chosen);
    EXPECT_EQ(eventTitle->text(), QStringLiteral("Sullivan-Park Rehearsal Dinner"));
}

} // namespace
