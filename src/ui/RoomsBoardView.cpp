#include "RoomsBoardView.h"

#include "RgbColor.h"

#include <QAccessible>
#include <QApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

const QColor GridLine(0xD8, 0xD8, 0xD8);
const QColor HourLine(0xA8, 0xA8, 0xA8);
const QColor CursorColor(0x00, 0x3C, 0x8C);

} // namespace

RoomsBoardCanvas::RoomsBoardCanvas(RoomsBoard &board, QWidget *parent)
    : QWidget(parent)
    , m_board(board) {
    setObjectName(QStringLiteral("boardcanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleDescription(
        tr("Rooms board. Arrows move between rooms and quarter-hours, Shift with the arrows picks "
           "the time to book, Enter books it or opens the event, Ctrl with the arrows moves the "
           "event a quarter-hour or a room, Page Up and Page Down go back and forward."));
    boardChanged();
}

double RoomsBoardCanvas::dayWidth() const {
    return double(width() - NameWidth) / std::max(1, m_board.dayCount());
}

double RoomsBoardCanvas::slotWidth() const {
    return dayWidth() / std::max<qsizetype>(1, m_board.slotTimes().size());
}

QSize RoomsBoardCanvas::minimumSizeHint() const {
    const double least = m_board.span() == RoomsBoard::Span::Week ? 1.0 : 6.0;
    const auto columns = double(m_board.dayCount() * m_board.slotTimes().size());
    return {NameWidth + int(columns * least), HeaderHeight + RowHeight};
}

QSize RoomsBoardCanvas::sizeHint() const {
    return {minimumSizeHint().width(), HeaderHeight + int(m_board.rows().size()) * RowHeight + 1};
}

QRectF RoomsBoardCanvas::spanRect(int row, int day, int firstSlot, int endSlot) const {
    const double x = NameWidth + day * dayWidth() + firstSlot * slotWidth();
    return {x, double(HeaderHeight + row * RowHeight), (endSlot - firstSlot) * slotWidth(),
            double(RowHeight)};
}

QRectF RoomsBoardCanvas::cellRect(const BoardCell &cell) const {
    return spanRect(cell.row, cell.day, cell.slot, cell.slot + 1);
}

BoardCell RoomsBoardCanvas::cellAt(const QPoint &point) const {
    const auto columns = int(m_board.slotTimes().size());
    if (point.x() < NameWidth || point.y() < headerTop() + HeaderHeight || point.x() >= width() ||
        columns == 0)
        return {};
    const int row = (point.y() - HeaderHeight) / RowHeight;
    if (row >= m_board.rows().size())
        return {};
    const double x = point.x() - NameWidth;
    const int day = std::min(m_board.dayCount() - 1, int(x / dayWidth()));
    const int slot = std::clamp(int((x - day * dayWidth()) / slotWidth()), 0, columns - 1);
    return {row, day, slot};
}

bool RoomsBoardCanvas::onEndEdge(const QPoint &point, const BoardCell &cell) const {
    const int index = m_board.blockAt(cell);
    if (index < 0)
        return false;
    const BoardBlock &block = m_board.blocks()[index];
    const QRectF rect = spanRect(block.row, block.day, block.firstSlot, block.endSlot);
    return rect.width() > 3 * EdgeGrip && point.x() >= rect.right() - EdgeGrip;
}

void RoomsBoardCanvas::boardChanged() {
    // The scroll area fits the board to its width; a board too narrow to
    // read scrolls instead.
    setMinimumSize(minimumSizeHint().width(), sizeHint().height());
    // What is kept between paints is made again only when the board's
    // content changed, not for each step of the cursor or a drag.
    if (m_board.generation() != m_preparedFor)
        m_prepared = false;
    // A screen reader says where the cursor is, and what lies there.
    const QString name = m_board.cellName(m_board.cursor());
    if (accessibleName() != name) {
        setAccessibleName(name.isEmpty() ? tr("Rooms board") : name);
        if (hasFocus()) {
            QAccessibleEvent event(this, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
    }
    update();
}

void RoomsBoardCanvas::prepare() {
    if (m_prepared)
        return;
    m_prepared = true;
    m_preparedFor = m_board.generation();
    const qreal ratio = devicePixelRatioF();
    if (m_grid.size() != size() * ratio) {
        m_grid = QPixmap(size() * ratio);
        m_grid.setDevicePixelRatio(ratio);
    }
    m_grid.fill(Qt::white);
    QPainter grid(&m_grid);
    grid.setFont(font());
    paintRows(grid);

    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    const QFontMetrics metrics(small);
    m_blockTexts.clear();
    for (const BoardBlock &block : m_board.blocks()) {
        const QRectF rect = spanRect(block.row, block.day, block.firstSlot, block.endSlot);
        const int width = int(rect.width()) - 7;
        std::array<QStaticText, 2> texts{
            QStaticText(width > 6 ? metrics.elidedText(block.title, Qt::ElideRight, width)
                                  : QString()),
            QStaticText(width > 6 ? metrics.elidedText(block.detail, Qt::ElideRight, width)
                                  : QString())};
        for (QStaticText &text : texts)
            text.setTextFormat(Qt::PlainText);
        m_blockTexts << texts;
    }
    // A hall with two sections booked is hatched twice over; each text is
    // written only where no earlier one lies.
    m_shadeTexts.clear();
    QHash<int, double> written; // row and day: where the last text ended
    const QFontMetrics plain(font());
    for (const BoardShade &shade : m_board.shades()) {
        const QRectF rect = spanRect(shade.row, shade.day, shade.firstSlot, shade.endSlot);
        const int key = shade.row * RoomsBoard::WeekDays + shade.day;
        if (written.contains(key) && written[key] > rect.left()) {
            m_shadeTexts << QStaticText();
            continue;
        }
        const QString text = plain.elidedText(shade.text, Qt::ElideRight, int(rect.width()) - 6);
        m_shadeTexts << QStaticText(text);
        m_shadeTexts.last().setTextFormat(Qt::PlainText);
        written[key] = rect.left() + 6 + plain.horizontalAdvance(text);
    }
}

void RoomsBoardCanvas::resizeEvent(QResizeEvent *event) {
    m_prepared = false;
    QWidget::resizeEvent(event);
}

void RoomsBoardCanvas::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        m_prepared = false;
        update();
    }
    QWidget::changeEvent(event);
}

// Scrolling moves the canvas under the viewport; the hours are drawn
// again at the new top.
void RoomsBoardCanvas::moveEvent(QMoveEvent *event) {
    update();
    QWidget::moveEvent(event);
}

void RoomsBoardCanvas::paintEvent(QPaintEvent *) {
    prepare();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_grid);
    paintBlocks(painter);
    paintDrag(painter);
    paintCursor(painter);
    paintHeader(painter);
}

