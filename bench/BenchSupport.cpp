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
    module = std::make_unique<Module>(storage, Ports{ports, ports, ports, ports, ports});
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

int runWithRatios(int argc, char **argv, const std::string &baseline,
                  const std::map<std::string, double> &targets) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double base = reporter.seconds(baseline);
    int missed = 0;
    for (const auto &[name, limit] : targets) {
        const double measured = reporter.seconds(name);
        if (base <= 0 || measured <= 0)
            continue;
        const double ratio = measured / base;
        std::printf("%s / %s = %.2f (target <= %.2f)%s\n", name.c_str(), baseline.c_str(), ratio,
                    limit, ratio <= limit ? "" : "  ** above target **");
        missed += ratio > limit;
    }
    benchmark::Shutdown();
    return missed == 0 ? 0 : 1;
}
