#include "ClubFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace ClubFile {

QString find(const QString &directory, const QString &name) {
    const QStringList parts =
        QDir::fromNativeSeparators(name).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.contains(QLatin1String("..")))
        return QString(); // never outside the directory
    const QString exact = QDir(directory).filePath(parts.join(QLatin1Char('/')));
    if (QFileInfo(exact).isFile())
        return exact;
    QString path = directory;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool last = i == parts.size() - 1;
        const QStringList entries =
            QDir(path).entryList(last ? QDir::Files : QDir::Dirs | QDir::NoDotAndDotDot);
        const auto match = std::find_if(entries.begin(), entries.end(), [&](const QString &entry) {
            return entry.compare(parts[i], Qt::CaseInsensitive) == 0;
        });
        if (match == entries.end())
            return QString();
        path = QDir(path).filePath(*match);
    }
    return path;
}

QString replace(const QString &path, const QByteArray &content) {
    // Unbuffered, every byte is seen written: a buffered file cut short by a
    // full disk is committed as if it were whole. The write after a short
    // one gives the system's reason.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    for (qsizetype done = 0; done < content.size();) {
        const qint64 written = file.write(content.constData() + done, content.size() - done);
        if (written <= 0)
            return file.errorString();
        done += written;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

QString copy(const QString &from, const QString &to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: %2").arg(from, source.errorString());
    const QByteArray content = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return QStringLiteral("%1: %2").arg(from, source.errorString());
    return replace(to, content);
}

QString writeToStandardOutput(const QByteArray &content) {
    for (qsizetype done = 0; done < content.size();) {
        const ssize_t written =
            ::write(STDOUT_FILENO, content.constData() + done, size_t(content.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return QString::fromLocal8Bit(std::strerror(written < 0 ? errno : EIO));
        done += written;
    }
    // A file on a full disk may take the bytes and refuse them only when
    // they reach the disk.
    if (::fsync(STDOUT_FILENO) != 0 && errno != EINVAL && errno != EROFS)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString();
}

QStringList removeStaleSuperJournals(const QString &directory) {
    QStringList removed;
    const QDir dir(directory);
    // A commit at another workstation deletes its journals a moment before
    // its super-journal; taking that one away in between would fail a commit
    // that is done. A killed run's super-journal only ages.
    const QDateTime settled = QDateTime::currentDateTime().addSecs(-SuperJournalSettledSeconds);
    // SQLite names them after the main file: "-mj" and nine hexadecimal digits.
    static const QRegularExpression named(QStringLiteral("-mj[0-9A-F]{9}$"));
    for (const QString &name : dir.entryList({QStringLiteral("*-mj*")}, QDir::Files)) {
        if (!named.match(name).hasMatch())
            continue;
        QFile superJournal(dir.filePath(name));
        if (QFileInfo(superJournal).lastModified() > settled ||
            !superJournal.open(QIODevice::ReadOnly))
            continue;
        // The journals it names, each ended by a zero byte.
        bool needed = false;
        for (const QByteArray &journal : superJournal.readAll().split('\0')) {
            if (!journal.isEmpty() && QFileInfo::exists(QFile::decodeName(journal)))
                needed = true;
        }
        superJournal.close();
        if (!needed && superJournal.remove())
            removed << name;
    }
    return removed;
}

} // namespace ClubFile
