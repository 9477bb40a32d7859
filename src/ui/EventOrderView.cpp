#include "EventOrderView.h"

#include "OrderTables.h"
#include "RgbColor.h"
#include "WindowServices.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The menu's columns; only the course is typed in.
enum MenuColumn { QuantityColumn, DescriptionColumn, CourseColumn };

// A box that cannot be typed in looks it, on the window's own colour.
void showReadOnly(QWidget *box, bool readOnly) {
    QPalette palette = box->parentWidget()->palette();
    if (readOnly)
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
}

// A tooltip that screen readers read too: a table gives none of its own.
void describe(QWidget *control, const QString &text) {
    control->setToolTip(text);
    control->setAccessibleDescription(text);
}

bool isNote(OrderField field) {
    return field == OrderField::SetupNote || field == OrderField::KitchenNote ||
           field == OrderField::BarNote || field == OrderField::FloorNote;
}

} // namespace

EventOrderView::EventOrderView(EventOrderWindow &logic, QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_logic(logic) {
    setObjectName(QStringLiteral("frmorder"));
    // Its save adopts the event's new change count into the main window's
    // event: that event must not change while it is open.
    setWindowModality(Qt::ApplicationModal);
    // The controls are made in their tab order: top to bottom, each
    // section whole before the next, the buttons last.
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(buildHeading(central));
    auto *body = new QHBoxLayout;
    body->addWidget(buildSetup(central), 3);
    auto *lines = new QVBoxLayout;
    lines->addWidget(buildTimeline(central), 3);
    lines->addWidget(buildDietary(central), 2);
    body->addLayout(lines, 3);
    body->addWidget(buildMenu(central), 4);
    layout->addLayout(body, 1);
    layout->addWidget(buildService(central));
    layout->addLayout(buildButtons(central));
    setCentralWidget(central);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblorderstatus"));
    statusBar()->addWidget(m_status, 1);
    connectControls();
    for (const auto &[name, first] : {std::pair<const char *, QWidget *>{"fraordersetup", m_style},
                                      {"fratimeline", m_timeline},
                                      {"fradietary", m_dietary},
                                      {"fraordermenu", m_items},
                                      {"fraorderservice", m_boxes[OrderField::KitchenNote]}})
        leadInto(findChild<QGroupBox *>(QString::fromLatin1(name)), first);
    ResizeWithinScreen(this, QSize(1280, 720));
}

QLayout *EventOrderView::buildHeading(QWidget *parent) {
    m_caption = new QLabel(parent);
    m_caption->setObjectName(QStringLiteral("lblordercaption"));
    QFont bold = m_caption->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_caption->setFont(bold);
    m_summary = new QLabel(parent);
    m_summary->setObjectName(QStringLiteral("lblordersummary"));
    m_revision = new QLabel(parent);
    m_revision->setObjectName(QStringLiteral("lblorderrevision"));
    m_revision->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_revision->setWordWrap(true);
    auto *heading = new QGridLayout;
    heading->addWidget(m_caption, 0, 0);
    heading->addWidget(m_summary, 1, 0);
    heading->addWidget(m_revision, 0, 1, 2, 1);
    heading->setColumnStretch(0, 3);
    heading->setColumnStretch(1, 2);
    return heading;
}

QLabel *EventOrderView::makeBox(OrderField field, QWidget *parent) {
    const QString name = QStringLiteral("txtorder(%1)").arg(int(field));
    const QString label = EventOrderWindow::fieldLabel(field);
    if (field == OrderField::Style) {
        m_style = new QComboBox(parent);
        m_style->setObjectName(QStringLiteral("cboorderstyle"));
        m_style->setEditable(true);
        m_style->setInsertPolicy(QComboBox::NoInsert);
        m_style->lineEdit()->setMaxLength(EventOrderWindow::fieldLength(field));
        m_boxes[field] = m_style;
    } else if (isNote(field)) {
        auto *note = new QPlainTextEdit(parent);
        note->setObjectName(name);
        note->setTabChangesFocus(true);
        note->setMinimumHeight(note->fontMetrics().lineSpacing() * 3 + 12);
        m_boxes[field] = note;
    } else {
        auto *box = new QLineEdit(parent);
        box->setObjectName(name);
        if (const int length = EventOrderWindow::fieldLength(field))
            box->setMaxLength(length);
        m_boxes[field] = box;
    }
    m_boxes[field]->setAccessibleName(label);
    auto *shown = new QLabel(label, parent);
    shown->setBuddy(m_boxes[field]);
    return shown;
}

QGroupBox *EventOrderView::buildSetup(QWidget *parent) {
    using enum OrderField;
    auto *group = new QGroupBox(QStringLiteral("Set-&up"), parent);
    group->setObjectName(QStringLiteral("fraordersetup"));
    auto *form = new QFormLayout(group);
    QLabel *style = makeBox(Style, group);
    form->addRow(style, m_style);
    // Tables and seats are short counts: one row.
    QLabel *tables = makeBox(Tables, group);
    auto *counts = new QHBoxLayout;
    counts->addWidget(m_boxes[Tables]);
    counts->addSpacing(12);
    counts->addWidget(makeBox(Seats, group));
    counts->addWidget(m_boxes[Seats]);
    counts->addStretch(1);
    for (OrderField count : {Tables, Seats})
        m_boxes[count]->setMaximumWidth(
            m_boxes[count]->fontMetrics().horizontalAdvance(QStringLiteral("999999")) + 16);
    form->addRow(tables, counts);
    for (OrderField field : {Linen, Stage, DanceFloor, AudioVisual, SetupNote}) {
        QLabel *label = makeBox(field, group);
        form->addRow(label, m_boxes[field]);
    }
    return group;
}

QGroupBox *EventOrderView::buildTimeline(QWidget *parent) {
    auto *group = new QGroupBox(QStringLiteral("&Timeline"), parent);
    group->setObjectName(QStringLiteral("fratimeline"));
    auto *layout = new QVBoxLayout(group);
    m_timeline =
        new OrderLinesTable(QStringLiteral("grdtimeline"), QStringLiteral("Timeline"),
                            {QStringLiteral("Time"), QStringLiteral("What happens")}, group);
    describe(m_timeline, QStringLiteral("Type a time such as 19:00 and what happens then; "
                                        "Delete removes the chosen line"));
    m_removeTimeline = new QPushButton(QStringLiteral("&Remove Line"), group);
    m_removeTimeline->setObjectName(QStringLiteral("cmdremovetimeline"));
    layout->addWidget(m_timeline);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_removeTimeline);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return group;
}

