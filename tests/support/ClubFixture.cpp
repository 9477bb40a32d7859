#include "ClubFixture.h"

#include "ClubTemplate.h"
#include "TestServer.h"
#include "startup/ClubUpgrade.h"
#include "storage/ClubStorage.h"
#include "storage/Transaction.h"

#include <QSqlField>
#include <QSqlRecord>

namespace {

// A connection of the test's own to a logical database; the test fails when it does not open.
struct Connection {
    Connection(const StorageSettings &settings, const QString &name)
        : databases(settings)
        , db(databases.open(name)) {
        EXPECT_TRUE(db.ok()) << name.toStdString() << ": " << db.error().description.toStdString();
    }
    Database *operator->() { return db->get(); }

    Databases databases;
    Result<DatabasePtr> db;
};

void expectDone(const Status &status, const QString &sql) {
    EXPECT_TRUE(status.ok()) << sql.toStdString() << ": "
                             << status.error().description.toStdString();
}

} // namespace

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
        const Status made = ClubTemplate::createFiles(club, options);
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
    EXPECT_TRUE(loaded.ok()) << loaded.error().description.toStdString();
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
    Connection db(settings(), database);
    if (db.db)
        expectDone(db->execute(sql, values), sql);
}

void ClubFixture::execEach(const QString &database, const QString &sql,
                           const QList<QVariantList> &rows) {
    Connection db(settings(), database);
    ASSERT_TRUE(db.db.ok());
    Transaction transaction(*db.db.value());
    ASSERT_TRUE(transaction.begun().ok());
    for (const QVariantList &values : rows)
        expectDone(db->execute(sql, values), sql);
    ASSERT_TRUE(transaction.commit().ok());
}

QVariantList ClubFixture::column(const QString &database, const QString &sql,
                                 const QVariantList &values) {
    QVariantList result;
    Connection db(settings(), database);
    auto query = db.db ? db->exec(sql, values) : Result<QSqlQuery>(db.db.error());
    EXPECT_TRUE(query.ok()) << sql.toStdString() << ": " << query.error().description.toStdString();
    while (query && query->next())
        result << query->value(0);
    return result;
}

QStringList ClubFixture::rowTexts(const QString &database, const QString &sql,
                                  const QVariantList &values) {
    QStringList result;
    Connection db(settings(), database);
    auto query = db.db ? db->exec(sql, values) : Result<QSqlQuery>(db.db.error());
    EXPECT_TRUE(query.ok()) << sql.toStdString() << ": " << query.error().description.toStdString();
    while (query && query->next()) {
        const QSqlRecord record = query->record();
        QStringList texts;
        for (int i = 0; i < record.count(); ++i)
            texts << (query->isNull(i) ? QStringLiteral("<null>")
                      : record.field(i).metaType().id() == QMetaType::Double
                          ? QString::number(query->value(i).toDouble(), 'g', 15)
                          : query->value(i).toString());
        result << texts.join(QLatin1Char('|'));
    }
    return result;
}

QVariant ClubFixture::scalar(const QString &database, const QString &sql,
                             const QVariantList &values) {
    return column(database, sql, values).value(0);
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
    if (!onPostgres())
        ASSERT_TRUE(QFile::remove(path(Databases::fileName(name)))) << name.toStdString();
    else
        exec(name, QStringLiteral("drop schema \"%1\" cascade").arg(name));
}

void ClubFixture::addFault(const QString &database, const QString &name, const QString &write,
                           const QString &table, const QString &condition, const QString &message) {
    const QString when = condition.isEmpty() ? QStringLiteral("true") : condition;
    if (!onPostgres())
        return exec(database, QStringLiteral("create trigger %1 before %2 on %3 when %4 begin "
                                             "select %5; end")
                                  .arg(name, write, table, when,
                                       message.isEmpty()
                                           ? QStringLiteral("raise(ignore)")
                                           : QStringLiteral("raise(abort, '%1')").arg(message)));
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
    if (!onPostgres())
        return exec(database, QStringLiteral("drop trigger %1").arg(name));
    exec(database, QStringLiteral("drop trigger %1 on %2").arg(name, table));
    exec(database, QStringLiteral("drop function %1()").arg(name));
}

QStringList ClubFixture::indexNames(const QString &database, const QString &table) {
    QStringList names;
    Connection db(settings(), database);
    auto rows = db.db ? db->exec(db->dialect().indexNamesQuery(), {table})
                      : Result<QSqlQuery>(db.db.error());
    while (rows && rows->next())
        names << rows->value(0).toString();
    names.sort();
    return names;
}
