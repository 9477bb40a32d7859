#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files of the club directory found whatever the case of their letters:
// clubs copy files from Windows machines, where "TILLZO.EXE", "Tillzo.exe"
// and "tillzo.exe" are one file.
namespace ClubFile {

// The path of `name` (which may hold sub-folders) below `directory`, with
// the letters as they are on disk; empty when there is no such file.
QString find(const QString &directory, const QString &name);
inline bool exists(const QString &directory, const QString &name) {
    return !find(directory, name).isEmpty();
}

// Writes the file whole beside the old one and only then puts it in the old
// one's place, so that a reader, a crash or a full disk never leaves half a
// file: the old one stays until the new one is complete. The reason it
// failed, or empty.
QString replace(const QString &path, const QByteArray &content);
// Copies a file whole through replace(): the reason it failed, or empty.
QString copy(const QString &from, const QString &to);

// Writes the content to standard output to its last byte (a pipe, a file,
// a full disk): the system's reason it could not, or empty.
QString writeToStandardOutput(const QByteArray &content);

// Removes the super-journals ("evnt.mdb-mjXXXXXXXX") that a transaction over
// several SQLite files left behind when its process was killed, once none of
// the journals they name is left (only such a journal can still need one to
// roll back) and they are older than a live commit's. The names of those
// removed.
inline constexpr int SuperJournalSettledSeconds = 600;
QStringList removeStaleSuperJournals(const QString &directory);

} // namespace ClubFile
