#include "club/ClubCreator.h"

#include "ClubFixture.h"
#include "foundation/Schema.h"

#include <QDir>
#include <QFile>

namespace {

class DemoClubTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
    int count(const QString &database, const QString &sql, const QVariantList &values = {}) {
        return scalar(database, sql, values).toInt();
    }
};

TEST_F(DemoClubTest, EveryDatabaseExistsWithSettingsAndTheDemoOperator) {
    for (const QString &name : Schema::databases())
        EXPECT_TRUE(QFile::exists(path(Databases::fileName(name)))) << name.toStdString();
    EXPECT_EQ(count(QStringLiteral("config"), QStringLiteral("select count(*) from company")), 1);
    EXPECT_EQ(count(QStringLiteral("config"), QStringLiteral("select count(*) from evmgr")), 1);
    EXPECT_EQ(count(QStringLiteral("config"), QStringLiteral("select count(*) from ar")), 1);
    EXPECT_EQ(count(QStringLiteral("config"), QStringLiteral("select count(*) from pos")), 1);
    EXPECT_EQ(count(QStringLiteral("user"),
                    QStringLiteral("select count(*) from staff where username = 'DEMO'")),
              1);
    // The event tables start empty: rooms and years come from the program itself.
    EXPECT_EQ(count(QStringLiteral("evnt"), QStringLiteral("select count(*) from eventinfo")), 0);
    EXPECT_EQ(count(QStringLiteral("evnt"), QStringLiteral("select count(*) from location")), 0);
    EXPECT_EQ(count(QStringLiteral("evnt"), QStringLiteral("select count(*) from reserv")), 0);
    EXPECT_EQ(count(QStringLiteral("evnt"),
                    QStringLiteral("select count(*) from fielddesc where tablename = 'eventinfo'")),
              36);
}

TEST_F(DemoClubTest, SampleDataIsBelievableAndConsistent) {
    EXPECT_GE(count(QStringLiteral("master"), QStringLiteral("select count(*) from acctinfo")), 20);
    EXPECT_EQ(count(QStringLiteral("master"),
                    QStringLiteral("select count(*) from acctinfo a where not exists "
                                   "(select 1 from address d where d.acctnumber = a.acctnumber)")),
              0)
        << "every account has its address row";
    EXPECT_EQ(count(QStringLiteral("master"),
                    QStringLiteral("select count(*) from acctinfo where suspended <> 0")),
              1);
    EXPECT_EQ(count(QStringLiteral("master"),
                    QStringLiteral("select count(*) from acctinfo where terminated <> 0")),
              1);
    EXPECT_GE(count(QStringLiteral("master"),
                    QStringLiteral("select count(*) from acctinfo where taxexempt <> 0")),
              1);
    EXPECT_EQ(count(QStringLiteral("master"),
                    QStringLiteral("select count(*) from acctinfo a where not exists "
                                   "(select 1 from classcode c where c.classcode = a.classcode)")),
              0)
        << "every account's class code exists";
    EXPECT_GE(count(QStringLiteral("emp"), QStringLiteral("select count(*) from empinfo")), 5);
    EXPECT_GE(
        count(QStringLiteral("invntory"), QStringLiteral("select count(distinct dept) from items")),
        4);
    EXPECT_EQ(
        count(QStringLiteral("invntory"),
              QStringLiteral("select count(*) from items where retail is null or retail < 0")),
        0);
    // Every item sells into a receivables code that exists.
    const QVariantList codes =
        column(QStringLiteral("invntory"), QStringLiteral("select distinct glsales from items"));
    for (const QVariant &code : codes)
        EXPECT_EQ(count(QStringLiteral("ar"),
                        QStringLiteral("select count(*) from ar0 where aracctnum = ?"), {code}),
                  1)
            << code.toString().toStdString();
}

TEST_F(DemoClubTest, AnExistingClubIsNeverOverwritten) {
    exec(QStringLiteral("evnt"),
         QStringLiteral(
             "insert into location (roomnum, room, capacity, subdiv) values (1, 'Kept', 10, 0)"));
    const Status again = ClubCreator::create(club, {});
    ASSERT_FALSE(again.ok());
    EXPECT_TRUE(again.error().description.contains(QStringLiteral("already exists")));
    EXPECT_EQ(
        scalar(QStringLiteral("evnt"), QStringLiteral("select room from location")).toString(),
        QStringLiteral("Kept"));
}

TEST(ClubCreatorShare, CopiesTheShippedFilesIntoTheClub) {
    QTemporaryDir temp;
    const QDir root(temp.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("share/reports")));
    QFile layout(root.filePath(QStringLiteral("share/reports/evnt01a.rpt")));
    ASSERT_TRUE(layout.open(QIODevice::WriteOnly));
    layout.write("layout");
    layout.close();
    ClubCreator::Options options;
    options.shareDirectory = root.filePath(QStringLiteral("share"));
    ASSERT_TRUE(ClubCreator::create(root.filePath(QStringLiteral("club")), options).ok());
    EXPECT_TRUE(QFile::exists(root.filePath(QStringLiteral("club/reports/evnt01a.rpt"))));
}

} // namespace
