#include "BenchSupport.h"
#include "reports/TaskList.h"
#include "storage/Transaction.h"

#include <QDate>

namespace {

constexpr int Events = 50000;
constexpr int Tasks = 200000;
constexpr int FirstYear = 2020;
constexpr int Days = 20 * 365;

int dateOf(int day) {
    const QDate date = QDate(FirstYear, 1, 1).addDays(day % Days);
    return date.year() * 10000 + date.month() * 100 + date.day();
}

// A club of twenty years: 50,000 events and four tasks each, due on days
// spread over those years. Made once for the whole run.
std::unique_ptr<BenchClub> club;

bool fill(Database &evnt) {
    Transaction transaction(evnt);
    auto event = evnt.prepare(
        QStringLiteral("insert into eventinfo (eventnum, eventdate, eventtitle) values (?, ?, ?)"));
    auto task = evnt.prepare(QStringLiteral("insert into tasklist (eventnumber, taskdate, todo, "
                                            "task, staff) values (?, ?, ?, ?, ?)"));
    if (!transaction.begun() || !event || !task)
        return false;
    for (int number = 1; number <= Events; ++number) {
        event->bindValue(0, number);
        event->bindValue(1, dateOf(number));
        event->bindValue(2, QStringLiteral("Event %1").arg(number));
        if (!evnt.exec(*event))
            return false;
    }
    for (int i = 0; i < Tasks; ++i) {
        task->bindValue(0, i % Events + 1);
        task->bindValue(1, dateOf(i * 37));
        task->bindValue(2, i % 3 == 0 ? QStringLiteral("Y") : QStringLiteral("N"));
        task->bindValue(3, QStringLiteral("Task %1 of the event").arg(i / Events + 1));
        task->bindValue(4, QStringLiteral("DEMO"));
        if (!evnt.exec(*task))
            return false;
    }
    return transaction.commit().ok();
}

BenchClub &bigClub() {
    if (!club) {
        auto made = std::make_unique<BenchClub>();
        auto db = made->module->databases.open(QStringLiteral("evnt"));
        if (!db || !fill(*db.value()))
            std::abort();
        club = std::move(made);
    }
    return *club;
}

// The floor: one indexed, prepared query for the same rows, read whole.
void baseline(benchmark::State &state, const QString &sql, const std::function<int(int)> &key) {
    Module &module = *bigClub().module;
    int i = 0;
    for (auto _ : state) {
        auto db = module.databases.open(QStringLiteral("evnt"));
        auto rows = db.value()->exec(sql, {key(++i)});
        QList<QVariantList> read;
        while (rows && rows->next()) {
            QVariantList row;
            for (int column = 0; column < 5; ++column)
                row << rows->value(column);
            read << row;
        }
        if (read.isEmpty())
            state.SkipWithError("no rows");
    }
}

int eventKey(int i) {
    return (i * 7919) % Events + 1;
}

int dateKey(int i) {
    return dateOf(i * 37);
}

void BaselineByEvent(benchmark::State &state) {
    baseline(state,
             QStringLiteral("select eventnumber, taskdate, todo, task, staff from tasklist where "
                            "eventnumber = ? order by taskdate"),
             eventKey);
}

void BaselineByDate(benchmark::State &state) {
    baseline(state,
             QStringLiteral("select eventnumber, taskdate, todo, task, staff from tasklist where "
                            "taskdate = ? order by eventnumber"),
             dateKey);
}

// Opening the window on a list: the left-overs cleared, the tasks read.
void list(benchmark::State &state, bool (TaskList::*open)(int), int (*key)(int)) {
    TaskList tasks(*bigClub().module);
    int i = 0;
    for (auto _ : state) {
        if (!(tasks.*open)(key(++i)) || tasks.rows.isEmpty())
            state.SkipWithError("no rows");
    }
}

void ListByEvent(benchmark::State &state) {
    list(state, &TaskList::listEvent, eventKey);
}

void ListByDate(benchmark::State &state) {
    list(state, &TaskList::listDate, dateKey);
}

} // namespace

BENCHMARK(BaselineByEvent)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(ListByEvent)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BaselineByDate)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(ListByDate)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

int main(int argc, char **argv) {
    return runWithRatios(
        argc, argv,
        {{"ListByEvent", "BaselineByEvent", 3.0}, {"ListByDate", "BaselineByDate", 3.0}},
        [] { club.reset(); });
}
