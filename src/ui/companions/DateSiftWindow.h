#pragma once

#include "foundation/Lookups.h"

#include <QWidget>

class Module;
class QCalendarWidget;

// datesift: a calendar; the chosen date goes to the clipboard as YYYYMMDD.
class DateSiftWindow final : public QWidget {
    Q_OBJECT

public:
    DateSiftWindow(Module &module, QWidget *parent = nullptr);

private:
    void choose(const QDate &date);

    Lookups m_lookups;
    QCalendarWidget *m_calendar;
};
