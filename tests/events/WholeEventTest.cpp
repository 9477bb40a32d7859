#include "EditingFixture.h"
#include "events/FieldEntry.h"

namespace {

constexpr int Library = 3;
constexpr int Ballroom = 1;
constexpr int EditingLevel = 20; // the fixture's thresholds are 10, 20, 50, 90

class WholeEventTest : public EditingFixture {
protected:
    void SetUp() override {
        EditingFixture::SetUp();
        clock.current = QDateTime(QDate(2027, 1, 10), QTime(9, 30));
    }

    // A booking saved through the window, then shown; its number.
    int saveBooking(const QString &date, const QString &title, int room, int items = 0) {
        enterBooking(date, title, room);
        click(EventCommand::Save);
        EXPECT_FALSE(event().UnsavedChanges) << told();
        const int number = box(EventField::Number).toInt();
        for (int i = 1; i <= items; ++i)
            exec(u"evnt"_s,
                 u"insert into items (eventid, qty, itemnum, dept, itemdesc, cost, "
                 "price, servchg, tax, glnum) values (?, ?, ?, 'BQ', ?, 2.5, ?, "
                 "1.5, 0.7, '4010')"_s,
                 {number, i * 10, 500 + i, u"%1 Plated dinner %2"_s.arg(i * 10).arg(i), i * 25});
        EXPECT_TRUE(logic->ShowEvent(number));
        prompts.clear();
        return number;
    }
    QStringList items(int number) {
        QStringList found;
        for (const QVariant &row :
             column(u"evnt"_s,
                    u"select qty || '|' || itemnum || '|' || dept || '|' || itemdesc "
                    "|| '|' || cost || '|' || price || '|' || servchg || '|' || "
                    "tax || '|' || glnum from items where eventid = ? order by "
                    "itemnum"_s,
                    {number}))
            found << row.toString();
        return found;
    }
    bool eventExists(int number) {
        return count(u"select count(*) from eventinfo where eventnum = ?"_s, {number}) > 0;
    }
    void clone(const QString &date) {
        prompts.answerInput(date);
        logic->wholeEvent.cloneEvent();
    }
    void deleteShown() {
        prompts.answerYesNo(true);
        logic->wholeEvent.deleteContact();
    }
    QString counter() { return file(u"evntsched.dat"_s); }
};

TEST_F(WholeEventTest, ACloneIsSavedWithTheSourcesItemsInOneGo) {
    const int source = saveBooking(u"20270310"_s, u"Rotary Dinner"_s, Ballroom, 3);
    clone(u"0412"_s);
    const int copy = box(EventField::Number).toInt();
    ASSERT_GT(copy, source);
    EXPECT_TRUE(prompts.messages.isEmpty()) << told();
    EXPECT_EQ(stored(u"eventdate"_s, copy), u"20270412"_s);
    for (const char *field : {"eventtitle", "starttime", "endtime", "status", "roomnumber",
                              "setfor", "guarantee", "contactname", "contphone1"})
        EXPECT_EQ(stored(QString::fromLatin1(field), copy),
                  stored(QString::fromLatin1(field), source))
            << field;
    EXPECT_EQ(items(copy), items(source));
    EXPECT_EQ(items(copy).size(), 3);
    EXPECT_EQ(cells(Ballroom, 20270412).size(), 16);
    EXPECT_EQ(cells(Ballroom, 20270310).size(), 16) << "the source keeps its cells";
    EXPECT_EQ(event().CloneSource, 0);
    EXPECT_FALSE(event().UnsavedChanges);
    const QStringList history = historyFile();
    EXPECT_TRUE(history.value(history.size() - 2).endsWith(u"Event#%1 opened"_s.arg(copy)));
    EXPECT_TRUE(history.last().endsWith(u"Event#%1 \\Cloned from #%2\\"_s.arg(copy).arg(source)));

    // A billed event is cloned as confirmed, and so needs the billing
    // details this enquiry never had; a non-member's confirmation stands on
    // a deposit the clone has not received, so that clone starts reserved.
    for (const int membership : {2, 1}) {
        exec(u"evnt"_s, u"update eventinfo set status = 5, memnonmem = ? where eventnum = ?"_s,
             {membership, source});
        ASSERT_TRUE(logic->ShowEvent(source));
        prompts.clear();
        clone(u"20270510"_s);
        if (membership == 1) {
            EXPECT_EQ(prompts.messageTexts(),
                      QStringList{u"One or more required fields of data is missing.\r\n"
                                  "Please fill in: Billing Name, Billing Address 1, "
                                  "Billing City, Billing State, Billing Zip, Billing "
                                  "Phone 1."_s});
            EXPECT_EQ(box(EventField::Status), u"4"_s);
        } else {
            EXPECT_EQ(prompts.messageTexts(),
                      QStringList{u"Event #%1: The clone has no deposit received, so it starts "
                                  "as Reserved (status 2)."_s.arg(box(EventField::Number))});
            EXPECT_EQ(stored(u"status"_s, box(EventField::Number).toInt()), u"2"_s);
        }
    }
    EXPECT_EQ(stored(u"status"_s, source), u"5"_s);
}

TEST_F(WholeEventTest, ACloneIsCheckedBeforeANumberIsIssuedAndWritesNothingUntilItsSave) {
    saveBooking(u"20270410"_s, u"Book Club"_s, Library);
    const int source = saveBooking(u"20270310"_s, u"Wine Dinner"_s, Library, 2);
    const QString issued = counter();

    // A year the calendar does not hold; dates that are no dates; cancel.
    prompts.expectError();
    clone(u"21000101"_s);
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"The calendar year for this reservation has not yet been "
                          "initialized \r\nand the reservation cannot be taken at this time."_s});
    for (const char *typed : {"0229", "abcd", "20271345"}) {
        prompts.clear();
        clone(QString::fromLatin1(typed));
        EXPECT_EQ(prompts.messages.size(), 1) << typed;
    }
    clone(QString());
    EXPECT_EQ(counter(), issued) << "no number issued";
    EXPECT_EQ(box(EventField::Number).toInt(), source) << "the source stays shown";
    EXPECT_EQ(count(u"select count(*) from items"_s), 2);

    // Back-dating needs the administrator, as for a new event typed in.
    prompts.clear();
    setLevel(EditingLevel);
    clone(u"20261201"_s);
    EXPECT_EQ(prompts.messageTexts(), QStringList{FieldEntry::BackDatingRefused});
    EXPECT_EQ(counter(), issued);

    prompts.clear();
    setLevel(99);
    click(EventCommand::Modify);
    type(EventField::Title, u"Wine Dinner (changed)"_s);
    logic->wholeEvent.cloneEvent();
    EXPECT_EQ(prompts.messageTexts(), QStringList{u"You must first save your changes."_s});

    prompts.clear();
    prompts.answerYesNo(true); // give up the changes
    click(EventCommand::ClearScreen);
    logic->wholeEvent.cloneEvent();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"Recall the original reservation first, then clone it."_s});

    ASSERT_TRUE(logic->ShowEvent(source));
    prompts.clear();
    clone(u"20270410"_s);
    const int copy = box(EventField::Number).toInt();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        u"The chosen time and room combination is already in use."_s));
    EXPECT_FALSE(eventExists(copy));
    EXPECT_TRUE(items(copy).isEmpty()) << "no items under a number with no event";
    EXPECT_EQ(event().mode, CurrentEvent::EnteringNew) << "the clone stays to be saved";
    EXPECT_EQ(event().CloneSource, source);
    EXPECT_TRUE(window().commandEnabled[EventCommand::Save]);
    EXPECT_FALSE(window().commandEnabled[EventCommand::CancelEvent] ||
                 window().commandEnabled[EventCommand::BillEvent])
        << "an unsaved clone is neither cancelled nor billed";

    // Item Detail first would add items the save then copies again; the
    // order has no event row to stand beside yet.
    for (EventCommand command : {EventCommand::ItemDetail, EventCommand::EventOrder}) {
        prompts.clear();
        window().commandEnabled[command] = true;
        click(command);
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"Save the cloned event first"_s));
    }

    // Moved to the morning, it saves with its cells and items together.
    prompts.clear();
    type(EventField::Start, u"08:00"_s);
    type(EventField::End, u"10:00"_s);
    click(EventCommand::Save);
    EXPECT_TRUE(prompts.messages.isEmpty()) << told();
    EXPECT_EQ(items(copy), items(source));
    EXPECT_EQ(cells(Library, 20270410).size(), 16 + 8);

    // Saved once more, the items are not copied again.
    click(EventCommand::Modify);
    type(EventField::Title, u"Wine Dinner II"_s);
    click(EventCommand::Save);
    EXPECT_EQ(items(copy).size(), 2);

    // A source without items gives a clone without items.
    saveBooking(u"20270315"_s, u"Tasting"_s, Library);
    clone(u"20270316"_s);
    EXPECT_TRUE(eventExists(box(EventField::Number).toInt()));
    EXPECT_TRUE(items(box(EventField::Number).toInt()).isEmpty());
}

