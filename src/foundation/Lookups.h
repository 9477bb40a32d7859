#pragma once

#include "Result.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class Clipboard;
class Databases;
struct OperatorSession;

// One member account as the account look-up lists it.
struct AccountMatch {
    double number = 0;
    QString name; // "Lname, Fname", or the account's name alone
    QString classCode;
    QString classDescription;
    bool taxExempt = false;
    bool suspended = false;
    bool terminated = false;

    // "TaxExempt", "SUSPENDED", "TERMINATED" for the flags that are set.
    QStringList statusWords() const;
};

struct EmployeeMatch {
    int number = 0;
    QString name; // "Lname, Fname"
    bool active = false;
};

// A page of matches; `more` when the limit cut the list short.
template <typename Match> struct LookupPage {
    QList<Match> rows;
    bool more = false;
};

// The searches behind the account, staff and date look-ups, and the text a
// choice leaves on the clipboard, written as the suite's look-ups wrote it so
// that the field that started the look-up takes it back unchanged.
class Lookups {
public:
    static constexpr int ResultLimit = 200;

    Lookups(const Databases &databases, Clipboard &clipboard);

    // Matches every word of the text against the names (any part, any case);
    // a number also matches account numbers that begin with it. Ordered by
    // name, or by number when the text is a number.
    Result<LookupPage<AccountMatch>> findAccounts(const QString &text) const;
    Result<LookupPage<EmployeeMatch>> findEmployees(const QString &text) const;

    void chooseAccount(double number);
    void chooseEmployee(int number);
    void chooseDate(const QDate &date);

    // "#####.#0": 1042 gives "1042.00", 0.5 gives ".50".
    static QString accountText(double number);
    static QString employeeText(int number);
    // YYYYMMDD.
    static QString dateText(const QDate &date);

private:
    const Databases &m_databases;
    Clipboard &m_clipboard;
};

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
