#include "DepartmentButtonsPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A caption is shown as typed: "Food & Wine" is no keyboard shortcut.
QString shownText(const QString &caption) {
    return QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void describe(QWidget *control, const QString &name, const QString &hint) {
    control->setAccessibleName(name);
    control->setToolTip(hint);
    control->setAccessibleDescription(hint);
}

QString departmentHint(const DepartmentButton &button) {
    return button.tag.isEmpty()
               ? QStringLiteral("No inventory department set")
               : QStringLiteral("Lists the items of inventory department %1").arg(button.tag);
}

} // namespace

DepartmentButtonRow::DepartmentButtonRow(DepartmentButtons &logic, QWidget *parent, int perRow)
    : QWidget(parent)
    , m_logic(logic) {
    setObjectName(QStringLiteral("departmentbuttons"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    perRow = std::max(1, perRow);
    for (int k = 0; k < DepartmentButtons::ButtonCount; ++k) {
        m_buttons[k] = new QPushButton(this);
        m_buttons[k]->setObjectName(QStringLiteral("cmddept(%1)").arg(k));
        grid->addWidget(m_buttons[k], k / perRow, k % perRow);
        connect(m_buttons[k], &QPushButton::clicked, this, [this, k] { m_logic.chooseButton(k); });
    }
    connect(&m_logic, &DepartmentButtons::changed, this, &DepartmentButtonRow::refresh);
    refresh();
}

void DepartmentButtonRow::refresh() {
    for (int k = 0; k < DepartmentButtons::ButtonCount; ++k) {
        const DepartmentButton &shown = m_logic.departmentButtons[k];
        QPushButton *button = m_buttons[k];
        button->setText(shownText(shown.caption));
        describe(button,
                 shown.caption.isEmpty() ? QStringLiteral("Department button %1").arg(k + 1)
                                         : shown.caption,
                 departmentHint(shown));
        button->setVisible(shown.visible);
    }
}

DepartmentButtonsPanel::DepartmentButtonsPanel(DepartmentButtons &logic, QWidget *parent)
    : QFrame(parent)
    , m_logic(logic) {
    setObjectName(QStringLiteral("fraconfigbuttons"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildTitle());
    layout->addLayout(buildBoxes());
    layout->addWidget(buildDirections());
    layout->addLayout(buildButtons());
    hide();
    connect(&m_logic, &DepartmentButtons::changed, this, &DepartmentButtonsPanel::refresh);
}

QWidget *DepartmentButtonsPanel::buildTitle() {
    auto *title = new QLabel(m_logic.panelCaption, this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    return title;
}

// The caption and department boxes beside the preview of the button.
QLayout *DepartmentButtonsPanel::buildBoxes() {
    auto *grid = new QGridLayout;
    m_caption = makeBox(QStringLiteral("txtbuttoncaption"), m_logic.captionLabel,
                        QStringLiteral("The name the selected button shows"), grid, 0);
    m_tag = makeBox(QStringLiteral("txtbuttontag"), m_logic.tagLabel,
                    QStringLiteral("The inventory department code whose items the selected "
                                   "button lists, 5 characters at most"),
                    grid, 1);
    m_tag->setMaxLength(DepartmentButtons::TagLength);
    connect(m_caption, &QLineEdit::textEdited, &m_logic, &DepartmentButtons::editCaption);
    connect(m_tag, &QLineEdit::textEdited, &m_logic, &DepartmentButtons::editTag);
    m_sample = new QPushButton(this);
    m_sample->setObjectName(QStringLiteral("cmdsample"));
    grid->addWidget(m_sample, 0, 2, 2, 1);
    return grid;
}

QWidget *DepartmentButtonsPanel::buildDirections() {
    auto *directions = new QLabel(m_logic.directions, this);
    directions->setObjectName(QStringLiteral("lbldirections"));
    directions->setWordWrap(true);
    return directions;
}

QLayout *DepartmentButtonsPanel::buildButtons() {
    auto *buttons = new QHBoxLayout;
    QPushButton *saveButton = makeButton(QStringLiteral("cmdsave"), m_logic.saveCaption);
    QPushButton *doneButton = makeButton(QStringLiteral("cmddone"), m_logic.doneCaption);
    connect(saveButton, &QPushButton::clicked, &m_logic, &DepartmentButtons::saveSettings);
    connect(doneButton, &QPushButton::clicked, &m_logic, &DepartmentButtons::closePanel);
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(doneButton);
    setTabOrder(m_caption, m_tag);
    setTabOrder(m_tag, saveButton);
    setTabOrder(saveButton, doneButton);
    return buttons;
}

QLineEdit *DepartmentButtonsPanel::makeBox(const QString &name, const QString &label,
                                           const QString &hint, QGridLayout *grid, int row) {
    auto *box = new QLineEdit(this);
    box->setObjectName(name);
    auto *caption = new QLabel(QLatin1Char('&') + label, this);
    caption->setBuddy(box);
    describe(box, label, hint);
    grid->addWidget(caption, row, 0);
    grid->addWidget(box, row, 1);
    return box;
}

QPushButton *DepartmentButtonsPanel::makeButton(const QString &name, const QString &caption) {
    auto *button = new QPushButton(QLatin1Char('&') + caption, this);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    return button;
}

void DepartmentButtonsPanel::placeOverCovered() {
    QWidget *owner = parentWidget();
    if (!owner)
        return;
    resize(sizeHint());
    if (!m_covered) {
        move((owner->width() - width()) / 2, (owner->height() - height()) / 2);
        return;
    }
    const QPoint corner = owner->mapFromGlobal(m_covered->mapToGlobal(QPoint(0, 0)));
    setGeometry(QRect(corner, m_covered->size().expandedTo(sizeHint())));
}

void DepartmentButtonsPanel::refresh() {
    if (m_caption->text() != m_logic.captionText)
        m_caption->setText(m_logic.captionText);
    if (m_tag->text() != m_logic.tagText)
        m_tag->setText(m_logic.tagText);
    const DepartmentButton &sample = m_logic.sample;
    m_sample->setText(shownText(sample.caption));
    describe(m_sample, sample.caption.isEmpty() ? QStringLiteral("Sample") : sample.caption,
             departmentHint(sample));
    if (m_logic.visible && !isVisible()) {
        placeOverCovered();
        show();
        raise();
        m_caption->setFocus();
    } else if (!m_logic.visible && isVisible()) {
        hide();
    }
}
