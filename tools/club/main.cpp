#include "ClubCopy.h"
#include "ClubCreator.h"
#include "ClubPrint.h"
#include "SilentPorts.h"
#include "calendar/StatusColors.h"
#include "orders/EventOrder.h"
#include "payments/PaymentSchedule.h"
#include "ports/SystemClock.h"
#include "publishing/Publishing.h"
#include "reports/CalendarExport.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "startup/ClubUpgrade.h"
#include "startup/ConfigurationLoader.h"
#include "storage/ClubFile.h"
#include "storage/ClubStorage.h"
#include "storage/Databases.h"
#include "storage/SchemaUpgrade.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <csignal>

namespace {

int usage() {
    QTextStream(stderr)
        << "usage: moravel-club create DIR [--demo] [--postgres \"host=H port=P database=D "
           "user=U\"]\n"
           "       moravel-club upgrade DIR [--recreate DATABASE]\n"
           "       moravel-club copy FROM TO [--replace]\n"
           "       moravel-club export-ics DIR FROM TO [ROOM] [--out FILE]\n"
           "       moravel-club print DIR LAYOUT [--event N [--contract C | --issue] |\n"
           "                          --from FROM --to TO] [--pdf OUT]\n"
           "       moravel-club setting DIR [NAME [VALUE]]\n"
           "       moravel-club publish DIR [--force] [--insecure]\n"
           "  create makes a new club directory with every database, the settings and the\n"
           "  DEMO operator; --demo adds sample members, staff, inventory and receivables\n"
           "  codes. With --postgres the databases are schemas of that PostgreSQL database\n"
           "  (which must exist), named in the club's postgres.ini; the password comes\n"
           "  from PGPASSWORD or ~/.pgpass. upgrade brings an existing club's databases up\n"
           "  to this program and copies in the shipped files it lacks, never overwriting\n"
           "  the club's own. A database that is not the program's (an empty, damaged\n"
           "  or foreign file) stops it; --recreate DATABASE (evnt, config, ...) starts\n"
           "  that one empty, keeping the file found there under a dated name.\n"
           "  copy copies a club's data into the club directory TO, each side on its own\n"
           "  engine: SQLite files, or the PostgreSQL database TO's postgres.ini names (make\n"
           "  TO with create --postgres, or with just that file). Every row of every table\n"
           "  is copied and then checked against FROM; until then TO is marked incomplete\n"
           "  and no workstation opens it. The club's other files are copied where TO lacks\n"
           "  them. A TO holding more than a new club is refused unless --replace is given.\n"
           "  Run it while no workstation has FROM open.\n"
           "  export-ics writes the booked events (status 2 to 5, and the cancelled ones\n"
           "  marked cancelled) from FROM to TO (YYYYMMDD), of room number ROOM or of every\n"
           "  room, as an iCalendar file for calendar programs to show: to FILE, which is\n"
           "  replaced only once the new one is whole, or else to the standard output.\n"
           "  Times are the club's in its own time zone, which it reports with the number\n"
           "  of events. A write that fails (a full disk) exits with status 1 and the\n"
           "  system's reason.\n"
           "  print makes one report of the club as a PDF, to OUT (\"-\": the standard\n"
           "  output) or else to LAYOUT-SELECTION.pdf in the current directory\n"
           "  (evnt01a-event7.pdf, evnt03e-20270101-20270131.pdf). LAYOUT, with or\n"
           "  without .rpt, any case: the event sheets evnt01a, evnt01b, evnt02b and\n"
           "  the contracts evntcb01, evntcb01w, evntcb02, evntcb02w, evntcbudf and\n"
           "  the event orders evntord1 (kitchen) and evntord2 (client) and the client's\n"
           "  bill evntbill for --event N (a contract also names the stored contract C\n"
           "  whose components it assembles; the bill is refused before the event is\n"
           "  confirmed); the listings evnt03a-e, item listings evnt04b-f, projections\n"
           "  evnt05b-e, the task list evnttask1, the function sheet evntfunc, the\n"
           "  kitchen production evntprod and the payments due evntpaydue (with those\n"
           "  overdue) for the dates --from to --to (YYYYMMDD); the payments received\n"
           "  and not posted evntpaypost for every date, or those received in the\n"
           "  dates --from to --to. It only reads the club, but an event order printed\n"
           "  with --issue is issued first (a new revision when it changed since the\n"
           "  last), and the revision is reported. A function sheet, production or\n"
           "  payment listing with nothing to list prints a page saying so. Exit status:\n"
           "  0 printed, 2 wrong arguments, 3 nothing selected (no such event or\n"
           "  contract, nothing in the dates), 4 refused (the club not recognised or not\n"
           "  up to date, a layout not listed here, the report program failed, a bill\n"
           "  of an event not confirmed), the cause on the standard error.\n"
           "  setting lists the club's own settings, shows one, or sets NAME to VALUE\n"
           "  (\"\" removes it, so the default applies again): locale (en_US), timezone\n"
           "  (America/New_York), longdate and shortdate (Qt date formats), and\n"
           "  statuscolor1 to statuscolor5 (#RRGGBB), the colour of each status on the\n"
           "  rooms board and the month sheet; setupstyles and courses, the lists the\n"
           "  event order offers (entries separated by \";\"), and coursebydept, the\n"
           "  course each department's items are served in (1=Main;2=Bar);\n"
           "  paymentterms, the club's usual payment schedule (entries WHAT=AMOUNT,WHEN\n"
           "  separated by \";\": AMOUNT a percentage of the priced items, an amount or\n"
           "  rest; WHEN booking or days from the event, as in\n"
           "  Deposit=25%,booking;Second payment=50%,-30;Balance=rest,14), and\n"
           "  strictdeposit (yes: Reserved w/Dep only once the deposit is received).\n"
           "  Exit status 3: NAME is not set.\n"
           "  publish brings the CalDAV calendar that the club's publish.ini names in line\n"
           "  with its booked events (one resource per event; only what changed since the\n"
           "  last publish is sent). The password comes from MORAVEL_CALDAV_PASSWORD or\n"
           "  ~/.netrc. An entry someone changed on the server is reported and left as\n"
           "  it is; --force overwrites it. --insecure skips the certificate check of a\n"
           "  server on this machine. Exit status: 0 published, 1 stopped (the settings,\n"
           "  the club or the server; what was sent is kept), 4 some entries left as\n"
           "  they are (each named).\n";
    return 2;
}

int fail(const DbError &error) {
    QTextStream(stderr) << "moravel-club: " << error.description << '\n';
    return 1;
}

int create(const QString &directory, bool demo, const QString &server) {
    ClubCreator::Options options;
    options.demo = demo;
    if (!server.isEmpty()) {
        auto storage = ClubStorage::parseServer(server);
        if (!storage)
            return fail(storage.error());
        options.storage = *storage;
    }
    options.shareDirectory = ClubUpgrade::shareDirectory();
    if (const Status made = ClubCreator::create(directory, options); !made)
        return fail(made.error());
    QTextStream(stdout) << "Created " << QDir(directory).absolutePath()
                        << (demo ? " with demo data" : "") << '\n';
    return 0;
}

int upgrade(const QString &directory, const QString &recreate) {
    if (!QFileInfo(directory).isDir())
        return fail({ErrorNumber::FileMissing, directory + QStringLiteral(" is not a directory.")});
    auto club = ClubStorage::load(QDir(directory).absolutePath());
    if (!club)
        return fail(club.error());
    const StorageSettings settings = *club;
    Databases databases(settings);
    QTextStream out(stdout);
    const QDateTime now = QDateTime::currentDateTime();
    const QString user = qEnvironmentVariable("USER", QStringLiteral("admin"));
    if (!recreate.isEmpty()) {
        auto made = ClubUpgrade::recreate(databases, recreate, now, user);
        if (!made)
            return fail(made.error());
        out << *made << '\n';
    }
    auto done = ClubUpgrade::run(databases, ClubUpgrade::shareDirectory(), now, user);
    if (!done)
        return fail(done.error());
    for (const QString &line : *done)
        out << line << '\n';
    out << settings.clubDirectory << " is up to date.\n";
    return 0;
}

int copy(const QString &from, const QString &to, bool replace) {
    QTextStream out(stdout);
    const auto copied = ClubCopy::copy(from, to, replace, [&](const QString &line) {
        out << line << '\n';
        out.flush();
    });
    return copied ? 0 : fail(copied.error());
}

// YYYYMMDD, a real date; none otherwise.
std::optional<int> dateArgument(const QString &text) {
    const QDate date = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
    if (text.size() != 8 || !date.isValid())
        return std::nullopt;
    return text.toInt();
}

// A club opened for reading its events, as a workstation would: its
// configuration loaded, no operator to ask.
struct OpenClub {
    SilentPorts ports;
    SystemClock clock; // the export's and the publish's "today" and time stamp
    std::unique_ptr<Module> module;
};

Result<std::unique_ptr<OpenClub>> openClub(const QString &directory) {
    auto club = ClubStorage::load(QDir(directory).absolutePath());
    if (!club)
        return club.error();
    club->readOnly = true; // an export and a publish only read
    if (Status known = SchemaUpgrade::recognise(Databases(*club), QStringLiteral("evnt")); !known)
        return known.error();
    auto open = std::make_unique<OpenClub>();
    SilentPorts &ports = open->ports;
    open->module = std::make_unique<Module>(
        *club, Ports{ports, ports, ports, open->clock, ports, ports, ports});
    auto loaded = LoadConfiguration(open->module->databases);
    if (!loaded)
        return loaded.error();
    open->module->config = loaded->settings;
    return open;
}

int exportCalendar(const QStringList &arguments, const QString &outFile) {
    const auto from = dateArgument(arguments.value(2));
    const auto to = dateArgument(arguments.value(3));
    bool roomNumber = true;
    const int room = arguments.size() > 4 ? arguments[4].toInt(&roomNumber) : 0;
    if (!from || !to || !roomNumber || room < 0 || room > 20)
        return usage();
    auto club = openClub(arguments[1]);
    if (!club)
        return fail(club.error());
    Module &module = *(*club)->module;
    auto calendar = CalendarExport(module).calendar(
        {.from = std::min(*from, *to), .to = std::max(*from, *to), .room = room});
    if (!calendar)
        return fail(calendar.error());
    // Which zone the times are from, where it does not mix with the calendar.
    const QString written =
        QStringLiteral("%1 events, times in the club's time zone %2%3\n")
            .arg(calendar->events)
            .arg(calendar->zone, outFile.isEmpty() ? QStringLiteral(".")
                                                   : QStringLiteral(", written to ") + outFile);
    if (!outFile.isEmpty()) {
        if (const QString failed = ClubFile::replace(outFile, calendar->content); !failed.isEmpty())
            return fail({ErrorNumber::FileAccess,
                         QStringLiteral("%1 could not be written: %2").arg(outFile, failed)});
        QTextStream(stdout) << written;
        return 0;
    }
    if (const QString failed = ClubFile::writeToStandardOutput(calendar->content);
        !failed.isEmpty())
        return fail({ErrorNumber::FileAccess,
                     QStringLiteral("The calendar could not be written to the standard output: %1")
                         .arg(failed)});
    QTextStream(stderr) << written;
    return 0;
}

// Brings the club's calendar collection in line with its bookings.
int publish(const QString &directory, bool force, bool insecure) {
    auto settings = PublishSettings::load(directory, insecure);
    if (!settings)
        return fail(settings.error());
    auto club = openClub(directory);
    if (!club)
        return fail(club.error());
    auto job = Publishing::prepare(*(*club)->module, *settings);
    if (!job)
        return fail(job.error());
    QTextStream out(stdout);
    const QString where = settings->collection.toDisplayString();
    int shown = 0;
    const auto report = Publishing::send(*job, force, [&](int done, int total) {
        // A first publish of a long season says how far it is.
        if (total >= 500 && (done - shown >= total / 10 || done == total)) {
            shown = done;
            out << done << " of " << total << " sent\n";
            out.flush();
        }
    });
    for (const QString &problem : report.problems)
        out << problem << '\n';
    if (report.overridable > 0)
        out << "Publish with --force to overwrite the changes made on the server.\n";
    out << where << ": " << report.counts() << '\n';
    if (!report.stopped.isEmpty()) {
        out.flush();
        QTextStream(stderr) << "moravel-club: " << report.stopped
                            << (report.sent() > 0 ? " What was sent is noted; publish again to "
                                                    "send the rest.\n"
                                                  : "\n");
        return 1;
    }
    return report.problems.isEmpty() ? 0 : 4;
}

// The settings a club may make, and what each takes.
QStringList settingNames() {
    QStringList names{QString::fromLatin1(ClubSettings::Locale),
                      QString::fromLatin1(ClubSettings::TimeZone),
                      QString::fromLatin1(ClubSettings::LongDateFormat),
                      QString::fromLatin1(ClubSettings::ShortDateFormat)};
    for (int status = StatusColors::FirstStatus; status <= StatusColors::LastStatus; ++status)
        names << StatusColors::settingName(status);
    for (const char *list : {OrderLists::StylesSetting, OrderLists::CoursesSetting,
                             OrderLists::CourseByDepartmentSetting, PaymentTerms::Setting,
                             PaymentTerms::StrictDepositSetting})
        names << QString::fromLatin1(list);
    return names;
}

// Why a club could not use a value for a setting; empty when it can. A
// time zone is checked where it is written.
QString settingRefusal(const QString &name, const QString &value) {
    if (value.isEmpty())
        return QString();
    if (const QString list = OrderLists::refusal(name, value); !list.isEmpty())
        return list;
    if (const QString terms = PaymentTerms::refusal(name, value); !terms.isEmpty())
        return terms;
    if (name.startsWith(QLatin1String("statuscolor")) && !StatusColors::parse(value))
        return QStringLiteral("\"%1\" is not a colour; give it as #RRGGBB, for example "
                              "#A8D8F4.")
            .arg(value);
    if (name == QLatin1String(ClubSettings::Locale) && QLocale(value).name() != value)
        return QStringLiteral("\"%1\" is not a locale this system knows; give one such as "
                              "en_US or de_DE.")
            .arg(value);
    const bool dateFormat = name == QLatin1String(ClubSettings::LongDateFormat) ||
                            name == QLatin1String(ClubSettings::ShortDateFormat);
    if (dateFormat && !value.contains(QLatin1Char('d')))
        return QStringLiteral("\"%1\" writes no day; give a Qt date format such as "
                              "\"dddd, MMMM d, yyyy\" or \"MM/dd/yyyy\".")
            .arg(value);
    return QString();
}

int setting(const QStringList &arguments) {
    const QString name = arguments.value(2);
    const QString value = arguments.value(3).trimmed();
    if (arguments.size() > 2 && !settingNames().contains(name))
        return fail({ErrorNumber::TypeMismatch,
                     QStringLiteral("\"%1\" is not a setting; the settings are %2.")
                         .arg(name, settingNames().join(QStringLiteral(", ")))});
    if (const QString why = settingRefusal(name, value); !why.isEmpty())
        return fail(
            {ErrorNumber::TypeMismatch, why + QStringLiteral(" %1 was not changed.").arg(name)});
    auto club = ClubStorage::load(QDir(arguments[1]).absolutePath());
    if (!club)
        return fail(club.error());
    const Databases databases(*club);
    if (Status known = SchemaUpgrade::recognise(databases, QStringLiteral("evnt")); !known)
        return fail(known.error());
    auto evnt = databases.open(QStringLiteral("evnt"));
    if (!evnt)
        return fail(evnt.error());
    QTextStream out(stdout);
    if (arguments.size() == 4) {
        if (Status written = ClubSettings::write(**evnt, name, value); !written)
            return fail(written.error());
        out << name << (value.isEmpty() ? QStringLiteral(" removed") : " = " + value) << '\n';
        return 0;
    }
    auto rows = (*evnt)->exec(QStringLiteral("select name, value from clubsetting order by name"));
    if (!rows)
        return fail(rows.error());
    bool shown = false;
    while (rows->next()) {
        if (!name.isEmpty() && rows->value(0).toString() != name)
            continue;
        out << rows->value(0).toString() << " = " << rows->value(1).toString() << '\n';
        shown = true;
    }
    return shown || arguments.size() == 2 ? 0 : 3;
}

} // namespace

