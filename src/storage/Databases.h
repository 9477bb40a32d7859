#pragma once

#include "SqlDialect.h"
#include "values/Result.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <memory>

enum class Engine { Sqlite, Postgres };

struct StorageSettings {
    QString clubDirectory;
    Engine engine = Engine::Sqlite;
    // PostgreSQL: one database holding one schema per logical database.
    QString host;
    int port = 5432;
    QString databaseName;
    QString userName;
    QString password;
    // How long SQLite waits for another workstation's lock before the
    // operation reports the record as locked.
    int busyTimeoutMs = 2000;
    // A club opened for reading only (a read-only share or a backup copy):
    // every write fails with the read-only error and nothing is created.
    bool readOnly = false;
};

// One open connection to one logical database, closed when it goes out of
// scope. Queries made on it must not outlive it.
class Database {
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    const QString &name() const { return m_name; }
    QSqlDatabase handle() const;
    const SqlDialect &dialect() const { return m_dialect; }

    // Prepares, binds every value in order and executes; the query is left
    // before its first row.
    Result<QSqlQuery> exec(const QString &sql, const QVariantList &values = {});
    Status execute(const QString &sql, const QVariantList &values = {});
    // An UPDATE or DELETE that must change exactly `expected` rows; any other
    // count is error 3021 and the caller's transaction should not commit.
    Status change(const QString &sql, const QVariantList &values, int expected = 1);
    // For statements run many times with new values (exec(QSqlQuery&)).
    Result<QSqlQuery> prepare(const QString &sql);
    Status exec(QSqlQuery &query);

    // The engine's error as the suite numbers it. A SQLite file's own
    // failure (damaged, unreadable, a full disk) names the file.
    DbError error(const QSqlError &error) const;

private:
    friend class Databases;
    Database(QString connection, QString name, const SqlDialect &dialect);

    QString m_connection;
    QString m_name;
    const SqlDialect &m_dialect;
    QStringList m_attached; // the files attached to a SQLite connection
};

using DatabasePtr = std::unique_ptr<Database>;

// Opens the suite's databases by their logical name ("evnt", "config", ...).
// With SQLite each is the file <name>.mdb in the club directory; with
// PostgreSQL each is a schema of that name. Nothing is held open between
// operations: every open returns a connection that closes on destruction.
class Databases {
public:
    explicit Databases(StorageSettings settings);
    ~Databases();

    const StorageSettings &settings() const { return m_settings; }
    const SqlDialect &dialect() const { return *m_dialect; }
    QString clubPath(const QString &fileName) const;

    // "AR.MDB", "ar.mdb" and "ar" all name the logical database "ar".
    static QString logicalName(const QString &fileName);
    // The file a logical database lives in: "evnt.mdb"; the report template is "rpt00.sys".
    static QString fileName(const QString &logicalName);

    bool exists(const QString &name) const;
    // True for a database kept as a SQLite file in the club directory.
    bool isFile(const QString &name) const;
    // Where a database lives, for messages: its file's path, or "the schema
    // evnt of PostgreSQL database moravel on db:5432".
    QString place(const QString &name) const;
    // Error 53 when the database does not exist.
    Result<DatabasePtr> open(const QString &name) const;
    // Runs an UPDATE, DELETE or INSERT on the database; a database the club
    // does not have is passed over, as there is nothing in it to change.
    Status executeIfPresent(const QString &name, const QString &sql,
                            const QVariantList &values = {}) const;
    // Opens `name` with each of `others` reachable under its own logical name
    // ("daily.ardaily"), so that one transaction covers writes to all of
    // them. With SQLite the other files are attached to the connection (the
    // rollback journal commits attached files together); with PostgreSQL
    // they are schemas of the same database. Error 53 when one is missing.
    Result<DatabasePtr> openTogether(const QString &name, const QStringList &others) const;
    // The same for a connection already open.
    Status attach(Database &db, const QStringList &others) const;
    // PostgreSQL: a connection to the club's database with no schema chosen,
    // for questions about the server itself. Never for SQLite.
    Result<DatabasePtr> openServer() const;
    // Creates the database with every table of its schema; refuses an existing one.
    Result<DatabasePtr> create(const QString &name) const;
    // Closes every connection this object opened that is still registered;
    // nothing should be open at the points that call it.
    void closeAll();
    // A local SQLite file outside the shared store (report work copies).
    Result<DatabasePtr> openLocalFile(const QString &path) const;

private:
    const SqlDialect &fileDialect(const QString &logical) const;
    Result<DatabasePtr> connect(const QString &name, const SqlDialect &dialect,
                                const QString &sqliteFile) const;

    StorageSettings m_settings;
    std::unique_ptr<SqlDialect> m_dialect;
    std::unique_ptr<SqlDialect> m_localDialect;
    QString m_connectionPrefix;
};
