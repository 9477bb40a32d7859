#include "ReportJob.h"

#include "DataConnection.h"
#include "ReportRenderer.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>

Outcome<ReportJob> ReportJob::prepare(const QString &blockText, const Settings &settings) {
    auto block = ParameterBlock::parse(blockText);
    if (!block)
        return block.failure();
    auto layout = ReportLayout::load(settings.clubDirectory, block->reportFileName);
    if (!layout)
        return layout.failure();
    const auto formula = SelectionFormula::parse(block->selectionFormula);
    if (!formula)
        return formula.failure();
    const auto connection = DataConnection::open(settings.clubDirectory, block->dataFiles);
    if (!connection)
        return connection.failure();
    auto values = ReportValues::read((*connection)->database(), *layout, *formula,
                                     block->windowTitle, settings.today);
    if (!values)
        return values.failure();
    ReportJob job;
    job.m_block = std::move(*block);
    job.m_layout = std::move(*layout);
    job.m_values = std::move(*values);
    job.m_mainFile = (*connection)->mainFile();
    return job;
}

QString ReportJob::defaultPdfPath() const {
    const QFileInfo data(m_mainFile);
    return data.dir().filePath(data.completeBaseName() + QStringLiteral(".pdf"));
}

Outcome<int> ReportJob::print(QPagedPaintDevice &device) const {
    return ReportRenderer(m_layout, m_values, {m_block.marginTop, m_block.marginLeft})
        .print(device);
}

Outcome<int> ReportJob::writePdf(const QString &path) const {
    const auto refused = [&](const QString &why) {
        return ReportFailure{ExitCode::Pdf,
                             QStringLiteral("The PDF %1 cannot be written: %2").arg(path, why)};
    };
    // Opened first so that a path that cannot be written fails before the
    // work; the pages go to memory and reach the file in one piece.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return refused(file.errorString());
    QByteArray bytes;
    Outcome<int> pages = 0;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("prinzel"));
        writer.setTitle(m_block.windowTitle.isEmpty() ? m_block.reportFileName
                                                      : m_block.windowTitle);
        pages = print(writer);
    }
    if (!pages)
        return pages.failure().code == ExitCode::Pdf ? refused(pages.failure().message)
                                                     : pages.failure();
    if (file.write(bytes) != bytes.size() || !file.commit())
        return refused(file.errorString());
    return pages;
}
