#include "ClubFixture.h"
#include "storage/Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

// `moravel-club print` run as the program it is on the demo club (on the
// test server when there is one): the report's words, its exit status, a
// club left as it was, and no work copy left anywhere.
class ClubPrintTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }

    void SetUp() override {
        ClubFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(scratch()));
        ASSERT_TRUE(QDir().mkpath(runtime()));
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // A workstation's work copy, which the command must leave alone.
        ASSERT_TRUE(QFile::copy(path(u"rpt00.sys"_s), path(u"rpt05.mdb"_s)));
    }

    QString scratch() const { return QDir(temp.path()).filePath(u"scratch"_s); }
    QString runtime() const { return QDir(temp.path()).filePath(u"runtime"_s); }
    QString out(const QString &name) const { return QDir(temp.path()).filePath(name); }

    // The tool started with its temporary files in scratch().
    std::unique_ptr<QProcess> start(const QString &arguments) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"TMPDIR"_s, scratch());
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime()); // the report program's
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(temp.path());
        process->start(QStringLiteral(MORAVEL_CLUB),
                       QStringList{u"print"_s, club} + arguments.split(u' '));
        return process;
    }
    struct Run {
        int status = -1;
        QString said;
        QString output;
    };
    static Run finish(QProcess &process) {
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardError()),
                QString::fromUtf8(process.readAllStandardOutput())};
    }
    static QString pdfText(const QString &pdf) {
        QProcess pdftotext;
        pdftotext.start(u"pdftotext"_s, {pdf, u"-"_s});
        EXPECT_TRUE(pdftotext.waitForFinished(60000));
        return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    }

    // Every file of the club directory with its contents and time, and the
    // row count of every table of every database.
    QStringList clubState() {
        QStringList state;
        for (QDirIterator files(club, QDir::Files | QDir::Hidden); files.hasNext();) {
            const QFileInfo file(files.next());
            QFile read(file.filePath());
            EXPECT_TRUE(read.open(QIODevice::ReadOnly));
            state << file.fileName() + QLatin1Char(' ') +
                         QString::fromLatin1(
                             QCryptographicHash::hash(read.readAll(), QCryptographicHash::Md5)
                                 .toHex()) +
                         QLatin1Char(' ') + file.lastModified().toString(Qt::ISODateWithMs);
        }
        // One connection per database: a server answers the counts quickly
        // but takes a while to open each.
        for (const QString &database : Schema::databases()) {
            if (!module->databases.exists(database))
                continue;
            auto db = module->databases.open(database);
            EXPECT_TRUE(db.ok()) << database.toStdString();
            for (const Schema::Table &table : Schema::tablesOf(database)) {
                auto count = db ? db.value()->exec(u"select count(*) from %1"_s.arg(table.name))
                                : Result<QSqlQuery>(db.error());
                state << database + QLatin1Char('.') + table.name + QLatin1Char(' ') +
                             (count && count->next() ? count->value(0).toString() : u"?"_s);
            }
        }
        state.sort();
        return state;
    }
};

