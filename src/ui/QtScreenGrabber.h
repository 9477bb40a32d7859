#pragma once

#include "utilities/ScreenGrabber.h"

// The desktop from the platform's screens. Where the platform refuses to
// hand out the screen (Wayland gives a null picture), the program's own
// visible windows are drawn at their places instead. The offscreen and
// minimal platforms have no display.
class QtScreenGrabber final : public ScreenGrabber {
public:
    std::optional<ScreenPicture> grabDesktop() override;
};
