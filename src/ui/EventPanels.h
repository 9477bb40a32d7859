#pragma once

#include "events/AuditHistory.h"
#include "session/EventField.h"

#include <QWidget>
#include <array>
#include <optional>

class MainWindowLogic;
class PopupList;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

// The event's boxes, one for each field, Text1(0..35), in their three panels: the event
// panel, the billing panel frabilling and the contact panel fracontact, with
// the status list, the member options, the time and room lists and the note
// switch, below them the package list lstpkg and the package buttons
// cmdmulti; the time and room lists open as pop-ups under their boxes; and
// the two panels that open above them, the employee panel
// fraemployee and the history panel fraaudit. Every user action goes to the
// logic; the panels draw from its state.
class EventPanels final : public QObject {
    Q_OBJECT

public:
    EventPanels(MainWindowLogic &logic, QWidget *owner);

    QGroupBox *eventPanel() const { return m_event; }
    QGroupBox *billingPanel() const { return m_billing; }
    QGroupBox *contactPanel() const { return m_contact; }
    QWidget *box(EventField field) const { return m_boxes[field]; }

    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The event panel: its boxes, the lists beside them, the status list,
    // the member options, the notes and the package controls.
    void buildEventPanel(QWidget *owner);
    void buildTimeAndRoomLists();
    void buildStatusList(class QGridLayout *grid);
    void buildMemberOptions(class QGridLayout *grid);
    void buildNotes(class QGridLayout *grid);
    // The billing panel: the billing address, the account and its buttons.
    void buildBillingPanel();
    void buildContactPanel();
    // The boxes are visited in column order; the status list and the
    // member options stand in for their hidden boxes.
    void orderTabStops();
    QWidget *makeBox(EventField field, QWidget *parent);
    void addRow(class QGridLayout *grid, int row, int column, EventField field, int columnSpan = 1);
    QGroupBox *addressPanel(const QString &title, const QString &name, EventField first);
    QGroupBox *makeOverlay(const QString &title, const QString &name, QWidget *owner);
    void buildEmployeePanel(QWidget *owner);
    void buildAuditPanel(QWidget *owner);
    void fillAuditTable(const QList<AuditEntry> &entries);
    void buildPackageControls(class QGridLayout *grid, int row);
    void refreshPackages();
    void placeOverlay(QWidget *overlay, bool visible);
    bool boxEvent(EventField field, QEvent *event);
    void boxEdited(EventField field);
    void focusRequestedBox();
    // The list the logic offers for its box, opened once the event that
    // asked for it is over; nothing when the logic no longer offers it.
    bool listWanted(const PopupList *list) const;
    void offerList(PopupList *list);
    PopupList *listOfBox(EventField field) const;
    void refreshLists();
    void refreshStatus();

    MainWindowLogic &m_logic;
    PerEventField<QWidget *> m_boxes{};
    PerEventField<QLabel *> m_labels{};
    QGroupBox *m_event = nullptr;
    QGroupBox *m_billing = nullptr;
    QGroupBox *m_contact = nullptr;
    QComboBox *m_status = nullptr;
    // The logic's status last shown in m_status: what the operator browses
    // to stays until he chooses or leaves the list.
    std::optional<QString> m_statusShown;
    PopupList *m_rooms = nullptr; // List1
    PopupList *m_start = nullptr; // cbostart
    PopupList *m_end = nullptr;   // cboend
    // Whether the logic offered each list (start, end, room) at the last
    // refresh: a list opens as the offer comes, not again after Escape.
    std::array<bool, 3> m_listOffered{};
    std::array<QRadioButton *, 2> m_member{};
    QButtonGroup *m_memberGroup = nullptr;
    std::array<QPushButton *, 2> m_noteSwitch{};
    QPushButton *m_billingButton = nullptr;
    QPushButton *m_assignButton = nullptr;
    QPushButton *m_contactButton = nullptr;
    QListWidget *m_packageList = nullptr; // the event's package, or the open packages
    std::array<QPushButton *, 2> m_packageButtons{};
    QLabel *m_classcode = nullptr; // lblclasscode
    QLabel *m_taxExempt = nullptr; // lbltaxexempt
    QGroupBox *m_employee = nullptr;
    QLineEdit *m_employeeBox = nullptr;
    QGroupBox *m_audit = nullptr;
    QTableWidget *m_auditTable = nullptr;
    QList<AuditEntry> m_auditShown;
    QPushButton *m_printAudit = nullptr;
    bool m_refreshing = false; // texts set from the logic are not the operator's edits
};
