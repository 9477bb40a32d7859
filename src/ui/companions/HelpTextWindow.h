#pragma once

#include "ports/CompanionFiles.h"
#include "storage/Lookups.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// vrnedit: shows one help text of the club directory. Operators who may
// change help texts get an editable text and a "Save" button.
class HelpTextWindow final : public QWidget {
    Q_OBJECT

public:
    HelpTextWindow(CompanionFiles files, const QStringList &arguments, QWidget *parent = nullptr);

private:
    void save();
    void showNote(const QString &note);

    CompanionFiles m_files;
    HelpText m_help;
    QPlainTextEdit *m_text;
    QLabel *m_note;
    QPushButton *m_save;
};
