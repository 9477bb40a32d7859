#pragma once

#include <QString>
#include <array>

// The club's settings for this module, read once at start-up.
struct Configuration {
    // The club's identity (contract merge fields).
    QString compname, compaddr1, compaddr2, compcity, compstate, compzip;
    QString compphone1, compphone2, compfax, compemail;

    QString DefaultClassCode;
    QString DefaultBillingCode;
    double RangeFrom = 0;
    double RangeTo = 0;
    QString DayStartTime = QStringLiteral("00:00");
    QString DayEndTime = QStringLiteral("23:45");
    // Indexes 0 to 7; 1 to 6 are shown, each starting with its status code.
    std::array<QString, 8> StatusNames{};
    int BillingMode = 0;
    // The receivables period and year (this year when none is set).
    int ArPeriod = 0;
    int ArYear = 0;

    static QString defaultStatusName(int position);
    // Status code that a status-list position (1 to 6) stands for.
    static int statusCode(int position) { return position == 6 ? 9 : position; }
    // What the status list shows for a status code.
    QString statusListText(int code) const {
        const int position = statusPosition(code);
        return position > 0 ? StatusNames[position] : QStringLiteral("(Click to set)");
    }
    // The list position (1 to 6) of a status code; 0 for a code not listed.
    static int statusPosition(int code) {
        return code == 9 ? 6 : code >= 1 && code <= 5 ? code : 0;
    }
};
