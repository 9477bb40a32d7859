#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// What prinzel writes, checked to the end: a write the system cuts short,
// a failed sync or close or rename is reported in the system's own words
// ("No space left on device"), never taken for done.
namespace OutputFile {

// Makes `bytes` the whole file at `path`. They are written aside and put in
// the file's place only when all of them are on the disk, so a failure
// leaves the file as it was. A path that is there but is no regular file (a
// folder, a device, a pipe) is refused rather than replaced by a file. The
// reason when the file is not written.
std::optional<QString> write(const QString &path, const QByteArray &bytes);

// Writes `bytes` to standard output and closes it; the reason when they did
// not all get there.
std::optional<QString> writeStandardOutput(const QByteArray &bytes);

} // namespace OutputFile
