#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// What a calendar collection was last seen to hold of the club's events:
// for each event's UID the ETag the server gave its resource and the
// fingerprint of the content it accepted. Kept in the club directory
// ("publish.state") beside the databases, so every workstation and a
// scheduled run share it.
//
// The file is a journal: a header naming the collection, then one line per
// accepted write or delete, the last line of a UID holding. Each line is
// appended under the shared-file lock as soon as the server has accepted
// the change, so two publishers at once see each other's work line by line
// and a publish stopped half-way leaves every line it wrote true. A line is
// only ever written for what the server accepted.
class PublishState {
public:
    static constexpr const char *FileName = "publish.state";

    struct Entry {
        QByteArray etag;
        QByteArray fingerprint;
    };

    PublishState(const QString &path, const QString &collection);

    // Reads what other publishers wrote since the last read. A file of
    // another collection (the club moved its calendar) is started afresh.
    // The reason it failed, or empty.
    QString refresh();
    const QHash<QString, Entry> &entries() const { return m_entries; }
    const Entry *find(const QString &uid) const;

    // The server holds this content of uid under this ETag.
    QString record(const QString &uid, const Entry &entry);
    // The server holds nothing for uid.
    QString forget(const QString &uid);
    // Rewrites the journal as one line per resource; other publishers read
    // it afresh.
    QString compact();

    const QString &path() const { return m_path; }

private:
    QString refreshLocked();
    QString startAfresh(const QHash<QString, Entry> &entries);
    QString append(const QString &line);
    void apply(const QByteArray &line);

    QString m_path;
    QString m_collection;
    QByteArray m_header; // the file's first line as last read
    qint64 m_read = 0;   // how far the file has been read
    QHash<QString, Entry> m_entries;
};
