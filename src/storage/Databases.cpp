#include "Databases.h"

#include "ClubStorage.h"
#include "SchemaBuilder.h"
#include "SchemaUpgrade.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <cstring>
#include <dlfcn.h>

namespace {

// Connection names are unique in the process; each Databases has its own
// prefix so that it closes only its own connections.
quint64 nextNumber() {
    static QAtomicInteger<quint64> counter;
    return counter.fetchAndAddRelaxed(1);
}

DbError missingFile(const QString &name) {
    return {ErrorNumber::FileMissing, QStringLiteral("File not found: %1").arg(name)};
}

// The report template and the operators' report work copies stay SQLite
// files in the club directory whatever engine holds the rest.
bool isLocal(const QString &logical) {
    static const QRegularExpression report(QStringLiteral("^rpt(\\d\\d)?$"));
    return report.match(logical).hasMatch();
}

const QString SchemaExists =
    QStringLiteral("select count(*) from information_schema.schemata where schema_name = ?");

} // namespace

Database::Database(QString connection, QString name, const SqlDialect &dialect)
    : m_connection(std::move(connection))
    , m_name(std::move(name))
    , m_dialect(dialect) {}

Database::~Database() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlDatabase Database::handle() const {
    return QSqlDatabase::database(m_connection, false);
}

namespace {

// The system's reason behind SQLite's own words for a failed read or write
// ("disk I/O error" is all SQLite says of a full disk): the last error
// number of the file system that the connection met, asked of the SQLite
// library Qt's driver loaded. Empty when there is none or it cannot be asked.
QString systemReason(const QSqlDatabase &db) {
    using SystemErrno = int (*)(void *);
    static const SystemErrno systemErrno = [] {
        void *library = dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_NOLOAD);
        return library ? reinterpret_cast<SystemErrno>(dlsym(library, "sqlite3_system_errno"))
                       : nullptr;
    }();
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!systemErrno || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return QString();
    void *connection = *static_cast<void *const *>(handle.constData());
    const int code = connection ? systemErrno(connection) : 0;
    return code > 0 ? QString::fromLocal8Bit(std::strerror(code)) : QString();
}

} // namespace

DbError Database::error(const QSqlError &error) const {
    DbError mapped = m_dialect.mapError(error);
    if (mapped.number == ErrorNumber::FileAccess) {
        if (const QString reason = systemReason(handle());
            !reason.isEmpty() && !mapped.description.contains(reason))
            mapped.description += QStringLiteral(" (%1)").arg(reason);
    }
    static const QList<int> fileFailures{ErrorNumber::FileAccess, ErrorNumber::CorruptDatabase,
                                         ErrorNumber::OpenFailed};
    const QString file = handle().databaseName();
    if (m_dialect.driverName() != QLatin1String("QSQLITE") || file.isEmpty() ||
        !fileFailures.contains(mapped.number) || mapped.description.contains(file))
        return mapped;
    const QString with =
        m_attached.isEmpty()
            ? QString()
            : QStringLiteral(" (with %1)").arg(m_attached.join(QLatin1String(", ")));
    mapped.description = QStringLiteral("%1%2: %3").arg(file, with, mapped.description);
    return mapped;
}

Result<QSqlQuery> Database::prepare(const QString &sql) {
    QSqlQuery query(handle());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return error(query.lastError());
    return query;
}

Status Database::exec(QSqlQuery &query) {
    if (!query.exec())
        return error(query.lastError());
    return {};
}

Result<QSqlQuery> Database::exec(const QString &sql, const QVariantList &values) {
    // A statement without values runs as it is: PostgreSQL cannot prepare
    // everything (SET, for one).
    if (values.isEmpty()) {
        QSqlQuery query(handle());
        query.setForwardOnly(true);
        if (!query.exec(sql))
            return error(query.lastError());
        return query;
    }
    auto query = prepare(sql);
    if (!query)
        return query;
    for (const QVariant &value : values)
        query->addBindValue(value);
    if (Status status = exec(*query); !status)
        return status.error();
    return query;
}

Status Database::execute(const QString &sql, const QVariantList &values) {
    return exec(sql, values).status();
}

Status Database::change(const QString &sql, const QVariantList &values, int expected) {
    auto query = exec(sql, values);
    if (!query)
        return query.status();
    const int changed = query->numRowsAffected();
    if (changed != expected)
        return DbError{ErrorNumber::NoCurrentRecord,
                       QStringLiteral("%1 rows changed where %2 should have; nothing was saved.")
                           .arg(changed)
                           .arg(expected)};
    return {};
}

