#include "reports/TaskList.h"

#include "ReportsFixture.h"

namespace {

// Passes every prompt to the script and remembers what each input box
// offered as its default.
class OfferedDefaults final : public Prompts {
public:
    explicit OfferedDefaults(ScriptedPrompts &script)
        : m_script(script) {}

    void message(const QString &text, const QString &title, Icon icon) override {
        m_script.message(text, title, icon);
    }
    bool askYesNo(const QString &text, const QString &title) override {
        return m_script.askYesNo(text, title);
    }
    QString input(const QString &text, const QString &title, const QString &initial) override {
        offered << initial;
        return m_script.input(text, title, initial);
    }
    void setBusy(bool busy) override { m_script.setBusy(busy); }

    QStringList offered;

private:
    ScriptedPrompts &m_script;
};

constexpr int Wedding = 501;
constexpr int Dinner = 502;
constexpr int Day = 20270315;

class TaskListTest : public ReportsFixture {
protected:
    void SetUp() override {
        ReportsFixture::SetUp();
        clock.current = QDateTime(QDate(2027, 1, 10), QTime(9, 30));
        module = std::make_unique<Module>(
            settings(), Ports{offering, clipboard, programs, clock, keys, printer, screen});
        setUpReports({"evnttask1.rpt"});
        for (int number : {Wedding, Dinner})
            exec("evnt",
                 "insert into eventinfo (eventnum, eventdate, eventtitle) values "
                 "(?, ?, ?)",
                 {number, Day, QStringLiteral("Event %1").arg(number)});
        tasks = std::make_unique<TaskList>(*module);
    }
    void TearDown() override {
        tasks.reset();
        ReportsFixture::TearDown();
    }

    void addTask(int event, int date, const QString &task, const QString &todo = "N",
                 const QVariant &staff = QStringLiteral("ANN")) {
        exec("evnt",
             "insert into tasklist (eventnumber, taskdate, todo, task, staff) "
             "values (?, ?, ?, ?, ?)",
             {event, date, todo, task, staff});
    }
    // Every stored task as "event date todo task staff", in a fixed order.
    QStringList stored(const QString &database = "evnt") {
        return rows("select eventnumber, taskdate, todo, task, staff from tasklist order by "
                    "eventnumber, taskdate, task, todo, staff",
                    database);
    }
    QStringList shown() const {
        QStringList found;
        for (const TaskRow &row : tasks->rows) {
            QStringList values;
            for (int column = 0; column < TaskList::BoxCount; ++column)
                values << row.text(column);
            found << values.join(QLatin1Char(' '));
        }
        return found;
    }
    // A new task typed and saved, as the operator does it.
    void addAndSave(const QString &date, const QString &task) {
        tasks->addTypedTask();
        tasks->editBox(TaskList::DateBox, date);
        tasks->editBox(TaskList::TaskBox, task);
        tasks->saveChange();
    }
    OfferedDefaults offering{prompts};
    std::unique_ptr<TaskList> tasks;
};

TEST_F(TaskListTest, TheFirstTasksOfAnEventFromAddingToDone) {
    addTask(0, Day, "left over");
    addTask(-3, Day, "left over");

    prompts.answerInput("  ");
    EXPECT_FALSE(tasks->openByEventNumber()) << "a blank answer cancels";
    EXPECT_EQ(offering.offered, QStringList{QString()}) << "no current event, no default";
    EXPECT_EQ(prompts.inputs[0].title, "To-Do Task List by Event Number");
    EXPECT_EQ(prompts.inputs[0].text, "Type the desired Event# or click OK to accept the default. "
                                      "\r\n\r\nLeave BLANK to cancel");

    // An event number is read whole: "501abc" is refused by name, not 501.
    prompts.answerInput("501abc");
    EXPECT_FALSE(tasks->openByEventNumber());
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"Event#: \"501abc\" "));
    prompts.clear();

    module->event.EventNumber = Wedding;
    prompts.answerInput(" 501 ");
    ASSERT_TRUE(tasks->openByEventNumber()) << "opens so that the first task can be added";
    EXPECT_EQ(offering.offered.last(), "501");
    EXPECT_EQ(prompts.lastMessage().text, "No tasks are assigned yet for Event# 501");
    EXPECT_EQ(prompts.lastMessage().title, "Okay...");
    EXPECT_TRUE(tasks->rows.isEmpty() && tasks->addEnabled);
    EXPECT_TRUE(stored().isEmpty()) << "tasks of no event go when the window opens";

    tasks->addTypedTask();
    EXPECT_EQ(tasks->boxes, (std::array<QString, 5>{"501", QString(), "N", QString(), "DEMO"}));
    EXPECT_EQ(tasks->focusBox, TaskList::TaskBox);
    EXPECT_TRUE(stored().isEmpty()) << "nothing is stored before the save";
    tasks->editBox(TaskList::DateBox, "0320");
    tasks->leaveBox(TaskList::DateBox);
    EXPECT_EQ(tasks->boxes[TaskList::DateBox], "20270320");
    EXPECT_FALSE(tasks->boxKeyPress(TaskList::DateBox, TaskList::Key::Enter));
    EXPECT_EQ(tasks->focusBox, TaskList::DoneBox) << "Enter moves on";
    tasks->editBox(TaskList::TaskBox, "Order flowers");
    tasks->saveChange();
    EXPECT_EQ(stored(), QStringList{"501 20270320 N Order flowers DEMO"});
    EXPECT_EQ(shown(), stored());
    EXPECT_TRUE(tasks->boxes[TaskList::TaskBox].isEmpty() && tasks->dateLocked);

    // Another operator ticks it done: the task becomes theirs.
    module->session.UserName = QStringLiteral("MARTA");
    addTask(Wedding, Day, "Book band", "y");
    tasks->addTypedTask();
    tasks->selectTask(0);
    EXPECT_EQ(tasks->boxes[TaskList::TaskBox], "Order flowers")
        << "a chosen row gives up the new task";
    tasks->setDone(true);
    EXPECT_EQ(tasks->boxes[TaskList::DoneBox], "Y");
    tasks->saveChange();
    EXPECT_EQ(stored(),
              (QStringList{"501 20270315 y Book band ANN", "501 20270320 Y Order flowers MARTA"}));
    tasks->selectTask(0);
    EXPECT_TRUE(tasks->boxes[TaskList::DoneBox] == QLatin1String("Y") && tasks->doneChecked);
    tasks->setDone(false);
    EXPECT_FALSE(tasks->boxKeyPress(TaskList::StaffBox, TaskList::Key::Other))
        << "a key in the staff box saves";
    EXPECT_EQ(stored().first(), "501 20270315 N Book band MARTA");
    EXPECT_EQ(prompts.messages.size(), 1);
}

