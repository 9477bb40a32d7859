#pragma once

#include <QWidget>
#include <array>

class MainWindowLogic;
class QComboBox;
class QGroupBox;
class QListWidget;
class QRadioButton;

// The event record's 36 boxes Text1(0..35) in their three panels: the event
// panel, the billing panel frabilling and the contact panel fracontact, with
// the status list, the member options and the room list.
class EventPanels final : public QObject {
    Q_OBJECT

public:
    static constexpr int BoxCount = 36;

    explicit EventPanels(QWidget *owner);

    QGroupBox *eventPanel() const { return m_event; }
    QGroupBox *billingPanel() const { return m_billing; }
    QGroupBox *contactPanel() const { return m_contact; }
    QWidget *box(int index) const { return m_boxes[index]; }

    void refresh(const MainWindowLogic &logic);

signals:
    void startTimeChosen(const QString &entry); // cbostart
    void endTimeChosen(const QString &entry);   // cboend
    void roomChosen(int row);                   // a double-click in List1

private:
    QWidget *makeBox(int index, QWidget *parent);
    void addRow(class QGridLayout *grid, int row, int column, int index, const QString &label,
                int columnSpan = 1);

    std::array<QWidget *, BoxCount> m_boxes{};
    QGroupBox *m_event = nullptr;
    QGroupBox *m_billing = nullptr;
    QGroupBox *m_contact = nullptr;
    QComboBox *m_status = nullptr;
    QListWidget *m_rooms = nullptr;
    QComboBox *m_start = nullptr;
    QComboBox *m_end = nullptr;
    std::array<QRadioButton *, 2> m_member{};
};
