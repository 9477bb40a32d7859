#include "PopupList.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr int ShownRows = 10;

} // namespace

PopupList::PopupList(const QString &name, const QString &accessibleName, QWidget *box)
    : QFrame(box->parentWidget() ? box->parentWidget() : box, Qt::Popup)
    , m_box(box)
    , m_list(new QListWidget(this)) {
    setObjectName(name + QStringLiteral("Popup"));
    setFrameShape(QFrame::NoFrame);
    // A click beside the list goes on to where it was aimed, by the list
    // itself on every window system (see mousePressEvent).
    setAttribute(Qt::WA_NoMouseReplay);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    m_list->setObjectName(name);
    m_list->setAccessibleName(accessibleName);
    // The box keeps the keyboard: the list never takes the focus.
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setUniformItemSizes(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { choose(m_list->row(item)); });
}

void PopupList::setEntries(const QStringList &entries) {
    QStringList shown;
    for (int i = 0; i < m_list->count(); ++i)
        shown << m_list->item(i)->text();
    if (shown == entries)
        return;
    m_list->clear();
    m_list->addItems(entries);
}

void PopupList::open() {
    if (isVisible() || m_list->count() == 0)
        return;
    followBox();
    const int frame = m_list->frameWidth() * 2;
    const int rowHeight = std::max(m_list->sizeHintForRow(0), fontMetrics().height());
    const int rows = std::min(int(m_list->count()), ShownRows);
    const int scrollBar =
        m_list->count() > ShownRows ? m_list->verticalScrollBar()->sizeHint().width() : 0;
    QSize size(std::max(m_box->width(), m_list->sizeHintForColumn(0) + frame + scrollBar + 8),
               rows * rowHeight + frame);

    // Under the box, or above it where the screen ends; never off the screen.
    const QRect below(m_box->mapToGlobal(QPoint(0, m_box->height())), size);
    QRect place = below;
    if (const QScreen *screen = m_box->screen()) {
        const QRect area = screen->availableGeometry();
        const int above = m_box->mapToGlobal(QPoint(0, 0)).y() - area.top();
        if (below.bottom() > area.bottom() && above > area.bottom() - below.top()) {
            size.setHeight(std::min(size.height(), above));
            place = QRect(
                QPoint(below.left(), m_box->mapToGlobal(QPoint(0, 0)).y() - size.height()), size);
        } else {
            place.setHeight(std::min(size.height(), area.bottom() - below.top() + 1));
        }
        if (place.right() > area.right())
            place.moveRight(area.right());
        if (place.left() < area.left())
            place.moveLeft(area.left());
    }
    setGeometry(place);
    show();
    if (QListWidgetItem *current = m_list->currentItem())
        m_list->scrollToItem(current, QAbstractItemView::PositionAtCenter);
}

void PopupList::followBox() {
    const auto *line = qobject_cast<QLineEdit *>(m_box);
    const QString typed = line ? line->text().trimmed() : QString();
    int row = -1;
    for (int i = 0; !typed.isEmpty() && i < m_list->count() && row < 0; ++i) {
        if (m_list->item(i)->text().startsWith(typed, Qt::CaseInsensitive))
            row = i;
    }
    m_list->setCurrentRow(row);
    if (row >= 0)
        m_list->scrollToItem(m_list->item(row));
}

void PopupList::choose(int row) {
    hide();
    if (row >= 0 && row < m_list->count())
        emit chosen(row);
}

void PopupList::forward(const QKeyEvent &event) {
    if (!m_box)
        return;
    QKeyEvent copy(event.type(), event.key(), event.modifiers(), event.text(), event.isAutoRepeat(),
                   ushort(event.count()));
    QCoreApplication::sendEvent(m_box, &copy);
}

void PopupList::mousePressEvent(QMouseEvent *event) {
    if (rect().contains(event->position().toPoint())) {
        QFrame::mousePressEvent(event);
        return;
    }
    // A click beside the list closes it and lands where it was aimed: in
    // another box, on a button, in the list's own box.
    const QPoint global = event->globalPosition().toPoint();
    hide();
    QWidget *target = QApplication::widgetAt(global);
    if (!target || target->window() == this || QApplication::activeModalWidget() ||
        QApplication::activePopupWidget())
        return;
    // The focus goes where a click puts it, as the window system's own
    // click would move it, then the control has the press.
    for (QWidget *taker = target; taker; taker = taker->parentWidget()) {
        if (taker->isEnabled() && (taker->focusPolicy() & Qt::ClickFocus)) {
            taker->setFocus(Qt::MouseFocusReason);
            break;
        }
        if (taker->isWindow())
            break;
    }
    QMouseEvent press(QEvent::MouseButtonPress, target->mapFromGlobal(event->globalPosition()),
                      event->globalPosition(), event->button(), event->buttons(),
                      event->modifiers());
    QCoreApplication::sendEvent(target, &press);
}

void PopupList::keyPressEvent(QKeyEvent *event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (modifiers & Qt::AltModifier) {
            hide();
            return;
        }
        [[fallthrough]];
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (modifiers == Qt::NoModifier) {
            QCoreApplication::sendEvent(m_list, event);
            return;
        }
        break;
    case Qt::Key_Escape:
    case Qt::Key_F4:
        hide();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_list->currentRow() >= 0) {
            choose(m_list->currentRow());
            return;
        }
        break;
    default:
        break;
    }
    // Moving on, a shortcut or a command key: the list closes first, so the
    // key acts on the window as it would without it.
    const bool editingKey = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
                            event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
    const bool typing = (modifiers & ~Qt::ShiftModifier) == Qt::NoModifier &&
                        (editingKey || (!event->text().isEmpty() && event->text().at(0).isPrint()));
    if (!typing)
        hide();
    forward(*event);
    if (typing && isVisible())
        followBox();
}
