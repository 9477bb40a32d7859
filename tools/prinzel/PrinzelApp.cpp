#include "PrinzelApp.h"

#include "CommandLine.h"
#include "ReportJob.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextStream>
#include <QToolBar>

namespace PrinzelApp {

namespace {

const QString Name = QStringLiteral("prinzel");

// "offscreen" and "minimal" draw nowhere: no window may wait there.
bool hasDisplay() {
    return !QStringList{QStringLiteral("offscreen"), QStringLiteral("minimal")}.contains(
        QGuiApplication::platformName());
}

int fail(const ReportFailure &failure, bool displayed) {
    QTextStream(stderr) << Name << ": " << failure.message << '\n';
    if (displayed)
        QMessageBox::critical(nullptr, Name, failure.message);
    return int(failure.code);
}

void addSaveAction(QPrintPreviewDialog &dialog, const ReportJob &job) {
    auto *toolBar = dialog.findChild<QToolBar *>();
    if (!toolBar)
        return;
    toolBar->addSeparator();
    QAction *save = toolBar->addAction(QStringLiteral("Save as PDF..."));
    save->setShortcut(QKeySequence::Save);
    save->setToolTip(QStringLiteral("Save the report as a PDF file (%1)")
                         .arg(save->shortcut().toString(QKeySequence::NativeText)));
    QObject::connect(save, &QAction::triggered, &dialog, [&dialog, &job] {
        const QString path =
            QFileDialog::getSaveFileName(&dialog, QStringLiteral("Save as PDF"),
                                         job.defaultPdfPath(), QStringLiteral("PDF (*.pdf)"));
        if (path.isEmpty())
            return;
        if (const auto written = job.writePdf(path); !written)
            QMessageBox::warning(&dialog, Name, written.failure().message);
    });
}

void preview(const ReportJob &job) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true); // the layout's margins are measured from the paper's edge
    QPrintPreviewDialog dialog(&printer);
    dialog.setWindowTitle(job.block().windowTitle.isEmpty() ? Name : job.block().windowTitle);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&dialog, &job](QPrinter *target) {
                         if (const auto printed = job.print(*target); !printed)
                             QMessageBox::warning(&dialog, Name, printed.failure().message);
                     });
    addSaveAction(dialog, job);
    dialog.exec();
}

} // namespace

void choosePlatform() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

int run(const QStringList &arguments) {
    const auto line = CommandLine::parse(arguments.mid(1));
    const bool displayed = hasDisplay() && (!line || line->pdfPath.isEmpty());
    if (!line)
        return fail(line.failure(), displayed);
    if (line->help) {
        QTextStream(stdout) << CommandLine::usage();
        return int(ExitCode::Success);
    }
    const auto block = line->readBlock();
    if (!block)
        return fail(block.failure(), displayed);
    const auto job = ReportJob::prepare(*block, {line->club(), QDate::currentDate()});
    if (!job)
        return fail(job.failure(), displayed);
    const QString pdf = line->pdfPath.isEmpty() ? job->defaultPdfPath() : line->pdfPath;
    if (const auto written = job->writePdf(pdf); !written)
        return fail(written.failure(), displayed);
    if (displayed)
        preview(*job);
    return int(ExitCode::Success);
}

} // namespace PrinzelApp
