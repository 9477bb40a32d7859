#include "billing/PointOfSaleExport.h"

#include "BillingFixture.h"
#include "HeldLock.h"
#include "club/DemoTills.h"
#include "storage/ClubFile.h"

#include <QDateTime>
#include <QDir>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

class PointOfSaleExportTest : public BillingFixture {
protected:
    void SetUp() override {
        BillingFixture::SetUp();
        tills = std::make_unique<PointOfSaleExport>(module->databases, module->messages,
                                                    module->longOperation);
    }

    void runMode(const QString &mode) { tills->updateTills(mode); }
    void expectDone() {
        EXPECT_EQ(tills->ErrorFlag, 0)
            << tills->statusText.toStdString() << " " << tills->errorDetail.toStdString();
        EXPECT_TRUE(tills->mayClose());
    }

    void addMember(double number, const QVariant &terminated, const QString &lname = "Byron",
                   const QVariant &classcode = u"FM"_s) {
        exec(u"master"_s,
             u"insert into acctinfo (acctnumber, fname, lname, classcode, "
             "terminated, balance) values (?, 'Ada', ?, ?, ?, '123.4567')"_s,
             {number, lname, classcode, terminated});
    }
    void addEmployee(int id, const QVariant &status, const QVariant &password) {
        exec(u"emp"_s,
             u"insert into empinfo (empid, emplname, empstatus, pword) values (?, "
             "'Smith', ?, ?)"_s,
             {id, status, password});
    }
    void addItem(int number, int account, const QVariant &retail, const QString &codes,
                 const QString &upc = QString()) {
        exec(u"invntory"_s,
             u"insert into items (itemnumber, description, dept, avgcost, retail, "
             "altretail, taxpct, scpct, glsales, arcodes, upccode) values (?, "
             "'Item', 'BAR', '2.5', ?, '9.5', 0.05, 0.1, ?, ?, ?)"_s,
             {number, retail, account, codes, upc});
    }
    void addCode(int account, const QVariantList &codes, const QVariant &serviceCharge,
                 const QVariant &tax) {
        exec(u"ar"_s,
             u"insert into ar0 (aracctnum, arapplytominimum, arppcode, "
             "arinstallcode, artototal, arsrvchg, arsalestax) values (?, ?, ?, ?, "
             "?, ?, ?)"_s,
             QVariantList{account} + codes + QVariantList{serviceCharge, tax});
    }
    void setTills(const QVariant &count) {
        exec(u"config"_s, u"update pos set tillcount = ?"_s, {count});
    }
    void addTill(int till) {
        Databases databases(settings());
        auto db = databases.open(u"qnposh"_s);
        ASSERT_TRUE(db.ok());
        ASSERT_TRUE(DemoTills::addButtonTable(**db, till).ok());
    }
    void addButton(const QString &table, int number, int type, int item,
                   const QVariant &typedPrice = 0) {
        exec(u"qnposh"_s,
             u"insert into %1 (bnumber, btype, bitemnumber, bretail1, bretail, "
             "bcodes, bupccode) values (?, ?, ?, ?, '1.25', 'OLD', 'OLDUPC')"_s.arg(table),
             {number, type, item, typedPrice});
    }

    // A till's request file, found whatever the case of its name.
    QString request(int till) {
        const QString name = u"qnpos%1.req"_s.arg(till, 2, 10, QLatin1Char('0'));
        QFile file(path(QDir(club).entryList({name}, QDir::Files).value(0, name)));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : u"<none>"_s;
    }

    std::unique_ptr<PointOfSaleExport> tills;
};