void RoomsBoardCanvas::paintHeader(QPainter &painter) const {
    painter.save();
    painter.translate(0, headerTop());
    painter.fillRect(QRect(0, 0, width(), HeaderHeight), palette().window());
    painter.setPen(palette().windowText().color());
    const auto &times = m_board.slotTimes();
    const int half = HeaderHeight / 2;
    const bool week = m_board.span() == RoomsBoard::Span::Week;
    // Hours are labelled as often as they fit: every hour, or every few.
    const QFontMetrics metrics = fontMetrics();
    const double hourWidth = 4 * slotWidth();
    int every = 1;
    while (every < 24 && hourWidth * every < metrics.horizontalAdvance(QStringLiteral("00:00")) + 6)
        every *= 2;
    for (int day = 0; day < m_board.dayCount(); ++day) {
        const double left = NameWidth + day * dayWidth();
        if (week) {
            painter.drawText(QRectF(left, 0, dayWidth(), half), Qt::AlignCenter,
                             m_board.dayHeading(day));
            painter.setPen(HourLine);
            painter.drawLine(QPointF(left, 0), QPointF(left, HeaderHeight));
            painter.setPen(palette().windowText().color());
        }
        for (int slot = 0; slot < times.size(); ++slot) {
            const QString &time = times[slot];
            if (!time.endsWith(QLatin1String(":00")) || time.left(2).toInt() % every != 0)
                continue;
            const double x = left + slot * slotWidth();
            painter.drawText(
                QRectF(x + 2, week ? half : 0, hourWidth * every, week ? half : HeaderHeight),
                Qt::AlignLeft | Qt::AlignVCenter, time);
        }
    }
    painter.setPen(HourLine);
    painter.drawLine(0, HeaderHeight - 1, width(), HeaderHeight - 1);
    painter.restore();
}

