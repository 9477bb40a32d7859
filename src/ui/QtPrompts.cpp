#include "QtPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

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

// A caption as it reads without its Alt letter's mark ("&&" stays "&").
QString withoutMark(QString caption) {
    caption.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    return caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

QPushButton *namedButton(QDialogButtonBox &buttons, QDialogButtonBox::StandardButton which,
                         const QString &caption, const QString &name) {
    QPushButton *button = buttons.button(which);
    button->setText(caption);
    button->setObjectName(name);
    button->setAccessibleName(withoutMark(caption));
    return button;
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

bool QtPrompts::chooseOptions(const QString &text, const QString &title,
                              QList<PromptOption> &options, const QString &name) {
    QDialog dialog(owner());
    dialog.setObjectName(name);
    dialog.setWindowTitle(windowTitle(title));
    auto *layout = new QVBoxLayout(&dialog);
    auto *question = new QLabel(text, &dialog);
    question->setTextFormat(Qt::PlainText);
    question->setWordWrap(true);
    // Wide enough for a sentence or two to a line, not a word or two.
    question->setMinimumWidth(question->fontMetrics().averageCharWidth() * 64);
    layout->addWidget(question);
    QList<QCheckBox *> boxes;
    for (qsizetype i = 0; i < options.size(); ++i) {
        auto *box = new QCheckBox(options[i].label, &dialog);
        box->setObjectName(QStringLiteral("chkoption(%1)").arg(i));
        box->setAccessibleName(withoutMark(options[i].label));
        box->setChecked(options[i].checked);
        layout->addWidget(box);
        boxes << box;
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    namedButton(*buttons, QDialogButtonBox::Ok, QStringLiteral("&OK"), QStringLiteral("cmdok"))
        ->setDefault(true);
    namedButton(*buttons, QDialogButtonBox::Cancel, QStringLiteral("&Cancel"),
                QStringLiteral("cmdcancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (!boxes.isEmpty())
        boxes.first()->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (qsizetype i = 0; i < options.size(); ++i)
        options[i].checked = boxes[i]->isChecked();
    return true;
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
