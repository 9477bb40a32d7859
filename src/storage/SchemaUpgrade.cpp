#include "SchemaUpgrade.h"

#include "Databases.h"
#include "Schema.h"
#include "SchemaBuilder.h"
#include "Transaction.h"
#include "session/ClubSettings.h"
#include "values/TextValue.h"

#include <QFileInfo>

namespace SchemaUpgrade {

namespace {

// Indexes named after their columns, and the unique keys: event numbers
// above 0, package members, contract positions.
Status namedIndexes(Database &db, Databases &) {
    for (const Schema::Table &table : Schema::tablesOf(db.name())) {
        if (!SchemaBuilder::tableExists(db, table.name))
            continue;
        if (Status synced = SchemaBuilder::syncIndexes(db, table); !synced)
            return synced;
    }
    return {};
}

// eventinfo.custid held whole numbers only; account numbers have cents.
Status accountNumbersWithCents(Database &db, Databases &) {
    return SchemaBuilder::rebuildTable(
        db, *Schema::findTable(QStringLiteral("evnt"), QStringLiteral("eventinfo")));
}

// Reports that write no headings still print the club's name from the
// template's one headings row.
Status reportHeadingsRow(Database &db, Databases &all) {
    auto rows = db.exec(QStringLiteral("select count(*) from headings"));
    if (!rows)
        return rows.status();
    if (rows->next() && rows->value(0).toInt() > 0)
        return {};
    rows->finish();
    QString company;
    if (auto config = all.open(QStringLiteral("config"))) {
        if (auto name = config.value()->exec(QStringLiteral("select compname from company"));
            name && name->next())
            company = cutToLength(name->value(0).toString().trimmed(), 30);
    }
    return db.execute(QStringLiteral("insert into headings (ctlcompname) values (?)"), {company});
}

// Change counts live in a table of their own, so eventinfo keeps its
// columns; an event without a row counts as never changed.
Status eventChangeCounts(Database &db, Databases &) {
    const Schema::Table &table = *Schema::findTable(db.name(), QStringLiteral("eventchange"));
    return SchemaBuilder::tableExists(db, table.name) ? Status()
                                                      : SchemaBuilder::createTable(db, table);
}

// The club's own settings get tables of their own in evnt, and a club
// upgraded takes the upgrading workstation's locale, as a new one takes its
// creator's. Its time zone is given after the steps, where the admin log
// can record it.
Status clubSettings(Database &db, Databases &) {
    for (const char *name : {"clubsetting", "roomsetting"}) {
        const Schema::Table &table = *Schema::findTable(db.name(), QString::fromLatin1(name));
        if (!SchemaBuilder::tableExists(db, table.name)) {
            if (Status made = SchemaBuilder::createTable(db, table); !made)
                return made;
        }
    }
    return ClubSettings::writeDefault(db, ClubSettings::Locale).status();
}

// Tables a step adds (the event orders', the payment schedules', in evnt
// and their copies in the report template): made by the table set-up
// before the steps, recorded here so a program that prints them knows the
// club has them.
Status newTables(Database &db, Databases &) {
    return SchemaBuilder::createTables(db);
}

Result<int> storedVersion(Database &db) {
    auto version = db.exec(QStringLiteral("select max(version) from schemaversion"));
    if (!version)
        return version.error();
    return version->next() ? version->value(0).toInt() : 0;
}

Status storeVersion(Database &db, int version) {
    if (Status cleared = db.execute(QStringLiteral("delete from schemaversion")); !cleared)
        return cleared;
    return db.execute(QStringLiteral("insert into schemaversion (version) values (?)"), {version});
}

bool concerns(const Step &step, const QString &database) {
    return step.database == QLatin1String("*") || step.database == database;
}

DbError inStep(const DbError &error, const Step &step, const QString &database) {
    return {error.number,
            QStringLiteral("Upgrade step %1 (%2) of %3: %4")
                .arg(step.version)
                .arg(step.description, Databases::fileName(database).toUpper(), error.description)};
}

// One step, or the final version record, per transaction. The version is
// read inside the transaction, so two workstations starting together do
// not both run a step.
Result<QStringList> upgrade(Database &db, Databases &all) {
    QStringList done;
    // Up to date, the usual case: settled without taking the write lock
    // that another workstation may be holding.
    if (auto version = storedVersion(db); version && *version >= currentVersion())
        return done;
    for (;;) {
        Transaction transaction(db);
        if (!transaction.begun())
            return transaction.begun().error();
        auto version = storedVersion(db);
        if (!version)
            return version.error();
        const Step *next = nullptr;
        for (const Step &step : steps()) {
            if (step.version > *version && concerns(step, db.name())) {
                next = &step;
                break;
            }
        }
        if (!next) {
            if (*version >= currentVersion())
                return done;
            if (Status stored = storeVersion(db, currentVersion()); !stored)
                return stored.error();
            if (Status committed = transaction.commit(); !committed)
                return committed.error();
            return done;
        }
        Status status = next->apply(db, all);
        if (status)
            status = storeVersion(db, next->version);
        if (status)
            status = transaction.commit();
        if (!status)
            return inStep(status.error(), *next, db.name());
        done << QStringLiteral("%1: %2").arg(Databases::fileName(db.name()), next->description);
    }
}

DbError unrecognised(const Databases &databases, const QString &name, const QString &problem,
                     int number = ErrorNumber::CorruptDatabase) {
    QString text = QStringLiteral("%1 %2. Nothing was changed. Restore %3 from a backup, or run "
                                  "\"moravel-club upgrade %4 --recreate %5\" to start it empty "
                                  "(the one there now is kept under another name).")
                       .arg(databases.place(name), problem, Databases::fileName(name),
                            databases.settings().clubDirectory, name);
    text[0] = text[0].toUpper();
    return {number, text};
}

bool holdsOwnTable(Database &db) {
    for (const Schema::Table &table : Schema::tablesOf(db.name())) {
        if (table.name != QLatin1String("schemaversion") &&
            SchemaBuilder::tableExists(db, table.name))
            return true;
    }
    return false;
}

} // namespace

Status recognise(const Databases &databases, const QString &name) {
    const QString path = databases.clubPath(Databases::fileName(name));
    const bool file = databases.isFile(name);
    if (!databases.exists(name))
        return {}; // reported where it is needed, and never made here
    if (file && !QFileInfo(path).isFile())
        return unrecognised(databases, name, QStringLiteral("is not a file"));
    if (file && QFileInfo(path).size() == 0)
        return unrecognised(databases, name, QStringLiteral("is empty (0 bytes)"));
    auto db = databases.open(name);
    if (!db)
        return unrecognised(
            databases, name,
            QStringLiteral("cannot be read as a database (%1)").arg(db.error().description),
            db.error().number);
    // A damaged file may open and fail only at its first read.
    auto read = db.value()->exec(db.value()->dialect().tableExistsQuery(), {name});
    if (!read)
        return unrecognised(
            databases, name,
            QStringLiteral("cannot be read as a database (%1)").arg(read.error().description),
            read.error().number);
    read->finish();
    if (!holdsOwnTable(*db.value()))
        return unrecognised(databases, name,
                            QStringLiteral("holds none of this program's %1 tables")
                                .arg(Databases::fileName(name).toUpper()));
    return {};
}

Status recognise(const Databases &databases) {
    for (const QString &name : Schema::databases()) {
        if (Status known = recognise(databases, name); !known)
            return known;
    }
    return {};
}

Status checkCurrent(Database &db, const QString &directory) {
    auto version = db.exec(QStringLiteral("select max(version) from schemaversion"));
    const int stored = version && version->next() ? version->value(0).toInt() : -1;
    if (stored == currentVersion())
        return {};
    return DbError{ErrorNumber::OpenFailed,
                   QStringLiteral("%1 of %2 is not at this program's schema version %3; run "
                                  "\"moravel-club upgrade\" on that club first.")
                       .arg(Databases::fileName(db.name()), directory)
                       .arg(currentVersion())};
}

const QList<Step> &steps() {
    static const QList<Step> all{
        {1, QStringLiteral("*"), QStringLiteral("named indexes and unique keys"), namedIndexes},
        {2, QStringLiteral("evnt"), QStringLiteral("billing account numbers keep their cents"),
         accountNumbersWithCents},
        {3, QStringLiteral("rpt"), QStringLiteral("the report template's headings row"),
         reportHeadingsRow},
        {4, QStringLiteral("evnt"), QStringLiteral("change counts of events"), eventChangeCounts},
        {5, QStringLiteral("evnt"), QStringLiteral("the club's own settings"), clubSettings},
        {6, QStringLiteral("*"), QStringLiteral("event orders"), newTables},
        {7, QStringLiteral("*"), QStringLiteral("payment schedules"), newTables},
        {8, QStringLiteral("evnt"), QStringLiteral("repeated bookings"), newTables},
    };
    return all;
}

int currentVersion() {
    return steps().last().version;
}

Result<QStringList> run(Databases &databases) {
    if (Status known = recognise(databases); !known)
        return known.error();
    QStringList done;
    for (const QString &name : Schema::databases()) {
        if (!databases.exists(name))
            continue; // the point-of-sale files are made when a club first exports
        auto db = databases.open(name);
        if (!db)
            return db.error();
        if (Status made = SchemaBuilder::createTables(*db.value()); !made)
            return made.error();
        auto upgraded = upgrade(*db.value(), databases);
        if (!upgraded)
            return upgraded.error();
        done << *upgraded;
    }
    return done;
}

Status stampCurrent(Database &db) {
    Transaction transaction(db);
    if (!transaction.begun())
        return transaction.begun();
    if (Status stored = storeVersion(db, currentVersion()); !stored)
        return stored;
    return transaction.commit();
}

} // namespace SchemaUpgrade
