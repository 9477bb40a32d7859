#pragma once

#include <QString>
#include <array>

// The event the main window shows, shared by every window that works on it
// (items, contract, tasks, billing). Box n of the event window edits column
// n of eventinfo; the working copies follow the boxes as loaded and saved.
struct CurrentEvent {
    static constexpr int BoxCount = 36;
    static constexpr int Slots = 101; // room for every column a club's table may have

    // The boxes the windows' rules name.
    enum Box {
        DateBox = 0,
        TitleBox = 1,
        NumberBox = 2,
        StartBox = 3,
        EndBox = 4,
        StatusBox = 5,
        GuestsBox = 6, // "Set for"
        GuaranteeBox = 7,
        RoomBox = 8,
        MemberBox = 9,
        AccountBox = 10,
        BillingNameBox = 11, // the billing address runs to box 20
        ContactNameBox = 21, // the contact's boxes run to 30
        DepositBox = 31,
        BookedByBox = 32,
        CreatedBox = 33,
        NotesBox = 34,
        InternalNotesBox = 35,
    };
    enum StatusCode { BilledStatus = 5, CancelledStatus = 9 };

    // OffCalendar: changing an event whose status no longer holds cells.
    enum EditMode { Viewing = 0, EnteringNew = 1, Editing = 2, OffCalendar = 3 };

    std::array<QString, BoxCount> Text1;
    std::array<QString, Slots> OldValue; // each column's text as last loaded or saved
    std::array<QString, Slots> NewValue; // each box's text at the moment of saving
    std::array<int, Slots> Changed{};    // 1 where this save changed the column

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
    int EditMode = Viewing;
    // The event's change count as loaded: a save, delete or billing made
    // from this copy is refused once another workstation has raised it.
    int ChangeCount = 0;
    bool UnsavedChanges = false;
    // A clone not yet saved: the event whose items its first save copies.
    int CloneSource = 0;

    // The boxes as a save writes them: NewValue from each box, Changed where
    // it differs from OldValue (never for a new event).
    void takeNewValues(bool newEvent) {
        for (int i = 0; i < BoxCount; ++i) {
            NewValue[i] = Text1[i];
            Changed[i] = !newEvent && NewValue[i] != OldValue[i] ? 1 : 0;
        }
    }
};
