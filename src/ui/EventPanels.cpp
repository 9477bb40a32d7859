#include "EventPanels.h"

#include "ChoiceList.h"
#include "PopupList.h"
#include "TypingBoxes.h"
#include "app/MainWindowLogic.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>

namespace {

using Key = FieldEntry::Key;

// The box's object name: the form's Text1(n), n its column.
QString boxName(EventField field) {
    return QStringLiteral("Text1(%1)").arg(columnOf(field));
}

QString colorSheet(const QString &type, int rgb) {
    return QStringLiteral("%1 { background-color: #%2; }")
        .arg(type)
        .arg(rgb, 6, 16, QLatin1Char('0'));
}

} // namespace

EventPanels::EventPanels(MainWindowLogic &logic, QWidget *owner)
    : QObject(owner)
    , m_logic(logic) {
    buildEventPanel(owner);
    buildBillingPanel();
    buildContactPanel();
    for (QGroupBox *panel : {m_billing, m_contact})
        panel->installEventFilter(this);
    orderTabStops();
    buildEmployeePanel(owner);
    buildAuditPanel(owner);
}

void EventPanels::buildEventPanel(QWidget *owner) {
    m_event = new QGroupBox(tr("Event Information"), owner);
    m_event->setObjectName(QStringLiteral("fraevent"));
    auto *grid = new QGridLayout(m_event);
    addRow(grid, 0, 0, EventField::Date);
    addRow(grid, 0, 2, EventField::Number);
    addRow(grid, 1, 0, EventField::Title, 3);
    addRow(grid, 2, 0, EventField::Start);
    addRow(grid, 2, 2, EventField::End);
    addRow(grid, 3, 0, EventField::Guests);
    addRow(grid, 3, 2, EventField::Guarantee);
    addRow(grid, 4, 0, EventField::Room);
    addRow(grid, 4, 2, EventField::Deposit);
    addRow(grid, 5, 0, EventField::BookedBy);
    addRow(grid, 5, 2, EventField::Created);
    buildTimeAndRoomLists();
    buildStatusList(grid);
    buildMemberOptions(grid);
    for (EventField field : {EventField::Status, EventField::Member})
        makeBox(field, m_event)->hide();
    buildNotes(grid);
    buildPackageControls(grid, 9);
}

void EventPanels::buildTimeAndRoomLists() {
    // The time lists and the room list open as pop-ups under their boxes,
    // over the boxes below, and move nothing. The box keeps the keyboard,
    // so choosing from a list does not count as leaving the box.
    m_start = new PopupList(QStringLiteral("cbostart"), QStringLiteral("Start time list"),
                            m_boxes[EventField::Start]);
    m_end = new PopupList(QStringLiteral("cboend"), QStringLiteral("End time list"),
                          m_boxes[EventField::End]);
    m_rooms =
        new PopupList(QStringLiteral("List1"), QStringLiteral("Rooms"), m_boxes[EventField::Room]);
    connect(m_start, &PopupList::chosen, this,
            [this](int row) { m_logic.entry.chooseStartTime(m_start->list()->item(row)->text()); });
    connect(m_end, &PopupList::chosen, this,
            [this](int row) { m_logic.entry.chooseEndTime(m_end->list()->item(row)->text()); });
    connect(m_rooms, &PopupList::chosen, this, [this](int row) { m_logic.onRoomChosen(row); });
}

void EventPanels::buildStatusList(QGridLayout *grid) {
    // Status and member flag are set through their own controls; their
    // boxes hold the stored codes. The status list chooses on Enter or a
    // click, its arrows only browse.
    m_status = new ChoiceList(m_event);
    m_status->setObjectName(QStringLiteral("cbostatus"));
    m_status->setAccessibleName(QStringLiteral("Status"));
    m_status->installEventFilter(this);
    connect(m_status, &QComboBox::activated, this, [this](int index) {
        // What the logic makes of the choice is shown, whatever was browsed.
        m_statusShown.reset();
        m_logic.entry.onStatusChosen(index + 1);
    });
    auto *statusLabel = new QLabel(QStringLiteral("Status"), m_event);
    statusLabel->setBuddy(m_status);
    grid->addWidget(statusLabel, 6, 0);
    grid->addWidget(m_status, 6, 1);
}