TEST_F(PointOfSaleExportTest, MembersEmployeesAndInventoryReachTheTillsWhichAreAskedToReload) {
    addMember(2001, QVariant(), u"Never terminated"_s);
    addMember(2002, 1, u"Terminated"_s);
    addMember(2003, 0, u"O'Brien-Zoë \"Ziggy\" Ünal, Ph.D.; "_s.leftJustified(50, u'x'),
              QVariant());
    exec(u"qnposmem"_s, u"insert into acctinfo (acctnumber, lname) values (9999, 'Stale')"_s);
    setTills(3);
    touch(u"QNPOS02.REQ"_s, "19 , 0 , 0 , 0 , 0\r\n");

    runMode(u"16"_s);
    expectDone();
    EXPECT_EQ(column(u"master"_s, u"select terminated from acctinfo where acctnumber = 2001"_s),
              QVariantList{0})
        << "a Null terminated counts as active";
    const QString active =
        u"select * from acctinfo where acctnumber in (2001, 2003) order by acctnumber"_s;
    EXPECT_EQ(rowTexts(u"qnposmem"_s, u"select * from acctinfo order by acctnumber"_s),
              rowTexts(u"master"_s, active))
        << "the terminated and the stale rows are gone; texts, money and Nulls exact";

    const QString line = u"16 , 0 , 0 , 0 , 0\r\n"_s;
    EXPECT_EQ(request(1), line);
    EXPECT_EQ(request(3), line);
    EXPECT_EQ(request(4), u"<none>"_s);
    EXPECT_EQ(QDir(club).entryList({u"qnpos02.req"_s}, QDir::Files, QDir::Name),
              QStringList{u"QNPOS02.REQ"_s})
        << "a till's file is replaced under its own name";
    EXPECT_EQ(request(2), line);

    exec(u"master"_s, u"delete from acctinfo"_s);
    runMode(u"16"_s);
    expectDone();
    EXPECT_TRUE(rowTexts(u"qnposmem"_s, u"select * from acctinfo"_s).isEmpty())
        << "no members, an empty copy";

    // Employees are active by the number their status reads as.
    struct Employee {
        int id;
        QVariant status, password;
        bool exported;
    } const employees[] = {
        {1, u"1"_s, 1234, true},   {2, u" 1"_s, 0, true},  {3, u"01"_s, 7, true},
        {4, u"2"_s, 7, false},     {5, u"0"_s, 7, false},  {6, u""_s, 7, false},
        {7, QVariant(), 7, false}, {8, u"1"_s, -1, false}, {9, u"1"_s, QVariant(), false},
    };
    QVariantList expected;
    for (const Employee &employee : employees) {
        addEmployee(employee.id, employee.status, employee.password);
        if (employee.exported)
            expected << employee.id;
    }
    runMode(u"19"_s);
    expectDone();
    EXPECT_EQ(column(u"qnposemp"_s, u"select empid from empinfo order by empid"_s), expected);
    EXPECT_EQ(rowTexts(u"qnposemp"_s, u"select empstatus, pword from empinfo where empid = 2"_s),
              QStringList{u" 1|0"_s});
    EXPECT_EQ(request(3), u"19 , 0 , 0 , 0 , 0\r\n"_s);

    // Inventory takes its accounts' codes, then reaches the tills.
    addItem(1, 4100, u"12.5"_s, u"0000"_s);
    addItem(2, 4200, u"8"_s, u"0000"_s);
    addItem(3, 4300, QVariant(), u"1111"_s, u"0012345"_s);
    addItem(4, 0, u"1"_s, u"0000"_s);
    addCode(4100, {1, 0, 1, 1}, 0.2, 0.08);
    addCode(4200, {0, 1, QVariant(), 0}, QVariant(), QVariant()); // rates not set
    addCode(0, {1, 1, 1, 1}, 0.5, 0.5);                           // no account: never applied

    runMode(u"15"_s);
    expectDone();
    const QString items =
        u"select itemnumber, arcodes, scpct, taxpct from items order by itemnumber"_s;
    EXPECT_EQ(rowTexts(u"invntory"_s, items),
              (QStringList{u"1|1011|0.2|0.08"_s, u"2|0100|0.1|0.05"_s, u"3|1111|0.1|0.05"_s,
                           u"4|0000|0.1|0.05"_s}))
        << "Null rates and accounts without ar0 keep the items' own";
    const QString all = u"select * from items order by itemnumber"_s;
    EXPECT_EQ(rowTexts(u"qnposinv"_s, all), rowTexts(u"invntory"_s, all));
    EXPECT_EQ(request(2), u"15 , 0 , 0 , 0 , 0\r\n"_s);
}

