#include "PaymentsView.h"

#include "OrderTables.h"
#include "RgbColor.h"
#include "WindowServices.h"
#include "orders/EventOrderWindow.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// A labelled box of the Record Payment box, named as its label reads.
QLineEdit *addBox(QFormLayout *form, const QString &name, const QString &label, const QString &text,
                  int length = 0) {
    auto *box = new QLineEdit(text, form->parentWidget());
    box->setObjectName(name);
    if (length > 0)
        box->setMaxLength(length);
    auto *shown = new QLabel(label, form->parentWidget());
    shown->setBuddy(box);
    box->setAccessibleName(QString(label).remove(QLatin1Char('&')));
    form->addRow(shown, box);
    return box;
}

QPushButton *addButton(QBoxLayout *row, QWidget *parent, const QString &caption,
                       const QString &name) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

// An amount or a total lined up on its right.
bool isAmount(PaymentColumn column) {
    return column == PaymentColumn::AmountDue || column == PaymentColumn::AmountReceived;
}

} // namespace

RecordPaymentDialog::RecordPaymentDialog(PaymentsWindow &logic, int row, QWidget *parent)
    : QDialog(parent)
    , m_logic(logic)
    , m_row(row) {
    setObjectName(QStringLiteral("frmreceive"));
    const PaymentsWindow::PaymentEntry offered = logic.paymentFor(row);
    setWindowTitle(QStringLiteral("Record Payment - %1")
                       .arg(logic.rows.value(row).cells[PaymentColumn::What]));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    m_date = addBox(form, QStringLiteral("txtreceiveddate"), QStringLiteral("&Date received"),
                    offered.date);
    m_amount = addBox(form, QStringLiteral("txtreceivedamount"), QStringLiteral("A&mount"),
                      offered.amount);
    m_reference = addBox(form, QStringLiteral("txtreference"), QStringLiteral("R&eference"),
                         offered.reference, PaymentLine::ReferenceLength);
    m_reference->setToolTip(QStringLiteral("The cheque or card slip number"));
    m_reference->setAccessibleDescription(m_reference->toolTip());
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton *record =
        addButton(buttons, this, QStringLiteral("&Record"), QStringLiteral("cmdreceiveok"));
    record->setDefault(true);
    QPushButton *cancel =
        addButton(buttons, this, QStringLiteral("Ca&ncel"), QStringLiteral("cmdreceivecancel"));
    layout->addLayout(buttons);
    connect(record, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_amount->setFocus();
    m_amount->selectAll();
}

void RecordPaymentDialog::accept() {
    if (m_logic.recordPayment(m_row, {m_date->text(), m_amount->text(), m_reference->text()}))
        QDialog::accept();
}

PaymentsView::PaymentsView(PaymentsWindow &logic, QWidget *parent)
    : QDialog(parent)
    , m_logic(logic) {
    setObjectName(QStringLiteral("frmpayments"));
    // A change adopts the event's new change count into the main window's
    // event: that event must not change while this is open.
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("lblpaycaption"));
    QFont bold = m_caption->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_caption->setFont(bold);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblpaysummary"));
    layout->addWidget(m_caption);
    layout->addWidget(m_summary);

    QStringList headings;
    for (PaymentColumn column : AllPaymentColumns)
        headings << PaymentsWindow::columnTitle(column);
    m_table = OrderTables::setUp(new QTableWidget(this), QStringLiteral("grdpayments"),
                                 QStringLiteral("Schedule"), headings, int(PaymentColumn::What));
    m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->show();
    m_table->setToolTip(QStringLiteral("Type a line's what, due date or amount due; Space ticks a "
                                       "received payment posted"));
    m_table->setAccessibleDescription(m_table->toolTip());
    auto *schedule = new QLabel(QStringLiteral("&Schedule"), this);
    schedule->setBuddy(m_table);
    layout->addWidget(schedule);
    layout->addWidget(m_table, 1);
    layout->addLayout(buildTotals());

    m_caution = new QLabel(this);
    m_caution->setObjectName(QStringLiteral("lblpaycaution"));
    m_caution->setWordWrap(true);
    m_caution->setStyleSheet(QStringLiteral("QLabel { color: %1; background: %2; padding: 3px; "
                                            "border-radius: 3px; }")
                                 .arg(rgbColor(EventOrderWindow::CautionText).name(),
                                      rgbColor(EventOrderWindow::CautionBackground).name()));
    layout->addWidget(m_caution);
    layout->addLayout(buildButtons());
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblpaystatus"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    // Each change is written once the table is done with the cell: a
    // refusal's message must not open while its editor is being closed.
    connect(m_table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (m_refreshing)
            return;
        const int row = item->row();
        const auto column = PaymentColumn(item->column());
        const bool ticked = item->checkState() == Qt::Checked;
        const QString text = item->text();
        QMetaObject::invokeMethod(
            this,
            [this, row, column, ticked, text] {
                if (column == PaymentColumn::Posted) {
                    if (ticked != m_logic.rows.value(row).posted)
                        m_logic.setPosted(row, ticked);
                } else if (PaymentsWindow::isTyped(column)) {
                    m_logic.editCell(row, column, text);
                }
            },
            Qt::QueuedConnection);
    });
    connect(m_table, &QTableWidget::currentCellChanged, this, &PaymentsView::updateButtons);
    connect(&m_logic, &PaymentsWindow::changed, this, &PaymentsView::refresh);
    ResizeWithinScreen(this, QSize(980, 400));
}

