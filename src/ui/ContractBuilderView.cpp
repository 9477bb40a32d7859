#include "ContractBuilderView.h"

#include "WindowServices.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

QLineEdit *readOnlyBox(const QString &name, const QString &label, QWidget *parent) {
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setAccessibleName(label);
    return box;
}

QListWidget *makeList(const QString &name, const QString &label, QWidget *parent) {
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(label);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

} // namespace

ContractBuilderView::ContractBuilderView(ContractBuilder &logic, QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_logic(logic) {
    setObjectName(QStringLiteral("frmbanq2"));
    // It merges the main window's current event: that must not change
    // while it is open.
    setWindowModality(Qt::ApplicationModal);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(buildContractRow(central));
    layout->addWidget(buildLists(central), 2);
    layout->addWidget(buildViewer(central), 3);
    layout->addLayout(buildExitRow(central));
    setCentralWidget(central);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("statusline"));
    statusBar()->addWidget(m_status, 1);
    buildMenus();
    connectControls();
    ResizeWithinScreen(this, QSize(900, 700));
}

// The contract list and the event the contract is for.
QLayout *ContractBuilderView::buildContractRow(QWidget *parent) {
    auto *top = new QHBoxLayout;
    m_contracts = new QComboBox(parent);
    m_contracts->setObjectName(QStringLiteral("cbocontract"));
    m_contracts->setAccessibleName(QStringLiteral("Contract"));
    m_eventNumber =
        readOnlyBox(QStringLiteral("txteventnumber"), QStringLiteral("Event #"), parent);
    m_eventNumber->setMaximumWidth(90);
    m_eventName = readOnlyBox(QStringLiteral("txteventname"), QStringLiteral("Event"), parent);
    auto *contractLabel = new QLabel(QStringLiteral("&Contract"), parent);
    contractLabel->setBuddy(m_contracts);
    top->addWidget(contractLabel);
    top->addWidget(m_contracts, 2);
    top->addWidget(new QLabel(QStringLiteral("Event #"), parent));
    top->addWidget(m_eventNumber);
    top->addWidget(m_eventName, 2);
    return top;
}

QWidget *ContractBuilderView::buildViewer(QWidget *parent) {
    auto *viewer = new QGroupBox(QStringLiteral("Contract Viewer"), parent);
    auto *viewerLayout = new QVBoxLayout(viewer);
    m_viewer = new QPlainTextEdit(viewer);
    m_viewer->setObjectName(QStringLiteral("Text1"));
    m_viewer->setAccessibleName(QStringLiteral("Contract Viewer"));
    m_viewer->setReadOnly(true);
    viewerLayout->addWidget(m_viewer);
    return viewer;
}

// Closed as the other windows close: "Exit" or Escape.
QLayout *ContractBuilderView::buildExitRow(QWidget *parent) {
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto *exit = new QPushButton(QStringLiteral("E&xit"), parent);
    exit->setObjectName(QStringLiteral("cmdexit"));
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    bottom->addWidget(exit);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    return bottom;
}

void ContractBuilderView::connectControls() {
    connect(m_contracts, &QComboBox::activated, &m_logic, &ContractBuilder::chooseContractEntry);
    connect(m_componentFiles, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_refreshing)
            m_logic.selectComponentFile(row);
    });
    connect(m_componentFiles, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        m_logic.addComponentFile(m_componentFiles->row(item));
    });
    connect(m_components, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_refreshing)
            m_logic.selectComponent(row);
    });
    connect(&m_logic, &ContractBuilder::changed, this, &ContractBuilderView::refresh);
}

QWidget *ContractBuilderView::buildLists(QWidget *parent) {
    auto *lists = new QWidget(parent);
    auto *layout = new QHBoxLayout(lists);
    auto *available =
        new QGroupBox(QStringLiteral("Available Contract Components (cb*.txt)"), lists);
    auto *availableLayout = new QVBoxLayout(available);
    m_componentFiles = makeList(QStringLiteral("File1"),
                                QStringLiteral("Available Contract Components"), available);
    availableLayout->addWidget(m_componentFiles);
    layout->addWidget(available, 2);

    auto *moves = new QVBoxLayout;
    // Each with its own Alt+letter in the window, beside &Contract, E&xit and
    // the menus &File, &Reports, &Info and &Help.
    const char *const captions[] = {"Move &UP",
                                    "Move &DOWN",
                                    "&Add Component",
                                    "Re&move Component",
                                    "Reload/Refresh &View",
                                    "&Save Components",
                                    "C&lear"};
    for (int i = 0; i < ContractBuilder::MoveCount; ++i) {
        auto *button = new QPushButton(QString::fromLatin1(captions[i]), lists);
        button->setObjectName(QStringLiteral("cmdmove(%1)").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] { m_logic.moveComponent(i); });
        m_moveButtons[i] = button;
        moves->addWidget(button);
    }
    moves->addStretch(1);
    layout->addLayout(moves);

    auto *inUse = new QGroupBox(QStringLiteral("Components in use"), lists);
    auto *inUseLayout = new QVBoxLayout(inUse);
    m_components = makeList(QStringLiteral("List1"), QStringLiteral("Components in use"), inUse);
    inUseLayout->addWidget(m_components);
    layout->addWidget(inUse, 2);
    return lists;
}

