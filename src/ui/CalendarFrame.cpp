#include "CalendarFrame.h"

#include "DayCellBox.h"
#include "ReservationGridModel.h"
#include "RoomsBoardView.h"
#include "calendar/MonthSheet.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const char *const WeekDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                "Thursday", "Friday", "Saturday"};

// What a screen reader says of a day cell: "Saturday 14, 3 events".
QString dayName(int weekday, int day, int events) {
    QString name = QString::fromLatin1(WeekDays[weekday]) + QLatin1Char(' ') + QString::number(day);
    if (events == 1)
        return name + QStringLiteral(", 1 event");
    return name + QStringLiteral(", %1 events").arg(events);
}

// A label that names the control it stands before, for screen readers and
// for the keyboard.
QLabel *labelFor(const QString &name, const QString &text, QWidget *buddy, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    buddy->setAccessibleName(QString(text).replace(QLatin1String("&&"), QLatin1String("&")));
    return label;
}

QLineEdit *readOnlyBox(int index, int characters, QWidget *parent) {
    auto *box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("Text2(%1)").arg(index));
    box->setReadOnly(true);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QString(characters, QLatin1Char('0'))) +
                       14);
    return box;
}

} // namespace

CalendarFrame::CalendarFrame(MonthSheet &sheet, QWidget *parent)
    : QGroupBox(tr("Reservations Calendar"), parent)
    , m_sheet(sheet) {
    setObjectName(QStringLiteral("frareservations"));
    auto *layout = new QVBoxLayout(this);
    // Two rows of controls, the date and time of a slot beside them, so the
    // frame fits beside the event panel on a 1366-pixel screen.
    auto *controls = new QHBoxLayout;
    auto *rows = new QVBoxLayout;
    rows->addLayout(buildMonthControls());
    rows->addLayout(buildViewControls());
    controls->addLayout(rows, 1);
    controls->addLayout(buildDateTime());
    layout->addLayout(controls);
    // The month sheet, the grid and the board share one place; the view
    // mode picks one.
    layout->addWidget(buildMonthSheet(), 1);
    buildGrid();
    layout->addWidget(m_grid, 1);
    m_board = new RoomsBoardView(sheet.board, this);
    layout->addWidget(m_board, 1);

    QWidget *order[] = {m_calendarView, m_listView, m_boardView, m_time, m_room};
    for (int i = 1; i < int(std::size(order)); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(&m_sheet, &MonthSheet::changed, this, &CalendarFrame::refresh);
    connect(&m_sheet.grid, &ReservationGrid::changed, this, &CalendarFrame::refreshGrid);
    refreshGrid();
    refresh();
}

QLayout *CalendarFrame::buildMonthControls() {
    auto *row = new QHBoxLayout;
    m_dateBoxes[MonthSheet::YearBox] = readOnlyBox(MonthSheet::YearBox, 5, this);
    m_dateBoxes[MonthSheet::MonthBox] = readOnlyBox(MonthSheet::MonthBox, 8, this);
    row->addWidget(labelFor(QStringLiteral("Label2(0)"), QStringLiteral("Active Year"),
                            m_dateBoxes[MonthSheet::YearBox], this));
    row->addWidget(m_dateBoxes[MonthSheet::YearBox]);
    row->addWidget(labelFor(QStringLiteral("Label2(1)"), QStringLiteral("Active Month"),
                            m_dateBoxes[MonthSheet::MonthBox], this));
    row->addWidget(m_dateBoxes[MonthSheet::MonthBox]);

    // cmdmove(0)/(1) move the month, (3)/(2) the year: back before forward.
    const struct {
        int label;
        const char *caption;
        int back;
        int forward;
    } pairs[] = {{2, "Change Month", MonthSheet::MonthBack, MonthSheet::MonthForward},
                 {3, "Change Year", MonthSheet::YearBack, MonthSheet::YearForward}};
    for (const auto &pair : pairs) {
        const QString caption = QString::fromLatin1(pair.caption);
        auto *label = new QLabel(caption, this);
        label->setObjectName(QStringLiteral("Label2(%1)").arg(pair.label));
        row->addSpacing(6);
        row->addWidget(label);
        for (int button : {pair.back, pair.forward}) {
            const bool back = button == pair.back;
            auto *move = new QPushButton(back ? QStringLiteral("<-") : QStringLiteral("->"), this);
            move->setObjectName(QStringLiteral("cmdmove(%1)").arg(button));
            move->setAccessibleName(caption +
                                    (back ? QStringLiteral(" <-") : QStringLiteral(" ->")));
            move->setToolTip(caption + (back ? tr(": back") : tr(": forward")));
            move->setFixedWidth(move->fontMetrics().horizontalAdvance(QStringLiteral("<-")) + 24);
            connect(move, &QPushButton::clicked, this,
                    [this, button] { m_sheet.MoveMonthOrYear(button); });
            m_move[button] = move;
            row->addWidget(move);
        }
    }
    row->addStretch();
    return row;
}

QLayout *CalendarFrame::buildViewControls() {
    auto *row = new QHBoxLayout;
    m_calendarView = new QRadioButton(QStringLiteral("Calendar View"), this);
    m_calendarView->setObjectName(QStringLiteral("optviewmode(0)"));
    m_listView = new QRadioButton(QStringLiteral("List View"), this);
    m_listView->setObjectName(QStringLiteral("optviewmode(1)"));
    m_boardView = new QRadioButton(QStringLiteral("Board View"), this);
    m_boardView->setObjectName(QStringLiteral("optviewmode(2)"));
    for (QRadioButton *option : {m_calendarView, m_listView, m_boardView})
        option->setAccessibleName(option->text());
    connect(m_boardView, &QRadioButton::clicked, this,
            [this] { m_sheet.ChangeView(MonthSheet::BoardView); });
    connect(m_calendarView, &QRadioButton::clicked, this,
            [this] { m_sheet.ChangeView(MonthSheet::CalendarView); });
    connect(m_listView, &QRadioButton::clicked, this,
            [this] { m_sheet.ChangeView(MonthSheet::ListView); });

    const auto filterList = [this](const QString &name, const QString &accessible) {
        auto *box = new QComboBox(this);
        box->setObjectName(name);
        box->setAccessibleName(accessible);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(10);
        return box;
    };
    m_time = filterList(QStringLiteral("cbotime"), tr("Times shown"));
    m_room = filterList(QStringLiteral("cboroom"), tr("Rooms shown"));
    connect(m_time, &QComboBox::textActivated, this,
            [this](const QString &text) { m_sheet.chooseTimeFilter(text); });
    connect(m_room, &QComboBox::textActivated, this,
            [this](const QString &text) { m_sheet.chooseRoomFilter(text); });
    auto *requery = new QPushButton(QStringLiteral("Redisplay Calendar"), this);
    requery->setObjectName(QStringLiteral("cmdrequery"));
    requery->setAccessibleName(requery->text());
    connect(requery, &QPushButton::clicked, this, [this] { m_sheet.RedisplayCalendar(); });

    row->addWidget(m_calendarView);
    row->addWidget(m_listView);
    row->addWidget(m_boardView);
    row->addWidget(m_time);
    row->addWidget(m_room);
    row->addWidget(requery);
    row->addStretch();
    return row;
}

QLayout *CalendarFrame::buildDateTime() {
    auto *box = new QGridLayout;
    m_dateBoxes[MonthSheet::DateBox] = readOnlyBox(MonthSheet::DateBox, 10, this);
    m_dateBoxes[MonthSheet::TimeBox] = readOnlyBox(MonthSheet::TimeBox, 8, this);
    m_dateTimeLabel = labelFor(QStringLiteral("Label2(4)"), QStringLiteral("Date && Time"),
                               m_dateBoxes[MonthSheet::DateBox], this);
    m_dateBoxes[MonthSheet::TimeBox]->setAccessibleName(tr("Time"));
    box->addWidget(m_dateTimeLabel, 0, 0, 1, 2);
    box->addWidget(m_dateBoxes[MonthSheet::DateBox], 1, 0);
    box->addWidget(m_dateBoxes[MonthSheet::TimeBox], 1, 1);
    return box;
}

QFrame *CalendarFrame::buildMonthSheet() {
    m_calendar = new QFrame(this);
    m_calendar->setObjectName(QStringLiteral("fracalendar"));
    auto *sheet = new QGridLayout(m_calendar);
    sheet->setSpacing(2);
    sheet->setContentsMargins(0, 0, 0, 0);
    for (int day = 0; day < 7; ++day) {
        auto *header = new QLabel(QString::fromLatin1(WeekDays[day]), m_calendar);
        header->setObjectName(QStringLiteral("Label2(%1)").arg(5 + day));
        header->setAlignment(Qt::AlignCenter);
        sheet->addWidget(header, 0, day);
        sheet->setColumnStretch(day, 1);
    }
    const int lineHeight = fontMetrics().lineSpacing();
    for (int i = 0; i < MonthSheet::CellCount; ++i) {
        auto *cell = new DayCellBox(m_calendar);
        cell->setObjectName(QStringLiteral("cal(%1)").arg(i));
        cell->setTabChangesFocus(true);
        cell->setFocusPolicy(Qt::StrongFocus);
        QFont small = cell->font();
        small.setPointSizeF(small.pointSizeF() * 0.9);
        cell->setFont(small);
        cell->setMinimumSize(80, lineHeight * 3 + 8);
        cell->installEventFilter(this);
        cell->viewport()->installEventFilter(this);
        m_cells[i] = cell;
        sheet->addWidget(cell, 1 + i / 7, i % 7);
        sheet->setRowStretch(1 + i / 7, 1);
    }
    return m_calendar;
}

void CalendarFrame::buildGrid() {
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("gridres"));
    m_grid->setAccessibleName(tr("Reservations"));
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing() + 6);
    m_model = new ReservationGridModel(m_sheet.grid, this);
    m_grid->setModel(m_model);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex &index) {
        m_sheet.grid.selectSlot(index.row(), index.column());
    });
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        m_sheet.grid.openSlot(index.row(), index.column());
    });
    // Moving through the slots with the keys shows each one as a click does.
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && m_grid->hasFocus())
                    m_sheet.grid.selectSlot(current.row(), current.column());
            });
}

