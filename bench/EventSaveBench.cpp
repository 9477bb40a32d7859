#include "BenchSupport.h"
#include "calendar/RoomEditor.h"
#include "calendar/YearSetup.h"
#include "events/EventRecord.h"
#include "storage/ClubStorage.h"
#include "storage/Transaction.h"
#include "values/TextValue.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <cstring>

namespace {

constexpr int FirstYear = 2020;
constexpr int Years = 20;
constexpr int Events = 50000;
constexpr int Room = 1;
constexpr int SavedYear = 2027;

// A club in its twentieth year: six rooms, twenty years of quarter-hours and
// 50,000 events, made once for the whole run.
std::unique_ptr<BenchClub> club;

BenchClub &bigClub() {
    if (!club) {
        auto made = std::make_unique<BenchClub>();
        Module &module = *made->module;
        module.session.UserLevel = 99;
        module.session.AccessThresholds = {0, 0, 0, 0};
        RoomEditor rooms(module);
        rooms.OpenRoomEditor(true);
        for (int i = 1; i <= 6; ++i) {
            rooms.editBox(RoomEditor::NameBox, QStringLiteral("Room %1").arg(i));
            rooms.editBox(RoomEditor::CapacityBox, QStringLiteral("50"));
            rooms.RoomButton(RoomEditor::AddRoom);
        }
        YearSetup years(module);
        for (int year = FirstYear; year < FirstYear + Years; ++year)
            years.fillYear(year);
        auto db = module.databases.open(QStringLiteral("evnt"));
        Transaction transaction(*db.value());
        auto insert = db.value()->prepare(QStringLiteral(
            "insert into eventinfo (eventdate, eventtitle, eventnum, starttime, endtime, status, "
            "roomnumber) values (?, ?, ?, '18:00', '22:00', 2, ?)"));
        for (int i = 1; i <= Events; ++i) {
            const QDate day = QDate(FirstYear, 1, 1).addDays(i % (Years * 365));
            insert->bindValue(0, day.year() * 10000 + day.month() * 100 + day.day());
            insert->bindValue(1, QStringLiteral("Event %1").arg(i));
            insert->bindValue(2, i);
            insert->bindValue(3, i % 6 + 1);
            db.value()->exec(*insert);
        }
        transaction.commit();
        club = std::move(made);
    }
    return *club;
}

// The floor: the 16 cells of a four-hour booking moved between two days in
// one transaction, freed on one day and booked on the other, so that every
// commit writes changed pages.
void Baseline(benchmark::State &state) {
    Module &module = *bigClub().module;
    int from = SavedYear * 10000 + 301;
    int to = SavedYear * 10000 + 302;
    for (auto _ : state) {
        auto db = module.databases.open(QStringLiteral("evnt"));
        Transaction transaction(*db.value());
        db.value()->execute(
            QStringLiteral("update reserv set event1 = 0, room1 = ' ' where resdate = ? and "
                           "event1 = ?"),
            {from, Events + 1});
        db.value()->execute(QStringLiteral("update reserv set event1 = ?, room1 = ? where resdate "
                                           "= ? and restime >= '18:00' and restime < '22:00'"),
                            {Events + 1, QStringLiteral("Benchmark dinner"), to});
        if (!transaction.commit().ok())
            state.SkipWithError("commit failed");
        std::swap(from, to);
    }
}

// One save of a four-hour booking moved between two days: the conflict
// check, the row, the old cells freed and the new ones booked, then the
// event loaded again as the window shows it.
void SaveEvent(benchmark::State &state) {
    Module &module = *bigClub().module;
    EventRecord record(module);
    // One event for every run of this benchmark.
    static const int number = [&] {
        record.ClearEvent();
        const int issued = record.NextEventNumber();
        auto &fields = module.event.fields;
        fields[EventField::Date] = QString::number(SavedYear * 10000 + 401);
        fields[EventField::Title] = QStringLiteral("Benchmark dinner");
        fields[EventField::Start] = QStringLiteral("18:00");
        fields[EventField::End] = QStringLiteral("22:00");
        fields[EventField::Status] = QStringLiteral("2");
        fields[EventField::Room] = QString::number(Room);
        return record.SaveEvent(EventRecord::NewEvent) == EventRecord::Saved::Done ? issued : 0;
    }();
    if (number == 0 || !record.LoadEvent(number)) {
        state.SkipWithError("the event could not be saved");
        return;
    }
    int day = integerValue(module.event.fields[EventField::Date]) % 10000;
    for (auto _ : state) {
        day = day == 401 ? 402 : 401;
        module.event.fields[EventField::Date] = QString::number(SavedYear * 10000 + day);
        if (record.SaveEvent(EventRecord::ChangedEvent) != EventRecord::Saved::Done)
            state.SkipWithError(bigClub().ports.lastMessage.toStdString().c_str());
    }
}

// Event numbers from the counter file, as workstations in processes of
// their own take them: each iteration one batch, timed per number issued.
constexpr int NumbersPerWorkstation = 100;
QString benchProgram;

void issueNumbers(benchmark::State &state, int workstations) {
    BenchClub numbersClub;
    const QString club = QDir(numbersClub.temp.path()).filePath(QStringLiteral("club"));
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        std::vector<std::unique_ptr<QProcess>> workers;
        for (int i = 0; i < workstations; ++i) {
            workers.push_back(std::make_unique<QProcess>());
            workers.back()->start(benchProgram, {QStringLiteral("--issue"), club,
                                                 QString::number(NumbersPerWorkstation)});
        }
        for (auto &worker : workers) {
            if (!worker->waitForFinished(120000) || worker->exitCode() != 0)
                state.SkipWithError("a workstation failed to issue its numbers");
        }
        state.SetIterationTime(timer.elapsed() / 1000.0 / (workstations * NumbersPerWorkstation));
    }
}

void NumbersOneWorkstation(benchmark::State &state) {
    issueNumbers(state, 1);
}
void NumbersEightWorkstations(benchmark::State &state) {
    issueNumbers(state, 8);
}

// A workstation of the numbers benchmark: issues COUNT numbers on CLUB.
int issueWorker(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const auto storage = ClubStorage::load(QString::fromLocal8Bit(argv[2]));
    if (!storage)
        return 2;
    SilentPorts ports;
    Module module(*storage, Ports{ports, ports, ports, ports, ports, ports, ports});
    EventRecord record(module);
    for (int i = std::atoi(argv[3]); i > 0; --i) {
        if (record.NextEventNumber() <= 0)
            return 1;
    }
    return 0;
}

} // namespace

BENCHMARK(Baseline)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(SaveEvent)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(NumbersOneWorkstation)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(NumbersEightWorkstations)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int main(int argc, char **argv) {
    if (argc == 4 && std::strcmp(argv[1], "--issue") == 0)
        return issueWorker(argc, argv);
    benchProgram = QString::fromLocal8Bit(argv[0]);
    return runWithRatios(argc, argv,
                         {{"SaveEvent", "Baseline", 3.0},
                          {"NumbersEightWorkstations", "NumbersOneWorkstation", 2.0}},
                         [] { club.reset(); });
}
