#pragma once

#include "values/Result.h"

#include <QObject>

class Module;

// "Initialize New Year": creates the reservation table's quarter-hour rows
// for every day of a year. A year may be run again to fill in what is
// missing (after an interrupted run or a purge); no slot is ever created
// twice.
class YearSetup : public QObject {
    Q_OBJECT

public:
    static constexpr int FirstYear = 2007;
    static constexpr int LastYear = 2099;
    static constexpr int SlotsPerDay = 96;

    explicit YearSetup(Module &module, QObject *parent = nullptr);

    // The File menu command.
    void InitializeYear();
    // Adds every missing slot of the year, one transaction per month, so an
    // interruption leaves whole months. The window gets its events between
    // months only. Returns the rows added, or the error
    // that stopped it (the months before it stay).
    Result<int> fillYear(int year);

    static QString slotTime(int slot); // 0 -> "00:00", 95 -> "23:45"

signals:
    void status(const QString &text); // the main window's help line
    void calendarRequested();         // redisplay the calendar
    void runningChanged(bool running);

private:
    // True when the year has a row on 1 January.
    Result<bool> yearStarted(int year);

    Module &m_module;
};
