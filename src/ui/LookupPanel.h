#pragma once

#include <QGroupBox>
#include <array>

class EventLookup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// fralookup, the look-up panel the "Lookup" button opens: the criterion
// boxes txtlookup(0..5) with their labels, the result list cbolookup and the
// buttons cmdlookup2(0) "Lookup" and cmdlookup2(1) "Cancel Lookup". Enter in
// a box presses "Lookup", F5 opens the date or account look-up, a double
// click takes its choice back. Drawn from EventLookup; every action goes there.
class LookupPanel final : public QGroupBox {
    Q_OBJECT

public:
    explicit LookupPanel(EventLookup &logic, QWidget *parent = nullptr);

    QLineEdit *box(int index) const { return m_boxes[index]; }
    QComboBox *results() const { return m_results; }

public slots:
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool boxEvent(int index, QEvent *event);

    EventLookup &m_logic;
    std::array<QLineEdit *, 6> m_boxes{};
    QComboBox *m_results = nullptr;
    QLabel *m_count = nullptr;
    bool m_refreshing = false; // texts set from the logic are not the operator's edits
};
