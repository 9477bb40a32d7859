#include "ClubFixture.h"
#include "SharedCalendarServer.h"
#include "ShownWindow.h"
#include "ViewTest.h"
#include "WaitFor.h"
#include "billing/PointOfSaleExport.h"
#include "events/WholeEvent.h"
#include "ui/ContractBuilderView.h"
#include "ui/EventOrderView.h"
#include "ui/EventPanels.h"
#include "ui/PaymentsView.h"
#include "ui/PointOfSaleExportWindow.h"
#include "ui/QtPrompts.h"
#include "ui/RoomsBoardView.h"
#include "ui/companions/AccountSiftWindow.h"
#include "ui/companions/DateSiftWindow.h"
#include "ui/companions/HelpTextWindow.h"
#include "ui/companions/MailforgeWindow.h"
#include "ui/companions/StaffSiftWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The letter an "&" marks in a caption (Alt+letter), or none; "&&" is an
// "&" shown.
QChar accelerator(const QString &text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toUpper();
        ++i;
    }
    return {};
}

// A caption as the operator reads it.
QString shown(QString text) {
    text.replace(QLatin1String("&&"), u"\x01"_s);
    text.remove(QLatin1Char('&'));
    return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// The main window's buttons and menu commands, each by its name and the
// words it showed before it got its Alt+letter.
const QStringList MainWindowCommands =
    QStringLiteral(
        "cmd(0) New Event|cmd(1) Event Info|cmd(2) Lookup|cmd(3) Calendar|cmd(4) Item Detail|"
        "cmd(5) Clear Screen|cmd(6) Modify|cmd(7) Save|cmd(8) Cancel Event|cmd(9) Bill Event|"
        "cmd(10) Contract Builder|cmd(11) Event Order|cmd(12) Payments|cmdexit Exit|mnufile "
        "File|mnuaddroom "
        "View/Add/Edit Rooms|"
        "mnuinityear Initialize New Year|mnucloneevent Clone Current Event to New Date|"
        "mnurepeatevent Repeat...|mnuchangeseries Change the Series...|"
        "mnudeletecontact Delete this contact|mnuclipboard Screen Capture|"
        "mnuexportcalendar Export Calendar (.ics)...|mnupublishcalendar Publish Calendar|"
        "mnupurgecalendar Purge Calendar Data|"
        "mnureverify Reverify resdate/restime|mnuexit Exit|mnureport Reports|"
        "mnucurrentdisplay Currently Displayed Event|"
        "mnuaudithistory Audit history - currently displayed event|"
        "mnueventsheet Event Detail Sheet - Internal Use|"
        "mnueventsheet1 Event Detail Sheet - External|mnueventitems Event Items List|"
        "mnuevents Event Listings|mnueventlist(0) Today|mnueventlist(1) This Month|"
        "mnueventlist(2) Next Month|mnueventlist(3) This Year|mnudaterange by date range|"
        "mnuconflicts Event/Room Conflicts by date range|mnutodo To-Do Task List|"
        "mnutodobynumber Select by Event #|mnutodobydate Select by Date|mnuitem Item Listings|"
        "mnuitemlist(0) By Event - this month|mnuitemlist(1) By Event - next month|"
        "mnuitemlist(2) By Event by date range|mnuitemlist(3) Consolidated by date range|"
        "mnuprojection Revenue Projection|mnurevproj(0) By Event - this month|"
        "mnurevproj(1) By Event - next month|mnurevproj(2) by date range|"
        "mnupromo Event Promotion|mnucontacts Contacts Only by date range|"
        "mnumaillabels Mailing Labels (Contact Address) by Event Status|"
        "mnubilling Mailing Labels (Billing Address) by Event Status|mnuemail Email Generator|"
        "mnumargins Adjust Print Margins|mnuhelpmenu Help|mnuhelp Help|mnuinfo Info")
        .split(u'|');

// The menus of a menu bar, submenus too.
QList<QMenu *> menusOf(QMenuBar *bar) {
    QList<QMenu *> menus;
    QList<QAction *> actions = bar->actions();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (QMenu *menu = actions[i]->menu()) {
            menus << menu;
            actions << menu->actions();
        }
    }
    return menus;
}

// The caption of the window's button, menu or menu command of that name.
QString caption(QWidget *window, QMenuBar *bar, const QString &name) {
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>(name)) {
        if (button->window() == window)
            return button->text();
    }
    for (QMenu *menu : menusOf(bar)) {
        if (menu->objectName() == name)
            return menu->menuAction()->text();
        for (QAction *action : menu->actions()) {
            if (action->objectName() == name)
                return action->text();
        }
    }
    return u"(none)"_s;
}

// The captions that share an Alt+letter: "L: one, other" each.
QStringList shared(const QStringList &captions) {
    QMultiHash<QChar, QString> owners;
    for (const QString &text : captions)
        owners.insert(accelerator(text), text);
    QStringList found;
    for (const QChar letter : owners.uniqueKeys()) {
        QStringList twice = owners.values(letter);
        twice.sort();
        if (!letter.isNull() && twice.size() > 1)
            found << u"%1: %2"_s.arg(letter, twice.join(u", "_s));
    }
    return found;
}

