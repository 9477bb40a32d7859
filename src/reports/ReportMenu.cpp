#include "ReportMenu.h"

#include "items/DepartmentButtons.h"
#include "payments/PaymentReports.h"
#include "ports/Clock.h"
#include "ports/Prompts.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "values/AccountNumber.h"
#include "values/TypedNumber.h"

#include <QLocale>

namespace {

const QString EventDatabase = QStringLiteral("evnt");
const QString FilterTitle = QStringLiteral("Filter by Member/Non-Member/All");
const QString Live = QStringLiteral("status between 1 and 5");
// Events of the same date, start and title stay apart: an item listing
// copies an event once only while its rows come one after another.
const QString ByDate = QStringLiteral(" order by eventdate, starttime, eventtitle, eventnum");
const QString ByTime = QStringLiteral(" order by starttime, eventtitle, eventnum");
constexpr double HighestAccount = 99999.99;

bool byDateRange(int kind) {
    switch (kind) {
    case ReportMenu::DateRangeList:
    case ReportMenu::ContactsOnly:
    case ReportMenu::ItemsByDateRange:
    case ReportMenu::ItemsConsolidated:
    case ReportMenu::ProjectionByDateRange:
        return true;
    default:
        return false;
    }
}

QString reportFile(int kind) {
    switch (kind) {
    case ReportMenu::Today:
        return QStringLiteral("evnt03a.rpt");
    case ReportMenu::ThisMonth:
        return QStringLiteral("evnt03b.rpt");
    case ReportMenu::NextMonth:
        return QStringLiteral("evnt03c.rpt");
    case ReportMenu::ThisYear:
        return QStringLiteral("evnt03d.rpt");
    case ReportMenu::ItemsThisMonth:
        return QStringLiteral("evnt04b.rpt");
    case ReportMenu::ItemsNextMonth:
        return QStringLiteral("evnt04c.rpt");
    case ReportMenu::ItemsByDateRange:
        return QStringLiteral("evnt04e.rpt");
    case ReportMenu::ItemsConsolidated:
        return QStringLiteral("evnt04f.rpt");
    case ReportMenu::ProjectionThisMonth:
        return QStringLiteral("evnt05b.rpt");
    case ReportMenu::ProjectionNextMonth:
        return QStringLiteral("evnt05c.rpt");
    case ReportMenu::ProjectionByDateRange:
        return QStringLiteral("evnt05e.rpt");
    default: // by date range and contacts only
        return QStringLiteral("evnt03e.rpt");
    }
}

// The live events the member filter lets through.
QString filterCondition(const ReportMenu::MemberFilter &filter, QVariantList &values) {
    switch (filter.option) {
    case 1:
    case 2:
        values << filter.option;
        return Live + QStringLiteral(" and memnonmem = ?");
    case 4:
        values << AccountNumber::around(filter.account);
        return Live + QStringLiteral(" and custid between ? and ?");
    default:
        return Live;
    }
}

QString filterSubtitle(const ReportMenu::MemberFilter &filter) {
    switch (filter.option) {
    case 1:
        return QStringLiteral("Members Only");
    case 2:
        return QStringLiteral("Non-Members Only");
    case 4:
        return QStringLiteral("Account # ") + ReportMenu::accountText(filter.account);
    default:
        return QStringLiteral("Members & Non-Members");
    }
}

// What a date-range listing adds to "from ... to ..." for its filter.
QString rangeFilterSuffix(const ReportMenu::MemberFilter &filter, const QString &all) {
    switch (filter.option) {
    case 1:
        return QStringLiteral(" Members");
    case 2:
        return QStringLiteral(" Non-Members");
    case 4:
        return QStringLiteral(" Acct# ") + ReportMenu::accountText(filter.account);
    default:
        return all;
    }
}

QString rangeText(const DateRange &range, const ClubSettings &club) {
    return QStringLiteral("from %1 to %2")
        .arg(club.dateNumber(range.from), club.dateNumber(range.to));
}

} // namespace

