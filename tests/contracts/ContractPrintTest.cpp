#include "ContractFixture.h"

namespace {

class ContractPrintTest : public ContractFixture {
protected:
    void SetUp() override {
        ContractFixture::SetUp();
        programs.available << QStringLiteral("prinzel.exe");
        // The operator's number, and with it the work copy's name, as start-up reads it.
        module->staff.SetStaffLocation();
        // The report program is a fake here: the layouts need only exist.
        for (const char *layout : {"evntcb01.rpt", "evntcb01w.rpt", "evntcb02.rpt", "evntcb02w.rpt",
                                   "evntcbudf.rpt", "evntcontracts.rpt", "evntcomponents.rpt"})
            writeFile(QString::fromLatin1(layout), "[body]\n");
        writeFile("cbterms.txt", "Terms for <EVENTTITLE>\n");
        storeContract(7, "Dinner", {"cbterms.txt"});
    }
    // The report files the program was started for, in order.
    QStringList printed() const {
        QStringList files;
        for (const QString &block : programs.inputs)
            for (const QString &line : block.split(QLatin1Char('\n')))
                if (line.startsWith(QLatin1String("ReportFileName=")))
                    files << line.mid(15).chopped(1);
        return files;
    }
    void expectOops(const QString &text) {
        ASSERT_FALSE(prompts.messages.isEmpty());
        EXPECT_EQ(prompts.lastMessage().text, text);
        EXPECT_EQ(prompts.lastMessage().title, "Oops...");
        prompts.clear();
    }
};

TEST_F(ContractPrintTest, EachLayoutPrintsTheEventItsItemsAndTheContract) {
    const int event = loadEvent();
    execEach("evnt",
             "insert into items (eventid, qty, itemnum, dept, itemdesc, cost, price, servchg, tax, "
             "glnum) values (?, 2, 101, 'FOOD', ?, 3, ?, 1.5, 0.7, 4100)",
             {{event, "2 Plated Dinner", "68"},
              {event, "2 Champagne Toast", "11"},
              {event + 1, "Another event's item", "5"}});
    module->event.fields[EventField::Title] = QStringLiteral("Typed, not saved");
    ASSERT_TRUE(builder->open());
    builder->chooseContractEntry(2);
    const QString work = ReportLauncher::workCopyName(module->session.SysUser);
    // Changes not yet saved are saved first: the contract is the stored event.
    module->event.UnsavedChanges = true;
    for (auto layout : {ContractBuilder::StandardLayout, ContractBuilder::UserDefinedLayout}) {
        builder->printContract(layout);
        expectOops("Save the event first: the contract prints the event as it is stored.");
    }
    EXPECT_TRUE(programs.inputs.isEmpty());
    ASSERT_TRUE(record->LoadEvent(event));
    module->event.UnsavedChanges = false;
    const std::pair<ContractBuilder::Layout, const char *> layouts[] = {
        {ContractBuilder::StandardLayout, "evntcb01.rpt"},
        {ContractBuilder::StandardWindow, "evntcb01w.rpt"},
        {ContractBuilder::LetterheadLayout, "evntcb02.rpt"},
        {ContractBuilder::LetterheadWindow, "evntcb02w.rpt"},
        {ContractBuilder::UserDefinedLayout, "evntcbudf.rpt"}};
    for (const auto &[layout, file] : layouts) {
        programs.inputs.clear();
        module->session.LocationName = QStringLiteral("Startup");
        builder->printContract(layout);
        EXPECT_EQ(printed(), QStringList{QString::fromLatin1(file)})
            << prompts.messageTexts().join("/").toStdString();
        const QString block = programs.inputs.value(0);
        EXPECT_TRUE(block.contains(QStringLiteral("DataFiles(0)=") + work + "~"));
        EXPECT_TRUE(block.contains(QStringLiteral("DataFiles(1)=") + work + "~"));
        EXPECT_EQ(builder->ReportKind, 0);
        EXPECT_TRUE(builder->keptOnTop);
        EXPECT_EQ(module->session.LocationName, "BASIC");
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(workRows("select eventnum || ' ' || eventtitle || ' ' || roomnumber "
                       "from eventinfo"),
              QStringList{QStringLiteral("%1 Harper Anniversary Dinner 1").arg(event)});
    EXPECT_EQ(workRows("select roomnum || ' ' || room from location"), QStringList{"1 Ballroom"})
        << "the event's room, so that the contract names it";
    EXPECT_EQ(workRows("select itemdesc || ' ' || price || ' ' || servchg from "
                       "eventitems order by itemdesc"),
              (QStringList{"2 Champagne Toast 11 1.5", "2 Plated Dinner 68 1.5"}));
    EXPECT_EQ(workRows("select cast(acctnumber as integer) || ' ' || billto || ' ' "
                       "|| comments from master"),
              QStringList{QStringLiteral("%1 7 Terms for Harper Anniversary Dinner\n").arg(event)});
    EXPECT_EQ(workRows("select compname || ', ' || coalesce(compcity, '-') from company"),
              QStringList{"Your Club Name, -"});
}

TEST_F(ContractPrintTest, AnEventNeverSavedPrintsOnlyTheClubsOwnLayout) {
    const QString refusal =
        QStringLiteral("You must save the event details before using Contract Builder.");
    // A number issued, the event not yet saved.
    record->ClearEvent();
    module->event.EventNumber = record->NextEventNumber();
    module->event.fields[EventField::Title] = QStringLiteral("Unsaved Luncheon");
    ASSERT_TRUE(builder->open());
    for (auto layout : {ContractBuilder::StandardLayout, ContractBuilder::StandardWindow,
                        ContractBuilder::LetterheadLayout, ContractBuilder::LetterheadWindow}) {
        builder->printContract(layout);
        expectOops(refusal);
    }
    EXPECT_TRUE(programs.inputs.isEmpty());
    builder->printContract(ContractBuilder::UserDefinedLayout);
    EXPECT_EQ(printed(), QStringList{"evntcbudf.rpt"});
    EXPECT_TRUE(workRows("select eventnum from eventinfo").isEmpty());

    // No event at all: the same.
    programs.inputs.clear();
    module->event.EventNumber = 0;
    ASSERT_TRUE(builder->open());
    EXPECT_EQ(builder->eventNameText, "(No Event is Active)");
    EXPECT_EQ(builder->caption, "DEMO @ Contract Builder  -  (No Event is Active)");
    builder->printContract(ContractBuilder::StandardLayout);
    expectOops(refusal);
    builder->printContract(ContractBuilder::UserDefinedLayout);
    EXPECT_EQ(printed(), QStringList{"evntcbudf.rpt"});
    EXPECT_EQ(workRows("select cast(acctnumber as integer) || ' ' || billto from master"),
              QStringList{"0 0"});
}

TEST_F(ContractPrintTest, BelowEventEditingOnlyTheListsPrint) {
    writeFile("CBMENU.TXT", "Menu\n");
    storeContract(2, "Wedding", {"CBMENU.TXT", "cbterms.txt"});
    loadEvent();
    signIn(15); // below evaccess1 (20)
    ASSERT_TRUE(builder->open());
    EXPECT_EQ(builder->contractEntries.size(), 4);
    // Nothing changes a contract or its files.
    builder->chooseContractEntry(1);
    builder->chooseContractEntry(2);
    builder->addComponentFile(0);
    builder->moveComponent(ContractBuilder::RefreshView);
    builder->changeDescription();
    builder->toggleAllTextFiles();
    EXPECT_EQ(builder->ContractNumber, 0);
    EXPECT_TRUE(builder->components.isEmpty());
    EXPECT_TRUE(builder->viewerText.isEmpty());
    EXPECT_FALSE(builder->allTextFiles);
    EXPECT_TRUE(prompts.inputs.isEmpty());

    builder->printContractList();
    EXPECT_EQ(workRows("select contractnum || ' ' || contractdesc || ' ' || ord || "
                       "' ' || cbfilename from cbuilder"),
              (QStringList{"2 Wedding 0 CBMENU.TXT", "2 Wedding 1 cbterms.txt",
                           "7 Dinner 0 cbterms.txt"}));
    // The work copy just made must not be printed again by a layout.
    for (auto layout : {ContractBuilder::StandardLayout, ContractBuilder::UserDefinedLayout})
        builder->printContract(layout);
    builder->printComponentList();
    EXPECT_EQ(printed(), (QStringList{"evntcontracts.rpt", "evntcomponents.rpt"}));
    const QStringList files = workRows(QStringLiteral(
        "select cbfilename || '/' || coalesce(contractnum, 0) from cbuilder order by cbfilename"));
    EXPECT_TRUE(files.contains("CBMENU.TXT/0"));
    EXPECT_TRUE(files.contains("cbterms.txt/0"));
    EXPECT_TRUE(prompts.messages.isEmpty());

    exec("evnt", "delete from cbuilder");
    programs.inputs.clear();
    builder->printContractList();
    expectOops("No contracts have been defined.");
    builder->componentFiles.clear();
    builder->printComponentList();
    expectOops("No components are currently available in the component window.");
    EXPECT_TRUE(programs.inputs.isEmpty());
}

} // namespace
