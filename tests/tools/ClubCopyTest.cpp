#include "club/ClubCopy.h"

#include "ClubFixture.h"
#include "TestServer.h"
#include "ToolFiles.h"
#include "club/ClubCreator.h"
#include "club/DemoTills.h"
#include "storage/ClubStorage.h"
#include "storage/Schema.h"
#include "values/Money.h"

#include <QHash>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace {

const QString Evnt = u"evnt"_s;

// The demo club is FROM; the copies go to directories beside it, on the
// test server when there is one, so that a club travels both ways between
// the engines.
class ClubCopyTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }

    void SetUp() override {
        ClubFixture::SetUp();
        storages.insert(club, settings());
        // The copy treats every row alike, so the empty quarter-hours of the
        // demo's two years only make each copy and comparison slow: the days
        // holding bookings keep theirs.
        exec(Evnt, u"delete from reserv where resdate not in (select eventdate from eventinfo)"_s);
    }
    void TearDown() override {
        storages.clear();
        ClubFixture::TearDown();
        for (const StorageSettings &database : serverDatabases)
            TestServer::dropDatabase(database);
    }

    // A directory to copy into: one holding only the server file of a new,
    // empty database on the test server, or nothing at all for SQLite.
    QString target(const QString &name, bool onServer) {
        const QString path = inDirectory(temp.path(), name);
        StorageSettings storage;
        if (onServer) {
            auto database = TestServer::createDatabase();
            EXPECT_TRUE(database.has_value());
            if (database) {
                serverDatabases << *database;
                storage = *database;
                EXPECT_TRUE(QDir().mkpath(path));
                EXPECT_TRUE(ClubStorage::writeServer(path, storage).ok());
            }
        }
        storage.clubDirectory = path;
        storages.insert(path, storage);
        return path;
    }

    // A new club, as an administrator makes one to receive a copy.
    QString newClub(const QString &name) {
        const QString path = target(name, onPostgres());
        QDir(path).removeRecursively();
        ClubCreator::Options options;
        options.storage = storages.value(path);
        const Status made = ClubCreator::create(path, options);
        EXPECT_TRUE(made.ok()) << made.error().description.toStdString();
        return path;
    }

    Result<QStringList> copy(const QString &from, const QString &to, bool replace = false) {
        return ClubCopy::copy(from, to, replace);
    }
    // A statement on a database of a club made by target() or newClub().
    void execIn(const QString &directory, const QString &database, const QString &sql,
                const QVariantList &values = {}) {
        Databases databases(storages.value(directory));
        auto db = databases.open(database);
        ASSERT_TRUE(db.ok());
        ASSERT_TRUE(db.value()->execute(sql, values).ok()) << sql.toStdString();
    }

    // Every row a query returns as text, nulls apart, sorted; the column
    // names come first. Both clubs must be on one engine.
    QStringList rows(const QString &club, const QString &database, const QString &sql) {
        Databases databases(storages.value(club));
        auto db = databases.open(database);
        EXPECT_TRUE(db.ok()) << club.toStdString() << " " << database.toStdString();
        if (!db)
            return {};
        auto query = db.value()->exec(sql);
        EXPECT_TRUE(query.ok()) << sql.toStdString();
        if (!query)
            return {};
        QStringList names;
        for (int i = 0; i < query->record().count(); ++i)
            names << query->record().fieldName(i).toLower();
        QStringList result;
        while (query->next()) {
            QStringList row;
            for (int i = 0; i < names.size(); ++i)
                row << (query->isNull(i) ? u"<null>"_s : query->value(i).toString());
            result << row.join(QLatin1Char('|'));
        }
        result.sort();
        result.prepend(names.join(QLatin1Char('|')));
        return result;
    }

    // Every table of the schema, and the extra ones named "database.table".
    void expectSameTables(const QString &a, const QString &b, const QStringList &extraTables) {
        QStringList tables = extraTables;
        for (const Schema::Table &table : Schema::tables())
            tables << table.database + u'.' + table.name;
        for (const QString &table : tables) {
            const QString database = table.section(u'.', 0, 0);
            const QString sql = u"select * from "_s + table.section(u'.', 1);
            EXPECT_EQ(rows(a, database, sql), rows(b, database, sql)) << table.toStdString();
        }
    }

    bool marked(const QString &club) const {
        return QFile::exists(inDirectory(club, ClubStorage::IncompleteMarker));
    }

    QHash<QString, StorageSettings> storages; // by directory, readable while marked
    QList<StorageSettings> serverDatabases;
};

