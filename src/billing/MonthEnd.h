#pragma once

#include "storage/ClubFile.h"
#include "storage/Databases.h"

// The suite's month-end receivables run is on while "mstr2bak.mdb" lies in
// the club directory: billing and account changes wait until it is gone.
inline bool monthEndRunning(const Databases &databases) {
    return ClubFile::exists(databases.settings().clubDirectory, QStringLiteral("mstr2bak.mdb"));
}