Databases::Databases(StorageSettings settings)
    : m_settings(std::move(settings))
    , m_dialect(m_settings.engine == Engine::Postgres ? SqlDialect::postgres()
                                                      : SqlDialect::sqlite())
    , m_localDialect(SqlDialect::sqlite())
    , m_connectionPrefix(QStringLiteral("moravel-%1-").arg(nextNumber())) {}

Databases::~Databases() = default;

QString Databases::clubPath(const QString &fileName) const {
    return QDir(m_settings.clubDirectory).filePath(fileName);
}

QString Databases::logicalName(const QString &fileName) {
    QString name = QFileInfo(fileName.trimmed()).fileName().toLower();
    if (name.endsWith(QLatin1String(".mdb")))
        name.chop(4);
    if (name == QLatin1String("rpt00.sys"))
        return QStringLiteral("rpt");
    return name;
}

QString Databases::fileName(const QString &logicalName) {
    if (logicalName == QLatin1String("rpt"))
        return QStringLiteral("rpt00.sys");
    return logicalName + QLatin1String(".mdb");
}

bool Databases::isFile(const QString &name) const {
    return m_settings.engine == Engine::Sqlite || isLocal(logicalName(name));
}

QString Databases::place(const QString &name) const {
    const QString logical = logicalName(name);
    if (isFile(logical))
        return clubPath(fileName(logical));
    return QStringLiteral("the schema %1 of %2").arg(logical, ClubStorage::describe(m_settings));
}

bool Databases::exists(const QString &name) const {
    const QString logical = logicalName(name);
    if (isFile(logical))
        return QFileInfo::exists(clubPath(fileName(logical)));
    auto db = openServer();
    if (!db)
        return false;
    auto query = db.value()->exec(SchemaExists, {logical});
    return query && query->next() && query->value(0).toInt() > 0;
}

Result<DatabasePtr> Databases::open(const QString &name) const {
    const QString logical = logicalName(name);
    if (!SqlDialect::isSafeIdentifier(logical))
        return missingFile(name);
    if (isFile(logical)) {
        const QString path = clubPath(fileName(logical));
        if (!QFileInfo(path).isFile())
            return missingFile(fileName(logical));
        return connect(logical, fileDialect(logical), path);
    }
    // One connection both checks the schema and serves the caller.
    auto db = connect(logical, *m_dialect, QString());
    if (!db)
        return db;
    auto schema = db.value()->exec(SchemaExists, {logical});
    if (!schema || !schema->next() || schema->value(0).toInt() == 0)
        return missingFile(fileName(logical));
    schema->finish();
    return db;
}

Result<DatabasePtr> Databases::openServer() const {
    if (m_settings.engine != Engine::Postgres)
        return DbError{
            ErrorNumber::OpenFailed,
            QStringLiteral("%1 is not on a database server.").arg(m_settings.clubDirectory)};
    return connect(QString(), *m_dialect, QString());
}

Result<DatabasePtr> Databases::openTogether(const QString &name, const QStringList &others) const {
    auto db = open(name);
    if (!db)
        return db;
    if (Status attached = attach(*db.value(), others); !attached)
        return attached.error();
    return db;
}

Status Databases::attach(Database &db, const QStringList &others) const {
    for (const QString &other : others) {
        const QString logical = logicalName(other);
        if (!SqlDialect::isSafeIdentifier(logical))
            return missingFile(fileName(logical));
        if (!isFile(logical)) {
            // A schema of the same database: qualified names reach it.
            auto schema = db.exec(SchemaExists, {logical});
            if (!schema)
                return schema.error();
            if (!schema->next() || schema->value(0).toInt() == 0)
                return missingFile(fileName(logical));
            continue;
        }
        // Attaching a missing file would create an empty one.
        if (!QFileInfo(clubPath(fileName(logical))).isFile())
            return missingFile(fileName(logical));
        if (Status attached = db.execute(QStringLiteral("attach database ? as %1").arg(logical),
                                         {clubPath(fileName(logical))});
            !attached)
            return attached;
        db.m_attached << fileName(logical);
        for (const QString &pragma : {QStringLiteral("pragma %1.journal_mode = delete"),
                                      QStringLiteral("pragma %1.synchronous = full")}) {
            const Status set = db.execute(pragma.arg(logical));
            if (!set && !m_settings.readOnly)
                return set;
        }
    }
    return {};
}

