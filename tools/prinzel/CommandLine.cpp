#include "CommandLine.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <unistd.h>

namespace {

// Seconds, a fraction allowed ("0.5"); unset or empty, the default.
Result<std::chrono::milliseconds, ReportFailure> timeLimitFrom(const QString &setting) {
    if (setting.trimmed().isEmpty())
        return std::chrono::milliseconds(CommandLine::DefaultTimeLimit);
    bool ok = false;
    const double seconds = setting.trimmed().toDouble(&ok);
    const auto longest = double(CommandLine::LongestTimeLimit.count());
    if (!ok || !(seconds >= 0.001 && seconds <= longest))
        return ReportFailure{
            ExitCode::Usage,
            QStringLiteral("%1 \"%2\" is not a number of seconds from 0.001 to %3.")
                .arg(QLatin1String(CommandLine::TimeLimitVariable), setting)
                .arg(longest)};
    return std::chrono::milliseconds(qRound64(seconds * 1000));
}

} // namespace

Result<CommandLine, ReportFailure> CommandLine::parse(const QStringList &arguments) {
    CommandLine line;
    const auto limit = timeLimitFrom(qEnvironmentVariable(TimeLimitVariable));
    if (!limit)
        return limit.error();
    line.timeLimit = *limit;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        QString *option = argument == QLatin1String("--club")   ? &line.clubDirectory
                          : argument == QLatin1String("--data") ? &line.dataDirectory
                          : argument == QLatin1String("--pdf")  ? &line.pdfPath
                                                                : nullptr;
        if (option) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty())
                return ReportFailure{ExitCode::Usage, argument + QStringLiteral(" needs a value.")};
            *option = arguments.at(++i);
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.help = true;
        } else if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
            return ReportFailure{ExitCode::Usage,
                                 QStringLiteral("Unknown option %1.").arg(argument)};
        } else if (!line.blockFile.isEmpty()) {
            return ReportFailure{ExitCode::Usage, QStringLiteral("Only one block file is read.")};
        } else {
            line.blockFile = argument;
        }
    }
    return line;
}

QString CommandLine::usage() {
    return QStringLiteral(
        "usage: prinzel [--club DIR] [--data DIR] [--pdf OUT|-] [BLOCKFILE]\n"
        "  Makes the report the parameter block asks for: from BLOCKFILE, else from\n"
        "  standard input when it is piped, else from the clipboard. The layout and the\n"
        "  data files are read from the club directory (--club, else the current one);\n"
        "  --data reads the data files from that directory instead.\n"
        "  --pdf writes that PDF (\"-\": to standard output) and opens no window; it is\n"
        "  not written over anything but a regular file. Without --pdf the PDF is\n"
        "  written beside the first data file, named after it and the layout\n"
        "  (rpt05-evntcon1.pdf), and, with a display, a print preview opens. A report that takes "
        "longer than PRINZEL_TIME_LIMIT seconds (60 when\n"
        "  unset) is stopped and nothing is written.\n"
        "  Exit codes: 0 done, 1 command line or time limit setting, 2 parameter block,\n"
        "  3 layout, 4 data, 5 PDF, 6 time limit passed.\n");
}

QString CommandLine::club() const {
    return clubDirectory.isEmpty() ? QDir::currentPath() : QDir(clubDirectory).absolutePath();
}

QString CommandLine::data() const {
    return dataDirectory.isEmpty() ? club() : QDir(dataDirectory).absolutePath();
}

Result<QString, ReportFailure> CommandLine::readBlock() const {
    if (!blockFile.isEmpty() && blockFile != QLatin1String("-")) {
        QFile file(blockFile);
        if (!file.open(QIODevice::ReadOnly))
            return ReportFailure{ExitCode::Block,
                                 QStringLiteral("The block file %1 cannot be read: %2.")
                                     .arg(blockFile, file.errorString())};
        return QString::fromUtf8(file.readAll());
    }
    if (!isatty(STDIN_FILENO)) {
        QFile input;
        if (input.open(stdin, QIODevice::ReadOnly)) {
            const QString text = QString::fromUtf8(input.readAll());
            if (!text.trimmed().isEmpty())
                return text;
        }
    }
    if (auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        const QString text = application->clipboard()->text();
        if (!text.trimmed().isEmpty())
            return text;
    }
    return ReportFailure{ExitCode::Block,
                         QStringLiteral("No parameter block was given: name a block file, pipe "
                                        "the block to standard input or put it on the "
                                        "clipboard.")};
}
