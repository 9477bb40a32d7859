#pragma once

#include "values/Result.h"

#include <QString>

// prinzel's exit codes: the calling program tells the operator what went
// wrong from these alone, so each cause keeps its own number.
enum class ExitCode {
    Success = 0,
    Usage = 1,     // an unknown option or a missing option value
    Block = 2,     // no parameter block, or one that cannot be read
    Layout = 3,    // the layout file is missing or wrong
    Data = 4,      // a data file, a query or the selection formula
    Pdf = 5,       // the PDF cannot be written
    TimeLimit = 6, // the report took longer than its time limit
};

// Why no report was made: the exit code and a message naming the cause.
struct ReportFailure {
    ExitCode code = ExitCode::Success;
    QString message;
};
