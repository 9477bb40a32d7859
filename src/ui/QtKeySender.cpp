#include "QtKeySender.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

Qt::KeyboardModifiers qtModifiers(int modifiers) {
    Qt::KeyboardModifiers result;
    if (modifiers & Keysend::Shift)
        result |= Qt::ShiftModifier;
    if (modifiers & Keysend::Control)
        result |= Qt::ControlModifier;
    if (modifiers & Keysend::Alt)
        result |= Qt::AltModifier;
    return result;
}

int qtKey(const Keysend::KeyStroke &stroke) {
    const int code = stroke.virtualKey;
    switch (code) {
    case 8:
        return Qt::Key_Backspace;
    case 9:
        return stroke.modifiers & Keysend::Shift ? Qt::Key_Backtab : Qt::Key_Tab;
    case 13:
        return Qt::Key_Return;
    case 19:
        return Qt::Key_Pause;
    case 20:
        return Qt::Key_CapsLock;
    case 27:
        return Qt::Key_Escape;
    case 33:
        return Qt::Key_PageUp;
    case 34:
        return Qt::Key_PageDown;
    case 35:
        return Qt::Key_End;
    case 36:
        return Qt::Key_Home;
    case 37:
        return Qt::Key_Left;
    case 38:
        return Qt::Key_Up;
    case 39:
        return Qt::Key_Right;
    case 40:
        return Qt::Key_Down;
    case 42:
    case 44:
        return Qt::Key_Print;
    case 45:
        return Qt::Key_Insert;
    case 46:
        return Qt::Key_Delete;
    case 47:
        return Qt::Key_Help;
    case 144:
        return Qt::Key_NumLock;
    case 145:
        return Qt::Key_ScrollLock;
    default:
        break;
    }
    if (code >= 96 && code <= 105)
        return Qt::Key_0 + (code - 96);
    if (code >= 112 && code <= 127)
        return Qt::Key_F1 + (code - 112);
    return code; // characters: Qt's key codes are their (upper-case) code points
}

} // namespace

void QtKeySender::SendKeyText(const QString &text) {
    for (const Keysend::KeyStroke &stroke : Keysend::ParseKeyText(text)) {
        QWidget *target = QApplication::focusWidget();
        if (!target)
            return;
        Qt::KeyboardModifiers modifiers = qtModifiers(stroke.modifiers);
        if (stroke.virtualKey >= 96 && stroke.virtualKey <= 105)
            modifiers |= Qt::KeypadModifier;
        QKeyEvent press(QEvent::KeyPress, qtKey(stroke), modifiers, stroke.text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey(stroke), modifiers, stroke.text);
        QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : target,
                                &release);
    }
}
