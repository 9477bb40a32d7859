#include "ui/MainWindow.h"

#include "CalendarClub.h"
#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "app/MainWindowLogic.h"
#include "reports/CalendarExport.h"
#include "session/SingleInstance.h"
#include "ui/CalendarExportDialog.h"
#include "ui/CalendarFrame.h"
#include "ui/DepartmentButtonsPanel.h"
#include "ui/EventPanels.h"
#include "ui/QtKeySender.h"
#include "ui/QtPrinter.h"
#include "ui/QtScreenGrabber.h"
#include "ui/SavedNoticeWindow.h"
#include "utilities/ScreenCapture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The main window over a club of the test's making.
class MainWindowTest : public CalendarClub {
protected:
    // The fakes' ports with a screen of the test's choosing.
    Ports withScreen(ScreenGrabber &screen) {
        return Ports{prompts, clipboard, programs, clock, keys, printer, screen};
    }
};

// The names, captions and limits the logic gives reach the widgets, and
// Exit closes the window through the logic's own close.
TEST_F(MainWindowTest, OpensWithTheLogicsNamesAndLimitsAndClosesCleanly) {
    exec(u"evnt"_s,
         u"insert into location (roomnum, room, capacity, subdiv) values (1, 'Terrace', 80, 0)"_s);
    exec(u"user"_s, u"update staff set location = 'Events'"_s);
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
    auto *save = window->findChild<QPushButton *>(u"cmd(7)"_s);
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), u"&Save"_s);
    EXPECT_FALSE(save->isEnabled());
    auto *title = window->findChild<QLineEdit *>(u"Text1(1)"_s);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->maxLength(), 50);
    EXPECT_FALSE(title->toolTip().isEmpty());
    EXPECT_TRUE(window->menuCommand(u"mnupurgecalendar"_s)->isVisible());
    EXPECT_EQ(window->findChild<QListWidget *>(u"List1"_s)->count(), 1);
    EXPECT_EQ(window->findChild<QComboBox *>(u"cboroom"_s)->count(), 2);
    EXPECT_EQ(window->findChild<QComboBox *>(u"cbostatus"_s)->count(), 6);
    for (int column = 0; column < EventFieldCount; ++column)
        EXPECT_NE(window->findChild<QWidget *>(u"Text1(%1)"_s.arg(column)), nullptr) << column;

    window->findChild<QPushButton *>(u"cmdexit"_s)->click();
    ASSERT_TRUE(waitFor([&] { return alive.isNull(); }));
    EXPECT_EQ(scalar(u"user"_s, u"select location from staff where username = 'DEMO'"_s).toString(),
              u"Startup"_s);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST(SavedNoticeView, ShowsOnTopAndClosesItselfEachTime) {
    for (int save = 0; save < 2; ++save) {
        QPointer<SavedNoticeWindow> notice = SavedNoticeWindow::ShowSavedNotice();
        ASSERT_TRUE(notice);
        EXPECT_TRUE(notice->isVisible());
        EXPECT_TRUE(notice->windowFlags() & Qt::WindowStaysOnTopHint);
        ASSERT_TRUE(waitFor([&] { return notice.isNull(); }))
            << "the notice closes and deletes itself";
    }
}

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

    const auto *frame = window.findChild<CalendarFrame *>(u"frareservations"_s);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(window.findChild<QLabel *>(u"Label2(5)"_s)->text(), u"Sunday"_s);
    EXPECT_EQ(window.findChild<QLineEdit *>(u"Text2(1)"_s)->text(),
              MonthSheet::monthText(today.month()));
    const int first = QDate(today.year(), today.month(), 1).dayOfWeek() % 7;
    QPlainTextEdit *fifteenth = window.findChild<QPlainTextEdit *>(u"cal(%1)"_s.arg(first + 14));
    ASSERT_NE(fifteenth, nullptr);
    EXPECT_EQ(fifteenth->toPlainText(), u"15           * 2 events *\nBook Club\nSmith Wedding"_s);
    EXPECT_TRUE(fifteenth->isVisible());
    QPlainTextEdit *todays =
        window.findChild<QPlainTextEdit *>(u"cal(%1)"_s.arg(first + today.day() - 1));
    EXPECT_EQ(todays->palette().color(QPalette::Base), QColor(224, 224, 224));

    QTest::mouseClick(fifteenth->viewport(), Qt::LeftButton);
    EXPECT_EQ(fifteenth->palette().color(QPalette::Base), QColor(255, 255, 128));
    QTest::mouseDClick(fifteenth->viewport(), Qt::LeftButton);

    auto *grid = window.findChild<QTableView *>(u"gridres"_s);
    ASSERT_TRUE(waitFor([&] { return grid->isVisible(); }));
    EXPECT_FALSE(fifteenth->isVisible());
    EXPECT_TRUE(window.findChild<QRadioButton *>(u"optviewmode(1)"_s)->isChecked());
    EXPECT_EQ(window.findChild<QLineEdit *>(u"Text2(2)"_s)->text(),
              logic.calendar.grid.club().dateNumber(date));
    QAbstractItemModel *model = grid->model();
    EXPECT_EQ(model->headerData(5, Qt::Horizontal).toString(), u"Library"_s);
    EXPECT_EQ(model->headerData(5, Qt::Horizontal, Qt::ToolTipRole).toString(),
              u"2 - Library  -  cap:20"_s);
    EXPECT_TRUE(grid->isColumnHidden(4)) << "event numbers show in the help line";
    int tenOClock = 0;
    while (logic.calendar.grid.time(tenOClock) != u"10:00"_s)
        ++tenOClock;
    EXPECT_EQ(model->index(tenOClock, 5).data().toString(), u"Smith Wedding"_s);
    EXPECT_EQ(model->index(tenOClock, 3).data().toString(), QString());
    EXPECT_EQ(model->index(tenOClock - 8, 3).data().toString(), u"Book Club"_s);

    QList<int> requested;
    QObject::connect(&logic, &MainWindowLogic::eventRequested,
                     [&](int number) { requested << number; });
    grid->scrollTo(model->index(tenOClock, 5));
    const QRect slot = grid->visualRect(model->index(tenOClock, 5));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, slot.center());
    EXPECT_EQ(logic.window.helpwindow, u"Event # 41 - Smith Wedding"_s);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, slot.center());
    EXPECT_EQ(requested, QList<int>{41});
    // The event opens in the event panels in place of the calendar.
    EXPECT_EQ(window.findChild<QLineEdit *>(u"Text1(1)"_s)->text(), u"Smith Wedding"_s);
    EXPECT_TRUE(window.findChild<QComboBox *>(u"cbostatus"_s)->currentText().startsWith(u"3-"_s));
    EXPECT_TRUE(window.findChild<QWidget *>(u"frabilling"_s)->isVisible());
    EXPECT_TRUE(waitFor([&] { return !frame->isVisible(); }));

    window.button(EventCommand::Calendar)->click(); // Calendar: this month's sheet again
    EXPECT_TRUE(waitFor([&] { return fifteenth->isVisible(); }));
    EXPECT_FALSE(grid->isVisible());
    EXPECT_TRUE(prompts.messages.isEmpty());
    window.close();
}

