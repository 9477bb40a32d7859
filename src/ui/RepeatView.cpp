#include "RepeatView.h"

#include "DialogControls.h"
#include "OrderTables.h"
#include "RgbColor.h"
#include "WindowServices.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextCharFormat>
#include <QVBoxLayout>

namespace {

using Kind = RepeatRule::Kind;
using DialogControls::describe;
using DialogControls::labelFor;

void setTextKeepingCursor(QLineEdit *box, const QString &text) {
    if (box->text() != text)
        box->setText(text);
}

} // namespace

RepeatView::RepeatView(RepeatWindow &logic, QWidget *parent)
    : QDialog(parent)
    , m_logic(logic) {
    setObjectName(QStringLiteral("frmrepeat"));
    // Saving shows the original again in the main window: it must not
    // change while this is open.
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    m_caption = DialogControls::caption(this, QStringLiteral("lblrepeatcaption"));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblrepeatevent"));
    layout->addWidget(m_caption);
    layout->addWidget(m_summary);

    auto *body = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addWidget(buildRule());
    left->addWidget(buildEnding());
    left->addWidget(buildPicking(), 1);
    body->addLayout(left);
    body->addWidget(buildPreview(), 1);
    layout->addLayout(body, 1);

    m_save = new QPushButton(QStringLiteral("&Save Free Dates"), this);
    m_save->setObjectName(QStringLiteral("cmdsaverepeat"));
    m_save->setToolTip(QStringLiteral("Saves a copy of the event on every date that can take one"));
    DialogControls::addButtons(layout, this, m_save, QStringLiteral("cmdrepeatclose"));
    m_status = DialogControls::statusLine(layout, this, QStringLiteral("lblrepeatstatus"));

    connect(m_save, &QPushButton::clicked, this, [this] { m_logic.saveFreeDates(); });
    connect(&m_logic, &RepeatWindow::changed, this, &RepeatView::refresh);
    ResizeWithinScreen(this, QSize(1060, 640));
}

