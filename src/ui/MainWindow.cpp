#include "MainWindow.h"

#include "CalendarExportDialog.h"
#include "CalendarFrame.h"
#include "ContractBuilderView.h"
#include "EventOrderView.h"
#include "EventPanels.h"
#include "ItemWindowView.h"
#include "LookupPanel.h"
#include "PaymentsView.h"
#include "PointOfSaleExportWindow.h"
#include "PublishDialog.h"
#include "RepeatView.h"
#include "RoomEditorPanel.h"
#include "SavedNoticeWindow.h"
#include "SeriesChangeView.h"
#include "TaskListWindow.h"
#include "WindowServices.h"
#include "app/MainWindowLogic.h"

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
#include <optional>

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
    for (EventCommand command : AllEventCommands) {
        m_buttons[command] = new QPushButton(central);
        m_buttons[command]->setObjectName(QStringLiteral("cmd(%1)").arg(static_cast<int>(command)));
        buttons->addWidget(m_buttons[command]);
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

    // A new account goes to the tills before the operator carries on.
    connect(
        &m_logic.accounts, &BillingAccounts::pointOfSaleExportRequested, this,
        [this](const QString &mode) { PointOfSaleExportWindow::Run(m_logic.tills, mode, this); });
    m_taskList = new TaskListWindow(m_logic.tasks, this);
    m_itemWindow = new ItemWindowView(m_logic.items, this);
    connect(&m_logic.editor, &EventEditor::itemWindowRequested, m_itemWindow,
            &ItemWindowView::showForCurrentEvent);
    m_orderWindow = new EventOrderView(m_logic.order, this);
    connect(&m_logic.editor, &EventEditor::eventOrderRequested, m_orderWindow,
            &EventOrderView::showForCurrentEvent);
    m_paymentsWindow = new PaymentsView(m_logic.payments, this);
    connect(&m_logic.editor, &EventEditor::paymentsRequested, m_paymentsWindow,
            &PaymentsView::showForCurrentEvent);
    m_repeatWindow = new RepeatView(m_logic.repeat, this);
    m_seriesWindow = new SeriesChangeView(m_logic.seriesChange, this);
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
    for (EventCommand command : AllEventCommands)
        connect(m_buttons[command], &QPushButton::clicked, this,
                [this, command] { m_logic.editor.run(command); });
    connect(&m_logic, &MainWindowLogic::changed, this, &MainWindow::refresh);
    connect(&m_logic, &MainWindowLogic::eventSaved, this,
            [this] { SavedNoticeWindow::ShowSavedNotice(this); });
    connect(&m_logic, &MainWindowLogic::helpwindowChanged, m_help, &QPlainTextEdit::setPlainText);
    refresh();
}

namespace {

// The menus, each under its parent (none: the menu bar), in the order
// they appear.
enum class Menu {
    File,
    Reports,
    CurrentEvent,
    EventListings,
    FunctionSheets,
    Payments,
    ToDo,
    ItemListings,
    Projection,
    Promotion,
    Help,
};

struct MenuRow {
    Menu menu;
    std::optional<Menu> parent;
    const char *name;
    const char *caption;
};

constexpr MenuRow MenuTable[] = {
    {Menu::File, std::nullopt, "mnufile", "&File"},
    {Menu::Reports, std::nullopt, "mnureport", "&Reports"},
    {Menu::CurrentEvent, Menu::Reports, "mnucurrentdisplay", "&Currently Displayed Event"},
    {Menu::EventListings, Menu::Reports, "mnuevents", "&Event Listings"},
    {Menu::FunctionSheets, Menu::Reports, "mnufunctionsheets", "&Function Sheets"},
    {Menu::Payments, Menu::Reports, "mnupayments", "Pa&yments"},
    {Menu::ToDo, Menu::Reports, "mnutodo", "&To-Do Task List"},
    {Menu::ItemListings, Menu::Reports, "mnuitem", "&Item Listings"},
    {Menu::Projection, Menu::Reports, "mnuprojection", "&Revenue Projection"},
    {Menu::Promotion, Menu::Reports, "mnupromo", "Event &Promotion"},
    {Menu::Help, std::nullopt, "mnuhelpmenu", "&Help"},
};

enum class Separator { None, Before };

} // namespace