// What keeps an Alt+letter from working: a letter shared in the window
// itself (its menus, its buttons, the labels that name a box), a menu or a
// command without one, or one shared by two commands of one menu.
QStringList acceleratorFaults(QWidget *window, QMenuBar *bar) {
    QStringList inWindow;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        auto *label = qobject_cast<QLabel *>(control);
        if (control->window() == window && label && label->buddy())
            inWindow << label->text();
        else if (control->window() == window && qobject_cast<QAbstractButton *>(control))
            inWindow << static_cast<QAbstractButton *>(control)->text();
    }
    QList<std::pair<QString, QList<QAction *>>> menus{{u"menu bar"_s, bar->actions()}};
    for (QMenu *menu : menusOf(bar))
        menus.append({shown(menu->title()), menu->actions()});
    QStringList found;
    for (const auto &[title, actions] : menus) {
        QStringList commands;
        for (QAction *action : actions) {
            if (!action->isSeparator())
                commands << action->text();
            if (!action->isSeparator() && accelerator(action->text()).isNull())
                found << title + u" > "_s + action->text() + u": no Alt+letter"_s;
        }
        for (const QString &twice : shared(commands))
            found << title + u" > "_s + twice;
        inWindow << (title == u"menu bar"_s ? commands : QStringList());
    }
    return found + shared(inWindow);
}

// Controls a person works with. The parts Qt builds inside a control (a
// list's header, a combo box's popup) are named by the control itself.
bool interactive(QWidget *w) {
    if (w->objectName().startsWith(QLatin1String("qt_")) || qobject_cast<QHeaderView *>(w) ||
        qobject_cast<QComboBox *>(w->parentWidget()) ||
        qobject_cast<QAbstractSpinBox *>(w->parentWidget()) ||
        QLatin1String(w->metaObject()->className()) == QLatin1String("QTableCornerButton"))
        return false;
    return qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) ||
           qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractItemView *>(w) ||
           qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QTextEdit *>(w) ||
           qobject_cast<QAbstractSpinBox *>(w);
}

// A button's own text, or that of the label that is the control's buddy,
// as it is read.
QString visibleLabel(QWidget *w) {
    QString text;
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        text = button->text();
    for (QLabel *label : w->window()->findChildren<QLabel *>()) {
        if (label->buddy() == w)
            text = label->text();
    }
    text = shown(text);
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

// An arrow button ("<-") is named for what it moves ("Change Month <-");
// any other control by its label exactly.
bool matches(const QString &name, const QString &label) {
    const bool symbolsOnly =
        std::none_of(label.begin(), label.end(), [](QChar c) { return c.isLetterOrNumber(); });
    return name == label || (symbolsOnly && name.endsWith(QLatin1Char(' ') + label));
}

// Every control of the window a person can see whose accessible name is
// not its visible label, or whose description is not its tooltip.
QStringList unnamed(QWidget *window) {
    QStringList found;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (!interactive(control) || !control->isVisibleTo(window))
            continue;
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
        // On Linux Qt gives a combo box's chosen entry as its name and the
        // label through the label relation; the label is still set.
        const QString name = qobject_cast<QComboBox *>(control) ? control->accessibleName()
                             : face                             ? face->text(QAccessible::Name)
                                                                : QString();
        const QString label = visibleLabel(control);
        const QString description = face ? face->text(QAccessible::Description) : QString();
        if (!control->toolTip().isEmpty() && description != control->toolTip())
            found << u"%1: description \"%2\", tooltip \"%3\""_s.arg(
                control->objectName(), description, control->toolTip());
        if (name.isEmpty() || (!label.isEmpty() && !matches(name, label)))
            found << u"%1: name \"%2\", label \"%3\""_s.arg(control->objectName(), name, label);
    }
    return found;
}

// Screen-reader users are staff too: every control they can reach says
// what it is, in the words the window shows beside it, and describes itself
// as its tooltip does. Keyboard users reach every command by its own
// Alt+letter and every box by Tab.
class AccessibilityTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }

    // The program's window of that name once it shows, named, then closed.
    static void expectNamedAndClose(const QString &name) {
        QWidget *found = nullptr;
        waitFor([&] {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (top->objectName() == name && top->isVisible())
                    found = top;
            }
            return found != nullptr;
        });
        expectNamed(found);
        if (found)
            found->close();
    }
    // Every control named, and the window itself announced as one: Qt's
    // "client" role is what Linux screen readers call a "filler".
    static void expectNamed(QWidget *window) {
        ASSERT_TRUE(window);
        EXPECT_EQ(unnamed(window), QStringList()) << window->objectName().toStdString();
        EXPECT_NE(QAccessible::queryAccessibleInterface(window)->role(), QAccessible::Client)
            << window->objectName().toStdString();
    }
};

