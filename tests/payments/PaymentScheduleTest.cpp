#include "../orders/ReceptionFixture.h"
#include "events/WholeEvent.h"
#include "payments/EventPayments.h"
#include "session/CurrentEvent.h"

using namespace Qt::StringLiterals;

namespace {

Money dollars(const char *text) {
    return *Money::fromText(QString::fromLatin1(text));
}

QStringList lineTexts(const QList<PaymentLine> &lines) {
    QStringList texts;
    for (const PaymentLine &line : lines)
        texts << u"%1 %2 %3 %4 %5"_s.arg(line.what)
                     .arg(line.due)
                     .arg(line.amountDue.formatted())
                     .arg(line.received)
                     .arg(line.amountReceived.formatted());
    return texts;
}

TEST(PaymentTerms, TermsAreReadOrRefusedByEntryAndMakeSchedulesToTheCent) {
    struct Refused {
        const char *text;
        const char *why;
    };
    for (const auto &[text, why] : std::initializer_list<Refused>{
             {"Deposit 25%,booking", "it has no \"=\" between what it is and the amount."},
             {"Deposit=25%", "it has no \",\" between the amount and when it is due."},
             {"Deposit=1,000.00,booking", "\"1,000.00\" is not a percentage, an amount (digits"},
             {"=25%,booking", "what it is must be 1 to 30 characters."},
             {"Deposit=25,5%,booking", "\"25,5%\" is not a percentage from 0.01% to 100%."},
             {"Deposit=0%,booking", "is not a percentage from 0.01% to 100%."},
             {"Deposit=12.345%,booking", "is not a percentage from 0.01% to 100%."},
             {"A=60%,booking;B=50%,-30", "the percentages come to more than 100%."},
             {"Balance=rest,14;Deposit=25%,booking", "only the last entry may be the rest."},
             {"Deposit=25%,soon", "is not \"booking\" or a number of days"},
             {"Deposit=-5,booking", "is not a percentage, an amount"},
             {" ; ", "The terms name no payment."},
         }) {
        const QString refusal = PaymentTerms::refusal(u"paymentterms"_s, QString::fromLatin1(text));
        EXPECT_TRUE(refusal.contains(QString::fromLatin1(why)))
            << text << ": " << refusal.toStdString();
    }
    EXPECT_EQ(PaymentTerms::refusal(u"strictdeposit"_s, u"maybe"_s),
              u"\"maybe\" is neither yes nor no."_s);
    EXPECT_TRUE(PaymentTerms::refusal(u"strictdeposit"_s, u"YES"_s).isEmpty());
    EXPECT_TRUE(PaymentTerms::refusal(u"locale"_s, u"Deposit"_s).isEmpty());

    // Applied on 1 March 2027 to an event on 12 June 2027.
    const QDate today(2027, 3, 1);
    struct Case {
        const char *terms;
        const char *priced;
        QStringList lines; // what due amount
    };
    for (const Case &c : std::initializer_list<Case>{
             // The usual terms: the rest takes the cent the rounding left.
             {PaymentTerms::DefaultText,
              "6622.50",
              {u"Deposit 20270301 1655.63"_s, u"Second payment 20270513 3311.25"_s,
               u"Balance 20270626 1655.62"_s}},
             // A fixed deposit, the balance due before the event; a due
             // date already past is today.
             {"Deposit=500,booking;Balance=rest,-120",
              "2000",
              {u"Deposit 20270301 500.00"_s, u"Balance 20270301 1500.00"_s}},
             // A deposit above the total leaves a rest of nothing, never
             // one below 0; without a rest line the lines need not add up.
             {"Deposit=2500,booking;Balance=rest,0",
              "2000",
              {u"Deposit 20270301 2500.00"_s, u"Balance 20270612 .00"_s}},
             {"Deposit=33.33%,booking;Later=33.33%,7",
              "100.01",
              {u"Deposit 20270301 33.33"_s, u"Later 20270619 33.33"_s}},
         }) {
        const auto parsed = PaymentTerms::parse(QString::fromLatin1(c.terms));
        ASSERT_TRUE(std::holds_alternative<PaymentTerms>(parsed)) << c.terms;
        const QList<PaymentLine> lines =
            std::get<PaymentTerms>(parsed).schedule(dollars(c.priced), 20270612, today);
        QStringList shown;
        for (const PaymentLine &line : lines)
            shown << u"%1 %2 %3"_s.arg(line.what).arg(line.due).arg(line.amountDue.formatted());
        EXPECT_EQ(shown, c.lines) << c.terms;
    }

    PaymentSchedule twoThirds{{{1, u"A"_s, 0, dollars("33.34")}, {2, u"B"_s, 0, dollars("33.34")}}};
    EXPECT_EQ(twoThirds.caution(dollars("100.01"), ClubSettings()),
              u"The schedule comes to $66.68, $33.33 less than the priced total of $100.01."_s);
    EXPECT_TRUE(twoThirds.caution(dollars("66.68"), ClubSettings()).isEmpty());
}

class PaymentScheduleTest : public ReceptionFixture {
protected:
    void SetUp() override {
        ReceptionFixture::SetUp();
        clock.current = QDateTime(QDate(2027, 3, 1), QTime(9, 30));
        anna = actor(u"ANNA"_s);
    }

