#include "ClubPrint.h"

#include "SilentPorts.h"
#include "contracts/ContractBuilder.h"
#include "contracts/ContractStore.h"
#include "events/EventRecord.h"
#include "events/EventRow.h"
#include "orders/EventOrderWindow.h"
#include "orders/OrderReports.h"
#include "payments/PaymentReports.h"
#include "ports/Messages.h"
#include "ports/QtPrograms.h"
#include "ports/ReportLauncher.h"
#include "ports/SystemClock.h"
#include "reports/ReportMenu.h"
#include "reports/TaskList.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "startup/ConfigurationLoader.h"
#include "storage/ClubStorage.h"
#include "storage/Schema.h"
#include "storage/SchemaUpgrade.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

namespace ClubPrint {

namespace {

enum class Kind {
    Sheet,
    Contract,
    Order,
    Bill,
    Listing,
    Tasks,
    FunctionSheet,
    Production,
    PaymentsDue,
    PaymentsNotPosted
};

struct Layout {
    QString file; // "evnt01a.rpt"
    Kind kind = Kind::Sheet;
    int code = 0; // the sheet, the contract layout, the order's copy or the listing kind

    bool byEvent() const {
        return kind == Kind::Sheet || kind == Kind::Contract || kind == Kind::Order ||
               kind == Kind::Bill;
    }
    // Printed for a range of dates or, without one, for every date.
    bool rangeOptional() const { return kind == Kind::PaymentsNotPosted; }
};

// The name an issue from this command is recorded under.
const QString IssuingOperator = QStringLiteral("moravel-club");

// The layouts printed for an event or a date range, by the names the
// windows print them under. A listing of today, a month or a year is
// printed over the range given, as its family's listing by date range.
QList<Layout> layouts() {
    QList<Layout> all;
    for (const auto sheet :
         {ReportMenu::InternalSheet, ReportMenu::ExternalSheet, ReportMenu::ItemsSheet})
        all << Layout{ReportMenu::sheetFile(sheet), Kind::Sheet, sheet};
    for (const auto layout : {ContractBuilder::StandardLayout, ContractBuilder::StandardWindow,
                              ContractBuilder::LetterheadLayout, ContractBuilder::LetterheadWindow,
                              ContractBuilder::UserDefinedLayout})
        all << Layout{ContractBuilder::layoutFile(layout), Kind::Contract, layout};
    for (const auto copy : {OrderReports::Copy::Kitchen, OrderReports::Copy::Client})
        all << Layout{OrderReports::orderLayout(copy), Kind::Order, int(copy)};
    all << Layout{PaymentReports::billLayout(), Kind::Bill, 0};
    for (const int kind :
         {ReportMenu::Today, ReportMenu::ThisMonth, ReportMenu::NextMonth, ReportMenu::ThisYear,
          ReportMenu::DateRangeList, ReportMenu::ItemsThisMonth, ReportMenu::ItemsNextMonth,
          ReportMenu::ItemsByDateRange, ReportMenu::ItemsConsolidated,
          ReportMenu::ProjectionThisMonth, ReportMenu::ProjectionNextMonth,
          ReportMenu::ProjectionByDateRange}) {
        const int ranged = kind < ReportMenu::ItemsThisMonth       ? ReportMenu::DateRangeList
                           : kind == ReportMenu::ItemsConsolidated ? kind
                           : kind < ReportMenu::ProjectionThisMonth
                               ? int(ReportMenu::ItemsByDateRange)
                               : int(ReportMenu::ProjectionByDateRange);
        all << Layout{ReportMenu::listing(kind, {}, {}, {}, {}).reportFile, Kind::Listing, ranged};
    }
    all << Layout{QLatin1String(TaskList::ReportFile), Kind::Tasks, 0};
    all << Layout{OrderReports::functionSheetLayout(), Kind::FunctionSheet, 0};
    all << Layout{OrderReports::productionLayout(), Kind::Production, 0};
    all << Layout{PaymentReports::dueLayout(), Kind::PaymentsDue, 0};
    all << Layout{PaymentReports::notPostedLayout(), Kind::PaymentsNotPosted, 0};
    return all;
}

std::optional<Layout> findLayout(QString name) {
    if (!name.endsWith(QLatin1String(".rpt"), Qt::CaseInsensitive))
        name += QLatin1String(".rpt");
    for (const Layout &layout : layouts())
        if (layout.file.compare(name, Qt::CaseInsensitive) == 0)
            return layout;
    return std::nullopt;
}

QString layoutNames() {
    QStringList names;
    for (const Layout &layout : layouts())
        if (!names.contains(layout.file.chopped(4)))
            names << layout.file.chopped(4);
    return names.join(QLatin1String(", "));
}

QTextStream &err() {
    static QTextStream stream(stderr);
    return stream;
}

Exit fail(Exit exit, const QString &text) {
    err() << "moravel-club: " << text << Qt::endl;
    return exit;
}

// Every message the filling code would show goes to the standard error, as
// it comes; a question is answered No and an input box cancelled.
struct StandardErrorPrompts final : Prompts {
    void message(const QString &text, const QString &, Icon) override {
        // An error report without the table of codes an operator looks up.
        QString shown = text;
        shown.remove(QLatin1String("\n\n") + Messages::errorCodeTable());
        err() << "moravel-club: " << shown.replace(QLatin1String("\r\n"), QLatin1String("\n"))
              << Qt::endl;
    }
    bool askYesNo(const QString &, const QString &) override { return false; }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    void setBusy(bool) override {}
};

// A club the program recognises, every database at this program's version.
Status checkClub(const Databases &databases) {
    if (Status known = SchemaUpgrade::recognise(databases); !known)
        return known;
    for (const QString &name : Schema::databases()) {
        if (!databases.exists(name))
            continue;
        auto db = databases.open(name);
        if (!db)
            return db.error();
        if (Status current =
                SchemaUpgrade::checkCurrent(*db.value(), databases.settings().clubDirectory);
            !current)
            return current;
    }
    return {};
}

QString defaultPdf(const Layout &layout, const Request &request) {
    const QString selection = layout.byEvent() ? QStringLiteral("event%1").arg(request.event)
                              : request.from == 0
                                  ? QStringLiteral("all")
                                  : QStringLiteral("%1-%2").arg(request.from).arg(request.to);
    return layout.file.chopped(4) + QLatin1Char('-') + selection + QStringLiteral(".pdf");
}

// The number of rows of a table of the filled work copy; none on failure.
std::optional<qint64> rowsIn(const ReportWorkCopy &work, const QString &table) {
    auto db = work.open();
    if (!db)
        return std::nullopt;
    auto count = db.value()->exec(QStringLiteral("select count(*) from %1").arg(table));
    if (!count || !count->next())
        return std::nullopt;
    return count->value(0).toLongLong();
}

// The event into the module as the main window shows it.
std::optional<Exit> loadEvent(Module &module, int number) {
    if (EventRecord(module).LoadEvent(number))
        return std::nullopt;
    // Not loaded: say so plainly when the event is not there at all.
    if (DatabasePtr evnt = module.access.open(QStringLiteral("evnt"))) {
        const auto row = EventRow::read(*evnt, number);
        if (row && !row->has_value())
            return fail(NothingSelected, QStringLiteral("There is no event %1.").arg(number));
    }
    return Refused;
}

// The contract text is assembled from a stored contract's components; the
// club keeps no contract per event, so the command names one.
std::optional<Exit> chooseContract(Module &module, ContractBuilder &builder, int number) {
    if (number >= 1 && builder.chooseContract(number))
        return std::nullopt;
    DatabasePtr evnt = module.access.open(QStringLiteral("evnt"));
    if (!evnt)
        return Refused;
    const auto stored = ContractStore::list(*evnt);
    if (!stored)
        return fail(Refused, stored.error().description);
    QStringList offered;
    for (const ContractStore::Entry &entry : *stored)
        offered << QStringLiteral("%1 (%2)").arg(entry.number).arg(entry.description);
    const QString choice = offered.isEmpty()
                               ? QStringLiteral("the club has no contracts.")
                               : QStringLiteral("the club's contracts are ") +
                                     offered.join(QLatin1String(", ")) + QLatin1Char('.');
    return fail(NothingSelected,
                (number >= 1 ? QStringLiteral("There is no contract %1: ").arg(number)
                             : QStringLiteral("The club keeps no contract for an event; name "
                                              "one with --contract N: ")) +
                    choice);
}

// Issues the event's order and says which revision it is at, on `report`;
// an exit when it was not issued.
std::optional<Exit> issueAndTell(Module &module, int number, QTextStream &report) {
    const auto issued = issueOrder(module, number, IssuingOperator);
    if (!issued)
        return fail(Refused, issued.error().description);
    if (!issued->logged)
        return Refused; // the reason is on the error output
    report << (issued->raised
                   ? QStringLiteral("Event order #%1: revision %2 issued.")
                   : QStringLiteral("Event order #%1: nothing changed since revision %2; "
                                    "not issued again."))
                  .arg(number)
                  .arg(issued->revision)
           << Qt::endl;
    return std::nullopt;
}

} // namespace

Exit print(const Request &request) {
    const auto layout = findLayout(request.layout);
    if (!layout)
        return fail(Refused, QStringLiteral("%1 is not a layout this command prints; it prints %2.")
                                 .arg(request.layout, layoutNames()));

    // An event layout takes an event, the others a date range.
    const bool byEvent = request.event >= 1 && request.from == 0 && request.to == 0;
    const bool byRange = request.event == 0 && request.from >= 1 && request.to >= 1;
    const bool anyDate = request.event == 0 && request.from == 0 && request.to == 0;
    if (!(layout->byEvent() ? byEvent : byRange || (layout->rangeOptional() && anyDate)) ||
        (request.contract != 0 && layout->kind != Kind::Contract))
        return fail(BadArguments,
                    QStringLiteral("%1 is printed for %2.")
                        .arg(layout->file, layout->byEvent()
                                               ? QStringLiteral("an event (--event N)")
                                               : QStringLiteral("dates (--from and --to)")));
    if (request.issue && layout->kind != Kind::Order)
        return fail(BadArguments,
                    QStringLiteral("--issue issues an event order; %1 is none.").arg(layout->file));
    const int from = std::min(request.from, request.to);
    const int to = std::max(request.from, request.to);

    auto club = ClubStorage::load(QDir(request.clubDirectory).absolutePath());
    if (!club)
        return fail(Refused, club.error().description);
    // Printing only reads; issuing an order is the one write this command makes.
    club->readOnly = !request.issue;
    if (Status ready = checkClub(Databases(*club)); !ready)
        return fail(Refused, ready.error().description);

    StandardErrorPrompts prompts;
    SilentPorts silent;
    QtPrograms programs(club->clubDirectory);
    SystemClock clock;
    Module module(*club, Ports{prompts, silent, programs, clock, silent, silent, silent});
    if (module.routines.CheckDatabaseUpdate())
        return Refused;
    auto loaded = LoadConfiguration(module.databases);
    if (!loaded)
        return fail(Refused, loaded.error().description);
    module.config = loaded->settings;

    // The work copy in a folder of this run's own, never a workstation's
    // rptNN.mdb; it goes with the folder on every way out.
    QTemporaryDir work(QDir(QDir::tempPath()).filePath(QStringLiteral("moravel-print-XXXXXX")));
    if (!work.isValid())
        return fail(Refused, QStringLiteral("No folder for the report's work copy can be made: %1")
                                 .arg(work.errorString()));
    // The report program runs in the club directory: the PDF's path is made
    // whole here. "-" is the standard output.
    const QString pdf =
        request.pdf == QLatin1String("-")
            ? request.pdf
            : QFileInfo(request.pdf.isEmpty() ? defaultPdf(*layout, request) : request.pdf)
                  .absoluteFilePath();
    module.report.WorkDirectory = work.path();
    module.report.PdfFile = pdf;

    std::unique_ptr<ReportWorkCopy> filled;
    switch (layout->kind) {
    case Kind::Sheet:
        if (const auto refused = loadEvent(module, request.event))
            return *refused;
        filled = ReportMenu(module).fillSheet(ReportMenu::Sheet(layout->code));
        break;
    case Kind::Contract: {
        if (const auto refused = loadEvent(module, request.event))
            return *refused;
        const ContractBuilder::EventTokens tokens = ContractBuilder::schemaEventTokens();
        ContractBuilder builder(module, tokens);
        if (const auto refused = chooseContract(module, builder, request.contract))
            return *refused;
        filled = builder.fillContract(ContractBuilder::Layout(layout->code));
        break;
    }
    case Kind::Order: {
        if (const auto refused = loadEvent(module, request.event))
            return *refused;
        // What was issued is told beside the PDF's path, or apart from a PDF
        // written to the standard output.
        QTextStream report(pdf == QLatin1String("-") ? stderr : stdout);
        if (request.issue)
            if (const auto refused = issueAndTell(module, request.event, report))
                return *refused;
        filled = OrderReports::fillOrder(module, request.event, OrderReports::Copy(layout->code));
        break;
    }
    case Kind::FunctionSheet:
        filled = OrderReports::fillFunctionSheet(module, from, to);
        break;
    case Kind::Production:
        filled = OrderReports::fillProduction(module, from, to);
        break;
    case Kind::Bill:
        if (const auto refused = loadEvent(module, request.event))
            return *refused;
        filled = PaymentReports::fillBill(module, request.event);
        break;
    case Kind::PaymentsDue:
        filled = PaymentReports::fillDue(module, from, to);
        break;
    case Kind::PaymentsNotPosted:
        filled = PaymentReports::fillNotPosted(
            module, anyDate ? std::nullopt : std::optional(PaymentReports::Dates{from, to}));
        break;
    case Kind::Listing: {
        ReportMenu::Listing listing =
            ReportMenu::listing(layout->code, ReportMenu::DateNumbers::from(clock.today()), {},
                                {from, to}, ReportLauncher(module).clubSettings());
        listing.reportFile = layout->file;
        filled = ReportMenu(module).fillListing(listing);
        const auto selected = filled ? rowsIn(*filled, QStringLiteral("eventinfo")) : std::nullopt;
        if (filled && !selected)
            return fail(Refused, QStringLiteral("The report's work copy cannot be read."));
        if (selected == 0)
            return fail(NothingSelected,
                        QStringLiteral("No events from %1 to %2.").arg(from).arg(to));
        break;
    }
    case Kind::Tasks: {
        TaskList tasks(module);
        if (!tasks.readDates(from, to))
            return Refused;
        if (tasks.rows.isEmpty())
            return fail(NothingSelected,
                        QStringLiteral("No tasks from %1 to %2.").arg(from).arg(to));
        filled = tasks.fillReport();
        break;
    }
    }
    if (!filled)
        return Refused;
    if (!ReportLauncher(module).LaunchReport(*filled))
        return fail(Refused, QStringLiteral("%1 was not printed.").arg(layout->file));
    if (pdf != QLatin1String("-"))
        QTextStream(stdout) << pdf << Qt::endl;
    return Printed;
}

} // namespace ClubPrint
