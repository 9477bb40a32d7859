#include "BenchSupport.h"
#include "OfficeScreen.h"
#include "calendar/RoomEditor.h"
#include "calendar/Rooms.h"
#include "calendar/RoomsBoard.h"
#include "calendar/SlotBooking.h"
#include "storage/Transaction.h"
#include "ui/RgbColor.h"
#include "ui/RoomsBoardView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

namespace {

// A Wednesday; its week runs Sunday June 9 to Saturday June 15.
const QDate ShownDay(2030, 6, 12);
const QDate WeekStart(2030, 6, 9);
constexpr int ShownFirst = 20300609;
constexpr int ShownLast = 20300615;
constexpr int BookingsInWeek = 400;
// Other weeks around it, so the date index has something to pass over.
constexpr int OtherWeeks = 52;
// The smallest screen a club office has.
const QSize Screen(1366, 768);

int dateNumber(const QDate &date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}

// The most rooms a club can have: three halls with their sections, the
// rest rooms on their own. Subdiv names the hall a section belongs to.
struct RoomSetUp {
    const char *name;
    int hall;
};
const RoomSetUp ClubRooms[RoomEditor::MaxRooms] = {
    {"Grand Ballroom", 0}, {"Ballroom North", 1},  {"Ballroom Centre", 1},
    {"Ballroom South", 1}, {"Terrace", 0},         {"Library", 0},
    {"Board Room", 0},     {"Garden Pavilion", 0}, {"Pavilion East", 8},
    {"Pavilion West", 8},  {"Fireside Lounge", 0}, {"Members' Dining Room", 0},
    {"Dining Room A", 12}, {"Dining Room B", 12},  {"Card Room", 0},
    {"Wine Cellar", 0},    {"Veranda", 0},         {"Chapel", 0},
    {"Poolside", 0},       {"Sun Room", 0},
};

// A morning, an afternoon and an evening in each room each day; some
// evenings run to the close.
struct Band {
    int startMinute;
    int endMinute; // 0: to the close
};
const Band Bands[] = {{8 * 60, 11 * 60 + 30}, {12 * 60 + 30, 16 * 60 + 30}, {18 * 60, 23 * 60}};

QString timeText(int minutes) {
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

void addRooms(Database &evnt) {
    if (!evnt.execute(QStringLiteral("delete from location")).ok())
        std::abort();
    for (int number = 1; number <= RoomEditor::MaxRooms; ++number) {
        const RoomSetUp &room = ClubRooms[number - 1];
        if (!evnt.execute(QStringLiteral("insert into location (roomnum, room, capacity, subdiv) "
                                         "values (?, ?, ?, ?)"),
                          {number, QString::fromUtf8(room.name), 40 + number * 10, room.hall})
                 .ok())
            std::abort();
    }
}

// The shown week gets exactly BookingsInWeek bookings the board draws, and
// a few it must leave out (cancelled, or without a room); every other week
// of the year around it is as busy.
void addEvents(Database &evnt) {
    Transaction transaction(evnt);
    auto insert = evnt.prepare(QStringLiteral(
        "insert into eventinfo (eventnum, eventdate, eventtitle, starttime, endtime, status, "
        "roomnumber, setfor) values (?, ?, ?, ?, ?, ?, ?, ?)"));
    if (!insert)
        std::abort();
    QRandomGenerator random(11);
    int number = 0;
    const auto add = [&](const QDate &day, int room, int band, int status) {
        const Band &times = Bands[band];
        // A quarter-hour or two either way, so blocks do not all line up.
        const int shift = 15 * (int(random.bounded(5)) - 2);
        const bool toClose = band == 2 && random.bounded(4) == 0;
        insert->bindValue(0, ++number);
        insert->bindValue(1, dateNumber(day));
        insert->bindValue(2,
                          QStringLiteral("Hawthorne-Delacroix Wedding Reception %1").arg(number));
        insert->bindValue(3, timeText(times.startMinute + shift));
        insert->bindValue(4, toClose ? QString::fromLatin1(SlotBooking::Close)
                                     : timeText(times.endMinute + shift));
        insert->bindValue(5, status);
        insert->bindValue(6, room);
        insert->bindValue(7, 20 + int(random.bounded(280)));
        if (!evnt.exec(*insert).ok())
            std::abort();
    };
    for (int week = -OtherWeeks / 2; week <= OtherWeeks / 2; ++week) {
        const QDate first = WeekStart.addDays(7 * week);
        for (int booking = 0; booking < BookingsInWeek; ++booking)
            add(first.addDays(booking / RoomEditor::MaxRooms % 7),
                1 + booking % RoomEditor::MaxRooms, booking / (7 * RoomEditor::MaxRooms),
                1 + int(random.bounded(8)));
        // Left off the board: cancelled, and enquiries not yet given a room.
        for (int left = 0; left < 40; ++left)
            add(first.addDays(left % 7), left % 2 == 0 ? 1 + left % RoomEditor::MaxRooms : 0,
                left % 3, left % 2 == 0 ? CurrentEvent::CancelledStatus : 1);
    }
    if (!transaction.commit().ok())
        std::abort();
}

// Built once per process, on first use, and removed before the application
// object goes.
std::unique_ptr<BenchClub> club;
QList<Room> rooms;

BenchClub &boardClub() {
    if (!club) {
        club = std::make_unique<BenchClub>();
        club->ports.date = ShownDay;
        auto evnt = club->module->databases.open(QStringLiteral("evnt"));
        if (!evnt)
            std::abort();
        addRooms(*evnt.value());
        addEvents(*evnt.value());
        auto read = ReadRooms(*evnt.value());
        if (!read || read->size() != RoomEditor::MaxRooms)
            std::abort();
        rooms = *read;
    }
    return *club;
}

// The statements SQLite runs, counted on every connection this process
// opens; the board opens its own for each reload.
std::atomic<long> statements{0};
std::atomic<long> eventReads{0};

int countStatement(unsigned, void *, void *, void *text) {
    const char *sql = static_cast<const char *>(text);
    if (!sql || std::strncmp(sql, "--", 2) == 0) // a trigger's own statements
        return 0;
    ++statements;
    if (std::strstr(sql, "eventinfo"))
        ++eventReads;
    return 0;
}

int traceConnection(sqlite3 *db, const char **, const sqlite3_api_routines *) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, countStatement, nullptr);
    return SQLITE_OK;
}