void RoomsBoardCanvas::paintRows(QPainter &painter) const {
    const auto &rows = m_board.rows();
    const auto &times = m_board.slotTimes();
    const int bottom = HeaderHeight + int(rows.size()) * RowHeight;
    // Quarter-hour lines where they do not crowd, hour lines always.
    int hours = 1; // hour lines as often as they stay apart
    while (hours < 24 && 4 * slotWidth() * hours < 6)
        hours *= 2;
    QList<QLineF> quarterLines, hourLines, dayLines;
    for (int day = 0; day < m_board.dayCount(); ++day) {
        for (int slot = 0; slot <= times.size(); ++slot) {
            const bool hour = slot < times.size() && times[slot].endsWith(QLatin1String(":00")) &&
                              times[slot].left(2).toInt() % hours == 0;
            if (!hour && slotWidth() < 8)
                continue;
            const double x = NameWidth + day * dayWidth() + slot * slotWidth();
            (hour ? hourLines : quarterLines) << QLineF(x, HeaderHeight, x, bottom);
        }
        const double left = NameWidth + day * dayWidth();
        dayLines << QLineF(left, HeaderHeight, left, bottom);
    }
    for (int row = 0; row < rows.size(); ++row) {
        const double line = HeaderHeight + (row + 1) * RowHeight;
        quarterLines << QLineF(0, line, width(), line);
    }
    painter.setPen(GridLine);
    painter.drawLines(quarterLines);
    painter.setPen(HourLine);
    painter.drawLines(hourLines);
    painter.setPen(QPen(palette().windowText().color(), 1.5));
    painter.drawLines(dayLines);
    painter.setPen(palette().windowText().color());
    for (int row = 0; row < rows.size(); ++row) {
        const int top = HeaderHeight + row * RowHeight;
        const int indent = rows[row].hall != 0 ? 18 : 4;
        QString name = rows[row].name.trimmed();
        if (name.isEmpty())
            name = tr("Room %1 (no name)").arg(rows[row].room);
        QFont font = painter.font();
        font.setBold(rows[row].hall == 0);
        painter.setFont(font);
        painter.drawText(
            QRect(indent, top, NameWidth - indent - 4, RowHeight), Qt::AlignLeft | Qt::AlignVCenter,
            painter.fontMetrics().elidedText(name, Qt::ElideRight, NameWidth - indent - 4));
        font.setBold(false);
        painter.setFont(font);
    }
}

void RoomsBoardCanvas::paintBlocks(QPainter &painter) const {
    const auto &shades = m_board.shades();
    painter.setPen(QColor(0x50, 0x50, 0x50));
    for (int i = 0; i < shades.size(); ++i) {
        const BoardShade &shade = shades[i];
        const QRectF rect =
            spanRect(shade.row, shade.day, shade.firstSlot, shade.endSlot).adjusted(0, 3, 0, -3);
        // A room being turned over in amber dots, a linked room in grey lines.
        painter.fillRect(rect, shade.turnover ? QBrush(QColor(0xC0, 0x80, 0x20), Qt::Dense6Pattern)
                                              : QBrush(QColor(0x90, 0x90, 0x90), Qt::BDiagPattern));
        const QStaticText &text = m_shadeTexts.value(i);
        if (!text.text().isEmpty())
            painter.drawStaticText(
                QPointF(rect.left() + 4, rect.center().y() - text.size().height() / 2), text);
    }
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    painter.setFont(small);
    const auto &blocks = m_board.blocks();
    // Enquiries first, so a booking drawn over one is what shows.
    for (const bool holding : {false, true}) {
        for (int i = 0; i < blocks.size(); ++i) {
            const BoardBlock &block = blocks[i];
            if (block.holdsRoom != holding)
                continue;
            const QRectF rect = spanRect(block.row, block.day, block.firstSlot, block.endSlot)
                                    .adjusted(1, 2, -1, -2);
            painter.fillRect(rect, rgbColor(block.color));
            // An enquiry keeps nobody out: its outline is dashed.
            painter.setPen(QPen(Qt::black, 1, holding ? Qt::SolidLine : Qt::DashLine));
            painter.drawRect(rect);
            // The title over the times and the guests, as much as fits.
            const auto &texts = m_blockTexts.value(i);
            const double half = (rect.height() - 2) / 2;
            for (int line = 0; line < 2; ++line) {
                if (!texts[line].text().isEmpty())
                    painter.drawStaticText(
                        QPointF(rect.left() + 3, rect.top() + 1 + line * half +
                                                     (half - texts[line].size().height()) / 2),
                        texts[line]);
            }
        }
    }
    painter.setFont(font());
}

