#pragma once

#include "values/Result.h"

#include <QString>
#include <QStringList>
#include <functional>

class Clipboard;
struct OperatorSession;

// A help text or other plain text of the club directory as the help viewer
// shows it.
struct HelpText {
    QString fileName;
    QString path;
    QString text;
    bool exists = false;
    bool editable = false;
    bool crlf = false; // written back with the line ends it was read with
};

// The files the help, help-text and picture companions show. Only names in
// the club directory are reached, whatever path an argument carries.
class CompanionFiles {
public:
    static constexpr auto NoHelp = "NOHELP";
    static constexpr auto ManualName = "manual-MORAVEL.pdf";
    static constexpr int HelpEditThreshold = 2;

    CompanionFiles(QString clubDirectory, const OperatorSession &session, Clipboard &clipboard);

    // The manual named by the arguments when it is in the club directory.
    QString manualPath(const QStringList &arguments) const;
    // Hands the manual to `open`; when there is none or it cannot be shown,
    // leaves "NOHELP" on the clipboard so the caller falls back to the help
    // texts. True when the manual was shown.
    bool showManual(const QStringList &arguments, const std::function<bool(QString)> &open);

    // A missing file gives an empty text; an unreadable one an error.
    Result<HelpText> readHelpText(const QStringList &arguments) const;
    // Replaces the file in one step so a failed write leaves the old text.
    Status saveHelpText(const HelpText &help, const QString &text) const;

    // The picture named by a path that may use the suite's backslashes, or
    // only its name in the club directory; empty when there is none.
    QString picturePath(const QString &argument) const;

private:
    QString clubFile(const QString &argument) const;

    QString m_clubDirectory;
    const OperatorSession &m_session;
    Clipboard &m_clipboard;
};
