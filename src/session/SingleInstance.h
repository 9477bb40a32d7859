#pragma once

#include <QString>
#include <memory>

class QLockFile;

// One running module per club directory and workstation account. The lock
// is a file in the machine's temporary folder, released when the holder
// ends (a crashed holder's lock is recognised as stale).
class SingleInstance {
public:
    SingleInstance(const QString &clubDirectory, const QString &account);
    ~SingleInstance();

    // False when another live process holds the lock.
    bool acquire();
    void release();
    QString lockPath() const { return m_path; }

    static QString currentAccount();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