TEST_F(ClubPrintTest, PrintsWhatIsSelectedAndLeavesTheClubAsItWasOrRefusesIt) {
    const QString party = QString::number(eventNumber(u"Halvorsen Engineering "
                                                      "Holiday Party"_s));
    const QString gala = QString::number(eventNumber(u"New Year's Eve Gala"_s));
    const QString reception = QString::number(eventNumber(u"Sullivan-Park Reception"_s));
    const QString rehearsal = QString::number(eventNumber(u"Sullivan-Park Rehearsal Dinner"_s));
    const QString day =
        scalar(u"evnt"_s, u"select eventdate from eventinfo where eventnum = ?"_s, {reception})
            .toString();
    const QStringList before = clubState();
    const QString everything = u" --from 20000101 --to 20991231"_s;
    const struct {
        QString arguments; // separated by blanks
        int status;
        QString pdf;   // where it is written: given, or the default name
        QString words; // in the PDF, or else on the error output
    } rows[] = {
        {u"evnt01a --event "_s + party, 0, u"evnt01a-event%1.pdf"_s.arg(party),
         u"Event #: %1 Date: "_s.arg(party)},
        {u"EVNT03E.rpt --pdf listing.pdf"_s + everything, 0, u"listing.pdf"_s,
         u"Events by Date Range"_s},
        {u"evntcb01 --event %1 --contract 1"_s.arg(party), 0, u"evntcb01-event%1.pdf"_s.arg(party),
         u"Dear Greta Halvorsen, Thank you for choosing Hollow Creek Country Club"_s},
        {u"evnttask1"_s + everything, 0, u"evnttask1-20000101-20991231.pdf"_s,
         u"Tasks from 01/01/2000 to 12/31/2099"_s},
        {u"evntord2 --event "_s + reception, 0, u"evntord2-event%1.pdf"_s.arg(reception),
         u"Event Order - Client's Copy Sullivan-Park Reception Revision 1, issued 12/06/2026 by "
         "DEMO"_s},
        {u"evntfunc --from %1 --to %1"_s.arg(day), 0, u"evntfunc-%1-%1.pdf"_s.arg(day),
         u"Sullivan-Park Reception (#%1)"_s.arg(reception)},
        {u"evntprod --from %1 --to %1"_s.arg(day), 0, u"evntprod-%1-%1.pdf"_s.arg(day),
         u"#%1 Sullivan-Park Reception"_s.arg(reception)},
        {u"evntfunc --from 20990101 --to 20990101"_s, 0, u"evntfunc-20990101-20990101.pdf"_s,
         u"No events are booked."_s},
        {u"evntbill --event "_s + reception, 0, u"evntbill-event%1.pdf"_s.arg(reception),
         u"Sullivan-Park Reception Event #: %1"_s.arg(reception)},
        {u"evntbill --event "_s + rehearsal, 4, QString(),
         u"Event #%1 is reserved; the client's bill is printed once it is confirmed."_s.arg(
             rehearsal)},
        {u"evntpaypost --event "_s + party, 2, QString(), u"is printed for dates"_s},
        {u"evnt01a --issue --event "_s + party, 2, QString(),
         u"--issue issues an event order; evnt01a.rpt is none."_s},
        {u"evntcb01 --event "_s + party, 3, QString(),
         u"--contract N: the club's contracts are 1 (Wedding Reception)"_s},
        {u"evnt01b --event 99999"_s, 3, QString(), u"There is no event 99999."_s},
        {u"evntbill --event 99999"_s, 3, QString(), u"There is no event 99999."_s},
        {u"evnt04e --from 20990101 --to 20991231"_s, 3, QString(),
         u"No events from 20990101 to 20991231."_s},
        {u"evnt01a"_s + everything, 2, QString(), u"is printed for an event"_s},
        {u"evnt02b --event 7x"_s, 2, QString(), u"usage:"_s},
        {u"evntcon1 --event "_s + party, 4, QString(),
         u"evntcon1 is not a layout this command prints"_s},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.arguments.toStdString());
        const Run run = finish(*start(row.arguments));
        EXPECT_EQ(run.status, row.status) << run.said.toStdString();
        const QString said = row.pdf.isEmpty() ? run.said : pdfText(out(row.pdf));
        EXPECT_TRUE(said.contains(row.words)) << said.toStdString();
    }

    // Two at once, each with its own event.
    auto one = start(u"evnt01a --event %1 --pdf first.pdf"_s.arg(party));
    auto two = start(u"evnt01a --event %1 --pdf second.pdf"_s.arg(gala));
    EXPECT_EQ(finish(*one).status, 0);
    EXPECT_EQ(finish(*two).status, 0);
    const QString first = pdfText(out(u"first.pdf"_s));
    EXPECT_TRUE(first.contains(u"Holiday Party"_s) && !first.contains(u"Gala"_s));
    EXPECT_TRUE(pdfText(out(u"second.pdf"_s)).contains(u"Gala"_s));

    EXPECT_EQ(clubState(), before) << "the club, its rpt05.mdb included, is as it was";
    EXPECT_EQ(QDir(scratch()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList())
        << "no work copy is left behind";

    // A club not up to date or not recognised is refused and left as it is.
    const QString sheet = u"evnt01a --event 7"_s;
    exec(u"config"_s, u"update schemaversion set version = 1"_s);
    Run run = finish(*start(sheet));
    EXPECT_EQ(run.status, 4);
    EXPECT_TRUE(run.said.contains(u"is not at this program's schema version"_s))
        << run.said.toStdString();
    EXPECT_EQ(scalar(u"config"_s, u"select version from schemaversion"_s), 1) << "not upgraded";
    if (onPostgres())
        return; // a server club has no file to damage
    QFile empty(path(u"evnt.mdb"_s));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
    empty.close();
    run = finish(*start(sheet));
    EXPECT_EQ(run.status, 4);
    EXPECT_TRUE(run.said.contains(u"is empty (0 bytes)"_s)) << run.said.toStdString();
    EXPECT_EQ(QFileInfo(empty).size(), 0) << "nothing was written into it";
}

