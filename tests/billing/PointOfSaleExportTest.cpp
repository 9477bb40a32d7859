#include "billing/PointOfSaleExport.h"

#include "BillingFixture.h"
#include "HeldLock.h"
#include "club/DemoTills.h"

#include <QDir>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <memory>

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
                   const QVariant &classcode = QStringLiteral("FM")) {
        exec(QStringLiteral("master"),
             QStringLiteral("insert into acctinfo (acctnumber, fname, lname, classcode, "
                            "terminated, balance) values (?, 'Ada', ?, ?, ?, '123.4567')"),
             {number, lname, classcode, terminated});
    }
    void addEmployee(int id, const QVariant &status, const QVariant &password) {
        exec(QStringLiteral("emp"),
             QStringLiteral("insert into empinfo (empid, emplname, empstatus, pword) values (?, "
                            "'Smith', ?, ?)"),
             {id, status, password});
    }
    void addItem(int number, int account, const QVariant &retail, const QString &codes,
                 const QString &upc = QString()) {
        exec(QStringLiteral("invntory"),
             QStringLiteral("insert into items (itemnumber, description, dept, avgcost, retail, "
                            "altretail, taxpct, scpct, glsales, arcodes, upccode) values (?, "
                            "'Item', 'BAR', '2.5', ?, '9.5', 0.05, 0.1, ?, ?, ?)"),
             {number, retail, account, codes, upc});
    }
    void addCode(int account, const QVariantList &codes, const QVariant &serviceCharge,
                 const QVariant &tax) {
        exec(QStringLiteral("ar"),
             QStringLiteral("insert into ar0 (aracctnum, arapplytominimum, arppcode, "
                            "arinstallcode, artototal, arsrvchg, arsalestax) values (?, ?, ?, ?, "
                            "?, ?, ?)"),
             QVariantList{account} + codes + QVariantList{serviceCharge, tax});
    }
    void setTills(const QVariant &count) {
        exec(QStringLiteral("config"), QStringLiteral("update pos set tillcount = ?"), {count});
    }
    void addTill(int till) {
        Databases databases(settings());
        auto db = databases.open(QStringLiteral("qnposh"));
        ASSERT_TRUE(db.ok());
        ASSERT_TRUE(DemoTills::addButtonTable(**db, till).ok());
    }
    void addButton(const QString &table, int number, int type, int item,
                   const QVariant &typedPrice = 0) {
        exec(QStringLiteral("qnposh"),
             QStringLiteral("insert into %1 (bnumber, btype, bitemnumber, bretail1, bretail, "
                            "bcodes, bupccode) values (?, ?, ?, ?, '1.25', 'OLD', 'OLDUPC')")
                 .arg(table),
             {number, type, item, typedPrice});
    }

    // Every row of a query, each as its values' texts ("<null>" for Null).
    QStringList rows(const QString &database, const QString &sql) {
        Databases databases(settings());
        auto db = databases.open(database);
        EXPECT_TRUE(db.ok());
        QStringList all;
        if (!db)
            return all;
        auto query = (*db)->exec(sql);
        EXPECT_TRUE(query.ok()) << sql.toStdString();
        while (query && query->next()) {
            QStringList values;
            // Money as a number: the engines spell 2.5 differently.
            for (int i = 0; i < query->record().count(); ++i)
                values << (query->isNull(i) ? QStringLiteral("<null>")
                           : query->record().field(i).metaType().id() == QMetaType::Double
                               ? QString::number(query->value(i).toDouble(), 'g', 15)
                               : query->value(i).toString());
            all << values.join(QLatin1Char('|'));
        }
        return all;
    }
    QString request(int till) {
        QFile file(path(QStringLiteral("qnpos%1.req").arg(till, 2, 10, QLatin1Char('0'))));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll())
                                              : QStringLiteral("<none>");
    }
    void writeFile(const QString &name, const QByteArray &content) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    std::unique_ptr<PointOfSaleExport> tills;
};

