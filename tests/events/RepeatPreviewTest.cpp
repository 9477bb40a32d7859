#include "events/RepeatPreview.h"

#include "EventFixture.h"
#include "Workstation.h"
#include "calendar/RoomBuffers.h"
#include "events/EventSeries.h"
#include "events/RepeatRule.h"
#include "storage/Databases.h"
#include "values/DateNumber.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int Library = 3;
} // namespace

namespace {

class RepeatPreviewTest : public EventFixture {};

// The Rotary's Wednesday lunch repeated weekly: each date's outcome is
// known before anything is saved.
TEST_F(RepeatPreviewTest, EachDateIsFreeOrSaysWhatStandsInTheWay) {
    clock.current = QDateTime(QDate(2027, 3, 10), QTime(9, 0));
    ASSERT_EQ(book(u"20270317"_s, u"Book Club"_s, u"11:00"_s, u"12:30"_s, Library, 2),
              EventRecord::Saved::Done);
    ASSERT_EQ(book(u"20270331"_s, u"Wine Tasting"_s, u"14:00"_s, u"15:00"_s, Library, 2),
              EventRecord::Saved::Done);
    auto evnt = std::move(module->databases.open(u"evnt"_s).value());
    ASSERT_TRUE(RoomBuffers::write(*evnt, Library, {45, 0}).ok());

    RepeatRule weekly;
    weekly.until = QDate(2028, 1, 5);
    weekly.count = 0;
    auto dates = std::get<RepeatRule::Expansion>(weekly.expand(QDate(2027, 3, 3))).dates;
    // A date already past, and the first of the year not set up.
    dates = {
        QDate(2027, 3, 3).addDays(-7), dates[0], dates[1], dates[2], dates[3], QDate(2028, 1, 5)};
    SlotBooking::SlotRequest lunch{20270303, u"12:00"_s, u"13:30"_s, 2, 0, Library, 0};
    const auto outcomes =
        *RepeatPreview::outcomes(*evnt, lunch, u"Library"_s, dates, clock.today());
    QStringList shown;
    for (const RepeatOutcome &outcome : outcomes)
        shown << outcome.date.toString(u"yyyyMMdd"_s) + u' ' + outcome.text;
    EXPECT_EQ(
        shown,
        (QStringList{u"20270224 The date has passed."_s, u"20270310 "_s,
                     u"20270317 The room is booked: Event #1 \"Book Club\", room 3, 11:00-12:30."_s,
                     u"20270324 "_s,
                     u"20270331 The Library is being set for the Wine Tasting "
                     "from 13:15."_s,
                     u"20280105 The calendar year 2028 is not set up."_s}));
    QList<bool> saveable;
    for (const RepeatOutcome &outcome : outcomes)
        saveable << outcome.saveable();
    EXPECT_EQ(saveable, (QList<bool>{false, true, false, true, true, false}));

    // An enquiry's copies hold no room: only the past and the calendar's
    // years stand in their way.
    lunch.status = 1;
    QList<RepeatOutcome::Kind> kinds;
    const auto enquiries =
        *RepeatPreview::outcomes(*evnt, lunch, u"Library"_s, dates, clock.today());
    for (const RepeatOutcome &outcome : enquiries)
        kinds << outcome.kind;
    using Kind = RepeatOutcome::Kind;
    EXPECT_EQ(kinds, (QList<Kind>{Kind::InPast, Kind::Free, Kind::Free, Kind::Free, Kind::Free,
                                  Kind::YearNotSetUp}));
}

} // namespace

