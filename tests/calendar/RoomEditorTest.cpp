#include "calendar/RoomEditor.h"

#include "ClubFixture.h"
#include "calendar/YearSetup.h"

#include <QSqlRecord>

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
    void type(const QString &name, const QString &capacity, const QString &subdiv = QString()) {
        editor->editBox(RoomEditor::NameBox, name);
        editor->editBox(RoomEditor::CapacityBox, capacity);
        editor->editBox(RoomEditor::SubdivisionBox, subdiv);
    }
    void addRoom(const QString &name, const QString &capacity, const QString &subdiv = QString()) {
        type(name, capacity, subdiv);
        editor->RoomButton(RoomEditor::AddRoom);
    }
    int count(const QString &sql, const QVariantList &values = {}) {
        return scalar(QStringLiteral("evnt"), sql, values).toInt();
    }
    QStringList reservColumns() {
        QStringList names;
        auto db = module->databases.open(QStringLiteral("evnt"));
        auto probe = db.value()->exec(QStringLiteral("select * from reserv where 1 = 0"));
        for (int i = 0; i < probe->record().count(); ++i)
            names << probe->record().fieldName(i).toLower(); // as PostgreSQL folds them
        return names;
    }

    std::unique_ptr<RoomEditor> editor;
    QStringList statusLines;
    int roomListRefreshes = 0;
};

TEST_F(RoomEditorTest, OpeningShowsTheRoomsAndHowToAddOne) {
    EXPECT_TRUE(editor->visible);
    EXPECT_EQ(editor->boxes[RoomEditor::NameBox], QStringLiteral("(room name here)"));
    EXPECT_TRUE(
        statusLines.last().startsWith(QStringLiteral("To add a room: (1) enter the room name")));
    EXPECT_TRUE(editor->buttonEnabled[RoomEditor::AddRoom]);
    EXPECT_FALSE(editor->buttonEnabled[RoomEditor::SaveChanges]);

    editor->enterBox(RoomEditor::NameBox);
    EXPECT_EQ(editor->boxes[RoomEditor::NameBox], QString());
}

TEST_F(RoomEditorTest, AddingARoomAddsItsRowAndItsReservationColumns) {
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    addRoom(QStringLiteral("  O'Malley's \"Snug\"  "), QStringLiteral("1,200"),
            QStringLiteral("0"));
    EXPECT_EQ(scalar(QStringLiteral("evnt"),
                     QStringLiteral("select room from location where roomnum = 1"))
                  .toString(),
              QStringLiteral("O'Malley's \"Snug\""));
    EXPECT_EQ(count(QStringLiteral("select capacity from location where roomnum = 1")), 1200);
    EXPECT_EQ(reservColumns(), (QStringList{QStringLiteral("resdate"), QStringLiteral("restime"),
                                            QStringLiteral("event1"), QStringLiteral("room1")}));
    EXPECT_EQ(editor->roomNames, QStringList{QStringLiteral("O'Malley's \"Snug\"")});
    EXPECT_EQ(editor->roomNumbers, QStringList{QStringLiteral("1")});
    EXPECT_EQ(editor->boxes, (std::array<QString, 4>{}));
    EXPECT_EQ(roomListRefreshes, 1);
    EXPECT_EQ(statusLines.last(), QStringLiteral("Room successfully added to reservations table."));
    EXPECT_EQ(editor->NewRoomNumber, 0);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(RoomEditorTest, RoomsWithoutANameOrCapacityAreNotAdded) {
    addRoom(QString(), QStringLiteral("40"));
    addRoom(QStringLiteral("   "), QStringLiteral("40"));
    addRoom(QStringLiteral("(room name here)"), QStringLiteral("40"));
    addRoom(QStringLiteral("Terrace"), QStringLiteral("0"));
    EXPECT_TRUE(prompts.messages.isEmpty());

    // A capacity or SubD that is no count the column holds is refused by name.
    struct Case {
        const char *capacity, *subdiv, *told;
    };
    for (const Case c :
         {Case{"abc", "", "Capacity: \"abc\" "}, Case{"12abc", "", "Capacity: \"12abc\" "},
          Case{"99999", "", "Capacity: \"99999\" "}, Case{"2.5", "", "Capacity: \"2.5\" "},
          Case{"40", "1x", "SubD: \"1x\" "}}) {
        prompts.clear();
        addRoom(QStringLiteral("Terrace"), QString::fromLatin1(c.capacity),
                QString::fromLatin1(c.subdiv));
        ASSERT_EQ(prompts.messages.size(), 1) << c.capacity;
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(QString::fromLatin1(c.told)))
            << prompts.lastMessage().text.toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("select count(*) from location")), 0);
    EXPECT_EQ(reservColumns().size(), 2);
}