TEST_F(PointOfSaleExportTest, MembersReachTheTillsWhichAreAskedToReload) {
    const QString fullLength =
        QStringLiteral("O'Brien-Zoë \"Ziggy\" Ünal, Ph.D.; ").leftJustified(50, QLatin1Char('x'));
    addMember(2001, QVariant(), QStringLiteral("Never terminated"));
    addMember(2002, 1, QStringLiteral("Terminated"));
    addMember(2003, 0, fullLength, QVariant());
    exec(QStringLiteral("qnposmem"),
         QStringLiteral("insert into acctinfo (acctnumber, lname) values (9999, 'Stale')"));
    setTills(3);
    writeFile(QStringLiteral("QNPOS02.REQ"), "19 , 0 , 0 , 0 , 0\r\n");

    runMode(QStringLiteral("16"));
    expectDone();
    EXPECT_EQ(column(QStringLiteral("master"),
                     QStringLiteral("select terminated from acctinfo where acctnumber = 2001")),
              QVariantList{0})
        << "a Null terminated counts as active";
    const QString active = QStringLiteral("select * from acctinfo where acctnumber in (2001, "
                                          "2003) order by acctnumber");
    EXPECT_EQ(rows(QStringLiteral("qnposmem"),
                   QStringLiteral("select * from acctinfo order by acctnumber")),
              rows(QStringLiteral("master"), active))
        << "the terminated and the stale rows are gone; texts, money and Nulls exact";
    EXPECT_EQ(scalar(QStringLiteral("qnposmem"),
                     QStringLiteral("select lname from acctinfo where acctnumber = 2003"))
                  .toString(),
              fullLength);

    const QString line = QStringLiteral("16 , 0 , 0 , 0 , 0\r\n");
    EXPECT_EQ(request(1), line);
    EXPECT_EQ(request(3), line);
    EXPECT_EQ(request(4), QStringLiteral("<none>"));
    EXPECT_EQ(QDir(club).entryList({QStringLiteral("qnpos02.req")}, QDir::Files, QDir::Name),
              QStringList{QStringLiteral("QNPOS02.REQ")})
        << "a till's file is replaced under its own name";
    QFile existing(path(QStringLiteral("QNPOS02.REQ")));
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(existing.readAll()), line);

    exec(QStringLiteral("master"), QStringLiteral("delete from acctinfo"));
    runMode(QStringLiteral("16"));
    expectDone();
    EXPECT_TRUE(
        rows(QStringLiteral("qnposmem"), QStringLiteral("select * from acctinfo")).isEmpty())
        << "no members, an empty copy";
}

TEST_F(PointOfSaleExportTest, EmployeesAreActiveByTheNumberTheirStatusReadsAs) {
    struct Employee {
        int id;
        QVariant status, password;
        bool exported;
    } const employees[] = {
        {1, QStringLiteral("1"), 1234, true},
        {2, QStringLiteral(" 1"), 0, true},
        {3, QStringLiteral("01"), 7, true},
        {4, QStringLiteral("2"), 7, false},
        {5, QStringLiteral("0"), 7, false},
        {6, QStringLiteral(""), 7, false},
        {7, QVariant(), 7, false},
        {8, QStringLiteral("1"), -1, false},
        {9, QStringLiteral("1"), QVariant(), false},
    };
    QVariantList expected;
    for (const Employee &employee : employees) {
        addEmployee(employee.id, employee.status, employee.password);
        if (employee.exported)
            expected << employee.id;
    }
    runMode(QStringLiteral("19"));
    expectDone();
    EXPECT_EQ(column(QStringLiteral("qnposemp"),
                     QStringLiteral("select empid from empinfo order by empid")),
              expected);
    EXPECT_EQ(rows(QStringLiteral("qnposemp"),
                   QStringLiteral("select empstatus, pword from empinfo where empid = 2")),
              QStringList{QStringLiteral(" 1|0")});
    EXPECT_EQ(request(1), QStringLiteral("19 , 0 , 0 , 0 , 0\r\n"));
}