void RoomsBoardCanvas::paintDrag(QPainter &painter) const {
    const RoomsBoard::Drag &drag = m_board.drag();
    if (drag.kind == RoomsBoard::DragKind::None || drag.from == drag.to)
        return;
    painter.setPen(QPen(CursorColor, 2, Qt::DashLine));
    if (drag.kind == RoomsBoard::DragKind::Booking) {
        const QRectF rect =
            spanRect(drag.from.row, drag.from.day, std::min(drag.from.slot, drag.to.slot),
                     std::max(drag.from.slot, drag.to.slot) + 1);
        painter.fillRect(rect, QColor(0x00, 0x3C, 0x8C, 40));
        painter.drawRect(rect);
        return;
    }
    const BoardBlock &block = m_board.blocks().value(drag.block);
    if (drag.kind == RoomsBoard::DragKind::Stretching) {
        painter.drawRect(spanRect(block.row, block.day, block.firstSlot, m_board.stretchedEnd()));
        return;
    }
    const int shift = drag.to.slot - drag.from.slot;
    painter.drawRect(
        spanRect(drag.to.row, drag.to.day, block.firstSlot + shift, block.endSlot + shift));
}

void RoomsBoardCanvas::paintCursor(QPainter &painter) const {
    const BoardCell cursor = m_board.cursor();
    if (!cursor.valid() || cursor.row >= m_board.rows().size() || !hasFocus())
        return;
    painter.setPen(QPen(CursorColor, 2));
    painter.drawRect(
        spanRect(cursor.row, cursor.day, m_board.selectionFirst(), m_board.selectionEnd())
            .adjusted(1, 1, -1, -1));
}

void RoomsBoardCanvas::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const BoardCell cell = cellAt(event->position().toPoint());
    m_board.press(cell, onEndEdge(event->position().toPoint(), cell));
}

void RoomsBoardCanvas::mouseMoveEvent(QMouseEvent *event) {
    const QPoint point = event->position().toPoint();
    if (event->buttons() & Qt::LeftButton) {
        m_board.dragTo(cellAt(point));
        return;
    }
    const BoardCell cell = cellAt(point);
    setCursor(cell.valid() && onEndEdge(point, cell) ? Qt::SizeHorCursor
              : m_board.blockAt(cell) >= 0           ? Qt::OpenHandCursor
                                                     : Qt::ArrowCursor);
}

void RoomsBoardCanvas::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    m_board.release(cellAt(event->position().toPoint()));
}

void RoomsBoardCanvas::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        m_board.doubleClick(cellAt(event->position().toPoint()));
}

void RoomsBoardCanvas::keyPressEvent(QKeyEvent *event) {
    const bool chord = event->modifiers() & Qt::ControlModifier;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    int rows = 0;
    int columns = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        columns = -1;
        break;
    case Qt::Key_Right:
        columns = 1;
        break;
    case Qt::Key_Up:
        rows = -1;
        break;
    case Qt::Key_Down:
        rows = 1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_board.activate();
        return;
    case Qt::Key_Escape:
        m_board.cancelDrag();
        return;
    case Qt::Key_Home:
    case Qt::Key_End:
        m_board.cursorToDayEdge(event->key() == Qt::Key_End);
        return;
    case Qt::Key_PageUp:
        m_board.step(-1);
        return;
    case Qt::Key_PageDown:
        m_board.step(1);
        return;
    default:
        return QWidget::keyPressEvent(event);
    }
    if (chord)
        m_board.nudge(rows, columns);
    else
        m_board.moveCursor(rows, columns, extend);
}

bool RoomsBoardCanvas::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        QString name = m_board.cellName(cellAt(help->pos()));
        const int row = (help->pos().y() - HeaderHeight) / RowHeight;
        if (help->pos().x() < NameWidth && help->pos().y() >= headerTop() + HeaderHeight &&
            row < m_board.rows().size())
            name = m_board.rows()[row].name;
        if (name.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), name, this);
        return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        update();
    return QWidget::event(event);
}

