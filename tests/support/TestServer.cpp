#include "TestServer.h"

#include "foundation/ClubStorage.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace TestServer {

namespace {

// Runs one statement on the server's maintenance database.
bool onServer(const StorageSettings &server, const QString &sql) {
    static int connections = 0;
    const QString name = QStringLiteral("test-server-%1").arg(++connections);
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setUserName(server.userName);
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open()) {
            ADD_FAILURE() << "the test server cannot be reached: "
                          << db.lastError().text().toStdString();
        } else {
            QSqlQuery query(db);
            done = query.exec(sql);
            if (!done)
                ADD_FAILURE() << sql.toStdString() << ": "
                              << query.lastError().text().toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return done;
}

} // namespace

std::optional<StorageSettings> server() {
    const QByteArray named = qgetenv("MORAVEL_TEST_POSTGRES");
    if (named.isEmpty())
        return std::nullopt;
    auto parsed =
        ClubStorage::parseServer(QString::fromUtf8(named) + QStringLiteral(" database=postgres"));
    if (!parsed) {
        ADD_FAILURE() << "MORAVEL_TEST_POSTGRES: " << parsed.error().description.toStdString();
        return std::nullopt;
    }
    return *parsed;
}

bool active() {
    return !qgetenv("MORAVEL_TEST_POSTGRES").isEmpty();
}

std::optional<StorageSettings> createDatabase() {
    auto settings = server();
    if (!settings)
        return std::nullopt;
    static int made = 0;
    settings->databaseName =
        QStringLiteral("moravel_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    onServer(*settings,
             QStringLiteral("drop database if exists %1 with (force)").arg(settings->databaseName));
    if (!onServer(*settings, QStringLiteral("create database %1").arg(settings->databaseName)))
        return std::nullopt;
    return settings;
}

void dropDatabase(const StorageSettings &database) {
    onServer(database,
             QStringLiteral("drop database if exists %1 with (force)").arg(database.databaseName));
}

} // namespace TestServer
