#include "MainWindowLogic.h"

#include "calendar/Rooms.h"
#include "ports/Clipboard.h"
#include "ports/Clock.h"
#include "session/Module.h"
#include "session/SingleInstance.h"
#include "startup/ClubUpgrade.h"
#include "startup/ConfigurationLoader.h"
#include "storage/Schema.h"
#include "storage/SchemaUpgrade.h"
#include "values/TextValue.h"

#include <QCoreApplication>
#include <QSqlField>
#include <QSqlRecord>

namespace {

const QString Brevant = QStringLiteral("Brevant");
const QString EventDatabase = QStringLiteral("evnt");

// Lets the window paint between the steps of a long start-up.
void yieldToWindow() {
    QCoreApplication::processEvents();
}

} // namespace

MainWindowLogic::MainWindowLogic(Module &module, QObject *parent)
    : QObject(parent)
    , calendar(module)
    , rooms(module)
    , yearSetup(module)
    , maintenance(module)
    , companions(module.companions)
    , reports(module)
    , tasks(module)
    , listings(module)
    , mailings(module)
    , items(module)
    , order(module)
    , payments(module)
    , contracts(module, EventFieldTokens)
    , events(module)
    , packages(module)
    , billing(module)
    , accounts(module)
    , tills(module.databases, module.messages, module.longOperation)
    , assignment(module.messages, module.session, module.config, module.event, events, window,
                 accounts)
    , editor(module, events, window, billing, accounts)
    , entry(module, events, editor, window, companions)
    , lookup(module, window, companions)
    , wholeEvent(module, events, editor, window)
    , repeat(module, events, editor)
    , seriesChange(module, events, editor)
    , boardActions(editor, events, module.event, window, module.messages, module.session,
                   module.ports.clock)
    , capture(module)
    , calendarExport(module)
    , publishOnSave(module, publishRunner)
    , publishWindow(module, publishRunner, publishOnSave)
    , m_module(module) {
    connect(&rooms, &RoomEditor::status, this, &MainWindowLogic::setHelpText);
    connect(&yearSetup, &YearSetup::status, this, &MainWindowLogic::setHelpText);
    connect(&maintenance, &CalendarMaintenance::status, this, &MainWindowLogic::setHelpText);
    connect(&listings, &ReportMenu::status, this, &MainWindowLogic::setHelpText);
    connect(&mailings, &Mailings::status, this, &MainWindowLogic::setHelpText);
    connect(&maintenance, &CalendarMaintenance::calendarRequested, this,
            &MainWindowLogic::RefreshCalendar);
    connect(&rooms, &RoomEditor::calendarRequested, this, &MainWindowLogic::CalendarCommand);
    connect(&yearSetup, &YearSetup::calendarRequested, this, &MainWindowLogic::CalendarCommand);
    connect(&rooms, &RoomEditor::roomsChanged, this, &MainWindowLogic::loadRooms);
    connect(&calendar.grid, &ReservationGrid::status, this, &MainWindowLogic::setHelpText);
    connect(&calendar.grid, &ReservationGrid::eventRequested, this,
            &MainWindowLogic::eventRequested);
    connect(this, &MainWindowLogic::calendarRedrawRequested, this,
            &MainWindowLogic::RefreshCalendar);
    connect(this, &MainWindowLogic::eventRequested, this, &MainWindowLogic::ShowEvent);
    connect(&events, &EventRecord::loaded, this, &MainWindowLogic::eventLoaded);
    connect(&events, &EventRecord::saved, this, &MainWindowLogic::eventWasSaved);
    connect(&events, &EventRecord::boxesChanged, &entry, &FieldEntry::followFields);
    // The window starts afresh before it follows the emptied boxes.
    connect(&events, &EventRecord::cleared, this, [this] { window.clearEventMarks(); });
    connect(&events, &EventRecord::cleared, &entry, &FieldEntry::followFields);
    connect(&events, &EventRecord::loaded, &packages, &EventPackages::ListEventPackage);
    connect(&events, &EventRecord::cleared, &packages, &EventPackages::clear);
    connect(&packages, &EventPackages::changed, this, &MainWindowLogic::changed);
    connect(&packages, &EventPackages::eventRequested, this, &MainWindowLogic::ShowEvent);
    connect(&yearSetup, &YearSetup::runningChanged, this, &MainWindowLogic::changed);
    connect(&editor, &EventEditor::changed, this, &MainWindowLogic::changed);
    connect(&assignment, &AccountAssignment::changed, this, &MainWindowLogic::changed);
    connect(&entry, &FieldEntry::changed, this, &MainWindowLogic::changed);
    connect(&lookup, &EventLookup::changed, this, &MainWindowLogic::changed);
    connect(&lookup, &EventLookup::eventChosen, this, &MainWindowLogic::ShowEvent);
    connect(&editor, &EventEditor::calendarRequested, this, &MainWindowLogic::CalendarCommand);
    connect(&calendar, &MonthSheet::dayOpened, &editor, &EventEditor::setOpenedDay);
    connect(&wholeEvent, &WholeEvent::changed, this, &MainWindowLogic::changed);
    // A payment changes the deposit box the event side shows.
    connect(&payments, &PaymentsWindow::eventChanged, this, &MainWindowLogic::changed);
    connect(&wholeEvent, &WholeEvent::calendarChanged, this, &MainWindowLogic::RefreshCalendar);
    connect(&repeat, &RepeatWindow::eventChanged, this, &MainWindowLogic::changed);
    connect(&repeat, &RepeatWindow::calendarChanged, this, &MainWindowLogic::RefreshCalendar);
    connect(&seriesChange, &SeriesChangeWindow::eventChanged, this, &MainWindowLogic::changed);
    connect(&seriesChange, &SeriesChangeWindow::calendarChanged, this,
            &MainWindowLogic::RefreshCalendar);
    // The File menu offers Change the Series for an event of a series.
    connect(&events, &EventRecord::loaded, &seriesChange, &SeriesChangeWindow::eventShown);
    connect(&events, &EventRecord::cleared, &seriesChange, &SeriesChangeWindow::eventShown);
    connect(&seriesChange, &SeriesChangeWindow::inSeriesChanged, this, &MainWindowLogic::changed);
    RoomsBoard &board = calendar.board;
    connect(&board, &RoomsBoard::bookingRequested, &boardActions, &BoardActions::book);
    connect(&board, &RoomsBoard::moveRequested, &boardActions, &BoardActions::move);
    connect(&board, &RoomsBoard::eventRequested, this, &MainWindowLogic::ShowEvent);
    connect(&boardActions, &BoardActions::boardChanged, this, &MainWindowLogic::RefreshCalendar);
    connect(&boardActions, &BoardActions::boardChanged, this, &MainWindowLogic::changed);
    connect(&wholeEvent, &WholeEvent::deleted, &publishOnSave, &PublishOnSave::eventChanged);
    connect(&publishOnSave, &PublishOnSave::status, this, &MainWindowLogic::setHelpText);
}