TEST_F(PointOfSaleExportTest, InventoryTakesItsAccountsCodesThenReachesTheTills) {
    addItem(1, 4100, QStringLiteral("12.5"), QStringLiteral("0000"));
    addItem(2, 4200, QStringLiteral("8"), QStringLiteral("0000"));
    addItem(3, 4300, QVariant(), QStringLiteral("1111"), QStringLiteral("0012345"));
    addItem(4, 0, QStringLiteral("1"), QStringLiteral("0000"));
    addCode(4100, {1, 0, 1, 1}, 0.2, 0.08);
    addCode(4200, {0, 1, QVariant(), 0}, QVariant(), QVariant()); // rates not set
    addCode(0, {1, 1, 1, 1}, 0.5, 0.5);                           // no account: never applied

    runMode(QStringLiteral("15"));
    expectDone();
    const QString items = QStringLiteral("select itemnumber, arcodes, scpct, taxpct from items "
                                         "order by itemnumber");
    EXPECT_EQ(rows(QStringLiteral("invntory"), items),
              (QStringList{QStringLiteral("1|1011|0.2|0.08"), QStringLiteral("2|0100|0.1|0.05"),
                           QStringLiteral("3|1111|0.1|0.05"), QStringLiteral("4|0000|0.1|0.05")}))
        << "Null rates and accounts without ar0 keep the items' own";
    const QString all = QStringLiteral("select * from items order by itemnumber");
    EXPECT_EQ(rows(QStringLiteral("qnposinv"), all), rows(QStringLiteral("invntory"), all));
    EXPECT_EQ(request(1), QStringLiteral("15 , 0 , 0 , 0 , 0\r\n"));
}

TEST_F(PointOfSaleExportTest, ItemButtonsOfEveryTillAndTheOptionsTakeTheirItems) {
    addItem(205, 4200, QStringLiteral("32"), QStringLiteral("0101"), QStringLiteral("8001"));
    addItem(206, 4200, QVariant(), QString());
    setTills(2);
    addTill(2);
    addTill(3); // a till the configuration no longer counts
    addButton(QStringLiteral("buttondef01"), 1, 3, 205);
    addButton(QStringLiteral("buttondef01"), 2, 3, 205, QStringLiteral("42"));
    addButton(QStringLiteral("buttondef01"), 3, 1, 205); // a department button
    addButton(QStringLiteral("buttondef02"), 1, 4, 206);
    addButton(QStringLiteral("buttondef02"), 2, 3, 777); // its item is gone
    addButton(QStringLiteral("buttondef03"), 1, 3, 205);
    addButton(QStringLiteral("optiondef"), 1, 4, 205);

    runMode(QStringLiteral("17"));
    expectDone();
    const QString buttons = QStringLiteral(
        "select bnumber, bcost, bretail, baltretail, btaxpct, bscpct, bglsales, bcodes, "
        "bupccode, bdeptcode from %1 order by bnumber");
    const QString wine = QStringLiteral("2.5|32|9.5|0.05|0.1|4200|0101|8001|BAR");
    EXPECT_EQ(rows(QStringLiteral("qnposh"), buttons.arg(QStringLiteral("buttondef01"))),
              (QStringList{QStringLiteral("1|") + wine,
                           QStringLiteral("2|2.5|1.25|<null>|0.05|0.1|4200|0101|8001|BAR"),
                           QStringLiteral("3|<null>|1.25|<null>|<null>|<null>|<null>|OLD|OLDUPC|"
                                          "<null>")}))
        << "a typed price stays; a department button is not an item";
    EXPECT_EQ(rows(QStringLiteral("qnposh"), buttons.arg(QStringLiteral("buttondef02"))),
              (QStringList{QStringLiteral("1|2.5|0|9.5|0.05|0.1|4200|OLD|OLDUPC|BAR"),
                           QStringLiteral("2|<null>|1.25|<null>|<null>|<null>|<null>|OLD|OLDUPC|"
                                          "<null>")}))
        << "a Null price is 0; empty codes keep the button's; an unknown item changes nothing";
    EXPECT_EQ(rows(QStringLiteral("qnposh"), buttons.arg(QStringLiteral("optiondef"))),
              QStringList{QStringLiteral("1|") + wine});
    EXPECT_EQ(rows(QStringLiteral("qnposh"), buttons.arg(QStringLiteral("buttondef03"))),
              QStringList{QStringLiteral("1|<null>|1.25|<null>|<null>|<null>|<null>|OLD|OLDUPC|"
                                         "<null>")});
    const QString reload = QStringLiteral("17 , 0 , 0 , 0 , 0\r\n15 , 0 , 0 , 0 , 0\r\n");
    EXPECT_EQ(request(1), reload);
    EXPECT_EQ(request(2), reload);
    EXPECT_EQ(request(3), QStringLiteral("<none>"));

    runMode(QStringLiteral("171"));
    expectDone();
    EXPECT_EQ(request(2), QStringLiteral("17 , 1 , 0 , 0 , 0\r\n"));
}

