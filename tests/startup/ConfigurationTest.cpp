#include "ClubFixture.h"
#include "startup/ConfigurationLoader.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

class ConfigurationTest : public ClubFixture {};

TEST_F(ConfigurationTest, EmptySettingsTakeTheirDefaultsAndStoredNamesGetTheirCode) {
    exec(u"config"_s,
         u"update evmgr set timefrom = null, timeto = null, status2 = null, "
         "status3 = ?, ccode = null, rangefrom = null, billing = null"_s,
         {u"Held w/Deposit"_s});
    auto loaded = LoadConfiguration(module->databases);
    ASSERT_TRUE(loaded.ok()) << loaded.error().description.toStdString();
    const Configuration &c = loaded->settings;
    EXPECT_EQ(c.DayStartTime, u"00:00"_s);
    EXPECT_EQ(c.DayEndTime, u"23:45"_s);
    EXPECT_EQ(c.StatusNames[1], u"1-Contact Only"_s);
    EXPECT_EQ(c.StatusNames[2], u"2-Reserved"_s);
    EXPECT_EQ(c.StatusNames[3], u"3-Held w/Deposit"_s);
    EXPECT_EQ(c.StatusNames[5], u"5-Done/Billed"_s);
    EXPECT_EQ(c.StatusNames[6], u"9-Cancelled"_s);
    EXPECT_EQ(c.StatusNames[0], QString());
    EXPECT_EQ(c.DefaultClassCode, QString());
    EXPECT_EQ(c.RangeFrom, 0.0);
    EXPECT_EQ(c.RangeTo, 99999.99);
    EXPECT_EQ(c.BillingMode, 0);
    EXPECT_EQ(loaded->accessThresholds, (std::array<int, 4>{10, 20, 50, 90}));
    EXPECT_EQ(c.compname, u"Your Club Name"_s);
}

struct BrokenSettings {
    const char *rule;
    const char *database; // where the damage is done; "" removes config.mdb
    const char *sql;
    const char *named; // what the message must name
};

// Names the case by its rule in test listings.
void PrintTo(const BrokenSettings &c, std::ostream *out) {
    *out << c.rule;
}

class MissingSettings : public ConfigurationTest,
                        public ::testing::WithParamInterface<BrokenSettings> {};

TEST_P(MissingSettings, StopWithAMessageNamingWhatIsMissing) {
    const BrokenSettings &broken = GetParam();
    if (QString::fromLatin1(broken.sql).isEmpty())
        removeDatabase(u"config"_s);
    else
        exec(QString::fromLatin1(broken.database), QString::fromLatin1(broken.sql));
    auto loaded = LoadConfiguration(module->databases);
    ASSERT_FALSE(loaded.ok());
    EXPECT_TRUE(loaded.error().description.contains(QString::fromLatin1(broken.named)))
        << loaded.error().description.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rules, MissingSettings,
    ::testing::Values(BrokenSettings{"no_config_database", "", "", "CONFIG.MDB is missing"},
                      BrokenSettings{"no_company_table", "config", "drop table company",
                                     "\"company\" is missing"},
                      BrokenSettings{"empty_company_table", "config", "delete from company",
                                     "\"company\" in CONFIG.MDB is empty"},
                      BrokenSettings{"no_evmgr_table", "config", "drop table evmgr",
                                     "\"evmgr\" is missing"},
                      BrokenSettings{"empty_evmgr_table", "config", "delete from evmgr",
                                     "\"evmgr\" in CONFIG.MDB is empty"},
                      BrokenSettings{"null_threshold", "config",
                                     "update evmgr set evaccess2 = null", "evaccess2"}),
    [](const auto &info) { return std::string(info.param.rule); });

} // namespace