// The checklist after the date: each part left out is left out of the clone
// alone, the source keeps all of it, and the package link joins the
// source's package, or starts one the source heads.
TEST_F(WholeEventTest, TheChecklistDecidesWhatACloneCopiesAndWhichPackageItJoins) {
    const int other = saveBooking(u"20270301"_s, u"Club Dinner"_s, Ballroom);
    const int source = saveBooking(u"20270310"_s, u"Smith Wedding"_s, Library, 2);
    exec(u"evnt"_s,
         u"update eventinfo set notes = 'Roses', internalnotes = 'Ask for Ed' where eventnum = ?"_s,
         {source});
    exec(u"evnt"_s,
         u"insert into eventpayment (eventnum, line, what, duedate, amountdue, receiveddate, "
         "amountreceived, posted) values (?, 1, 'Deposit', 20270301, 50, 0, 0, 0)"_s,
         {source});
    const auto sourceState = [&] {
        return rowTexts(
                   u"evnt"_s,
                   u"select setfor, guarantee, contactname, notes, internalnotes from eventinfo "
                   "where eventnum = ?"_s,
                   {source}) +
               items(source);
    };
    const QStringList before = sourceState();
    const QString all = u"Items|Guest counts|Contact and billing|Notes"_s;

    struct Case {
        const char *name;
        QString ticked;
        int package;        // the package the clone joins: 0 none, -1 the other event's
        const char *logged; // what the log adds to "Cloned from #source"
    };
    const Case cases[] = {
        {"without items", u"Guest counts|Contact and billing|Notes"_s, 0, " without items"},
        {"without guest counts and notes", u"Items|Contact and billing"_s, 0,
         " without guest counts and notes"},
        {"without contact, filled in before its save", u"Items|Guest counts|Notes"_s, 0,
         " without contact and billing"},
        {"linked, starting the source's package",
         all + u"|Link into the package of #%1"_s.arg(source), source, ", linked into package #%1"},
        {"linked into the package the source heads", u"Link into the package of #%1"_s.arg(source),
         source,
         " without items, guest counts, contact and billing and notes, linked into "
         "package #%1"},
        {"linked into the package the source is in",
         u"Items|Link into the package of #%1"_s.arg(source), -1,
         " without guest counts, contact and billing and notes, linked into package #%1"},
    };
    int day = 11;
    for (const Case &row : cases) {
        SCOPED_TRACE(row.name);
        if (row.package < 0) { // the source moves into a package the other event heads
            exec(u"evnt"_s, u"update pkg set pkgnum = ? where pkgnum = ?"_s, {other, source});
            exec(u"evnt"_s,
                 u"insert into pkg (pkgnum, eventnum, eventdate, eventtitle) values (?, ?, "
                 "20270301, 'Club Dinner')"_s,
                 {other, other});
        }
        ASSERT_TRUE(logic->ShowEvent(source));
        prompts.clear();
        prompts.answerOptions(row.ticked.split(u'|'));
        const bool contact = row.ticked.contains(u"Contact"_s);
        clone(u"202704%1"_s.arg(day++));
        ASSERT_EQ(prompts.offeredOptions.size(), 1);
        EXPECT_EQ(prompts.offeredOptions[0].last().label,
                  u"&Link into the package of #%1"_s.arg(source));
        const int copy = box(EventField::Number).toInt();
        if (!contact) {
            EXPECT_EQ(prompts.messageTexts(),
                      QStringList{u"One or more required fields of data is missing.\r\nPlease "
                                  "fill in: Contact Name, Contact Phone 1."_s});
            EXPECT_FALSE(eventExists(copy));
            type(EventField::ContactName, u"Grace Hopper"_s);
            type(EventField::ContactPhone1, u"5559876543"_s);
            click(EventCommand::Save);
        }
        ASSERT_TRUE(eventExists(copy)) << told();
        const bool copiesItems = row.ticked.contains(u"Items"_s);
        EXPECT_EQ(items(copy), copiesItems ? items(source) : QStringList());
        EXPECT_EQ(count(u"select count(*) from eventpayment where eventnum = ?"_s, {copy}) > 0,
                  copiesItems)
            << "a schedule only for a clone with items";
        const bool guests = row.ticked.contains(u"Guest counts"_s);
        EXPECT_EQ(stored(u"setfor"_s, copy), guests ? u"40"_s : u"0"_s);
        EXPECT_EQ(stored(u"guarantee"_s, copy), guests ? u"35"_s : u"0"_s);
        EXPECT_EQ(stored(u"contactname"_s, copy), contact ? u"Ada Lovelace"_s : u"Grace Hopper"_s);
        const bool notes = row.ticked.contains(u"Notes"_s);
        EXPECT_EQ(stored(u"notes"_s, copy) + stored(u"internalnotes"_s, copy),
                  notes ? u"RosesAsk for Ed"_s : QString());
        const int package = row.package < 0 ? other : row.package;
        EXPECT_EQ(rowTexts(u"evnt"_s, u"select pkgnum from pkg where eventnum in (?, ?)"_s,
                           {source, copy}),
                  (package ? QStringList{QString::number(package), QString::number(package)}
                           : QStringList()));
        EXPECT_EQ(historyFile().last(),
                  u"01102027\\09:30\\E#0\\Event#%1 \\Cloned from #%2"_s.arg(copy).arg(source) +
                      QString::fromLatin1(row.logged).replace(u"%1"_s, QString::number(package)) +
                      u"\\"_s);
        EXPECT_EQ(sourceState(), before);
        if (row.package == 0) {
            EXPECT_EQ(count(u"select count(*) from pkg"_s), 0);
        }
    }
    EXPECT_EQ(count(u"select count(*) from pkg where pkgnum = ?"_s, {other}), 5)
        << "the other event, the source and three clones";

    // The package row is written by the save's transaction: a save that
    // fails leaves none, and no clone; saved again it joins.
    ASSERT_TRUE(logic->ShowEvent(source));
    prompts.clear();
    addFault(u"evnt"_s, u"refuse_pkg"_s, u"insert"_s, u"pkg"_s, QString(), u"disk full"_s);
    prompts.expectError();
    prompts.answerOptions(all.split(u'|') << u"Link into the package of #%1"_s.arg(source));
    clone(u"20270420"_s);
    const int stopped = box(EventField::Number).toInt();
    EXPECT_FALSE(eventExists(stopped));
    EXPECT_TRUE(items(stopped).isEmpty());
    EXPECT_EQ(count(u"select count(*) from pkg where eventnum = ?"_s, {stopped}), 0);
    removeFault(u"evnt"_s, u"refuse_pkg"_s, u"pkg"_s);
    click(EventCommand::Save);
    EXPECT_EQ(
        count(u"select count(*) from pkg where eventnum = ? and pkgnum = ?"_s, {stopped, other}),
        1);

    // Cancelled at the checklist, the clone uses no number and shows nothing new.
    ASSERT_TRUE(logic->ShowEvent(source));
    prompts.clear();
    const QString issued = counter();
    prompts.answerOptions(std::nullopt);
    clone(u"20270421"_s);
    EXPECT_EQ(counter(), issued);
    EXPECT_EQ(box(EventField::Number).toInt(), source);
    EXPECT_FALSE(event().UnsavedChanges);
    EXPECT_TRUE(prompts.messages.isEmpty()) << told();
}