QGroupBox *EventOrderView::buildDietary(QWidget *parent) {
    auto *group = new QGroupBox(QStringLiteral("&Dietary counts"), parent);
    group->setObjectName(QStringLiteral("fradietary"));
    auto *layout = new QVBoxLayout(group);
    m_dietary = new OrderLinesTable(QStringLiteral("grddietary"), QStringLiteral("Dietary counts"),
                                    {QStringLiteral("Need"), QStringLiteral("Count")}, group);
    describe(m_dietary, QStringLiteral("Type a need such as Vegetarian and how many guests "
                                       "have it; Delete removes the chosen line"));
    m_dietary->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_dietary->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_removeDietary = new QPushButton(QStringLiteral("Remove &Need"), group);
    m_removeDietary->setObjectName(QStringLiteral("cmdremovedietary"));
    m_caution = new QLabel(group);
    m_caution->setObjectName(QStringLiteral("lbldietcaution"));
    m_caution->setWordWrap(true);
    m_caution->setStyleSheet(QStringLiteral("QLabel { color: %1; background: %2; padding: 3px; "
                                            "border-radius: 3px; }")
                                 .arg(rgbColor(EventOrderWindow::CautionText).name(),
                                      rgbColor(EventOrderWindow::CautionBackground).name()));
    layout->addWidget(m_dietary);
    layout->addWidget(m_caution);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_removeDietary);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return group;
}

QGroupBox *EventOrderView::buildMenu(QWidget *parent) {
    auto *group = new QGroupBox(QStringLiteral("&Menu by course"), parent);
    group->setObjectName(QStringLiteral("fraordermenu"));
    auto *layout = new QVBoxLayout(group);
    m_items = OrderTables::setUp(
        new QTableWidget(group), QStringLiteral("grdorderitems"), QStringLiteral("Menu by course"),
        {QStringLiteral("Qty"), QStringLiteral("Description"), QStringLiteral("Course")},
        DescriptionColumn);
    m_items->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab leaves the menu; the arrows go from item to item.
    m_items->setTabKeyNavigation(false);
    m_items->setItemDelegateForColumn(CourseColumn, new CourseDelegate(m_logic.courses, m_items));
    // Wide enough for a course to be typed in, before any is chosen.
    m_items->horizontalHeader()->setSectionResizeMode(CourseColumn, QHeaderView::Interactive);
    m_items->setColumnWidth(
        CourseColumn, m_items->fontMetrics().horizontalAdvance(QStringLiteral("Main course")) + 48);
    describe(m_items, QStringLiteral("Type or press F2 to choose the course the chosen item is "
                                     "served in"));
    layout->addWidget(m_items);
    return group;
}