TEST_F(PointOfSaleExportTest, ItemButtonsOfEveryTillAndTheOptionsTakeTheirItemsAndTheirNewNumbers) {
    addItem(205, 4200, u"32"_s, u"0101"_s, u"8001"_s);
    addItem(206, 4200, QVariant(), QString());
    setTills(2);
    addTill(2);
    addTill(3); // a till the configuration no longer counts
    addButton(u"buttondef01"_s, 1, 3, 205);
    addButton(u"buttondef01"_s, 2, 3, 205, u"42"_s);
    addButton(u"buttondef01"_s, 3, 1, 205); // a department button
    addButton(u"buttondef02"_s, 1, 4, 206);
    addButton(u"buttondef02"_s, 2, 3, 777); // its item is gone
    addButton(u"buttondef03"_s, 1, 3, 205);
    addButton(u"optiondef"_s, 1, 4, 205);

    runMode(u"17"_s);
    expectDone();
    const QString buttons =
        u"select bnumber, bcost, bretail, baltretail, btaxpct, bscpct, bglsales, bcodes, "
        "bupccode, bdeptcode from %1 order by bnumber"_s;
    const QString wine = u"2.5|32|9.5|0.05|0.1|4200|0101|8001|BAR"_s;
    const QString untouched = u"|<null>|1.25|<null>|<null>|<null>|<null>|OLD|OLDUPC|<null>"_s;
    EXPECT_EQ(rowTexts(u"qnposh"_s, buttons.arg(u"buttondef01"_s)),
              (QStringList{u"1|"_s + wine, u"2|2.5|1.25|<null>|0.05|0.1|4200|0101|8001|BAR"_s,
                           u"3"_s + untouched}))
        << "a typed price stays; a department button is not an item";
    EXPECT_EQ(rowTexts(u"qnposh"_s, buttons.arg(u"buttondef02"_s)),
              (QStringList{u"1|2.5|0|9.5|0.05|0.1|4200|OLD|OLDUPC|BAR"_s, u"2"_s + untouched}))
        << "a Null price is 0; empty codes keep the button's; an unknown item changes nothing";
    EXPECT_EQ(rowTexts(u"qnposh"_s, buttons.arg(u"optiondef"_s)), QStringList{u"1|"_s + wine});
    EXPECT_EQ(rowTexts(u"qnposh"_s, buttons.arg(u"buttondef03"_s)),
              QStringList{u"1"_s + untouched});
    const QString reload = u"17 , 0 , 0 , 0 , 0\r\n15 , 0 , 0 , 0 , 0\r\n"_s;
    EXPECT_EQ(request(1), reload);
    EXPECT_EQ(request(2), reload);
    EXPECT_EQ(request(3), u"<none>"_s);

    runMode(u"171"_s);
    expectDone();
    EXPECT_EQ(request(2), u"17 , 1 , 0 , 0 , 0\r\n"_s);

    // Renumbering moves every button of the item, whatever its till.
    addButton(u"buttondef02"_s, 3, 3, 205);
    tills->updateTills(u"51"_s, PointOfSaleExport::Renumbering{205, 2050, u"O'Neil 7"_s});
    expectDone();
    const QString moved = u"select bitemnumber, bupccode from %1 order by bnumber"_s;
    EXPECT_EQ(rowTexts(u"qnposh"_s, moved.arg(u"buttondef02"_s)),
              (QStringList{u"206|OLDUPC"_s, u"777|OLDUPC"_s, u"2050|O'Neil 7"_s}));
    EXPECT_EQ(rowTexts(u"qnposh"_s, moved.arg(u"optiondef"_s)), QStringList{u"2050|O'Neil 7"_s});
    runMode(u"51"_s);
    EXPECT_EQ(prompts.lastMessage().text,
              u"Mode 51 renumbers an item on the till buttons and needs the old and "
              "new item numbers; nothing was updated."_s);
}

// Every copy, its source and the request files, to compare before and after.
struct Snapshot {
    QList<QStringList> tables;
    QString request;
    bool operator==(const Snapshot &) const = default;
};

