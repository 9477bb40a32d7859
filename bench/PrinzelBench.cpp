#include "ReportJob.h"
#include "ReportLayout.h"
#include "storage/Databases.h"
#include "storage/Transaction.h"

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
#include <functional>
#include <map>
#include <memory>

namespace {

constexpr int SmallReport = 1000;
constexpr int LargeReport = 10000;
constexpr int ShortParagraph = 40000; // words, about 30 pages
constexpr int LongParagraph = 160000;

// Makes the operator's report work file rpt05.mdb in the directory, as the
// schema module makes it, with the club's headings row and what `fill` adds.
bool makeWorkFile(const QString &directory, const std::function<bool(Database &)> &fill) {
    StorageSettings settings;
    settings.clubDirectory = directory;
    Databases databases(settings);
    {
        auto db = databases.create(QStringLiteral("rpt"));
        if (!db)
            return false;
        Transaction transaction(**db);
        if (!(*db)->execute(QStringLiteral("insert into headings (ctlcompname, ctlauxtitle) values "
                                           "('Harbour Club', 'from 20270101 to 20271231')")) ||
            !fill(**db) || !transaction.commit())
            return false;
    }
    const QDir folder(directory);
    return QFile::rename(folder.filePath(QStringLiteral("rpt00.sys")),
                         folder.filePath(QStringLiteral("rpt05.mdb")));
}

// A club directory holding the shipped room-conflict layout and a report
// work file with that many conflicts, a few of them long enough to wrap.
class ConflictClub {
public:
    explicit ConflictClub(int rows) {
        if (!makeWorkFile(temp.path(), [rows](Database &db) { return fill(db, rows); }) ||
            !QFile::copy(QStringLiteral(PRINZEL_LAYOUTS "/evntcon1.rpt"),
                         path(QStringLiteral("evntcon1.rpt"))))
            std::abort();
    }

    QString path(const QString &name) const { return QDir(temp.path()).filePath(name); }

    QTemporaryDir temp;

private:
    static bool fill(Database &db, int rows) {
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
        return true;
    }
};

// A club directory whose report prints one paragraph of that many words
// from the work file, many pages long, under the header and the page
// numbers every report has.
class ParagraphClub {
public:
    explicit ParagraphClub(int words) {
        const auto fill = [words](Database &db) {
            return bool(db.execute(QStringLiteral("create table lines (n integer, words text)"))) &&
                   bool(db.execute(QStringLiteral("insert into lines values (1, ?)"),
                                   {QStringLiteral("word ").repeated(words)}));
        };
        QFile layout(path(QStringLiteral("lines.rpt")));
        if (!makeWorkFile(temp.path(), fill) ||
            !layout.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            layout.write("[page]\n[query lines]\nsql = select n, words from lines order by n\n"
                         "[header]\n<p>Numbered lines</p>\n"
                         "[body]\n{{#lines}}<p>{{words}}</p>{{/lines}}\n"
                         "[footer]\n<p>Page {{page}} of {{pages}}</p>\n") < 0)
            std::abort();
    }

    QString path(const QString &name) const { return QDir(temp.path()).filePath(name); }

