#include "StatusColors.h"

#include "session/ClubSettings.h"

#include <QRegularExpression>

namespace StatusColors {

QString settingName(int status) {
    return QStringLiteral("statuscolor%1").arg(status);
}

int defaultColor(int status) {
    switch (status) {
    case 1:
        return 0xE4E4E4; // an enquiry: holds no room yet (drawn with a dashed edge)
    case 2:
        return 0xF7D28C; // reserved: orange
    case 3:
        return 0xA8D8F4; // reserved with deposit: sky blue
    case 4:
        return 0x8FD6BE; // confirmed: bluish green
    case 5:
        return 0xC9C9C9; // billed: done, grey
    default:
        return 0xE7C3D8; // statuses the club added: reddish purple
    }
}

std::optional<int> parse(const QString &text) {
    static const QRegularExpression pattern(QStringLiteral("^#?([0-9A-Fa-f]{6})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt(nullptr, 16);
}

int colorOf(const ClubSettings &club, int status) {
    return parse(club.value(settingName(status))).value_or(defaultColor(status));
}

Palette::Palette(const ClubSettings &club) {
    for (int status = 0; status < int(m_colors.size()); ++status)
        m_colors[status] = colorOf(club, status);
}

int Palette::operator()(int status) const {
    return status >= 0 && status < int(m_colors.size()) ? m_colors[status] : defaultColor(status);
}

} // namespace StatusColors
