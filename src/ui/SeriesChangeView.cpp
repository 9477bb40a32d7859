#include "SeriesChangeView.h"

#include "DialogControls.h"
#include "OrderTables.h"
#include "WindowServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Object names of the value boxes and the captions of their ticks.
struct ValueControl {
    const char *box;
    const char *tick;
};
constexpr ValueControl ValueControls[SeriesValueCount] = {
    {"txtseriesstart", "Change the &start time to"}, {"txtseriesend", "Change the e&nd time to"},
    {"cboseriesroom", "Change the &room to"},        {"txtseriestitle", "Change the &title to"},
    {"txtseriesguests", "Change the &guests to"},
};

} // namespace

SeriesChangeView::SeriesChangeView(SeriesChangeWindow &logic, QWidget *parent)
    : QDialog(parent)
    , m_logic(logic) {
    setObjectName(QStringLiteral("frmseries"));
    // Applying shows the main window's event again.
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    m_caption = DialogControls::caption(this, QStringLiteral("lblseriescaption"));
    m_rule = new QLabel(this);
    m_rule->setObjectName(QStringLiteral("lblseriesrule"));
    layout->addWidget(m_caption);
    layout->addWidget(m_rule);

    m_table = OrderTables::setUp(
        new QTableWidget(this), QStringLiteral("grdseries"), QStringLiteral("Later events"),
        {QStringLiteral("Event"), QStringLiteral("Date"), QStringLiteral("Status")}, 2);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(DialogControls::labelFor(m_table, QStringLiteral("Later &events")));
    layout->addWidget(m_table, 1);
    layout->addLayout(buildValues());

    auto *apply = new QPushButton(QStringLiteral("&Apply"), this);
    apply->setObjectName(QStringLiteral("cmdseriesapply"));
    apply->setToolTip(QStringLiteral("Gives the ticked values to every later event of the series"));
    DialogControls::addButtons(layout, this, apply, QStringLiteral("cmdseriesclose"));
    m_status = DialogControls::statusLine(layout, this, QStringLiteral("lblseriesstatus"));

    connect(apply, &QPushButton::clicked, this, [this] { m_logic.apply(); });
    connect(&m_logic, &SeriesChangeWindow::changed, this, &SeriesChangeView::refresh);
    ResizeWithinScreen(this, QSize(620, 520));
}

QLayout *SeriesChangeView::buildValues() {
    auto *grid = new QGridLayout;
    for (SeriesValue value : AllSeriesValues) {
        const ValueControl &names = ValueControls[int(value)];
        auto *tick = new QCheckBox(QString::fromLatin1(names.tick), this);
        tick->setObjectName(QStringLiteral("chkserieschange(%1)").arg(int(value)));
        m_ticks[value] = tick;
        QWidget *control = nullptr;
        if (value == SeriesValue::Room) {
            m_room = new QComboBox(this);
            connect(m_room, &QComboBox::activated, &m_logic, &SeriesChangeWindow::chooseRoom);
            control = m_room;
        } else {
            auto *box = new QLineEdit(this);
            connect(box, &QLineEdit::textEdited, this,
                    [this, value](const QString &text) { m_logic.editValue(value, text); });
            m_boxes[value] = box;
            control = box;
        }
        control->setObjectName(QString::fromLatin1(names.box));
        control->setAccessibleName(SeriesChangeWindow::valueLabel(value));
        connect(tick, &QCheckBox::clicked, this,
                [this, value](bool on) { m_logic.setChanging(value, on); });
        grid->addWidget(tick, int(value), 0);
        grid->addWidget(control, int(value), 1);
    }
    grid->setColumnStretch(1, 1);
    return grid;
}

void SeriesChangeView::showForCurrentEvent() {
    if (!m_logic.open())
        return;
    ShowOnTop(this);
    m_table->setFocus(Qt::OtherFocusReason);
}

void SeriesChangeView::refresh() {
    setWindowTitle(m_logic.caption);
    m_caption->setText(m_logic.caption);
    m_rule->setText(m_logic.ruleText);
    m_table->setRowCount(int(m_logic.later.size()));
    const Qt::ItemFlags fixed = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    for (int row = 0; row < m_logic.later.size(); ++row) {
        const SeriesChangeWindow::Later &event = m_logic.later[row];
        OrderTables::setCellText(m_table, row, 0, event.number, fixed);
        OrderTables::setCellText(m_table, row, 1, event.date, fixed);
        OrderTables::setCellText(m_table, row, 2, event.status, fixed);
    }
    m_table->resizeColumnsToContents();
    for (SeriesValue value : AllSeriesValues) {
        m_ticks[value]->setChecked(m_logic.changing[value]);
        if (QLineEdit *box = m_boxes[value]; box && box->text() != m_logic.values[value])
            box->setText(m_logic.values[value]);
    }
    if (m_room->count() != m_logic.roomEntries.size()) {
        m_room->clear();
        m_room->addItems(m_logic.roomEntries);
    }
    m_room->setCurrentIndex(m_logic.roomRow);
    m_status->setText(m_logic.statusText);
    m_status->setVisible(!m_logic.statusText.isEmpty());
    if (!m_logic.visible && isVisible())
        hide();
}

void SeriesChangeView::done(int result) {
    if (m_logic.visible)
        m_logic.close();
    QDialog::done(result);
}
