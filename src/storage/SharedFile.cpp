#include "SharedFile.h"

#include "ClubFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace SharedFile {

namespace {

constexpr int LockWaitMs = 5000;
constexpr int LockPollMs = 10;

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

FileLock::FileLock(const QString &path, Wait wait) {
    const QString lockPath = path + QLatin1String(".lck");
    const auto fail = [&](const QString &why) {
        m_failure =
            QStringLiteral("the lock file %1 %2").arg(QDir::toNativeSeparators(lockPath), why);
    };
    m_fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        fail(QStringLiteral("cannot be opened: %1").arg(systemReason(errno)));
        return;
    }
    if (wait == Wait::Queued) {
        int locked;
        do
            locked = ::flock(m_fd, LOCK_EX);
        while (locked != 0 && errno == EINTR);
        m_locked = locked == 0;
        if (!m_locked)
            fail(QStringLiteral("cannot be locked: %1").arg(systemReason(errno)));
        return;
    }
    const QDeadlineTimer deadline(LockWaitMs);
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (deadline.hasExpired()) {
            fail(QStringLiteral("is still locked by another workstation after %1 seconds")
                     .arg(LockWaitMs / 1000));
            return;
        }
        QThread::msleep(LockPollMs);
    }
    m_locked = true;
}

FileLock::~FileLock() {
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}

bool appendLines(const QString &path, const QStringList &lines) {
    // One appending write is never interleaved on a local disk, but on a
    // network folder it may be: the lock keeps every line whole there.
    FileLock lock(path, FileLock::Wait::Queued);
    if (!lock.locked())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    QByteArray data;
    for (const QString &line : lines)
        data += line.toUtf8() + '\n';
    return file.write(data) == data.size() && file.flush();
}

bool update(const QString &path, const std::function<QString(const QString &)> &change,
            QString *failure) {
    const auto failed = [&](const QString &why) {
        if (failure)
            *failure = why;
        return false;
    };
    FileLock lock(path, FileLock::Wait::Queued);
    if (!lock.locked())
        return failed(lock.failure());
    QString content;
    QFile current(path);
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly | QIODevice::Text))
            return failed(current.errorString());
        content = QString::fromUtf8(current.readAll());
        current.close();
    }
    const QString changed = change(content);
    if (changed == content)
        return true;
    if (const QString why = ClubFile::replace(path, changed.toUtf8()); !why.isEmpty())
        return failed(why);
    return true;
}

} // namespace SharedFile
