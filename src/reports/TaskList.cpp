#include "TaskList.h"

#include "ports/Clock.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "storage/EventChanges.h"
#include "storage/TableRow.h"
#include "storage/Transaction.h"
#include "values/TextValue.h"
#include "values/TypedNumber.h"

namespace {

const QString EventDatabase = QStringLiteral("evnt");
const QString TaskTable = QStringLiteral("tasklist");
const QString Oops = QStringLiteral("Oops...");
const QString Okay = QStringLiteral("Okay...");

const QStringList &taskColumns() {
    static const QStringList columns{QStringLiteral("eventnumber"), QStringLiteral("taskdate"),
                                     QStringLiteral("todo"), QStringLiteral("task"),
                                     QStringLiteral("staff")};
    return columns;
}

// Only tasks of events that exist are listed.
QString selection(const QString &condition, const QString &order) {
    return QStringLiteral("select t.eventnumber, t.taskdate, t.todo, t.task, t.staff from "
                          "tasklist t inner join eventinfo e on e.eventnum = t.eventnumber "
                          "where ") +
           condition + QStringLiteral(" order by ") + order;
}

QString yesNo(bool yes) {
    return yes ? QStringLiteral("Y") : QStringLiteral("N");
}

} // namespace

TaskList::TaskList(Module &module, QObject *parent)
    : QObject(parent)
    , m_module(module) {}

QString TaskList::boxLabel(int box) {
    static const char *const labels[] = {"Event #", "To-do Date", "Done?", "Task to be done",
                                         "Staff"};
    return box >= 0 && box < BoxCount ? QString::fromLatin1(labels[box]) : QString();
}

QString TaskList::boxHint(int box) {
    static const char *const hints[] = {
        "Event Number", "Task 'to-do' date", "Y if task is done, N if task is not done",
        "Description of the task to be done", "Staff member who last modified this task"};
    return box >= 0 && box < BoxCount ? QString::fromLatin1(hints[box]) : QString();
}

QString TaskList::doneHint() {
    return QStringLiteral("Check the 'Task Completed' box to mark a task as 'done'");
}

QString TaskList::saveHint() {
    return QStringLiteral("Click 'Save Change' to save the task and/or changes.");
}

QString TaskList::ask(const QString &title, const QString &text, const QString &initial) {
    return m_module.ports.prompts
        .input(text + QStringLiteral("\r\n\r\n") + QStringLiteral("Leave BLANK to cancel"), title,
               initial)
        .trimmed();
}

QString TaskList::withYear(const QString &typed) const {
    return typed.size() == 4 ? QString::number(m_module.ports.clock.today().year()) + typed : typed;
}

bool TaskList::openByEventNumber() {
    const int current = m_module.event.EventNumber;
    const QString answer =
        ask(QStringLiteral("To-Do Task List by Event Number"),
            QStringLiteral("Type the desired Event# or click OK to accept the default. "),
            current >= 1 ? QString::number(current) : QString());
    if (answer.isEmpty())
        return false;
    // Read whole: "12abc" is no event 12.
    const TypedNumber number =
        TypedNumber::read(answer, QStringLiteral("Event#"),
                          TypedNumber::ofColumn(EventDatabase, QStringLiteral("eventinfo"),
                                                QStringLiteral("eventnum"))
                              .atLeast(Decimal()));
    if (!number.isNumber()) {
        refuse(number.message());
        return false;
    }
    return listEvent(int(number.value().toDouble()));
}

bool TaskList::openByDate() {
    const QString answer =
        ask(QStringLiteral("To-Do Task List by Date"),
            QStringLiteral("Type the desired date or click OK to accept the default. "),
            LastTaskDate >= 1 ? QString::number(LastTaskDate)
                              : m_module.ports.clock.today().toString(QStringLiteral("yyyyMMdd")));
    if (answer.isEmpty())
        return false;
    return listDate(integerValue(withYear(answer)));
}

bool TaskList::listEvent(int eventNumber) {
    TaskEventNumber = eventNumber;
    m_by = By::Event;
    m_key = eventNumber;
    if (!readTasks(Opening))
        return false;
    // The window opens anyway, so that the first task can be added.
    if (rows.isEmpty())
        m_module.messages.show(QStringLiteral("No tasks are assigned yet for Event# ") +
                                   QString::number(eventNumber),
                               Okay, Icon::Information);
    return showWindow();
}

