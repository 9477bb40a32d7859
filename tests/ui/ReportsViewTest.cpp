#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "ports/QtPrograms.h"
#include "startup/ClubUpgrade.h"
#include "ui/TaskListWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// Every report command of the menu, as a newcomer prints it from the demo
// club on 6 December 2026, reaches the real report program and prints. What
// each report selects and how it lays it out are the report tests' rules.
class ReportsViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
    void SetUp() override {
        ClubFixture::SetUp();
        ASSERT_TRUE(ClubUpgrade::copyMissingFiles(ClubUpgrade::shareDirectory(), club).ok());
    }

    // The text of the operator's last report, its lines laid out as printed.
    QString printed() {
        const QStringList pdfs = QDir(club).entryList({u"rpt*.pdf"_s}, QDir::Files, QDir::Time);
        if (pdfs.isEmpty())
            return u"(no PDF)"_s;
        QProcess text;
        text.start(u"pdftotext"_s, {u"-layout"_s, path(pdfs.first()), u"-"_s});
        EXPECT_TRUE(text.waitForFinished(20000));
        return QString::fromUtf8(text.readAllStandardOutput()).simplified();
    }
};

TEST_F(ReportsViewTest, EveryReportCommandPrintsThroughTheReportProgram) {
    QtPrograms realPrograms(club);
    Module withPrograms(settings(),
                        Ports{prompts, clipboard, realPrograms, clock, keys, printer, screen});
    ShownWindow shown(withPrograms, club, u"view-test"_s);
    ASSERT_TRUE(shown.show());
    // The sheets are of the month's first event with items.
    const int event =
        scalar(u"evnt"_s, u"select min(eventid) from items i join eventinfo e on "
                          "e.eventnum = i.eventid where e.eventdate between 20261200 and "
                          "20261232"_s)
            .toInt();
    ASSERT_GT(event, 0);
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    const QString title = shown.logic.currentEvent().Title.simplified();

    // Each command, the answers to its prompts and what its report shows.
    const QStringList reports =
        QStringLiteral(
            "mnuconflicts|20261201,20261231|Event/Room Conflicts from 12/01/2026 to 12/31/2026\n"
            "mnueventlist(1)|3|Members & Non-Members\nmnueventlist(3)|3|Events This Year\n"
            "mnudaterange|20261201,20261231,1|from 12/01/2026 to 12/31/2026 Members\n"
            "mnucontacts|20260101,20271231|Contacts Only from 01/01/2026 to 12/31/2027\n"
            "mnuitemlist(0)||Page 1 of\nmnuitemlist(3)|20261201,20261231|from 12/01/2026 to "
            "12/31/2026\n"
            "mnurevproj(0)|3|Members & Non-Members\nmnumaillabels|all|\nmnubilling|4|\n"
            "mnueventsheet||%1\nmnueventsheet1||%1\nmnueventitems||%1\n"
            "mnuorderkitchen||Event Order %1\nmnuorderclient||Client's Copy %1\n"
            "mnufunctionsheet|20261201,20261231|Function Sheet from 12/01/2026 to 12/31/2026\n"
            "mnuproduction|20261207,20261207|Kitchen Production Monday, December 7, 2026\n"
            "mnupaymentsdue|20261201,20261231|Payments Due Due from 12/01/2026 to 12/31/2026\n"
            "mnupaymentsnotposted||Payments Received, Not Posted")
            .arg(title)
            .split(u'\n');
    for (const QString &report : reports) {
        SCOPED_TRACE(report.toStdString());
        for (const QString &answer : report.section(u'|', 1, 1).split(u',', Qt::SkipEmptyParts))
            prompts.answerInput(answer);
        for (const QString &pdf : QDir(club).entryList({u"rpt*.pdf"_s}))
            QFile::remove(path(pdf));
        shown.window.menuCommand(report.section(u'|', 0, 0))->trigger();
        const QString text = printed();
        EXPECT_NE(text, u"(no PDF)"_s);
        EXPECT_TRUE(text.contains(report.section(u'|', 2))) << text.toStdString();
    }
    // The task list window's own Print button.
    prompts.answerInput(QString::number(eventNumber(u"Halvorsen Engineering Holiday Party"_s)));
    shown.window.menuCommand(u"mnutodobynumber"_s)->trigger();
    auto *tasks = shown.window.findChild<TaskListWindow *>();
    ASSERT_TRUE(waitFor([&] { return tasks && tasks->isVisible(); }));
    tasks->findChild<QPushButton *>(u"cmdprint"_s)->click();
    EXPECT_TRUE(printed().contains(u"Event Task List"_s));
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('\n').toStdString();
}

} // namespace
