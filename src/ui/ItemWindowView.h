#pragma once

#include "items/ItemWindow.h"

#include <QMainWindow>
#include <array>

class DepartmentButtonRow;
class DepartmentButtonsPanel;
class QAction;
class QCheckBox;
class QGroupBox;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QWidget;

// frmbanq1, the event items window: department buttons over the inventory
// list, the event's selected items beside it, totals below. A window of its
// own, kept above the main window while it is open.
class ItemWindowView final : public QMainWindow {
    Q_OBJECT

public:
    ItemWindowView(ItemWindow &logic, QWidget *parent);

    // Opens for the current event (the main window's "Item Detail").
    void showForCurrentEvent();

public slots:
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QLayout *buildEventRow(QWidget *parent);
    QWidget *buildInventory(QWidget *parent);
    QLayout *buildPricing(QWidget *parent);
    QWidget *buildSelected(QWidget *parent);
    QWidget *buildTotals();
    QLayout *buildExitRow(QWidget *parent);
    void buildMenus();
    void connectControls();
    void fillInventory();
    void fillSelected();

    ItemWindow &m_logic;
    DepartmentButtonRow *m_departments = nullptr;
    DepartmentButtonsPanel *m_configPanel = nullptr;
    QTableWidget *m_inventory = nullptr;
    QGroupBox *m_inventoryFrame = nullptr;
    QTableWidget *m_eventItems = nullptr;
    QLineEdit *m_quantity = nullptr;
    std::array<QRadioButton *, 2> m_priceLevels{};
    QCheckBox *m_freeForm = nullptr;
    QCheckBox *m_noServiceCharge = nullptr;
    std::array<QPushButton *, 7> m_moveButtons{};
    std::array<QLineEdit *, 4> m_totals{};
    QLineEdit *m_perPerson = nullptr;
    QLineEdit *m_eventNumber = nullptr;
    QLineEdit *m_eventName = nullptr;
    QAction *m_showCost = nullptr;
    bool m_refreshing = false;
};
