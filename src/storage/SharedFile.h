#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Text files that every workstation writes (counter, change log, admin log).
// Each read-modify-write and each append holds an exclusive lock on a
// companion lock file "<name>.lck", so two processes never interleave or
// lose a line. Both hold the lock for one short read and write only, so
// they wait their turn in the kernel's queue rather than polling, which let
// a busy workstation take the lock again and again ahead of a sleeping one.
namespace SharedFile {

// An exclusive lock on "<path>.lck", held until destruction. The lock file
// stays in place: removing it would let a second process lock a new file
// of the same name while a first still holds the old one. flock() excludes
// other processes, also on other workstations through a network folder,
// and other threads of this one.
class FileLock {
public:
    enum class Wait {
        Briefly, // polls for five seconds, then gives up (locks held for long)
        Queued,  // blocks until granted (locks held for one short write)
    };
    explicit FileLock(const QString &path, Wait wait = Wait::Briefly);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool locked() const { return m_locked; }
    // Why the lock was not taken, naming the lock file; empty when locked.
    const QString &failure() const { return m_failure; }

private:
    int m_fd = -1;
    bool m_locked = false;
    QString m_failure;
};

// Appends whole lines in one write under the lock.
bool appendLines(const QString &path, const QStringList &lines);
// Runs change(current content) under the lock and replaces the file with its
// result atomically; the file may not exist yet (empty content). A result
// equal to the content writes nothing, so a change may decline by handing
// the content back. False when the file could not be locked, read or
// written; `failure`, when given, then says why in the system's words.
bool update(const QString &path, const std::function<QString(const QString &)> &change,
            QString *failure = nullptr);

} // namespace SharedFile