// Reads of eventinfo per reload, for the check after the run; -1 when not
// counted.
double eventReadsPerReload = -1;

// The week's bookings as the board asks for them, every row read.
int readWeek(Database &evnt) {
    auto query = evnt.exec(
        QStringLiteral("select eventnum, eventdate, starttime, endtime, roomnumber, eventtitle, "
                       "setfor, status from eventinfo where eventdate between ? and ? and status "
                       "between 1 and 8 and roomnumber > 0 order by eventdate, starttime, "
                       "eventnum"),
        {ShownFirst, ShownLast});
    if (!query)
        std::abort();
    int rows = 0;
    while (query->next()) {
        const int event = query->value(0).toInt();
        const int date = query->value(1).toInt();
        const QString start = query->value(2).toString();
        const QString end = query->value(3).toString();
        const int room = query->value(4).toInt();
        const QString title = query->value(5).toString();
        const int guests = query->value(6).toInt();
        const int status = query->value(7).toInt();
        rows += event > 0 && date > 0 && room > 0 && status > 0 && guests >= 0 &&
                !start.isEmpty() && !end.isEmpty() && !title.isEmpty();
    }
    return rows;
}

// The floor: open the event database and read the week with one query, as
// any display of the week must (the program opens its database for each
// operation).
void WeekQuery(benchmark::State &state) {
    Module &module = *boardClub().module;
    for (auto _ : state) {
        auto db = module.databases.open(QStringLiteral("evnt"));
        if (readWeek(*db.value()) != BookingsInWeek)
            state.SkipWithError("the week query missed bookings");
    }
}

// The query alone on a connection already open, for comparison only.
void WeekQueryOnOpenConnection(benchmark::State &state) {
    Module &module = *boardClub().module;
    auto db = module.databases.open(QStringLiteral("evnt"));
    for (auto _ : state) {
        if (readWeek(*db.value()) != BookingsInWeek)
            state.SkipWithError("the week query missed bookings");
    }
}

void ReloadWeek(benchmark::State &state) {
    BenchClub &made = boardClub();
    RoomsBoard board(made.module->access, made.module->config);
    board.setRooms(rooms);
    board.showDate(ShownDay, RoomsBoard::Span::Week);
    if (board.blocks().size() != BookingsInWeek || board.rows().size() != RoomEditor::MaxRooms) {
        state.SkipWithError("the board does not show the week's bookings");
        return;
    }
    const long statementsBefore = statements;
    const long readsBefore = eventReads;
    for (auto _ : state) {
        if (!board.reload())
            state.SkipWithError("the board could not read the week");
    }
    // Counted on SQLite only: a server's statements do not pass through here.
    if (!made.server && state.iterations() > 0) {
        const double runs = double(state.iterations());
        state.counters["statements"] = double(statements - statementsBefore) / runs;
        eventReadsPerReload = double(eventReads - readsBefore) / runs;
        state.counters["eventinfo_reads"] = eventReadsPerReload;
    }
}

// The board of the shown day or week, laid out as the canvas fills a
// screen.
struct ShownBoard {
    explicit ShownBoard(RoomsBoard::Span span)
        : board(boardClub().module->access, boardClub().module->config)
        , canvas(board) {
        board.setRooms(rooms);
        board.showDate(ShownDay, span);
        canvas.resize(Screen);
    }
    RoomsBoard board;
    RoomsBoardCanvas canvas;
};

