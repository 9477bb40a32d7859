#include "ReportClub.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Finished {
    int exitCode = -1;
    QString errors;
};

// Runs the built program on the offscreen platform, in `directory`, with
// `input` piped to it.
Finished prinzel(const QStringList &arguments, const QString &directory,
                 const QString &input = {}) {
    QProcess process;
    process.setWorkingDirectory(directory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PRINZEL_EXECUTABLE), arguments);
    EXPECT_TRUE(process.waitForStarted());
    process.write(input.toUtf8());
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

class Program : public ::testing::Test {
protected:
    void SetUp() override {
        club.exec(QStringLiteral("insert into eventreserv values (?, ?, ?, ?, ?, ?)"),
                  {20270105, QStringLiteral("18:00"), 7, QStringLiteral("Gala"), 8,
                   QStringLiteral("Meeting")});
        club.writeFile(QStringLiteral("good.txt"), good);
    }

    const QString good = ReportClub::block(QStringLiteral("evntcon1.rpt"));
    ReportClub club;
};

TEST_F(Program, EachFailureHasItsExitCode) {
    const struct {
        const char *rule;
        QString block;
        QStringList arguments;
        ExitCode code;
        const char *named;
    } cases[] = {
        {"a bad block",
         QStringLiteral("Crystal~\nReportFileName=a/b.rpt~"),
         {},
         ExitCode::Block,
         "ReportFileName"},
        {"no block anywhere", QString(), {}, ExitCode::Block, "No parameter block"},
        {"a block file that is not there",
         QString(),
         {"missing.txt"},
         ExitCode::Block,
         "missing.txt"},
        {"a missing layout",
         ReportClub::block(QStringLiteral("nothere.rpt")),
         {},
         ExitCode::Layout,
         "nothere.rpt"},
        {"a missing data file",
         QString(good).replace("rpt05.mdb", "rpt99.mdb"),
         {},
         ExitCode::Data,
         "rpt99.mdb"},
        {"a refused formula",
         ReportClub::block(QStringLiteral("evntcon1.rpt"), "{eventreserv.event1} = 1; drop"),
         {},
         ExitCode::Data,
         "\";\""},
        {"a PDF path that cannot be written",
         good,
         {"--pdf", "/nonexistent/dir/out.pdf"},
         ExitCode::Pdf,
         "/nonexistent/dir/out.pdf"},
        {"an unknown option", good, {"--printer"}, ExitCode::Usage, "--printer"},
    };
    for (const auto &c : cases) {
        const Finished run = prinzel(c.arguments, club.directory, c.block);
        EXPECT_EQ(run.exitCode, int(c.code)) << c.rule << ": " << run.errors.toStdString();
        EXPECT_TRUE(run.errors.startsWith(QStringLiteral("prinzel: ")) &&
                    run.errors.contains(QString::fromUtf8(c.named)) &&
                    run.errors.count(QLatin1Char('\n')) == 1)
            << c.rule << ": " << run.errors.toStdString();
    }
    EXPECT_FALSE(QFile::exists(club.path(QStringLiteral("rpt05.pdf"))));
}

TEST_F(Program, TheBlockComesFromAFileOrStandardInput) {
    const Finished fromFile = prinzel({"--club", club.directory, club.path("good.txt")}, "/");
    EXPECT_EQ(fromFile.exitCode, 0);
    EXPECT_EQ(fromFile.errors, "");
    EXPECT_TRUE(QFile::exists(club.path(QStringLiteral("rpt05.pdf")))) << "beside its data file";
    EXPECT_TRUE(pdfText(club.path(QStringLiteral("rpt05.pdf"))).contains("Gala"));

    // As the main program runs it: in the club directory, the block piped in,
    // CRLF line ends from a Windows clipboard.
    const Finished fromInput =
        prinzel({"--pdf", "piped.pdf"}, club.directory, QString(good).replace("\n", "\r\n"));
    EXPECT_EQ(fromInput.exitCode, 0);
    EXPECT_EQ(fromInput.errors, "");
    EXPECT_TRUE(pdfText(club.path(QStringLiteral("piped.pdf"))).contains("Meeting"));
}

} // namespace
