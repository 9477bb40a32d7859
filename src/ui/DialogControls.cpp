#include "DialogControls.h"

#include <QBoxLayout>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace DialogControls {

QLabel *caption(QWidget *window, const QString &name) {
    auto *label = new QLabel(window);
    label->setObjectName(name);
    QFont bold = label->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    label->setFont(bold);
    return label;
}

void addButtons(QBoxLayout *layout, QWidget *window, QPushButton *action,
                const QString &closeName) {
    auto *row = new QHBoxLayout;
    auto *close = new QPushButton(QStringLiteral("&Close"), window);
    close->setObjectName(closeName);
    for (QPushButton *button : {action, close}) {
        button->setAutoDefault(false);
        button->setAccessibleDescription(button->toolTip());
    }
    row->addWidget(action);
    row->addStretch(1);
    row->addWidget(close);
    layout->addLayout(row);
    if (auto *dialog = qobject_cast<QDialog *>(window))
        QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::reject);
}

QLabel *statusLine(QBoxLayout *layout, QWidget *window, const QString &name) {
    auto *label = new QLabel(window);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    return label;
}

QLabel *labelFor(QWidget *control, const QString &text) {
    auto *label = new QLabel(text, control->parentWidget());
    label->setBuddy(control);
    control->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    return label;
}

void describe(QWidget *control, const QString &tip) {
    control->setToolTip(tip);
    control->setAccessibleDescription(tip);
}

} // namespace DialogControls
