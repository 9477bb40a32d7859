#include "PointOfSaleExportWindow.h"

#include "WindowServices.h"
#include "billing/PointOfSaleExport.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

PointOfSaleExportWindow::PointOfSaleExportWindow(PointOfSaleExport &logic, QString mode,
                                                 QWidget *parent)
    : QDialog(parent)
    , m_logic(logic)
    , m_mode(std::move(mode))
    , m_message(new QLabel(this))
    , m_detail(new QLabel(this))
    , m_store(new QLabel(this))
    , m_error(new QPushButton(tr("&Error - click to acknowledge"), this)) {
    setObjectName(QStringLiteral("tillzoupdate"));
    setWindowTitle(tr("Tillzo POS Update"));
    setModal(true);
    m_message->setObjectName(QStringLiteral("lblmsg"));
    m_message->setAccessibleName(tr("Status"));
    m_message->setMinimumWidth(360);
    QFont bold = m_message->font();
    bold.setBold(true);
    m_message->setFont(bold);
    m_detail->setObjectName(QStringLiteral("lblerror"));
    m_detail->setWordWrap(true);
    m_detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_store->setObjectName(QStringLiteral("lblstore"));
    m_error->setObjectName(QStringLiteral("cmderror"));
    m_error->setAccessibleName(tr("Error - click to acknowledge"));
    m_error->setToolTip(tr("Lets the window close; the point-of-sale copies were left as they "
                           "were."));
    m_error->setAccessibleDescription(m_error->toolTip());

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_detail);
    layout->addWidget(m_store);
    layout->addWidget(m_error, 0, Qt::AlignRight);
    connect(m_error, &QPushButton::clicked, &m_logic, &PointOfSaleExport::acknowledgeError);
    connect(&m_logic, &PointOfSaleExport::changed, this, &PointOfSaleExportWindow::refresh);
    refresh();
}

void PointOfSaleExportWindow::Run(PointOfSaleExport &logic, const QString &mode, QWidget *parent) {
    PointOfSaleExportWindow window(logic, mode, parent);
    CenterForm(&window);
    window.exec();
}

void PointOfSaleExportWindow::refresh() {
    m_message->setText(m_logic.statusText);
    m_detail->setText(m_logic.errorDetail);
    m_detail->setVisible(m_logic.ErrorFlag != 0 && !m_logic.errorDetail.isEmpty());
    m_store->setText(m_logic.StoreId.isEmpty() ? QString() : tr("Store %1").arg(m_logic.StoreId));
    m_store->setVisible(!m_logic.StoreId.isEmpty());
    m_error->setVisible(m_logic.errorButtonVisible);
    if (m_logic.errorButtonVisible)
        m_error->setFocus();
}

void PointOfSaleExportWindow::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    // Once the window is on screen, so that the operator sees the progress.
    QTimer::singleShot(0, this, &PointOfSaleExportWindow::work);
}

void PointOfSaleExportWindow::work() {
    m_logic.updateTills(m_mode);
    if (m_logic.mayClose())
        accept();
}

void PointOfSaleExportWindow::reject() {
    if (m_logic.mayClose())
        QDialog::reject();
}

void PointOfSaleExportWindow::closeEvent(QCloseEvent *event) {
    if (m_logic.mayClose())
        QDialog::closeEvent(event);
    else
        event->ignore();
}