TEST_F(PointOfSaleExportTest, RenumberingMovesEveryButtonOfTheItem) {
    setTills(2);
    addTill(2);
    addButton(QStringLiteral("buttondef01"), 1, 3, 205);
    addButton(QStringLiteral("buttondef02"), 1, 3, 205);
    addButton(QStringLiteral("buttondef02"), 2, 3, 206);
    addButton(QStringLiteral("optiondef"), 1, 3, 205);
    tills->updateTills(QStringLiteral("51"),
                       PointOfSaleExport::Renumbering{205, 2050, QStringLiteral("O'Neil 7")});
    expectDone();
    const QString sql = QStringLiteral("select bitemnumber, bupccode from %1 order by bnumber");
    EXPECT_EQ(rows(QStringLiteral("qnposh"), sql.arg(QStringLiteral("buttondef02"))),
              (QStringList{QStringLiteral("2050|O'Neil 7"), QStringLiteral("206|OLDUPC")}));
    EXPECT_EQ(rows(QStringLiteral("qnposh"), sql.arg(QStringLiteral("optiondef"))),
              QStringList{QStringLiteral("2050|O'Neil 7")});

    runMode(QStringLiteral("51"));
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Mode 51 renumbers an item on the till buttons and needs the old and "
                             "new item numbers; nothing was updated."));
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
            addEmployee(n, QStringLiteral("1"), n);
            addItem(n, 4100, QStringLiteral("5"), QStringLiteral("0000"));
        }
        addCode(4100, {1, 1, 1, 1}, 0.18, 0.07);
        setTills(2);
        addTill(2);
        for (int n = 1; n <= 6; ++n)
            addButton(QStringLiteral("buttondef02"), n, 3, n);
        runMode(QStringLiteral("40"));
        runMode(QStringLiteral("17"));
        expectDone();
        // What the next run would change: one more of each, new prices.
        addMember(3100, 0);
        addEmployee(100, QStringLiteral("1"), 1);
        addItem(100, 4100, QStringLiteral("6"), QStringLiteral("0000"));
        exec(QStringLiteral("invntory"), QStringLiteral("update items set avgcost = 3"));
        exec(QStringLiteral("ar"), QStringLiteral("update ar0 set arsrvchg = 0.2"));
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
            taken.tables << rows(QString::fromLatin1(database), QString::fromLatin1(sql));
        return taken;
    }
    void expectErrorShown(int line) {
        EXPECT_EQ(tills->ErrorFlag, 1);
        EXPECT_TRUE(tills->errorButtonVisible);
        EXPECT_TRUE(tills->statusText.startsWith(QStringLiteral("Error ")) &&
                    tills->statusText.endsWith(QStringLiteral(" @ %1").arg(line)))
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
    };
    for (const Fault &fault : faults) {
        SCOPED_TRACE(fault.routine);
        const QString database = QString::fromLatin1(fault.database);
        const QString table = QString::fromLatin1(fault.table);
        addFault(database, QStringLiteral("halfway"), QString::fromLatin1(fault.write), table,
                 QString::fromLatin1(fault.condition), QStringLiteral("disk full"));
        // 17 refreshes the inventory before the buttons: that part stands.
        if (QLatin1String(fault.mode) == QLatin1String("17")) {
            runMode(QStringLiteral("15"));
            expectDone();
        }
        const Snapshot ready = snapshot();
        runMode(QString::fromLatin1(fault.mode));
        expectErrorShown(30);
        EXPECT_EQ(snapshot(), ready) << "copies, sources and request files";
        removeFault(database, QStringLiteral("halfway"), table);
    }
}

TEST_F(PointOfSaleFaultTest, AFailedRoutineEndsTheRunBeforeTheNextOne) {
    addFault(QStringLiteral("qnposmem"), QStringLiteral("nomembers"), QStringLiteral("insert"),
             QStringLiteral("acctinfo"), QString(), QStringLiteral("no room"));
    const Snapshot before = snapshot();
    runMode(QStringLiteral("40")); // members, employees, inventory
    expectErrorShown(30);
    EXPECT_EQ(snapshot(), before) << "employees and inventory were not run";
}