TEST_F(MainWindowTest, AddingARoomThroughThePanelUpdatesEveryRoomList) {
    ShownWindow shown(*module, club, u"panel-test"_s);
    ASSERT_TRUE(shown.show());
    MainWindow &window = shown.window;

    window.menuCommand(u"mnuaddroom"_s)->trigger();
    auto *panel = window.findChild<QWidget *>(u"fralocation"_s);
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(waitFor([&] { return panel->isVisible(); }));
    auto *name = window.findChild<QLineEdit *>(u"Text3(0)"_s);
    auto *capacity = window.findChild<QLineEdit *>(u"Text3(1)"_s);
    QTest::qWait(50); // focus changes arrive as events
    EXPECT_EQ(name->text(), u"(room name here)"_s) << "the hint stays until the "
                                                      "operator enters the box";
    auto *help = window.findChild<QPlainTextEdit *>(u"helpwindow"_s);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->toPlainText().startsWith(u"To add a room"_s));

    name->setFocus();
    ASSERT_TRUE(waitFor([&] { return name->text().isEmpty(); })) << "entering clears the hint";
    QTest::keyClicks(name, u"Terrace Pavilion"_s);
    QTest::keyClicks(capacity, u"90"_s);
    window.findChild<QPushButton *>(u"cmdroom(0)"_s)->click();

    EXPECT_EQ(window.findChild<QListWidget *>(u"List2"_s)->count(), 1);
    EXPECT_EQ(window.findChild<QListWidget *>(u"List1"_s)->item(0)->text(),
              u"1 - Terrace Pavilion  -  cap:90"_s);
    EXPECT_EQ(window.findChild<QComboBox *>(u"cboroom"_s)->count(), 2);
    EXPECT_EQ(name->text(), QString());
    EXPECT_EQ(help->toPlainText(), u"Room successfully added to reservations table."_s);

    window.findChild<QPushButton *>(u"cmdroom(1)"_s)->click();
    EXPECT_TRUE(waitFor([&] { return !panel->isVisible(); }));
    EXPECT_TRUE(prompts.messages.isEmpty());
    window.close();
}

