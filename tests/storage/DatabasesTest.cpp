#include "ClubFixture.h"
#include "storage/Schema.h"
#include "storage/SchemaBuilder.h"
#include "storage/Transaction.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace {

class DatabasesTest : public ClubFixture {};

QStringList columnNames(Database &db, const QString &table) {
    QStringList names;
    auto query = db.exec(u"select * from "_s + table + u" where 1 = 0"_s);
    EXPECT_TRUE(query.ok());
    if (!query)
        return names;
    const QSqlRecord record = query->record();
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}

TEST(DatabaseNames, FileNamesInAnyCaseNameOneLogicalDatabase) {
    EXPECT_EQ(Databases::logicalName(u"AR.MDB"_s), u"ar"_s);
    EXPECT_EQ(Databases::logicalName(u"ar.mdb"_s), u"ar"_s);
    EXPECT_EQ(Databases::logicalName(u"ar"_s), u"ar"_s);
    EXPECT_EQ(Databases::logicalName(u"rpt00.sys"_s), u"rpt"_s);
    EXPECT_EQ(Databases::fileName(u"evnt"_s), u"evnt.mdb"_s);
    EXPECT_EQ(Databases::fileName(u"rpt"_s), u"rpt00.sys"_s);
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
    auto evnt = module->databases.open(u"evnt"_s);
    const QStringList event = columnNames(*evnt.value(), u"eventinfo"_s);
    ASSERT_EQ(event.size(), 36);
    EXPECT_EQ(event[0], u"eventdate"_s);
    EXPECT_EQ(event[2], u"eventnum"_s);
    EXPECT_EQ(event[31], u"deposit"_s);
    EXPECT_EQ(event[35], u"internalnotes"_s);
    EXPECT_EQ(columnNames(*evnt.value(), u"reserv"_s), (QStringList{u"resdate"_s, u"restime"_s}));
    EXPECT_EQ(columnNames(*evnt.value(), u"items"_s).size(), 10);
}

TEST_F(DatabasesTest, MissingDatabaseAndRefusedCreation) {
    removeDatabase(u"emp"_s);
    auto missing = module->databases.open(u"EMP.MDB"_s);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().number, ErrorNumber::FileMissing);
    EXPECT_FALSE(module->databases.exists(u"emp"_s)) << "opening must not create the database";
    // A clean-up statement on a database the club lacks is passed over, and
    // still creates nothing; on one it has, it runs.
    EXPECT_TRUE(module->databases.executeIfPresent(u"emp"_s, u"delete from employee"_s).ok());
    EXPECT_FALSE(module->databases.exists(u"emp"_s));
    exec(u"evnt"_s, u"insert into tasklist (eventnumber) values (-1)"_s);
    ASSERT_TRUE(
        module->databases
            .executeIfPresent(u"evnt"_s, u"delete from tasklist where eventnumber < ?"_s, {0})
            .ok());
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from tasklist"_s).toInt(), 0);

    auto again = module->databases.create(u"evnt"_s);
    ASSERT_FALSE(again.ok());
    EXPECT_EQ(again.error().number, ErrorNumber::DuplicateName);

    // A name that is not a plain identifier never reaches the file system or
    // SQL, and a path never leads out of the club directory.
    EXPECT_FALSE(module->databases.open(u"ev'nt"_s).ok());
    EXPECT_EQ(Databases::logicalName(u"../../etc/evnt.mdb"_s), u"evnt"_s);
}

TEST_F(DatabasesTest, EngineErrorsMapToTheSuitesNumbers) {
    auto db = module->databases.open(u"evnt"_s);
    ASSERT_TRUE(db.ok());
    Database &evnt = *db.value();
    ASSERT_TRUE(
        evnt.execute(
                u"insert into location (roomnum, room, capacity, subdiv) values (?, ?, ?, ?)"_s,
                {1, u"Ballroom"_s, 200, 0})
            .ok());
    const Status duplicate = evnt.execute(
        u"insert into location (roomnum, room, capacity, subdiv) values (?, ?, ?, ?)"_s,
        {1, u"Terrace"_s, 80, 0});
    ASSERT_FALSE(duplicate.ok());
    EXPECT_EQ(duplicate.error().number, ErrorNumber::DuplicateKey);

    EXPECT_EQ(evnt.execute(u"select * from nosuchtable"_s).error().number,
              ErrorNumber::TableMissing);
    EXPECT_EQ(evnt.execute(u"select nosuchcolumn from location"_s).error().number,
              ErrorNumber::FieldMissing);
    EXPECT_EQ(
        SchemaBuilder::addColumn(evnt, u"location"_s, {u"room"_s, Schema::ColumnType::Text, 50, {}})
            .error()
            .number,
        ErrorNumber::DuplicateName);

    // A file's own failure names the file; a failure of a statement does not.
    const DbError io = evnt.error(QSqlError(u"Unable to commit transaction"_s, u"disk I/O error"_s,
                                            QSqlError::TransactionError));
    if (!onPostgres()) {
        EXPECT_EQ(io.number, ErrorNumber::FileAccess);
        EXPECT_TRUE(io.description.startsWith(path(u"evnt.mdb"_s) + ": "))
            << io.description.toStdString();
    }
    EXPECT_FALSE(duplicate.error().description.contains(path(u"evnt.mdb"_s)));
}

