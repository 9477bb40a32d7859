#pragma once

#include "events/SeriesChangeWindow.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// frmseries, "Change the Series": the series' events after the main
// window's one, and the values to give them, each with its tick. Escape or
// Close leaves.
class SeriesChangeView final : public QDialog {
    Q_OBJECT

public:
    SeriesChangeView(SeriesChangeWindow &logic, QWidget *parent);

    // Opens for the main window's event (File > Change the Series...).
    void showForCurrentEvent();

public slots:
    void refresh();

protected:
    void done(int result) override;

private:
    QLayout *buildValues();

    SeriesChangeWindow &m_logic;
    QLabel *m_caption = nullptr;
    QLabel *m_rule = nullptr;
    QTableWidget *m_table = nullptr;
    EnumArray<SeriesValue, QCheckBox *, SeriesValueCount> m_ticks{};
    EnumArray<SeriesValue, QLineEdit *, SeriesValueCount> m_boxes{}; // none for the room
    QComboBox *m_room = nullptr;
    QLabel *m_status = nullptr;
};
