#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

SingleInstance::SingleInstance(const QString &clubDirectory, const QString &account) {
    const QString club = QFileInfo(clubDirectory).canonicalFilePath().isEmpty()
                             ? QDir::cleanPath(QDir(clubDirectory).absolutePath())
                             : QFileInfo(clubDirectory).canonicalFilePath();
    const QByteArray key = QCryptographicHash::hash((club + QLatin1Char('\n') + account).toUtf8(),
                                                    QCryptographicHash::Sha1)
                               .toHex()
                               .left(16);
    m_path = QDir(QDir::tempPath())
                 .filePath(QStringLiteral("moravel-%1.lock").arg(QString::fromLatin1(key)));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    m_lock = std::make_unique<QLockFile>(m_path);
    m_lock->setStaleLockTime(0); // only a dead holder's lock is stale
    if (m_lock->tryLock(0))
        return true;
    m_lock.reset();
    return false;
}

void SingleInstance::release() {
    m_lock.reset();
}

QString SingleInstance::currentAccount() {
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return user.isEmpty() ? QStringLiteral("default") : user;
}
