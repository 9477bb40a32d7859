#include "BenchSupport.h"
#include "items/ItemWindow.h"
#include "storage/Transaction.h"

namespace {

constexpr int Events = 50000;
constexpr int RowsPerEvent = 10;
constexpr int BusyEvents = 200; // these have 40 rows each: the ones opened
constexpr int BusyRows = 40;
constexpr int Departments = 10;
constexpr int ItemsPerDepartment = 2000;

// A club of 50,000 events with half a million item rows and 20,000
// inventory items in ten departments of 2,000. Made once for the run.
std::unique_ptr<BenchClub> club;

bool fillEvents(Database &evnt) {
    Transaction transaction(evnt);
    auto event = evnt.prepare(QStringLiteral("insert into eventinfo (eventnum, eventdate, "
                                             "eventtitle, status) values (?, 20270301, ?, 4)"));
    auto item = evnt.prepare(QStringLiteral(
        "insert into items (eventid, qty, itemnum, dept, itemdesc, cost, price, servchg, tax, "
        "glnum) values (?, 2, ?, 'D1', ?, '1.5', '24.5', '4.41', '1.72', 4100)"));
    if (!transaction.begun() || !event || !item)
        return false;
    for (int number = 1; number <= Events; ++number) {
        event->bindValue(0, number);
        event->bindValue(1, QStringLiteral("Event %1").arg(number));
        if (!evnt.exec(*event))
            return false;
        const int rows = number <= BusyEvents ? BusyRows : RowsPerEvent;
        for (int row = 0; row < rows; ++row) {
            item->bindValue(0, number);
            item->bindValue(1, 1000 + row);
            item->bindValue(2, QStringLiteral("2 Item %1").arg(row));
            if (!evnt.exec(*item))
                return false;
        }
    }
    return transaction.commit().ok();
}

bool fillInventory(Database &stock) {
    Transaction transaction(stock);
    auto item = stock.prepare(QStringLiteral(
        "insert into items (itemnumber, description, dept, unitcost, retail, altretail, taxpct, "
        "scpct, glsales) values (?, ?, ?, '3.25', '12.25', '11', 0.07, 0.18, 4100)"));
    if (!transaction.begun() || !item)
        return false;
    for (int number = 0; number < Departments * ItemsPerDepartment; ++number) {
        item->bindValue(0, 1000 + number);
        item->bindValue(1, QStringLiteral("Item %1").arg(number));
        item->bindValue(2, QStringLiteral("D%1").arg(number % Departments + 1));
        if (!stock.exec(*item))
            return false;
    }
    return transaction.commit().ok();
}

BenchClub &bigClub() {
    if (!club) {
        auto made = std::make_unique<BenchClub>();
        Module &module = *made->module;
        module.session.UserLevel = 99;
        auto evnt = module.databases.open(QStringLiteral("evnt"));
        auto stock = module.databases.open(QStringLiteral("invntory"));
        if (!evnt || !stock || !fillEvents(*evnt.value()) || !fillInventory(*stock.value()))
            std::abort();
        club = std::move(made);
    }
    return *club;
}

// The event the main window would hand over.
void choose(Module &module, int number) {
    CurrentEvent &event = module.event;
    event.EventNumber = number;
    event.Status = 4;
    event.Account = 0;
    event.fields[EventField::Guarantee] = QStringLiteral("100");
    event.Caption = QStringLiteral("Event %1 - 03/01/2027").arg(number);
}

int busyEvent(int i) {
    return i % BusyEvents + 1;
}

QList<QVariantList> readAll(QSqlQuery &rows, int columns) {
    QList<QVariantList> read;
    while (rows.next()) {
        QVariantList row;
        for (int column = 0; column < columns; ++column)
            row << rows.value(column);
        read << row;
    }
    return read;
}

// The floor of opening: the event's rows and the first department's items,
// each one prepared query read whole.
void BaselineOpen(benchmark::State &state) {
    Module &module = *bigClub().module;
    int i = 0;
    for (auto _ : state) {
        auto evnt = module.databases.open(QStringLiteral("evnt"));
        auto stock = module.databases.open(QStringLiteral("invntory"));
        auto rows = evnt.value()->exec(
            QStringLiteral("select * from items where eventid = ? order by dept, itemdesc"),
            {busyEvent(++i)});
        auto items = stock.value()->exec(
            QStringLiteral("select * from items where dept = ? order by description"),
            {QStringLiteral("D1")});
        if (!rows || !items || readAll(*rows, 10).size() != BusyRows ||
            readAll(*items, 16).size() != ItemsPerDepartment)
            state.SkipWithError("rows missing");
    }
}

void OpenWindow(benchmark::State &state) {
    Module &module = *bigClub().module;
    ItemWindow window(module);
    int i = 0;
    for (auto _ : state) {
        choose(module, busyEvent(++i));
        if (!window.open())
            state.SkipWithError("not opened");
        window.showDepartment(QStringLiteral("D1"), QStringLiteral("Department 1"));
        if (window.eventItems.size() < BusyRows || window.inventory.size() != ItemsPerDepartment)
            state.SkipWithError("rows missing");
    }
}

// The floor of adding: the row inserted and the event's rows read again.
void BaselineAdd(benchmark::State &state) {
    Module &module = *bigClub().module;
    int i = 0;
    for (auto _ : state) {
        const int event = BusyEvents + 1 + (++i % 1000);
        auto evnt = module.databases.open(QStringLiteral("evnt"));
        const Status added = evnt.value()->execute(
            QStringLiteral("insert into items (eventid, qty, itemnum, dept, itemdesc, cost, price, "
                           "servchg, tax, glnum) values (?, 2, 1000, 'D1', '2 Item 0', '3.25', "
                           "'24.5', '4.41', '1.72', 4100)"),
            {event});
        auto rows = evnt.value()->exec(
            QStringLiteral("select * from items where eventid = ? order by dept, itemdesc"),
            {event});
        if (!added || !rows || readAll(*rows, 10).isEmpty())
            state.SkipWithError("not added");
    }
}

void AddItem(benchmark::State &state) {
    Module &module = *bigClub().module;
    ItemWindow window(module);
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        choose(module, BusyEvents + 1 + (++i % 1000));
        window.open();
        window.showDepartment(QStringLiteral("D1"), QStringLiteral("Department 1"));
        window.setQuantityText(QStringLiteral("2"));
        const auto rows = window.eventItems.size();
        state.ResumeTiming();
        window.moveItem(ItemWindow::AddMove);
        if (window.eventItems.size() != rows + 1)
            state.SkipWithError("not added");
    }
}

} // namespace

BENCHMARK(BaselineOpen)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(OpenWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BaselineAdd)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(AddItem)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char **argv) {
    return runWithRatios(argc, argv,
                         {{"OpenWindow", "BaselineOpen", 3.0}, {"AddItem", "BaselineAdd", 3.0}},
                         [] { club.reset(); });
}