TEST_F(TaskListTest, ListsByDateAcrossEvents) {
    addTask(Dinner, Day, "Print menus");
    addTask(Wedding, Day, "Order flowers");
    addTask(Wedding, Day + 1, "Pay band");
    addTask(999, Day, "Of no event");

    prompts.answerInput("0401");
    EXPECT_FALSE(tasks->openByDate());
    EXPECT_EQ(offering.offered, QStringList{"20270110"}) << "today by default";
    EXPECT_EQ(prompts.inputs[0].title, "To-Do Task List by Date");
    EXPECT_EQ(prompts.inputs[0].text, "Type the desired date or click OK to accept the default. "
                                      "\r\n\r\nLeave BLANK to cancel");
    EXPECT_EQ(prompts.lastMessage().text, "No tasks assigned for 20270401");
    EXPECT_FALSE(tasks->visible);

    tasks->listEvent(Wedding);
    prompts.answerInput("0315");
    ASSERT_TRUE(tasks->openByDate());
    EXPECT_EQ(offering.offered.last(), "20270401") << "the last date asked";
    EXPECT_EQ(shown(),
              (QStringList{"501 20270315 N Order flowers ANN", "502 20270315 N Print menus ANN"}));
    EXPECT_EQ(tasks->LastTaskDate, Day);
    EXPECT_EQ(tasks->TaskEventNumber, 0) << "a list by date adds to no event chosen before";
    EXPECT_FALSE(tasks->addEnabled);

    prompts.answerInput(QString());
    EXPECT_FALSE(tasks->openByDate());
    EXPECT_EQ(offering.offered.last(), "20270315");
    EXPECT_EQ(prompts.messages.size(), 1);
}

