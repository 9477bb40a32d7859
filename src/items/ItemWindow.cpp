#include "ItemWindow.h"

#include "ItemPricing.h"
#include "events/ChangeLog.h"
#include "events/EventRecord.h"
#include "ports/Clock.h"
#include "ports/Companions.h"
#include "session/Module.h"
#include "storage/ClubFile.h"
#include "storage/EventChanges.h"
#include "storage/TableRow.h"
#include "storage/Transaction.h"
#include "values/AccountNumber.h"
#include "values/TypedNumber.h"

namespace {

const QString EventDatabase = QStringLiteral("evnt");
const QString Oops = QStringLiteral("Oops...");

const QStringList &itemColumns() {
    static const QStringList columns{QStringLiteral("eventid"),  QStringLiteral("qty"),
                                     QStringLiteral("itemnum"),  QStringLiteral("dept"),
                                     QStringLiteral("itemdesc"), QStringLiteral("cost"),
                                     QStringLiteral("price"),    QStringLiteral("servchg"),
                                     QStringLiteral("tax"),      QStringLiteral("glnum")};
    return columns;
}

QString upper(const QVariant &value) {
    return value.isNull() ? QString() : value.toString().trimmed().toUpper();
}

} // namespace

ItemWindow::ItemWindow(Module &module, QObject *parent)
    : QObject(parent)
    , buttons(module.databases, module.messages, module.session)
    , m_module(module) {
    connect(&buttons, &DepartmentButtons::showDepartment, this, &ItemWindow::showDepartment);
    connect(&buttons, &DepartmentButtons::changed, this, &ItemWindow::changed);
}

QString ItemWindow::money(const QVariant &value) {
    const auto amount = Money::fromVariant(value);
    return amount ? amount->formatted() : QString();
}

bool ItemWindow::open() {
    CurrentEvent &event = m_module.event;
    ReadAccountLevel();
    priceLevel = accountLevel == 1 ? AltRetailPrice : RetailPrice;
    costColumnVisible = false;
    // The box as typed: a guarantee it refuses is none.
    const TypedNumber typedGuarantee =
        EventRecord::readNumberField(EventField::Guarantee, event.fields[EventField::Guarantee]);
    guarantee = typedGuarantee.isNumber() ? int(typedGuarantee.value().toDouble()) : 0;
    if (m_module.routines.CheckDatabaseUpdate()) {
        emit updateRequired();
        return false;
    }
    if (!readSettings())
        return false;
    caption = m_module.session.UserName + QStringLiteral(" @ Event Item Detail") +
              QStringLiteral("  -  ") + event.Caption;
    eventNumberText = QString::number(event.EventNumber);
    eventNameText = event.Caption;
    quantityText = QStringLiteral("Qty");
    freeFormPrice = bypassServiceCharge = false;
    statusText.clear();
    buttons.windowOpened();
    readItems();
    computeTotals();
    visible = true;
    buttons.chooseButton(0);
    emit changed();
    return true;
}

void ItemWindow::exitWindow() {
    visible = false;
    inventory.clear();
    eventItems.clear();
    emit changed();
}

// The account's price level (1: alternative prices), read together with
// its tax exemption: both come from this event's own account as stored
// now, never from an account checked earlier in the session.
void ItemWindow::ReadAccountLevel() {
    accountLevel = 0;
    taxExempt = false;
    const double account = m_module.event.Account;
    if (account <= 0)
        return;
    DatabasePtr master = m_module.access.open(QStringLiteral("master"));
    if (!master)
        return;
    auto row = master->exec(
        QStringLiteral("select pricelevel, taxexempt from acctinfo where acctnumber between ? "
                       "and ?"),
        AccountNumber::around(account));
    if (!row) {
        m_module.messages.ShowErrorCodes(row.error());
        return;
    }
    if (row->next()) {
        accountLevel = row->value(0).toInt();
        taxExempt = row->value(1).toInt() != 0;
    }
}

