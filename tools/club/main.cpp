#include "ClubCopy.h"
#include "ClubCreator.h"
#include "SilentPorts.h"
#include "foundation/ClubStorage.h"
#include "foundation/Databases.h"
#include "foundation/Module.h"
#include "foundation/SystemClock.h"
#include "reports/CalendarExport.h"
#include "startup/ClubUpgrade.h"
#include "startup/ConfigurationLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

int usage() {
    QTextStream(stderr)
        << "usage: moravel-club create DIR [--demo] [--postgres \"host=H port=P database=D "
           "user=U\"]\n"
           "       moravel-club upgrade DIR\n"
           "       moravel-club copy FROM TO [--replace]\n"
           "       moravel-club export-ics DIR FROM TO [ROOM]\n"
           "  create makes a new club directory with every database, the settings and the\n"
           "  DEMO operator; --demo adds sample members, staff, inventory and receivables\n"
           "  codes. With --postgres the databases are schemas of that PostgreSQL database\n"
           "  (which must exist), named in the club's postgres.ini; the password comes\n"
           "  from PGPASSWORD or ~/.pgpass. upgrade brings an existing club's databases up\n"
           "  to this program and copies in the shipped files it lacks, never overwriting\n"
           "  the club's own.\n"
           "  copy copies a club's data into the club directory TO, each side on its own\n"
           "  engine: SQLite files, or the PostgreSQL database TO's postgres.ini names (make\n"
           "  TO with create --postgres, or with just that file). Every row of every table\n"
           "  is copied and then checked against FROM; until then TO is marked incomplete\n"
           "  and no workstation opens it. The club's other files are copied where TO lacks\n"
           "  them. A TO holding more than a new club is refused unless --replace is given.\n"
           "  Run it while no workstation has FROM open.\n"
           "  export-ics writes the booked events (status 2 to 5) from FROM to TO\n"
           "  (YYYYMMDD), of room number ROOM or of every room, to the standard output as\n"
           "  an iCalendar file, for calendar programs to show.\n";
    return 2;
}

int fail(const DbError &error) {
    QTextStream(stderr) << "moravel-club: " << error.description << '\n';
    return 1;
}

int create(const QString &directory, bool demo, const QString &server) {
    ClubCreator::Options options;
    options.demo = demo;
    if (!server.isEmpty()) {
        auto storage = ClubStorage::parseServer(server);
        if (!storage)
            return fail(storage.error());
        options.storage = *storage;
    }
    options.shareDirectory = ClubUpgrade::shareDirectory();
    if (const Status made = ClubCreator::create(directory, options); !made)
        return fail(made.error());
    QTextStream(stdout) << "Created " << QDir(directory).absolutePath()
                        << (demo ? " with demo data" : "") << '\n';
    return 0;
}

int upgrade(const QString &directory) {
    if (!QFileInfo(directory).isDir())
        return fail({ErrorNumber::FileMissing, directory + QStringLiteral(" is not a directory.")});
    auto club = ClubStorage::load(QDir(directory).absolutePath());
    if (!club)
        return fail(club.error());
    const StorageSettings settings = *club;
    Databases databases(settings);
    auto done = ClubUpgrade::run(databases, ClubUpgrade::shareDirectory());
    if (!done)
        return fail(done.error());
    QTextStream out(stdout);
    for (const QString &line : *done)
        out << line << '\n';
    out << settings.clubDirectory << " is up to date.\n";
    return 0;
}

int copy(const QString &from, const QString &to, bool replace) {
    QTextStream out(stdout);
    const auto copied = ClubCopy::copy(from, to, replace, [&](const QString &line) {
        out << line << '\n';
        out.flush();
    });
    return copied ? 0 : fail(copied.error());
}

// YYYYMMDD, a real date; none otherwise.
std::optional<int> dateArgument(const QString &text) {
    const QDate date = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
    if (text.size() != 8 || !date.isValid())
        return std::nullopt;
    return text.toInt();
}

int exportCalendar(const QStringList &arguments) {
    const auto from = dateArgument(arguments.value(2));
    const auto to = dateArgument(arguments.value(3));
    bool roomNumber = true;
    const int room = arguments.size() > 4 ? arguments[4].toInt(&roomNumber) : 0;
    if (!from || !to || !roomNumber || room < 0 || room > 20)
        return usage();
    auto club = ClubStorage::load(QDir(arguments[1]).absolutePath());
    if (!club)
        return fail(club.error());
    SilentPorts ports;
    SystemClock clock; // the export's time stamp
    Module module(*club, Ports{ports, ports, ports, clock, ports, ports, ports});
    auto loaded = LoadConfiguration(module.databases);
    if (!loaded)
        return fail(loaded.error());
    module.config = loaded->settings;
    auto calendar =
        CalendarExport(module).calendar({std::min(*from, *to), std::max(*from, *to), room});
    if (!calendar)
        return fail(calendar.error());
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(calendar->content) < 0)
        return fail({ErrorNumber::FileAccess, out.errorString()});
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool demo = arguments.removeAll(QStringLiteral("--demo")) > 0;
    const bool replace = arguments.removeAll(QStringLiteral("--replace")) > 0;
    QString server;
    const qsizetype postgres = arguments.indexOf(QStringLiteral("--postgres"));
    if (postgres >= 0) {
        if (postgres + 1 >= arguments.size())
            return usage();
        server = arguments.takeAt(postgres + 1);
        arguments.removeAt(postgres);
    }
    if (!arguments.isEmpty() && arguments[0] == QLatin1String("copy")) {
        if (arguments.size() != 3 || demo || !server.isEmpty())
            return usage();
        return copy(arguments[1], arguments[2], replace);
    }
    if (!arguments.isEmpty() && arguments[0] == QLatin1String("export-ics")) {
        if (arguments.size() < 4 || arguments.size() > 5 || demo || replace || !server.isEmpty())
            return usage();
        return exportCalendar(arguments);
    }
    if (arguments.size() != 2 || replace)
        return usage();
    if (arguments[0] == QLatin1String("create"))
        return create(arguments[1], demo, server);
    if (!server.isEmpty())
        return usage();
    if (arguments[0] == QLatin1String("upgrade") && !demo)
        return upgrade(arguments[1]);
    return usage();
}