namespace {

class RepeatSaveTest : public EventFixture {};

// Ten more Wednesdays of the lunch, two of them taken: the eight free ones
// are saved as copies in one series and one package with the original.
TEST_F(RepeatSaveTest, TheFreeDatesAreSavedAsOneSeriesInTheOriginalsPackage) {
    clock.current = QDateTime(QDate(2027, 3, 1), QTime(9, 0));
    ASSERT_EQ(book(u"20270303"_s, u"Rotary Club Lunch"_s, u"12:00"_s, u"13:30"_s, Library, 2),
              EventRecord::Saved::Done);
    const int lunch = lastNumber;
    for (const char *date : {"20270317", "20270421"})
        ASSERT_EQ(
            book(QString::fromLatin1(date), u"Book Club"_s, u"12:00"_s, u"13:00"_s, Library, 2),
            EventRecord::Saved::Done);
    RepeatRule weekly;
    weekly.count = 10;
    const QList<QDate> dates =
        std::get<RepeatRule::Expansion>(weekly.expand(QDate(2027, 3, 3))).dates;
    auto evnt = std::move(module->databases.open(u"evnt"_s).value());
    SlotBooking::SlotRequest booking{20270303, u"12:00"_s, u"13:30"_s, 2, lunch, Library, 0};
    QList<QDate> free;
    const QList<RepeatOutcome> outcomes =
        *RepeatPreview::outcomes(*evnt, booking, u"Library"_s, dates, clock.today());
    for (const RepeatOutcome &outcome : outcomes)
        if (outcome.kind == RepeatOutcome::Kind::Free)
            free << outcome.date;
    ASSERT_EQ(free.size(), 8);

    const QList<int> saved =
        RepeatPreview::saveCopies(*module, *record, lunch, free, weekly.describe());
    EXPECT_FALSE(saved.contains(0)) << prompts.messageTexts().join(u" / "_s).toStdString();
    EXPECT_EQ(*EventSeries::members(*evnt, saved.last()), QList<int>{lunch} + saved);
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from pkg where pkgnum = ?"_s, {lunch}).toInt(),
              9);
    for (int copy : saved)
        EXPECT_EQ(cells(Library, scalar(u"evnt"_s,
                                        u"select eventdate from eventinfo where "
                                        "eventnum = ?"_s,
                                        {copy})
                                     .toInt())
                      .size(),
                  6)
            << copy;
    EXPECT_EQ(module->event.EventNumber, lunch) << "the original is shown again";

    // Moved to 12:30 from the second copy on: the later unbilled lunches
    // move, a billed one stays and is named, the earlier ones stay.
    exec(u"evnt"_s, u"update eventinfo set status = 5 where eventnum = ?"_s, {saved[4]});
    const auto changed = RepeatPreview::changeLater(*module, *record, saved[1],
                                                    {u"12:30"_s, u"14:00"_s, {}, {}, {}});
    QStringList said;
    for (const RepeatPreview::SeriesChanged &outcome : changed)
        said << u"%1 %2"_s.arg(outcome.event).arg(outcome.failure);
    QStringList expected;
    for (qsizetype k = 2; k < saved.size(); ++k)
        expected << u"%1 %2"_s.arg(saved[k]).arg(k == 4 ? u"billed"_s : QString());
    EXPECT_EQ(said, expected);
    for (qsizetype k = 0; k < saved.size(); ++k)
        EXPECT_EQ(
            scalar(u"evnt"_s, u"select starttime from eventinfo where eventnum = ?"_s, {saved[k]})
                .toString(),
            k >= 2 && k != 4 ? u"12:30"_s : u"12:00"_s)
            << k;

    // A copy repeated again adds to the same series.
    const QList<int> more = RepeatPreview::saveCopies(
        *module, *record, saved[0], {QDate(2027, 6, 2), QDate(2027, 6, 9)}, weekly.describe());
    ASSERT_FALSE(more.contains(0));
    EXPECT_EQ(*EventSeries::members(*evnt, more.last()), QList<int>{lunch} + saved + more);

    // A caution the preview showed is not asked again; one that arose since
    // is. The Library now clears for an hour after the Book Club.
    ASSERT_TRUE(RoomBuffers::write(*evnt, Library, {0, 60}).ok());
    ASSERT_EQ(book(u"20270616"_s, u"Book Club"_s, u"11:00"_s, u"11:45"_s, Library, 2),
              EventRecord::Saved::Done);
    ASSERT_EQ(book(u"20270623"_s, u"Book Club"_s, u"11:00"_s, u"11:45"_s, Library, 2),
              EventRecord::Saved::Done);
    prompts.clear();
    prompts.answerYesNo(false);
    const QList<int> cautioned =
        RepeatPreview::saveCopies(*module, *record, lunch, {QDate(2027, 6, 16), QDate(2027, 6, 23)},
                                  weekly.describe(), {QDate(2027, 6, 16)});
    EXPECT_NE(cautioned.value(0), 0);
    EXPECT_EQ(cautioned.value(1), 0) << "declined when asked";
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].text.contains(u"being cleared after the Book Club"_s));
}

} // namespace

