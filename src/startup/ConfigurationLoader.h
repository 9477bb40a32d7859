#pragma once

#include "session/Configuration.h"
#include "values/Result.h"

#include <array>

class Databases;

// The club's settings from config.mdb, with the defaults that stand in for
// empty values. The access thresholds have no default: without them, or
// without the settings tables, the module cannot start, and the error's
// description says what is missing in words the office can act on.
struct LoadedConfiguration {
    Configuration settings;
    std::array<int, 4> accessThresholds{};
};

Result<LoadedConfiguration> LoadConfiguration(Databases &databases);