QWidget *RepeatView::buildRule() {
    auto *group = new QGroupBox(QStringLiteral("Repeat"), this);
    auto *grid = new QGridLayout(group);
    // Row by row, the weekday boxes under the weekly choice.
    const struct {
        Kind kind;
        const char *caption;
        int row;
    } kinds[] = {
        {Kind::Days, "Every few &days", 0},
        {Kind::Weeks, "&Weekly, on the days ticked", 1},
        {Kind::MonthlyByDate, "&Monthly on the same date", 3},
        {Kind::MonthlyByWeekday, "Monthly on the same weekda&y", 4},
        {Kind::Picked, "On &picked dates", 5},
    };
    for (const auto &[kind, caption, row] : kinds) {
        auto *option = new QRadioButton(QString::fromLatin1(caption), group);
        option->setObjectName(QStringLiteral("optrepeat(%1)").arg(int(kind)));
        m_kinds[int(kind)] = option;
        grid->addWidget(option, row, 0, 1, 3);
        connect(option, &QRadioButton::clicked, this, [this, kind] { m_logic.chooseKind(kind); });
    }
    auto *weekdays = new QHBoxLayout;
    weekdays->setContentsMargins(24, 0, 0, 0);
    static const char *const days[7] = {"M&on", "&Tue", "W&ed", "T&hu", "F&ri", "S&at", "Su&n"};
    for (int day = 1; day <= 7; ++day) {
        auto *box = new QCheckBox(QString::fromLatin1(days[day - 1]), group);
        box->setObjectName(QStringLiteral("chkweekday(%1)").arg(day));
        describe(box, QLocale(QLocale::English).dayName(day));
        m_weekdays[day - 1] = box;
        weekdays->addWidget(box);
        connect(box, &QCheckBox::clicked, this,
                [this, day](bool on) { m_logic.setWeekday(day, on); });
    }
    weekdays->addStretch(1);
    grid->addLayout(weekdays, 2, 0, 1, 3);

    m_every = new QLineEdit(group);
    m_every->setObjectName(QStringLiteral("txtevery"));
    m_every->setMaxLength(2);
    m_every->setFixedWidth(m_every->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    describe(m_every, QStringLiteral("1 for every day, week or month; 2 for every other one"));
    m_everyUnit = new QLabel(group);
    grid->addWidget(labelFor(m_every, QStringLiteral("E&very")), 6, 0);
    grid->addWidget(m_every, 6, 1);
    grid->addWidget(m_everyUnit, 6, 2);
    grid->setColumnStretch(2, 1);
    connect(m_every, &QLineEdit::textEdited, &m_logic, &RepeatWindow::editEvery);
    return group;
}

QWidget *RepeatView::buildEnding() {
    auto *group = new QGroupBox(QStringLiteral("Ends"), this);
    m_ending = group;
    auto *grid = new QGridLayout(group);
    m_forCount = new QRadioButton(QStringLiteral("&For"), group);
    m_forCount->setObjectName(QStringLiteral("optrepeatend(0)"));
    m_count = new QLineEdit(group);
    m_count->setObjectName(QStringLiteral("txtrepeatcount"));
    m_count->setMaxLength(3);
    m_count->setFixedWidth(m_count->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    m_count->setAccessibleName(QStringLiteral("Number of copies"));
    describe(m_count, QStringLiteral("How many copies, up to %1").arg(RepeatRule::MostCopies));
    m_untilDate = new QRadioButton(QStringLiteral("&Until"), group);
    m_untilDate->setObjectName(QStringLiteral("optrepeatend(1)"));
    m_until = new QDateEdit(group);
    m_until->setObjectName(QStringLiteral("txtrepeatuntil"));
    m_until->setCalendarPopup(true);
    m_until->setAccessibleName(QStringLiteral("Last date"));
    describe(m_until, QStringLiteral("The last date a copy may fall on"));
    grid->addWidget(m_forCount, 0, 0);
    grid->addWidget(m_count, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("copies"), group), 0, 2);
    grid->addWidget(m_untilDate, 1, 0);
    grid->addWidget(m_until, 1, 1, 1, 2);
    grid->setColumnStretch(3, 1);
    connect(m_forCount, &QRadioButton::clicked, this,
            [this] { m_logic.chooseEnding(RepeatWindow::Ending::Count); });
    connect(m_untilDate, &QRadioButton::clicked, this,
            [this] { m_logic.chooseEnding(RepeatWindow::Ending::Until); });
    connect(m_count, &QLineEdit::textEdited, &m_logic, &RepeatWindow::editCount);
    connect(m_until, &QDateEdit::dateChanged, this, [this](QDate date) {
        if (!m_refreshing)
            m_logic.editUntil(date);
    });
    return group;
}

QWidget *RepeatView::buildPicking() {
    auto *group = new QWidget(this);
    auto *grid = new QGridLayout(group);
    grid->setContentsMargins(0, 0, 0, 0);
    m_calendar = new QCalendarWidget(group);
    m_calendar->setObjectName(QStringLiteral("calrepeat"));
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    describe(m_calendar, QStringLiteral("Click a date to pick it; click it again to leave it out"));
    m_picked = new QListWidget(group);
    m_picked->setObjectName(QStringLiteral("lstpicked"));
    m_picked->setFocusPolicy(Qt::TabFocus);
    grid->addWidget(labelFor(m_calendar, QStringLiteral("Ca&lendar")), 0, 0);
    grid->addWidget(m_calendar, 1, 0);
    grid->addWidget(labelFor(m_picked, QStringLiteral("P&icked")), 0, 1);
    grid->addWidget(m_picked, 1, 1);
    grid->setColumnStretch(1, 1);
    connect(m_calendar, &QCalendarWidget::activated, &m_logic, &RepeatWindow::pickDate);
    connect(m_calendar, &QCalendarWidget::clicked, &m_logic, &RepeatWindow::pickDate);
    return group;
}

QWidget *RepeatView::buildPreview() {
    auto *panel = new QWidget(this);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    m_table = OrderTables::setUp(new QTableWidget(panel), QStringLiteral("grdrepeat"),
                                 QStringLiteral("Dates given"),
                                 {QStringLiteral("Date"), QStringLiteral("Outcome")}, 1);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(true);
    describe(m_table, QStringLiteral("Each date the rule gives, and whether a copy can be saved "
                                     "on it"));
    column->addWidget(labelFor(m_table, QStringLiteral("Dates &given")));
    column->addWidget(m_table, 1);
    m_notice = new QLabel(panel);
    m_notice->setObjectName(QStringLiteral("lblrepeatnotice"));
    m_notice->setWordWrap(true);
    m_outcomeSummary = new QLabel(panel);
    m_outcomeSummary->setObjectName(QStringLiteral("lblrepeatsummary"));
    m_outcomeSummary->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; }"));
    column->addWidget(m_notice);
    column->addWidget(m_outcomeSummary);
    return panel;
}

