#pragma once

#include "utilities/Keysend.h"

// Delivers keystrokes to the focused widget as key events, the way typed
// keys arrive; Tab and Shift+Tab move the focus as typed ones do.
class QtKeySender final : public KeySender {
public:
    void SendKeyText(const QString &text) override;
};
