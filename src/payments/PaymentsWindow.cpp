#include "PaymentsWindow.h"

#include "events/ChangeLog.h"
#include "events/EventRow.h"
#include "ports/Clock.h"
#include "ports/Messages.h"
#include "ports/ReportLauncher.h"
#include "session/Module.h"
#include "values/DateNumber.h"
#include "values/EntryChecks.h"
#include "values/TextValue.h"
#include "values/TypedNumber.h"

namespace {

using Changed = EventPayments::Changed;

const QString EventDatabase = QStringLiteral("evnt");
const QString WindowTitle = QStringLiteral("Payments");
const QString NotSaved = QStringLiteral("Save the event before recording payments.");

// An amount as the payment columns keep it: cents, within Money's range.
TypedNumber readAmount(const QString &typed, const QString &box, const ClubSettings &club,
                       const Decimal &least) {
    static const TypedNumber::Bounds money =
        TypedNumber::ofColumn(EventDatabase, QStringLiteral("eventpayment"),
                              QStringLiteral("amountdue"))
            .withDecimals(2);
    return TypedNumber::read(typed, box, money.atLeast(least), club.locale());
}

Money moneyOf(const TypedNumber &typed) {
    return Money::fromDecimal(typed.value()).value_or(Money());
}

QString dateRefusal(const QString &where, const QString &typed) {
    return QStringLiteral("%1: \"%2\" is not a date.").arg(where, typed.trimmed());
}

QString lengthRefusal(const QString &where, int length, qsizetype typed) {
    return QStringLiteral("%1: at most %2 characters (this has %3).")
        .arg(where)
        .arg(length)
        .arg(typed);
}

} // namespace

std::optional<int> paymentDate(const QString &typed, const ClubSettings &club, const QDate &today) {
    QString text = typed.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    // As the table shows it, and the same with the day and month in one
    // digit where the club writes two ("6/1/2027" for "06/01/2027").
    const QString format = club.shortDateFormat();
    for (const QString &written : {format, QString(format)
                                               .replace(QLatin1String("dd"), QLatin1String("d"))
                                               .replace(QLatin1String("MM"), QLatin1String("M"))}) {
        if (const QDate date = QDate::fromString(text, written); date.isValid())
            return dateNumber(date);
    }
    if (text.size() == 4)
        text.prepend(QString::number(today.year()));
    const int number = EntryChecks::yearFirst(EntryChecks::dateNumber(text)).toInt();
    const QDate date(number / 10000, number / 100 % 100, number % 100);
    if (number < 10000000 || number > 99999999 || !date.isValid())
        return std::nullopt;
    return number;
}

PaymentsWindow::PaymentsWindow(Module &module, QObject *parent)
    : QObject(parent)
    , m_module(module) {}

QString PaymentsWindow::columnTitle(PaymentColumn column) {
    static const char *const titles[PaymentColumnCount] = {
        "What",      "Due",         "Amount due", "Received", "Amount received",
        "Reference", "Recorded by", "Posted"};
    return QString::fromLatin1(titles[int(column)]);
}

bool PaymentsWindow::isTyped(PaymentColumn column) {
    return column == PaymentColumn::What || column == PaymentColumn::Due ||
           column == PaymentColumn::AmountDue;
}

bool PaymentsWindow::open() {
    eventNumber = m_module.event.EventNumber;
    if (eventNumber <= 0) {
        m_module.messages.show(NotSaved, WindowTitle, Icon::Information);
        return false;
    }
    if (!load())
        return false;
    visible = true;
    emit changed();
    return true;
}

bool PaymentsWindow::load() {
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return false;
    m_club = ReportLauncher(m_module).clubSettings();
    const auto row = EventRow::read(*evnt, eventNumber);
    if (!row) {
        m_module.messages.ShowErrorCodes(row.error());
        return false;
    }
    if (!row->has_value()) {
        m_module.messages.show(NotSaved, WindowTitle, Icon::Information);
        return false;
    }
    const auto schedule = EventPayments::read(*evnt, eventNumber);
    const auto priced =
        schedule ? EventPayments::pricedTotal(*evnt, eventNumber) : Result<Money>(schedule.error());
    if (!priced) {
        m_module.messages.ShowErrorCodes(priced.error());
        return false;
    }
    m_priced = *priced;
    const QVariantList &values = **row;
    const QString title = values.value(columnOf(EventField::Title)).toString().trimmed();
    const int date = values.value(columnOf(EventField::Date)).toInt();
    const bool writable = !m_module.databases.settings().readOnly;
    editable = writable && m_module.session.CheckAccess(OperatorSession::evaccess1);
    postable = writable && m_module.session.CheckAccess(OperatorSession::evaccess2);
    caption = QStringLiteral("%1 - #%2 %3").arg(WindowTitle).arg(eventNumber).arg(title);
    eventSummary = QStringLiteral("Event on %1").arg(m_club.dateNumber(date));
    show(*schedule);
    statusText = editable || postable ? QString() : QStringLiteral("Read only");
    return true;
}

