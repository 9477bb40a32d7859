#pragma once

#include <QDate>
#include <QDateTime>

// Today and now. Nothing else in the program reads the system clock, so a
// test can fix the date and move it.
class Clock {
public:
    virtual ~Clock() = default;

    virtual QDate today() const = 0;
    virtual QDateTime now() const = 0;
    // Waits while the windows stay responsive (lock retries).
    virtual void pause(int milliseconds) = 0;
};