    QTemporaryDir temp;
};

// Built on first use, removed before the application object goes.
std::map<int, std::unique_ptr<ConflictClub>> conflictClubs;
std::map<int, std::unique_ptr<ParagraphClub>> paragraphClubs;

template <typename Club> Club &club(std::map<int, std::unique_ptr<Club>> &clubs, int size) {
    auto &made = clubs[size];
    if (!made)
        made = std::make_unique<Club>(size);
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
    ConflictClub &conflicts = club(conflictClubs, LargeReport);
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

// Prepares the report of the layout over rpt05.mdb and writes its PDF, the
// pages as a counter.
void report(benchmark::State &state, const char *name, const QString &directory,
            const QString &layout, const QString &pdf) {
    const QString block = QStringLiteral("Crystal~\nReportFileName=%1~\nWindowTitle=~\n"
                                         "MarginTop=0~\nMarginLeft=0~\nDataFiles(0)=rpt05.mdb~")
                              .arg(layout);
    int pages = 0;
    timed(state, name, [&] {
        const auto job = ReportJob::prepare(block, {directory, QDate(2027, 1, 15), {}});
        const auto written = job ? job->writePdf(QDir(directory).filePath(pdf))
                                 : Result<int, ReportFailure>(job.error());
        if (!written)
            state.SkipWithError(written.error().message.toStdString().c_str());
        pages = written ? *written : 0;
    });
    state.counters["pages"] = pages;
}

void prinzel(benchmark::State &state, int rows, const char *name) {
    report(state, name, club(conflictClubs, rows).temp.path(), QStringLiteral("evntcon1.rpt"),
           QStringLiteral("rpt05.pdf"));
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

// One paragraph of many pages: each cut at a page break must not lay out
// all the rest of it again, so four times the words take about four times
// as long.
void paragraph(benchmark::State &state, int words, const char *name) {
    report(state, name, club(paragraphClubs, words).temp.path(), QStringLiteral("lines.rpt"),
           QStringLiteral("lines.pdf"));
    if (state.counters["pages"] <= words / 1500)
        state.SkipWithError("the paragraph is printed on too few pages");
}

void Paragraph40000(benchmark::State &state) {
    paragraph(state, ShortParagraph, "Paragraph40000");
}

void Paragraph160000(benchmark::State &state) {
    paragraph(state, LongParagraph, "Paragraph160000");
    if (seconds.count("Paragraph40000"))
        state.counters["vs_40000_words"] = seconds["Paragraph160000"] / seconds["Paragraph40000"];
}

// `first`, then numbered lines from `line` ("key%1 = 1") up to about `size`
// characters.
QString filled(const char *first, const char *line, qint64 size) {
    QString text = QString::fromLatin1(first);
    for (int n = 0; text.size() < size - 100; ++n)
        text += QString::fromLatin1(line).arg(n) + QLatin1Char('\n');
    return text;
}

// Reads the layout text, which is refused or not as `readable` says.
void parse(benchmark::State &state, const char *name, const QString &text, bool readable) {
    timed(state, name, [&] {
        const auto layout = ReportLayout::parse(text, QStringLiteral("bench.rpt"));
        if (bool(layout) != readable)
            state.SkipWithError(readable ? "the layout is refused" : "the layout is read");
        benchmark::DoNotOptimize(layout);
    });
    state.counters["bytes"] = double(text.size());
}

// A [page] section of thousands of keys, all of which are read before the
// first unknown one is refused.
void layoutOfKeys(benchmark::State &state, qint64 size, const char *name) {
    parse(state, name, filled("[page]\n", "key%1 = 1", size), false);
}

void LayoutOfKeysQuarter(benchmark::State &state) {
    layoutOfKeys(state, ReportLayout::MaxFileBytes / 4, "LayoutOfKeysQuarter");
}

void LayoutOfKeysWhole(benchmark::State &state) {
    layoutOfKeys(state, ReportLayout::MaxFileBytes, "LayoutOfKeysWhole");
    if (seconds.count("LayoutOfKeysQuarter"))
        state.counters["vs_quarter"] =
            seconds["LayoutOfKeysWhole"] / seconds["LayoutOfKeysQuarter"];
}

// Thousands of [query] sections, each with its select, and a body: a
// layout that is read to its end.
void layoutOfQueries(benchmark::State &state, qint64 size, const char *name) {
    parse(state, name, filled("[body]\nx\n", "[query q%1]\nsql = select %1 as n", size), true);
}

void LayoutOfQueriesQuarter(benchmark::State &state) {
    layoutOfQueries(state, ReportLayout::MaxFileBytes / 4, "LayoutOfQueriesQuarter");
}

void LayoutOfQueriesWhole(benchmark::State &state) {
    layoutOfQueries(state, ReportLayout::MaxFileBytes, "LayoutOfQueriesWhole");
    if (seconds.count("LayoutOfQueriesQuarter"))
        state.counters["vs_quarter"] =
            seconds["LayoutOfQueriesWhole"] / seconds["LayoutOfQueriesQuarter"];
}

} // namespace

BENCHMARK(Baseline10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Prinzel1000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Prinzel10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Paragraph40000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Paragraph160000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(LayoutOfKeysQuarter)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(LayoutOfKeysWhole)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(LayoutOfQueriesQuarter)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(LayoutOfQueriesWhole)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The ratios, printed as the larger benchmark's counters and checked here:
// the large report against Qt printing the same rows, and against a report
// of a tenth of the rows (ten times the rows may take little more than ten
// times as long); the paragraph of four times the words against the shorter
// one, and the largest layout against one of a quarter of its size (read in
// time in proportion to their length: a cost growing with the square of it
// would take sixteen times as long). The largest layout is read in some
// five times the time of a quarter of it, not four; its limit leaves room
// for that.
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
    } targets[] = {{"Prinzel10000", "Baseline10000", 2.0},
                   {"Prinzel10000", "Prinzel1000", 11.0},
                   {"Paragraph160000", "Paragraph40000", 6.0},
                   {"LayoutOfKeysWhole", "LayoutOfKeysQuarter", 7.0},
                   {"LayoutOfQueriesWhole", "LayoutOfQueriesQuarter", 7.0}};
    int missed = 0;
    for (const auto &target : targets) {
        if (!seconds.count(target.name) || !seconds.count(target.baseline))
            continue;
        const double ratio = seconds[target.name] / seconds[target.baseline];
        std::printf("%s / %s = %.2f (target <= %.2f)%s\n", target.name, target.baseline, ratio,
                    target.limit, ratio <= target.limit ? "" : "  ** above target **");
        missed += ratio > target.limit;
    }
    conflictClubs.clear();
    paragraphClubs.clear();
    benchmark::Shutdown();
    return missed == 0 ? 0 : 1;
}
