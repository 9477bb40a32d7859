#include "reports/ReportMenu.h"

#include "ReportsFixture.h"

namespace {

// One event row as the listings see it.
struct Event {
    int number;
    int date;
    int status;
    int member = 1;
    double account = 0;
    QString start = QStringLiteral("18:00");
    QString title = QStringLiteral("Dinner");
};

// Events around the month and year boundaries of June and December 2027.
const QList<Event> Season = {{101, 20270615, 2, 1, 25},
                             {102, 20270601, 3, 2},
                             {103, 20270630, 4, 1, 30},
                             {104, 20270701, 1},
                             {105, 20270731, 5},
                             {106, 20270620, 9},
                             {107, 20270101, 2},
                             {108, 20271231, 2},
                             {109, 20280101, 2},
                             {110, 20261231, 2},
                             {111, 20271215, 2, 1, 25.001},
                             {112, 20280131, 4},
                             {113, 20270615, 3, 2, 0, "09:00"}};

// Event numbers separated by blanks.
QStringList numbers(const char *events) {
    return QString::fromLatin1(events).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

class ReportMenuTest : public ReportsFixture {
protected:
    void SetUp() override {
        ReportsFixture::SetUp();
        setUpReports({"evnt01a.rpt", "evnt01b.rpt", "evnt02b.rpt", "evnt03a.rpt", "evnt03b.rpt",
                      "evnt03c.rpt", "evnt03d.rpt", "evnt03e.rpt", "evnt04b.rpt", "evnt04c.rpt",
                      "evnt04e.rpt", "evnt04f.rpt", "evnt05b.rpt", "evnt05c.rpt", "evnt05e.rpt"});
        clock.current = QDateTime(QDate(2027, 6, 15), QTime(9, 30));
        // The calendar holds these years, so date ranges in them are accepted.
        for (int year : {2026, 2027, 2028})
            exec("evnt", "insert into reserv (resdate, restime) values (?, '08:00')",
                 {year * 10000 + 101});
        menu = std::make_unique<ReportMenu>(*module);
    }
    void TearDown() override {
        menu.reset();
        ReportsFixture::TearDown();
    }

    void add(const QList<Event> &events) {
        for (const Event &e : events)
            exec("evnt",
                 "insert into eventinfo (eventnum, eventdate, eventtitle, starttime, status, "
                 "memnonmem, custid) values (?, ?, ?, ?, ?, ?, ?)",
                 {e.number, e.date, e.title, e.start, e.status, e.member, e.account});
    }
    void addItems(int event, int count, const QString &price = QStringLiteral("10")) {
        for (int i = 0; i < count; ++i)
            exec("evnt",
                 "insert into items (eventid, qty, itemnum, dept, itemdesc, cost, price, "
                 "servchg, tax, glnum) values (?, 1, ?, 1, ?, 1, ?, 0, 0, '4000')",
                 {event, 100 + i, QStringLiteral("Item %1 of %2").arg(i).arg(event), price});
    }
    QString printedBlock() { return programs.inputs.value(0); }
    // Answers to the prompts to come, separated by "|".
    void answer(const QString &answers) {
        for (const QString &text : answers.split(QLatin1Char('|')))
            prompts.answerInput(text);
    }
    void reset() {
        programs.waited.clear();
        programs.inputs.clear();
        QFile::remove(path("rpt05.mdb"));
    }

    std::unique_ptr<ReportMenu> menu;
};

TEST_F(ReportMenuTest, EachListingSelectsItsDatesFilterAndSubtitle) {
    add(Season);
    exec("evnt", "insert into location (roomnum, room, capacity, subdiv) values (1, "
                 "'Ballroom', 200, 0)");
    const char *const both = "Members & Non-Members";
    const struct {
        int today;
        void (ReportMenu::*command)(int);
        int index;
        const char *answers, *file, *events, *subtitle;
    } cases[] = {
        {20270615, &ReportMenu::listEvents, 0, "3", "evnt03a.rpt", "113 101", both},
        {20270615, &ReportMenu::listEvents, 1, "3", "evnt03b.rpt", "102 113 101 103", both},
        {20270615, &ReportMenu::listEvents, 1, "1", "evnt03b.rpt", "101 103", "Members Only"},
        {20270615, &ReportMenu::listEvents, 1, " 2 ", "evnt03b.rpt", "102 113", "Non-Members Only"},
        {20270615, &ReportMenu::listEvents, 1, "4|25", "evnt03b.rpt", "101", "Account # 25.00"},
        {20270615, &ReportMenu::listEvents, 1, "4|25.004", "evnt03b.rpt", "101", "Account # 25.00"},
        {20270615, &ReportMenu::listEvents, 2, "3", "evnt03c.rpt", "104 105", both},
        {20270615, &ReportMenu::listEvents, 3, "3", "evnt03d.rpt",
         "107 102 113 101 103 104 105 111 108", both},
        {20271206, &ReportMenu::listEvents, 1, "4|25", "evnt03b.rpt", "111", "Account # 25.00"},
        {20271206, &ReportMenu::listEvents, 2, "3", "evnt03c.rpt", "109 112", both},
        {20271206, &ReportMenu::projectRevenue, 1, "3", "evnt05c.rpt", "", both},
        {20270615, &ReportMenu::projectRevenue, 0, "2", "evnt05b.rpt", "", "Non-Members Only"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << " " << c.answers << " on " << c.today);
        reset();
        clock.current.setDate(QDate(c.today / 10000, c.today / 100 % 100, c.today % 100));
        answer(QString::fromLatin1(c.answers));
        (menu.get()->*c.command)(c.index);
        ASSERT_EQ(programs.waited, QStringList{"prinzel.exe"});
        EXPECT_TRUE(printedBlock().contains(QStringLiteral("ReportFileName=%1~").arg(c.file)));
        EXPECT_TRUE(printedBlock().contains("DataFiles(0)=rpt05.mdb~"));
        EXPECT_FALSE(printedBlock().contains("SelectionFormula"));
        EXPECT_EQ(copiedEvents(), numbers(c.events));
        EXPECT_EQ(subtitle(), QString::fromUtf8(c.subtitle));
        EXPECT_EQ(rows("select count(*) from location"), QStringList{"1"});
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(ReportMenuTest, DateRangeListingsAskTheirRangeThenTheFilter) {
    add(Season);
    addItems(101, 1);
    addItems(111, 1);
    // The listings read the events, which a purge of the calendar leaves.
    exec("evnt", "delete from reserv");
    const struct {
        void (ReportMenu::*command)();
        int kind;
        const char *answers, *heading, *events, *subtitle;
    } cases[] = {
        {&ReportMenu::listEventsByDateRange, ReportMenu::DateRangeList, "20270601|20270701|3",
         "Events by Date Range", "102 113 101 103 104", "from 06/01/2027 to 07/01/2027 - All"},
        {&ReportMenu::listEventsByDateRange, ReportMenu::DateRangeList, "20271231|20270101|4|25",
         "Events by Date Range", "101 111", "from 01/01/2027 to 12/31/2027 Acct# 25.00"},
        {&ReportMenu::listEventsByDateRange, ReportMenu::DateRangeList, "20270601|20270630|1",
         "Events by Date Range", "101 103", "from 06/01/2027 to 06/30/2027 Members"},
        {&ReportMenu::listContacts, ReportMenu::ContactsOnly, "20270101|20281231",
         "Contacts only by Date Range", "104", "Contacts Only from 01/01/2027 to 12/31/2028"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.answers);
        reset();
        prompts.inputs.clear();
        answer(QString::fromLatin1(c.answers));
        (menu.get()->*c.command)();
        EXPECT_EQ(menu->ReportKind, c.kind);
        ASSERT_EQ(programs.waited.size(), 1);
        EXPECT_TRUE(printedBlock().contains("ReportFileName=evnt03e.rpt~"));
        EXPECT_TRUE(prompts.inputs.value(0).title.contains(QString::fromLatin1(c.heading)))
            << prompts.inputs.value(0).title.toStdString();
        EXPECT_EQ(copiedEvents(), numbers(c.events));
        EXPECT_EQ(subtitle(), QString::fromLatin1(c.subtitle));
    }

    reset();
    answer("20270101|20271231|3");
    menu->projectRevenue(2);
    ASSERT_EQ(programs.waited.size(), 1);
    EXPECT_TRUE(printedBlock().contains("ReportFileName=evnt05e.rpt~"));
    EXPECT_EQ(copiedEvents(), (QStringList{"101", "111"})) << "events with items";
    EXPECT_EQ(subtitle(), "from 01/01/2027 to 12/31/2027 - ALL");
    EXPECT_EQ(module->report.RangeFrom, 20270101);
    EXPECT_EQ(module->report.RangeTo, 20271231);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(ReportMenuTest, ItemListingsCopyEachEventOnceWithAllItsItems) {
    // Two events alike in date, start and title, their items stored in turns.
    add({{201, 20270610, 2, 1, 0, "18:00", "Gala"},
         {202, 20270610, 2, 1, 0, "18:00", "Gala"},
         {203, 20270612, 4},
         {204, 20270612, 9}});
    for (int round = 0; round < 30; ++round)
        for (int event : {202, 201})
            if (round < 29 || event == 201)
                addItems(event, 1, QStringLiteral("%1").arg(round + 1));
    addItems(204, 2);
    // Without the index the items lead the join, so rows of equal date, start
    // and title arrive in the order the items were stored.
    for (const QString &index : indexNames("evnt", "items"))
        exec("evnt", QStringLiteral("drop index %1").arg(index));

    // This and next month's lists keep the template's headings.
    {
        Databases databases(settings());
        auto db = databases.openLocalFile(path("rpt00.sys"));
        ASSERT_TRUE(db.ok());
        ASSERT_TRUE(db.value()->execute("update headings set ctlauxtitle = 'as in the template'"));
    }
    menu->listItems(0);
    ASSERT_EQ(programs.waited.size(), 1);
    EXPECT_TRUE(printedBlock().contains("ReportFileName=evnt04b.rpt~"));
    EXPECT_EQ(subtitle(), "as in the template");
    EXPECT_EQ(copiedEvents(), (QStringList{"201", "202"}))
        << "an event without items is not listed, a cancelled one never";
    const QStringList itemsInTurn = QStringList(30, "201") + QStringList(29, "202");
    EXPECT_EQ(rows("select eventid from eventitems order by rowid"), itemsInTurn);
    EXPECT_EQ(rows("select count(*) from eventitems where itemdesc like 'Item %' "
                   "and glnum = '4000' and qty = 1"),
              QStringList{"59"})
        << "every column in its place";

    // Three items and two: two events, five items.
    exec("evnt", "delete from items where eventid in (201, 202)");
    addItems(201, 3);
    addItems(202, 2);
    reset();
    clock.current.setDate(QDate(2027, 5, 20));
    menu->listItems(1);
    EXPECT_EQ(copiedEvents(), (QStringList{"201", "202"}));
    EXPECT_EQ(rows("select count(*) from eventitems"), QStringList{"5"});
    EXPECT_EQ(subtitle(), "as in the template");

    EXPECT_EQ(rows("select count(*) from department"), QStringList{"0"})
        << "no buttons set up, no department names";

    // The departments by the names of the buttons that list them: the first
    // button of a department names it; an unused button names none.
    QFile buttons(path("evnt.dat"));
    ASSERT_TRUE(buttons.open(QIODevice::WriteOnly));
    buttons.write("Food,1\n,2\nBar & Wine,2\nDrinks,2\nDept,\n");
    buttons.close();
    reset();
    answer("0601|0630");
    menu->listItems(3);
    EXPECT_TRUE(printedBlock().contains("ReportFileName=evnt04f.rpt~"));
    EXPECT_EQ(rows("select count(*) from eventitems"), QStringList{"5"});
    EXPECT_EQ(rows("select dept || '=' || deptname from department order by dept"),
              (QStringList{"1=Food", "2=Bar & Wine"}));
    EXPECT_EQ(subtitle(), "from 06/01/2027 to 06/30/2027");
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(ReportMenuTest, ACancelledOrRefusedPromptPrintsNothingAndAnEmptySelectionPrintsEmpty) {
    add(Season);
    // Blank answers cancel; anything but an option or an account is told.
    answer("");
    menu->listEvents(1);
    answer("4|");
    menu->listEvents(1);
    EXPECT_TRUE(prompts.messages.isEmpty());
    // An option, or after option 4 an account.
    for (const QString &answers :
         QStringList{"2.5", "-1", "abc", "2abc", "0", "5", "4|-5", "4|100000", "4|12abc", "4|1e3",
                     QString(30, QLatin1Char('1'))}) {
        prompts.clear();
        answer(answers);
        menu->listEvents(1);
        EXPECT_EQ(prompts.messages.size(), 1) << answers.toStdString();
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(
            QStringLiteral("%1: \"%2\"")
                .arg(answers.contains(QLatin1Char('|')) ? "Account #" : "Option",
                     answers.section(QLatin1Char('|'), -1))))
            << prompts.lastMessage().text.toStdString();
    }
    prompts.clear();
    answer("");
    menu->listEventsByDateRange();
    answer("20270101|");
    menu->listItems(2);
    answer("20270101|20270101|");
    menu->projectRevenue(2);
    EXPECT_TRUE(programs.waited.isEmpty());
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_FALSE(QFile::exists(path("rpt05.mdb")));

    // A date the date check refuses is told, and nothing prints.
    answer("20270231|20270301");
    menu->listEventsByDateRange();
    EXPECT_TRUE(programs.waited.isEmpty());
    EXPECT_EQ(prompts.messages.size(), 1);

    exec("evnt", "delete from eventinfo");
    answer("3");
    menu->listEvents(3);
    ASSERT_EQ(programs.waited.size(), 1);
    EXPECT_TRUE(copiedEvents().isEmpty());
    EXPECT_EQ(subtitle(), "Members & Non-Members");
}

TEST_F(ReportMenuTest, ProjectionsAndTheInternalSheetNeedEventEditing) {
    add(Season);
    addItems(101, 2);
    module->event.EventNumber = 101;
    module->event.Date = 20270615;
    exec("evnt", "insert into location (roomnum, room, capacity, subdiv) values (1, 'Terrace "
                 "Pavilion', 80, 0), (2, 'Ballroom', 80, 0)");
    signIn(15); // below the editing level
    for (int index : {0, 1, 2})
        menu->projectRevenue(index);
    menu->printSheet(ReportMenu::InternalSheet);
    EXPECT_TRUE(programs.waited.isEmpty() && prompts.inputs.isEmpty());

    menu->printSheet(ReportMenu::ExternalSheet);
    menu->printSheet(ReportMenu::ItemsSheet);
    ASSERT_EQ(programs.waited.size(), 2);
    EXPECT_TRUE(programs.inputs[0].contains("ReportFileName=evnt01b.rpt~"));
    EXPECT_TRUE(programs.inputs[1].contains("ReportFileName=evnt02b.rpt~"));

    reset();
    signIn(99);
    menu->projectRevenue(3); // there are three projections
    menu->listItems(4);      // and four item listings
    EXPECT_TRUE(programs.waited.isEmpty());
    menu->ReportKind = ReportMenu::ThisYear;
    menu->printSheet(ReportMenu::InternalSheet);
    ASSERT_EQ(programs.waited.size(), 1);
    EXPECT_TRUE(printedBlock().contains("ReportFileName=evnt01a.rpt~"));
    EXPECT_TRUE(printedBlock().contains("SelectionFormula={eventinfo.eventnum} = 101~"));
    EXPECT_EQ(copiedEvents(), QStringList{"101"});
    EXPECT_EQ(rows("select count(*) from eventitems where eventid = 101"), QStringList{"2"});
    EXPECT_EQ(rows("select room from location order by roomnum"),
              (QStringList{"Terrace Pavilion", "Ballroom"}))
        << "the sheet prints the room's name";
    // The day and date as the club (American English here) writes them.
    EXPECT_EQ(subtitle(), "Tuesday");
    EXPECT_EQ(rows("select ctlseq from headings").value(0), "06/15/2027");
    EXPECT_EQ(menu->ReportKind, 0);

    // No event shown: nothing.
    reset();
    module->event.EventNumber = 0;
    menu->printSheet(ReportMenu::ExternalSheet);
    EXPECT_TRUE(programs.waited.isEmpty());

    // The next listing is not narrowed by the sheet's formula.
    answer("3");
    menu->listEvents(1);
    ASSERT_EQ(programs.waited.size(), 1);
    EXPECT_FALSE(printedBlock().contains("SelectionFormula"));
}

} // namespace
