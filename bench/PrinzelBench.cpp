#include "ReportJob.h"
#include "foundation/Databases.h"
#include "foundation/Transaction.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int SmallReport = 1000;
constexpr int LargeReport = 10000;

// A club directory holding the shipped room-conflict layout and a report
// work file with that many conflicts, a few of them long enough to wrap.
class ConflictClub {
public:
    explicit ConflictClub(int rows) {
        StorageSettings settings;
        settings.clubDirectory = temp.path();
        Databases databases(settings);
        auto db = databases.create(QStringLiteral("rpt"));
        if (!db || !fill(**db, rows))
            std::abort();
        db->reset();
        if (!QFile::rename(path(QStringLiteral("rpt00.sys")), path(QStringLiteral("rpt05.mdb"))) ||
            !QFile::copy(QStringLiteral(PRINZEL_LAYOUTS "/evntcon1.rpt"),
                         path(QStringLiteral("evntcon1.rpt"))))
            std::abort();
    }

    QString path(const QString &name) const { return QDir(temp.path()).filePath(name); }

    QTemporaryDir temp;

private:
    static bool fill(Database &db, int rows) {
        Transaction transaction(db);
        if (!db.execute(QStringLiteral("insert into headings (ctlcompname, ctlauxtitle) values "
                                       "('Harbour Club', 'from 20270101 to 20271231')")))
            return false;
        auto insert =
            db.prepare(QStringLiteral("insert into eventreserv values (?, ?, ?, ?, ?, ?)"));
        if (!insert)
            return false;
        for (int i = 0; i < rows; ++i) {
            insert->bindValue(0, 20270101 + i / 48 % 28 + i / 1344 * 100);
            insert->bindValue(1, QStringLiteral("%1:%2")
                                     .arg(8 + i % 48 / 4, 2, 10, QLatin1Char('0'))
                                     .arg(i % 4 * 15, 2, 10, QLatin1Char('0')));
            insert->bindValue(2, 1000 + i);
            insert->bindValue(3, i % 7 == 0 ? QStringLiteral("Wedding reception of the Smith and "
                                                             "Jones families, dinner and dance")
                                            : QStringLiteral("Reception %1").arg(i));
            insert->bindValue(4, 50000 + i);
            insert->bindValue(5, QStringLiteral("Board meeting %1").arg(i));
            if (!db.exec(*insert))
                return false;
        }
        return bool(transaction.commit());
    }
};

// Built on first use, removed before the application object goes.
std::map<int, std::unique_ptr<ConflictClub>> clubs;

ConflictClub &club(int rows) {
    auto &made = clubs[rows];
    if (!made)
        made = std::make_unique<ConflictClub>(rows);
    return *made;
}

// Each benchmark's time per iteration, for the ratios of those after it.
std::map<std::string, double> seconds;

template <typename Work> void timed(benchmark::State &state, const char *name, Work work) {
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        work();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    seconds[name] = took.count() / double(state.iterations());
}

// The floor: the same rows as one plain HTML table, printed by Qt's own
// QTextDocument::print to a PDF.
void Baseline10000(benchmark::State &state) {
    ConflictClub &conflicts = club(LargeReport);
    timed(state, "Baseline10000", [&] {
        QString html = QStringLiteral("<table><thead><tr><th>Date</th><th>Time</th><th>Event</th>"
                                      "<th>Larger room booking</th><th>Event</th>"
                                      "<th>Part room booking</th></tr></thead>");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "baseline");
            db.setDatabaseName(conflicts.path(QStringLiteral("rpt05.mdb")));
            QSqlQuery query(db);
            if (!db.open() || !query.exec(QStringLiteral("select * from eventreserv order by "
                                                         "resdate, restime")))
                state.SkipWithError("the rows cannot be read");
            while (query.next()) {
                html += QStringLiteral("<tr>");
                for (int column = 0; column < 6; ++column)
                    html += QStringLiteral("<td>") +
                            query.value(column).toString().toHtmlEscaped() +
                            QStringLiteral("</td>");
                html += QStringLiteral("</tr>");
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("baseline"));
        QTextDocument document;
        document.setHtml(html + QStringLiteral("</table>"));
        QPdfWriter writer(conflicts.path(QStringLiteral("baseline.pdf")));
        document.print(&writer);
    });
}

void prinzel(benchmark::State &state, int rows, const char *name) {
    ConflictClub &conflicts = club(rows);
    const QString block = QStringLiteral("Crystal~\nReportFileName=evntcon1.rpt~\nWindowTitle=~\n"
                                         "MarginTop=0~\nMarginLeft=0~\nDataFiles(0)=rpt05.mdb~");
    int pages = 0;
    timed(state, name, [&] {
        const auto job = ReportJob::prepare(block, {conflicts.temp.path(), QDate(2027, 1, 15)});
        const auto written = job ? job->writePdf(conflicts.path(QStringLiteral("rpt05.pdf")))
                                 : Outcome<int>(job.failure());
        if (!written)
            state.SkipWithError(written.failure().message.toStdString().c_str());
        pages = written ? *written : 0;
    });
    state.counters["pages"] = pages;
}

void Prinzel1000(benchmark::State &state) {
    prinzel(state, SmallReport, "Prinzel1000");
}

void Prinzel10000(benchmark::State &state) {
    prinzel(state, LargeReport, "Prinzel10000");
    if (seconds.count("Baseline10000"))
        state.counters["vs_baseline"] = seconds["Prinzel10000"] / seconds["Baseline10000"];
    if (seconds.count("Prinzel1000"))
        state.counters["vs_1000_rows"] = seconds["Prinzel10000"] / seconds["Prinzel1000"];
}

} // namespace

BENCHMARK(Baseline10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Prinzel1000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Prinzel10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Two ratios, printed as the large report's counters and checked here: the
// large report against Qt printing the same rows, and against a report of a
// tenth of the rows (ten times the rows may take little more than ten times
// as long).
int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const struct {
        const char *name;
        const char *baseline;
        double limit;
    } targets[] = {{"Prinzel10000", "Baseline10000", 2.0}, {"Prinzel10000", "Prinzel1000", 11.0}};
    int missed = 0;
    for (const auto &target : targets) {
        if (!seconds.count(target.name) || !seconds.count(target.baseline))
            continue;
        const double ratio = seconds[target.name] / seconds[target.baseline];
        std::printf("%s / %s = %.2f (target <= %.2f)%s\n", target.name, target.baseline, ratio,
                    target.limit, ratio <= target.limit ? "" : "  ** above target **");
        missed += ratio > target.limit;
    }
    clubs.clear();
    benchmark::Shutdown();
    return missed == 0 ? 0 : 1;
}
