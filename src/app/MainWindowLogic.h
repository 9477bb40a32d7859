#pragma once

#include "app/PublishOnSave.h"
#include "app/PublishRunner.h"
#include "app/PublishWindow.h"
#include "billing/BillingAccounts.h"
#include "billing/EventBilling.h"
#include "billing/PointOfSaleExport.h"
#include "calendar/CalendarMaintenance.h"
#include "calendar/ListState.h"
#include "calendar/MonthSheet.h"
#include "calendar/RoomEditor.h"
#include "calendar/YearSetup.h"
#include "contracts/ContractBuilder.h"
#include "events/AccountAssignment.h"
#include "events/BoardActions.h"
#include "events/EventEditor.h"
#include "events/EventLookup.h"
#include "events/EventPackages.h"
#include "events/EventRecord.h"
#include "events/EventWindow.h"
#include "events/FieldEntry.h"
#include "events/RepeatWindow.h"
#include "events/SeriesChangeWindow.h"
#include "events/WholeEvent.h"
#include "items/ItemWindow.h"
#include "orders/EventOrderWindow.h"
#include "payments/PaymentsWindow.h"
#include "ports/Companions.h"
#include "ports/Prompts.h"
#include "ports/ReportLauncher.h"
#include "reports/CalendarExport.h"
#include "reports/Mailings.h"
#include "reports/ReportMenu.h"
#include "reports/TaskList.h"
#include "session/CurrentEvent.h"
#include "utilities/ScreenCapture.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>

class Module;
class SingleInstance;

// Everything the main window frmbanq0 shows that start-up and shutdown
// decide: caption, menus and buttons by level, the event boxes' tooltips and
// lengths, the room and status lists; the reservations frame keeps its own
// state in calendar. The view draws from this after changed().
class MainWindowLogic : public QObject {
    Q_OBJECT

public:
    enum class Outcome {
        Started,
        AlreadyRunning, // another instance holds this club directory
        NotLaunchedBySuite,
        AccessDenied,
        SettingsMissing, // config.mdb or its settings cannot be read
        DatabaseFailure, // evnt.mdb or its tables cannot be read
    };

    explicit MainWindowLogic(Module &module, QObject *parent = nullptr);

    // The window's load event: the start-up sequence. Anything but Started
    // means the window is not shown and the process ends.
    Outcome StartMainWindow(const QString &commandLine, SingleInstance &instance);
    // The window is about to close, for any reason.
    void QueryUnloadMainWindow();
    // True while a long operation runs; the window stays open until it ends.
    // Commands that write are disabled meanwhile.
    bool busy() const;

    // Refreshes the room list, the room filter and the grid's room columns
    // from the location table.
    bool loadRooms();
    // The calendar of today's month in place of the event panels, with
    // every room and time (the "Calendar" button cmd(3)).
    void CalendarCommand();
    // The month sheet and an opened day drawn again, after an event was
    // saved, moved or deleted. Emitting calendarRedrawRequested does the same.
    void RefreshCalendar();
    void setHelpText(const QString &text);
    // Loads an event and shows it in the event panels, with the contact
    // panel in front for an enquiry and the billing panel otherwise. An
    // event being entered or changed with unsaved changes is given up only
    // when the operator agrees.
    bool ShowEvent(int eventNumber);
    const CurrentEvent &currentEvent() const;
    // A room picked from the room list for the current event.
    void onRoomChosen(int row);
    // The window is asked to close: false keeps it open (a long operation
    // runs, or the operator keeps unsaved changes).
    bool mayClose();

    // Where the files shipped into club directories are; start-up copies in
    // those the club lacks. Empty: none.
    QString shareDirectory;

    // The merge tokens of the event table's fields, "<EVENTDATE>" and so on.
    ContractBuilder::EventTokens EventFieldTokens;

    // The panels of the window with logic of their own.
    MonthSheet calendar; // frareservations: month sheet and reservation grid
    RoomEditor rooms;
    YearSetup yearSetup;
    CalendarMaintenance maintenance; // purge and room conflicts
    Companions &companions;          // the module's
    ReportLauncher reports;          // print margins and printer set-up
    TaskList tasks;                  // frmtasklist
    ReportMenu listings;             // the Reports menu's listings and event sheets
    Mailings mailings;               // labels and the e-mail list
    ItemWindow items;                // frmbanq1
    EventOrderWindow order;          // frmorder: the event order
    PaymentsWindow payments;         // frmpayments: the payment schedule
    ContractBuilder contracts;       // frmbanq2
    EventRecord events;              // the current event: load, number, save
    EventPackages packages;          // lstpkg and cmdmulti: multi-event packages
    EventWindow window;              // what the event side of the window shows
    EventBilling billing;            // charges to receivables
    BillingAccounts accounts;
    PointOfSaleExport tills;         // tillzoupdate: the tills' copies
    AccountAssignment assignment;    // the billing panel's account button
    EventEditor editor;              // the command row
    FieldEntry entry;                // the boxes and the controls beside them
    EventLookup lookup;              // fralookup: finding events
    WholeEvent wholeEvent;           // File menu: clone and delete
    RepeatWindow repeat;             // frmrepeat: copies on the dates of a rule
    SeriesChangeWindow seriesChange; // frmseries: a change to the later events of a series
    BoardActions boardActions;       // booking and moving on the rooms board
    ScreenCapture capture;           // File menu: Screen Capture
    CalendarExport calendarExport;   // File menu: the events as an iCalendar file
    PublishRunner publishRunner;     // the calendar server's sends, one at a time, off this thread
    PublishOnSave publishOnSave;     // an event saved or deleted, to the calendar server
    PublishWindow publishWindow;     // frmpublish: File menu, Publish Calendar

    QString caption = QStringLiteral("Event Scheduling");
    bool reverifyMenuVisible = false;
    bool purgeCalendarMenuVisible = false;
    PerEventField<int> fieldMaxLength{}; // 0: no limit
    ListState startTimes;                // start times, HH:MM and the 12-hour clock
    ListState endTimes;                  // end times, closing with "CLOSE"
    QStringList roomList;
    bool started = false;

signals:
    void changed();
    // Only the help line changed (long operations report progress there).
    void helpwindowChanged(const QString &text);
    // Asks for RefreshCalendar (the event side, after a save).
    void calendarRedrawRequested();
    // A booked slot of the grid was double-clicked.
    void eventRequested(int eventNumber);
    // An event was saved: the view shows the "Event Data Saved" notice.
    void eventSaved();

private:
    void refuse(const QString &text, Icon icon);
    bool readEventFields();
    void fillStatusList();
    void fillTimeLists();
    void eventLoaded();
    void eventWasSaved(const QString &helpText);

    Module &m_module;
};
