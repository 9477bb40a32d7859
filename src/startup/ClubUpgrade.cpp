#include "ClubUpgrade.h"

#include "ports/Messages.h"
#include "session/ClubSettings.h"
#include "storage/ClubFile.h"
#include "storage/Databases.h"
#include "storage/Schema.h"
#include "storage/SchemaUpgrade.h"
#include "storage/SharedLog.h"
#include "storage/Transaction.h"

#include <QCoreApplication>
#include <QCryptographicHash>
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

namespace {

// Every version of every file the program has shipped, by name: the SHA-256
// of each, from ".shipped.sha256" beside the shipped files.
QMultiHash<QString, QByteArray> shippedVersions(const QString &from) {
    QMultiHash<QString, QByteArray> versions;
    QFile list(QDir(from).filePath(QString::fromLatin1(ShippedChecksums)));
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
        return versions;
    while (!list.atEnd()) {
        const QByteArray line = list.readLine().trimmed();
        const qsizetype gap = line.indexOf("  ");
        if (gap == 64)
            versions.insert(QString::fromUtf8(line.mid(gap + 2)).toLower(), line.left(gap));
    }
    return versions;
}

QByteArray checksum(const QString &path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArray();
    return hash.result().toHex();
}

} // namespace

Result<QStringList> copyMissingFiles(const QString &from, const QString &to) {
    QStringList done;
    if (from.isEmpty() || !QFileInfo(from).isDir())
        return done;
    const QDir source(from);
    const QMultiHash<QString, QByteArray> shipped = shippedVersions(from);
    QDirIterator files(from, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QString name = source.relativeFilePath(path);
        QString target = ClubFile::find(to, name);
        QString line = QStringLiteral("copied %1").arg(name);
        if (!target.isEmpty()) {
            // A club's file is replaced only when it is a version the
            // program shipped, which the club never edited.
            const QByteArray current = checksum(target);
            if (current == checksum(path))
                continue;
            if (!shipped.contains(name.toLower(), current)) {
                done << QStringLiteral("kept %1, which the club edited").arg(name);
                continue;
            }
            line = QStringLiteral("updated %1").arg(name);
        } else {
            target = QDir(to).filePath(name);
        }
        const QString failed = QDir().mkpath(QFileInfo(target).path())
                                   ? ClubFile::copy(path, target)
                                   : QStringLiteral("the folder cannot be made");
        if (!failed.isEmpty())
            return DbError{ErrorNumber::ReadOnly,
                           QStringLiteral("%1 could not be copied into the club directory: %2")
                               .arg(name, failed)};
        done << line;
    }
    done.sort();
    return done;
}

namespace {

// One line in the club's admin log, as the suite's other programs write it;
// a line that cannot be written is said in `text`.
void logAdministration(Databases &databases, const QDateTime &now, const QString &user,
                       QString &text) {
    SharedLog log(databases.clubPath(QString::fromLatin1(Messages::AdminLogName)));
    if (!log.append({Messages::adminLogLine(now, user, QStringLiteral("moravel-club"), text)}))
        text += QStringLiteral(" (The admin log could not be written.)");
}

// Every time the club shows or exports is its own zone's, so a club
// without one takes the upgrading workstation's, once, and says so.
Result<QString> giveTimeZone(Databases &databases, const QDateTime &now, const QString &user) {
    if (!databases.exists(QStringLiteral("evnt")))
        return QString(); // reported where it is needed, and never made here
    auto evnt = databases.open(QStringLiteral("evnt"));
    if (!evnt)
        return evnt.error();
    Transaction transaction(**evnt);
    if (!transaction.begun())
        return transaction.begun().error();
    auto zone = ClubSettings::writeDefault(**evnt, ClubSettings::TimeZone);
    if (!zone)
        return zone;
    if (Status committed = transaction.commit(); !committed)
        return committed.error();
    if (zone->isEmpty())
        return QString();
    QString done =
        QStringLiteral("The club had no time zone; it now has this workstation's, %1.").arg(*zone);
    logAdministration(databases, now, user, done);
    return done;
}

} // namespace

Result<QStringList> run(Databases &databases, const QString &shareDirectory, const QDateTime &now,
                        const QString &user) {
    auto upgraded = SchemaUpgrade::run(databases);
    if (!upgraded)
        return upgraded;
    auto zone = giveTimeZone(databases, now, user);
    if (!zone)
        return zone.error();
    if (!zone->isEmpty())
        *upgraded << *zone;
    auto copied = copyMissingFiles(shareDirectory, databases.settings().clubDirectory);
    if (!copied)
        return copied;
    QStringList done = *upgraded;
    done << *copied;
    return done;
}

namespace {

// Moves the unrecognised database out of the way under a dated name: the
// file (with a journal SQLite would pair with it), or the schema.
Result<QString> moveAside(Databases &databases, const QString &name, const QDateTime &now) {
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (databases.isFile(name)) {
        const QString path = databases.clubPath(Databases::fileName(name));
        const QString aside = path + QStringLiteral(".unrecognised-") + stamp;
        if (QFileInfo::exists(aside) || !QFile::rename(path, aside))
            return DbError{ErrorNumber::FileAccess,
                           QStringLiteral("%1 could not be renamed to %2; nothing was changed.")
                               .arg(path, aside)};
        const QString journal = path + QStringLiteral("-journal");
        if (QFileInfo::exists(journal))
            QFile::rename(journal, aside + QStringLiteral("-journal"));
        return QFileInfo(aside).fileName();
    }
    auto server = databases.open(name);
    if (!server)
        return server.error();
    const QString aside =
        name + QStringLiteral("_unrecognised_") + QString(stamp).replace('-', '_');
    if (Status renamed = server.value()->execute(
            QStringLiteral("alter schema \"%1\" rename to \"%2\"").arg(name, aside));
        !renamed)
        return renamed.error();
    return QStringLiteral("schema ") + aside;
}

} // namespace

Result<QString> recreate(Databases &databases, const QString &database, const QDateTime &now,
                         const QString &user) {
    const QString name = Databases::logicalName(database);
    if (!Schema::databases().contains(name))
        return DbError{ErrorNumber::FileMissing,
                       QStringLiteral("%1 is not one of the club's databases (%2).")
                           .arg(database, Schema::databases().join(QLatin1String(", ")))};
    const bool present = databases.exists(name);
    if (present && SchemaUpgrade::recognise(databases, name))
        return DbError{ErrorNumber::DuplicateName,
                       QStringLiteral("%1 is one of this program's databases and is kept as it "
                                      "is; --recreate starts only an unrecognised one empty.")
                           .arg(databases.place(name))};
    QString done;
    if (present) {
        auto aside = moveAside(databases, name, now);
        if (!aside)
            return aside.error();
        done = QStringLiteral("%1 was not one of this program's databases; it is kept as %2 and "
                              "%3 was started empty.")
                   .arg(databases.place(name), *aside, Databases::fileName(name));
    } else {
        done = QStringLiteral("%1 was missing and was started empty.").arg(databases.place(name));
    }
    if (auto made = databases.create(name); !made)
        return made.error();
    logAdministration(databases, now, user, done);
    return done;
}

} // namespace ClubUpgrade