Result<DatabasePtr> Databases::create(const QString &name) const {
    const QString logical = logicalName(name);
    if (!SqlDialect::isSafeIdentifier(logical))
        return DbError{ErrorNumber::OpenFailed,
                       QStringLiteral("Invalid database name: %1").arg(name)};
    if (m_settings.readOnly)
        return DbError{ErrorNumber::ReadOnly,
                       QStringLiteral("Cannot update. Database or object is read-only.")};
    if (exists(logical))
        return DbError{ErrorNumber::DuplicateName,
                       QStringLiteral("The database %1 already exists.").arg(fileName(logical))};
    Result<DatabasePtr> db = DbError{};
    if (isFile(logical)) {
        db = connect(logical, fileDialect(logical), clubPath(fileName(logical)));
    } else {
        auto server = connect(QString(), *m_dialect, QString());
        if (!server)
            return server;
        if (Status made =
                server.value()->execute(QStringLiteral("create schema \"%1\"").arg(logical));
            !made)
            return made.error();
        db = connect(logical, *m_dialect, QString());
    }
    if (!db)
        return db;
    if (Status made = SchemaBuilder::createTables(*db.value()); !made)
        return made.error();
    if (Status stamped = SchemaUpgrade::stampCurrent(*db.value()); !stamped)
        return stamped.error();
    return db;
}

void Databases::closeAll() {
    for (const QString &name : QSqlDatabase::connectionNames()) {
        if (name.startsWith(m_connectionPrefix))
            QSqlDatabase::database(name, false).close();
    }
}

const SqlDialect &Databases::fileDialect(const QString &logical) const {
    return m_settings.engine == Engine::Sqlite || !isLocal(logical) ? *m_dialect : *m_localDialect;
}

Result<DatabasePtr> Databases::openLocalFile(const QString &path) const {
    return connect(logicalName(path), *m_localDialect, path);
}

Result<DatabasePtr> Databases::connect(const QString &name, const SqlDialect &dialect,
                                       const QString &sqliteFile) const {
    const QString connection = m_connectionPrefix + QString::number(nextNumber());
    DatabasePtr db(new Database(connection, name, dialect));
    QSqlDatabase handle = QSqlDatabase::addDatabase(dialect.driverName(), connection);
    if (!handle.isValid())
        return DbError{
            ErrorNumber::OpenFailed,
            QStringLiteral("The %1 database driver is not installed.").arg(dialect.driverName())};
    if (dialect.driverName() == QLatin1String("QSQLITE")) {
        handle.setDatabaseName(sqliteFile);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_settings.busyTimeoutMs);
        if (m_settings.readOnly && &dialect == m_dialect.get())
            options += QLatin1String(";QSQLITE_OPEN_READONLY");
        handle.setConnectOptions(options);
    } else {
        // Currency columns are numeric: their exact text, never a double.
        handle.setNumericalPrecisionPolicy(QSql::HighPrecision);
        handle.setHostName(m_settings.host);
        handle.setPort(m_settings.port);
        handle.setDatabaseName(m_settings.databaseName);
        handle.setUserName(m_settings.userName);
        handle.setPassword(m_settings.password);
    }
    if (!handle.open()) {
        DbError failed = dialect.mapError(handle.lastError());
        if (dialect.driverName() == QLatin1String("QPSQL"))
            failed.description = QStringLiteral("The club's %1 cannot be opened: %2")
                                     .arg(ClubStorage::describe(m_settings), failed.description);
        return failed;
    }
    if (dialect.driverName() == QLatin1String("QSQLITE")) {
        // The rollback journal, synced in full: WAL is unsafe on a network
        // folder and does not commit attached files atomically. A file left
        // in WAL by another program is turned back here.
        for (const char *pragma : {"pragma journal_mode = delete", "pragma synchronous = full"}) {
            const Status set = db->execute(QString::fromLatin1(pragma));
            if (!set && !m_settings.readOnly)
                return set.error();
        }
    }
    if (dialect.driverName() == QLatin1String("QPSQL")) {
        // A row another workstation holds is waited for as long as SQLite
        // waits for its file, then reported as locked. A read-only club's
        // session refuses every write.
        QStringList settings{QStringLiteral("set lock_timeout = %1").arg(m_settings.busyTimeoutMs)};
        if (m_settings.readOnly)
            settings << QStringLiteral("set default_transaction_read_only = on");
        for (const QString &setting : settings) {
            if (Status status = db->execute(setting); !status)
                return status.error();
        }
        if (!name.isEmpty()) {
            if (Status status = db->execute(QStringLiteral("set search_path to \"%1\"").arg(name));
                !status)
                return status.error();
        }
    }
    return db;
}

Status Databases::executeIfPresent(const QString &name, const QString &sql,
                                   const QVariantList &values) const {
    auto db = open(name);
    if (!db)
        return db.error().number == ErrorNumber::FileMissing ? Status() : Status(db.error());
    return db.value()->execute(sql, values);
}
