#include "club/ClubCreator.h"

#include "ClubFixture.h"
#include "ToolFiles.h"
#include "storage/Schema.h"
#include "storage/SchemaUpgrade.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// What the creator itself makes of a demo club: its files, databases at
// this version, settings, and a season that the program's own code booked,
// billed, cloned, packaged and exported consistently. The demo's particular
// names and numbers are the data script's business, not checked here.
class DemoClubTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
    int count(const QString &database, const QString &sql, const QVariantList &values = {}) {
        return scalar(database, sql, values).toInt();
    }
};

TEST_F(DemoClubTest, EveryDatabaseAndFileIsMadeAtThisVersionWithItsSettings) {
    for (const QString &name : Schema::databases()) {
        EXPECT_TRUE(module->databases.exists(name)) << name.toStdString();
        EXPECT_EQ(count(name, u"select version from schemaversion"_s),
                  SchemaUpgrade::currentVersion())
            << "a new club needs no upgrade: " << name.toStdString();
    }
    // On a server the report template stays a file beside the club's other
    // files, and the club names its server.
    EXPECT_TRUE(QFile::exists(path(u"rpt00.sys"_s)));
    EXPECT_EQ(QFile::exists(path(u"postgres.ini"_s)), onPostgres());
    EXPECT_EQ(QFile::exists(path(u"evnt.mdb"_s)), !onPostgres());
    const struct {
        const char *database, *sql;
        int expected;
    } rows[] = {
        {"config", "select count(*) from company", 1},
        {"config", "select count(*) from evmgr", 1},
        {"config", "select count(*) from ar", 1},
        {"config", "select count(*) from pos", 1},
        {"user", "select count(*) from staff where username = 'DEMO'", 1},
        {"evnt", "select count(*) from fielddesc where tablename = 'eventinfo'", 36},
    };
    for (const auto &row : rows)
        EXPECT_EQ(count(QString::fromLatin1(row.database), QString::fromLatin1(row.sql)),
                  row.expected)
            << row.sql;
}

