#include "ui/PublishDialog.h"

#include "EventFixture.h"
#include "SharedCalendarServer.h"
#include "ViewTest.h"
#include "WaitFor.h"
#include "app/PublishOnSave.h"
#include "app/PublishWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

using PublishDialogTest = EventFixture;

// The window over a publish to a fake server: where it goes, the bar
// while it runs and full at the end, the counts, and the resources the
// server kept with the button that overwrites them.
TEST_F(PublishDialogTest, ShowsWhereHowFarAndWhatThePublishDid) {
    QFile settings(path(u"publish.ini"_s));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("url = https://cal.example.org/club/\n");
    settings.close();
    book(u"20270305"_s, u"Board Dinner"_s, u"18:00"_s, u"21:00"_s, 3);
    const int dinner = lastNumber;
    book(u"20270410"_s, u"Spring Gala"_s, u"19:00"_s, u"23:00"_s, 1);
    FakeCalendarServer server;
    PublishRunner runner;
    runner.makeServer = SharedCalendarServer::maker(server);
    PublishOnSave onSave(*module, runner);
    PublishWindow logic(*module, runner, onSave);

    ASSERT_TRUE(logic.open());
    PublishDialog window(logic);
    window.show();
    auto *bar = child<QProgressBar>(window, u"prgpublish"_s);
    auto *result = child<QLabel>(window, u"lblpublishresult"_s);
    auto *problems = child<QListWidget>(window, u"lstpublishproblems"_s);
    auto *cancel = child<QPushButton>(window, u"cmdcancel"_s);
    auto *overwrite = child<QPushButton>(window, u"cmdoverwrite"_s);
    auto *close = child<QPushButton>(window, u"cmdclose"_s);
    ASSERT_TRUE(bar && result && problems && cancel && overwrite && close);
    EXPECT_EQ(child<QLabel>(window, u"lblpublishto"_s)->text(),
              u"Publishing to https://cal.example.org/club/"_s);
    EXPECT_TRUE(cancel->isVisible());
    EXPECT_FALSE(close->isVisible()) << "the window stays while the publish runs";

    ASSERT_TRUE(waitFor([&] { return !logic.running; }));
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_GE(bar->maximum(), 2);
    EXPECT_EQ(result->text(), u"2 added, 0 changed, 0 removed, 0 unchanged."_s);
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_TRUE(close->isVisible());
    EXPECT_FALSE(problems->isVisible());
    EXPECT_FALSE(overwrite->isVisible());

    // The dinner changed on the server and in the club.
    for (const QString &name : server.resources.keys()) {
        if (name.startsWith(u"event-%1@"_s.arg(dinner)))
            server.change(name, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    }
    exec(u"evnt"_s,
         u"update eventinfo set eventtitle = 'Board Dinner and Toasts' where eventnum = ?"_s,
         {dinner});
    ASSERT_TRUE(logic.open());
    ASSERT_TRUE(waitFor([&] { return !logic.running; }));
    EXPECT_TRUE(problems->isVisible());
    ASSERT_EQ(problems->count(), 1);
    EXPECT_EQ(problems->item(0)->text(), logic.problems.constFirst());
    EXPECT_EQ(result->text(), u"0 added, 0 changed, 0 removed, 1 unchanged."_s);
    ASSERT_TRUE(overwrite->isVisible());
    prompts.answerYesNo(true);
    overwrite->click();
    ASSERT_TRUE(waitFor([&] { return !logic.running; }));
    EXPECT_EQ(result->text(), u"0 added, 1 changed, 0 removed, 1 unchanged."_s);
    EXPECT_FALSE(overwrite->isVisible());
    close->click();
    EXPECT_FALSE(window.isVisible());
}

} // namespace
