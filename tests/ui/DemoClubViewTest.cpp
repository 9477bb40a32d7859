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
        QFile file(path(QStringLiteral("qnpos%1.req").arg(till, 2, 10, QLatin1Char('0'))));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
    // A window left open by a failure would wait for the operator forever.
    void closeLeftoverWindowsIn(int milliseconds) {
        QTimer::singleShot(milliseconds, [] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *dialog = qobject_cast<PointOfSaleExportWindow *>(window)) {
                    ADD_FAILURE() << "the export window stayed open: "
                                  << dialog->findChild<QLabel *>(QStringLiteral("lblmsg"))
                                         ->text()
                                         .toStdString();
                    dialog->findChild<QPushButton *>(QStringLiteral("cmderror"))->click();
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
    QFile tillProgram(path(QStringLiteral("TILLZO.EXE")));
    ASSERT_TRUE(tillProgram.open(QIODevice::WriteOnly));
    ShownWindow shown(*module, club, QStringLiteral("view-test"));
    ASSERT_TRUE(shown.show(QSize(1366, 900)));
    MainWindow &window = shown.window;
    const int event = eventNumber(QStringLiteral("Sullivan-Park Reception"));
    QLineEdit *account = shown.typeAccount(event, QStringLiteral("New"));
    auto *assign = window.findChild<QPushButton *>(QStringLiteral("cmdassign"));
    auto *status = window.findChild<QComboBox *>(QStringLiteral("cbostatus"));
    ASSERT_TRUE(account && assign && status);
    EXPECT_EQ(assign->text(), QStringLiteral("Assign/Link to Account #"));
    closeLeftoverWindowsIn(30000);
    assign->click();
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Billing Account # 90002 created.\r\nClick OK to update Tillzo POS "
                             "with new account information..."));
    EXPECT_EQ(request(1), QByteArray("16 , 0 , 0 , 0 , 0\r\n"));
    EXPECT_EQ(request(2), QByteArray("16 , 0 , 0 , 0 , 0\r\n"));
    EXPECT_EQ(account->text(), QStringLiteral("90002"));
    EXPECT_TRUE(window.button(EventCommand::Save)->isEnabled() && window.menuBar()->isEnabled())
        << "the window is free again once the tills are done";

    window.button(EventCommand::Save)->click();
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Billing Account # 90002 updated."));

    window.button(EventCommand::Modify)->click();
    ASSERT_TRUE(window.button(EventCommand::BillEvent)->isEnabled());
    prompts.answerYesNo(false); // no employee
    prompts.answerYesNo(true);  // "Bill this event now?"
    window.button(EventCommand::BillEvent)->click();
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Event #%1 billing has been sent to the A/R workspace.").arg(event));
    EXPECT_TRUE(waitFor([&] { return status->currentText().startsWith(QLatin1String("5-")); }))
        << status->currentText().toStdString();
    EXPECT_FALSE(window.button(EventCommand::BillEvent)->isEnabled());
    EXPECT_EQ(scalar(QStringLiteral("daily"),
                     QStringLiteral("select count(*) from ardaily where armemberacctnum = 90002"))
                  .toInt(),
              4);
}