void RepeatView::showForCurrentEvent() {
    if (!m_logic.open())
        return;
    m_calendar->setCurrentPage(m_logic.originalDate.year(), m_logic.originalDate.month());
    ShowOnTop(this);
    m_kinds[int(m_logic.kind)]->setFocus(Qt::OtherFocusReason);
}

void RepeatView::refresh() {
    m_refreshing = true;
    setWindowTitle(m_logic.caption);
    m_caption->setText(m_logic.caption);
    m_summary->setText(m_logic.eventSummary);
    for (QRadioButton *option : m_kinds)
        option->setChecked(option == m_kinds[int(m_logic.kind)]);
    m_kinds[int(Kind::MonthlyByDate)]->setText(
        QStringLiteral("&Monthly on the same date (%1)").arg(m_logic.monthlyDateCaption));
    m_kinds[int(Kind::MonthlyByWeekday)]->setText(
        QStringLiteral("Monthly on the same weekda&y (%1)").arg(m_logic.monthlyWeekdayCaption));
    setTextKeepingCursor(m_every, m_logic.everyText);
    m_everyUnit->setText(m_logic.everyUnit);
    m_every->setEnabled(m_logic.everyUsed());
    for (int day = 0; day < 7; ++day) {
        m_weekdays[day]->setChecked(m_logic.weekdays[day]);
        m_weekdays[day]->setEnabled(m_logic.weekdaysUsed());
    }
    m_ending->setEnabled(m_logic.everyUsed());
    m_forCount->setChecked(m_logic.ending == RepeatWindow::Ending::Count);
    m_untilDate->setChecked(m_logic.ending == RepeatWindow::Ending::Until);
    setTextKeepingCursor(m_count, m_logic.countText);
    m_until->setDisplayFormat(m_logic.untilFormat);
    if (m_until->date() != m_logic.until)
        m_until->setDate(m_logic.until);
    m_calendar->setEnabled(m_logic.pickingUsed());
    m_picked->setEnabled(m_logic.pickingUsed());
    QStringList listed;
    for (int row = 0; row < m_picked->count(); ++row)
        listed << m_picked->item(row)->text();
    if (listed != m_logic.pickedTexts) {
        m_picked->clear();
        m_picked->addItems(m_logic.pickedTexts);
    }
    markPicked();
    fillTable();
    m_notice->setText(m_logic.notice);
    m_notice->setVisible(!m_logic.notice.isEmpty());
    m_outcomeSummary->setText(m_logic.summary);
    m_status->setText(m_logic.statusText);
    m_status->setVisible(!m_logic.statusText.isEmpty());
    m_save->setEnabled(m_logic.saveEnabled);
    if (!m_logic.visible && isVisible())
        hide();
    m_refreshing = false;
}

void RepeatView::markPicked() {
    m_calendar->setDateTextFormat(QDate(), QTextCharFormat());
    QTextCharFormat picked;
    picked.setFontWeight(QFont::Bold);
    picked.setBackground(palette().highlight());
    picked.setForeground(palette().highlightedText());
    for (const QDate &date : m_logic.picked)
        m_calendar->setDateTextFormat(date, picked);
}

void RepeatView::fillTable() {
    m_table->setRowCount(int(m_logic.rows.size()));
    const Qt::ItemFlags fixed = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    for (int row = 0; row < m_logic.rows.size(); ++row) {
        const RepeatWindow::Row &shown = m_logic.rows[row];
        OrderTables::setCellText(m_table, row, 0, shown.date, fixed);
        OrderTables::setCellText(m_table, row, 1, shown.outcome, fixed);
        for (int column : {0, 1}) {
            QTableWidgetItem *item = m_table->item(row, column);
            item->setForeground(rgbColor(shown.foreground));
            item->setBackground(rgbColor(shown.background));
        }
    }
    m_table->resizeColumnToContents(0);
}

void RepeatView::done(int result) {
    // Escape, Close and the window's frame all end here.
    if (m_logic.visible)
        m_logic.close();
    QDialog::done(result);
}
