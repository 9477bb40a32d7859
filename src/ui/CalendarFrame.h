#pragma once

#include <QGroupBox>
#include <array>

class MonthSheet;
class DayCellBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class ReservationGridModel;
class RoomsBoardView;

// frareservations: the year and month boxes Text2(0..3) with their labels
// Label2(0..4), the buttons cmdmove(0..3), the view options optviewmode, the
// filters cbotime and cboroom with cmdrequery, the month sheet fracalendar
// (headers Label2(5..11), day cells cal(0..41)), the grid gridres and the
// rooms board fraboard. It
// draws from MonthSheet and hands every action to it.
class CalendarFrame final : public QGroupBox {
    Q_OBJECT

public:
    explicit CalendarFrame(MonthSheet &sheet, QWidget *parent = nullptr);

    DayCellBox *cell(int index) const { return m_cells[index]; }
    QTableView *grid() const { return m_grid; }
    RoomsBoardView *board() const { return m_board; }

public slots:
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLayout *buildMonthControls();
    QLayout *buildViewControls();
    QLayout *buildDateTime();
    QFrame *buildMonthSheet();
    void buildGrid();
    void refreshGrid();
    void showGrid(bool shown);
    int cellIndex(QObject *watched) const;

    MonthSheet &m_sheet;
    std::array<QLineEdit *, 4> m_dateBoxes{};
    QLabel *m_dateTimeLabel = nullptr;
    std::array<QPushButton *, 4> m_move{};
    QRadioButton *m_calendarView = nullptr;
    QRadioButton *m_listView = nullptr;
    QRadioButton *m_boardView = nullptr;
    QComboBox *m_time = nullptr;
    QComboBox *m_room = nullptr;
    QFrame *m_calendar = nullptr;
    std::array<DayCellBox *, 42> m_cells{};
    QTableView *m_grid = nullptr;
    ReservationGridModel *m_model = nullptr;
    RoomsBoardView *m_board = nullptr;
};