class PointOfSaleFaultTest : public PointOfSaleExportTest {
protected:
    void SetUp() override {
        PointOfSaleExportTest::SetUp();
        for (int n = 1; n <= 6; ++n) {
            addMember(3000 + n, 0);
            addEmployee(n, u"1"_s, n);
            addItem(n, 4100, u"5"_s, u"0000"_s);
        }
        addCode(4100, {1, 1, 1, 1}, 0.18, 0.07);
        setTills(2);
        addTill(2);
        for (int n = 1; n <= 6; ++n)
            addButton(u"buttondef02"_s, n, 3, n);
        runMode(u"40"_s);
        runMode(u"17"_s);
        expectDone();
        // What the next run would change: one more of each, new prices.
        addMember(3100, 0);
        addEmployee(100, u"1"_s, 1);
        addItem(100, 4100, u"6"_s, u"0000"_s);
        exec(u"invntory"_s, u"update items set avgcost = 3"_s);
        exec(u"ar"_s, u"update ar0 set arsrvchg = 0.2"_s);
    }
    Snapshot snapshot() {
        Snapshot taken{{}, request(1) + request(2)};
        for (const auto &[database, sql] :
             {std::pair{"qnposmem", "select * from acctinfo order by acctnumber"},
              std::pair{"qnposemp", "select * from empinfo order by empid"},
              std::pair{"qnposinv", "select * from items order by itemnumber"},
              std::pair{"invntory", "select * from items order by itemnumber"},
              std::pair{"qnposh", "select * from buttondef01 order by bnumber"},
              std::pair{"qnposh", "select * from buttondef02 order by bnumber"},
              std::pair{"qnposh", "select * from optiondef order by bnumber"}})
            taken.tables << rowTexts(QString::fromLatin1(database), QString::fromLatin1(sql));
        return taken;
    }
    void expectErrorShown(int line) {
        EXPECT_EQ(tills->ErrorFlag, 1);
        EXPECT_TRUE(tills->errorButtonVisible);
        EXPECT_TRUE(tills->statusText.startsWith(u"Error "_s) &&
                    tills->statusText.endsWith(u" @ %1"_s.arg(line)))
            << tills->statusText.toStdString();
        EXPECT_FALSE(tills->mayClose()) << "the window stays while the error shows";
        tills->acknowledgeError();
        EXPECT_FALSE(tills->errorButtonVisible);
        EXPECT_TRUE(tills->mayClose());
    }
};

TEST_F(PointOfSaleFaultTest, AWriteFailingHalfwayLeavesEveryCopyAsItWas) {
    struct Fault {
        const char *routine, *mode, *database, *write, *table, *condition;
    } const faults[] = {
        {"members", "16", "qnposmem", "insert", "acctinfo", "new.acctnumber = 3004"},
        {"employees", "19", "qnposemp", "insert", "empinfo", "new.empid = 4"},
        {"inventory", "15", "qnposinv", "insert", "items", "new.itemnumber = 4"},
        {"buttons", "17", "qnposh", "update", "buttondef02", "new.bnumber = 4"},
        // A failed routine ends the run: employees and inventory are not run.
        {"members, employees, inventory", "40", "qnposmem", "insert", "acctinfo", ""},
    };
    for (const Fault &fault : faults) {
        SCOPED_TRACE(fault.routine);
        const QString database = QString::fromLatin1(fault.database);
        const QString table = QString::fromLatin1(fault.table);
        addFault(database, u"halfway"_s, QString::fromLatin1(fault.write), table,
                 QString::fromLatin1(fault.condition), u"disk full"_s);
        // 17 refreshes the inventory before the buttons: that part stands.
        if (QLatin1String(fault.mode) == QLatin1String("17")) {
            runMode(u"15"_s);
            expectDone();
        }
        const Snapshot ready = snapshot();
        runMode(QString::fromLatin1(fault.mode));
        expectErrorShown(30);
        EXPECT_EQ(snapshot(), ready) << "copies, sources and request files";
        removeFault(database, u"halfway"_s, table);
    }
}

