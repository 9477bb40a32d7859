#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "billing/PointOfSaleExport.h"
#include "ui/ContractBuilderView.h"
#include "ui/EventPanels.h"
#include "ui/PointOfSaleExportWindow.h"
#include "ui/QtPrompts.h"
#include "ui/companions/AccountSiftWindow.h"
#include "ui/companions/DateSiftWindow.h"
#include "ui/companions/HelpTextWindow.h"
#include "ui/companions/MailforgeWindow.h"
#include "ui/companions/StaffSiftWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
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
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

// A size as gtest shows it when it is not the one expected.
static void PrintTo(const QSize &size, std::ostream *out) {
    *out << size.width() << "x" << size.height();
}

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

// The main window's buttons and menu commands, with the words they showed
// before each got its Alt+letter.
struct Command {
    const char *name;
    const char *caption;
};
const Command MainWindowCommands[] = {
    {"cmd(0)", "New Event"},
    {"cmd(1)", "Event Info"},
    {"cmd(2)", "Lookup"},
    {"cmd(3)", "Calendar"},
    {"cmd(4)", "Item Detail"},
    {"cmd(5)", "Clear Screen"},
    {"cmd(6)", "Modify"},
    {"cmd(7)", "Save"},
    {"cmd(8)", "Cancel Event"},
    {"cmd(9)", "Bill Event"},
    {"cmd(10)", "Contract Builder"},
    {"cmdexit", "Exit"},
    {"mnufile", "File"},
    {"mnuaddroom", "View/Add/Edit Rooms"},
    {"mnuinityear", "Initialize New Year"},
    {"mnucloneevent", "Clone Current Event to New Date"},
    {"mnudeletecontact", "Delete this contact"},
    {"mnuclipboard", "Screen Capture"},
    {"mnuexportcalendar", "Export Calendar (.ics)..."},
    {"mnupurgecalendar", "Purge Calendar Data"},
    {"mnureverify", "Reverify resdate/restime"},
    {"mnuexit", "Exit"},
    {"mnureport", "Reports"},
    {"mnucurrentdisplay", "Currently Displayed Event"},
    {"mnuaudithistory", "Audit history - currently displayed event"},
    {"mnueventsheet", "Event Detail Sheet - Internal Use"},
    {"mnueventsheet1", "Event Detail Sheet - External"},
    {"mnueventitems", "Event Items List"},
    {"mnuevents", "Event Listings"},
    {"mnueventlist(0)", "Today"},
    {"mnueventlist(1)", "This Month"},
    {"mnueventlist(2)", "Next Month"},
    {"mnueventlist(3)", "This Year"},
    {"mnudaterange", "by date range"},
    {"mnuconflicts", "Event/Room Conflicts by date range"},
    {"mnutodo", "To-Do Task List"},
    {"mnutodobynumber", "Select by Event #"},
    {"mnutodobydate", "Select by Date"},
    {"mnuitem", "Item Listings"},
    {"mnuitemlist(0)", "By Event - this month"},
    {"mnuitemlist(1)", "By Event - next month"},
    {"mnuitemlist(2)", "By Event by date range"},
    {"mnuitemlist(3)", "Consolidated by date range"},
    {"mnuprojection", "Revenue Projection"},
    {"mnurevproj(0)", "By Event - this month"},
    {"mnurevproj(1)", "By Event - next month"},
    {"mnurevproj(2)", "by date range"},
    {"mnupromo", "Event Promotion"},
    {"mnucontacts", "Contacts Only by date range"},
    {"mnumaillabels", "Mailing Labels (Contact Address) by Event Status"},
    {"mnubilling", "Mailing Labels (Billing Address) by Event Status"},
    {"mnuemail", "Email Generator"},
    {"mnumargins", "Adjust Print Margins"},
    {"mnuhelpmenu", "Help"},
    {"mnuhelp", "Help"},
    {"mnuinfo", "Info"},
};

