#include "EditingFixture.h"

namespace {

using Key = EventLookup::Key;

// The look-up panel over the main window's logic: events written straight
// into eventinfo, found the way the operator finds them.
class EventLookupTest : public EditingFixture {
protected:
    EventLookup &lookup() { return logic->lookup; }

    int add(int date, const QString &title, const QString &billing = QString(),
            const QString &contact = QString(), double account = 0) {
        exec(u"evnt"_s,
             u"insert into eventinfo (eventnum, eventdate, eventtitle, status, "
             "custid, custname, contactname) values (?, ?, ?, 2, ?, ?, ?)"_s,
             {++m_lastAdded, date, title, account, billing, contact});
        return m_lastAdded;
    }
    // "Lookup" on the command row, a box filled as typed into it, the search.
    void search(int box, const QString &text) {
        click(EventCommand::Lookup);
        const EventWindow &shown = window();
        EXPECT_TRUE(shown.lookupVisible && !shown.reservationsVisible && !shown.billingVisible &&
                    !shown.contactVisible)
            << "the look-up panel alone";
        EventLookup &panel = lookup();
        panel.clickCriterion(box);
        panel.enterCriterion(box);
        panel.typeCriterionKey(box, Key::Other);
        panel.editCriterion(box, text);
        panel.leaveCriterion(box);
        panel.search();
    }
    QStringList listedTitles() {
        QStringList titles;
        for (const QString &entry : lookup().results.entries)
            titles << entry.section(u" - "_s, 1, 1);
        return titles;
    }
    // Nothing found, or the text refused: the message, no list, no event,
    // the panel still up.
    void expectNothingFound(const std::string &context, const QString &told = QString()) {
        ASSERT_EQ(prompts.messages.size(), 1) << context;
        if (told.isEmpty())
            EXPECT_EQ(prompts.lastMessage().text, u"No records matched your lookup criteria."_s)
                << context;
        else
            EXPECT_TRUE(prompts.lastMessage().text.startsWith(told))
                << context << prompts.lastMessage().text.toStdString();
        EXPECT_EQ(prompts.lastMessage().title, u"Oops..."_s) << context;
        EXPECT_TRUE(lookup().results.entries.isEmpty()) << context;
        EXPECT_EQ(event().EventNumber, 0) << context;
        EXPECT_TRUE(window().lookupVisible) << context;
        prompts.clear();
    }

private:
    int m_lastAdded = 0;
};

// The matching itself is the dialect's (SqlDialectTest); here each text box
// reaches its own column, and a text no title can hold finds nothing.
TEST_F(EventLookupTest, TextBoxesSearchTheirOwnColumn) {
    add(20270301, u"100% Fun Night"_s);
    add(20270302, u"100 Fun Night"_s);
    add(20270524, u"WEDDING SHOWER"_s);
    add(20270526, u"Ohne Umlaut"_s, u"Zoë Adler"_s, u"RENÉE MARTIN"_s);
    add(20270527, u"Plain"_s, u"Zoe Adler"_s, u"Renee Martin"_s);
    const std::tuple<int, const char *, QStringList> cases[] = {
        {EventLookup::TitleBox, "100%", {u"100% Fun Night"_s}},
        {EventLookup::TitleBox, "wedd", {u"WEDDING SHOWER"_s}},
        {EventLookup::BillingNameBox, "ZOË", {u"Ohne Umlaut"_s}},
        {EventLookup::ContactNameBox, "renée", {u"Ohne Umlaut"_s}},
        {EventLookup::TitleBox, "'); drop table eventinfo; --", {}},
    };
    for (const auto &[box, text, found] : cases) {
        search(box, QString::fromUtf8(text));
        if (found.isEmpty()) {
            expectNothingFound(text);
            continue;
        }
        EXPECT_EQ(listedTitles(), found) << text;
        EXPECT_TRUE(lookup().resultsVisible) << text;
        EXPECT_EQ(lookup().results.text, EventLookup::ResultsPrompt) << text;
        EXPECT_TRUE(prompts.messages.isEmpty()) << text;
    }
    EXPECT_EQ(events(), 5);
    for (const QString &text : {QString(10000, QLatin1Char('a')), QString(10000, QChar(0xEB))}) {
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
    for (const char *date : {"2025-06-14", "20250614abc", "4315217910" /* + 2^32 */, "-20250614"}) {
        search(EventLookup::DateBox, QString::fromLatin1(date));
        expectNothingFound(date);
    }
    search(EventLookup::NumberBox, u"0"_s);
    expectNothingFound("event 0");
    // Event and account numbers are read whole; the box and the text are named.
    const std::pair<int, const char *> refused[] = {
        {EventLookup::NumberBox, "-5"},         {EventLookup::NumberBox, "2.9"},
        {EventLookup::NumberBox, "4294967297"}, {EventLookup::AccountBox, "1042abc"},
        {EventLookup::AccountBox, "1042.005"},  {EventLookup::AccountBox, "4294968338"}};
    for (const auto &[box, text] : refused) {
        search(box, QString::fromLatin1(text));
        expectNothingFound(text, u"%1: \"%2\" "_s.arg(EventLookup::label(box), text));
    }

    search(EventLookup::DateBox, u"20250614"_s);
    EXPECT_EQ(listedTitles(), QStringList{u"Two"_s});
    search(EventLookup::AccountBox, u"1,042.00"_s);
    EXPECT_EQ(listedTitles(), QStringList{u"Billed"_s});
    // An event number opens its event at once.
    search(EventLookup::NumberBox, u" 1 "_s);
    EXPECT_EQ(event().EventNumber, 1);
    EXPECT_EQ(box(EventField::Title), u"One"_s);
    EXPECT_FALSE(window().lookupVisible);
    EXPECT_TRUE(window().billingVisible);
    EXPECT_FALSE(lookup().resultsVisible);
    EXPECT_TRUE(lookup().results.entries.isEmpty());
    EXPECT_TRUE(prompts.messages.isEmpty()) << told();
}

TEST_F(EventLookupTest,
       ABillingNameListsEveryMatchOldestFirstAndAnEntryDeletedSinceIsSaidToBeGone) {
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
    EXPECT_EQ(event().EventNumber, 0) << "nothing opens before an entry is chosen";

    // Another workstation deletes the first after the list was made.
    exec(u"evnt"_s, u"delete from eventinfo where eventnum = ?"_s, {january});
    lookup().chooseResult(0);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"Event #%1 is no longer on file; it may have been deleted at another "
                          "workstation."_s.arg(january)});
    EXPECT_EQ(prompts.lastMessage().title, u"Oops..."_s);
    EXPECT_EQ(event().EventNumber, 0);
    EXPECT_TRUE(window().lookupVisible) << "the look-up stays up, not an empty window";
    EXPECT_EQ(listedTitles(), (QStringList{u"Picnic"_s, u"Brunch"_s, u"Harvest"_s}));
    prompts.clear();