TEST_F(ClubPrintTest, AnOrderPrintedWithIssueIsIssuedFirstAndOnlyWhenItChanged) {
    const QString reception = QString::number(eventNumber(u"Sullivan-Park Reception"_s));
    const QString issue = u"evntord1 --event %1 --issue --pdf order.pdf"_s.arg(reception);
    const auto issued = [&](const QString &told, const QString &printed) {
        const Run run = finish(*start(issue));
        EXPECT_EQ(run.status, 0) << run.said.toStdString();
        EXPECT_TRUE(run.output.startsWith(u"Event order #%1: "_s.arg(reception) + told))
            << run.output.toStdString();
        const QString text = pdfText(out(u"order.pdf"_s));
        EXPECT_TRUE(text.contains(printed)) << text.toStdString();
    };
    const auto issuedBy = [&] {
        return rowTexts(u"evnt"_s,
                        u"select revision, issuedby from eventorder where eventnum = ?"_s,
                        {reception});
    };
    // The demo's wedding was issued once; unchanged, it is printed again
    // and the club left as it was.
    const QStringList before = clubState();
    issued(u"nothing changed since revision 1; not issued again."_s,
           u"Revision 1, issued 12/06/2026 by DEMO"_s);
    EXPECT_EQ(clubState(), before);

    // A changed item: revision 2, its menu marked, recorded as the command's.
    exec(u"evnt"_s, u"update items set qty = qty + 2 where eventid = ? and itemnum = 103"_s,
         {reception});
    issued(u"revision 2 issued."_s, u"CHANGED IN REVISION 2"_s);
    EXPECT_EQ(issuedBy(), QStringList{u"2|moravel-club"_s});
    QFile log(path(u"evntsched.ini"_s));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll())
                    .contains(u"Event#%1 \\Event order revision 2 issued (changed: Menu)"_s.arg(
                        reception)));
    issued(u"nothing changed since revision 2; not issued again."_s, u"Revision 2, issued"_s);
    EXPECT_EQ(issuedBy(), QStringList{u"2|moravel-club"_s});
}

// The payment listings of the demo's wedding reception with a schedule of
// its own: what is due (and overdue) in the dates, what waits to be posted
// (every date without --from and --to), each printed from the command line.
TEST_F(ClubPrintTest, PaymentListingsPrintTheSchedulesOfTheDates) {
    const int reception = eventNumber(u"Sullivan-Park Reception"_s);
    exec(u"evnt"_s, u"delete from eventpayment"_s); // the demo's own schedules
    execEach(
        u"evnt"_s,
        u"insert into eventpayment (eventnum, line, what, duedate, amountdue, receiveddate, "
        "amountreceived, reference, recordedby, posted) values (?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?)"_s,
        {{reception, 1, u"Deposit"_s, 20291220, u"2000"_s, 20291218, u"2000"_s, u"Cheque 77"_s,
          u"DEMO"_s, 0},
         {reception, 2, u"Second payment"_s, 20261130, u"3000"_s, 20291231, u"1200"_s, u"Visa 12"_s,
          u"DEMO"_s, 1},
         {reception, 3, u"Balance"_s, 20300115, u"1500.5"_s, 0, u"0"_s, QString(), QString(), 0}});
    const QString title = u"#%1 Sullivan-Park Reception"_s.arg(reception);
    const struct {
        QString arguments;
        QStringList words;
    } rows[] = {
        {u"evntpaydue --from 20300101 --to 20300131"_s,
         {u"11/30/2026 Second payment %1 Hannah Park OVERDUE"_s.arg(title),
          u"01/15/2030 Balance 1,500.50 1,500.50"_s,
          u"Total outstanding 3,300.50 of which overdue 1,800.00"_s}},
        {u"evntpaypost"_s, {u"12/18/2029 %1"_s.arg(title), u"Total to post 2,000.00"_s}},
        {u"evntpaypost --from 20291219 --to 20291231"_s,
         {u"Every payment received has been posted."_s}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.arguments.toStdString());
        const Run run = finish(*start(row.arguments + u" --pdf listing.pdf"_s));
        EXPECT_EQ(run.status, 0) << run.said.toStdString();
        const QString text = pdfText(out(u"listing.pdf"_s));
        for (const QString &words : row.words)
            EXPECT_TRUE(text.contains(words)) << words.toStdString() << "\n" << text.toStdString();
    }
}

} // namespace
