#include "ports/ReportLauncher.h"

#include "ClubFixture.h"
#include "session/ClubSettings.h"

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
    QString heading(const QString &workCopy, const QString &column) {
        auto db = module->databases.openLocalFile(path(workCopy));
        auto row = db ? db.value()->exec(u"select %1 from headings"_s.arg(column))
                      : Result<QSqlQuery>(db.error());
        return row && row->next() ? row->value(0).toString() : u"(no row)"_s;
    }
    // Prepares the operator's copy and launches evntcon1.rpt on it.
    bool launch() {
        ReportLauncher launcher(*module);
        auto work = launcher.PrepareReportDatabase();
        module->report.ReportFile = u"evntcon1.rpt"_s;
        module->report.DataFiles[0] = work ? work->fileName() : QString();
        return work && launcher.LaunchReport(*work);
    }
};

TEST_F(ReportLauncherTest, LaunchHandsTheBlockOverAndClearsTheRequest) {
    module->session.SysUser = 5;
    module->report.ReportTitle = u"Conflicts"_s;
    module->report.SelectionFormula = u"{eventreserv.event1} = 3"_s;
    // The club's locale and its own formats go with the block.
    auto evnt = module->databases.open(u"evnt"_s);
    ASSERT_TRUE(ClubSettings::write(**evnt, u"locale"_s, u"de_DE"_s));
    ASSERT_TRUE(ClubSettings::write(**evnt, u"shortdate"_s, u"yyyy-MM-dd"_s));
    module->report.DataFiles[4] = u"e.mdb"_s; // one line per file given, in order
    ASSERT_TRUE(launch());

    const QString block =
        u"Crystal~\nReportFileName=evntcon1.rpt~\nWindowTitle=Conflicts~\nMarginTop=0~\n"
        "MarginLeft=0~\nSelectionFormula={eventreserv.event1} = 3~\nDataFiles(0)=rpt05.mdb~"
        "\nDataFiles(4)=e.mdb~\nLocale=de_DE~\nShortDate=yyyy-MM-dd~"_s;
    EXPECT_EQ(programs.waited, QStringList{u"prinzel.exe"_s});
    EXPECT_EQ(programs.inputs, QStringList{block}) << "on the report program's standard input";
    EXPECT_EQ(clipboard.content, block) << "and on the clipboard";
    EXPECT_EQ(module->report.ReportFile, u"evntcon1.rpt"_s);
    EXPECT_TRUE(module->report.ReportTitle.isEmpty());
    EXPECT_TRUE(module->report.SelectionFormula.isEmpty());
    EXPECT_TRUE(module->report.DataFiles[0].isEmpty());

    // A failing report program's exit code is kept. Where it tells its own reason (2-5) no
    // warning follows; a report stopped at its time limit (6) is named, and one that could not
    // start (-1) gets the general warning and a line in the backup log, as every program does.
    for (const int exitCode : {2, 3, 4, 5, 6, -1}) {
        SCOPED_TRACE(exitCode);
        prompts.clear();
        programs.exitCodes.enqueue(exitCode);
        if (exitCode < 0)
            prompts.expectError();
        EXPECT_FALSE(launch());
        EXPECT_EQ(module->report.ReportResult, exitCode);
        const QString told =
            exitCode == 6    ? u"The report evntcon1.rpt took longer than its time limit"_s
            : exitCode == -1 ? u"WARNING - PREMATURE USER TERMINATION OF BACKUP PROCEDURE"_s
                             : QString();
        EXPECT_EQ(prompts.messageTexts().join(u'|').left(told.size()), told);
        EXPECT_EQ(prompts.messages.size(), told.isEmpty() ? 0 : 1);
        EXPECT_EQ(QFile::exists(path(u"lastbkup.dat"_s)), exitCode == -1);
    }
    EXPECT_EQ(prompts.lastMessage().title, u"CAUTION"_s);
    // No title, formula or other file given the next time, no line for them.
    EXPECT_EQ(programs.inputs[1], u"Crystal~\nReportFileName=evntcon1.rpt~\nWindowTitle=~\n"
                                  "MarginTop=0~\nMarginLeft=0~\nDataFiles(0)=rpt05.mdb~\n"
                                  "Locale=de_DE~\nShortDate=yyyy-MM-dd~"_s);
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

    // Without the template the last report's copy must not print again.
    writeFile(u"evntcon1.rpt"_s, "[body]\n");
    QFile::remove(path(u"rpt00.sys"_s));
    prompts.expectError();
    EXPECT_FALSE(launch());
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"The RPT00.SYS database is missing."_s));
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
    module->report.ReportHeadings[1] = QString(90, u'x');
    ASSERT_TRUE(launcher.WriteReportHeadings(*work));
    EXPECT_EQ(heading(u"rpt12.mdb"_s, u"ctlcompname"_s), module->config.compname.left(30));
    EXPECT_EQ(heading(u"rpt12.mdb"_s, u"ctlauxtitle"_s), QString(80, u'x'));
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

    // Operator 112 waits for 12's report, then is told; the copy stays 12's.
    module->session.SysUser = 112;
    EXPECT_FALSE(ReportLauncher(*module).PrepareReportDatabase());
    EXPECT_EQ(prompts.lastMessage().text,
              u"The report work file rpt12.mdb is in use at another workstation.\r\n"
              "Try again when its report has finished."_s);
    work.reset();
    EXPECT_TRUE(ReportLauncher(*module).PrepareReportDatabase());
}

