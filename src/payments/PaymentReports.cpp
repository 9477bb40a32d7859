#include "PaymentReports.h"

#include "EventPayments.h"
#include "ports/Clock.h"
#include "ports/Messages.h"
#include "ports/ReportLauncher.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "values/DateNumber.h"

#include <QRegularExpression>

namespace PaymentReports {

namespace {

const QString EventDatabase = QStringLiteral("evnt");
const QString BillTitle = QStringLiteral("Client's Bill");
// The events whose payments are chased: reserved to billed; not enquiries
// (1) nor cancelled ones (9).
constexpr int FirstBooked = 2, LastBooked = 5;
// The client's bill is printed once the event is confirmed.
constexpr int Confirmed = 4, Billed = 5;

// "Confirmed w/Count": the club's name of the status (the usual one where
// none was read), without its code.
QString statusName(const Module &module, int status) {
    static const QRegularExpression code(QStringLiteral("^\\d+\\s*-\\s*"));
    const int position = Configuration::statusPosition(status);
    QString name = module.config.StatusNames[position];
    if (name.trimmed().isEmpty())
        name = Configuration::defaultStatusName(position);
    return name.remove(code).trimmed();
}

// Why the event's bill is not printed; empty when it is.
QString billRefusal(int number, int status) {
    if (status == Confirmed || status == Billed)
        return {};
    if (status == 9)
        return QStringLiteral("Event #%1 is cancelled; no bill is printed for it.").arg(number);
    const QString stage = status == 1   ? QStringLiteral("only a contact")
                          : status == 3 ? QStringLiteral("reserved with a deposit")
                                        : QStringLiteral("reserved");
    return QStringLiteral("Event #%1 is %2; the client's bill is printed once it is confirmed.")
        .arg(number)
        .arg(stage);
}

// One payment line of an event, as the listings read it.
struct ListedLine {
    int event = 0;
    QString title, contact, phone, custname;
    int eventDate = 0, status = 0;
    QVariant custid;
    PaymentLine line;
};

const QString ListedColumns = QStringLiteral(
    "select p.eventnum, e.eventtitle, e.eventdate, e.status, e.contactname, e.contphone1, "
    "e.custid, e.custname, p.line, p.what, p.duedate, p.amountdue, p.receiveddate, "
    "p.amountreceived, p.reference, p.recordedby, p.posted "
    "from eventpayment p join eventinfo e on e.eventnum = p.eventnum where ");

// The lines the condition selects, in the order given; none after the
// failure was shown.
std::optional<QList<ListedLine>> readLines(Module &module, const QString &condition,
                                           const QVariantList &values) {
    DatabasePtr evnt = module.access.open(EventDatabase);
    if (!evnt)
        return std::nullopt;
    auto rows = evnt->exec(ListedColumns + condition, values);
    if (!rows) {
        module.messages.ShowErrorCodes(rows.error());
        return std::nullopt;
    }
    const auto money = [&](int column) {
        return Money::fromVariant(rows->value(column)).value_or(Money());
    };
    QList<ListedLine> lines;
    while (rows->next()) {
        ListedLine listed;
        listed.event = rows->value(0).toInt();
        listed.title = rows->value(1).toString().trimmed();
        listed.eventDate = rows->value(2).toInt();
        listed.status = rows->value(3).toInt();
        listed.contact = rows->value(4).toString().trimmed();
        listed.phone = rows->value(5).toString().trimmed();
        const double account = rows->value(6).toDouble();
        listed.custid = account != 0 ? QVariant(account) : QVariant();
        listed.custname = rows->value(7).toString().trimmed();
        PaymentLine &line = listed.line;
        line.line = rows->value(8).toInt();
        line.what = rows->value(9).toString().trimmed();
        line.due = rows->value(10).toInt();
        line.amountDue = money(11);
        line.received = rows->value(12).toInt();
        line.amountReceived = money(13);
        line.reference = rows->value(14).toString().trimmed();
        line.recordedBy = rows->value(15).toString().trimmed();
        line.posted = rows->value(16).toInt() != 0;
        lines << listed;
    }
    return lines;
}

WorkRow listRow(const Module &module, const ClubSettings &club, const ListedLine &listed, int ord) {
    const PaymentLine &line = listed.line;
    return WorkRow{{QStringLiteral("ord"), ord},
                   {QStringLiteral("eventnum"), listed.event},
                   {QStringLiteral("eventtitle"), listed.title},
                   {QStringLiteral("eventdate"), club.dateNumber(listed.eventDate)},
                   {QStringLiteral("statusname"), statusName(module, listed.status)},
                   {QStringLiteral("contact"), listed.contact},
                   {QStringLiteral("phone"), listed.phone},
                   {QStringLiteral("custid"), listed.custid},
                   {QStringLiteral("custname"), listed.custname},
                   {QStringLiteral("what"), line.what},
                   {QStringLiteral("duedate"), line.due ? club.dateNumber(line.due) : QString()},
                   {QStringLiteral("amountdue"), line.amountDue.toVariant()},
                   {QStringLiteral("outstanding"), line.outstanding().toVariant()},
                   {QStringLiteral("receiveddate"),
                    line.isReceived() ? club.dateNumber(line.received) : QString()},
                   {QStringLiteral("amountreceived"),
                    line.isReceived() ? line.amountReceived.toVariant() : QVariant()},
                   {QStringLiteral("reference"), line.reference},
                   {QStringLiteral("recordedby"), line.recordedBy}};
}

// The event's status and deposit column; none after the failure was shown
// (an event no longer there included).
std::optional<std::pair<int, Money>> eventState(Module &module, Database &evnt, int number) {
    auto row = evnt.exec(QStringLiteral("select status, deposit from eventinfo where eventnum = ?"),
                         {number});
    if (!row) {
        module.messages.ShowErrorCodes(row.error());
        return std::nullopt;
    }
    if (!row->next()) {
        module.messages.show(QStringLiteral("Event #%1 is no longer there.").arg(number), BillTitle,
                             Icon::Information);
        return std::nullopt;
    }
    return std::pair(row->value(0).toInt(), Money::fromVariant(row->value(1)).value_or(Money()));
}

WorkRow balanceRow(int number, const Paid &paid) {
    const Money balance = paid.balance();
    const bool credit = balance < Money();
    return WorkRow{{QStringLiteral("eventnum"), number},
                   {QStringLiteral("priced"), paid.priced.toVariant()},
                   {QStringLiteral("received"), paid.received.toVariant()},
                   {QStringLiteral("balancedue"), credit ? QVariant() : balance.toVariant()},
                   {QStringLiteral("credit"), credit ? (-balance).toVariant() : QVariant()}};
}

} // namespace

QString billLayout() {
    return QStringLiteral("evntbill.rpt");
}
QString dueLayout() {
    return QStringLiteral("evntpaydue.rpt");
}
QString notPostedLayout() {
    return QStringLiteral("evntpaypost.rpt");
}

Result<Paid> paidOn(Database &evnt, int number, const Money &depositColumn) {
    auto priced = EventPayments::pricedTotal(evnt, number);
    if (!priced)
        return priced.error();
    auto schedule = EventPayments::read(evnt, number);
    if (!schedule)
        return schedule.error();
    if (schedule->isEmpty())
        return Paid{*priced, depositColumn, depositColumn};
    return Paid{*priced, schedule->totalReceived(), schedule->depositDue()};
}

bool copySchedule(ReportLauncher &launcher, const ReportWorkCopy &work, int number) {
    const WorkTable lines = WorkTable::whole(QStringLiteral("eventpayment"));
    return launcher
        .copyRows(work, EventDatabase,
                  QStringLiteral("select %1 from eventpayment where eventnum = ? order by line")
                      .arg(lines.selectList()),
                  {number}, lines.name)
        .has_value();
}

std::unique_ptr<ReportWorkCopy> fillBill(Module &module, int number) {
    DatabasePtr evnt = module.access.open(EventDatabase);
    if (!evnt)
        return nullptr;
    const auto state = eventState(module, *evnt, number);
    if (!state)
        return nullptr;
    if (const QString refused = billRefusal(number, state->first); !refused.isEmpty()) {
        module.messages.show(refused, BillTitle, Icon::Information);
        return nullptr;
    }
    const auto paid = paidOn(*evnt, number, state->second);
    if (!paid) {
        module.messages.ShowErrorCodes(paid.error());
        return nullptr;
    }
    evnt.reset();
    ReportLauncher launcher(module);
    auto work = launcher.fillPaper(billLayout(), QString(),
                                   {{QStringLiteral("paybalance"), {balanceRow(number, *paid)}}});
    if (!work)
        return nullptr;
    const QVariantList event{number};
    const WorkTable events = WorkTable::whole(QStringLiteral("eventinfo"));
    const WorkTable items = WorkTable::whole(QStringLiteral("eventitems"));
    const bool copied =
        launcher.copyRows(
            *work, EventDatabase,
            QStringLiteral("select %1 from eventinfo where eventnum = ?").arg(events.selectList()),
            event, events.name) &&
        launcher.copyRows(
            *work, EventDatabase,
            QStringLiteral("select %1 from items where eventid = ?").arg(items.selectList()), event,
            items.name) &&
        launcher.copyRows(*work, EventDatabase,
                          QStringLiteral("select l.* from location l where l.roomnum = "
                                         "(select roomnumber from eventinfo where eventnum = ?)"),
                          event, QStringLiteral("location")) &&
        launcher.copyRows(*work, QStringLiteral("config"), QStringLiteral("select * from company"),
                          {}, QStringLiteral("company")) &&
        copySchedule(launcher, *work, number);
    return copied ? std::move(work) : nullptr;
}

std::unique_ptr<ReportWorkCopy> fillDue(Module &module, int from, int to) {
    const int today = dateNumber(module.ports.clock.today());
    // Every line of the booked events, so that money paid ahead on one line
    // counts against the others before any is listed.
    const auto lines =
        readLines(module,
                  QStringLiteral("e.status between ? and ? "
                                 "order by p.duedate, e.eventdate, p.eventnum, p.line"),
                  {FirstBooked, LastBooked});
    if (!lines)
        return nullptr;
    QMap<int, PaymentSchedule> schedules;
    for (const ListedLine &listed : *lines)
        schedules[listed.event].lines << listed.line;
    QMap<std::pair<int, int>, Money> owing;
    for (auto it = schedules.begin(); it != schedules.end(); ++it) {
        const QList<Money> owed = it->owing();
        for (qsizetype k = 0; k < owed.size(); ++k)
            owing.insert({it.key(), it->lines[k].line}, owed[k]);
    }
    const ClubSettings club = ReportLauncher(module).clubSettings();
    QList<WorkRow> rows;
    for (const ListedLine &listed : *lines) {
        // Due in the dates, or already past due; what falls due between
        // today and the first day is neither.
        const int due = listed.line.due;
        const bool overdue = due < today;
        const Money owed = owing.value({listed.event, listed.line.line});
        if (owed <= Money() || due > to || (due < from && !overdue))
            continue;
        WorkRow row = listRow(module, club, listed, int(rows.size()) + 1);
        row.insert(QStringLiteral("outstanding"), owed.toVariant());
        if (overdue)
            row.insert(QStringLiteral("overdue"), QStringLiteral("OVERDUE"));
        rows << row;
    }
    const QString subtitle = QStringLiteral("Due from %1 to %2, and overdue")
                                 .arg(club.dateNumber(from), club.dateNumber(to));
    return ReportLauncher(module).fillPaper(dueLayout(), subtitle,
                                            {{QStringLiteral("paylist"), rows}});
}

std::unique_ptr<ReportWorkCopy> fillNotPosted(Module &module, std::optional<Dates> received) {
    QString condition = QStringLiteral("p.receiveddate <> 0 and coalesce(p.posted, 0) = 0");
    QVariantList values;
    if (received) {
        condition += QStringLiteral(" and p.receiveddate between ? and ?");
        values << received->from << received->to;
    }
    const auto lines = readLines(
        module, condition + QStringLiteral(" order by p.receiveddate, p.eventnum, p.line"), values);
    if (!lines)
        return nullptr;
    const ClubSettings club = ReportLauncher(module).clubSettings();
    QList<WorkRow> rows;
    for (const ListedLine &listed : *lines)
        rows << listRow(module, club, listed, int(rows.size()) + 1);
    const QString subtitle =
        received ? QStringLiteral("Received from %1 to %2")
                       .arg(club.dateNumber(received->from), club.dateNumber(received->to))
                 : QStringLiteral("Received on any date");
    return ReportLauncher(module).fillPaper(notPostedLayout(), subtitle,
                                            {{QStringLiteral("paylist"), rows}});
}

} // namespace PaymentReports