TEST_F(PointOfSaleFaultTest, MissingOrDifferentTablesShowTheErrorAndChangeNothing) {
    setTills(3); // buttondef03 does not exist
    const Snapshot before = snapshot();
    for (const char *mode : {"26", "17"}) { // members or inventory, then buttons
        runMode(QString::fromLatin1(mode));
        EXPECT_EQ(tills->ErrorFlag, 1);
        EXPECT_EQ(tills->statusText.section(QLatin1Char(' '), 0, 1), u"Error 3024"_s);
        tills->acknowledgeError();
        EXPECT_EQ(snapshot(), before) << "the run is all or nothing: mode " << mode;
    }
    EXPECT_EQ(rowTexts(u"qnposh"_s, u"select bcost from buttondef02 where bnumber = 1"_s),
              QStringList{u"2.5"_s})
        << "the buttons of tills 01 and 02 are unchanged";
    setTills(2);

    exec(u"qnposinv"_s, u"alter table items add column shelf varchar(10)"_s);
    const Snapshot differing = snapshot();
    runMode(u"15"_s);
    expectErrorShown(20);
    EXPECT_EQ(tills->errorDetail,
              u"The point-of-sale copy of items does not have the columns of its "
              "source; nothing was copied."_s);
    EXPECT_EQ(snapshot(), differing);

    for (const QString &missing : {u"emp"_s, u"qnposemp"_s}) {
        removeDatabase(missing);
        runMode(u"19"_s);
        expectErrorShown(1);
        EXPECT_EQ(tills->statusText, u"Error 53 @ 1"_s) << missing.toStdString();
    }
    EXPECT_EQ(request(1) + request(2), before.request);
}

TEST_F(PointOfSaleFaultTest, ATillHoldingTheCopyMakesTheExportWaitThenFail) {
    StorageSettings quick = settings();
    quick.busyTimeoutMs = 200;
    reopen(quick);
    loadConfiguration();
    tills = std::make_unique<PointOfSaleExport>(module->databases, module->messages,
                                                module->longOperation);
    const Snapshot before = snapshot();
    {
        HeldLock till(quick, u"qnposmem"_s, u"acctinfo"_s);
        ASSERT_TRUE(till.held());
        runMode(u"16"_s);
    }
    EXPECT_EQ(tills->statusText.section(QLatin1Char(' '), 0, 1), u"Error 3186"_s);
    tills->acknowledgeError();
    EXPECT_EQ(snapshot(), before);
    runMode(u"16"_s);
    expectDone();
    EXPECT_EQ(snapshot().tables[0].size(), 7) << "once the till lets go";
}

TEST_F(PointOfSaleFaultTest, AReaderDuringTheCopySeesTheOldOrTheNewCopy) {
    Databases reader(settings());
    auto db = reader.open(u"qnposmem"_s);
    ASSERT_TRUE(db.ok());
    QList<int> seen;
    TillCopies copies(
        module->databases, [](const QString &) {},
        [&] {
            auto count = (*db)->exec(u"select count(*) from acctinfo"_s);
            ASSERT_TRUE(count.ok() && count->next()) << count.error().description.toStdString();
            seen << count->value(0).toInt();
        });
    ASSERT_FALSE(copies.members());
    ASSERT_GE(seen.size(), 3) << "a look after the clean-up, the emptying and the copy";
    for (int count : seen)
        EXPECT_EQ(count, 6) << "the old copy until the commit";
    EXPECT_EQ(scalar(u"qnposmem"_s, u"select count(*) from acctinfo"_s).toInt(), 7);
}

TEST_F(PointOfSaleExportTest, ModesAndTillCountsThatCannotRunChangeNothing) {
    addMember(2001, 0);
    for (const char *mode : {"18", "abc", "", "16.0", "-16", "99999", "１６"}) {
        SCOPED_TRACE(mode);
        prompts.clear();
        runMode(QString::fromUtf8(mode));
        EXPECT_EQ(
            prompts.messageTexts(),
            QStringList{u"\"%1\" is not a point-of-sale update mode; nothing was updated."_s.arg(
                QString::fromUtf8(mode))});
        EXPECT_EQ(tills->ErrorFlag, 0);
    }
    setTills(100);
    prompts.clear();
    runMode(u"16"_s);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"The till configuration lists 100 tills, but the "
                          "point-of-sale update handles tills 01 to 99 only; "
                          "nothing was updated."_s});
    // A count kept as text (SQLite keeps what its column cannot convert) is
    // read whole, never as its leading digits or as none.
    if (!onPostgres()) {
        WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
        for (const char *count : {"12abc", "2.5", "99999999999999999999"}) {
            SCOPED_TRACE(count);
            setTills(QString::fromLatin1(count));
            prompts.clear();
            runMode(u"16"_s);
            ASSERT_EQ(prompts.messages.size(), 1);
            EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"Till count: \""))
                << prompts.lastMessage().text.toStdString();
            EXPECT_TRUE(prompts.lastMessage().text.endsWith(u"othing was updated."));
        }
        setTills(u"1,500"_s);
        prompts.clear();
        runMode(u"16"_s);
        EXPECT_TRUE(
            prompts.lastMessage().text.startsWith(u"The till configuration lists 1500 tills"));
    }
    EXPECT_TRUE(column(u"qnposmem"_s, u"select acctnumber from acctinfo"_s).isEmpty());
    EXPECT_TRUE(QDir(club).entryList({u"qnpos*.req"_s}).isEmpty());

    // No till counted: only the option buttons, and no till to tell.
    addItem(205, 4200, u"32"_s, u"0101"_s);
    addButton(u"optiondef"_s, 1, 3, 205);
    addButton(u"buttondef01"_s, 1, 3, 205);
    for (const QVariant &count : {QVariant(), QVariant(0), QVariant(-2)}) {
        setTills(count);
        runMode(u"17"_s);
        expectDone();
    }
    EXPECT_EQ(rowTexts(u"qnposh"_s, u"select bretail from optiondef"_s), QStringList{u"32"_s});
    EXPECT_EQ(rowTexts(u"qnposh"_s, u"select bretail from buttondef01"_s), QStringList{u"1.25"_s});
    EXPECT_TRUE(QDir(club).entryList({u"qnpos*.req"_s}).isEmpty());
}

