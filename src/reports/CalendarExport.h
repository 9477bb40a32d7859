#pragma once

#include "foundation/Result.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

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

// The booked events of a date range (status 2 to 5, so not mere contacts
// and not cancelled ones) as an iCalendar file, for the calendar programs
// the staff carry: one VEVENT per event with its title, room, times in UTC,
// and status, guests, contact and phone in its description.
class CalendarExport {
public:
    struct Request {
        int from = 0; // YYYYMMDD
        int to = 0;
        int room = 0; // 0: every room
    };
    struct Calendar {
        QByteArray content;
        int events = 0;
    };

    explicit CalendarExport(Module &module);

    // The file's content. The club's name comes from the configuration.
    Result<Calendar> calendar(const Request &request);
    // File menu, "Export Calendar (.ics)...": asks the date range, the room
    // and where to save, writes the file and says how many events it holds.
    void mnuexportcalendarClick();

private:
    std::optional<int> askRoom();

    Module &m_module;
};
