#include "PublishState.h"

#include "storage/ClubFile.h"
#include "storage/SharedFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace {

constexpr char Magic[] = "moravel-publish-state";
constexpr char Removed[] = "-";

// Tabs part a line's fields and a line ends it; a value holding either
// cannot be kept (and is no valid UID or ETag).
bool plain(const QByteArray &value) {
    return !value.isEmpty() && !value.contains('\t') && !value.contains('\n') &&
           !value.contains('\r');
}

} // namespace

PublishState::PublishState(const QString &path, const QString &collection)
    : m_path(path)
    , m_collection(collection) {}

const PublishState::Entry *PublishState::find(const QString &uid) const {
    const auto at = m_entries.constFind(uid);
    return at == m_entries.constEnd() ? nullptr : &*at;
}

QString PublishState::refresh() {
    SharedFile::FileLock lock(m_path, SharedFile::FileLock::Wait::Queued);
    if (!lock.locked())
        return lock.failure();
    return refreshLocked();
}

void PublishState::apply(const QByteArray &line) {
    const QList<QByteArray> fields = line.split('\t');
    const QString uid = QString::fromUtf8(fields.value(0));
    if (fields.size() == 2 && fields[1] == Removed)
        m_entries.remove(uid);
    else if (fields.size() == 3 && plain(fields[0]) && plain(fields[1]) && plain(fields[2]))
        m_entries.insert(uid, {fields[1], fields[2]});
    // Anything else is a line cut short by a crash: it claims nothing.
}

QString PublishState::refreshLocked() {
    QFile file(m_path);
    if (!file.exists())
        return startAfresh({});
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 cannot be read: %2")
            .arg(QDir::toNativeSeparators(m_path), file.errorString());
    const QByteArray header = file.readLine().trimmed();
    const QList<QByteArray> fields = header.split('\t');
    if (fields.size() != 3 || fields[0] != Magic || QString::fromUtf8(fields[2]) != m_collection) {
        file.close();
        return startAfresh({});
    }
    if (header != m_header) { // made afresh or compacted since: read it whole
        m_header = header;
        m_entries.clear();
        m_read = file.pos();
    } else if (!file.seek(m_read)) {
        return file.errorString();
    }
    const QByteArray rest = file.readAll();
    const qsizetype complete = rest.lastIndexOf('\n') + 1; // a torn last line waits
    for (const QByteArray &line : rest.left(complete).split('\n'))
        if (!line.isEmpty())
            apply(line);
    m_read += complete;
    return QString();
}

QString PublishState::startAfresh(const QHash<QString, Entry> &entries) {
    const QByteArray token = QByteArray::number(QRandomGenerator::system()->generate64(), 16);
    const QByteArray header = QByteArray(Magic) + '\t' + token + '\t' + m_collection.toUtf8();
    QByteArray content = header + '\n';
    QStringList uids = entries.keys();
    uids.sort(); // a file a person can read and compare
    for (const QString &uid : uids) {
        const Entry &entry = entries[uid];
        content += uid.toUtf8() + '\t' + entry.etag + '\t' + entry.fingerprint + '\n';
    }
    if (const QString failed = ClubFile::replace(m_path, content); !failed.isEmpty())
        return QStringLiteral("%1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(m_path), failed);
    m_header = header;
    m_entries = entries;
    m_read = content.size();
    return QString();
}

QString PublishState::append(const QString &line) {
    SharedFile::FileLock lock(m_path, SharedFile::FileLock::Wait::Queued);
    if (!lock.locked())
        return lock.failure();
    if (const QString failed = refreshLocked(); !failed.isEmpty())
        return failed;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        return QStringLiteral("%1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(m_path), file.errorString());
    // After a torn line, begin a line of our own.
    const qint64 before = file.size();
    const QByteArray data = (before > m_read ? "\n" : "") + line.toUtf8() + '\n';
    if (file.write(data) != data.size() || !file.flush()) {
        const QString why = file.errorString();
        file.resize(before); // no half line is left to be read as a claim
        return QStringLiteral("%1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(m_path), why);
    }
    m_read = file.size();
    apply(line.toUtf8());
    return QString();
}

QString PublishState::record(const QString &uid, const Entry &entry) {
    if (!plain(uid.toUtf8()) || !plain(entry.etag) || !plain(entry.fingerprint))
        return QStringLiteral("The server's tag for %1 cannot be kept.").arg(uid);
    return append(uid + QLatin1Char('\t') + QString::fromUtf8(entry.etag) + QLatin1Char('\t') +
                  QString::fromUtf8(entry.fingerprint));
}

QString PublishState::forget(const QString &uid) {
    return append(uid + QLatin1Char('\t') + QLatin1String(Removed));
}

QString PublishState::compact() {
    SharedFile::FileLock lock(m_path, SharedFile::FileLock::Wait::Queued);
    if (!lock.locked())
        return lock.failure();
    if (const QString failed = refreshLocked(); !failed.isEmpty())
        return failed;
    return startAfresh(m_entries);
}
