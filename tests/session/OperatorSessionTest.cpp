#include "session/OperatorSession.h"

#include <gtest/gtest.h>

namespace {

// Three characters of module code, two digits of level, the rest the name;
// launched by the suite only as ZQJ with a name.
TEST(CommandLine, SplitsIntoCodeLevelAndName) {
    const struct {
        const char *rule, *commandLine, *moduleCode;
        int level;
        const char *userName;
        bool launchedBySuite;
    } cases[] = {
        {"leading zero level", "ZQJ05MARY", "ZQJ", 5, "MARY", true},
        {"maintenance level", "ZQJ99DEMO", "ZQJ", 99, "DEMO", true},
        {"five characters no name", "ZQJ99", "ZQJ", 99, "", false},
        {"blank name", "ZQJ99   ", "ZQJ", 99, "   ", false},
        {"wrong module", "ABC99DEMO", "ABC", 99, "DEMO", false},
        {"lower case module", "zqj99DEMO", "zqj", 99, "DEMO", false},
        {"letters for level", "ZQJabDEMO", "ZQJ", 0, "DEMO", true},
        {"digit then letter", "ZQJ7xDEMO", "ZQJ", 7, "DEMO", true},
        {"name with quotes", "ZQJ20O'Brien \"Bo\"", "ZQJ", 20, "O'Brien \"Bo\"", true},
        {"non-ASCII name", "ZQJ20Zoë Müller", "ZQJ", 20, "Zoë Müller", true},
        {"empty", "", "", 0, "", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rule);
        OperatorSession session;
        session.ParseCommandLine(QString::fromUtf8(c.commandLine));
        EXPECT_EQ(session.ModuleCode, QString::fromUtf8(c.moduleCode));
        EXPECT_EQ(session.UserLevel, c.level);
        EXPECT_EQ(session.UserName, QString::fromUtf8(c.userName));
        EXPECT_EQ(session.launchedBySuite(), c.launchedBySuite);
    }
}

TEST(Access, ThresholdIsAtLeast) {
    OperatorSession session;
    session.AccessThresholds = {10, 20, 50, 90};
    session.UserLevel = 90;
    EXPECT_TRUE(session.CheckAccess(3)) << "equal to the administrator level passes";
    session.UserLevel = 89;
    EXPECT_FALSE(session.CheckAccess(3));
    EXPECT_TRUE(session.CheckAccess(2));
    EXPECT_FALSE(session.CheckAccess(4)) << "no such threshold";
    EXPECT_FALSE(session.CheckAccess(-1));
    session.AccessThresholds[0] = 0;
    session.UserLevel = 0;
    EXPECT_TRUE(session.CheckAccess(0)) << "threshold 0 admits level 0";
}

} // namespace
