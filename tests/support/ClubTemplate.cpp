#include "ClubTemplate.h"

#include "storage/SharedFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>
#include <gtest/gtest.h>

namespace ClubTemplate {

namespace {

const QString Ready = QStringLiteral(".ready");

// The creator's code and the logic it runs, as the build last left them.
QList<QFileInfo> libraries() {
    return {QFileInfo(QStringLiteral(CLUB_LIBRARY)), QFileInfo(QStringLiteral(LOGIC_LIBRARY))};
}

void addFile(QCryptographicHash &hash, const QFileInfo &file) {
    hash.addData(file.absoluteFilePath().toUtf8());
    hash.addData(QByteArray::number(file.size()));
    hash.addData(QByteArray::number(file.lastModified().toMSecsSinceEpoch()));
}

// Templates made before the libraries were last built are never used again.
void removeStale(const QString &folder) {
    QDateTime built;
    for (const QFileInfo &library : libraries())
        built = std::max(built, library.lastModified());
    for (const QFileInfo &ready : QDir(folder).entryInfoList({u'*' + Ready}, QDir::Files)) {
        if (ready.lastModified() >= built)
            continue;
        const QString directory = ready.filePath().chopped(Ready.size());
        QFile::remove(ready.filePath());
        QDir(directory).removeRecursively();
        QFile::remove(directory + QStringLiteral(".lck"));
    }
}

} // namespace

QString name(const ClubCreator::Options &options) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QFileInfo &library : libraries())
        addFile(hash, library);
    if (!options.shareDirectory.isEmpty()) {
        QList<QFileInfo> shipped;
        for (QDirIterator files(options.shareDirectory, QDir::Files, QDirIterator::Subdirectories);
             files.hasNext();)
            shipped << files.nextFileInfo();
        std::sort(shipped.begin(), shipped.end(), [](const QFileInfo &a, const QFileInfo &b) {
            return a.filePath() < b.filePath();
        });
        for (const QFileInfo &file : shipped)
            addFile(hash, file);
    }
    hash.addData(options.today.toString(Qt::ISODate).toUtf8());
    hash.addData(options.demo ? "demo" : "plain");
    return QStringLiteral("moravel_template_") +
           QString::fromLatin1(hash.result().toHex().left(16));
}

bool makeOnce(const QString &directory, const std::function<Status()> &make) {
    SharedFile::FileLock lock(directory, SharedFile::FileLock::Wait::Queued);
    if (!lock.locked()) {
        ADD_FAILURE() << "the template lock " << directory.toStdString();
        return false;
    }
    if (QFile::exists(directory + Ready))
        return true;
    QDir(directory).removeRecursively();
    if (const Status made = make(); !made) {
        ADD_FAILURE() << made.error().description.toStdString();
        return false;
    }
    return QFile(directory + Ready).open(QIODevice::WriteOnly);
}

bool copyDirectory(const QString &from, const QString &to) {
    bool copied = QDir().mkpath(to);
    for (const QFileInfo &entry :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString target = QDir(to).filePath(entry.fileName());
        copied = copied && (entry.isDir() ? copyDirectory(entry.filePath(), target)
                                          : QFile::copy(entry.filePath(), target));
    }
    return copied;
}

Status createFiles(const QString &directory, const ClubCreator::Options &options) {
    const QString templates =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("club-templates"));
    const QString made = QDir(templates).filePath(name(options));
    const auto make = [&] {
        removeStale(templates);
        return ClubCreator::create(made, options);
    };
    if (!QDir().mkpath(templates) || !makeOnce(made, make))
        return DbError{ErrorNumber::OpenFailed, QStringLiteral("No template club in ") + templates};
    if (!copyDirectory(made, directory))
        return DbError{ErrorNumber::OpenFailed, QStringLiteral("Copying the template club failed")};
    return {};
}

} // namespace ClubTemplate
