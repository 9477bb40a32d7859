#include "DateSiftWindow.h"

#include "ports/Clipboard.h"
#include "ports/Clock.h"
#include "storage/Databases.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

DateSiftWindow::DateSiftWindow(const Databases &databases, Clipboard &clipboard, Clock &clock,
                               QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_lookups(databases, clipboard)
    , m_calendar(new QCalendarWidget(this)) {
    setObjectName(QStringLiteral("datesift"));
    setWindowTitle(tr("Date Look-up"));

    m_calendar->setObjectName(QStringLiteral("calendar"));
    m_calendar->setGridVisible(true);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setSelectedDate(clock.today());

    auto *select = new QPushButton(tr("Select"), this);
    select->setObjectName(QStringLiteral("cmdselect"));
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("cmdclose"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(select);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_calendar, 1);
    layout->addLayout(buttons);

    // A double-click or Enter on a day chooses it; a single click only selects.
    connect(m_calendar, &QCalendarWidget::activated, this, &DateSiftWindow::choose);
    connect(select, &QPushButton::clicked, this, [this] { choose(m_calendar->selectedDate()); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}

void DateSiftWindow::choose(const QDate &date) {
    m_lookups.chooseDate(date);
    close();
}
