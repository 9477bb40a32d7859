#include "ClubCreator.h"
#include "foundation/ClubStorage.h"
#include "foundation/Databases.h"
#include "startup/ClubUpgrade.h"

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
           "  create makes a new club directory with every database, the settings and the\n"
           "  DEMO operator; --demo adds sample members, staff, inventory and receivables\n"
           "  codes. With --postgres the databases are schemas of that PostgreSQL database\n"
           "  (which must exist), named in the club's postgres.ini; the password comes\n"
           "  from PGPASSWORD or ~/.pgpass. upgrade brings an existing club's databases up\n"
           "  to this program and copies in the shipped files it lacks, never overwriting\n"
           "  the club's own.\n";
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

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool demo = arguments.removeAll(QStringLiteral("--demo")) > 0;
    QString server;
    const qsizetype postgres = arguments.indexOf(QStringLiteral("--postgres"));
    if (postgres >= 0) {
        if (postgres + 1 >= arguments.size())
            return usage();
        server = arguments.takeAt(postgres + 1);
        arguments.removeAt(postgres);
    }
    if (arguments.size() != 2)
        return usage();
    if (arguments[0] == QLatin1String("create"))
        return create(arguments[1], demo, server);
    if (!server.isEmpty())
        return usage();
    if (arguments[0] == QLatin1String("upgrade") && !demo)
        return upgrade(arguments[1]);
    return usage();
}
