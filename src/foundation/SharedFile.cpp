#include "SharedFile.h"

#include <QFile>
#include <QLockFile>
#include <QSaveFile>

namespace SharedFile {

namespace {

constexpr int LockWaitMs = 5000;

bool withLock(const QString &path, const std::function<bool()> &work) {
    QLockFile lock(path + QLatin1String(".lck"));
    lock.setStaleLockTime(30000);
    if (!lock.tryLock(LockWaitMs))
        return false;
    return work();
}

} // namespace

bool appendLines(const QString &path, const QStringList &lines) {
    return withLock(path, [&] {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            return false;
        QByteArray data;
        for (const QString &line : lines)
            data += line.toUtf8() + '\n';
        return file.write(data) == data.size() && file.flush();
    });
}

bool update(const QString &path, const std::function<QString(const QString &)> &change) {
    return withLock(path, [&] {
        QString content;
        QFile current(path);
        if (current.exists()) {
            if (!current.open(QIODevice::ReadOnly | QIODevice::Text))
                return false;
            content = QString::fromUtf8(current.readAll());
            current.close();
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
            return false;
        file.write(change(content).toUtf8());
        return file.commit();
    });
}

} // namespace SharedFile