// Screen-reader users are staff too: every control they can reach says
// what it is, in the words the window shows beside it, and describes itself
// as its tooltip does. Keyboard users reach every command by its own
// Alt+letter and every box by Tab.
class AccessibilityTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }

    // The menus of a menu bar, submenus too.
    static QList<QMenu *> menusOf(QMenuBar *bar) {
        QList<QMenu *> menus;
        for (QAction *action : bar->actions()) {
            if (action->menu())
                menus << action->menu();
        }
        for (qsizetype i = 0; i < menus.size(); ++i) {
            for (QAction *action : menus[i]->actions()) {
                if (action->menu())
                    menus << action->menu();
            }
        }
        return menus;
    }

    // The caption of the window's button, menu or menu command of that name.
    static std::optional<QString> caption(QWidget *window, QMenuBar *bar, const QString &name) {
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
        return std::nullopt;
    }

    // The Alt+letters the operator can press in the window itself: its
    // menus on the menu bar, its buttons and the labels that name a box;
    // each letter that two of them share, with their captions.
    static QStringList sharedInWindow(QWidget *window, QMenuBar *bar) {
        QMultiHash<QChar, QString> owners;
        for (QAction *menu : bar->actions())
            owners.insert(accelerator(menu->text()), menu->text());
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            if (button->window() == window)
                owners.insert(accelerator(button->text()), button->text());
        }
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (label->window() == window && label->buddy())
                owners.insert(accelerator(label->text()), label->text());
        }
        return shared(owners);
    }
    // The commands of every menu, each menu by itself: every command has a
    // letter, and no two commands of one menu share it.
    static QStringList sharedInMenus(QMenuBar *bar) {
        QStringList found;
        for (QMenu *menu : menusOf(bar)) {
            QMultiHash<QChar, QString> owners;
            for (QAction *action : menu->actions()) {
                if (action->isSeparator())
                    continue;
                if (accelerator(action->text()).isNull())
                    found << u"%1 > %2: no Alt+letter"_s.arg(shown(menu->title()), action->text());
                owners.insert(accelerator(action->text()), action->text());
            }
            for (const QString &twice : shared(owners))
                found << shown(menu->title()) + u" > "_s + twice;
        }
        return found;
    }
    static QStringList shared(const QMultiHash<QChar, QString> &owners) {
        QStringList found;
        for (const QChar letter : owners.uniqueKeys()) {
            if (!letter.isNull() && owners.count(letter) > 1) {
                QStringList captions = owners.values(letter);
                captions.sort();
                found << u"%1: %2"_s.arg(letter, captions.join(u", "_s));
            }
        }
        return found;
    }

    // Every control of the window a person can see, whose accessible name
    // is empty or not its visible label; "frmbanq0 cmd(7): ..." each.
    static QStringList unnamed(QWidget *window) {
        QStringList found;
        for (QWidget *control : window->findChildren<QWidget *>()) {
            if (!interactive(control) || !control->isVisibleTo(window))
                continue;
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
            // On Linux Qt gives a combo box's chosen entry as its name and
            // the label through the label relation; the label is still set.
            const QString name = qobject_cast<QComboBox *>(control) ? control->accessibleName()
                                 : face                             ? face->text(QAccessible::Name)
                                                                    : QString();
            const QString label = visibleLabel(control);
            const QString description = face ? face->text(QAccessible::Description) : QString();
            if (!control->toolTip().isEmpty() && description != control->toolTip())
                found << u"%1 %2: description \"%3\", tooltip \"%4\""_s.arg(
                    window->objectName(), control->objectName(), description, control->toolTip());
            if (name.isEmpty() || !matches(name, label))
                found << u"%1 %2 (%3): name \"%4\", label \"%5\""_s.arg(
                    window->objectName(), control->objectName(),
                    QString::fromLatin1(control->metaObject()->className()), name, label);
        }
        return found;
    }
    // The program's window of that name once it shows, or null.
    static QWidget *topLevel(const QString &name) {
        QWidget *found = nullptr;
        waitFor([&] {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (top->objectName() == name && top->isVisible())
                    found = top;
            }
            return found != nullptr;
        });
        return found;
    }
    // Every control named, and the window itself announced as one: Qt's
    // "client" role is what Linux screen readers call a "filler".
    void expectNamed(QWidget *window) {
        ASSERT_TRUE(window);
        EXPECT_EQ(unnamed(window), QStringList()) << window->objectName().toStdString();
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(window);
        ASSERT_TRUE(face);
        EXPECT_NE(face->role(), QAccessible::Client) << window->objectName().toStdString();
    }

private:
    // Controls a person works with. The parts Qt builds inside a control
    // (a list's header, a combo box's popup, the menu bar's overflow arrow)
    // are named by the control itself.
    static bool interactive(QWidget *w) {
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
    // A button's own text, or the label that is the control's buddy; "&&"
    // shows as "&", a single "&" marks the shortcut.
    static QString visibleLabel(QWidget *w) {
        QString text;
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            text = button->text();
        for (QLabel *label : w->window()->findChildren<QLabel *>()) {
            if (label->buddy() == w)
                text = label->text();
        }
        text.replace(QLatin1String("&&"), u"\x01"_s);
        text.remove(QLatin1Char('&'));
        text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
        if (text.endsWith(QLatin1Char(':')))
            text.chop(1);
        return text.trimmed();
    }
    // An arrow button ("<-") is named for what it moves ("Change Month
    // <-"); any other control by its label exactly.
    static bool matches(const QString &name, const QString &label) {
        if (label.isEmpty())
            return true;
        const bool symbolsOnly =
            std::none_of(label.begin(), label.end(), [](QChar c) { return c.isLetterOrNumber(); });
        return name == label || (symbolsOnly && name.endsWith(QLatin1Char(' ') + label));
    }
};

