#include "EditingFixture.h"

namespace {

using Key = EventLookup::Key;

const QString NoRecords = u"No records matched your lookup criteria."_s;

// The look-up panel over the main window's logic: events written straight
// into eventinfo, found the way the operator finds them.
class EventLookupTest : public EditingFixture {
protected:
    EventLookup &lookup() { return logic->lookup; }

    int add(int date, const QString &title, const QString &billing = QString(),
            const QString &contact = QString(), double account = 0) {
        const int number = ++m_lastAdded;
        exec(u"evnt"_s,
             u"insert into eventinfo (eventnum, eventdate, eventtitle, status, "
             "custid, custname, contactname) values (?, ?, ?, 2, ?, ?, ?)"_s,
             {number, date, title, account, billing, contact});
        return number;
    }

    // "Lookup" on the command row, then a box filled as typed into it.
    void fill(int box, const QString &text) {
        click(EventCommand::Lookup);
        EventLookup &panel = lookup();
        panel.clickCriterion(box);
        panel.enterCriterion(box);
        panel.typeCriterionKey(box, Key::Other);
        panel.editCriterion(box, text);
        panel.leaveCriterion(box);
    }
    void search(int box, const QString &text) {
        fill(box, text);
        lookup().search();
    }
    // The titles the result list offers, in its order.
    QStringList listedTitles() {
        QStringList titles;
        for (const QString &entry : lookup().results.entries)
            titles << entry.section(u" - "_s, 1, 1);
        return titles;
    }
    // Nothing found: the message, no list, no event, the panel still up.
    void expectNothingFound(const std::string &context) {
        EXPECT_EQ(prompts.messageTexts(), QStringList{NoRecords}) << context;
        EXPECT_EQ(prompts.lastMessage().title, u"Oops..."_s) << context;
        EXPECT_TRUE(lookup().results.entries.isEmpty()) << context;
        EXPECT_EQ(event().EventNumber, 0) << context;
        EXPECT_TRUE(window().lookupVisible) << context;
        prompts.clear();
    }

private:
    int m_lastAdded = 0;
};

TEST_F(EventLookupTest, TextCriteriaMatchLiterallyAndInAnyCase) {
    // Each title to find stands beside one that a wildcard, a bracket set or
    // a case-blind ASCII match would find instead.
    add(20270610, u"Smith's Anniversary"_s);
    add(20270611, u"Smiths Anniversary"_s);
    add(20270301, u"100% Fun Night"_s);
    add(20270302, u"100 Fun Night"_s);
    add(20270715, u"Board_Meeting"_s);
    add(20270716, u"BoardXMeeting"_s);
    add(20270405, u"Star*Gala"_s);
    add(20270406, u"Starry Gala"_s);
    add(20270520, u"[Draft] Lunch"_s);
    add(20270521, u"Draft Lunch"_s);
    add(20270522, u"The \"Big\" Night"_s);
    add(20270523, u"Backup C:\\Events"_s);
    add(20270524, u"WEDDING SHOWER"_s);
    add(20270525, u"ΣΊΣΥΦΟΣ Dinner"_s);
    add(20270526, u"Ohne Umlaut"_s, u"Zoë Adler"_s, u"RENÉE MARTIN"_s);
    add(20270527, u"Plain"_s, u"Zoe Adler"_s, u"Renee Martin"_s);

    const struct {
        int box;
        const char *text;
        QStringList found;
    } cases[] = {
        {EventLookup::TitleBox, "h's Ann", {"Smith's Anniversary"}},
        {EventLookup::TitleBox, "100%", {"100% Fun Night"}},
        {EventLookup::TitleBox, "d_M", {"Board_Meeting"}},
        {EventLookup::TitleBox, "r*G", {"Star*Gala"}},
        {EventLookup::TitleBox, "[Draft]", {"[Draft] Lunch"}},
        {EventLookup::TitleBox, "[", {"[Draft] Lunch"}},
        {EventLookup::TitleBox, "\"Big\"", {"The \"Big\" Night"}},
        {EventLookup::TitleBox, ":\\E", {"Backup C:\\Events"}},
        {EventLookup::TitleBox, "(", {}},
        {EventLookup::TitleBox, "wedd", {"WEDDING SHOWER"}},
        {EventLookup::TitleBox, "σίσυφος", {"ΣΊΣΥΦΟΣ Dinner"}},
        {EventLookup::BillingNameBox, "ZOË", {"Ohne Umlaut"}},
        {EventLookup::ContactNameBox, "renée", {"Ohne Umlaut"}},
        {EventLookup::ContactNameBox, "'", {}},
        {EventLookup::TitleBox, "'); drop table eventinfo; --", {}},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        search(c.box, text);
        const std::string context = std::to_string(c.box) + " " + c.text;
        if (c.found.isEmpty()) {
            expectNothingFound(context);
            continue;
        }
        EXPECT_EQ(listedTitles(), c.found) << context;
        EXPECT_TRUE(lookup().resultsVisible) << context;
        EXPECT_EQ(lookup().results.text, EventLookup::ResultsPrompt) << context;
        EXPECT_TRUE(prompts.messages.isEmpty()) << context;
    }
    EXPECT_EQ(events(), 16);

    // Texts longer than any title, of plain and of accented letters.
    for (const QString &text : {QString(10000, QLatin1Char('a')), QString(10000, QChar(0xEB)),
                                QString(10000, QLatin1Char('[')) + QLatin1Char('\'')}) {
        search(EventLookup::TitleBox, text);
        expectNothingFound("10,000 characters");
    }
}

TEST_F(EventLookupTest, NumberBoxesFindOnlyTheNumberTypedWhole) {
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    // Event 1 and the events a number cut short, wrapped or read up to its
    // first non-digit would open instead.
    add(20270301, u"One"_s);
    add(20250614, u"Two"_s);
    for (int n = 3; n <= 5; ++n)
        add(20250000 + n, u"Other"_s);
    add(20270302, u"Billed"_s, u"Account"_s, QString(), 1042);
    exec(u"evnt"_s, u"insert into eventinfo (eventnum, eventdate, eventtitle) values (-5, "
                    "2025, 'Scratch')"_s);
    const struct {
        int box;
        const char *text;
    } noDates[] = {
        {EventLookup::DateBox, "2025-06-14"}, {EventLookup::DateBox, "20250614abc"},
        {EventLookup::DateBox, "4315217910"}, // 20250614 + 2^32
        {EventLookup::DateBox, "-20250614"},  {EventLookup::NumberBox, "0"},
    };
    for (const auto &c : noDates) {
        search(c.box, QString::fromLatin1(c.text));
        expectNothingFound(std::to_string(c.box) + " " + c.text);
    }
    // Event and account numbers are read whole; the box and the text are named.
    const char *const refusedNumbers[] = {"abc",
                                          "-5",
                                          "1-5",
                                          "2.9",
                                          "1e3",
                                          "4294967297",            // 2^32 + 1
                                          "18446744073709551617"}; // 2^64 + 1
    const char *const refusedAccounts[] = {"abc", "1042abc", "-1042", "1042.005",
                                           "4294968338"}; // 1042 + 2^32
    const auto expectRefused = [&](int box, const char *text) {
        SCOPED_TRACE(std::to_string(box) + " " + text);
        search(box, QString::fromLatin1(text));
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(
            u"%1: \"%2\" "_s.arg(EventLookup::label(box), text)))
            << prompts.lastMessage().text.toStdString();
        EXPECT_TRUE(lookup().results.entries.isEmpty());
        EXPECT_EQ(event().EventNumber, 0);
        EXPECT_TRUE(window().lookupVisible);
        prompts.clear();
    };
    for (const char *text : refusedNumbers)
        expectRefused(EventLookup::NumberBox, text);
    for (const char *text : refusedAccounts)
        expectRefused(EventLookup::AccountBox, text);

