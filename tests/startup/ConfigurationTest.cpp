#include "ClubFixture.h"
#include "startup/ConfigurationLoader.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

class ConfigurationTest : public ClubFixture {};

TEST_F(ConfigurationTest, EmptySettingsTakeTheirDefaultsStoredNamesTheirCodeAndMissingOnesStop) {
    exec(u"config"_s,
         u"update evmgr set timefrom = null, timeto = null, status2 = null, "
         "status3 = ?, ccode = null, rangefrom = null, billing = null"_s,
         {u"Held w/Deposit"_s});
    auto loaded = LoadConfiguration(module->databases);
    ASSERT_TRUE(loaded.ok()) << loaded.error().description.toStdString();
    const Configuration &c = loaded->settings;
    EXPECT_EQ(c.DayStartTime, u"00:00"_s);
    EXPECT_EQ(c.DayEndTime, u"23:45"_s);
    EXPECT_EQ((QStringList{c.StatusNames[0], c.StatusNames[1], c.StatusNames[2], c.StatusNames[3],
                           c.StatusNames[5], c.StatusNames[6]}),
              (QStringList{QString(), u"1-Contact Only"_s, u"2-Reserved"_s, u"3-Held w/Deposit"_s,
                           u"5-Done/Billed"_s, u"9-Cancelled"_s}));
    EXPECT_EQ(c.DefaultClassCode, QString());
    EXPECT_EQ(c.RangeFrom, 0.0);
    EXPECT_EQ(c.RangeTo, 99999.99);
    EXPECT_EQ(c.BillingMode, 0);
    EXPECT_EQ(loaded->accessThresholds, (std::array<int, 4>{10, 20, 50, 90}));
    EXPECT_EQ(c.compname, u"Your Club Name"_s);

    // Settings that cannot be read at all stop with a message naming what is missing.
    const struct {
        const char *sql; // on config.mdb, which comes last and goes away
        const char *named;
    } rules[] = {
        {"update evmgr set evaccess2 = null", "evaccess2"},
        {"delete from evmgr", "\"evmgr\" in CONFIG.MDB is empty"},
        {"drop table evmgr", "\"evmgr\" is missing"},
        {"delete from company", "\"company\" in CONFIG.MDB is empty"},
        {"drop table company", "\"company\" is missing"},
        {nullptr, "CONFIG.MDB is missing"},
    };
    for (const auto &rule : rules) {
        if (rule.sql)
            exec(u"config"_s, QString::fromLatin1(rule.sql));
        else
            removeDatabase(u"config"_s);
        auto loaded = LoadConfiguration(module->databases);
        ASSERT_FALSE(loaded.ok()) << rule.named;
        EXPECT_TRUE(loaded.error().description.contains(QString::fromLatin1(rule.named)))
            << loaded.error().description.toStdString();
    }
}

} // namespace
