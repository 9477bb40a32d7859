#pragma once

#include "values/Result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class Database;
class Databases;

// Brings a club's databases up to this program's schema. Each change is a
// numbered step for one database (or for every one); a database records the
// last step it has had in its schemaversion table, and each step runs once,
// in one transaction together with that record, so an interrupted upgrade
// resumes where it stopped and never loses a row. A step brings its tables
// to the schema's present shape, so a later step that finds its work done
// passes over it.
namespace SchemaUpgrade {

struct Step {
    int version;
    QString database; // a logical name, or "*" for every database
    QString description;
    std::function<Status(Database &db, Databases &all)> apply;
};

const QList<Step> &steps();
int currentVersion();

// Whether each database of the club is one of this program's: a file or
// schema holds at least one of its own tables (its version row alone, in a
// file of another database, does not count). An empty file, another
// program's, another database's, or a directory in a file's place is
// refused with a message naming it and saying what to do; nothing is
// created or changed. A missing database passes: its users report it.
Status recognise(const Databases &databases);
Status recognise(const Databases &databases, const QString &database);
// Whether the database has had every step, neither fewer (it needs an
// upgrade) nor more (a later program's); the failure names it and `directory`.
Status checkCurrent(Database &db, const QString &directory);

// Recognises the club's databases, creates the tables each lacks, then runs
// the steps it has not had. Returns what was done, one line per step and
// database.
Result<QStringList> run(Databases &databases);
// A database made new has every step's result already.
Status stampCurrent(Database &db);

} // namespace SchemaUpgrade