TEST_F(AccessibilityTest, EveryControlOfEveryWindowIsNamedAsItIsLabelledAndTabbedInOrder) {
    ShownWindow shown(*module, club, u"accessibility-walk"_s);
    ASSERT_TRUE(shown.show(QSize(1366, 900)));
    MainWindow &window = shown.window;
    expectNamed(&window); // the month sheet
    // A day cell says its day and how many events it holds.
    const QRegularExpression dayName(
        u"^(Sun|Mon|Tues|Wednes|Thurs|Fri|Satur)day \\d{1,2}, (1 event|\\d+ events)$"_s);
    int days = 0;
    for (QPlainTextEdit *cell : window.findChildren<QPlainTextEdit *>()) {
        if (cell->objectName().startsWith(QLatin1String("cal(")) && cell->isVisible()) {
            ++days;
            EXPECT_TRUE(dayName.match(cell->accessibleName()).hasMatch())
                << cell->accessibleName().toStdString();
        }
    }
    EXPECT_GE(days, 28);

    // The opened day names each of its cells, free or booked.
    MonthSheet &sheet = shown.logic.calendar;
    auto *grid = child<QTableView>(window, u"gridres"_s);
    int busiest = 0;
    for (int cell = 0; cell < MonthSheet::CellCount; ++cell) {
        if (sheet.cells[cell].events > sheet.cells[busiest].events)
            busiest = cell;
    }
    sheet.OpenDay(busiest);
    ASSERT_TRUE(waitFor([&] { return grid->isVisible(); }));
    expectNamed(&window);

    QAccessibleTableInterface *table =
        QAccessible::queryAccessibleInterface(grid)->tableInterface();
    ASSERT_TRUE(table && table->rowCount() > 0);
    const QRegularExpression roomCell(u"^[^,]+, [^,]+, .+$"_s);
    QStringList unnamedCells;
    int booked = 0;
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
            QAccessibleInterface *cell = table->cellAt(row, column);
            const QString name = cell ? cell->text(QAccessible::Name) : QString();
            if (grid->isColumnHidden(column))
                continue;
            if (name.isEmpty() || (column > 1 && !roomCell.match(name).hasMatch()))
                unnamedCells << u"%1,%2 \"%3\""_s.arg(row).arg(column).arg(name);
            booked += column > 1 && !name.endsWith(QLatin1String(", free"));
        }
    }
    EXPECT_EQ(unnamedCells, QStringList());
    EXPECT_GT(booked, 0) << "the day's events are named in their cells";

    // The rooms board of that day, walked by the keys alone: the cursor
    // names each cell it reaches, free, hatched or booked.
    child<QRadioButton>(window, u"optviewmode(2)"_s)->click();
    auto *canvas = child<RoomsBoardCanvas>(window, u"boardcanvas"_s);
    ASSERT_TRUE(waitFor([&] { return canvas->isVisible(); }));
    expectNamed(&window);
    canvas->setFocus();
    ASSERT_TRUE(waitFor([&] { return canvas->hasFocus(); }));
    const QRegularExpression boardCell(
        u"^[^,]+, \\w+day, [^,]+, \\d{4}, \\d\\d:\\d\\d(, free|, blocked by .+| to .+, .+)$"_s);
    QSet<QString> boardNames;
    RoomsBoard &board = shown.logic.calendar.board;
    for (int row = 0; row < board.rows().size(); ++row) {
        board.setCursor({row, 0, 0});
        for (int slot = 0; slot < board.slotTimes().size(); ++slot) {
            const QString name = canvas->accessibleName();
            EXPECT_TRUE(boardCell.match(name).hasMatch()) << name.toStdString();
            boardNames << name;
            QTest::keyClick(canvas, Qt::Key_Right);
        }
    }
    EXPECT_TRUE(std::ranges::any_of(boardNames, [](const QString &name) {
        return !name.endsWith(u", free"_s) && !name.contains(u"blocked by"_s);
    })) << "the day's events are named on the board";

    const int event = eventNumber(u"Sullivan-Park Reception"_s);
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    expectNamed(&window); // the event's panels
    // The panels the menu opens, which shows the commands reach them too.
    window.menuCommand(u"mnuaddroom"_s)->trigger();
    ASSERT_TRUE(waitFor([&] { return child(window, u"fralocation"_s)->isVisible(); }));
    expectNamed(&window);
    shown.logic.rooms.RoomButton(RoomEditor::ExitButton);
    window.menuCommand(u"mnuaudithistory"_s)->trigger();
    ASSERT_TRUE(waitFor([&] { return child(window, u"fraaudit"_s)->isVisible(); }));
    expectNamed(&window);
    child<QPushButton>(window, u"cmdaudit(1)"_s)->click();

    prompts.answerInput(QString::number(event));
    window.menuCommand(u"mnutodobynumber"_s)->trigger();
    expectNamedAndClose(u"frmtasklist"_s);
    window.button(EventCommand::ContractBuilder)->click();
    expectNamedAndClose(u"frmbanq2"_s);
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    window.button(EventCommand::ItemDetail)->click();
    expectNamedAndClose(u"frmbanq1"_s);
    // The event order with a course being chosen: the chooser is named too.
    window.button(EventCommand::EventOrder)->click();
    auto *order = child<EventOrderView>(window, u"frmorder"_s);
    ASSERT_TRUE(waitFor([&] { return order->isVisible(); }));
    auto *menu = child<QTableWidget>(*order, u"grdorderitems"_s);
    menu->setCurrentCell(0, 2);
    menu->edit(menu->currentIndex());
    ASSERT_TRUE(waitFor([&] { return order->findChild<QComboBox *>(u"cbocourse"_s); }));
    expectNamedAndClose(u"frmorder"_s);
    // The payments with a line to record on, and its Record Payment box.
    window.button(EventCommand::Payments)->click();
    auto *payments = child<PaymentsView>(window, u"frmpayments"_s);
    ASSERT_TRUE(waitFor([&] { return payments->isVisible(); }));
    if (shown.logic.payments.rows.isEmpty())
        shown.logic.payments.applyTerms();
    child<QTableWidget>(*payments, u"grdpayments"_s)->setCurrentCell(0, 0);
    payments->recordPayment();
    expectNamedAndClose(u"frmreceive"_s);
    expectNamedAndClose(u"frmpayments"_s);
    // Repeat, and Change the Series for the event once it heads one.
    window.menuCommand(u"mnurepeatevent"_s)->trigger();
    expectNamedAndClose(u"frmrepeat"_s);
    exec(u"evnt"_s, u"insert into eventseries (eventnum, seriesnum, rule) values (?, ?, ?)"_s,
         {event, event, u"Every week, 4 times"_s});
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    window.menuCommand(u"mnuchangeseries"_s)->trigger();
    expectNamedAndClose(u"frmseries"_s);
    window.button(EventCommand::Lookup)->click();
    expectNamed(&window);

    // Tab visits the event's boxes in the order of their numbers, the status
    // list in the status box's place and the member options in the member box's.
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    window.button(EventCommand::Modify)->click();
    QWidget *first = child(window, u"Text1(0)"_s);
    first->setFocus();
    ASSERT_TRUE(waitFor([&] { return first->hasFocus(); }));
    static const QRegularExpression box(u"^Text1\\((\\d+)\\)$"_s);
    QList<int> visited;
    for (int tab = 0; tab < 40; ++tab) {
        const QString name = QApplication::focusWidget()->objectName();
        if (const auto match = box.match(name); match.hasMatch())
            visited << match.captured(1).toInt();
        else if (name == QLatin1String("cbostatus"))
            visited << columnOf(EventField::Status);
        else if (name.startsWith(QLatin1String("optmemnonmem")))
            visited << columnOf(EventField::Member);
        else
            break;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_TRUE(std::is_sorted(visited.begin(), visited.end()));
    using enum EventField;
    for (EventField field : {Date, Title, Number, Start, End, Status, Guests, Guarantee, Room,
                             Member, Account, BillingEmail, ContactName, ContactEmail, Notes})
        EXPECT_TRUE(visited.contains(columnOf(field))) << columnOf(field);

    // Publish Calendar, run against a fake server to its end, with a
    // resource someone changed there so that Overwrite Them shows too.
    FakeCalendarServer server;
    shown.logic.publishRunner.makeServer = SharedCalendarServer::maker(server);
    server.fault = [](const QString &verb, const QString &) -> std::optional<ServerReply> {
        if (verb == u"PUT"_s)
            return FakeCalendarServer::reply(412, u"Precondition Failed"_s);
        return std::nullopt;
    };
    QFile settings(path(u"publish.ini"_s));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("url = https://cal.example.org/club/\n");
    settings.close();
    window.menuCommand(u"mnupublishcalendar"_s)->trigger();
    ASSERT_TRUE(waitFor([&] { return !shown.logic.publishRunner.busy(); }));
    if (auto *publish = child<QDialog>(window, u"frmpublish"_s)) {
        QMenuBar none;
        EXPECT_EQ(acceleratorFaults(publish, &none), QStringList());
    }
    expectNamedAndClose(u"frmpublish"_s);

    for (QWidget *companion : std::initializer_list<QWidget *>{
             new AccountSiftWindow(module->databases, module->ports.clipboard),
             new StaffSiftWindow(module->databases, module->ports.clipboard),
             new DateSiftWindow(module->databases, module->ports.clipboard, module->ports.clock),
             new HelpTextWindow(CompanionFiles(module->databases.settings().clubDirectory,
                                               module->session, module->ports.clipboard),
                                {u"evnt-1.txt"_s}),
             new MailforgeWindow(module->databases, module->ports.clipboard, {u"rpt99.mdb"_s})}) {
        companion->setAttribute(Qt::WA_DeleteOnClose);
        companion->show();
        expectNamed(companion);
        companion->close();
    }
    prompts.clear();

    PointOfSaleExport tills(module->databases, module->messages, module->longOperation);
    PointOfSaleExportWindow exportWindow(tills, QString());
    tills.errorButtonVisible = true;
    tills.ErrorFlag = 1;
    emit tills.changed();
    exportWindow.show();
    expectNamed(&exportWindow);
    tills.acknowledgeError();
}

