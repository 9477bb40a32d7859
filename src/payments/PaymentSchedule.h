#pragma once

#include "values/Money.h"

#include <QDate>
#include <QList>
#include <QString>
#include <algorithm>
#include <optional>
#include <variant>

class ClubSettings;

// One line of an event's payment schedule: what is due and when, and what
// was received against it.
struct PaymentLine {
    int line = 0; // its key within the event; 0 for a line not stored yet
    QString what; // "Deposit", "Second payment", "Balance"
    int due = 0;  // YYYYMMDD
    Money amountDue;
    int received = 0; // YYYYMMDD; 0 until a payment is recorded
    Money amountReceived;
    QString reference; // cheque or card slip number
    QString recordedBy;
    bool posted = false; // the accounting staff posted it to receivables
    QString postedBy;

    bool isReceived() const { return received != 0; }
    // What is still owed on the line; never below 0 (more received than due
    // is a credit of the whole schedule, not of the line).
    Money outstanding() const { return std::max(Money(), amountDue - amountReceived); }

    static constexpr int WhatLength = 30, ReferenceLength = 30;
};

// The lines of one event, in schedule order. The first line is the
// deposit: what it received is what the event's deposit column shows.
struct PaymentSchedule {
    QList<PaymentLine> lines;

    bool isEmpty() const { return lines.isEmpty(); }
    Money totalDue() const;
    Money totalReceived() const;
    Money outstanding() const;
    // The deposit: the first line, with the lines of the same name right
    // after it that took the rest of it when it was paid in parts. What it
    // asks for, and what was received against it.
    Money depositDue() const;
    Money deposit() const;
    // What the event's row keeps as its deposit at that status: none for
    // statuses 1 and 2, as the row always keeps.
    Money depositKept(int status) const { return status == 1 || status == 2 ? Money() : deposit(); }
    // Received in full (and something was asked for).
    bool depositReceived() const;
    const PaymentLine *find(int line) const;
    int nextLine() const;

    // What each line (by index) still owes once the money received beyond
    // other lines' dues has gone to the unpaid lines, earliest due first: a
    // client who paid ahead is not chased for it.
    QList<Money> owing() const;

    // What the client still owes on the priced items: their total less
    // every payment received; below 0 a credit.
    Money balance(const Money &priced) const { return priced - totalReceived(); }
    // A caution when the lines do not add up to the priced total ("The
    // schedule comes to $2,100.00, $100.00 more than the priced total of
    // $2,000.00."); empty when they do or there are no lines.
    QString caution(const Money &priced, const ClubSettings &club) const;
};

// The club's usual terms, from which "Apply terms" fills a schedule. Kept
// as the club setting `paymentterms`: entries separated by ";", each
// WHAT=AMOUNT,WHEN. AMOUNT is a percentage of the priced total ("25%"), a
// fixed amount ("500") or "rest" (the total less the other lines; once, and
// last); WHEN is "booking" (the day the terms are applied) or a whole number
// of days from the event's date (-30: thirty days before; 14: two weeks
// after).
struct PaymentTerms {
    static constexpr auto Setting = "paymentterms";
    // "yes": "Reserved w/Dep" may be chosen only once the first line is
    // received. Off where the club sets nothing.
    static constexpr auto StrictDepositSetting = "strictdeposit";
    static constexpr auto DefaultText =
        "Deposit=25%,booking;Second payment=50%,-30;Balance=rest,14";

    struct Percent {
        Decimal percent;
    };
    struct Fixed {
        Money amount;
    };
    struct Rest {};
    struct Term {
        QString what;
        std::variant<Percent, Fixed, Rest> amount;
        std::optional<int> days; // from the event's date; none: on booking
    };
    QList<Term> terms;

    // The terms, or why the text cannot be used (naming the entry).
    static std::variant<PaymentTerms, QString> parse(const QString &text);
    // The club's terms, or the usual ones where it set none (or set some
    // this program cannot read).
    static PaymentTerms from(const ClubSettings &club);
    static bool strictDeposit(const ClubSettings &club);
    // Why a value cannot be used for one of the two settings; empty when it
    // can, and for any other setting.
    static QString refusal(const QString &setting, const QString &value);

    // The schedule for an event on `eventDate` (YYYYMMDD) whose items come to
    // `priced`, applied on `today`. Percentages are rounded to the cent and
    // the rest takes what is left, so a schedule with a rest line adds up
    // to the total exactly. A due date that has already passed is today.
    QList<PaymentLine> schedule(const Money &priced, int eventDate, const QDate &today) const;
};