TEST(KeySender, TabMovesTheFocusAndCharactersAreTyped) {
    QWidget form;
    auto *first = new QLineEdit(&form);
    auto *second = new QLineEdit(&form);
    first->move(0, 0);
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

// The event window as the operator uses it, with real keystrokes and the
// real printer writing a PDF.
class EventEditingViewTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        addRoom(u"Terrace"_s, 80);
        addRoom(u"Library"_s, 20);
        fillYear(clock.today().year());
        printer.setOutputFile(QDir(temp.path()).filePath(u"audit.pdf"_s));
        viewModule = std::make_unique<Module>(
            settings(), Ports{prompts, clipboard, programs, clock, typing, printer, screen});
    }
    void TearDown() override {
        viewModule.reset();
        MainWindowTest::TearDown();
    }

    template <typename T = QWidget> T *control(const QString &name) {
        T *found = window->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit *box(EventField field) {
        return control<QLineEdit>(u"Text1(%1)"_s.arg(columnOf(field)));
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
    ShownWindow shown(*viewModule, club, u"keyboard-view-test"_s);
    MainWindow &mainWindow = shown.window;
    window = &mainWindow;
    ASSERT_TRUE(shown.show());
    // Nothing is typed before an event is started.
    QTest::keyClicks(box(EventField::Title), u"ignored"_s);
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
    QTest::keyClicks(focused(), u"1221"_s);
    press(Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return box(EventField::Title)->hasFocus(); })) << "Enter moves on";
    const int year = clock.today().year();
    EXPECT_EQ(box(EventField::Date)->text(), QString::number(year) + "1221");
    EXPECT_EQ(box(EventField::Date)->palette().color(QPalette::Base), QColor(Qt::white));
    QTest::keyClicks(focused(), u"Winter Recital"_s);
    typeAt(EventField::Start, u"19:00"_s);
    typeAt(EventField::End, u"21:30"_s);
    ASSERT_TRUE(tabTo(control<QComboBox>(u"cbostatus"_s)));
    press(Qt::Key_2); // browses to "2-Reserved"
    press(Qt::Key_Return);
    typeAt(EventField::Guests, u"40"_s);
    typeAt(EventField::Guarantee, u"35"_s);
    typeAt(EventField::Room, u"1"_s);
    typeAt(EventField::ContactName, u"Grace Hopper"_s);
    typeAt(EventField::ContactPhone1, u"5551234567"_s);
    ASSERT_TRUE(tabTo(mainWindow.button(EventCommand::Save)));
    press(Qt::Key_Space); // Save
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_FALSE(mainWindow.button(EventCommand::Save)->isEnabled()) << "saved";
    EXPECT_TRUE(box(EventField::Title)->isReadOnly());
    EXPECT_EQ(column(u"evnt"_s,
                     u"select eventtitle || ' ' || starttime || '-' || endtime || "
                     "' ' || status || ' ' || roomnumber || ' ' || contactname "
                     "from eventinfo where eventdate = ?"_s,
                     {year * 10000 + 1221}),
              QVariantList{u"Winter Recital 19:00-21:30 2 1 Grace Hopper"_s});

    mainWindow.button(EventCommand::Calendar)->click();
    const int first = QDate(year, 12, 1).dayOfWeek() % 7;
    auto *day = control<QPlainTextEdit>(u"cal(%1)"_s.arg(first + 20));
    ASSERT_TRUE(waitFor([&] { return day->isVisible(); }));
    EXPECT_TRUE(day->toPlainText().contains(u"Winter Recital"_s))
        << day->toPlainText().toStdString();

    // The history, in columns with the opening line the oldest, last, prints
    // as a readable PDF.
    mainWindow.menuCommand(u"mnuaudithistory"_s)->trigger();
    auto *history = control<QGroupBox>(u"fraaudit"_s);
    ASSERT_TRUE(waitFor([&] { return history->isVisible(); }));
    auto *table = control<QTableWidget>(u"Text4"_s);
    ASSERT_TRUE(table);
    QStringList headers;
    for (int column = 0; column < table->columnCount(); ++column)
        headers << table->horizontalHeaderItem(column)->text();
    EXPECT_EQ(headers, (QStringList{u"Date"_s, u"Time"_s, u"Operator"_s, u"Change"_s}));
    ASSERT_GT(table->rowCount(), 0);
    EXPECT_EQ(table->item(table->rowCount() - 1, 3)->text(),
              u"Event#%1 opened"_s.arg(box(EventField::Number)->text()));
    control<QPushButton>(u"cmdaudit(0)"_s)->click();
    QProcess text;
    text.start(u"pdftotext"_s, {u"-layout"_s, QDir(temp.path()).filePath(u"audit.pdf"_s), u"-"_s});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QRegularExpression(u"Event Title:\\s+Winter Recital"_s)))
        << printed.toStdString();
    EXPECT_TRUE(printed.contains(QString(78, QLatin1Char('-'))));
    EXPECT_TRUE(printed.contains(u"opened"_s)) << printed.toStdString();
    control<QPushButton>(u"cmdaudit(1)"_s)->click();
    EXPECT_TRUE(waitFor([&] { return !history->isVisible(); }));
    mainWindow.close();
}