void EventPanels::buildMemberOptions(QGridLayout *grid) {
    // One choice of two: the arrows move between them.
    auto *memberRow = new QHBoxLayout;
    m_memberGroup = new QButtonGroup(this);
    m_memberGroup->setExclusive(true);
    const char *const memberCaptions[] = {"Member", "Non-Member"};
    for (int i = 0; i < 2; ++i) {
        m_member[i] = new QRadioButton(QString::fromLatin1(memberCaptions[i]), m_event);
        m_member[i]->setObjectName(QStringLiteral("optmemnonmem(%1)").arg(i));
        m_memberGroup->addButton(m_member[i], i);
        memberRow->addWidget(m_member[i]);
    }
    connect(m_memberGroup, &QButtonGroup::idClicked, this,
            [this](int id) { m_logic.entry.chooseMembership(id); });
    grid->addLayout(memberRow, 6, 2, 1, 2);
}

void EventPanels::buildNotes(QGridLayout *grid) {
    auto *noteRow = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        m_noteSwitch[i] = new QPushButton(m_event);
        m_noteSwitch[i]->setObjectName(QStringLiteral("Button1(%1)").arg(i));
        m_noteSwitch[i]->setCheckable(true);
        connect(m_noteSwitch[i], &QPushButton::clicked, this,
                [this, i] { m_logic.entry.showNotes(i); });
        noteRow->addWidget(m_noteSwitch[i]);
    }
    grid->addLayout(noteRow, 7, 1, 1, 3);
    for (EventField field : {EventField::Notes, EventField::InternalNotes}) {
        QWidget *notes = makeBox(field, m_event);
        m_labels[field] = new QLabel(m_logic.window.fieldLabel[field], m_event);
        m_labels[field]->setBuddy(notes);
        m_labels[field]->installEventFilter(this);
        notes->setAccessibleName(m_logic.window.fieldLabel[field]);
        grid->addWidget(m_labels[field], 8, 0);
        grid->addWidget(notes, 8, 1, 1, 3);
    }
}

void EventPanels::buildBillingPanel() {
    m_billing = addressPanel(tr("Billing Information"), QStringLiteral("frabilling"),
                             EventField::BillingName);
    auto *account = static_cast<QGridLayout *>(m_billing->layout());
    addRow(account, 5, 0, EventField::Account);
    m_classcode = new QLabel(m_billing);
    m_classcode->setObjectName(QStringLiteral("lblclasscode"));
    m_taxExempt = new QLabel(tr("Tax Exempt"), m_billing);
    m_taxExempt->setObjectName(QStringLiteral("lbltaxexempt"));
    account->addWidget(m_classcode, 5, 2);
    account->addWidget(m_taxExempt, 5, 3);
    auto *billingButtons = new QHBoxLayout;
    const auto panelButton = [&](const QString &name, const QString &caption) {
        auto *button = new QPushButton(caption, m_billing);
        button->setObjectName(name);
        billingButtons->addWidget(button);
        return button;
    };
    m_billingButton = panelButton(QStringLiteral("cmdbilling"), QStringLiteral("Billing Info"));
    m_assignButton = panelButton(QStringLiteral("cmdassign"), QString());
    m_contactButton = panelButton(QStringLiteral("cmdcontact"), QStringLiteral("Contact Info"));
    connect(m_billingButton, &QPushButton::clicked, this,
            [this] { m_logic.editor.showBillingPanel(); });
    connect(m_contactButton, &QPushButton::clicked, this,
            [this] { m_logic.editor.showContactPanel(); });
    connect(m_assignButton, &QPushButton::clicked, this,
            [this] { m_logic.assignment.assignAccount(); });
    account->addLayout(billingButtons, 6, 0, 1, 4);
}

