#pragma once

#include <QByteArray>
#include <QString>

class Module;
struct ScreenPicture;

// "Screen Capture": the desktop saved as "screen.bmp" in the club directory
// and opened, maximized, in the picture viewer, where the operator can
// print it.
class ScreenCapture {
public:
    static constexpr auto FileName = "screen.bmp";
    static constexpr auto Viewer = "mspaint.exe";

    explicit ScreenCapture(Module &module);

    // mnuclipboard
    void CaptureScreen();

    // The picture as a Windows bitmap file: 24 bits, uncompressed, rows
    // bottom-up in blue, green, red order, each padded to four bytes. Empty
    // for an invalid picture.
    static QByteArray bitmapFile(const ScreenPicture &picture);

private:
    // Grabs the desktop and saves it; the operator's message when that failed.
    QString saveCapture();
    // The picture as the viewer is told it: the suite's way, with a backslash.
    QString viewerArgument() const;

    Module &m_module;
};
