#pragma once

#include "values/Result.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class ClubSettings;
class Database;
class Module;
class ReportLauncher;
class ReportWorkCopy;

// One task as the list shows it. tasklist has no key, so the row keeps its
// five stored values exactly as read: a save or delete finds it again by them.
struct TaskRow {
    QVariantList read; // eventnumber, taskdate, todo, task, staff

    QString text(int column) const { return read.value(column).toString(); }
};

// frmtasklist, "Event Task List": the dated to-do tasks of one event, or of
// every event on one date. Lives as long as the main window, so the event
// chosen by number and the last date asked stay offered as defaults.
class TaskList : public QObject {
    Q_OBJECT

public:
    enum Box { EventBox = 0, DateBox = 1, DoneBox = 2, TaskBox = 3, StaffBox = 4 };
    static constexpr int BoxCount = 5;
    static constexpr int DateLength = 8;
    static constexpr int TaskLength = 255;
    static constexpr int StaffLength = 30;
    static constexpr int LatestDate = 20999999;
    static constexpr auto ReportFile = "evnttask1.rpt";
    enum class Key { Enter, Tab, Other };

    explicit TaskList(Module &module, QObject *parent = nullptr);

    // mnutodobynumber, "Select by Event #": true when the window opens.
    bool openByEventNumber();
    // mnutodobydate, "Select by Date": true when the window opens.
    bool openByDate();
    // The same once the number or date is known (the prompts' answer).
    bool listEvent(int eventNumber);
    bool listDate(int date);
    // The tasks to be done from one date to another, read without the
    // window (nothing is cleared away); false when it failed (told).
    bool readDates(int from, int to);
    // A work copy filled with the tasks read, the request set to print
    // them; null after the failure was shown.
    std::unique_ptr<ReportWorkCopy> fillReport();

    void selectTask(int row);
    void setDone(bool checked);
    void editBox(int box, const QString &text);
    void enterBox(int box);
    void leaveBox(int box);
    // False when the box must not take the key (it moved on or saved).
    bool boxKeyPress(int box, Key key);
    // The pointer over a box, the check box or Save Change: its hint.
    void pointAtBox(int box);
    void pointAtDone();
    void pointAtSave();
    void addTypedTask();
    void saveChange();
    void deleteChosenTask();
    void printTasks();
    void exitWindow();

    static QString boxLabel(int box);
    static QString boxHint(int box);
    static QString doneHint();
    static QString saveHint();

    // Shared with the menu commands.
    int TaskEventNumber = 0; // chosen by "Select by Event #"; new tasks go there
    int LastTaskDate = 0;    // offered by "Select by Date"

    // What the window shows.
    const QString caption = QStringLiteral("Event Task List");
    bool visible = false;
    bool keptOnTop = true; // off while a report runs
    QList<TaskRow> rows;
    int currentRow = -1;
    std::array<QString, BoxCount> boxes;
    bool dateLocked = true;
    bool doneChecked = false;
    bool addVisible = true;
    bool addEnabled = false;
    bool saveVisible = true;
    bool saveEnabled = true;
    bool deleteVisible = true;
    int focusBox = -1; // a box the window puts the cursor into; -1 none
    QString statusText;

signals:
    void changed();

private:
    enum class By { Event, Date };

    QString ask(const QString &title, const QString &text, const QString &initial);
    enum Reading { Opening, Again };
    // Reads the list; opening the window also clears left-over tasks.
    // False (already reported) on failure.
    bool readTasks(Reading reading);
    bool showWindow();
    void deleteInvalidTasks(Database &evnt);
    void clearFields();
    // The typed date with this year in front of a bare MMDD.
    QString withYear(const QString &typed) const;
    std::optional<int> checkedDate();
    bool eventExists(Database &evnt, int eventNumber);
    Status writeTask(Database &evnt, const QVariantList &values);
    Status deleteTask(Database &evnt, const TaskRow &task);
    // Runs a write of stored tasks (again while the operator wants to wait
    // for a lock), tells its outcome and reads the list again.
    void changeStored(std::unique_ptr<Database> evnt,
                      const std::function<Status(Database &)> &write);
    // What the printed list shows as its selection: the event or the date.
    QString selectionHeading(const ClubSettings &club) const;
    bool copyToReport(ReportLauncher &launcher, ReportWorkCopy &work);
    void refuse(const QString &text);

    Module &m_module;
    By m_by = By::Event;
    int m_key = 0;      // the event number or (first) date the list shows
    int m_lastDate = 0; // the last date of a list by date
    bool m_pending = false;
    bool m_eventGone = false; // the last write found its event deleted
    std::optional<TaskRow> m_chosen;
};
