#pragma once

#include "storage/Databases.h"
#include "values/Result.h"

#include <QDate>
#include <QString>

// Makes a new club directory: every database with its tables, the settings
// rows, the DEMO operator and the shipped files (help texts, report
// layouts); with demo data, sample members, staff, inventory and
// receivables codes. It never touches an existing club.
namespace ClubCreator {

struct Options {
    bool demo = false;
    QDate today = QDate::currentDate();
    QString shareDirectory; // files copied into the club; empty: none
    // Where the databases go: SQLite files in the directory, or the schemas
    // of a PostgreSQL database (named in the club's "postgres.ini").
    StorageSettings storage;
};

Status create(const QString &directory, const Options &options);

} // namespace ClubCreator