ReportMenu::DateNumbers ReportMenu::DateNumbers::from(const QDate &date) {
    DateNumbers numbers;
    numbers.today = date.year() * 10000 + date.month() * 100 + date.day();
    numbers.yearStart = date.year() * 10000;
    numbers.monthStart = numbers.yearStart + date.month() * 100;
    numbers.nextMonthStart =
        date.month() == 12 ? numbers.yearStart + 10100 : numbers.monthStart + 100;
    return numbers;
}

ReportMenu::ReportMenu(Module &module, QObject *parent)
    : QObject(parent)
    , m_module(module) {}

bool ReportMenu::asksMemberFilter(int kind) {
    return (kind >= Today && kind <= DateRangeList) ||
           (kind >= ProjectionThisMonth && kind <= ProjectionByDateRange);
}

bool ReportMenu::asksDateRange(int kind) {
    return byDateRange(kind);
}

QString ReportMenu::dateRangeHeading(int kind) {
    switch (kind) {
    case ContactsOnly:
        return QStringLiteral("Contacts only by Date Range");
    case ItemsByDateRange:
    case ItemsConsolidated:
        return QStringLiteral("Item List by Date Range");
    case ProjectionByDateRange:
        return QStringLiteral("Projection by Date Range");
    default:
        return QStringLiteral("Events by Date Range");
    }
}

QString ReportMenu::accountText(double account) {
    return QString::number(account, 'f', 2);
}

std::optional<ReportMenu::MemberFilter> ReportMenu::askMemberFilter() {
    Prompts &prompts = m_module.ports.prompts;
    const QString answer =
        prompts
            .input(QStringLiteral("Type the number for the desired option and click OK. \r\n\r\n"
                                  "1 = Member Events Only\r\n"
                                  "2 = Non-Member Events Only\r\n"
                                  "3 = Both Member & Non-Member Events\r\n"
                                  "4 = Single Member Account\r\n\r\n"
                                  "Leave BLANK to cancel"),
                   FilterTitle)
            .trimmed();
    // Both answers are read whole: "2abc" is no option 2 and "12abc" no
    // account 12. A refusal names the answer; an empty one cancels.
    const auto refused = [&](const TypedNumber &read) {
        if (!read.isNumber() && !read.isEmpty())
            m_module.messages.show(read.message(), QStringLiteral("Oops..."), Icon::Information);
        return !read.isNumber();
    };
    const TypedNumber option = TypedNumber::read(answer, QStringLiteral("Option"),
                                                 TypedNumber::Bounds()
                                                     .atLeast(Decimal::fromInteger(1))
                                                     .atMost(Decimal::fromInteger(4))
                                                     .withDecimals(0));
    if (refused(option))
        return std::nullopt;
    MemberFilter filter{int(option.value().toDouble()), 0};
    if (filter.option != 4)
        return filter;
    const TypedNumber account = TypedNumber::read(
        prompts.input(QStringLiteral("Type Account # to display; leave blank to cancel."),
                      FilterTitle),
        QStringLiteral("Account #"),
        TypedNumber::ofColumn(QStringLiteral("evnt"), QStringLiteral("eventinfo"),
                              QStringLiteral("custid"))
            .atLeast(Decimal())
            .atMost(*Decimal::fromText(QString::number(HighestAccount, 'f', 2))));
    if (refused(account))
        return std::nullopt;
    // As shown with two decimals: 12.345 is account 12.35.
    filter.account = account.value().roundedTo(2).toDouble();
    return filter;
}