// One command of the menus: where it sits, its object name and caption,
// and what it does (none: the command only shows).
struct MainWindow::CommandRow {
    MenuCommand command;
    Menu menu;
    Separator separator;
    const char *name;
    const char *caption;
    void (*run)(MainWindow &window);
};

std::span<const MainWindow::CommandRow> MainWindow::commandTable() {
    using C = MenuCommand;
    static const CommandRow table[] = {
        {C::AddRoom, Menu::File, Separator::None, "mnuaddroom", "&View/Add/Edit Rooms",
         [](MainWindow &w) {
             w.m_logic.rooms.OpenRoomEditor();
         }},
        {C::InitializeYear, Menu::File, Separator::None, "mnuinityear", "&Initialize New Year",
         [](MainWindow &w) {
             w.m_logic.yearSetup.InitializeYear();
         }},
        {C::CloneEvent, Menu::File, Separator::Before, "mnucloneevent",
         "&Clone Current Event to New Date",
         [](MainWindow &w) {
             w.m_logic.wholeEvent.cloneEvent();
         }},
        {C::RepeatEvent, Menu::File, Separator::None, "mnurepeatevent", "Repe&at...",
         [](MainWindow &w) {
             w.m_repeatWindow->showForCurrentEvent();
         }},
        {C::ChangeSeries, Menu::File, Separator::None, "mnuchangeseries", "C&hange the Series...",
         [](MainWindow &w) {
             w.m_seriesWindow->showForCurrentEvent();
         }},
        {C::DeleteContact, Menu::File, Separator::None, "mnudeletecontact", "&Delete this contact",
         [](MainWindow &w) {
             w.m_logic.wholeEvent.deleteContact();
         }},
        {C::ScreenCapture, Menu::File, Separator::Before, "mnuclipboard", "&Screen Capture",
         [](MainWindow &w) {
             w.captureScreen();
         }},
        {C::ExportCalendar, Menu::File, Separator::None, "mnuexportcalendar",
         "&Export Calendar (.ics)...",
         [](MainWindow &w) {
             CalendarExportDialog::Run(w.m_logic.calendarExport, &w);
         }},
        {C::PublishCalendar, Menu::File, Separator::None, "mnupublishcalendar", "P&ublish Calendar",
         [](MainWindow &w) {
             PublishDialog::Run(w.m_logic.publishWindow, &w);
         }},
        {C::PurgeCalendar, Menu::File, Separator::None, "mnupurgecalendar", "&Purge Calendar Data",
         [](MainWindow &w) {
             w.m_logic.maintenance.PurgeCalendar();
         }},
        {C::Reverify, Menu::File, Separator::None, "mnureverify", "&Reverify resdate/restime",
         nullptr},
        {C::Exit, Menu::File, Separator::Before, "mnuexit", "E&xit",
         [](MainWindow &w) {
             w.ExitCommand();
         }},

        {C::AuditHistory, Menu::CurrentEvent, Separator::None, "mnuaudithistory",
         "&Audit history - currently displayed event",
         [](MainWindow &w) {
             w.m_logic.editor.ShowAuditHistory();
         }},
        {C::InternalSheet, Menu::CurrentEvent, Separator::None, "mnueventsheet",
         "Event Detail Sheet - &Internal Use",
         [](MainWindow &w) {
             w.m_logic.listings.printSheet(ReportMenu::InternalSheet);
         }},
        {C::ExternalSheet, Menu::CurrentEvent, Separator::None, "mnueventsheet1",
         "Event Detail Sheet - E&xternal",
         [](MainWindow &w) {
             w.m_logic.listings.printSheet(ReportMenu::ExternalSheet);
         }},
        {C::ItemsSheet, Menu::CurrentEvent, Separator::None, "mnueventitems", "Event Ite&ms List",
         [](MainWindow &w) {
             w.m_logic.listings.printSheet(ReportMenu::ItemsSheet);
         }},
        {C::OrderKitchen, Menu::CurrentEvent, Separator::Before, "mnuorderkitchen",
         "Event &Order - Kitchen",
         [](MainWindow &w) {
             w.m_logic.listings.printOrder(OrderReports::Copy::Kitchen);
         }},
        {C::OrderClient, Menu::CurrentEvent, Separator::None, "mnuorderclient",
         "Event Order - C&lient",
         [](MainWindow &w) {
             w.m_logic.listings.printOrder(OrderReports::Copy::Client);
         }},
        {C::ClientBill, Menu::CurrentEvent, Separator::Before, "mnuclientbill", "Client's &Bill",
         [](MainWindow &w) {
             w.m_logic.listings.printClientBill();
         }},

        {C::EventsToday, Menu::EventListings, Separator::None, "mnueventlist(0)", "&Today",
         [](MainWindow &w) {
             w.m_logic.listings.listEvents(0);
         }},
        {C::EventsThisMonth, Menu::EventListings, Separator::None, "mnueventlist(1)", "This &Month",
         [](MainWindow &w) {
             w.m_logic.listings.listEvents(1);
         }},
        {C::EventsNextMonth, Menu::EventListings, Separator::None, "mnueventlist(2)", "&Next Month",
         [](MainWindow &w) {
             w.m_logic.listings.listEvents(2);
         }},
        {C::EventsThisYear, Menu::EventListings, Separator::None, "mnueventlist(3)", "This &Year",
         [](MainWindow &w) {
             w.m_logic.listings.listEvents(3);
         }},
        {C::EventsByDateRange, Menu::EventListings, Separator::None, "mnudaterange",
         "by &date range",
         [](MainWindow &w) {
             w.m_logic.listings.listEventsByDateRange();
         }},
        {C::RoomConflicts, Menu::EventListings, Separator::None, "mnuconflicts",
         "Event/Room &Conflicts by date range",
         [](MainWindow &w) {
             w.m_logic.maintenance.RoomConflictReport();
         }},

        {C::FunctionSheet, Menu::FunctionSheets, Separator::None, "mnufunctionsheet",
         "&Function Sheet...",
         [](MainWindow &w) {
             w.m_logic.listings.printFunctionSheet();
         }},
        {C::Production, Menu::FunctionSheets, Separator::None, "mnuproduction",
         "Kitchen &Production...",
         [](MainWindow &w) {
             w.m_logic.listings.printProduction();
         }},

        {C::PaymentsDue, Menu::Payments, Separator::None, "mnupaymentsdue", "Payments &Due...",
         [](MainWindow &w) {
             w.m_logic.listings.printPaymentsDue();
         }},
        {C::PaymentsNotPosted, Menu::Payments, Separator::None, "mnupaymentsnotposted",
         "Payments &Not Posted",
         [](MainWindow &w) {
             w.m_logic.listings.printPaymentsNotPosted();
         }},

        {C::TasksByEventNumber, Menu::ToDo, Separator::None, "mnutodobynumber",
         "Select by &Event #",
         [](MainWindow &w) {
             w.m_taskList->openByEventNumber();
         }},
        {C::TasksByDate, Menu::ToDo, Separator::None, "mnutodobydate", "Select by &Date",
         [](MainWindow &w) {
             w.m_taskList->openByDate();
         }},

        {C::ItemsThisMonth, Menu::ItemListings, Separator::None, "mnuitemlist(0)",
         "By Event - &this month",
         [](MainWindow &w) {
             w.m_logic.listings.listItems(0);
         }},
        {C::ItemsNextMonth, Menu::ItemListings, Separator::None, "mnuitemlist(1)",
         "By Event - &next month",
         [](MainWindow &w) {
             w.m_logic.listings.listItems(1);
         }},
        {C::ItemsByDateRange, Menu::ItemListings, Separator::None, "mnuitemlist(2)",
         "By Event by &date range",
         [](MainWindow &w) {
             w.m_logic.listings.listItems(2);
         }},
        {C::ItemsConsolidated, Menu::ItemListings, Separator::None, "mnuitemlist(3)",
         "&Consolidated by date range",
         [](MainWindow &w) {
             w.m_logic.listings.listItems(3);
         }},

        {C::ProjectionThisMonth, Menu::Projection, Separator::None, "mnurevproj(0)",
         "By Event - &this month",
         [](MainWindow &w) {
             w.m_logic.listings.projectRevenue(0);
         }},
        {C::ProjectionNextMonth, Menu::Projection, Separator::None, "mnurevproj(1)",
         "By Event - &next month",
         [](MainWindow &w) {
             w.m_logic.listings.projectRevenue(1);
         }},
        {C::ProjectionByDateRange, Menu::Projection, Separator::None, "mnurevproj(2)",
         "by &date range",
         [](MainWindow &w) {
             w.m_logic.listings.projectRevenue(2);
         }},

        {C::ContactsOnly, Menu::Promotion, Separator::None, "mnucontacts",
         "&Contacts Only by date range",
         [](MainWindow &w) {
             w.m_logic.listings.listContacts();
         }},
        {C::ContactLabels, Menu::Promotion, Separator::None, "mnumaillabels",
         "&Mailing Labels (Contact Address) by Event Status",
         [](MainWindow &w) {
             w.m_logic.mailings.printContactLabels();
         }},
        {C::BillingLabels, Menu::Promotion, Separator::None, "mnubilling",
         "Mailing Labels (&Billing Address) by Event Status",
         [](MainWindow &w) {
             w.m_logic.mailings.printBillingLabels();
         }},
        {C::EmailList, Menu::Promotion, Separator::None, "mnuemail", "&Email Generator",
         [](MainWindow &w) {
             w.m_logic.mailings.makeEmailList();
         }},

        {C::PrintMargins, Menu::Reports, Separator::Before, "mnumargins", "&Adjust Print Margins",
         [](MainWindow &w) {
             w.m_logic.reports.SetPrintMargins();
         }},

        {C::Help, Menu::Help, Separator::None, "mnuhelp", "&Help",
         [](MainWindow &w) {
             w.m_logic.companions.Help(1);
         }},
        {C::Info, Menu::Help, Separator::None, "mnuinfo", "&Info",
         [](MainWindow &w) {
             w.m_logic.companions.Info();
         }},
    };
    static_assert(std::size(table) == MenuCommandCount, "one row for every menu command");
    return table;
}

