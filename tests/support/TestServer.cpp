#include "TestServer.h"

#include "club/ServerDatabases.h"
#include "storage/ClubStorage.h"
#include "storage/SharedFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
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

// The same program (as built), the same options: the same template.
QString templateName(const ClubCreator::Options &options) {
    const QFileInfo program(QCoreApplication::applicationFilePath());
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(program.absoluteFilePath().toUtf8());
    hash.addData(QByteArray::number(program.lastModified().toMSecsSinceEpoch()));
    hash.addData(options.today.toString(Qt::ISODate).toUtf8());
    hash.addData(options.shareDirectory.toUtf8());
    hash.addData(options.demo ? "demo" : "plain");
    return QStringLiteral("moravel_template_") +
           QString::fromLatin1(hash.result().toHex().left(16));
}

bool copyDirectory(const QString &from, const QString &to) {
    bool copied = QDir().mkpath(to);
    for (const QFileInfo &entry :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString target = QDir(to).filePath(entry.fileName());
        copied = copied && (entry.isDir() ? copyDirectory(entry.filePath(), target)
                                          : QFile::copy(entry.filePath(), target));
    }
    return copied;
}

// Makes the template once: the first test program process to get here
// holds the lock while it does, the others wait and then find it made.
bool makeTemplate(StorageSettings storage, const QString &name, ClubCreator::Options options,
                  const QString &directory) {
    const QString ready = directory + QStringLiteral(".ready");
    SharedFile::FileLock lock(directory, SharedFile::FileLock::Wait::Queued);
    EXPECT_TRUE(lock.locked()) << "the template lock " << directory.toStdString();
    if (!lock.locked() || QFile::exists(ready))
        return lock.locked();
    QDir(directory).removeRecursively();
    storage.databaseName = name;
    ServerDatabases::drop(storage, name);
    options.storage = storage;
    if (failed(ServerDatabases::create(storage, name)) ||
        failed(ClubCreator::create(directory, options)))
        return false;
    return QFile(ready).open(QIODevice::WriteOnly);
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
    const QString name = templateName(options);
    const QString templates = QDir(settings->host).filePath(QStringLiteral("templates"));
    const QString templateClub = QDir(templates).filePath(name);
    if (!QDir().mkpath(templates) || !makeTemplate(*settings, name, options, templateClub))
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
    EXPECT_TRUE(copyDirectory(templateClub, directory)) << "copying the template club";
    if (failed(created) || failed(ClubStorage::writeServer(directory, *settings)))
        return std::nullopt;
    return settings;
}

} // namespace TestServer
