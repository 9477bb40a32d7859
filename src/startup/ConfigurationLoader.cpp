#include "ConfigurationLoader.h"

#include "storage/ClubStorage.h"
#include "storage/Databases.h"
#include "storage/SchemaUpgrade.h"

#include <QSqlRecord>

namespace {

DbError missing(int number, const QString &what) {
    return {number, what + QStringLiteral("\nThe module cannot start without its settings. "
                                          "See system administrator.")};
}

QString text(const QSqlQuery &row, const char *field) {
    return row.value(QString::fromLatin1(field)).toString();
}

// A settings database that cannot be read (damaged, or not a database at
// all): the message names it, as the engine's reason alone does not.
DbError unreadable(const Databases &databases, const DbError &error) {
    if (error.description.contains(databases.place(QStringLiteral("config"))) ||
        error.description.contains(ClubStorage::describe(databases.settings())))
        return error;
    return missing(error.number,
                   QStringLiteral("The configuration database CONFIG.MDB (%1) "
                                  "cannot be read: %2")
                       .arg(databases.place(QStringLiteral("config")), error.description));
}

// Opens the first row of a settings table.
Result<QSqlQuery> firstRow(const Databases &databases, Database &db, const QString &table) {
    auto query = db.exec(QStringLiteral("select * from ") + table);
    if (!query) {
        if (query.error().number == ErrorNumber::TableMissing)
            return missing(
                ErrorNumber::TableMissing,
                QStringLiteral("The settings table \"%1\" is missing from CONFIG.MDB.").arg(table));
        return unreadable(databases, query.error());
    }
    if (!query->next())
        return missing(
            ErrorNumber::NoCurrentRecord,
            QStringLiteral("The settings table \"%1\" in CONFIG.MDB is empty.").arg(table));
    return query;
}

QString statusName(const QSqlQuery &row, int position) {
    const QVariant value = row.value(QStringLiteral("status%1").arg(position));
    if (value.isNull())
        return Configuration::defaultStatusName(position);
    return QString::number(position) + QLatin1Char('-') + value.toString();
}

} // namespace

Result<LoadedConfiguration> LoadConfiguration(Databases &databases) {
    // An empty or foreign file in its place would read as missing settings.
    if (Status known = SchemaUpgrade::recognise(databases, QStringLiteral("config")); !known)
        return known.error();
    auto db = databases.open(QStringLiteral("config"));
    if (!db) {
        if (db.error().number == ErrorNumber::FileMissing)
            return missing(
                ErrorNumber::FileMissing,
                QStringLiteral("The configuration database CONFIG.MDB is missing from\n%1")
                    .arg(databases.settings().engine == Engine::Postgres
                             ? ClubStorage::describe(databases.settings())
                             : databases.settings().clubDirectory));
        return unreadable(databases, db.error());
    }

    LoadedConfiguration loaded;
    Configuration &c = loaded.settings;
    {
        auto company = firstRow(databases, *db.value(), QStringLiteral("company"));
        if (!company)
            return company.error();
        c.compname = text(*company, "compname");
        c.compaddr1 = text(*company, "compaddr1");
        c.compaddr2 = text(*company, "compaddr2");
        c.compcity = text(*company, "compcity");
        c.compstate = text(*company, "compstate");
        c.compzip = text(*company, "compzip");
        c.compphone1 = text(*company, "compphone1");
        c.compphone2 = text(*company, "compphone2");
        c.compfax = text(*company, "compfax");
        c.compemail = text(*company, "compemail");
    }

    auto evmgr = firstRow(databases, *db.value(), QStringLiteral("evmgr"));
    if (!evmgr)
        return evmgr.error();
    for (int i = 0; i < 4; ++i) {
        const QString field = QStringLiteral("evaccess%1").arg(i);
        const QVariant value = evmgr->value(field);
        if (value.isNull())
            return missing(ErrorNumber::NoCurrentRecord,
                           QStringLiteral("The access level %1 in the settings table \"evmgr\" of "
                                          "CONFIG.MDB is empty.")
                               .arg(field));
        loaded.accessThresholds[i] = value.toInt();
    }
    c.DefaultClassCode = text(*evmgr, "ccode");
    c.DefaultBillingCode = text(*evmgr, "bcode");
    c.RangeFrom = evmgr->value(QStringLiteral("rangefrom")).toDouble();
    c.RangeTo = evmgr->value(QStringLiteral("rangeto")).toDouble();
    const QVariant from = evmgr->value(QStringLiteral("timefrom"));
    const QVariant to = evmgr->value(QStringLiteral("timeto"));
    c.DayStartTime = from.isNull() ? QStringLiteral("00:00") : from.toString();
    c.DayEndTime = to.isNull() ? QStringLiteral("23:45") : to.toString();
    for (int position = 1; position <= 5; ++position)
        c.StatusNames[position] = statusName(*evmgr, position);
    c.StatusNames[6] = Configuration::defaultStatusName(6);
    c.BillingMode = evmgr->value(QStringLiteral("billing")).toInt();
    return loaded;
}
