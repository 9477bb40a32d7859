#include "reports/Mailings.h"

#include "ReportsFixture.h"

namespace {

class MailingsTest : public ReportsFixture {
protected:
    void SetUp() override {
        ReportsFixture::SetUp();
        setUpReports({"evntmail1.rpt", "evntmail2.rpt"});
        mailings = std::make_unique<Mailings>(*module);
    }
    void TearDown() override {
        mailings.reset();
        ReportsFixture::TearDown();
    }
    void add(int number, int status, const QString &contact = QStringLiteral("Ann Lee"),
             const QString &email = QStringLiteral("ann@example.org")) {
        exec("evnt",
             "insert into eventinfo (eventnum, eventdate, eventtitle, status, contactname, "
             "contemail) values (?, 20270610, 'Dinner', ?, ?, ?)",
             {number, status, contact, email});
    }

    std::unique_ptr<Mailings> mailings;
};

TEST(MailingsStatus, AnswersChooseAStatusAllOrNothing) {
    const struct {
        const char *answer;
        std::optional<int> status;
    } cases[] = {{"all", 0},  {"ALL", 0},  {"x", 0},           {"0", 0}, {" 3 ", 3},
                 {"9", 9},    {"5abc", 5}, {"6", {}},          {"", {}}, {"   ", {}},
                 {"2.5", {}}, {"-1", {}},  {"99999999999", {}}};
    for (const auto &c : cases)
        EXPECT_EQ(Mailings::statusChoice(QString::fromLatin1(c.answer)), c.status) << c.answer;
}

TEST(MailingsNames, TheContactNameIsSplitByPosition) {
    EXPECT_EQ(Mailings::splitName("John Smith"),
              std::pair(QStringLiteral("John Smith     "), QString(20, QLatin1Char(' '))));
    const QString long35 = QStringLiteral("Bartholomew-Ashcroft Fitzwilliam-Jo");
    ASSERT_EQ(long35.size(), 35);
    EXPECT_EQ(Mailings::splitName(long35 + QStringLiteral(" Junior")),
              std::pair(long35.left(15), long35.mid(15)));
    // A character of two UTF-16 units across the cut stays whole.
    const QString emoji = QString(14, QLatin1Char('a')) + QStringLiteral("😀b");
    const auto [first, last] = Mailings::splitName(emoji);
    EXPECT_EQ(first, QString(14, QLatin1Char('a')) + QLatin1Char(' '));
    EXPECT_EQ(last.trimmed(), "😀b");
}

TEST_F(MailingsTest, LabelsCopyTheEventsOfTheChosenStatus) {
    add(301, 2);
    add(302, 9);
    add(303, 4);
    add(304, 2);

    prompts.answerInput("2");
    mailings->printContactLabels();
    ASSERT_EQ(programs.waited.size(), 1);
    EXPECT_TRUE(programs.inputs[0].contains("ReportFileName=evntmail1.rpt~"));
    EXPECT_TRUE(programs.inputs[0].contains("DataFiles(0)=rpt05.mdb~"));
    EXPECT_EQ(copiedEvents(), (QStringList{"301", "304"}));
    EXPECT_EQ(rows("select contactname, contemail, eventtitle from eventinfo").value(0),
              "Ann Lee ann@example.org Dinner")
        << "every column copied";
    EXPECT_EQ(prompts.inputs[0].title, "Filter by Event Status");
    EXPECT_TRUE(prompts.inputs[0].text.startsWith(QStringLiteral(
        "Type the desired status NUMBER or ALL and click OK. \r\n1 = Contacts only")));
    EXPECT_TRUE(
        prompts.inputs[0].text.endsWith("ALL = all status choices\r\nLeave BLANK to cancel"));

    programs.inputs.clear();
    prompts.answerInput("9");
    mailings->printBillingLabels();
    EXPECT_TRUE(programs.inputs.value(0).contains("ReportFileName=evntmail2.rpt~"));
    EXPECT_EQ(copiedEvents(), QStringList{"302"}) << "cancelled events only when asked for";
    EXPECT_EQ(mailings->ReportKind, 0);

    prompts.answerInput("all");
    mailings->printBillingLabels();
    EXPECT_EQ(copiedEvents(), (QStringList{"301", "302", "303", "304"}));

    programs.waited.clear();
    prompts.answerInput("5");
    mailings->printContactLabels();
    expectOops("No records match the chosen selection. Report cancelled.");
    prompts.clear();
    prompts.answerInput("6");
    mailings->printContactLabels();
    prompts.answerInput(QString());
    mailings->printBillingLabels();
    EXPECT_TRUE(programs.waited.isEmpty());
    EXPECT_TRUE(prompts.messages.isEmpty());

    // Below event editing nothing happens.
    const auto asked = prompts.inputs.size();
    signIn(15);
    mailings->printContactLabels();
    mailings->printBillingLabels();
    mailings->makeEmailList();
    EXPECT_EQ(prompts.inputs.size(), asked);
    EXPECT_TRUE(programs.waited.isEmpty() && programs.started.isEmpty());
}

TEST_F(MailingsTest, TheEmailListHandsEveryContactToTheEmailProgram) {
    const QString longAddress =
        QStringLiteral("reservations.and.banquets@harbour-yacht-club.example.org");
    ASSERT_GT(longAddress.size(), 35);
    add(401, 3, "John Smith", longAddress);
    add(402, 3, "Without Address", QString());
    add(403, 1, "Someone Else");

    prompts.answerInput("3");
    mailings->makeEmailList();
    EXPECT_TRUE(prompts.inputs[0].text.startsWith(QStringLiteral(
        "Type the desired status NUMBER or ALL and click OK. \r\n\r\n1 = Contacts only")));
    EXPECT_TRUE(
        prompts.inputs[0].text.endsWith("ALL = all status choices\r\n\r\nLeave BLANK to cancel"));
    ASSERT_EQ(programs.started, QStringList{"mailforge.exe rpt05.mdb"});
    EXPECT_EQ(programs.states.value(0), Programs::WindowState::Maximized);
    EXPECT_TRUE(programs.waited.isEmpty());
    const QString blanks(20, QLatin1Char(' '));
    EXPECT_EQ(rows("select acctnumber, fname || '|' || lname, email1, email2, email3 from master "
                   "order by acctnumber"),
              (QStringList{"401 John Smith     |" + blanks + " " + longAddress + " " + longAddress +
                               " " + longAddress,
                           "402 Without Address|" + blanks + "   "}))
        << "the whole address";
    EXPECT_TRUE(copiedEvents().isEmpty());

    programs.started.clear();
    prompts.answerInput("5");
    mailings->makeEmailList();
    expectOops("No records match the chosen selection. Action cancelled.");
    EXPECT_TRUE(programs.started.isEmpty());
}

} // namespace
