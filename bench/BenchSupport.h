#pragma once

#include "club/SilentPorts.h"
#include "session/Module.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A new, empty club directory with a Module over it: SQLite files, or a
// fresh database on the server named in MORAVEL_BENCH_POSTGRES.
struct BenchClub {
    BenchClub();
    ~BenchClub();
    QTemporaryDir temp;
    SilentPorts ports;
    std::optional<StorageSettings> server;
    std::unique_ptr<Module> module;
};

// Keeps each benchmark's mean time so ratios can be printed after the run.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    RatioReporter()
        : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run> &runs) override;
    double seconds(const std::string &name) const;

private:
    std::map<std::string, double> m_seconds;
};

// One ratio to print after the run: name / baseline, against a target
// (none when the limit is 0: for comparison only).
struct Ratio {
    std::string name;
    std::string baseline;
    double limit = 0;
};

// Runs the benchmarks and prints "name / baseline = ratio (target <= limit)"
// for each ratio; `finish` runs before the application object goes (clubs
// kept for the whole run are removed there). Non-zero when a target is missed.
// It makes the application object unless the program already has one (a
// QApplication, for benchmarks that paint widgets).
int runWithRatios(int argc, char **argv, const std::vector<Ratio> &ratios,
                  const std::function<void()> &finish = {});
int runWithRatios(int argc, char **argv, const std::string &baseline,
                  const std::map<std::string, double> &targets);
// On PostgreSQL, with the SQLite run's JSON results named in
// MORAVEL_BENCH_SQLITE_RESULTS: prints each benchmark's PostgreSQL / SQLite
// time; the number of targets missed.
int compareEngines(const RatioReporter &reporter);
