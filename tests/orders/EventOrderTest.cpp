#include "ReceptionFixture.h"
#include "events/ChangeLog.h"
#include "events/WholeEvent.h"
#include "orders/EventOrderWindow.h"
#include "payments/EventPayments.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

const QString Evnt = u"evnt"_s;
using Section = EventOrder::Section;

// The reception with the order window of this workstation open on it.
class EventOrderTest : public ReceptionFixture {
protected:
    void SetUp() override {
        ReceptionFixture::SetUp();
        ASSERT_TRUE(record->LoadEvent(event));
        window = std::make_unique<EventOrderWindow>(*module);
        ASSERT_TRUE(window->open()) << prompts.messageTexts().join(u"|"_s).toStdString();
    }
    void TearDown() override {
        window.reset();
        ReceptionFixture::TearDown();
    }

    OrderLists lists() { return OrderLists::from(*ClubSettings::load(module->databases)); }
    OrderSheet sheet() {
        auto db = open();
        auto read = EventOrders::sheet(*db, event, lists());
        EXPECT_TRUE(read && read->has_value());
        return read && read->has_value() ? **read : OrderSheet();
    }
    EventOrders::Issued issue() {
        auto db = open();
        auto issued = EventOrders::issue(*db, event, lists(), u"DEMO"_s, clock.now());
        EXPECT_TRUE(issued.ok()) << issued.error().description.toStdString();
        return issued ? *issued : EventOrders::Issued{};
    }
    QString log() {
        QFile file(path(QString::fromLatin1(ChangeLog::FileName)));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    // A full order as the office types it.
    void type(EventOrderWindow &on) {
        on.editField(OrderField::Style, u"Banquet rounds"_s);
        on.editField(OrderField::Tables, u"8"_s);
        on.editField(OrderField::Seats, u"64"_s);
        on.editField(OrderField::Linen, u"Ivory, floor length"_s);
        on.editField(OrderField::KitchenNote, u"Salmon plated at 19:15.\nNo nuts at table 4."_s);
        on.editField(OrderField::SiteContact, u"Colleen Reilly"_s);
        on.editTimeline(0, u"17:30"_s, u"Guests arrive"_s);
        on.editTimeline(1, u"7:00 pm"_s, u"Dinner served"_s);
        on.editDietary(0, u"Vegetarian"_s, u"12"_s);
        on.editDietary(1, u"Gluten-free"_s, u"3"_s);
    }

    std::unique_ptr<EventOrderWindow> window;
};

TEST_F(EventOrderTest, AnOrderIsSavedWholeAndReadBackExactly) {
    // Courses default from the department until chosen.
    QStringList shown;
    for (const auto &item : window->items)
        shown << item.course + u":"_s + item.description;
    EXPECT_EQ(shown,
              (QStringList{u"Main:Filet Mignon"_s, u"Main:Grilled Salmon"_s, u"Bar:Open Bar"_s}));
    EXPECT_EQ(window->revisionText, u"Not issued yet"_s);

    type(*window);
    window->chooseCourse(1, u"Starter"_s);
    // A long note with every awkward character is kept as typed.
    const QString note = QString(u"Quotes ' \" back\\slash; ä €\n"_s).repeated(400).left(10000);
    window->editField(OrderField::FloorNote, note);
    ASSERT_TRUE(window->save());
    EXPECT_EQ(window->statusText, u"Saved"_s);

    const OrderSheet saved = sheet();
    const EventOrder &order = saved.order;
    EXPECT_EQ(order.style, u"Banquet rounds"_s);
    EXPECT_EQ(order.tables, 8);
    EXPECT_EQ(order.seats, 64);
    EXPECT_EQ(order.floorNote, note);
    EXPECT_EQ(order.kitchenNote, u"Salmon plated at 19:15.\nNo nuts at table 4."_s);
    EXPECT_EQ(order.timeline, (QList<EventOrder::TimelineLine>{{u"17:30"_s, u"Guests arrive"_s},
                                                               {u"19:00"_s, u"Dinner served"_s}}));
    EXPECT_EQ(order.dietary,
              (QList<EventOrder::DietaryNeed>{{u"Vegetarian"_s, 12}, {u"Gluten-free"_s, 3}}));
    // Only the chosen course is stored; the menu sorts by the club's courses.
    EXPECT_EQ(order.courses, (QMap<int, QString>{{103, u"Starter"_s}}));
    QStringList menu;
    for (const auto &item : saved.items)
        menu << item.course + u":"_s + QString::number(item.item);
    EXPECT_EQ(menu, (QStringList{u"Starter:103"_s, u"Main:101"_s, u"Bar:202"_s}));

    // One change of the count, one log line naming what changed.
    EXPECT_EQ(
        scalar(Evnt, u"select changecount from eventchange where eventnum = ?"_s, {event}).toInt(),
        module->event.ChangeCount);
    EXPECT_TRUE(log().contains(u"Set-up style changed from  to Banquet rounds\\"_s));
    EXPECT_TRUE(log().contains(u"\\Kitchen notes changed\\Floor notes changed\\"_s));
    EXPECT_TRUE(log().contains(u"Dietary counts changed from 0 to 15\\"_s));

    // Opened again, the window shows what was saved.
    EventOrderWindow again(*module);
    ASSERT_TRUE(again.open());
    EXPECT_EQ(again.fields[OrderField::FloorNote], note);
    EXPECT_EQ(again.timeline[1], (EventOrderWindow::Line{u"19:00"_s, u"Dinner served"_s}));
    EXPECT_EQ(again.items[0].course + again.items[0].description, u"StarterGrilled Salmon"_s);
    EXPECT_EQ(again.items[1].course + again.items[1].description, u"MainFilet Mignon"_s);

    // Courses the club does not list come after its own, each together, by name.
    again.chooseCourse(1, u"Zebra"_s);
    again.chooseCourse(2, u"Amuse"_s);
    ASSERT_TRUE(again.save());
    menu.clear();
    for (const auto &item : sheet().items)
        menu << item.course + u":"_s + QString::number(item.item);
    EXPECT_EQ(menu, (QStringList{u"Starter:103"_s, u"Amuse:202"_s, u"Zebra:101"_s}));
}

TEST_F(EventOrderTest, EntriesThatCannotBeStoredAreRefusedByNameAndNothingIsWritten) {
    struct Case {
        const char *what;
        std::function<void(EventOrderWindow &)> enter;
        const char *refusal;
    };
    const Case cases[] = {
        {"time", [](auto &w) { w.editTimeline(0, u"7pm-ish"_s, u"Dinner"_s); },
         "Timeline line 1: \"7pm-ish\" is not a time; write it as HH:MM, such as 19:00."},
        {"hour", [](auto &w) { w.editTimeline(0, u"24:00"_s, u"Dinner"_s); },
         "Timeline line 1: \"24:00\" is not a time"},
        {"what", [](auto &w) { w.editTimeline(0, u"19:00"_s, u" "_s); },
         "Timeline line 1: say what happens at 19:00."},
        {"fraction", [](auto &w) { w.editDietary(0, u"Vegan"_s, u"2.5"_s); },
         "Dietary line 1: \"2.5\" is not a whole number from 0 to 99999."},
        {"negative", [](auto &w) { w.editDietary(0, u"Vegan"_s, u"-2"_s); },
         "Dietary line 1: \"-2\" is not a whole number"},
        {"need", [](auto &w) { w.editDietary(0, u""_s, u"4"_s); }, "Dietary line 1: name the need"},
        {"tables", [](auto &w) { w.editField(OrderField::Tables, u"eight"_s); },
         "Tables: \"eight\" is not a whole number"},
        {"linen", [](auto &w) { w.editField(OrderField::Linen, QString(51, u'x')); },
         "Linen: at most 50 characters (this has 51)."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EventOrderWindow typing(*module);
        ASSERT_TRUE(typing.open());
        typing.editField(OrderField::Style, u"Theatre"_s);
        c.enter(typing);
        prompts.clear();
        EXPECT_FALSE(typing.save());
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(QString::fromUtf8(c.refusal)))
            << prompts.lastMessage().text.toStdString();
        EXPECT_EQ(scalar(Evnt, u"select count(*) from eventorder"_s).toInt(), 0);
        EXPECT_TRUE(typing.unsaved);
    }
    // Blank lines are dropped, not refused; 12-hour times are kept on the
    // 24-hour clock.
    window->editTimeline(0, u""_s, u""_s);
    window->editTimeline(1, u"12:30 AM"_s, u"Carriages"_s);
    window->editDietary(0, u"Vegetarian"_s, u"70"_s);
    EXPECT_EQ(window->dietaryCaution,
              u"The dietary counts add up to 70, more than the 58 guests."_s);
    ASSERT_TRUE(window->save()); // a caution, never a refusal
    EXPECT_EQ(window->statusText,
              u"Saved. The dietary counts add up to 70, more than the 58 guests."_s);
    EXPECT_EQ(sheet().order.timeline,
              (QList<EventOrder::TimelineLine>{{u"00:30"_s, u"Carriages"_s}}));
}

TEST_F(EventOrderTest, IssuingRaisesTheRevisionOnlyWhenASectionChanged) {
    type(*window);
    ASSERT_TRUE(window->save());

    // The first issue is revision 1 and marks nothing.
    auto first = issue();
    EXPECT_EQ(first.revision, 1);
    EXPECT_TRUE(first.raised);
    EXPECT_TRUE(first.changed.isEmpty());
    EXPECT_TRUE(sheet().changedSinceIssue().isEmpty());

    // A changed item: the menu shows as changed, and the next issue is 2.
    exec(Evnt,
         u"update items set qty = 31, itemdesc = '31 Grilled Salmon' where eventid = ? and "
         "itemnum = 103"_s,
         {event});
    EXPECT_EQ(sheet().changedSinceIssue(), QList<Section>{Section::Menu});
    const auto second = issue();
    EXPECT_EQ(second.revision, 2);
    EXPECT_EQ(second.changed, QList<Section>{Section::Menu});
    EXPECT_EQ(sheet().order.issued.changed, QList<Section>{Section::Menu});

    // Nothing changed: issued again, it stays 2 with its marks.
    const auto again = issue();
    EXPECT_FALSE(again.raised);
    EXPECT_EQ(again.revision, 2);
    EXPECT_EQ(sheet().order.issued.changed, QList<Section>{Section::Menu});

    // Each section is told apart: the guest count, the timeline, the
    // dietary counts and the bar's notes in one change.
    exec(Evnt, u"update eventinfo set guarantee = 60 where eventnum = ?"_s, {event});
    ASSERT_TRUE(window->open());
    window->editTimeline(2, u"21:00"_s, u"Dancing"_s);
    window->editDietary(0, u"Vegetarian"_s, u"14"_s);
    window->editField(OrderField::BarNote, u"Last call 23:30"_s);
    ASSERT_TRUE(window->save());
    EXPECT_EQ(window->revisionText.section(u"; "_s, 1),
              u"changed since: Event, Timeline, Dietary counts, Service notes"_s);
    const auto third = issue();
    EXPECT_EQ(third.revision, 3);
    EXPECT_EQ(third.changed, (QList<Section>{Section::Event, Section::Timeline, Section::Dietary,
                                             Section::Service}));
    // An issued order keeps its courses when the club's change.
    ASSERT_TRUE(ClubSettings::write(*open(),
                                    QString::fromLatin1(OrderLists::CourseByDepartmentSetting),
                                    u"1=Starter"_s)
                    .ok());
    EXPECT_TRUE(sheet().changedSinceIssue().isEmpty());
    // Saving the order kept its issue record.
    ASSERT_TRUE(window->open());
    window->editField(OrderField::Stage, u"Low riser"_s);
    ASSERT_TRUE(window->save());
    EXPECT_EQ(sheet().order.issued.revision, 3);
    EXPECT_EQ(sheet().changedSinceIssue(), QList<Section>{Section::Setup});
}

TEST_F(EventOrderTest, OfTwoWorkstationsEditingOneOrderTheSecondToSaveIsRefused) {
    // Either workstation may save first; the other's typing is refused whole
    // and stays in its window.
    for (const bool annaFirst : {true, false}) {
        SCOPED_TRACE(annaFirst ? "Anna first" : "Bert first");
        ASSERT_TRUE(EventOrders::removeOrder(*open(), event).ok());
        FakeOperator bertDesk;
        Module bert(settings(), bertDesk.ports());
        bert.session = module->session;
        bert.session.UserName = u"BERT"_s;
        bert.event.EventNumber = event;
        EventOrderWindow anna(*module);
        EventOrderWindow bertWindow(bert);
        ASSERT_TRUE(anna.open());
        ASSERT_TRUE(bertWindow.open());
        anna.editField(OrderField::Style, u"Theatre"_s);
        bertWindow.editField(OrderField::Style, u"Classroom"_s);
        bertWindow.editDietary(0, u"Vegan"_s, u"4"_s);
        EventOrderWindow &winner = annaFirst ? anna : bertWindow;
        EventOrderWindow &loser = annaFirst ? bertWindow : anna;
        ScriptedPrompts &loserPrompts = annaFirst ? bertDesk.prompts : prompts;
        ASSERT_TRUE(winner.save());
        loserPrompts.clear();
        EXPECT_FALSE(loser.save());
        EXPECT_TRUE(loserPrompts.lastMessage().text.startsWith(
            u"The order of event #%1 was changed at another workstation (%2, 09:30)"_s.arg(event)
                .arg(annaFirst ? u"DEMO"_s : u"BERT"_s)))
            << loserPrompts.lastMessage().text.toStdString();
        EXPECT_TRUE(loser.unsaved);
        EXPECT_EQ(sheet().order.style, winner.fields[OrderField::Style]);
        EXPECT_EQ(sheet().order.dietary.isEmpty(), annaFirst);
        // This workstation's main window takes over the raise of its own
        // order save, so its next event save is not refused; never another's.
        const int stored =
            scalar(Evnt, u"select changecount from eventchange where eventnum = ?"_s, {event})
                .toInt();
        EXPECT_EQ(module->event.ChangeCount == stored, annaFirst);
    }
    // A change of the event itself elsewhere (its guests) does not stand in
    // the way of an order opened before it.
    ASSERT_TRUE(window->open());
    window->editField(OrderField::Seats, u"60"_s);
    exec(Evnt,
         u"update eventchange set changecount = changecount + 1, changedby = 'CARL' where "
         "eventnum = ?"_s,
         {event});
    EXPECT_TRUE(window->save());
    EXPECT_EQ(sheet().order.seats, 60);
}

TEST_F(EventOrderTest, ACancelledOrBilledEventsOrderIsNotIssuedAndPrintingSavesFirst) {
    // What was typed is on the paper: a print saves it first.
    window->editField(OrderField::Stage, u"Low riser"_s);
    window->print(OrderReports::Copy::Kitchen);
    EXPECT_EQ(sheet().order.stage, u"Low riser"_s);
    EXPECT_FALSE(window->unsaved);
    for (const auto &[status, said] : {std::pair{9, "cancelled"}, std::pair{5, "billed"}}) {
        // Another workstation closes the event while this one types its order.
        exec(Evnt, u"update eventinfo set status = 4 where eventnum = ?"_s, {event});
        ASSERT_TRUE(window->open());
        window->editField(OrderField::Stage, u"Stage %1"_s.arg(status));
        exec(Evnt, u"update eventinfo set status = ? where eventnum = ?"_s, {status, event});
        prompts.clear();
        EXPECT_FALSE(window->save());
        EXPECT_EQ(prompts.lastMessage().text,
                  u"Event #%1 was %2 at another workstation; its order can no longer be changed."_s
                      .arg(event)
                      .arg(QString::fromLatin1(said)));
        EXPECT_EQ(sheet().order.stage, u"Low riser"_s);
        auto db = open();
        const auto refused = EventOrders::issue(*db, event, lists(), u"DEMO"_s, clock.now());
        ASSERT_FALSE(refused.ok());
        EXPECT_EQ(refused.error().description,
                  u"Event #%1 is %2; its order is not issued again."_s.arg(event).arg(
                      QString::fromLatin1(said)));
        EXPECT_EQ(sheet().order.issued.revision, 0);
    }
}

TEST_F(EventOrderTest, ADeletedEventTakesItsOrderAndAnOrderOfOneGoneIsNotSaved) {
    type(*window);
    ASSERT_TRUE(window->save());
    issue();
    EventOrderWindow late(*module);
    ASSERT_TRUE(late.open());
    late.editField(OrderField::Style, u"Theatre"_s);
    {
        auto db = open();
        ASSERT_TRUE(EventOrders::removeOrder(*db, event).ok());
        ASSERT_TRUE(db->execute(u"delete from eventinfo where eventnum = ?"_s, {event}).ok());
    }
    prompts.clear();
    EXPECT_FALSE(late.save());
    EXPECT_TRUE(prompts.lastMessage().text.contains(u"was deleted"_s));
    for (const QString &table :
         {u"eventorder"_s, u"eventordertime"_s, u"eventorderdiet"_s, u"eventordercourse"_s})
        EXPECT_EQ(scalar(Evnt, u"select count(*) from "_s + table).toInt(), 0)
            << table.toStdString();
    auto db = open();
    EXPECT_FALSE(EventOrders::issue(*db, event, lists(), u"DEMO"_s, clock.now()).ok());
}

TEST(OrderTime, TypedTimesAreReadOnTheTwentyFourHourClock) {
    const std::pair<const char *, const char *> cases[] = {
        {"19:00", "19:00"},    {"7:05", "07:05"},     {"1900", "19:00"},  {"7:00 PM", "19:00"},
        {"12:15am", "00:15"},  {"12:00 pm", "12:00"}, {"24:00", nullptr}, {"19:60", nullptr},
        {"13:00 PM", nullptr}, {"7", nullptr},        {"", nullptr},      {"7.30", nullptr},
    };
    for (const auto &[typed, kept] : cases) {
        const auto read = orderTime(QString::fromLatin1(typed));
        EXPECT_EQ(read.value_or(u"none"_s), kept ? QString::fromLatin1(kept) : u"none"_s) << typed;
    }
}

TEST(OrderLists, TheClubsListsAndTheirRefusals) {
    const OrderLists standard = OrderLists::from(ClubSettings());
    EXPECT_EQ(standard.courses,
              (QStringList{u"Reception"_s, u"Starter"_s, u"Main"_s, u"Dessert"_s, u"Bar"_s}));
    EXPECT_EQ(standard.styles.size(), 6);
    const OrderLists own =
        OrderLists::from(ClubSettings({{u"courses"_s, u"Canapés; Soup ;;Soup;Main"_s},
                                       {u"coursebydept"_s, u"1=Main; 2 = Bar"_s}}));
    EXPECT_EQ(own.courses, (QStringList{u"Canapés"_s, u"Soup"_s, u"Main"_s}));
    EXPECT_EQ(own.defaultCourse(u" 2 "_s), u"Bar"_s);
    EXPECT_EQ(own.defaultCourse(u"3"_s), QString());
    EXPECT_TRUE(OrderLists::refusal(u"courses"_s, u"Main;Dessert"_s).isEmpty());
    EXPECT_FALSE(OrderLists::refusal(u"courses"_s, u";;"_s).isEmpty());
    EXPECT_FALSE(OrderLists::refusal(u"coursebydept"_s, u"1Main"_s).isEmpty());
    EXPECT_EQ(OrderLists::refusal(u"coursebydept"_s, u"1=Main;2=Bar; 1 =Dessert"_s),
              u"The department 1 is given two courses."_s);
    EXPECT_TRUE(OrderLists::refusal(u"locale"_s, u";"_s).isEmpty()) << "not a list";
    EXPECT_FALSE(OrderLists::refusal(u"setupstyles"_s, QString(41, u'x')).isEmpty());
}

} // namespace

