#include "ContractFixture.h"

namespace {

class ContractBuilderTest : public ContractFixture {
protected:
    void choose(int number) {
        const auto entry = std::find_if(
            builder->contractEntries.cbegin(), builder->contractEntries.cend(),
            [&](const QString &text) { return text.startsWith(QString::number(number) + " - "); });
        ASSERT_NE(entry, builder->contractEntries.cend()) << number;
        builder->chooseContractEntry(int(entry - builder->contractEntries.cbegin()));
    }
    // Component files of one line each, and the builder open on the event.
    void openOn(std::initializer_list<const char *> files) {
        for (const char *file : files)
            writeFile(QString::fromLatin1(file), "text\n");
        loadEvent();
        ASSERT_TRUE(builder->open());
    }
    void add(const QString &file) {
        const int row = int(builder->componentFiles.indexOf(file));
        ASSERT_GE(row, 0) << file.toStdString();
        builder->addComponentFile(row);
    }
};

// Two workstations creating a contract at once: each takes the number after
// the highest, gap or not; the later save is renumbered and told so.
TEST_F(ContractBuilderTest, NewContractsTakeTheNumberAfterTheHighestAndBothAreKept) {
    storeContract(1, "Dinner", {"cba.txt"});
    storeContract(3, "Wedding", {"cbb.txt"});
    openOn({"cba.txt", "cbb.txt", "cbc.txt"});
    EXPECT_EQ(builder->contractEntries,
              (QStringList{"(Click for a list of available contracts)", "0 - Create New Contract",
                           "1 - Dinner", "3 - Wedding"}));
    ScriptedPrompts otherPrompts;
    Module other(settings(),
                 Ports{otherPrompts, clipboard, programs, clock, keys, printer, screen});
    other.session = module->session;
    other.event = module->event;
    ContractBuilder elsewhere(other, tokens);
    ASSERT_TRUE(elsewhere.open());

    prompts.answerInput("  Corporate Meeting  ");
    builder->chooseContractEntry(1); // "0 - Create New Contract"
    ASSERT_EQ(prompts.inputs.size(), 1);
    EXPECT_EQ(prompts.inputs[0].title, "Contract Description - contract #4");
    EXPECT_EQ(prompts.inputs[0].text,
              "Type a description for this contract. \r\nMax length: 50 characters");
    EXPECT_EQ(builder->chosenContract, "4 - Corporate Meeting");
    EXPECT_TRUE(builder->NewContract);
    EXPECT_EQ(logEntry(), QStringLiteral("E#0\\Event#%1 \\New contract created: 4 - Corporate "
                                         "Meeting")
                              .arg(lastNumber));
    otherPrompts.answerInput("Golf Outing");
    elsewhere.chooseContractEntry(1);
    EXPECT_EQ(elsewhere.ContractNumber, 4);
    EXPECT_EQ(stored().size(), 2) << "nothing stored before the components are saved";

    elsewhere.addComponentFile(0);
    elsewhere.moveComponent(ContractBuilder::SaveComponents);
    add("cbc.txt");
    add("cba.txt");
    builder->moveComponent(ContractBuilder::SaveComponents);
    const QStringList others{"1|Dinner|0|cba.txt", "3|Wedding|0|cbb.txt",
                             "4|Golf Outing|0|cba.txt"};
    EXPECT_EQ(stored(), others + (QStringList{"5|Corporate Meeting|0|cbc.txt",
                                              "5|Corporate Meeting|1|cba.txt"}));
    EXPECT_EQ(
        logEntry(),
        QStringLiteral("E#0\\Event#%1 \\Contract components saved or modified").arg(lastNumber));
    EXPECT_EQ(builder->statusText, "Done");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, "FYI...");
    EXPECT_TRUE(prompts.messages[0].text.contains("contract #5"));
    EXPECT_EQ(builder->chosenContract, "5 - Corporate Meeting");
    EXPECT_TRUE(builder->contractEntries.contains("4 - Golf Outing"));

    // A second save of the renumbered contract replaces its own rows only.
    builder->selectComponent(1);
    builder->moveComponent(ContractBuilder::RemoveComponent);
    EXPECT_EQ(builder->componentRow, -1) << "nothing is chosen after a removal";
    builder->moveComponent(ContractBuilder::SaveComponents);
    EXPECT_EQ(stored(), others + QStringList{"5|Corporate Meeting|0|cbc.txt"});
    EXPECT_EQ(prompts.messages.size(), 1);
}

TEST_F(ContractBuilderTest, ASaveThatFailsPartWayKeepsTheOldComponents) {
    storeContract(1, "Dinner", {"cba.txt", "cbb.txt"});
    openOn({"cba.txt", "cbb.txt", "cbc.txt"});
    choose(1);
    EXPECT_EQ(builder->components, (QStringList{"cba.txt", "cbb.txt"}));
    add("cbc.txt");
    addFault("evnt", "third_row", "insert", "cbuilder", "new.ord = 2", "disk full");
    prompts.expectError();
    builder->moveComponent(ContractBuilder::SaveComponents);
    EXPECT_EQ(stored(), (QStringList{"1|Dinner|0|cba.txt", "1|Dinner|1|cbb.txt"}));
    EXPECT_TRUE(prompts.lastMessage().text.contains("disk full"));
    // No log line claims a save that did not happen.
    EXPECT_NE(logEntry().section(QLatin1Char('\\'), -1), "Contract components saved or modified");
    EXPECT_TRUE(builder->moveEnabled[ContractBuilder::SaveComponents]);

    removeFault("evnt", "third_row", "cbuilder");
    builder->moveComponent(ContractBuilder::SaveComponents);
    EXPECT_EQ(stored(),
              (QStringList{"1|Dinner|0|cba.txt", "1|Dinner|1|cbb.txt", "1|Dinner|2|cbc.txt"}));
    EXPECT_EQ(prompts.messages.size(), 1) << "no renumbering to tell";
}