TEST_F(DemoClubTest, TheSeasonIsBookedBilledAndCopiedConsistently) {
    const auto evnt = u"evnt"_s;
    // Both years set up, six rooms, every booked quarter-hour belonging to
    // its event's date and room, and a cancellation holding none.
    for (const int year : {2026, 2027})
        EXPECT_EQ(count(evnt,
                        u"select count(*) from reserv where resdate between ? "
                        "and ?"_s,
                        {year * 10000, year * 10000 + 1232}),
                  35040);
    int booked = 0;
    int cells = 0;
    for (int room = 1; room <= 6; ++room) {
        booked += count(evnt, u"select count(*) from reserv r, eventinfo e where "
                              "r.event%1 = e.eventnum and r.resdate = e.eventdate "
                              "and e.roomnumber = %1 and e.status between 2 and 8"_s.arg(room));
        cells += count(evnt, u"select count(*) from reserv where event%1 > 0"_s.arg(room));
    }
    EXPECT_GT(cells, 200);
    EXPECT_EQ(booked, cells);

    // Each billed event's items went to receivables, one line each.
    const QVariantList billed = column(evnt, u"select eventnum from eventinfo where status = 5"_s);
    EXPECT_GE(billed.size(), 3);
    for (const QVariant &event : billed) {
        const int items = count(evnt, u"select count(*) from items where eventid = ?"_s, {event});
        EXPECT_GT(items, 0);
        EXPECT_EQ(count(u"daily"_s, u"select count(*) from ardaily where architnum = ?"_s,
                        {u"EV"_s + event.toString()}),
                  items)
            << "event " << event.toInt();
    }
    // The cloned dinner carries its original's items a year on.
    const QVariantList dinners =
        column(evnt, u"select eventnum from eventinfo where eventtitle = 'Harvest Member "
                     "Dinner Dance' order by eventdate"_s);
    ASSERT_EQ(dinners.size(), 2);
    const auto items = [&](const QVariant &event) {
        return column(evnt,
                      u"select itemnum || ' ' || qty || ' ' || price from items "
                      "where eventid = ? order by itemnum"_s,
                      {event});
    };
    EXPECT_EQ(items(dinners[1]), items(dinners[0]));
    EXPECT_FALSE(items(dinners[1]).isEmpty());
    // Each package member's row copies its event's date and title.
    EXPECT_EQ(count(evnt, u"select count(*) from pkg p, eventinfo e where p.eventnum "
                          "= e.eventnum and p.eventtitle = e.eventtitle and "
                          "p.eventdate = e.eventdate"_s),
              count(evnt, u"select count(*) from pkg"_s));
    EXPECT_GT(count(evnt, u"select count(*) from pkg"_s), 1);

    // The tills hold what the accounting data holds, filled by the
    // program's own export, and every item button carries a price.
    const auto sameRows = [this](const char *source, const char *copy, const char *sql) {
        EXPECT_EQ(column(QString::fromLatin1(copy), QString::fromLatin1(sql)),
                  column(QString::fromLatin1(source), QString::fromLatin1(sql)))
            << copy;
    };
    sameRows("master", "qnposmem",
             "select acctnumber from acctinfo where terminated = 0 order by 1");
    sameRows("invntory", "qnposinv", "select retail from items order by itemnumber");
    for (const char *table : {"buttondef01", "buttondef02", "optiondef"}) {
        const QString buttons =
            u"select count(*) from %1 where (btype = 3 or btype = 4)"_s.arg(table);
        EXPECT_GT(count(u"qnposh"_s, buttons), 1) << table;
        EXPECT_EQ(count(u"qnposh"_s, buttons + u" and (bretail is null or bretail <= 0)"_s), 0)
            << table;
    }
    for (const char *name : {"qnpos01.req", "qnpos02.req"}) {
        QFile request(path(QString::fromLatin1(name)));
        ASSERT_TRUE(request.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(request.readAll(), QByteArray("17 , 0 , 0 , 0 , 0\r\n15 , 0 , 0 , 0 , 0\r\n"));
    }
}

TEST_F(DemoClubTest, CreateRefusesADirectoryOrServerThatHoldsAClub) {
    exec(u"evnt"_s, u"update location set room = 'Kept'"_s);
    const Status again = ClubCreator::create(club, {});
    ASSERT_FALSE(again.ok());
    EXPECT_TRUE(again.error().description.contains(u"already exists"_s));
    EXPECT_EQ(scalar(u"evnt"_s, u"select min(room) from location"_s).toString(), u"Kept"_s);
    if (!onPostgres())
        return;
    // Nor the club a server holds, from another directory.
    ClubCreator::Options options;
    options.storage = *server;
    const QString other = QDir(temp.path()).filePath(u"other"_s);
    const Status refused = ClubCreator::create(other, options);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().description.contains(u"already holds a club"_s))
        << refused.error().description.toStdString();
    EXPECT_FALSE(QFileInfo::exists(other)) << "no postgres.ini pointing at the other club";
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from eventinfo"_s),
              column(u"evnt"_s, u"select eventnum from eventinfo"_s).size());
}

TEST(PlainClub, StartsWithoutRoomsOrYearsAndWithTheShippedFiles) {
    QTemporaryDir temp;
    const QDir root(temp.path());
    ASSERT_TRUE(root.mkpath(u"share/reports"_s));
    writeFile(root.filePath(u"share/reports/evnt01a.rpt"_s), {});
    ClubCreator::Options options;
    options.shareDirectory = root.filePath(u"share"_s);
    ASSERT_TRUE(ClubCreator::create(root.filePath(u"club"_s), options).ok());
    EXPECT_TRUE(QFile::exists(root.filePath(u"club/reports/evnt01a.rpt"_s)));
    StorageSettings settings;
    settings.clubDirectory = root.filePath(u"club"_s);
    Databases databases(settings);
    auto db = databases.open(u"evnt"_s);
    auto counts = db.value()->exec(
        u"select (select count(*) from location) + (select count(*) from reserv)"_s);
    ASSERT_TRUE(counts.ok() && counts->next());
    EXPECT_EQ(counts->value(0).toInt(), 0);
}

} // namespace
