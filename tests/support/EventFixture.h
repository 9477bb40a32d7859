#pragma once

#include "ClubFixture.h"
#include "calendar/RoomEditor.h"
#include "calendar/YearSetup.h"
#include "events/EventRecord.h"

// A club with three rooms (room 2 is part of room 1) and 2027 set up, and
// the event record over it.
class EventFixture : public ClubFixture {
protected:
    static constexpr int Year = 2027;

    void SetUp() override;
    void TearDown() override;

    // A new event through the event number and the save, as the window
    // makes one; the outcome of the save.
    EventRecord::Saved book(const QString &date, const QString &title, const QString &start,
                            const QString &end, int room, int status = 2);
    // Room n's booked cells on a date: "HH:MM event title", in time order.
    QStringList cells(int room, int date);
    int events();

    std::unique_ptr<EventRecord> record;
    int lastNumber = 0;
};