TEST_F(AccessibilityTest, EveryControlOfEveryWindowIsNamedAsItIsLabelled) {
    ShownWindow shown(*module, club, u"accessibility-walk"_s);
    ASSERT_TRUE(shown.show(QSize(1366, 900)));
    MainWindow &window = shown.window;
    expectNamed(&window); // the month sheet
    // A day cell says its day and how many events it holds.
    const QRegularExpression dayName(
        u"^(Sun|Mon|Tues|Wednes|Thurs|Fri|Satur)day \\d{1,2}, (1 event|\\d+ events)$"_s);
    int days = 0;
    for (QPlainTextEdit *cell : window.findChildren<QPlainTextEdit *>()) {
        if (!cell->objectName().startsWith(QLatin1String("cal(")) || !cell->isVisible())
            continue;
        ++days;
        EXPECT_TRUE(dayName.match(cell->accessibleName()).hasMatch())
            << cell->accessibleName().toStdString();
    }
    EXPECT_GE(days, 28);

    const int event = eventNumber(u"Sullivan-Park Reception"_s);
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    expectNamed(&window); // the event's panels

    shown.logic.rooms.OpenRoomEditor();
    ASSERT_TRUE(waitFor([&] {
        auto *editor = window.findChild<QWidget *>(u"fralocation"_s);
        return !editor || editor->isVisible();
    }));
    expectNamed(&window);
    shown.logic.rooms.RoomButton(RoomEditor::ExitButton);

    prompts.answerInput(QString::number(event));
    window.menuCommand(u"mnutodobynumber"_s)->trigger();
    expectNamed(topLevel(u"frmtasklist"_s));
    topLevel(u"frmtasklist"_s)->close();

    window.button(EventCommand::ContractBuilder)->click();
    expectNamed(topLevel(u"frmbanq2"_s));
    topLevel(u"frmbanq2"_s)->close();
    ASSERT_TRUE(shown.logic.ShowEvent(event));

    window.button(EventCommand::ItemDetail)->click();
    QWidget *items = topLevel(u"frmbanq1"_s);
    expectNamed(items);
    items->close();

    window.button(EventCommand::Lookup)->click();
    expectNamed(&window);

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

// The opened day names each of its cells, free or booked; hidden behind the
// month sheet it has no cell that says it shows, and takes no focus.
TEST_F(AccessibilityTest, TheDayGridNamesEveryCellAndHidesWhollyWithIt) {
    ShownWindow shown(*module, club, u"accessibility-grid"_s);
    ASSERT_TRUE(shown.show(QSize(1366, 768)));
    MonthSheet &sheet = shown.logic.calendar;
    auto *grid = shown.window.findChild<QTableView *>(u"gridres"_s);
    ASSERT_TRUE(grid);
    int busiest = 0;
    for (int cell = 0; cell < MonthSheet::CellCount; ++cell) {
        if (sheet.cells[cell].events > sheet.cells[busiest].events)
            busiest = cell;
    }
    ASSERT_GT(sheet.cells[busiest].events, 0);
    sheet.OpenDay(busiest);
    ASSERT_TRUE(waitFor([&] { return grid->isVisible(); }));
    expectNamed(&shown.window);

    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(grid);
    ASSERT_TRUE(face && face->tableInterface());
    QAccessibleTableInterface *table = face->tableInterface();
    ASSERT_GT(table->rowCount(), 0);
    const QRegularExpression roomCell(u"^[^,]+, [^,]+, .+$"_s);
    QStringList unnamedCells;
    int booked = 0;
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
            if (grid->isColumnHidden(column))
                continue;
            QAccessibleInterface *cell = table->cellAt(row, column);
            const QString name = cell ? cell->text(QAccessible::Name) : QString();
            if (name.isEmpty() || (column > 1 && !roomCell.match(name).hasMatch()))
                unnamedCells << u"%1,%2 \"%3\""_s.arg(row).arg(column).arg(name);
            booked += column > 1 && !name.endsWith(QLatin1String(", free"));
        }
    }
    EXPECT_EQ(unnamedCells, QStringList());
    EXPECT_GT(booked, 0) << "the day's events are named in their cells";

    sheet.ChangeView(MonthSheet::CalendarView);
    ASSERT_TRUE(waitFor([&] { return !grid->isVisible(); }));
    face = QAccessible::queryAccessibleInterface(grid);
    EXPECT_FALSE(face->state().focusable) << "a hidden grid is out of the tab order";
    QStringList showing;
    for (int i = 0; i < face->childCount(); ++i) {
        QAccessibleInterface *child = face->child(i);
        if (child && child->role() == QAccessible::Cell && !child->state().invisible)
            showing << child->text(QAccessible::Name);
    }
    EXPECT_EQ(showing, QStringList());
}

