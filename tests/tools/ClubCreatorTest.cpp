#include "club/ClubCreator.h"

#include "ClubFixture.h"
#include "storage/Schema.h"
#include "storage/SchemaUpgrade.h"
#include "values/Money.h"

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
        EXPECT_TRUE(module->databases.exists(name)) << name.toStdString();
    // On a server the report template stays a file beside the club's other
    // files, and the club names its server.
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("rpt00.sys"))));
    EXPECT_EQ(QFile::exists(path(QStringLiteral("postgres.ini"))), onPostgres());
    EXPECT_EQ(QFile::exists(path(QStringLiteral("evnt.mdb"))), !onPostgres());
    EXPECT_EQ(count(QStringLiteral("config"), QStringLiteral("select count(*) from company")), 1);
    EXPECT_EQ(count(QStringLiteral("config"), QStringLiteral("select count(*) from evmgr")), 1);
    EXPECT_EQ(count(QStringLiteral("config"), QStringLiteral("select count(*) from ar")), 1);
    EXPECT_EQ(count(QStringLiteral("config"), QStringLiteral("select count(*) from pos")), 1);
    EXPECT_EQ(count(QStringLiteral("user"),
                    QStringLiteral("select count(*) from staff where username = 'DEMO'")),
              1);
    for (const QString &name : Schema::databases())
        EXPECT_EQ(count(name, QStringLiteral("select version from schemaversion")),
                  SchemaUpgrade::currentVersion())
            << "a new club needs no upgrade: " << name.toStdString();
    EXPECT_EQ(column(QStringLiteral("rpt"), QStringLiteral("select ctlcompname from headings")),
              QVariantList{QStringLiteral("Hollow Creek Country Club")});
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

TEST_F(DemoClubTest, RoomsAndThisAndNextYearAreSetUpThroughTheProgram) {
    EXPECT_EQ(column(QStringLiteral("evnt"),
                     QStringLiteral("select room from location order by roomnum")),
              (QVariantList{QStringLiteral("Grand Ballroom"), QStringLiteral("Ballroom East"),
                            QStringLiteral("Ballroom West"), QStringLiteral("Terrace Pavilion"),
                            QStringLiteral("Board Room"), QStringLiteral("Fairway Dining Room")}));
    EXPECT_EQ(column(QStringLiteral("evnt"),
                     QStringLiteral("select roomnum from location where subdiv = 1")),
              (QVariantList{2, 3}));
    for (const int year : {2026, 2027})
        EXPECT_EQ(count(QStringLiteral("evnt"),
                        QStringLiteral("select count(*) from reserv where resdate between ? and ?"),
                        {year * 10000, year * 10000 + 1232}),
                  35040);
}

TEST_F(DemoClubTest, ASeasonOfBookingsFillsTheCalendar) {
    const auto evnt = QStringLiteral("evnt");
    const int events = count(evnt, QStringLiteral("select count(*) from eventinfo"));
    EXPECT_GE(events, 30);
    EXPECT_EQ(count(evnt, QStringLiteral("select count(distinct eventnum) from eventinfo")),
              events);
    EXPECT_EQ(count(evnt, QStringLiteral("select count(distinct status) from eventinfo")), 6)
        << "enquiries, reservations, deposits, confirmed, billed and a cancellation";
    EXPECT_GE(count(evnt, QStringLiteral("select count(*) from eventinfo where memnonmem = 1 and "
                                         "custid > 0 and custname <> ''")),
              10);
    EXPECT_GE(count(evnt, QStringLiteral("select count(*) from eventinfo where memnonmem = 2")), 3);

    // The busy Saturday.
    const QVariant busiest = scalar(
        evnt, QStringLiteral("select eventdate from eventinfo where status between 2 and 8 group "
                             "by eventdate order by count(*) desc, eventdate"));
    EXPECT_EQ(count(evnt,
                    QStringLiteral("select count(*) from eventinfo where eventdate = ? and status "
                                   "between 2 and 8"),
                    {busiest}),
              5);
    EXPECT_EQ(QDate::fromString(busiest.toString(), QStringLiteral("yyyyMMdd")).dayOfWeek(),
              Qt::Saturday);
    EXPECT_GT(count(evnt, QStringLiteral("select count(*) from reserv where event2 > 0 and event3 "
                                         "> 0 and event2 <> event3")),
              0)
        << "both ballroom sections in use at once";

    // Every booked quarter-hour belongs to its event's date and room, and a
    // cancellation holds none.
    int booked = 0;
    for (int room = 1; room <= 6; ++room)
        booked += count(evnt, QStringLiteral("select count(*) from reserv r, eventinfo e where "
                                             "r.event%1 = e.eventnum and r.resdate = e.eventdate "
                                             "and e.roomnumber = %1 and e.status between 2 and 8")
                                  .arg(room));
    int cells = 0;
    for (int room = 1; room <= 6; ++room)
        cells +=
            count(evnt, QStringLiteral("select count(*) from reserv where event%1 > 0").arg(room));
    EXPECT_GT(cells, 200);
    EXPECT_EQ(booked, cells);
}

