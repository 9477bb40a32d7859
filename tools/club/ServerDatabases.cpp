#include "ServerDatabases.h"

#include "storage/SqlDialect.h"

#include <QAtomicInteger>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace ServerDatabases {

Status execute(const StorageSettings &server, const QString &sql) {
    static QAtomicInteger<int> connections;
    const QString name =
        QStringLiteral("server-databases-%1").arg(connections.fetchAndAddRelaxed(1));
    DbError failed;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setUserName(server.userName);
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open()) {
            failed = {ErrorNumber::OpenFailed, db.lastError().text()};
        } else {
            QSqlQuery query(db);
            if (!query.exec(sql))
                failed = {ErrorNumber::Unknown,
                          sql + QStringLiteral(": ") + query.lastError().text()};
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (failed.number != 0)
        return failed;
    return {};
}

Status create(const StorageSettings &server, const QString &databaseName) {
    if (!SqlDialect::isSafeIdentifier(databaseName))
        return DbError{ErrorNumber::OpenFailed,
                       QStringLiteral("Invalid database name: %1").arg(databaseName)};
    return execute(server, QStringLiteral("create database %1").arg(databaseName));
}

Status drop(const StorageSettings &server, const QString &databaseName) {
    if (!SqlDialect::isSafeIdentifier(databaseName))
        return DbError{ErrorNumber::OpenFailed,
                       QStringLiteral("Invalid database name: %1").arg(databaseName)};
    return execute(server,
                   QStringLiteral("drop database if exists %1 with (force)").arg(databaseName));
}

} // namespace ServerDatabases