TEST_F(WholeEventTest, DeleteNeedsItsLevelsAndTakesTheEventItsItemsTasksPackageRowAndCells) {
    const int neighbour = saveBooking(u"20270311"_s, u"Neighbour"_s, Ballroom, 1);
    const int doomed = saveBooking(u"20270310"_s, u"Doomed"_s, Ballroom, 2);
    for (int number : {doomed, neighbour}) {
        exec(u"evnt"_s,
             u"insert into tasklist (eventnumber, taskdate, todo, task, staff) "
             "values (?, 20270301, 'N', 'Flowers', 'ANN')"_s,
             {number});
        exec(u"evnt"_s,
             u"insert into eventorder (eventnum, setupstyle, revision) values (?, 'Theatre', 1)"_s,
             {number});
        exec(u"evnt"_s,
             u"insert into eventordertime (eventnum, ord, attime, what) values (?, 1, '18:00', "
             "'Doors')"_s,
             {number});
        exec(u"evnt"_s,
             u"insert into eventpayment (eventnum, line, what, duedate, amountdue, "
             "receiveddate, amountreceived, posted) values (?, 1, 'Deposit', 20270301, 500, 0, "
             "0, 0)"_s,
             {number});
    }
    exec(u"evnt"_s,
         u"insert into pkg (pkgnum, eventnum, eventdate, eventtitle) values (?, ?, "
         "20270311, 'Neighbour'), (?, ?, 20270310, 'Doomed')"_s,
         {neighbour, neighbour, neighbour, doomed});
    // A series of the two, the doomed one its original.
    exec(u"evnt"_s,
         u"insert into eventseries (eventnum, seriesnum, rule) values (?, ?, 'weekly'), (?, ?, "
         "'weekly')"_s,
         {doomed, doomed, neighbour, doomed});

    // Below the deleting level nothing is asked; a failed delete removes and
    // logs nothing.
    setLevel(EditingLevel);
    logic->wholeEvent.deleteContact();
    EXPECT_TRUE(prompts.questions.isEmpty());
    setLevel(99);
    const QStringList history = historyFile();
    addFault(u"evnt"_s, u"refuse_delete"_s, u"delete"_s, u"eventinfo"_s, QString(), u"disk full"_s);
    prompts.expectError();
    deleteShown();
    EXPECT_TRUE(eventExists(doomed));
    EXPECT_EQ(items(doomed).size(), 2);
    EXPECT_EQ(cells(Ballroom, 20270310).size(), 16);
    EXPECT_EQ(historyFile(), history);
    EXPECT_EQ(box(EventField::Number).toInt(), doomed) << "still shown";
    removeFault(u"evnt"_s, u"refuse_delete"_s, u"eventinfo"_s);

    prompts.clear();
    deleteShown();
    EXPECT_EQ(prompts.questions.value(0).text,
              u"Delete this contact now?\r\nEvent #%1 \"Doomed\" on 03/10/2027."_s.arg(doomed));
    EXPECT_EQ(prompts.questions.value(0).title, u"** Confirm **"_s);
    EXPECT_FALSE(eventExists(doomed));
    EXPECT_TRUE(items(doomed).isEmpty());
    EXPECT_EQ(count(u"select count(*) from tasklist where eventnumber = ?"_s, {doomed}), 0);
    EXPECT_EQ(count(u"select count(*) from pkg where eventnum = ?"_s, {doomed}), 0);
    for (const char *table : {"eventorder", "eventordertime", "eventpayment", "eventseries"}) {
        const QString rows =
            u"select count(*) from %1 where eventnum = ?"_s.arg(QLatin1String(table));
        EXPECT_EQ(count(rows, {doomed}), 0) << table;
        EXPECT_EQ(count(rows, {neighbour}), 1) << table;
    }
    EXPECT_TRUE(cells(Ballroom, 20270310).isEmpty());
    EXPECT_EQ(cells(Ballroom, 20270311).size(), 16);
    EXPECT_EQ(items(neighbour).size(), 1);
    EXPECT_EQ(count(u"select count(*) from tasklist where eventnumber = ?"_s, {neighbour}), 1);
    EXPECT_EQ(count(u"select count(*) from pkg where pkgnum = ?"_s, {neighbour}), 1);
    EXPECT_EQ(historyFile().last(),
              u"01102027\\09:30\\E#0\\Event#%1 \\Contact deleted - Ada Lovelace - "
              "555-123-4567"_s.arg(doomed));
    // The window no longer shows it, so no save can write it again.
    EXPECT_EQ(event().EventNumber, 0);
    EXPECT_TRUE(box(EventField::Number).isEmpty());
    EXPECT_TRUE(prompts.messages.isEmpty());
    // Nothing stored shown: nothing happens.
    logic->wholeEvent.deleteContact();
    EXPECT_EQ(prompts.questions.size(), 1);

    // A heading event takes its package along; its members stay as events.
    const int member = saveBooking(u"20270312"_s, u"Member"_s, Library);
    exec(u"evnt"_s,
         u"insert into pkg (pkgnum, eventnum, eventdate, eventtitle) values (?, ?, "
         "20270312, 'Member')"_s,
         {neighbour, member});
    // Billed, it needs the administrator.
    exec(u"evnt"_s, u"update eventinfo set status = 5 where eventnum = ?"_s, {neighbour});
    ASSERT_TRUE(logic->ShowEvent(neighbour));
    setLevel(50);
    logic->wholeEvent.deleteContact();
    EXPECT_EQ(prompts.messageTexts(), QStringList{FieldEntry::BilledStatusRefused});
    EXPECT_TRUE(eventExists(neighbour));
    // Money received for it keeps it, until the payment is taken back.
    setLevel(99);
    exec(u"evnt"_s,
         u"update eventpayment set receiveddate = 20270302, amountreceived = 500, reference = "
         "'chq 88' where eventnum = ?"_s,
         {neighbour});
    prompts.clear();
    deleteShown();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"Event #%1 is not deleted: payments have been received for it.\n"
                          "Deposit $500.00 received 03/02/2027 (chq 88)\nCancel the event "
                          "instead, or take the payments back in Payments once they are "
                          "refunded."_s.arg(neighbour)});
    EXPECT_TRUE(eventExists(neighbour));
    exec(u"evnt"_s, u"update eventpayment set receiveddate = 0, amountreceived = 0"_s);
    deleteShown();
    EXPECT_FALSE(eventExists(neighbour));
    EXPECT_EQ(count(u"select count(*) from pkg"_s), 0);
    EXPECT_TRUE(eventExists(member));
}

} // namespace
