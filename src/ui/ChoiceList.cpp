#include "ChoiceList.h"

#include <QKeyEvent>
#include <QWheelEvent>

void ChoiceList::browse(int row) {
    if (count() == 0)
        return;
    setCurrentIndex(std::clamp(row, 0, int(count()) - 1));
}

int ChoiceList::entryStartingWith(const QString &text) const {
    for (int step = 1; step <= count(); ++step) {
        const int row = (currentIndex() + step) % count();
        if (itemText(row).startsWith(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

void ChoiceList::keyPressEvent(QKeyEvent *event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier) {
        QComboBox::keyPressEvent(event);
        return;
    }
    const int current = currentIndex();
    switch (event->key()) {
    case Qt::Key_Up:
        browse(current < 0 ? 0 : current - 1);
        return;
    case Qt::Key_Down:
        browse(current + 1);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_Home:
        browse(0);
        return;
    case Qt::Key_PageDown:
    case Qt::Key_End:
        browse(int(count()) - 1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current >= 0) {
            emit activated(current);
            emit textActivated(itemText(current));
            return;
        }
        event->ignore();
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace()) {
        if (const int row = entryStartingWith(text); row >= 0)
            browse(row);
        return;
    }
    QComboBox::keyPressEvent(event);
}

void ChoiceList::wheelEvent(QWheelEvent *event) {
    event->ignore();
}