    EventPayments::Actor actor(const QString &by) {
        return EventPayments::Actor{by, clock.current, ClubSettings()};
    }
    PaymentSchedule schedule(int number) { return *EventPayments::read(*open(), number); }
    QString deposit(int number) {
        return Money::fromVariant(scalar(u"evnt"_s,
                                         u"select deposit from eventinfo where eventnum = ?"_s,
                                         {number}))
            ->formatted();
    }
    int changeCount() {
        return scalar(u"evnt"_s, u"select changecount from eventchange where eventnum = ?"_s,
                      {event})
            .toInt();
    }
    EventPayments::Changed done(const Result<EventPayments::Changed> &changed) {
        EXPECT_TRUE(changed.ok()) << changed.error().description.toStdString();
        return changed.ok() ? *changed : EventPayments::Changed{};
    }
    EventPayments::Changed applyTerms() {
        return done(
            EventPayments::applyTerms(*open(), event, PaymentTerms::from(ClubSettings()), anna));
    }
    EventPayments::Changed receive(int line, const char *amount, const QString &by = u"ANNA"_s,
                                   const QString &reference = u"chq 1041"_s) {
        return done(EventPayments::receive(
            *open(), event, {line, 20270301, dollars(amount), reference}, actor(by)));
    }

    EventPayments::Actor anna;
    using Outcome = EventPayments::Changed::Outcome;
};

TEST_F(PaymentScheduleTest, ChangesRaiseTheCountKeepTheDepositInStepAndRefuseWhatWouldLoseMoney) {
    const int before = changeCount();
    const auto applied = applyTerms();
    EXPECT_EQ(applied.outcome, Outcome::Done);
    EXPECT_EQ(lineTexts(schedule(event).lines),
              (QStringList{u"Deposit 20270301 1655.63 0 .00"_s,
                           u"Second payment 20270513 3311.25 0 .00"_s,
                           u"Balance 20270626 1655.62 0 .00"_s}));
    EXPECT_EQ(changeCount(), before + 1);
    EXPECT_EQ(applied.logEntries,
              u"Payment schedule from the club's terms: Deposit $1,655.63 due 03/01/2027, "
              "Second payment $3,311.25 due 05/13/2027, Balance $1,655.62 due 06/26/2027\\"_s);
    EXPECT_EQ(applied.claim.before, before);

    // The deposit: the event's deposit column shows it; a save of the event
    // with another amount in the box keeps it, and says so.
    const auto paid = receive(1, "1655.63");
    EXPECT_EQ(paid.logEntries,
              u"Payment received: Deposit $1,655.63 received 03/01/2027 (chq 1041)\\"_s);
    EXPECT_EQ(deposit(event), u"1655.63"_s);
    ASSERT_TRUE(record->LoadEvent(event));
    module->event.fields[EventField::Deposit] = u"99"_s;
    module->event.UnsavedChanges = true;
    prompts.clear();
    ASSERT_EQ(record->SaveEvent(EventRecord::ChangedEvent), EventRecord::Saved::Done);
    EXPECT_EQ(deposit(event), u"1655.63"_s);
    EXPECT_EQ(module->event.fields[EventField::Deposit], u"1655.63"_s);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"The deposit follows the event's payments: 1655.63 received on its "
                          "first line. Record a deposit in Payments."_s});
    EXPECT_EQ(lineTexts(schedule(event).lines).first(),
              u"Deposit 20270301 1655.63 20270301 1655.63"_s);

    // What was received is never thrown away by a change of the schedule.
    struct Refusal {
        const char *what;
        std::function<Result<EventPayments::Changed>()> change;
        QString why;
    };
    for (const Refusal &r : std::initializer_list<Refusal>{
             {"terms again",
              [&] { return EventPayments::applyTerms(*open(), event, PaymentTerms(), anna); },
              u"Payments have been received for event #%1, so its schedule is not made again "
              "from the terms; change its lines instead."_s.arg(event)},
             {"remove a paid line",
              [&] { return EventPayments::removeLine(*open(), event, 1, anna); },
              u"Deposit $1,655.63 received 03/01/2027 (chq 1041) cannot be removed: undo its "
              "payment first."_s},
             {"a line gone", [&] { return EventPayments::removeLine(*open(), event, 9, anna); },
              u"Line 9 of event #%1's payments is no longer there; it was removed at another "
              "workstation."_s.arg(event)},
             {"no date",
              [&] {
                  return EventPayments::receive(*open(), event, {2, 0, dollars("5"), {}}, anna);
              },
              u"A payment needs a date and an amount above 0."_s},
             {"nothing paid",
              [&] {
                  return EventPayments::receive(*open(), event, {2, 20270301, Money(), {}}, anna);
              },
              u"A payment needs a date and an amount above 0."_s},
             {"post an unpaid line",
              [&] { return EventPayments::setPosted(*open(), event, 2, true, anna); },
              u"Line 2 has no payment to post."_s},
         }) {
        const int count = changeCount();
        const auto refused = done(r.change());
        EXPECT_EQ(refused.outcome, Outcome::Refused) << r.what;
        EXPECT_EQ(refused.text, r.why) << r.what;
        EXPECT_EQ(changeCount(), count) << r.what << ": a refusal writes nothing";
    }

    // Posted to receivables, a payment stays until the accounting staff
    // reverse it there.
    EXPECT_EQ(done(EventPayments::setPosted(*open(), event, 1, true, actor(u"ACCT"_s))).outcome,
              Outcome::Done);
    EXPECT_EQ(done(EventPayments::setPosted(*open(), event, 1, true, anna)).outcome,
              Outcome::Unchanged);
    EXPECT_EQ(done(EventPayments::undoReceipt(*open(), event, 1, anna)).text,
              u"Deposit $1,655.63 received 03/01/2027 (chq 1041) has been posted to receivables "
              "by ACCT; the accounting staff must reverse it there first."_s);
    ASSERT_EQ(done(EventPayments::setPosted(*open(), event, 1, false, anna)).outcome,
              Outcome::Done);
    EXPECT_EQ(done(EventPayments::undoReceipt(*open(), event, 1, anna)).outcome, Outcome::Done);
    EXPECT_EQ(deposit(event), u".00"_s);

    // Lines changed, added and taken out by hand; the caution tells the
    // schedule from the priced total.
    PaymentLine second = *schedule(event).find(2);
    second.amountDue = dollars("3000");
    second.due = 20270501;
    EXPECT_EQ(done(EventPayments::saveLine(*open(), event, second, anna)).logEntries,
              u"Payment line 2 changed from Second payment $3,311.25 due 05/13/2027 to Second "
              "payment $3,000.00 due 05/01/2027\\"_s);
    EXPECT_EQ(done(EventPayments::saveLine(*open(), event, second, anna)).outcome,
              Outcome::Unchanged);
    // A change from a window opened before another workstation's keeps
    // what that one changed.
    PaymentLine bertsAmount = second;
    bertsAmount.amountDue = dollars("2900");
    done(EventPayments::saveLine(*open(), event, bertsAmount, actor(u"BERT"_s)));
    PaymentLine annasName = second;
    annasName.what = u"Interim payment"_s;
    done(EventPayments::saveLine(*open(), event, annasName, anna, &second));
    EXPECT_EQ(lineTexts({*schedule(event).find(2)}).first(),
              u"Interim payment 20270501 2900.00 0 .00"_s);
    second = *schedule(event).find(2);
    second.amountDue = dollars("3000");
    second.what = u"Second payment"_s;
    done(EventPayments::saveLine(*open(), event, second, anna));
    const auto added = done(EventPayments::saveLine(
        *open(), event, PaymentLine{0, u"Band"_s, 20270601, dollars("311.25")}, anna));
    EXPECT_EQ(added.schedule.lines.last().line, 4);
    EXPECT_TRUE(added.schedule.caution(dollars("6622.50"), ClubSettings()).isEmpty());
    EXPECT_EQ(done(EventPayments::removeLine(*open(), event, 4, anna))
                  .schedule.caution(dollars("6622.50"), ClubSettings()),
              u"The schedule comes to $6,311.25, $311.25 less than the priced total of "
              "$6,622.50."_s);

    // A deposit entered before the event had a schedule becomes the first
    // line's receipt when the terms are applied.
    exec(u"evnt"_s, u"delete from eventpayment where eventnum = ?"_s, {event});
    exec(u"evnt"_s, u"update eventinfo set deposit = 2000 where eventnum = ?"_s, {event});
    const auto kept = applyTerms();
    EXPECT_EQ(kept.text,
              u"The deposit of $2,000.00 already entered is recorded as received on the first "
              "line."_s);
    EXPECT_TRUE(kept.logEntries.endsWith(
        u"Deposit of $2,000.00 entered before the schedule recorded as received\\"_s));
    // It is the deposit asked for; the balance takes the difference.
    EXPECT_EQ(lineTexts(kept.schedule.lines),
              (QStringList{u"Deposit 20270301 2000.00 20270301 2000.00"_s,
                           u"Second payment 20270513 3311.25 0 .00"_s,
                           u"Balance 20270626 1311.25 0 .00"_s}));
    EXPECT_EQ(deposit(event), u"2000.00"_s);
    EXPECT_EQ(kept.schedule.balance(dollars("6622.50")), dollars("4622.50"));
    // A reserved event's row keeps no deposit, whatever was received.
    exec(u"evnt"_s, u"update eventinfo set status = 2 where eventnum = ?"_s, {event});
    done(EventPayments::setPosted(*open(), event, 1, true, anna));
    EXPECT_EQ(deposit(event), u".00"_s);
}

