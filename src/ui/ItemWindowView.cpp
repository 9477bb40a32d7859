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

    auto *event = new QHBoxLayout;
    m_txteventnumber =
        readOnlyBox(QStringLiteral("txteventnumber"), QStringLiteral("Event #"), central);
    m_txteventnumber->setMaximumWidth(90);
    m_txteventname = readOnlyBox(QStringLiteral("txteventname"), QStringLiteral("Event"), central);
    m_txteventname->setAlignment(Qt::AlignLeft);
    event->addWidget(new QLabel(QStringLiteral("Event #"), central));
    event->addWidget(m_txteventnumber);
    event->addWidget(m_txteventname, 1);
    layout->addLayout(event);

    m_departments = new DepartmentButtonRow(m_logic.buttons, central);
    layout->addWidget(m_departments);

    auto *body = new QHBoxLayout;
    m_itemframe = new QGroupBox(central);
    m_itemframe->setObjectName(QStringLiteral("itemframe"));
    auto *inventory = new QVBoxLayout(m_itemframe);
    m_itemgrid = makeGrid(QStringLiteral("itemgrid"),
                          {QStringLiteral("Item Description"), QStringLiteral("Cost"),
                           QStringLiteral("Retail"), QStringLiteral("Alt Retail"),
                           QStringLiteral("itemnumber")},
                          0, m_itemframe);
    m_itemgrid->setAccessibleName(QStringLiteral("Inventory items"));
    inventory->addWidget(m_itemgrid);
    body->addWidget(m_itemframe, 4);

    auto *moves = new QVBoxLayout;
    m_txtqty = new QLineEdit(central);
    m_txtqty->setObjectName(QStringLiteral("txtqty"));
    m_txtqty->setAccessibleName(QStringLiteral("Quantity"));
    m_txtqty->installEventFilter(this);
    m_optprice[0] = new QRadioButton(QStringLiteral("Retail"), central);
    m_optprice[1] = new QRadioButton(QStringLiteral("Alt Retail"), central);
    m_chkfreeform = new QCheckBox(QStringLiteral("FreeForm $$"), central);
    m_chkfreeform->setObjectName(QStringLiteral("chkfreeform"));
    m_chkscbypass = new QCheckBox(QStringLiteral("No S/C"), central);
    m_chkscbypass->setObjectName(QStringLiteral("chkscbypass"));
    moves->addWidget(m_txtqty);
    for (int i = 0; i < 2; ++i) {
        m_optprice[i]->setObjectName(QStringLiteral("optprice(%1)").arg(i));
        moves->addWidget(m_optprice[i]);
        connect(m_optprice[i], &QRadioButton::clicked, this,
                [this, i] { m_logic.optpriceClick(i); });
    }
    moves->addWidget(m_chkfreeform);
    moves->addWidget(m_chkscbypass);
    const std::pair<int, const char *> commands[] = {{ItemWindow::AddMove, "Add -->"},
                                                     {ItemWindow::RemoveMove, "<-- Remove"},
                                                     {ItemWindow::ClearMove, "Clear"}};
    for (const auto &[index, caption] : commands) {
        auto *button = new QPushButton(QString::fromLatin1(caption), central);
        button->setObjectName(QStringLiteral("cmdmove(%1)").arg(index));
        connect(button, &QPushButton::clicked, this,
                [this, index = index] { m_logic.cmdmoveClick(index); });
        m_cmdmove[index] = button;
        moves->addWidget(button);
    }
    moves->addStretch(1);
    body->addLayout(moves);

    auto *selected = new QGroupBox(QStringLiteral("Selected Items"), central);
    auto *selectedLayout = new QVBoxLayout(selected);
    m_grid1 = makeGrid(
        QStringLiteral("grid1"),
        {QStringLiteral("Dept"), QStringLiteral("Description"), QStringLiteral("Ext Price")}, 1,
        selected);
    m_grid1->setAccessibleName(QStringLiteral("Selected Items"));
    selectedLayout->addWidget(m_grid1);
    selectedLayout->addWidget(buildTotals());
    body->addWidget(selected, 3);
    layout->addLayout(body, 1);

    auto *exit = new QPushButton(QStringLiteral("E&xit"), central);
    exit->setObjectName(QStringLiteral("cmdexit"));
    connect(exit, &QPushButton::clicked, &m_logic, &ItemWindow::cmdexitClick);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(exit);
    layout->addLayout(bottom);
    setCentralWidget(central);
    m_configPanel = new DepartmentButtonsPanel(m_logic.buttons, central);
    m_configPanel->setCovered(m_itemframe);
    statusBar()->setObjectName(QStringLiteral("statusline"));
    buildMenus();

    connect(m_itemgrid, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_refreshing)
            m_logic.itemgridClick(row);
    });
    connect(m_itemgrid, &QTableWidget::cellDoubleClicked, this,
            [this](int row) { m_logic.itemgridDblClick(row); });
    connect(m_grid1, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_refreshing)
            m_logic.grid1Click(row);
    });
    connect(m_txtqty, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_logic.txtqtyChange(text); });
    connect(m_chkfreeform, &QCheckBox::clicked, &m_logic, &ItemWindow::chkfreeformClick);
    connect(m_chkscbypass, &QCheckBox::clicked, &m_logic, &ItemWindow::chkscbypassClick);
    connect(&m_logic, &ItemWindow::changed, this, &ItemWindowView::refresh);
    // A button renamed in its panel renames its department in the list.
    connect(&m_logic.buttons, &DepartmentButtons::changed, this, &ItemWindowView::fillSelected);
    resize(1000, 600);
}

