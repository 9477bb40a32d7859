#pragma once

#include "ports/Printer.h"

#include <QPointer>
#include <QWidget>

class QPrinter;

// Plain documents on paper: the print dialog with its preview over the
// parent window, or, with an output file set, a PDF written without asking.
class QtPrinter final : public Printer {
public:
    explicit QtPrinter(QWidget *parent = nullptr)
        : m_parent(parent) {}

    void setParentWindow(QWidget *parent) { m_parent = parent; }
    // Every document goes to this PDF file instead of a printer.
    void setOutputFile(const QString &path) { m_outputFile = path; }

    bool printLines(const QString &title, const QStringList &lines) override;
    QString errorText() const override { return m_error; }

    // Lays the lines out on the printer's pages in a fixed-pitch font.
    static void render(QPrinter &printer, const QString &title, const QStringList &lines);

private:
    QPointer<QWidget> m_parent;
    QString m_outputFile;
    QString m_error;
};
