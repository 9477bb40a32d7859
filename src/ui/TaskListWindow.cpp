#include "TaskListWindow.h"

#include "TypingBoxes.h"
#include "WindowServices.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace {

std::optional<TaskList::Key> keyOf(const QKeyEvent &press) {
    switch (press.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return TaskList::Key::Enter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return TaskList::Key::Tab;
    default:
        // Keys that type nothing (arrows, Shift) only move the cursor.
        if (press.text().isEmpty())
            return std::nullopt;
        return TaskList::Key::Other;
    }
}

void describe(QWidget *control, const QString &label, const QString &hint) {
    control->setAccessibleName(label);
    control->setToolTip(hint);
    control->setAccessibleDescription(hint);
}

} // namespace

TaskListWindow::TaskListWindow(TaskList &logic, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_logic(logic) {
    setObjectName(QStringLiteral("frmtasklist"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildGrid(), 1);
    layout->addLayout(buildBoxes());
    layout->addWidget(buildDone(), 0, Qt::AlignLeft);
    layout->addLayout(buildButtons());
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("statusline"));
    m_status->setSizeGripEnabled(false);
    layout->addWidget(m_status);
    setTabOrderByBoxes();
    resize(760, 460);
    connect(&m_logic, &TaskList::changed, this, &TaskListWindow::refresh);
    refresh();
}

QWidget *TaskListWindow::buildGrid() {
    m_grid = new QTableWidget(0, TaskList::BoxCount, this);
    m_grid->setObjectName(QStringLiteral("taskgrid"));
    m_grid->setAccessibleName(m_logic.caption);
    QStringList headings;
    for (int column = 0; column < TaskList::BoxCount; ++column)
        headings << TaskList::boxLabel(column);
    m_grid->setHorizontalHeaderLabels(headings);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->horizontalHeader()->setSectionResizeMode(TaskList::TaskBox, QHeaderView::Stretch);
    m_grid->verticalHeader()->hide();
    // A click, or the arrow keys, choose a row.
    connect(m_grid, &QTableWidget::cellClicked, this, [this](int row) { m_logic.selectTask(row); });
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_refreshing && row != m_logic.currentRow)
            m_logic.selectTask(row);
    });
    return m_grid;
}

QLayout *TaskListWindow::buildBoxes() {
    auto *fields = new QGridLayout;
    const int maxLength[] = {10, TaskList::DateLength, 1, TaskList::TaskLength,
                             TaskList::StaffLength};
    for (int box = 0; box < TaskList::BoxCount; ++box) {
        auto *line = new QLineEdit(this);
        line->setObjectName(QStringLiteral("Text1(%1)").arg(box));
        line->setMaxLength(maxLength[box]);
        auto *label = new QLabel(TaskList::boxLabel(box), this);
        label->setBuddy(line);
        describe(line, TaskList::boxLabel(box), TaskList::boxHint(box));
        line->installEventFilter(this);
        connect(line, &QLineEdit::textEdited, this,
                [this, box](const QString &text) { m_logic.editBox(box, text); });
        fields->addWidget(label, 0, box);
        fields->addWidget(line, 1, box);
        m_boxes[box] = line;
    }
    m_boxes[TaskList::StaffBox]->setReadOnly(true);
    fields->setColumnStretch(TaskList::TaskBox, 1);
    return fields;
}

QWidget *TaskListWindow::buildDone() {
    m_done = new QCheckBox(QStringLiteral("Task Completed"), this);
    m_done->setObjectName(QStringLiteral("chkdone"));
    describe(m_done, m_done->text(), TaskList::doneHint());
    m_done->installEventFilter(this);
    connect(m_done, &QCheckBox::clicked, this, [this](bool checked) { m_logic.setDone(checked); });
    return m_done;
}

QLayout *TaskListWindow::buildButtons() {
    auto *buttons = new QHBoxLayout;
    m_add = makeButton(QStringLiteral("cmdadd"), QStringLiteral("Add Task"));
    m_save = makeButton(QStringLiteral("cmdsave"), QStringLiteral("Save Change"));
    m_delete = makeButton(QStringLiteral("cmddelete"), QStringLiteral("Delete Task"));
    m_print = makeButton(QStringLiteral("cmdprint"), QStringLiteral("Print List"));
    m_exit = makeButton(QStringLiteral("cmdexit"), QStringLiteral("E&xit"));
    describe(m_save, m_save->text(), TaskList::saveHint());
    m_save->installEventFilter(this);
    connect(m_add, &QPushButton::clicked, &m_logic, &TaskList::addTypedTask);
    connect(m_save, &QPushButton::clicked, &m_logic, &TaskList::saveChange);
    connect(m_delete, &QPushButton::clicked, &m_logic, &TaskList::deleteChosenTask);
    connect(m_print, &QPushButton::clicked, &m_logic, &TaskList::printTasks);
    connect(m_exit, &QPushButton::clicked, &m_logic, &TaskList::exitWindow);
    for (QPushButton *button : {m_add, m_save, m_delete, m_print, m_exit})
        buttons->addWidget(button);
    return buttons;
}

