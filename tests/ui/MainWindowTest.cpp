#include "ui/MainWindow.h"

#include "CalendarClub.h"
#include "ShownWindow.h"
#include "ViewTest.h"
#include "WaitFor.h"
#include "app/MainWindowLogic.h"
#include "items/DepartmentButtons.h"
#include "session/SingleInstance.h"
#include "startup/ClubUpgrade.h"
#include "ui/DepartmentButtonsPanel.h"
#include "ui/EventPanels.h"
#include "ui/QtKeySender.h"
#include "ui/SavedNoticeWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The main window over a club of the test's making.
using MainWindowTest = CalendarClub;

// The names, captions and limits the logic gives reach the widgets, and
// Exit closes the window through the logic's own close.
TEST_F(MainWindowTest, OpensWithTheLogicsNamesAndLimitsAndClosesCleanly) {
    exec(u"evnt"_s,
         u"insert into location (roomnum, room, capacity, subdiv) values (1, 'Terrace', 80, 0)"_s);
    SingleInstance instance(club, u"view-test"_s);
    MainWindowLogic logic(*module);
    auto *window = new MainWindow(logic);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<MainWindow> alive(window);
    ASSERT_EQ(logic.StartMainWindow(u"ZQJ99DEMO"_s, instance), MainWindowLogic::Outcome::Started);
    window->show();
    ASSERT_TRUE(waitFor([&] { return window->isVisible(); }));

    EXPECT_EQ(window->windowTitle(), u"DEMO @ Moravel"_s);
    EXPECT_EQ(window->objectName(), u"frmbanq0"_s);
    EXPECT_FALSE(window->button(EventCommand::Save)->isEnabled());
    EXPECT_EQ(child<QLineEdit>(*window, u"Text1(1)"_s)->maxLength(), 50);
    EXPECT_EQ(child<QComboBox>(*window, u"cboroom"_s)->count(), 2);
    EXPECT_EQ(child<QComboBox>(*window, u"cbostatus"_s)->count(), 6);

    child<QPushButton>(*window, u"cmdexit"_s)->click();
    ASSERT_TRUE(waitFor([&] { return alive.isNull(); }));
    EXPECT_EQ(scalar(u"user"_s, u"select location from staff where username = 'DEMO'"_s).toString(),
              u"Startup"_s);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST(SavedNoticeView, ShowsOnTopAndClosesItselfEachTime) {
    for (int save = 0; save < 2; ++save) {
        QPointer<SavedNoticeWindow> notice = SavedNoticeWindow::ShowSavedNotice();
        ASSERT_TRUE(notice && notice->isVisible());
        EXPECT_TRUE(notice->windowFlags() & Qt::WindowStaysOnTopHint);
        ASSERT_TRUE(waitFor([&] { return notice.isNull(); })) << "it closes and deletes itself";
    }
}

// A click marks a day, a double-click opens its bookings, a double-click
// on a booking opens the event, and Calendar brings the month back.
TEST_F(MainWindowTest, TheMonthShowsItsEventsAndADoubleClickedDayItsBookings) {
    const QDate today = clock.today();
    addRoom(u"Terrace"_s, 80);
    addRoom(u"Library"_s, 20);
    fillYear(today.year());
    const int date = today.year() * 10000 + today.month() * 100 + 15;
    addEvent(41, date, u"Smith Wedding"_s, u"10:00"_s, u"12:00"_s, 3, 2);
    addEvent(42, date, u"Book Club"_s, u"08:00"_s, u"09:00"_s, 2, 1);
    ShownWindow shown(*module, club, u"calendar-view-test"_s);
    ASSERT_TRUE(shown.show());
    MainWindowLogic &logic = shown.logic;
    MainWindow &window = shown.window;

    const int first = QDate(today.year(), today.month(), 1).dayOfWeek() % 7;
    auto *fifteenth = child<QPlainTextEdit>(window, u"cal(%1)"_s.arg(first + 14));
    // Each line stays one line inside the cell, cut with "…" where it is
    // too long; the tooltip has the lines whole.
    const QStringList whole = {u"15   2 events"_s, u"08:00 Book Club"_s, u"10:00 Smith Wedding"_s};
    QTextBlock line = fifteenth->document()->firstBlock();
    for (const QString &text : whole) {
        ASSERT_TRUE(line.isValid());
        const QString shown = line.text();
        EXPECT_TRUE(shown == text || (shown.endsWith(u'…') && text.startsWith(shown.chopped(1))))
            << shown.toStdString();
        ASSERT_EQ(line.layout()->lineCount(), 1);
        EXPECT_LE(line.layout()->lineAt(0).naturalTextWidth(), fifteenth->viewport()->width());
        line = line.next();
    }
    EXPECT_FALSE(line.isValid());
    EXPECT_TRUE(fifteenth->toolTip().startsWith(whole[1] + u'\n' + whole[2] + u"\n\n"_s));
    EXPECT_EQ(fifteenth->document()->findBlockByNumber(2).blockFormat().background().color(),
              QColor(0xA8D8F4))
        << "on its status's colour";
    QTest::mouseClick(fifteenth->viewport(), Qt::LeftButton);
    EXPECT_EQ(fifteenth->palette().color(QPalette::Base), QColor(255, 255, 128));
    QTest::mouseDClick(fifteenth->viewport(), Qt::LeftButton);

    auto *grid = child<QTableView>(window, u"gridres"_s);
    ASSERT_TRUE(waitFor([&] { return grid->isVisible(); }));
    QAbstractItemModel *model = grid->model();
    int tenOClock = 0;
    while (logic.calendar.grid.time(tenOClock) != u"10:00"_s)
        ++tenOClock;
    EXPECT_EQ(model->index(tenOClock, 5).data().toString(), u"Smith Wedding"_s);

    grid->scrollTo(model->index(tenOClock, 5));
    const QPoint slot = grid->visualRect(model->index(tenOClock, 5)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, slot);
    EXPECT_EQ(logic.window.helpwindow, u"Event # 41 - Smith Wedding"_s);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, slot);
    EXPECT_EQ(child<QLineEdit>(window, u"Text1(1)"_s)->text(), u"Smith Wedding"_s);
    EXPECT_TRUE(waitFor([&] { return !grid->isVisible(); }));

    window.button(EventCommand::Calendar)->click();
    EXPECT_TRUE(waitFor([&] { return fifteenth->isVisible(); }));
    EXPECT_TRUE(prompts.messages.isEmpty());
    window.close();
}

