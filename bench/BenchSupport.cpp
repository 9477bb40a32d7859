#include "BenchSupport.h"

#include "club/ClubCreator.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

BenchClub::BenchClub() {
    const QString club = QDir(temp.path()).filePath(QStringLiteral("club"));
    if (!ClubCreator::create(club, {}).ok())
        std::abort();
    StorageSettings storage;
    storage.clubDirectory = club;
    module = std::make_unique<Module>(storage, Ports{ports, ports, ports, ports, ports, ports});
}

void RatioReporter::ReportRuns(const std::vector<Run> &runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
        if (run.iterations > 0)
            m_seconds[run.run_name.function_name] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
}

double RatioReporter::seconds(const std::string &name) const {
    const auto found = m_seconds.find(name);
    return found == m_seconds.end() ? 0 : found->second;
}

int runWithRatios(int argc, char **argv, const std::vector<Ratio> &ratios,
                  const std::function<void()> &finish) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    int missed = 0;
    for (const Ratio &ratio : ratios) {
        const double base = reporter.seconds(ratio.baseline);
        const double measured = reporter.seconds(ratio.name);
        if (base <= 0 || measured <= 0)
            continue;
        const double value = measured / base;
        if (ratio.limit <= 0) {
            std::printf("for comparison: %s / %s = %.2f\n", ratio.name.c_str(),
                        ratio.baseline.c_str(), value);
            continue;
        }
        std::printf("%s / %s = %.2f (target <= %.2f)%s\n", ratio.name.c_str(),
                    ratio.baseline.c_str(), value, ratio.limit,
                    value <= ratio.limit ? "" : "  ** above target **");
        missed += value > ratio.limit;
    }
    if (finish)
        finish();
    benchmark::Shutdown();
    return missed == 0 ? 0 : 1;
}

int runWithRatios(int argc, char **argv, const std::string &baseline,
                  const std::map<std::string, double> &targets) {
    std::vector<Ratio> ratios;
    for (const auto &[name, limit] : targets)
        ratios.push_back({name, baseline, limit});
    return runWithRatios(argc, argv, ratios);
}
