#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "ui/ContractBuilderView.h"
#include "ui/QtPrompts.h"

#include <QAbstractButton>
#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

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
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
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

class AcceleratorsViewTest : public ClubFixture {
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
                    found << QStringLiteral("%1 > %2: no Alt+letter")
                                 .arg(shown(menu->title()), action->text());
                owners.insert(accelerator(action->text()), action->text());
            }
            for (const QString &twice : shared(owners))
                found << shown(menu->title()) + QStringLiteral(" > ") + twice;
        }
        return found;
    }
    static QStringList shared(const QMultiHash<QChar, QString> &owners) {
        QStringList found;
        for (const QChar letter : owners.uniqueKeys()) {
            if (!letter.isNull() && owners.count(letter) > 1) {
                QStringList captions = owners.values(letter);
                captions.sort();
                found << QStringLiteral("%1: %2").arg(letter, captions.join(QStringLiteral(", ")));
            }
        }
        return found;
    }
};

TEST_F(AcceleratorsViewTest, EveryMainButtonAndMenuCommandHasItsOwnAltLetterAndKeepsItsWords) {
    ShownWindow running(*module, club, QStringLiteral("accelerators"));
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
    auto *date = window.findChild<QWidget *>(QStringLiteral("Text1(0)"));
    EXPECT_TRUE(waitFor([&] { return date->hasFocus(); })) << "Alt+N starts a new event";

    // The contract builder, a window of its own, by the same rule.
    window.button(EventCommand::ClearScreen)->click();
    ASSERT_TRUE(running.logic.ShowEvent(eventNumber(QStringLiteral("Sullivan-Park Reception"))));
    window.button(EventCommand::ContractBuilder)->click();
    auto *builder = window.findChild<ContractBuilderView *>(QStringLiteral("frmbanq2"));
    ASSERT_TRUE(builder);
    ASSERT_TRUE(waitFor([&] { return builder->isVisible(); }));
    for (int i = 0; i < ContractBuilder::MoveCount; ++i) {
        const auto text =
            caption(builder, builder->menuBar(), QStringLiteral("cmdmove(%1)").arg(i));
        ASSERT_TRUE(text) << i;
        EXPECT_FALSE(accelerator(*text).isNull()) << text->toStdString();
    }
    const auto exit = caption(builder, builder->menuBar(), QStringLiteral("cmdexit"));
    ASSERT_TRUE(exit);
    EXPECT_EQ(*exit, QStringLiteral("E&xit"));
    EXPECT_EQ(sharedInWindow(builder, builder->menuBar()), QStringList());
    EXPECT_EQ(sharedInMenus(builder->menuBar()), QStringList());
    for (QAction *menu : builder->menuBar()->actions())
        EXPECT_FALSE(accelerator(menu->text()).isNull()) << menu->text().toStdString();
    builder->close();
    running.logic.QueryUnloadMainWindow();
}

// What a prompt says is data: an "&" in it shows as it is, and is no
// keyboard shortcut of the box.
TEST_F(AcceleratorsViewTest, PromptTextsShowAnAmpersandAsItIs) {
    const QString choices = QStringLiteral("1 = Member Events\r\n2 = Non-Member Events\r\n"
                                           "3 = Both Member & Non-Member Events");
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
    EXPECT_EQ(real.input(choices, QStringLiteral("Mailing labels"), QString()), QString());
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
    real.message(QStringLiteral("Smith & Sons <Catering>"), QStringLiteral("FYI..."),
                 Icon::Information);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(messageText, QStringLiteral("Smith & Sons <Catering>"));
}

} // namespace
