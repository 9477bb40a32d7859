#include "TypingBoxes.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace TypingBoxes {

bool movedByOperator(const QFocusEvent &focus) {
    return focus.reason() != Qt::ActiveWindowFocusReason && focus.reason() != Qt::PopupFocusReason;
}

std::optional<Key> judgedKey(const QKeyEvent &key, bool judgesTab) {
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::Enter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return judgesTab ? std::optional(Key::Tab) : std::nullopt;
    case Qt::Key_F5:
        return Key::F5;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return Key::Other;
    default:
        break;
    }
    if (key.matches(QKeySequence::Copy) || key.matches(QKeySequence::SelectAll))
        return std::nullopt;
    if (key.matches(QKeySequence::Paste) || key.matches(QKeySequence::Cut) ||
        key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo))
        return Key::Other;
    if (!key.text().isEmpty() && key.text().at(0).isPrint())
        return Key::Other;
    return std::nullopt;
}

bool dispatch(QEvent *event, const Handlers &handlers) {
    switch (event->type()) {
    case QEvent::FocusIn:
        if (movedByOperator(*static_cast<QFocusEvent *>(event)))
            handlers.gotFocus();
        return false;
    case QEvent::FocusOut:
        if (movedByOperator(*static_cast<QFocusEvent *>(event)))
            handlers.lostFocus();
        return false;
    case QEvent::MouseButtonPress:
        handlers.click();
        return false;
    case QEvent::MouseButtonDblClick:
        handlers.doubleClick();
        return false;
    case QEvent::KeyPress: {
        const auto key = judgedKey(*static_cast<QKeyEvent *>(event), handlers.judgesTab);
        if (!key)
            return false;
        if (*key == Key::F5) {
            handlers.keyDown(Key::F5);
            return true;
        }
        return !handlers.keyPress(*key);
    }
    default:
        return false;
    }
}

} // namespace TypingBoxes