QWidget *ItemWindowView::buildTotals() {
    auto *totals = new QWidget(this);
    auto *grid = new QGridLayout(totals);
    const char *const labels[] = {"SubTotal", "S/C", "Tax", "Total $"};
    for (int i = 0; i < 4; ++i) {
        m_txtsub[i] = readOnlyBox(QStringLiteral("txtsub(%1)").arg(i),
                                  QString::fromLatin1(labels[i]), totals);
        auto *label = new QLabel(QString::fromLatin1(labels[i]), totals);
        label->setBuddy(m_txtsub[i]);
        grid->addWidget(label, i, 0, Qt::AlignRight);
        grid->addWidget(m_txtsub[i], i, 1);
    }
    m_txtperperson =
        readOnlyBox(QStringLiteral("txtperperson"), QStringLiteral("Per Person $"), totals);
    auto *perPerson = new QLabel(QStringLiteral("Per Person $"), totals);
    perPerson->setBuddy(m_txtperperson);
    grid->addWidget(perPerson, 4, 0, Qt::AlignRight);
    grid->addWidget(m_txtperperson, 4, 1);
    return totals;
}

void ItemWindowView::buildMenus() {
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(file->addAction(QStringLiteral("Printer setup")), &QAction::triggered, &m_logic,
            &ItemWindow::mnuprintersetupClick);
    connect(file->addAction(QStringLiteral("Adjust Print Margins")), &QAction::triggered, &m_logic,
            &ItemWindow::mnumarginsClick);
    QAction *configure = file->addAction(m_logic.buttons.menuCaption);
    configure->setObjectName(QStringLiteral("mnuconfigbuttons"));
    connect(configure, &QAction::triggered, this, [this] { m_logic.buttons.openPanel(); });
    m_mnushowcost = file->addAction(QStringLiteral("Show Item Cost"));
    m_mnushowcost->setObjectName(QStringLiteral("mnushowcost"));
    m_mnushowcost->setCheckable(true);
    connect(m_mnushowcost, &QAction::triggered, this, [this] { m_logic.mnushowcostClick(); });
    file->addSeparator();
    connect(file->addAction(QStringLiteral("E&xit")), &QAction::triggered, &m_logic,
            &ItemWindow::cmdexitClick);
    connect(menuBar()->addAction(QStringLiteral("&Info")), &QAction::triggered, &m_logic,
            &ItemWindow::mnuinfoClick);
    connect(menuBar()->addAction(QStringLiteral("&Help")), &QAction::triggered, &m_logic,
            &ItemWindow::mnuhelpClick);
}

