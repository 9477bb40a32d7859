#pragma once

#include "payments/PaymentsWindow.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// frmreceive, "Record Payment": the date, amount and reference of one
// payment on the chosen line, offered as today and what the line owes. It
// stays open on a refusal, with what was typed.
class RecordPaymentDialog final : public QDialog {
    Q_OBJECT

public:
    RecordPaymentDialog(PaymentsWindow &logic, int row, QWidget *parent);

    void accept() override;

private:
    PaymentsWindow &m_logic;
    int m_row;
    QLineEdit *m_date = nullptr;
    QLineEdit *m_amount = nullptr;
    QLineEdit *m_reference = nullptr;
};

// frmpayments, the payment schedule of the main window's event: its lines
// typed in place, the totals and balance, and the actions below. Every
// action is written at once; Escape or Close leaves.
class PaymentsView final : public QDialog {
    Q_OBJECT

public:
    PaymentsView(PaymentsWindow &logic, QWidget *parent);

    // Opens for the current event (the main window's "Payments").
    void showForCurrentEvent();
    // Record Payment on the chosen line: opens its box.
    void recordPayment();

public slots:
    void refresh();

protected:
    void done(int result) override;

private:
    QLayout *buildTotals();
    QLayout *buildButtons();
    void fillTable();
    void updateButtons();
    int chosenRow() const;

    PaymentsWindow &m_logic;
    QLabel *m_caption = nullptr;
    QLabel *m_summary = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_priced = nullptr;
    QLabel *m_received = nullptr;
    QLabel *m_balanceLabel = nullptr;
    QLabel *m_balance = nullptr;
    QLabel *m_caution = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_applyTerms = nullptr;
    QPushButton *m_addLine = nullptr;
    QPushButton *m_removeLine = nullptr;
    QPushButton *m_record = nullptr;
    QPushButton *m_undo = nullptr;
    bool m_refreshing = false;
};