TEST_F(PaymentScheduleTest, TwoWorkstationsPayingOneLineAtOnceKeepBothPayments) {
    // Both saw the deposit unpaid; whichever records second finds it paid,
    // and its payment goes on a line of its own. Nothing is lost and the
    // balance counts both.
    for (const bool annaFirst : {true, false}) {
        SCOPED_TRACE(annaFirst ? "Anna first" : "Bert first");
        exec(u"evnt"_s, u"delete from eventpayment where eventnum = ?"_s, {event});
        exec(u"evnt"_s, u"update eventinfo set deposit = 0 where eventnum = ?"_s, {event});
        applyTerms();
        const QString first = annaFirst ? u"ANNA"_s : u"BERT"_s;
        const QString second = annaFirst ? u"BERT"_s : u"ANNA"_s;
        receive(1, "1000", first, u"card 11"_s);
        const auto split = receive(1, "655.63", second, u"card 22"_s);
        EXPECT_EQ(split.text,
                  u"Deposit already had a payment recorded by %1 ($1,000.00 on "
                  "03/01/2027); this one is recorded on a line of its own."_s.arg(first));
        EXPECT_EQ(lineTexts(split.schedule.lines),
                  (QStringList{u"Deposit 20270301 1000.00 20270301 1000.00"_s,
                               u"Deposit 20270301 655.63 20270301 655.63"_s,
                               u"Second payment 20270513 3311.25 0 .00"_s,
                               u"Balance 20270626 1655.62 0 .00"_s}));
        EXPECT_EQ(split.schedule.totalDue(), dollars("6622.50"));
        EXPECT_EQ(split.schedule.balance(dollars("6622.50")), dollars("4966.87"));
        EXPECT_EQ(deposit(event), u"1655.63"_s) << "the deposit paid in two parts";
        EXPECT_TRUE(split.schedule.depositReceived());
        // More than is owed is kept too, as a credit.
        const auto over = receive(3, "9000");
        EXPECT_EQ(over.schedule.balance(dollars("6622.50")), dollars("-4033.13"));
        EXPECT_EQ(over.schedule.outstanding(), dollars("1655.62"));
    }
}

