#include "BenchSupport.h"
#include "reports/ReportMenu.h"
#include "session/ClubSettings.h"
#include "storage/Transaction.h"

#include <QFile>

namespace {

constexpr int ItemsPerEvent = 8;
constexpr int BigClubEvents = 50000;
constexpr int SmallClubEvents = 5000;
constexpr int EventsThisMonth = 400;
constexpr int Years = 10;
const QDate Today(2027, 6, 15);

std::unique_ptr<BenchClub> bigClub;
std::unique_ptr<BenchClub> smallClub;

int dateNumber(const QDate &date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}

// The same events this month in both clubs; the rest spread over the other
// months of ten years. Eight items each.
std::unique_ptr<BenchClub> makeClub(int events) {
    auto made = std::make_unique<BenchClub>();
    made->ports.date = Today;
    Module &module = *made->module;
    module.session.UserLevel = 99;
    module.session.SysUser = 5;
    auto evnt = module.databases.open(QStringLiteral("evnt"));
    Database &db = *evnt.value();
    Transaction transaction(db);
    auto event = db.prepare(QStringLiteral(
        "insert into eventinfo (eventnum, eventdate, eventtitle, starttime, endtime, status, "
        "memnonmem, custid, roomnumber, guarantee, contactname) values (?, ?, ?, '18:00', "
        "'22:00', ?, 1, 1042, 1, 120, 'Ann Lee')"));
    auto item = db.prepare(
        QStringLiteral("insert into items (eventid, qty, itemnum, dept, itemdesc, cost, price, "
                       "servchg, tax, glnum) values (?, 120, ?, 3, ?, 4.5, 1560, 312, 93.6, "
                       "'4000')"));
    if (!event || !item)
        std::abort();
    const QDate monthStart(Today.year(), Today.month(), 1);
    for (int number = 1; number <= events; ++number) {
        QDate date;
        if (number <= EventsThisMonth) {
            date = monthStart.addDays(number % 28);
        } else {
            // Any day of ten years but this month's.
            date = QDate(Today.year() - Years / 2, 1, 1).addDays(number * 7 % (Years * 365));
            if (date.year() == Today.year() && date.month() == Today.month())
                date = date.addMonths(1);
        }
        event->bindValue(0, number);
        event->bindValue(1, dateNumber(date));
        event->bindValue(2, QStringLiteral("Dinner %1").arg(number));
        event->bindValue(3, 2 + number % 3);
        if (!db.exec(*event))
            std::abort();
        for (int i = 0; i < ItemsPerEvent; ++i) {
            item->bindValue(0, number);
            item->bindValue(1, 500 + i);
            item->bindValue(2, QStringLiteral("120 Plated dinner %1").arg(i));
            if (!db.exec(*item))
                std::abort();
        }
    }
    event->finish();
    item->finish();
    if (!transaction.commit())
        std::abort();
    return made;
}

BenchClub &club(int events) {
    auto &kept = events == BigClubEvents ? bigClub : smallClub;
    if (!kept)
        kept = makeClub(events);
    return *kept;
}

// A fresh work copy, made while the clock is stopped.
std::unique_ptr<ReportWorkCopy> freshCopy(benchmark::State &state, Module &module) {
    state.PauseTiming();
    auto work = ReportLauncher(module).PrepareReportDatabase();
    state.ResumeTiming();
    if (!work)
        state.SkipWithError("no work copy");
    return work;
}

ReportMenu::Listing itemsThisYear() {
    const DateRange year{Today.year() * 10000 + 101, Today.year() * 10000 + 1231};
    return ReportMenu::listing(ReportMenu::ItemsByDateRange, ReportMenu::DateNumbers::from(Today),
                               {}, year, {});
}

// The floor: one prepared select of the same rows and prepared inserts into
// the two work tables, in one transaction, without the listing's checks.
void BaselineItemsThisYear(benchmark::State &state) {
    Module &module = *club(BigClubEvents).module;
    const ReportMenu::Listing listing = itemsThisYear();
    const WorkTable events = WorkTable::whole(QStringLiteral("eventinfo"));
    const WorkTable items = WorkTable::whole(QStringLiteral("eventitems"));
    const auto insertSql = [](const WorkTable &table) {
        QStringList marks;
        marks.fill(QStringLiteral("?"), table.columns.size());
        return QStringLiteral("insert into %1 (%2) values (%3)")
            .arg(table.name, table.selectList(), marks.join(QLatin1Char(',')));
    };
    for (auto _ : state) {
        const auto work = freshCopy(state, module);
        auto source = module.databases.open(QStringLiteral("evnt"));
        auto target = work->open();
        QSqlQuery select(source.value()->handle());
        select.setForwardOnly(true);
        select.prepare(QStringLiteral("select %1, %2 from eventinfo e inner join items i on "
                                      "e.eventnum = i.eventid where %3")
                           .arg(events.selectList(QStringLiteral("e")),
                                items.selectList(QStringLiteral("i")), listing.where));
        for (const QVariant &value : listing.values)
            select.addBindValue(value);
        select.exec();
        target.value()->handle().transaction();
        QSqlQuery addEvent(target.value()->handle());
        QSqlQuery addItem(target.value()->handle());
        addEvent.prepare(insertSql(events));
        addItem.prepare(insertSql(items));
        const int width = int(events.columns.size());
        int rows = 0, previous = 0;
        while (select.next()) {
            const int number = select.value(2).toInt();
            if (number != previous) {
                for (int c = 0; c < width; ++c)
                    addEvent.bindValue(c, select.value(c));
                addEvent.exec();
                previous = number;
            }
            for (int c = 0; c < int(items.columns.size()); ++c)
                addItem.bindValue(c, select.value(width + c));
            addItem.exec();
            ++rows;
        }
        addEvent.finish();
        addItem.finish();
        target.value()->handle().commit();
        if (rows == 0)
            state.SkipWithError("nothing selected");
    }
}

void ItemsThisYear(benchmark::State &state) {
    Module &module = *club(BigClubEvents).module;
    ReportMenu menu(module);
    const ReportMenu::Listing listing = itemsThisYear();
    for (auto _ : state) {
        const auto work = freshCopy(state, module);
        if (!menu.copy(*work, listing))
            state.SkipWithError("not copied");
    }
}

void eventsThisMonth(benchmark::State &state, int clubEvents) {
    Module &module = *club(clubEvents).module;
    ReportMenu menu(module);
    const ReportMenu::Listing listing = ReportMenu::listing(
        ReportMenu::ThisMonth, ReportMenu::DateNumbers::from(Today), {}, {}, {});
    for (auto _ : state) {
        const auto work = freshCopy(state, module);
        if (!menu.copy(*work, listing))
            state.SkipWithError("not copied");
    }
}

void EventsThisMonthSmallClub(benchmark::State &state) {
    eventsThisMonth(state, SmallClubEvents);
}

void EventsThisMonthBigClub(benchmark::State &state) {
    eventsThisMonth(state, BigClubEvents);
}

BENCHMARK(BaselineItemsThisYear)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(ItemsThisYear)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(EventsThisMonthSmallClub)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(EventsThisMonthBigClub)->Unit(benchmark::kMillisecond)->MinTime(1);

} // namespace

int main(int argc, char **argv) {
    return runWithRatios(argc, argv,
                         {{"ItemsThisYear", "BaselineItemsThisYear", 1.5},
                          {"EventsThisMonthBigClub", "EventsThisMonthSmallClub", 1.3}},
                         [] {
                             bigClub.reset();
                             smallClub.reset();
                         });
}
