#pragma once

#include "ChangeLog.h"
#include "calendar/SlotBooking.h"
#include "session/CurrentEvent.h"
#include "session/EventField.h"
#include "storage/EventChanges.h"
#include "values/Result.h"
#include "values/TypedNumber.h"

#include <QObject>
#include <QStringList>
#include <optional>

class Database;
class Module;

// One booking as the main window edits it: loading a row of eventinfo into
// the fields of the shared CurrentEvent, issuing event numbers, and saving
// the boxes back together with the event's reservation cells.
//
// A save is one transaction: the change-count check, the conflict check, the
// event row, its old cells (as stored) freed, its new cells booked and the
// package copy of date and title. Two workstations saving the same room and
// time can never both succeed, a save never writes over a change it has not
// seen or brings back a deleted event, and a failed save leaves nothing
// half-written.
class EventRecord : public QObject {
    Q_OBJECT

public:
    enum SaveMode { NewEvent = 1, ChangedEvent = 2, OffCalendar = 3 };
    enum class Saved {
        Done,
        YearNotInitialized, // nothing written, the operator told
        Conflict,           // the room and time are taken; the operator told
        Declined,           // the operator did not book over the linked room
        Refused,            // a number, room or time the save cannot take; the operator told
        Stale,              // changed elsewhere since loaded; the operator was asked to reload
        Deleted,            // deleted elsewhere; the operator told
        NotWritten,         // a database error or lock, already reported
    };
    static constexpr int CounterAttempts = 3; // lock waits before asking the operator
    static constexpr int BusyAttempts = 3;    // busy database before the lock question
    static constexpr int BusyPauseMs = 250;

    explicit EventRecord(Module &module, QObject *parent = nullptr);

    // Fills the boxes from the event with that number; false (and nothing
    // changed) when there is no such event.
    bool LoadEvent(int number);
    // The next event number from "evntsched.dat", never one already used;
    // writes "Event#<n> opened". 0 when the operator gave up waiting for the
    // file (he was told why it could not be written), or when the numbers
    // have reached the highest an event number can be (he was told so, and
    // nothing was written).
    int NextEventNumber();
    // Saves the boxes. A new event that is a clone (CloneSource) gets a copy
    // of its source's items and joins its package in the same transaction,
    // as its CloneCopies say; the change log names what it left out.
    Saved SaveEvent(int mode);
    // The cautions a save would ask about (a linked room booked, the room
    // being set or cleared) are taken as answered Yes while this is set: a
    // repeat's copies, whose cautions the operator saw before saving them.
    bool cautionsAccepted = false;
    void ClearEvent();

    // The operator is told that another workstation changed the event since
    // this one loaded it, and who; true when he wants it loaded afresh.
    bool askReloadStale(int number, const EventChanges::Stamp &stamp);
    // ... or deleted it.
    void tellDeleted(int number, const EventChanges::Stamp &stamp);
    // The fields that take a number: set for, guarantee, room, account and
    // deposit.
    static bool isNumberField(EventField field);
    // What a number field takes: what its column holds, not below 0, and an
    // account up to 99999.99.
    static TypedNumber::Bounds numberFieldBounds(EventField field);
    // A number field's text read whole within those bounds. "New" in the
    // account asks for a new account and reads as empty. `member` names the
    // account "Member #".
    static TypedNumber readNumberField(EventField field, const QString &text, bool member = false);
    // Reads a number field of the current event. A number is written back as
    // the program writes it ("1,500" becomes 1500); a refusal is shown and
    // sets refusedField, and the field keeps what was typed. False when refused.
    bool takeNumberField(EventField field);
    // Every number field in turn, up to the first refused.
    bool takeNumberFields();

    // The field a refused save wants corrected, if any.
    std::optional<EventField> refusedField;
    // True when the calendar holds the date's year; otherwise the operator
    // is told that it has not been initialized (or why it could not be read).
    bool calendarHolds(int date);

    // A start time chosen from the start list becomes the event's start.
    void chooseStartTime(const QString &entry);
    // An end time becomes the event's end when it follows the start;
    // otherwise the operator is told and nothing changes. False when refused.
    bool chooseEndTime(const QString &entry);
    // A room chosen from the room list: the event's room and the room it is
    // linked to.
    void chooseRoom(int roomnum);

    ChangeLog changeLog;

    // What the window shows beside the boxes after a load.
    bool taxExemptShown = false;
    QString classCodeText; // "Classcode: " and the account's class
    bool showContactPanel = false;

signals:
    void loaded();
    // After a save: the help line's text, then the saved notice.
    void saved(const QString &helpText);
    void cleared();
    // A box changed by a choice from a list.
    void boxesChanged();

private:
    struct SaveRequest {
        int mode = 0;
        int number = 0;
        SlotBooking::SlotRequest booking;
        QString title;
        bool books = false;        // the cells are written
        bool acceptLinked = false; // the operator agreed to book over the linked room
        // The booking is new or moved, so the room's turnovers are checked,
        // unless the operator agreed to book into one.
        bool checkTurnovers = false;
        int cloneSource = 0; // a new clone: the event it copies
        CloneChoices copies; // ... and what it takes besides the boxes
        int seriesOf = 0;    // a repeat's copy: the original whose series it joins
        QString seriesRule;
    };
    enum class Written {
        Done,
        Conflict,
        LinkedConflict,
        Turnover,
        Stale,
        Deleted,
        SourceDeleted,
        NoDeposit
    };
    struct Outcome {
        Written written = Written::Done;
        QString clash; // the event in the way, as the operator is told of it
        EventChanges::Stamp stamp;
        int package = 0; // the package a clone joined, 0 when none
    };
    enum class Held { Yes, No, Unread };

    bool loadEvent(Database &evnt, int number);
    Result<bool> yearInitialized(Database &evnt, int date);
    // What booking into a turnover of the room would be told; empty when
    // it runs into none.
    Result<QString> turnoverCaution(Database &evnt, const SlotBooking::SlotRequest &booking);
    Result<bool> wasPurged(Database &evnt, int date);
    Held calendarHolds(Database &evnt, int date);
    Result<Outcome> writeSave(Database &evnt, const SaveRequest &request);
    Status writeRow(Database &evnt, const SaveRequest &request);
    // What the save kept as the deposit in place of the box's amount, for
    // the operator; empty when it kept the box's.
    QString m_depositKept;
    Status copyItems(Database &evnt, int source, int target);
    // A booking needs a room of the club and a start and end that are
    // quarter-hours in order; false (the operator told) otherwise.
    bool bookable(Database &evnt);
    Saved refuseConflict(const QString &clash);
    void reportShortened();
    void checkAccount();
    Result<qint64> highestEventNumber();

    Module &m_module;
};
