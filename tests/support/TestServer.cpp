#include "TestServer.h"

#include "club/ServerDatabases.h"
#include "storage/ClubStorage.h"
#include "storage/SharedFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

namespace TestServer {

namespace {

QString uniqueName() {
    static int made = 0;
    return QStringLiteral("moravel_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
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
    settings->databaseName = uniqueName();
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

namespace {

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
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    for (const QFileInfo &entry :
         source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isDir() ? !copyDirectory(entry.filePath(), target)
                          : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

// Makes the template once: the first test program process to get here
// holds the lock while it does, the others wait and then find it made.
bool makeTemplate(const StorageSettings &server, const QString &name,
                  const ClubCreator::Options &options, const QString &directory) {
    const QString ready = directory + QStringLiteral(".ready");
    SharedFile::FileLock lock(directory, SharedFile::FileLock::Wait::Queued);
    if (!lock.locked()) {
        ADD_FAILURE() << "the template lock " << directory.toStdString();
        return false;
    }
    if (QFile::exists(ready))
        return true;
    QDir(directory).removeRecursively();
    StorageSettings storage = server;
    storage.databaseName = name;
    ServerDatabases::drop(server, name);
    if (Status created = ServerDatabases::create(server, name); !created) {
        ADD_FAILURE() << created.error().description.toStdString();
        return false;
    }
    ClubCreator::Options made = options;
    made.storage = storage;
    if (Status club = ClubCreator::create(directory, made); !club) {
        ADD_FAILURE() << club.error().description.toStdString();
        return false;
    }
    QFile marker(ready);
    return marker.open(QIODevice::WriteOnly);
}

} // namespace

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
    settings->databaseName = uniqueName();
    ServerDatabases::drop(*settings, settings->databaseName); // left by a crashed run
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
    if (!created) {
        ADD_FAILURE() << created.error().description.toStdString();
        return std::nullopt;
    }
    if (!copyDirectory(templateClub, directory)) {
        ADD_FAILURE() << "cannot copy the template club into " << directory.toStdString();
        return std::nullopt;
    }
    if (Status named = ClubStorage::writeServer(directory, *settings); !named) {
        ADD_FAILURE() << named.error().description.toStdString();
        return std::nullopt;
    }
    return settings;
}

} // namespace TestServer
