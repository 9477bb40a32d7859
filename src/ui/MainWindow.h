#pragma once

#include "events/EventWindow.h"

#include <QHash>
#include <QMainWindow>
#include <array>

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
class ItemWindowView;
class LookupPanel;

// frmbanq0, the main window: menus, the cmd(0..10) button row, the event
// panels and the calendar frame. It draws from MainWindowLogic and hands
// every action to it.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(MainWindowLogic &logic, QWidget *parent = nullptr);

    QAction *menuCommand(const QString &name) const { return m_commands.value(name); }
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
    void buildMenus();
    void connectReportCommands();
    QAction *addCommand(QMenu *menu, const QString &name, const QString &caption);
    QMenu *addMenu(QMenu *parent, const QString &name, const QString &caption);
    void captureWhenMenuClosed(int attempt);
    // The window back to its size before a refresh, where it grew meanwhile.
    void keepSize(QSize before);

    MainWindowLogic &m_logic;
    QHash<QString, QAction *> m_commands;
    PerEventCommand<QPushButton *> m_buttons{};
    EventPanels *m_panels = nullptr;
    CalendarFrame *m_calendar = nullptr;
    RoomEditorPanel *m_roomEditor = nullptr;
    TaskListWindow *m_taskList = nullptr;
    ItemWindowView *m_itemWindow = nullptr;
    ContractBuilderView *m_contractBuilder = nullptr;
    LookupPanel *m_lookup = nullptr;
    QPlainTextEdit *m_help = nullptr;
    bool m_capturePending = false;
};
