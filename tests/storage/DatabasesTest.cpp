#include "ClubFixture.h"
#include "storage/Schema.h"
#include "storage/SchemaBuilder.h"
#include "storage/Transaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace {

class DatabasesTest : public ClubFixture {
protected:
    Database &evnt() {
        db = module->databases.open(u"evnt"_s);
        return *db.value();
    }
    Status addRoom(Database &on, int number, const QString &name) {
        return on.execute(u"insert into location (roomnum, room, capacity, subdiv) "
                          "values (?, ?, 80, 0)"_s,
                          {number, name});
    }
    Result<DatabasePtr> db = DbError{};
};

QStringList columnNames(Database &db, const QString &table) {
    QStringList names;
    auto query = db.exec(u"select * from "_s + table + u" where 1 = 0"_s);
    EXPECT_TRUE(query.ok()) << table.toStdString();
    for (int i = 0; query && i < query->record().count(); ++i)
        names << query->record().fieldName(i);
    return names;
}

TEST_F(DatabasesTest, EveryTableIsCreatedWithItsColumnsInOrder) {
    for (const QString &name : Schema::databases()) {
        auto db = module->databases.open(name);
        ASSERT_TRUE(db.ok()) << name.toStdString();
        for (const Schema::Table &table : Schema::tablesOf(name)) {
            QStringList expected;
            for (const Schema::Column &column : table.columns)
                expected << column.name;
            EXPECT_EQ(columnNames(*db.value(), table.name), expected) << table.name.toStdString();
        }
    }
    // Positions other code relies on.
    const QStringList event = columnNames(evnt(), u"eventinfo"_s);
    ASSERT_EQ(event.size(), 36);
    EXPECT_EQ((QStringList{event[0], event[2], event[31], event[35]}),
              (QStringList{u"eventdate"_s, u"eventnum"_s, u"deposit"_s, u"internalnotes"_s}));
    EXPECT_EQ(columnNames(evnt(), u"reserv"_s), (QStringList{u"resdate"_s, u"restime"_s}));
    EXPECT_EQ(columnNames(evnt(), u"items"_s).size(), 10);
}

TEST_F(DatabasesTest, NamesInAnyCaseAMissingDatabaseAndARefusedCreation) {
    removeDatabase(u"emp"_s);
    auto missing = module->databases.open(u"EMP.MDB"_s);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().number, ErrorNumber::FileMissing);
    // A clean-up statement on a database the club lacks is passed over, and
    // still creates nothing; on one it has, it runs.
    EXPECT_TRUE(module->databases.executeIfPresent(u"emp"_s, u"delete from employee"_s).ok());
    EXPECT_FALSE(module->databases.exists(u"emp"_s)) << "opening must not create the database";
    exec(u"evnt"_s, u"insert into tasklist (eventnumber) values (-1)"_s);
    ASSERT_TRUE(
        module->databases
            .executeIfPresent(u"evnt"_s, u"delete from tasklist where eventnumber < ?"_s, {0})
            .ok());
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from tasklist"_s).toInt(), 0);

    EXPECT_EQ(module->databases.create(u"evnt"_s).error().number, ErrorNumber::DuplicateName);
    // A name that is not a plain identifier never reaches the file system or
    // SQL, and a path never leads out of the club directory.
    EXPECT_FALSE(module->databases.open(u"ev'nt"_s).ok());
    EXPECT_EQ(Databases::logicalName(u"../../etc/evnt.mdb"_s), u"evnt"_s);
    // File names in any case name one logical database.
    for (const auto &[file, name] :
         {std::pair{"AR.MDB", "ar"}, {"ar.mdb", "ar"}, {"ar", "ar"}, {"rpt00.sys", "rpt"}})
        EXPECT_EQ(Databases::logicalName(QLatin1String(file)), QLatin1String(name)) << file;
    EXPECT_EQ(Databases::fileName(u"evnt"_s), u"evnt.mdb"_s);
    EXPECT_EQ(Databases::fileName(u"rpt"_s), u"rpt00.sys"_s);
}

TEST_F(DatabasesTest, EngineErrorsMapToTheSuitesNumbers) {
    Database &db = evnt();
    ASSERT_TRUE(addRoom(db, 1, u"Ballroom"_s).ok());
    const Status duplicate = addRoom(db, 1, u"Terrace"_s);
    EXPECT_EQ(duplicate.error().number, ErrorNumber::DuplicateKey);
    EXPECT_EQ(db.execute(u"select * from nosuchtable"_s).error().number, ErrorNumber::TableMissing);
    EXPECT_EQ(db.execute(u"select nosuchcolumn from location"_s).error().number,
              ErrorNumber::FieldMissing);
    EXPECT_EQ(
        SchemaBuilder::addColumn(db, u"location"_s, {u"room"_s, Schema::ColumnType::Text, 50, {}})
            .error()
            .number,
        ErrorNumber::DuplicateName);

    // A file's own failure names the file; a failure of a statement does not.
    const DbError io = db.error(QSqlError(u"Unable to commit transaction"_s, u"disk I/O error"_s,
                                          QSqlError::TransactionError));
    if (!onPostgres()) {
        EXPECT_EQ(io.number, ErrorNumber::FileAccess);
        EXPECT_TRUE(io.description.startsWith(path(u"evnt.mdb"_s) + ": "))
            << io.description.toStdString();
    }
    EXPECT_FALSE(duplicate.error().description.contains(path(u"evnt.mdb"_s)));
}

TEST_F(DatabasesTest, AWriterWaitingOnAnotherWorkstationsLockGetsTheLockedRecordError) {
    ASSERT_TRUE(addRoom(evnt(), 1, u"Terrace"_s).ok());
    const QString write = u"update location set capacity = ? where roomnum = 1"_s;
    auto holder = module->databases.open(u"evnt"_s);
    Transaction held(*holder.value());
    ASSERT_TRUE(held.begun().ok());
    ASSERT_TRUE(holder.value()->execute(write, {90}).ok());

    // SQLite refuses the second writer at its start, PostgreSQL at the row.
    auto other = module->databases.open(u"evnt"_s);
    Transaction blocked(*other.value());
    const Status refused = blocked.begun() ? other.value()->execute(write, {100}) : blocked.begun();
    EXPECT_EQ(refused.error().number, ErrorNumber::RecordLocked);
    EXPECT_TRUE(refused.error().isLocked());
}

TEST_F(DatabasesTest, ReadOnlyClubReadsButRefusesWrites) {
    StorageSettings readOnly = settings();
    readOnly.readOnly = true;
    Databases databases(readOnly);
    auto db = databases.open(u"user"_s);
    ASSERT_TRUE(db.ok());
    EXPECT_TRUE(db.value()->exec(u"select * from staff"_s).ok());
    EXPECT_EQ(db.value()->execute(u"update staff set location = ?"_s, {u"x"_s}).error().number,
              ErrorNumber::ReadOnly);
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
        ASSERT_TRUE(wal.next() && wal.value(0).toString() == u"wal"_s);
    }
    QSqlDatabase::removeDatabase(u"wal"_s);

    Databases databases(settings());
    auto db = databases.open(u"evnt"_s);
    for (const auto &[pragma, expected] :
         {std::pair{"journal_mode", "delete"}, {"synchronous", "2"}}) {
        auto query = db.value()->exec(u"pragma "_s + QLatin1String(pragma));
        ASSERT_TRUE(query.ok() && query->next());
        EXPECT_EQ(query->value(0).toString(), QLatin1String(expected)) << pragma;
    }
}

} // namespace