void PaymentsWindow::show(const PaymentSchedule &schedule) {
    m_schedule = schedule;
    rows.clear();
    for (const PaymentLine &line : schedule.lines) {
        Row shown;
        shown.line = line.line;
        shown.received = line.isReceived();
        shown.posted = line.posted;
        using enum PaymentColumn;
        shown.cells[What] = line.what;
        shown.cells[Due] = m_club.dateNumber(line.due);
        shown.cells[AmountDue] = m_club.amount(line.amountDue);
        if (shown.received) {
            shown.cells[Received] = m_club.dateNumber(line.received);
            shown.cells[AmountReceived] = m_club.amount(line.amountReceived);
        }
        shown.cells[Reference] = line.reference;
        shown.cells[RecordedBy] = line.recordedBy;
        shown.cells[Posted] = line.posted ? line.postedBy : QString();
        rows << shown;
    }
    pricedText = m_club.currency(m_priced);
    receivedText = m_club.currency(schedule.totalReceived());
    const Money balance = schedule.balance(m_priced);
    balanceLabel = balance < Money() ? QStringLiteral("Credit") : QStringLiteral("Balance due");
    balanceText = m_club.currency(balance < Money() ? -balance : balance);
    caution = schedule.caution(m_priced, m_club);
}

void PaymentsWindow::close() {
    visible = false;
    emit changed();
}

const PaymentLine *PaymentsWindow::lineAt(int row) const {
    return row >= 0 && row < m_schedule.lines.size() ? &m_schedule.lines[row] : nullptr;
}

bool PaymentsWindow::canRemove(int row) const {
    const PaymentLine *line = lineAt(row);
    return editable && line && !line->isReceived();
}

bool PaymentsWindow::canRecord(int row) const {
    return editable && lineAt(row);
}

bool PaymentsWindow::canUndo(int row) const {
    const PaymentLine *line = lineAt(row);
    return editable && line && line->isReceived() && !line->posted;
}

bool PaymentsWindow::canPost(int row) const {
    const PaymentLine *line = lineAt(row);
    return postable && line && line->isReceived();
}

void PaymentsWindow::refuse(const QString &why) {
    statusText = why;
    m_module.messages.show(why, WindowTitle, Icon::Exclamation);
    emit changed();
}

bool PaymentsWindow::change(
    const std::function<Result<Changed>(Database &, const EventPayments::Actor &)> &write) {
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return false;
    const EventPayments::Actor actor{m_module.session.UserName, m_module.ports.clock.now(), m_club};
    Result<Changed> written = Changed{};
    const Status stored = m_module.messages.RetryWhileLocked([&]() -> Status {
        written = write(*evnt, actor);
        return written.status();
    });
    if (!stored) {
        // A lock the operator chose not to wait for has been told already.
        if (!stored.error().isLocked())
            m_module.messages.ShowErrorCodes(stored.error());
        return false;
    }
    const Changed &done = *written;
    switch (done.outcome) {
    case Changed::Outcome::Missing:
        m_module.messages.show(done.text, WindowTitle, Icon::Information);
        close();
        return false;
    case Changed::Outcome::Refused:
        // Refused for what is stored now, which the window then shows.
        load();
        refuse(done.text);
        return false;
    case Changed::Outcome::Unchanged:
        show(m_schedule); // a typed cell goes back to the stored text
        emit changed();
        return true;
    case Changed::Outcome::Done:
        break;
    }
    EventChanges::adopt(m_module.event, eventNumber, done.claim);
    if (!done.logEntries.isEmpty())
        logEventChange(m_module, eventNumber, done.logEntries);
    show(done.schedule);
    takeDeposit(done);
    statusText = done.text.isEmpty() ? QStringLiteral("Saved") : done.text;
    if (!done.text.isEmpty())
        m_module.messages.show(done.text, WindowTitle, Icon::Information);
    emit changed();
    return true;
}

// The main window's deposit box as a reload would fill it from the row,
// so the event does not read as changed by the operator.
void PaymentsWindow::takeDeposit(const Changed &changed) {
    CurrentEvent &event = m_module.event;
    if (event.EventNumber != eventNumber)
        return;
    const QString text =
        TypedNumber::plainText(changed.schedule.depositKept(changed.status).toDecimal());
    event.loaded[EventField::Deposit] = text;
    event.fields[EventField::Deposit] = numericValue(text) < 0.01 ? QString() : text;
    emit eventChanged();
}

bool PaymentsWindow::applyTerms() {
    if (!editable)
        return false;
    if (!m_schedule.isEmpty() &&
        !m_module.messages.AskYesNo(QStringLiteral("Replace the %1 lines of the schedule with the "
                                                   "club's usual terms?")
                                        .arg(m_schedule.lines.size()),
                                    WindowTitle))
        return false;
    const PaymentTerms terms = PaymentTerms::from(m_club);
    return change([&](Database &evnt, const EventPayments::Actor &actor) {
        return EventPayments::applyTerms(evnt, eventNumber, terms, actor);
    });
}

