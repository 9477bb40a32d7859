#include "OrderTables.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace OrderTables {

QTableWidget *setUp(QTableWidget *table, const QString &name, const QString &label,
                    const QStringList &headings, int stretched) {
    table->setObjectName(name);
    table->setAccessibleName(label);
    table->setColumnCount(int(headings.size()));
    table->setHorizontalHeaderLabels(headings);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    // Rows as close as the text allows: more lines in sight at 1366x768.
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    table->setWordWrap(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(stretched, QHeaderView::Stretch);
    return table;
}

void setCellText(QTableWidget *table, int row, int column, const QString &text, Qt::ItemFlags flags,
                 Qt::Alignment alignment) {
    QTableWidgetItem *item = table->item(row, column);
    if (!item) {
        // Its text set even when empty: an editor closed on it unchanged
        // then changes nothing.
        item = new QTableWidgetItem(text);
        item->setTextAlignment(alignment | Qt::AlignVCenter);
        table->setItem(row, column, item);
    } else if (item->text() != text) {
        item->setText(text);
    }
    if (item->flags() != flags)
        item->setFlags(flags);
}

QAbstractItemView::EditTriggers typingTriggers(bool editable) {
    if (!editable)
        return QAbstractItemView::NoEditTriggers;
    return QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
           QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;
}

} // namespace OrderTables

OrderLinesTable::OrderLinesTable(const QString &name, const QString &label,
                                 const QStringList &headings, QWidget *parent)
    : QTableWidget(parent) {
    OrderTables::setUp(this, name, label, headings, 1);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (edited)
            edited(item->row(), textAt(item->row(), 0), textAt(item->row(), 1));
    });
}

QSize OrderLinesTable::sizeHint() const {
    return QSize(QTableWidget::sizeHint().width(), rowsHeight(4));
}

QSize OrderLinesTable::minimumSizeHint() const {
    return QSize(QTableWidget::minimumSizeHint().width(), rowsHeight(2));
}

void OrderLinesTable::showLines(const QList<EventOrderWindow::Line> &lines, bool editable,
                                Qt::Alignment secondAlignment) {
    const QSignalBlocker quiet(this);
    m_lines = int(lines.size());
    setRowCount(m_lines + (editable ? 1 : 0));
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable |
                                (editable ? Qt::ItemIsEditable : Qt::NoItemFlags);
    for (int row = 0; row < rowCount(); ++row) {
        const EventOrderWindow::Line line = row < m_lines ? lines[row] : EventOrderWindow::Line{};
        OrderTables::setCellText(this, row, 0, line.first, flags);
        OrderTables::setCellText(this, row, 1, line.second, flags, secondAlignment);
    }
    setEditTriggers(OrderTables::typingTriggers(editable));
}

int OrderLinesTable::chosenLine() const {
    const int row = currentRow();
    return row >= 0 && row < m_lines ? row : -1;
}

// Tab after the last cell, or Shift+Tab before the first, leaves the list.
bool OrderLinesTable::focusNextPrevChild(bool next) {
    if (next ? atLast() : atFirst())
        return QWidget::focusNextPrevChild(next);
    return QTableWidget::focusNextPrevChild(next);
}

// The same from a cell being typed in, once what was typed is handed on
// (which may add a row after it).
void OrderLinesTable::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) {
    const bool leaving = (hint == QAbstractItemDelegate::EditNextItem && atLast()) ||
                         (hint == QAbstractItemDelegate::EditPreviousItem && atFirst());
    QTableWidget::closeEditor(editor, leaving ? QAbstractItemDelegate::NoHint : hint);
    if (leaving)
        QWidget::focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
}

void OrderLinesTable::focusInEvent(QFocusEvent *event) {
    // Tabbed into: on the new row, ready for a line; backwards: at the end.
    if (event->reason() == Qt::TabFocusReason && rowCount() > 0)
        setCurrentCell(rowCount() - 1, 0);
    else if (event->reason() == Qt::BacktabFocusReason && rowCount() > 0)
        setCurrentCell(rowCount() - 1, 1);
    QTableWidget::focusInEvent(event);
}

void OrderLinesTable::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Delete && state() != EditingState && chosenLine() >= 0 && removed) {
        removed(chosenLine());
        return;
    }
    QTableWidget::keyPressEvent(event);
}

int OrderLinesTable::rowsHeight(int rows) const {
    return horizontalHeader()->sizeHint().height() + verticalHeader()->defaultSectionSize() * rows +
           2 * frameWidth();
}

bool OrderLinesTable::atLast() const {
    return currentRow() == rowCount() - 1 && currentColumn() == columnCount() - 1;
}

bool OrderLinesTable::atFirst() const {
    return currentRow() <= 0 && currentColumn() <= 0;
}

QString OrderLinesTable::textAt(int row, int column) const {
    const QTableWidgetItem *cell = item(row, column);
    return cell ? cell->text() : QString();
}

CourseDelegate::CourseDelegate(const QStringList &courses, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_courses(courses) {}

QWidget *CourseDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                      const QModelIndex &) const {
    auto *box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("cbocourse"));
    box->setAccessibleName(QStringLiteral("Course"));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(m_courses);
    box->lineEdit()->setMaxLength(EventOrder::CourseLength);
    // A course picked from the list counts at once.
    connect(box, &QComboBox::activated, this,
            [this, box] { emit const_cast<CourseDelegate *>(this)->commitData(box); });
    return box;
}

void CourseDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const {
    auto *box = static_cast<QComboBox *>(editor);
    box->setEditText(index.data().toString());
    box->lineEdit()->selectAll();
}

void CourseDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                  const QModelIndex &index) const {
    model->setData(index, static_cast<QComboBox *>(editor)->currentText().trimmed());
}
