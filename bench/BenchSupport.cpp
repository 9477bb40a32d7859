#include "BenchSupport.h"

#include "club/ClubCreator.h"
#include "club/ServerDatabases.h"
#include "storage/ClubStorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <set>

BenchClub::BenchClub() {
    const QString club = QDir(temp.path()).filePath(QStringLiteral("club"));
    ClubCreator::Options options;
    // With a server named in MORAVEL_BENCH_POSTGRES each club is a fresh
    // database there.
    const QByteArray named = qgetenv("MORAVEL_BENCH_POSTGRES");
    if (!named.isEmpty()) {
        static int made = 0;
        auto parsed = ClubStorage::parseServer(QString::fromUtf8(named) +
                                               QStringLiteral(" database=moravel_bench_%1_%2")
                                                   .arg(QCoreApplication::applicationPid())
                                                   .arg(++made));
        if (!parsed || !ServerDatabases::create(*parsed, parsed->databaseName))
            std::abort();
        server = *parsed;
        options.storage = *parsed;
    }
    if (!ClubCreator::create(club, options).ok())
        std::abort();
    auto storage = ClubStorage::load(club);
    if (!storage)
        std::abort();
    module =
        std::make_unique<Module>(*storage, Ports{ports, ports, ports, ports, ports, ports, ports});
}

BenchClub::~BenchClub() {
    module.reset();
    if (server)
        ServerDatabases::drop(*server, server->databaseName);
}

void RatioReporter::ReportRuns(const std::vector<Run> &runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
        if (run.iterations > 0 && run.run_type == Run::RT_Iteration)
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
    // A program that paints widgets makes its QApplication first.
    std::optional<QCoreApplication> app;
    if (!QCoreApplication::instance())
        app.emplace(argc, argv);
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
    missed += compareEngines(reporter);
    if (finish)
        finish();
    benchmark::Shutdown();
    return missed == 0 ? 0 : 1;
}

int compareEngines(const RatioReporter &reporter) {
    // The SQLite run's results, written by --benchmark_out, beside this
    // PostgreSQL run.
    const QByteArray path = qgetenv("MORAVEL_BENCH_SQLITE_RESULTS");
    if (path.isEmpty() || qgetenv("MORAVEL_BENCH_POSTGRES").isEmpty())
        return 0;
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::printf("no SQLite results in %s\n", path.constData());
        return 1;
    }
    // Year set-up is the one heavy write a club on a server must not make
    // much slower.
    static const std::map<std::string, double> limits{{"InitializeYear", 3.0}};
    int missed = 0;
    std::set<std::string> compared;
    const QJsonArray runs = QJsonDocument::fromJson(file.readAll())
                                .object()
                                .value(QStringLiteral("benchmarks"))
                                .toArray();
    for (const QJsonValue &value : runs) {
        const QJsonObject run = value.toObject();
        if (run.value(QStringLiteral("run_type")).toString() != QLatin1String("iteration"))
            continue;
        const std::string name = run.value(QStringLiteral("name"))
                                     .toString()
                                     .section(QLatin1Char('/'), 0, 0)
                                     .toStdString();
        if (!compared.insert(name).second)
            continue; // a benchmark run twice is compared once
        const double unit =
            run.value(QStringLiteral("time_unit")).toString() == QLatin1String("ms")   ? 1e-3
            : run.value(QStringLiteral("time_unit")).toString() == QLatin1String("us") ? 1e-6
                                                                                       : 1e-9;
        const double sqlite = run.value(QStringLiteral("real_time")).toDouble() * unit;
        const double postgres = reporter.seconds(name);
        if (sqlite <= 0 || postgres <= 0)
            continue;
        const double ratio = postgres / sqlite;
        const auto limit = limits.find(name);
        if (limit == limits.end()) {
            std::printf("%s: PostgreSQL / SQLite = %.2f\n", name.c_str(), ratio);
            continue;
        }
        std::printf("%s: PostgreSQL / SQLite = %.2f (target <= %.2f)%s\n", name.c_str(), ratio,
                    limit->second, ratio <= limit->second ? "" : "  ** above target **");
        missed += ratio > limit->second;
    }
    return missed;
}

int runWithRatios(int argc, char **argv, const std::string &baseline,
                  const std::map<std::string, double> &targets) {
    std::vector<Ratio> ratios;
    for (const auto &[name, limit] : targets)
        ratios.push_back({name, baseline, limit});
    return runWithRatios(argc, argv, ratios);
}
