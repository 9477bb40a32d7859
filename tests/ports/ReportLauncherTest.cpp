#include "ports/ReportLauncher.h"

#include "ClubFixture.h"
#include "session/ClubSettings.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

class ReportLauncherTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        programs.available << u"prinzel.exe"_s;
        writeFile(u"evntcon1.rpt"_s, "[body]\n");
    }

    void writeFile(const QString &name, const QByteArray &content) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray readFile(const QString &name) {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }
    QString heading(const QString &workCopy, const QString &column) {
        auto db = module->databases.openLocalFile(path(workCopy));
        EXPECT_TRUE(db.ok());
        auto row = db.value()->exec(u"select %1 from headings"_s.arg(column));
        return row && row->next() ? row->value(0).toString() : u"(no row)"_s;
    }
    // Prepares the operator's copy and launches evntcon1.rpt on it.
    bool launch() {
        ReportLauncher launcher(*module);
        auto work = launcher.PrepareReportDatabase();
        if (!work)
            return false;
        module->report.ReportFile = u"evntcon1.rpt"_s;
        module->report.DataFiles[0] = work->fileName();
        return launcher.LaunchReport(*work);
    }
};

TEST_F(ReportLauncherTest, ParameterBlockHasOneLinePerGivenValue) {
    struct Case {
        const char *rule;
        QString formula;
        std::array<QString, 5> files;
        QString block;
    };
    const QString start = u"Crystal~\nReportFileName=evnttask1.rpt~\nWindowTitle=~\n"
                          "MarginTop=720~\nMarginLeft=0~"_s;
    const Case cases[] = {
        {"one data file and no formula: six lines, no final line feed",
         {},
         {u"rpt05.mdb"_s},
         start + u"\nDataFiles(0)=rpt05.mdb~"_s},
        {"every value: eleven lines in index order",
         u"{eventinfo.eventnum} = 12"_s,
         {u"a.mdb"_s, u"b.mdb"_s, u"c.mdb"_s, u"d.mdb"_s, u"e.mdb"_s},
         start + u"\nSelectionFormula={eventinfo.eventnum} = 12~"
                 "\nDataFiles(0)=a.mdb~\nDataFiles(1)=b.mdb~\nDataFiles(2)=c.mdb~"
                 "\nDataFiles(3)=d.mdb~\nDataFiles(4)=e.mdb~"_s},
        {"a gap among the data files is left out",
         {},
         {u"a.mdb"_s, {}, u"c.mdb"_s},
         start + u"\nDataFiles(0)=a.mdb~\nDataFiles(2)=c.mdb~"_s},
    };
    for (const Case &c : cases) {
        ReportRequest request;
        request.ReportFile = u"evnttask1.rpt"_s;
        request.SelectionFormula = c.formula;
        request.DataFiles = c.files;
        EXPECT_EQ(ReportLauncher::parameterBlock(request, 720, 0), c.block) << c.rule;
    }
}