TEST_F(ClubCopyTest, ADemoClubTravelsBetweenTheEnginesWithEveryRowIntact) {
    const QString tricky = QString::fromUtf8("O'Brien & \"Żółć\" — Ωμέγα 東京; drop table x");
    const int eventnum = scalar(Evnt, u"select min(eventnum) from eventinfo"_s).toInt();
    exec(Evnt,
         u"update eventinfo set deposit = ?, custname = ?, custaddr1 = null, "
         "custaddr2 = '' where eventnum = ?"_s,
         {Money::fromText(u"1234.5678")->toVariant(), tricky, eventnum});
    // A third till's button table, which only the point-of-sale side makes.
    {
        Databases databases(settings());
        auto qnposh = databases.open(u"qnposh"_s);
        ASSERT_TRUE(qnposh.ok());
        ASSERT_TRUE(DemoTills::addButtonTable(**qnposh, 3).ok());
    }
    exec(u"qnposh"_s, u"insert into buttondef03 (bnumber, bcaption, bretail) values (?, ?, ?)"_s,
         {7, u"Club soda"_s, Money::fromText(u"2.1250")->toVariant()});

    // SQLite -> SQLite, or with a server PostgreSQL -> SQLite -> PostgreSQL -> SQLite.
    QStringList chain{club, target(u"a"_s, false)};
    if (onPostgres())
        chain << target(u"b"_s, true) << target(u"c"_s, false);
    for (qsizetype i = 0; i + 1 < chain.size(); ++i) {
        auto copied = copy(chain[i], chain[i + 1]);
        ASSERT_TRUE(copied.ok()) << copied.error().description.toStdString();
        const int events = scalar(Evnt, u"select count(*) from eventinfo"_s).toInt();
        EXPECT_TRUE(copied->contains(u"evnt.eventinfo: %1 rows"_s.arg(events)));
        EXPECT_TRUE(copied->contains(u"qnposh.buttondef03: 1 row"_s));
        EXPECT_TRUE(copied->last().endsWith(QLatin1String("rows; the copy matches.")));
        EXPECT_FALSE(marked(chain[i + 1]));
        EXPECT_TRUE(ClubStorage::load(chain[i + 1]).ok());
    }
    // Compared where both ends are on one engine, so every value reads alike.
    const qsizetype step = onPostgres() ? 2 : 1;
    for (qsizetype i = 0; i + step < chain.size(); ++i)
        expectSameTables(chain[i], chain[i + step],
                         {u"qnposh.buttondef02"_s, u"qnposh.buttondef03"_s});

    const QString last = chain.last();
    const QStringList stored =
        rows(last, Evnt,
             u"select deposit, custname, custaddr1, custaddr2 from eventinfo where eventnum = %1"_s
                 .arg(eventnum))
            .value(1)
            .split(u'|');
    ASSERT_EQ(stored.size(), 4);
    EXPECT_EQ(Money::fromText(stored[0]), Money::fromText(u"1234.5678"));
    EXPECT_EQ(stored[1], tricky);
    EXPECT_EQ(stored[2], u"<null>"_s) << "null stays null";
    EXPECT_EQ(stored[3], QString()) << "empty stays empty";
    EXPECT_EQ(Money::fromText(
                  rows(last, u"qnposh"_s, u"select bretail from buttondef03 where bnumber = 7"_s)
                      .value(1)),
              Money::fromText(u"2.125"));
    // Room n's pair of reservation columns stays at columns 2n and 2n+1.
    const QStringList reserv = rows(last, Evnt, u"select * from reserv where 1 = 0"_s);
    EXPECT_EQ(reserv.value(0).split('|').mid(10),
              (QStringList{u"event5"_s, u"room5"_s, u"event6"_s, u"room6"_s}));

    // The club's own files come along; the report template is local whatever the engine.
    ASSERT_FALSE(contents(path(u"evntsched.ini"_s)).isEmpty());
    for (const QString &copyDirectory : chain.mid(1)) {
        EXPECT_TRUE(QFile::exists(inDirectory(copyDirectory, u"rpt00.sys"_s)));
        EXPECT_EQ(contents(inDirectory(copyDirectory, u"evntsched.ini"_s)),
                  contents(path(u"evntsched.ini"_s)))
            << copyDirectory.toStdString();
    }
}

