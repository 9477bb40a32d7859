#include "InfoDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

InfoDialog::InfoDialog(const QStringList &arguments, QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("quelvi32"));
    const QString module = QStringLiteral("Moravel");
    setWindowTitle(tr("About %1").arg(module));

    auto *name = new QLabel(module, this);
    name->setObjectName(QStringLiteral("lblmodule"));
    QFont font = name->font();
    font.setPointSize(font.pointSize() + 6);
    font.setBold(true);
    name->setFont(font);
    auto *description = new QLabel(tr("Catering and banquet event scheduling"), this);
    description->setObjectName(QStringLiteral("lbldescription"));
    auto *info = new QLabel(arguments.join(QLatin1Char(' ')), this);
    info->setObjectName(QStringLiteral("lblinfo"));
    info->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The info line keeps the blanks the caller put in it.
    info->setTextFormat(Qt::PlainText);
    info->setStyleSheet(QStringLiteral("QLabel { white-space: pre; }"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdok"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(description);
    layout->addSpacing(8);
    layout->addWidget(info);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
