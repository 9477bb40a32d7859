#include "BillingAccounts.h"

#include "MonthEnd.h"
#include "ports/Clock.h"
#include "session/CurrentEvent.h"
#include "session/Module.h"
#include "storage/ClubFile.h"
#include "storage/Schema.h"
#include "storage/Transaction.h"
#include "values/AccountNumber.h"
#include "values/TextValue.h"

#include <QVariantList>
#include <cmath>

namespace {

const QString Oops = QStringLiteral("Oops...");
const QString Master = QStringLiteral("master");
const QString SecondMaster = QStringLiteral("master2");
// The tills' update that refreshes their copy of the members.
const QString MembersMode = QStringLiteral("16");

// The billing and contact blocks, from the billing name to the contact's
// e-mail, are positions 1 to 20 of the account's address row.
constexpr int AddressPositions = 20;
constexpr EventField addressField(int position) {
    return eventFieldAt(columnOf(EventField::BillingName) - 1 + position);
}

// Numbers in the range are handled in whole hundredths, so that "the next
// number" never drifts with binary fractions.
qint64 hundredths(double number) {
    return std::llround(number * 100);
}
double fromHundredths(qint64 number) {
    return double(number) / 100;
}

const Schema::Table &addressTable() {
    return *Schema::findTable(Master, QStringLiteral("address"));
}

// The name, address and phones of the event's two blocks, each cut to its
// column in the account's address row.
QVariantList addressValues(const CurrentEvent &event) {
    const Schema::Table &address = addressTable();
    QVariantList values;
    for (int position = 1; position <= AddressPositions; ++position)
        values << cutToLength(event.fields[addressField(position)].trimmed(),
                              address.columns[position].size);
    return values;
}

QString addressAssignments() {
    const Schema::Table &address = addressTable();
    QStringList assignments;
    for (int position = 1; position <= AddressPositions; ++position)
        assignments << address.columns[position].name + QStringLiteral(" = ?");
    return assignments.join(QStringLiteral(", "));
}

} // namespace

BillingAccounts::BillingAccounts(Module &module, QObject *parent)
    : QObject(parent)
    , m_module(module) {}

QString BillingAccounts::numberText(double number) {
    return QString::number(number, 'g', 12);
}

bool BillingAccounts::refusedForMonthEnd(const QString &verb) {
    if (!monthEndRunning(m_module.databases))
        return false;
    m_module.messages.show(QStringLiteral("Unable to ") + verb +
                               QStringLiteral(" accounts during month-end billing process. Try "
                                              "again later."),
                           Oops, Icon::Information);
    return true;
}

bool BillingAccounts::rangeConfigured() const {
    const double from = m_module.config.RangeFrom, to = m_module.config.RangeTo;
    const auto valid = [](double n) {
        return n >= 1 && n <= HighestNumber;
    };
    // A range entered the wrong way round is as unusable as none.
    return valid(from) && valid(to) && from <= to;
}

bool BillingAccounts::inRange(double number) const {
    return rangeConfigured() && hundredths(number) >= hundredths(m_module.config.RangeFrom) &&
           hundredths(number) <= hundredths(m_module.config.RangeTo);
}

