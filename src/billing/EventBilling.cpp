#include "EventBilling.h"

#include "BillingAccounts.h"
#include "MonthEnd.h"
#include "ports/Clock.h"
#include "session/CurrentEvent.h"
#include "session/Module.h"
#include "storage/Transaction.h"
#include "values/AccountNumber.h"
#include "values/TextValue.h"

namespace {

const QString Oops = QStringLiteral("Oops...");
const QString EventDatabase = QStringLiteral("evnt");
const QString ChargesDatabase = QStringLiteral("daily");
constexpr int ReadyStatus = 4;
constexpr int ItemTextLength = 10;
constexpr int MemoLength = 40;
constexpr int EventBillingTender = 9;

// Daily charges carry their batch, monthly ones are marked posted; the
// columns not named keep the table's defaults.
QString insertCharge(bool monthly) {
    return QStringLiteral("insert into %1.%2 (aracctnum, architnum, architdate, armemberacctnum, "
                          "architemployee, architcovers, architbase, architsrvchg, archittax, "
                          "archittotal, mincode, totalcode, ppcode, installcode, %3, memo, "
                          "tendtype) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
        .arg(ChargesDatabase, monthly ? QStringLiteral("armonthly") : QStringLiteral("ardaily"),
             monthly ? QStringLiteral("validated") : QStringLiteral("batch"));
}

DbError unreadableAmount(const QString &item) {
    return {ErrorNumber::Unknown,
            QStringLiteral("The amounts of the item \"%1\" cannot be read; nothing was billed.")
                .arg(item)};
}

} // namespace

EventBilling::EventBilling(Module &module)
    : m_module(module) {}

EventBilling::Billed EventBilling::BillEvent(int eventNumber, double account, int employee,
                                             std::optional<int> loadedCount) {
    if (eventNumber < 1)
        return Billed::NotBilled;
    Messages &messages = m_module.messages;
    if (monthEndRunning(m_module.databases)) {
        messages.show(
            QStringLiteral("Event billing cannot be performed while month-end A/R \r\n"
                           "processing is active. If a final statement/bill is needed \r\n"
                           "for the event, use the Event Detail Sheet - External report \r\n"
                           "in the report menu instead."),
            QStringLiteral("A/R processing is active..."), Icon::Information);
        return Billed::NotBilled;
    }
    if (!accountExists(account))
        return Billed::NotBilled;
    if (!messages.AskYesNo(QStringLiteral("Bill this event now?"),
                           QStringLiteral("Please confirm")))
        return Billed::NotBilled;

    DatabasePtr db = m_module.access.open(EventDatabase);
    if (!db)
        return Billed::NotBilled;
    const auto count = itemCount(*db, eventNumber);
    if (!count)
        return Billed::NotBilled;
    const bool markOnly = *count == 0;
    if (markOnly && !messages.AskYesNo(QStringLiteral("There are no items to bill for event # ") +
                                           QString::number(eventNumber) +
                                           QStringLiteral("\r\n\r\nChange the event status to "
                                                          "'5-Done/Billed' anyway?"),
                                       QStringLiteral("FYI...")))
        return Billed::NotBilled;
    QHash<qint64, Codes> codes;
    if (!markOnly) {
        auto read = readCodes();
        if (!read || !m_module.access.attach(*db, {ChargesDatabase}))
            return Billed::NotBilled;
        codes = std::move(*read);
    }

    Refused refused = Refused::None;
    const Status written = messages.RetryWhileLocked([&]() -> Status {
        Transaction transaction(*db);
        if (!transaction.begun())
            return transaction.begun();
        auto bill = writeBill(*db, eventNumber, account, employee, markOnly, codes, loadedCount);
        if (!bill)
            return bill.status();
        refused = *bill;
        return refused == Refused::None ? transaction.commit() : Status();
    });
    if (!written) {
        // A lock the operator chose not to wait for needs no error report.
        if (written.error().number != ErrorNumber::RecordLocked)
            messages.ShowErrorCodes(written.error());
        return Billed::NotBilled;
    }
    if (refused == Refused::Stale)
        return Billed::Stale;
    if (refused != Refused::None) {
        explain(refused, eventNumber);
        switch (refused) {
        case Refused::AlreadyBilled:
            return Billed::AlreadyBilled;
        case Refused::Missing:
            return Billed::Deleted;
        default:
            return Billed::NotBilled;
        }
    }
    EventChanges::adopt(m_module.event, eventNumber, m_claim);
    return markOnly ? Billed::MarkedBilled : Billed::Charged;
}

bool EventBilling::accountExists(double account) {
    DatabasePtr master = m_module.access.open(QStringLiteral("master"));
    if (!master)
        return false;
    auto found = master->exec(
        QStringLiteral("select count(*) from acctinfo where acctnumber between ? and ?"),
        AccountNumber::around(account));
    if (!found) {
        m_module.messages.ShowErrorCodes(found.error());
        return false;
    }
    if (found->next() && found->value(0).toInt() > 0)
        return true;
    m_module.messages.show(QStringLiteral("Account # ") + BillingAccounts::numberText(account) +
                               QStringLiteral(" does not exist."),
                           Oops, Icon::Information);
    return false;
}

std::optional<int> EventBilling::itemCount(Database &evnt, int eventNumber) {
    auto count =
        evnt.exec(QStringLiteral("select count(*) from items where eventid = ?"), {eventNumber});
    if (!count) {
        m_module.messages.ShowErrorCodes(count.error());
        return std::nullopt;
    }
    return count->next() ? count->value(0).toInt() : 0;
}

std::optional<QHash<qint64, EventBilling::Codes>> EventBilling::readCodes() {
    DatabasePtr ar = m_module.access.open(QStringLiteral("ar"));
    if (!ar)
        return std::nullopt;
    auto rows = ar->exec(QStringLiteral("select aracctnum, arapplytominimum, artototal, arppcode, "
                                        "arinstallcode from ar0 order by aracctnum"));
    if (!rows) {
        m_module.messages.ShowErrorCodes(rows.error());
        return std::nullopt;
    }
    QHash<qint64, Codes> codes;
    while (rows->next()) {
        const qint64 number = rows->value(0).toLongLong();
        // The first row of a number counts, as a search from the top finds it.
        if (!codes.contains(number))
            codes.insert(number, {rows->value(1).toInt(), rows->value(2).toInt(),
                                  rows->value(3).toInt(), rows->value(4).toInt()});
    }
    return codes;
}

Result<EventBilling::Refused> EventBilling::writeBill(Database &db, int eventNumber, double account,
                                                      int employee, bool markOnly,
                                                      const QHash<qint64, Codes> &codes,
                                                      std::optional<int> loadedCount) {
    // The event's row lock first: it keeps the item window of another
    // workstation from adding to the event while it is being billed.
    auto claimed = EventChanges::claim(db, eventNumber, loadedCount, m_module.session.UserName,
                                       m_module.ports.clock.now());
    if (!claimed)
        return claimed.error();
    m_claim = *claimed;
    if (claimed->outcome == EventChanges::Claim::Missing)
        return Refused::Missing;
    if (claimed->outcome == EventChanges::Claim::Stale)
        return Refused::Stale;
    auto marked = db.exec(
        QStringLiteral("update eventinfo set status = %1 where eventnum = ? and status = %2")
            .arg(CurrentEvent::BilledStatus)
            .arg(ReadyStatus),
        {eventNumber});
    if (!marked)
        return marked.error();
    if (marked->numRowsAffected() != 1) {
        auto status = db.exec(QStringLiteral("select status from eventinfo where eventnum = ?"),
                              {eventNumber});
        if (!status)
            return status.error();
        if (!status->next())
            return Refused::Missing;
        return status->value(0).toInt() == CurrentEvent::BilledStatus ? Refused::AlreadyBilled
                                                                      : Refused::NotReady;
    }
    // The account as stored: another workstation may have changed it since
    // the window read it.
    auto stored =
        db.exec(QStringLiteral("select custid from eventinfo where eventnum = ?"), {eventNumber});
    if (!stored)
        return stored.error();
    if (!stored->next() || !AccountNumber::same(stored->value(0).toDouble(), account))
        return Refused::AccountChanged;
    stored->finish();
    auto charges = readCharges(db, eventNumber);
    if (!charges)
        return charges.error();
    // Items added or taken away since the operator was asked.
    if (charges->isEmpty() != markOnly)
        return Refused::ItemsChanged;
    if (markOnly)
        return Refused::None;

    const bool monthly = m_module.config.BillingMode == 1;
    auto insert = db.prepare(insertCharge(monthly));
    if (!insert)
        return insert.error();
    const QString itemText =
        (QStringLiteral("EV") + QString::number(eventNumber)).left(ItemTextLength);
    const int today = m_module.ports.clock.today().toString(QStringLiteral("yyyyMMdd")).toInt();
    for (const Charge &charge : *charges) {
        const Money total = charge.price + charge.servchg + charge.tax;
        if (!total.isInRange())
            return unreadableAmount(charge.itemdesc);
        const Codes code = codes.value(charge.glnum.toLongLong());
        for (const QVariant &value :
             {charge.glnum, QVariant(itemText), QVariant(today), QVariant(account),
              QVariant(double(employee)), QVariant(0), charge.price.toVariant(),
              charge.servchg.toVariant(), charge.tax.toVariant(), total.toVariant(),
              QVariant(code.mincode), QVariant(code.totalcode), QVariant(code.ppcode),
              QVariant(code.installcode),
              monthly ? QVariant(QStringLiteral("P")) : QVariant(itemText),
              QVariant(cutToLength(charge.itemdesc, MemoLength)), QVariant(EventBillingTender)})
            insert->addBindValue(value);
        if (Status inserted = db.exec(*insert); !inserted)
            return inserted.error();
    }
    return Refused::None;
}

Result<QList<EventBilling::Charge>> EventBilling::readCharges(Database &db, int eventNumber) {
    auto rows = db.exec(
        QStringLiteral("select glnum, price, servchg, tax, itemdesc from items where eventid = ?"),
        {eventNumber});
    if (!rows)
        return rows.error();
    QList<Charge> charges;
    while (rows->next()) {
        const QString itemdesc = rows->value(4).toString();
        const auto price = Money::fromVariant(rows->value(1));
        const auto servchg = Money::fromVariant(rows->value(2));
        const auto tax = Money::fromVariant(rows->value(3));
        if (!price || !servchg || !tax)
            return unreadableAmount(itemdesc);
        charges << Charge{rows->value(0), *price, *servchg, *tax, itemdesc};
    }
    return charges;
}

void EventBilling::explain(Refused refused, int eventNumber) {
    const QString event = QStringLiteral("Event #") + QString::number(eventNumber);
    QString text;
    switch (refused) {
    case Refused::AlreadyBilled:
        text = event + QStringLiteral(" has already been billed. Nothing was charged again.");
        break;
    case Refused::NotReady:
        text = event + QStringLiteral(" is no longer ready for billing: its status was changed on "
                                      "another workstation. Nothing was billed.");
        break;
    case Refused::Missing:
        text = EventChanges::deletedText(eventNumber, m_claim.stamp, m_module.ports.clock.today()) +
               QStringLiteral(" Nothing was billed.");
        break;
    case Refused::AccountChanged:
        text = event + QStringLiteral("'s billing account was changed on another workstation "
                                      "meanwhile. Nothing was billed; please choose 'Clear "
                                      "Screen', open the event again and bill it from there.");
        break;
    case Refused::ItemsChanged:
        text = event + QStringLiteral("'s items were changed on another workstation meanwhile. "
                                      "Nothing was billed; please choose 'Bill Event' again.");
        break;
    case Refused::Stale:
    case Refused::None:
        return;
    }
    m_module.messages.show(text, Oops, Icon::Information);
}
