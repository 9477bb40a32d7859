#include "ItemWindowView.h"

#include "DepartmentButtonsPanel.h"
#include "WindowServices.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidget *makeGrid(const QString &name, const QStringList &headings, int description,
                       QWidget *parent) {
    auto *grid = new QTableWidget(0, int(headings.size()), parent);
    grid->setObjectName(name);
    grid->setHorizontalHeaderLabels(headings);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->setWordWrap(false);
    // The description takes the room left by the figures beside it.
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid->horizontalHeader()->setSectionResizeMode(description, QHeaderView::Stretch);
    return grid;
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

QLineEdit *readOnlyBox(const QString &name, const QString &label, QWidget *parent) {
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setAccessibleName(label);
    box->setAlignment(Qt::AlignRight);
    return box;
}

} // namespace

ItemWindowView::ItemWindowView(ItemWindow &logic, QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_logic(logic) {
    setObjectName(QStringLiteral("frmbanq1"));
    // It works on the main window's current event: that must not change
    // while it is open.
    setWindowModality(Qt::ApplicationModal);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(buildEventRow(central));
    m_departments = new DepartmentButtonRow(m_logic.buttons, central);
    layout->addWidget(m_departments);
    auto *body = new QHBoxLayout;
    body->addWidget(buildInventory(central), 4);
    body->addLayout(buildPricing(central));
    body->addWidget(buildSelected(central), 3);
    layout->addLayout(body, 1);
    layout->addLayout(buildExitRow(central));
    setCentralWidget(central);
    m_configPanel = new DepartmentButtonsPanel(m_logic.buttons, central);
    m_configPanel->setCovered(m_inventoryFrame);
    statusBar()->setObjectName(QStringLiteral("statusline"));
    buildMenus();
    connectControls();
    resize(1000, 600);
}

QLayout *ItemWindowView::buildEventRow(QWidget *parent) {
    auto *event = new QHBoxLayout;
    m_eventNumber =
        readOnlyBox(QStringLiteral("txteventnumber"), QStringLiteral("Event #"), parent);
    m_eventNumber->setMaximumWidth(90);
    m_eventName = readOnlyBox(QStringLiteral("txteventname"), QStringLiteral("Event"), parent);
    m_eventName->setAlignment(Qt::AlignLeft);
    event->addWidget(new QLabel(QStringLiteral("Event #"), parent));
    event->addWidget(m_eventNumber);
    event->addWidget(m_eventName, 1);
    return event;
}

QWidget *ItemWindowView::buildInventory(QWidget *parent) {
    m_inventoryFrame = new QGroupBox(parent);
    m_inventoryFrame->setObjectName(QStringLiteral("itemframe"));
    auto *inventory = new QVBoxLayout(m_inventoryFrame);
    m_inventory = makeGrid(QStringLiteral("itemgrid"),
                           {QStringLiteral("Item Description"), QStringLiteral("Cost"),
                            QStringLiteral("Retail"), QStringLiteral("Alt Retail"),
                            QStringLiteral("itemnumber")},
                           0, m_inventoryFrame);
    m_inventory->setAccessibleName(QStringLiteral("Inventory items"));
    inventory->addWidget(m_inventory);
    return m_inventoryFrame;
}

// The quantity, the price level and the add, remove and clear buttons
// between the two lists.
QLayout *ItemWindowView::buildPricing(QWidget *parent) {
    auto *moves = new QVBoxLayout;
    m_quantity = new QLineEdit(parent);
    m_quantity->setObjectName(QStringLiteral("txtqty"));
    m_quantity->setAccessibleName(QStringLiteral("Quantity"));
    m_quantity->installEventFilter(this);
    m_priceLevels[0] = new QRadioButton(QStringLiteral("Retail"), parent);
    m_priceLevels[1] = new QRadioButton(QStringLiteral("Alt Retail"), parent);
    m_freeForm = new QCheckBox(QStringLiteral("FreeForm $$"), parent);
    m_freeForm->setObjectName(QStringLiteral("chkfreeform"));
    m_noServiceCharge = new QCheckBox(QStringLiteral("No S/C"), parent);
    m_noServiceCharge->setObjectName(QStringLiteral("chkscbypass"));
    moves->addWidget(m_quantity);
    for (int i = 0; i < 2; ++i) {
        m_priceLevels[i]->setObjectName(QStringLiteral("optprice(%1)").arg(i));
        moves->addWidget(m_priceLevels[i]);
        connect(m_priceLevels[i], &QRadioButton::clicked, this,
                [this, i] { m_logic.choosePriceLevel(i); });
    }
    moves->addWidget(m_freeForm);
    moves->addWidget(m_noServiceCharge);
    const std::pair<int, const char *> commands[] = {{ItemWindow::AddMove, "Add -->"},
                                                     {ItemWindow::RemoveMove, "<-- Remove"},
                                                     {ItemWindow::ClearMove, "Clear"}};
    for (const auto &[index, caption] : commands) {
        auto *button = new QPushButton(QString::fromLatin1(caption), parent);
        button->setObjectName(QStringLiteral("cmdmove(%1)").arg(index));
        connect(button, &QPushButton::clicked, this,
                [this, index = index] { m_logic.moveItem(index); });
        m_moveButtons[index] = button;
        moves->addWidget(button);
    }
    moves->addStretch(1);
    return moves;
}

QWidget *ItemWindowView::buildSelected(QWidget *parent) {
    auto *selected = new QGroupBox(QStringLiteral("Selected Items"), parent);
    auto *selectedLayout = new QVBoxLayout(selected);
    m_eventItems = makeGrid(
        QStringLiteral("grid1"),
        {QStringLiteral("Dept"), QStringLiteral("Description"), QStringLiteral("Ext Price")}, 1,
        selected);
    m_eventItems->setAccessibleName(QStringLiteral("Selected Items"));
    selectedLayout->addWidget(m_eventItems);
    selectedLayout->addWidget(buildTotals());
    return selected;
}

QLayout *ItemWindowView::buildExitRow(QWidget *parent) {
    auto *exit = new QPushButton(QStringLiteral("E&xit"), parent);
    exit->setObjectName(QStringLiteral("cmdexit"));
    connect(exit, &QPushButton::clicked, &m_logic, &ItemWindow::exitWindow);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(exit);
    return bottom;
}

void ItemWindowView::connectControls() {
    connect(m_inventory, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_refreshing)
            m_logic.selectInventoryRow(row);
    });
    connect(m_inventory, &QTableWidget::cellDoubleClicked, this,
            [this](int row) { m_logic.addInventoryRow(row); });
    connect(m_eventItems, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_refreshing)
            m_logic.selectEventItemRow(row);
    });
    connect(m_quantity, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_logic.setQuantityText(text); });
    connect(m_freeForm, &QCheckBox::clicked, &m_logic, &ItemWindow::setFreeFormPrice);
    connect(m_noServiceCharge, &QCheckBox::clicked, &m_logic, &ItemWindow::setServiceChargeBypass);
    connect(&m_logic, &ItemWindow::changed, this, &ItemWindowView::refresh);
    // A button renamed in its panel renames its department in the list.
    connect(&m_logic.buttons, &DepartmentButtons::changed, this, &ItemWindowView::fillSelected);
}

