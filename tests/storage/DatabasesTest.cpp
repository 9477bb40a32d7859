#include "ClubFixture.h"
#include "storage/Schema.h"
#include "storage/SchemaBuilder.h"
#include "storage/Transaction.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

class DatabasesTest : public ClubFixture {};

QStringList columnNames(Database &db, const QString &table) {
    QStringList names;
    auto query = db.exec(QStringLiteral("select * from ") + table + QStringLiteral(" where 1 = 0"));
    EXPECT_TRUE(query.ok());
    if (!query)
        return names;
    const QSqlRecord record = query->record();
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}

TEST(DatabaseNames, FileNamesInAnyCaseNameOneLogicalDatabase) {
    EXPECT_EQ(Databases::logicalName(QStringLiteral("AR.MDB")), QStringLiteral("ar"));
    EXPECT_EQ(Databases::logicalName(QStringLiteral("ar.mdb")), QStringLiteral("ar"));
    EXPECT_EQ(Databases::logicalName(QStringLiteral("ar")), QStringLiteral("ar"));
    EXPECT_EQ(Databases::logicalName(QStringLiteral("rpt00.sys")), QStringLiteral("rpt"));
    EXPECT_EQ(Databases::fileName(QStringLiteral("evnt")), QStringLiteral("evnt.mdb"));
    EXPECT_EQ(Databases::fileName(QStringLiteral("rpt")), QStringLiteral("rpt00.sys"));
}

TEST_F(DatabasesTest, EveryTableIsCreatedWithItsColumnsInOrder) {
    for (const QString &name : Schema::databases()) {
        auto db = module->databases.open(name);
        ASSERT_TRUE(db.ok()) << name.toStdString();
        for (const Schema::Table &table : Schema::tablesOf(name)) {
            QStringList expected;
            for (const Schema::Column &column : table.columns)
                expected << column.name;
            EXPECT_EQ(columnNames(*db.value(), table.name), expected)
                << name.toStdString() << "." << table.name.toStdString();
        }
    }
    // Positions other code relies on.
    auto evnt = module->databases.open(QStringLiteral("evnt"));
    const QStringList event = columnNames(*evnt.value(), QStringLiteral("eventinfo"));
    ASSERT_EQ(event.size(), 36);
    EXPECT_EQ(event[0], QStringLiteral("eventdate"));
    EXPECT_EQ(event[2], QStringLiteral("eventnum"));
    EXPECT_EQ(event[31], QStringLiteral("deposit"));
    EXPECT_EQ(event[35], QStringLiteral("internalnotes"));
    EXPECT_EQ(columnNames(*evnt.value(), QStringLiteral("reserv")),
              (QStringList{QStringLiteral("resdate"), QStringLiteral("restime")}));
    EXPECT_EQ(columnNames(*evnt.value(), QStringLiteral("items")).size(), 10);
}

TEST_F(DatabasesTest, MissingDatabaseAndRefusedCreation) {
    removeDatabase(QStringLiteral("emp"));
    auto missing = module->databases.open(QStringLiteral("EMP.MDB"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().number, ErrorNumber::FileMissing);
    EXPECT_FALSE(module->databases.exists(QStringLiteral("emp")))
        << "opening must not create the database";
    // A clean-up statement on a database the club lacks is passed over, and
    // still creates nothing; on one it has, it runs.
    EXPECT_TRUE(module->databases
                    .executeIfPresent(QStringLiteral("emp"), QStringLiteral("delete from employee"))
                    .ok());
    EXPECT_FALSE(module->databases.exists(QStringLiteral("emp")));
    exec(QStringLiteral("evnt"), QStringLiteral("insert into tasklist (eventnumber) values (-1)"));
    ASSERT_TRUE(module->databases
                    .executeIfPresent(QStringLiteral("evnt"),
                                      QStringLiteral("delete from tasklist where eventnumber < ?"),
                                      {0})
                    .ok());
    EXPECT_EQ(
        scalar(QStringLiteral("evnt"), QStringLiteral("select count(*) from tasklist")).toInt(), 0);

    auto again = module->databases.create(QStringLiteral("evnt"));
    ASSERT_FALSE(again.ok());
    EXPECT_EQ(again.error().number, ErrorNumber::DuplicateName);

    // A name that is not a plain identifier never reaches the file system or
    // SQL, and a path never leads out of the club directory.
    EXPECT_FALSE(module->databases.open(QStringLiteral("ev'nt")).ok());
    EXPECT_EQ(Databases::logicalName(QStringLiteral("../../etc/evnt.mdb")), QStringLiteral("evnt"));
}

TEST_F(DatabasesTest, EngineErrorsMapToTheSuitesNumbers) {
    auto db = module->databases.open(QStringLiteral("evnt"));
    ASSERT_TRUE(db.ok());
    Database &evnt = *db.value();
    ASSERT_TRUE(
        evnt.execute(
                QStringLiteral(
                    "insert into location (roomnum, room, capacity, subdiv) values (?, ?, ?, ?)"),
                {1, QStringLiteral("Ballroom"), 200, 0})
            .ok());
    const Status duplicate = evnt.execute(
        QStringLiteral(
            "insert into location (roomnum, room, capacity, subdiv) values (?, ?, ?, ?)"),
        {1, QStringLiteral("Terrace"), 80, 0});
    ASSERT_FALSE(duplicate.ok());
    EXPECT_EQ(duplicate.error().number, ErrorNumber::DuplicateKey);

    EXPECT_EQ(evnt.execute(QStringLiteral("select * from nosuchtable")).error().number,
              ErrorNumber::TableMissing);
    EXPECT_EQ(evnt.execute(QStringLiteral("select nosuchcolumn from location")).error().number,
              ErrorNumber::FieldMissing);
    EXPECT_EQ(SchemaBuilder::addColumn(evnt, QStringLiteral("location"),
                                       {QStringLiteral("room"), Schema::ColumnType::Text, 50, {}})
                  .error()
                  .number,
              ErrorNumber::DuplicateName);

    // A file's own failure names the file; a failure of a statement does not.
    const DbError io =
        evnt.error(QSqlError(QStringLiteral("Unable to commit transaction"),
                             QStringLiteral("disk I/O error"), QSqlError::TransactionError));
    if (!onPostgres()) {
        EXPECT_EQ(io.number, ErrorNumber::FileAccess);
        EXPECT_TRUE(io.description.startsWith(path(QStringLiteral("evnt.mdb")) + ": "))
            << io.description.toStdString();
    }
    EXPECT_FALSE(duplicate.error().description.contains(path(QStringLiteral("evnt.mdb"))));
}

TEST_F(DatabasesTest, AWriterWaitingOnAnotherWorkstationsLockGetsTheLockedRecordError) {
    exec(QStringLiteral("evnt"), QStringLiteral("insert into location (roomnum, room, capacity, "
                                                "subdiv) values (1, 'Terrace', 80, 0)"));
    const QString write = QStringLiteral("update location set capacity = ? where roomnum = 1");
    auto holder = module->databases.open(QStringLiteral("evnt"));
    Transaction held(*holder.value());
    ASSERT_TRUE(held.begun().ok());
    ASSERT_TRUE(holder.value()->execute(write, {90}).ok());

    // SQLite refuses the second writer at its start, PostgreSQL at the row.
    auto other = module->databases.open(QStringLiteral("evnt"));
    Transaction blocked(*other.value());
    const Status refused = blocked.begun() ? other.value()->execute(write, {100}) : blocked.begun();
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().number, ErrorNumber::RecordLocked);
    EXPECT_TRUE(refused.error().isLocked());
}