TEST_F(AccessibilityTest, EveryMainButtonAndMenuCommandHasItsOwnAltLetterAndKeepsItsWords) {
    ShownWindow running(*module, club, u"accelerators"_s);
    ASSERT_TRUE(running.show());
    MainWindow &window = running.window;
    for (const QString &command : MainWindowCommands)
        EXPECT_EQ(shown(caption(&window, window.menuBar(), command.section(u' ', 0, 0))),
                  command.section(u' ', 1));
    EXPECT_EQ(acceleratorFaults(&window, window.menuBar()), QStringList());

    QTest::keyClick(&window, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(waitFor([&] { return child(window, u"Text1(0)"_s)->hasFocus(); }))
        << "Alt+N starts a new event";

    // The contract builder, a window of its own, by the same rule.
    window.button(EventCommand::ClearScreen)->click();
    ASSERT_TRUE(running.logic.ShowEvent(eventNumber(u"Sullivan-Park Reception"_s)));
    window.button(EventCommand::ContractBuilder)->click();
    auto *builder = child<ContractBuilderView>(window, u"frmbanq2"_s);
    ASSERT_TRUE(waitFor([&] { return builder->isVisible(); }));
    for (int i = 0; i < ContractBuilder::MoveCount; ++i) {
        const QString text = caption(builder, builder->menuBar(), u"cmdmove(%1)"_s.arg(i));
        EXPECT_FALSE(accelerator(text).isNull()) << text.toStdString();
    }
    EXPECT_EQ(caption(builder, builder->menuBar(), u"cmdexit"_s), u"E&xit"_s);
    EXPECT_EQ(acceleratorFaults(builder, builder->menuBar()), QStringList());
    builder->close();

    // The event order, which has no menus: every button and group by a
    // letter of its own.
    window.button(EventCommand::EventOrder)->click();
    auto *order = child<EventOrderView>(window, u"frmorder"_s);
    ASSERT_TRUE(waitFor([&] { return order->isVisible(); }));
    QStringList captions;
    for (QPushButton *button : order->findChildren<QPushButton *>())
        captions << button->text();
    for (QGroupBox *group : order->findChildren<QGroupBox *>())
        captions << group->title();
    EXPECT_EQ(captions.size(), 12);
    for (const QString &text : captions)
        EXPECT_FALSE(accelerator(text).isNull()) << text.toStdString();
    QMenuBar none;
    EXPECT_EQ(acceleratorFaults(order, &none) + shared(captions), QStringList());
    order->close();

    // The payments and its Record Payment box, by the same rule.
    window.button(EventCommand::Payments)->click();
    auto *payments = child<PaymentsView>(window, u"frmpayments"_s);
    ASSERT_TRUE(waitFor([&] { return payments->isVisible(); }));
    if (running.logic.payments.rows.isEmpty())
        running.logic.payments.applyTerms();
    child<QTableWidget>(*payments, u"grdpayments"_s)->setCurrentCell(0, 0);
    payments->recordPayment();
    auto *box = child<QDialog>(*payments, u"frmreceive"_s);
    ASSERT_TRUE(waitFor([&] { return box->isVisible(); }));
    for (QWidget *shownWindow : {static_cast<QWidget *>(payments), static_cast<QWidget *>(box)}) {
        QStringList texts;
        for (QPushButton *button : shownWindow->findChildren<QPushButton *>())
            if (button->window() == shownWindow)
                texts << button->text();
        for (const QString &text : texts)
            EXPECT_FALSE(accelerator(text).isNull()) << text.toStdString();
        EXPECT_EQ(acceleratorFaults(shownWindow, &none), QStringList());
    }
    box->close();
    payments->close();

    // Repeat and Change the Series: every button, option and labelled box
    // by a letter of its own.
    exec(u"evnt"_s, u"insert into eventseries (eventnum, seriesnum, rule) values (?, ?, ?)"_s,
         {running.logic.currentEvent().EventNumber, running.logic.currentEvent().EventNumber,
          u"Every week, 4 times"_s});
    running.logic.ShowEvent(running.logic.currentEvent().EventNumber);
    for (const char *command : {"mnurepeatevent", "mnuchangeseries"}) {
        window.menuCommand(QString::fromLatin1(command))->trigger();
        QDialog *dialog = nullptr;
        ASSERT_TRUE(waitFor([&] {
            dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            return dialog && dialog->isVisible();
        })) << command;
        // Qt's own controls (the calendar's, a table's corner) are left out.
        for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
            if (!button->objectName().isEmpty() && !button->objectName().startsWith(u"qt_"_s))
                EXPECT_FALSE(accelerator(button->text()).isNull()) << button->text().toStdString();
        }
        EXPECT_EQ(acceleratorFaults(dialog, &none), QStringList()) << command;
        dialog->close();
    }
    running.logic.QueryUnloadMainWindow();
}