namespace {

// The demo club's planned events carry issued orders that nothing made
// afterwards has changed, so a newcomer's first print is revision 1; its
// wedding carries a payment schedule. One demo club serves both, being
// slow to make.
class DemoEventOrderTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

TEST_F(DemoEventOrderTest, ThePlannedEventsHaveIssuedOrdersAndTheWeddingItsPayments) {
    auto evnt = module->databases.open(u"evnt"_s);
    ASSERT_TRUE(evnt);
    const OrderLists lists = OrderLists::from(*ClubSettings::read(**evnt));
    for (const QString &title :
         {u"Sullivan-Park Reception"_s, u"Meridian Financial Board Meeting"_s,
          u"Halvorsen Engineering Holiday Party"_s, u"Membership Committee Lunch"_s}) {
        SCOPED_TRACE(title.toStdString());
        const auto sheet = EventOrders::sheet(**evnt, eventNumber(title), lists);
        ASSERT_TRUE(sheet && sheet->has_value());
        const OrderSheet &order = **sheet;
        EXPECT_EQ(order.order.issued.revision, 1);
        EXPECT_TRUE(order.changedSinceIssue().isEmpty());
        EXPECT_GE(order.order.timeline.size(), 3);
        EXPECT_LE(order.order.dietaryTotal(), order.guests());
        EXPECT_FALSE(order.items.isEmpty());
    }
    // The wedding's menu runs in the club's course order.
    const auto wedding =
        EventOrders::sheet(**evnt, eventNumber(u"Sullivan-Park Reception"_s), lists);
    QStringList courses;
    for (const OrderSheet::Item &item : (*wedding)->items)
        if (courses.isEmpty() || courses.last() != item.course)
            courses << item.course;
    EXPECT_EQ(courses, (QStringList{u"Reception"_s, u"Main"_s, u"Dessert"_s, u"Bar"_s}));
    // Tomorrow always has an event to print a function sheet for.
    EXPECT_GE(scalar(u"evnt"_s, u"select count(*) from eventinfo where eventdate = ?"_s,
                     {clock.today().addDays(1).toString(u"yyyyMMdd"_s).toInt()})
                  .toInt(),
              1);

    // The wedding's payment schedule: its deposit received, the lines
    // adding up to its items; the rehearsal dinner cloned from it has
    // received nothing.
    const int reception = eventNumber(u"Sullivan-Park Reception"_s);
    const PaymentSchedule schedule = *EventPayments::read(**evnt, reception);
    ASSERT_EQ(schedule.lines.size(), 3);
    EXPECT_TRUE(schedule.depositReceived());
    EXPECT_EQ(schedule.deposit(), *Money::fromText(u"1500"));
    EXPECT_EQ(schedule.totalDue(), *EventPayments::pricedTotal(**evnt, reception));
    EXPECT_EQ(scalar(u"evnt"_s, u"select deposit from eventinfo where eventnum = ?"_s, {reception})
                  .toDouble(),
              1500.0);

    EventRecord record(*module);
    ASSERT_TRUE(record.LoadEvent(reception));
    const QDate friday =
        QDate::fromString(module->event.fields[EventField::Date], u"yyyyMMdd"_s).addDays(-1);
    ASSERT_TRUE(WholeEvent::prepareClone(*module, record, friday.toString(u"yyyyMMdd"_s).toInt()));
    module->event.fields[EventField::Title] = u"Sullivan-Park Rehearsal Dinner (2)"_s;
    module->event.fields[EventField::Start] = u"09:00"_s;
    module->event.fields[EventField::End] = u"10:00"_s;
    ASSERT_EQ(record.SaveEvent(EventRecord::NewEvent), EventRecord::Saved::Done)
        << prompts.messageTexts().join(u" / "_s).toStdString();
    const int clone = module->event.EventNumber;
    EXPECT_EQ(scalar(u"evnt"_s, u"select deposit from eventinfo where eventnum = ?"_s, {clone})
                  .toDouble(),
              0.0);
    EXPECT_EQ(EventPayments::read(**evnt, clone)->totalReceived(), Money());
    EXPECT_EQ(EventPayments::read(**evnt, clone)->lines.size(), 3);
}

} // namespace