QWidget *ItemWindowView::buildTotals() {
    auto *totals = new QWidget(this);
    auto *grid = new QGridLayout(totals);
    const char *const labels[] = {"SubTotal", "S/C", "Tax", "Total $"};
    for (int i = 0; i < 4; ++i) {
        m_totals[i] = readOnlyBox(QStringLiteral("txtsub(%1)").arg(i),
                                  QString::fromLatin1(labels[i]), totals);
        auto *label = new QLabel(QString::fromLatin1(labels[i]), totals);
        label->setBuddy(m_totals[i]);
        grid->addWidget(label, i, 0, Qt::AlignRight);
        grid->addWidget(m_totals[i], i, 1);
    }
    m_perPerson =
        readOnlyBox(QStringLiteral("txtperperson"), QStringLiteral("Per Person $"), totals);
    auto *perPerson = new QLabel(QStringLiteral("Per Person $"), totals);
    perPerson->setBuddy(m_perPerson);
    grid->addWidget(perPerson, 4, 0, Qt::AlignRight);
    grid->addWidget(m_perPerson, 4, 1);
    return totals;
}

void ItemWindowView::buildMenus() {
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(file->addAction(QStringLiteral("Printer setup")), &QAction::triggered, &m_logic,
            &ItemWindow::printerSetup);
    connect(file->addAction(QStringLiteral("Adjust Print Margins")), &QAction::triggered, &m_logic,
            &ItemWindow::adjustPrintMargins);
    QAction *configure = file->addAction(m_logic.buttons.menuCaption);
    configure->setObjectName(QStringLiteral("mnuconfigbuttons"));
    connect(configure, &QAction::triggered, this, [this] { m_logic.buttons.openPanel(); });
    m_showCost = file->addAction(QStringLiteral("Show Item Cost"));
    m_showCost->setObjectName(QStringLiteral("mnushowcost"));
    m_showCost->setCheckable(true);
    connect(m_showCost, &QAction::triggered, this, [this] { m_logic.toggleCostColumn(); });
    file->addSeparator();
    connect(file->addAction(QStringLiteral("E&xit")), &QAction::triggered, &m_logic,
            &ItemWindow::exitWindow);
    connect(menuBar()->addAction(QStringLiteral("&Info")), &QAction::triggered, &m_logic,
            &ItemWindow::showInfo);
    connect(menuBar()->addAction(QStringLiteral("&Help")), &QAction::triggered, &m_logic,
            &ItemWindow::showHelp);
}

