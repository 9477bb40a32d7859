#include "ClubUpgrade.h"

#include "foundation/ClubFile.h"
#include "foundation/Databases.h"
#include "foundation/SchemaUpgrade.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace ClubUpgrade {

QString shareDirectory() {
    // Named by hand, it wins even when missing: a wrong name must not quietly
    // fall back to another copy of the files.
    const QString named = qEnvironmentVariable("MORAVEL_SHARE_DIR");
    if (!named.isEmpty())
        return QDir::cleanPath(QDir(named).absoluteFilePath(QStringLiteral("club")));
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .filePath(QStringLiteral("../share/moravel/club"));
    if (QFileInfo(installed).isDir())
        return QDir::cleanPath(installed);
    return QStringLiteral(MORAVEL_SOURCE_SHARE_DIR "/club");
}

Result<QStringList> copyMissingFiles(const QString &from, const QString &to) {
    QStringList copied;
    if (from.isEmpty() || !QFileInfo(from).isDir())
        return copied;
    const QDir source(from);
    QDirIterator files(from, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QString name = source.relativeFilePath(path);
        if (ClubFile::exists(to, name))
            continue;
        const QString target = QDir(to).filePath(name);
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(path, target))
            return DbError{
                ErrorNumber::ReadOnly,
                QStringLiteral("%1 could not be copied into the club directory.").arg(name)};
        copied << name;
    }
    copied.sort();
    return copied;
}

Result<QStringList> run(Databases &databases, const QString &shareDirectory) {
    auto upgraded = SchemaUpgrade::run(databases);
    if (!upgraded)
        return upgraded;
    auto copied = copyMissingFiles(shareDirectory, databases.settings().clubDirectory);
    if (!copied)
        return copied;
    QStringList done = *upgraded;
    for (const QString &name : *copied)
        done << QStringLiteral("copied %1").arg(name);
    return done;
}

} // namespace ClubUpgrade