QLayout *PaymentsView::buildTotals() {
    auto *totals = new QHBoxLayout;
    const auto total = [&](const QString &name, QLabel *caption) {
        auto *value = new QLabel(this);
        value->setObjectName(name);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        totals->addWidget(caption);
        totals->addWidget(value);
        totals->addSpacing(24);
        return value;
    };
    m_priced =
        total(QStringLiteral("lblpricedtotal"), new QLabel(QStringLiteral("Priced total"), this));
    m_received = total(QStringLiteral("lbltotalreceived"),
                       new QLabel(QStringLiteral("Total received"), this));
    m_balanceLabel = new QLabel(this);
    m_balanceLabel->setObjectName(QStringLiteral("lblbalancecaption"));
    m_balance = total(QStringLiteral("lblbalance"), m_balanceLabel);
    totals->addStretch(1);
    return totals;
}

QLayout *PaymentsView::buildButtons() {
    auto *row = new QHBoxLayout;
    m_applyTerms =
        addButton(row, this, QStringLiteral("Apply &Terms"), QStringLiteral("cmdapplyterms"));
    m_applyTerms->setToolTip(QStringLiteral("Fills the schedule from the club's usual terms"));
    m_addLine = addButton(row, this, QStringLiteral("&Add Line"), QStringLiteral("cmdaddline"));
    m_removeLine =
        addButton(row, this, QStringLiteral("&Remove Line"), QStringLiteral("cmdremoveline"));
    m_record =
        addButton(row, this, QStringLiteral("Record &Payment..."), QStringLiteral("cmdrecord"));
    m_undo = addButton(row, this, QStringLiteral("&Undo Payment"), QStringLiteral("cmdundopay"));
    row->addStretch(1);
    QPushButton *close =
        addButton(row, this, QStringLiteral("&Close"), QStringLiteral("cmdpayclose"));
    for (QPushButton *button : {m_applyTerms, m_addLine, m_removeLine, m_record, m_undo, close})
        button->setAccessibleDescription(button->toolTip());

    connect(m_applyTerms, &QPushButton::clicked, this, [this] { m_logic.applyTerms(); });
    connect(m_addLine, &QPushButton::clicked, this, [this] {
        if (m_logic.addLine())
            m_table->setCurrentCell(m_table->rowCount() - 1, int(PaymentColumn::What));
    });
    connect(m_removeLine, &QPushButton::clicked, this, [this] { m_logic.removeLine(chosenRow()); });
    connect(m_record, &QPushButton::clicked, this, &PaymentsView::recordPayment);
    connect(m_undo, &QPushButton::clicked, this, [this] { m_logic.undoPayment(chosenRow()); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    return row;
}

int PaymentsView::chosenRow() const {
    return m_table->currentRow();
}

void PaymentsView::recordPayment() {
    const int row = chosenRow();
    if (!m_logic.canRecord(row))
        return;
    auto *box = new RecordPaymentDialog(m_logic, row, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void PaymentsView::showForCurrentEvent() {
    if (!m_logic.open())
        return;
    ShowOnTop(this);
    if (m_table->rowCount() > 0)
        m_table->setCurrentCell(0, int(PaymentColumn::What));
    m_table->setFocus(Qt::OtherFocusReason);
}

void PaymentsView::refresh() {
    m_refreshing = true;
    setWindowTitle(m_logic.caption);
    m_caption->setText(m_logic.caption);
    m_summary->setText(m_logic.eventSummary);
    fillTable();
    m_priced->setText(m_logic.pricedText);
    m_received->setText(m_logic.receivedText);
    m_balanceLabel->setText(m_logic.balanceLabel);
    m_balance->setText(m_logic.balanceText);
    m_caution->setText(m_logic.caution);
    m_caution->setVisible(!m_logic.caution.isEmpty());
    m_status->setText(m_logic.statusText);
    updateButtons();
    if (!m_logic.visible && isVisible())
        hide();
    m_refreshing = false;
}

void PaymentsView::fillTable() {
    m_table->setRowCount(int(m_logic.rows.size()));
    const Qt::ItemFlags fixed = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    for (int row = 0; row < m_logic.rows.size(); ++row) {
        const PaymentsWindow::Row &line = m_logic.rows[row];
        for (PaymentColumn column : AllPaymentColumns) {
            Qt::ItemFlags flags = fixed;
            if (m_logic.editable && PaymentsWindow::isTyped(column))
                flags |= Qt::ItemIsEditable;
            if (column == PaymentColumn::Posted && m_logic.canPost(row))
                flags |= Qt::ItemIsUserCheckable;
            OrderTables::setCellText(m_table, row, int(column), line.cells[column], flags,
                                     isAmount(column) ? Qt::AlignRight : Qt::AlignLeft);
        }
        // Only a received payment can be posted: the others have no tick.
        QTableWidgetItem *posted = m_table->item(row, int(PaymentColumn::Posted));
        if (line.received)
            posted->setCheckState(line.posted ? Qt::Checked : Qt::Unchecked);
        else
            posted->setData(Qt::CheckStateRole, QVariant());
    }
    m_table->setEditTriggers(OrderTables::typingTriggers(m_logic.editable));
}

void PaymentsView::updateButtons() {
    const int row = chosenRow();
    m_applyTerms->setEnabled(m_logic.editable);
    m_addLine->setEnabled(m_logic.editable);
    m_removeLine->setEnabled(m_logic.canRemove(row));
    m_record->setEnabled(m_logic.canRecord(row));
    m_undo->setEnabled(m_logic.canUndo(row));
}

void PaymentsView::done(int result) {
    // Escape, Close and the window's frame all end here.
    if (m_logic.visible)
        m_logic.close();
    QDialog::done(result);
}
