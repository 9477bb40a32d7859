#include "EditingFixture.h"
#include "events/FieldEntry.h"

namespace {

constexpr int Library = 3;
constexpr int Ballroom = 1;
constexpr int EditingLevel = 20; // the fixture's thresholds are 10, 20, 50, 90
constexpr int DeletingLevel = 50;
const QString NotInitialized =
    QStringLiteral("The calendar year for this reservation has not yet been initialized \r\nand "
                   "the reservation cannot be taken at this time.");

class WholeEventTest : public EditingFixture {
protected:
    void SetUp() override {
        EditingFixture::SetUp();
        clock.current = QDateTime(QDate(2027, 1, 10), QTime(9, 30));
    }

    // A booking saved through the window, with the contact every booking has.
    int saveBooking(const QString &date, const QString &title, int room) {
        enterBooking(date, title, room);
        click(EventCommand::Save);
        EXPECT_FALSE(event().UnsavedChanges) << prompts.messageTexts().join('|').toStdString();
        return box(EventField::Number).toInt();
    }
    void addItems(int number, int count) {
        for (int i = 1; i <= count; ++i)
            exec(QStringLiteral("evnt"),
                 QStringLiteral("insert into items (eventid, qty, itemnum, dept, itemdesc, cost, "
                                "price, servchg, tax, glnum) values (?, ?, ?, 'BQ', ?, 2.5, ?, "
                                "1.5, 0.7, '4010')"),
                 {number, i * 10, 500 + i, QStringLiteral("%1 Plated dinner %2").arg(i * 10).arg(i),
                  i * 25});
    }
    // Every item of an event but its number, in a fixed order.
    QStringList items(int number) {
        QStringList found;
        for (const QVariant &row :
             column(QStringLiteral("evnt"),
                    QStringLiteral("select qty || '|' || itemnum || '|' || dept || '|' || itemdesc "
                                   "|| '|' || cost || '|' || price || '|' || servchg || '|' || "
                                   "tax || '|' || glnum from items where eventid = ? order by "
                                   "itemnum"),
                    {number}))
            found << row.toString();
        return found;
    }
    int count(const QString &sql, const QVariantList &values) {
        return scalar(QStringLiteral("evnt"), sql, values).toInt();
    }
    bool eventExists(int number) {
        return count(QStringLiteral("select count(*) from eventinfo where eventnum = ?"),
                     {number}) > 0;
    }
    void clone(const QString &date) {
        prompts.answerInput(date);
        logic->wholeEvent.cloneEvent();
    }
    void deleteShown() {
        prompts.answerYesNo(true);
        logic->wholeEvent.deleteContact();
    }
    QString counter() {
        QFile file(path(QStringLiteral("evntsched.dat")));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).trimmed()
                                              : QString();
    }
};

TEST_F(WholeEventTest, ACloneIsSavedWithTheSourcesItemsInOneGo) {
    const int source =
        saveBooking(QStringLiteral("20270310"), QStringLiteral("Rotary Dinner"), Ballroom);
    addItems(source, 3);
    const QString contact = box(EventField::ContactName);
    ASSERT_TRUE(logic->ShowEvent(source));
    prompts.clear();

    clone(QStringLiteral("0412"));
    const int copy = box(EventField::Number).toInt();
    ASSERT_GT(copy, source);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_EQ(stored(QStringLiteral("eventdate"), copy), QStringLiteral("20270412"));
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
    EXPECT_TRUE(historyFile().last().endsWith(QStringLiteral("Event#%1 opened").arg(copy)));

    // A source without items gives a clone without items.
    const int bare = saveBooking(QStringLiteral("20270315"), QStringLiteral("Tasting"), Library);
    clone(QStringLiteral("20270316"));
    EXPECT_TRUE(items(box(EventField::Number).toInt()).isEmpty());
    EXPECT_TRUE(eventExists(box(EventField::Number).toInt()));
    EXPECT_NE(box(EventField::Number).toInt(), bare);
    EXPECT_EQ(contact, QStringLiteral("Ada Lovelace"));
}