int CalendarFrame::cellIndex(QObject *watched) const {
    for (int i = 0; i < int(m_cells.size()); ++i) {
        if (watched == m_cells[i] || watched == m_cells[i]->viewport())
            return i;
    }
    return -1;
}

bool CalendarFrame::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const QModelIndex current = m_grid->currentIndex();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && current.isValid()) {
            m_sheet.grid.openSlot(current.row(), current.column());
            return true;
        }
        return false;
    }
    const int index = cellIndex(watched);
    if (index < 0)
        return QGroupBox::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_cells[index]->setFocus(Qt::MouseFocusReason);
        m_sheet.SelectDay(index);
        return true;
    case QEvent::MouseButtonDblClick:
        m_sheet.OpenDay(index);
        return true;
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (watched == m_cells[index] &&
            (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason))
            m_sheet.SelectDay(index);
        return false;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_sheet.OpenDay(index);
            return true;
        }
        if (key == Qt::Key_Space) {
            m_sheet.SelectDay(index);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

void CalendarFrame::refresh() {
    for (int i = 0; i < int(m_dateBoxes.size()); ++i)
        m_dateBoxes[i]->setText(m_sheet.dateBoxes[i]);
    m_dateTimeLabel->setVisible(m_sheet.dateTimeVisible);
    m_dateBoxes[MonthSheet::DateBox]->setVisible(m_sheet.dateTimeVisible);
    m_dateBoxes[MonthSheet::TimeBox]->setVisible(m_sheet.dateTimeVisible);
    m_calendarView->setChecked(m_sheet.viewMode == MonthSheet::CalendarView);
    m_listView->setChecked(m_sheet.viewMode == MonthSheet::ListView);
    m_boardView->setChecked(m_sheet.viewMode == MonthSheet::BoardView);
    m_calendar->setVisible(m_sheet.calendarVisible());
    showGrid(m_sheet.gridVisible());
    m_board->setVisible(m_sheet.boardVisible());

    const auto fill = [](QComboBox *box, const ListState &state) {
        if (box->count() != state.entries.size() ||
            box->itemText(box->count() - 1) != state.entries.value(state.entries.size() - 1)) {
            box->clear();
            box->addItems(state.entries);
        }
        box->setCurrentIndex(int(state.entries.indexOf(state.text)));
    };
    fill(m_time, m_sheet.timeFilter);
    fill(m_room, m_sheet.roomFilter);

    for (int i = 0; i < MonthSheet::CellCount; ++i) {
        const DayCell &state = m_sheet.cells[i];
        DayCellBox *cell = m_cells[i];
        cell->setDay(state);
        const int day = m_sheet.dayOfCell(i);
        cell->setAccessibleName(day > 0 ? dayName(i % 7, day, state.events) : QString());
        // The day's titles and how to open it, for the pointer and for
        // screen readers alike: a cell shows only the first few lines.
        const QString hint = tr("Click to select the day, double-click or Enter to open it");
        const QString text =
            QString(state.text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
        const qsizetype titles = text.indexOf(QLatin1Char('\n'));
        cell->setToolTip(titles < 0 ? hint : text.mid(titles + 1) + QStringLiteral("\n\n") + hint);
        // A hidden cell keeps its place, so the weeks stay in their columns.
        QSizePolicy policy = cell->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        cell->setSizePolicy(policy);
        cell->setVisible(state.visible);
    }
}

// A hidden grid is out of the tab order and, having no cells, out of what a
// screen reader reports as showing.
void CalendarFrame::showGrid(bool shown) {
    m_grid->setFocusPolicy(shown ? Qt::StrongFocus : Qt::NoFocus);
    if (m_model->isShown() != shown) {
        m_model->setShown(shown);
        refreshGrid();
    }
    m_grid->setVisible(shown);
}

void CalendarFrame::refreshGrid() {
    m_model->reload();
    const int charWidth = m_grid->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const auto &columns = m_sheet.grid.columns;
    for (int i = 0; i < columns.size(); ++i) {
        m_grid->setColumnHidden(i, !columns[i].visible);
        if (columns[i].visible)
            m_grid->setColumnWidth(i, columns[i].width * charWidth + 16);
    }
    if (m_sheet.grid.currentRow >= 0)
        m_grid->setCurrentIndex(m_model->index(m_sheet.grid.currentRow, 0));
}
