#include "OperatorSession.h"

void OperatorSession::ParseCommandLine(const QString &commandLine) {
    if (commandLine.isEmpty())
        return;
    ModuleCode = commandLine.left(3);
    // Like the suite's Val(): leading digits count, anything else is 0.
    const QString levelText = commandLine.mid(3, 2).trimmed();
    int level = 0;
    for (QChar c : levelText) {
        if (!c.isDigit() || c.unicode() > 127)
            break;
        level = level * 10 + c.digitValue();
    }
    UserLevel = level;
    UserName = commandLine.mid(5);
}

bool OperatorSession::CheckAccess(int threshold) const {
    if (threshold < 0 || threshold >= int(AccessThresholds.size()))
        return false;
    return UserLevel >= AccessThresholds[threshold];
}

bool OperatorSession::launchedBySuite() const {
    return !UserName.trimmed().isEmpty() && ModuleCode == QLatin1String(RequiredModuleCode);
}
