#include "BenchSupport.h"
#include "calendar/RoomEditor.h"
#include "calendar/YearSetup.h"
#include "events/EventRecord.h"
#include "events/WholeEvent.h"
#include "storage/Transaction.h"

namespace {

constexpr int Items = 300;
constexpr int Year = 2027;
constexpr int Room = 1;
constexpr int SourceDate = Year * 10000 + 301;
// The clone goes to one of two days in turn; the clock is stopped while
// the last one is taken away again.
constexpr int CloneDates[] = {Year * 10000 + 401, Year * 10000 + 402};

std::unique_ptr<BenchClub> club;
int source = 0;

// Two rooms, the year set up, and a four-hour dinner with 300 items.
BenchClub &clubWithDinner() {
    if (club)
        return *club;
    auto made = std::make_unique<BenchClub>();
    made->ports.date = QDate(Year, 1, 10);
    Module &module = *made->module;
    module.session.UserLevel = 99;
    module.session.AccessThresholds = {0, 0, 0, 0};
    RoomEditor rooms(module);
    rooms.OpenRoomEditor(true);
    for (const char *name : {"Ballroom", "Terrace"}) {
        rooms.editBox(RoomEditor::NameBox, QString::fromLatin1(name));
        rooms.editBox(RoomEditor::CapacityBox, QStringLiteral("200"));
        rooms.RoomButton(RoomEditor::AddRoom);
    }
    if (!YearSetup(module).fillYear(Year))
        std::abort();
    EventRecord record(module);
    record.ClearEvent();
    source = record.NextEventNumber();
    auto &fields = module.event.fields;
    fields[EventField::Date] = QString::number(SourceDate);
    fields[EventField::Title] = QStringLiteral("Harvest Dinner");
    fields[EventField::Start] = QStringLiteral("18:00");
    fields[EventField::End] = QStringLiteral("22:00");
    fields[EventField::Status] = QStringLiteral("2");
    fields[EventField::Room] = QString::number(Room);
    if (record.SaveEvent(EventRecord::NewEvent) != EventRecord::Saved::Done)
        std::abort();
    auto evnt = module.databases.open(QStringLiteral("evnt"));
    Transaction transaction(*evnt.value());
    auto item = evnt.value()->prepare(
        QStringLiteral("insert into items (eventid, qty, itemnum, dept, itemdesc, cost, price, "
                       "servchg, tax, glnum) values (?, 120, ?, 'BQ', ?, 4.5, 1560, 312, 93.6, "
                       "'4000')"));
    for (int i = 0; i < Items; ++i) {
        item->bindValue(0, source);
        item->bindValue(1, 500 + i);
        item->bindValue(2, QStringLiteral("120 Plated dinner %1").arg(i));
        if (!evnt.value()->exec(*item))
            std::abort();
    }
    item->finish();
    if (!transaction.commit())
        std::abort();
    club = std::move(made);
    return *club;
}

// Takes the clone off its day again, with the clock stopped.
void removeClone(benchmark::State &state, Module &module, int number, int date) {
    state.PauseTiming();
    auto evnt = module.databases.open(QStringLiteral("evnt"));
    Transaction transaction(*evnt.value());
    for (const auto &[sql, values] : QList<std::pair<QString, QVariantList>>{
             {QStringLiteral("delete from items where eventid = ?"), {number}},
             {QStringLiteral("delete from eventinfo where eventnum = ?"), {number}},
             {QStringLiteral("update reserv set event1 = 0, room1 = ' ' where resdate = ?"),
              {date}}})
        if (!evnt.value()->execute(sql, values))
            state.SkipWithError("not removed");
    if (!transaction.commit())
        state.SkipWithError("not removed");
    state.ResumeTiming();
}

// The floor: the row, its 16 cells and the 300 items written in one
// transaction with prepared statements, nothing read or checked.
void BaselineClone(benchmark::State &state) {
    Module &module = *clubWithDinner().module;
    int turn = 0;
    for (auto _ : state) {
        const int date = CloneDates[turn++ % 2];
        const int number = 900000 + turn;
        auto evnt = module.databases.open(QStringLiteral("evnt"));
        {
            Transaction transaction(*evnt.value());
            evnt.value()->execute(
                QStringLiteral("insert into eventinfo (eventnum, eventdate, eventtitle, "
                               "starttime, endtime, status, roomnumber) values (?, ?, 'Harvest "
                               "Dinner', '18:00', '22:00', 2, ?)"),
                {number, date, Room});
            evnt.value()->execute(
                QStringLiteral("update reserv set event1 = ?, room1 = 'Harvest Dinner' where "
                               "resdate = ? and restime >= '18:00' and restime < '22:00'"),
                {number, date});
            auto item = evnt.value()->prepare(
                QStringLiteral("insert into items (eventid, qty, itemnum, dept, itemdesc, cost, "
                               "price, servchg, tax, glnum) values (?, 120, ?, 'BQ', ?, 4.5, "
                               "1560, 312, 93.6, '4000')"));
            for (int i = 0; i < Items; ++i) {
                item->bindValue(0, number);
                item->bindValue(1, 500 + i);
                item->bindValue(2, QStringLiteral("120 Plated dinner %1").arg(i));
                evnt.value()->exec(*item);
            }
            item->finish();
            if (!transaction.commit())
                state.SkipWithError("commit failed");
        }
        evnt.value().reset();
        removeClone(state, module, number, date);
    }
}

// A clone as the File menu makes it: a new number, the save's conflict
// check, row, cells and copied items, and the reload.
void CloneEvent(benchmark::State &state) {
    Module &module = *clubWithDinner().module;
    EventRecord record(module);
    int turn = 0;
    for (auto _ : state) {
        const int date = CloneDates[turn++ % 2];
        state.PauseTiming();
        if (!record.LoadEvent(source))
            state.SkipWithError("no source");
        state.ResumeTiming();
        if (!WholeEvent::prepareClone(module, record, date) ||
            record.SaveEvent(EventRecord::NewEvent) != EventRecord::Saved::Done)
            state.SkipWithError(clubWithDinner().ports.lastMessage.toStdString().c_str());
        removeClone(state, module, module.event.EventNumber, date);
    }
}

BENCHMARK(BaselineClone)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(CloneEvent)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char **argv) {
    return runWithRatios(argc, argv, {{"CloneEvent", "BaselineClone", 3.0}}, [] { club.reset(); });
}
