#pragma once

#include "ReportFailure.h"

#include <QHash>
#include <QString>
#include <array>

// What the calling program asks for: one "~"-ended line per value, the
// first line always "Crystal".
struct ParameterBlock {
    static constexpr int DataFileCount = 5;

    QString reportFileName;
    QString windowTitle;
    int marginTop = 0; // twips, 1440 to the inch
    int marginLeft = 0;
    QString selectionFormula;
    // Bare file names in the club directory; empty when not given.
    std::array<QString, DataFileCount> dataFiles{};
    // The club's formats: Locale ("en_US"), LongDate and ShortDate (Qt date
    // formats), by their names in the club's settings. Empty when not given.
    QHash<QString, QString> clubFormats;

    // Lines are separated by "\n" or "\r\n"; only the last "~" of a line ends
    // it, so a value may hold "~" itself.
    static Result<ParameterBlock, ReportFailure> parse(const QString &text);
};
