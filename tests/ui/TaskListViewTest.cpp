#include "ClubFixture.h"
#include "WaitFor.h"
#include "ui/TaskListWindow.h"

#include <QCheckBox>
#include <QEnterEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>

namespace {

// The task list window as the operator uses it, with real clicks and keys,
// over the demo club's tasks.
class TaskListViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
    void SetUp() override {
        ClubFixture::SetUp();
        signIn(99);
    }

    template <typename T = QWidget> T *control(QWidget &window, const QString &name) {
        T *found = window.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
};

TEST_F(TaskListViewTest, ATaskIsChosenTickedAndSavedAsDone) {
    const int event =
        scalar(QStringLiteral("evnt"),
               QStringLiteral("select min(eventnumber) from tasklist where todo = 'N'"))
            .toInt();
    ASSERT_GT(event, 0) << "the demo club has tasks still to do";
    TaskList tasks(*module);
    TaskListWindow window(tasks, nullptr);
    prompts.answerInput(QString::number(event));
    window.openByEventNumber();
    ASSERT_TRUE(waitFor([&] { return window.isVisible(); }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Event Task List"));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);

    auto *grid = control<QTableWidget>(window, QStringLiteral("taskgrid"));
    ASSERT_GT(grid->rowCount(), 0);
    EXPECT_EQ(grid->horizontalHeaderItem(3)->text(), QStringLiteral("Task to be done"));
    int open = 0;
    while (open < grid->rowCount() && grid->item(open, 2)->text() != QLatin1String("N"))
        ++open;
    ASSERT_LT(open, grid->rowCount());
    const QString chosen = grid->item(open, 3)->text();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(open, 3)).center());
    auto *task = control<QLineEdit>(window, QStringLiteral("Text1(3)"));
    EXPECT_EQ(task->text(), chosen);
    EXPECT_FALSE(control<QLineEdit>(window, QStringLiteral("Text1(1)"))->isReadOnly());

    // The pointer over a box names it in the status line; its label and
    // hint are there for screen readers too.
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(task, &enter);
    auto *status = control<QStatusBar>(window, QStringLiteral("statusline"));
    EXPECT_EQ(status->currentMessage(), QStringLiteral("Description of the task to be done"));
    EXPECT_EQ(task->accessibleName(), QStringLiteral("Task to be done"));
    EXPECT_EQ(task->toolTip(), QStringLiteral("Description of the task to be done"));

    auto *done = control<QCheckBox>(window, QStringLiteral("chkdone"));
    QTest::mouseClick(done, Qt::LeftButton);
    EXPECT_EQ(control<QLineEdit>(window, QStringLiteral("Text1(2)"))->text(), QStringLiteral("Y"));
    control<QPushButton>(window, QStringLiteral("cmdsave"))->click();

    const int rows = grid->rowCount();
    int saved = 0;
    while (saved < rows && grid->item(saved, 3)->text() != chosen)
        ++saved;
    ASSERT_LT(saved, rows) << "the saved task is listed again";
    EXPECT_EQ(grid->item(saved, 2)->text(), QStringLiteral("Y"));
    EXPECT_EQ(grid->item(saved, 4)->text(), QStringLiteral("DEMO"));
    EXPECT_EQ(task->text(), QString());
    EXPECT_TRUE(control<QLineEdit>(window, QStringLiteral("Text1(1)"))->isReadOnly());

    // Enter moves on from box to box; Exit closes the window.
    control<QPushButton>(window, QStringLiteral("cmdadd"))->click();
    ASSERT_TRUE(waitFor([&] { return task->hasFocus(); })) << "Add Task puts the cursor there";
    QTest::keyClicks(task, QStringLiteral("Print place cards"));
    QTest::keyClick(task, Qt::Key_Return);
    EXPECT_TRUE(waitFor(
        [&] { return control<QLineEdit>(window, QStringLiteral("Text1(4)"))->hasFocus(); }));
    control<QPushButton>(window, QStringLiteral("cmdexit"))->click();
    EXPECT_TRUE(waitFor([&] { return !window.isVisible(); }));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
