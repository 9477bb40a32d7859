#pragma once

#include "calendar/MonthSheet.h"

#include <QPlainTextEdit>

// A day cell cal(i) of the month sheet: the day with its count, each event
// on a band of its status's colour, and "+N more". Every line stays one
// line, cut with "..." at the cell's edge, so a narrow cell never breaks
// the count or a title over two lines; the tooltip has the lines whole.
class DayCellBox final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit DayCellBox(QWidget *parent = nullptr);

    void setDay(const DayCell &day);

protected:
    // The lines are cut again whenever the cell's width changes.
    bool viewportEvent(QEvent *event) override;

private:
    void redraw();

    DayCell m_day;
    int m_drawnWidth = -1;
};