bool ItemWindow::readSettings() {
    DatabasePtr config = m_module.access.open(QStringLiteral("config"));
    if (!config)
        return false;
    auto company = config->exec(QStringLiteral("select salestax from company"));
    auto ar = config->exec(
        QStringLiteral("select deptorstax, taxscyesno, sctaxpct, araccess0, araccess1, araccess2, "
                       "araccess3, arperiod, aryear from ar"));
    if (!company || !ar) {
        m_module.messages.ShowErrorCodes(company ? ar.error() : company.error());
        return false;
    }
    settings = {};
    if (company->next())
        settings.salestax = company->value(0);
    if (ar->next()) {
        settings.deptorstax = upper(ar->value(0));
        settings.taxscyesno = upper(ar->value(1));
        settings.sctaxpct = ar->value(2);
        for (int i = 0; i < 4; ++i)
            m_module.session.ReceivablesThresholds[i] = ar->value(3 + i).toInt();
        m_module.config.ArPeriod = ar->value(7).toInt();
        const int year = ar->value(8).toInt();
        m_module.config.ArYear = year < 1 ? m_module.ports.clock.today().year() : year;
    }
    return true;
}

bool ItemWindow::readItems() {
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return false;
    // With "evntnosort.dat" the rows show as they were entered.
    const QString order = ClubFile::exists(m_module.databases.settings().clubDirectory,
                                           QStringLiteral("evntnosort.dat"))
                              ? evnt->dialect().rowIdentity()
                              : QStringLiteral("dept, itemdesc");
    auto rows = evnt->exec(QStringLiteral("select ") + itemColumns().join(QLatin1String(", ")) +
                               QStringLiteral(" from items where eventid = ? order by ") + order,
                           {m_module.event.EventNumber});
    if (!rows) {
        m_module.messages.ShowErrorCodes(rows.error());
        return false;
    }
    eventItems.clear();
    while (rows->next()) {
        EventItem item;
        for (int column = 0; column < itemColumns().size(); ++column)
            item.read << rows->value(column);
        eventItems << item;
    }
    eventItemRow = eventItems.isEmpty() ? -1 : 0;
    return true;
}

// Sums of Money, row by row: an SQL sum over the money columns would add
// binary doubles on some engines.
void ItemWindow::computeTotals() {
    std::array<Money, 4> totals{};
    for (const EventItem &item : eventItems) {
        for (int total = SubTotal; total <= Tax; ++total)
            totals[total] += Money::fromVariant(item.read.value(6 + total)).value_or(Money());
    }
    totals[GrandTotal] = totals[SubTotal] + totals[ServiceCharge] + totals[Tax];
    for (int total = 0; total < 4; ++total)
        totalTexts[total] = totals[total].formatted();
    const auto perGuest = ItemPricing::perGuest(totals[GrandTotal], guarantee);
    perPersonText = perGuest ? perGuest->formatted() : QStringLiteral("No GTE");
}

void ItemWindow::showDepartment(const QString &tag, const QString &caption) {
    DatabasePtr stock = m_module.access.open(QStringLiteral("invntory"));
    if (!stock)
        return;
    auto rows = stock->exec(
        QStringLiteral("select itemnumber, description, dept, unitcost, retail, altretail, "
                       "taxpct, scpct, glsales from items where dept = ? order by description"),
        {tag});
    if (!rows) {
        m_module.messages.ShowErrorCodes(rows.error());
        return;
    }
    inventory.clear();
    while (rows->next())
        inventory << InventoryItem{rows->value(0),
                                   rows->value(1).toString(),
                                   rows->value(2).toString(),
                                   rows->value(3),
                                   rows->value(4),
                                   rows->value(5),
                                   rows->value(6),
                                   rows->value(7),
                                   rows->value(8)};
    inventoryRow = inventory.isEmpty() ? -1 : 0;
    m_departmentTag = tag;
    inventoryCaption = QStringLiteral("***  ") + caption + QStringLiteral("  ***");
    emit changed();
}

void ItemWindow::selectInventoryRow(int row) {
    if (row >= 0 && row < inventory.size())
        inventoryRow = row;
}

void ItemWindow::addInventoryRow(int row) {
    selectInventoryRow(row);
    moveItem(AddMove);
}

void ItemWindow::selectEventItemRow(int row) {
    if (row >= 0 && row < eventItems.size())
        eventItemRow = row;
}

void ItemWindow::clearQuantityHint() {
    quantityText.clear();
    emit changed();
}

void ItemWindow::setQuantityText(const QString &text) {
    quantityText = text;
}

void ItemWindow::choosePriceLevel(int index) {
    priceLevel = index == AltRetailPrice ? AltRetailPrice : RetailPrice;
}

