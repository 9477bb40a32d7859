#pragma once

#include "ports/Prompts.h"
#include "session/CurrentEvent.h"
#include "storage/EventChanges.h"
#include "values/Result.h"

#include <QObject>
#include <QString>
#include <optional>

class Database;
class EventEditor;
class EventRecord;
class Module;
struct EventWindow;

// The File menu's commands on the displayed event as a whole: cloning it to
// a new date (mnucloneevent) and deleting it (mnudeletecontact).
//
// A clone is saved like a new event, and its copy of the source's items
// and its package row are written by that save's transaction: a stopped
// save leaves no item or package row behind.
// A delete is one transaction that takes the row, its items, tasks,
// package row and calendar cells; the history line follows the commit.
class WholeEvent : public QObject {
    Q_OBJECT

public:
    WholeEvent(Module &module, EventRecord &events, EventEditor &editor, EventWindow &window,
               QObject *parent = nullptr);

    // "Clone Current Event to New Date".
    void cloneEvent();
    // "Delete this contact".
    void deleteContact();

    // The displayed event becomes its clone on `date`, a date already
    // checked: a new number, the date, a billed status back to confirmed,
    // no deposit (and so reserved, where its status stands on one, said in
    // `note`), the fields `copies` leaves out emptied (guest counts 0), and
    // its items to be copied by the save, which gives it a payment schedule
    // of its own where the source had one. False when no number was issued.
    static bool prepareClone(Module &module, EventRecord &events, int date, QString *note = nullptr,
                             const CloneChoices &copies = {});

    // The clone's checklist (frmclonechoices), as CloneChoices has it by
    // default: items, guest counts, contact and billing, notes, the link
    // into `source`'s package.
    static QList<PromptOption> cloneOptions(int source);
    // What the checklist, as ticked, copies.
    static CloneChoices chosenCopies(const QList<PromptOption> &options);

signals:
    // The calendar shows cells that changed.
    void calendarChanged();
    void changed();
    // The event is gone from the club (deleted here or found deleted).
    void deleted(int number);

private:
    enum class Deleted { Done, Missing, Billed, Stale, Paid };

    // The new date typed for a clone, checked; 0 when refused or cancelled.
    int askCloneDate();
    // What the clone on `date` copies; none when the operator cancelled.
    std::optional<CloneChoices> askCloneChoices(int date);
    // A YYYYMMDD date as the club writes dates.
    QString dateText(int date) const;
    // Who changed or deleted the event last, for a refused delete.
    Result<Deleted> deleteRows(Database &evnt, int number, EventChanges::Stamp &stamp);
    bool level(int threshold) const;
    void oops(const QString &text, const QString &title = QStringLiteral("Oops..."));

    Module &m_module;
    EventRecord &m_events;
    EventEditor &m_editor;
    EventWindow &m_window;
    QString m_received; // the payments that stopped a delete, one per line
};