// The floor of painting: one plain filled rectangle and one text per
// block, one text per room name, into an image of the same size.
void paintBaseline(benchmark::State &state, RoomsBoard::Span span) {
    ShownBoard shown(span);
    struct Piece {
        QRectF rect;
        QColor color;
        QString text;
    };
    QList<Piece> blocks;
    for (const BoardBlock &block : shown.board.blocks())
        blocks << Piece{shown.canvas.spanRect(block.row, block.day, block.firstSlot, block.endSlot),
                        rgbColor(block.color), block.label};
    QList<Piece> names;
    for (int row = 0; row < shown.board.rows().size(); ++row)
        names << Piece{QRectF(4, RoomsBoardCanvas::HeaderHeight + row * RoomsBoardCanvas::RowHeight,
                              RoomsBoardCanvas::NameWidth - 8, RoomsBoardCanvas::RowHeight),
                       Qt::black, shown.board.rows()[row].name};
    QImage image(Screen, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::white);
        for (const Piece &block : blocks) {
            painter.fillRect(block.rect, block.color);
            painter.drawText(block.rect, Qt::AlignLeft | Qt::AlignVCenter, block.text);
        }
        for (const Piece &name : names)
            painter.drawText(name.rect, Qt::AlignLeft | Qt::AlignVCenter, name.text);
    }
    state.counters["blocks"] = double(blocks.size());
}

// `afterChange`: each paint is the first after the board changed, so the
// grid and the block texts are laid out again; otherwise a repaint (a
// drag, the cursor, a window uncovered) reuses them.
void paintBoard(benchmark::State &state, RoomsBoard::Span span, bool afterChange = false) {
    ShownBoard shown(span);
    QImage image(Screen, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        if (afterChange) {
            // The same rows and hours laid out again count as a change.
            shown.board.setFilter(CalendarFilter{}, false);
            shown.canvas.boardChanged();
        }
        shown.canvas.render(&image);
    }
    // A picture for a person to look at, when asked for one.
    if (const QString folder = qEnvironmentVariable("MORAVEL_SCREENSHOTS"); !folder.isEmpty())
        image.save(QDir(folder).filePath(span == RoomsBoard::Span::Day
                                             ? QStringLiteral("bench-board-day.png")
                                             : QStringLiteral("bench-board-week.png")));
    state.counters["blocks"] = double(shown.board.blocks().size());
    state.counters["shades"] = double(shown.board.shades().size());
}

void PaintBaselineDay(benchmark::State &state) {
    paintBaseline(state, RoomsBoard::Span::Day);
}
void PaintDay(benchmark::State &state) {
    paintBoard(state, RoomsBoard::Span::Day);
}
void PaintBaselineWeek(benchmark::State &state) {
    paintBaseline(state, RoomsBoard::Span::Week);
}
void PaintWeek(benchmark::State &state) {
    paintBoard(state, RoomsBoard::Span::Week);
}
void PaintDayAfterChange(benchmark::State &state) {
    paintBoard(state, RoomsBoard::Span::Day, true);
}
void PaintWeekAfterChange(benchmark::State &state) {
    paintBoard(state, RoomsBoard::Span::Week, true);
}

} // namespace

BENCHMARK(WeekQuery)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(WeekQueryOnOpenConnection)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(ReloadWeek)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(PaintBaselineDay)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(PaintDay)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(PaintBaselineWeek)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(PaintWeek)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(PaintDayAfterChange)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(PaintWeekAfterChange)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// The board reads a week against the bare week query, and paints a day and
// a week against plain rectangles and texts. The widgets run on the
// offscreen platform, on one screen of the office's size.
int main(int argc, char **argv) {
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(traceConnection));
    QTemporaryDir screens;
    useOfficeScreen(screens);
    QApplication app(argc, argv);
    const int status = runWithRatios(argc, argv,
                                     {{"ReloadWeek", "WeekQuery", 2.0},
                                      {"PaintDay", "PaintBaselineDay", 2.0},
                                      {"PaintWeek", "PaintBaselineWeek", 2.0},
                                      // The first paint after a change also cuts
                                      // every text to its block: shown, not a target.
                                      {"PaintDayAfterChange", "PaintBaselineDay", 0},
                                      {"PaintWeekAfterChange", "PaintBaselineWeek", 0},
                                      {"ReloadWeek", "WeekQueryOnOpenConnection", 0}},
                                     [] { club.reset(); });
    // One read of eventinfo per reload, however many days are shown.
    if (eventReadsPerReload < 0)
        return status;
    const bool one = eventReadsPerReload == 1.0;
    std::printf("ReloadWeek: %.2f reads of eventinfo per reload (target 1)%s\n",
                eventReadsPerReload, one ? "" : "  ** above target **");
    return one ? status : 1;
}
