#include "calendar/RoomEditor.h"

#include "CalendarChecks.h"
#include "ClubFixture.h"
#include "calendar/YearSetup.h"

#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace {

class RoomEditorTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        signIn(99);
        editor = std::make_unique<RoomEditor>(*module);
        QObject::connect(editor.get(), &RoomEditor::status,
                         [this](const QString &text) { statusLines << text; });
        QObject::connect(editor.get(), &RoomEditor::roomsChanged, [this] { ++roomListRefreshes; });
        editor->OpenRoomEditor();
    }
    void addRoom(const QString &name, const QString &capacity, const QString &subdiv = QString()) {
        editor->editBox(RoomEditor::NameBox, name);
        editor->editBox(RoomEditor::CapacityBox, capacity);
        editor->editBox(RoomEditor::SubdivisionBox, subdiv);
        editor->RoomButton(RoomEditor::AddRoom);
    }
    void saveRoom(int row, const QString &name, const QString &subdiv) {
        editor->SelectRoomForEdit(row);
        editor->editBox(RoomEditor::NameBox, name);
        editor->editBox(RoomEditor::SubdivisionBox, subdiv);
        editor->RoomButton(RoomEditor::SaveChanges);
    }
    int count(const QString &sql) { return scalar(u"evnt"_s, sql).toInt(); }
    // Every room as "number name capacity subdivision".
    QVariantList roomsStored() {
        return column(u"evnt"_s, u"select roomnum || ' ' || room || ' ' || capacity || ' ' || "
                                 "subdiv from location order by roomnum"_s);
    }
    QStringList reservColumns() {
        QStringList names;
        auto db = module->databases.open(u"evnt"_s);
        auto probe = db.value()->exec(u"select * from reserv where 1 = 0"_s);
        for (int i = 0; i < probe->record().count(); ++i)
            names << probe->record().fieldName(i).toLower(); // as PostgreSQL folds them
        return names;
    }

    std::unique_ptr<RoomEditor> editor;
    QStringList statusLines;
    int roomListRefreshes = 0;
};

