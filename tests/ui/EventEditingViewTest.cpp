#include "CalendarClub.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "app/MainWindowLogic.h"
#include "session/SingleInstance.h"
#include "ui/MainWindow.h"
#include "ui/QtKeySender.h"
#include "ui/QtPrinter.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

namespace {

// The event window as the operator uses it, with real keystrokes and the
// real printer writing a PDF.
class EventEditingViewTest : public CalendarClub {
protected:
    void SetUp() override {
        CalendarClub::SetUp();
        addRoom(QStringLiteral("Terrace"), 80);
        addRoom(QStringLiteral("Library"), 20);
        fillYear(clock.today().year());
        printer.setOutputFile(QDir(temp.path()).filePath(QStringLiteral("audit.pdf")));
        viewModule = std::make_unique<Module>(
            settings(), Ports{prompts, clipboard, programs, clock, typing, printer, screen});
    }
    void TearDown() override {
        viewModule.reset();
        CalendarClub::TearDown();
    }

    template <typename T = QWidget> T *control(const QString &name) {
        T *found = window->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit *box(EventField field) {
        return control<QLineEdit>(QStringLiteral("Text1(%1)").arg(columnOf(field)));
    }
    // Clicks into a box and types; Enter (when asked) moves on to the next.
    void typeInto(EventField field, const QString &text) {
        QLineEdit *line = box(field);
        QTest::mouseClick(line, Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return line->hasFocus(); })) << columnOf(field);
        QTest::keyClicks(line, text);
    }
    // A pick from the status list's open drop-down.
    void choose(QComboBox *list, const QString &startingWith) {
        ASSERT_TRUE(waitFor([&] { return list->isVisible() && list->isEnabled(); }));
        for (int i = 0; i < list->count(); ++i) {
            if (list->itemText(i).startsWith(startingWith)) {
                list->setCurrentIndex(i);
                emit list->activated(i);
                return;
            }
        }
        ADD_FAILURE() << "no entry " << startingWith.toStdString();
    }
    // A click on an entry of the list that opened under a box.
    void click(QListWidget *list, const QString &startingWith) {
        ASSERT_TRUE(waitFor([&] { return list->isVisible(); })) << list->objectName().toStdString();
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text().startsWith(startingWith)) {
                list->scrollToItem(list->item(i));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(i)).center());
                return;
            }
        }
        ADD_FAILURE() << "no entry " << startingWith.toStdString();
    }

    QtKeySender typing;
    QtPrinter printer;
    std::unique_ptr<Module> viewModule;
    MainWindow *window = nullptr;
};