// Tab visits the event's boxes in the order of their numbers, the status
// list in the status box's place and the member options in the member box's.
TEST_F(AccessibilityTest, TabVisitsTheEventBoxesInTheOrderOfTheirNumbers) {
    ShownWindow shown(*module, club, u"accessibility-tabs"_s);
    ASSERT_TRUE(shown.show(QSize(1366, 900)));
    const int event = eventNumber(u"Sullivan-Park Reception"_s);
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    shown.window.button(EventCommand::Modify)->click();
    QWidget *first = shown.window.findChild<QWidget *>(u"Text1(0)"_s);
    ASSERT_TRUE(first);
    first->setFocus();
    ASSERT_TRUE(waitFor([&] { return first->hasFocus(); }));
    static const QRegularExpression box(u"^Text1\\((\\d+)\\)$"_s);
    QList<int> visited;
    for (int step = 0; step < 40; ++step) {
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
}

TEST_F(AccessibilityTest, EveryMainButtonAndMenuCommandHasItsOwnAltLetterAndKeepsItsWords) {
    ShownWindow running(*module, club, u"accelerators"_s);
    ASSERT_TRUE(running.show());
    MainWindow &window = running.window;

    for (const Command &command : MainWindowCommands) {
        const auto text = caption(&window, window.menuBar(), QString::fromLatin1(command.name));
        ASSERT_TRUE(text) << command.name;
        EXPECT_EQ(shown(*text), QString::fromLatin1(command.caption)) << command.name;
        EXPECT_FALSE(accelerator(*text).isNull()) << command.name << " " << text->toStdString();
    }
    EXPECT_EQ(sharedInWindow(&window, window.menuBar()), QStringList());
    EXPECT_EQ(sharedInMenus(window.menuBar()), QStringList());

    // An Alt+letter presses its button.
    QTest::keyClick(&window, Qt::Key_N, Qt::AltModifier);
    auto *date = window.findChild<QWidget *>(u"Text1(0)"_s);
    EXPECT_TRUE(waitFor([&] { return date->hasFocus(); })) << "Alt+N starts a new event";

    // The contract builder, a window of its own, by the same rule.
    window.button(EventCommand::ClearScreen)->click();
    ASSERT_TRUE(running.logic.ShowEvent(eventNumber(u"Sullivan-Park Reception"_s)));
    window.button(EventCommand::ContractBuilder)->click();
    auto *builder = window.findChild<ContractBuilderView *>(u"frmbanq2"_s);
    ASSERT_TRUE(builder);
    ASSERT_TRUE(waitFor([&] { return builder->isVisible(); }));
    for (int i = 0; i < ContractBuilder::MoveCount; ++i) {
        const auto text = caption(builder, builder->menuBar(), u"cmdmove(%1)"_s.arg(i));
        ASSERT_TRUE(text) << i;
        EXPECT_FALSE(accelerator(*text).isNull()) << text->toStdString();
    }
    const auto exit = caption(builder, builder->menuBar(), u"cmdexit"_s);
    ASSERT_TRUE(exit);
    EXPECT_EQ(*exit, u"E&xit"_s);
    EXPECT_EQ(sharedInWindow(builder, builder->menuBar()), QStringList());
    EXPECT_EQ(sharedInMenus(builder->menuBar()), QStringList());
    for (QAction *menu : builder->menuBar()->actions())
        EXPECT_FALSE(accelerator(menu->text()).isNull()) << menu->text().toStdString();
    builder->close();
    running.logic.QueryUnloadMainWindow();
}

// What a prompt says is data: an "&" in it shows as it is, and is no
// keyboard shortcut of the box.
TEST_F(AccessibilityTest, PromptTextsShowAnAmpersandAsItIs) {
    const QString choices = u"1 = Member Events\r\n2 = Non-Member Events\r\n"
                            "3 = Both Member & Non-Member Events"_s;
    QtPrompts real;
    QString labelText;
    QWidget *buddy = nullptr;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        for (QLabel *label : dialog->findChildren<QLabel *>()) {
            if (shown(label->text()).contains(QLatin1String("Both Member"))) {
                labelText = label->text();
                buddy = label->buddy();
            }
        }
        dialog->reject();
    });
    EXPECT_EQ(real.input(choices, u"Mailing labels"_s, QString()), QString());
    EXPECT_EQ(shown(labelText), choices);
    EXPECT_TRUE(accelerator(labelText).isNull()) << labelText.toStdString();
    EXPECT_NE(buddy, nullptr) << "the label names the box";

    Qt::TextFormat format = Qt::AutoText;
    QString messageText;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        format = box->textFormat();
        messageText = box->text();
        box->accept();
    });
    real.message(u"Smith & Sons <Catering>"_s, u"FYI..."_s, Icon::Information);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(messageText, u"Smith & Sons <Catering>"_s);
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
        ASSERT_EQ(shown->window.screen()->size(), QSize(1366, 768));
    }
    void TearDown() override {
        if (shown)
            shown->logic.QueryUnloadMainWindow();
        shown.reset();
        AccessibilityTest::TearDown();
    }

    MainWindow &window() { return shown->window; }
    MainWindowLogic &logic() { return shown->logic; }
    template <typename T = QWidget> T *control(const QString &name) {
        T *found = window().findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit *box(EventField field) {
        return control<QLineEdit>(u"Text1(%1)"_s.arg(columnOf(field)));
    }
    QListWidget *startList() { return control<QListWidget>(u"cbostart"_s); }
    QListWidget *endList() { return control<QListWidget>(u"cboend"_s); }
    QComboBox *statusList() { return control<QComboBox>(u"cbostatus"_s); }
    const QString &stored(EventField field) { return logic().currentEvent().fields[field]; }
    // Lets the window finish what its last action started.
    static void settle() {
        waitFor([] { return false; }, 150);
    }

    void newEvent() {
        window().button(EventCommand::NewEvent)->click();
        ASSERT_TRUE(waitFor([&] { return box(EventField::Date)->hasFocus(); }))
            << "New Event starts in the date";
        settle();
    }

    // Every visible control of the main window, its pop-ups too, that does
    // not lie whole on the screen's free area and in its own window; the
    // window's frame first when it leaves the screen.
    QStringList offScreen() {
        const QRect area = window().screen()->availableGeometry();
        QStringList found;
        const auto at = [](const QRect &r) {
            return u"%1,%2 %3x%4"_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
        };
        if (!area.contains(window().frameGeometry()))
            found << u"frmbanq0 frame "_s + at(window().frameGeometry());
        for (QWidget *control : window().findChildren<QWidget *>()) {
            if (!control->isVisible())
                continue;
            const QRect onScreen(control->mapToGlobal(QPoint(0, 0)), control->size());
            const QWidget *top = control->window();
            const QRect inWindow(top->mapToGlobal(QPoint(0, 0)), top->size());
            if (!area.contains(onScreen) || !inWindow.contains(onScreen))
                found << u"%1 %2 at "_s.arg(QString::fromLatin1(control->metaObject()->className()),
                                            control->objectName()) +
                             at(onScreen);
        }
        return found;
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
    QStringList moved(const QHash<QWidget *, QRect> &before) {
        QStringList found;
        const QHash<QWidget *, QRect> after = places();
        for (auto it = before.begin(); it != before.end(); ++it) {
            if (after.value(it.key()) != it.value())
                found << QString::fromLatin1(it.key()->metaObject()->className()) +
                             QLatin1Char(' ') + it.key()->objectName();
        }
        return found;
    }

    std::unique_ptr<ShownWindow> shown;
};

TEST_F(SmallScreenViewTest, EveryPanelAndControlLiesOnTheScreenAfterNewEventAndOpeningAnEvent) {
    const QSize size = window().size();
    EXPECT_EQ(offScreen(), QStringList()) << "the month sheet";

    newEvent();
    EXPECT_EQ(window().size(), size) << "the window keeps its size";
    for (const char *panel : {"fraevent", "frabilling", "fracontact"})
        EXPECT_TRUE(control(QString::fromLatin1(panel))->isVisible()) << panel;
    for (int index : {0, 1, 3, 8, 10, 20, 21, 30, 33, 34})
        EXPECT_TRUE(control(u"Text1(%1)"_s.arg(index))->isVisible()) << index;
    EXPECT_TRUE(control(u"helpwindow"_s)->isVisible());
    EXPECT_TRUE(control(u"cmdexit"_s)->isVisible());
    EXPECT_EQ(offScreen(), QStringList()) << "after New Event";

    QTest::mouseClick(box(EventField::Start), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return startList()->isVisible(); }));
    EXPECT_EQ(window().size(), size);
    EXPECT_EQ(offScreen(), QStringList()) << "with the start time list open";
    QTest::keyClick(startList()->window(), Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return !startList()->isVisible(); }));

    QTest::mouseClick(box(EventField::Room), Qt::LeftButton);
    QTest::keyClick(box(EventField::Room), Qt::Key_F5);
    auto *rooms = control<QListWidget>(u"List1"_s);
    ASSERT_TRUE(waitFor([&] { return rooms->isVisible(); })) << "F5 opens the room list";
    EXPECT_EQ(window().size(), size);
    EXPECT_EQ(offScreen(), QStringList()) << "with the room list open";
    QTest::mouseClick(rooms->viewport(), Qt::LeftButton, {},
                      rooms->visualItemRect(rooms->item(0)).center());
    EXPECT_EQ(box(EventField::Room)->text(), u"1"_s) << "a click chooses";
    EXPECT_FALSE(rooms->isVisible());

    prompts.answerYesNo(true); // Cancel changes?
    window().button(EventCommand::ClearScreen)->click();
    for (const QString &title :
         {u"Sullivan-Park Reception"_s, u"Sullivan-Park Wedding Ceremony"_s}) {
        ASSERT_TRUE(logic().ShowEvent(eventNumber(title)));
        settle();
        EXPECT_EQ(window().size(), size) << title.toStdString();
        EXPECT_TRUE(control(u"fracontact"_s)->isVisible());
        EXPECT_EQ(offScreen(), QStringList()) << "with " << title.toStdString() << " open";
        window().button(EventCommand::Modify)->click();
        settle();
        EXPECT_EQ(window().size(), size);
        EXPECT_EQ(offScreen(), QStringList()) << title.toStdString() << " being changed";
        window().button(EventCommand::ClearScreen)->click();
    }

    // From the look-up panel, which gives way to the event's panels.
    window().button(EventCommand::Lookup)->click();
    ASSERT_TRUE(waitFor([&] { return control(u"fralookup"_s)->isVisible(); }));
    EXPECT_EQ(offScreen(), QStringList()) << "the look-up panel";
    ASSERT_TRUE(logic().ShowEvent(eventNumber(u"Sullivan-Park Reception"_s)));
    settle();
    EXPECT_FALSE(control(u"fralookup"_s)->isVisible());
    EXPECT_EQ(window().size(), size) << "opened from the look-up panel";
    EXPECT_EQ(offScreen(), QStringList()) << "opened from the look-up panel";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(SmallScreenViewTest, ATimeListOpensOverTheFormMovingNoBoxAndTheKeyboardStaysInTheBox) {
    newEvent();
    const QHash<QWidget *, QRect> before = places();

    QTest::mouseClick(box(EventField::Start), Qt::LeftButton);
    QListWidget *starts = startList();
    ASSERT_TRUE(waitFor([&] { return starts->isVisible(); })) << "the start times open";
    EXPECT_EQ(starts->window()->windowType(), Qt::Popup);
    EXPECT_EQ(moved(before), QStringList()) << "the list moves no box";
    EXPECT_GE(starts->window()->geometry().top(),
              box(EventField::Start)->mapToGlobal(QPoint(0, 0)).y() +
                  box(EventField::Start)->height())
        << "under the start box";
    EXPECT_TRUE(box(EventField::Start)->hasFocus()) << "the box keeps the keyboard";

    // What is typed goes on into the box; the list follows it.
    QWidget *popup = starts->window();
    QTest::keyClicks(popup, u"18"_s);
    EXPECT_EQ(box(EventField::Start)->text(), u"18"_s);
    ASSERT_NE(starts->currentItem(), nullptr);
    EXPECT_TRUE(starts->currentItem()->text().startsWith(u"18:00"_s));
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_TRUE(starts->currentItem()->text().startsWith(u"18:15"_s));
    EXPECT_EQ(box(EventField::Start)->text(), u"18"_s) << "the arrows only browse";
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(box(EventField::Start)->text(), u"18:15"_s) << "Enter chooses";
    EXPECT_EQ(stored(EventField::Start), u"18:15"_s);
    EXPECT_TRUE(box(EventField::Start)->hasFocus());
    EXPECT_EQ(moved(before), QStringList());

    // Tab closes the list and moves on: into the end box, whose list opens.
    QTest::keyClick(box(EventField::Start), Qt::Key_Tab);
    QListWidget *ends = endList();
    ASSERT_TRUE(waitFor([&] { return box(EventField::End)->hasFocus() && ends->isVisible(); }));
    EXPECT_FALSE(starts->isVisible());
    EXPECT_EQ(moved(before), QStringList());
    // A click elsewhere, as the window system hands it to the open list,
    // closes the list and lands where it was aimed.
    const QPoint guests =
        box(EventField::Guests)->mapTo(&window(), box(EventField::Guests)->rect().center());
    QTest::mouseClick(window().windowHandle(), Qt::LeftButton, {}, guests);
    ASSERT_TRUE(waitFor([&] { return !ends->isVisible(); })) << "a click elsewhere closes it";
    ASSERT_TRUE(waitFor([&] { return box(EventField::Guests)->hasFocus(); }))
        << "the click reached its box";
    EXPECT_EQ(moved(before), QStringList());

    // Back in the end box the list opens again; a click on an entry chooses.
    QTest::mouseClick(box(EventField::End), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return ends->isVisible(); }));
    QListWidgetItem *nine = ends->findItems(u"21:00"_s, Qt::MatchStartsWith).value(0);
    ASSERT_NE(nine, nullptr);
    ends->scrollToItem(nine);
    QTest::mouseClick(ends->viewport(), Qt::LeftButton, {}, ends->visualItemRect(nine).center());
    EXPECT_EQ(box(EventField::End)->text(), u"21:00"_s);
    EXPECT_FALSE(ends->isVisible());
    EXPECT_EQ(moved(before), QStringList());

    // An Alt+letter pressed while a list is open reaches its button.
    QTest::mouseClick(box(EventField::Start), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return starts->isVisible(); }));
    QTest::keyClick(starts->window(), Qt::Key_C, Qt::AltModifier);
    EXPECT_FALSE(starts->isVisible());
    EXPECT_TRUE(waitFor([&] { return logic().window.reservationsVisible; })) << "Alt+C, Calendar";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(SmallScreenViewTest, TheStatusListsArrowsBrowseAndEnterChooses) {
    newEvent();
    QComboBox *status = statusList();
    const QStringList names = logic().window.statusList.entries;
    ASSERT_EQ(names.size(), 6);
    EXPECT_EQ(status->currentText(), names[0]) << "a new event is a contact";
    status->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitFor([&] { return status->hasFocus(); }));

    QTest::keyClick(status, Qt::Key_Down);
    QTest::keyClick(status, Qt::Key_Down);
    EXPECT_EQ(status->currentText(), names[2]);
    QTest::keyClick(status, Qt::Key_Up);
    EXPECT_EQ(status->currentText(), names[1]);
    settle();
    EXPECT_TRUE(status->hasFocus()) << "browsing stays in the list";
    EXPECT_EQ(stored(EventField::Status), u"1"_s) << "nothing chosen yet";
    EXPECT_TRUE(keys.sent.isEmpty());

    // Dropped down, the list shows the entry browsed to as its current one.
    status->showPopup();
    QAbstractItemView *view = status->view();
    ASSERT_TRUE(waitFor([&] { return view->isVisible(); }));
    settle();
    EXPECT_EQ(view->currentIndex().row(), 1);
    EXPECT_EQ(view->currentIndex().data().toString(), names[1]);
    const QRect current = view->visualRect(view->currentIndex());
    EXPECT_TRUE(view->viewport()->rect().contains(current.center())) << "the current entry shows";
    const QImage drawn = view->viewport()->grab(current).toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            colours.insert(drawn.pixel(x, y));
    EXPECT_GT(colours.size(), 2) << "its text is drawn";
    EXPECT_EQ(status->currentText(), names[1]);
    EXPECT_TRUE(logic().window.statusFocused) << "the drop-down is still the list";
    status->hidePopup();
    ASSERT_TRUE(waitFor([&] { return !view->isVisible(); }));

    // Enter chooses, and the window moves on to the title as it always did.
    status->setFocus(Qt::TabFocusReason);
    QTest::keyClick(status, Qt::Key_Return);
    EXPECT_EQ(stored(EventField::Status), u"2"_s);
    EXPECT_EQ(status->currentText(), names[1]);
    EXPECT_TRUE(waitFor([&] { return box(EventField::Title)->hasFocus(); }));

    // Browsed to and left without Enter: the chosen status shows again.
    status->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitFor([&] { return status->hasFocus(); }));
    QTest::keyClick(status, Qt::Key_4);
    EXPECT_EQ(status->currentText(), names[3]) << "a first letter browses";
    box(EventField::Guests)->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitFor([&] { return box(EventField::Guests)->hasFocus(); }));
    EXPECT_EQ(status->currentText(), names[1]);
    EXPECT_EQ(stored(EventField::Status), u"2"_s);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(SmallScreenViewTest, MemberAndNonMemberAreOneRadioGroupTheArrowsChooseIn) {
    newEvent();
    auto *member = control<QRadioButton>(u"optmemnonmem(0)"_s);
    auto *nonMember = control<QRadioButton>(u"optmemnonmem(1)"_s);
    ASSERT_TRUE(member && nonMember);
    ASSERT_NE(member->group(), nullptr);
    EXPECT_EQ(member->group(), nonMember->group());
    EXPECT_TRUE(member->group()->exclusive());
    for (QRadioButton *option : {member, nonMember}) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(option);
        ASSERT_TRUE(face);
        EXPECT_EQ(face->role(), QAccessible::RadioButton) << option->text().toStdString();
    }
    EXPECT_FALSE(member->isChecked() || nonMember->isChecked()) << "a new event is neither yet";

    QTest::mouseClick(member, Qt::LeftButton);
    EXPECT_TRUE(member->isChecked());
    EXPECT_EQ(stored(EventField::Member), u"1"_s);
    member->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitFor([&] { return member->hasFocus(); }));
    QTest::keyClick(member, Qt::Key_Right);
    EXPECT_TRUE(nonMember->isChecked());
    EXPECT_FALSE(member->isChecked());
    EXPECT_TRUE(nonMember->hasFocus());
    EXPECT_EQ(stored(EventField::Member), u"2"_s);
    QTest::keyClick(nonMember, Qt::Key_Left);
    EXPECT_TRUE(member->isChecked());
    EXPECT_FALSE(nonMember->isChecked());
    EXPECT_EQ(stored(EventField::Member), u"1"_s);

    // Cleared, the event is neither again.
    prompts.answerYesNo(true); // Cancel changes?
    window().button(EventCommand::ClearScreen)->click();
    EXPECT_FALSE(member->isChecked() || nonMember->isChecked());
}

