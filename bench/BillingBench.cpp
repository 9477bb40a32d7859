#include "BenchSupport.h"
#include "billing/BillingAccounts.h"
#include "billing/EventBilling.h"
#include "storage/Transaction.h"

namespace {

constexpr int Charges = 1'000'000;
constexpr int Items = 200;
constexpr int Event = 7;
constexpr int Accounts = 100'000;
constexpr int InRange = 9'000;
constexpr double RangeFrom = 90000;

// A club whose receivables work area holds a million charges, with one
// event of 200 items to bill, and 100,000 accounts of which 9,000 lie in
// the event-account range. Made once for the run.
std::unique_ptr<BenchClub> club;

template <typename Fill> bool inTransaction(Module &module, const QString &name, Fill fill) {
    auto db = module.databases.open(name);
    if (!db)
        return false;
    Transaction transaction(*db.value());
    return transaction.begun().ok() && fill(*db.value()) && transaction.commit().ok();
}

bool repeat(Database &db, const QString &sql, int count,
            const std::function<QVariantList(int)> &values) {
    auto insert = db.prepare(sql);
    if (!insert)
        return false;
    for (int i = 0; i < count; ++i) {
        for (const QVariant &value : values(i))
            insert->addBindValue(value);
        if (!db.exec(*insert))
            return false;
    }
    return true;
}

// The account numbers: 91,000 below the range, then the range's first 9,000.
double accountNumber(int i) {
    return i < Accounts - InRange ? 1 + i * 0.5 : RangeFrom + (i - (Accounts - InRange));
}

BenchClub &bigClub() {
    if (club)
        return *club;
    auto made = std::make_unique<BenchClub>();
    Module &module = *made->module;
    module.session.UserLevel = 99;
    module.config.RangeFrom = RangeFrom;
    module.config.RangeTo = 99999.99;
    const bool filled =
        inTransaction(module, QStringLiteral("daily"),
                      [](Database &db) {
                          return repeat(db,
                                        QStringLiteral("insert into ardaily (aracctnum, architnum, "
                                                       "architdate, armemberacctnum, archittotal, "
                                                       "memo, tendtype) values (?, ?, 20261201, "
                                                       "?, '12.5', 'Lunch', 9)"),
                                        Charges, [](int i) -> QVariantList {
                                            return {4010 + i % 20,
                                                    QStringLiteral("EV%1").arg(i / 10 + 100),
                                                    double(1000 + i % 5000)};
                                        });
                      }) &&
        inTransaction(
            module, QStringLiteral("evnt"),
            [](Database &db) {
                return db.execute(QStringLiteral("insert into eventinfo (eventnum, "
                                                 "status, custid) values (?, 4, 1001)"),
                                  {Event})
                           .ok() &&
                       repeat(db,
                              QStringLiteral("insert into items (eventid, qty, "
                                             "itemdesc, price, servchg, tax, glnum) "
                                             "values (?, 1, ?, '24.5', '4.41', "
                                             "'1.72', ?)"),
                              Items, [](int i) -> QVariantList {
                                  return {Event, QStringLiteral("Item %1").arg(i), 4010 + i % 20};
                              });
            }) &&
        inTransaction(module, QStringLiteral("ar"),
                      [](Database &db) {
                          return repeat(db,
                                        QStringLiteral("insert into ar0 (aracctnum, "
                                                       "arapplytominimum, artototal, arppcode, "
                                                       "arinstallcode) values (?, 1, 1, 0, 0)"),
                                        10, [](int i) -> QVariantList { return {4010 + i}; });
                      }) &&
        inTransaction(module, QStringLiteral("master"), [](Database &db) {
            return repeat(db,
                          QStringLiteral("insert into acctinfo (acctnumber, lname) values (?, "
                                         "'Member')"),
                          Accounts, [](int i) -> QVariantList { return {accountNumber(i)}; });
        });
    if (!filled)
        std::abort();
    club = std::move(made);
    return *club;
}

// The floor of billing: the same 200 charge rows, every value bound, in one
// transaction with one prepared statement.
void BaselineCharges(benchmark::State &state) {
    Module &module = *bigClub().module;
    for (auto _ : state) {
        const bool written = inTransaction(module, QStringLiteral("daily"), [](Database &db) {
            return repeat(
                db,
                QStringLiteral("insert into ardaily (aracctnum, architnum, architdate, "
                               "armemberacctnum, architemployee, architcovers, architbase, "
                               "architsrvchg, archittax, archittotal, mincode, totalcode, "
                               "ppcode, installcode, batch, memo, tendtype) values (?, ?, ?, ?, "
                               "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                Items, [](int i) -> QVariantList {
                    return {4010 + i % 20,
                            QStringLiteral("EV7"),
                            20261206,
                            1001.0001,
                            0.0,
                            0,
                            QStringLiteral("24.5"),
                            QStringLiteral("4.41"),
                            QStringLiteral("1.72"),
                            QStringLiteral("30.63"),
                            1,
                            1,
                            0,
                            0,
                            QStringLiteral("EV7"),
                            QStringLiteral("Item %1").arg(i),
                            9};
                });
        });
        if (!written)
            state.SkipWithError("not written");
    }
}

void BillEvent(benchmark::State &state) {
    BenchClub &bench = bigClub();
    Module &module = *bench.module;
    module.databases.open(QStringLiteral("master"))
        .value()
        ->execute(QStringLiteral(
            "insert into acctinfo (acctnumber, lname) values (1001.0001, 'Billed')"));
    EventBilling billing(module);
    for (auto _ : state) {
        state.PauseTiming();
        module.databases.open(QStringLiteral("evnt"))
            .value()
            ->execute(QStringLiteral("update eventinfo set status = 4"));
        bench.ports.yesAnswers = 1;
        state.ResumeTiming();
        if (billing.BillEvent(Event, 1001.0001, 0) != EventBilling::Billed::Charged)
            state.SkipWithError("not billed");
    }
}

void removeAccount(Module &module, double number) {
    inTransaction(module, QStringLiteral("master"), [&](Database &db) {
        for (const char *table : {"acctinfo", "address", "interesta", "comments"})
            db.execute(QStringLiteral("delete from %1 where acctnumber = ?")
                           .arg(QString::fromLatin1(table)),
                       {number});
        return true;
    });
    inTransaction(module, QStringLiteral("master2"), [&](Database &db) {
        return db.execute(QStringLiteral("delete from ar where acctnumber = ?"), {number}).ok();
    });
}

// The floor of an account: the highest number of the range and five rows in
// one transaction, each through a prepared statement.
void BaselineAccount(benchmark::State &state) {
    Module &module = *bigClub().module;
    for (auto _ : state) {
        double number = 0;
        auto db =
            module.databases.openTogether(QStringLiteral("master"), {QStringLiteral("master2")});
        {
            Transaction transaction(*db.value());
            auto highest = db.value()->exec(
                QStringLiteral("select max(acctnumber) from acctinfo where acctnumber between ? "
                               "and ?"),
                {RangeFrom, 99999.99});
            number = highest && highest->next() ? highest->value(0).toDouble() + 1 : 0;
            bool written = number > 0;
            for (const char *sql :
                 {"insert into acctinfo (acctnumber, lname) values (?, 'Event #1')",
                  "insert into address (acctnumber, mailname) values (?, 'Name')",
                  "insert into interesta (acctnumber) values (?)",
                  "insert into comments (acctnumber) values (?)",
                  "insert into master2.ar (acctnumber) values (?)"}) {
                auto insert = db.value()->prepare(QString::fromLatin1(sql));
                insert->addBindValue(number);
                written = written && insert && db.value()->exec(*insert);
            }
            if (!written || !transaction.commit())
                state.SkipWithError("not written");
        }
        db.value().reset();
        state.PauseTiming();
        removeAccount(module, number);
        state.ResumeTiming();
    }
}

void CreateAccount(benchmark::State &state) {
    Module &module = *bigClub().module;
    BillingAccounts accounts(module);
    for (auto _ : state) {
        const auto number = accounts.CreateAccount(1);
        if (!number)
            state.SkipWithError("not created");
        state.PauseTiming();
        removeAccount(module, number ? *number : 0);
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BaselineCharges)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BillEvent)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BaselineAccount)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(CreateAccount)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char **argv) {
    return runWithRatios(
        argc, argv,
        {{"BillEvent", "BaselineCharges", 2.0}, {"CreateAccount", "BaselineAccount", 3.0}},
        [] { club.reset(); });
}