TEST_F(RoomEditorTest, TheBoxesGuideTheEntryAndAddingARoomAddsItsRowAndReservationColumns) {
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(editor->visible);
    EXPECT_EQ(editor->boxes[RoomEditor::NameBox], u"(room name here)"_s);
    EXPECT_TRUE(statusLines.last().startsWith(u"To add a room: (1) enter the room name"_s));
    EXPECT_TRUE(editor->buttonEnabled[RoomEditor::AddRoom]);
    EXPECT_FALSE(editor->buttonEnabled[RoomEditor::SaveChanges]);

    editor->enterBox(RoomEditor::NameBox);
    EXPECT_EQ(editor->boxes[RoomEditor::NameBox], QString());
    // Enter moves on; only the number boxes refuse a negative number.
    for (int box = 0; box < 4; ++box)
        editor->boxEnterPressed(box);
    EXPECT_EQ(keys.sent, QStringList(3, u"{Tab}"_s));
    for (const int box : {RoomEditor::SubdivisionBox, RoomEditor::CapacityBox}) {
        editor->editBox(box, u"-3"_s);
        editor->leaveBox(box);
    }
    EXPECT_EQ(editor->boxes[RoomEditor::SubdivisionBox], u"0"_s);
    EXPECT_EQ(editor->boxes[RoomEditor::CapacityBox], u"-3"_s) << "only SubD is corrected";

    addRoom(u"  O'Malley's \"Snug\"  "_s, u"1,200"_s, u"0"_s);
    EXPECT_EQ(roomsStored(), QVariantList{u"1 O'Malley's \"Snug\" 1200 0"_s});
    EXPECT_EQ(reservColumns(), (QStringList{u"resdate"_s, u"restime"_s, u"event1"_s, u"room1"_s}));
    EXPECT_EQ(editor->roomNames, QStringList{u"O'Malley's \"Snug\""_s});
    EXPECT_EQ(editor->roomNumbers, QStringList{u"1"_s});
    EXPECT_EQ(editor->boxes, (std::array<QString, RoomEditor::BoxCount>{}));
    EXPECT_EQ(roomListRefreshes, 1);
    EXPECT_EQ(statusLines.last(), u"Room successfully added to reservations table."_s);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(RoomEditorTest, ARoomWithoutANameACountOrAnotherExistingRoomToBePartOfIsNotAdded) {
    addRoom(u"Ballroom"_s, u"200"_s);
    for (const QString &name : {QString(), u"   "_s, u"(room name here)"_s})
        addRoom(name, u"40"_s);
    addRoom(u"Terrace"_s, u"0"_s);
    EXPECT_TRUE(prompts.messages.isEmpty());

    // A capacity or SubD that is no count the column holds is refused by
    // name; a SubD names another room that exists (2 would be this one).
    const QString notAPart = u"Oops...: SubD is the number of the larger room this room is part "
                             "of, or 0 when it stands alone. Room %1 cannot be that."_s;
    const struct {
        const char *capacity, *subdiv;
        QString told;
    } cases[] = {{"abc", "", u"Oops...: Capacity: \"abc\" "_s},
                 {"12abc", "", u"Oops...: Capacity: \"12abc\" "_s},
                 {"99999", "", u"Oops...: Capacity: \"99999\" "_s},
                 {"2.5", "", u"Oops...: Capacity: \"2.5\" "_s},
                 {"40", "1x", u"Oops...: SubD: \"1x\" "_s},
                 {"40", "2", notAPart.arg(2)},
                 {"40", "7", notAPart.arg(7)}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.told.toStdString());
        prompts.clear();
        addRoom(u"Ballroom East"_s, QString::fromLatin1(c.capacity), QString::fromLatin1(c.subdiv));
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(lastShown(prompts).startsWith(c.told)) << lastShown(prompts).toStdString();
    }
    EXPECT_EQ(roomsStored(), QVariantList{u"1 Ballroom 200 0"_s});
    EXPECT_EQ(reservColumns().size(), 2 + 2) << "nothing of the refused rooms was added";

    // The set-up and clearing minutes: whole minutes to half a day, kept
    // in the room's settings and shown in its row.
    for (const auto &[setup, clear, told] :
         {std::tuple{"15m", "", "Oops...: Set-up minutes: \"15m\" is not a number of minutes"},
          {"", "721", "Oops...: Clearing minutes: \"721\" is not a number of minutes"}}) {
        prompts.clear();
        editor->SelectRoomForEdit(0);
        editor->editBox(RoomEditor::SetupBox, QString::fromLatin1(setup));
        editor->editBox(RoomEditor::ClearBox, QString::fromLatin1(clear));
        editor->RoomButton(RoomEditor::SaveChanges);
        EXPECT_TRUE(lastShown(prompts).startsWith(QString::fromLatin1(told)))
            << lastShown(prompts).toStdString();
    }
    EXPECT_EQ(count(u"select count(*) from roomsetting"_s), 0);
    editor->SelectRoomForEdit(0);
    editor->editBox(RoomEditor::ClearBox, u" 60 "_s);
    editor->RoomButton(RoomEditor::SaveChanges);
    EXPECT_EQ(rowTexts(u"evnt"_s, u"select roomnum, name, value from roomsetting"_s),
              QStringList{u"1|clearminutes|60"_s});
    EXPECT_EQ(editor->roomClears, QStringList{u"60"_s});

    addRoom(u"Ballroom East"_s, u"100"_s, u"1"_s);
    EXPECT_EQ(count(u"select subdiv from location where roomnum = 2"_s), 1);
    // Nor can a room be a part of itself.
    prompts.clear();
    saveRoom(1, u"Ballroom East"_s, u"2"_s);
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(count(u"select subdiv from location where roomnum = 2"_s), 1);
}