TEST_F(RoomEditorTest, ARoomIsPartOnlyOfAnotherExistingRoom) {
    addRoom(QStringLiteral("Ballroom"), QStringLiteral("200"));
    addRoom(QStringLiteral("Ballroom East"), QStringLiteral("100"), QStringLiteral("1"));
    EXPECT_EQ(count(QStringLiteral("select subdiv from location where roomnum = 2")), 1);

    for (const QString &subdiv : {QStringLiteral("3"), QStringLiteral("7")}) {
        prompts.clear();
        addRoom(QStringLiteral("Ballroom West"), QStringLiteral("100"), subdiv);
        ASSERT_EQ(prompts.messages.size(), 1) << subdiv.toStdString();
        EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Oops..."));
        EXPECT_TRUE(prompts.lastMessage().text.contains(QStringLiteral("Room ") + subdiv));
    }
    EXPECT_EQ(count(QStringLiteral("select count(*) from location")), 2);
    EXPECT_EQ(reservColumns().size(), 2 + 2 * 2) << "nothing of the refused room was added";

    // Nor can a room be a part of itself.
    editor->SelectRoomForEdit(1);
    editor->editBox(RoomEditor::SubdivisionBox, QStringLiteral("2"));
    prompts.clear();
    editor->RoomButton(RoomEditor::SaveChanges);
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(count(QStringLiteral("select subdiv from location where roomnum = 2")), 1);
}

TEST_F(RoomEditorTest, TheSixthRoomsColumnsFollowTheFifths) {
    for (int i = 1; i <= 6; ++i)
        addRoom(QStringLiteral("Room %1").arg(i), QStringLiteral("10"));
    const QStringList columns = reservColumns();
    ASSERT_EQ(columns.size(), 14);
    EXPECT_EQ(columns[10], QStringLiteral("event5"));
    EXPECT_EQ(columns[11], QStringLiteral("room5"));
    EXPECT_EQ(columns[12], QStringLiteral("event6"));
    EXPECT_EQ(columns[13], QStringLiteral("room6"));
}

