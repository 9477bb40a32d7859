#pragma once

#include "ParameterBlock.h"
#include "ReportFailure.h"
#include "ReportLayout.h"
#include "ReportValues.h"

#include <QDate>

class QPagedPaintDevice;

// One report: the parameter block read, its layout and data loaded; then
// drawn to a PDF file or any other paged device (the print preview).
class ReportJob {
public:
    struct Settings {
        QString clubDirectory;
        QDate today;
        QString dataDirectory; // empty: the club directory
    };

    struct Pdf {
        QByteArray bytes;
        int pages = 0;
    };

    // Reads the block, the layout and every query; nothing is written.
    static Result<ReportJob, ReportFailure> prepare(const QString &blockText,
                                                    const Settings &settings);
    static Result<ReportJob, ReportFailure> prepare(ParameterBlock block, const Settings &settings);

    const ParameterBlock &block() const { return m_block; }
    // Beside DataFiles(0), named after it and the layout: rpt05.mdb and
    // evntcon1.rpt give rpt05-evntcon1.pdf.
    QString defaultPdfPath() const;
    // The whole PDF, in memory.
    Result<Pdf, ReportFailure> makePdf() const;
    // Writes the whole file or, on failure, nothing; the number of pages.
    Result<int, ReportFailure> writePdf(const QString &path) const;
    // Writes a PDF made before to the file, or to standard output for "-".
    static Result<int, ReportFailure> write(const Pdf &pdf, const QString &path);
    Result<int, ReportFailure> print(QPagedPaintDevice &device) const;

private:
    ParameterBlock m_block;
    ReportLayout m_layout;
    ReportValues::Data m_values;
    QString m_mainFile;
};
