#pragma once

#include "orders/EventOrderWindow.h"

#include <QStyledItemDelegate>
#include <QTableWidget>
#include <functional>

// The lists of the event order window, typed in place.
namespace OrderTables {

// Named, labelled, one line per row with the `stretched` column taking the
// room left.
QTableWidget *setUp(QTableWidget *table, const QString &name, const QString &label,
                    const QStringList &headings, int stretched);
// The cell's text and flags, changing only what differs, so that drawing
// again disturbs no cell being typed in.
void setCellText(QTableWidget *table, int row, int column, const QString &text, Qt::ItemFlags flags,
                 Qt::Alignment alignment = Qt::AlignLeft);
// A cell is typed in by typing, F2 or a click; none when the order is read only.
QAbstractItemView::EditTriggers typingTriggers(bool editable);

} // namespace OrderTables

// A two-column list of lines typed in place (the timeline, the dietary
// counts), with an empty row after the last for a new line. Tab goes from
// cell to cell and on out of the list after the last one; Delete removes
// the chosen line.
class OrderLinesTable final : public QTableWidget {
public:
    OrderLinesTable(const QString &name, const QString &label, const QStringList &headings,
                    QWidget *parent);

    // Room for a few lines; the two lists share what the column has left.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Shows the lines, with the row for a new one when they can be edited.
    void showLines(const QList<EventOrderWindow::Line> &lines, bool editable,
                   Qt::Alignment secondAlignment);
    // The chosen line; -1 on the new row or with none chosen.
    int chosenLine() const;

    std::function<void(int row, const QString &first, const QString &second)> edited;
    std::function<void(int row)> removed;

protected:
    bool focusNextPrevChild(bool next) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int rowsHeight(int rows) const;
    bool atLast() const;
    bool atFirst() const;
    QString textAt(int row, int column) const;

    int m_lines = 0;
};

// The course of a menu line, typed in an editable list of the club's
// courses (cbocourse): one of them, or a text of the club's own.
class CourseDelegate final : public QStyledItemDelegate {
public:
    CourseDelegate(const QStringList &courses, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

private:
    const QStringList &m_courses;
};