bool TaskList::listDate(int date) {
    LastTaskDate = date;
    // A list by date must not add tasks to an event chosen earlier.
    TaskEventNumber = 0;
    m_by = By::Date;
    m_key = date;
    m_lastDate = date;
    if (!readTasks(Opening))
        return false;
    if (rows.isEmpty()) {
        m_module.messages.show(QStringLiteral("No tasks assigned for ") + QString::number(date),
                               Okay, Icon::Information);
        return false;
    }
    return showWindow();
}

bool TaskList::readDates(int from, int to) {
    m_by = By::Date;
    m_key = from;
    m_lastDate = to;
    return readTasks(Again);
}

bool TaskList::readTasks(Reading reading) {
    DatabasePtr db = m_module.access.open(EventDatabase);
    if (!db)
        return false;
    if (reading == Opening)
        deleteInvalidTasks(*db);
    const QString sql =
        m_by == By::Event
            ? selection(QStringLiteral("e.eventnum = ?"), QStringLiteral("t.taskdate, t.task"))
            : selection(QStringLiteral("t.taskdate between ? and ?"),
                        QStringLiteral("t.taskdate, e.eventnum, t.task"));
    auto query =
        db->exec(sql, m_by == By::Event ? QVariantList{m_key} : QVariantList{m_key, m_lastDate});
    if (!query) {
        m_module.messages.ShowErrorCodes(query.error());
        return false;
    }
    rows.clear();
    while (query->next()) {
        TaskRow row;
        for (int column = 0; column < BoxCount; ++column)
            row.read << query->value(column);
        rows << row;
    }
    currentRow = -1;
    emit changed();
    return true;
}

// Tasks that belong to no event are left-overs; they go whenever the window opens.
void TaskList::deleteInvalidTasks(Database &evnt) {
    const Status deleted =
        evnt.execute(QStringLiteral("delete from tasklist where eventnumber < 1"));
    // A club opened read-only keeps them; that is no reason to stop.
    if (!deleted && deleted.error().number != ErrorNumber::ReadOnly)
        m_module.messages.ShowErrorCodes(deleted.error());
}

bool TaskList::showWindow() {
    clearFields();
    // Below event editing the list is shown and printed, never changed.
    const bool mayEdit = m_module.session.CheckAccess(OperatorSession::evaccess1);
    addVisible = saveVisible = deleteVisible = mayEdit;
    addEnabled = TaskEventNumber >= 1;
    keptOnTop = true;
    visible = true;
    emit changed();
    return true;
}

void TaskList::clearFields() {
    boxes = {};
    doneChecked = false;
    dateLocked = true;
    m_pending = false;
    m_chosen.reset();
    currentRow = -1;
}

void TaskList::selectTask(int row) {
    if (row < 0 || row >= rows.size())
        return;
    // A new task not yet saved is given up.
    m_pending = false;
    m_chosen = rows[row];
    currentRow = row;
    for (int box = 0; box < BoxCount; ++box)
        boxes[box] = rows[row].text(box);
    boxes[DoneBox] = boxes[DoneBox].toUpper();
    dateLocked = false;
    doneChecked = boxes[DoneBox] == QLatin1String("Y");
    emit changed();
}

void TaskList::setDone(bool checked) {
    doneChecked = checked;
    boxes[DoneBox] = yesNo(checked);
    emit changed();
}

void TaskList::editBox(int box, const QString &text) {
    if (box < 0 || box >= BoxCount)
        return;
    // The boxes take no more than their columns hold.
    const int length = box == DateBox ? DateLength : box == TaskBox ? TaskLength : -1;
    boxes[box] = length > 0 ? cutToLength(text, length) : text;
}

void TaskList::enterBox(int box) {
    if (focusBox == box)
        focusBox = -1;
}

void TaskList::leaveBox(int box) {
    if (box != DateBox || dateLocked || boxes[DateBox].trimmed().isEmpty())
        return;
    const CheckedDate checked =
        m_module.checks.checkDate(EntryChecks::dateNumber(withYear(boxes[DateBox].trimmed())));
    if (checked.refused)
        focusBox = DateBox;
    else
        boxes[DateBox] = checked.text;
    emit changed();
}

bool TaskList::boxKeyPress(int box, Key key) {
    if (box == StaffBox) {
        // Any key in the staff box saves; the box itself takes nothing.
        if (key == Key::Tab)
            return true;
        if (saveEnabled)
            saveChange();
        return false;
    }
    if (key == Key::Enter && box >= EventBox && box < StaffBox) {
        focusBox = box + 1;
        emit changed();
        return false;
    }
    return true;
}

