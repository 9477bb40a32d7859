#include "ClubFixture.h"
#include "storage/Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QProcess>

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
        ASSERT_TRUE(
            QFile::copy(path(QStringLiteral("rpt00.sys")), path(QStringLiteral("rpt05.mdb"))));
    }

    QString scratch() const { return QDir(temp.path()).filePath(QStringLiteral("scratch")); }
    QString runtime() const { return QDir(temp.path()).filePath(QStringLiteral("runtime")); }
    QString out(const QString &name) const { return QDir(temp.path()).filePath(name); }

    // The tool started with its temporary files in scratch().
    std::unique_ptr<QProcess> start(const QStringList &arguments) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), scratch());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime()); // the report program's
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(temp.path());
        process->start(QStringLiteral(MORAVEL_CLUB),
                       QStringList{QStringLiteral("print"), club} + arguments);
        return process;
    }
    struct Run {
        int status = -1;
        QString said;
    };
    static Run finish(QProcess &process) {
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
    }
    static QString pdfText(const QString &pdf) {
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
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
        for (const QString &database : Schema::databases()) {
            if (!module->databases.exists(database))
                continue;
            for (const Schema::Table &table : Schema::tablesOf(database))
                state << database + QLatin1Char('.') + table.name + QLatin1Char(' ') +
                             scalar(database,
                                    QStringLiteral("select count(*) from %1").arg(table.name))
                                 .toString();
        }
        state.sort();
        return state;
    }
};

TEST_F(ClubPrintTest, PrintsWhatIsSelectedAndLeavesTheClubAsItWas) {
    const QString party = QString::number(eventNumber(QStringLiteral("Halvorsen Engineering "
                                                                     "Holiday Party")));
    const QString gala = QString::number(eventNumber(QStringLiteral("New Year's Eve Gala")));
    const QStringList before = clubState();
    const QString all[] = {QStringLiteral("--from"), QStringLiteral("20000101"),
                           QStringLiteral("--to"), QStringLiteral("20991231")};
    const QStringList everything(std::begin(all), std::end(all));
    const struct {
        QStringList arguments;
        int status;
        QString pdf;   // where it is written: given, or the default name
        QString words; // in the PDF, or else on the error output
    } rows[] = {
        {{QStringLiteral("evnt01a"), QStringLiteral("--event"), party},
         0,
         QStringLiteral("evnt01a-event%1.pdf").arg(party),
         QStringLiteral("Event #: %1 Date: ").arg(party)},
        {QStringList{QStringLiteral("EVNT03E.rpt"), QStringLiteral("--pdf"),
                     QStringLiteral("listing.pdf")} +
             everything,
         0, QStringLiteral("listing.pdf"), QStringLiteral("Events by Date Range")},
        {{QStringLiteral("evntcb01"), QStringLiteral("--event"), party,
          QStringLiteral("--contract"), QStringLiteral("1")},
         0,
         QStringLiteral("evntcb01-event%1.pdf").arg(party),
         QStringLiteral("Dear Greta Halvorsen, Thank you for choosing Hollow Creek Country Club")},
        {QStringList{QStringLiteral("evnttask1")} + everything, 0,
         QStringLiteral("evnttask1-20000101-20991231.pdf"),
         QStringLiteral("Tasks from 01/01/2000 to 12/31/2099")},
        {{QStringLiteral("evntcb01"), QStringLiteral("--event"), party},
         3,
         {},
         QStringLiteral("--contract N: the club's contracts are 1 (Wedding Reception)")},
        {{QStringLiteral("evnt01b"), QStringLiteral("--event"), QStringLiteral("99999")},
         3,
         {},
         QStringLiteral("There is no event 99999.")},
        {{QStringLiteral("evnt04e"), QStringLiteral("--from"), QStringLiteral("20990101"),
          QStringLiteral("--to"), QStringLiteral("20991231")},
         3,
         {},
         QStringLiteral("No events from 20990101 to 20991231.")},
        {QStringList{QStringLiteral("evnt01a")} + everything,
         2,
         {},
         QStringLiteral("is printed for an event")},
        {{QStringLiteral("evnt02b"), QStringLiteral("--event"), QStringLiteral("7x")},
         2,
         {},
         QStringLiteral("usage:")},
        {{QStringLiteral("evntcon1"), QStringLiteral("--event"), party},
         4,
         {},
         QStringLiteral("evntcon1 is not a layout this command prints")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.arguments.join(QLatin1Char(' ')).toStdString());
        auto process = start(row.arguments);
        const Run run = finish(*process);
        EXPECT_EQ(run.status, row.status) << run.said.toStdString();
        if (row.pdf.isEmpty())
            EXPECT_TRUE(run.said.contains(row.words)) << run.said.toStdString();
        else
            EXPECT_TRUE(pdfText(out(row.pdf)).contains(row.words))
                << pdfText(out(row.pdf)).toStdString();
    }

    // Two at once, each with its own event.
    auto first = start({QStringLiteral("evnt01a"), QStringLiteral("--event"), party,
                        QStringLiteral("--pdf"), QStringLiteral("first.pdf")});
    auto second = start({QStringLiteral("evnt01a"), QStringLiteral("--event"), gala,
                         QStringLiteral("--pdf"), QStringLiteral("second.pdf")});
    EXPECT_EQ(finish(*first).status, 0);
    EXPECT_EQ(finish(*second).status, 0);
    EXPECT_TRUE(
        pdfText(out(QStringLiteral("first.pdf"))).contains(QStringLiteral("Holiday Party")));
    EXPECT_FALSE(pdfText(out(QStringLiteral("first.pdf"))).contains(QStringLiteral("Gala")));
    EXPECT_TRUE(pdfText(out(QStringLiteral("second.pdf"))).contains(QStringLiteral("Gala")));

    const QStringList after = clubState();
    QStringList changed;
    for (const QString &line : after)
        if (!before.contains(line))
            changed << QStringLiteral("+ ") + line;
    for (const QString &line : before)
        if (!after.contains(line))
            changed << QStringLiteral("- ") + line;
    EXPECT_EQ(changed, QStringList()) << "the club, its rpt05.mdb included, is as it was";
    EXPECT_EQ(QDir(scratch()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList())
        << "no work copy is left behind";
}

TEST_F(ClubPrintTest, RefusesAClubNotUpToDateOrNotRecognisedAndChangesNothing) {
    const QStringList sheet{QStringLiteral("evnt01a"), QStringLiteral("--event"),
                            QStringLiteral("7")};
    exec(QStringLiteral("config"), QStringLiteral("update schemaversion set version = 1"));
    Run run = finish(*start(sheet));
    EXPECT_EQ(run.status, 4);
    EXPECT_TRUE(run.said.contains(QStringLiteral("is not at this program's schema version")))
        << run.said.toStdString();
    EXPECT_EQ(scalar(QStringLiteral("config"), QStringLiteral("select version from schemaversion")),
              1)
        << "not upgraded";
    if (onPostgres())
        return; // a server club has no file to damage
    QFile empty(path(QStringLiteral("evnt.mdb")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
    empty.close();
    run = finish(*start(sheet));
    EXPECT_EQ(run.status, 4);
    EXPECT_TRUE(run.said.contains(QStringLiteral("is empty (0 bytes)"))) << run.said.toStdString();
    EXPECT_EQ(QFileInfo(empty).size(), 0) << "nothing was written into it";
}

} // namespace
