#pragma once

#include "events/EventWindow.h"

#include <QHash>
#include <QMainWindow>
#include <array>
#include <cstddef>
#include <span>

class CalendarFrame;
class EventPanels;
class MainWindowLogic;
class QAction;
class QPlainTextEdit;
class QMenu;
class QPushButton;
class RoomEditorPanel;
class TaskListWindow;
class ContractBuilderView;
class EventOrderView;
class PaymentsView;
class RepeatView;
class SeriesChangeView;
class ItemWindowView;
class LookupPanel;

// The main window's menu commands. Each has one row in the menu table
// (MainWindow.cpp): its object name, caption and what it does.
enum class MenuCommand {
    AddRoom,
    InitializeYear,
    CloneEvent,
    RepeatEvent,
    ChangeSeries,
    DeleteContact,
    ScreenCapture,
    ExportCalendar,
    PublishCalendar,
    PurgeCalendar,
    Reverify,
    Exit,
    AuditHistory,
    InternalSheet,
    ExternalSheet,
    ItemsSheet,
    OrderKitchen,
    OrderClient,
    ClientBill,
    EventsToday,
    EventsThisMonth,
    EventsNextMonth,
    EventsThisYear,
    EventsByDateRange,
    RoomConflicts,
    FunctionSheet,
    Production,
    PaymentsDue,
    PaymentsNotPosted,
    TasksByEventNumber,
    TasksByDate,
    ItemsThisMonth,
    ItemsNextMonth,
    ItemsByDateRange,
    ItemsConsolidated,
    ProjectionThisMonth,
    ProjectionNextMonth,
    ProjectionByDateRange,
    ContactsOnly,
    ContactLabels,
    BillingLabels,
    EmailList,
    PrintMargins,
    Help,
    Info,
};
inline constexpr std::size_t MenuCommandCount = std::size_t(MenuCommand::Info) + 1;

// frmbanq0, the main window: menus, the cmd(0..12) button row, the event
// panels and the calendar frame. It draws from MainWindowLogic and hands
// every action to it.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(MainWindowLogic &logic, QWidget *parent = nullptr);

    QAction *menuCommand(MenuCommand command) const { return m_commands[std::size_t(command)]; }
    // A command by its object name ("mnuaddroom"), as tests and the club's
    // keystroke scripts know it.
    QAction *menuCommand(const QString &name) const { return m_commandsByName.value(name); }
    QPushButton *button(EventCommand command) const { return m_buttons[command]; }
    EventPanels *eventPanels() const { return m_panels; }

    // The size wanted, or as much of it as the screen's free area holds
    // with the window's frame, centred on the screen.
    void fitToScreen(QSize wanted);

public slots:
    void refresh();
    void ExitCommand();
    // mnuclipboard: the screen as it is once the menu has closed.
    void captureScreen();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The menus and their commands, as the menu table lists them. The
    // commands reach the panels at the moment they run, so the menus can
    // be built before the panels.
    void buildMenus();
    struct CommandRow;
    static std::span<const CommandRow> commandTable();
    void captureWhenMenuClosed(int attempt);
    // The window back to its size before a refresh, where it grew meanwhile.
    void keepSize(QSize before);

    MainWindowLogic &m_logic;
    std::array<QAction *, MenuCommandCount> m_commands{};
    QHash<QString, QAction *> m_commandsByName;
    PerEventCommand<QPushButton *> m_buttons{};
    EventPanels *m_panels = nullptr;
    CalendarFrame *m_calendar = nullptr;
    RoomEditorPanel *m_roomEditor = nullptr;
    TaskListWindow *m_taskList = nullptr;
    ItemWindowView *m_itemWindow = nullptr;
    EventOrderView *m_orderWindow = nullptr;
    PaymentsView *m_paymentsWindow = nullptr;
    RepeatView *m_repeatWindow = nullptr;
    SeriesChangeView *m_seriesWindow = nullptr;
    ContractBuilderView *m_contractBuilder = nullptr;
    LookupPanel *m_lookup = nullptr;
    QPlainTextEdit *m_help = nullptr;
    bool m_capturePending = false;
};
