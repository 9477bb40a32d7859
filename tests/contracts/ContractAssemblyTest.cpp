#include "ContractFixture.h"
#include "contracts/ContractText.h"
#include "startup/ClubUpgrade.h"

#include <QDir>
#include <QLocale>

namespace {

QString golden(const QString &name) {
    QFile file(QStringLiteral(CONTRACT_GOLDEN "/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return QString::fromUtf8(file.readAll());
}

class ContractAssemblyTest : public ContractFixture {
protected:
    void SetUp() override {
        ContractFixture::SetUp();
        // "<DATE>" is the short date of the workstation's locale.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    // Opens the builder on the event with a stored contract of these files
    // and chooses it: the contract is assembled.
    QString assemble(const QStringList &files) {
        storeContract(1, "Test", files);
        EXPECT_TRUE(builder->open());
        builder->chooseContractEntry(2);
        return builder->viewerText;
    }
};

TEST_F(ContractAssemblyTest, TheEventsAndTheClubsValuesReplaceTheirTokens) {
    writeFile("cbintro.txt",
              "<CLUBNAME>\n<CLUBADDR1>, <CLUBCITY>, <CLUBSTATE> <CLUBZIP>\n\n"
              "Dear <CONTACTNAME>,\n\nThank you for choosing us for \"<EVENTTITLE>\" on "
              "<EVENTDATE>, <STARTTIME> to <ENDTIME>, for <SETFOR> guests.\n");
    writeFile("cbterms.txt",
              "Deposit received: <DEPOSIT>.\nNotes: <NOTES>\nTokens are exact: <clubname>, "
              "<EventTitle>.\nPrinted <DATE>.\n");
    loadEvent();
    auto &fields = module->event.fields;
    fields[EventField::Guests] = QStringLiteral("120");
    fields[EventField::ContactName] = QStringLiteral("Ms. Dana Harper");
    fields[EventField::Deposit] = QStringLiteral("   "); // blank: the token stays, so the gap shows
    fields[EventField::Notes] = QStringLiteral("Cake from <CONTACTNAME>'s bakery");
    const QString text = assemble({"cbintro.txt", "cbterms.txt"});
    EXPECT_EQ(text, golden("merged.txt"));
    EXPECT_EQ(builder->statusText, "Ready");
    EXPECT_FALSE(builder->statusBold);
    EXPECT_EQ(prompts.busyDepth, 0);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

// The shipped letter as the customer reads it: dates, times, room, amounts
// and what is left to pay in the club's own words and formats.
TEST_F(ContractAssemblyTest, TheShippedLetterReadsAsACustomerExpects) {
    for (const char *name : {"cbintro.txt", "cbterms.txt"}) {
        QFile shipped(QDir(ClubUpgrade::shareDirectory()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
        writeFile(QString::fromLatin1(name), shipped.readAll());
    }
    exec("evnt", "update clubsetting set value = 'en_US' where name = 'locale'");
    const int event = loadEvent();
    execEach("evnt",
             "insert into items (eventid, qty, itemdesc, price, servchg, tax) "
             "values (?, ?, ?, ?, ?, ?)",
             {{event, 120, "120 Plated dinner", 10200, 1836, 842.76},
              {event, 1, "1 Dance floor", 450, 0, 0}});
    auto &fields = module->event.fields;
    fields[EventField::End] = QStringLiteral("CLOSE");
    fields[EventField::Guests] = QStringLiteral("120");
    fields[EventField::Guarantee] = QStringLiteral("110");
    fields[EventField::ContactName] = QStringLiteral("Ms. Dana Harper");
    fields[EventField::Deposit] = QStringLiteral("2000");
    const QString text = assemble({"cbintro.txt", "cbterms.txt"});
    EXPECT_EQ(text, golden("shipped-letter.txt"));
    EXPECT_FALSE(text.contains("20270315")) << "no date as a bare number";
}

TEST_F(ContractAssemblyTest, MissingOversizedAndForeignFilesAreToldAndSkipped) {
    writeFile("cbfirst.txt", "First <EVENTTITLE>\n");
    writeFile("cbfull.txt", QByteArray(32000 - 1, 'x') + "\n");
    writeFile("cbempty.txt", "");
    writeFile("cbpicture.txt", QByteArray("GIF89a\0\0\x01", 9));
    writeFile("cblast.txt", "Last\n");
    // Old files in the Windows code page keep their accented letters.
    writeFile("cbold.txt", "Caf\xe9 \x93Le Jardin\x94 \x96 5\x80\n");
    writeFile("cbnew.txt", "\xc5\x81\xc3\xb3\xd0\xb4\xc5\xba \xe6\x97\xa5\n");
    QDir(club).mkpath("private");
    writeFile("private/cbsecret.txt", "secret\n");
    loadEvent();
    const QString text = assemble({"cbfirst.txt", "cbgone.txt", "cbfull.txt", "cbempty.txt",
                                   "cbpicture.txt", "private/cbsecret.txt", "../cbfirst.txt",
                                   "CBLAST.TXT", "cbold.txt", "cbnew.txt"});
    QStringList told, expected;
    for (const auto &shown : prompts.messages) {
        EXPECT_EQ(shown.title, "Oops...");
        told << shown.text;
    }
    for (const char *name :
         {"cbgone.txt", "cbempty.txt", "cbpicture.txt", "private/cbsecret.txt", "../cbfirst.txt"})
        expected << QStringLiteral("File: %1 not found or empty and will not be loaded ").arg(name);
    EXPECT_EQ(told, expected);
    EXPECT_EQ(text, QStringLiteral("First Harper Anniversary Dinner\n") +
                        QString(32000 - 1, QLatin1Char('x')) +
                        QStringLiteral("\nLast\nCaf\u00e9 \u201cLe Jardin\u201d \u2013 5\u20ac\n"
                                       "\u0141\u00f3\u0434\u017a \u65e5\n"));

    // One byte more stops the whole assembly; what was joined stays, unmerged.
    writeFile("cbfull.txt", QByteArray(32000, 'x') + "\n");
    prompts.clear();
    prompts.expectError();
    builder->components = {"cbfirst.txt", "cbfull.txt", "cblast.txt"};
    builder->moveComponent(ContractBuilder::RefreshView);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, "File too large to load");
    EXPECT_EQ(prompts.messages[0].icon, Icon::Critical);
    EXPECT_EQ(builder->viewerText, "First <EVENTTITLE>\n");
    EXPECT_EQ(builder->statusText, "Done");
    EXPECT_EQ(prompts.busyDepth, 0);
}

TEST_F(ContractAssemblyTest, ValuesHoldingTokensAreResolvedButNeverGrowWithoutEnd) {
    // A value naming another field is resolved in a later pass.
    EXPECT_EQ(ContractText::merge("<A>", {{"<A>", "x <B> y"}, {"<B>", "<C>"}, {"<C>", "done"}}),
              "x done y");
    // The bound holds for a title holding its own token, however often it
    // stands in the text: the passes end, the size stays bounded, the token shows.
    const QList<ContractText::Replacement> self{{"<EVENTTITLE>", "<EVENTTITLE> party"}};
    const QString once = ContractText::merge("<EVENTTITLE>", self);
    EXPECT_EQ(once, QStringLiteral("<EVENTTITLE>") +
                        QStringLiteral(" party").repeated(ContractText::MaxPasses));
    const QList<ContractText::Replacement> doubling{{"<EVENTTITLE>", "<EVENTTITLE><EVENTTITLE>"}};
    const QString many =
        ContractText::merge(QStringLiteral("<EVENTTITLE> ").repeated(2000), doubling);
    EXPECT_LE(many.size(), ContractText::MaxMergedLength);
    EXPECT_TRUE(many.startsWith("<EVENTTITLE><EVENTTITLE>"));

    // The same through the window, with a title as an operator may type it.
    writeFile("cbtitle.txt", "Event: <EVENTTITLE>\n");
    loadEvent("<EVENTTITLE> party");
    EXPECT_TRUE(assemble({"cbtitle.txt"}).startsWith("Event: <EVENTTITLE> party party"));
}

} // namespace
