#include "EventPanels.h"

#include "startup/MainWindowLogic.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace {

constexpr int NotesBox = 34;
constexpr int InternalNotesBox = 35;

QString boxName(int index) {
    return QStringLiteral("Text1(%1)").arg(index);
}

// Labels of the billing (10..20) and contact (21..30) boxes, in order.
const char *const AddressLabels[] = {"Name", "Address 1", "Address 2", "City", "State",
                                     "Zip",  "Phone 1",   "Phone 2",   "Fax",  "Email"};

} // namespace

EventPanels::EventPanels(QWidget *owner)
    : QObject(owner) {
    m_event = new QGroupBox(tr("Event Information"), owner);
    m_event->setObjectName(QStringLiteral("fraevent"));
    auto *grid = new QGridLayout(m_event);
    addRow(grid, 0, 0, 0, QStringLiteral("Event date"));
    addRow(grid, 0, 2, 2, QStringLiteral("Event #"));
    addRow(grid, 1, 0, 1, QStringLiteral("Event Title"), 3);
    addRow(grid, 2, 0, 3, QStringLiteral("Start time"));
    addRow(grid, 2, 2, 4, QStringLiteral("End time"));
    // The time lists beside the time boxes.
    const auto timeList = [&](const QString &name, const QString &label, int column) {
        auto *list = new QComboBox(m_event);
        list->setObjectName(name);
        list->setAccessibleName(label);
        grid->addWidget(list, 3, column, 1, 2);
        return list;
    };
    m_start = timeList(QStringLiteral("cbostart"), QStringLiteral("Start time list"), 0);
    m_end = timeList(QStringLiteral("cboend"), QStringLiteral("End time list"), 2);
    connect(m_start, &QComboBox::activated, this,
            [this](int index) { emit startTimeChosen(m_start->itemText(index)); });
    connect(m_end, &QComboBox::activated, this,
            [this](int index) { emit endTimeChosen(m_end->itemText(index)); });
    addRow(grid, 4, 0, 6, QStringLiteral("Set for ???"));
    addRow(grid, 4, 2, 7, QStringLiteral("Guarantee"));
    addRow(grid, 5, 0, 8, QStringLiteral("Location/room"));
    addRow(grid, 5, 2, 31, QStringLiteral("Deposit $$"));
    addRow(grid, 6, 0, 32, QStringLiteral("Booked by"));
    addRow(grid, 6, 2, 33, QStringLiteral("Creation date"));

    // Status and member flag are set through their own controls; their
    // boxes hold the stored codes.
    m_status = new QComboBox(m_event);
    m_status->setObjectName(QStringLiteral("cbostatus"));
    grid->addWidget(new QLabel(QStringLiteral("Status"), m_event), 7, 0);
    grid->addWidget(m_status, 7, 1);
    auto *memberRow = new QHBoxLayout;
    const char *const memberCaptions[] = {"Member", "Non-Member"};
    for (int i = 0; i < 2; ++i) {
        m_member[i] = new QRadioButton(QString::fromLatin1(memberCaptions[i]), m_event);
        m_member[i]->setObjectName(QStringLiteral("optmemnonmem(%1)").arg(i));
        memberRow->addWidget(m_member[i]);
    }
    grid->addLayout(memberRow, 7, 2, 1, 2);
    for (int index : {5, 9}) {
        makeBox(index, m_event)->hide();
    }

    grid->addWidget(new QLabel(QStringLiteral("Notes"), m_event), 8, 0);
    grid->addWidget(makeBox(NotesBox, m_event), 8, 1, 1, 3);
    grid->addWidget(makeBox(InternalNotesBox, m_event), 9, 1, 1, 3);
    m_boxes[InternalNotesBox]->setStyleSheet(QStringLiteral("background-color: #FFC080;"));
    m_boxes[InternalNotesBox]->hide();

    m_rooms = new QListWidget(m_event);
    m_rooms->setObjectName(QStringLiteral("List1"));
    m_rooms->setMaximumHeight(110);
    connect(m_rooms, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { emit roomChosen(m_rooms->row(item)); });
    grid->addWidget(new QLabel(QStringLiteral("Rooms"), m_event), 10, 0);
    grid->addWidget(m_rooms, 10, 1, 1, 3);

    const auto addressPanel = [&](const QString &title, const QString &name, int first,
                                  const QString &nameLabel) {
        auto *panel = new QGroupBox(title, owner);
        panel->setObjectName(name);
        auto *form = new QGridLayout(panel);
        for (int i = 0; i < 10; ++i)
            addRow(form, i / 2, (i % 2) * 2, first + i,
                   i == 0 ? nameLabel : QString::fromLatin1(AddressLabels[i]));
        return panel;
    };
    m_billing = addressPanel(tr("Billing Information"), QStringLiteral("frabilling"), 11,
                             QStringLiteral("Name"));
    auto *account = static_cast<QGridLayout *>(m_billing->layout());
    addRow(account, 5, 0, 10, QStringLiteral("Account ID#"));
    m_contact = addressPanel(tr("Contact Information"), QStringLiteral("fracontact"), 21,
                             QStringLiteral("Contact Name"));
}

QWidget *EventPanels::makeBox(int index, QWidget *parent) {
    QWidget *box = nullptr;
    if (index == NotesBox || index == InternalNotesBox) {
        auto *notes = new QPlainTextEdit(parent);
        notes->setMaximumHeight(80);
        box = notes;
    } else {
        box = new QLineEdit(parent);
    }
    box->setObjectName(boxName(index));
    m_boxes[index] = box;
    return box;
}

void EventPanels::addRow(QGridLayout *grid, int row, int column, int index, const QString &label,
                         int columnSpan) {
    QWidget *parent = grid->parentWidget();
    auto *caption = new QLabel(label, parent);
    QWidget *box = makeBox(index, parent);
    caption->setBuddy(box);
    grid->addWidget(caption, row, column);
    grid->addWidget(box, row, column + 1, 1, columnSpan);
}

void EventPanels::refresh(const MainWindowLogic &logic) {
    const CurrentEvent &event = logic.currentEvent();
    for (int i = 0; i < BoxCount; ++i) {
        m_boxes[i]->setToolTip(logic.text1ToolTip[i]);
        if (auto *line = qobject_cast<QLineEdit *>(m_boxes[i])) {
            line->setMaxLength(logic.text1MaxLength[i] > 0 ? logic.text1MaxLength[i] : 32767);
            if (line->text() != event.Text1[i])
                line->setText(event.Text1[i]);
        } else if (auto *notes = qobject_cast<QPlainTextEdit *>(m_boxes[i])) {
            if (notes->toPlainText() != event.Text1[i])
                notes->setPlainText(event.Text1[i]);
        }
    }
    m_member[0]->setChecked(event.MemberFlag == 1);
    m_member[1]->setChecked(event.MemberFlag == 2);
    m_status->clear();
    m_status->addItems(logic.cbostatus.entries);
    m_status->setPlaceholderText(QStringLiteral("(Click to set)"));
    m_status->setCurrentIndex(int(logic.cbostatus.entries.indexOf(logic.cbostatus.text)));
    if (m_rooms->count() != logic.List1.size()) {
        m_rooms->clear();
        m_rooms->addItems(logic.List1);
    }
    const auto fillList = [](QComboBox *list, const ListState &state) {
        if (list->count() == state.entries.size())
            return;
        list->clear();
        list->addItems(state.entries);
        list->setPlaceholderText(state.text);
        list->setCurrentIndex(-1);
    };
    fillList(m_start, logic.cbostart);
    fillList(m_end, logic.cboend);
}
