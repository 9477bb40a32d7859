#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "billing/PointOfSaleExport.h"
#include "events/EventLookup.h"
#include "ui/ContractBuilderView.h"
#include "ui/ItemWindowView.h"
#include "ui/LookupPanel.h"
#include "ui/PointOfSaleExportWindow.h"
#include "ui/TaskListWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEnterEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The event window's panels and the windows it opens, as a newcomer works
// them on the demo club: each control reaches its logic, whose rules and
// stored rows the logic tests check.
class DemoClubViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
    template <typename T = QWidget> T *control(QWidget &window, const QString &name) {
        T *found = window.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    QByteArray request(int till) {
        QFile file(path(u"qnpos%1.req"_s.arg(till, 2, 10, QLatin1Char('0'))));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
    // A window left open by a failure would wait for the operator forever.
    void closeLeftoverWindowsIn(int milliseconds) {
        QTimer::singleShot(milliseconds, [] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *dialog = qobject_cast<PointOfSaleExportWindow *>(window)) {
                    ADD_FAILURE() << "the export window stayed open: "
                                  << dialog->findChild<QLabel *>(u"lblmsg"_s)->text().toStdString();
                    dialog->findChild<QPushButton *>(u"cmderror"_s)->click();
                    dialog->done(QDialog::Rejected);
                }
            }
        });
    }
};

// A non-member wedding gets its account, which the tills' program in the
// club has before the operator carries on, and is billed, through the
// window's own controls.
TEST_F(DemoClubViewTest, ANonMemberEventGetsItsAccountAtTheTillsAndIsBilled) {
    QFile tillProgram(path(u"TILLZO.EXE"_s));
    ASSERT_TRUE(tillProgram.open(QIODevice::WriteOnly));
    ShownWindow shown(*module, club, u"view-test"_s);
    ASSERT_TRUE(shown.show(QSize(1366, 900)));
    MainWindow &window = shown.window;
    const int event = eventNumber(u"Sullivan-Park Reception"_s);
    QLineEdit *account = shown.typeAccount(event, u"New"_s);
    auto *assign = window.findChild<QPushButton *>(u"cmdassign"_s);
    auto *status = window.findChild<QComboBox *>(u"cbostatus"_s);
    ASSERT_TRUE(account && assign && status);
    EXPECT_EQ(assign->text(), u"Assign/Link to Account #"_s);
    closeLeftoverWindowsIn(30000);
    assign->click();
    EXPECT_EQ(prompts.lastMessage().text,
              u"Billing Account # 90002 created.\r\nClick OK to update Tillzo POS "
              "with new account information..."_s);
    EXPECT_EQ(request(1), QByteArray("16 , 0 , 0 , 0 , 0\r\n"));
    EXPECT_EQ(request(2), QByteArray("16 , 0 , 0 , 0 , 0\r\n"));
    EXPECT_EQ(account->text(), u"90002"_s);
    EXPECT_TRUE(window.button(EventCommand::Save)->isEnabled() && window.menuBar()->isEnabled())
        << "the window is free again once the tills are done";

    window.button(EventCommand::Save)->click();
    EXPECT_EQ(prompts.lastMessage().text, u"Billing Account # 90002 updated."_s);

    window.button(EventCommand::Modify)->click();
    ASSERT_TRUE(window.button(EventCommand::BillEvent)->isEnabled());
    prompts.answerYesNo(false); // no employee
    prompts.answerYesNo(true);  // "Bill this event now?"
    window.button(EventCommand::BillEvent)->click();
    EXPECT_EQ(prompts.lastMessage().text,
              u"Event #%1 billing has been sent to the A/R workspace."_s.arg(event));
    EXPECT_TRUE(waitFor([&] { return status->currentText().startsWith(QLatin1String("5-")); }))
        << status->currentText().toStdString();
    EXPECT_FALSE(window.button(EventCommand::BillEvent)->isEnabled());
    EXPECT_EQ(
        scalar(u"daily"_s, u"select count(*) from ardaily where armemberacctnum = 90002"_s).toInt(),
        4);
}