bool PaymentsWindow::addLine() {
    if (!editable)
        return false;
    PaymentLine line;
    line.what = QStringLiteral("Payment");
    line.due = dateNumber(m_module.ports.clock.today());
    line.amountDue = std::max(Money(), m_priced - m_schedule.totalDue());
    return change([&](Database &evnt, const EventPayments::Actor &actor) {
        return EventPayments::saveLine(evnt, eventNumber, line, actor);
    });
}

bool PaymentsWindow::editCell(int row, PaymentColumn column, const QString &text) {
    const PaymentLine *stored = lineAt(row);
    if (!editable || !stored || !isTyped(column))
        return false;
    PaymentLine edited = *stored;
    const QString where = QStringLiteral("Line %1").arg(row + 1);
    const QString typed = text.trimmed();
    QString why;
    if (column == PaymentColumn::What) {
        if (typed.isEmpty())
            why = QStringLiteral("%1: say what the payment is, such as Deposit.").arg(where);
        else if (typed.size() > PaymentLine::WhatLength)
            why = lengthRefusal(where, PaymentLine::WhatLength, typed.size());
        edited.what = typed;
    } else if (column == PaymentColumn::Due) {
        const auto date = paymentDate(typed, m_club, m_module.ports.clock.today());
        if (!date)
            why = dateRefusal(where, typed);
        edited.due = date.value_or(0);
    } else {
        const TypedNumber amount =
            readAmount(typed, where + QStringLiteral(" amount due"), m_club, Decimal());
        if (amount.isEmpty())
            why = QStringLiteral("%1: type the amount due.").arg(where);
        else if (!amount.isNumber())
            why = amount.message();
        edited.amountDue = moneyOf(amount);
    }
    if (!why.isEmpty()) {
        show(m_schedule);
        refuse(why);
        return false;
    }
    return change([&](Database &evnt, const EventPayments::Actor &actor) {
        return EventPayments::saveLine(evnt, eventNumber, edited, actor, stored);
    });
}

bool PaymentsWindow::changeLine(int row, LineChange write) {
    const int line = lineAt(row)->line;
    return change([&](Database &evnt, const EventPayments::Actor &actor) {
        return write(evnt, eventNumber, line, actor);
    });
}

bool PaymentsWindow::removeLine(int row) {
    return canRemove(row) && changeLine(row, &EventPayments::removeLine);
}

PaymentsWindow::PaymentEntry PaymentsWindow::paymentFor(int row) const {
    const PaymentLine *line = lineAt(row);
    return {m_club.shortDate(m_module.ports.clock.today()),
            line ? m_club.amount(line->outstanding()) : QString(), QString()};
}

bool PaymentsWindow::recordPayment(int row, const PaymentEntry &typed) {
    if (!canRecord(row))
        return false;
    EventPayments::Receipt receipt;
    receipt.line = lineAt(row)->line;
    const auto date = paymentDate(typed.date, m_club, m_module.ports.clock.today());
    const TypedNumber amount = readAmount(typed.amount, QStringLiteral("Amount received"), m_club,
                                          *Decimal::fromText(u"0.01"));
    receipt.reference = typed.reference.trimmed();
    QString why;
    if (!date)
        why = dateRefusal(QStringLiteral("Date received"), typed.date);
    else if (amount.isEmpty())
        why = QStringLiteral("Amount received: type the amount paid.");
    else if (!amount.isNumber())
        why = amount.message();
    else if (receipt.reference.size() > PaymentLine::ReferenceLength)
        why = lengthRefusal(QStringLiteral("Reference"), PaymentLine::ReferenceLength,
                            receipt.reference.size());
    if (!why.isEmpty()) {
        refuse(why);
        return false;
    }
    receipt.date = *date;
    receipt.amount = moneyOf(amount);
    return change([&](Database &evnt, const EventPayments::Actor &actor) {
        return EventPayments::receive(evnt, eventNumber, receipt, actor);
    });
}

bool PaymentsWindow::undoPayment(int row) {
    return canUndo(row) && changeLine(row, &EventPayments::undoReceipt);
}

bool PaymentsWindow::setPosted(int row, bool posted) {
    if (!canPost(row)) {
        if (lineAt(row) && !m_module.session.CheckAccess(OperatorSession::evaccess2))
            refuse(QStringLiteral("Payments are marked posted at the billing level."));
        else
            emit changed(); // the tick is drawn again as stored
        return false;
    }
    const int line = lineAt(row)->line;
    return change([&](Database &evnt, const EventPayments::Actor &actor) {
        return EventPayments::setPosted(evnt, eventNumber, line, posted, actor);
    });
}