TEST_F(EventEditingViewTest, ANewEventIsTypedBookedAndShownInTheMonth) {
    ShownWindow shown(*viewModule, club, QStringLiteral("editing-view-test"));
    MainWindow &mainWindow = shown.window;
    window = &mainWindow;
    ASSERT_TRUE(shown.show());

    // Nothing is typed before an event is started.
    QTest::keyClicks(box(EventField::Title), QStringLiteral("ignored"));
    EXPECT_EQ(box(EventField::Title)->text(), QString());

    mainWindow.button(EventCommand::NewEvent)->click();
    ASSERT_TRUE(waitFor([&] { return box(EventField::Date)->hasFocus(); }))
        << "New Event starts in the date";
    EXPECT_FALSE(box(EventField::Number)->text().isEmpty());
    QTest::keyClicks(box(EventField::Date), QStringLiteral("1220"));
    QTest::keyClick(box(EventField::Date), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return box(EventField::Title)->hasFocus(); })) << "Enter moves on";
    EXPECT_EQ(box(EventField::Date)->text(),
              QStringLiteral("%1").arg(clock.today().year()) + "1220");
    QTest::keyClicks(box(EventField::Title), QStringLiteral("Carol Concert"));
    EXPECT_EQ(box(EventField::Date)->palette().color(QPalette::Base), QColor(Qt::white));

    QTest::mouseClick(box(EventField::Start), Qt::LeftButton);
    click(control<QListWidget>(QStringLiteral("cbostart")), QStringLiteral("18:00"));
    QTest::mouseClick(box(EventField::End), Qt::LeftButton);
    click(control<QListWidget>(QStringLiteral("cboend")), QStringLiteral("21:00"));
    EXPECT_EQ(box(EventField::Start)->text(), QStringLiteral("18:00"));
    EXPECT_EQ(box(EventField::End)->text(), QStringLiteral("21:00"));
    choose(control<QComboBox>(QStringLiteral("cbostatus")), QStringLiteral("2"));
    ASSERT_TRUE(waitFor([&] { return box(EventField::Title)->hasFocus(); }))
        << "a status chosen, the title";
    typeInto(EventField::Guests, QStringLiteral("60"));
    typeInto(EventField::Guarantee, QStringLiteral("55"));

    typeInto(EventField::Room, QString());
    QTest::keyClick(box(EventField::Room), Qt::Key_F5);
    auto *rooms = control<QListWidget>(QStringLiteral("List1"));
    ASSERT_TRUE(waitFor([&] { return rooms->isVisible(); })) << "F5 opens the room list";
    QTest::mouseClick(rooms->viewport(), Qt::LeftButton, {},
                      rooms->visualItemRect(rooms->item(0)).center());
    EXPECT_EQ(box(EventField::Room)->text(), QStringLiteral("1"));
    EXPECT_FALSE(rooms->isVisible());

    typeInto(EventField::ContactName, QStringLiteral("Ada Lovelace"));
    typeInto(EventField::ContactPhone1, QStringLiteral("5551234567"));
    QTest::keyClick(box(EventField::ContactPhone1), Qt::Key_Tab);
    EXPECT_EQ(box(EventField::ContactPhone1)->text(), QStringLiteral("555-123-4567"));

    mainWindow.button(EventCommand::Save)->click();
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_FALSE(mainWindow.button(EventCommand::Save)->isEnabled()) << "saved";
    EXPECT_TRUE(box(EventField::Title)->isReadOnly());

    mainWindow.button(EventCommand::Calendar)->click();
    const QDate concert(clock.today().year(), 12, 20);
    const int first = QDate(concert.year(), 12, 1).dayOfWeek() % 7;
    auto *day = control<QPlainTextEdit>(QStringLiteral("cal(%1)").arg(first + 19));
    ASSERT_TRUE(waitFor([&] { return day->isVisible(); }));
    EXPECT_TRUE(day->toPlainText().contains(QStringLiteral("Carol Concert")))
        << day->toPlainText().toStdString();

    // The history prints as a readable PDF.
    mainWindow.menuCommand(QStringLiteral("mnuaudithistory"))->trigger();
    auto *history = control<QGroupBox>(QStringLiteral("fraaudit"));
    ASSERT_TRUE(waitFor([&] { return history->isVisible(); }));
    // In columns, with the opening line the oldest, last.
    auto *table = control<QTableWidget>(QStringLiteral("Text4"));
    ASSERT_TRUE(table);
    QStringList headers;
    for (int column = 0; column < table->columnCount(); ++column)
        headers << table->horizontalHeaderItem(column)->text();
    EXPECT_EQ(headers, (QStringList{QStringLiteral("Date"), QStringLiteral("Time"),
                                    QStringLiteral("Operator"), QStringLiteral("Change")}));
    ASSERT_GT(table->rowCount(), 0);
    EXPECT_EQ(table->item(table->rowCount() - 1, 3)->text(),
              QStringLiteral("Event#%1 opened").arg(box(EventField::Number)->text()));
    control<QPushButton>(QStringLiteral("cmdaudit(0)"))->click();
    QProcess text;
    text.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-layout"), QDir(temp.path()).filePath(QStringLiteral("audit.pdf")),
                QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(
        printed.contains(QRegularExpression(QStringLiteral("Event Title:\\s+Carol Concert"))))
        << printed.toStdString();
    EXPECT_TRUE(printed.contains(QString(78, QLatin1Char('-'))));
    EXPECT_TRUE(printed.contains(QStringLiteral("opened"))) << printed.toStdString();
    control<QPushButton>(QStringLiteral("cmdaudit(1)"))->click();
    EXPECT_TRUE(waitFor([&] { return !history->isVisible(); }));
    mainWindow.close();
}

