#include "session/OperatorSession.h"

#include <gtest/gtest.h>

namespace {

struct CommandLineCase {
    const char *rule;
    const char *commandLine;
    const char *moduleCode;
    int level;
    const char *userName;
    bool launchedBySuite;
};

// Names the case by its rule in test listings.
void PrintTo(const CommandLineCase &c, std::ostream *out) {
    *out << c.rule;
}

class CommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, SplitsIntoCodeLevelAndName) {
    const CommandLineCase &c = GetParam();
    OperatorSession session;
    session.ParseCommandLine(QString::fromUtf8(c.commandLine));
    EXPECT_EQ(session.ModuleCode, QString::fromUtf8(c.moduleCode));
    EXPECT_EQ(session.UserLevel, c.level);
    EXPECT_EQ(session.UserName, QString::fromUtf8(c.userName));
    EXPECT_EQ(session.launchedBySuite(), c.launchedBySuite);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CommandLine,
    ::testing::Values(CommandLineCase{"leading_zero_level", "ZQJ05MARY", "ZQJ", 5, "MARY", true},
                      CommandLineCase{"maintenance_level", "ZQJ99DEMO", "ZQJ", 99, "DEMO", true},
                      CommandLineCase{"five_characters_no_name", "ZQJ99", "ZQJ", 99, "", false},
                      CommandLineCase{"blank_name", "ZQJ99   ", "ZQJ", 99, "   ", false},
                      CommandLineCase{"wrong_module", "ABC99DEMO", "ABC", 99, "DEMO", false},
                      CommandLineCase{"lower_case_module", "zqj99DEMO", "zqj", 99, "DEMO", false},
                      CommandLineCase{"letters_for_level", "ZQJabDEMO", "ZQJ", 0, "DEMO", true},
                      CommandLineCase{"digit_then_letter", "ZQJ7xDEMO", "ZQJ", 7, "DEMO", true},
                      CommandLineCase{"name_with_quotes", "ZQJ20O'Brien \"Bo\"", "ZQJ", 20,
                                      "O'Brien \"Bo\"", true},
                      CommandLineCase{"non_ascii_name", "ZQJ20Zoë Müller", "ZQJ", 20, "Zoë Müller",
                                      true},
                      CommandLineCase{"empty", "", "", 0, "", false}),
    [](const auto &info) { return std::string(info.param.rule); });

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
