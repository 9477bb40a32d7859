#pragma once

#include "values/Result.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <span>

class Module;

// The iCalendar format's rules for text, so that any calendar program reads
// back exactly what was written.
namespace ICalendar {

// A property's text value: backslash, semicolon and comma escaped, line
// breaks written as \n.
QString escaped(const QString &text);
// One content line ended by CR LF, folded so that no line is longer than 75
// octets; a fold never parts a character's bytes.
QByteArray folded(const QString &line);
// A moment as UTC in the format's basic form, 20270116T230000Z.
QString utc(const QDateTime &moment);

} // namespace ICalendar

// The booked events of a date range (status 2 to 5, and the cancelled ones
// so that a calendar that has them shows them cancelled; not mere contacts)
// as an iCalendar file, for the calendar programs the staff carry: one
// VEVENT per event with its title, room, times in UTC from the club's own
// time zone, its change count as SEQUENCE so that a calendar replaces what
// changed, and status, guests, contact and phone in its description.
class CalendarExport {
public:
    struct Request {
        int from = 0; // YYYYMMDD
        int to = 0;
        int room = 0;          // 0: every room
        QList<int> rooms = {}; // when not empty, only the events in these rooms
        int event = 0;         // when given, only this event (if it is in the range)
        bool contacts = true;  // the contact's name and phone in the description
    };
    // One event as a calendar holds it: the lines of its VEVENT, unfolded.
    struct Entry {
        int number = 0;
        QString uid;
        QString title;
        int sequence = 0; // the event's change count
        QStringList lines;
    };
    struct Events {
        QList<Entry> entries;
        QString zone; // the club's time zone the times were written from
        QString name; // the calendar's name, the club's
    };
    struct Calendar {
        QByteArray content;
        int events = 0;
        QString zone; // the club's time zone the times were written from
    };
    // What the export window shows and was given.
    struct Form {
        QDate from, to;
        int room = 0; // 0: every room
        QString file;
        // "Every room" (0), then the club's rooms by name.
        QList<std::pair<int, QString>> rooms;
        QString dateFormat; // the club's short dates, "MM/dd/yyyy"
        QString zone;       // "Times are the club's, in Europe/Berlin."
        QString error;      // why the last OK wrote nothing
    };

    explicit CalendarExport(Module &module);

    // The file's content. The club's name comes from the configuration.
    Result<Calendar> calendar(const Request &request);
    // An event's UID, the same in every export and publish of the club, so
    // that a calendar updates the event rather than adding it again.
    static QString uid(int eventNumber, const QString &clubName);
    // The events the file would hold, each on its own.
    Result<Events> events(const Request &request);
    // A calendar holding these events, as a file or a calendar server takes it.
    static QByteArray document(const QString &name, const QString &zone,
                               std::span<const Entry> entries);

    // File menu, "Export Calendar (.ics)...": the window's first values (this
    // month, every room, a file named for the dates in the club directory).
    // False, the operator told why when needed, when the window is not to
    // open: below the level that prints listings, or the rooms unreadable.
    bool open();
    Form form;
    // A file named for the dates, in the club directory.
    QString suggestedFile(const QDate &from, const QDate &to) const;
    // Writes the form's range and room to its file and says how many events
    // it holds. False, with form.error, when nothing was written.
    bool save();

private:
    Module &m_module;
};