ReportMenu::Listing ReportMenu::listing(int kind, const DateNumbers &dates,
                                        const MemberFilter &filter, const DateRange &range,
                                        const ClubSettings &club) {
    Listing listing;
    listing.reportFile = reportFile(kind);
    listing.items = kind >= ItemsThisMonth;
    int from = range.from, to = range.to;
    switch (kind) {
    case ThisMonth:
    case ItemsThisMonth:
    case ProjectionThisMonth:
        from = dates.monthStart;
        to = from + 32;
        break;
    case NextMonth:
    case ItemsNextMonth:
    case ProjectionNextMonth:
        from = dates.nextMonthStart;
        to = from + 32;
        break;
    case ThisYear:
        from = dates.yearStart;
        to = from + 1232;
        break;
    default:
        break;
    }

    if (kind == Today) {
        listing.values << dates.today;
        listing.where =
            QStringLiteral("eventdate = ? and ") + filterCondition(filter, listing.values) + ByTime;
        listing.subtitle = filterSubtitle(filter);
        return listing;
    }
    listing.values << from << to;
    listing.where = QStringLiteral("eventdate between ? and ? and ");
    switch (kind) {
    case ContactsOnly:
        listing.where += QStringLiteral("status = 1");
        listing.subtitle = QStringLiteral("Contacts Only ") + rangeText(range, club);
        break;
    case ItemsThisMonth:
    case ItemsNextMonth:
        listing.where += Live;
        listing.writeHeadings = false;
        break;
    case ItemsByDateRange:
    case ItemsConsolidated:
        listing.where += Live;
        listing.subtitle = rangeText(range, club);
        break;
    case DateRangeList:
    case ProjectionByDateRange:
        listing.where += filterCondition(filter, listing.values);
        listing.subtitle =
            rangeText(range, club) + rangeFilterSuffix(filter, kind == DateRangeList
                                                                   ? QStringLiteral(" - All")
                                                                   : QStringLiteral(" - ALL"));
        break;
    default:
        listing.where += filterCondition(filter, listing.values);
        listing.subtitle = filterSubtitle(filter);
        break;
    }
    listing.where += ByDate;
    return listing;
}

void ReportMenu::listEvents(int index) {
    if (index >= 0 && index <= 3)
        run(Today + index);
}

void ReportMenu::listEventsByDateRange() {
    run(DateRangeList);
}

void ReportMenu::listContacts() {
    run(ContactsOnly);
}

void ReportMenu::listItems(int index) {
    if (index >= 0 && index <= 3)
        run(ItemsThisMonth + index);
}

void ReportMenu::projectRevenue(int index) {
    if (index < 0 || index > 2 || !m_module.session.CheckAccess(OperatorSession::evaccess1))
        return;
    run(ProjectionThisMonth + index);
}

void ReportMenu::run(int kind) {
    ReportKind = kind;
    DateRange range;
    if (asksDateRange(kind)) {
        const auto asked =
            m_module.checks.askDateRange(dateRangeHeading(kind), EntryChecks::RangeFor::Events);
        if (!asked)
            return;
        range = *asked;
    }
    MemberFilter filter;
    if (asksMemberFilter(kind)) {
        const auto asked = askMemberFilter();
        if (!asked)
            return;
        filter = *asked;
    }
    if (asksDateRange(kind)) {
        m_module.report.RangeFrom = range.from;
        m_module.report.RangeTo = range.to;
    }
    emit status(QStringLiteral("One moment please..."));
    auto work = fillListing(listing(kind, DateNumbers::from(m_module.ports.clock.today()), filter,
                                    range, ReportLauncher(m_module).clubSettings()));
    if (!work) {
        emit status(QString());
        return;
    }
    launch(*work);
}

std::unique_ptr<ReportWorkCopy> ReportMenu::fillListing(const Listing &listing) {
    ReportLauncher launcher(m_module);
    auto work = launcher.PrepareReportDatabase();
    if (!work)
        return nullptr;
    ReportRequest &request = m_module.report;
    request.ReportHeadings[1] = listing.subtitle;
    if (listing.writeHeadings && !launcher.WriteReportHeadings(*work))
        return nullptr;
    if (!copy(*work, listing) || !copyRooms(*work) || !copyDepartments(*work))
        return nullptr;
    request.DataFiles[0] = work->fileName();
    request.ReportFile = listing.reportFile;
    return work;
}