TEST(KeySender, TabMovesTheFocusAndCharactersAreTyped) {
    QWidget form;
    auto *first = new QLineEdit(&form);
    auto *second = new QLineEdit(&form);
    second->move(0, 40);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    first->setFocus();
    ASSERT_TRUE(waitFor([&] { return first->hasFocus(); }));

    QtKeySender keys;
    keys.SendKeyText(u"aB{+}é"_s);
    EXPECT_EQ(first->text(), u"aB+é"_s);
    keys.SendKeyText(u"{Tab}"_s);
    EXPECT_TRUE(second->hasFocus());
    keys.SendKeyText(u"+{TAB}"_s);
    EXPECT_TRUE(first->hasFocus());
    keys.SendKeyText(u"{END}{BS 2}"_s); // focus by Tab selects the text
    EXPECT_EQ(first->text(), u"aB"_s);
}

// A caption with "&" shows it rather than underlining the next letter, and
// the tag box holds five characters, as the tills take them.
TEST_F(MainWindowTest, AButtonIsSetUpWithRealClicksAndKeys) {
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
    auto *button2 = child<QPushButton>(window, u"cmddept(2)"_s);
    ASSERT_TRUE(logic.openPanel());
    ASSERT_TRUE(waitFor([&] { return panel->isVisible(); }));
    EXPECT_TRUE(panel->geometry().contains(itemList->geometry().center()));
    button2->click();
    auto *caption = child<QLineEdit>(window, u"txtbuttoncaption"_s);
    EXPECT_EQ(caption->text(), u"Dept"_s);
    caption->selectAll();
    QTest::keyClicks(caption, u"Food & Wine"_s);
    QTest::keyClicks(child<QLineEdit>(window, u"txtbuttontag"_s), u"BEVERAGE"_s);
    EXPECT_EQ(child<QPushButton>(window, u"cmdsample"_s)->accessibleName(), u"Food & Wine"_s);
    child<QPushButton>(window, u"cmdsave"_s)->click();
    EXPECT_EQ(button2->text(), u"Food && Wine"_s) << "no keyboard shortcut";
    child<QPushButton>(window, u"cmddone"_s)->click();
    EXPECT_TRUE(waitFor([&] { return !panel->isVisible(); }));
    QFile file(path(u"evnt.dat"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()).split(u'\n')[2], u"Food & Wine,BEVER"_s);
}

// Each listing command of the Reports menu launches its own layout, asking
// what that listing asks; which rows each selects is the report tests' rule.
TEST_F(MainWindowTest, EachListingCommandLaunchesItsOwnLayout) {
    ASSERT_TRUE(ClubUpgrade::copyMissingFiles(ClubUpgrade::shareDirectory(), club).ok());
    fillYear(2026);
    programs.available << u"prinzel.exe"_s;
    ShownWindow shown(*module, club, u"view-test"_s);
    ASSERT_TRUE(shown.show());
    const struct {
        const char *command, *answers, *layout;
    } cases[] = {
        {"mnueventlist(0)", "3", "evnt03a"},
        {"mnueventlist(1)", "3", "evnt03b"},
        {"mnueventlist(2)", "3", "evnt03c"},
        {"mnueventlist(3)", "3", "evnt03d"},
        {"mnudaterange", "20261201|20261231|3", "evnt03e"},
        {"mnucontacts", "20261201|20261231", "evnt03e"},
        {"mnuitemlist(0)", "", "evnt04b"},
        {"mnuitemlist(1)", "", "evnt04c"},
        {"mnuitemlist(2)", "20261201|20261231", "evnt04e"},
        {"mnuitemlist(3)", "20261201|20261231", "evnt04f"},
        {"mnurevproj(0)", "3", "evnt05b"},
        {"mnurevproj(1)", "3", "evnt05c"},
        {"mnurevproj(2)", "20261201|20261231|3", "evnt05e"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.command);
        programs.inputs.clear();
        prompts.clear();
        const QStringList answers = QString::fromLatin1(c.answers).split(u'|', Qt::SkipEmptyParts);
        for (const QString &answer : answers)
            prompts.answerInput(answer);
        shown.window.menuCommand(QString::fromLatin1(c.command))->trigger();
        ASSERT_EQ(programs.inputs.size(), 1) << prompts.messageTexts().join(u'|').toStdString();
        EXPECT_TRUE(programs.inputs[0].contains(u"ReportFileName=%1.rpt~"_s.arg(c.layout)));
        EXPECT_EQ(prompts.inputs.size(), answers.size()) << "each answer was asked for";
    }
}

} // namespace