bool MainWindowLogic::busy() const {
    return m_module.longOperation.running();
}

void MainWindowLogic::refuse(const QString &text, Icon icon) {
    m_module.messages.show(text, Brevant, icon);
}

MainWindowLogic::Outcome MainWindowLogic::StartMainWindow(const QString &commandLine,
                                                          SingleInstance &instance) {
    if (!instance.acquire()) {
        m_module.messages.show(QStringLiteral("The module is already running."),
                               QStringLiteral("Uh-oh..."), Icon::Information);
        return Outcome::AlreadyRunning;
    }

    OperatorSession &session = m_module.session;
    session.ParseCommandLine(commandLine);
    if (!commandLine.isEmpty()) {
        auto loaded = LoadConfiguration(m_module.databases);
        if (!loaded) {
            refuse(loaded.error().description, Icon::Critical);
            return Outcome::SettingsMissing;
        }
        m_module.config = loaded->settings;
        session.AccessThresholds = loaded->accessThresholds;
    }
    if (!session.launchedBySuite()) {
        refuse(QStringLiteral("This module cannot be run by itself.\nClick OK to exit..."),
               Icon::Critical);
        return Outcome::NotLaunchedBySuite;
    }
    if (!session.CheckAccess(0)) {
        refuse(QStringLiteral("Access denied. See system administrator.\nClick OK to exit..."),
               Icon::Information);
        return Outcome::AccessDenied;
    }

    caption = session.UserName + QStringLiteral(" @ Moravel");
    editor.applyReadOnly();
    if (!session.CheckAccess(1)) {
        window.commandVisible[EventCommand::Modify] = false;
        window.commandVisible[EventCommand::Save] = false;
    }
    reverifyMenuVisible = purgeCalendarMenuVisible =
        session.UserLevel == OperatorSession::MaintenanceLevel;
    emit changed();
    yieldToWindow();

    if (m_module.databases.settings().readOnly)
        m_module.messages.show(
            QStringLiteral("The club directory %1 is read-only.\nEvents can be looked at, "
                           "but nothing can be changed or saved.")
                .arg(m_module.databases.settings().clubDirectory),
            QStringLiteral("FYI..."), Icon::Information);

    // An older club's databases and files are brought up to this program
    // before anything reads them; a club that cannot be upgraded is not
    // worked on. A read-only club is not upgraded, but its databases must
    // still be the program's own.
    const Status ready =
        m_module.databases.settings().readOnly
            ? SchemaUpgrade::recognise(m_module.databases)
            : ClubUpgrade::run(m_module.databases, shareDirectory, m_module.ports.clock.now(),
                               m_module.session.UserName)
                  .status();
    if (!ready) {
        m_module.messages.ShowErrorCodes(ready.error());
        return Outcome::DatabaseFailure;
    }

    // The operator's number names the per-operator files; a problem with the
    // staff table is reported but does not keep the operator out.
    m_module.staff.LoadOperator();

    if (!readEventFields())
        return Outcome::DatabaseFailure;
    if (!loadRooms())
        return Outcome::DatabaseFailure;
    fillStatusList();
    fillTimeLists();
    m_module.ports.clipboard.clear();
    rooms.OpenRoomEditor(true);
    CalendarCommand();
    window.helpwindow.clear();
    m_module.routines.CloseAllDatabases();
    started = true;
    calendar.redrawTimer.start();
    emit changed();
    return Outcome::Started;
}

