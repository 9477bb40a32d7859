#pragma once

#include "values/Result.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class Clipboard;
class Databases;

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