// Two bookings tied into a package through the package list and buttons
// below the event panel.
TEST_F(DemoClubViewTest, AnEventHeadsAPackageAnotherJoinsAndADoubleClickOpensTheHead) {
    ShownWindow shown(*module, club, QStringLiteral("view-test"));
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

// A confirmed event's contract builder, on the screen whole, the wedding
// contract merged for it; it closes as the other windows do, by its Exit
// button, by Escape or by its frame, and the main window comes back.
TEST_F(DemoClubViewTest, AConfirmedEventsContractIsMergedAndEveryCloseBringsBackTheMainWindow) {
    ShownWindow shown(*module, club, QStringLiteral("view-test"));
    ASSERT_TRUE(shown.show());
    MainWindow &window = shown.window;
    const QString title = QStringLiteral("Wellington School Auction Committee");
    const int event = scalar(QStringLiteral("evnt"),
                             QStringLiteral("select eventnum from eventinfo where eventtitle = ? "
                                            "and status = 2"),
                             {title})
                          .toInt();
    ASSERT_GT(event, 0);
    auto *builder = window.findChild<ContractBuilderView *>(QStringLiteral("frmbanq2"));
    ASSERT_TRUE(builder);
    for (const char *close : {"frame", "Exit", "Escape"}) {
        SCOPED_TRACE(close);
        ASSERT_TRUE(shown.logic.ShowEvent(event));
        window.button(EventCommand::ContractBuilder)->click();
        ASSERT_TRUE(waitFor([&] { return builder->isVisible(); }));
        EXPECT_TRUE(builder->screen()->availableGeometry().contains(builder->frameGeometry()))
            << "on a 1366x768 screen";
        auto *contracts = builder->findChild<QComboBox *>(QStringLiteral("cbocontract"));
        auto *exit = builder->findChild<QPushButton *>(QStringLiteral("cmdexit"));
        ASSERT_TRUE(contracts && exit);
        EXPECT_EQ(exit->text(), QStringLiteral("E&xit"));
        EXPECT_TRUE(exit->isVisible());
        if (close == std::string_view("frame")) {
            EXPECT_TRUE(builder->windowTitle().startsWith(
                QStringLiteral("DEMO @ Contract Builder  -  ") + title));
            auto *files = builder->findChild<QListWidget *>(QStringLiteral("File1"));
            auto *components = builder->findChild<QListWidget *>(QStringLiteral("List1"));
            auto *viewer = builder->findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
            ASSERT_TRUE(files && components && viewer);
            EXPECT_EQ(contracts->itemText(2), QStringLiteral("1 - Wedding Reception"));
            EXPECT_EQ(contracts->itemText(3), QStringLiteral("2 - Corporate Meeting"));
            EXPECT_EQ(files->findItems(QStringLiteral("cbterms.txt"), Qt::MatchExactly).size(), 1);
            contracts->setCurrentIndex(2);
            emit contracts->activated(2); // as a pick from the open list
            EXPECT_EQ(components->count(), 5);
            EXPECT_TRUE(viewer->toPlainText().contains(QStringLiteral("for \"") + title + "\""))
                << viewer->toPlainText().left(400).toStdString();
            EXPECT_TRUE(
                viewer->toPlainText().contains(QStringLiteral("Hollow Creek Country Club")));
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

// The look-up panel, driven with the mouse and keys.
TEST_F(DemoClubViewTest, ATitleTypedAndChosenIsShownInTheEventBoxes) {
    ShownWindow shown(*module, club, QStringLiteral("view-test"));
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

    // The search is the look-up's rule (the year added to a month and day,
    // the count): the panel runs it on Enter and opens the list.
    auto *results = panel->findChild<QComboBox *>(QStringLiteral("cbolookup"));
    auto *count = panel->findChild<QLabel *>(QStringLiteral("lbllookupcount"));
    ASSERT_TRUE(results && count);

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

// What reaches the tills is the export's rule; the window runs it, passes
// its reload code on to both tills and closes by itself.
TEST_F(DemoClubViewTest, TheExportWindowRefreshesTheDemoTillsAndClosesByItself) {
    PointOfSaleExport logic(module->databases, module->messages, module->longOperation);
    closeLeftoverWindowsIn(30000);
    PointOfSaleExportWindow window(logic, QStringLiteral("40"));
    EXPECT_EQ(window.exec(), QDialog::Accepted);
    EXPECT_EQ(request(1), QByteArray("40 , 0 , 0 , 0 , 0\r\n"));
    EXPECT_EQ(request(2), QByteArray("40 , 0 , 0 , 0 , 0\r\n"));
}

TEST_F(DemoClubViewTest, AnErrorKeepsTheWindowOpenUntilItIsAcknowledged) {
    removeDatabase(QStringLiteral("qnposemp"));
    PointOfSaleExport logic(module->databases, module->messages, module->longOperation);
    PointOfSaleExportWindow window(logic, QStringLiteral("19"));
    window.show();
    ASSERT_TRUE(waitFor([&] { return logic.ErrorFlag == 1; }));
    auto *error = window.findChild<QPushButton *>(QStringLiteral("cmderror"));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("lblmsg"))->text(),
              QStringLiteral("Error 53 @ 1"));
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
        scalar(QStringLiteral("evnt"),
               QStringLiteral("select min(eventnumber) from tasklist where todo = 'N'"))
            .toInt();
    ASSERT_GT(event, 0) << "the demo club has tasks still to do";
    TaskList tasks(*module);
    TaskListWindow window(tasks, nullptr);
    prompts.answerInput(QString::number(event));
    window.openByEventNumber();
    ASSERT_TRUE(waitFor([&] { return window.isVisible(); }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Event Task List"));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);

    auto *grid = control<QTableWidget>(window, QStringLiteral("taskgrid"));
    ASSERT_GT(grid->rowCount(), 0);
    EXPECT_EQ(grid->horizontalHeaderItem(3)->text(), QStringLiteral("Task to be done"));
    int open = 0;
    while (open < grid->rowCount() && grid->item(open, 2)->text() != QLatin1String("N"))
        ++open;
    ASSERT_LT(open, grid->rowCount());
    const QString chosen = grid->item(open, 3)->text();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(open, 3)).center());
    auto *task = control<QLineEdit>(window, QStringLiteral("Text1(3)"));
    EXPECT_EQ(task->text(), chosen);
    EXPECT_FALSE(control<QLineEdit>(window, QStringLiteral("Text1(1)"))->isReadOnly());

    // The pointer over a box names it in the status line; its label and
    // hint are there for screen readers too.
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(task, &enter);
    auto *status = control<QStatusBar>(window, QStringLiteral("statusline"));
    EXPECT_EQ(status->currentMessage(), QStringLiteral("Description of the task to be done"));
    EXPECT_EQ(task->accessibleName(), QStringLiteral("Task to be done"));
    EXPECT_EQ(task->toolTip(), QStringLiteral("Description of the task to be done"));

    auto *done = control<QCheckBox>(window, QStringLiteral("chkdone"));
    QTest::mouseClick(done, Qt::LeftButton);
    EXPECT_EQ(control<QLineEdit>(window, QStringLiteral("Text1(2)"))->text(), QStringLiteral("Y"));
    control<QPushButton>(window, QStringLiteral("cmdsave"))->click();

    const int rows = grid->rowCount();
    int saved = 0;
    while (saved < rows && grid->item(saved, 3)->text() != chosen)
        ++saved;
    ASSERT_LT(saved, rows) << "the saved task is listed again";
    EXPECT_EQ(grid->item(saved, 2)->text(), QStringLiteral("Y"));
    EXPECT_EQ(grid->item(saved, 4)->text(), QStringLiteral("DEMO"));
    EXPECT_EQ(task->text(), QString());
    EXPECT_TRUE(control<QLineEdit>(window, QStringLiteral("Text1(1)"))->isReadOnly());

    // Enter moves on from box to box; Exit closes the window.
    control<QPushButton>(window, QStringLiteral("cmdadd"))->click();
    ASSERT_TRUE(waitFor([&] { return task->hasFocus(); })) << "Add Task puts the cursor there";
    QTest::keyClicks(task, QStringLiteral("Print place cards"));
    QTest::keyClick(task, Qt::Key_Return);
    EXPECT_TRUE(waitFor(
        [&] { return control<QLineEdit>(window, QStringLiteral("Text1(4)"))->hasFocus(); }));
    control<QPushButton>(window, QStringLiteral("cmdexit"))->click();
    EXPECT_TRUE(waitFor([&] { return !window.isVisible(); }));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
