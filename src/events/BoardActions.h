#pragma once

#include "calendar/RoomsBoard.h"

#include <QObject>

class Clock;
class EventEditor;
class EventRecord;
class Messages;
class OperatorSession;
struct CurrentEvent;
struct EventWindow;

// What the rooms board asks of the event side. A booking starts New Event
// with the date, room and times filled in; the operator completes it in
// the event window and saves it there. A move is confirmed, then made by
// loading the event, "Modify", changing its date, room and times and
// "Save": the same checks, conflict test, change count, cells and change
// log as a move typed by hand, at the level those commands need. A move
// the save refuses leaves the event as it was stored.
class BoardActions : public QObject {
    Q_OBJECT

public:
    BoardActions(EventEditor &editor, EventRecord &events, CurrentEvent &event, EventWindow &window,
                 Messages &messages, const OperatorSession &session, Clock &clock,
                 QObject *parent = nullptr);

    // False when it was refused (the operator told why).
    bool book(const BoardBooking &booking);
    // True when the event was saved where the move puts it.
    bool move(const BoardMove &move);

signals:
    // The board is to be drawn again: the move was saved or put back.
    void boardChanged();

private:
    bool mayDate(int date, const QString &refusal);
    bool putBack();
    void oops(const QString &text);

    EventEditor &m_editor;
    EventRecord &m_events;
    CurrentEvent &m_event;
    EventWindow &m_window;
    Messages &m_messages;
    const OperatorSession &m_session;
    Clock &m_clock;
};
