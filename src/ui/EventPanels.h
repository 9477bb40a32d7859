#pragma once

#include "events/AuditHistory.h"

#include <QWidget>
#include <array>

class MainWindowLogic;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

// The event record's 36 boxes Text1(0..35) in their three panels: the event
// panel, the billing panel frabilling and the contact panel fracontact, with
// the status list, the member options, the time and room lists and the note
// switch, below them the package list lstpkg and the package buttons
// cmdmulti; and the two panels that open above them, the employee panel
// fraemployee and the history panel fraaudit. Every user action goes to the
// logic; the panels draw from its state.
class EventPanels final : public QObject {
    Q_OBJECT

public:
    static constexpr int BoxCount = 36;

    EventPanels(MainWindowLogic &logic, QWidget *owner);

    QGroupBox *eventPanel() const { return m_event; }
    QGroupBox *billingPanel() const { return m_billing; }
    QGroupBox *contactPanel() const { return m_contact; }
    QWidget *box(int index) const { return m_boxes[index]; }

    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *makeBox(int index, QWidget *parent);
    void addRow(class QGridLayout *grid, int row, int column, int index, int columnSpan = 1);
    QGroupBox *addressPanel(const QString &title, const QString &name, int first);
    QGroupBox *makeOverlay(const QString &title, const QString &name, QWidget *owner);
    void buildEmployeePanel(QWidget *owner);
    void buildAuditPanel(QWidget *owner);
    void fillAuditTable(const QList<AuditEntry> &entries);
    void buildPackageControls(class QGridLayout *grid, int row);
    void refreshPackages();
    void placeOverlay(QWidget *overlay, bool visible);
    bool boxEvent(int index, QEvent *event);
    void boxEdited(int index);
    void focusRequestedBox();

    MainWindowLogic &m_logic;
    std::array<QWidget *, BoxCount> m_boxes{};
    std::array<QLabel *, BoxCount> m_labels{};
    QGroupBox *m_event = nullptr;
    QGroupBox *m_billing = nullptr;
    QGroupBox *m_contact = nullptr;
    QComboBox *m_status = nullptr;
    QListWidget *m_rooms = nullptr;
    QComboBox *m_start = nullptr;
    QComboBox *m_end = nullptr;
    std::array<QRadioButton *, 2> m_member{};
    std::array<QPushButton *, 2> m_noteSwitch{};
    QPushButton *m_cmdbilling = nullptr;
    QPushButton *m_cmdassign = nullptr;
    QPushButton *m_cmdcontact = nullptr;
    QListWidget *m_lstpkg = nullptr; // the event's package, or the open packages
    std::array<QPushButton *, 2> m_cmdmulti{};
    QLabel *m_classcode = nullptr; // lblclasscode
    QLabel *m_taxExempt = nullptr; // lbltaxexempt
    QGroupBox *m_employee = nullptr;
    QLineEdit *m_txtemployee = nullptr;
    QGroupBox *m_audit = nullptr;
    QTableWidget *m_auditTable = nullptr;
    QList<AuditEntry> m_auditShown;
    QPushButton *m_printAudit = nullptr;
    bool m_refreshing = false; // texts set from the logic are not the operator's edits
};