bool MainWindowLogic::readEventFields() {
    DatabasePtr db = m_module.access.open(EventDatabase);
    if (!db)
        return false;
    auto query = db->exec(QStringLiteral("select * from eventinfo where eventnum < ?"), {-354});
    if (!query) {
        m_module.messages.ShowErrorCodes(query.error());
        return false;
    }
    const QSqlRecord record = query->record();
    if (record.count() > EventColumnLimit) {
        m_module.messages.ShowErrorCodes(
            {ErrorNumber::FieldMissing,
             QStringLiteral("The event table has more than %1 fields.").arg(EventColumnLimit)});
        return false;
    }

    // The descriptions are kept in the database so a club can reword them.
    QHash<QString, QString> descriptions;
    if (auto rows = db->exec(
            QStringLiteral("select fieldname, description from fielddesc where tablename = ?"),
            {QStringLiteral("eventinfo")})) {
        while (rows->next())
            descriptions.insert(rows->value(0).toString().toLower(), rows->value(1).toString());
    }

    const Schema::Table *schema = Schema::findTable(EventDatabase, QStringLiteral("eventinfo"));
    EventFieldTokens.fill(QString());
    for (int i = 0; i < record.count(); ++i) {
        const QString name = record.fieldName(i);
        EventFieldTokens[i] = QLatin1Char('<') + name.toUpper() + QLatin1Char('>');
        if (!isEventField(i))
            continue;
        const EventField field = eventFieldAt(i);
        window.fieldHelp[field] = descriptions.value(name.toLower());
        // Short text columns limit what can be typed; the engine may not
        // report a size, the schema always knows it.
        const int column = schema ? schema->columnIndex(name) : -1;
        const bool shortText =
            column >= 0 && schema->columns[column].type == Schema::ColumnType::Text;
        const int reported = record.field(i).length();
        fieldMaxLength[field] = !shortText     ? 0
                                : reported > 0 ? reported
                                               : schema->columns[column].size;
    }
    return true;
}