TEST_F(PointOfSaleExportTest, TheStoreIsReadFromTheFirstLineOfItsFile) {
    struct Case {
        const char *what;
        QByteArray content;
        QString store;
    } const cases[] = {
        {"plain", "StoreID=BRV-0417\r\nStoreName=Club\r\n", u"BRV-0417"_s},
        {"no line end", "StoreID=7", u"7"_s},
        {"other case", "storeid=7\n", u"7"_s},
        {"empty", "", QString()},
        {"shorter than its prefix", "Store", QString()},
        {"prefix only", "StoreID=\r\n", QString()},
        {"another key first", "Name=Club\r\nStoreID=7\r\n", QString()},
        {"UTF-8", "StoreID=Zo\xc3\xab \xe5\xba\x97\r\n", u"Zoë 店"_s},
        {"Windows code page", "StoreID=Zo\xeb\r\n", u"Zoë"_s},
        {"binary", QByteArray("\x00\xff\xfe", 3), QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PointOfSaleExport::storeIdFrom(c.content), c.store) << c.what;

    runMode(u"16"_s);
    EXPECT_EQ(tills->StoreId, QString()) << "no file";
    touch(u"STOREID.DAT"_s, "StoreID=BRV-0417\r\n");
    runMode(u"16"_s);
    EXPECT_EQ(tills->StoreId, u"BRV-0417"_s);
}

TEST_F(PointOfSaleExportTest, SuperJournalsNoJournalNeedsAreClearedByTheNextRun) {
    if (onPostgres())
        GTEST_SKIP() << "super-journals are SQLite's";
    // One left by a killed run whose journals were rolled back since, one
    // whose journal is still there to roll back, one of a commit at another
    // workstation that is deleting its journals now, and a file of the club's.
    const auto superJournal = [&](const QString &name, const QString &journal, int age) {
        touch(name, QFile::encodeName(path(journal)) + '\0');
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-age),
                                     QFileDevice::FileModificationTime));
    };
    const int old = ClubFile::SuperJournalSettledSeconds + 60;
    superJournal(u"qnposmem.mdb-mj0A1B2C93D"_s, u"qnposmem.mdb-journal"_s, old);
    superJournal(u"qnposinv.mdb-mj4E5F60971"_s, u"pending.mdb-journal"_s, old);
    superJournal(u"qnposemp.mdb-mj1C2D3E4F5"_s, u"qnposemp.mdb-journal"_s, 0);
    touch(u"pending.mdb-journal"_s, "journal");
    touch(u"notes-mj.txt"_s, "kept");
    runMode(u"16"_s);
    expectDone();
    EXPECT_FALSE(QFile::exists(path(u"qnposmem.mdb-mj0A1B2C93D"_s)));
    EXPECT_TRUE(QFile::exists(path(u"qnposinv.mdb-mj4E5F60971"_s)));
    EXPECT_TRUE(QFile::exists(path(u"qnposemp.mdb-mj1C2D3E4F5"_s))) << "a commit may still end it";
    EXPECT_TRUE(QFile::exists(path(u"notes-mj.txt"_s)));
}

} // namespace
