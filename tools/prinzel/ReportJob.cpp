#include "ReportJob.h"

#include "DataConnection.h"
#include "OutputFile.h"
#include "ReportRenderer.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>

Result<ReportJob, ReportFailure> ReportJob::prepare(const QString &blockText,
                                                    const Settings &settings) {
    auto block = ParameterBlock::parse(blockText);
    if (!block)
        return block.error();
    return prepare(std::move(*block), settings);
}

Result<ReportJob, ReportFailure> ReportJob::prepare(ParameterBlock block,
                                                    const Settings &settings) {
    auto layout = ReportLayout::load(settings.clubDirectory, block.reportFileName);
    if (!layout)
        return layout.error();
    const auto formula = SelectionFormula::parse(block.selectionFormula);
    if (!formula)
        return formula.error();
    const auto connection = DataConnection::open(
        settings.dataDirectory.isEmpty() ? settings.clubDirectory : settings.dataDirectory,
        block.dataFiles);
    if (!connection)
        return connection.error();
    // A block without a locale prints as prinzel always has, in American
    // English.
    auto formats = block.clubFormats;
    if (formats.value(QString::fromLatin1(ClubSettings::Locale)).isEmpty())
        formats.insert(QString::fromLatin1(ClubSettings::Locale), QStringLiteral("en_US"));
    auto values =
        ReportValues::read((*connection)->database(), *layout, *formula, block.windowTitle,
                           settings.today, ValueText(ClubSettings(std::move(formats))));
    if (!values)
        return values.error();
    ReportJob job;
    job.m_block = std::move(block);
    job.m_layout = std::move(*layout);
    job.m_values = std::move(*values);
    job.m_mainFile = (*connection)->mainFile();
    return job;
}

QString ReportJob::defaultPdfPath() const {
    // One work copy prints many layouts in turn (a contract, then the event
    // sheet): each keeps its own PDF. The layout's name in any letter case
    // is the same layout, so the same file.
    const QFileInfo data(m_mainFile);
    const QString layout = QFileInfo(m_block.reportFileName).completeBaseName().toLower();
    return data.dir().filePath(data.completeBaseName() + QLatin1Char('-') + layout +
                               QStringLiteral(".pdf"));
}

Result<int, ReportFailure> ReportJob::print(QPagedPaintDevice &device) const {
    return ReportRenderer(m_layout, m_values, {m_block.marginTop, m_block.marginLeft})
        .print(device);
}

Result<ReportJob::Pdf, ReportFailure> ReportJob::makePdf() const {
    Pdf pdf;
    {
        QBuffer buffer(&pdf.bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("prinzel"));
        writer.setTitle(m_block.windowTitle.isEmpty() ? m_block.reportFileName
                                                      : m_block.windowTitle);
        const auto pages = print(writer);
        if (!pages)
            return pages.error();
        pdf.pages = *pages;
    }
    return pdf;
}

Result<int, ReportFailure> ReportJob::writePdf(const QString &path) const {
    // The pages are made in memory and reach the file in one piece.
    const auto pdf = makePdf();
    if (!pdf)
        return pdf.error();
    return write(*pdf, path);
}

Result<int, ReportFailure> ReportJob::write(const Pdf &pdf, const QString &path) {
    const bool standardOutput = path == QLatin1String("-");
    const auto why = standardOutput ? OutputFile::writeStandardOutput(pdf.bytes)
                                    : OutputFile::write(path, pdf.bytes);
    if (!why)
        return pdf.pages;
    return ReportFailure{
        ExitCode::Pdf,
        standardOutput
            ? QStringLiteral("The PDF cannot be written to standard output: %1.").arg(*why)
            : QStringLiteral("The PDF %1 cannot be written: %2.").arg(path, *why)};
}