TEST_F(DatabasesTest, AWriterWaitingOnAnotherWorkstationsLockGetsTheLockedRecordError) {
    exec(u"evnt"_s, u"insert into location (roomnum, room, capacity, "
                    "subdiv) values (1, 'Terrace', 80, 0)"_s);
    const QString write = u"update location set capacity = ? where roomnum = 1"_s;
    auto holder = module->databases.open(u"evnt"_s);
    Transaction held(*holder.value());
    ASSERT_TRUE(held.begun().ok());
    ASSERT_TRUE(holder.value()->execute(write, {90}).ok());

    // SQLite refuses the second writer at its start, PostgreSQL at the row.
    auto other = module->databases.open(u"evnt"_s);
    Transaction blocked(*other.value());
    const Status refused = blocked.begun() ? other.value()->execute(write, {100}) : blocked.begun();
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().number, ErrorNumber::RecordLocked);
    EXPECT_TRUE(refused.error().isLocked());
}

TEST_F(DatabasesTest, TransactionRollsBackUnlessCommitted) {
    const QString insert =
        u"insert into location (roomnum, room, capacity, subdiv) values (?, ?, ?, ?)"_s;
    {
        auto db = module->databases.open(u"evnt"_s);
        Transaction transaction(*db.value());
        ASSERT_TRUE(db.value()->execute(insert, {1, u"Lost"_s, 10, 0}).ok());
    }
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from location"_s).toInt(), 0);
    {
        auto db = module->databases.open(u"evnt"_s);
        Transaction transaction(*db.value());
        ASSERT_TRUE(db.value()->execute(insert, {2, u"Kept"_s, 10, 0}).ok());
        ASSERT_TRUE(transaction.commit().ok());
    }
    EXPECT_EQ(column(u"evnt"_s, u"select room from location"_s), QVariantList{u"Kept"_s});
}

TEST_F(DatabasesTest, ReadOnlyClubReadsButRefusesWrites) {
    StorageSettings readOnly = settings();
    readOnly.readOnly = true;
    Databases databases(readOnly);
    auto db = databases.open(u"user"_s);
    ASSERT_TRUE(db.ok());
    EXPECT_TRUE(db.value()->exec(u"select * from staff"_s).ok());
    const Status write = db.value()->execute(u"update staff set location = ?"_s, {u"x"_s});
    ASSERT_FALSE(write.ok());
    EXPECT_EQ(write.error().number, ErrorNumber::ReadOnly);
    EXPECT_FALSE(databases.create(u"newdb"_s).ok());
}

TEST_F(DatabasesTest, ClubFilesKeepTheRollbackJournal) {
    if (onPostgres())
        GTEST_SKIP() << "SQLite club files only";
    {
        // Another program left the file in write-ahead mode.
        QSqlDatabase raw = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"wal"_s);
        raw.setDatabaseName(path(u"evnt.mdb"_s));
        ASSERT_TRUE(raw.open());
        QSqlQuery wal(u"pragma journal_mode = wal"_s, raw);
        ASSERT_TRUE(wal.next());
        ASSERT_EQ(wal.value(0).toString(), u"wal"_s);
    }
    QSqlDatabase::removeDatabase(u"wal"_s);

    Databases databases(settings());
    auto db = databases.open(u"evnt"_s);
    ASSERT_TRUE(db.ok());
    for (const auto &[pragma, expected] : {std::pair{"journal_mode", QVariant(u"delete"_s)},
                                           std::pair{"synchronous", QVariant(2)}}) {
        auto query = db.value()->exec(u"pragma "_s + QLatin1String(pragma));
        ASSERT_TRUE(query.ok() && query->next());
        EXPECT_EQ(query->value(0).toString(), expected.toString()) << pragma;
    }
}

} // namespace