void EventPanels::buildContactPanel() {
    m_contact = addressPanel(tr("Contact Information"), QStringLiteral("fracontact"),
                             EventField::ContactName);
}

void EventPanels::orderTabStops() {
    QWidget *previous = nullptr;
    for (EventField field : AllEventFields) {
        QList<QWidget *> stops{m_boxes[field]};
        if (field == EventField::Status)
            stops = {m_status};
        else if (field == EventField::Member)
            stops = {m_member[0], m_member[1]};
        for (QWidget *stop : stops) {
            if (previous)
                QWidget::setTabOrder(previous, stop);
            previous = stop;
        }
    }
}

QGroupBox *EventPanels::addressPanel(const QString &title, const QString &name, EventField first) {
    auto *panel = new QGroupBox(title, m_event->parentWidget());
    panel->setObjectName(name);
    auto *form = new QGridLayout(panel);
    for (int i = 0; i < 10; ++i)
        addRow(form, i / 2, (i % 2) * 2, eventFieldAt(columnOf(first) + i));
    return panel;
}

QWidget *EventPanels::makeBox(EventField field, QWidget *parent) {
    QWidget *box = nullptr;
    if (field == EventField::Notes || field == EventField::InternalNotes) {
        auto *notes = new QPlainTextEdit(parent);
        notes->setMaximumHeight(80);
        notes->setTabChangesFocus(true);
        connect(notes, &QPlainTextEdit::textChanged, this, [this, field] { boxEdited(field); });
        box = notes;
    } else {
        auto *line = new QLineEdit(parent);
        connect(line, &QLineEdit::textEdited, this, [this, field] { boxEdited(field); });
        box = line;
    }
    box->setObjectName(boxName(field));
    box->installEventFilter(this);
    m_boxes[field] = box;
    return box;
}

void EventPanels::addRow(QGridLayout *grid, int row, int column, EventField field, int columnSpan) {
    QWidget *parent = grid->parentWidget();
    const QString &text = m_logic.window.fieldLabel[field];
    auto *caption = new QLabel(text, parent);
    QWidget *box = makeBox(field, parent);
    caption->setBuddy(box);
    caption->installEventFilter(this);
    box->setAccessibleName(text);
    m_labels[field] = caption;
    grid->addWidget(caption, row, column);
    grid->addWidget(box, row, column + 1, 1, columnSpan);
}

QGroupBox *EventPanels::makeOverlay(const QString &title, const QString &name, QWidget *owner) {
    auto *panel = new QGroupBox(title, owner);
    panel->setObjectName(name);
    panel->setAutoFillBackground(true);
    panel->hide();
    return panel;
}

void EventPanels::buildPackageControls(QGridLayout *grid, int row) {
    m_packageList = new QListWidget(m_event);
    m_packageList->setObjectName(QStringLiteral("lstpkg"));
    m_packageList->setAccessibleName(QStringLiteral("Multi-event package"));
    m_packageList->setMaximumHeight(110);
    m_packageList->hide();
    // A double click or Enter on an entry opens the member it names.
    connect(m_packageList, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        m_logic.packages.openListedEvent(m_packageList->row(item));
    });
    grid->addWidget(m_packageList, row, 0, 1, 4);
    // One above the other: the captions are long.
    auto *buttons = new QVBoxLayout;
    const char *const captions[] = {"Create a new multi-event package from this event",
                                    "Link/Unlink to an existing multi-event package"};
    for (int i = 0; i < 2; ++i) {
        const QString caption = QString::fromLatin1(captions[i]);
        auto *button = new QPushButton(caption, m_event);
        button->setObjectName(QStringLiteral("cmdmulti(%1)").arg(i));
        button->setAccessibleName(caption);
        button->hide();
        connect(button, &QPushButton::clicked, this, [this, i] {
            const auto selected = m_packageList->selectedItems();
            m_logic.packages.changePackage(
                i, selected.isEmpty() ? -1 : m_packageList->row(selected.first()));
        });
        buttons->addWidget(button);
        m_packageButtons[i] = button;
    }
    grid->addLayout(buttons, row + 1, 0, 1, 4);
}