void MainWindow::buildMenus() {
    std::array<QMenu *, std::size(MenuTable)> menus{};
    for (const MenuRow &row : MenuTable) {
        const QString caption = QString::fromLatin1(row.caption);
        QMenu *menu = row.parent ? menus[std::size_t(*row.parent)]->addMenu(caption)
                                 : menuBar()->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(row.name));
        menus[std::size_t(row.menu)] = menu;
    }
    for (const CommandRow &row : commandTable()) {
        QMenu *menu = menus[std::size_t(row.menu)];
        if (row.separator == Separator::Before)
            menu->addSeparator();
        QAction *action = menu->addAction(QString::fromLatin1(row.caption));
        const QString name = QString::fromLatin1(row.name);
        action->setObjectName(name);
        m_commands[std::size_t(row.command)] = action;
        m_commandsByName.insert(name, action);
        if (row.run)
            connect(action, &QAction::triggered, this, [this, run = row.run] { run(*this); });
    }
}

void MainWindow::refresh() {
    setWindowTitle(m_logic.caption);
    menuCommand(MenuCommand::Reverify)->setVisible(m_logic.reverifyMenuVisible);
    menuCommand(MenuCommand::PurgeCalendar)->setVisible(m_logic.purgeCalendarMenuVisible);
    menuCommand(MenuCommand::ChangeSeries)->setEnabled(m_logic.seriesChange.inSeries);
    // While a long operation runs the window paints its progress, but no
    // command can start.
    const bool idle = !m_logic.busy();
    menuBar()->setEnabled(idle);
    m_roomEditor->setEnabled(idle && m_logic.rooms.panelEnabled);
    const EventWindow &window = m_logic.window;
    for (EventCommand command : AllEventCommands) {
        m_buttons[command]->setText(window.commandCaption[command]);
        m_buttons[command]->setVisible(window.commandVisible[command]);
        m_buttons[command]->setEnabled(idle && window.commandEnabled[command]);
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
