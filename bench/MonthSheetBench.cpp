#include "BenchSupport.h"
#include "calendar/MonthSheet.h"
#include "calendar/YearSetup.h"
#include "storage/Transaction.h"

#include <QRandomGenerator>
#include <map>
#include <memory>

namespace {

constexpr int FirstYear = 2020;
constexpr int Years = 20;
const QDate ShownDay(2030, 6, 15);
constexpr int ShownFirst = 20300601;
constexpr int ShownLast = 20300630;
constexpr int EventsInShownMonth = 200;

// Adds events: the shown month always gets the same ones, the rest are
// spread over the other months of the twenty years, statuses 1 to 9 mixed.
void addEvents(Module &module, int total, bool spreadShownMonth) {
    auto db = module.databases.open(QStringLiteral("evnt"));
    if (!db)
        std::abort();
    Transaction transaction(*db.value());
    auto insert = db.value()->prepare(
        QStringLiteral("insert into eventinfo (eventnum, eventdate, eventtitle, starttime, "
                       "endtime, status, roomnumber) values (?, ?, ?, ?, ?, ?, ?)"));
    if (!insert)
        std::abort();
    QRandomGenerator random(7);
    const int days = QDate(FirstYear, 1, 1).daysTo(QDate(FirstYear + Years, 1, 1));
    for (int number = 1; number <= total; ++number) {
        QDate day;
        if (number <= EventsInShownMonth && !spreadShownMonth) {
            day = QDate(2030, 6, 1 + number % 30);
        } else {
            do
                day = QDate(FirstYear, 1, 1).addDays(random.bounded(days));
            while (!spreadShownMonth && day.year() == 2030 && day.month() == 6);
        }
        const int start = 6 * 4 + random.bounded(60);
        insert->bindValue(0, number);
        insert->bindValue(1, day.year() * 10000 + day.month() * 100 + day.day());
        insert->bindValue(2, QStringLiteral("Event %1").arg(number));
        insert->bindValue(3, YearSetup::slotTime(start));
        insert->bindValue(4, YearSetup::slotTime(start + 8));
        insert->bindValue(5, 1 + random.bounded(9));
        insert->bindValue(6, 1 + random.bounded(5));
        if (!db.value()->exec(*insert).ok())
            std::abort();
    }
    if (!transaction.commit().ok())
        std::abort();
}

// The clubs are built once per process, on first use, and removed before
// the application object goes.
std::map<int, std::unique_ptr<BenchClub>> clubs;
constexpr int HistoryClub = 0;

// Twenty years set up and 50,000 events spread over them.
BenchClub &historyClub() {
    std::unique_ptr<BenchClub> &club = clubs[HistoryClub];
    if (!club) {
        club = std::make_unique<BenchClub>();
        club->ports.date = ShownDay;
        YearSetup setup(*club->module);
        for (int year = FirstYear; year < FirstYear + Years; ++year) {
            if (!setup.fillYear(year).ok())
                std::abort();
        }
        addEvents(*club->module, 50000, true);
    }
    return *club;
}

// The same month's events in a small and in a large club.
BenchClub &clubWithEvents(int total) {
    std::unique_ptr<BenchClub> &club = clubs[total];
    if (!club) {
        club = std::make_unique<BenchClub>();
        club->ports.date = ShownDay;
        addEvents(*club->module, total, false);
    }
    return *club;
}

// The shown month's events by one query on the date index.
int readMonth(Database &evnt) {
    auto query = evnt.exec(
        QStringLiteral("select eventdate, starttime, eventtitle, status from eventinfo where "
                       "eventdate between ? and ? and status between ? and ? order by eventdate, "
                       "starttime"),
        {ShownFirst, ShownLast, 2, 8});
    int rows = 0;
    while (query->next())
        rows += query->value(2).toString().size() > 0;
    return rows;
}

// The floor: open the event database and read the month's events with one
// query on the date index, as any display of the month must.
void Baseline(benchmark::State &state) {
    Module &module = *historyClub().module;
    for (auto _ : state) {
        auto db = module.databases.open(QStringLiteral("evnt"));
        benchmark::DoNotOptimize(readMonth(*db.value()));
    }
}

// The query alone on a connection already open, for comparison only: the
// program opens its database for each operation.
void QueryOnOpenConnection(benchmark::State &state) {
    Module &module = *historyClub().module;
    auto db = module.databases.open(QStringLiteral("evnt"));
    for (auto _ : state)
        benchmark::DoNotOptimize(readMonth(*db.value()));
}

void sheet(benchmark::State &state, BenchClub &club) {
    MonthSheet sheet(*club.module);
    for (auto _ : state) {
        if (!sheet.BuildMonthSheet())
            state.SkipWithError("the month sheet failed");
    }
}

void MonthSheetOfTwentyYears(benchmark::State &state) {
    sheet(state, historyClub());
}
void MonthSheet1000Events(benchmark::State &state) {
    sheet(state, clubWithEvents(1000));
}
void MonthSheet100000Events(benchmark::State &state) {
    sheet(state, clubWithEvents(100000));
}

} // namespace

BENCHMARK(Baseline)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(QueryOnOpenConnection)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(MonthSheetOfTwentyYears)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(MonthSheet1000Events)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(MonthSheet100000Events)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// Two ratios, each against its own floor: the sheet against the bare month
// query, and the sheet of a large club against the same month in a small one.
int main(int argc, char **argv) {
    return runWithRatios(argc, argv,
                         {{"MonthSheetOfTwentyYears", "Baseline", 3.0},
                          {"MonthSheet100000Events", "MonthSheet1000Events", 1.3},
                          {"MonthSheetOfTwentyYears", "QueryOnOpenConnection", 0}},
                         [] { clubs.clear(); });
}
