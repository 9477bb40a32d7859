#pragma once

#include <QDialog>

class CalendarExport;
class QComboBox;
class QDateEdit;
class QLabel;
class QLayout;
class QLineEdit;

// File menu, "Export Calendar (.ics)...": the date range, the room and the
// file in one window. OK writes the file, or shows in the window why it
// could not; Cancel writes nothing.
class CalendarExportDialog final : public QDialog {
    Q_OBJECT

public:
    CalendarExportDialog(CalendarExport &logic, QWidget *parent = nullptr);

    // Opens the window when the operator may export.
    static void Run(CalendarExport &logic, QWidget *parent);

public slots:
    void accept() override;

private:
    void describeFields();
    QLabel *buildZoneNote();
    void describeError();
    QLayout *buildForm(QWidget *browse);
    void fillFromForm();
    void chooseFile();
    void refresh();

    CalendarExport &m_logic;
    QDateEdit *m_from;
    QDateEdit *m_to;
    QComboBox *m_room;
    QLineEdit *m_file;
    QLabel *m_error;
};