void ItemWindowView::showForCurrentEvent() {
    if (!m_logic.open())
        return;
    ShowOnTop(this);
}

void ItemWindowView::refresh() {
    m_refreshing = true;
    setWindowTitle(m_logic.caption);
    m_eventNumber->setText(m_logic.eventNumberText);
    m_eventName->setText(m_logic.eventNameText);
    m_inventoryFrame->setTitle(m_logic.inventoryCaption);
    fillInventory();
    fillSelected();
    if (m_quantity->text() != m_logic.quantityText)
        m_quantity->setText(m_logic.quantityText);
    m_priceLevels[m_logic.priceLevel]->setChecked(true);
    m_freeForm->setChecked(m_logic.freeFormPrice);
    m_noServiceCharge->setChecked(m_logic.bypassServiceCharge);
    for (int i = 0; i < 7; ++i)
        if (m_moveButtons[i])
            m_moveButtons[i]->setEnabled(m_logic.moveEnabled[i]);
    for (int i = 0; i < 4; ++i)
        m_totals[i]->setText(m_logic.totalTexts[i]);
    m_perPerson->setText(m_logic.perPersonText);
    m_showCost->setChecked(m_logic.costColumnVisible);
    m_inventory->setColumnHidden(1, !m_logic.costColumnVisible);
    statusBar()->showMessage(m_logic.statusText);
    if (!m_logic.visible && isVisible())
        hide();
    m_refreshing = false;
}

void ItemWindowView::fillInventory() {
    m_inventory->setRowCount(int(m_logic.inventory.size()));
    for (int row = 0; row < m_logic.inventory.size(); ++row) {
        const ItemWindow::InventoryItem &item = m_logic.inventory[row];
        m_inventory->setItem(row, 0, cell(item.description));
        m_inventory->setItem(row, 1, cell(ItemWindow::money(item.unitcost), Qt::AlignRight));
        m_inventory->setItem(row, 2, cell(ItemWindow::money(item.retail), Qt::AlignRight));
        m_inventory->setItem(row, 3, cell(ItemWindow::money(item.altretail), Qt::AlignRight));
        m_inventory->setItem(row, 4, cell(item.itemnumber.toString(), Qt::AlignRight));
    }
    if (m_logic.inventoryRow >= 0)
        m_inventory->setCurrentCell(m_logic.inventoryRow, 0);
}

void ItemWindowView::fillSelected() {
    m_eventItems->setRowCount(int(m_logic.eventItems.size()));
    for (int row = 0; row < m_logic.eventItems.size(); ++row) {
        const ItemWindow::EventItem &item = m_logic.eventItems[row];
        m_eventItems->setItem(row, 0, cell(m_logic.buttons.departmentName(item.dept())));
        m_eventItems->setItem(row, 1, cell(item.itemdesc()));
        m_eventItems->setItem(row, 2, cell(item.price().formatted(), Qt::AlignRight));
    }
    if (m_logic.eventItemRow >= 0)
        m_eventItems->setCurrentCell(m_logic.eventItemRow, 0);
}

bool ItemWindowView::eventFilter(QObject *watched, QEvent *event) {
    // Clicking the quantity box empties its "Qty" hint.
    if (watched == m_quantity && event->type() == QEvent::MouseButtonPress)
        m_logic.clearQuantityHint();
    return QMainWindow::eventFilter(watched, event);
}

void ItemWindowView::closeEvent(QCloseEvent *event) {
    if (m_logic.visible)
        m_logic.exitWindow();
    event->accept();
}