// What a prompt says is data: an "&" in it shows as it is, and is no
// keyboard shortcut of the box.
TEST_F(AccessibilityTest, PromptTextsShowAnAmpersandAsItIs) {
    const QString choices = u"1 = Member Events\r\n2 = Non-Member Events\r\n"
                            "3 = Both Member & Non-Member Events"_s;
    QtPrompts real;
    QString labelText;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        for (QLabel *label : dialog->findChildren<QLabel *>()) {
            if (shown(label->text()).contains(QLatin1String("Both Member")))
                labelText = label->text();
        }
        dialog->reject();
    });
    EXPECT_EQ(real.input(choices, u"Mailing labels"_s, QString()), QString());
    EXPECT_EQ(shown(labelText), choices);
    EXPECT_TRUE(accelerator(labelText).isNull()) << labelText.toStdString();

    QString messageShown;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        messageShown = box->textFormat() == Qt::PlainText ? box->text() : u"(rich text)"_s;
        box->accept();
    });
    real.message(u"Smith & Sons <Catering>"_s, u"FYI..."_s, Icon::Information);
    EXPECT_EQ(messageShown, u"Smith & Sons <Catering>"_s);
}

// The clone's checklist: each box named as it reads and reached by its own
// Alt letter, OK and Cancel too; Escape cancels it.
TEST_F(AccessibilityTest, TheClonesChecklistIsNamedAndTickedFromTheKeyboard) {
    QtPrompts real;
    QList<PromptOption> options = WholeEvent::cloneOptions(24);
    QStringList captions;
    QTimer::singleShot(0, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->objectName(), u"frmclonechoices"_s);
        expectNamed(dialog);
        for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
            captions << button->text();
        auto *items = child<QAbstractButton>(*dialog, u"chkoption(0)"_s);
        auto *link = child<QAbstractButton>(*dialog, u"chkoption(4)"_s);
        ASSERT_TRUE(waitFor([&] { return dialog->isActiveWindow(); }));
        QTest::keyClick(dialog, Qt::Key_I, Qt::AltModifier);
        QTest::keyClick(dialog, Qt::Key_L, Qt::AltModifier);
        EXPECT_TRUE(waitFor([&] { return !items->isChecked() && link->isChecked(); }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    const QString text =
        u"Event #24 \"Sullivan-Park Reception\" is cloned to 01/08/2027.\r\nThe clone takes its title, times, room and status; tick what else it copies."_s;
    ASSERT_TRUE(
        real.chooseOptions(text, u"Clone Event - What to copy"_s, options, u"frmclonechoices"_s));
    EXPECT_EQ(std::ranges::count_if(
                  captions, [](const QString &text) { return !accelerator(text).isNull(); }),
              7);
    EXPECT_EQ(shared(captions), QStringList());
    const CloneChoices copies = WholeEvent::chosenCopies(options);
    EXPECT_EQ(QList<bool>(
                  {copies.items, copies.guests, copies.contact, copies.notes, copies.linkPackage}),
              QList<bool>({false, true, true, true, true}));

    QTimer::singleShot(0,
                       [&] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    EXPECT_FALSE(
        real.chooseOptions(text, u"Clone Event - What to copy"_s, options, u"frmclonechoices"_s));
}

// The main window on the smallest screen a club office has, 1366x768, as a
// banquet clerk works it: every panel in reach, lists that open over the
// form without moving it, lists and options worked by the keyboard, and a
// window that starts afresh.
class SmallScreenViewTest : public AccessibilityTest {
protected:
    void SetUp() override {
        AccessibilityTest::SetUp();
        shown = std::make_unique<ShownWindow>(*module, club, u"small-screen"_s);
        ASSERT_TRUE(shown->show());
        ASSERT_EQ(window().screen()->size(), QSize(1366, 768));
    }
    void TearDown() override {
        if (shown)
            shown->logic.QueryUnloadMainWindow();
        shown.reset();
        AccessibilityTest::TearDown();
    }

    MainWindow &window() { return shown->window; }
    MainWindowLogic &logic() { return shown->logic; }
    QLineEdit *box(EventField field) {
        return child<QLineEdit>(window(), u"Text1(%1)"_s.arg(columnOf(field)));
    }
    QComboBox *statusList() { return child<QComboBox>(window(), u"cbostatus"_s); }
    const QString &stored(EventField field) { return logic().currentEvent().fields[field]; }
    // Lets the window finish what its last action started.
    static void settle() {
        waitFor([] { return false; }, 150);
    }
    void newEvent() {
        window().button(EventCommand::NewEvent)->click();
        ASSERT_TRUE(waitFor([&] { return box(EventField::Date)->hasFocus(); }));
        settle();
    }
    void expectNoMessages() {
        EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    }

    // Every visible control of the main window, its pop-ups too, that does
    // not lie whole on the screen's free area and in its own window, the
    // window's frame too; and the window keeps its size.
    void expectOnScreen(const char *when) {
        const QRect area = window().screen()->availableGeometry();
        QStringList found;
        if (!area.contains(window().frameGeometry()) || window().size() != size)
            found << u"frmbanq0 frame"_s;
        for (QWidget *control : window().findChildren<QWidget *>()) {
            const QRect onScreen(control->mapToGlobal(QPoint(0, 0)), control->size());
            const QRect inWindow(control->window()->mapToGlobal(QPoint(0, 0)),
                                 control->window()->size());
            if (control->isVisible() && (!area.contains(onScreen) || !inWindow.contains(onScreen)))
                found << control->objectName();
        }
        EXPECT_EQ(found, QStringList()) << when;
    }
    // Where each visible control of the main window stands in it.
    QHash<QWidget *, QRect> places() {
        QHash<QWidget *, QRect> found;
        for (QWidget *control : window().findChildren<QWidget *>()) {
            if (control->isVisible() && control->window() == &window())
                found.insert(control,
                             QRect(control->mapTo(&window(), QPoint(0, 0)), control->size()));
        }
        return found;
    }

    std::unique_ptr<ShownWindow> shown;
    QSize size;
};

TEST_F(SmallScreenViewTest, EveryPanelAndControlLiesOnTheScreenAfterNewEventAndOpeningAnEvent) {
    size = window().size();
    expectOnScreen("the month sheet");
    newEvent();
    for (const char *panel : {"fraevent", "frabilling", "fracontact", "helpwindow", "cmdexit"})
        EXPECT_TRUE(child(window(), QString::fromLatin1(panel))->isVisible()) << panel;
    expectOnScreen("after New Event");

    QTest::mouseClick(box(EventField::Start), Qt::LeftButton);
    auto *starts = child<QListWidget>(window(), u"cbostart"_s);
    ASSERT_TRUE(waitFor([&] { return starts->isVisible(); }));
    expectOnScreen("with the start time list open");
    QTest::keyClick(starts->window(), Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return !starts->isVisible(); }));

    QTest::mouseClick(box(EventField::Room), Qt::LeftButton);
    QTest::keyClick(box(EventField::Room), Qt::Key_F5);
    auto *rooms = child<QListWidget>(window(), u"List1"_s);
    ASSERT_TRUE(waitFor([&] { return rooms->isVisible(); })) << "F5 opens the room list";
    expectOnScreen("with the room list open");
    QTest::mouseClick(rooms->viewport(), Qt::LeftButton, {},
                      rooms->visualItemRect(rooms->item(0)).center());
    EXPECT_EQ(box(EventField::Room)->text(), u"1"_s) << "a click chooses";
    EXPECT_FALSE(rooms->isVisible());

    prompts.answerYesNo(true); // Cancel changes?
    window().button(EventCommand::ClearScreen)->click();
    // From the look-up panel, which gives way to the event's panels.
    window().button(EventCommand::Lookup)->click();
    ASSERT_TRUE(waitFor([&] { return child(window(), u"fralookup"_s)->isVisible(); }));
    expectOnScreen("the look-up panel");
    ASSERT_TRUE(logic().ShowEvent(eventNumber(u"Sullivan-Park Wedding Ceremony"_s)));
    window().button(EventCommand::Modify)->click();
    settle();
    EXPECT_FALSE(child(window(), u"fralookup"_s)->isVisible());
    expectOnScreen("an event opened from the look-up panel and changed");
    expectNoMessages();
}

TEST_F(SmallScreenViewTest, ATimeListOpensOverTheFormMovingNoBoxAndTheKeyboardStaysInTheBox) {
    newEvent();
    const QHash<QWidget *, QRect> before = places();
    QLineEdit *start = box(EventField::Start);
    QTest::mouseClick(start, Qt::LeftButton);
    auto *starts = child<QListWidget>(window(), u"cbostart"_s);
    ASSERT_TRUE(waitFor([&] { return starts->isVisible(); }));
    QWidget *popup = starts->window();
    EXPECT_EQ(popup->windowType(), Qt::Popup);
    EXPECT_EQ(places(), before) << "the list moves no box";
    EXPECT_GE(popup->geometry().top(), start->mapToGlobal(QPoint(0, start->height())).y());
    EXPECT_TRUE(start->hasFocus()) << "the box keeps the keyboard";

    // What is typed goes on into the box; the list follows it.
    QTest::keyClicks(popup, u"18"_s);
    EXPECT_EQ(start->text(), u"18"_s);
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_TRUE(starts->currentItem()->text().startsWith(u"18:15"_s));
    EXPECT_EQ(start->text(), u"18"_s) << "the arrows only browse";
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(stored(EventField::Start), u"18:15"_s) << "Enter chooses";
    EXPECT_TRUE(start->hasFocus());

    // Tab closes the list and moves on into the end box, whose list opens.
    QTest::keyClick(start, Qt::Key_Tab);
    auto *ends = child<QListWidget>(window(), u"cboend"_s);
    ASSERT_TRUE(waitFor([&] { return box(EventField::End)->hasFocus() && ends->isVisible(); }));
    EXPECT_FALSE(starts->isVisible());
    EXPECT_EQ(places(), before);

    // An Alt+letter pressed while a list is open reaches its button.
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return starts->isVisible(); }));
    QTest::keyClick(starts->window(), Qt::Key_C, Qt::AltModifier);
    EXPECT_FALSE(starts->isVisible());
    EXPECT_TRUE(waitFor([&] { return logic().window.reservationsVisible; })) << "Alt+C, Calendar";
    expectNoMessages();
}

