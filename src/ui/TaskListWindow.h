#pragma once

#include "reports/TaskList.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QLayout;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTableWidget;

// frmtasklist, "Event Task List": a window of its own, centred and kept
// above the others. Its logic belongs to the main window's, so the task
// event number and the last task date are kept between uses.
class TaskListWindow final : public QWidget {
    Q_OBJECT

public:
    TaskListWindow(TaskList &logic, QWidget *parent);

    TaskList &logic() { return m_logic; }

public slots:
    // The menu commands mnutodobynumber and mnutodobydate.
    void openByEventNumber();
    void openByDate();
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildGrid();
    QLayout *buildBoxes();
    QWidget *buildDone();
    QLayout *buildButtons();
    void setTabOrderByBoxes();
    QPushButton *makeButton(const QString &name, const QString &caption);
    void fillGrid();
    void focusRequestedBox();

    TaskList &m_logic;
    QTableWidget *m_grid = nullptr;
    std::array<QLineEdit *, TaskList::BoxCount> m_boxes{};
    QCheckBox *m_done = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_exit = nullptr;
    QStatusBar *m_status = nullptr;
    bool m_onTop = false;
    bool m_refreshing = false;
};