TEST_F(TaskListTest, TaskDatesAreCheckedBeforeAnythingIsStored) {
    const struct {
        const char *typed;
        const char *refusal; // none: stored
    } cases[] = {
        {"20991231", nullptr},
        {"01022099", nullptr}, // month first, its zero kept
        {"21000101", "Task date missing or invalid."},
        {"20240230", "Invalid day of the month"},
        {"20241301", "Invalid month"},
        {"2027031", "Invalid month"},
        {"00000000", "Task date missing or invalid."},
        {"0", "Task date missing or invalid."},
        {"abc", "Task date missing or invalid."},
        {"", "Task date missing or invalid."},
    };
    tasks->listEvent(Wedding);
    prompts.clear();
    for (const auto &rule : cases) {
        SCOPED_TRACE(rule.typed);
        const int before = int(stored().size());
        addAndSave(QString::fromLatin1(rule.typed), "Check the date");
        if (!rule.refusal) {
            EXPECT_EQ(stored().size(), before + 1);
            EXPECT_TRUE(prompts.messages.isEmpty());
            continue;
        }
        EXPECT_EQ(stored().size(), before);
        ASSERT_EQ(prompts.messages.size(), 1) << "one message says what is wrong";
        EXPECT_EQ(prompts.lastMessage().text, QString::fromLatin1(rule.refusal));
        EXPECT_EQ(tasks->focusBox, TaskList::DateBox);
        EXPECT_EQ(tasks->boxes[TaskList::TaskBox], "Check the date") << "the typing is kept";
        prompts.clear();
    }
    EXPECT_EQ(stored(), (QStringList{"501 20990102 N Check the date DEMO",
                                     "501 20991231 N Check the date DEMO"}));
}

TEST_F(TaskListTest, TasksGoOnlyToEventsThatExist) {
    tasks->listEvent(777);
    EXPECT_TRUE(tasks->addEnabled);
    addAndSave("20270301", "Nobody's task");
    expectOops("There is no Event# 777.");
    EXPECT_TRUE(stored().isEmpty());

    addTask(Wedding, Day, "Order flowers");
    tasks->listEvent(Wedding);
    tasks->selectTask(0);
    tasks->editBox(TaskList::EventBox, "778");
    tasks->saveChange();
    expectOops("There is no Event# 778.");
    EXPECT_EQ(stored(), QStringList{"501 20270315 N Order flowers ANN"});

    tasks->editBox(TaskList::EventBox, "502");
    tasks->saveChange();
    EXPECT_EQ(stored(), QStringList{"502 20270315 N Order flowers DEMO"});
    EXPECT_TRUE(tasks->rows.isEmpty()) << "moved to another event, it leaves this list";
}

