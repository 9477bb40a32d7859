#include "MainWindow.h"

#include "CalendarExportDialog.h"
#include "CalendarFrame.h"
#include "ContractBuilderView.h"
#include "EventPanels.h"
#include "ItemWindowView.h"
#include "LookupPanel.h"
#include "PointOfSaleExportWindow.h"
#include "RoomEditorPanel.h"
#include "SavedNoticeWindow.h"
#include "TaskListWindow.h"
#include "WindowServices.h"
#include "startup/MainWindowLogic.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// How long the window system may take to show what was drawn again.
constexpr int CaptureSettleMs = 100;
// How long a pop-up may stay open before the picture is taken all the same.
constexpr int CaptureWaitSteps = 50;
constexpr int CaptureStepMs = 20;

} // namespace

MainWindow::MainWindow(MainWindowLogic &logic, QWidget *parent)
    : QMainWindow(parent)
    , m_logic(logic) {
    setObjectName(QStringLiteral("frmbanq0"));
    buildMenus();

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    auto *buttons = new QHBoxLayout;
    for (int i = 0; i < int(m_buttons.size()); ++i) {
        m_buttons[i] = new QPushButton(central);
        m_buttons[i]->setObjectName(QStringLiteral("cmd(%1)").arg(i));
        buttons->addWidget(m_buttons[i]);
    }
    layout->addLayout(buttons);

    m_panels = new EventPanels(m_logic, central);
    m_calendar = new CalendarFrame(m_logic.calendar, central);
    auto *body = new QHBoxLayout;
    body->addWidget(m_panels->eventPanel(), 0, Qt::AlignTop);
    auto *right = new QVBoxLayout;
    right->addWidget(m_calendar, 1);
    right->addWidget(m_panels->billingPanel());
    right->addWidget(m_panels->contactPanel());
    m_lookup = new LookupPanel(m_logic.lookup, central);
    right->addWidget(m_lookup, 0, Qt::AlignTop);
    body->addLayout(right, 1);
    layout->addLayout(body, 1);

    auto *bottom = new QHBoxLayout;
    m_help = new QPlainTextEdit(central);
    m_help->setObjectName(QStringLiteral("helpwindow"));
    m_help->setAccessibleName(QStringLiteral("Help"));
    m_help->setReadOnly(true);
    m_help->setFixedHeight(m_help->fontMetrics().lineSpacing() * 2 + 12);
    auto *exit = new QPushButton(QStringLiteral("E&xit"), central);
    exit->setObjectName(QStringLiteral("cmdexit"));
    connect(exit, &QPushButton::clicked, this, &MainWindow::ExitCommand);
    bottom->addWidget(m_help, 1);
    bottom->addWidget(exit);
    layout->addLayout(bottom);
    setCentralWidget(central);
    m_roomEditor = new RoomEditorPanel(m_logic.rooms, central);

    connect(menuCommand(QStringLiteral("mnuaddroom")), &QAction::triggered, this,
            [this] { m_logic.rooms.OpenRoomEditor(); });
    connect(menuCommand(QStringLiteral("mnuinityear")), &QAction::triggered, this,
            [this] { m_logic.yearSetup.InitializeYear(); });
    connect(menuCommand(QStringLiteral("mnuaudithistory")), &QAction::triggered, this,
            [this] { m_logic.editor.ShowAuditHistory(); });
    connect(menuCommand(QStringLiteral("mnupurgecalendar")), &QAction::triggered, this,
            [this] { m_logic.maintenance.PurgeCalendar(); });
    connect(menuCommand(QStringLiteral("mnuconflicts")), &QAction::triggered, this,
            [this] { m_logic.maintenance.RoomConflictReport(); });
    connectReportCommands();
    connect(menuCommand(QStringLiteral("mnucloneevent")), &QAction::triggered, this,
            [this] { m_logic.wholeEvent.mnucloneeventClick(); });
    connect(menuCommand(QStringLiteral("mnudeletecontact")), &QAction::triggered, this,
            [this] { m_logic.wholeEvent.mnudeletecontactClick(); });
    connect(menuCommand(QStringLiteral("mnuclipboard")), &QAction::triggered, this,
            &MainWindow::captureScreen);
    // A new account goes to the tills before the operator carries on.
    connect(
        &m_logic.accounts, &BillingAccounts::pointOfSaleExportRequested, this,
        [this](const QString &mode) { PointOfSaleExportWindow::Run(m_logic.tills, mode, this); });
    m_taskList = new TaskListWindow(m_logic.tasks, this);
    m_itemWindow = new ItemWindowView(m_logic.items, this);
    connect(&m_logic.editor, &EventEditor::itemWindowRequested, m_itemWindow,
            &ItemWindowView::showForCurrentEvent);
    m_contractBuilder = new ContractBuilderView(m_logic.contracts, this);
    connect(&m_logic.editor, &EventEditor::contractBuilderRequested, m_contractBuilder,
            &ContractBuilderView::showForCurrentEvent);
    // The main window comes back, drawn afresh, when the builder closes.
    connect(m_contractBuilder, &ContractBuilderView::closed, this, [this] {
        refresh();
        show();
        raise();
        activateWindow();
    });
    // The databases need their update program first: the program ends.
    connect(&m_logic.items, &ItemWindow::updateRequired, this, &MainWindow::close,
            Qt::QueuedConnection);
    connect(&m_logic.contracts, &ContractBuilder::updateRequired, this, &MainWindow::close,
            Qt::QueuedConnection);
    connect(menuCommand(QStringLiteral("mnutodobynumber")), &QAction::triggered, m_taskList,
            &TaskListWindow::openByEventNumber);
    connect(menuCommand(QStringLiteral("mnutodobydate")), &QAction::triggered, m_taskList,
            &TaskListWindow::openByDate);
    connect(menuCommand(QStringLiteral("mnumargins")), &QAction::triggered, this,
            [this] { m_logic.reports.SetPrintMargins(); });
    for (int i = 0; i < int(m_buttons.size()); ++i)
        connect(m_buttons[i], &QPushButton::clicked, this,
                [this, i] { m_logic.editor.cmdClick(i); });
    connect(&m_logic, &MainWindowLogic::changed, this, &MainWindow::refresh);
    connect(&m_logic, &MainWindowLogic::eventSaved, this,
            [this] { SavedNoticeWindow::ShowSavedNotice(this); });
    connect(&m_logic, &MainWindowLogic::helpwindowChanged, m_help, &QPlainTextEdit::setPlainText);
    refresh();
}