    lookup().chooseResult(1);
    EXPECT_EQ(event().EventNumber, juneEarlier);
    EXPECT_EQ(box(EventField::Title), u"Brunch"_s);
    EXPECT_FALSE(window().lookupVisible);
    EXPECT_FALSE(lookup().resultsVisible);
    EXPECT_TRUE(lookup().results.entries.isEmpty());
    EXPECT_TRUE(prompts.messages.isEmpty()) << told();

    // A number search for an event deleted meanwhile finds nothing.
    exec(u"evnt"_s, u"delete from eventinfo where eventnum = ?"_s, {juneEarlier});
    search(EventLookup::NumberBox, QString::number(juneEarlier));
    expectNothingFound("number of a deleted event");
}

TEST_F(EventLookupTest, OnlyOneBoxIsEverInUse) {
    EventLookup &panel = lookup();
    for (int typed = 0; typed < EventLookup::BoxCount; ++typed) {
        for (int box = 0; box < EventLookup::BoxCount; ++box)
            panel.criteria[box] = u"x%1"_s.arg(box);
        const int next = (typed + 1) % EventLookup::BoxCount;
        panel.typeCriterionKey(typed, Key::Tab);
        EXPECT_EQ(panel.criteria[next], u"x%1"_s.arg(next)) << "moving on empties nothing";
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

    // F5 starts the look-up program of the box; a double click takes its
    // choice from the clipboard.
    for (int box = 0; box < EventLookup::BoxCount; ++box)
        panel.pressCriterionKey(box, Key::F5);
    EXPECT_EQ(programs.started, (QStringList{u"datesift.exe"_s, u"acctsift.exe"_s}));
    clipboard.content = u"1042.00"_s;
    panel.doubleClickCriterion(EventLookup::TitleBox);
    EXPECT_EQ(clipboard.content, u"1042.00"_s) << "the title box takes nothing";
    panel.clickCriterion(EventLookup::AccountBox);
    panel.doubleClickCriterion(EventLookup::AccountBox);
    EXPECT_TRUE(clipboard.content.isEmpty());
    panel.search();
    EXPECT_EQ(listedTitles(), QStringList{u"Billed to 1042"_s});
    clipboard.content = u"20270610"_s;
    panel.clickCriterion(EventLookup::DateBox);
    panel.doubleClickCriterion(EventLookup::DateBox);
    panel.search();
    EXPECT_EQ(listedTitles(), QStringList{u"Next year"_s});

    panel.cancel();
    EXPECT_FALSE(window().lookupVisible);
    EXPECT_FALSE(panel.resultsVisible);
    EXPECT_TRUE(panel.results.entries.isEmpty());
    EXPECT_TRUE(prompts.messages.isEmpty()) << told();
}

} // namespace
