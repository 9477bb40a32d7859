#include "ClubCreator.h"

#include "DemoData.h"
#include "DemoSeason.h"
#include "DemoTills.h"
#include "SilentPorts.h"
#include "calendar/RoomEditor.h"
#include "calendar/YearSetup.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "startup/ClubUpgrade.h"
#include "storage/ClubStorage.h"
#include "storage/Databases.h"
#include "storage/Schema.h"
#include "storage/Transaction.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace ClubCreator {

namespace {

DbError failure(const QString &text) {
    return {ErrorNumber::OpenFailed, text};
}

Status insertRow(Databases &databases, const QString &database, const QString &sql,
                 const QVariantList &values) {
    auto db = databases.open(database);
    if (!db)
        return db.error();
    return db.value()->execute(sql, values);
}

// The settings the module reads at start-up. Status names stay empty so the
// standard names apply until the club renames them.
Status writeSettings(Databases &databases, bool demo) {
    const QVariantList company =
        demo ? QVariantList{QStringLiteral("Hollow Creek Country Club"),
                            QStringLiteral("1200 Fairway Drive"),
                            QString(),
                            QStringLiteral("Maple Glen"),
                            QStringLiteral("PA"),
                            QStringLiteral("19002"),
                            QStringLiteral("215-555-0100"),
                            QStringLiteral("215-555-0101"),
                            QStringLiteral("215-555-0102"),
                            QStringLiteral("events@hollowcreek.example.org"),
                            0.06}
             : QVariantList{QStringLiteral("Your Club Name"),
                            QString(),
                            QString(),
                            QString(),
                            QString(),
                            QString(),
                            QString(),
                            QString(),
                            QString(),
                            QString(),
                            0.0};
    Status status = insertRow(
        databases, QStringLiteral("config"),
        QStringLiteral(
            "insert into company (compname, compaddr1, compaddr2, compcity, compstate, compzip, "
            "compphone1, compphone2, compfax, compemail, salestax) "
            "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        company);
    if (status)
        status = insertRow(
            databases, QStringLiteral("config"),
            QStringLiteral("insert into evmgr (evaccess0, evaccess1, evaccess2, evaccess3, ccode, "
                           "bcode, rangefrom, rangeto, timefrom, timeto, billing) "
                           "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {10, 20, 50, 90, QStringLiteral("EV"), QStringLiteral("E"), 90000.0, 99999.99,
             QStringLiteral("06:00"), QStringLiteral("23:45"), 0});
    if (status)
        status =
            insertRow(databases, QStringLiteral("config"),
                      QStringLiteral(
                          "insert into ar (deptorstax, taxscyesno, sctaxpct, araccess0, araccess1, "
                          "araccess2, araccess3, arperiod, aryear) "
                          "values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                      {QStringLiteral("D"), QStringLiteral("N"), 0.0, 10, 20, 50, 90, 1, 0});
    if (status)
        status = insertRow(databases, QStringLiteral("config"),
                           QStringLiteral("insert into pos (tillcount) values (?)"), {1});
    // The report template's one headings row; reports that write no
    // headings of their own still print the club's name from it.
    if (status)
        status = insertRow(databases, QStringLiteral("rpt"),
                           QStringLiteral("insert into headings (ctlcompname) values (?)"),
                           {company.first().toString().left(30)});
    // The club's papers and times follow the creating workstation's locale
    // and time zone until the club sets its own.
    if (status) {
        auto evnt = databases.open(QStringLiteral("evnt"));
        status = evnt ? ClubSettings::writeDefaults(*evnt.value()) : Status(evnt.error());
    }
    if (status)
        status = insertRow(
            databases, QStringLiteral("user"),
            QStringLiteral("insert into staff (username, location, work, sysuser, localdrive, "
                           "memomail, fullname, userlevel) values (?, ?, ?, ?, ?, ?, ?, ?)"),
            {QStringLiteral("DEMO"), QStringLiteral("Startup"), QString(), 1, QString(), 0,
             QStringLiteral("Demonstration operator"), 99});
    return status;
}

// The demo rooms, calendar years and bookings, made through the program's
// own room editor, year set-up and event save as an operator would make them.
Status addDemoCalendar(const StorageSettings &settings, const QDate &today) {
    SilentPorts ports(today);
    Module module(settings, Ports{ports, ports, ports, ports, ports, ports, ports});
    module.session.UserLevel = OperatorSession::MaintenanceLevel;
    module.session.AccessThresholds = {0, 0, 0, 0};
    RoomEditor editor(module);
    editor.OpenRoomEditor(true);
    static const struct {
        const char *name;
        int capacity;
        int subdiv;
    } rooms[] = {{"Grand Ballroom", 240, 0}, {"Ballroom East", 110, 1},
                 {"Ballroom West", 110, 1},  {"Terrace Pavilion", 90, 0},
                 {"Board Room", 18, 0},      {"Fairway Dining Room", 60, 0}};
    for (const auto &room : rooms) {
        editor.editBox(RoomEditor::NameBox, QString::fromUtf8(room.name));
        editor.editBox(RoomEditor::CapacityBox, QString::number(room.capacity));
        editor.editBox(RoomEditor::SubdivisionBox, QString::number(room.subdiv));
        editor.RoomButton(RoomEditor::AddRoom);
    }
    if (editor.roomNames.size() != int(std::size(rooms)))
        return failure(QStringLiteral("The demo rooms could not be added: ") + ports.lastMessage);
    YearSetup years(module);
    // From last month, which holds events already billed, to next year.
    for (int year = today.addMonths(-1).year(); year <= today.year() + 1; ++year) {
        if (auto filled = years.fillYear(year); !filled)
            return filled.error();
    }
    return DemoSeason::add(module, ports, today);
}

} // namespace

namespace {

// A PostgreSQL database that can be reached and holds none of a club's
// schemas; checked before anything is written anywhere.
Status checkServer(const StorageSettings &storage) {
    const Databases server(storage);
    for (const QString &name : Schema::databases()) {
        if (server.isFile(name))
            continue;
        auto connection = server.open(name);
        if (connection)
            return failure(QStringLiteral("%1 already holds a club (it has %2); nothing was "
                                          "changed.")
                               .arg(ClubStorage::describe(storage), server.place(name)));
        if (connection.error().number != ErrorNumber::FileMissing)
            return connection.error();
    }
    return {};
}

// Drops the schemas a creation that failed had made on the server, so that
// it leaves nothing behind there either; only those it made.
void dropSchemas(const StorageSettings &storage, const QStringList &made) {
    const Databases server(storage);
    for (const QString &name : made) {
        if (auto db = server.open(name))
            db.value()->execute(QStringLiteral("drop schema \"%1\" cascade").arg(name));
    }
}

// Makes the club in `directory`; `schemas` collects the schemas it made on
// a server.
Status build(const QString &directory, const Options &options, QStringList &schemas) {
    StorageSettings settings = options.storage;
    settings.clubDirectory = directory;
    if (Status named = ClubStorage::writeServer(settings.clubDirectory, settings); !named)
        return named;
    Databases databases(settings);
    for (const QString &name : Schema::databases()) {
        const bool onServer = !databases.isFile(name);
        auto made = databases.create(name);
        if (!made)
            return failure(QStringLiteral("%1 could not be made: %2")
                               .arg(databases.place(name), made.error().description));
        if (onServer)
            schemas << name;
    }
    if (Status status = writeSettings(databases, options.demo); !status)
        return status;
    if (auto copied = ClubUpgrade::copyMissingFiles(options.shareDirectory, settings.clubDirectory);
        !copied)
        return copied.error();
    if (!options.demo)
        return {};
    if (Status added = DemoData::add(databases, options.today); !added)
        return added;
    if (Status calendar = addDemoCalendar(settings, options.today); !calendar)
        return calendar;
    return DemoTills::add(settings, options.today);
}

} // namespace

Status create(const QString &directory, const Options &options) {
    const QDir dir(directory);
    if (dir.exists() && !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        return failure(QStringLiteral("%1 already exists and is not empty; nothing was changed.")
                           .arg(directory));
    const QString target = dir.absolutePath();
    const QString parent = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(parent))
        return failure(QStringLiteral("Cannot create the directory %1.").arg(parent));
    if (options.storage.engine == Engine::Postgres) {
        if (Status free = checkServer(options.storage); !free)
            return free;
    }

    // The club is made beside its place and moved there only when whole:
    // a creation that fails (a full disk) leaves no half-made club behind.
    QTemporaryDir aside(QDir(parent).filePath(
        QStringLiteral(".%1.creating-XXXXXX").arg(QFileInfo(target).fileName())));
    if (!aside.isValid())
        return failure(
            QStringLiteral("Cannot create the club in %1: %2").arg(parent, aside.errorString()));
    QStringList schemas;
    Status made = build(aside.path(), options, schemas);
    if (made && dir.exists() && !QDir().rmdir(target))
        made = failure(QStringLiteral("Cannot replace the empty directory %1.").arg(target));
    if (made && !QDir().rename(aside.path(), target))
        made = failure(QStringLiteral("Cannot move the new club into %1.").arg(target));
    if (!made) {
        dropSchemas(options.storage, schemas);
        return failure(QStringLiteral("The club %1 was not created, and nothing of it was left "
                                      "behind: %2")
                           .arg(target, made.error().description));
    }
    aside.setAutoRemove(false);
    return {};
}

} // namespace ClubCreator