TEST_F(RoomEditorTest, TwentyRoomsIsTheLimitButTheyCanStillBeEdited) {
    for (int i = 1; i <= 20; ++i)
        addRoom(QStringLiteral("Room %1").arg(i), QStringLiteral("10"));
    addRoom(QStringLiteral("One too many"), QStringLiteral("10"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Event Scheduler has reached its maximum."));
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Unable to add."));
    EXPECT_EQ(count(QStringLiteral("select count(*) from location")), 20);
    EXPECT_EQ(reservColumns().size(), 42);

    editor->SelectRoomForEdit(19);
    EXPECT_EQ(editor->boxes[RoomEditor::NumberBox], QStringLiteral("20"));
    EXPECT_FALSE(editor->buttonEnabled[RoomEditor::AddRoom]);
    EXPECT_TRUE(editor->buttonEnabled[RoomEditor::SaveChanges]);
    editor->editBox(RoomEditor::NameBox, QStringLiteral("Rose Garden"));
    editor->editBox(RoomEditor::CapacityBox, QStringLiteral("60"));
    editor->RoomButton(RoomEditor::SaveChanges);
    EXPECT_EQ(scalar(QStringLiteral("evnt"),
                     QStringLiteral("select room || capacity from location where roomnum = 20"))
                  .toString(),
              QStringLiteral("Rose Garden60"));
    EXPECT_EQ(editor->editState, 0);
    EXPECT_TRUE(editor->buttonEnabled[RoomEditor::AddRoom]);
    EXPECT_FALSE(editor->buttonEnabled[RoomEditor::SaveChanges]);
    EXPECT_EQ(prompts.messages.size(), 1);
}

TEST_F(RoomEditorTest, BelowTheSetUpLevelThePanelOnlyShowsRooms) {
    addRoom(QStringLiteral("Terrace"), QStringLiteral("80"));
    module->session.UserLevel = 49;
    editor->OpenRoomEditor();
    EXPECT_EQ(editor->roomNames, QStringList{QStringLiteral("Terrace")});
    EXPECT_FALSE(editor->buttonVisible[RoomEditor::AddRoom]);
    EXPECT_FALSE(editor->buttonVisible[RoomEditor::SaveChanges]);
    EXPECT_FALSE(editor->buttonVisible[RoomEditor::DeleteRoom]);
    EXPECT_TRUE(editor->buttonVisible[RoomEditor::ExitButton]);

    // Typing is possible, but nothing is stored.
    addRoom(QStringLiteral("Board Room"), QStringLiteral("12"));
    editor->SelectRoomForEdit(0);
    editor->editBox(RoomEditor::NameBox, QStringLiteral("Renamed"));
    editor->RoomButton(RoomEditor::SaveChanges);
    editor->RoomButton(RoomEditor::DeleteRoom);
    EXPECT_EQ(count(QStringLiteral("select count(*) from location")), 1);
    EXPECT_EQ(
        scalar(QStringLiteral("evnt"), QStringLiteral("select room from location")).toString(),
        QStringLiteral("Terrace"));
}

TEST_F(RoomEditorTest, EntryBoxesMoveOnWithEnterAndRefuseNegativeNumbers) {
    for (int box = 0; box < 4; ++box)
        editor->boxEnterPressed(box);
    EXPECT_EQ(keys.sent, QStringList(3, QStringLiteral("{Tab}")));
    editor->editBox(RoomEditor::SubdivisionBox, QStringLiteral("-3"));
    editor->leaveBox(RoomEditor::SubdivisionBox);
    EXPECT_EQ(editor->boxes[RoomEditor::SubdivisionBox], QStringLiteral("0"));
    editor->editBox(RoomEditor::CapacityBox, QStringLiteral("-3"));
    editor->leaveBox(RoomEditor::CapacityBox);
    EXPECT_EQ(editor->boxes[RoomEditor::CapacityBox], QStringLiteral("-3"))
        << "only the number boxes are corrected";
}

TEST_F(RoomEditorTest, ReservationColumnsByCodeOrNameAndTheirFailures) {
    auto db = module->databases.open(QStringLiteral("evnt"));
    Database &evnt = *db.value();
    EXPECT_TRUE(editor->AddReservColumn(evnt, QStringLiteral("Extra1"), QStringLiteral("LONG"), 0));
    EXPECT_TRUE(editor->AddReservColumn(evnt, QStringLiteral("Extra1"), QStringLiteral("4"), 0))
        << "exists: quiet";
    // Every type, by code and by name.
    const QStringList names{
        QStringLiteral("BOOLEAN"), QStringLiteral("BYTE"),       QStringLiteral("INTEGER"),
        QStringLiteral("LONG"),    QStringLiteral("CURRENCY"),   QStringLiteral("SINGLE"),
        QStringLiteral("DOUBLE"),  QStringLiteral("DATE"),       QString(),
        QStringLiteral("TEXT"),    QStringLiteral("LONGBINARY"), QStringLiteral("memo")};
    for (int code = 1; code <= 12; ++code) {
        if (code == 9)
            continue;
        EXPECT_TRUE(editor->AddReservColumn(evnt, QStringLiteral("ByCode%1").arg(code),
                                            QString::number(code), 20))
            << code;
        EXPECT_TRUE(editor->AddReservColumn(evnt, QStringLiteral("ByName%1").arg(code),
                                            names[code - 1], 20))
            << names[code - 1].toStdString();
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(reservColumns().size(), 2 + 1 + 2 * 11);

    prompts.expectError(2);
    EXPECT_FALSE(editor->AddReservColumn(evnt, QStringLiteral("Extra4"), QStringLiteral("9"), 0));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Brevant Update"));
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Critical);
    EXPECT_EQ(
        prompts.lastMessage().text,
        QStringLiteral("Invalid field data type\nCall Quorvane with the following information:\n"
                       "3259 - Invalid field data type.\ndatabase = evnt.mdb\ndbtable  = reserv\n"
                       "dbfield  = Extra4\ndbtype   = 9\n"));

    ASSERT_TRUE(evnt.execute(QStringLiteral("drop table reserv")).ok());
    EXPECT_FALSE(editor->AddReservColumn(evnt, QStringLiteral("Event1"), QStringLiteral("4"), 0));
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        QStringLiteral("Table not found in database - update canceled.\n")));
}

