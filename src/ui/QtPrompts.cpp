#include "QtPrompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString windowTitle(const QString &title) {
    return title.isEmpty() ? QStringLiteral("Moravel") : title;
}

// A prompt's text is shown as it is written: an "&" in it is no keyboard
// shortcut. Message boxes show theirs as plain text for the same reason
// ("<" starts no markup).
QString literalLabel(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

void QtPrompts::message(const QString &text, const QString &title, Icon icon) {
    QMessageBox box(boxIcon(icon), windowTitle(title), text, QMessageBox::Ok, owner());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtPrompts::askYesNo(const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::Question, windowTitle(title), text,
                    QMessageBox::Yes | QMessageBox::No, owner());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString QtPrompts::input(const QString &text, const QString &title, const QString &initial) {
    // The label names the box as its buddy: a single "&" would be taken as
    // the box's shortcut and vanish from the text.
    QInputDialog dialog(owner());
    dialog.setWindowTitle(windowTitle(title));
    dialog.setLabelText(literalLabel(text));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(initial);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QWidget *QtPrompts::owner() const {
    // A box over the window the operator works in: under a window kept on
    // top (the task list) a box over the main window would be hidden.
    QWidget *active = QApplication::activeWindow();
    return active ? active : m_parent.data();
}

void QtPrompts::setBusy(bool busy) {
    if (busy) {
        if (m_busyDepth++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0 && --m_busyDepth == 0) {
        QApplication::restoreOverrideCursor();
    }
}