QGroupBox *EventOrderView::buildService(QWidget *parent) {
    using enum OrderField;
    auto *group = new QGroupBox(QStringLiteral("Ser&vice"), parent);
    group->setObjectName(QStringLiteral("fraorderservice"));
    auto *grid = new QGridLayout(group);
    int column = 0;
    for (OrderField note : {KitchenNote, BarNote, FloorNote}) {
        grid->addWidget(makeBox(note, group), 0, column);
        // A few lines each: the set-up, timeline and menu above take the rest.
        m_boxes[note]->setFixedHeight(m_boxes[note]->fontMetrics().lineSpacing() * 5 + 12);
        grid->addWidget(m_boxes[note], 1, column);
        grid->setColumnStretch(column++, 1);
    }
    auto *contact = new QHBoxLayout;
    for (OrderField field : {SiteContact, SitePhone}) {
        contact->addWidget(makeBox(field, group));
        contact->addWidget(m_boxes[field], field == SiteContact ? 2 : 1);
    }
    contact->addStretch(1);
    grid->addLayout(contact, 2, 0, 1, column);
    return group;
}

QLayout *EventOrderView::buildButtons(QWidget *parent) {
    auto *row = new QHBoxLayout;
    const auto button = [&](const char *caption, const QString &name) {
        auto *made = new QPushButton(QString::fromLatin1(caption), parent);
        made->setObjectName(name);
        row->addWidget(made);
        return made;
    };
    m_save = button("&Save", QStringLiteral("cmdordersave"));
    m_issue = button("&Issue", QStringLiteral("cmdorderissue"));
    m_issue->setToolTip(QStringLiteral("Saves the order, issues it as a new revision when it "
                                       "changed, and prints the kitchen's copy"));
    const std::pair<OrderReports::Copy, const char *> copies[] = {
        {OrderReports::Copy::Kitchen, "Print &Kitchen Copy"},
        {OrderReports::Copy::Client, "Print C&lient Copy"}};
    for (const auto &[copy, caption] : copies) {
        QPushButton *print = button(caption, QStringLiteral("cmdorderprint(%1)").arg(int(copy)));
        connect(print, &QPushButton::clicked, this, [this, copy = copy] {
            commitTyping();
            m_logic.print(copy);
        });
    }
    row->addStretch(1);
    connect(button("&Close", QStringLiteral("cmdorderclose")), &QPushButton::clicked, this,
            &QWidget::close);
    return row;
}

void EventOrderView::connectControls() {
    for (OrderField field : AllOrderFields) {
        const auto edited = [this, field](const QString &text) {
            if (!m_refreshing)
                m_logic.editField(field, text);
        };
        if (field == OrderField::Style) {
            connect(m_style, &QComboBox::currentTextChanged, this, edited);
        } else if (auto *note = qobject_cast<QPlainTextEdit *>(m_boxes[field])) {
            connect(note, &QPlainTextEdit::textChanged, this,
                    [note, edited] { edited(note->toPlainText()); });
        } else {
            connect(static_cast<QLineEdit *>(m_boxes[field]), &QLineEdit::textEdited, this, edited);
        }
    }
    m_timeline->edited = [this](int row, const QString &time, const QString &what) {
        m_logic.editTimeline(row, time, what);
    };
    m_timeline->removed = [this](int row) {
        m_logic.removeTimeline(row);
    };
    m_dietary->edited = [this](int row, const QString &need, const QString &count) {
        m_logic.editDietary(row, need, count);
    };
    m_dietary->removed = [this](int row) {
        m_logic.removeDietary(row);
    };
    connect(m_removeTimeline, &QPushButton::clicked, this,
            [this] { m_logic.removeTimeline(m_timeline->chosenLine()); });
    connect(m_removeDietary, &QPushButton::clicked, this,
            [this] { m_logic.removeDietary(m_dietary->chosenLine()); });
    connect(m_items, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!m_refreshing && item->column() == CourseColumn)
            m_logic.chooseCourse(item->row(), item->text());
    });
    // The arrows go from item to item on the course, the only cell typed in.
    connect(m_items, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (row >= 0 && column != CourseColumn)
            m_items->setCurrentCell(row, CourseColumn);
    });
    const auto save = [this] {
        commitTyping();
        m_logic.save();
    };
    connect(m_save, &QPushButton::clicked, this, save);
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, save);
    connect(m_issue, &QPushButton::clicked, this, [this] {
        commitTyping();
        m_logic.issue();
    });
    connect(&m_logic, &EventOrderWindow::changed, this, &EventOrderView::refresh);
}

