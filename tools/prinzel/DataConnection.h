#pragma once

#include "ParameterBlock.h"
#include "ReportFailure.h"

#include <QSqlDatabase>
#include <QString>
#include <memory>

// The report's data files on one read-only SQLite connection: DataFiles(0)
// is the main database, DataFiles(1) to (4) are attached as data1 to data4.
// Queries made on it must not outlive it.
class DataConnection {
public:
    static Result<std::unique_ptr<DataConnection>, ReportFailure>
    open(const QString &directory, const std::array<QString, ParameterBlock::DataFileCount> &files);
    ~DataConnection();
    DataConnection(const DataConnection &) = delete;
    DataConnection &operator=(const DataConnection &) = delete;

    QSqlDatabase database() const;
    // The path of DataFiles(0) as found in its directory.
    const QString &mainFile() const { return m_mainFile; }

private:
    explicit DataConnection(QString name);

    QString m_name;
    QString m_mainFile;
};
