#pragma once

#include "EventFixture.h"
#include "RunningWindow.h"

#include <QFile>

using namespace Qt::StringLiterals;

// The event club with what its tests read back: stored columns, the files.
class RecordFixture : public EventFixture {
protected:
    // An event saved by the record as the window saves one; its number.
    int booked(const QString &date, const QString &title, const QString &start, const QString &end,
               int room, int status = 2) {
        EXPECT_EQ(book(date, title, start, end, room, status), EventRecord::Saved::Done);
        return lastNumber;
    }
    QVariant storedValue(const QString &column, int number) {
        return scalar(u"evnt"_s, u"select %1 from eventinfo where eventnum = ?"_s.arg(column),
                      {number});
    }
    QString stored(const QString &column, int number) {
        return storedValue(column, number).toString();
    }
    int count(const QString &sql, const QVariantList &values = {}) {
        return scalar(u"evnt"_s, sql, values).toInt();
    }
    QString file(const QString &name) {
        QFile in(path(name));
        return in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString();
    }
    QStringList historyFile() {
        return file(u"evntsched.ini"_s).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

// The main window's logic started over the event club, driven the way the
// operator drives the window: buttons, typing into boxes, choosing from lists.
class EditingFixture : public RecordFixture {
protected:
    void SetUp() override {
        RecordFixture::SetUp();
        running.start(*module, club, u"editing-test"_s);
        logic = running.logic.get();
    }
    void TearDown() override {
        running.stop();
        RecordFixture::TearDown();
    }

    CurrentEvent &event() { return module->event; }
    EventWindow &window() { return logic->window; }
    const QString &box(EventField field) { return module->event.fields[field]; }
    void click(EventCommand command) { logic->editor.run(command); }
    // Into the box, a key, the new text, out of the box.
    void type(EventField field, const QString &text) {
        FieldEntry &entry = logic->entry;
        entry.enterField(field);
        entry.typeKey(field, FieldEntry::Key::Other);
        entry.editField(field, text);
        entry.leaveField(field);
    }
    void chooseStatus(int code) {
        logic->entry.onStatusChosen(Configuration::statusPosition(code));
    }
    void chooseRoom(int roomnum) {
        for (int row = 0; row < logic->roomList.size(); ++row) {
            if (logic->roomList[row].section(QLatin1Char(' '), 0, 0).toInt() == roomnum)
                return logic->onRoomChosen(row);
        }
        ADD_FAILURE() << "no room " << roomnum;
    }
    void setLevel(int level) { module->session.UserLevel = level; }

    // New Event, filled in as an enquiry turned booking: status 2 with
    // everything a booking requires, not yet saved.
    void enterBooking(const QString &date, const QString &title, int room) {
        click(EventCommand::NewEvent);
        type(EventField::Date, date);
        type(EventField::Title, title);
        type(EventField::Start, u"18:00"_s);
        type(EventField::End, u"22:00"_s);
        chooseStatus(2);
        type(EventField::Guests, u"40"_s);
        type(EventField::Guarantee, u"35"_s);
        chooseRoom(room);
        type(EventField::ContactName, u"Ada Lovelace"_s);
        type(EventField::ContactPhone1, u"5551234567"_s);
    }

    // What was shown so far, for a failure message.
    std::string told() const { return prompts.messageTexts().join(u'|').toStdString(); }

    RunningWindow running;
    MainWindowLogic *logic = nullptr;
};
