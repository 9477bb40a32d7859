#pragma once

#include "storage/Lookups.h"

#include <QWidget>

class Clipboard;
class Clock;
class Databases;
class QCalendarWidget;

// datesift: a calendar; the chosen date goes to the clipboard as YYYYMMDD.
class DateSiftWindow final : public QWidget {
    Q_OBJECT

public:
    // The calendar opens on the clock's today.
    DateSiftWindow(const Databases &databases, Clipboard &clipboard, Clock &clock,
                   QWidget *parent = nullptr);

private:
    void choose(const QDate &date);

    Lookups m_lookups;
    QCalendarWidget *m_calendar;
};