int print(const QStringList &arguments, const QStringList &selection, const QString &contract,
          const QString &pdf, bool issue) {
    ClubPrint::Request request;
    request.clubDirectory = arguments.value(1);
    request.layout = arguments.value(2);
    const QString &event = selection[0], &from = selection[1], &to = selection[2];
    bool numbers = true;
    const auto number = [&](const QString &text) {
        bool ok = text.isEmpty();
        const int value = ok ? 0 : text.toInt(&ok);
        numbers = numbers && ok && value >= 0;
        return value;
    };
    request.event = number(event);
    request.contract = number(contract);
    const auto date = [&](const QString &text) {
        const auto read = dateArgument(text);
        numbers = numbers && (read || text.isEmpty());
        return read.value_or(0);
    };
    request.from = date(from);
    request.to = date(to);
    request.pdf = pdf;
    request.issue = issue;
    if (arguments.size() != 3 || !numbers)
        return usage();
    const ClubPrint::Exit printed = ClubPrint::print(request);
    return printed == ClubPrint::BadArguments ? usage() : printed;
}

int main(int argc, char *argv[]) {
    // A file-size limit makes a write fail with its reason, as a full disk
    // does, rather than end the program in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool demo = arguments.removeAll(QStringLiteral("--demo")) > 0;
    const bool replace = arguments.removeAll(QStringLiteral("--replace")) > 0;
    const bool issue = arguments.removeAll(QStringLiteral("--issue")) > 0;
    const bool force = arguments.removeAll(QStringLiteral("--force")) > 0;
    const bool insecure = arguments.removeAll(QStringLiteral("--insecure")) > 0;
    // An option with a value; false when the value is missing.
    const auto valueOf = [&](const QString &option, QString &value) {
        const qsizetype at = arguments.indexOf(option);
        if (at < 0)
            return true;
        if (at + 1 >= arguments.size())
            return false;
        value = arguments.takeAt(at + 1);
        arguments.removeAt(at);
        return true;
    };
    QString server;
    QString recreate;
    QString outFile;
    QStringList selection(3); // --event, --from, --to
    QString contract;
    QString pdf;
    if (!valueOf(QStringLiteral("--postgres"), server) ||
        !valueOf(QStringLiteral("--recreate"), recreate) ||
        !valueOf(QStringLiteral("--out"), outFile) ||
        !valueOf(QStringLiteral("--event"), selection[0]) ||
        !valueOf(QStringLiteral("--from"), selection[1]) ||
        !valueOf(QStringLiteral("--to"), selection[2]) ||
        !valueOf(QStringLiteral("--contract"), contract) || !valueOf(QStringLiteral("--pdf"), pdf))
        return usage();
    const bool printing = arguments.value(0) == QLatin1String("print");
    if (!printing &&
        (!selection.join(QString()).isEmpty() || !contract.isEmpty() || !pdf.isEmpty() || issue))
        return usage();
    if (printing) {
        if (demo || replace || force || insecure || !server.isEmpty() || !recreate.isEmpty() ||
            !outFile.isEmpty())
            return usage();
        return print(arguments, selection, contract, pdf, issue);
    }
    if (!outFile.isEmpty() && arguments.value(0) != QLatin1String("export-ics"))
        return usage();
    if (!recreate.isEmpty() && (arguments.value(0) != QLatin1String("upgrade") || demo))
        return usage();
    if (!arguments.isEmpty() && arguments[0] == QLatin1String("copy")) {
        if (arguments.size() != 3 || demo || !server.isEmpty())
            return usage();
        return copy(arguments[1], arguments[2], replace);
    }
    if (!arguments.isEmpty() && arguments[0] == QLatin1String("export-ics")) {
        if (arguments.size() < 4 || arguments.size() > 5 || demo || replace || !server.isEmpty())
            return usage();
        return exportCalendar(arguments, outFile);
    }
    if (!arguments.isEmpty() && arguments[0] == QLatin1String("publish")) {
        if (arguments.size() != 2 || demo || replace || !server.isEmpty() || !recreate.isEmpty())
            return usage();
        return publish(arguments[1], force, insecure);
    }
    if (force || insecure)
        return usage();
    if (!arguments.isEmpty() && arguments[0] == QLatin1String("setting")) {
        if (arguments.size() < 2 || arguments.size() > 4 || demo || replace || !server.isEmpty() ||
            !recreate.isEmpty())
            return usage();
        return setting(arguments);
    }
    if (arguments.size() != 2 || replace)
        return usage();
    if (arguments[0] == QLatin1String("create"))
        return create(arguments[1], demo, server);
    if (!server.isEmpty())
        return usage();
    if (arguments[0] == QLatin1String("upgrade") && !demo)
        return upgrade(arguments[1], recreate);
    return usage();
}
