#pragma once

#include "EventWindow.h"
#include "values/TypedNumber.h"

#include <QObject>
#include <QString>
#include <optional>

class Companions;
class EventEditor;
class EventRecord;
class Module;

// What happens as the operator types into the event boxes Text1(0..35) and
// uses the controls beside them: focus colours and help text, the keyboard
// conventions, the look-ups, and the checks and tidying as focus leaves a
// box (dates, times, capacity, states, phones, e-mail); the status list,
// the member options, the room list, the note switch and the employee box.
class FieldEntry : public QObject {
    Q_OBJECT

public:
    enum class Key { Enter, Tab, F5, Other };

    // The refusals that also guard events made or changed other than by
    // typing (a clone, a delete).
    static inline const QString BackDatingRefused =
        QStringLiteral("You must be in administrator mode to\nback-date a new reservation. Redo.");
    // A date typed for an event: MMDD gets this year; a new event's date
    // before today needs the administrator; the date check tells the
    // operator what it refuses. An accepted date goes to `date` (YYYYMMDD).
    enum class TypedDate { None, BackDated, Refused, Accepted };
    static TypedDate checkTypedDate(Module &module, QString &text, bool newEvent, int &date);

    static inline const QString BilledStatusRefused =
        QStringLiteral("Administrator level is required to change a status 5 event.");

    FieldEntry(Module &module, EventRecord &events, EventEditor &editor, EventWindow &window,
               Companions &companions, QObject *parent = nullptr);

    void enterField(EventField field);
    void leaveField(EventField field);
    // A key typed into a box: false when the box must not take it (editing
    // is off, or Enter moved on to the next box).
    bool typeKey(EventField field, Key key);
    void pressKey(EventField field, Key key);
    // A click on a box or on its label.
    void clickField(EventField field);
    void doubleClickField(EventField field);
    // The operator changed a box's text (typing, pasting, deleting).
    void editField(EventField field, const QString &text);
    // What the window derives from the boxes after they were filled or
    // cleared: the Modify button, the member options and the note switch.
    void followFields();

    // A status list entry (position 1 to 6) chosen.
    void onStatusChosen(int position);
    void statusFocusChanged(bool focused);
    void chooseStartTime(const QString &entry);
    void chooseEndTime(const QString &entry);
    // A room chosen from the room list List1.
    void chooseRoom(int roomnum);
    // The member options: 0 "Member", 1 "Non-Member".
    void chooseMembership(int index);
    // The note switch: 0 shows the regular notes, 1 the internal ones.
    void showNotes(int index);

    // The employee box read whole, 0 to 9999.
    static TypedNumber readEmployee(const QString &typed);
    void editEmployee(const QString &text);
    void pressEmployeeKey(Key key);
    void doubleClickEmployee();
    void leaveEmployee();

signals:
    void changed();

private:
    bool level(int threshold) const;
    void leaveDate();
    void leaveTime(EventField field);
    void checkCapacity();
    // The room's recorded capacity; nothing for a room without one.
    std::optional<double> capacity(int roomnum);
    // The clipboard's text (a look-up's choice), emptied; null when there is none.
    QString takeClipboard();
    void warn(const QString &text, const QString &title);

    Module &m_module;
    EventRecord &m_events;
    EventEditor &m_editor;
    EventWindow &m_window;
    Companions &m_companions;
};