TEST_F(DemoClubTest, TasksAndABallroomOverlapGiveTheListsSomethingToShow) {
    const auto evnt = QStringLiteral("evnt");
    const int today = 20261206;
    EXPECT_GE(count(evnt, QStringLiteral("select count(*) from tasklist where todo = 'Y'")), 2);
    EXPECT_GE(
        count(evnt, QStringLiteral("select count(*) from tasklist where taskdate = ?"), {today}),
        2);
    EXPECT_GE(count(evnt, QStringLiteral("select count(distinct eventnumber) from tasklist")), 4);
    EXPECT_EQ(count(evnt, QStringLiteral("select count(*) from tasklist t where not exists (select "
                                         "1 from eventinfo e where e.eventnum = t.eventnumber)")),
              0);
    EXPECT_GT(count(evnt,
                    QStringLiteral("select count(*) from reserv where event1 > 0 and event2 > 0 "
                                   "and resdate between ? and ?"),
                    {today / 100 * 100, today / 100 * 100 + 31}),
              0)
        << "the ballroom and a section at once this month";
}

TEST_F(DemoClubTest, WhatHasHappenedIsBilledAndEventAccountsAreWhole) {
    const QVariantList billed = column(
        QStringLiteral("evnt"), QStringLiteral("select eventnum from eventinfo where status = 5"));
    EXPECT_GE(billed.size(), 3);
    for (const QVariant &event : billed) {
        const int items =
            count(QStringLiteral("evnt"),
                  QStringLiteral("select count(*) from items where eventid = ?"), {event});
        EXPECT_GT(items, 0);
        EXPECT_EQ(count(QStringLiteral("daily"),
                        QStringLiteral("select count(*) from ardaily where architnum = ?"),
                        {QStringLiteral("EV") + event.toString()}),
                  items)
            << "event " << event.toInt();
    }
    const QString inRange = QStringLiteral("select count(*) from %1 where acctnumber >= 90000");
    for (const auto &[database, table] :
         {std::pair{"master", "acctinfo"}, std::pair{"master", "address"},
          std::pair{"master", "interesta"}, std::pair{"master", "comments"},
          std::pair{"master2", "ar"}})
        EXPECT_EQ(count(QString::fromLatin1(database), inRange.arg(QString::fromLatin1(table))), 2)
            << table;
    EXPECT_EQ(count(QStringLiteral("evnt"),
                    QStringLiteral("select count(*) from eventinfo where memnonmem = 2 and status "
                                   "= 4 and custid = 0 and custname <> ''")),
              1)
        << "one confirmed non-member event waits for the office to make its account";
}

