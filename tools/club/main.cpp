#include "ClubCreator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

int usage() {
    QTextStream(stderr)
        << "usage: moravel-club create DIR [--demo]\n"
           "  Makes a new club directory with every database, the settings and the DEMO\n"
           "  operator; --demo adds sample members, staff, inventory and receivables codes.\n";
    return 2;
}

// The shipped files sit in share/club beside the build's source, or in
// ../share/moravel/club relative to an installed program.
QString shareDirectory() {
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .filePath(QStringLiteral("../share/moravel/club"));
    if (QFileInfo(installed).isDir())
        return installed;
    return QStringLiteral(MORAVEL_SOURCE_SHARE_DIR "/club");
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool demo = arguments.removeAll(QStringLiteral("--demo")) > 0;
    if (arguments.size() != 2 || arguments[0] != QLatin1String("create"))
        return usage();

    ClubCreator::Options options;
    options.demo = demo;
    options.shareDirectory = shareDirectory();
    const Status made = ClubCreator::create(arguments[1], options);
    if (!made) {
        QTextStream(stderr) << "moravel-club: " << made.error().description << '\n';
        return 1;
    }
    QTextStream(stdout) << "Created " << QDir(arguments[1]).absolutePath()
                        << (demo ? " with demo data" : "") << '\n';
    return 0;
}