TEST_F(RoomEditorTest, TwentyRoomsIsTheLimitButTheyCanStillBeEdited) {
    for (int i = 1; i <= 20; ++i)
        addRoom(u"Room %1"_s.arg(i), u"10"_s);
    addRoom(u"One too many"_s, u"10"_s);
    EXPECT_EQ(lastShown(prompts), u"Unable to add.: Event Scheduler has reached its maximum."_s);
    EXPECT_EQ(count(u"select count(*) from location"_s), 20);
    const QStringList columns = reservColumns();
    EXPECT_EQ(columns.size(), 42);
    EXPECT_EQ(columns.mid(10, 4), (QStringList{u"event5"_s, u"room5"_s, u"event6"_s, u"room6"_s}))
        << "the sixth room's columns follow the fifth's";

    editor->SelectRoomForEdit(19);
    EXPECT_EQ(editor->boxes[RoomEditor::NumberBox], u"20"_s);
    EXPECT_FALSE(editor->buttonEnabled[RoomEditor::AddRoom]);
    EXPECT_TRUE(editor->buttonEnabled[RoomEditor::SaveChanges]);
    editor->editBox(RoomEditor::NameBox, u"Rose Garden"_s);
    editor->editBox(RoomEditor::CapacityBox, u"60"_s);
    editor->RoomButton(RoomEditor::SaveChanges);
    EXPECT_EQ(roomsStored().last().toString(), u"20 Rose Garden 60 0"_s);
    EXPECT_TRUE(editor->buttonEnabled[RoomEditor::AddRoom]);
    EXPECT_FALSE(editor->buttonEnabled[RoomEditor::SaveChanges]);
    EXPECT_EQ(prompts.messages.size(), 1);
}

TEST_F(RoomEditorTest, BelowTheSetUpLevelThePanelOnlyShowsRooms) {
    addRoom(u"Terrace"_s, u"80"_s);
    module->session.UserLevel = 49;
    editor->OpenRoomEditor();
    EXPECT_EQ(editor->roomNames, QStringList{u"Terrace"_s});
    for (const int button : {RoomEditor::AddRoom, RoomEditor::SaveChanges, RoomEditor::DeleteRoom})
        EXPECT_FALSE(editor->buttonVisible[button]) << button;
    EXPECT_TRUE(editor->buttonVisible[RoomEditor::ExitButton]);

    // Typing is possible, but nothing is stored.
    addRoom(u"Board Room"_s, u"12"_s);
    saveRoom(0, u"Renamed"_s, u"0"_s);
    editor->RoomButton(RoomEditor::DeleteRoom);
    EXPECT_EQ(roomsStored(), QVariantList{u"1 Terrace 80 0"_s});
}

TEST_F(RoomEditorTest, AReservationColumnIsAddedOnceAndAnUnknownTypeOrTableIsReported) {
    auto db = module->databases.open(u"evnt"_s);
    Database &evnt = *db.value();
    EXPECT_TRUE(editor->AddReservColumn(evnt, u"Extra1"_s, u"LONG"_s, 0));
    EXPECT_TRUE(editor->AddReservColumn(evnt, u"Extra1"_s, u"4"_s, 0)) << "exists: quiet";
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(reservColumns().size(), 2 + 1);

    prompts.expectError(2);
    EXPECT_FALSE(editor->AddReservColumn(evnt, u"Extra4"_s, u"9"_s, 0));
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Critical);
    EXPECT_EQ(lastShown(prompts),
              u"Brevant Update: Invalid field data type\nCall Quorvane with the following "
              "information:\n3259 - Invalid field data type.\ndatabase = evnt.mdb\ndbtable  = "
              "reserv\ndbfield  = Extra4\ndbtype   = 9\n"_s);

    ASSERT_TRUE(evnt.execute(u"drop table reserv"_s).ok());
    EXPECT_FALSE(editor->AddReservColumn(evnt, u"Event1"_s, u"4"_s, 0));
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        u"Table not found in database - update canceled.\n"_s));
}