TEST_F(DemoClubTest, EventsCarryPricedMenusOnTheirAccountsTerms) {
    QFile buttons(path(QStringLiteral("evnt.dat")));
    ASSERT_TRUE(buttons.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(buttons.readAll()).split(QLatin1Char('\n'));
    EXPECT_EQ(lines.mid(0, 5),
              (QStringList{"Food,1", "Beverage,2", "Room Rental,3", "Equipment,4", "Staffing,5"}));
    const auto evnt = QStringLiteral("evnt");
    const auto itemsOf = [&](int status) {
        return count(evnt,
                     QStringLiteral("select count(distinct eventid) from items i, eventinfo e "
                                    "where e.eventnum = i.eventid and e.status = ?"),
                     {status});
    };
    for (int status : {3, 4, 5})
        EXPECT_GE(itemsOf(status), 1) << status;
    // The tax-exempt church pays no tax; the alternative-price company pays
    // the alternative prices.
    EXPECT_EQ(
        count(evnt, QStringLiteral("select count(*) from items i, eventinfo e where "
                                   "e.eventnum = i.eventid and e.custid = 2501 and i.tax <> 0")),
        0);
    EXPECT_GT(count(evnt, QStringLiteral("select count(*) from items i, eventinfo e where "
                                         "e.eventnum = i.eventid and e.custid = 2501")),
              0);
    const QVariant filet =
        scalar(evnt, QStringLiteral("select i.price from items i, eventinfo e where e.eventnum = "
                                    "i.eventid and e.custid = 2005 and i.itemnum = 112"));
    EXPECT_EQ(Money::fromVariant(filet), Money::fromText(u"3870")) << "180 x 21.50";
}

TEST_F(DemoClubTest, LastYearsHarvestDinnerIsBookedAgainWithItsItems) {
    const auto evnt = QStringLiteral("evnt");
    const QVariantList dinners = column(
        evnt, QStringLiteral("select eventnum from eventinfo where eventtitle = 'Harvest Member "
                             "Dinner Dance' order by eventdate"));
    ASSERT_EQ(dinners.size(), 2);
    const auto items = [&](const QVariant &event) {
        QStringList found;
        for (const QVariant &row :
             column(evnt,
                    QStringLiteral("select itemnum || ' ' || qty || ' ' || price from items "
                                   "where eventid = ? order by itemnum"),
                    {event}))
            found << row.toString();
        return found;
    };
    EXPECT_EQ(items(dinners[1]), items(dinners[0]));
    EXPECT_EQ(items(dinners[1]).size(), 4);
    const auto date = [&](const QVariant &event) {
        return count(evnt, QStringLiteral("select eventdate from eventinfo where eventnum = ?"),
                     {event});
    };
    EXPECT_EQ(date(dinners[1]) - date(dinners[0]), 10000) << "a year on";
    EXPECT_EQ(count(evnt, QStringLiteral("select status from eventinfo where eventnum = ?"),
                    {dinners[1]}),
              4)
        << "billed last year, confirmed this year";
}

TEST_F(DemoClubTest, TheWeddingWeekendIsOnePackageHeadedByTheCeremony) {
    const auto evnt = QStringLiteral("evnt");
    const int ceremony =
        count(evnt, QStringLiteral("select eventnum from eventinfo where "
                                   "eventtitle = 'Sullivan-Park Wedding Ceremony'"));
    EXPECT_EQ(count(evnt, QStringLiteral("select count(*) from pkg where pkgnum = ?"), {ceremony}),
              4);
    EXPECT_EQ(count(evnt, QStringLiteral("select count(*) from pkg p, eventinfo e where p.eventnum "
                                         "= e.eventnum and p.eventtitle = e.eventtitle and "
                                         "p.eventdate = e.eventdate and e.eventtitle like "
                                         "'Sullivan-Park %'")),
              4)
        << "each member's copy of its date and title";
}

// The tills hold what the accounting data holds, filled by the program's
// own export, and every item button carries its item's price.
TEST_F(DemoClubTest, TwoTillsHoldTheClubsMembersStaffInventoryAndPricedButtons) {
    const auto sameRows = [this](const QString &source, const QString &copy, const QString &sql) {
        EXPECT_EQ(column(copy, sql), column(source, sql)) << copy.toStdString();
    };
    sameRows(QStringLiteral("master"), QStringLiteral("qnposmem"),
             QStringLiteral("select acctnumber from acctinfo where terminated = 0 order by 1"));
    sameRows(QStringLiteral("invntory"), QStringLiteral("qnposinv"),
             QStringLiteral("select retail from items order by itemnumber"));
    EXPECT_GT(count(QStringLiteral("qnposmem"), QStringLiteral("select count(*) from acctinfo")),
              20);
    EXPECT_GT(count(QStringLiteral("qnposemp"), QStringLiteral("select count(*) from empinfo")), 5);
    EXPECT_EQ(count(QStringLiteral("config"), QStringLiteral("select tillcount from pos")), 2);
    for (const QString &table : {QStringLiteral("buttondef01"), QStringLiteral("buttondef02"),
                                 QStringLiteral("optiondef")}) {
        EXPECT_GT(
            count(
                QStringLiteral("qnposh"),
                QStringLiteral("select count(*) from %1 where btype = 3 or btype = 4").arg(table)),
            1)
            << table.toStdString();
        EXPECT_EQ(count(QStringLiteral("qnposh"),
                        QStringLiteral("select count(*) from %1 where (btype = 3 or btype = 4) "
                                       "and (bretail is null or bretail <= 0)")
                            .arg(table)),
                  0)
            << table.toStdString() << ": every item button is priced";
    }
    QFile store(path(QStringLiteral("storeid.dat")));
    ASSERT_TRUE(store.open(QIODevice::ReadOnly));
    EXPECT_TRUE(store.readAll().startsWith("StoreID="));
    for (const char *name : {"qnpos01.req", "qnpos02.req"}) {
        QFile request(path(QString::fromLatin1(name)));
        ASSERT_TRUE(request.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(request.readAll(), QByteArray("17 , 0 , 0 , 0 , 0\r\n15 , 0 , 0 , 0 , 0\r\n"));
    }
}

TEST(PlainClub, StartsWithoutRoomsOrYears) {
    QTemporaryDir temp;
    const QString club = QDir(temp.path()).filePath(QStringLiteral("club"));
    ASSERT_TRUE(ClubCreator::create(club, {}).ok());
    StorageSettings settings;
    settings.clubDirectory = club;
    Databases databases(settings);
    auto db = databases.open(QStringLiteral("evnt"));
    auto counts = db.value()->exec(
        QStringLiteral("select (select count(*) from location) + (select count(*) from reserv)"));
    ASSERT_TRUE(counts.ok());
    ASSERT_TRUE(counts->next());
    EXPECT_EQ(counts->value(0).toInt(), 0);
}

TEST_F(DemoClubTest, AnExistingClubIsNeverOverwritten) {
    exec(QStringLiteral("evnt"), QStringLiteral("update location set room = 'Kept'"));
    const Status again = ClubCreator::create(club, {});
    ASSERT_FALSE(again.ok());
    EXPECT_TRUE(again.error().description.contains(QStringLiteral("already exists")));
    EXPECT_EQ(
        scalar(QStringLiteral("evnt"), QStringLiteral("select min(room) from location")).toString(),
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