TEST_F(SmallScreenViewTest, TheStatusListAndTheMemberOptionsAreWorkedByTheKeyboard) {
    newEvent();
    QComboBox *status = statusList();
    const QStringList names = logic().window.statusList.entries;
    EXPECT_EQ(status->currentText(), names.value(0)) << "a new event is a contact";
    status->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitFor([&] { return status->hasFocus(); }));
    QTest::keyClick(status, Qt::Key_Down);
    QTest::keyClick(status, Qt::Key_Down);
    QTest::keyClick(status, Qt::Key_Up);
    EXPECT_EQ(status->currentText(), names.value(1));
    settle();
    EXPECT_TRUE(status->hasFocus()) << "browsing stays in the list";
    EXPECT_EQ(stored(EventField::Status), u"1"_s) << "nothing chosen yet";

    // Enter chooses, and the window moves on to the title as it always did.
    status->setFocus(Qt::TabFocusReason);
    QTest::keyClick(status, Qt::Key_Return);
    EXPECT_EQ(stored(EventField::Status), u"2"_s);
    EXPECT_TRUE(waitFor([&] { return box(EventField::Title)->hasFocus(); }));

    // Member and non-member are one radio group the arrows choose in.
    auto *member = child<QRadioButton>(window(), u"optmemnonmem(0)"_s);
    auto *nonMember = child<QRadioButton>(window(), u"optmemnonmem(1)"_s);
    ASSERT_TRUE(member->group() && member->group() == nonMember->group());
    EXPECT_TRUE(member->group()->exclusive());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(member)->role(), QAccessible::RadioButton);
    EXPECT_FALSE(member->isChecked() || nonMember->isChecked()) << "a new event is neither yet";

    QTest::mouseClick(member, Qt::LeftButton);
    EXPECT_EQ(stored(EventField::Member), u"1"_s);
    member->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitFor([&] { return member->hasFocus(); }));
    QTest::keyClick(member, Qt::Key_Right);
    EXPECT_TRUE(nonMember->isChecked() && nonMember->hasFocus() && !member->isChecked());
    EXPECT_EQ(stored(EventField::Member), u"2"_s);

    prompts.answerYesNo(true); // Cancel changes?
    window().button(EventCommand::ClearScreen)->click();
    EXPECT_FALSE(member->isChecked() || nonMember->isChecked()) << "cleared, it is neither again";
}