TEST_F(DatabasesTest, TransactionRollsBackUnlessCommitted) {
    const QString insert = QStringLiteral(
        "insert into location (roomnum, room, capacity, subdiv) values (?, ?, ?, ?)");
    {
        auto db = module->databases.open(QStringLiteral("evnt"));
        Transaction transaction(*db.value());
        ASSERT_TRUE(db.value()->execute(insert, {1, QStringLiteral("Lost"), 10, 0}).ok());
    }
    EXPECT_EQ(
        scalar(QStringLiteral("evnt"), QStringLiteral("select count(*) from location")).toInt(), 0);
    {
        auto db = module->databases.open(QStringLiteral("evnt"));
        Transaction transaction(*db.value());
        ASSERT_TRUE(db.value()->execute(insert, {2, QStringLiteral("Kept"), 10, 0}).ok());
        ASSERT_TRUE(transaction.commit().ok());
    }
    EXPECT_EQ(column(QStringLiteral("evnt"), QStringLiteral("select room from location")),
              QVariantList{QStringLiteral("Kept")});
}

TEST_F(DatabasesTest, ReadOnlyClubReadsButRefusesWrites) {
    StorageSettings readOnly = settings();
    readOnly.readOnly = true;
    Databases databases(readOnly);
    auto db = databases.open(QStringLiteral("user"));
    ASSERT_TRUE(db.ok());
    EXPECT_TRUE(db.value()->exec(QStringLiteral("select * from staff")).ok());
    const Status write =
        db.value()->execute(QStringLiteral("update staff set location = ?"), {QStringLiteral("x")});
    ASSERT_FALSE(write.ok());
    EXPECT_EQ(write.error().number, ErrorNumber::ReadOnly);
    EXPECT_FALSE(databases.create(QStringLiteral("newdb")).ok());
}

} // namespace

namespace {

TEST_F(DatabasesTest, ClubFilesKeepTheRollbackJournal) {
    if (onPostgres())
        GTEST_SKIP() << "SQLite club files only";
    {
        // Another program left the file in write-ahead mode.
        QSqlDatabase raw =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("wal"));
        raw.setDatabaseName(path(QStringLiteral("evnt.mdb")));
        ASSERT_TRUE(raw.open());
        QSqlQuery wal(QStringLiteral("pragma journal_mode = wal"), raw);
        ASSERT_TRUE(wal.next());
        ASSERT_EQ(wal.value(0).toString(), QStringLiteral("wal"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("wal"));

    Databases databases(settings());
    auto db = databases.open(QStringLiteral("evnt"));
    ASSERT_TRUE(db.ok());
    for (const auto &[pragma, expected] :
         {std::pair{"journal_mode", QVariant(QStringLiteral("delete"))},
          std::pair{"synchronous", QVariant(2)}}) {
        auto query = db.value()->exec(QStringLiteral("pragma ") + QLatin1String(pragma));
        ASSERT_TRUE(query.ok() && query->next());
        EXPECT_EQ(query->value(0).toString(), expected.toString()) << pragma;
    }
}

} // namespace
