#include "DayCellBox.h"

#include "RgbColor.h"

#include <QEvent>
#include <QTextBlock>
#include <QTextCursor>

namespace {

// The text stands a little off the cell's left edge; the bands run to it.
constexpr int Indent = 2;

} // namespace

DayCellBox::DayCellBox(QWidget *parent)
    : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The day and four events with "+N more" are six lines: without the
    // document's margin they fit a cell of a 1366x768 screen with no scroll bar.
    document()->setDocumentMargin(0);
}

void DayCellBox::setDay(const DayCell &day) {
    if (day == m_day && m_drawnWidth == viewport()->width())
        return;
    m_day = day;
    QPalette colors = palette();
    colors.setColor(QPalette::Base, rgbColor(day.backColor));
    colors.setColor(QPalette::Text, rgbColor(day.foreColor));
    setPalette(colors);
    redraw();
}

bool DayCellBox::viewportEvent(QEvent *event) {
    const bool handled = QPlainTextEdit::viewportEvent(event);
    if (event->type() == QEvent::Resize && m_drawnWidth != viewport()->width())
        redraw();
    return handled;
}

void DayCellBox::redraw() {
    m_drawnWidth = viewport()->width();
    QTextDocument *document = this->document();
    const int room = qMax(0, m_drawnWidth - Indent - cursorWidth());
    document->clear();
    QTextCursor cursor(document);
    // Each line is its own block: the band of a block spans the cell.
    bool first = true;
    const auto addLine = [&](const QString &text, int fore, int back, bool bold) {
        if (!first)
            cursor.insertBlock();
        first = false;
        QTextBlockFormat block;
        block.setLeftMargin(Indent);
        if (back >= 0)
            block.setBackground(rgbColor(back));
        cursor.setBlockFormat(block);
        QFont shown = font();
        shown.setBold(bold);
        QTextCharFormat chars;
        chars.setFont(shown);
        chars.setForeground(rgbColor(fore));
        const QString cut = QFontMetrics(shown).elidedText(text, Qt::ElideRight, room);
        cursor.insertText(cut, chars);
    };
    if (!m_day.visible)
        return;
    addLine(m_day.heading, m_day.foreColor, -1, true);
    for (const DayLine &line : m_day.lines)
        addLine(line.text(), CellColor::EventText, line.color, false);
    if (!m_day.more.isEmpty())
        addLine(m_day.more, m_day.foreColor, -1, false);
}
