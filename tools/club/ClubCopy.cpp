#include "ClubCopy.h"

#include "ClubCreator.h"
#include "TableContents.h"
#include "calendar/Rooms.h"
#include "events/ChangeLog.h"
#include "storage/ClubFile.h"
#include "storage/ClubStorage.h"
#include "storage/Databases.h"
#include "storage/Schema.h"
#include "storage/SchemaBuilder.h"
#include "storage/SchemaUpgrade.h"
#include "storage/Transaction.h"
#include "values/Money.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>

namespace ClubCopy {

namespace {

using Schema::ColumnType;

const QString ReservTable = QStringLiteral("reserv");

DbError failure(const QString &text) {
    return {ErrorNumber::OpenFailed, text};
}

// An error with what was being done when it came.
DbError about(const QString &what, const DbError &error) {
    return {error.number, QStringLiteral("%1: %2").arg(what, error.description)};
}

QString tableName(const QString &database, const QString &table) {
    return database + QLatin1Char('.') + table;
}

QString markerPath(const QString &directory) {
    return QDir(directory).filePath(QString::fromLatin1(ClubStorage::IncompleteMarker));
}

// ---- Columns ---------------------------------------------------------------

// The pair of reserv columns the room editor adds for each room.
std::optional<Schema::Column> roomColumn(const QString &name) {
    static const QRegularExpression pattern(QStringLiteral("^(event|room)([0-9]{1,4})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(name);
    const int room = match.hasMatch() ? match.captured(2).toInt() : 0;
    if (room < 1)
        return std::nullopt;
    if (match.captured(1).compare(QLatin1String("event"), Qt::CaseInsensitive) == 0)
        return Schema::Column{EventColumn(room), ColumnType::Long, 0, QString()};
    return Schema::Column{RoomColumn(room), ColumnType::Text, 50, QString()};
}

// A column of the table as the schema, or for reserv the room editor, defines it.
std::optional<Schema::Column> knownColumn(const Schema::Table &table, const QString &name) {
    const int index = table.columnIndex(name);
    if (index >= 0)
        return table.columns.at(index);
    if (table.name == ReservTable)
        return roomColumn(name);
    return std::nullopt;
}

// ---- Opening both sides ----------------------------------------------------

// A database of a club, or null when the club has none of that name.
// PostgreSQL hands numeric columns back as doubles unless asked for their
// exact text.
Result<DatabasePtr> openDatabase(const Databases &club, const QString &name) {
    auto db = club.open(name);
    if (!db) {
        if (db.error().number == ErrorNumber::FileMissing)
            return DatabasePtr();
        return about(QStringLiteral("%1 of %2")
                         .arg(Databases::fileName(name), club.settings().clubDirectory),
                     db.error());
    }
    db.value()->handle().setNumericalPrecisionPolicy(QSql::HighPrecision);
    return db;
}

// TO's storage as its server file names it, read here because
// ClubStorage::load refuses a directory that has the marker, and a copy run
// again must be able to finish one that stopped halfway.
Result<StorageSettings> targetStorage(const QString &directory) {
    StorageSettings settings;
    const QString path = QDir(directory).filePath(QString::fromLatin1(ClubStorage::ServerFile));
    if (QFile::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
        auto server = ClubStorage::parseServer(QString::fromUtf8(file.readAll()));
        if (!server)
            return failure(QStringLiteral("%1: %2").arg(path, server.error().description));
        settings = *server;
    }
    settings.clubDirectory = directory;
    return settings;
}

// What a PostgreSQL server says about the database a club's settings reach:
// the database's identifier and the moment the server started. However the
// host is spelled (a name, an address, a socket), one database of one
// running server gives the same answer.
Result<QString> serverIdentity(const Databases &club) {
    auto db = club.openServer();
    if (!db)
        return db.error();
    auto identity = db.value()->exec(
        QStringLiteral("select (select oid from pg_database where datname = current_database()), "
                       "pg_postmaster_start_time()::text"));
    if (!identity)
        return identity.error();
    if (!identity->next())
        return failure(QStringLiteral("%1 did not say which database it is.")
                           .arg(ClubStorage::describe(club.settings())));
    return identity->value(0).toString() + QLatin1Char('@') + identity->value(1).toString();
}

// Whether two clubs keep their data in one place: one directory, or one
// database on one server. Copying a club onto itself would empty it.
Result<bool> samePlace(const Databases &from, const Databases &to) {
    const StorageSettings &a = from.settings();
    const StorageSettings &b = to.settings();
    const QString first = QFileInfo(a.clubDirectory).canonicalFilePath();
    if (!first.isEmpty() && first == QFileInfo(b.clubDirectory).canonicalFilePath())
        return true;
    if (a.engine != Engine::Postgres || b.engine != Engine::Postgres)
        return false;
    const auto source = serverIdentity(from);
    if (!source)
        return source.error();
    const auto target = serverIdentity(to);
    if (!target)
        return target.error();
    return *source == *target;
}

// ---- What to copy ----------------------------------------------------------

// One logical database with FROM's tables and FROM's columns. A database
// FROM lacks (the point-of-sale files before a club's first export) is
// copied as empty.
struct DatabasePlan {
    QString name;
    bool inSource = true;
    QList<Schema::Table> tables;
};

// The schema's tables, and the button tables of tills beyond the first
// (buttondef02, ...) that the point-of-sale side makes in the first's shape.
QList<Schema::Table> sourceTables(Database &from) {
    QList<Schema::Table> tables = Schema::tablesOf(from.name());
    const Schema::Table *first = Schema::findTable(from.name(), QStringLiteral("buttondef01"));
    for (int till = 2; first && till <= 99; ++till) {
        Schema::Table more = *first;
        more.name = QStringLiteral("buttondef%1").arg(till, 2, 10, QLatin1Char('0'));
        if (SchemaBuilder::tableExists(from, more.name))
            tables << more;
    }
    return tables;
}

Result<DatabasePlan> planDatabase(const Databases &from, const QString &name) {
    DatabasePlan plan{name, true, {}};
    auto db = openDatabase(from, name);
    if (!db)
        return db.error();
    if (!*db) {
        plan.inSource = false;
        plan.tables = Schema::tablesOf(name);
        return plan;
    }
    Database &source = **db;
    const QString directory = from.settings().clubDirectory;
    if (Status current = SchemaUpgrade::checkCurrent(source, directory); !current)
        return current.error();
    for (Schema::Table table : sourceTables(source)) {
        auto names = SchemaBuilder::columnNames(source, table.name);
        if (!names)
            return about(QStringLiteral("%1 of %2").arg(tableName(name, table.name), directory),
                         names.error());
        QList<Schema::Column> columns;
        for (const QString &column : *names) {
            const auto known =
                SqlDialect::isSafeIdentifier(column) ? knownColumn(table, column) : std::nullopt;
            if (!known)
                return failure(QStringLiteral("%1 of %2 has a column \"%3\" this program does not "
                                              "know; nothing was copied.")
                                   .arg(tableName(name, table.name), directory, column));
            columns << *known;
        }
        table.columns = columns;
        plan.tables << table;
    }
    return plan;
}

// ---- Comparing -------------------------------------------------------------

// The columns to compare: the plan's, then any either side has beyond them
// (a target with more rooms than FROM: their cells must be empty).
Result<QList<Schema::Column>> comparedColumns(Database *a, Database &b,
                                              const Schema::Table &table) {
    QList<Schema::Column> columns = table.columns;
    for (Database *db : {a, &b}) {
        if (!db)
            continue;
        auto names = SchemaBuilder::columnNames(*db, table.name);
        if (!names)
            return names.error();
        for (const QString &name : *names) {
            const bool listed =
                std::any_of(columns.begin(), columns.end(), [&](const Schema::Column &column) {
                    return column.name.compare(name, Qt::CaseInsensitive) == 0;
                });
            if (!listed)
                columns << knownColumn(table, name)
                               .value_or(Schema::Column{name, ColumnType::Text, 0, QString()});
        }
    }
    return columns;
}

// How table b differs from table a (a null `a` holds no rows), in words;
// empty when it does not.
Result<QString> compareTable(Database *a, Database &b, const Schema::Table &table) {
    auto columns = comparedColumns(a, b, table);
    if (!columns)
        return columns.error();
    TableContents::Contents first;
    first.columnSums.fill(0, columns->size());
    if (a) {
        auto read = TableContents::read(*a, table.name, *columns);
        if (!read)
            return read.error();
        first = *read;
    }
    auto second = TableContents::read(b, table.name, *columns);
    if (!second)
        return second.error();
    return TableContents::difference(first, *second, *columns);
}

// ---- Checking the target ---------------------------------------------------

// A club just made by the creator, to tell a club's data from what a new
// club has: its settings rows, the DEMO operator, the report headings and
// the column descriptions. An administrator makes such a club to receive a
// copy, so it is taken without --replace.
class NewClub {
public:
    Result<DatabasePtr> open(const QString &name) {
        if (!m_databases) {
            m_directory = std::make_unique<QTemporaryDir>();
            if (!m_directory->isValid())
                return failure(QStringLiteral("No temporary folder: ") +
                               m_directory->errorString());
            StorageSettings settings;
            settings.clubDirectory = m_directory->filePath(QStringLiteral("club"));
            if (Status made = ClubCreator::create(settings.clubDirectory, {}); !made)
                return made.error();
            m_databases = std::make_unique<Databases>(settings);
        }
        return openDatabase(*m_databases, name);
    }

private:
    std::unique_ptr<QTemporaryDir> m_directory;
    std::unique_ptr<Databases> m_databases;
};

// The first table of the target database that holds rows a new club does
// not have ("evnt.eventinfo has 31 rows"); empty when there is none.
Result<QString> clubData(Database &target, const DatabasePlan &plan, NewClub &newClub) {
    DatabasePtr fresh;
    for (const Schema::Table &table : plan.tables) {
        if (!SchemaBuilder::tableExists(target, table.name))
            continue;
        auto count = target.exec(QStringLiteral("select count(*) from ") + table.name);
        if (!count)
            return count.error();
        const qint64 rows = count->next() ? count->value(0).toLongLong() : 0;
        if (rows == 0)
            continue;
        if (!fresh) {
            auto opened = newClub.open(plan.name);
            if (!opened)
                return opened.error();
            fresh = std::move(*opened);
        }
        QString differs = QStringLiteral("no such table in a new club");
        if (fresh && SchemaBuilder::tableExists(*fresh, table.name)) {
            auto compared = compareTable(fresh.get(), target, table);
            if (!compared)
                return compared.error();
            differs = *compared;
        }
        if (!differs.isEmpty())
            return QStringLiteral("%1 has %2 rows").arg(tableName(plan.name, table.name)).arg(rows);
    }
    return QString();
}

// Before anything is written: every database the target has must be at
// this program's schema version, and without --replace hold nothing but
// what a new club has.
Status checkTarget(const Databases &to, const QList<DatabasePlan> &plans, bool replace) {
    NewClub newClub;
    const QString directory = to.settings().clubDirectory;
    for (const DatabasePlan &plan : plans) {
        auto db = openDatabase(to, plan.name);
        if (!db)
            return db.status();
        if (!*db)
            continue;
        if (Status current = SchemaUpgrade::checkCurrent(**db, directory); !current)
            return current;
        if (replace)
            continue;
        auto data = clubData(**db, plan, newClub);
        if (!data)
            return about(Databases::fileName(plan.name) + QStringLiteral(" of ") + directory,
                         data.error());
        if (!data->isEmpty())
            return failure(QStringLiteral("%1 already holds a club's data (%2); nothing was "
                                          "changed. Give --replace to overwrite it.")
                               .arg(directory, *data));
    }
    return {};
}

// ---- Copying ---------------------------------------------------------------

class Report {
public:
    explicit Report(const Progress &progress)
        : m_progress(progress) {}
    void add(const QString &line) {
        m_lines << line;
        if (m_progress)
            m_progress(line);
    }
    const QStringList &lines() const { return m_lines; }

private:
    const Progress &m_progress;
    QStringList m_lines;
};

// Inserts rows a batch at a time: one statement per batch keeps the round
// trips to a server few.
class BatchInsert {
public:
    BatchInsert(Database &db, const Schema::Table &table)
        : m_db(db)
        , m_table(table)
        , m_batchRows(
              std::max<qsizetype>(1, MaxValues / std::max<qsizetype>(1, table.columns.size()))) {}

    Status add(const QVariantList &row) {
        m_pending << row;
        if (++m_rows < m_batchRows)
            return {};
        return flush(m_full);
    }
    Status finish() {
        std::optional<QSqlQuery> remainder;
        return m_rows == 0 ? Status() : flush(remainder);
    }

private:
    static constexpr qsizetype MaxValues = 500; // far below either engine's limit

    Status flush(std::optional<QSqlQuery> &statement) {
        if (!statement) {
            QStringList names;
            for (const Schema::Column &column : m_table.columns)
                names << column.name;
            const QString row = QStringLiteral("(%1)").arg(
                QStringList(m_table.columns.size(), QStringLiteral("?")).join(QLatin1String(", ")));
            auto prepared =
                m_db.prepare(QStringLiteral("insert into %1 (%2) values %3")
                                 .arg(m_table.name, names.join(QLatin1String(", ")),
                                      QStringList(m_rows, row).join(QLatin1String(", "))));
            if (!prepared)
                return prepared.status();
            statement = std::move(*prepared);
        }
        for (qsizetype i = 0; i < m_pending.size(); ++i)
            statement->bindValue(int(i), m_pending.at(i));
        m_pending.clear();
        m_rows = 0;
        return m_db.exec(*statement);
    }

    Database &m_db;
    const Schema::Table &m_table;
    const qsizetype m_batchRows;
    QVariantList m_pending;
    qsizetype m_rows = 0;
    std::optional<QSqlQuery> m_full;
};

// A value as it is written: null stays null, money goes as its exact
// decimal text, everything else as it was read.
QVariant bound(const QVariant &value, ColumnType type) {
    if (type == ColumnType::Currency && value.isValid()) {
        if (const auto money = Money::fromVariant(value))
            return money->toVariant();
    }
    return value;
}

// Gives the target table FROM's columns. A missing table is made; a room
// FROM has and the target lacks gets its pair of reserv columns, in FROM's
// order so that room n stays at columns 2n and 2n+1. Beyond that the
// target's columns must be FROM's, in the same places, as far as both go.
Status matchColumns(Database &to, const Schema::Table &table) {
    if (!SchemaBuilder::tableExists(to, table.name))
        return SchemaBuilder::createTable(to, table);
    auto names = SchemaBuilder::columnNames(to, table.name);
    if (!names)
        return names.status();
    const qsizetype shared = std::min(names->size(), table.columns.size());
    for (qsizetype i = 0; i < shared; ++i) {
        if (names->at(i).compare(table.columns.at(i).name, Qt::CaseInsensitive) != 0)
            return failure(QStringLiteral("column %1 is %2 in TO but %3 in FROM.")
                               .arg(i + 1)
                               .arg(names->at(i), table.columns.at(i).name));
    }
    for (qsizetype i = names->size(); i < table.columns.size(); ++i) {
        const Schema::Column &column = table.columns.at(i);
        if (table.name != ReservTable || !roomColumn(column.name))
            return failure(QStringLiteral("TO lacks the column %1.").arg(column.name));
        if (Status added = SchemaBuilder::addColumn(to, table.name, column); !added)
            return added;
    }
    return {};
}

// FROM's rows in place of the target's, in one transaction.
Result<qint64> copyRows(Database *from, Database &to, const Schema::Table &table) {
    Transaction transaction(to);
    if (!transaction.begun())
        return transaction.begun().error();
    if (Status cleared = to.execute(QStringLiteral("delete from ") + table.name); !cleared)
        return cleared.error();
    qint64 rows = 0;
    if (from) {
        QStringList names;
        for (const Schema::Column &column : table.columns)
            names << column.name;
        auto source = from->exec(
            QStringLiteral("select %1 from %2").arg(names.join(QLatin1String(", ")), table.name));
        if (!source)
            return source.error();
        BatchInsert insert(to, table);
        while (source->next()) {
            QVariantList row;
            for (int i = 0; i < int(table.columns.size()); ++i)
                row << bound(source->isNull(i) ? QVariant() : source->value(i),
                             table.columns.at(i).type);
            if (Status added = insert.add(row); !added)
                return added.error();
            ++rows;
        }
        if (source->lastError().isValid())
            return from->error(source->lastError());
        if (Status done = insert.finish(); !done)
            return done.error();
    }
    if (Status committed = transaction.commit(); !committed)
        return committed.error();
    return rows;
}

Result<qint64> copyDatabase(const Databases &from, const Databases &to, const DatabasePlan &plan,
                            Report &report) {
    auto source = plan.inSource ? openDatabase(from, plan.name) : Result<DatabasePtr>(nullptr);
    if (!source)
        return source.error();
    auto target = openDatabase(to, plan.name);
    if (target && !*target)
        target = to.create(plan.name);
    if (!target)
        return about(Databases::fileName(plan.name) + QStringLiteral(" of ") +
                         to.settings().clubDirectory,
                     target.error());
    qint64 total = 0;
    for (const Schema::Table &table : plan.tables) {
        const QString name = tableName(plan.name, table.name);
        if (Status matched = matchColumns(**target, table); !matched)
            return about(name, matched.error());
        auto rows = copyRows(source->get(), **target, table);
        if (!rows)
            return about(QStringLiteral("copying ") + name, rows.error());
        total += *rows;
        report.add(QStringLiteral("%1: %2 %3")
                       .arg(name)
                       .arg(*rows)
                       .arg(*rows == 1 ? QStringLiteral("row") : QStringLiteral("rows")));
    }
    return total;
}

// Reads every table back from both sides; the first difference is named.
Status verify(const Databases &from, const Databases &to, const QList<DatabasePlan> &plans) {
    for (const DatabasePlan &plan : plans) {
        auto source = openDatabase(from, plan.name);
        if (!source)
            return source.status();
        auto target = openDatabase(to, plan.name);
        if (!target)
            return target.status();
        if (!*target)
            return failure(QStringLiteral("%1 of %2 has gone.")
                               .arg(Databases::fileName(plan.name), to.settings().clubDirectory));
        for (const Schema::Table &table : plan.tables) {
            const QString name = tableName(plan.name, table.name);
            auto differs = compareTable(source->get(), **target, table);
            if (!differs)
                return about(QStringLiteral("checking ") + name, differs.error());
            if (!differs->isEmpty())
                return failure(
                    QStringLiteral("%1 does not match after the copy: %2.").arg(name, *differs));
        }
    }
    return {};
}

// ---- The club's files ------------------------------------------------------

// Whether a file of FROM is one of the club's own files to bring along. The
// databases travel as rows (their journals with them); the server file and
// the marker belong to each directory, lock files to the processes holding
// them.
bool isClubFile(const QString &relativePath) {
    const QString name = relativePath.toLower();
    if (name == QLatin1String(ClubStorage::ServerFile) ||
        name == QLatin1String(ClubStorage::IncompleteMarker) ||
        name.endsWith(QLatin1String(".lck")))
        return false;
    for (const QString &database : Schema::databases()) {
        const QString file = Databases::fileName(database);
        if (name == file || name.startsWith(file + QLatin1Char('-')))
            return false;
    }
    return true;
}

bool sameContent(const QString &a, const QString &b) {
    QFile first(a);
    QFile second(b);
    return first.size() == second.size() && first.open(QIODevice::ReadOnly) &&
           second.open(QIODevice::ReadOnly) && first.readAll() == second.readAll();
}

// The event counter, carried by carryCounter rather than copied.
const QString CounterFile = QStringLiteral("evntsched.dat");

bool named(const QString &relativePath, const QString &name) {
    return relativePath.compare(name, Qt::CaseInsensitive) == 0;
}

// Copies the club files the target lacks (whatever the case of their names
// there); one it has is kept, and named when it differs from FROM's.
Result<QStringList> copyFiles(const QString &from, const QString &to, bool replace) {
    QStringList done;
    const QDir source(from);
    QDirIterator files(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (path.startsWith(to + QLatin1Char('/')))
            continue; // the target kept inside FROM
        const QString name = source.relativeFilePath(path);
        if (!isClubFile(name))
            continue;
        if (named(name, CounterFile))
            continue;
        const QString kept = ClubFile::find(to, name);
        if (!kept.isEmpty() && sameContent(path, kept))
            continue;
        // The change log belongs to the events: FROM's replaces TO's with them.
        if (!kept.isEmpty() && !(replace && named(name, QLatin1String(ChangeLog::FileName)))) {
            done << QStringLiteral("kept %1 of TO; FROM's differs").arg(name);
            continue;
        }
        const QString target = kept.isEmpty() ? QDir(to).filePath(name) : kept;
        if (!QDir().mkpath(QFileInfo(target).path()))
            return failure(
                QStringLiteral("Cannot create the directory %1.").arg(QFileInfo(target).path()));
        if (const QString failed = ClubFile::copy(path, target); !failed.isEmpty())
            return failure(QStringLiteral("%1 could not be written: %2").arg(target, failed));
        done << (kept.isEmpty() ? QStringLiteral("copied %1") : QStringLiteral("replaced %1"))
                    .arg(name);
    }
    done.sort();
    return done;
}

// TO's event counter goes on from FROM's: the higher of FROM's counter file
// and its highest event number, so that no number FROM issued (even to an
// event since deleted) is issued again in TO.
Result<QString> carryCounter(const Databases &fromClub, const QString &from, const QString &to) {
    qint64 last = 0;
    if (const QString counter = ClubFile::find(from, CounterFile); !counter.isEmpty()) {
        QFile file(counter);
        if (!file.open(QIODevice::ReadOnly))
            return failure(QStringLiteral("%1: %2").arg(counter, file.errorString()));
        last = std::max(last, QString::fromLatin1(file.readAll()).trimmed().toLongLong());
    }
    auto evnt = fromClub.open(QStringLiteral("evnt"));
    if (!evnt)
        return about(QStringLiteral("The events of %1").arg(from), evnt.error());
    auto highest = evnt.value()->exec(QStringLiteral("select max(eventnum) from eventinfo"));
    if (!highest)
        return about(QStringLiteral("The events of %1").arg(from), highest.error());
    if (highest->next())
        last = std::max(last, highest->value(0).toLongLong());
    if (last <= 0)
        return QString();
    QString target = ClubFile::find(to, CounterFile);
    if (target.isEmpty())
        target = QDir(to).filePath(CounterFile);
    if (const QString failed = ClubFile::replace(target, QByteArray::number(last) + '\n');
        !failed.isEmpty())
        return failure(QStringLiteral("%1 could not be written: %2").arg(target, failed));
    return QStringLiteral("the event counter goes on after %1").arg(last);
}

Status writeMarker(const QString &from, const QString &to) {
    if (!QDir().mkpath(to))
        return failure(QStringLiteral("Cannot create the directory %1.").arg(to));
    QSaveFile file(markerPath(to));
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        file.write(QStringLiteral("moravel-club copy is writing this club's data here from %1, or "
                                  "stopped before it had checked the copy. No workstation opens "
                                  "the club while this file is here; run \"moravel-club copy %1 "
                                  "%2 --replace\" to copy it again.\n")
                       .arg(from, to)
                       .toUtf8());
        if (file.commit())
            return {};
    }
    return failure(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
}

} // namespace

Result<QStringList> copy(const QString &from, const QString &to, bool replace,
                         const Progress &progress) {
    const QString source = QDir(from).absolutePath();
    const QString target = QDir(to).absolutePath();
    if (!QFileInfo(source).isDir())
        return failure(QStringLiteral("%1 is not a directory.").arg(from));
    if (QFileInfo::exists(target) && !QFileInfo(target).isDir())
        return failure(QStringLiteral("%1 is not a directory.").arg(to));
    auto fromStorage = ClubStorage::load(source);
    if (!fromStorage)
        return fromStorage.error();
    fromStorage->readOnly = true; // nothing here writes to FROM, and the engine makes sure
    auto toStorage = targetStorage(target);
    if (!toStorage)
        return toStorage.error();
    const Databases fromClub(*fromStorage);
    const Databases toClub(*toStorage);
    const auto same = samePlace(fromClub, toClub);
    if (!same)
        return same.error();
    if (*same)
        return failure(QStringLiteral("%1 and %2 keep their data in the same place; nothing was "
                                      "changed.")
                           .arg(from, to));
    if (Status known = SchemaUpgrade::recognise(fromClub); !known)
        return known.error();

    QList<DatabasePlan> plans;
    for (const QString &name : Schema::databases()) {
        auto plan = planDatabase(fromClub, name);
        if (!plan)
            return plan.error();
        plans << *plan;
    }
    if (Status ready = checkTarget(toClub, plans, replace); !ready)
        return ready.error();

    // From here on the target is marked until the copy has been checked.
    if (Status marked = writeMarker(source, target); !marked)
        return marked.error();
    const auto incomplete = [&](const DbError &error) {
        return DbError{error.number,
                       QStringLiteral("%1 (%2 stays marked incomplete; copy again with --replace)")
                           .arg(error.description, target)};
    };
    Report report(progress);
    qint64 total = 0;
    for (const DatabasePlan &plan : plans) {
        auto copied = copyDatabase(fromClub, toClub, plan, report);
        if (!copied)
            return incomplete(copied.error());
        total += *copied;
    }
    auto files = copyFiles(source, target, replace);
    if (!files)
        return incomplete(files.error());
    for (const QString &line : *files)
        report.add(line);
    auto counter = carryCounter(fromClub, source, target);
    if (!counter)
        return incomplete(counter.error());
    if (!counter->isEmpty())
        report.add(*counter);
    if (Status same = verify(fromClub, toClub, plans); !same)
        return incomplete(same.error());
    if (!QFile::remove(markerPath(target)))
        return failure(QStringLiteral("The copy matches, but %1 could not be removed.")
                           .arg(markerPath(target)));
    report.add(QStringLiteral("Copied %1 rows; the copy matches.").arg(total));
    return report.lines();
}

} // namespace ClubCopy