bool MainWindowLogic::loadRooms() {
    const auto rooms = LoadRooms(m_module.access);
    if (!rooms)
        return false;
    roomList.clear();
    bool undivided = false;
    for (const Room &room : *rooms) {
        roomList << RoomDisplayLine(room);
        undivided = undivided || room.subdiv.isNull();
    }
    calendar.setRooms(*rooms);
    // A room that is part of no other stores 0, not Null.
    if (undivided && !m_module.databases.settings().readOnly) {
        if (DatabasePtr db = m_module.access.open(EventDatabase)) {
            const Status repaired =
                db->execute(QStringLiteral("update location set subdiv = 0 where subdiv is null"));
            if (!repaired)
                m_module.messages.ShowErrorCodes(repaired.error());
        }
    }
    emit changed();
    return true;
}

void MainWindowLogic::fillStatusList() {
    ListState &statusList = window.statusList;
    statusList.entries.clear();
    for (int position = 1; position <= 6; ++position)
        statusList.entries << m_module.config.StatusNames[position];
    statusList.text = EventWindow::NoStatusText;
}

void MainWindowLogic::fillTimeLists() {
    const SlotBooking::TimeLists lists =
        SlotBooking::BuildTimeLists(m_module.config.DayStartTime, m_module.config.DayEndTime);
    startTimes = {lists.start, QStringLiteral("Click for time")};
    endTimes = {lists.end, QStringLiteral("Click for time")};
}

const CurrentEvent &MainWindowLogic::currentEvent() const {
    return m_module.event;
}

void MainWindowLogic::onRoomChosen(int row) {
    // A room line begins with its number.
    if (row >= 0 && row < roomList.size())
        entry.chooseRoom(integerValue(roomList[row]));
}

bool MainWindowLogic::ShowEvent(int eventNumber) {
    if (eventNumber <= 0 || !editor.mayDiscardChanges())
        return false;
    if (!events.LoadEvent(eventNumber))
        return false;
    // The event is shown, not changed: "&Modify" starts that.
    editor.endEditing();
    return true;
}

bool MainWindowLogic::mayClose() {
    return !busy() && editor.mayDiscardChanges();
}

void MainWindowLogic::eventLoaded() {
    window.statusList.text = m_module.config.statusListText(m_module.event.Status);
    // Both panels are up, the contact panel in front for an enquiry.
    window.showPanels(false, true, true, false);
    window.front =
        events.showContactPanel ? EventWindow::Panel::Contact : EventWindow::Panel::Billing;
    entry.followFields();
}

void MainWindowLogic::eventWasSaved(const QString &helpText) {
    setHelpText(helpText);
    emit eventSaved();
    RefreshCalendar();
    publishOnSave.eventChanged(m_module.event.EventNumber);
}

void MainWindowLogic::QueryUnloadMainWindow() {
    calendar.redrawTimer.stop();
    // A publish under way stops before its next resource; what the server
    // accepted is noted, and the next publish sends the rest.
    publishRunner.finish();
    if (!started)
        return;
    started = false;
    m_module.staff.ResetStaffLocation(m_module.session.UserName);
    m_module.messages.flushLogs();
    m_module.routines.CloseAllDatabases();
}

void MainWindowLogic::CalendarCommand() {
    window.showPanels(true, false, false, false);
    calendar.ShowCurrentMonth();
    emit changed();
}

void MainWindowLogic::RefreshCalendar() {
    calendar.Refresh();
}

void MainWindowLogic::setHelpText(const QString &text) {
    window.helpwindow = text;
    emit helpwindowChanged(text);
}
