#include "ScreenCapture.h"

#include "ScreenGrabber.h"
#include "ports/Clipboard.h"
#include "ports/Programs.h"
#include "session/Module.h"
#include "storage/ClubFile.h"

#include <QDir>
#include <QtEndian>

namespace {

constexpr qsizetype FileHeaderBytes = 14;
constexpr qsizetype InfoHeaderBytes = 40;
constexpr qsizetype HeaderBytes = FileHeaderBytes + InfoHeaderBytes;
constexpr quint32 PixelsPerMetre = 2835; // 72 dots per inch

const QString UhOh = QStringLiteral("Uh-oh...");

void appendWord(QByteArray &out, quint16 value) {
    char bytes[sizeof value];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof bytes);
}

void appendDword(QByteArray &out, quint32 value) {
    char bytes[sizeof value];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof bytes);
}

// The hourglass for as long as the capture runs, whichever way it ends.
class Hourglass {
public:
    explicit Hourglass(SharedRoutines &routines)
        : m_routines(routines) {
        m_routines.ShowBusy();
    }
    ~Hourglass() { m_routines.ShowIdle(); }
    Hourglass(const Hourglass &) = delete;
    Hourglass &operator=(const Hourglass &) = delete;

private:
    SharedRoutines &m_routines;
};

} // namespace

ScreenCapture::ScreenCapture(Module &module)
    : m_module(module) {}

void ScreenCapture::CaptureScreen() {
    Clipboard &clipboard = m_module.ports.clipboard;
    clipboard.clear();
    QString failure;
    {
        Hourglass busy(m_module.routines);
        failure = saveCapture();
        if (failure.isEmpty())
            m_module.ports.programs.start(QLatin1String(Viewer), {viewerArgument()},
                                          Programs::WindowState::Maximized);
        clipboard.clear();
    }
    // The message comes with the arrow pointer back.
    if (!failure.isEmpty())
        m_module.messages.show(failure, UhOh, Icon::Information);
}

QString ScreenCapture::saveCapture() {
    const std::optional<ScreenPicture> picture = m_module.ports.screen.grabDesktop();
    if (!picture || !picture->isValid())
        return QStringLiteral(
            "Screen Capture needs a display: this session has none, so no picture was taken.");
    // The earlier picture is replaced only once the new one is complete, so
    // a failed save leaves it as it was.
    const QString path = m_module.clubPath(QLatin1String(FileName));
    const QByteArray bitmap = bitmapFile(*picture);
    if (const QString failed = ClubFile::replace(path, bitmap); !failed.isEmpty())
        return QStringLiteral("The screen picture could not be saved as %1: %2")
            .arg(QDir::toNativeSeparators(path), failed);
    return {};
}

QString ScreenCapture::viewerArgument() const {
    return QDir::toNativeSeparators(m_module.databases.settings().clubDirectory) +
           QLatin1Char('\\') + QLatin1String(FileName);
}

QByteArray ScreenCapture::bitmapFile(const ScreenPicture &picture) {
    if (!picture.isValid())
        return {};
    const qsizetype rowBytes = qsizetype(picture.width) * 3;
    const qsizetype stride = (rowBytes + 3) / 4 * 4;
    const qsizetype imageBytes = stride * picture.height;

    QByteArray file;
    file.reserve(HeaderBytes + imageBytes);
    file.append("BM");
    appendDword(file, quint32(HeaderBytes + imageBytes));
    appendDword(file, 0); // reserved
    appendDword(file, quint32(HeaderBytes));
    appendDword(file, quint32(InfoHeaderBytes));
    appendDword(file, quint32(picture.width));
    appendDword(file, quint32(picture.height)); // positive: bottom row first
    appendWord(file, 1);                        // planes
    appendWord(file, 24);                       // bits per pixel
    appendDword(file, 0);                       // no compression
    appendDword(file, quint32(imageBytes));
    appendDword(file, PixelsPerMetre);
    appendDword(file, PixelsPerMetre);
    appendDword(file, 0); // colours used
    appendDword(file, 0); // important colours

    file.append(imageBytes, '\0');
    const char *source = picture.rgb.constData();
    char *rows = file.data() + HeaderBytes;
    for (int y = 0; y < picture.height; ++y) {
        const char *from = source + (picture.height - 1 - y) * rowBytes;
        char *to = rows + y * stride;
        for (qsizetype x = 0; x < rowBytes; x += 3) {
            to[x] = from[x + 2];
            to[x + 1] = from[x + 1];
            to[x + 2] = from[x];
        }
    }
    return file;
}