// The File menu's command reaches the capture with the real screen, which
// the offscreen platform, like a session without a display, does not have.
TEST_F(MainWindowTest, TheFileMenuCommandWithoutADisplayExplainsAndSavesNothing) {
    QtScreenGrabber realScreen;
    Module onScreen(settings(), withScreen(realScreen));
    ShownWindow shown(onScreen, club, u"capture-view-test"_s);
    ASSERT_TRUE(shown.show());
    QAction *command = shown.window.menuCommand(u"mnuclipboard"_s);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), u"&Screen Capture"_s);
    prompts.clear();
    prompts.expectError();
    command->trigger();
    ASSERT_TRUE(waitFor([&] { return !prompts.messages.isEmpty(); }));
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"Screen Capture needs a display"_s))
        << prompts.lastMessage().text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path(u"screen.bmp"_s)));
}

// Takes the picture of the program's own windows, and notes what was on the
// screen at that moment: an open menu, and whether the main window had been
// drawn again since the File menu closed.
class WatchingScreen final : public ScreenGrabber {
public:
    std::optional<ScreenPicture> grabDesktop() override {
        ++grabs;
        popupOpen = QApplication::activePopupWidget() != nullptr;
        menuShown = menu && menu->isVisible();
        drawnSinceMenuClosed = paintedAfterMenu;
        const QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB888);
        ScreenPicture picture{shot.width(), shot.height(), {}};
        for (int y = 0; y < shot.height(); ++y)
            picture.rgb.append(reinterpret_cast<const char *>(shot.constScanLine(y)),
                               shot.width() * 3);
        return picture;
    }

    QWidget *window = nullptr;
    QMenu *menu = nullptr;
    bool paintedAfterMenu = false;
    int grabs = 0;
    bool popupOpen = true;
    bool menuShown = true;
    bool drawnSinceMenuClosed = false;
};

// Follows the File menu closing and the main window being drawn after it.
class PaintWatch final : public QObject {
public:
    PaintWatch(WatchingScreen &screen)
        : m_screen(screen) {}
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == m_screen.menu && event->type() == QEvent::Hide)
            m_menuClosed = true;
        if (m_menuClosed && event->type() == QEvent::Paint &&
            static_cast<QWidget *>(watched)->window() == m_screen.window)
            m_screen.paintedAfterMenu = true;
        return false;
    }

private:
    WatchingScreen &m_screen;
    bool m_menuClosed = false;
};

// The command chosen from the open File menu: the picture is taken once
// the menu has closed and the window under it has been drawn again, not of
// the menu itself.
TEST_F(MainWindowTest, ThePictureIsTakenOnceTheFileMenuHasClosed) {
    WatchingScreen watching;
    Module onScreen(settings(), withScreen(watching));
    ShownWindow shown(onScreen, club, u"capture-menu-test"_s);
    ASSERT_TRUE(shown.show());
    MainWindow &window = shown.window;
    auto *file = window.findChild<QMenu *>(u"mnufile"_s);
    ASSERT_TRUE(file);
    watching.window = &window;
    watching.menu = file;
    PaintWatch watch(watching);
    file->installEventFilter(&watch);
    for (QWidget *widget : window.findChildren<QWidget *>())
        widget->installEventFilter(&watch);
    window.installEventFilter(&watch);

    window.menuBar()->setActiveAction(file->menuAction());
    ASSERT_TRUE(waitFor([&] { return file->isVisible(); }));
    QAction *command = window.menuCommand(u"mnuclipboard"_s);
    const qsizetype startedBefore = programs.started.size();
    QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(command).center());
    EXPECT_EQ(watching.grabs, 0) << "not while the menu is still on the screen";

    ASSERT_TRUE(waitFor([&] { return watching.grabs == 1; }));
    EXPECT_FALSE(watching.popupOpen);
    EXPECT_FALSE(watching.menuShown);
    EXPECT_TRUE(watching.drawnSinceMenuClosed);
    EXPECT_TRUE(QFileInfo::exists(path(u"screen.bmp"_s)));
    EXPECT_EQ(programs.started.size(), startedBefore + 1) << "the viewer opens the picture";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    shown.logic.QueryUnloadMainWindow();
}

class CalendarExportViewTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        exec(u"evnt"_s, u"insert into location (roomnum, room, "
                        "capacity, subdiv) values (4, 'Terrace', "
                        "40, 0)"_s);
        exec(u"evnt"_s, u"insert into eventinfo (eventnum, eventdate, eventtitle, status, "
                        "roomnumber, starttime, endtime) values (1, 20261212, 'Gala', 4, 4, "
                        "'19:00', '23:00')"_s);
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }
    template <typename T> T *child(QWidget &window, const char *name) {
        auto *found = window.findChild<T *>(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
};

TEST_F(CalendarExportViewTest, OneWindowChoosesDatesRoomAndFileAndCancelWritesNothing) {
    CalendarExport logic(*module);
    ASSERT_TRUE(logic.open());
    const QString file = path(u"terrace.ics"_s);
    {
        CalendarExportDialog window(logic);
        window.show();
        auto *room = child<QComboBox>(window, "cboroom");
        ASSERT_EQ(room->count(), 2);
        EXPECT_EQ(room->itemText(0), u"Every room"_s);
        for (const char *name : {"dtpfrom", "dtpto"})
            EXPECT_TRUE(child<QDateEdit>(window, name)->calendarPopup()) << name;
        EXPECT_EQ(child<QDateEdit>(window, "dtpfrom")->date(), QDate(2026, 12, 1));
        room->setCurrentIndex(1);

        // An empty file name is said in the window, which stays open.
        child<QLineEdit>(window, "txtfile")->clear();
        child<QPushButton>(window, "cmdok")->click();
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(child<QLabel>(window, "lblerror")->isVisible());
        EXPECT_EQ(child<QLabel>(window, "lblerror")->text(),
                  u"Choose the file to save the calendar in."_s);

        // The file comes from the file window.
        QTimer::singleShot(0, [&] {
            auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_TRUE(files);
            files->selectFile(file);
            static_cast<QDialog *>(files)->accept();
        });
        child<QPushButton>(window, "cmdbrowse")->click();
        EXPECT_EQ(child<QLineEdit>(window, "txtfile")->text(), QDir::toNativeSeparators(file));
        EXPECT_FALSE(child<QLabel>(window, "lblerror")->isVisible());
        child<QPushButton>(window, "cmdok")->click();
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("SUMMARY:Gala\r\n"));
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"1 events were written to %1."_s.arg(QDir::toNativeSeparators(file))});

    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(logic.open());
    CalendarExportDialog again(logic);
    again.show();
    child<QLineEdit>(again, "txtfile")->setText(file);
    child<QPushButton>(again, "cmdcancel")->click();
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(file));
}

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
    auto *button2 = window.findChild<QPushButton *>(u"cmddept(2)"_s);
    ASSERT_NE(button2, nullptr);
    EXPECT_EQ(button2->text(), u"Dept"_s);

    ASSERT_TRUE(logic.openPanel());
    ASSERT_TRUE(waitFor([&] { return panel->isVisible(); }));
    EXPECT_EQ(panel->objectName(), u"fraconfigbuttons"_s);
    EXPECT_TRUE(panel->geometry().contains(itemList->geometry().center()));
    button2->click();
    auto *caption = window.findChild<QLineEdit *>(u"txtbuttoncaption"_s);
    auto *tag = window.findChild<QLineEdit *>(u"txtbuttontag"_s);
    EXPECT_EQ(caption->text(), u"Dept"_s);
    caption->selectAll();
    QTest::keyClicks(caption, u"Food & Wine"_s);
    QTest::keyClicks(tag, u"BEVERAGE"_s);
    EXPECT_EQ(tag->text(), u"BEVER"_s);
    auto *sample = window.findChild<QPushButton *>(u"cmdsample"_s);
    EXPECT_EQ(sample->accessibleName(), u"Food & Wine"_s);

    window.findChild<QPushButton *>(u"cmdsave"_s)->click();
    EXPECT_EQ(button2->text(), u"Food && Wine"_s) << "no keyboard shortcut";
    window.findChild<QPushButton *>(u"cmddone"_s)->click();
    EXPECT_TRUE(waitFor([&] { return !panel->isVisible(); }));
    QFile file(path(u"evnt.dat"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))[2],
              u"Food & Wine,BEVER"_s);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