TEST_F(ClubCopyTest, ATargetHoldingAClubsDataIsReplacedOnlyWhenAsked) {
    const int events = scalar(Evnt, u"select count(*) from eventinfo"_s).toInt();
    // A club just made to receive the copy is taken as it is.
    const QString to = newClub(u"to"_s);
    auto first = copy(club, to);
    ASSERT_TRUE(first.ok()) << first.error().description.toStdString();

    execIn(to, Evnt, u"insert into eventinfo (eventnum, eventtitle) values (?, ?)"_s,
           {99999, u"Booked in TO"_s});
    const QString booked = u"select eventtitle from eventinfo where eventnum = 99999"_s;
    auto refused = copy(club, to);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().description.contains(QLatin1String("--replace")))
        << refused.error().description.toStdString();
    EXPECT_TRUE(refused.error().description.contains(QLatin1String("evnt.eventinfo has")));
    EXPECT_EQ(rows(to, Evnt, booked).size(), 2) << "nothing was changed";
    EXPECT_FALSE(marked(to));
    EXPECT_TRUE(ClubStorage::load(to).ok());

    // The counter and the change log follow the events: TO goes on from
    // the numbers FROM issued (an event deleted since included), never from
    // its own, and keeps FROM's history of them.
    const QString counter = u"evntsched.dat"_s, log = u"evntsched.ini"_s;
    const int highest = scalar(Evnt, u"select max(eventnum) from eventinfo"_s).toInt();
    writeFile(path(counter), QByteArray::number(highest + 25) + "\n");
    writeFile(path(log), "FROM's history\r\n");
    writeFile(inDirectory(to, counter), "3\n");
    writeFile(inDirectory(to, log), "TO's history\r\n");
    auto replaced = copy(club, to, true);
    ASSERT_TRUE(replaced.ok()) << replaced.error().description.toStdString();
    EXPECT_EQ(rows(to, Evnt, booked).size(), 1);
    EXPECT_EQ(rows(to, Evnt, u"select eventnum from eventinfo"_s).size(), events + 1);
    EXPECT_EQ(contents(inDirectory(to, counter)), QByteArray::number(highest + 25) + "\n");
    EXPECT_EQ(contents(inDirectory(to, log)), "FROM's history\r\n");
    // A counter behind FROM's events goes on after the highest of them.
    writeFile(path(counter), "garbage");
    ASSERT_TRUE(copy(club, to, true).ok());
    EXPECT_EQ(contents(inDirectory(to, counter)), QByteArray::number(highest) + "\n");

    // Never onto itself, however it is named: with --replace that would
    // empty the club.
    QStringList itselves{QDir(club).filePath(u"."_s)};
    if (onPostgres()) {
        // The same database under another spelling of its server's address.
        StorageSettings sameServer = settings();
        sameServer.host = sameServer.host.startsWith(QLatin1Char('/')) ? sameServer.host + u"/."_s
                                                                       : u"127.0.0.1"_s;
        const QString alias = inDirectory(temp.path(), u"alias"_s);
        ASSERT_TRUE(QDir().mkpath(alias));
        ASSERT_TRUE(ClubStorage::writeServer(alias, sameServer).ok());
        itselves << alias;
    }
    for (const QString &itself : itselves) {
        auto refused = copy(club, itself, true);
        ASSERT_FALSE(refused.ok()) << itself.toStdString();
        EXPECT_TRUE(refused.error().description.contains(QLatin1String("the same place")))
            << refused.error().description.toStdString();
        EXPECT_EQ(scalar(Evnt, u"select count(*) from eventinfo"_s).toInt(), events);
    }
}