// Clear Screen and Delete leave no required mark (in the logic's window
// state, the only check of its reset, and on the labels), no status and no
// help text.
TEST_F(SmallScreenViewTest, ClearScreenAndDeleteLeaveTheWindowAsAFreshStart) {
    const auto expectFresh = [&](const char *after) {
        SCOPED_TRACE(after);
        const EventWindow &state = logic().window;
        for (EventField field : AllEventFields) {
            EXPECT_FALSE(state.fieldRequired[field]) << columnOf(field);
            EXPECT_EQ(state.fieldColor[field], EventWindow::restingColor(field)) << columnOf(field);
        }
        EXPECT_FALSE(state.MissingFlag || state.statusMissing);
        for (QLabel *label : window().findChildren<QLabel *>()) {
            const bool marked = label->font().underline() || !label->styleSheet().isEmpty();
            EXPECT_FALSE(marked && label->buddy() &&
                         label->buddy()->objectName().startsWith(QLatin1String("Text1(")))
                << label->text().toStdString();
        }
        EXPECT_EQ(statusList()->currentIndex(), -1);
        EXPECT_EQ(child<QPlainTextEdit>(window(), u"helpwindow"_s)->toPlainText(), QString());
    };

    // An event changed, its title blanked and the save refused: red marks.
    const int reception = eventNumber(u"Sullivan-Park Reception"_s);
    ASSERT_TRUE(logic().ShowEvent(reception));
    window().button(EventCommand::Modify)->click();
    QTest::mouseClick(box(EventField::Title), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return box(EventField::Title)->hasFocus(); }));
    QTest::keyClick(box(EventField::Title), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box(EventField::Title), Qt::Key_Backspace);
    window().button(EventCommand::Save)->click();
    ASSERT_EQ(logic().window.fieldColor[EventField::Title], EventWindow::Red);
    logic().setHelpText(u"Event"_s);
    prompts.clear();
    prompts.answerYesNo(true); // Cancel changes?
    window().button(EventCommand::ClearScreen)->click();
    settle();
    expectFresh("Clear Screen");

    // An event shown with its marks, then deleted.
    ASSERT_TRUE(logic().ShowEvent(eventNumber(u"Sullivan-Park Rehearsal Dinner"_s)));
    ASSERT_TRUE(logic().editor.CheckRequiredFields());
    logic().setHelpText(u"Event"_s);
    ASSERT_TRUE(std::ranges::any_of(logic().window.fieldRequired, [](bool on) { return on; }));
    prompts.answerYesNo(true); // Delete this contact now?
    window().menuCommand(u"mnudeletecontact"_s)->trigger();
    settle();
    expectFresh("Delete");
    expectNoMessages();
}

} // namespace