TEST_F(PaymentScheduleTest, ACloneStartsWithoutPaymentsOnAScheduleOfItsOwn) {
    applyTerms();
    receive(1, "1655.63");
    ASSERT_TRUE(record->LoadEvent(event));
    QString note;
    ASSERT_TRUE(WholeEvent::prepareClone(*module, *record, 20270611, &note));
    EXPECT_EQ(note, u"The clone has no deposit received, so it starts as Reserved (status 2)."_s);
    ASSERT_EQ(record->SaveEvent(EventRecord::NewEvent), EventRecord::Saved::Done)
        << prompts.messageTexts().join(u" / "_s).toStdString();
    const int clone = module->event.EventNumber;
    ASSERT_NE(clone, event);
    EXPECT_EQ(deposit(clone), u".00"_s);
    EXPECT_EQ(
        scalar(u"evnt"_s, u"select status from eventinfo where eventnum = ?"_s, {clone}).toInt(),
        2);
    // Its own items priced by the terms, nothing received; the source keeps its own.
    EXPECT_EQ(lineTexts(schedule(clone).lines),
              (QStringList{u"Deposit 20270301 1655.63 0 .00"_s,
                           u"Second payment 20270512 3311.25 0 .00"_s,
                           u"Balance 20270625 1655.62 0 .00"_s}));
    EXPECT_EQ(schedule(event).totalReceived(), dollars("1655.63"));

    // A member's confirmed event stays confirmed, still without the
    // source's deposit; an event without a schedule gives its clones none.
    exec(u"evnt"_s, u"update eventinfo set memnonmem = 1, status = 4 where eventnum = ?"_s,
         {clone});
    exec(u"evnt"_s, u"delete from eventpayment where eventnum = ?"_s, {clone});
    exec(u"evnt"_s, u"update eventinfo set deposit = 750 where eventnum = ?"_s, {clone});
    ASSERT_TRUE(record->LoadEvent(clone));
    note.clear();
    ASSERT_TRUE(WholeEvent::prepareClone(*module, *record, 20270610, &note));
    EXPECT_TRUE(note.isEmpty());
    ASSERT_EQ(record->SaveEvent(EventRecord::NewEvent), EventRecord::Saved::Done);
    const int memberClone = module->event.EventNumber;
    EXPECT_TRUE(schedule(memberClone).isEmpty());
    EXPECT_EQ(deposit(memberClone), u".00"_s);
    EXPECT_EQ(scalar(u"evnt"_s, u"select status from eventinfo where eventnum = ?"_s, {memberClone})
                  .toInt(),
              4);
}

TEST_F(PaymentScheduleTest, AStrictClubBooksWithDepositOnlyOnceTheDepositIsReceived) {
    ASSERT_TRUE(ClubSettings::write(*open(), u"strictdeposit"_s, u"yes"_s).ok());
    applyTerms();
    // Nothing, then a part, then the rest of the deposit.
    for (const char *payment : {"", "0.01", "1655.62"}) {
        const bool paid = QLatin1String(payment) == QLatin1String("1655.62");
        if (*payment)
            receive(1, payment);
        ASSERT_TRUE(record->LoadEvent(event));
        module->event.fields[EventField::Status] = u"3"_s;
        module->event.UnsavedChanges = true;
        prompts.clear();
        EXPECT_EQ(record->SaveEvent(EventRecord::ChangedEvent),
                  paid ? EventRecord::Saved::Done : EventRecord::Saved::Refused);
        EXPECT_EQ(prompts.messageTexts().join(QString()).contains(u"Record it in Payments"_s),
                  !paid);
        EXPECT_EQ(scalar(u"evnt"_s, u"select status from eventinfo where eventnum = ?"_s, {event})
                      .toInt(),
                  paid ? 3 : 4);
    }
}

} // namespace