void EventOrderView::leadInto(QGroupBox *group, QWidget *first) {
    m_groupLeads.insert(group, first);
    group->installEventFilter(this);
}

bool EventOrderView::eventFilter(QObject *watched, QEvent *event) {
    // A group box's only shortcut is its title's letter.
    if (event->type() == QEvent::Shortcut && m_groupLeads.contains(watched)) {
        m_groupLeads[watched]->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void EventOrderView::commitTyping() {
    for (QTableWidget *table : {static_cast<QTableWidget *>(m_timeline),
                                static_cast<QTableWidget *>(m_dietary), m_items}) {
        // The only widgets in the tables are the editors they open.
        if (QWidget *editor = table->indexWidget(table->currentIndex())) {
            emit table->itemDelegateForIndex(table->currentIndex())->commitData(editor);
            emit table->itemDelegateForIndex(table->currentIndex())->closeEditor(editor);
        }
    }
}

void EventOrderView::showForCurrentEvent() {
    if (!m_logic.open())
        return;
    ShowOnTop(this);
    // The style list is disabled when the order is only looked at.
    QWidget *first = m_style->isEnabled() ? m_style : m_boxes[OrderField::Tables];
    first->setFocus(Qt::OtherFocusReason);
}

void EventOrderView::refresh() {
    m_refreshing = true;
    setWindowTitle(m_logic.caption + QStringLiteral("[*]"));
    setWindowModified(m_logic.unsaved);
    m_caption->setText(m_logic.caption);
    m_summary->setText(m_logic.eventSummary);
    m_revision->setText(m_logic.revisionText);
    fillBoxes();
    m_timeline->showLines(m_logic.timeline, m_logic.editable, Qt::AlignLeft);
    m_dietary->showLines(m_logic.dietary, m_logic.editable, Qt::AlignRight);
    fillItems();
    m_caution->setText(m_logic.dietaryCaution);
    m_caution->setVisible(!m_logic.dietaryCaution.isEmpty());
    m_status->setText(m_logic.statusText);
    for (QWidget *button : {m_removeTimeline, m_removeDietary, m_save, m_issue})
        button->setEnabled(m_logic.editable);
    if (!m_logic.visible && isVisible())
        hide();
    m_refreshing = false;
}

void EventOrderView::fillBoxes() {
    QStringList listed;
    for (int i = 0; i < m_style->count(); ++i)
        listed << m_style->itemText(i);
    if (listed != m_logic.styles) {
        m_style->clear();
        m_style->addItems(m_logic.styles);
    }
    m_style->setEnabled(m_logic.editable);
    for (OrderField field : AllOrderFields) {
        const QString &text = m_logic.fields[field];
        if (field == OrderField::Style) {
            if (m_style->currentText() != text)
                m_style->setEditText(text);
        } else if (auto *note = qobject_cast<QPlainTextEdit *>(m_boxes[field])) {
            if (note->toPlainText() != text)
                note->setPlainText(text);
            note->setReadOnly(!m_logic.editable);
            showReadOnly(note, !m_logic.editable);
        } else {
            auto *box = static_cast<QLineEdit *>(m_boxes[field]);
            if (box->text() != text)
                box->setText(text);
            box->setReadOnly(!m_logic.editable);
            showReadOnly(box, !m_logic.editable);
        }
    }
}

void EventOrderView::fillItems() {
    m_items->setRowCount(int(m_logic.items.size()));
    const Qt::ItemFlags fixed = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const Qt::ItemFlags course = fixed | (m_logic.editable ? Qt::ItemIsEditable : Qt::NoItemFlags);
    for (int row = 0; row < m_logic.items.size(); ++row) {
        const EventOrderWindow::ItemLine &item = m_logic.items[row];
        OrderTables::setCellText(m_items, row, QuantityColumn, item.quantity, fixed,
                                 Qt::AlignRight);
        OrderTables::setCellText(m_items, row, DescriptionColumn, item.description, fixed);
        OrderTables::setCellText(m_items, row, CourseColumn, item.course, course);
    }
    m_items->setEditTriggers(OrderTables::typingTriggers(m_logic.editable));
}

void EventOrderView::closeEvent(QCloseEvent *event) {
    commitTyping();
    if (m_logic.visible && !m_logic.close()) {
        event->ignore();
        return;
    }
    event->accept();
}

// Escape closes the window as a dialog's does, once no box took it for
// itself (an open cell editor or list keeps it); unsaved typing is asked
// about first.
void EventOrderView::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
