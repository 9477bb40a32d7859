#include "TestServer.h"

#include "club/ServerDatabases.h"
#include "foundation/ClubStorage.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace TestServer {

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
    ServerDatabases::drop(*settings, settings->databaseName); // left by a crashed run
    const Status created = ServerDatabases::create(*settings, settings->databaseName);
    if (!created) {
        ADD_FAILURE() << created.error().description.toStdString();
        return std::nullopt;
    }
    return settings;
}

void dropDatabase(const StorageSettings &database) {
    const Status dropped = ServerDatabases::drop(database, database.databaseName);
    if (!dropped)
        ADD_FAILURE() << dropped.error().description.toStdString();
}

} // namespace TestServer
