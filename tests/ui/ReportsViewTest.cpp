#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "ports/QtPrograms.h"
#include "startup/ClubUpgrade.h"
#include "ui/TaskListWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>

namespace {

// Reports printed by the real report program, as a newcomer prints them
// from the demo club on 6 December 2026: the month's room conflicts and an
// event's task list.
class ReportsViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
    void SetUp() override {
        ClubFixture::SetUp();
        ASSERT_TRUE(ClubUpgrade::copyMissingFiles(ClubUpgrade::shareDirectory(), club).ok());
    }

    // The text of the operator's last report, page by page; a cell's lines
    // laid out side by side, or (raw) one after another.
    QString printed(const QString &layout = QStringLiteral("-layout")) {
        const QStringList pdfs =
            QDir(club).entryList({QStringLiteral("rpt*.pdf")}, QDir::Files, QDir::Time);
        if (pdfs.isEmpty())
            return QStringLiteral("(no PDF)");
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {layout, path(pdfs.first()), QStringLiteral("-")});
        EXPECT_TRUE(text.waitForFinished(20000));
        return QString::fromUtf8(text.readAllStandardOutput());
    }
};

TEST_F(ReportsViewTest, TheMonthsConflictsAndAnEventsTasksArePrinted) {
    QtPrograms realPrograms(club);
    Module withPrograms(settings(),
                        Ports{prompts, clipboard, realPrograms, clock, keys, printer, screen});
    ShownWindow shown(withPrograms, club, QStringLiteral("view-test"));
    ASSERT_TRUE(shown.show());

    prompts.answerInput(QStringLiteral("20261201"));
    prompts.answerInput(QStringLiteral("20261231"));
    shown.window.menuCommand(QStringLiteral("mnuconflicts"))->trigger();
    QString report = printed();
    EXPECT_TRUE(report.contains(QStringLiteral("Event/Room Conflicts"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("from 12/01/2026 to 12/31/2026")));
    EXPECT_TRUE(report.contains(QStringLiteral("Halvorsen Children's Corner")));
    EXPECT_TRUE(report.contains(QStringLiteral("Page 1 of 1")));

    // The party's tasks: one ticked done, then the list printed.
    const int party = eventNumber(QStringLiteral("Halvorsen Engineering Holiday Party"));
    prompts.answerInput(QString::number(party));
    shown.window.menuCommand(QStringLiteral("mnutodobynumber"))->trigger();
    auto *tasks = shown.window.findChild<TaskListWindow *>();
    ASSERT_TRUE(waitFor([&] { return tasks && tasks->isVisible(); }));
    auto *grid = tasks->findChild<QTableWidget *>(QStringLiteral("taskgrid"));
    int open = 0;
    while (open < grid->rowCount() && grid->item(open, 2)->text() != QLatin1String("N"))
        ++open;
    ASSERT_LT(open, grid->rowCount());
    const QString task = grid->item(open, 3)->text();
    grid->selectRow(open);
    tasks->findChild<QCheckBox *>(QStringLiteral("chkdone"))->click();
    tasks->findChild<QPushButton *>(QStringLiteral("cmdsave"))->click();
    tasks->findChild<QPushButton *>(QStringLiteral("cmdprint"))->click();
    report = printed();
    EXPECT_TRUE(report.contains(QStringLiteral("Event Task List"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Hollow Creek Country Club")));
    const QString line = report.section(task, 0, 0).section(QLatin1Char('\n'), -1) + task;
    EXPECT_TRUE(line.contains(QStringLiteral(" Y "))) << "ticked done: " << line.toStdString();
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(ReportsViewTest, TheMonthsEventsAndEveryListingArePrinted) {
    QtPrograms realPrograms(club);
    Module withPrograms(settings(),
                        Ports{prompts, clipboard, realPrograms, clock, keys, printer, screen});
    ShownWindow shown(withPrograms, club, QStringLiteral("view-test"));
    ASSERT_TRUE(shown.show());
    const QVariantList titles =
        column(QStringLiteral("evnt"),
               QStringLiteral("select eventtitle from eventinfo where eventdate between 20261200 "
                              "and 20261232 and status between 1 and 5"));
    ASSERT_GE(titles.size(), 3);

    // Reports > Event Listings > This Month, both members and non-members.
    prompts.answerInput(QStringLiteral("3"));
    shown.window.menuCommand(QStringLiteral("mnueventlist(1)"))->trigger();
    QString report = printed(QStringLiteral("-raw")).simplified();
    EXPECT_TRUE(report.contains(QStringLiteral("Members & Non-Members"))) << report.toStdString();
    for (const QVariant &title : titles)
        EXPECT_TRUE(report.contains(title.toString().simplified()))
            << title.toString().toStdString();

    // Every other listing prints from the demo club without a complaint.
    const struct {
        const char *command;
        QStringList answers;
        const char *shows;
    } listings[] = {
        {"mnueventlist(3)", {"3"}, "Events This Year"},
        {"mnudaterange", {"20261201", "20261231", "1"}, "from 12/01/2026 to 12/31/2026 Members"},
        {"mnucontacts", {"20260101", "20271231"}, "Contacts Only from 01/01/2026 to 12/31/2027"},
        {"mnuitemlist(0)", {}, "Page 1 of"},
        {"mnuitemlist(3)", {"20261201", "20261231"}, "from 12/01/2026 to 12/31/2026"},
        {"mnurevproj(0)", {"3"}, "Members & Non-Members"},
        {"mnumaillabels", {"all"}, ""},
        {"mnubilling", {"4"}, ""},
    };
    for (const auto &listing : listings) {
        SCOPED_TRACE(listing.command);
        for (const QString &answer : listing.answers)
            prompts.answerInput(answer);
        for (const QString &pdf : QDir(club).entryList({QStringLiteral("rpt*.pdf")}))
            QFile::remove(path(pdf));
        shown.window.menuCommand(QString::fromLatin1(listing.command))->trigger();
        report = printed().simplified();
        EXPECT_NE(report, QStringLiteral("(no PDF)"));
        EXPECT_TRUE(report.contains(QString::fromUtf8(listing.shows))) << report.toStdString();
    }

    // The sheets of an event with items.
    const int event =
        scalar(QStringLiteral("evnt"),
               QStringLiteral("select min(eventid) from items i join eventinfo e on "
                              "e.eventnum = i.eventid where e.eventdate between 20261200 and "
                              "20261232"))
            .toInt();
    ASSERT_GT(event, 0);
    ASSERT_TRUE(shown.logic.ShowEvent(event));
    const QString title = shown.logic.currentEvent().Title;
    for (const char *sheet : {"mnueventsheet", "mnueventsheet1", "mnueventitems"}) {
        SCOPED_TRACE(sheet);
        shown.window.menuCommand(QString::fromLatin1(sheet))->trigger();
        report = printed().simplified();
        EXPECT_TRUE(report.contains(title.simplified())) << report.toStdString();
    }
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('\n').toStdString();
}

} // namespace
