#include "BoardActions.h"

#include "EventEditor.h"
#include "EventRecord.h"
#include "FieldEntry.h"
#include "ports/Clock.h"
#include "ports/Messages.h"
#include "session/CurrentEvent.h"
#include "session/OperatorSession.h"
#include "values/TextValue.h"

BoardActions::BoardActions(EventEditor &editor, EventRecord &events, CurrentEvent &event,
                           EventWindow &window, Messages &messages, const OperatorSession &session,
                           Clock &clock, QObject *parent)
    : QObject(parent)
    , m_editor(editor)
    , m_events(events)
    , m_event(event)
    , m_window(window)
    , m_messages(messages)
    , m_session(session)
    , m_clock(clock) {}

void BoardActions::oops(const QString &text) {
    m_messages.show(text, QStringLiteral("Oops..."), Icon::Information);
}

// Days before today are the administrator's, as when a date is typed.
bool BoardActions::mayDate(int date, const QString &refusal) {
    const int today = m_clock.today().toString(QStringLiteral("yyyyMMdd")).toInt();
    if (date >= today || m_session.CheckAccess(OperatorSession::evaccess3))
        return true;
    oops(refusal);
    return false;
}

bool BoardActions::book(const BoardBooking &booking) {
    if (const QString why = m_editor.whyNoChanges(); !why.isEmpty()) {
        oops(why);
        return false;
    }
    if (!mayDate(booking.date, FieldEntry::BackDatingRefused))
        return false;
    if (!m_editor.startNewEventAt(booking.date, booking.room, booking.start, booking.end))
        return false;
    m_events.chooseRoom(booking.room);
    // Nothing is typed yet: leaving the new event asks nothing.
    m_event.UnsavedChanges = false;
    return true;
}

bool BoardActions::move(const BoardMove &move) {
    if (m_event.mode != CurrentEvent::Viewing) {
        oops(QStringLiteral("Save or cancel the event being entered or changed before moving "
                            "another."));
        return false;
    }
    if (const QString why = m_editor.whyNoChanges(); !why.isEmpty()) {
        oops(why);
        return false;
    }
    if (!mayDate(move.date, QStringLiteral("You must be in administrator mode to\nmove an event "
                                           "into the past.")))
        return false;
    if (!m_messages.AskYesNo(QStringLiteral("Move #%1 %2\nfrom %3\nto %4?")
                                 .arg(move.eventNumber)
                                 .arg(move.title, move.fromText, move.toText),
                             QStringLiteral("Move Event")))
        return false;

    // Loaded to be shown, then again by Modify, whose copy the save checks
    // against the stored change count: the board's picture is compared
    // with that copy, so a move another workstation made meanwhile is
    // never undone.
    if (!m_events.LoadEvent(move.eventNumber)) {
        oops(QStringLiteral("Event #%1 could not be found; it may have been deleted.")
                 .arg(move.eventNumber));
        emit boardChanged();
        return false;
    }
    m_editor.endEditing();
    m_editor.run(EventCommand::Modify);
    if (m_event.mode != CurrentEvent::Editing) {
        oops(QStringLiteral("Event #%1 could not be opened for changing; nothing was moved.")
                 .arg(move.eventNumber));
        return putBack();
    }
    const auto &fields = m_event.fields;
    const bool asShown = integerValue(fields[EventField::Date]) == move.fromDate &&
                         integerValue(fields[EventField::Room]) == move.fromRoom &&
                         fields[EventField::Start].trimmed() == move.fromStart &&
                         fields[EventField::End].trimmed() == move.fromEnd;
    if (!asShown) {
        oops(QStringLiteral("Event #%1 was changed at another workstation; the board now shows "
                            "where it is.")
                 .arg(move.eventNumber));
        return putBack();
    }

    m_event.fields[EventField::Date] = QString::number(move.date);
    m_event.Date = move.date;
    m_event.fields[EventField::Start] = move.start;
    m_event.fields[EventField::End] = move.end;
    if (move.room != move.fromRoom)
        m_events.chooseRoom(move.room);
    m_event.UnsavedChanges = true;
    m_editor.run(EventCommand::Save);

    const bool saved = m_event.mode == CurrentEvent::Viewing &&
                       integerValue(m_event.fields[EventField::Number]) == move.eventNumber &&
                       integerValue(m_event.fields[EventField::Date]) == move.date &&
                       integerValue(m_event.fields[EventField::Room]) == move.room;
    if (!saved)
        return putBack();
    m_window.showPanels(true, false, false, false);
    emit boardChanged();
    return true;
}

// Refused: the event as it is stored (or, deleted meanwhile, gone), nothing
// left to save, and the board in front, drawn again.
bool BoardActions::putBack() {
    const int number = integerValue(m_event.fields[EventField::Number]);
    if (number <= 0 || !m_events.LoadEvent(number))
        m_events.ClearEvent();
    m_editor.endEditing();
    m_window.showPanels(true, false, false, false);
    emit boardChanged();
    return false;
}
