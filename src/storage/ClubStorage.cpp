#include "ClubStorage.h"

#include "ClubFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace ClubStorage {

namespace {

DbError badFile(const QString &path, const QString &problem) {
    return {ErrorNumber::OpenFailed, QStringLiteral("%1: %2").arg(path, problem)};
}

} // namespace

Result<StorageSettings> parseServer(const QString &text) {
    StorageSettings settings;
    settings.engine = Engine::Postgres;
    static const QRegularExpression separators(QStringLiteral("[\\s]+"));
    // One "key=value" per line or several on one line, as on the command line.
    QStringList pairs;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.section(QLatin1Char('#'), 0, 0).trimmed();
        if (!line.isEmpty())
            pairs << line.split(separators, Qt::SkipEmptyParts);
    }
    for (const QString &pair : pairs) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        const QString key = pair.left(equals).trimmed().toLower();
        const QString value = equals < 0 ? QString() : pair.mid(equals + 1).trimmed();
        if (equals <= 0 || value.isEmpty())
            return DbError{ErrorNumber::OpenFailed,
                           QStringLiteral("\"%1\" is not key=value.").arg(pair)};
        if (key == QLatin1String("host")) {
            settings.host = value;
        } else if (key == QLatin1String("port")) {
            bool number = false;
            settings.port = value.toInt(&number);
            if (!number || settings.port <= 0 || settings.port > 65535)
                return DbError{ErrorNumber::OpenFailed,
                               QStringLiteral("The port \"%1\" is not a port number.").arg(value)};
        } else if (key == QLatin1String("database") || key == QLatin1String("dbname")) {
            settings.databaseName = value;
        } else if (key == QLatin1String("user")) {
            settings.userName = value;
        } else if (key == QLatin1String("password")) {
            return DbError{ErrorNumber::OpenFailed,
                           QStringLiteral("A password is never kept with the club; use "
                                          "PGPASSWORD or ~/.pgpass.")};
        } else {
            return DbError{ErrorNumber::OpenFailed,
                           QStringLiteral("\"%1\" is not a server setting (host, port, database, "
                                          "user).")
                               .arg(key)};
        }
    }
    if (settings.databaseName.isEmpty())
        return DbError{ErrorNumber::OpenFailed, QStringLiteral("The database name is missing.")};
    return settings;
}

Result<StorageSettings> load(const QString &clubDirectory) {
    const QDir dir(clubDirectory);
    if (QFile::exists(dir.filePath(QString::fromLatin1(IncompleteMarker))))
        return DbError{ErrorNumber::OpenFailed,
                       QStringLiteral("The club's data in %1 was not completely copied there; "
                                      "copy it again before working with it.")
                           .arg(clubDirectory)};
    StorageSettings settings;
    const QString path = dir.filePath(QString::fromLatin1(ServerFile));
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return badFile(path, file.errorString());
        auto server = parseServer(QString::fromUtf8(file.readAll()));
        if (!server)
            return badFile(path, server.error().description);
        settings = *server;
    }
    settings.clubDirectory = clubDirectory;
    return settings;
}

Status writeServer(const QString &clubDirectory, const StorageSettings &settings) {
    if (settings.engine != Engine::Postgres)
        return {};
    const QString path = QDir(clubDirectory).filePath(QString::fromLatin1(ServerFile));
    QString text =
        QStringLiteral("# The PostgreSQL server that holds this club's databases. The password is\n"
                       "# never kept here: PGPASSWORD or ~/.pgpass supplies it.\n");
    if (!settings.host.isEmpty())
        text += QStringLiteral("host=%1\n").arg(settings.host);
    text += QStringLiteral("port=%1\n").arg(settings.port);
    text += QStringLiteral("database=%1\n").arg(settings.databaseName);
    if (!settings.userName.isEmpty())
        text += QStringLiteral("user=%1\n").arg(settings.userName);
    if (const QString failed = ClubFile::replace(path, text.toUtf8()); !failed.isEmpty())
        return badFile(path, failed);
    return {};
}

QString describe(const StorageSettings &settings) {
    if (settings.engine != Engine::Postgres)
        return QStringLiteral("the club directory %1").arg(settings.clubDirectory);
    const QString host = settings.host.isEmpty() ? QStringLiteral("localhost") : settings.host;
    return QStringLiteral("PostgreSQL database %1 on %2:%3")
        .arg(settings.databaseName, host)
        .arg(settings.port);
}

} // namespace ClubStorage