TEST_F(ContractBuilderTest, ComponentsMoveWithinTheListAndClearAsksFirst) {
    openOn({"cba.txt", "cbb.txt", "CBC.TXT", "notes.txt"});
    // The file pattern matches whatever the case of the letters.
    EXPECT_TRUE(builder->componentFiles.contains("CBC.TXT"));
    EXPECT_FALSE(builder->componentFiles.contains("notes.txt"));
    builder->toggleAllTextFiles();
    EXPECT_TRUE(builder->componentFiles.contains("notes.txt"));
    builder->toggleAllTextFiles();
    EXPECT_FALSE(builder->componentFiles.contains("notes.txt"));

    for (const char *file : {"cba.txt", "cbb.txt", "CBC.TXT"})
        add(file);
    // A move past either end, or with none chosen, changes nothing; the
    // chosen row follows its component.
    const struct {
        int select; // -1: as it is
        ContractBuilder::Move move;
        const char *order;
        int row;
    } moves[] = {{-1, ContractBuilder::MoveDown, "cba.txt cbb.txt CBC.TXT", -1},
                 {0, ContractBuilder::MoveUp, "cba.txt cbb.txt CBC.TXT", 0},
                 {2, ContractBuilder::MoveDown, "cba.txt cbb.txt CBC.TXT", 2},
                 {-1, ContractBuilder::MoveUp, "cba.txt CBC.TXT cbb.txt", 1},
                 {-1, ContractBuilder::MoveUp, "CBC.TXT cba.txt cbb.txt", 0},
                 {1, ContractBuilder::MoveDown, "CBC.TXT cbb.txt cba.txt", 2}};
    for (const auto &m : moves) {
        if (m.select >= 0)
            builder->selectComponent(m.select);
        builder->moveComponent(m.move);
        EXPECT_EQ(builder->components.join(' '), m.order) << m.order;
        EXPECT_EQ(builder->componentRow, m.row) << m.order;
    }
    builder->selectComponent(3);
    EXPECT_EQ(builder->componentRow, -1) << "a row past the end chooses nothing";

    prompts.answerYesNo(false);
    builder->moveComponent(ContractBuilder::ClearComponents);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].title, "Clear components? ");
    EXPECT_EQ(prompts.questions[0].text, "Click YES to clear the items for this event.");
    EXPECT_EQ(builder->components.size(), 3);
    prompts.answerYesNo(true);
    builder->moveComponent(ContractBuilder::ClearComponents);
    EXPECT_TRUE(builder->components.isEmpty());
}

TEST_F(ContractBuilderTest, DescriptionsAreBoundAndLoggedAndEmptyListsAreRefused) {
    storeContract(1, "Dinner", {"cba.txt"});
    storeContract(2, "Blank", {QString()});
    openOn({"cba.txt"});
    builder->moveComponent(ContractBuilder::SaveComponents);
    EXPECT_TRUE(prompts.messages.isEmpty()) << "no contract chosen, nothing saved";
    builder->changeDescription();
    EXPECT_EQ(prompts.lastMessage().text, "Please select a contract first.");

    // Counted in characters, not in UTF-16 units.
    const QString fifty = QString(49, QLatin1Char('x')) + QStringLiteral("\U0001F389");
    prompts.answerInput(QString(51, QChar(0x0416))); // Cyrillic Zhe
    builder->chooseContractEntry(1);
    EXPECT_EQ(prompts.lastMessage().text, "Entry is too long. Try again.");
    EXPECT_EQ(prompts.lastMessage().title, "Limit to 50 characters");
    EXPECT_EQ(builder->contractEntries.size(), 4);

    choose(1);
    builder->moveComponent(ContractBuilder::AddComponent); // no file chosen
    EXPECT_EQ(builder->components, QStringList{"cba.txt"});
    prompts.answerInput("O'Brien \"Gala\" \u00c9t\u00e9");
    builder->changeDescription();
    EXPECT_EQ(prompts.inputs.last().title, "Contract Description - contract #1");
    EXPECT_EQ(stored(), (QStringList{"1|O'Brien \"Gala\" \u00c9t\u00e9|0|cba.txt", "2|Blank|0|"}));
    EXPECT_EQ(logEntry().section(QLatin1Char('\\'), -1),
              "Contract #1 descripion changed from Dinner to O'Brien \"Gala\" "
              "\u00c9t\u00e9");
    EXPECT_EQ(builder->chosenContract, "1 - O'Brien \"Gala\" \u00c9t\u00e9");
    prompts.answerInput(fifty);
    builder->changeDescription();
    const QStringList kept{"1|" + fifty + "|0|cba.txt", "2|Blank|0|"};
    EXPECT_EQ(stored(), kept);

    const QString refusal = QStringLiteral("A contract must have at least one component to be "
                                           "valid. ");
    prompts.answerYesNo(true);
    builder->moveComponent(ContractBuilder::ClearComponents);
    builder->moveComponent(ContractBuilder::SaveComponents);
    EXPECT_EQ(prompts.lastMessage().text, refusal);
    EXPECT_EQ(prompts.lastMessage().title, "Oops...");
    // A contract whose only entry is empty is refused too, and stays.
    choose(2);
    EXPECT_EQ(builder->components, QStringList{QString()});
    prompts.clear();
    builder->moveComponent(ContractBuilder::SaveComponents);
    EXPECT_EQ(prompts.lastMessage().text, refusal);
    EXPECT_EQ(stored(), kept);
}

} // namespace
