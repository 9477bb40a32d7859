#include "RoomEditorPanel.h"

#include "calendar/RoomEditor.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

RoomEditorPanel::RoomEditorPanel(RoomEditor &logic, QWidget *parent)
    : QFrame(parent)
    , m_logic(logic) {
    setObjectName(QStringLiteral("fralocation"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildTitle());
    layout->addLayout(buildRoomColumns());
    connectLists();
    layout->addLayout(buildButtons());
    resize(760, 420);
    hide();
    connect(&m_logic, &RoomEditor::changed, this, &RoomEditorPanel::refresh);
}

QWidget *RoomEditorPanel::buildTitle() {
    auto *title = new QLabel(QStringLiteral("View/Add/Edit Rooms"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    return title;
}

// The four room lists, each with its caption above and its entry box below.
QLayout *RoomEditorPanel::buildRoomColumns() {
    auto *grid = new QGridLayout;
    const char *const captions[] = {"Room Name/Title", "Capacity",    "#", "SubD",
                                    "Set-up min",      "Clearing min"};
    for (int i = 0; i < RoomEditor::BoxCount; ++i) {
        m_lists[i] = makeList(QStringLiteral("List%1").arg(i + 2), QString::fromLatin1(captions[i]),
                              grid, i);
        m_boxes[i] = new QLineEdit(this);
        m_boxes[i]->setObjectName(QStringLiteral("Text3(%1)").arg(i));
        // The box stands under its column's caption, which names it too.
        m_boxes[i]->setAccessibleName(QString::fromLatin1(captions[i]));
        m_boxes[i]->installEventFilter(this);
        grid->addWidget(m_boxes[i], 2, i);
        connect(m_boxes[i], &QLineEdit::textEdited, this,
                [this, i](const QString &text) { m_logic.editBox(i, text); });
    }
    grid->setColumnStretch(0, 4);
    for (int i = 1; i < RoomEditor::BoxCount; ++i)
        grid->setColumnStretch(i, 1);
    return grid;
}

// Picking a row in one list picks it in all four; a double-click on a
// name opens that room for editing.
void RoomEditorPanel::connectLists() {
    for (QListWidget *list : m_lists) {
        connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
            for (QListWidget *other : m_lists) {
                if (other->currentRow() != row)
                    other->setCurrentRow(row);
            }
        });
    }
    connect(m_lists[0], &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { m_logic.SelectRoomForEdit(m_lists[0]->row(item)); });
}

QLayout *RoomEditorPanel::buildButtons() {
    auto *buttons = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        m_buttons[i] = new QPushButton(this);
        m_buttons[i]->setObjectName(QStringLiteral("cmdroom(%1)").arg(i));
        connect(m_buttons[i], &QPushButton::clicked, this, [this, i] { m_logic.RoomButton(i); });
        buttons->addWidget(m_buttons[i]);
    }
    return buttons;
}

QListWidget *RoomEditorPanel::makeList(const QString &name, const QString &caption,
                                       QGridLayout *grid, int column) {
    auto *label = new QLabel(caption, this);
    auto *list = new QListWidget(this);
    list->setObjectName(name);
    label->setBuddy(list);
    list->setAccessibleName(caption);
    grid->addWidget(label, 0, column);
    grid->addWidget(list, 1, column);
    return list;
}

bool RoomEditorPanel::eventFilter(QObject *watched, QEvent *event) {
    const int box = int(std::find(m_boxes.begin(), m_boxes.end(), watched) - m_boxes.begin());
    if (box < RoomEditor::BoxCount) {
        if (event->type() == QEvent::FocusIn) {
            m_logic.enterBox(box);
        } else if (event->type() == QEvent::FocusOut) {
            m_logic.leaveBox(box);
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_logic.boxEnterPressed(box);
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

void RoomEditorPanel::placeOverParent() {
    if (QWidget *owner = parentWidget())
        move((owner->width() - width()) / 2, (owner->height() - height()) / 2);
}

void RoomEditorPanel::refresh() {
    const std::array<const QStringList *, RoomEditor::BoxCount> lists{
        &m_logic.roomNames,        &m_logic.roomCapacities, &m_logic.roomNumbers,
        &m_logic.roomSubdivisions, &m_logic.roomSetups,     &m_logic.roomClears};
    for (int i = 0; i < RoomEditor::BoxCount; ++i) {
        QStringList shown;
        for (int row = 0; row < m_lists[i]->count(); ++row)
            shown << m_lists[i]->item(row)->text();
        if (shown != *lists[i]) {
            m_lists[i]->clear();
            m_lists[i]->addItems(*lists[i]);
        }
        if (m_boxes[i]->text() != m_logic.boxes[i])
            m_boxes[i]->setText(m_logic.boxes[i]);
    }
    for (int i = 0; i < int(m_buttons.size()); ++i) {
        m_buttons[i]->setText(m_logic.buttonCaptions[i]);
        m_buttons[i]->setVisible(m_logic.buttonVisible[i]);
        m_buttons[i]->setEnabled(m_logic.buttonEnabled[i]);
    }
    setEnabled(m_logic.panelEnabled);
    if (m_logic.visible && !isVisible()) {
        placeOverParent();
        show();
        raise();
        // The focus starts in the room list: in the name box it would clear
        // the "(room name here)" hint before the operator has read it.
        m_lists[0]->setFocus();
    } else if (!m_logic.visible && isVisible()) {
        hide();
    }
}