TEST_F(ReportLauncherTest, LaunchHandsTheBlockOverAndClearsTheRequest) {
    module->session.SysUser = 5;
    module->report.ReportTitle = u"Conflicts"_s;
    module->report.SelectionFormula = u"{eventreserv.event1} = 3"_s;
    // The club's locale and its own formats go with the block.
    auto evnt = module->databases.open(u"evnt"_s);
    ASSERT_TRUE(ClubSettings::write(**evnt, u"locale"_s, u"de_DE"_s));
    ASSERT_TRUE(ClubSettings::write(**evnt, u"shortdate"_s, u"yyyy-MM-dd"_s));
    ASSERT_TRUE(launch());

    const QString block =
        u"Crystal~\nReportFileName=evntcon1.rpt~\nWindowTitle=Conflicts~\nMarginTop=0~\n"
        "MarginLeft=0~\nSelectionFormula={eventreserv.event1} = 3~\nDataFiles(0)=rpt05.mdb~"
        "\nLocale=de_DE~\nShortDate=yyyy-MM-dd~"_s;
    EXPECT_EQ(programs.waited, QStringList{u"prinzel.exe"_s});
    EXPECT_EQ(programs.inputs, QStringList{block}) << "on the report program's standard input";
    EXPECT_EQ(clipboard.content, block) << "and on the clipboard";
    EXPECT_EQ(module->report.ReportFile, u"evntcon1.rpt"_s);
    EXPECT_TRUE(module->report.ReportTitle.isEmpty());
    EXPECT_TRUE(module->report.SelectionFormula.isEmpty());
    EXPECT_TRUE(module->report.DataFiles[0].isEmpty());

    // A failing report program: its exit code is kept. Where it shows the
    // operator its own reason (labels pushed off the paper by the margins:
    // 2) no warning follows; a report stopped at its time limit (6) is
    // named, and one that could not start (-1) gets the general warning and
    // a line in the backup log, as every program the suite runs does.
    const struct {
        int exitCode;
        const char *told; // the start of the one message, or none
        bool logged;
    } failures[] = {{2, nullptr, false},
                    {3, nullptr, false},
                    {4, nullptr, false},
                    {5, nullptr, false},
                    {6, "The report evntcon1.rpt took longer than its time limit", false},
                    {-1, "WARNING - PREMATURE USER TERMINATION", true}};
    for (const auto &failure : failures) {
        SCOPED_TRACE(failure.exitCode);
        prompts.clear();
        QFile::remove(path(u"lastbkup.dat"_s));
        programs.exitCodes.enqueue(failure.exitCode);
        if (failure.logged)
            prompts.expectError();
        EXPECT_FALSE(launch());
        EXPECT_EQ(module->report.ReportResult, failure.exitCode);
        EXPECT_EQ(prompts.messages.size(), failure.told ? 1 : 0);
        if (failure.told)
            EXPECT_TRUE(prompts.lastMessage().text.startsWith(QString::fromLatin1(failure.told)))
                << prompts.lastMessage().text.toStdString();
        EXPECT_EQ(QFile::exists(path(u"lastbkup.dat"_s)), failure.logged);
    }
}

TEST_F(ReportLauncherTest, AMissingProgramOrLayoutStartsNothing) {
    programs.available.clear();
    EXPECT_FALSE(launch());
    EXPECT_EQ(prompts.lastMessage().text, u"prinzel.exe cannot be found"_s);
    EXPECT_EQ(prompts.lastMessage().title, QString());

    programs.available << u"prinzel.exe"_s;
    QFile::remove(path(u"evntcon1.rpt"_s));
    EXPECT_FALSE(launch());
    EXPECT_EQ(prompts.lastMessage().text, u"evntcon1.rpt cannot be found"_s);
    EXPECT_TRUE(programs.waited.isEmpty());

    // Without the template the last report's copy must not print again.
    writeFile(u"evntcon1.rpt"_s, "[body]\n");
    QFile::remove(path(u"rpt00.sys"_s));
    prompts.clear();
    prompts.expectError();
    EXPECT_FALSE(launch());
    EXPECT_EQ(prompts.lastMessage().text, u"The RPT00.SYS database is missing.\r\n"
                                          "Contact Quorvane technical support for assistance."_s);
    EXPECT_TRUE(programs.waited.isEmpty());
}

TEST_F(ReportLauncherTest, WorkCopyIsTheOperatorsFreshCopyWithTheRequestsHeadings) {
    for (const auto &[sysUser, name] :
         {std::pair{5, "rpt05.mdb"}, std::pair{12, "rpt12.mdb"}, std::pair{123, "rpt23.mdb"}})
        EXPECT_EQ(ReportLauncher::workCopyName(sysUser), QString::fromLatin1(name));

    module->session.SysUser = 12;
    module->config.compname = u"Harbour Club of the North Shore, Incorporated"_s;
    ReportLauncher launcher(*module);
    auto work = launcher.PrepareReportDatabase();
    ASSERT_TRUE(work);
    EXPECT_EQ(work->fileName(), u"rpt12.mdb"_s);
    const QString topLine = heading(u"rpt12.mdb"_s, u"ctllinetop"_s);
    module->report.ReportHeadings[1] = QString(90, QLatin1Char('x'));
    ASSERT_TRUE(launcher.WriteReportHeadings(*work));
    EXPECT_EQ(heading(u"rpt12.mdb"_s, u"ctlcompname"_s), module->config.compname.left(30));
    EXPECT_EQ(heading(u"rpt12.mdb"_s, u"ctlauxtitle"_s), QString(80, 'x'));
    EXPECT_EQ(heading(u"rpt12.mdb"_s, u"ctllinetop"_s), topLine)
        << "an empty top line keeps the template's";

    // The next report starts from the template and from fresh headings; a
    // journal an interrupted report left goes with the old copy.
    work.reset();
    writeFile(u"rpt12.mdb-journal"_s, "left by a report that was cut off");
    work = launcher.PrepareReportDatabase();
    ASSERT_TRUE(work);
    EXPECT_FALSE(QFile::exists(path(u"rpt12.mdb-journal"_s)));
    EXPECT_EQ(module->report.ReportHeadings[1], QString()) << "no subtitle left from before";
    EXPECT_EQ(module->report.ReportHeadings[0], module->config.compname);
    EXPECT_EQ(heading(u"rpt12.mdb"_s, u"ctlauxtitle"_s), heading(u"rpt00.sys"_s, u"ctlauxtitle"_s));
}