void TaskList::pointAtBox(int box) {
    statusText = boxHint(box);
    emit changed();
}

void TaskList::pointAtDone() {
    statusText = doneHint();
    emit changed();
}

void TaskList::pointAtSave() {
    statusText = saveHint();
    emit changed();
}

void TaskList::refuse(const QString &text) {
    m_module.messages.show(text, Oops, Icon::Information);
}

void TaskList::addTypedTask() {
    if (!addVisible || !addEnabled)
        return;
    m_pending = true;
    boxes = {QString::number(TaskEventNumber), QString(), QStringLiteral("N"), QString(),
             m_module.session.UserName};
    doneChecked = false;
    dateLocked = false;
    focusBox = TaskBox;
    emit changed();
}

std::optional<int> TaskList::checkedDate() {
    const int typed = EntryChecks::dateNumber(withYear(boxes[DateBox].trimmed()));
    std::optional<int> date;
    if (typed != 0) {
        const CheckedDate checked = m_module.checks.checkDate(typed);
        // checkDate has said what is wrong with the date.
        if (checked.refused) {
            focusBox = DateBox;
            emit changed();
            return std::nullopt;
        }
        date = checked.number();
    }
    if (!date || *date > LatestDate) {
        refuse(QStringLiteral("Task date missing or invalid."));
        focusBox = DateBox;
        emit changed();
        return std::nullopt;
    }
    return date;
}

bool TaskList::eventExists(Database &evnt, int eventNumber) {
    auto found = evnt.exec(QStringLiteral("select count(*) from eventinfo where eventnum = ?"),
                           {eventNumber});
    if (!found) {
        m_module.messages.ShowErrorCodes(found.error());
        return false;
    }
    if (found->next() && found->value(0).toInt() > 0)
        return true;
    refuse(QStringLiteral("There is no Event# %1.").arg(eventNumber));
    return false;
}

void TaskList::saveChange() {
    // Hidden for a read-only operator, and so is what it does.
    if (!saveVisible || !saveEnabled)
        return;
    if (numericValue(boxes[EventBox]) < 1)
        return;
    if (!m_pending && !m_chosen) {
        refuse(QStringLiteral("Please select a task first."));
        return;
    }
    const int eventNumber = integerValue(boxes[EventBox]);
    const auto date = checkedDate();
    if (!date)
        return;
    DatabasePtr db = m_module.access.open(EventDatabase);
    if (!db || !eventExists(*db, eventNumber))
        return;
    // Whoever saves a task is its staff member now.
    const QVariantList values{eventNumber, *date,
                              yesNo(boxes[DoneBox].trimmed().toUpper() == QLatin1String("Y")),
                              cutToLength(boxes[TaskBox], TaskLength),
                              cutToLength(m_module.session.UserName, StaffLength)};
    changeStored(std::move(db), [&](Database &evnt) { return writeTask(evnt, values); });
}

Status TaskList::writeTask(Database &evnt, const QVariantList &values) {
    Transaction transaction(evnt);
    if (!transaction.begun())
        return transaction.begun();
    m_eventGone = false;
    Status written;
    if (m_pending) {
        // The event's row, locked: a task is never added to an event
        // another workstation is deleting.
        auto event = EventChanges::hold(evnt, values[0].toInt());
        if (!event)
            return event.error();
        m_eventGone = !event->has_value();
        if (m_eventGone)
            return {};
        written = evnt.execute(QStringLiteral("insert into tasklist (eventnumber, taskdate, todo, "
                                              "task, staff) values (?, ?, ?, ?, ?)"),
                               values);
    } else {
        auto row = TableRow::findShown(evnt, TaskTable, taskColumns(), m_chosen->read);
        written = row ? TableRow::update(evnt, TaskTable, *row, taskColumns(), values)
                      : Status(row.error());
    }
    return written ? transaction.commit() : written;
}

void TaskList::changeStored(DatabasePtr evnt, const std::function<Status(Database &)> &write) {
    const Status outcome = m_module.messages.RetryWhileLocked([&] { return write(*evnt); });
    evnt.reset();
    const int error = outcome ? 0 : outcome.error().number;
    // Anything else that failed keeps the boxes, so the operator can try
    // again; a lock the operator chose not to wait for was told already.
    if (error != 0 && error != ErrorNumber::NoCurrentRecord) {
        if (error != ErrorNumber::RecordLocked)
            m_module.messages.ShowErrorCodes(outcome.error());
        return;
    }
    if (m_eventGone) {
        // Deleted since the check before the write: the boxes stay.
        m_eventGone = false;
        refuse(QStringLiteral("There is no Event# %1.").arg(integerValue(boxes[EventBox])));
        return;
    }
    if (error == ErrorNumber::NoCurrentRecord)
        refuse(QStringLiteral(
            "This task was changed at another workstation. The list has been read again."));
    clearFields();
    readTasks(Again);
}

