#include "BenchSupport.h"
#include "billing/PointOfSaleExport.h"
#include "club/DemoTills.h"
#include "storage/Transaction.h"

#include <QSqlRecord>

namespace {

constexpr int Members = 20'000;
constexpr int Items = 10'000;
constexpr int Tills = 4;
constexpr int ButtonsPerTill = 200;

// A club of 20,000 members, 10,000 items on 20 sales accounts and four
// tills of 200 item buttons each. Made once for the run.
std::unique_ptr<BenchClub> club;

template <typename Work>
bool inTransaction(Module &module, const QString &name, const QStringList &others, Work work) {
    auto db = module.databases.openTogether(name, others);
    if (!db)
        return false;
    Transaction transaction(**db);
    return transaction.begun().ok() && work(**db) && transaction.commit().ok();
}

bool repeat(Database &db, const QString &sql, int count,
            const std::function<QVariantList(int)> &values) {
    auto statement = db.prepare(sql);
    if (!statement)
        return false;
    for (int i = 0; i < count; ++i) {
        for (const QVariant &value : values(i))
            statement->addBindValue(value);
        if (!db.exec(*statement))
            return false;
    }
    return true;
}

QString tillTable(int till) {
    return QStringLiteral("buttondef%1").arg(till, 2, 10, QLatin1Char('0'));
}

bool fillButtons(Database &db) {
    for (int till = 1; till <= Tills; ++till) {
        if (till > 1 && !DemoTills::addButtonTable(db, till))
            return false;
        const bool filled = repeat(
            db,
            QStringLiteral("insert into %1 (bnumber, btype, bitemnumber, bretail1) values (?, ?, "
                           "?, 0)")
                .arg(tillTable(till)),
            ButtonsPerTill, [till](int i) -> QVariantList {
                return {i + 1, 3 + i % 2, 1 + (till * 997 + i * 37) % Items};
            });
        if (!filled)
            return false;
    }
    return true;
}

BenchClub &bigClub() {
    if (club)
        return *club;
    auto made = std::make_unique<BenchClub>();
    Module &module = *made->module;
    const bool filled =
        inTransaction(
            module, QStringLiteral("master"), {},
            [](Database &db) {
                return repeat(
                    db,
                    QStringLiteral("insert into acctinfo (acctnumber, fname, "
                                   "lname, classcode, terminated, balance) "
                                   "values (?, 'Ada', ?, 'FM', ?, '12.5')"),
                    Members, [](int i) -> QVariantList {
                        return {1000 + i, QStringLiteral("Member %1").arg(i), i % 50 == 0 ? 1 : 0};
                    });
            }) &&
        inTransaction(module, QStringLiteral("invntory"), {},
                      [](Database &db) {
                          return repeat(
                              db,
                              QStringLiteral("insert into items (itemnumber, description, dept, "
                                             "avgcost, retail, altretail, taxpct, scpct, glsales, "
                                             "arcodes) values (?, ?, 'BAR', '2.5', '9.75', '8.5', "
                                             "0.07, 0.18, ?, '1100')"),
                              Items, [](int i) -> QVariantList {
                                  return {i + 1, QStringLiteral("Item %1").arg(i), 4000 + i % 20};
                              });
                      }) &&
        inTransaction(module, QStringLiteral("ar"), {},
                      [](Database &db) {
                          return repeat(db,
                                        QStringLiteral("insert into ar0 (aracctnum, "
                                                       "arapplytominimum, artototal, arppcode, "
                                                       "arinstallcode, arsrvchg, arsalestax) "
                                                       "values (?, 1, 1, 0, 0, 0.18, 0.07)"),
                                        20, [](int i) -> QVariantList { return {4000 + i}; });
                      }) &&
        inTransaction(module, QStringLiteral("qnposh"), {}, fillButtons) &&
        module.databases
            .executeIfPresent(QStringLiteral("config"),
                              QStringLiteral("update pos set tillcount = %1").arg(Tills))
            .ok();
    if (!filled)
        std::abort();
    club = std::move(made);
    return *club;
}

// Every row of a select into a table through one prepared insert, each
// value bound.
bool copyRows(Database &db, const QString &select, const QString &table) {
    auto rows = db.exec(select);
    if (!rows)
        return false;
    const int columns = rows->record().count();
    QList<QVariantList> all;
    while (rows->next()) {
        QVariantList values;
        for (int i = 0; i < columns; ++i)
            values << rows->value(i);
        all << values;
    }
    return db.execute(QStringLiteral("delete from ") + table).ok() &&
           repeat(db,
                  QStringLiteral("insert into %1 values (?%2)")
                      .arg(table, QStringLiteral(", ?").repeated(columns - 1)),
                  int(all.size()), [&all](int i) { return all[i]; });
}

// The floor of the member export: the active members copied with one
// prepared insert in one transaction.
void BaselineMembers(benchmark::State &state) {
    Module &module = *bigClub().module;
    for (auto _ : state) {
        const bool copied = inTransaction(
            module, QStringLiteral("qnposmem"), {QStringLiteral("master")}, [](Database &db) {
                return copyRows(
                    db, QStringLiteral("select * from master.acctinfo where terminated = 0"),
                    QStringLiteral("acctinfo"));
            });
        if (!copied)
            state.SkipWithError("not copied");
    }
}

void runMode(benchmark::State &state, const char *mode) {
    Module &module = *bigClub().module;
    PointOfSaleExport tills(module.databases, module.messages, module.longOperation);
    for (auto _ : state) {
        tills.updateTills(QString::fromLatin1(mode));
        if (tills.ErrorFlag != 0)
            state.SkipWithError(
                (tills.statusText + QLatin1Char(' ') + tills.errorDetail).toStdString().c_str());
    }
}

void ExportMembers(benchmark::State &state) {
    runMode(state, "16");
}

// The floor of the inventory and button export: the items copied as above,
// then one prepared update per item button.
void BaselineInventoryAndButtons(benchmark::State &state) {
    Module &module = *bigClub().module;
    for (auto _ : state) {
        const bool copied =
            inTransaction(module, QStringLiteral("qnposinv"), {QStringLiteral("invntory")},
                          [](Database &db) {
                              return copyRows(db, QStringLiteral("select * from invntory.items"),
                                              QStringLiteral("items"));
                          }) &&
            inTransaction(module, QStringLiteral("qnposh"), {}, [](Database &db) {
                for (int till = 1; till <= Tills; ++till) {
                    const bool updated = repeat(
                        db,
                        QStringLiteral("update %1 set bcost = ?, bretail = ?, baltretail = ?, "
                                       "btaxpct = ?, bscpct = ? where bnumber = ?")
                            .arg(tillTable(till)),
                        ButtonsPerTill, [](int i) -> QVariantList {
                            return {QStringLiteral("2.5"),
                                    QStringLiteral("9.75"),
                                    QStringLiteral("8.5"),
                                    0.07,
                                    0.18,
                                    i + 1};
                        });
                    if (!updated)
                        return false;
                }
                return true;
            });
        if (!copied)
            state.SkipWithError("not copied");
    }
}

void ExportInventoryAndButtons(benchmark::State &state) {
    runMode(state, "17");
}

} // namespace

BENCHMARK(BaselineMembers)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ExportMembers)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BaselineInventoryAndButtons)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ExportInventoryAndButtons)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char **argv) {
    return runWithRatios(argc, argv,
                         {{"ExportMembers", "BaselineMembers", 2.0},
                          {"ExportInventoryAndButtons", "BaselineInventoryAndButtons", 3.0}},
                         [] { club.reset(); });
}
