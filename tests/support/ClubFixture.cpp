#include "ClubFixture.h"

#include "TestServer.h"
#include "club/ClubCreator.h"
#include "startup/ClubUpgrade.h"
#include "storage/ClubStorage.h"
#include "storage/Transaction.h"

#include <QDir>
#include <QFile>

void ClubFixture::SetUp() {
    ASSERT_TRUE(temp.isValid());
    club = QDir(temp.path()).filePath(QStringLiteral("club"));
    ClubCreator::Options options;
    options.demo = demoData();
    // A demo club's contracts are made from the shipped components.
    if (options.demo)
        options.shareDirectory = ClubUpgrade::shareDirectory();
    options.today = clock.today();
    if (TestServer::active()) {
        server = TestServer::createClub(club, options);
        ASSERT_TRUE(server.has_value());
    } else {
        const Status made = ClubCreator::create(club, options);
        ASSERT_TRUE(made.ok()) << made.error().description.toStdString();
    }
    reopen(settings());
}

void ClubFixture::TearDown() {
    module.reset();
    if (server)
        TestServer::dropDatabase(*server);
}

StorageSettings ClubFixture::settings() const {
    auto loaded = ClubStorage::load(club);
    EXPECT_TRUE(loaded.ok()) << (loaded ? "" : loaded.error().description.toStdString());
    StorageSettings storage = loaded ? *loaded : StorageSettings();
    storage.clubDirectory = club;
    storage.busyTimeoutMs = 50; // a held lock fails fast in tests
    return storage;
}

Module &ClubFixture::reopen(const StorageSettings &storage) {
    module.reset();
    module = std::make_unique<Module>(storage, ports());
    return *module;
}

QString ClubFixture::path(const QString &fileName) const {
    return QDir(club).filePath(fileName);
}

void ClubFixture::exec(const QString &database, const QString &sql, const QVariantList &values) {
    Databases databases(settings());
    auto db = databases.open(database);
    ASSERT_TRUE(db.ok()) << db.error().description.toStdString();
    const Status status = db.value()->execute(sql, values);
    ASSERT_TRUE(status.ok()) << sql.toStdString() << ": "
                             << status.error().description.toStdString();
}

void ClubFixture::execEach(const QString &database, const QString &sql,
                           const QList<QVariantList> &rows) {
    Databases databases(settings());
    auto db = databases.open(database);
    ASSERT_TRUE(db.ok()) << db.error().description.toStdString();
    Transaction transaction(**db);
    ASSERT_TRUE(transaction.begun().ok());
    for (const QVariantList &values : rows) {
        const Status status = db.value()->execute(sql, values);
        ASSERT_TRUE(status.ok()) << sql.toStdString() << ": "
                                 << status.error().description.toStdString();
    }
    ASSERT_TRUE(transaction.commit().ok());
}

QVariantList ClubFixture::column(const QString &database, const QString &sql,
                                 const QVariantList &values) {
    QVariantList result;
    Databases databases(settings());
    auto db = databases.open(database);
    EXPECT_TRUE(db.ok()) << database.toStdString();
    if (!db)
        return result;
    auto query = db.value()->exec(sql, values);
    EXPECT_TRUE(query.ok()) << sql.toStdString() << ": "
                            << (query ? "" : query.error().description.toStdString());
    if (!query)
        return result;
    while (query->next())
        result << query->value(0);
    return result;
}

QVariant ClubFixture::scalar(const QString &database, const QString &sql,
                             const QVariantList &values) {
    const QVariantList values0 = column(database, sql, values);
    return values0.isEmpty() ? QVariant() : values0.first();
}

void ClubFixture::signIn(int level) {
    module->session.UserName = QStringLiteral("DEMO");
    module->session.UserLevel = level;
    module->session.AccessThresholds = {10, 20, 50, 90};
}

int ClubFixture::eventNumber(const QString &title) {
    return scalar(QStringLiteral("evnt"),
                  QStringLiteral("select min(eventnum) from eventinfo where eventtitle = ?"),
                  {title})
        .toInt();
}

void ClubFixture::removeDatabase(const QString &name) {
    if (!onPostgres()) {
        ASSERT_TRUE(QFile::remove(path(Databases::fileName(name)))) << name.toStdString();
        return;
    }
    Databases databases(settings());
    auto db = databases.open(name);
    ASSERT_TRUE(db.ok()) << name.toStdString();
    const Status dropped =
        db.value()->execute(QStringLiteral("drop schema \"%1\" cascade").arg(name));
    ASSERT_TRUE(dropped.ok()) << dropped.error().description.toStdString();
}

void ClubFixture::addFault(const QString &database, const QString &name, const QString &write,
                           const QString &table, const QString &condition, const QString &message) {
    const QString when = condition.isEmpty() ? QStringLiteral("true") : condition;
    if (!onPostgres()) {
        const QString action = message.isEmpty()
                                   ? QStringLiteral("raise(ignore)")
                                   : QStringLiteral("raise(abort, '%1')").arg(message);
        exec(database, QStringLiteral("create trigger %1 before %2 on %3 when %4 begin select %5; "
                                      "end")
                           .arg(name, write, table, when, action));
        return;
    }
    const QString action = message.isEmpty() ? QStringLiteral("return null;")
                                             : QStringLiteral("raise exception '%1';").arg(message);
    const QString row =
        write == QLatin1String("delete") ? QStringLiteral("old") : QStringLiteral("new");
    exec(database, QStringLiteral("create function %1() returns trigger language plpgsql as $$ "
                                  "begin if %2 then %3 end if; return %4; end $$")
                       .arg(name, when, action, row));
    exec(database, QStringLiteral("create trigger %1 before %2 on %3 for each row execute "
                                  "function %1()")
                       .arg(name, write, table));
}

void ClubFixture::removeFault(const QString &database, const QString &name, const QString &table) {
    if (!onPostgres()) {
        exec(database, QStringLiteral("drop trigger %1").arg(name));
        return;
    }
    exec(database, QStringLiteral("drop trigger %1 on %2").arg(name, table));
    exec(database, QStringLiteral("drop function %1()").arg(name));
}

QStringList ClubFixture::indexNames(const QString &database, const QString &table) {
    Databases databases(settings());
    auto db = databases.open(database);
    EXPECT_TRUE(db.ok());
    QStringList names;
    if (!db)
        return names;
    auto rows = db.value()->exec(db.value()->dialect().indexNamesQuery(), {table});
    while (rows && rows->next())
        names << rows->value(0).toString();
    names.sort();
    return names;
}