TEST_F(SmallScreenViewTest, ClearScreenAndDeleteLeaveTheWindowAsAFreshStart) {
    // No required mark, no status in the list, nothing on the help line.
    const auto expectFresh = [&](const char *after) {
        const EventWindow &state = logic().window;
        for (EventField field : AllEventFields) {
            EXPECT_FALSE(state.fieldRequired[field]) << after << " box " << columnOf(field);
            EXPECT_EQ(state.fieldColor[field], EventWindow::restingColor(field))
                << after << columnOf(field);
        }
        EXPECT_FALSE(state.MissingFlag) << after;
        EXPECT_FALSE(state.statusMissing) << after;
        for (QLabel *label : window().findChildren<QLabel *>()) {
            if (!label->buddy() ||
                !label->buddy()->objectName().startsWith(QLatin1String("Text1(")))
                continue;
            EXPECT_FALSE(label->font().underline()) << after << " " << label->text().toStdString();
            EXPECT_TRUE(label->styleSheet().isEmpty())
                << after << " " << label->text().toStdString();
        }
        EXPECT_EQ(statusList()->currentIndex(), -1) << after;
        EXPECT_EQ(statusList()->currentText(), QString()) << after;
        EXPECT_EQ(statusList()->placeholderText(), EventWindow::NoStatusText);
        EXPECT_EQ(control<QPlainTextEdit>(u"helpwindow"_s)->toPlainText(), QString()) << after;
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
    ASSERT_EQ(prompts.messageTexts(),
              QStringList{u"One or more required fields of data is missing.\r\n"
                          "Please fill in: Event Title."_s});
    ASSERT_TRUE(logic().window.fieldRequired[EventField::Title]);
    ASSERT_EQ(logic().window.fieldColor[EventField::Title], EventWindow::Red);
    ASSERT_FALSE(statusList()->currentText().isEmpty());
    logic().setHelpText(u"Event #%1 is being changed"_s.arg(reception));
    prompts.clear();

    prompts.answerYesNo(true); // Cancel changes?
    window().button(EventCommand::ClearScreen)->click();
    settle();
    expectFresh("Clear Screen");

    // An event shown with its marks, then deleted.
    const int rehearsal = eventNumber(u"Sullivan-Park Rehearsal Dinner"_s);
    ASSERT_TRUE(logic().ShowEvent(rehearsal));
    ASSERT_TRUE(logic().editor.CheckRequiredFields());
    logic().setHelpText(u"Event #%1"_s.arg(rehearsal));
    settle();
    ASSERT_TRUE(std::any_of(logic().window.fieldRequired.begin(),
                            logic().window.fieldRequired.end(), [](bool on) { return on; }));
    ASSERT_FALSE(statusList()->currentText().isEmpty());
    prompts.answerYesNo(true); // Delete this contact now?
    window().menuCommand(u"mnudeletecontact"_s)->trigger();
    settle();
    expectFresh("Delete");
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

} // namespace
