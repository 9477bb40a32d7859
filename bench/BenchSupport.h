#pragma once

#include "foundation/Clipboard.h"
#include "foundation/Clock.h"
#include "foundation/Module.h"
#include "foundation/Programs.h"
#include "foundation/Prompts.h"
#include "utilities/Keysend.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <string>

// Ports that answer nothing and show nothing: the benchmarks drive the logic
// directly.
struct SilentPorts final : Prompts, Clipboard, Programs, Clock, KeySender {
    void message(const QString &, const QString &, Icon) override {}
    bool askYesNo(const QString &, const QString &) override { return false; }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    void setBusy(bool) override {}
    QString text() const override { return {}; }
    void setText(const QString &) override {}
    void clear() override {}
    bool exists(const QString &) const override { return false; }
    bool start(const QString &, const QStringList &, WindowState) override { return false; }
    int runAndWait(const QString &, const QStringList &) override { return 0; }
    QDate today() const override { return QDate(2026, 12, 6); }
    QDateTime now() const override { return QDateTime(today(), QTime(9, 0)); }
    void pause(int) override {}
    void SendKeyText(const QString &) override {}
};

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
    void ReportRuns(const std::vector<Run> &runs) override;
    double seconds(const std::string &name) const;

private:
    std::map<std::string, double> m_seconds;
};

// Runs the benchmarks and prints "name / baseline = ratio (target <= limit)".
int runWithRatios(int argc, char **argv, const std::string &baseline,
                  const std::map<std::string, double> &targets);