TEST_F(WholeEventTest, AStoppedCloneWritesNothingUntilItsSave) {
    const int source =
        saveBooking(QStringLiteral("20270310"), QStringLiteral("Wine Dinner"), Library);
    addItems(source, 2);
    saveBooking(QStringLiteral("20270410"), QStringLiteral("Book Club"), Library);
    ASSERT_TRUE(logic->ShowEvent(source));
    prompts.clear();

    clone(QStringLiteral("20270410"));
    const int copy = box(EventField::Number).toInt();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        QStringLiteral("The chosen time and room combination is already in use.")));
    EXPECT_FALSE(eventExists(copy));
    EXPECT_TRUE(items(copy).isEmpty()) << "no items under a number with no event";
    EXPECT_EQ(event().mode, CurrentEvent::EnteringNew) << "the clone stays to be saved";
    EXPECT_EQ(event().CloneSource, source);

    // Item Detail first would add items the save then copies again.
    prompts.clear();
    window().commandEnabled[EventCommand::ItemDetail] = true;
    click(EventCommand::ItemDetail);
    EXPECT_EQ(prompts.messages.size(), 1);

    // Moved to the morning, it saves with its cells and items together.
    prompts.clear();
    type(EventField::Start, QStringLiteral("08:00"));
    type(EventField::End, QStringLiteral("10:00"));
    EXPECT_EQ(box(EventField::Start), QStringLiteral("08:00"));
    EXPECT_EQ(box(EventField::End), QStringLiteral("10:00"));
    EXPECT_TRUE(window().EditingEnabled);
    click(EventCommand::Save);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    EXPECT_TRUE(eventExists(copy));
    EXPECT_EQ(items(copy), items(source));
    EXPECT_EQ(cells(Library, 20270410).size(), 16 + 8);

    // Saved once more, the items are not copied again.
    click(EventCommand::Modify);
    type(EventField::Title, QStringLiteral("Wine Dinner II"));
    click(EventCommand::Save);
    EXPECT_EQ(items(copy).size(), 2);
}

TEST_F(WholeEventTest, ACloneIsCheckedBeforeANumberIsIssued) {
    const int source = saveBooking(QStringLiteral("20270310"), QStringLiteral("Gala"), Ballroom);
    addItems(source, 1);
    ASSERT_TRUE(logic->ShowEvent(source));
    prompts.clear();
    const QString issued = counter();

    // A year the calendar does not hold; dates that are no dates; cancel.
    prompts.expectError();
    clone(QStringLiteral("21000101"));
    EXPECT_EQ(prompts.messageTexts(), QStringList{NotInitialized});
    for (const char *typed : {"0229", "abcd", "20271345", "999999999999", "00000000", "2027031"}) {
        prompts.clear();
        clone(QString::fromLatin1(typed));
        EXPECT_EQ(prompts.messages.size(), 1) << typed;
    }
    clone(QString());
    EXPECT_EQ(counter(), issued) << "no number issued";
    EXPECT_EQ(box(EventField::Number).toInt(), source) << "the source stays shown";
    EXPECT_EQ(count(QStringLiteral("select count(*) from items"), {}), 1);

    // Back-dating needs the administrator, as for a new event typed in.
    prompts.clear();
    setLevel(EditingLevel);
    clone(QStringLiteral("20261201"));
    EXPECT_EQ(prompts.messageTexts(), QStringList{FieldEntry::BackDatingRefused});
    EXPECT_EQ(counter(), issued);

    // With changes not yet saved the clone is refused.
    prompts.clear();
    setLevel(99);
    click(EventCommand::Modify);
    type(EventField::Title, QStringLiteral("Gala (changed)"));
    logic->wholeEvent.cloneEvent();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("You must first save your changes.")});

    // Nothing shown: nothing to clone.
    prompts.clear();
    prompts.answerYesNo(true); // give up the changes
    click(EventCommand::ClearScreen);
    logic->wholeEvent.cloneEvent();
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("Recall the original reservation first, then clone it.")});
}

TEST_F(WholeEventTest, ABilledEventIsClonedAsConfirmed) {
    const int source = saveBooking(QStringLiteral("20270310"), QStringLiteral("Awards"), Ballroom);
    exec(QStringLiteral("evnt"),
         QStringLiteral("update eventinfo set status = 5 where eventnum = ?"), {source});
    ASSERT_TRUE(logic->ShowEvent(source));
    prompts.clear();
    clone(QStringLiteral("20270510"));
    // A confirmed event needs the billing details this enquiry never had.
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("One or more required fields of data is missing.\r\n"
                                         "Please fill in: Billing Name, Billing Address 1, "
                                         "Billing City, Billing State, Billing Zip, Billing "
                                         "Phone 1, Deposit.")});
    EXPECT_EQ(box(EventField::Status), QStringLiteral("4"));
    EXPECT_EQ(stored(QStringLiteral("status"), source), QStringLiteral("5"));
}

