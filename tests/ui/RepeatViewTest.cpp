#include "ui/RepeatView.h"

#include "ClubFixture.h"
#include "ShownWindow.h"
#include "ViewTest.h"
#include "WaitFor.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class RepeatViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

// The demo reception repeated on Wednesdays as well, from the File menu:
// the dates shown as they are typed, then saved, and the main window back
// on the original with its series.
TEST_F(RepeatViewTest, AWeeklyRepeatChosenFromTheFileMenuIsPreviewedAndSaved) {
    ShownWindow shown(*module, club, u"repeat-view"_s);
    ASSERT_TRUE(shown.show(QSize(1366, 768)));
    const int reception = eventNumber(u"Sullivan-Park Reception"_s);
    ASSERT_TRUE(shown.logic.ShowEvent(reception));
    EXPECT_FALSE(shown.window.menuCommand(u"mnuchangeseries"_s)->isEnabled())
        << "not one of a series yet";
    shown.window.menuCommand(u"mnurepeatevent"_s)->trigger();
    auto *repeat = child<RepeatView>(shown.window, u"frmrepeat"_s);
    ASSERT_TRUE(waitFor([&] { return repeat->isVisible() && repeat->isActiveWindow(); }));
    EXPECT_EQ(repeat->windowTitle(), u"Repeat - #%1 Sullivan-Park Reception"_s.arg(reception));

    auto *table = child<QTableWidget>(*repeat, u"grdrepeat"_s);
    auto *wednesday = child<QCheckBox>(*repeat, u"chkweekday(3)"_s);
    ASSERT_FALSE(wednesday->isChecked());
    QTest::keyClick(repeat, Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(waitFor([&] { return wednesday->isChecked(); })) << "Alt+E ticks Wednesday";
    auto *count = child<QLineEdit>(*repeat, u"txtrepeatcount"_s);
    count->setFocus();
    QTest::keyClick(count, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(count, u"6"_s);
    ASSERT_TRUE(waitFor([&] { return table->rowCount() == 6; }));
    const QStringList weekdays = {table->item(0, 0)->text().left(3),
                                  table->item(1, 0)->text().left(3)};
    EXPECT_TRUE(weekdays.contains(u"Wed"_s)) << weekdays.join(u' ').toStdString();
    auto *summary = child<QLabel>(*repeat, u"lblrepeatsummary"_s);
    EXPECT_TRUE(summary->text().startsWith(u"6 of 6 dates are free"_s))
        << summary->text().toStdString();
    if (const QString folder = qEnvironmentVariable("MORAVEL_SCREENSHOTS"); !folder.isEmpty())
        repeat->grab().save(QDir(folder).filePath(u"repeat.png"_s));

    QTest::keyClick(repeat, Qt::Key_S, Qt::AltModifier);
    auto *status = child<QLabel>(*repeat, u"lblrepeatstatus"_s);
    ASSERT_TRUE(waitFor([&] { return status->isVisible(); }));
    EXPECT_TRUE(status->text().startsWith(u"6 copies saved as events #"_s))
        << status->text().toStdString();
    EXPECT_TRUE(status->text().endsWith(u", a series with #%1."_s.arg(reception)));
    EXPECT_FALSE(child<QPushButton>(*repeat, u"cmdsaverepeat"_s)->isEnabled());
    EXPECT_TRUE(table->item(0, 1)->text().startsWith(u"Saved as event #"_s));
    EXPECT_EQ(prompts.messageTexts(), QStringList{status->text()});

    QTest::keyClick(repeat, Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return !repeat->isVisible(); }));
    EXPECT_EQ(shown.logic.currentEvent().EventNumber, reception);
    EXPECT_TRUE(shown.window.menuCommand(u"mnuchangeseries"_s)->isEnabled());
    // Its series lists the six copies after it.
    shown.window.menuCommand(u"mnuchangeseries"_s)->trigger();
    auto *series = child<QDialog>(shown.window, u"frmseries"_s);
    ASSERT_TRUE(waitFor([&] { return series->isVisible(); }));
    EXPECT_EQ(child<QTableWidget>(*series, u"grdseries"_s)->rowCount(), 6);
    if (const QString folder = qEnvironmentVariable("MORAVEL_SCREENSHOTS"); !folder.isEmpty())
        series->grab().save(QDir(folder).filePath(u"series.png"_s));
    QTest::keyClick(series, Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return !series->isVisible(); }));
    shown.logic.QueryUnloadMainWindow();
}

} // namespace
