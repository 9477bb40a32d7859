#include "ReportClub.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

struct Finished {
    int exitCode = -1;
    QString errors;
    QByteArray output;
};

// What a run has besides its arguments and input.
struct Surroundings {
    QString variable = {};                // "NAME=value" set for the run
    QString output = {};                  // where standard output goes; empty: read by the test
    rlim_t fileSizeLimit = RLIM_INFINITY; // bytes, as a full disk with room for so much
};

// Runs the built program on the offscreen platform, in `directory`, with
// `input` piped to it.
Finished prinzel(const QStringList &arguments, const QString &directory, const QString &input = {},
                 const Surroundings &surroundings = {}) {
    QProcess process;
    process.setWorkingDirectory(directory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    if (!surroundings.variable.isEmpty())
        environment.insert(surroundings.variable.section(QLatin1Char('='), 0, 0),
                           surroundings.variable.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(environment);
    if (!surroundings.output.isEmpty())
        process.setStandardOutputFile(surroundings.output);
    const rlim_t fileSizeLimit = surroundings.fileSizeLimit;
    process.setChildProcessModifier([fileSizeLimit] {
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    process.start(QStringLiteral(PRINZEL_EXECUTABLE), arguments);
    EXPECT_TRUE(process.waitForStarted());
    process.write(input.toUtf8());
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError()),
            process.readAllStandardOutput()};
}

class Program : public ::testing::Test {
protected:
    void SetUp() override {
        club.exec("insert into eventreserv values (?, ?, ?, ?, ?, ?)",
                  {20270105, "18:00", 7, "Gala", 8, "Meeting"});
        club.writeFile("good.txt", good);
    }

    const QString good = ReportClub::block("evntcon1.rpt");
    ReportClub club;
};

TEST_F(Program, EachFailureHasItsExitCode) {
    // A path where a PDF must not be written, with no reader: writing to it
    // would wait for one.
    const QString pipe = club.path("pipe.pdf");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // Qt lays out each table nested in another twice: this one would take
    // minutes.
    club.writeFile("nested.rpt",
                   QStringLiteral("[body]\n") + QStringLiteral("<table><tr><td>").repeated(24));
    // A layout without end.
    ASSERT_TRUE(QFile::link("/dev/zero", club.path("zero.rpt")));
    const auto clubFiles = [&] {
        return QDir(club.directory).entryList(QDir::AllEntries | QDir::Hidden).join(' ');
    };
    const QString before = clubFiles();
    const struct {
        QString block;
        QString arguments; // separated by blanks
        ExitCode code;
        const char *named;
        Surroundings surroundings = {};
    } cases[] = {
        {"Crystal~\nReportFileName=a/b.rpt~", "", ExitCode::Block, "ReportFileName"},
        {QString(), "", ExitCode::Block, "No parameter block"},
        {QString(), "missing.txt", ExitCode::Block, "missing.txt"},
        {ReportClub::block("nothere.rpt"), "", ExitCode::Layout, "nothere.rpt"},
        {ReportClub::block("zero.rpt"), "", ExitCode::Layout,
         "zero.rpt is refused: it is larger than 1 MB"},
        {QString(good).replace("rpt05.mdb", "rpt99.mdb"), "", ExitCode::Data, "rpt99.mdb"},
        {ReportClub::block("evntcon1.rpt", "{eventreserv.event1} = 1; drop"), "", ExitCode::Data,
         "\";\""},
        {good, "--pdf /nonexistent/dir/out.pdf", ExitCode::Pdf, "/nonexistent/dir/out.pdf"},
        {good, "--pdf " + pipe, ExitCode::Pdf,
         "pipe.pdf cannot be written: it is not a regular file"},
        {good, "--pdf " + club.directory, ExitCode::Pdf, "not a regular file"},
        {good, "--pdf limited.pdf", ExitCode::Pdf, "limited.pdf cannot be written: File too large",
         Surroundings{.fileSizeLimit = 8192}},
        {good, "--pdf -", ExitCode::Pdf, "standard output: No space left on device",
         Surroundings{.output = "/dev/full"}},
        {QString(), "--help", ExitCode::Usage, "No space left on device",
         Surroundings{.output = "/dev/full"}},
        {ReportClub::block("nested.rpt"), "--pdf late.pdf", ExitCode::TimeLimit,
         "nested.rpt took longer than its time limit of 0.2 seconds",
         Surroundings{.variable = "PRINZEL_TIME_LIMIT=0.2"}},
        {good, "--pdf late.pdf", ExitCode::Usage, "PRINZEL_TIME_LIMIT \"soon\"",
         Surroundings{.variable = "PRINZEL_TIME_LIMIT=soon"}},
        {good, "--printer", ExitCode::Usage, "--printer"},
    };
    for (const auto &c : cases) {
        const Finished run = prinzel(c.arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts),
                                     club.directory, c.block, c.surroundings);
        EXPECT_EQ(run.exitCode, int(c.code)) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.startsWith("prinzel: ") &&
                    run.errors.contains(QString::fromUtf8(c.named)) &&
                    run.errors.count(QLatin1Char('\n')) == 1)
            << c.named << ": " << run.errors.toStdString();
    }
    EXPECT_EQ(clubFiles().toStdString(), before.toStdString())
        << "nothing written, nothing left aside";
    EXPECT_FALSE(QFileInfo(pipe).isFile()) << "the pipe is not replaced";
}

TEST_F(Program, TheBlockComesFromAFileOrStandardInput) {
    const Finished fromFile = prinzel({"--club", club.directory, club.path("good.txt")}, "/");
    EXPECT_EQ(fromFile.exitCode, 0);
    EXPECT_EQ(fromFile.errors, "");
    const QString conflicts = club.path("rpt05-evntcon1.pdf");
    EXPECT_TRUE(QFile::exists(conflicts)) << "beside its data file, named after it and the layout";
    const QString first = pdfText(conflicts);
    EXPECT_TRUE(first.contains("Gala"));

    // Another layout over the same work file, its name in capitals: a PDF of
    // its own, and the first one stays as it was.
    club.writeFile("tasks.txt", ReportClub::block("EVNTTASK1.RPT"));
    const Finished tasks = prinzel({"tasks.txt"}, club.directory);
    EXPECT_EQ(tasks.exitCode, 0) << tasks.errors.toStdString();
    EXPECT_TRUE(pdfText(club.path("rpt05-evnttask1.pdf")).contains("Task List"));
    EXPECT_EQ(pdfText(conflicts), first);

    // As the main program runs it: in the club directory, the block piped in,
    // CRLF line ends from a Windows clipboard.
    const Finished fromInput =
        prinzel({"--pdf", "piped.pdf"}, club.directory, QString(good).replace("\n", "\r\n"));
    EXPECT_EQ(fromInput.exitCode, 0);
    EXPECT_EQ(fromInput.errors, "");
    EXPECT_TRUE(pdfText(club.path("piped.pdf")).contains("Meeting"));

    // "--pdf -": the whole PDF on standard output, and no file.
    const Finished toOutput = prinzel({"--pdf", "-", "good.txt"}, club.directory);
    EXPECT_EQ(toOutput.exitCode, 0);
    EXPECT_EQ(toOutput.errors, "");
    EXPECT_TRUE(toOutput.output.startsWith("%PDF-") && toOutput.output.trimmed().endsWith("%%EOF"));
    EXPECT_FALSE(QFile::exists(club.path("-")));
}

} // namespace
