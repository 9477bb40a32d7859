#pragma once

#include "values/Result.h"

#include <QObject>
#include <QString>
#include <optional>

class Database;
class Module;

// The event's billing account in the suite's member database: a member's
// existing account is linked to the event, a non-member customer gets an
// account of his own from the number range the configuration reserves
// (rangefrom to rangeto), and that account's name and address follow the
// event's billing and contact blocks whenever they are saved.
//
// A new account is five rows, four in master.mdb and one in master2.mdb,
// written in one transaction: two workstations never get the same number,
// and a failure leaves no part of an account behind.
class BillingAccounts : public QObject {
    Q_OBJECT

public:
    // What the event window shows of a linked account.
    struct Linked {
        QString classcode;
        bool taxExempt = false;
    };
    static constexpr double HighestNumber = 99999.99;
    // Why no account was made; the operator has been told either way.
    enum class NoAccount {
        Refused,         // no range, the range used up, or the writing failed
        MonthEndRunning, // accounts wait until the month-end run is over
    };

    explicit BillingAccounts(Module &module, QObject *parent = nullptr);

    // A new account for the event, named "Event #<n>": its number, which is
    // also put into the account field, or why there is none.
    Result<double, NoAccount> CreateAccount(int eventNumber);
    // Links the event to an existing account: the account's name and address
    // go into the billing and contact fields. None when there is no such account or a
    // suspended one is refused; the account field is then emptied.
    std::optional<Linked> LinkAccount(double number);
    // Writes the event's billing and contact blocks into the address of its
    // account. Only accounts this module made (inside the range) are
    // written: a member's own address is the office's to keep.
    void UpdateAccount();

    // True when the number lies in the configured range.
    bool inRange(double number) const;
    // "90000", "1042.5": an account number as the messages show it.
    static QString numberText(double number);

signals:
    // A new account exists in a club with tills ("tillzo.exe"): the
    // point-of-sale export window should pass it on to them, running `mode`.
    void pointOfSaleExportRequested(const QString &mode);

private:
    enum class Written { Done, Duplicate, UsedUp };
    bool rangeConfigured() const;
    // While the month-end run is on, accounts are neither created nor
    // updated: true after telling the operator.
    bool refusedForMonthEnd(const QString &verb);
    // One attempt in a transaction of its own: the next number of the range,
    // but none below `lowest` (hundredths), goes into `number` and its five
    // rows are written.
    Result<Written> writeAccount(Database &db, int eventNumber, qint64 lowest, qint64 &number);
    Status insertAccount(Database &db, int eventNumber, double number);

    Module &m_module;
};
