#include "session/OperatorSession.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

// Three characters of module code, two digits of level, the rest the name;
// launched by the suite only as ZQJ with a name.
TEST(CommandLine, SplitsIntoCodeLevelAndName) {
    const std::tuple<const char *, const char *, int, const char *, bool> cases[] = {
        {"ZQJ05MARY", "ZQJ", 5, "MARY", true},
        {"ZQJ99", "ZQJ", 99, "", false},
        {"ZQJ99   ", "ZQJ", 99, "   ", false},
        {"ABC99DEMO", "ABC", 99, "DEMO", false},
        {"zqj99DEMO", "zqj", 99, "DEMO", false},
        {"ZQJabDEMO", "ZQJ", 0, "DEMO", true},
        {"ZQJ7xDEMO", "ZQJ", 7, "DEMO", true},
        {"ZQJ20Zoë Müller", "ZQJ", 20, "Zoë Müller", true},
        {"", "", 0, "", false}};
    for (const auto &[commandLine, moduleCode, level, userName, launchedBySuite] : cases) {
        SCOPED_TRACE(commandLine);
        OperatorSession session;
        session.ParseCommandLine(QString::fromUtf8(commandLine));
        EXPECT_EQ(session.ModuleCode, QString::fromUtf8(moduleCode));
        EXPECT_EQ(session.UserLevel, level);
        EXPECT_EQ(session.UserName, QString::fromUtf8(userName));
        EXPECT_EQ(session.launchedBySuite(), launchedBySuite);
    }
}

TEST(Access, ThresholdIsAtLeast) {
    OperatorSession session;
    session.AccessThresholds = {0, 20, 50, 90};
    // Equal to the threshold passes; no such threshold never does.
    const std::tuple<int, int, bool> cases[] = {{90, 3, true},  {89, 3, false},  {89, 2, true},
                                                {89, 4, false}, {89, -1, false}, {0, 0, true}};
    for (const auto &[level, threshold, passes] : cases) {
        session.UserLevel = level;
        EXPECT_EQ(session.CheckAccess(threshold), passes) << level << " " << threshold;
    }
}

} // namespace