void TaskList::deleteChosenTask() {
    if (!deleteVisible)
        return;
    if (numericValue(boxes[EventBox]) < 1 || (!m_pending && !m_chosen)) {
        refuse(QStringLiteral("Please select a task first."));
        return;
    }
    const bool yes = m_module.messages.AskYesNo(
        QStringLiteral("Click YES to delete the chosen task; ") + QStringLiteral("\r\n") +
            QStringLiteral("click NO to cancel."),
        QStringLiteral("Delete this task?"));
    if (!yes)
        return;
    // A new task was never stored: only it goes, not the row chosen before.
    if (m_pending) {
        clearFields();
        emit changed();
        return;
    }
    DatabasePtr db = m_module.access.open(EventDatabase);
    if (!db)
        return;
    const TaskRow chosen = *m_chosen;
    changeStored(std::move(db), [&](Database &evnt) { return deleteTask(evnt, chosen); });
}

Status TaskList::deleteTask(Database &evnt, const TaskRow &task) {
    Transaction transaction(evnt);
    if (!transaction.begun())
        return transaction.begun();
    auto row = TableRow::findShown(evnt, TaskTable, taskColumns(), task.read);
    if (!row)
        return row.error();
    if (Status removed = TableRow::remove(evnt, TaskTable, *row); !removed)
        return removed;
    return transaction.commit();
}

void TaskList::printTasks() {
    if (rows.isEmpty())
        return;
    auto work = fillReport();
    if (!work)
        return;
    // The report program's window comes in front of the list meanwhile.
    keptOnTop = false;
    emit changed();
    ReportLauncher(m_module).LaunchReport(*work);
    keptOnTop = true;
    emit changed();
}

std::unique_ptr<ReportWorkCopy> TaskList::fillReport() {
    ReportLauncher launcher(m_module);
    auto work = launcher.PrepareReportDatabase();
    if (!work)
        return nullptr;
    ReportRequest &request = m_module.report;
    request.ReportHeadings[1] = selectionHeading(launcher.clubSettings());
    if (!launcher.WriteReportHeadings(*work) || !copyToReport(launcher, *work))
        return nullptr;
    request.DataFiles[0] = work->fileName();
    request.ReportFile = QLatin1String(ReportFile);
    return work;
}

QString TaskList::selectionHeading(const ClubSettings &club) const {
    if (m_by == By::Event)
        return QStringLiteral("Tasks for Event# %1").arg(m_key);
    if (m_lastDate != m_key)
        return QStringLiteral("Tasks from %1 to %2")
            .arg(club.dateNumber(m_key), club.dateNumber(m_lastDate));
    return QStringLiteral("Tasks to be done by ") + club.dateNumber(m_key);
}

bool TaskList::copyToReport(ReportLauncher &launcher, ReportWorkCopy &work) {
    QList<QVariantList> shown;
    QVariantList events;
    for (const TaskRow &row : rows) {
        shown << row.read;
        if (!events.contains(row.read.value(EventBox)))
            events << row.read.value(EventBox);
    }
    const Status copied = work.append(TaskTable, taskColumns(), shown);
    if (!copied) {
        m_module.messages.ShowErrorCodes(copied.error());
        return false;
    }
    // A task prints under its event's date, title and room name.
    const WorkTable eventTable = WorkTable::whole(QStringLiteral("eventinfo"));
    const WorkTable rooms = WorkTable::whole(QStringLiteral("location"));
    const QStringList marks(events.size(), QStringLiteral("?"));
    return launcher
               .copyRows(work, EventDatabase,
                         QStringLiteral("select %1 from eventinfo where eventnum in (%2)")
                             .arg(eventTable.selectList(), marks.join(QStringLiteral(", "))),
                         events, eventTable.name)
               .has_value() &&
           launcher
               .copyRows(work, EventDatabase,
                         QStringLiteral("select %1 from location").arg(rooms.selectList()), {},
                         rooms.name)
               .has_value();
}

void TaskList::exitWindow() {
    visible = false;
    clearFields();
    emit changed();
}