TEST_F(ClubCopyTest, ACopyThatStopsHalfwayLeavesTheTargetMarkedUntilCopiedAgain) {
    const QString to = newClub(u"to"_s);
    // A settings table of the wrong shape in the second database: the event
    // tables are copied before the copy stops there.
    const QString config = u"config"_s;
    execIn(to, config, u"drop table company"_s);
    execIn(to, config, u"create table company (compname varchar(50))"_s);

    auto stopped = copy(club, to);
    ASSERT_FALSE(stopped.ok());
    EXPECT_TRUE(stopped.error().description.contains(QLatin1String("config.company")))
        << stopped.error().description.toStdString();
    EXPECT_TRUE(marked(to));
    EXPECT_FALSE(ClubStorage::load(to).ok()) << "no workstation opens a half-made copy";
    const QString events = u"select eventnum from eventinfo"_s;
    EXPECT_EQ(rows(to, Evnt, events).size(), rows(club, Evnt, events).size());

    // Its rows are the unfinished copy's: only --replace goes on, and until it
    // has finished the marker stays.
    EXPECT_FALSE(copy(club, to).ok());
    EXPECT_TRUE(marked(to));
    execIn(to, config, u"drop table company"_s);
    auto again = copy(club, to, true);
    ASSERT_TRUE(again.ok()) << again.error().description.toStdString();
    EXPECT_FALSE(marked(to));
    EXPECT_TRUE(ClubStorage::load(to).ok());
    EXPECT_EQ(rows(to, config, u"select compname from company"_s),
              rows(club, config, u"select compname from company"_s));
}

TEST_F(ClubCopyTest, ACopyThatReadsBackDifferentlyIsNamedAndStaysMarked) {
    const QString from = target(u"from"_s, false);
    ASSERT_TRUE(copy(club, from).ok());
    // The demo club becomes the target, and a trigger there quietly changes
    // one name as it is written: only reading the copy back can tell.
    const int eventnum = scalar(Evnt, u"select max(eventnum) from eventinfo"_s).toInt();
    if (onPostgres()) {
        exec(Evnt, u"create function renamed() returns trigger language plpgsql as "
                   "$$ begin if new.eventnum = %1 then new.custname := 'Someone "
                   "else'; end if; return new; end $$"_s.arg(eventnum));
        exec(Evnt, u"create trigger renamed before insert on eventinfo for each row "
                   "execute function renamed()"_s);
    } else {
        exec(Evnt, u"create trigger renamed after insert on eventinfo when "
                   "new.eventnum = %1 begin update eventinfo set custname = "
                   "'Someone else' where eventnum = %1; end"_s.arg(eventnum));
    }

    auto differs = copy(from, club, true);
    ASSERT_FALSE(differs.ok());
    EXPECT_TRUE(differs.error().description.contains(
        QLatin1String("evnt.eventinfo does not match after the copy: 1 of its")))
        << differs.error().description.toStdString();
    EXPECT_TRUE(differs.error().description.contains(QLatin1String("(in custname)")));
    EXPECT_TRUE(marked(club));
    EXPECT_FALSE(ClubStorage::load(club).ok());
}

} // namespace
