#pragma once

#include <QString>

// The shared message values: the text and title of the last prompt the
// operator was shown, the last Yes/No answer, and the look-up answer.
// Routines return what happened; they do not hand results back through here.
struct MessageChannel {
    static constexpr int Yes = 6;
    static constexpr int No = 7;

    QString MessageText;
    QString MessageTitle;
    int YesNoAnswer = 0;
    QString SqlText;
    QString LookupResult; // look-up answer taken from the clipboard
};
