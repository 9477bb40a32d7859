#pragma once

#include "ReportFailure.h"

#include <QString>
#include <QStringList>
#include <chrono>

// prinzel [--club DIR] [--data DIR] [--pdf OUT|-] [BLOCKFILE], and the time limit from
// the environment.
struct CommandLine {
    // The variable a club sets for a time limit other than the default.
    static constexpr auto TimeLimitVariable = "PRINZEL_TIME_LIMIT";
    static constexpr std::chrono::seconds DefaultTimeLimit{60};
    // The longest a club may set: a report stopped later than this protects
    // nothing.
    static constexpr std::chrono::seconds LongestTimeLimit{24 * 60 * 60};

    QString clubDirectory; // empty: the current directory
    // Where the data files are, when not in the club directory: a work copy
    // a command made in a folder of its own.
    QString dataDirectory;
    // Empty: beside DataFiles(0), and a preview when displayed; "-": standard output.
    QString pdfPath;
    QString blockFile;
    bool help = false;
    // How long the report may take to make; past it prinzel stops.
    std::chrono::milliseconds timeLimit = DefaultTimeLimit;

    // The arguments after the program's name; the time limit from the
    // environment.
    static Result<CommandLine, ReportFailure> parse(const QStringList &arguments);
    static QString usage();

    QString club() const;
    // The data directory, else the club directory.
    QString data() const;
    // The block from the file, else from standard input when that is not a
    // terminal and holds something, else from the clipboard.
    Result<QString, ReportFailure> readBlock() const;
};
