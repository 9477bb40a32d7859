#include "TestServer.h"

#include "ClubTemplate.h"
#include "club/ServerDatabases.h"
#include "storage/ClubStorage.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

namespace TestServer {

namespace {

bool failed(const Status &status) {
    if (!status)
        ADD_FAILURE() << status.error().description.toStdString();
    return !status;
}

// The server, with a database name of this test's own (its leftover from a
// crashed run dropped); nothing on SQLite.
std::optional<StorageSettings> server() {
    const QString named = qEnvironmentVariable("MORAVEL_TEST_POSTGRES");
    auto parsed = ClubStorage::parseServer(named + QStringLiteral(" database=postgres"));
    if (named.isEmpty() || failed(parsed.status()))
        return std::nullopt;
    static int made = 0;
    parsed->databaseName =
        QStringLiteral("moravel_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    ServerDatabases::drop(*parsed, parsed->databaseName);
    return *parsed;
}

// Makes the template database and the club directory beside it.
Status makeTemplate(StorageSettings storage, const QString &name, ClubCreator::Options options,
                    const QString &directory) {
    storage.databaseName = name;
    ServerDatabases::drop(storage, name);
    options.storage = storage;
    if (Status created = ServerDatabases::create(storage, name); !created)
        return created;
    return ClubCreator::create(directory, options);
}

} // namespace

bool active() {
    return !qgetenv("MORAVEL_TEST_POSTGRES").isEmpty();
}

std::optional<StorageSettings> createDatabase() {
    auto settings = server();
    if (settings && failed(ServerDatabases::create(*settings, settings->databaseName)))
        return std::nullopt;
    return settings;
}

void dropDatabase(const StorageSettings &database) {
    failed(ServerDatabases::drop(database, database.databaseName));
}

std::optional<StorageSettings> createClub(const QString &directory,
                                          const ClubCreator::Options &options) {
    auto settings = server();
    if (!settings)
        return std::nullopt;
    // Kept beside the server's own files, so they go when it is stopped.
    const QString name = ClubTemplate::name(options);
    const QString templates = QDir(settings->host).filePath(QStringLiteral("templates"));
    const QString templateClub = QDir(templates).filePath(name);
    const auto make = [&] {
        return makeTemplate(*settings, name, options, templateClub);
    };
    if (!QDir().mkpath(templates) || !ClubTemplate::makeOnce(templateClub, make))
        return std::nullopt;
    // The template may still be closing the connections of another copy.
    Status created;
    for (int attempt = 0; attempt < 50; ++attempt) {
        created = ServerDatabases::execute(
            *settings,
            QStringLiteral("create database %1 template %2").arg(settings->databaseName, name));
        if (created)
            break;
        QThread::msleep(20);
    }
    EXPECT_TRUE(ClubTemplate::copyDirectory(templateClub, directory))
        << "copying the template club";
    if (failed(created) || failed(ClubStorage::writeServer(directory, *settings)))
        return std::nullopt;
    return settings;
}

} // namespace TestServer