void ItemWindow::setFreeFormPrice(bool checked) {
    freeFormPrice = checked;
}

void ItemWindow::setServiceChargeBypass(bool checked) {
    bypassServiceCharge = checked;
}

void ItemWindow::toggleCostColumn() {
    if (!m_module.session.CheckAccess(OperatorSession::evaccess1))
        return;
    costColumnVisible = !costColumnVisible;
    emit changed();
}

void ItemWindow::printerSetup() {
    ReportLauncher(m_module).RunPrinterControl();
}

void ItemWindow::adjustPrintMargins() {
    ReportLauncher(m_module).SetPrintMargins();
}

void ItemWindow::showInfo() {
    m_module.companions.Info();
    // The operator is back at this module's basic screens.
    m_module.session.LocationName = QStringLiteral("BASIC");
    m_module.staff.SetStaffLocation();
    m_module.routines.ShowIdle();
}

void ItemWindow::showHelp() {
    m_module.companions.Help(2);
}

bool ItemWindow::mayChange() const {
    return m_module.event.Status != CurrentEvent::BilledStatus &&
           m_module.session.CheckAccess(OperatorSession::evaccess1);
}

void ItemWindow::moveItem(int index) {
    if (index != AddMove && index != RemoveMove && index != ClearMove)
        return;
    if (!mayChange())
        return;
    moveEnabled[index] = false;
    emit changed();
    if (index == AddMove)
        addItem();
    else if (index == RemoveMove)
        removeItem();
    else
        clearItems();
    moveEnabled[index] = true;
    emit changed();
}