void EventPanels::buildEmployeePanel(QWidget *owner) {
    m_employee =
        makeOverlay(QStringLiteral("Link to employee"), QStringLiteral("fraemployee"), owner);
    auto *layout = new QGridLayout(m_employee);
    m_employeeBox = new QLineEdit(m_employee);
    m_employeeBox->setObjectName(QStringLiteral("txtemployee"));
    auto *label = new QLabel(QStringLiteral("Employee #"), m_employee);
    label->setBuddy(m_employeeBox);
    m_employeeBox->setAccessibleName(label->text());
    m_employeeBox->installEventFilter(this);
    connect(m_employeeBox, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_logic.entry.editEmployee(text); });
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_employeeBox, 0, 1);
    const char *const captions[] = {"Link to this employee", "Cancel Employee Link"};
    for (int i = 0; i < 2; ++i) {
        auto *button = new QPushButton(QString::fromLatin1(captions[i]), m_employee);
        button->setObjectName(QStringLiteral("cmdemployee(%1)").arg(i));
        connect(button, &QPushButton::clicked, this,
                [this, i] { m_logic.editor.answerEmployeeLink(i == 0); });
        layout->addWidget(button, 1, i);
    }
    m_employee->resize(380, 110);
}

void EventPanels::buildAuditPanel(QWidget *owner) {
    m_audit = makeOverlay(QStringLiteral("Event Audit History"), QStringLiteral("fraaudit"), owner);
    auto *layout = new QVBoxLayout(m_audit);
    // Date, time, operator and what changed, newest first.
    m_auditTable = new QTableWidget(0, 4, m_audit);
    m_auditTable->setObjectName(QStringLiteral("Text4"));
    m_auditTable->setAccessibleName(QStringLiteral("Event Audit History"));
    m_auditTable->setHorizontalHeaderLabels({tr("Date"), tr("Time"), tr("Operator"), tr("Change")});
    m_auditTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_auditTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_auditTable->setWordWrap(false);
    m_auditTable->verticalHeader()->hide();
    m_auditTable->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_auditTable);
    auto *buttons = new QHBoxLayout;
    const char *const captions[] = {"Print Audit", "Exit"};
    for (int i = 0; i < 2; ++i) {
        auto *button = new QPushButton(QString::fromLatin1(captions[i]), m_audit);
        button->setObjectName(QStringLiteral("cmdaudit(%1)").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] {
            if (i == 0)
                m_logic.editor.printAuditHistory();
            else
                m_logic.editor.closeAuditHistory();
        });
        buttons->addWidget(button);
    }
    m_printAudit = m_audit->findChild<QPushButton *>(QStringLiteral("cmdaudit(0)"));
    layout->addLayout(buttons);
    m_audit->resize(760, 420);
    m_audit->installEventFilter(this);
}

void EventPanels::fillAuditTable(const QList<AuditEntry> &entries) {
    m_auditShown = entries;
    m_auditTable->setRowCount(int(entries.size()));
    for (int row = 0; row < entries.size(); ++row) {
        const AuditEntry &entry = entries[row];
        const QString texts[] = {entry.date, entry.time, entry.changedBy, entry.text};
        for (int column = 0; column < 4; ++column) {
            auto *item = new QTableWidgetItem(texts[column]);
            item->setToolTip(texts[column]);
            m_auditTable->setItem(row, column, item);
        }
    }
    m_auditTable->resizeColumnsToContents();
}

