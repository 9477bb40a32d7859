#include "OutputFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <unistd.h>

namespace OutputFile {

namespace {

QString systemReason() {
    return qt_error_string(errno);
}

// Every byte, however the system splits the writing up; the reason when
// one call fails (ENOSPC, EFBIG past a file-size limit, EIO).
std::optional<QString> writeAll(int descriptor, const QByteArray &bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written =
            ::write(descriptor, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? systemReason() : QStringLiteral("nothing more could be written");
        done += written;
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> write(const QString &path, const QByteArray &bytes) {
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile())
        return QStringLiteral("it is not a regular file, and it is not replaced by one");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // The bytes go straight to the file aside, so that each failure keeps
    // the system's reason; QSaveFile's own buffered writing reports some
    // of them as an unknown error. The file aside is removed on failure.
    if (const auto why = writeAll(file.handle(), bytes))
        return why;
    if (::fsync(file.handle()) != 0)
        return systemReason();
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

std::optional<QString> writeStandardOutput(const QByteArray &bytes) {
    if (const auto why = writeAll(STDOUT_FILENO, bytes))
        return why;
    // A file system may only report a failed write when the file is closed.
    if (::close(STDOUT_FILENO) != 0 && errno != EINTR)
        return systemReason();
    return std::nullopt;
}

} // namespace OutputFile