TEST_F(TaskListTest, BelowEventEditingTheListIsReadAndPrintedOnly) {
    addTask(Wedding, Day, "Order flowers");
    signIn(15);
    tasks->listEvent(Wedding);
    EXPECT_FALSE(tasks->addVisible);
    EXPECT_FALSE(tasks->saveVisible);
    EXPECT_FALSE(tasks->deleteVisible);

    tasks->selectTask(0);
    tasks->setDone(true);
    EXPECT_FALSE(tasks->boxKeyPress(TaskList::StaffBox, TaskList::Key::Other));
    tasks->addTypedTask();
    tasks->deleteChosenTask();
    EXPECT_EQ(stored(), QStringList{"501 20270315 N Order flowers ANN"});

    tasks->printTasks();
    EXPECT_EQ(programs.waited, QStringList{"prinzel.exe"});
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(TaskListTest, ATaskChangedAtAnotherWorkstationIsNotOverwritten) {
    addTask(Wedding, Day, "Order flowers");
    addTask(Wedding, Day, "Print menus");
    ScriptedPrompts otherPrompts;
    Module other(settings(),
                 Ports{otherPrompts, clipboard, programs, clock, keys, printer, screen});
    other.session = module->session;
    other.session.UserName = QStringLiteral("BEN");
    TaskList elsewhere(other);
    elsewhere.listEvent(Wedding);
    tasks->listEvent(Wedding);

    elsewhere.selectTask(0);
    elsewhere.setDone(true);
    elsewhere.saveChange();
    tasks->selectTask(0);
    tasks->editBox(TaskList::TaskBox, "Order roses");
    tasks->saveChange();
    expectOops(QStringLiteral(
        "This task was changed at another workstation. The list has been read again."));
    EXPECT_EQ(stored(),
              (QStringList{"501 20270315 Y Order flowers BEN", "501 20270315 N Print menus ANN"}));
    EXPECT_EQ(shown(),
              (QStringList{"501 20270315 Y Order flowers BEN", "501 20270315 N Print menus ANN"}));

    prompts.clear();
    elsewhere.selectTask(1);
    prompts.answerYesNo(true);
    otherPrompts.answerYesNo(true);
    elsewhere.deleteChosenTask();
    tasks->selectTask(1);
    tasks->deleteChosenTask();
    expectOops(QStringLiteral(
        "This task was changed at another workstation. The list has been read again."));
    EXPECT_EQ(stored(), QStringList{"501 20270315 Y Order flowers BEN"});
    EXPECT_EQ(shown(), stored());
}

TEST_F(TaskListTest, OfIdenticalTasksOnlyTheChosenOneChangesOrGoes) {
    for (int i = 0; i < 3; ++i)
        addTask(Wedding, Day, "Call the florist");
    tasks->listEvent(Wedding);
    tasks->deleteChosenTask();
    expectOops("Please select a task first.");
    tasks->selectTask(1);
    tasks->setDone(true);
    tasks->saveChange();
    const QStringList saved{"501 20270315 N Call the florist ANN",
                            "501 20270315 N Call the florist ANN",
                            "501 20270315 Y Call the florist DEMO"};
    EXPECT_EQ(stored(), saved);

    // A new task not yet saved: deleting it drops only it.
    tasks->selectTask(0);
    tasks->addTypedTask();
    tasks->editBox(TaskList::TaskBox, "Never mind");
    prompts.answerYesNo(true);
    tasks->deleteChosenTask();
    EXPECT_EQ(stored(), saved);
    EXPECT_EQ(tasks->boxes, (std::array<QString, 5>{}));

    const int chosen = int(shown().indexOf("501 20270315 N Call the florist ANN"));
    tasks->selectTask(chosen);
    prompts.answerYesNo(false);
    tasks->deleteChosenTask();
    EXPECT_EQ(stored(), saved) << "No keeps the task";
    tasks->selectTask(chosen);
    prompts.answerYesNo(true);
    tasks->deleteChosenTask();
    EXPECT_EQ(prompts.questions.last().title, "Delete this task?");
    EXPECT_EQ(prompts.questions.last().text,
              "Click YES to delete the chosen task; \r\nclick NO to cancel.");
    EXPECT_EQ(stored(), saved.mid(1));
    EXPECT_EQ(shown().size(), 2);
}

TEST_F(TaskListTest, PrintListCopiesTheTasksAsTypedToTheReport) {
    const QString typed[] = {"Ask \"Ann\" about O'Brien's <b>cake</b> & wine", "Balloons 🎈🎂",
                             QString(300, QLatin1Char('x'))};
    exec("evnt", "insert into location (roomnum, room) values (4, ?)", {"Terrace"});
    exec("evnt", "update eventinfo set roomnumber = 4");
    tasks->listEvent(Dinner);
    tasks->printTasks();
    EXPECT_TRUE(programs.waited.isEmpty()) << "an empty list prints nothing";
    prompts.clear();

    for (const QString &task : typed)
        addAndSave("20270301", task);
    // The longest cut to the column.
    QStringList expected;
    for (const QString &task : {typed[0], typed[1], QString(255, 'x')})
        expected << "502 20270301 N " + task + " DEMO";
    expected.sort();
    EXPECT_EQ(stored(), expected);

    QList<bool> onTop;
    QObject::connect(tasks.get(), &TaskList::changed, [&] { onTop << tasks->keptOnTop; });
    tasks->printTasks();
    EXPECT_EQ(onTop, (QList<bool>{false, true})) << "the report comes in front meanwhile";
    ASSERT_EQ(programs.waited, QStringList{"prinzel.exe"});
    EXPECT_TRUE(programs.inputs[0].contains("ReportFileName=evnttask1.rpt~"));
    EXPECT_TRUE(programs.inputs[0].contains("DataFiles(0)=rpt05.mdb~"));
    EXPECT_EQ(stored("rpt05.mdb"), expected);
    // Each task prints under its event, with the room by name, and the
    // list says what was chosen.
    const QString events =
        QStringLiteral("select eventnum || ' ' || eventdate || ' ' || eventtitle from eventinfo "
                       "order by eventnum");
    EXPECT_EQ(rows(events), QStringList{"502 20270315 Event 502"});
    EXPECT_EQ(rows("select room from location"), QStringList{"Terrace"});
    EXPECT_EQ(rows("select ctlauxtitle from headings"), QStringList{"Tasks for Event# 502"});

    // By date: every event of the list once, and the date.
    addTask(Wedding, 20270301, "Order flowers");
    programs.waited.clear();
    ASSERT_TRUE(tasks->listDate(20270301));
    tasks->printTasks();
    ASSERT_EQ(programs.waited.size(), 1);
    EXPECT_EQ(rows(events), (QStringList{"501 20270315 Event 501", "502 20270315 Event 502"}));
    EXPECT_EQ(rows("select count(*) from tasklist"), QStringList{"4"});
    EXPECT_EQ(rows("select ctlauxtitle from headings"),
              QStringList{"Tasks to be done by 03/01/2027"});
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
