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
    QtKeySender typing;
    QtPrinter printer;
    std::unique_ptr<Module> viewModule;
    MainWindow *window = nullptr;
};

// A whole booking with the keyboard alone: Tab to "New Event", Enter on
// from the date, every other box by Tab and typing, the status by its first
// character and Enter, and Save; then the booking in the month and its
// history printed as a PDF.
TEST_F(EventEditingViewTest, AWholeBookingIsMadeWithTheKeyboardAloneAndItsHistoryPrinted) {
    ShownWindow shown(*viewModule, club, QStringLiteral("keyboard-view-test"));
    MainWindow &mainWindow = shown.window;
    window = &mainWindow;
    ASSERT_TRUE(shown.show());
    // Nothing is typed before an event is started.
    QTest::keyClicks(box(EventField::Title), QStringLiteral("ignored"));
    EXPECT_EQ(box(EventField::Title)->text(), QString());

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
    const auto typeAt = [&](EventField field, const QString &text) {
        ASSERT_TRUE(tabTo(box(field))) << columnOf(field);
        QTest::keyClicks(focused(), text);
    };

    ASSERT_TRUE(tabTo(mainWindow.button(EventCommand::NewEvent)));
    press(Qt::Key_Space); // New Event
    ASSERT_TRUE(waitFor([&] { return box(EventField::Date)->hasFocus(); }))
        << "New Event starts in the date";
    EXPECT_FALSE(box(EventField::Number)->text().isEmpty());
    QTest::keyClicks(focused(), QStringLiteral("1221"));
    press(Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return box(EventField::Title)->hasFocus(); })) << "Enter moves on";
    const int year = clock.today().year();
    EXPECT_EQ(box(EventField::Date)->text(), QString::number(year) + "1221");
    EXPECT_EQ(box(EventField::Date)->palette().color(QPalette::Base), QColor(Qt::white));
    QTest::keyClicks(focused(), QStringLiteral("Winter Recital"));
    typeAt(EventField::Start, QStringLiteral("19:00"));
    typeAt(EventField::End, QStringLiteral("21:30"));
    ASSERT_TRUE(tabTo(control<QComboBox>(QStringLiteral("cbostatus"))));
    press(Qt::Key_2); // browses to "2-Reserved"
    press(Qt::Key_Return);
    typeAt(EventField::Guests, QStringLiteral("40"));
    typeAt(EventField::Guarantee, QStringLiteral("35"));
    typeAt(EventField::Room, QStringLiteral("1"));
    typeAt(EventField::ContactName, QStringLiteral("Grace Hopper"));
    typeAt(EventField::ContactPhone1, QStringLiteral("5551234567"));
    ASSERT_TRUE(tabTo(mainWindow.button(EventCommand::Save)));
    press(Qt::Key_Space); // Save
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_FALSE(mainWindow.button(EventCommand::Save)->isEnabled()) << "saved";
    EXPECT_TRUE(box(EventField::Title)->isReadOnly());
    EXPECT_EQ(column(QStringLiteral("evnt"),
                     QStringLiteral("select eventtitle || ' ' || starttime || '-' || endtime || "
                                    "' ' || status || ' ' || roomnumber || ' ' || contactname "
                                    "from eventinfo where eventdate = ?"),
                     {year * 10000 + 1221}),
              QVariantList{QStringLiteral("Winter Recital 19:00-21:30 2 1 Grace Hopper")});

    mainWindow.button(EventCommand::Calendar)->click();
    const int first = QDate(year, 12, 1).dayOfWeek() % 7;
    auto *day = control<QPlainTextEdit>(QStringLiteral("cal(%1)").arg(first + 20));
    ASSERT_TRUE(waitFor([&] { return day->isVisible(); }));
    EXPECT_TRUE(day->toPlainText().contains(QStringLiteral("Winter Recital")))
        << day->toPlainText().toStdString();

    // The history, in columns with the opening line the oldest, last, prints
    // as a readable PDF.
    mainWindow.menuCommand(QStringLiteral("mnuaudithistory"))->trigger();
    auto *history = control<QGroupBox>(QStringLiteral("fraaudit"));
    ASSERT_TRUE(waitFor([&] { return history->isVisible(); }));
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
        printed.contains(QRegularExpression(QStringLiteral("Event Title:\\s+Winter Recital"))))
        << printed.toStdString();
    EXPECT_TRUE(printed.contains(QString(78, QLatin1Char('-'))));
    EXPECT_TRUE(printed.contains(QStringLiteral("opened"))) << printed.toStdString();
    control<QPushButton>(QStringLiteral("cmdaudit(1)"))->click();
    EXPECT_TRUE(waitFor([&] { return !history->isVisible(); }));
    mainWindow.close();
}

} // namespace
