#pragma once

#include <QColor>

// A colour the logic gives as a plain 0xRRGGBB number, for painting.
inline QColor rgbColor(int value) {
    return QColor::fromRgb(QRgb(0xFF000000u | unsigned(value)));
}