bool ReportMenu::copy(const ReportWorkCopy &work, const Listing &listing) {
    return listing.items ? copyItemListing(work, listing) : copyListing(work, listing);
}

bool ReportMenu::copyListing(const ReportWorkCopy &work, const Listing &listing) {
    const WorkTable events = WorkTable::whole(QStringLiteral("eventinfo"));
    return ReportLauncher(m_module)
        .copyRows(work, EventDatabase,
                  QStringLiteral("select %1 from eventinfo where %2")
                      .arg(events.selectList(), listing.where),
                  listing.values, events.name)
        .has_value();
}

bool ReportMenu::copyItemListing(const ReportWorkCopy &work, const Listing &listing) {
    const WorkTable events = WorkTable::whole(QStringLiteral("eventinfo"));
    const WorkTable items = WorkTable::whole(QStringLiteral("eventitems"));
    const int itemsStart = int(events.columns.size());
    const int eventNumber = int(events.columns.indexOf(QStringLiteral("eventnum")));
    DatabasePtr source = m_module.access.open(EventDatabase);
    if (!source)
        return false;
    auto rows = source->exec(QStringLiteral("select %1, %2 from eventinfo e inner join items i on "
                                            "e.eventnum = i.eventid where %3")
                                 .arg(events.selectList(QStringLiteral("e")),
                                      items.selectList(QStringLiteral("i")), listing.where),
                             listing.values);
    if (!rows) {
        m_module.messages.ShowErrorCodes(rows.error());
        return false;
    }
    ReportWorkCopy::Writer writer(work, {events, items});
    Status copied = writer.ready();
    QVariant previous;
    while (copied && rows->next()) {
        // Each event once, before its first item.
        const QVariant number = rows->value(eventNumber);
        if (number != previous) {
            copied = writer.add(0, *rows);
            previous = number;
        }
        if (copied)
            copied = writer.add(1, *rows, itemsStart);
    }
    if (copied && rows->lastError().isValid())
        copied = source->error(rows->lastError());
    if (copied)
        copied = writer.commit();
    if (!copied)
        m_module.messages.ShowErrorCodes(copied.error());
    return copied.ok();
}

bool ReportMenu::copyRooms(const ReportWorkCopy &work) {
    const WorkTable rooms = WorkTable::whole(QStringLiteral("location"));
    return ReportLauncher(m_module)
        .copyRows(work, EventDatabase,
                  QStringLiteral("select %1 from location").arg(rooms.selectList()), {}, rooms.name)
        .has_value();
}

bool ReportMenu::copyDepartments(const ReportWorkCopy &work) {
    DepartmentButtons buttons(m_module.databases, m_module.messages, m_module.session);
    buttons.LoadButtons();
    QList<QVariantList> names;
    for (const auto &[code, name] : buttons.departmentNames())
        names.append({code, name});
    const Status copied = work.append(QStringLiteral("department"),
                                      {QStringLiteral("dept"), QStringLiteral("deptname")}, names);
    if (!copied)
        m_module.messages.ShowErrorCodes(copied.error());
    return copied.ok();
}

void ReportMenu::printSheet(Sheet sheet) {
    if (m_module.event.EventNumber < 1)
        return;
    if (sheet == InternalSheet && !m_module.session.CheckAccess(OperatorSession::evaccess1))
        return;
    ReportKind = 0;
    if (auto work = fillSheet(sheet))
        launch(*work);
}

