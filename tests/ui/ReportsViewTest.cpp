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
        const QStringList pdfs =
            QDir(club).entryList({QStringLiteral("rpt*.pdf")}, QDir::Files, QDir::Time);
        if (pdfs.isEmpty())
            return QStringLiteral("(no PDF)");
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), path(pdfs.first()), QStringLiteral("-")});
        EXPECT_TRUE(text.waitForFinished(20000));
        return QString::fromUtf8(text.readAllStandardOutput()).simplified();
    }
};

TEST_F(ReportsViewTest, EveryReportCommandPrintsThroughTheReportProgram) {
    QtPrograms realPrograms(club);
    Module withPrograms(settings(),
                        Ports{prompts, clipboard, realPrograms, clock, keys, printer, screen});
    ShownWindow shown(withPrograms, club, QStringLiteral("view-test"));
    ASSERT_TRUE(shown.show());
    // The sheets are of the month's first event with items.
    const int event =
        scalar(QStringLiteral("evnt"),
               QStringLiteral("select min(eventid) from items i join eventinfo e on "
                              "e.eventnum = i.eventid where e.eventdate between 20261200 and "
                              "20261232"))
            .toInt();
    ASSERT_GT(event, 0);
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    const QString title = shown.logic.currentEvent().Title.simplified();

    const struct {
        const char *command;
        QStringList answers;
        QString shows;
    } reports[] = {
        {"mnuconflicts",
         {"20261201", "20261231"},
         "Event/Room Conflicts from 12/01/2026 to 12/31/2026"},
        {"mnueventlist(1)", {"3"}, "Members & Non-Members"},
        {"mnueventlist(3)", {"3"}, "Events This Year"},
        {"mnudaterange", {"20261201", "20261231", "1"}, "from 12/01/2026 to 12/31/2026 Members"},
        {"mnucontacts", {"20260101", "20271231"}, "Contacts Only from 01/01/2026 to 12/31/2027"},
        {"mnuitemlist(0)", {}, "Page 1 of"},
        {"mnuitemlist(3)", {"20261201", "20261231"}, "from 12/01/2026 to 12/31/2026"},
        {"mnurevproj(0)", {"3"}, "Members & Non-Members"},
        {"mnumaillabels", {"all"}, ""},
        {"mnubilling", {"4"}, ""},
        {"mnueventsheet", {}, title},
        {"mnueventsheet1", {}, title},
        {"mnueventitems", {}, title},
    };
    for (const auto &report : reports) {
        SCOPED_TRACE(report.command);
        for (const QString &answer : report.answers)
            prompts.answerInput(answer);
        for (const QString &pdf : QDir(club).entryList({QStringLiteral("rpt*.pdf")}))
            QFile::remove(path(pdf));
        shown.window.menuCommand(QString::fromLatin1(report.command))->trigger();
        const QString text = printed();
        EXPECT_NE(text, QStringLiteral("(no PDF)"));
        EXPECT_TRUE(text.contains(report.shows)) << text.toStdString();
    }
    // The task list window's own Print button.
    prompts.answerInput(
        QString::number(eventNumber(QStringLiteral("Halvorsen Engineering Holiday Party"))));
    shown.window.menuCommand(QStringLiteral("mnutodobynumber"))->trigger();
    auto *tasks = shown.window.findChild<TaskListWindow *>();
    ASSERT_TRUE(waitFor([&] { return tasks && tasks->isVisible(); }));
    tasks->findChild<QPushButton *>(QStringLiteral("cmdprint"))->click();
    EXPECT_TRUE(printed().contains(QStringLiteral("Event Task List")));
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('\n').toStdString();
}

} // namespace