void ContractBuilderView::buildMenus() {
    const auto command = [this](QMenu *menu, const QString &name, const QString &caption,
                                auto slot) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, &m_logic, slot);
        return action;
    };
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    command(file, QStringLiteral("mnuprintersetup"), QStringLiteral("&Printer setup"),
            &ContractBuilder::printerSetup);
    command(file, QStringLiteral("mnumargins"), QStringLiteral("Adjust Print &Margins"),
            &ContractBuilder::adjustPrintMargins);
    m_allTextFiles =
        command(file, QStringLiteral("mnutextfiles"), QStringLiteral("&Use all *.txt files"),
                &ContractBuilder::toggleAllTextFiles);
    m_allTextFiles->setCheckable(true);
    command(file, QStringLiteral("mnuchangedesc"), QStringLiteral("C&hange contract description"),
            &ContractBuilder::changeDescription);
    file->addSeparator();
    QAction *exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("mnuexit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu *reports = menuBar()->addMenu(QStringLiteral("&Reports"));
    reports->setObjectName(QStringLiteral("mnuprinting"));
    command(reports, QStringLiteral("mnucontractlist"), QStringLiteral("&Contracts List"),
            &ContractBuilder::printContractList);
    command(reports, QStringLiteral("mnucomponents"), QStringLiteral("C&omponents List"),
            &ContractBuilder::printComponentList);
    const auto layoutCommand = [this](QMenu *menu, const QString &name, const QString &caption,
                                      ContractBuilder::Layout layout) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this,
                [this, layout] { m_logic.printContract(layout); });
    };
    QMenu *standard = reports->addMenu(QStringLiteral("&Standard Layout"));
    layoutCommand(standard, QStringLiteral("mnustandard"), QStringLiteral("&Standard Heading"),
                  ContractBuilder::StandardLayout);
    layoutCommand(standard, QStringLiteral("mnustandardwindow"),
                  QStringLiteral("&Window Envelope Style"), ContractBuilder::StandardWindow);
    QMenu *letterhead = reports->addMenu(QStringLiteral("&Letterhead Layout"));
    layoutCommand(letterhead, QStringLiteral("mnuletterhead"), QStringLiteral("&Standard Heading"),
                  ContractBuilder::LetterheadLayout);
    layoutCommand(letterhead, QStringLiteral("mnuletterheadwindow"),
                  QStringLiteral("&Window Envelope Style"), ContractBuilder::LetterheadWindow);
    layoutCommand(reports, QStringLiteral("mnuuserdefined"),
                  QStringLiteral("&User defined/designed"), ContractBuilder::UserDefinedLayout);

    QAction *info = menuBar()->addAction(QStringLiteral("&Info"));
    info->setObjectName(QStringLiteral("mnuinfo"));
    connect(info, &QAction::triggered, &m_logic, &ContractBuilder::showInfo);
    QAction *help = menuBar()->addAction(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuhelp"));
    connect(help, &QAction::triggered, &m_logic, &ContractBuilder::showHelp);
}

void ContractBuilderView::showForCurrentEvent() {
    if (!m_logic.open())
        return;
    m_onTop = true;
    ShowOnTop(this);
}

void ContractBuilderView::fillList(QListWidget *list, const QStringList &entries, int current) {
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->item(i)->text();
    if (shown != entries) {
        list->clear();
        list->addItems(entries);
    }
    list->setCurrentRow(current);
}

void ContractBuilderView::refresh() {
    m_refreshing = true;
    setWindowTitle(m_logic.caption);
    m_eventNumber->setText(m_logic.eventNumberText);
    m_eventName->setText(m_logic.eventNameText);
    QStringList entries;
    for (int i = 0; i < m_contracts->count(); ++i)
        entries << m_contracts->itemText(i);
    if (entries != m_logic.contractEntries) {
        m_contracts->clear();
        m_contracts->addItems(m_logic.contractEntries);
    }
    m_contracts->setCurrentIndex(int(m_logic.contractEntries.indexOf(m_logic.chosenContract)));
    fillList(m_componentFiles, m_logic.componentFiles, m_logic.componentFileRow);
    fillList(m_components, m_logic.components, m_logic.componentRow);
    if (m_viewer->toPlainText() != m_logic.viewerText)
        m_viewer->setPlainText(m_logic.viewerText);
    for (int i = 0; i < ContractBuilder::MoveCount; ++i)
        m_moveButtons[i]->setEnabled(m_logic.moveEnabled[i]);
    m_allTextFiles->setChecked(m_logic.allTextFiles);
    QFont font = m_status->font();
    font.setBold(m_logic.statusBold);
    m_status->setFont(font);
    m_status->setText(m_logic.statusText);
    if (m_onTop != m_logic.keptOnTop) {
        m_onTop = m_logic.keptOnTop;
        SetTopmost(this, m_onTop);
    }
    if (!m_logic.visible && isVisible()) {
        hide();
        emit closed();
    }
    m_refreshing = false;
}

void ContractBuilderView::closeEvent(QCloseEvent *event) {
    if (m_logic.visible)
        m_logic.exitWindow();
    event->accept();
}
