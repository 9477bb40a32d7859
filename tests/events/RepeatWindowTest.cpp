#include "events/RepeatWindow.h"

#include "EditingFixture.h"
#include "RunningWindow.h"
#include "events/SeriesChangeWindow.h"

namespace {

constexpr int Library = 3;
using Kind = RepeatRule::Kind;

// The Rotary's Wednesday lunch in the Library, with the Book Club in the
// way on two later Wednesdays, repeated from the main window.
class RepeatWindowTest : public EditingFixture {
protected:
    void SetUp() override {
        EditingFixture::SetUp();
        clock.current = QDateTime(QDate(2027, 3, 1), QTime(9, 0));
        lunch = booked(u"20270303"_s, u"Rotary Club Lunch"_s, u"12:00"_s, u"13:30"_s, Library);
        for (const QString &date : {u"20270317"_s, u"20270421"_s})
            bookClubs << booked(date, u"Book Club"_s, u"12:00"_s, u"13:00"_s, Library);
        ASSERT_TRUE(logic->ShowEvent(lunch));
    }

    RepeatWindow &repeat() { return logic->repeat; }
    QStringList shownRows() {
        QStringList shown;
        for (const RepeatWindow::Row &row : repeat().rows)
            shown << row.date + u" | "_s + row.outcome;
        return shown;
    }
    QString bookClub(int k) {
        return u"The room is booked: Event #%1 \"Book Club\", room 3, 12:00-13:00."_s.arg(
            bookClubs[k]);
    }