TEST_F(ReportLauncherTest, OperatorsSharingAWorkCopyTakeTurns) {
    module->session.SysUser = 23;
    auto first = ReportLauncher(*module).PrepareReportDatabase();
    ASSERT_TRUE(first);

    // Operator 123 waits for 23's report, then is told; the copy stays 23's.
    module->session.SysUser = 123;
    EXPECT_FALSE(ReportLauncher(*module).PrepareReportDatabase());
    EXPECT_EQ(prompts.lastMessage().text,
              u"The report work file rpt23.mdb is in use at another workstation.\r\n"
              "Try again when its report has finished."_s);

    first.reset();
    EXPECT_TRUE(ReportLauncher(*module).PrepareReportDatabase());
}

TEST_F(ReportLauncherTest, MarginsAreAskedInInchesAndKeptInTwips) {
    struct Case {
        const char *top;
        const char *left;
        QByteArray stored; // the margin file afterwards
        const char *told = nullptr;
    };
    const Case cases[] = {
        {"0.5", "1", "720\n1440\n"},
        {"3", " .25 ", "4320\n360\n"},
        {"0", "0", "0\n0\n"},
        // Refused at the first answer: no second question.
        {"11", nullptr, "(none)", "TOP margin: \"11\" is above 3, the most the box holds."},
        {"-0.1", nullptr, "(none)", "TOP margin: \"-0.1\" is below 0, the least the box takes."},
        {"abc", nullptr, "(none)", "TOP margin: \"abc\" is not a number."},
        {"1e0", nullptr, "(none)", "TOP margin: \"1e0\" is not a number."},
        // Nothing written when either is refused.
        {"1", "3.01", "(none)", "LEFT margin: \"3.01\" is above 3, the most the box holds."},
        {"", nullptr, "(none)"}, // cancel
    };
    module->session.SysUser = 7;
    const QString file = ReportLauncher::marginFileName(7);
    EXPECT_EQ(file, u"7printmargin."_s);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.top);
        QFile::remove(path(file));
        prompts.clear();
        prompts.answerInput(QString::fromLatin1(c.top));
        if (c.left)
            prompts.answerInput(QString::fromLatin1(c.left));
        ReportLauncher(*module).SetPrintMargins();
        EXPECT_EQ(readFile(file), c.stored);
        EXPECT_EQ(prompts.messages.first().title, u"Set Printer Margins"_s);
        EXPECT_EQ(prompts.inputs.first().title, u"Adjust TOP Margin"_s);
        EXPECT_EQ(prompts.messages.size(), c.told ? 2 : 1);
        if (c.told) {
            EXPECT_TRUE(prompts.lastMessage().text.startsWith(QString::fromLatin1(c.told)))
                << prompts.lastMessage().text.toStdString();
        }
    }

    // What the launcher reads: a good file, none, or junk that counts as no margin.
    const std::pair<QByteArray, std::pair<int, int>> stored[] = {
        {"720\n1440\n", {720, 1440}}, {"(none)", {0, 0}},
        {"abc\n99999999\n", {0, 0}},  {"360", {360, 0}},
        {"-5\n4320\n", {0, 4320}},    {"4321\n15840\n", {0, 0}},
    };
    for (const auto &[content, margins] : stored) {
        QFile::remove(path(file));
        if (content != "(none)")
            writeFile(file, content);
        ReportLauncher launcher(*module);
        launcher.LoadPrintMargins();
        EXPECT_EQ(std::pair(launcher.MarginTop, launcher.MarginLeft), margins) << content.data();
    }
}

} // namespace
