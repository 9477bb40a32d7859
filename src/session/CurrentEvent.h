#pragma once

#include "EventField.h"

#include <QString>

// What a clone takes from its source besides the date, title, times, room,
// status and booked-by, which every clone takes: the whole event unless the
// operator left some out.
struct CloneChoices {
    bool items = true;        // its items, copied by the clone's save
    bool guests = true;       // set for and guarantee
    bool contact = true;      // member, account, billing and contact
    bool notes = true;        // notes and internal notes
    bool linkPackage = false; // joins the source's package, one it heads when in none
};

// The event the main window shows, shared by every window that works on it
// (items, contract, tasks, billing). The event window's boxes edit `fields`;
// the working copies follow the columns as loaded and saved.
struct CurrentEvent {
    enum StatusCode { BilledStatus = 5, CancelledStatus = 9 };

    // OffCalendar: changing an event whose status no longer holds cells.
    enum EditMode { Viewing = 0, EnteringNew = 1, Editing = 2, OffCalendar = 3 };

    PerEventField<QString> fields;  // the text of each field as the boxes show it
    PerEventColumn<QString> loaded; // each column's text as last loaded or saved
    PerEventColumn<QString> saving; // each field's text at the moment of saving
    PerEventColumn<int> changed;    // 1 where this save changed the column

    int EventNumber = 0;
    int Status = 0;
    int MemberFlag = 0;
    QString Title;
    int Date = 0; // YYYYMMDD
    QString StartTime;
    QString EndTime;
    int Room = 0;
    double Account = 0; // billing account number
    int LinkedRoom = 0; // the room's section or the room it is part of, 0 when none
    QString Caption;    // "title - MM/DD/YYYY"
    EditMode mode = Viewing;
    // The event's change count as loaded: a save, delete or billing made
    // from this copy is refused once another workstation has raised it.
    int ChangeCount = 0;
    bool UnsavedChanges = false;
    // A clone not yet saved: the event whose items its first save copies.
    int CloneSource = 0;
    CloneChoices CloneCopies; // and what its save takes from the source
    // A repeat's copy not yet saved: the series (its original's number) its
    // first save joins it to, with the rule in words.
    int SeriesOf = 0;
    QString SeriesRule;

    // The fields as a save writes them: `saving` from each field, `changed`
    // where it differs from `loaded` (never for a new event).
    void takeFieldsForSaving(bool newEvent) {
        for (EventField field : AllEventFields) {
            saving[field] = fields[field];
            changed[field] = !newEvent && saving[field] != loaded[field] ? 1 : 0;
        }
    }
};