// The tab order follows the box numbers, then the check box and the buttons.
void TaskListWindow::setTabOrderByBoxes() {
    QWidget *previous = m_grid;
    for (QWidget *next : std::initializer_list<QWidget *>{m_boxes[0], m_boxes[1], m_boxes[2],
                                                          m_boxes[3], m_boxes[4], m_done, m_add,
                                                          m_save, m_delete, m_print, m_exit}) {
        setTabOrder(previous, next);
        previous = next;
    }
}

QPushButton *TaskListWindow::makeButton(const QString &name, const QString &caption) {
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return button;
}

void TaskListWindow::openByEventNumber() {
    m_logic.openByEventNumber();
}

void TaskListWindow::openByDate() {
    m_logic.openByDate();
}

bool TaskListWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Enter) {
        if (watched == m_done)
            m_logic.pointAtDone();
        else if (watched == m_save)
            m_logic.pointAtSave();
    }
    const auto found = std::find(m_boxes.begin(), m_boxes.end(), watched);
    if (found == m_boxes.end())
        return QWidget::eventFilter(watched, event);
    const int box = int(found - m_boxes.begin());
    switch (event->type()) {
    case QEvent::Enter:
        m_logic.pointAtBox(box);
        break;
    case QEvent::FocusIn:
        m_logic.enterBox(box);
        break;
    case QEvent::FocusOut:
        if (TypingBoxes::movedByOperator(*static_cast<QFocusEvent *>(event)))
            m_logic.leaveBox(box);
        break;
    case QEvent::KeyPress: {
        const auto key = keyOf(*static_cast<QKeyEvent *>(event));
        if (key && !m_logic.boxKeyPress(box, *key))
            return true;
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TaskListWindow::closeEvent(QCloseEvent *event) {
    if (m_logic.visible)
        m_logic.exitWindow();
    event->accept();
}

void TaskListWindow::fillGrid() {
    const QList<TaskRow> &rows = m_logic.rows;
    bool same = m_grid->rowCount() == rows.size();
    for (int row = 0; same && row < rows.size(); ++row) {
        for (int column = 0; same && column < TaskList::BoxCount; ++column)
            same = m_grid->item(row, column) &&
                   m_grid->item(row, column)->text() == rows[row].text(column);
    }
    if (!same) {
        m_grid->clearContents();
        m_grid->setRowCount(int(rows.size()));
        for (int row = 0; row < rows.size(); ++row) {
            for (int column = 0; column < TaskList::BoxCount; ++column)
                m_grid->setItem(row, column, new QTableWidgetItem(rows[row].text(column)));
        }
    }
    if (m_grid->currentRow() != m_logic.currentRow) {
        if (m_logic.currentRow < 0)
            m_grid->setCurrentCell(-1, -1);
        else
            m_grid->selectRow(m_logic.currentRow);
    }
}

void TaskListWindow::focusRequestedBox() {
    const int box = m_logic.focusBox;
    if (box >= 0 && box < TaskList::BoxCount && m_boxes[box]->isVisible())
        m_boxes[box]->setFocus(Qt::OtherFocusReason);
}

void TaskListWindow::refresh() {
    m_refreshing = true;
    setWindowTitle(m_logic.caption);
    fillGrid();
    for (int box = 0; box < TaskList::BoxCount; ++box) {
        if (m_boxes[box]->text() != m_logic.boxes[box])
            m_boxes[box]->setText(m_logic.boxes[box]);
    }
    m_boxes[TaskList::DateBox]->setReadOnly(m_logic.dateLocked);
    m_done->setChecked(m_logic.doneChecked);
    m_add->setVisible(m_logic.addVisible);
    m_add->setEnabled(m_logic.addEnabled);
    m_save->setVisible(m_logic.saveVisible);
    m_save->setEnabled(m_logic.saveEnabled);
    m_delete->setVisible(m_logic.deleteVisible);
    if (m_status->currentMessage() != m_logic.statusText)
        m_status->showMessage(m_logic.statusText);
    m_refreshing = false;

    if (m_onTop != m_logic.keptOnTop) {
        m_onTop = m_logic.keptOnTop;
        SetTopmost(this, m_onTop);
    }
    if (m_logic.visible && !isVisible()) {
        CenterForm(this);
        show();
        raise();
        activateWindow();
    } else if (!m_logic.visible && isVisible()) {
        hide();
    }
    // The cursor moves once the event that asked for it is over.
    if (m_logic.focusBox >= 0)
        QTimer::singleShot(0, this, &TaskListWindow::focusRequestedBox);
}