// Two bookings tied into a package through the package list and buttons
// below the event panel.
TEST_F(DemoClubViewTest, AnEventHeadsAPackageAnotherJoinsAndADoubleClickOpensTheHead) {
    ShownWindow shown(*module, club, u"view-test"_s);
    ASSERT_TRUE(shown.show(QSize(1366, 900)));
    MainWindow &window = shown.window;
    const QVariantList bookings =
        column(u"evnt"_s, u"select eventnum from eventinfo where status between 2 and 4 order by "
                          "eventdate, eventnum"_s);
    ASSERT_GE(bookings.size(), 2);
    const int head = bookings[0].toInt();
    const int member = bookings[1].toInt();

    auto *list = window.findChild<QListWidget *>(u"lstpkg"_s);
    auto *create = window.findChild<QPushButton *>(u"cmdmulti(0)"_s);
    auto *linkOrUnlink = window.findChild<QPushButton *>(u"cmdmulti(1)"_s);
    auto *number = window.findChild<QLineEdit *>(u"Text1(2)"_s);
    ASSERT_TRUE(list && create && linkOrUnlink && number);
    EXPECT_EQ(create->accessibleName(), create->text());
    EXPECT_EQ(linkOrUnlink->text(), u"Link/Unlink to an existing multi-event package"_s);

    ASSERT_TRUE(shown.logic.ShowEvent(head));
    EXPECT_FALSE(list->isVisible()) << "in no package yet";
    ASSERT_TRUE(create->isVisible());
    EXPECT_FALSE(create->isEnabled()) << "only while the event is changed";
    window.button(EventCommand::Modify)->click();
    ASSERT_TRUE(create->isEnabled());
    prompts.answerYesNo(true);
    create->click();
    EXPECT_EQ(prompts.questions.last().title, u"Create Package"_s);
    EXPECT_FALSE(create->isVisible());
    ASSERT_TRUE(list->isVisible());

    ASSERT_TRUE(shown.logic.ShowEvent(member));
    window.button(EventCommand::Modify)->click();
    linkOrUnlink->click(); // nothing selected: the open packages
    const int packages = scalar(u"evnt"_s, u"select count(*) from pkg where pkgnum = "
                                           "eventnum"_s)
                             .toInt();
    ASSERT_EQ(list->count(), 1 + packages) << "the demo's wedding package and the new one";
    EXPECT_EQ(list->item(0)->text(), u"Available packages are:"_s);
    const auto offeredItems = list->findItems(u"%1 - %1 - "_s.arg(head), Qt::MatchStartsWith);
    ASSERT_EQ(offeredItems.size(), 1);
    QListWidgetItem *offered = offeredItems.first();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(offered).center());
    prompts.answerYesNo(true);
    linkOrUnlink->click();
    EXPECT_EQ(prompts.questions.last().title, u"Create Link"_s);
    EXPECT_EQ(scalar(u"evnt"_s, u"select pkgnum from pkg where eventnum = ?"_s, {member}).toInt(),
              head);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), u"Unlink this event"_s);

    int headRow = 1;
    while (headRow < list->count() &&
           !list->item(headRow)->text().startsWith(u"%1 - %1 - "_s.arg(head)))
        ++headRow;
    ASSERT_LT(headRow, list->count());
    prompts.answerYesNo(true);
    const QPoint at = list->visualItemRect(list->item(headRow)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(prompts.questions.last().text,
              u"Do you want to switch to viewing linked event #%1 ?"_s.arg(head));
    EXPECT_TRUE(waitFor([&] { return number->text() == QString::number(head); }))
        << number->text().toStdString();
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

// A confirmed event's contract builder, on the screen whole, the wedding
// contract merged for it; it closes as the other windows do, by its Exit
// button, by Escape or by its frame, and the main window comes back.
TEST_F(DemoClubViewTest, AConfirmedEventsContractIsMergedAndEveryCloseBringsBackTheMainWindow) {
    ShownWindow shown(*module, club, u"view-test"_s);
    ASSERT_TRUE(shown.show());
    MainWindow &window = shown.window;
    const QString title = u"Wellington School Auction Committee"_s;
    const int event = scalar(u"evnt"_s,
                             u"select eventnum from eventinfo where eventtitle = ? "
                             "and status = 2"_s,
                             {title})
                          .toInt();
    ASSERT_GT(event, 0);
    auto *builder = window.findChild<ContractBuilderView *>(u"frmbanq2"_s);
    ASSERT_TRUE(builder);
    for (const char *close : {"frame", "Exit", "Escape"}) {
        SCOPED_TRACE(close);
        ASSERT_TRUE(shown.logic.ShowEvent(event));
        window.button(EventCommand::ContractBuilder)->click();
        ASSERT_TRUE(waitFor([&] { return builder->isVisible(); }));
        EXPECT_TRUE(builder->screen()->availableGeometry().contains(builder->frameGeometry()))
            << "on a 1366x768 screen";
        auto *contracts = builder->findChild<QComboBox *>(u"cbocontract"_s);
        auto *exit = builder->findChild<QPushButton *>(u"cmdexit"_s);
        ASSERT_TRUE(contracts && exit);
        EXPECT_EQ(exit->text(), u"E&xit"_s);
        EXPECT_TRUE(exit->isVisible());
        if (close == std::string_view("frame")) {
            EXPECT_TRUE(
                builder->windowTitle().startsWith(u"DEMO @ Contract Builder  -  "_s + title));
            auto *files = builder->findChild<QListWidget *>(u"File1"_s);
            auto *components = builder->findChild<QListWidget *>(u"List1"_s);
            auto *viewer = builder->findChild<QPlainTextEdit *>(u"Text1"_s);
            ASSERT_TRUE(files && components && viewer);
            EXPECT_EQ(contracts->itemText(2), u"1 - Wedding Reception"_s);
            EXPECT_EQ(contracts->itemText(3), u"2 - Corporate Meeting"_s);
            EXPECT_EQ(files->findItems(u"cbterms.txt"_s, Qt::MatchExactly).size(), 1);
            contracts->setCurrentIndex(2);
            emit contracts->activated(2); // as a pick from the open list
            EXPECT_EQ(components->count(), 5);
            EXPECT_TRUE(viewer->toPlainText().contains(u"for \""_s + title + "\""))
                << viewer->toPlainText().left(400).toStdString();
            EXPECT_TRUE(viewer->toPlainText().contains(u"Hollow Creek Country Club"_s));
            builder->close();
        } else {
            contracts->setFocus();
            ASSERT_TRUE(waitFor([&] { return contracts->hasFocus(); }));
            if (close == std::string_view("Escape"))
                QTest::keyClick(contracts, Qt::Key_Escape);
            else
                exit->click();
        }
        EXPECT_TRUE(waitFor([&] { return !builder->isVisible() && window.isVisible(); }));
        EXPECT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
        EXPECT_FALSE(shown.logic.contracts.visible);
    }
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    shown.logic.QueryUnloadMainWindow();
}

// The items window: a priced menu with totals, an item added, the button
// set-up opened and closed.
TEST_F(DemoClubViewTest, ADemoEventsMenuIsShownAddedToAndTheButtonSetUpOpens) {
    ShownWindow shown(*module, club, u"view-test"_s);
    ASSERT_TRUE(shown.show());
    const int event = eventNumber(u"Halvorsen Engineering Holiday Party"_s);
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    shown.window.button(EventCommand::ItemDetail)->click();

    auto *items = shown.window.findChild<ItemWindowView *>();
    ASSERT_TRUE(waitFor([&] { return items && items->isVisible(); }));
    const auto control = [&](const QString &name) {
        QWidget *found = items->findChild<QWidget *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    };
    auto *selected = qobject_cast<QTableWidget *>(control(u"grid1"_s));
    ASSERT_EQ(selected->rowCount(), 6) << "the demo menu";
    auto *total = qobject_cast<QLineEdit *>(control(u"txtsub(3)"_s));
    const QString before = total->text();
    EXPECT_FALSE(before.isEmpty());
    EXPECT_NE(qobject_cast<QLineEdit *>(control(u"txtperperson"_s))->text(), u"No GTE"_s);

    // Food, ten of the second dish.
    qobject_cast<QPushButton *>(control(u"cmddept(0)"_s))->click();
    auto *inventory = qobject_cast<QTableWidget *>(control(u"itemgrid"_s));
    ASSERT_GT(inventory->rowCount(), 2);
    auto *quantity = qobject_cast<QLineEdit *>(control(u"txtqty"_s));
    EXPECT_EQ(quantity->text(), u"Qty"_s);
    QTest::mouseClick(quantity, Qt::LeftButton);
    EXPECT_EQ(quantity->text(), QString()) << "a click empties the hint";
    QTest::keyClicks(quantity, u"10"_s);
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
        if (descriptions.last() == u"10 "_s + dish) {
            EXPECT_EQ(selected->item(row, 0)->text(), u"Food"_s);
        }
        EXPECT_FALSE(selected->item(row, 0)->text().front().isDigit())
            << selected->item(row, 0)->text().toStdString();
    }
    EXPECT_TRUE(descriptions.contains(u"10 "_s + dish)) << descriptions.join(", ").toStdString();
    EXPECT_NE(total->text(), before);

    // The menu opens the button set-up, which Done closes again.
    auto *configure = items->findChild<QAction *>(u"mnuconfigbuttons"_s);
    ASSERT_NE(configure, nullptr);
    configure->trigger();
    ASSERT_TRUE(waitFor([&] { return control(u"fraconfigbuttons"_s)->isVisible(); }));
    qobject_cast<QPushButton *>(control(u"cmddone"_s))->click();
    EXPECT_FALSE(control(u"fraconfigbuttons"_s)->isVisible());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

// The look-up panel, driven with the mouse and keys.
TEST_F(DemoClubViewTest, ATitleTypedAndChosenIsShownInTheEventBoxes) {
    ShownWindow shown(*module, club, u"view-test"_s);
    ASSERT_TRUE(shown.show());
    MainWindow &window = shown.window;
    auto *panel = window.findChild<LookupPanel *>(u"fralookup"_s);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible());

    window.button(EventCommand::Lookup)->click();
    ASSERT_TRUE(waitFor([&] { return panel->isVisible(); }));
    QLineEdit *date = panel->findChild<QLineEdit *>(u"txtlookup(0)"_s);
    QLineEdit *title = panel->findChild<QLineEdit *>(u"txtlookup(1)"_s);
    ASSERT_TRUE(date && title);
    for (int box = 0; box < EventLookup::BoxCount; ++box) {
        QLineEdit *line = panel->findChild<QLineEdit *>(u"txtlookup(%1)"_s.arg(box));
        EXPECT_EQ(line->accessibleName(), EventLookup::label(box)) << box;
    }
    EXPECT_EQ(panel->findChild<QPushButton *>(u"cmdlookup2(0)"_s)->text(), u"Lookup"_s);
    EXPECT_EQ(panel->findChild<QPushButton *>(u"cmdlookup2(1)"_s)->text(), u"Cancel Lookup"_s);

    // F5 in the date box starts the date look-up; month and day get the
    // year; typing into the next box empties the date.
    QTest::mouseClick(date, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return date->hasFocus(); }));
    EXPECT_TRUE(date->styleSheet().contains(u"#ffff00"_s)) << "the box in use";
    QTest::keyClick(date, Qt::Key_F5);
    EXPECT_EQ(programs.started, QStringList{u"datesift.exe"_s});
    QTest::keyClicks(date, u"1225"_s);
    QTest::keyClick(date, Qt::Key_Tab);
    QLineEdit *number = panel->findChild<QLineEdit *>(u"txtlookup(2)"_s);
    ASSERT_TRUE(waitFor([&] { return number->hasFocus(); })) << "the boxes in the order shown";
    EXPECT_EQ(date->text(), u"20261225"_s);
    EXPECT_TRUE(date->styleSheet().contains(u"#ffffff"_s));
    QTest::keyClicks(number, u"7"_s);
    EXPECT_EQ(date->text(), QString());
    EXPECT_EQ(number->text(), u"7"_s);

    // The search is the look-up's rule (the year added to a month and day,
    // the count): the panel runs it on Enter and opens the list.
    auto *results = panel->findChild<QComboBox *>(u"cbolookup"_s);
    auto *count = panel->findChild<QLabel *>(u"lbllookupcount"_s);
    ASSERT_TRUE(results && count);

    // A few letters of a title, Enter, and the wedding chosen from the list.
    QTest::mouseClick(title, Qt::LeftButton);
    EXPECT_EQ(number->text(), QString()) << "a click empties every box";
    QTest::keyClicks(title, u"wedd"_s);
    QTest::keyClick(title, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return results->view()->isVisible(); }));
    EXPECT_EQ(count->text(), u"%1 events found"_s.arg(results->count()));
    EXPECT_GT(results->count(), 1);
    results->hidePopup();
    EXPECT_EQ(results->placeholderText(), EventLookup::ResultsPrompt);
    int wedding = -1;
    for (int i = 0; i < results->count(); ++i) {
        EXPECT_TRUE(results->itemText(i).contains(u"Wedding"_s)) << i;
        if (results->itemText(i).contains(u"Sullivan-Park Wedding Ceremony"_s))
            wedding = i;
    }
    ASSERT_GE(wedding, 0);
    const QString chosen = results->itemText(wedding).section(u" - "_s, 0, 0);
    results->setCurrentIndex(wedding);
    emit results->activated(wedding);

    ASSERT_TRUE(waitFor([&] { return !panel->isVisible(); }));
    auto *eventTitle = window.findChild<QLineEdit *>(u"Text1(1)"_s);
    auto *eventNumber = window.findChild<QLineEdit *>(u"Text1(2)"_s);
    EXPECT_EQ(eventTitle->text(), u"Sullivan-Park Wedding Ceremony"_s);
    EXPECT_EQ(eventNumber->text(), chosen);
    EXPECT_TRUE(window.findChild<QWidget *>(u"frabilling"_s)->isVisible());
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();

    // The wedding's package lists its weekend; the rehearsal dinner opens
    // with a double click.
    auto *package = window.findChild<QListWidget *>(u"lstpkg"_s);
    ASSERT_TRUE(package && package->isVisible());
    const auto dinners = package->findItems(u"Rehearsal Dinner"_s, Qt::MatchContains);
    ASSERT_EQ(dinners.size(), 1);
    const QPoint at = package->visualItemRect(dinners.first()).center();
    prompts.answerYesNo(true);
    QTest::mouseClick(package->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(package->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(waitFor([&] { return eventTitle->text() == u"Sullivan-Park Rehearsal Dinner"_s; }));

    // The File menu's clone reaches the event: a new number, the same title.
    const QDate held =
        QDate::fromString(window.findChild<QLineEdit *>(u"Text1(0)"_s)->text(), u"yyyyMMdd"_s);
    ASSERT_TRUE(held.isValid());
    prompts.answerInput(held.addMonths(1).toString(u"yyyyMMdd"_s));
    window.menuCommand(u"mnucloneevent"_s)->trigger();
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_NE(eventNumber->text(), chosen);
    EXPECT_EQ(eventTitle->text(), u"Sullivan-Park Rehearsal Dinner"_s);
}

// What reaches the tills is the export's rule; the window runs it, passes
// its reload code on to both tills and closes by itself.
TEST_F(DemoClubViewTest, TheExportWindowRefreshesTheDemoTillsAndClosesByItself) {
    PointOfSaleExport logic(module->databases, module->messages, module->longOperation);
    closeLeftoverWindowsIn(30000);
    PointOfSaleExportWindow window(logic, u"40"_s);
    EXPECT_EQ(window.exec(), QDialog::Accepted);
    EXPECT_EQ(request(1), QByteArray("40 , 0 , 0 , 0 , 0\r\n"));
    EXPECT_EQ(request(2), QByteArray("40 , 0 , 0 , 0 , 0\r\n"));
}

TEST_F(DemoClubViewTest, AnErrorKeepsTheWindowOpenUntilItIsAcknowledged) {
    removeDatabase(u"qnposemp"_s);
    PointOfSaleExport logic(module->databases, module->messages, module->longOperation);
    PointOfSaleExportWindow window(logic, u"19"_s);
    window.show();
    ASSERT_TRUE(waitFor([&] { return logic.ErrorFlag == 1; }));
    auto *error = window.findChild<QPushButton *>(u"cmderror"_s);
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(window.findChild<QLabel *>(u"lblmsg"_s)->text(), u"Error 53 @ 1"_s);
    window.close();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible()) << "neither closing nor Escape while the error shows";
    error->click();
    EXPECT_FALSE(error->isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

// The task list window with real clicks and keys over the demo club's tasks.
TEST_F(DemoClubViewTest, ATaskIsChosenTickedAndSavedAsDone) {
    signIn(99);
    const int event =
        scalar(u"evnt"_s, u"select min(eventnumber) from tasklist where todo = 'N'"_s).toInt();
    ASSERT_GT(event, 0) << "the demo club has tasks still to do";
    TaskList tasks(*module);
    TaskListWindow window(tasks, nullptr);
    prompts.answerInput(QString::number(event));
    window.openByEventNumber();
    ASSERT_TRUE(waitFor([&] { return window.isVisible(); }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), u"Event Task List"_s);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);

    auto *grid = control<QTableWidget>(window, u"taskgrid"_s);
    ASSERT_GT(grid->rowCount(), 0);
    EXPECT_EQ(grid->horizontalHeaderItem(3)->text(), u"Task to be done"_s);
    int open = 0;
    while (open < grid->rowCount() && grid->item(open, 2)->text() != QLatin1String("N"))
        ++open;
    ASSERT_LT(open, grid->rowCount());
    const QString chosen = grid->item(open, 3)->text();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(open, 3)).center());
    auto *task = control<QLineEdit>(window, u"Text1(3)"_s);
    EXPECT_EQ(task->text(), chosen);
    EXPECT_FALSE(control<QLineEdit>(window, u"Text1(1)"_s)->isReadOnly());

    // The pointer over a box names it in the status line; its label and
    // hint are there for screen readers too.
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(task, &enter);
    auto *status = control<QStatusBar>(window, u"statusline"_s);
    EXPECT_EQ(status->currentMessage(), u"Description of the task to be done"_s);
    EXPECT_EQ(task->accessibleName(), u"Task to be done"_s);
    EXPECT_EQ(task->toolTip(), u"Description of the task to be done"_s);

    auto *done = control<QCheckBox>(window, u"chkdone"_s);
    QTest::mouseClick(done, Qt::LeftButton);
    EXPECT_EQ(control<QLineEdit>(window, u"Text1(2)"_s)->text(), u"Y"_s);
    control<QPushButton>(window, u"cmdsave"_s)->click();

    const int rows = grid->rowCount();
    int saved = 0;
    while (saved < rows && grid->item(saved, 3)->text() != chosen)
        ++saved;
    ASSERT_LT(saved, rows) << "the saved task is listed again";
    EXPECT_EQ(grid->item(saved, 2)->text(), u"Y"_s);
    EXPECT_EQ(grid->item(saved, 4)->text(), u"DEMO"_s);
    EXPECT_EQ(task->text(), QString());
    EXPECT_TRUE(control<QLineEdit>(window, u"Text1(1)"_s)->isReadOnly());

    // Enter moves on from box to box; Exit closes the window.
    control<QPushButton>(window, u"cmdadd"_s)->click();
    ASSERT_TRUE(waitFor([&] { return task->hasFocus(); })) << "Add Task puts the cursor there";
    QTest::keyClicks(task, u"Print place cards"_s);
    QTest::keyClick(task, Qt::Key_Return);
    EXPECT_TRUE(waitFor([&] { return control<QLineEdit>(window, u"Text1(4)"_s)->hasFocus(); }));
    control<QPushButton>(window, u"cmdexit"_s)->click();
    EXPECT_TRUE(waitFor([&] { return !window.isVisible(); }));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