    // The same boxes with their numbers find them.
    search(EventLookup::DateBox, u"20250614"_s);
    EXPECT_EQ(listedTitles(), QStringList{u"Two"_s});
    search(EventLookup::AccountBox, u"1042.00"_s);
    EXPECT_EQ(listedTitles(), QStringList{u"Billed"_s});
    search(EventLookup::AccountBox, u"1,042"_s);
    EXPECT_EQ(listedTitles(), QStringList{u"Billed"_s});
    // An event number opens its event at once.
    search(EventLookup::NumberBox, u" 1 "_s);
    EXPECT_EQ(event().EventNumber, 1);
    EXPECT_EQ(box(EventField::Title), u"One"_s);
    EXPECT_FALSE(window().lookupVisible);
    EXPECT_TRUE(window().billingVisible);
    EXPECT_FALSE(lookup().resultsVisible);
    EXPECT_TRUE(lookup().results.entries.isEmpty());
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(EventLookupTest, ABillingNameListsEveryMatchOldestFirst) {
    const int november = add(20271105, u"Harvest"_s, u"Harper Family"_s, u"Jo Harper"_s);
    const int january = add(20270115, u"Skating"_s, u"Harper Family"_s);
    const int juneLater = add(20270620, u"Picnic"_s, u"harper family"_s, u"Al Harper"_s);
    const int juneEarlier = add(20270620, u"Brunch"_s, u"Harper Family"_s);
    add(20270301, u"Unrelated"_s, u"Lee"_s);
    search(EventLookup::BillingNameBox, u"harper"_s);
    EXPECT_EQ(
        lookup().results.entries,
        (QStringList{u"%1 - Skating - 20270115 - Harper Family - "_s.arg(january),
                     u"%1 - Picnic - 20270620 - harper family - Al Harper"_s.arg(juneLater),
                     u"%1 - Brunch - 20270620 - Harper Family - "_s.arg(juneEarlier),
                     u"%1 - Harvest - 20271105 - Harper Family - Jo Harper"_s.arg(november)}));
    EXPECT_EQ(lookup().resultCount, u"4 events found"_s);
    EXPECT_TRUE(window().lookupVisible);
    EXPECT_EQ(event().EventNumber, 0) << "nothing opens before an entry is chosen";

    // The third entry chosen: the panel closes and the event is shown.
    lookup().chooseResult(2);
    EXPECT_EQ(event().EventNumber, juneEarlier);
    EXPECT_EQ(box(EventField::Title), u"Brunch"_s);
    EXPECT_FALSE(window().lookupVisible);
    EXPECT_FALSE(lookup().resultsVisible);
    EXPECT_TRUE(lookup().results.entries.isEmpty());
    EXPECT_EQ(lookup().results.text, EventLookup::ResultsPrompt);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(EventLookupTest, OnlyOneBoxIsEverInUse) {
    EventLookup &panel = lookup();
    for (int typed = 0; typed < EventLookup::BoxCount; ++typed) {
        for (int box = 0; box < EventLookup::BoxCount; ++box)
            panel.criteria[box] = u"x%1"_s.arg(box);
        panel.typeCriterionKey(typed, Key::Tab);
        EXPECT_EQ(panel.criteria[(typed + 1) % EventLookup::BoxCount],
                  u"x%1"_s.arg((typed + 1) % EventLookup::BoxCount))
            << "moving on empties nothing";
        EXPECT_TRUE(panel.typeCriterionKey(typed, Key::Other));
        for (int box = 0; box < EventLookup::BoxCount; ++box)
            EXPECT_EQ(panel.criteria[box], box == typed ? u"x%1"_s.arg(box) : QString())
                << typed << " " << box;
    }

    // A click empties every box and hides the list.
    panel.criteria.fill(u"x"_s);
    panel.resultsVisible = true;
    panel.clickCriterion(EventLookup::TitleBox);
    EXPECT_EQ(panel.criteria, (std::array<QString, EventLookup::BoxCount>{}));
    EXPECT_FALSE(panel.resultsVisible);

    // Enter presses Lookup; with every box empty it ends with the message.
    click(EventCommand::Lookup);
    EXPECT_FALSE(panel.typeCriterionKey(EventLookup::ContactNameBox, Key::Enter));
    expectNothingFound("every box empty");
    panel.criteria[EventLookup::ContactNameBox] = u"   "_s;
    panel.search();
    expectNothingFound("blanks only");
}

TEST_F(EventLookupTest, TheDateAndAccountBoxesTakeTheirLookupsChoice) {
    const int tasting = add(20260610, u"Tasting"_s);
    add(20270610, u"Next year"_s);
    add(20270611, u"Billed to 1042"_s, QString(), QString(), 1042);
    EventLookup &panel = lookup();
    click(EventCommand::Lookup);

    // Month and day alone are this year's (the clock says 2026).
    panel.enterCriterion(EventLookup::DateBox);
    EXPECT_EQ(panel.criterionColor[EventLookup::DateBox], EventWindow::Yellow);
    panel.editCriterion(EventLookup::DateBox, u"0610"_s);
    panel.leaveCriterion(EventLookup::DateBox);
    EXPECT_EQ(panel.criterionColor[EventLookup::DateBox], EventWindow::White);
    EXPECT_EQ(panel.criteria[EventLookup::DateBox], u"20260610"_s);
    panel.editCriterion(EventLookup::TitleBox, u"061"_s);
    panel.leaveCriterion(EventLookup::TitleBox);
    EXPECT_EQ(panel.criteria[EventLookup::TitleBox], u"061"_s)
        << "only the date box takes the year";
    panel.criteria[EventLookup::TitleBox].clear();
    panel.search();
    EXPECT_EQ(panel.results.entries, QStringList{u"%1 - Tasting - 20260610 -  - "_s.arg(tasting)});
    EXPECT_EQ(panel.resultCount, u"1 event found"_s);
    // Enter in the box searches at once, with the year as leaving it gives.
    panel.clickCriterion(EventLookup::DateBox);
    panel.editCriterion(EventLookup::DateBox, u"0610"_s);
    EXPECT_FALSE(panel.typeCriterionKey(EventLookup::DateBox, Key::Enter));
    EXPECT_EQ(panel.criteria[EventLookup::DateBox], u"20260610"_s);
    EXPECT_EQ(listedTitles(), QStringList{u"Tasting"_s});

    // F5 starts the look-up program of the box.
    for (int box = 0; box < EventLookup::BoxCount; ++box)
        panel.pressCriterionKey(box, Key::F5);
    EXPECT_EQ(programs.started, (QStringList{u"datesift.exe"_s, u"acctsift.exe"_s}));

    // A double click takes the look-up's choice from the clipboard.
    clipboard.content = u"1042.00"_s;
    panel.doubleClickCriterion(EventLookup::TitleBox);
    EXPECT_EQ(clipboard.content, u"1042.00"_s) << "the title box takes nothing";
    panel.clickCriterion(EventLookup::AccountBox);
    panel.doubleClickCriterion(EventLookup::AccountBox);
    EXPECT_EQ(panel.criteria[EventLookup::AccountBox], u"1042.00"_s);
    EXPECT_TRUE(clipboard.content.isEmpty());
    panel.search();
    EXPECT_EQ(listedTitles(), QStringList{u"Billed to 1042"_s});
    clipboard.content = u"20270610"_s;
    panel.clickCriterion(EventLookup::DateBox);
    panel.doubleClickCriterion(EventLookup::DateBox);
    panel.search();
    EXPECT_EQ(listedTitles(), QStringList{u"Next year"_s});

    // Cancel Lookup hides the panel and empties the list.
    panel.cancel();
    EXPECT_FALSE(window().lookupVisible);
    EXPECT_FALSE(panel.resultsVisible);
    EXPECT_TRUE(panel.results.entries.isEmpty());
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(EventLookupTest, AnEventDeletedAtAnotherWorkstationIsSaidToBeGone) {
    const int gone = add(20270301, u"Spring Gala"_s);
    const int kept = add(20270302, u"Spring Lunch"_s);
    search(EventLookup::TitleBox, u"spring"_s);
    ASSERT_EQ(listedTitles(), (QStringList{u"Spring Gala"_s, u"Spring Lunch"_s}));

    // Another workstation deletes the first after the list was made.
    ScriptedPrompts otherPrompts;
    Module other(settings(),
                 Ports{otherPrompts, clipboard, programs, clock, keys, printer, screen});
    {
        auto db = other.databases.open(u"evnt"_s);
        ASSERT_TRUE(db.ok());
        ASSERT_TRUE(
            db.value()->execute(u"delete from eventinfo where eventnum = ?"_s, {gone}).ok());
    }

    lookup().chooseResult(0);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().text,
              u"Event #%1 is no longer on file; it may have been deleted at another "
              "workstation."_s.arg(gone));
    EXPECT_EQ(prompts.lastMessage().title, u"Oops..."_s);
    EXPECT_EQ(event().EventNumber, 0);
    EXPECT_TRUE(window().lookupVisible) << "the look-up stays up, not an empty window";
    EXPECT_EQ(listedTitles(), QStringList{u"Spring Lunch"_s});
    prompts.clear();

    lookup().chooseResult(0);
    EXPECT_EQ(event().EventNumber, kept);
    EXPECT_FALSE(window().lookupVisible);

    // A number search for an event deleted meanwhile finds nothing.
    {
        auto db = other.databases.open(u"evnt"_s);
        ASSERT_TRUE(
            db.value()->execute(u"delete from eventinfo where eventnum = ?"_s, {kept}).ok());
    }
    search(EventLookup::NumberBox, QString::number(kept));
    expectNothingFound("number of a deleted event");
    EXPECT_TRUE(otherPrompts.messages.isEmpty());
}

} // namespace