Result<double, BillingAccounts::NoAccount> BillingAccounts::CreateAccount(int eventNumber) {
    Messages &messages = m_module.messages;
    if (refusedForMonthEnd(QStringLiteral("create")))
        return NoAccount::MonthEndRunning;
    if (!rangeConfigured()) {
        messages.show(
            QStringLiteral("A key configuration setting is missing. The from/to automatic member "
                           "number range \r\nhas not been configured. This is necessary before "
                           "member billing accounts \r\ncan be created from within the event "
                           "scheduling module."),
            Oops, Icon::Information);
        return NoAccount::Refused;
    }
    DatabasePtr db = m_module.access.openTogether(Master, {SecondMaster});
    if (!db)
        return NoAccount::Refused;

    // Numbers are tried from the lowest free one up: another workstation
    // may take a number first, and its rows then stand in the way.
    qint64 lowest = hundredths(m_module.config.RangeFrom);
    qint64 tried = lowest; // the number the last attempt took, or would have
    Result<Written> written = Written::Duplicate;
    while (written && *written == Written::Duplicate) {
        const Status attempt = messages.RetryWhileLocked([&]() -> Status {
            written = writeAccount(*db, eventNumber, lowest, tried);
            return written.status();
        });
        if (!attempt)
            written = attempt.error();
        lowest = tried + 100;
    }
    if (written && *written == Written::UsedUp) {
        messages.show(QStringLiteral("The range of allocated member numbers has been used up. \r\n"
                                     "The configuration option must be expanded before more \r\n"
                                     "accounts can be created through the event scheduling \r\n"
                                     "module."),
                      Oops, Icon::Information);
        return NoAccount::Refused;
    }
    const QString text = numberText(fromHundredths(tried));
    if (!written) {
        if (written.error().number != ErrorNumber::RecordLocked)
            messages.ShowErrorCodes(written.error());
        messages.show(QStringLiteral("Billing Account # ") + text +
                          QStringLiteral(" NOT created. Please retry."),
                      QStringLiteral("Retry."), Icon::Information);
        return NoAccount::Refused;
    }
    // The number goes into the event only once its account exists.
    m_module.event.fields[EventField::Account] = text;
    m_module.event.Account = fromHundredths(tried);
    m_module.checks.TaxExemptFlag = 0;
    const QString club = m_module.databases.settings().clubDirectory;
    const bool tills = ClubFile::exists(club, QStringLiteral("tillzo.exe"));
    messages.show(QStringLiteral("Billing Account # ") + text + QStringLiteral(" created.") +
                      (tills ? QStringLiteral("\r\nClick OK to update Tillzo POS with new account "
                                              "information...")
                             : QString()),
                  QStringLiteral("Successful..."), Icon::Information);
    // The export window is this program's own, so the tills' own program
    // is all it takes.
    if (tills)
        emit pointOfSaleExportRequested(MembersMode);
    return fromHundredths(tried);
}

Result<BillingAccounts::Written> BillingAccounts::writeAccount(Database &db, int eventNumber,
                                                               qint64 lowest, qint64 &number) {
    Transaction transaction(db);
    if (!transaction.begun())
        return transaction.begun().error();
    auto highest = db.exec(
        QStringLiteral("select max(acctnumber) from acctinfo where acctnumber between ? and ?"),
        {m_module.config.RangeFrom - AccountNumber::Tolerance,
         m_module.config.RangeTo + AccountNumber::Tolerance});
    if (!highest)
        return highest.error();
    number = highest->next() && !highest->value(0).isNull()
                 ? hundredths(highest->value(0).toDouble()) + 100
                 : hundredths(m_module.config.RangeFrom);
    highest->finish();
    number = std::max(number, lowest);
    if (number > hundredths(m_module.config.RangeTo))
        return Written::UsedUp;
    if (Status inserted = insertAccount(db, eventNumber, fromHundredths(number)); !inserted) {
        if (inserted.error().number == ErrorNumber::DuplicateKey)
            return Written::Duplicate;
        return inserted.error();
    }
    if (Status committed = transaction.commit(); !committed)
        return committed.error();
    return Written::Done;
}

Status BillingAccounts::insertAccount(Database &db, int eventNumber, double number) {
    const Configuration &config = m_module.config;
    const int today = m_module.ports.clock.today().toString(QStringLiteral("yyyyMMdd")).toInt();
    const QString name = QStringLiteral("Event #") + QString::number(eventNumber);
    QVariantList address{number};
    address << addressValues(m_module.event);
    QStringList columns, marks;
    for (int position = 0; position <= AddressPositions; ++position) {
        columns << addressTable().columns[position].name;
        marks << QStringLiteral("?");
    }
    // An event account: charged at the tills like any, billed on paper,
    // never interest; the suite's other columns keep their defaults.
    const struct {
        QString sql;
        QVariantList values;
    } rows[] = {
        {QStringLiteral("insert into acctinfo (acctnumber, fname, lname, classcode, billcode, "
                        "taxexempt, suspended, terminated, joindate, printstatement, chargeok, "
                        "pricelevel) values (?, ?, ?, ?, ?, 0, 0, 0, ?, 1, 1, 0)"),
         {number, QString(), name, cutToLength(config.DefaultClassCode, 5),
          cutToLength(config.DefaultBillingCode, 5), today}},
        {QStringLiteral("insert into address (%1) values (%2)")
             .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
         address},
        {QStringLiteral("insert into interesta (acctnumber, chargeinterest, interestrate, "
                        "gracedays, mininterest, lastcharged) values (?, 0, 0, 0, 0, 0)"),
         {number}},
        {QStringLiteral("insert into comments (acctnumber, comments) values (?, ?)"),
         {number, QString()}},
        {QStringLiteral("insert into %1.ar (acctnumber, arbalance, arcurrent, ar30, ar60, ar90, "
                        "arlastpaydate, arlastpayment, arytdcharges) "
                        "values (?, 0, 0, 0, 0, 0, 0, 0, 0)")
             .arg(SecondMaster),
         {number}},
    };
    for (const auto &row : rows) {
        if (Status inserted = db.execute(row.sql, row.values); !inserted)
            return inserted;
    }
    return {};
}