QMenu *MainWindow::addMenu(QMenu *parent, const QString &name, const QString &caption) {
    QMenu *menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QAction *MainWindow::addCommand(QMenu *menu, const QString &name, const QString &caption) {
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    m_commands.insert(name, action);
    return action;
}

void MainWindow::buildMenus() {
    QMenu *file = addMenu(nullptr, QStringLiteral("mnufile"), QStringLiteral("&File"));
    addCommand(file, QStringLiteral("mnuaddroom"), QStringLiteral("&View/Add/Edit Rooms"));
    addCommand(file, QStringLiteral("mnuinityear"), QStringLiteral("&Initialize New Year"));
    file->addSeparator();
    addCommand(file, QStringLiteral("mnucloneevent"),
               QStringLiteral("&Clone Current Event to New Date"));
    addCommand(file, QStringLiteral("mnudeletecontact"), QStringLiteral("&Delete this contact"));
    file->addSeparator();
    addCommand(file, QStringLiteral("mnuclipboard"), QStringLiteral("&Screen Capture"));
    connect(addCommand(file, QStringLiteral("mnuexportcalendar"),
                       QStringLiteral("&Export Calendar (.ics)...")),
            &QAction::triggered, this,
            [this] { CalendarExportDialog::Run(m_logic.calendarExport, this); });
    addCommand(file, QStringLiteral("mnupurgecalendar"), QStringLiteral("&Purge Calendar Data"));
    addCommand(file, QStringLiteral("mnureverify"), QStringLiteral("&Reverify resdate/restime"));
    file->addSeparator();
    connect(addCommand(file, QStringLiteral("mnuexit"), QStringLiteral("E&xit")),
            &QAction::triggered, this, &MainWindow::ExitCommand);

    QMenu *reports = addMenu(nullptr, QStringLiteral("mnureport"), QStringLiteral("&Reports"));
    QMenu *current = addMenu(reports, QStringLiteral("mnucurrentdisplay"),
                             QStringLiteral("&Currently Displayed Event"));
    addCommand(current, QStringLiteral("mnuaudithistory"),
               QStringLiteral("&Audit history - currently displayed event"));
    addCommand(current, QStringLiteral("mnueventsheet"),
               QStringLiteral("Event Detail Sheet - &Internal Use"));
    addCommand(current, QStringLiteral("mnueventsheet1"),
               QStringLiteral("Event Detail Sheet - E&xternal"));
    addCommand(current, QStringLiteral("mnueventitems"), QStringLiteral("Event Ite&ms List"));
    QMenu *events =
        addMenu(reports, QStringLiteral("mnuevents"), QStringLiteral("&Event Listings"));
    const char *const periods[] = {"&Today", "This &Month", "&Next Month", "This &Year"};
    for (int i = 0; i < 4; ++i)
        addCommand(events, QStringLiteral("mnueventlist(%1)").arg(i),
                   QString::fromLatin1(periods[i]));
    addCommand(events, QStringLiteral("mnudaterange"), QStringLiteral("by &date range"));
    addCommand(events, QStringLiteral("mnuconflicts"),
               QStringLiteral("Event/Room &Conflicts by date range"));
    QMenu *todo = addMenu(reports, QStringLiteral("mnutodo"), QStringLiteral("&To-Do Task List"));
    addCommand(todo, QStringLiteral("mnutodobynumber"), QStringLiteral("Select by &Event #"));
    addCommand(todo, QStringLiteral("mnutodobydate"), QStringLiteral("Select by &Date"));
    QMenu *items = addMenu(reports, QStringLiteral("mnuitem"), QStringLiteral("&Item Listings"));
    const char *const itemLists[] = {"By Event - &this month", "By Event - &next month",
                                     "By Event by &date range", "&Consolidated by date range"};
    for (int i = 0; i < 4; ++i)
        addCommand(items, QStringLiteral("mnuitemlist(%1)").arg(i),
                   QString::fromLatin1(itemLists[i]));
    QMenu *projection =
        addMenu(reports, QStringLiteral("mnuprojection"), QStringLiteral("&Revenue Projection"));
    const char *const projections[] = {"By Event - &this month", "By Event - &next month",
                                       "by &date range"};
    for (int i = 0; i < 3; ++i)
        addCommand(projection, QStringLiteral("mnurevproj(%1)").arg(i),
                   QString::fromLatin1(projections[i]));
    QMenu *promotion =
        addMenu(reports, QStringLiteral("mnupromo"), QStringLiteral("Event &Promotion"));
    addCommand(promotion, QStringLiteral("mnucontacts"),
               QStringLiteral("&Contacts Only by date range"));
    addCommand(promotion, QStringLiteral("mnumaillabels"),
               QStringLiteral("&Mailing Labels (Contact Address) by Event Status"));
    addCommand(promotion, QStringLiteral("mnubilling"),
               QStringLiteral("Mailing Labels (&Billing Address) by Event Status"));
    addCommand(promotion, QStringLiteral("mnuemail"), QStringLiteral("&Email Generator"));
    reports->addSeparator();
    addCommand(reports, QStringLiteral("mnumargins"), QStringLiteral("&Adjust Print Margins"));

    QMenu *help = addMenu(nullptr, QStringLiteral("mnuhelpmenu"), QStringLiteral("&Help"));
    connect(addCommand(help, QStringLiteral("mnuhelp"), QStringLiteral("&Help")),
            &QAction::triggered, this, [this] { m_logic.companions.Help(1); });
    connect(addCommand(help, QStringLiteral("mnuinfo"), QStringLiteral("&Info")),
            &QAction::triggered, this, [this] { m_logic.companions.Info(); });
}

void MainWindow::connectReportCommands() {
    ReportMenu &listings = m_logic.listings;
    const auto onTrigger = [this](const QString &name, auto command) {
        connect(menuCommand(name), &QAction::triggered, this, command);
    };
    onTrigger(QStringLiteral("mnueventsheet"),
              [&listings] { listings.printSheet(ReportMenu::InternalSheet); });
    onTrigger(QStringLiteral("mnueventsheet1"),
              [&listings] { listings.printSheet(ReportMenu::ExternalSheet); });
    onTrigger(QStringLiteral("mnueventitems"),
              [&listings] { listings.printSheet(ReportMenu::ItemsSheet); });
    for (int i = 0; i < 4; ++i) {
        onTrigger(QStringLiteral("mnueventlist(%1)").arg(i),
                  [&listings, i] { listings.mnueventlistClick(i); });
        onTrigger(QStringLiteral("mnuitemlist(%1)").arg(i),
                  [&listings, i] { listings.mnuitemlistClick(i); });
    }
    for (int i = 0; i < 3; ++i)
        onTrigger(QStringLiteral("mnurevproj(%1)").arg(i),
                  [&listings, i] { listings.mnurevprojClick(i); });
    onTrigger(QStringLiteral("mnudaterange"), [&listings] { listings.mnudaterangeClick(); });
    onTrigger(QStringLiteral("mnucontacts"), [&listings] { listings.mnucontactsClick(); });
    Mailings &mailings = m_logic.mailings;
    onTrigger(QStringLiteral("mnumaillabels"), [&mailings] { mailings.mnumaillabelsClick(); });
    onTrigger(QStringLiteral("mnubilling"), [&mailings] { mailings.mnubillingClick(); });
    onTrigger(QStringLiteral("mnuemail"), [&mailings] { mailings.mnuemailClick(); });
}

void MainWindow::refresh() {
    setWindowTitle(m_logic.caption);
    m_commands.value(QStringLiteral("mnureverify"))->setVisible(m_logic.mnureverifyVisible);
    m_commands.value(QStringLiteral("mnupurgecalendar"))
        ->setVisible(m_logic.mnupurgecalendarVisible);
    // While a long operation runs the window paints its progress, but no
    // command can start.
    const bool idle = !m_logic.busy();
    menuBar()->setEnabled(idle);
    m_roomEditor->setEnabled(idle && m_logic.rooms.panelEnabled);
    const EventWindow &window = m_logic.window;
    for (int i = 0; i < int(m_buttons.size()); ++i) {
        m_buttons[i]->setText(window.cmdCaption[i]);
        m_buttons[i]->setVisible(window.cmdVisible[i]);
        m_buttons[i]->setEnabled(idle && window.cmdEnabled[i]);
    }
    const QSize before = size();
    m_panels->refresh();
    // The panels that go away go first (the look-up panel among them):
    // shown while the others still stood, they would make the window grow
    // to hold them all at once.
    const std::pair<QWidget *, bool> panels[] = {{m_panels->billingPanel(), window.billingVisible},
                                                 {m_panels->contactPanel(), window.contactVisible},
                                                 {m_calendar, window.reservationsVisible}};
    for (const auto &[panel, visible] : panels) {
        if (!visible)
            panel->hide();
    }
    m_lookup->refresh();
    for (const auto &[panel, visible] : panels) {
        if (visible)
            panel->show();
    }
    keepSize(before);
    if (m_help->toPlainText() != window.helpwindow)
        m_help->setPlainText(window.helpwindow);
}

void MainWindow::keepSize(QSize before) {
    if (size() == before || isMaximized() || isFullScreen())
        return;
    // Grown for a moment while panels changed places: back to the size the
    // operator had, as far as what the window now shows allows.
    centralWidget()->layout()->activate();
    layout()->activate();
    resize(before.expandedTo(minimumSize()));
}

void MainWindow::fitToScreen(QSize wanted) {
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        // The frame the window system adds; before the window is shown, a
        // title bar's worth.
        QSize frame = frameGeometry().size() - geometry().size();
        if (frame.width() <= 0 && frame.height() <= 0)
            frame = QSize(16, 40);
        wanted = wanted.boundedTo(screen->availableGeometry().size() - frame);
    }
    resize(wanted.expandedTo(minimumSizeHint()));
    CenterForm(this);
}

void MainWindow::captureScreen() {
    if (m_capturePending)
        return;
    m_capturePending = true;
    // The File menu is still on the screen while its command runs: the
    // picture is taken once it has closed and the windows under it have
    // been drawn again.
    QTimer::singleShot(0, this, [this] { captureWhenMenuClosed(0); });
}

void MainWindow::captureWhenMenuClosed(int attempt) {
    if (QApplication::activePopupWidget() && attempt < CaptureWaitSteps) {
        QTimer::singleShot(CaptureStepMs, this,
                           [this, attempt] { captureWhenMenuClosed(attempt + 1); });
        return;
    }
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !window->isMinimized())
            window->repaint();
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QTimer::singleShot(CaptureSettleMs, this, [this] {
        m_capturePending = false;
        m_logic.capture.CaptureScreen();
    });
}

void MainWindow::ExitCommand() {
    close();
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (!m_logic.mayClose()) {
        event->ignore();
        return;
    }
    m_logic.QueryUnloadMainWindow();
    event->accept();
}
