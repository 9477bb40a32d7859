#pragma once

#include "club/SilentPorts.h"
#include "foundation/Module.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <string>

// A new, empty club directory with a Module over it.
struct BenchClub {
    BenchClub();
    QTemporaryDir temp;
    SilentPorts ports;
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

// Runs the benchmarks and prints "name / baseline = ratio (target <= limit)".
int runWithRatios(int argc, char **argv, const std::string &baseline,
                  const std::map<std::string, double> &targets);
