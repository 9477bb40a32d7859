#pragma once

#include <QDialog>

class PointOfSaleExport;
class QLabel;
class QPushButton;

// tillzoupdate: the point-of-sale export in a small modal window. It starts
// the work once shown, shows its progress, and closes by itself when all
// went well; after an error it stays, showing it, until the error button
// is clicked.
class PointOfSaleExportWindow final : public QDialog {
    Q_OBJECT

public:
    // The window runs `mode` (PointOfSaleExport::updateTills) once shown.
    PointOfSaleExportWindow(PointOfSaleExport &logic, QString mode, QWidget *parent = nullptr);

    // Runs the export for `mode` in a modal window.
    static void Run(PointOfSaleExport &logic, const QString &mode, QWidget *parent);

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void refresh();
    void work();

    PointOfSaleExport &m_logic;
    QString m_mode;
    QLabel *m_message;
    QLabel *m_detail;
    QLabel *m_store;
    QPushButton *m_error;
    bool m_started = false;
};