    int lunch = 0;
    QList<int> bookClubs;
};

TEST_F(RepeatWindowTest, EachRuleEnteredShowsItsDatesAndWhatStandsInTheWay) {
    // Only a saved, unchanged event is repeated.
    click(EventCommand::NewEvent);
    EXPECT_FALSE(repeat().open());
    ASSERT_TRUE(logic->ShowEvent(lunch));
    click(EventCommand::Modify);
    type(EventField::Title, u"Rotary Lunch"_s);
    EXPECT_FALSE(repeat().open());
    EXPECT_EQ(prompts.messageTexts(),
              (QStringList{u"Recall the original reservation first, then repeat it."_s,
                           u"You must first save your changes."_s}));
    prompts.answerYesNo(true); // Cancel changes?
    click(EventCommand::ClearScreen);
    const int lastOfMarch =
        booked(u"20270331"_s, u"Quarter Close"_s, u"17:00"_s, u"18:00"_s, Library);
    prompts.clear();

    struct Case {
        const char *what;
        int original;
        std::function<void(RepeatWindow &)> enter;
        QStringList rows; // the first and the last shown, and any refused
        const char *notice;
        const char *summary;
    };
    const Case cases[] = {
        {"ten more Wednesdays, two of them taken",
         lunch,
         [](RepeatWindow &w) {
             w.editCount(u"10"_s);
             w.recompute();
         },
         {u"Wed 03/10/2027 | Free"_s, u"Wed 03/17/2027 | "_s + bookClub(0),
          u"Wed 04/21/2027 | "_s + bookClub(1), u"Wed 05/12/2027 | Free"_s},
         "",
         "8 of 10 dates are free; 2 cannot be saved."},
        {"Wednesdays and Fridays until the end of March",
         lunch,
         [](RepeatWindow &w) {
             w.setWeekday(5, true);
             w.chooseEnding(RepeatWindow::Ending::Until);
             w.editUntil(QDate(2027, 3, 31));
             w.recompute();
         },
         {u"Fri 03/05/2027 | Free"_s, u"Wed 03/17/2027 | "_s + bookClub(0),
          u"Wed 03/31/2027 | Free"_s},
         "",
         "7 of 8 dates are free; 1 cannot be saved."},
        {"monthly on the 31st passes over the short months",
         lastOfMarch,
         [](RepeatWindow &w) {
             w.chooseKind(Kind::MonthlyByDate);
             w.editCount(u"6"_s);
             w.recompute();
         },
         {u"Mon 05/31/2027 | Free"_s, u"Mon 01/31/2028 | The calendar year 2028 is not set up."_s},
         "Passed over, having no 31st: April 2027, June 2027, September 2027, and November 2027.",
         "5 of 6 dates are free; 1 cannot be saved."},
        {"500 copies",
         lunch,
         [](RepeatWindow &w) {
             w.editCount(u"500"_s);
             w.recompute();
         },
         {},
         "At most 120 repeats are made at once.",
         ""},
        {"nothing after the original",
         lastOfMarch,
         [](RepeatWindow &w) {
             w.chooseKind(Kind::MonthlyByDate);
             w.chooseEnding(RepeatWindow::Ending::Until);
             w.editUntil(QDate(2027, 4, 30));
             w.recompute();
         },
         {},
         "The rule gives no date after the original.",
         ""},
        {"dates picked, one of them twice",
         lunch,
         [](RepeatWindow &w) {
             w.chooseKind(Kind::Picked);
             for (const QDate &date :
                  {QDate(2027, 4, 21), QDate(2027, 2, 24), QDate(2027, 6, 2), QDate(2027, 2, 24)})
                 w.pickDate(date);
         },
         {u"Wed 04/21/2027 | "_s + bookClub(1), u"Wed 06/02/2027 | Free"_s},
         "",
         "1 of 2 dates are free; 1 cannot be saved."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(logic->ShowEvent(c.original));
        ASSERT_TRUE(repeat().open());
        c.enter(repeat());
        const QStringList shown = shownRows();
        QStringList seen;
        for (const QString &row : shown)
            if (row == shown.first() || row == shown.last() || !row.endsWith(u"| Free"_s))
                seen << row;
        EXPECT_EQ(seen, c.rows);
        EXPECT_EQ(repeat().notice, QString::fromUtf8(c.notice));
        EXPECT_EQ(repeat().summary, QString::fromUtf8(c.summary));
        EXPECT_EQ(repeat().saveEnabled, !QString::fromUtf8(c.summary).isEmpty());
        for (const RepeatWindow::Row &row : repeat().rows)
            EXPECT_EQ(row.foreground, row.outcome == u"Free"_s ? RepeatWindow::PlainText
                                                               : RepeatWindow::RefusedText);
        repeat().close();
    }
    EXPECT_EQ(prompts.messageTexts(), QStringList());

    // Typing waits for the next key before the dates are worked out again.
    ASSERT_TRUE(logic->ShowEvent(lunch));
    ASSERT_TRUE(repeat().open());
    const QStringList before = shownRows();
    repeat().editCount(u"1"_s);
    repeat().editCount(u"12"_s);
    EXPECT_TRUE(repeat().previewTimer.isActive());
    EXPECT_EQ(shownRows(), before);
    repeat().recompute();
    EXPECT_EQ(repeat().rows.size(), 12);
}

// Saved: exactly the dates still free, each copy in the series and the
// package with the original; a date booked at another workstation after
// the preview is refused by its copy's save and named. Then a change of
// times to the later lunches leaves the billed one and names it.
TEST_F(RepeatWindowTest, TheFreeDatesAreSavedAndTheSeriesChangedLaterOn) {
    ASSERT_TRUE(repeat().open());
    repeat().editCount(u"10"_s);
    repeat().recompute();
    ASSERT_EQ(repeat().summary, u"8 of 10 dates are free; 2 cannot be saved."_s);
    // Another workstation books the last Wednesday meanwhile.
    const int intruder = booked(u"20270512"_s, u"Garden Club"_s, u"11:00"_s, u"12:30"_s, Library);
    ASSERT_TRUE(logic->ShowEvent(lunch));
    const int numbersBefore = lastNumber;
    prompts.clear();

    prompts.answerYesNo(false); // 2 of the 10 dates cannot be saved: save none
    EXPECT_FALSE(repeat().saveFreeDates());
    EXPECT_EQ(count(u"select count(*) from eventseries"_s), 0);
    prompts.answerYesNo(true);
    EXPECT_TRUE(repeat().saveFreeDates());
    EXPECT_EQ(prompts.questions.last().text,
              u"2 of the 10 dates cannot be saved.\r\nClick YES to save the 8 free dates; "
              "click NO to save none."_s);

    const QList<QVariant> copies =
        column(u"evnt"_s,
               u"select eventnum from eventinfo where eventtitle = 'Rotary Club Lunch' and "
               "eventnum <> ? order by eventdate"_s,
               {lunch});
    ASSERT_EQ(copies.size(), 7) << told();
    EXPECT_EQ(column(u"evnt"_s, u"select eventdate from eventinfo where eventnum in (select "
                                "eventnum from eventseries where eventnum <> seriesnum) order "
                                "by eventdate"_s),
              (QVariantList{20270310, 20270324, 20270331, 20270407, 20270414, 20270428, 20270505}));
    EXPECT_EQ(count(u"select count(*) from eventseries where seriesnum = ?"_s, {lunch}), 8);
    EXPECT_EQ(count(u"select count(*) from pkg where pkgnum = ?"_s, {lunch}), 8);
    EXPECT_EQ(cells(Library, 20270512), (QStringList{u"11:00 %1 Garden Club"_s.arg(intruder),
                                                     u"11:15 %1 Garden Club"_s.arg(intruder),
                                                     u"11:30 %1 Garden Club"_s.arg(intruder),
                                                     u"11:45 %1 Garden Club"_s.arg(intruder),
                                                     u"12:00 %1 Garden Club"_s.arg(intruder),
                                                     u"12:15 %1 Garden Club"_s.arg(intruder)}))
        << "nothing of the refused copy";
    EXPECT_EQ(event().EventNumber, lunch) << "the original is shown again";
    EXPECT_FALSE(event().UnsavedChanges);
    EXPECT_GT(copies.first().toInt(), numbersBefore);
    const QString report =
        u"7 copies saved as events #%1 to #%2, a series with #%3.\nWed 05/12/2027 was not "
        "saved. The room is booked: Event #%4 \"Garden Club\", room 3, 11:00-12:30."_s
            .arg(copies.first().toInt())
            .arg(copies.last().toInt())
            .arg(lunch)
            .arg(intruder);
    EXPECT_EQ(repeat().statusText, report);
    EXPECT_EQ(prompts.lastMessage().text, report);
    EXPECT_FALSE(repeat().saveEnabled) << "saved once until the rule changes";
    repeat().close();

    // The series from the second copy on.
    SeriesChangeWindow &series = logic->seriesChange;
    ASSERT_TRUE(logic->ShowEvent(bookClubs[0]));
    EXPECT_FALSE(series.inSeries);
    EXPECT_FALSE(series.open());
    EXPECT_EQ(prompts.lastMessage().text, u"Event #%1 is not one of a series."_s.arg(bookClubs[0]));
    const int second = copies[1].toInt();
    const int billed = copies[3].toInt();
    exec(u"evnt"_s, u"update eventinfo set status = 5 where eventnum = ?"_s, {billed});
    ASSERT_TRUE(logic->ShowEvent(second));
    EXPECT_TRUE(series.inSeries);
    ASSERT_TRUE(series.open());
    EXPECT_EQ(series.later.size(), 5);
    EXPECT_EQ(series.later[1].date, u"Wed 04/07/2027"_s);
    prompts.clear();

    // A time between the quarter-hours is refused before anything is saved.
    series.editValue(SeriesValue::Start, u"12:10"_s);
    series.editValue(SeriesValue::End, u"14:00"_s);
    EXPECT_FALSE(series.apply());
    EXPECT_EQ(prompts.lastMessage().text,
              u"Start time: 12:10 is not on a quarter-hour. Rooms are booked by the "
              "quarter-hour: use 12:00 or 12:15."_s);
    series.editValue(SeriesValue::Start, u"12:30"_s);
    EXPECT_TRUE(series.apply());
    EXPECT_EQ(series.statusText,
              u"Changed: #%1, #%2, #%3, and #%4.\n#%5 on Wed 04/07/2027 is billed and was left "
              "as it is."_s.arg(copies[2].toInt())
                  .arg(copies[4].toInt())
                  .arg(copies[5].toInt())
                  .arg(copies[6].toInt())
                  .arg(billed));
    for (qsizetype k = 0; k < copies.size(); ++k)
        EXPECT_EQ(stored(u"starttime"_s, copies[k].toInt()),
                  k >= 2 && copies[k].toInt() != billed ? u"12:30"_s : u"12:00"_s)
            << k;
    EXPECT_EQ(cells(Library, 20270505).first(),
              u"12:30 %1 Rotary Club Lunch"_s.arg(copies[6].toInt()));
    EXPECT_EQ(event().EventNumber, second);
}

} // namespace

namespace {

// On the demo club as the office finds it: the wedding's rehearsal dinner
// cloned from the reception without its menu or numbers, in the wedding's
// package; the Rotary's lunch repeated every Wednesday for ten weeks, the two
// Wednesdays its room is taken named before saving, the eight others saved as
// one package; the series moved to 12:30; and the ballroom's hour of
// clearing after the wedding reception keeping a late booking out with a
// caution naming it. One scenario, since the demo club is slow to make.
class DemoRelatedEventsTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
    void SetUp() override {
        ClubFixture::SetUp();
        running.start(*module, club, u"demo-repeat"_s);
    }
    void TearDown() override {
        running.stop();
        ClubFixture::TearDown();
    }
    QString stored(const QString &column, int number) {
        return scalar(u"evnt"_s, u"select %1 from eventinfo where eventnum = ?"_s.arg(column),
                      {number})
            .toString();
    }
    int count(const QString &table, int number) {
        return scalar(u"evnt"_s,
                      u"select count(*) from %1 where %2 = ?"_s.arg(
                          table, table == u"items"_s ? u"eventid"_s : u"eventnum"_s),
                      {number})
            .toInt();
    }

