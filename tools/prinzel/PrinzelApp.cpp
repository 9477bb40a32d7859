#include "PrinzelApp.h"

#include "CommandLine.h"
#include "OutputFile.h"
#include "ReportJob.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextStream>
#include <QToolBar>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <unistd.h>

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

// Ends prinzel when making the report takes longer than its limit. A layout
// can ask for work without end in sight (sections repeated within each
// other over every row, tables nested deep) inside a single call that
// cannot be asked to stop, so the limit is kept by a thread of its own.
// Nothing has been written while it runs: the PDF is made in memory.
class TimeLimit {
public:
    TimeLimit(std::chrono::milliseconds limit, const QString &message)
        : m_message((Name + QStringLiteral(": ") + message + QLatin1Char('\n')).toUtf8())
        , m_watch([this, limit] { watch(limit); }) {}
    ~TimeLimit() {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_doneChanged.notify_one();
        m_watch.join();
    }
    TimeLimit(const TimeLimit &) = delete;
    TimeLimit &operator=(const TimeLimit &) = delete;

private:
    void watch(std::chrono::milliseconds limit) {
        std::unique_lock lock(m_mutex);
        if (m_doneChanged.wait_for(lock, limit, [this] { return m_done; }))
            return;
        // Nothing more can be done when the error output is gone.
        [[maybe_unused]] const ssize_t shown =
            ::write(STDERR_FILENO, m_message.constData(), std::size_t(m_message.size()));
        std::_Exit(int(ExitCode::TimeLimit));
    }

    const QByteArray m_message;
    std::mutex m_mutex;
    std::condition_variable m_doneChanged;
    bool m_done = false;
    std::thread m_watch; // last: it starts once the rest is there
};

struct Made {
    ReportJob job;
    ReportJob::Pdf pdf;
};

// The report read and drawn, within the time limit.
Result<Made, ReportFailure> make(const CommandLine &line, ParameterBlock block) {
    const double seconds = double(line.timeLimit.count()) / 1000;
    const TimeLimit limit(line.timeLimit,
                          QStringLiteral("The report %1 took longer than its time limit of %2 "
                                         "seconds (%3) and was stopped; nothing was written.")
                              .arg(block.reportFileName)
                              .arg(seconds)
                              .arg(QLatin1String(CommandLine::TimeLimitVariable)));
    auto job =
        ReportJob::prepare(std::move(block), {line.club(), QDate::currentDate(), line.data()});
    if (!job)
        return job.error();
    auto pdf = job->makePdf();
    if (!pdf)
        return pdf.error();
    return Made{std::move(*job), std::move(*pdf)};
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
            QMessageBox::warning(&dialog, Name, written.error().message);
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
                             QMessageBox::warning(&dialog, Name, printed.error().message);
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
        return fail(line.error(), displayed);
    if (line->help) {
        if (const auto why = OutputFile::writeStandardOutput(CommandLine::usage().toUtf8()))
            return fail(
                {ExitCode::Usage,
                 QStringLiteral("The usage cannot be written to standard output: %1.").arg(*why)},
                false);
        return int(ExitCode::Success);
    }
    const auto text = line->readBlock();
    if (!text)
        return fail(text.error(), displayed);
    auto block = ParameterBlock::parse(*text);
    if (!block)
        return fail(block.error(), displayed);
    const auto made = make(*line, std::move(*block));
    if (!made)
        return fail(made.error(), displayed);
    const QString pdf = line->pdfPath.isEmpty() ? made->job.defaultPdfPath() : line->pdfPath;
    if (const auto written = ReportJob::write(made->pdf, pdf); !written)
        return fail(written.error(), displayed);
    if (displayed)
        preview(made->job);
    return int(ExitCode::Success);
}

} // namespace PrinzelApp
