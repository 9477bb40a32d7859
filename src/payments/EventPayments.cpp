#include "EventPayments.h"

#include "events/ChangeLog.h"
#include "storage/Databases.h"
#include "storage/Transaction.h"
#include "values/DateNumber.h"
#include "values/TextValue.h"

#include <functional>

namespace {

using Changed = EventPayments::Changed;
using Outcome = Changed::Outcome;

const QString Columns = QStringLiteral(
    "line, what, duedate, amountdue, receiveddate, amountreceived, reference, recordedby, "
    "posted, postedby");
constexpr int NameLength = 30;
const QString StampFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

Money money(const QVariant &stored) {
    return Money::fromVariant(stored).value_or(Money());
}

Status insert(Database &evnt, int number, const PaymentLine &line, const QDateTime &at) {
    return evnt.execute(
        QStringLiteral("insert into eventpayment (eventnum, ") + Columns +
            QStringLiteral(", recordedat) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {number, line.line, cutToLength(line.what, PaymentLine::WhatLength), line.due,
         line.amountDue.toVariant(), line.received, line.amountReceived.toVariant(),
         cutToLength(line.reference, PaymentLine::ReferenceLength),
         cutToLength(line.recordedBy, NameLength), line.posted ? 1 : 0,
         cutToLength(line.postedBy, NameLength),
         line.isReceived() ? at.toString(StampFormat) : QString()});
}

// Rewrites a stored line; `recorded` stamps a payment just recorded (or,
// invalid, one taken back), none keeps the stamp.
Status update(Database &evnt, int number, const PaymentLine &line,
              std::optional<QDateTime> recorded = std::nullopt) {
    QString sql = QStringLiteral("update eventpayment set what = ?, duedate = ?, amountdue = ?, "
                                 "receiveddate = ?, amountreceived = ?, reference = ?, "
                                 "recordedby = ?, posted = ?, postedby = ?");
    QVariantList values{cutToLength(line.what, PaymentLine::WhatLength),
                        line.due,
                        line.amountDue.toVariant(),
                        line.received,
                        line.amountReceived.toVariant(),
                        cutToLength(line.reference, PaymentLine::ReferenceLength),
                        cutToLength(line.recordedBy, NameLength),
                        line.posted ? 1 : 0,
                        cutToLength(line.postedBy, NameLength)};
    if (recorded) {
        sql += QStringLiteral(", recordedat = ?");
        values << (recorded->isValid() ? recorded->toString(StampFormat) : QString());
    }
    values << number << line.line;
    return evnt.change(sql + QStringLiteral(" where eventnum = ? and line = ?"), values);
}

Status removeAll(Database &evnt, int number) {
    return evnt.execute(QStringLiteral("delete from eventpayment where eventnum = ?"), {number});
}

// The row's deposit column, kept as what the first line received (and 0
// where the row never keeps one).
Status mirrorDeposit(Database &evnt, int number, int status, const PaymentSchedule &schedule) {
    return evnt.execute(QStringLiteral("update eventinfo set deposit = ? where eventnum = ?"),
                        {schedule.depositKept(status).toVariant(), number});
}

QString lineText(const PaymentLine &line, const ClubSettings &club) {
    return QStringLiteral("%1 %2").arg(line.what, club.currency(line.amountDue));
}

QString receiptText(const PaymentLine &line, const ClubSettings &club) {
    QString text =
        QStringLiteral("%1 %2 received %3")
            .arg(line.what, club.currency(line.amountReceived), club.dateNumber(line.received));
    if (!line.reference.trimmed().isEmpty())
        text += QStringLiteral(" (%1)").arg(line.reference.trimmed());
    return text;
}

QString entry(const QString &text) {
    return ChangeLog::field(text) + QLatin1Char('\\');
}

// One change of a schedule: the event's row held and its count raised, the
// schedule as stored handed to `change`, which writes or refuses; the
// deposit column then follows the first line, and all commits together.
Result<Changed> run(Database &evnt, int number, const EventPayments::Actor &actor,
                    const std::function<Status(PaymentSchedule &, Changed &)> &change) {
    Transaction transaction(evnt);
    if (!transaction.begun())
        return transaction.begun().error();
    auto claim = EventChanges::claim(evnt, number, std::nullopt, actor.by, actor.at);
    if (!claim)
        return claim.error();
    Changed changed;
    changed.claim = *claim;
    if (claim->outcome == EventChanges::Claim::Missing) {
        changed.outcome = Outcome::Missing;
        changed.text = EventChanges::deletedText(number, claim->stamp, actor.today());
        return changed;
    }
    changed.status = claim->stored.status;
    auto schedule = EventPayments::read(evnt, number);
    if (!schedule)
        return schedule.error();
    if (Status done = change(*schedule, changed); !done)
        return done.error();
    if (changed.outcome != Outcome::Done)
        return changed; // rolled back, the count with it
    auto stored = EventPayments::read(evnt, number);
    if (!stored)
        return stored.error();
    changed.schedule = *stored;
    if (Status mirrored = mirrorDeposit(evnt, number, changed.status, *stored); !mirrored)
        return mirrored.error();
    if (Status committed = transaction.commit(); !committed)
        return committed.error();
    return changed;
}

Status refuse(Changed &changed, const QString &why) {
    changed.outcome = Outcome::Refused;
    changed.text = why;
    return {};
}

QString noLine(int number, int line) {
    return QStringLiteral("Line %1 of event #%2's payments is no longer there; it was removed at "
                          "another workstation.")
        .arg(line)
        .arg(number);
}

} // namespace

