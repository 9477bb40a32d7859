#include "CalendarFrame.h"

#include "startup/MainWindowLogic.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

CalendarFrame::CalendarFrame(QWidget *parent)
    : QGroupBox(tr("Reservations"), parent) {
    setObjectName(QStringLiteral("frareservations"));
    auto *layout = new QVBoxLayout(this);
    auto *controls = new QHBoxLayout;
    m_calendarView = new QRadioButton(QStringLiteral("Calendar View"), this);
    m_calendarView->setObjectName(QStringLiteral("optviewmode(0)"));
    m_listView = new QRadioButton(QStringLiteral("List View"), this);
    m_listView->setObjectName(QStringLiteral("optviewmode(1)"));
    m_time = new QComboBox(this);
    m_time->setObjectName(QStringLiteral("cbotime"));
    m_room = new QComboBox(this);
    m_room->setObjectName(QStringLiteral("cboroom"));
    controls->addWidget(m_calendarView);
    controls->addWidget(m_listView);
    controls->addStretch();
    controls->addWidget(m_time);
    controls->addWidget(m_room);
    layout->addLayout(controls);

    // The month sheet and the grid share one place; the view mode picks one.
    m_calendar = new QFrame(this);
    m_calendar->setObjectName(QStringLiteral("fracalendar"));
    m_calendar->setFrameShape(QFrame::StyledPanel);
    m_calendar->setMinimumSize(560, 360);
    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("gridres"));
    m_grid->setMinimumSize(560, 360);
    layout->addWidget(m_calendar, 1);
    layout->addWidget(m_grid, 1);
}

void CalendarFrame::refresh(const MainWindowLogic &logic) {
    m_calendarView->setChecked(logic.viewMode == 0);
    m_listView->setChecked(logic.viewMode == 1);
    m_calendar->setVisible(logic.calendarVisible);
    m_grid->setVisible(logic.gridVisible);
    const auto fill = [](QComboBox *box, const ListState &state) {
        box->clear();
        box->addItems(state.entries);
        box->setCurrentIndex(int(state.entries.indexOf(state.text)));
    };
    fill(m_time, logic.cbotime);
    fill(m_room, logic.cboroom);
}
