#pragma once

#include <QString>

// The shared message values: the next prompt's text and title, the last
// Yes/No answer, and the short result words that several routines hand back
// ("QUIT", "CANCEL", "UPDREQ", ...).
struct MessageChannel {
    static constexpr int Yes = 6;
    static constexpr int No = 7;

    QString MessageText;
    QString MessageTitle;
    int YesNoAnswer = 0;
    QString SqlText;
    QString LookupResult; // look-up answer taken from the clipboard
};
