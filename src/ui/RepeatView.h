#pragma once

#include "events/RepeatWindow.h"

#include <QDialog>
#include <array>

class QAbstractButton;
class QCalendarWidget;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableWidget;

// frmrepeat, "Repeat": the rule on the left (its kind, every how many, the
// weekdays, the end, or dates picked on a calendar), each date it gives and
// its outcome on the right, and Save Free Dates below. Escape or Close
// leaves.
class RepeatView final : public QDialog {
    Q_OBJECT

public:
    RepeatView(RepeatWindow &logic, QWidget *parent);

    // Opens for the main window's event (File > Repeat...).
    void showForCurrentEvent();

public slots:
    void refresh();

protected:
    void done(int result) override;

private:
    QWidget *buildRule();
    QWidget *buildEnding();
    QWidget *buildPicking();
    QWidget *buildPreview();
    void fillTable();
    void markPicked();

    RepeatWindow &m_logic;
    QLabel *m_caption = nullptr;
    QLabel *m_summary = nullptr;
    std::array<QRadioButton *, 5> m_kinds{};
    QLineEdit *m_every = nullptr;
    QLabel *m_everyUnit = nullptr;
    std::array<QCheckBox *, 7> m_weekdays{};
    QWidget *m_ending = nullptr;
    QRadioButton *m_forCount = nullptr;
    QRadioButton *m_untilDate = nullptr;
    QLineEdit *m_count = nullptr;
    QDateEdit *m_until = nullptr;
    QCalendarWidget *m_calendar = nullptr;
    QListWidget *m_picked = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_notice = nullptr;
    QLabel *m_outcomeSummary = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_save = nullptr;
    bool m_refreshing = false;
};
