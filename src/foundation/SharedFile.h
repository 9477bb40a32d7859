#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Text files that every workstation writes (counter, change log, admin log).
// Each read-modify-write and each append holds an exclusive lock on a
// companion lock file "<name>.lck", so two processes never interleave or
// lose a line. Both give up, returning false, after waiting five seconds
// for another holder.
namespace SharedFile {

// Appends whole lines in one write under the lock.
bool appendLines(const QString &path, const QStringList &lines);
// Runs change(current content) under the lock and replaces the file with its
// result atomically; the file may not exist yet (empty content).
bool update(const QString &path, const std::function<QString(const QString &)> &change);

} // namespace SharedFile