namespace {

// Two workstations repeat two events into the same Wednesdays, each after a
// preview that found them free: whoever saves first has them all, and every
// copy of the other is refused by its own save with the date's clash shown,
// leaving no row, cell, series or package entry behind. Both orders.
class RepeatRaceTest : public EventFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(RepeatRaceTest, TheFirstToSaveHasTheDatesAndTheOtherIsRefusedWhole) {
    clock.current = QDateTime(QDate(2027, 3, 1), QTime(9, 0));
    ASSERT_EQ(book(u"20270303"_s, u"Rotary Club Lunch"_s, u"12:00"_s, u"13:30"_s, Library, 2),
              EventRecord::Saved::Done);
    const int lunch = lastNumber;
    ASSERT_EQ(book(u"20270304"_s, u"Book Club"_s, u"12:30"_s, u"13:00"_s, Library, 2),
              EventRecord::Saved::Done);
    const int bookClub = lastNumber;
    const QList<QDate> wednesdays{QDate(2027, 3, 10), QDate(2027, 3, 17), QDate(2027, 3, 24)};

    Workstation anna(settings(), club, u"ANNA"_s), bert(settings(), club, u"BERT"_s);
    for (Workstation *station : {&anna, &bert}) {
        station->prompts.clear(); // signed in without an employee record
        station->clock.current = clock.current;
        auto evnt = std::move(station->module.databases.open(u"evnt"_s).value());
        const auto outcomes =
            *RepeatPreview::outcomes(*evnt, {20270303, u"12:00"_s, u"13:30"_s, 2, 0, Library, 0},
                                     u"Library"_s, wednesdays, clock.today());
        for (const RepeatOutcome &outcome : outcomes)
            ASSERT_EQ(outcome.kind, RepeatOutcome::Kind::Free);
    }
    const bool annaFirst = GetParam();
    Workstation &first = annaFirst ? anna : bert, &second = annaFirst ? bert : anna;
    const int firstOriginal = annaFirst ? lunch : bookClub;
    const int secondOriginal = annaFirst ? bookClub : lunch;
    EventRecord firstRecord(first.module), secondRecord(second.module);
    const QList<int> won =
        RepeatPreview::saveCopies(first.module, firstRecord, firstOriginal, wednesdays, u"r"_s);
    const int rowsBefore = events();
    const QList<int> lost =
        RepeatPreview::saveCopies(second.module, secondRecord, secondOriginal, wednesdays, u"r"_s);

    EXPECT_FALSE(won.contains(0));
    EXPECT_EQ(lost, (QList<int>{0, 0, 0}));
    EXPECT_EQ(second.prompts.messages.size(), 3) << "one refusal for each date";
    for (const auto &message : second.prompts.messages)
        EXPECT_TRUE(message.text.contains(u"\"Rotary Club Lunch\""_s) ||
                    message.text.contains(u"\"Book Club\""_s))
            << message.text.toStdString();
    EXPECT_EQ(events(), rowsBefore) << "no row of a refused copy";
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from eventseries"_s).toInt(), 4);
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from pkg"_s).toInt(), 4);
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from eventseries where seriesnum = ?"_s,
                     {secondOriginal})
                  .toInt(),
              0);
    for (int k = 0; k < wednesdays.size(); ++k) {
        const QStringList held = cells(Library, dateNumber(wednesdays[k]));
        ASSERT_FALSE(held.isEmpty());
        for (const QString &cell : held)
            EXPECT_TRUE(cell.contains(u" %1 "_s.arg(won[k]))) << cell.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(BothOrders, RepeatRaceTest, ::testing::Bool());

} // namespace
