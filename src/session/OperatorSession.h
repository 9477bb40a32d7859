#pragma once

#include <QString>
#include <array>

// Who is working and at which level, from the suite's command line
// "ZQJ" + two-digit level + user name, and the configured access thresholds.
struct OperatorSession {
    static constexpr auto RequiredModuleCode = "ZQJ";
    static constexpr int MaintenanceLevel = 99;
    // The module's access thresholds: any button, event editing, billing,
    // administrator.
    enum Threshold { evaccess0 = 0, evaccess1 = 1, evaccess2 = 2, evaccess3 = 3 };

    QString ModuleCode;
    int UserLevel = 0;
    QString UserName;
    int SysUser = 0;
    QString LocalDrive;
    int MemoMail = 0;
    QString LocationName;
    std::array<int, 4> AccessThresholds{};
    // The receivables module's thresholds, read with its settings.
    std::array<int, 4> ReceivablesThresholds{};

    // Leaves everything unchanged for an empty command line.
    void ParseCommandLine(const QString &commandLine);
    bool CheckAccess(int threshold) const;
    // The checks the module makes before it shows its window.
    bool launchedBySuite() const;
};