void EventPanels::placeOverlay(QWidget *overlay, bool visible) {
    if (visible == overlay->isVisible())
        return;
    if (!visible) {
        overlay->hide();
        return;
    }
    if (QWidget *owner = overlay->parentWidget()) {
        overlay->resize(std::min(overlay->width(), owner->width()),
                        std::min(overlay->height(), owner->height()));
        overlay->move((owner->width() - overlay->width()) / 2,
                      (owner->height() - overlay->height()) / 2);
    }
    overlay->show();
    overlay->raise();
    if (overlay == m_employee) {
        m_employeeBox->setFocus();
        m_employeeBox->selectAll();
    }
}

bool EventPanels::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_status) {
        // Its own drop-down taking the keyboard is not leaving the list.
        bool intoDropDown = false;
        for (QObject *next = QApplication::focusWidget();
             next && event->type() == QEvent::FocusOut && !intoDropDown; next = next->parent())
            intoDropDown = next == m_status;
        if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) &&
            TypingBoxes::movedByOperator(*static_cast<QFocusEvent *>(event)) && !intoDropDown)
            m_logic.entry.statusFocusChanged(event->type() == QEvent::FocusIn);
        return false;
    }
    if (watched == m_employeeBox) {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_F5) {
            m_logic.entry.pressEmployeeKey(Key::F5);
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            m_logic.entry.doubleClickEmployee();
            return true;
        }
        if (event->type() == QEvent::FocusOut &&
            TypingBoxes::movedByOperator(*static_cast<QFocusEvent *>(event)))
            m_logic.entry.leaveEmployee();
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == m_billing || watched == m_contact) {
            m_logic.editor.bringToFront(watched == m_billing ? EventWindow::Panel::Billing
                                                             : EventWindow::Panel::Contact);
            return false;
        }
        if (watched == m_audit) {
            m_audit->raise();
            return false;
        }
    }
    for (EventField field : AllEventFields) {
        if (watched == m_boxes[field])
            return boxEvent(field, event);
        if (watched == m_labels[field] && event->type() == QEvent::MouseButtonPress) {
            m_logic.entry.clickField(field);
            return false;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool EventPanels::boxEvent(EventField field, QEvent *event) {
    FieldEntry &entry = m_logic.entry;
    PopupList *list = listOfBox(field);
    // Alt+Down and F4 open the box's list, as they open a drop-down list.
    if (list && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier)) ||
            (key->key() == Qt::Key_F4 && !(key->modifiers() & Qt::AltModifier))) {
            offerList(list);
            return true;
        }
    }
    const bool filtered = TypingBoxes::dispatch(
        event, {[&] { entry.enterField(field); }, [&] { entry.leaveField(field); },
                [&] { entry.clickField(field); }, [&] { entry.doubleClickField(field); },
                [&](Key key) { entry.pressKey(field, key); },
                [&](Key key) { return entry.typeKey(field, key); }, true});
    // Coming into a time box, a double click or F5 opens its list again.
    if (list) {
        const bool asks = (event->type() == QEvent::FocusIn &&
                           TypingBoxes::movedByOperator(*static_cast<QFocusEvent *>(event))) ||
                          event->type() == QEvent::MouseButtonDblClick ||
                          (event->type() == QEvent::KeyPress &&
                           static_cast<QKeyEvent *>(event)->key() == Qt::Key_F5);
        if (asks)
            offerList(list);
    }
    return filtered;
}

PopupList *EventPanels::listOfBox(EventField field) const {
    switch (field) {
    case EventField::Start:
        return m_start;
    case EventField::End:
        return m_end;
    case EventField::Room:
        return m_rooms;
    default:
        return nullptr;
    }
}

bool EventPanels::listWanted(const PopupList *list) const {
    const EventWindow &window = m_logic.window;
    if (list == m_start)
        return window.startListVisible && window.editControlsEnabled;
    if (list == m_end)
        return window.endListVisible && window.editControlsEnabled;
    return list == m_rooms && window.roomListVisible && window.EditingEnabled;
}