// Three rooms, the second a part of the first, and an evening booked in
// the first and third.
class RoomDeletionTest : public RoomEditorTest {
protected:
    void SetUp() override {
        RoomEditorTest::SetUp();
        addRoom(u"Ballroom"_s, u"200"_s);
        addRoom(u"Ballroom East"_s, u"100"_s, u"1"_s);
        addRoom(u"Terrace"_s, u"80"_s);
        ASSERT_TRUE(YearSetup(*module).fillYear(2027).ok());
        for (const auto &[event, room, title] :
             {std::tuple{7, 1, u"Smith wedding"_s}, std::tuple{8, 3, u"Rotary lunch"_s}}) {
            exec(u"evnt"_s,
                 u"insert into eventinfo (eventnum, eventdate, eventtitle, roomnumber, status) "
                 "values (?, 20270612, ?, ?, 2)"_s,
                 {event, title, room});
            exec(u"evnt"_s,
                 u"update reserv set event%1 = ?, room%1 = ? where resdate = 20270612 "
                 "and restime >= '18:00' and restime < '23:00'"_s.arg(room),
                 {event, title});
        }
    }
    void deleteRoom(int row, bool yes) {
        editor->SelectRoomForEdit(row);
        prompts.answerYesNo(yes);
        editor->RoomButton(RoomEditor::DeleteRoom);
    }
};

TEST_F(RoomDeletionTest,
       AskedTwiceItFreesTheRoomsCellsDisconnectsItsEventsAndItsNumberStartsClean) {
    editor->editBox(RoomEditor::NameBox, u"Ballroom"_s);
    editor->RoomButton(RoomEditor::DeleteRoom); // not enabled before a room is chosen
    EXPECT_TRUE(prompts.questions.isEmpty());
    deleteRoom(0, false);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].title, u"** CAUTION ** "_s);
    EXPECT_TRUE(prompts.questions[0].text.endsWith(
        u"present or future.\r\n\r\nClick NO to cancel or click YES to delete the chosen room."_s));
    EXPECT_EQ(count(u"select count(*) from location"_s), 3);
    EXPECT_EQ(count(u"select count(*) from reserv where event1 = 7"_s), 20);

    deleteRoom(0, true);
    EXPECT_EQ(count(u"select count(*) from reserv where event1 is not null or room1 is not null"_s),
              0);
    EXPECT_EQ(count(u"select roomnumber from eventinfo where eventnum = 7"_s), 0);
    EXPECT_EQ(roomsStored(), (QVariantList{u"2 Ballroom East 100 0"_s, u"3 Terrace 80 0"_s}));
    // The other room's booking is untouched, and the columns keep their places.
    EXPECT_EQ(count(u"select count(*) from reserv where event3 = 8 and room3 = 'Rotary lunch'"_s),
              20);
    EXPECT_EQ(count(u"select roomnumber from eventinfo where eventnum = 8"_s), 3);
    EXPECT_EQ(reservColumns().size(), 8);
    EXPECT_EQ(editor->roomNames, (QStringList{u"Ballroom East"_s, u"Terrace"_s}));
    EXPECT_GE(roomListRefreshes, 4);

    exec(u"evnt"_s, u"insert into roomsetting (roomnum, name, value) values (3, "
                    "'setupminutes', '30')"_s);
    deleteRoom(1, true); // the Terrace, room 3, the highest number
    EXPECT_EQ(count(u"select count(*) from roomsetting"_s), 0) << "the Terrace's set-up went too";
    addRoom(u"Pavilion"_s, u"150"_s);
    EXPECT_EQ(roomsStored().last().toString(), u"3 Pavilion 150 0"_s);
    EXPECT_EQ(count(u"select count(*) from reserv where event3 <> 0 or room3 > ' '"_s), 0);
    EXPECT_EQ(count(u"select count(*) from eventinfo where roomnumber = 3"_s), 0);
    EXPECT_EQ(reservColumns().size(), 8) << "the old columns are reused, not added twice";
}

} // namespace