// A whole booking with the keyboard alone: Tab to "New Event", then every
// box by Tab and typing, the status by its first character and Enter, and
// Save.
TEST_F(EventEditingViewTest, AWholeBookingIsMadeWithTheKeyboardAlone) {
    ShownWindow shown(*viewModule, club, QStringLiteral("keyboard-view-test"));
    MainWindow &mainWindow = shown.window;
    window = &mainWindow;
    ASSERT_TRUE(shown.show());
    const auto focused = [] {
        return QApplication::focusWidget();
    };
    const auto press = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ASSERT_TRUE(focused());
        QTest::keyClick(focused(), Qt::Key(key), modifiers);
    };
    // Tab until the control has the focus; false when it never does.
    const auto tabTo = [&](QWidget *target) {
        for (int step = 0; step < 120 && focused() != target; ++step)
            QTest::keyClick(focused() ? focused() : static_cast<QWidget *>(&mainWindow),
                            Qt::Key_Tab);
        return focused() == target;
    };

    ASSERT_TRUE(tabTo(mainWindow.button(EventCommand::NewEvent)));
    press(Qt::Key_Space); // New Event
    ASSERT_TRUE(waitFor([&] { return box(EventField::Date)->hasFocus(); }));
    QTest::keyClicks(focused(), QStringLiteral("1221"));
    ASSERT_TRUE(tabTo(box(EventField::Title)));
    QTest::keyClicks(focused(), QStringLiteral("Winter Recital"));
    ASSERT_TRUE(tabTo(box(EventField::Start)));
    QTest::keyClicks(focused(), QStringLiteral("19:00"));
    ASSERT_TRUE(tabTo(box(EventField::End)));
    QTest::keyClicks(focused(), QStringLiteral("21:30"));
    ASSERT_TRUE(tabTo(control<QComboBox>(QStringLiteral("cbostatus"))));
    press(Qt::Key_2); // browses to "2-Reserved"
    press(Qt::Key_Return);
    ASSERT_TRUE(tabTo(box(EventField::Guests)));
    QTest::keyClicks(focused(), QStringLiteral("40"));
    ASSERT_TRUE(tabTo(box(EventField::Guarantee)));
    QTest::keyClicks(focused(), QStringLiteral("35"));
    ASSERT_TRUE(tabTo(box(EventField::Room)));
    QTest::keyClicks(focused(), QStringLiteral("1"));
    ASSERT_TRUE(tabTo(box(EventField::ContactName)));
    QTest::keyClicks(focused(), QStringLiteral("Grace Hopper"));
    ASSERT_TRUE(tabTo(box(EventField::ContactPhone1)));
    QTest::keyClicks(focused(), QStringLiteral("5551234567"));
    ASSERT_TRUE(tabTo(mainWindow.button(EventCommand::Save)));
    press(Qt::Key_Space); // Save
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_FALSE(mainWindow.button(EventCommand::Save)->isEnabled()) << "saved";
    const int year = clock.today().year();
    EXPECT_EQ(column(QStringLiteral("evnt"),
                     QStringLiteral("select eventtitle || ' ' || starttime || '-' || endtime || "
                                    "' ' || status || ' ' || roomnumber || ' ' || contactname "
                                    "from eventinfo where eventdate = ?"),
                     {year * 10000 + 1221}),
              QVariantList{QStringLiteral("Winter Recital 19:00-21:30 2 1 Grace Hopper")});
}

} // namespace
