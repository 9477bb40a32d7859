#pragma once

#include <QGroupBox>

class MainWindowLogic;
class QComboBox;
class QFrame;
class QRadioButton;
class QTableWidget;

// frareservations: the view-mode options, the time and room filters, the
// month sheet fracalendar and the reservation grid gridres laid over it.
class CalendarFrame final : public QGroupBox {
    Q_OBJECT

public:
    explicit CalendarFrame(QWidget *parent = nullptr);

    void refresh(const MainWindowLogic &logic);

private:
    QRadioButton *m_calendarView = nullptr;
    QRadioButton *m_listView = nullptr;
    QComboBox *m_time = nullptr;
    QComboBox *m_room = nullptr;
    QFrame *m_calendar = nullptr;
    QTableWidget *m_grid = nullptr;
};
