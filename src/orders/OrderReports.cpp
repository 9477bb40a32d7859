#include "OrderReports.h"

#include "EventOrder.h"
#include "ports/Messages.h"
#include "ports/ReportLauncher.h"
#include "session/ClubSettings.h"
#include "session/CurrentEvent.h"
#include "session/Module.h"

#include <QDate>
#include <algorithm>

namespace OrderReports {

namespace {

using Section = EventOrder::Section;
using Row = WorkRow;

const QString EventDatabase = QStringLiteral("evnt");
// The events a function sheet and the production count: reserved, with a
// deposit, confirmed and billed; not enquiries (1) nor cancelled ones (9).
constexpr int FirstBooked = 2, LastBooked = 5;

// The papers' rows, in the order they print, by work table.
struct PaperRows {
    QList<Row> heads, times, menu, dietary, production;
};

QVariant orEmpty(int number) {
    return number != 0 ? QVariant(number) : QVariant();
}

// "1 table, 12 seats", "12 seats": what is set, each in its number.
QString tablesAndSeats(const EventOrder &order) {
    QStringList said;
    if (order.tables > 0)
        said << (order.tables == 1 ? QStringLiteral("1 table")
                                   : QStringLiteral("%1 tables").arg(order.tables));
    if (order.seats > 0)
        said << (order.seats == 1 ? QStringLiteral("1 seat")
                                  : QStringLiteral("%1 seats").arg(order.seats));
    return said.join(QLatin1String(", "));
}

QDate dateOf(int yyyymmdd) {
    return QDate(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
}

QString courseName(const QString &course) {
    return course.isEmpty() ? QStringLiteral("Other") : course;
}

// What the paper says of the order's revision, and the mark by the heading
// of each section it marks.
struct Revision {
    QString line;
    QMap<Section, QString> marks;
};

Revision revision(const OrderSheet &sheet, const ClubSettings &club) {
    const EventOrder::Issue &issued = sheet.order.issued;
    Revision said;
    if (sheet.status == CurrentEvent::CancelledStatus) {
        said.line = QStringLiteral("EVENT CANCELLED - do not prepare");
        return said;
    }
    if (issued.revision == 0) {
        said.line = QStringLiteral("Draft - not issued");
        return said;
    }
    // Changed since the last issue: the paper is a draft of the next one.
    const QList<Section> pending = sheet.changedSinceIssue();
    const QList<Section> &marked = pending.isEmpty() ? issued.changed : pending;
    const QString mark = pending.isEmpty() ? QStringLiteral("CHANGED IN REVISION %1")
                                           : QStringLiteral("changed since revision %1");
    for (Section section : marked)
        said.marks.insert(section, mark.arg(issued.revision));
    said.line = pending.isEmpty()
                    ? issued.describe(club)
                    : QStringLiteral("Draft: changed since revision %1").arg(issued.revision);
    return said;
}

Row headRow(const OrderSheet &sheet, const ClubSettings &club, int seq, bool dayFirst) {
    const EventOrder &order = sheet.order;
    const QDate date = dateOf(sheet.date);
    const Revision said = revision(sheet, club);
    Row row{
        {QStringLiteral("eventnum"), sheet.number},
        {QStringLiteral("seq"), seq},
        {QStringLiteral("eventdate"), sheet.date},
        {QStringLiteral("datetext"),
         date.isValid() ? club.longDate(date) : QString::number(sheet.date)},
        {QStringLiteral("dayfirst"), dayFirst ? QVariant(1) : QVariant()},
        {QStringLiteral("eventtitle"), sheet.title},
        {QStringLiteral("roomname"), !sheet.roomName.trimmed().isEmpty() ? sheet.roomName
                                     : sheet.room > 0 ? QStringLiteral("Room %1").arg(sheet.room)
                                                      : QString()},
        {QStringLiteral("starttime"), club.time(sheet.start)},
        {QStringLiteral("endtime"), club.time(sheet.end)},
        {QStringLiteral("setfor"), orEmpty(sheet.setFor)},
        {QStringLiteral("guarantee"), orEmpty(sheet.guarantee)},
        {QStringLiteral("contact"), sheet.contact},
        {QStringLiteral("phone"), sheet.phone},
        {QStringLiteral("sitecontact"), order.siteContact},
        {QStringLiteral("sitephone"), order.sitePhone},
        {QStringLiteral("setupstyle"), order.style},
        {QStringLiteral("tablecount"), orEmpty(order.tables)},
        {QStringLiteral("seatcount"), orEmpty(order.seats)},
        {QStringLiteral("tablesseats"), tablesAndSeats(order)},
        {QStringLiteral("linen"), order.linen},
        {QStringLiteral("stage"), order.stage},
        {QStringLiteral("dancefloor"), order.danceFloor},
        {QStringLiteral("audiovisual"), order.audioVisual},
        {QStringLiteral("setupnote"), order.setupNote},
        {QStringLiteral("kitchennote"), order.kitchenNote},
        {QStringLiteral("barnote"), order.barNote},
        {QStringLiteral("floornote"), order.floorNote},
        {QStringLiteral("dietarytotal"), order.dietaryTotal()},
        {QStringLiteral("guests"), sheet.guests()},
        {QStringLiteral("revision"), order.issued.revision},
        {QStringLiteral("revisionline"), said.line},
    };
    const auto given = [](const QStringList &texts) {
        return std::any_of(texts.begin(), texts.end(),
                           [](const QString &text) { return !text.trimmed().isEmpty(); })
                   ? QVariant(1)
                   : QVariant();
    };
    row.insert(QStringLiteral("hassetup"),
               order.tables || order.seats
                   ? QVariant(1)
                   : given({order.style, order.linen, order.stage, order.danceFloor,
                            order.audioVisual, order.setupNote}));
    row.insert(QStringLiteral("hasnotes"),
               given({order.kitchenNote, order.barNote, order.floorNote}));
    for (auto mark = said.marks.begin(); mark != said.marks.end(); ++mark)
        row.insert(QStringLiteral("mark") + EventOrder::sectionKey(mark.key()), mark.value());
    return row;
}

// The event's rows on every table of an order paper.
void addSheet(PaperRows &rows, const OrderSheet &sheet, const ClubSettings &club,
              const OrderLists &lists, bool dayFirst) {
    rows.heads << headRow(sheet, club, int(rows.heads.size()) + 1, dayFirst);
    const QVariant number = sheet.number;
    int line = 0;
    for (const EventOrder::TimelineLine &time : sheet.order.timeline)
        rows.times << Row{{QStringLiteral("eventnum"), number},
                          {QStringLiteral("ord"), ++line},
                          {QStringLiteral("attime"), club.time(time.time)},
                          {QStringLiteral("what"), time.what}};
    line = 0;
    for (const OrderSheet::Item &item : sheet.items)
        rows.menu << Row{
            {QStringLiteral("eventnum"), number},
            {QStringLiteral("ord"), ++line},
            {QStringLiteral("courserank"), lists.courseRank(item.course)},
            {QStringLiteral("course"), courseName(item.course)},
            {QStringLiteral("qty"), item.quantity},
            {QStringLiteral("itemnum"), item.item},
            {QStringLiteral("description"), item.description},
            {QStringLiteral("price"), item.price.toVariant()},
            {QStringLiteral("servchg"), item.serviceCharge.toVariant()},
            {QStringLiteral("tax"), item.tax.toVariant()},
            {QStringLiteral("total"), (item.price + item.serviceCharge + item.tax).toVariant()}};
    line = 0;
    for (const EventOrder::DietaryNeed &need : sheet.order.dietary)
        rows.dietary << Row{{QStringLiteral("eventnum"), number},
                            {QStringLiteral("ord"), ++line},
                            {QStringLiteral("need"), need.need},
                            {QStringLiteral("guests"), need.count}};
}

// One item of one course over the events, with each event's quantity.
struct Produced {
    Produced(int rankOf, const QString &courseOf, const OrderSheet::Item &sold)
        : rank(rankOf)
        , course(courseOf)
        , item(sold.item)
        , description(sold.description) {}

    int rank = 0;
    QString course;
    int item = 0;
    QString description;
    Decimal quantity;
    struct Use {
        int event = 0;
        QString title;
        Decimal quantity;
    };
    QList<Use> uses; // each event once: its rows of the item come one after another

    bool sameAs(int rankOf, const QString &courseOf, const OrderSheet::Item &sold) const {
        // Inventory items by number, free-form ones (number 0) by description.
        return rank == rankOf && course == courseOf && item == sold.item &&
               (item > 0 || description == sold.description);
    }
    void add(const OrderSheet &sheet, const Decimal &sold) {
        quantity = quantity.plus(sold).value_or(quantity);
        if (uses.isEmpty() || uses.last().event != sheet.number)
            uses << Use{sheet.number, sheet.title.simplified(), Decimal()};
        uses.last().quantity = uses.last().quantity.plus(sold).value_or(uses.last().quantity);
    }
    // "#12 Park Reception 30; #15 Gala 100"
    QString events() const {
        QStringList used;
        for (const Use &use : uses)
            used << QStringLiteral("#%1 %2 %3")
                        .arg(use.event)
                        .arg(use.title, use.quantity.toString());
        return used.join(QLatin1String("; "));
    }
};

QList<Row> production(const QList<OrderSheet> &sheets, const OrderLists &lists) {
    QList<Produced> lines;
    for (const OrderSheet &sheet : sheets)
        for (const OrderSheet::Item &sold : sheet.items) {
            const int rank = lists.courseRank(sold.course);
            const QString course = courseName(sold.course);
            auto line = std::find_if(lines.begin(), lines.end(), [&](const Produced &produced) {
                return produced.sameAs(rank, course, sold);
            });
            if (line == lines.end()) {
                lines << Produced(rank, course, sold);
                line = lines.end() - 1;
            }
            line->add(sheet, Decimal::fromText(sold.quantity).value_or(Decimal()));
        }
    std::sort(lines.begin(), lines.end(), [](const Produced &a, const Produced &b) {
        return std::tie(a.rank, a.course, a.description, a.item) <
               std::tie(b.rank, b.course, b.description, b.item);
    });
    QList<Row> rows;
    for (const Produced &line : lines)
        rows << Row{{QStringLiteral("ord"), int(rows.size()) + 1},
                    {QStringLiteral("courserank"), line.rank},
                    {QStringLiteral("course"), line.course},
                    {QStringLiteral("itemnum"), line.item},
                    {QStringLiteral("description"), line.description},
                    {QStringLiteral("qty"), line.quantity.toString()},
                    {QStringLiteral("events"), line.events()}};
    return rows;
}

// The paper's work copy with its headings and rows, the request set to
// print it; null after the failure was shown.
std::unique_ptr<ReportWorkCopy> fill(Module &module, const QString &layout, const QString &subtitle,
                                     const PaperRows &rows) {
    return ReportLauncher(module).fillPaper(layout, subtitle,
                                            {{QStringLiteral("orderhead"), rows.heads},
                                             {QStringLiteral("ordertime"), rows.times},
                                             {QStringLiteral("ordermenu"), rows.menu},
                                             {QStringLiteral("orderdiet"), rows.dietary},
                                             {QStringLiteral("orderprod"), rows.production}});
}

// The order sheets of the events, in the order given; none after the
// failure was shown.
std::optional<QList<OrderSheet>> readSheets(Module &module, const QList<int> &numbers,
                                            const OrderLists &lists) {
    DatabasePtr evnt = module.access.open(EventDatabase);
    if (!evnt)
        return std::nullopt;
    QList<OrderSheet> sheets;
    for (int number : numbers) {
        auto read = EventOrders::sheet(*evnt, number, lists);
        if (!read) {
            module.messages.ShowErrorCodes(read.error());
            return std::nullopt;
        }
        if (!read->has_value()) {
            module.messages.show(QStringLiteral("Event #%1 is no longer there.").arg(number),
                                 QStringLiteral("Event Order"), Icon::Information);
            return std::nullopt;
        }
        sheets << **read;
    }
    return sheets;
}

// The booked events of the dates, by date, start and room.
std::optional<QList<int>> bookedEvents(Module &module, int from, int to) {
    DatabasePtr evnt = module.access.open(EventDatabase);
    if (!evnt)
        return std::nullopt;
    auto rows = evnt->exec(QStringLiteral("select eventnum from eventinfo where eventdate between "
                                          "? and ? and status between ? and ? order by "
                                          "eventdate, starttime, roomnumber, eventnum"),
                           {from, to, FirstBooked, LastBooked});
    if (!rows) {
        module.messages.ShowErrorCodes(rows.error());
        return std::nullopt;
    }
    QList<int> numbers;
    while (rows->next())
        numbers << rows->value(0).toInt();
    return numbers;
}

// "Saturday, June 12, 2027" for a day, "from 06/12/2027 to 06/14/2027" for more.
QString rangeText(int from, int to, const ClubSettings &club) {
    if (from == to && dateOf(from).isValid())
        return club.longDate(dateOf(from));
    return QStringLiteral("from %1 to %2").arg(club.dateNumber(from), club.dateNumber(to));
}

// The range's booked events on every order table, each day's first marked.
std::optional<std::pair<PaperRows, QList<OrderSheet>>>
rangeRows(Module &module, int from, int to, const ClubSettings &club, const OrderLists &lists) {
    const auto numbers = bookedEvents(module, from, to);
    if (!numbers)
        return std::nullopt;
    auto sheets = readSheets(module, *numbers, lists);
    if (!sheets)
        return std::nullopt;
    PaperRows rows;
    int day = 0;
    for (const OrderSheet &sheet : *sheets) {
        addSheet(rows, sheet, club, lists, sheet.date != day);
        day = sheet.date;
    }
    return std::pair(std::move(rows), std::move(*sheets));
}

} // namespace

QString orderLayout(Copy copy) {
    return copy == Copy::Kitchen ? QStringLiteral("evntord1.rpt") : QStringLiteral("evntord2.rpt");
}
QString functionSheetLayout() {
    return QStringLiteral("evntfunc.rpt");
}
QString productionLayout() {
    return QStringLiteral("evntprod.rpt");
}

std::unique_ptr<ReportWorkCopy> fillOrder(Module &module, int number, Copy copy) {
    const ClubSettings club = ReportLauncher(module).clubSettings();
    const OrderLists lists = OrderLists::from(club);
    const auto sheets = readSheets(module, {number}, lists);
    if (!sheets)
        return nullptr;
    PaperRows rows;
    addSheet(rows, sheets->first(), club, lists, true);
    return fill(module, orderLayout(copy), QString(), rows);
}

std::unique_ptr<ReportWorkCopy> fillFunctionSheet(Module &module, int from, int to) {
    const ClubSettings club = ReportLauncher(module).clubSettings();
    const auto rows = rangeRows(module, from, to, club, OrderLists::from(club));
    if (!rows)
        return nullptr;
    return fill(module, functionSheetLayout(), rangeText(from, to, club), rows->first);
}

std::unique_ptr<ReportWorkCopy> fillProduction(Module &module, int from, int to) {
    const ClubSettings club = ReportLauncher(module).clubSettings();
    const OrderLists lists = OrderLists::from(club);
    auto rows = rangeRows(module, from, to, club, lists);
    if (!rows)
        return nullptr;
    rows->first.production = production(rows->second, lists);
    return fill(module, productionLayout(), rangeText(from, to, club), rows->first);
}

} // namespace OrderReports