TEST_F(PointOfSaleFaultTest, MissingOrDifferentTablesShowTheErrorAndChangeNothing) {
    setTills(3); // buttondef03 does not exist
    const Snapshot before = snapshot();
    for (const char *mode : {"26", "17"}) { // members or inventory, then buttons
        runMode(QString::fromLatin1(mode));
        EXPECT_EQ(tills->ErrorFlag, 1);
        EXPECT_EQ(tills->statusText.section(QLatin1Char(' '), 0, 1), QStringLiteral("Error 3024"));
        tills->acknowledgeError();
        EXPECT_EQ(snapshot(), before) << "the run is all or nothing: mode " << mode;
    }
    EXPECT_EQ(rows(QStringLiteral("qnposh"),
                   QStringLiteral("select bcost from buttondef02 where bnumber = 1")),
              QStringList{QStringLiteral("2.5")})
        << "the buttons of tills 01 and 02 are unchanged";
    setTills(2);

    exec(QStringLiteral("qnposinv"),
         QStringLiteral("alter table items add column shelf varchar(10)"));
    const Snapshot differing = snapshot();
    runMode(QStringLiteral("15"));
    expectErrorShown(20);
    EXPECT_EQ(tills->errorDetail,
              QStringLiteral("The point-of-sale copy of items does not have the columns of its "
                             "source; nothing was copied."));
    EXPECT_EQ(snapshot(), differing);

    for (const QString &missing : {QStringLiteral("emp"), QStringLiteral("qnposemp")}) {
        removeDatabase(missing);
        runMode(QStringLiteral("19"));
        expectErrorShown(1);
        EXPECT_EQ(tills->statusText, QStringLiteral("Error 53 @ 1")) << missing.toStdString();
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
        HeldLock till(quick, QStringLiteral("qnposmem"), QStringLiteral("acctinfo"));
        ASSERT_TRUE(till.held());
        runMode(QStringLiteral("16"));
    }
    EXPECT_EQ(tills->statusText.section(QLatin1Char(' '), 0, 1), QStringLiteral("Error 3186"));
    tills->acknowledgeError();
    EXPECT_EQ(snapshot(), before);
    runMode(QStringLiteral("16"));
    expectDone();
    EXPECT_EQ(snapshot().tables[0].size(), 7) << "once the till lets go";
}

TEST_F(PointOfSaleFaultTest, AReaderDuringTheCopySeesTheOldOrTheNewCopy) {
    Databases reader(settings());
    auto db = reader.open(QStringLiteral("qnposmem"));
    ASSERT_TRUE(db.ok());
    QList<int> seen;
    TillCopies copies(
        module->databases, [](const QString &) {},
        [&] {
            auto count = (*db)->exec(QStringLiteral("select count(*) from acctinfo"));
            ASSERT_TRUE(count.ok() && count->next()) << count.error().description.toStdString();
            seen << count->value(0).toInt();
        });
    ASSERT_FALSE(copies.members());
    ASSERT_GE(seen.size(), 3) << "a look after the clean-up, the emptying and the copy";
    for (int count : seen)
        EXPECT_EQ(count, 6) << "the old copy until the commit";
    EXPECT_EQ(
        scalar(QStringLiteral("qnposmem"), QStringLiteral("select count(*) from acctinfo")).toInt(),
        7);
}

