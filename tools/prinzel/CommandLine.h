#pragma once

#include "ReportFailure.h"

#include <QString>
#include <QStringList>

// prinzel [--club DIR] [--pdf OUT|-] [BLOCKFILE]
struct CommandLine {
    QString clubDirectory; // empty: the current directory
    // Empty: beside DataFiles(0), and a preview when displayed; "-": standard output.
    QString pdfPath;
    QString blockFile;
    bool help = false;

    // The arguments after the program's name.
    static Outcome<CommandLine> parse(const QStringList &arguments);
    static QString usage();

    QString club() const;
    // The block from the file, else from standard input when that is not a
    // terminal and holds something, else from the clipboard.
    Outcome<QString> readBlock() const;
};
