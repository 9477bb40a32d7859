#include "SharedFile.h"

#include "ClubFile.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace SharedFile {

namespace {

constexpr int LockWaitMs = 5000;
constexpr int LockPollMs = 10;

} // namespace

FileLock::FileLock(const QString &path, Wait wait)
    : m_fd(::open(QFile::encodeName(path + QLatin1String(".lck")).constData(),
                  O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
    if (m_fd < 0)
        return;
    if (wait == Wait::Queued) {
        int locked;
        do
            locked = ::flock(m_fd, LOCK_EX);
        while (locked != 0 && errno == EINTR);
        m_locked = locked == 0;
        return;
    }
    const QDeadlineTimer deadline(LockWaitMs);
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (deadline.hasExpired())
            return;
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

bool update(const QString &path, const std::function<QString(const QString &)> &change) {
    FileLock lock(path, FileLock::Wait::Queued);
    if (!lock.locked())
        return false;
    QString content;
    QFile current(path);
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly | QIODevice::Text))
            return false;
        content = QString::fromUtf8(current.readAll());
        current.close();
    }
    return ClubFile::replace(path, change(content).toUtf8()).isEmpty();
}

} // namespace SharedFile