std::optional<BillingAccounts::Linked> BillingAccounts::LinkAccount(double number) {
    CurrentEvent &event = m_module.event;
    const auto refuse = [&] {
        event.fields[EventField::Account].clear();
        event.Account = 0;
        m_module.checks.TaxExemptFlag = 0;
        return std::nullopt;
    };
    DatabasePtr master = m_module.access.open(Master);
    if (!master)
        return std::nullopt;
    auto account = master->exec(QStringLiteral("select classcode, taxexempt, suspended from "
                                               "acctinfo where acctnumber between ? and ?"),
                                AccountNumber::around(number));
    if (!account) {
        m_module.messages.ShowErrorCodes(account.error());
        return std::nullopt;
    }
    if (!account->next()) {
        m_module.messages.show(QStringLiteral("Account # ") + numberText(number) +
                                   QStringLiteral(" does not exist."),
                               Oops, Icon::Information);
        return refuse();
    }
    Linked linked{account->value(0).toString().trimmed(), account->value(1).toInt() != 0};
    const bool suspended = account->value(2).toInt() != 0;
    account->finish();
    m_module.checks.TaxExemptFlag = linked.taxExempt ? 1 : 0;
    if (suspended) {
        if (!m_module.messages.AskYesNo(QStringLiteral("Member account # ") + numberText(number) +
                                            QStringLiteral(" is currently a suspended account.\r\n"
                                                           "Link this event to it anyway?"),
                                        QStringLiteral("Please confirm...")))
            return refuse();
        if (!m_module.session.CheckAccess(OperatorSession::evaccess3)) {
            m_module.messages.show(QStringLiteral("Access level 3 is required for this override."),
                                   Oops, Icon::Information);
            return refuse();
        }
    }

    auto address = master->exec(QStringLiteral("select * from address where acctnumber between "
                                               "? and ?"),
                                AccountNumber::around(number));
    if (!address) {
        m_module.messages.ShowErrorCodes(address.error());
        return std::nullopt;
    }
    const Schema::Table &events =
        *Schema::findTable(QStringLiteral("evnt"), QStringLiteral("eventinfo"));
    if (address->next()) {
        for (int position = 1; position <= AddressPositions; ++position) {
            const EventField field = addressField(position);
            event.fields[field] = cutToLength(address->value(position).toString().trimmed(),
                                              events.columns[columnOf(field)].size);
        }
    }
    event.Account = number;
    event.UnsavedChanges = true;
    return linked;
}

void BillingAccounts::UpdateAccount() {
    CurrentEvent &event = m_module.event;
    const double number = numericValue(event.fields[EventField::Account]);
    if (number <= 0 || !inRange(number))
        return;
    Messages &messages = m_module.messages;
    if (refusedForMonthEnd(QStringLiteral("update")))
        return;
    DatabasePtr master = m_module.access.open(Master);
    if (!master)
        return;
    QVariantList values = addressValues(event);
    values << AccountNumber::around(number);
    int updated = 0;
    const Status written = messages.RetryWhileLocked([&]() -> Status {
        auto update = master->exec(QStringLiteral("update address set ") + addressAssignments() +
                                       QStringLiteral(" where acctnumber between ? and ?"),
                                   values);
        if (!update)
            return update.status();
        updated = update->numRowsAffected();
        return {};
    });
    const QString text = numberText(number);
    if (!written) {
        if (written.error().number != ErrorNumber::RecordLocked)
            messages.ShowErrorCodes(written.error());
        messages.show(QStringLiteral("Billing Account # ") + text +
                          QStringLiteral(" NOT updated or not created."),
                      QStringLiteral("Retry?"), Icon::Information);
    } else if (updated == 0) {
        messages.show(QStringLiteral("The billing account for this event does not exist and "
                                     "therefore cannot be used for billing."),
                      Oops, Icon::Information);
    } else {
        messages.show(QStringLiteral("Billing Account # ") + text + QStringLiteral(" updated."),
                      QStringLiteral("Successful..."), Icon::Information);
    }
}