void ItemWindowView::showForCurrentEvent() {
    if (!m_logic.open())
        return;
    CenterForm(this);
    SetTopmost(this, true);
    show();
    raise();
    activateWindow();
}

void ItemWindowView::refresh() {
    m_refreshing = true;
    setWindowTitle(m_logic.caption);
    m_txteventnumber->setText(m_logic.txteventnumber);
    m_txteventname->setText(m_logic.txteventname);
    m_itemframe->setTitle(m_logic.itemgridCaption);
    fillInventory();
    fillSelected();
    if (m_txtqty->text() != m_logic.txtqty)
        m_txtqty->setText(m_logic.txtqty);
    m_optprice[m_logic.optprice]->setChecked(true);
    m_chkfreeform->setChecked(m_logic.chkfreeform);
    m_chkscbypass->setChecked(m_logic.chkscbypass);
    for (int i = 0; i < 7; ++i)
        if (m_cmdmove[i])
            m_cmdmove[i]->setEnabled(m_logic.cmdmoveEnabled[i]);
    for (int i = 0; i < 4; ++i)
        m_txtsub[i]->setText(m_logic.txtsub[i]);
    m_txtperperson->setText(m_logic.txtperperson);
    m_mnushowcost->setChecked(m_logic.costColumnVisible);
    m_itemgrid->setColumnHidden(1, !m_logic.costColumnVisible);
    statusBar()->showMessage(m_logic.statusText);
    if (!m_logic.visible && isVisible())
        hide();
    m_refreshing = false;
}

void ItemWindowView::fillInventory() {
    m_itemgrid->setRowCount(int(m_logic.inventory.size()));
    for (int row = 0; row < m_logic.inventory.size(); ++row) {
        const ItemWindow::InventoryItem &item = m_logic.inventory[row];
        m_itemgrid->setItem(row, 0, cell(item.description));
        m_itemgrid->setItem(row, 1, cell(ItemWindow::money(item.unitcost), Qt::AlignRight));
        m_itemgrid->setItem(row, 2, cell(ItemWindow::money(item.retail), Qt::AlignRight));
        m_itemgrid->setItem(row, 3, cell(ItemWindow::money(item.altretail), Qt::AlignRight));
        m_itemgrid->setItem(row, 4, cell(item.itemnumber.toString(), Qt::AlignRight));
    }
    if (m_logic.itemgridRow >= 0)
        m_itemgrid->setCurrentCell(m_logic.itemgridRow, 0);
}

void ItemWindowView::fillSelected() {
    m_grid1->setRowCount(int(m_logic.grid1.size()));
    for (int row = 0; row < m_logic.grid1.size(); ++row) {
        const ItemWindow::EventItem &item = m_logic.grid1[row];
        m_grid1->setItem(row, 0, cell(m_logic.buttons.departmentName(item.dept())));
        m_grid1->setItem(row, 1, cell(item.itemdesc()));
        m_grid1->setItem(row, 2, cell(item.price().formatted(), Qt::AlignRight));
    }
    if (m_logic.grid1Row >= 0)
        m_grid1->setCurrentCell(m_logic.grid1Row, 0);
}

bool ItemWindowView::eventFilter(QObject *watched, QEvent *event) {
    // Clicking the quantity box empties its "Qty" hint.
    if (watched == m_txtqty && event->type() == QEvent::MouseButtonPress)
        m_logic.txtqtyClick();
    return QMainWindow::eventFilter(watched, event);
}

void ItemWindowView::closeEvent(QCloseEvent *event) {
    if (m_logic.visible)
        m_logic.cmdexitClick();
    event->accept();
}