// Asked in inches, kept in twips; refused at the first answer, no second question, and
// nothing written when either is refused or cancelled.
TEST_F(ReportLauncherTest, MarginsAreAskedInInchesAndKeptInTwips) {
    const std::tuple<const char *, const char *, QByteArray, const char *> cases[] = {
        {"0.5", "1", "720\n1440\n", nullptr},
        {"3", " .25 ", "4320\n360\n", nullptr},
        {"0", "0", "0\n0\n", nullptr},
        {"11", nullptr, {}, "TOP margin: \"11\" is above 3, the most the box holds."},
        {"-0.1", nullptr, {}, "TOP margin: \"-0.1\" is below 0, the least the box takes."},
        {"abc", nullptr, {}, "TOP margin: \"abc\" is not a number."},
        {"1e0", nullptr, {}, "TOP margin: \"1e0\" is not a number."},
        {"1", "3.01", {}, "LEFT margin: \"3.01\" is above 3, the most the box holds."},
        {"", nullptr, {}, nullptr}};
    module->session.SysUser = 7;
    const QString file = ReportLauncher::marginFileName(7);
    EXPECT_EQ(file, u"7printmargin."_s);
    for (const auto &[top, left, stored, told] : cases) {
        SCOPED_TRACE(top);
        QFile::remove(path(file));
        prompts.clear();
        prompts.answerInput(QString::fromLatin1(top));
        if (left)
            prompts.answerInput(QString::fromLatin1(left));
        ReportLauncher(*module).SetPrintMargins();
        QFile written(path(file));
        EXPECT_EQ(written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray(), stored);
        EXPECT_EQ(prompts.messages.first().title, u"Set Printer Margins"_s);
        EXPECT_EQ(prompts.inputs.first().title, u"Adjust TOP Margin"_s);
        EXPECT_EQ(prompts.messageTexts().mid(1).join(u'|').left(told ? strlen(told) : 0),
                  QString::fromLatin1(told));
        EXPECT_EQ(prompts.messages.size(), told ? 2 : 1);
    }

    // What the launcher reads: a good file, none, or junk that counts as no margin.
    const std::pair<QByteArray, std::pair<int, int>> files[] = {
        {"720\n1440\n", {720, 1440}}, {{}, {0, 0}},
        {"abc\n99999999\n", {0, 0}},  {"360", {360, 0}},
        {"-5\n4320\n", {0, 4320}},    {"4321\n15840\n", {0, 0}}};
    for (const auto &[content, margins] : files) {
        QFile::remove(path(file));
        if (!content.isEmpty())
            writeFile(file, content);
        ReportLauncher launcher(*module);
        launcher.LoadPrintMargins();
        EXPECT_EQ(std::pair(launcher.MarginTop, launcher.MarginLeft), margins) << content.data();
    }
}

} // namespace
