#pragma once

#include <QByteArray>
#include <optional>

// A picture of the screen: rows of 8-bit red, green and blue, top row first.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    QByteArray rgb; // width * height * 3 bytes

    bool isValid() const {
        return width > 0 && height > 0 && rgb.size() == qsizetype(width) * height * 3;
    }
};

// Takes a picture of the desktop for the screen capture. The views implement
// it with the platform's screens; a session without a display has none.
class ScreenGrabber {
public:
    virtual ~ScreenGrabber() = default;

    // Every screen in one picture (where the platform refuses screen grabs,
    // the program's own windows); none without a display.
    virtual std::optional<ScreenPicture> grabDesktop() = 0;
};