    RunningWindow running;
};

TEST_F(DemoRelatedEventsTest, TheRehearsalDinnerTheRotarySeriesAndTheBallroomsTurnover) {
    MainWindowLogic &logic = *running.logic;

    // The reception cloned for the Friday before, taking neither its menu
    // nor its numbers, into the wedding's package.
    const int reception = eventNumber(u"Sullivan-Park Reception"_s);
    const int ceremony = eventNumber(u"Sullivan-Park Wedding Ceremony"_s);
    ASSERT_TRUE(logic.ShowEvent(reception));
    const int items = count(u"items"_s, reception);
    const int lines = count(u"eventpayment"_s, reception);
    ASSERT_GT(items, 0);
    ASSERT_GT(lines, 0);
    const QDate friday =
        QDate::fromString(stored(u"eventdate"_s, reception), u"yyyyMMdd"_s).addDays(-1);
    prompts.answerInput(friday.toString(u"yyyyMMdd"_s));
    prompts.answerOptions(QStringList{u"Contact and billing"_s, u"Notes"_s,
                                      u"Link into the package of #%1"_s.arg(reception)});
    logic.wholeEvent.cloneEvent();
    // The rehearsal dinner holds the room that evening: the clone waits
    // for a lunchtime.
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        u"The chosen time and room combination is already in use."_s));
    CurrentEvent &event = module->event;
    event.fields[EventField::Start] = u"11:00"_s;
    event.fields[EventField::End] = u"14:00"_s;
    logic.editor.run(EventCommand::Save);
    const int clone = event.EventNumber;
    ASSERT_EQ(stored(u"eventdate"_s, clone), friday.toString(u"yyyyMMdd"_s));
    EXPECT_EQ(count(u"items"_s, clone), 0);
    EXPECT_EQ(count(u"eventpayment"_s, clone), 0);
    EXPECT_EQ(stored(u"setfor"_s, clone) + stored(u"guarantee"_s, clone), u"00"_s);
    EXPECT_EQ(stored(u"contactname"_s, clone), stored(u"contactname"_s, reception));
    EXPECT_EQ(scalar(u"evnt"_s, u"select pkgnum from pkg where eventnum = ?"_s, {clone}).toInt(),
              ceremony);
    EXPECT_EQ(count(u"items"_s, reception), items);
    EXPECT_EQ(count(u"eventpayment"_s, reception), lines);
    prompts.clear();

    // A cancelled event is not repeated: its copies would hold nothing.
    ASSERT_TRUE(logic.ShowEvent(eventNumber(u"Cancelled: Delgado Birthday"_s)));
    EXPECT_FALSE(logic.repeat.open());
    EXPECT_TRUE(prompts.lastMessage().text.endsWith(u"a cancelled event is not repeated."_s));

    const int lunch = eventNumber(u"Rotary Club Weekly Lunch"_s);
    ASSERT_TRUE(logic.ShowEvent(lunch));
    RepeatWindow &repeat = logic.repeat;
    ASSERT_TRUE(repeat.open());
    repeat.editCount(u"10"_s);
    repeat.recompute();
    QStringList refused;
    for (const RepeatWindow::Row &row : repeat.rows)
        if (row.outcome != u"Free"_s)
            refused << row.outcome;
    EXPECT_EQ(refused.size(), 2);
    EXPECT_TRUE(refused.value(0).contains(u"Ladies' Nine-Hole League Luncheon"_s));
    EXPECT_TRUE(refused.value(1).contains(u"Red Cross Blood Drive"_s));
    EXPECT_EQ(repeat.summary, u"8 of 10 dates are free; 2 cannot be saved."_s);
    prompts.answerYesNo(true); // save the free ones
    ASSERT_TRUE(repeat.saveFreeDates());
    const QList<QVariant> copies = column(
        u"evnt"_s, u"select eventnum from eventseries where seriesnum = ? and eventnum <> ?"_s,
        {lunch, lunch});
    EXPECT_EQ(copies.size(), 8);
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from pkg where pkgnum = ?"_s, {lunch}).toInt(),
              9);

    // The whole series to 12:30, from the original on.
    ASSERT_TRUE(logic.ShowEvent(lunch));
    SeriesChangeWindow &series = logic.seriesChange;
    ASSERT_TRUE(series.open());
    series.editValue(SeriesValue::Start, u"12:30"_s);
    series.editValue(SeriesValue::End, u"14:00"_s);
    ASSERT_TRUE(series.apply());
    EXPECT_EQ(rowTexts(u"evnt"_s,
                       u"select distinct starttime from eventinfo e join eventseries s on "
                       "s.eventnum = e.eventnum where s.seriesnum = ? and e.eventnum <> ?"_s,
                       {lunch, lunch}),
              QStringList{u"12:30"_s});

    // A late supper in the ballroom half an hour after the wedding ends.
    const int wedding = eventNumber(u"Lindqvist Wedding Reception"_s);
    const QString date =
        scalar(u"evnt"_s, u"select eventdate from eventinfo where eventnum = ?"_s, {wedding})
            .toString();
    EventRecord record(*module);
    record.ClearEvent();
    ASSERT_GT(record.NextEventNumber(), 0);
    auto &fields = module->event.fields;
    fields[EventField::Date] = date;
    fields[EventField::Title] = u"Late Supper"_s;
    fields[EventField::Start] = u"23:30"_s;
    fields[EventField::End] = u"CLOSE"_s;
    fields[EventField::Status] = u"2"_s;
    fields[EventField::ContactName] = u"Karin Lindqvist"_s;
    fields[EventField::ContactPhone1] = u"215-555-0161"_s;
    record.chooseRoom(1);
    prompts.clear();
    prompts.answerYesNo(false);
    EXPECT_EQ(record.SaveEvent(EventRecord::NewEvent), EventRecord::Saved::Declined);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].text.startsWith(
        u"Caution - The Grand Ballroom is being cleared after the Lindqvist Wedding Reception "
        "until 00:00."_s))
        << prompts.questions[0].text.toStdString();
}

} // namespace