namespace EventPayments {

Result<PaymentSchedule> read(Database &evnt, int number) {
    auto rows = evnt.exec(QStringLiteral("select ") + Columns +
                              QStringLiteral(" from eventpayment where eventnum = ? order by line"),
                          {number});
    if (!rows)
        return rows.error();
    PaymentSchedule schedule;
    while (rows->next()) {
        PaymentLine line;
        line.line = rows->value(0).toInt();
        line.what = rows->value(1).toString().trimmed();
        line.due = rows->value(2).toInt();
        line.amountDue = money(rows->value(3));
        line.received = rows->value(4).toInt();
        line.amountReceived = money(rows->value(5));
        line.reference = rows->value(6).toString().trimmed();
        line.recordedBy = rows->value(7).toString().trimmed();
        line.posted = rows->value(8).toInt() != 0;
        line.postedBy = rows->value(9).toString().trimmed();
        schedule.lines << line;
    }
    return schedule;
}

Result<Money> pricedTotal(Database &evnt, int number) {
    auto items = evnt.exec(
        QStringLiteral("select price, servchg, tax from items where eventid = ?"), {number});
    if (!items)
        return items.error();
    Money total;
    while (items->next())
        for (int column = 0; column < 3; ++column)
            total += money(items->value(column));
    return total;
}

Result<std::optional<Money>> depositFor(Database &evnt, int number, int status) {
    auto schedule = read(evnt, number);
    if (!schedule)
        return schedule.error();
    if (schedule->isEmpty())
        return std::optional<Money>();
    return std::optional<Money>(schedule->depositKept(status));
}

Status scheduleClone(Database &evnt, int source, int clone, const PaymentTerms &terms,
                     int cloneDate, const QDate &today) {
    auto from = read(evnt, source);
    if (!from)
        return from.status();
    if (from->isEmpty())
        return {};
    auto priced = pricedTotal(evnt, clone);
    if (!priced)
        return priced.status();
    if (Status cleared = removeAll(evnt, clone); !cleared)
        return cleared;
    for (const PaymentLine &line : terms.schedule(*priced, cloneDate, today))
        if (Status added = insert(evnt, clone, line, QDateTime()); !added)
            return added;
    return {};
}

Status removeUnreceived(Database &evnt, int number) {
    return evnt.execute(
        QStringLiteral("delete from eventpayment where eventnum = ? and receiveddate = 0"),
        {number});
}

QString receivedText(const PaymentSchedule &schedule, const ClubSettings &club) {
    QStringList received;
    for (const PaymentLine &line : schedule.lines)
        if (line.isReceived())
            received << receiptText(line, club);
    return received.join(QLatin1Char('\n'));
}

Result<Changed> applyTerms(Database &evnt, int number, const PaymentTerms &terms,
                           const Actor &actor) {
    return run(evnt, number, actor, [&](PaymentSchedule &schedule, Changed &changed) -> Status {
        if (schedule.totalReceived() != Money())
            return refuse(changed, QStringLiteral("Payments have been received for event #%1, so "
                                                  "its schedule is not made again from the "
                                                  "terms; change its lines instead.")
                                       .arg(number));
        auto row =
            evnt.exec(QStringLiteral("select eventdate, deposit from eventinfo where eventnum = ?"),
                      {number});
        if (!row)
            return row.status();
        const int date = row->next() ? row->value(0).toInt() : 0;
        const Money kept = money(row->value(1));
        row->finish();
        auto priced = pricedTotal(evnt, number);
        if (!priced)
            return priced.status();
        QList<PaymentLine> lines = terms.schedule(*priced, date, actor.today());
        // A deposit taken before the event had a schedule is not lost: it
        // is the deposit asked for, and a rest line takes the difference.
        if (kept > Money() && !lines.isEmpty()) {
            PaymentLine &first = lines.first();
            first.amountDue = kept;
            if (lines.size() > 1 &&
                std::holds_alternative<PaymentTerms::Rest>(terms.terms.last().amount)) {
                Money others;
                for (qsizetype k = 0; k + 1 < lines.size(); ++k)
                    others += lines[k].amountDue;
                lines.last().amountDue = std::max(Money(), *priced - others);
            }
            first.received = dateNumber(actor.today());
            first.amountReceived = kept;
            first.recordedBy = actor.by;
            changed.text = QStringLiteral("The deposit of %1 already entered is recorded as "
                                          "received on the first line.")
                               .arg(actor.club.currency(kept));
        }
        if (Status cleared = removeAll(evnt, number); !cleared)
            return cleared;
        QStringList texts;
        for (const PaymentLine &line : lines) {
            if (Status added = insert(evnt, number, line, actor.at); !added)
                return added;
            texts << QStringLiteral("%1 due %2")
                         .arg(lineText(line, actor.club), actor.club.dateNumber(line.due));
        }
        changed.logEntries = entry(QStringLiteral("Payment schedule from the club's terms: ") +
                                   texts.join(QStringLiteral(", ")));
        if (kept > Money())
            changed.logEntries +=
                entry(QStringLiteral("Deposit of %1 entered before the schedule recorded as "
                                     "received")
                          .arg(actor.club.currency(kept)));
        return {};
    });
}

Result<Changed> saveLine(Database &evnt, int number, const PaymentLine &line, const Actor &actor,
                         const PaymentLine *seen) {
    return run(evnt, number, actor, [&](PaymentSchedule &schedule, Changed &changed) -> Status {
        const QString shown = QStringLiteral("%1 due %2")
                                  .arg(lineText(line, actor.club), actor.club.dateNumber(line.due));
        if (line.line == 0) {
            PaymentLine added = line;
            added.line = schedule.nextLine();
            added.received = 0;
            added.amountReceived = Money();
            added.posted = false;
            changed.logEntries =
                entry(QStringLiteral("Payment line %1 added: %2").arg(added.line).arg(shown));
            return insert(evnt, number, added, actor.at);
        }
        const PaymentLine *stored = schedule.find(line.line);
        if (!stored)
            return refuse(changed, noLine(number, line.line));
        PaymentLine edited = *stored;
        if (!seen || line.what != seen->what)
            edited.what = line.what;
        if (!seen || line.due != seen->due)
            edited.due = line.due;
        if (!seen || line.amountDue != seen->amountDue)
            edited.amountDue = line.amountDue;
        if (edited.what == stored->what && edited.due == stored->due &&
            edited.amountDue == stored->amountDue) {
            changed.outcome = Outcome::Unchanged;
            return {};
        }
        changed.logEntries =
            entry(QStringLiteral("Payment line %1 changed from %2 due %3 to %4 due %5")
                      .arg(line.line)
                      .arg(lineText(*stored, actor.club), actor.club.dateNumber(stored->due),
                           lineText(edited, actor.club), actor.club.dateNumber(edited.due)));
        return update(evnt, number, edited);
    });
}

Result<Changed> removeLine(Database &evnt, int number, int line, const Actor &actor) {
    return run(evnt, number, actor, [&](PaymentSchedule &schedule, Changed &changed) -> Status {
        const PaymentLine *stored = schedule.find(line);
        if (!stored)
            return refuse(changed, noLine(number, line));
        if (stored->isReceived())
            return refuse(changed, QStringLiteral("%1 cannot be removed: undo its payment first.")
                                       .arg(receiptText(*stored, actor.club)));
        changed.logEntries = entry(QStringLiteral("Payment line %1 removed (%2)")
                                       .arg(line)
                                       .arg(lineText(*stored, actor.club)));
        return evnt.change(
            QStringLiteral("delete from eventpayment where eventnum = ? and line = ?"),
            {number, line});
    });
}

Result<Changed> receive(Database &evnt, int number, const Receipt &receipt, const Actor &actor) {
    return run(evnt, number, actor, [&](PaymentSchedule &schedule, Changed &changed) -> Status {
        if (receipt.amount <= Money() || receipt.date <= 0)
            return refuse(changed, QStringLiteral("A payment needs a date and an amount above 0."));
        const PaymentLine *stored = schedule.find(receipt.line);
        if (!stored)
            return refuse(changed, noLine(number, receipt.line));
        PaymentLine paid = *stored;
        if (stored->isReceived()) {
            // The line keeps what it was paid; what it still owed moves to
            // a line of its own, which this payment pays.
            PaymentLine kept = *stored;
            kept.amountDue = std::min(stored->amountDue, stored->amountReceived);
            if (Status written = update(evnt, number, kept); !written)
                return written;
            // Right after it, the lines below moving down one; in two
            // steps, so that no two lines share a number on the way.
            const QVariantList below{number, stored->line};
            if (Status moved = evnt.execute(QStringLiteral("update eventpayment set line = "
                                                           "-line - 1 where eventnum = ? and "
                                                           "line > ?"),
                                            below);
                !moved)
                return moved;
            if (Status back = evnt.execute(QStringLiteral("update eventpayment set line = -line "
                                                          "where eventnum = ? and line < 0"),
                                           {number});
                !back)
                return back;
            paid = PaymentLine();
            paid.line = stored->line + 1;
            paid.what = stored->what;
            paid.due = stored->due;
            paid.amountDue = stored->outstanding();
            changed.text = QStringLiteral("%1 already had a payment recorded by %2 (%3 on %4); "
                                          "this one is recorded on a line of its own.")
                               .arg(stored->what, stored->recordedBy,
                                    actor.club.currency(stored->amountReceived),
                                    actor.club.dateNumber(stored->received));
        }
        paid.received = receipt.date;
        paid.amountReceived = receipt.amount;
        paid.reference = receipt.reference.trimmed();
        paid.recordedBy = actor.by;
        paid.posted = false;
        paid.postedBy.clear();
        changed.logEntries =
            entry(QStringLiteral("Payment received: ") + receiptText(paid, actor.club));
        return paid.line == stored->line ? update(evnt, number, paid, actor.at)
                                         : insert(evnt, number, paid, actor.at);
    });
}

Result<Changed> undoReceipt(Database &evnt, int number, int line, const Actor &actor) {
    return run(evnt, number, actor, [&](PaymentSchedule &schedule, Changed &changed) -> Status {
        const PaymentLine *stored = schedule.find(line);
        if (!stored)
            return refuse(changed, noLine(number, line));
        if (!stored->isReceived())
            return refuse(changed, QStringLiteral("No payment is recorded on line %1.").arg(line));
        if (stored->posted)
            return refuse(changed, QStringLiteral("%1 has been posted to receivables by %2; the "
                                                  "accounting staff must reverse it there first.")
                                       .arg(receiptText(*stored, actor.club), stored->postedBy));
        PaymentLine undone = *stored;
        undone.received = 0;
        undone.amountReceived = Money();
        undone.reference.clear();
        undone.recordedBy.clear();
        changed.logEntries =
            entry(QStringLiteral("Payment taken back: ") + receiptText(*stored, actor.club));
        return update(evnt, number, undone, QDateTime());
    });
}

Result<Changed> setPosted(Database &evnt, int number, int line, bool posted, const Actor &actor) {
    return run(evnt, number, actor, [&](PaymentSchedule &schedule, Changed &changed) -> Status {
        const PaymentLine *stored = schedule.find(line);
        if (!stored)
            return refuse(changed, noLine(number, line));
        if (!stored->isReceived())
            return refuse(changed, QStringLiteral("Line %1 has no payment to post.").arg(line));
        if (stored->posted == posted) {
            changed.outcome = Outcome::Unchanged;
            return {};
        }
        PaymentLine marked = *stored;
        marked.posted = posted;
        marked.postedBy = posted ? actor.by : QString();
        changed.logEntries = entry((posted ? QStringLiteral("Payment posted to receivables: ")
                                           : QStringLiteral("Payment marked not posted: ")) +
                                   receiptText(*stored, actor.club));
        // The time the payment was recorded stays.
        return evnt.change(
            QStringLiteral("update eventpayment set posted = ?, postedby = ? "
                           "where eventnum = ? and line = ?"),
            {posted ? 1 : 0, cutToLength(marked.postedBy, NameLength), number, line});
    });
}

} // namespace EventPayments
