#include "QtPrinter.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

void QtPrinter::render(QPrinter &printer, const QString &title, const QStringList &lines) {
    QTextDocument document;
    document.setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    document.setPlainText(lines.join(QLatin1Char('\n')));
    document.setMetaInformation(QTextDocument::DocumentTitle, title);
    printer.setDocName(title);
    document.print(&printer);
}

bool QtPrinter::printLines(const QString &title, const QStringList &lines) {
    m_error.clear();
    QPrinter printer(QPrinter::HighResolution);
    if (!m_outputFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_outputFile);
        render(printer, title, lines);
        if (!QFileInfo(m_outputFile).isFile() || QFileInfo(m_outputFile).size() == 0) {
            m_error = QStringLiteral("The PDF %1 could not be written.").arg(m_outputFile);
            return false;
        }
        return true;
    }
    QPrintPreviewDialog preview(&printer, m_parent);
    preview.setWindowTitle(title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter *target) { render(*target, title, lines); });
    return preview.exec() == QDialog::Accepted;
}