TEST_F(PointOfSaleExportTest, ModesAndTillCountsThatCannotRunChangeNothing) {
    addMember(2001, 0);
    for (const char *mode : {"18", "abc", "", "16.0", "-16", "99999", "１６"}) {
        SCOPED_TRACE(mode);
        prompts.clear();
        runMode(QString::fromUtf8(mode));
        EXPECT_EQ(prompts.messageTexts(),
                  QStringList{QStringLiteral("\"%1\" is not a point-of-sale update mode; nothing "
                                             "was updated.")
                                  .arg(QString::fromUtf8(mode))});
        EXPECT_EQ(tills->ErrorFlag, 0);
    }
    setTills(100);
    prompts.clear();
    runMode(QStringLiteral("16"));
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("The till configuration lists 100 tills, but the "
                                         "point-of-sale update handles tills 01 to 99 only; "
                                         "nothing was updated.")});
    // A count kept as text (SQLite keeps what its column cannot convert) is
    // read whole, never as its leading digits or as none.
    if (!onPostgres()) {
        WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
        for (const char *count : {"12abc", "2.5", "99999999999999999999"}) {
            SCOPED_TRACE(count);
            setTills(QString::fromLatin1(count));
            prompts.clear();
            runMode(QStringLiteral("16"));
            ASSERT_EQ(prompts.messages.size(), 1);
            EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"Till count: \""))
                << prompts.lastMessage().text.toStdString();
            EXPECT_TRUE(prompts.lastMessage().text.endsWith(u"othing was updated."));
        }
        setTills(QStringLiteral("1,500"));
        prompts.clear();
        runMode(QStringLiteral("16"));
        EXPECT_TRUE(
            prompts.lastMessage().text.startsWith(u"The till configuration lists 1500 tills"));
    }
    EXPECT_TRUE(
        column(QStringLiteral("qnposmem"), QStringLiteral("select acctnumber from acctinfo"))
            .isEmpty());
    EXPECT_TRUE(QDir(club).entryList({QStringLiteral("qnpos*.req")}).isEmpty());

    // No till counted: only the option buttons, and no till to tell.
    addItem(205, 4200, QStringLiteral("32"), QStringLiteral("0101"));
    addButton(QStringLiteral("optiondef"), 1, 3, 205);
    addButton(QStringLiteral("buttondef01"), 1, 3, 205);
    for (const QVariant &count : {QVariant(), QVariant(0), QVariant(-2)}) {
        setTills(count);
        runMode(QStringLiteral("17"));
        expectDone();
        EXPECT_EQ(tills->TillCount, 0);
    }
    EXPECT_EQ(rows(QStringLiteral("qnposh"), QStringLiteral("select bretail from optiondef")),
              QStringList{QStringLiteral("32")});
    EXPECT_EQ(rows(QStringLiteral("qnposh"), QStringLiteral("select bretail from buttondef01")),
              QStringList{QStringLiteral("1.25")});
    EXPECT_TRUE(QDir(club).entryList({QStringLiteral("qnpos*.req")}).isEmpty());
}

TEST_F(PointOfSaleExportTest, TheStoreIsReadFromTheFirstLineOfItsFile) {
    struct Case {
        const char *what;
        QByteArray content;
        QString store;
    } const cases[] = {
        {"plain", "StoreID=BRV-0417\r\nStoreName=Club\r\n", QStringLiteral("BRV-0417")},
        {"no line end", "StoreID=7", QStringLiteral("7")},
        {"other case", "storeid=7\n", QStringLiteral("7")},
        {"empty", "", QString()},
        {"shorter than its prefix", "Store", QString()},
        {"prefix only", "StoreID=\r\n", QString()},
        {"another key first", "Name=Club\r\nStoreID=7\r\n", QString()},
        {"UTF-8", "StoreID=Zo\xc3\xab \xe5\xba\x97\r\n", QStringLiteral("Zoë 店")},
        {"Windows code page", "StoreID=Zo\xeb\r\n", QStringLiteral("Zoë")},
        {"binary", QByteArray("\x00\xff\xfe", 3), QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PointOfSaleExport::storeIdFrom(c.content), c.store) << c.what;

    runMode(QStringLiteral("16"));
    EXPECT_EQ(tills->StoreId, QString()) << "no file";
    writeFile(QStringLiteral("STOREID.DAT"), "StoreID=BRV-0417\r\n");
    runMode(QStringLiteral("16"));
    EXPECT_EQ(tills->StoreId, QStringLiteral("BRV-0417"));
}

} // namespace

namespace {

TEST_F(PointOfSaleExportTest, SuperJournalsNoJournalNeedsAreClearedByTheNextRun) {
    if (onPostgres())
        GTEST_SKIP() << "super-journals are SQLite's";
    const auto write = [&](const QString &name, const QByteArray &content) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    };
    // One left by a killed run whose journals were rolled back since, one
    // whose journal is still there to roll back, and a file of the club's.
    write(QStringLiteral("qnposmem.mdb-mj0A1B2C93D"),
          QFile::encodeName(path(QStringLiteral("qnposmem.mdb-journal"))) + '\0');
    write(QStringLiteral("qnposinv.mdb-mj4E5F60971"),
          QFile::encodeName(path(QStringLiteral("pending.mdb-journal"))) + '\0');
    write(QStringLiteral("pending.mdb-journal"), "journal");
    write(QStringLiteral("notes-mj.txt"), "kept");
    runMode(QStringLiteral("16"));
    expectDone();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("qnposmem.mdb-mj0A1B2C93D"))));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("qnposinv.mdb-mj4E5F60971"))));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("notes-mj.txt"))));
}

} // namespace
