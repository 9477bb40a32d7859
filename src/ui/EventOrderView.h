#pragma once

#include "orders/EventOrderWindow.h"

#include <QHash>
#include <QMainWindow>

class OrderLinesTable;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QPushButton;
class QTableWidget;

// frmorder, the event order: the set-up, the timeline, the dietary counts,
// the menu by course and the service notes of the main window's event on
// one page, with saving, issuing and printing below. A window of its own,
// kept above the main window while it is open.
class EventOrderView final : public QMainWindow {
    Q_OBJECT

public:
    EventOrderView(EventOrderWindow &logic, QWidget *parent);

    // Opens for the current event (the main window's "Event Order").
    void showForCurrentEvent();

public slots:
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLayout *buildHeading(QWidget *parent);
    QGroupBox *buildSetup(QWidget *parent);
    QGroupBox *buildTimeline(QWidget *parent);
    QGroupBox *buildDietary(QWidget *parent);
    QGroupBox *buildMenu(QWidget *parent);
    QGroupBox *buildService(QWidget *parent);
    QLayout *buildButtons(QWidget *parent);
    // The field's box, in m_boxes; returns its label, whose buddy it is.
    QLabel *makeBox(OrderField field, QWidget *parent);
    void connectControls();
    // A group's Alt+letter leads to its first control, wherever the
    // keyboard last was inside it.
    void leadInto(QGroupBox *group, QWidget *first);
    void fillBoxes();
    void fillItems();
    // The text in a table's open editor is handed on before a command
    // reads the order (a shortcut or a mnemonic leaves the focus in it).
    void commitTyping();

    EventOrderWindow &m_logic;
    QLabel *m_caption = nullptr;
    QLabel *m_summary = nullptr;
    QLabel *m_revision = nullptr;
    QLabel *m_caution = nullptr;
    QLabel *m_status = nullptr;
    EnumArray<OrderField, QWidget *, OrderFieldCount> m_boxes{};
    QComboBox *m_style = nullptr;
    OrderLinesTable *m_timeline = nullptr;
    OrderLinesTable *m_dietary = nullptr;
    QTableWidget *m_items = nullptr;
    QPushButton *m_removeTimeline = nullptr;
    QPushButton *m_removeDietary = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_issue = nullptr;
    QHash<QObject *, QWidget *> m_groupLeads;
    bool m_refreshing = false;
};