void EventPanels::offerList(PopupList *list) {
    QTimer::singleShot(0, list, [this, list] {
        // Only over the box the operator works in, and over no other pop-up
        // or dialog.
        if (listWanted(list) && list->box()->isVisible() && list->box()->hasFocus() &&
            !QApplication::activePopupWidget() && !QApplication::activeModalWidget())
            list->open();
    });
}

void EventPanels::refreshLists() {
    m_start->setEntries(m_logic.startTimes.entries);
    m_end->setEntries(m_logic.endTimes.entries);
    m_rooms->setEntries(m_logic.roomList);
    const std::array<PopupList *, 3> lists{m_start, m_end, m_rooms};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        const bool wanted = listWanted(lists[i]);
        if (!wanted)
            lists[i]->hide();
        else if (!m_listOffered[i])
            offerList(lists[i]);
        m_listOffered[i] = wanted;
    }
}

void EventPanels::refreshStatus() {
    const EventWindow &window = m_logic.window;
    const ListState &status = window.statusList;
    if (m_status->count() != status.entries.size()) {
        m_status->clear();
        m_status->addItems(status.entries);
        m_status->setPlaceholderText(EventWindow::NoStatusText);
        // Dropped down, every entry shows whole.
        QAbstractItemView *view = m_status->view();
        view->setMinimumWidth(view->sizeHintForColumn(0) + 2 * view->frameWidth() + 32);
        m_statusShown.reset();
    }
    // The entry browsed to stays while the operator is in the list; the
    // logic's status comes back when it changed or when he leaves the list.
    const bool browsing = m_status->hasFocus() || m_status->view()->isVisible();
    if (!browsing || m_statusShown != status.text) {
        m_status->setCurrentIndex(int(status.entries.indexOf(status.text)));
        m_statusShown = status.text;
    }
    m_status->setEnabled(window.editControlsEnabled);
    // The colour is the list's own: its drop-down keeps the usual marking
    // of the current entry, readable on white.
    const QString sheet =
        colorSheet(QStringLiteral("QComboBox"), window.statusFocused || window.statusMissing
                                                    ? EventWindow::Yellow
                                                    : EventWindow::White) +
        QStringLiteral(" QComboBox::item { background-color: white; color: black; }"
                       " QComboBox::item:selected { background-color: palette(highlight);"
                       " color: palette(highlighted-text); }");
    // A style sheet set again repolishes the list, its open drop-down too.
    if (m_status->styleSheet() != sheet)
        m_status->setStyleSheet(sheet);
}

void EventPanels::boxEdited(EventField field) {
    if (m_refreshing)
        return;
    QString text;
    if (auto *line = qobject_cast<QLineEdit *>(m_boxes[field]))
        text = line->text();
    else if (auto *notes = qobject_cast<QPlainTextEdit *>(m_boxes[field]))
        text = notes->toPlainText();
    m_logic.entry.editField(field, text);
}

void EventPanels::focusRequestedBox() {
    const std::optional<EventField> field = m_logic.window.focusField;
    if (field && m_boxes[*field]->isVisible())
        m_boxes[*field]->setFocus(Qt::OtherFocusReason);
}

void EventPanels::refreshPackages() {
    const EventPackages &packages = m_logic.packages;
    QStringList shown;
    for (int i = 0; i < m_packageList->count(); ++i)
        shown << m_packageList->item(i)->text();
    if (shown != packages.listLines) {
        m_packageList->clear();
        m_packageList->addItems(packages.listLines);
    }
    m_packageList->setVisible(packages.listVisible());
    for (int i = 0; i < 2; ++i) {
        m_packageButtons[i]->setVisible(packages.buttonVisible(i));
        m_packageButtons[i]->setEnabled(m_logic.window.editControlsEnabled);
    }
}

