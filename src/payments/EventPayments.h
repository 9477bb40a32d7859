#pragma once

#include "PaymentSchedule.h"
#include "session/ClubSettings.h"
#include "storage/EventChanges.h"
#include "values/Result.h"

#include <QDateTime>
#include <QString>
#include <optional>

class Database;

// The payment schedules in evnt's eventpayment table. Every change is one
// transaction that holds the event's row, raises its change count and
// writes the event's deposit column from the first line, so that every
// rule that reads the deposit sees what was received. An event's own save
// never changes a line.
namespace EventPayments {

// The event's lines, in schedule order; none for an event without.
Result<PaymentSchedule> read(Database &evnt, int number);
// The priced total of the event's items: price, service charge and tax.
Result<Money> pricedTotal(Database &evnt, int number);

// Inside the caller's transaction: the deposit the event's row keeps,
// given its status, when it has a schedule (0 for statuses 1 and 2, as
// the row always keeps); none when it has no lines.
Result<std::optional<Money>> depositFor(Database &evnt, int number, int status);
// Inside the caller's transaction: a clone's schedule, made from `terms`
// for its own priced items when its source had one; no payment is copied.
Status scheduleClone(Database &evnt, int source, int clone, const PaymentTerms &terms,
                     int cloneDate, const QDate &today);
// Inside the caller's transaction: the lines of an event being deleted.
// Payments received are not taken (receivedText() tells the caller why).
Status removeUnreceived(Database &evnt, int number);
// "Deposit $2,000.00 received 01/10/2027 (cheque 1041)", one line per
// payment received; empty when none was.
QString receivedText(const PaymentSchedule &schedule, const ClubSettings &club);

// Who changes a schedule, and when.
struct Actor {
    QString by;
    QDateTime at;
    ClubSettings club; // writes the amounts and dates of the change log
    QDate today() const { return at.date(); }
};

// What a change did.
struct Changed {
    // Unchanged: the line already stood so (nothing written, count kept).
    enum class Outcome { Done, Unchanged, Refused, Missing } outcome = Outcome::Done;
    QString text;       // Refused and Missing: why; Done: a note for the operator, if any
    QString logEntries; // the change log's entries, each ended by a backslash
    EventChanges::Claim claim;
    PaymentSchedule schedule; // as stored after the change
    int status = 0;           // the event's
};

// Fills the schedule from the club's terms. Refused once a payment was
// received; a deposit the event kept before it had a schedule becomes the
// first line's receipt.
Result<Changed> applyTerms(Database &evnt, int number, const PaymentTerms &terms,
                           const Actor &actor);
// Adds a line (line.line 0) or changes one's what, due date and amount due.
// Given the line as the operator `seen` it, only what he changed is
// written, so another workstation's change of the line's other values
// stays.
Result<Changed> saveLine(Database &evnt, int number, const PaymentLine &line, const Actor &actor,
                         const PaymentLine *seen = nullptr);
// Takes an unreceived line out.
Result<Changed> removeLine(Database &evnt, int number, int line, const Actor &actor);

struct Receipt {
    int line = 0; // the line the payment is for
    int date = 0; // YYYYMMDD
    Money amount;
    QString reference;
};
// Records a payment against a line. A line that has a payment already
// (recorded elsewhere meanwhile, or a second instalment) is split: the
// payment goes on a new line of the same name owing what was still due.
Result<Changed> receive(Database &evnt, int number, const Receipt &receipt, const Actor &actor);
// Takes a recorded payment back off its line; refused once posted.
Result<Changed> undoReceipt(Database &evnt, int number, int line, const Actor &actor);
// Marks a received line posted to receivables, or not.
Result<Changed> setPosted(Database &evnt, int number, int line, bool posted, const Actor &actor);

} // namespace EventPayments