std::unique_ptr<ReportWorkCopy> ReportMenu::fillSheet(Sheet sheet) {
    const CurrentEvent &event = m_module.event;
    ReportLauncher launcher(m_module);
    auto work = launcher.PrepareReportDatabase();
    if (!work)
        return nullptr;
    ReportRequest &request = m_module.report;
    const QDate date = QDate(event.Date / 10000, event.Date / 100 % 100, event.Date % 100);
    if (date.isValid()) {
        const ClubSettings club = launcher.clubSettings();
        request.ReportHeadings[1] = club.locale().dayName(date.dayOfWeek());
        request.ReportHeadings[2] = club.shortDate(date);
    }
    if (!launcher.WriteReportHeadings(*work))
        return nullptr;
    const QVariantList number{event.EventNumber};
    const WorkTable events = WorkTable::whole(QStringLiteral("eventinfo"));
    const WorkTable items = WorkTable::whole(QStringLiteral("eventitems"));
    if (!launcher.copyRows(
            *work, EventDatabase,
            QStringLiteral("select %1 from eventinfo where eventnum = ?").arg(events.selectList()),
            number, events.name) ||
        !launcher.copyRows(
            *work, EventDatabase,
            QStringLiteral("select %1 from items where eventid = ?").arg(items.selectList()),
            number, items.name) ||
        !copyRooms(*work) || !copyDepartments(*work))
        return nullptr;
    request.SelectionFormula = QStringLiteral("{eventinfo.eventnum} = %1").arg(event.EventNumber);
    request.DataFiles[0] = work->fileName();
    request.ReportFile = sheetFile(sheet);
    return work;
}

QString ReportMenu::sheetFile(Sheet sheet) {
    static const char *const files[] = {"evnt01a.rpt", "evnt01b.rpt", "evnt02b.rpt"};
    return QString::fromLatin1(files[sheet]);
}

int ReportMenu::shownEvent() {
    const int number = m_module.event.EventNumber;
    if (number < 1)
        m_module.messages.show(QStringLiteral("No event has been selected..."),
                               QStringLiteral("Oops..."), Icon::Information);
    return std::max(number, 0);
}

void ReportMenu::printOrder(OrderReports::Copy copy) {
    const int number = shownEvent();
    if (number < 1)
        return;
    ReportKind = 0;
    if (auto work = OrderReports::fillOrder(m_module, number, copy))
        launch(*work);
}

void ReportMenu::printFunctionSheet() {
    // The kitchen and the floor work a day ahead.
    const QDate tomorrow = m_module.ports.clock.today().addDays(1);
    printDays(QStringLiteral("Function Sheet"), &OrderReports::fillFunctionSheet, tomorrow,
              tomorrow);
}

void ReportMenu::printProduction() {
    const QDate tomorrow = m_module.ports.clock.today().addDays(1);
    printDays(QStringLiteral("Kitchen Production"), &OrderReports::fillProduction, tomorrow,
              tomorrow);
}

void ReportMenu::printClientBill() {
    const int number = shownEvent();
    if (number < 1)
        return;
    ReportKind = 0;
    if (auto work = PaymentReports::fillBill(m_module, number))
        launch(*work);
}

void ReportMenu::printPaymentsDue() {
    const QDate today = m_module.ports.clock.today();
    printDays(QStringLiteral("Payments Due"), &PaymentReports::fillDue, today,
              QDate(today.year(), today.month(), today.daysInMonth()));
}

void ReportMenu::printPaymentsNotPosted() {
    ReportKind = 0;
    printFilled([this] { return PaymentReports::fillNotPosted(m_module, std::nullopt); });
}

void ReportMenu::printDays(const QString &heading, FillDays fill, const QDate &from,
                           const QDate &to) {
    const QString format = QStringLiteral("yyyyMMdd");
    const auto range = m_module.checks.askDateRange(heading, EntryChecks::RangeFor::Events,
                                                    from.toString(format), to.toString(format));
    if (!range)
        return;
    ReportKind = 0;
    m_module.report.RangeFrom = range->from;
    m_module.report.RangeTo = range->to;
    printFilled([&] { return fill(m_module, range->from, range->to); });
}

void ReportMenu::printFilled(const std::function<std::unique_ptr<ReportWorkCopy>()> &fill) {
    emit status(QStringLiteral("One moment please..."));
    auto work = fill();
    if (!work) {
        emit status(QString());
        return;
    }
    launch(*work);
}

void ReportMenu::launch(ReportWorkCopy &work) {
    emit status(QStringLiteral("Printing report..."));
    ReportLauncher(m_module).LaunchReport(work);
    emit status(QString());
}
