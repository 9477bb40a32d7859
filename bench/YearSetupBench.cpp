#include "BenchSupport.h"
#include "calendar/YearSetup.h"
#include "storage/Transaction.h"

namespace {

constexpr int Year = 2027;

// The floor: the same 35,040 rows through one prepared statement in one
// transaction, nothing else.
void Baseline(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto club = std::make_unique<BenchClub>();
        state.ResumeTiming();
        {
            auto db = club->module->databases.open(QStringLiteral("evnt"));
            Transaction transaction(*db.value());
            auto insert = db.value()->prepare(
                QStringLiteral("insert into reserv (resdate, restime) values (?, ?)"));
            for (QDate day(Year, 1, 1); day.year() == Year; day = day.addDays(1)) {
                const int date = day.year() * 10000 + day.month() * 100 + day.day();
                for (int slot = 0; slot < YearSetup::SlotsPerDay; ++slot) {
                    insert->bindValue(0, date);
                    insert->bindValue(1, YearSetup::slotTime(slot));
                    db.value()->exec(*insert);
                }
            }
            if (!transaction.commit().ok())
                state.SkipWithError("commit failed");
        } // the connection closes before its club goes
        state.PauseTiming();
        club.reset();
        state.ResumeTiming();
    }
}

void InitializeYear(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto club = std::make_unique<BenchClub>();
        YearSetup setup(*club->module);
        state.ResumeTiming();
        if (!setup.fillYear(Year).ok())
            state.SkipWithError("year set-up failed");
        state.PauseTiming();
        club.reset();
        state.ResumeTiming();
    }
}

void BackfillCompleteYear(benchmark::State &state) {
    BenchClub club;
    YearSetup setup(*club.module);
    if (!setup.fillYear(Year).ok())
        state.SkipWithError("year set-up failed");
    for (auto _ : state) {
        auto added = setup.fillYear(Year);
        if (!added.ok() || *added != 0)
            state.SkipWithError("backfill added rows to a complete year");
    }
}

} // namespace

BENCHMARK(Baseline)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(InitializeYear)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BackfillCompleteYear)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char **argv) {
    return runWithRatios(argc, argv, "Baseline",
                         {{"InitializeYear", 1.5}, {"BackfillCompleteYear", 3.0}});
}
