#pragma once

#include <QString>
#include <array>
#include <optional>

class ClubSettings;

// The colour each status is drawn in on the rooms board and the month
// sheet, as plain 0xRRGGBB numbers. A club may set its own ("statuscolor3"
// = "#A8D8F4" in its settings); the defaults are light tints of a palette
// that colour-blind readers tell apart, differing in lightness too, so they
// stay distinct printed in grey, with black text readable on every one.
namespace StatusColors {

inline constexpr int FirstStatus = 1; // the statuses a club colours
inline constexpr int LastStatus = 5;

// The setting that holds a status's colour.
QString settingName(int status);
// "#A8D8F4" or "A8D8F4" as 0xA8D8F4; nothing for anything else.
std::optional<int> parse(const QString &text);
int defaultColor(int status);
// The club's colour for the status, or the default where the club set none
// or set something that is no colour.
int colorOf(const ClubSettings &club, int status);

// Every status's colour, looked up once for a whole sheet or board rather
// than once per event.
class Palette {
public:
    explicit Palette(const ClubSettings &club);
    int operator()(int status) const;

private:
    std::array<int, 10> m_colors{}; // statuses 0 to 9
};

} // namespace StatusColors
