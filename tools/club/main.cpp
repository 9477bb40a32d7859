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
        << "usage: moravel-club create DIR [--demo]\n"
           "       moravel-club upgrade DIR\n"
           "  create makes a new club directory with every database, the settings and the\n"
           "  DEMO operator; --demo adds sample members, staff, inventory and receivables\n"
           "  codes. upgrade brings an existing club's databases up to this program and\n"
           "  copies in the shipped files it lacks, never overwriting the club's own.\n";
    return 2;
}

int fail(const DbError &error) {
    QTextStream(stderr) << "moravel-club: " << error.description << '\n';
    return 1;
}

int create(const QString &directory, bool demo) {
    ClubCreator::Options options;
    options.demo = demo;
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
    if (arguments.size() != 2)
        return usage();
    if (arguments[0] == QLatin1String("create"))
        return create(arguments[1], demo);
    if (arguments[0] == QLatin1String("upgrade") && !demo)
        return upgrade(arguments[1]);
    return usage();
}
