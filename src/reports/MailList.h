#pragma once

#include "values/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class Databases;

// One event of the work database's e-mail table.
struct MailRow {
    qint64 event = 0;
    QString name;
    QString address; // as stored, trimmed
    bool usable = false;
};

// One distinct usable address with the events that share it; the spelling
// and the name are those of its first event.
struct MailAddress {
    QString name;
    QString address;
    QList<qint64> events;
};

// The e-mail list of the Email Generator: the events the office selected,
// copied into the operator's report work database (table master), turned
// into a CSV file for a mailing program and an address list to paste into
// an e-mail. Nothing is sent from here.
class MailList {
public:
    MailList() = default;
    // The rows in the order given; which addresses are usable is decided here.
    explicit MailList(QList<MailRow> rows);

    // The work database named by the companion's arguments: a path as it
    // is, a bare file name in the club directory. A path with blanks may
    // arrive split into several arguments.
    static QString workPath(const QString &clubDirectory, const QStringList &arguments);
    // The rows of the work database's master table in event-number order.
    // Fails, creating nothing, when the file is missing, is not a work
    // database or has no master table.
    static Result<MailList> read(const Databases &databases, const QString &path);
    // Where the CSV goes: beside the work database, "rpt05.mdb" gives
    // "email05.csv", any other name "<base name>-email.csv".
    static QString csvPath(const QString &workPath);

    // The contact name again from the two parts it was cut into by
    // position (Mailings::splitName).
    static QString contactName(const QString &fname, const QString &lname);
    // One plain address a mail program takes: exactly one "@" with text on
    // both sides, a dotted domain, no blanks, separators or quotes.
    static bool isUsable(const QString &address);
    // The address column of the list: the address, or the mark of a row
    // the office has to fix.
    static QString shownAddress(const MailRow &row);

    const QList<MailRow> &rows() const { return m_rows; }
    const QList<MailAddress> &addresses() const { return m_addresses; }
    QList<qint64> withoutAddress() const;
    // "12 events, 9 addresses, 2 events without a usable address: 1004, 1017"
    QString counts() const;

    // UTF-8 with a byte-order mark, CRLF lines, one line per address. A
    // field a spreadsheet would take for a formula ("=1+2@x.com") starts
    // with an apostrophe, whichever column it is in.
    QByteArray csv() const;
    // Replaces the file in one step, so a failed write leaves no half file.
    Status writeCsv(const QString &path) const;
    // "Name <address>, Name <address>, ..." for an e-mail's address line.
    QString addressLine() const;

private:
    QList<MailRow> m_rows;
    QList<MailAddress> m_addresses;
};
