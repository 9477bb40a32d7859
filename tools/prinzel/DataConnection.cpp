#include "DataConnection.h"

#include "storage/ClubFile.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace {

ReportFailure failure(const QString &message) {
    return {ExitCode::Data, message};
}

// A file that is there but is no SQLite database opens without complaint;
// the first read tells.
std::optional<QString> readable(QSqlDatabase database, const QString &schema) {
    QSqlQuery query(database);
    if (query.exec(QStringLiteral("select count(*) from %1.sqlite_master").arg(schema)))
        return std::nullopt;
    return query.lastError().text();
}

} // namespace

DataConnection::DataConnection(QString name)
    : m_name(std::move(name)) {}

DataConnection::~DataConnection() {
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase DataConnection::database() const {
    return QSqlDatabase::database(m_name, false);
}

Result<std::unique_ptr<DataConnection>, ReportFailure>
DataConnection::open(const QString &directory,
                     const std::array<QString, ParameterBlock::DataFileCount> &files) {
    std::array<QString, ParameterBlock::DataFileCount> paths;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].isEmpty())
            continue;
        paths[i] = ClubFile::find(directory, files[i]);
        if (paths[i].isEmpty())
            return failure(QStringLiteral("The data file %1 is not in the directory %2.")
                               .arg(files[i], directory));
    }
    static int opened = 0;
    std::unique_ptr<DataConnection> connection(
        new DataConnection(QStringLiteral("prinzel-data-%1").arg(++opened)));
    connection->m_mainFile = paths[0];
    {
        QSqlDatabase database =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection->m_name);
        database.setDatabaseName(paths[0]);
        // Attached files inherit read-only from the main one.
        database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        if (!database.open())
            return failure(QStringLiteral("The data file %1 cannot be opened: %2.")
                               .arg(files[0], database.lastError().text()));
    }
    QSqlDatabase database = connection->database();
    if (const auto why = readable(database, QStringLiteral("main")))
        return failure(QStringLiteral("The data file %1 cannot be read: %2.").arg(files[0], *why));
    for (std::size_t i = 1; i < files.size(); ++i) {
        if (paths[i].isEmpty())
            continue;
        const QString schema = QStringLiteral("data%1").arg(i);
        QSqlQuery attach(database);
        const QString uri =
            QUrl::fromLocalFile(paths[i]).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=ro");
        std::optional<QString> why;
        if (!attach.prepare(QStringLiteral("attach database ? as %1").arg(schema)))
            why = attach.lastError().text();
        attach.addBindValue(uri);
        if (!why && !attach.exec())
            why = attach.lastError().text();
        if (!why)
            why = readable(database, schema);
        if (why)
            return failure(
                QStringLiteral("The data file %1 cannot be read: %2.").arg(files[i], *why));
    }
    return connection;
}