void ItemWindow::addItem() {
    if (inventory.isEmpty())
        return;
    const InventoryItem &item = inventory[inventoryRow >= 0 ? inventoryRow : 0];
    Money unitPrice =
        Money::fromVariant(priceLevel == AltRetailPrice ? item.altretail : item.retail)
            .value_or(Money());
    const auto quantity = typedQuantity();
    if (!quantity)
        return;
    if (freeFormPrice) {
        const QString answer =
            m_module.ports.prompts
                .input(QStringLiteral("Type the new selling price for this item. \r\n\r\n"
                                      "Click OK to accept the default."),
                       QStringLiteral("FreeForm Selling Price"), unitPrice.formatted())
                .trimmed();
        if (answer.isEmpty())
            return;
        // A credit may be negative; more places than the column keeps are
        // refused, never rounded away unseen.
        const auto typed = TypedNumber::read(
            answer, QStringLiteral("Selling price"),
            TypedNumber::ofColumn(EventDatabase, QStringLiteral("items"), QStringLiteral("price")));
        if (!typed.isNumber()) {
            m_module.messages.show(typed.message(), Oops, Icon::Information);
            return;
        }
        unitPrice = Money::fromDecimal(typed.value()).value_or(Money());
    }
    ItemPricing::Item priced{*quantity,        unitPrice,           item.taxpct, item.scpct,
                             item.description, bypassServiceCharge, taxExempt};
    const auto line = ItemPricing::price(priced, settings);
    if (!line) {
        m_module.messages.show(line.error(), Oops, Icon::Information);
        return;
    }
    const QVariantList values{m_module.event.EventNumber,
                              line->qty,
                              item.itemnumber,
                              item.dept,
                              line->itemdesc,
                              Money::fromVariant(item.unitcost).value_or(Money()).toVariant(),
                              line->price.toVariant(),
                              line->servchg.toVariant(),
                              line->tax.toVariant(),
                              item.glsales};

    const bool added = changeItems([&](Database &evnt) -> Result<bool> {
        const Status inserted = evnt.execute(
            QStringLiteral("insert into items (") + itemColumns().join(QLatin1String(", ")) +
                QStringLiteral(") values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            values);
        return inserted ? Result<bool>(true) : Result<bool>(inserted.error());
    });
    if (added)
        audit(QStringLiteral("Add Item#") + item.itemnumber.toString() + QLatin1Char('-') +
              item.description);
    moveDone();
}

// The quantity box read whole: "1,500" is 1500, "1e3" is refused by name.
// Nothing typed, or less than one, gets "Set the Quantity".
std::optional<Decimal> ItemWindow::typedQuantity() {
    const QString typed = quantityText == QLatin1String("Qty") ? QString() : quantityText;
    const auto quantity = TypedNumber::read(
        typed, QStringLiteral("Quantity"),
        TypedNumber::ofColumn(EventDatabase, QStringLiteral("items"), QStringLiteral("qty")));
    if (quantity.isNumber() && quantity.value() >= Decimal::fromInteger(1))
        return quantity.value();
    m_module.messages.show(quantity.isNumber() || quantity.isEmpty()
                               ? QStringLiteral("Set the Quantity and try again.")
                               : quantity.message(),
                           Oops, Icon::Information);
    return std::nullopt;
}

void ItemWindow::removeItem() {
    if (eventItems.isEmpty())
        return;
    const EventItem item = eventItems[eventItemRow >= 0 ? eventItemRow : 0];
    const bool removed = changeItems([&](Database &evnt) -> Result<bool> {
        // The very row shown, found again by its values; one already gone
        // is left at that, never another row in its place.
        auto row = TableRow::findShown(evnt, QStringLiteral("items"), itemColumns(), item.read);
        if (!row)
            return row.error().number == ErrorNumber::NoCurrentRecord ? Result<bool>(false)
                                                                      : Result<bool>(row.error());
        const Status gone = TableRow::remove(evnt, QStringLiteral("items"), *row);
        return gone ? Result<bool>(true) : Result<bool>(gone.error());
    });
    if (removed)
        audit(QStringLiteral("Del Item#") + item.read.value(2).toString() + QLatin1Char('-') +
              item.itemdesc());
    moveDone();
}

void ItemWindow::clearItems() {
    if (!m_module.messages.AskYesNo(QStringLiteral("Click YES to clear the items for this event."),
                                    QStringLiteral("Clear items? ")))
        return;
    changeItems([&](Database &evnt) -> Result<bool> {
        const Status cleared = evnt.execute(QStringLiteral("delete from items where eventid = ?"),
                                            {m_module.event.EventNumber});
        return cleared ? Result<bool>(true) : Result<bool>(cleared.error());
    });
    readItems();
    // The per-guest price keeps its last text.
    totalTexts = {};
    statusText = QStringLiteral("Done");
}

bool ItemWindow::changeItems(const std::function<Result<bool>(Database &)> &change) {
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return false;
    CurrentEvent &event = m_module.event;
    bool changed = false;
    EventChanges::Claim claimed;
    const Status done = m_module.messages.RetryWhileLocked([&]() -> Status {
        changed = false;
        Transaction transaction(*evnt);
        if (!transaction.begun())
            return transaction.begun();
        // The event's row, locked: deleted or billed since the window read
        // it, it takes no change of items.
        auto claim = EventChanges::claim(*evnt, event.EventNumber, std::nullopt,
                                         m_module.session.UserName, m_module.ports.clock.now());
        if (!claim)
            return claim.error();
        claimed = *claim;
        if (claimed.outcome != EventChanges::Claim::Raised ||
            claimed.stored.status == CurrentEvent::BilledStatus)
            return {};
        const auto result = change(*evnt);
        if (!result)
            return result.error();
        if (!*result)
            return {};
        if (Status committed = transaction.commit(); !committed)
            return committed;
        changed = true;
        return {};
    });
    // A lock the operator chose not to wait for has been told already.
    if (!done) {
        if (!done.error().isLocked())
            m_module.messages.ShowErrorCodes(done.error());
        return false;
    }
    if (claimed.outcome == EventChanges::Claim::Missing) {
        m_module.messages.show(EventChanges::deletedText(event.EventNumber, claimed.stamp,
                                                         m_module.ports.clock.today()),
                               Oops, Icon::Information);
    } else if (claimed.stored.status == CurrentEvent::BilledStatus) {
        event.Status = CurrentEvent::BilledStatus;
        m_module.messages.show(QStringLiteral("Event #%1 was billed at another workstation; its "
                                              "items can no longer be changed.")
                                   .arg(event.EventNumber),
                               Oops, Icon::Information);
    } else if (changed) {
        EventChanges::adopt(event, event.EventNumber, claimed);
    }
    return changed;
}

void ItemWindow::moveDone() {
    readItems();
    computeTotals();
    statusText = QStringLiteral("Done");
}

void ItemWindow::audit(const QString &text) {
    if (m_module.event.Status <= 1)
        return;
    ChangeLog log(m_module.messages, m_module.ports.clock, m_module.event);
    log.AuditLine = ChangeLog::field(text);
    log.WriteAudit();
}
