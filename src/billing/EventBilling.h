#pragma once

#include "storage/EventChanges.h"
#include "values/Money.h"
#include "values/Result.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

class Database;
class Module;

// Charges a finished event's items to its billing account in receivables:
// one charge row per item into daily.mdb, in ardaily (daily billing: the
// work area the accounting staff review and post) or armonthly (monthly
// billing: straight to the account), and the event's status becomes 5.
//
// The status and the charges are one transaction across evnt.mdb and
// daily.mdb, and the status changes only from 4 ("update ... where status =
// 4" must change the one row): an event is billed once, whichever window or
// workstation tries, and a failure leaves neither a charge nor status 5.
class EventBilling {
public:
    enum class Billed {
        Charged,       // the charges are written and the status is 5
        MarkedBilled,  // nothing to charge; status 5 at the operator's word
        AlreadyBilled, // billed meanwhile elsewhere; the operator has been told
        Stale,         // changed elsewhere since the window loaded it: see staleStamp()
        Deleted,       // deleted elsewhere; the operator has been told
        NotBilled,     // declined, refused or failed; the operator has been told
    };
    // The receivables codes of one ar0 row, copied into each charge to it.
    struct Codes {
        int mincode = 0, totalcode = 0, ppcode = 0, installcode = 0;
    };

    explicit EventBilling(Module &module);

    // Bills the event to the account, crediting the employee (0: none).
    // Given the change count the window loaded, an event changed since is
    // not billed (Stale). A billing raises the count, and the shown event
    // takes the raise over.
    Billed BillEvent(int eventNumber, double account, int employee,
                     std::optional<int> loadedCount = std::nullopt);
    // Who changed the event, after a Stale billing.
    const EventChanges::Stamp &staleStamp() const { return m_claim.stamp; }

private:
    // One of the event's items as billed.
    struct Charge {
        QVariant glnum;
        Money price, servchg, tax;
        QString itemdesc;
    };
    enum class Refused {
        None,
        AlreadyBilled,
        NotReady,
        Missing,
        Stale,
        AccountChanged,
        ItemsChanged
    };

    bool accountExists(double account);
    // The number of the event's items; none after telling the operator.
    std::optional<int> itemCount(Database &evnt, int eventNumber);
    // The ar0 codes by receivables account; none after telling the operator.
    std::optional<QHash<qint64, Codes>> readCodes();
    // Inside the caller's transaction: status 5, then one charge per item
    // (none when `markOnly`).
    Result<Refused> writeBill(Database &db, int eventNumber, double account, int employee,
                              bool markOnly, const QHash<qint64, Codes> &codes,
                              std::optional<int> loadedCount);
    Result<QList<Charge>> readCharges(Database &db, int eventNumber);
    void explain(Refused refused, int eventNumber);

    Module &m_module;
    EventChanges::Claim m_claim; // the last billing's
};