TEST_F(WholeEventTest, DeleteTakesTheEventItsItemsTasksPackageRowAndCells) {
    const int neighbour =
        saveBooking(QStringLiteral("20270311"), QStringLiteral("Neighbour"), Ballroom);
    const int doomed = saveBooking(QStringLiteral("20270310"), QStringLiteral("Doomed"), Ballroom);
    addItems(doomed, 2);
    addItems(neighbour, 1);
    for (int number : {doomed, neighbour})
        exec(QStringLiteral("evnt"),
             QStringLiteral("insert into tasklist (eventnumber, taskdate, todo, task, staff) "
                            "values (?, 20270301, 'N', 'Flowers', 'ANN')"),
             {number});
    exec(QStringLiteral("evnt"),
         QStringLiteral("insert into pkg (pkgnum, eventnum, eventdate, eventtitle) values (?, ?, "
                        "20270311, 'Neighbour'), (?, ?, 20270310, 'Doomed')"),
         {neighbour, neighbour, neighbour, doomed});
    ASSERT_TRUE(logic->ShowEvent(doomed));
    prompts.clear();

    deleteShown();
    EXPECT_EQ(prompts.questions.value(0).text,
              QStringLiteral("Delete this contact now?\r\nEvent #%1 \"Doomed\" on 03/10/2027.")
                  .arg(doomed));
    EXPECT_EQ(prompts.questions.value(0).title, QStringLiteral("** Confirm **"));
    EXPECT_FALSE(eventExists(doomed));
    EXPECT_TRUE(items(doomed).isEmpty());
    EXPECT_EQ(
        count(QStringLiteral("select count(*) from tasklist where eventnumber = ?"), {doomed}), 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from pkg where eventnum = ?"), {doomed}), 0);
    EXPECT_TRUE(cells(Ballroom, 20270310).isEmpty());
    // The neighbour is untouched.
    EXPECT_EQ(cells(Ballroom, 20270311).size(), 16);
    EXPECT_EQ(items(neighbour).size(), 1);
    EXPECT_EQ(
        count(QStringLiteral("select count(*) from tasklist where eventnumber = ?"), {neighbour}),
        1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from pkg where pkgnum = ?"), {neighbour}), 1);
    EXPECT_EQ(historyFile().last(),
              QStringLiteral("01102027\\09:30\\E#0\\Event#%1 \\Contact deleted - Ada Lovelace - "
                             "555-123-4567")
                  .arg(doomed));
    // The window no longer shows it, so no save can write it again.
    EXPECT_EQ(event().EventNumber, 0);
    EXPECT_TRUE(box(EventField::Number).isEmpty());
    EXPECT_TRUE(prompts.messages.isEmpty());

    // A heading event takes its package along; its members stay as events.
    const int member = saveBooking(QStringLiteral("20270312"), QStringLiteral("Member"), Library);
    exec(QStringLiteral("evnt"),
         QStringLiteral("insert into pkg (pkgnum, eventnum, eventdate, eventtitle) values (?, ?, "
                        "20270312, 'Member')"),
         {neighbour, member});
    ASSERT_TRUE(logic->ShowEvent(neighbour));
    deleteShown();
    EXPECT_EQ(count(QStringLiteral("select count(*) from pkg"), {}), 0);
    EXPECT_TRUE(eventExists(member));
}

TEST_F(WholeEventTest, AFailedDeleteRemovesAndLogsNothing) {
    const int number = saveBooking(QStringLiteral("20270310"), QStringLiteral("Kept"), Library);
    addItems(number, 2);
    ASSERT_TRUE(logic->ShowEvent(number));
    const QStringList history = historyFile();
    prompts.clear();
    addFault(QStringLiteral("evnt"), QStringLiteral("refuse_delete"), QStringLiteral("delete"),
             QStringLiteral("eventinfo"), QString(), QStringLiteral("disk full"));
    prompts.expectError();
    deleteShown();
    EXPECT_TRUE(eventExists(number));
    EXPECT_EQ(items(number).size(), 2);
    EXPECT_EQ(cells(Library, 20270310).size(), 16);
    EXPECT_EQ(historyFile(), history);
    EXPECT_EQ(box(EventField::Number).toInt(), number) << "still shown";
}

TEST_F(WholeEventTest, DeletingNeedsItsLevels) {
    const int number = saveBooking(QStringLiteral("20270310"), QStringLiteral("Guarded"), Library);
    ASSERT_TRUE(logic->ShowEvent(number));
    prompts.clear();
    setLevel(EditingLevel);
    logic->wholeEvent.deleteContact();
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_TRUE(eventExists(number));

    // A billed event needs the administrator.
    exec(QStringLiteral("evnt"),
         QStringLiteral("update eventinfo set status = 5 where eventnum = ?"), {number});
    ASSERT_TRUE(logic->ShowEvent(number));
    setLevel(DeletingLevel);
    logic->wholeEvent.deleteContact();
    EXPECT_EQ(prompts.messageTexts(), QStringList{FieldEntry::BilledStatusRefused});
    EXPECT_TRUE(eventExists(number));
    setLevel(99);
    deleteShown();
    EXPECT_FALSE(eventExists(number));

    // Nothing stored shown: nothing happens.
    prompts.clear();
    logic->wholeEvent.deleteContact();
    EXPECT_TRUE(prompts.questions.isEmpty());
}

} // namespace
