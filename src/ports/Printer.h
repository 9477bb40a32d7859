#pragma once

#include <QString>
#include <QStringList>

// Prints a plain document of text lines (the audit history): the program
// shows the print dialog with its preview, tests save a PDF.
class Printer {
public:
    virtual ~Printer() = default;

    // False when nothing was printed: the operator cancelled, or the
    // printer failed (errorText says why).
    virtual bool printLines(const QString &title, const QStringList &lines) = 0;
    virtual QString errorText() const { return QString(); }
};
