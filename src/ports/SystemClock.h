#pragma once

#include "Clock.h"

// The real clock; pause() runs the event loop so windows keep painting.
class SystemClock final : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    void pause(int milliseconds) override;
};