void EventPanels::refresh() {
    const EventWindow &window = m_logic.window;
    const CurrentEvent &event = m_logic.currentEvent();
    m_refreshing = true;
    for (EventField field : AllEventFields) {
        QWidget *box = m_boxes[field];
        box->setToolTip(window.fieldHelp[field]);
        const bool readOnly = !window.EditingEnabled || field == EventField::Number;
        if (auto *line = qobject_cast<QLineEdit *>(box)) {
            const int maxLength = m_logic.fieldMaxLength[field];
            line->setMaxLength(maxLength > 0 ? maxLength : 32767);
            if (line->text() != event.fields[field])
                line->setText(event.fields[field]);
            line->setReadOnly(readOnly);
            box->setStyleSheet(colorSheet(QStringLiteral("QLineEdit"), window.fieldColor[field]));
        } else if (auto *notes = qobject_cast<QPlainTextEdit *>(box)) {
            if (notes->toPlainText() != event.fields[field])
                notes->setPlainText(event.fields[field]);
            notes->setReadOnly(readOnly);
            box->setStyleSheet(
                colorSheet(QStringLiteral("QPlainTextEdit"), window.fieldColor[field]));
        }
        if (QLabel *label = m_labels[field]) {
            label->setText(window.fieldLabel[field]);
            box->setAccessibleName(window.fieldLabel[field]);
            // A required box's label is underlined in dark red; its width
            // stays, so the boxes do not move.
            QFont font = label->font();
            font.setUnderline(window.fieldRequired[field]);
            label->setFont(font);
            label->setStyleSheet(window.fieldRequired[field] ? QStringLiteral("color: #800000;")
                                                             : QString());
        }
    }
    m_refreshing = false;

    m_boxes[EventField::Notes]->setVisible(window.notesShown == 0);
    m_labels[EventField::Notes]->setVisible(window.notesShown == 0);
    m_boxes[EventField::InternalNotes]->setVisible(window.notesShown == 1);
    m_labels[EventField::InternalNotes]->setVisible(window.notesShown == 1);
    for (int i = 0; i < 2; ++i) {
        m_noteSwitch[i]->setText(window.noteSwitchCaption[i]);
        m_noteSwitch[i]->setChecked(window.notesShown == i);
    }

    const bool controls = window.editControlsEnabled;
    if (event.MemberFlag == 1 || event.MemberFlag == 2) {
        m_member[event.MemberFlag - 1]->setChecked(true);
    } else if (QAbstractButton *checked = m_memberGroup->checkedButton()) {
        // Neither: an exclusive group keeps one checked unless told not to.
        m_memberGroup->setExclusive(false);
        checked->setChecked(false);
        m_memberGroup->setExclusive(true);
    }
    for (QRadioButton *option : m_member)
        option->setEnabled(controls);
    refreshStatus();
    for (QPushButton *button : {m_billingButton, m_assignButton, m_contactButton})
        button->setEnabled(controls);
    m_assignButton->setText(window.accountButtonCaption);
    m_classcode->setText(m_logic.events.classCodeText);
    m_taxExempt->setVisible(m_logic.events.taxExemptShown);
    // The panel in front is framed, the other lies flat.
    m_billing->setFlat(window.front != EventWindow::Panel::Billing);
    m_contact->setFlat(window.front != EventWindow::Panel::Contact);

    refreshPackages();
    refreshLists();

    if (m_employeeBox->text() != window.employeeText)
        m_employeeBox->setText(window.employeeText);
    placeOverlay(m_employee, window.employeeVisible);
    if (m_auditShown != window.auditEntries)
        fillAuditTable(window.auditEntries);
    m_printAudit->setEnabled(window.auditPrintEnabled);
    placeOverlay(m_audit, window.auditVisible);

    // The focus moves once the event that asked for it is over.
    if (window.focusField)
        QTimer::singleShot(0, this, &EventPanels::focusRequestedBox);
}
