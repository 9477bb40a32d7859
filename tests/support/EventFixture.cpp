#include "EventFixture.h"

void EventFixture::SetUp() {
    ClubFixture::SetUp();
    signIn(99);
    RoomEditor rooms(*module);
    rooms.OpenRoomEditor(true);
    for (const auto &[name, subdiv] :
         {std::pair{"Ballroom", "0"}, std::pair{"Ballroom East", "1"}, std::pair{"Library", "0"}}) {
        rooms.editBox(RoomEditor::NameBox, QString::fromLatin1(name));
        rooms.editBox(RoomEditor::CapacityBox, QStringLiteral("50"));
        rooms.editBox(RoomEditor::SubdivisionBox, QString::fromLatin1(subdiv));
        rooms.RoomButton(RoomEditor::AddRoom);
    }
    ASSERT_TRUE(YearSetup(*module).fillYear(Year).ok());
    record = std::make_unique<EventRecord>(*module);
}

void EventFixture::TearDown() {
    record.reset();
    ClubFixture::TearDown();
}

EventRecord::Saved EventFixture::book(const QString &date, const QString &title,
                                      const QString &start, const QString &end, int room,
                                      int status) {
    record->ClearEvent();
    lastNumber = record->NextEventNumber();
    auto &fields = module->event.fields;
    fields[EventField::Date] = date;
    fields[EventField::Title] = title;
    fields[EventField::Start] = start;
    fields[EventField::End] = end;
    fields[EventField::Status] = QString::number(status);
    record->chooseRoom(room);
    return record->SaveEvent(EventRecord::NewEvent);
}

QStringList EventFixture::cells(int room, int date) {
    QStringList booked;
    for (const QVariant &cell :
         column(QStringLiteral("evnt"),
                QStringLiteral("select restime || ' ' || event%1 || ' ' || room%1 from reserv "
                               "where resdate = ? and event%1 > 0 order by restime")
                    .arg(room),
                {date}))
        booked << cell.toString();
    return booked;
}

int EventFixture::events() {
    return scalar(QStringLiteral("evnt"), QStringLiteral("select count(*) from eventinfo")).toInt();
}