class RoomDeletionTest : public RoomEditorTest {
protected:
    void SetUp() override {
        RoomEditorTest::SetUp();
        addRoom(QStringLiteral("Ballroom"), QStringLiteral("200"));
        addRoom(QStringLiteral("Ballroom East"), QStringLiteral("100"), QStringLiteral("1"));
        addRoom(QStringLiteral("Terrace"), QStringLiteral("80"));
        ASSERT_TRUE(YearSetup(*module).fillYear(2027).ok());
        book(7, 1, QStringLiteral("Smith wedding"));
        book(8, 3, QStringLiteral("Rotary lunch"));
    }
    void book(int event, int room, const QString &title) {
        exec(QStringLiteral("evnt"),
             QStringLiteral(
                 "insert into eventinfo (eventnum, eventdate, eventtitle, roomnumber, status) "
                 "values (?, 20270612, ?, ?, 2)"),
             {event, title, room});
        exec(QStringLiteral("evnt"),
             QStringLiteral("update reserv set event%1 = ?, room%1 = ? where resdate = 20270612 "
                            "and restime >= '18:00' and restime < '23:00'")
                 .arg(room),
             {event, title});
    }
    void deleteRoom(int row, bool yes) {
        editor->SelectRoomForEdit(row);
        prompts.answerYesNo(yes);
        editor->RoomButton(RoomEditor::DeleteRoom);
    }
};

TEST_F(RoomDeletionTest, NoKeepsEverything) {
    deleteRoom(0, false);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].title, QStringLiteral("** CAUTION ** "));
    EXPECT_TRUE(prompts.questions[0].text.endsWith(QStringLiteral(
        "present or future.\r\n\r\nClick NO to cancel or click YES to delete the chosen room.")));
    EXPECT_EQ(count(QStringLiteral("select count(*) from location")), 3);
    EXPECT_EQ(count(QStringLiteral("select count(*) from reserv where event1 = 7")), 20);
}

TEST_F(RoomDeletionTest, FreesTheRoomsCellsAndDisconnectsItsEvents) {
    deleteRoom(0, true);
    EXPECT_EQ(count(QStringLiteral("select count(*) from location where roomnum = 1")), 0);
    EXPECT_EQ(count(QStringLiteral(
                  "select count(*) from reserv where event1 is not null or room1 is not null")),
              0);
    EXPECT_EQ(count(QStringLiteral("select roomnumber from eventinfo where eventnum = 7")), 0);
    EXPECT_EQ(count(QStringLiteral("select subdiv from location where roomnum = 2")), 0);
    // The other room's booking is untouched, and the columns keep their places.
    EXPECT_EQ(count(QStringLiteral(
                  "select count(*) from reserv where event3 = 8 and room3 = 'Rotary lunch'")),
              20);
    EXPECT_EQ(count(QStringLiteral("select roomnumber from eventinfo where eventnum = 8")), 3);
    EXPECT_EQ(reservColumns().size(), 8);
    EXPECT_EQ(editor->roomNames,
              (QStringList{QStringLiteral("Ballroom East"), QStringLiteral("Terrace")}));
    EXPECT_GE(roomListRefreshes, 4);
}

TEST_F(RoomDeletionTest, ARoomThatGetsTheNumberAgainStartsClean) {
    deleteRoom(2, true); // the Terrace, room 3, the highest number
    addRoom(QStringLiteral("Pavilion"), QStringLiteral("150"));
    EXPECT_EQ(count(QStringLiteral("select roomnum from location where room = 'Pavilion'")), 3);
    EXPECT_EQ(count(QStringLiteral("select count(*) from reserv where event3 <> 0 or room3 > ' '")),
              0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from eventinfo where roomnumber = 3")), 0);
    EXPECT_EQ(reservColumns().size(), 8) << "the old columns are reused, not added twice";
}

TEST_F(RoomDeletionTest, DeletingNeedsARoomChosenFromTheList) {
    type(QStringLiteral("Ballroom"), QStringLiteral("200"));
    editor->RoomButton(RoomEditor::DeleteRoom); // not enabled before a room is chosen
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(count(QStringLiteral("select count(*) from location")), 3);
}

} // namespace