RoomsBoardView::RoomsBoardView(RoomsBoard &board, QWidget *parent)
    : QWidget(parent)
    , m_board(board) {
    setObjectName(QStringLiteral("fraboard"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QHBoxLayout;
    const auto button = [this](const QString &name, const QString &text, const QString &tip) {
        auto *made = new QToolButton(this);
        made->setObjectName(name);
        made->setText(text);
        made->setToolTip(tip);
        made->setAccessibleName(QString(text).remove(QLatin1Char('&')));
        made->setAccessibleDescription(tip);
        return made;
    };
    m_day = button(QStringLiteral("cmdboardspan(0)"), tr("Da&y"), tr("One day, every room"));
    m_week = button(QStringLiteral("cmdboardspan(1)"), tr("&Week"), tr("Sunday to Saturday"));
    auto *back = button(QStringLiteral("cmdboardmove(0)"), QStringLiteral("<-"),
                        tr("The day or week before (Page Up)"));
    auto *forward = button(QStringLiteral("cmdboardmove(1)"), QStringLiteral("->"),
                           tr("The day or week after (Page Down)"));
    // Named for what they move, as the month's arrows are.
    back->setAccessibleName(tr("Day or week <-"));
    forward->setAccessibleName(tr("Day or week ->"));
    for (QToolButton *span : {m_day, m_week})
        span->setCheckable(true);
    connect(m_day, &QToolButton::clicked, this, [this] { m_board.setSpan(RoomsBoard::Span::Day); });
    connect(m_week, &QToolButton::clicked, this,
            [this] { m_board.setSpan(RoomsBoard::Span::Week); });
    connect(back, &QToolButton::clicked, this, [this] { m_board.step(-1); });
    connect(forward, &QToolButton::clicked, this, [this] { m_board.step(1); });
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("lblboard"));
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);
    for (QWidget *widget :
         std::initializer_list<QWidget *>{m_day, m_week, back, forward, m_caption})
        bar->addWidget(widget);
    bar->addStretch();
    layout->addLayout(bar);

    m_canvas = new RoomsBoardCanvas(board, this);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("boardscroll"));
    m_scroll->setWidget(m_canvas);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_scroll, 1);

    // The legend: one swatch per status, in the colours the board uses;
    // beside it, what the board last refused.
    auto *foot = new QHBoxLayout;
    for (int i = 0; i < board.legend().size(); ++i) {
        auto *swatch = new QLabel(this);
        swatch->setObjectName(QStringLiteral("lblboardkey(%1)").arg(i));
        m_legend << swatch;
        foot->addWidget(swatch);
    }
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("lblboardnotice"));
    m_notice->setWordWrap(true);
    foot->addWidget(m_notice, 1);
    layout->addLayout(foot);

    connect(&board, &RoomsBoard::changed, this, &RoomsBoardView::refresh);
    connect(&board, &RoomsBoard::changed, m_canvas, &RoomsBoardCanvas::boardChanged);
    refresh();
}

void RoomsBoardView::refresh() {
    m_day->setChecked(m_board.span() == RoomsBoard::Span::Day);
    m_week->setChecked(m_board.span() == RoomsBoard::Span::Week);
    m_caption->setText(m_board.caption());
    if (m_legendFor != m_board.generation()) {
        m_legendFor = m_board.generation();
        const auto &legend = m_board.legend();
        for (int i = 0; i < m_legend.size(); ++i) {
            QLabel *swatch = m_legend[i];
            swatch->setVisible(i < legend.size());
            if (i >= legend.size())
                continue;
            swatch->setText(legend[i].name);
            swatch->setStyleSheet(
                QStringLiteral("background-color: %1; color: black; border: 1px %2 black; "
                               "padding: 1px 4px;")
                    .arg(rgbColor(legend[i].color).name(),
                         legend[i].dashed ? QStringLiteral("dashed") : QStringLiteral("solid")));
        }
    }
    // What the board refused is said aloud as well as shown, each time.
    m_notice->setText(m_board.notice());
    m_notice->setVisible(!m_board.notice().isEmpty());
    if (m_noticesSeen != m_board.noticeCount()) {
        m_noticesSeen = m_board.noticeCount();
        QAccessibleEvent alert(m_notice, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
    // The cursor stays in sight as the keys move it, and the day a week
    // opens on with it; a drag leaves the scrolling to the operator.
    const BoardCell cursor = m_board.cursor();
    const bool moved = !(cursor == m_shownCursor) || m_board.generation() != m_cursorFor;
    if (moved && m_board.drag().kind == RoomsBoard::DragKind::None && cursor.valid() &&
        cursor.row < m_board.rows().size()) {
        m_shownCursor = cursor;
        m_cursorFor = m_board.generation();
        const QRectF cell = m_canvas->cellRect(cursor);
        m_scroll->ensureVisible(int(cell.center().x()), int(cell.center().y()),
                                int(cell.width()) + 60,
                                RoomsBoardCanvas::HeaderHeight + RoomsBoardCanvas::RowHeight);
    }
}
