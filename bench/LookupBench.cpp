#include "BenchSupport.h"
#include "events/EventLookup.h"
#include "events/EventWindow.h"
#include "ports/Companions.h"
#include "storage/Transaction.h"

#include <QSqlQuery>

namespace {

constexpr int ClubEvents = 50000;
constexpr int Weddings = 5000; // every tenth event
const QString Typed = QStringLiteral("wedd");

std::unique_ptr<BenchClub> kept;

// 50,000 events over ten years, one in ten of them a wedding.
BenchClub &club() {
    if (kept)
        return *kept;
    kept = std::make_unique<BenchClub>();
    auto evnt = kept->module->databases.open(QStringLiteral("evnt"));
    Database &db = *evnt.value();
    Transaction transaction(db);
    auto event = db.prepare(QStringLiteral(
        "insert into eventinfo (eventnum, eventdate, eventtitle, starttime, endtime, status, "
        "memnonmem, custid, custname, contactname) values (?, ?, ?, '18:00', '22:00', 2, 1, "
        "1042, ?, ?)"));
    if (!event)
        std::abort();
    const QDate first(2022, 1, 1);
    for (int number = 1; number <= ClubEvents; ++number) {
        const QDate date = first.addDays(number * 7 % 3650);
        const bool wedding = number % (ClubEvents / Weddings) == 0;
        event->bindValue(0, number);
        event->bindValue(1, date.year() * 10000 + date.month() * 100 + date.day());
        event->bindValue(2, wedding ? QStringLiteral("Wedding Reception %1").arg(number)
                                    : QStringLiteral("Members' Dinner %1").arg(number));
        event->bindValue(3, QStringLiteral("Family %1").arg(number % 997));
        event->bindValue(4, QStringLiteral("Contact %1").arg(number % 991));
        if (!db.exec(*event))
            std::abort();
    }
    event->finish();
    if (!transaction.commit())
        std::abort();
    return *kept;
}

// The floor: the connection, one prepared select of the same rows in the
// same order, and every value read.
void BaselineTitleQuery(benchmark::State &state) {
    Module &module = *club().module;
    for (auto _ : state) {
        auto db = module.databases.open(QStringLiteral("evnt"));
        QSqlQuery select(db.value()->handle());
        select.setForwardOnly(true);
        select.prepare(QStringLiteral("select eventnum, eventtitle, eventdate, custname, "
                                      "contactname from eventinfo where lower(eventtitle) like ? "
                                      "order by eventdate, eventnum"));
        select.addBindValue(QLatin1Char('%') + Typed + QLatin1Char('%'));
        select.exec();
        int rows = 0;
        while (select.next()) {
            for (int c = 0; c < 5; ++c)
                benchmark::DoNotOptimize(select.value(c).toString());
            ++rows;
        }
        if (rows != Weddings)
            state.SkipWithError("not every wedding selected");
    }
}

// The title typed into the panel and "Lookup" pressed: the list filled.
void TitleLookup(benchmark::State &state) {
    Module &module = *club().module;
    EventWindow window;
    EventLookup lookup(module, window, module.companions);
    for (auto _ : state) {
        lookup.criteria[EventLookup::TitleBox] = Typed;
        lookup.search();
        if (lookup.results.entries.size() != Weddings)
            state.SkipWithError("not every wedding listed");
    }
}

BENCHMARK(BaselineTitleQuery)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(TitleLookup)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char **argv) {
    return runWithRatios(argc, argv, {{"TitleLookup", "BaselineTitleQuery", 2.0}},
                         [] { kept.reset(); });
}
