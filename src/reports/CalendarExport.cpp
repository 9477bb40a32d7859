#include "CalendarExport.h"

#include "calendar/Rooms.h"
#include "events/ChangeLog.h"
#include "ports/Clock.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "storage/ClubFile.h"
#include "storage/EventChanges.h"
#include "values/TextValue.h"

#include <QDir>
#include <QHash>
#include <QTimeZone>

namespace ICalendar {

QString escaped(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(','))
            out += QLatin1Char('\\') + c;
        else if (c == QLatin1Char('\r'))
            continue; // CR LF and a lone CR are one line break, as LF is
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out;
}

QByteArray folded(const QString &line) {
    constexpr qsizetype MostOctets = 75;
    const QByteArray bytes = line.toUtf8();
    QByteArray out;
    qsizetype start = 0;
    qsizetype room = MostOctets;
    while (bytes.size() - start > room) {
        qsizetype end = start + room;
        // Back to the first byte of a character: continuation bytes are 10xxxxxx.
        while (end > start && (uchar(bytes[end]) & 0xC0) == 0x80)
            --end;
        out += bytes.mid(start, end - start) + "\r\n ";
        start = end;
        room = MostOctets - 1; // the leading space counts
    }
    return out + bytes.mid(start) + "\r\n";
}

QString utc(const QDateTime &moment) {
    return moment.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

} // namespace ICalendar

namespace {

const QString Title = QStringLiteral("Export Calendar");

QDate dateOf(int number) {
    return QDate(number / 10000, number / 100 % 100, number % 100);
}

// Events are booked in the club's time zone, whichever workstation (or
// scheduled job on a server) makes the export.
QDateTime local(const QTimeZone &zone, const QDate &date, const QTime &time) {
    return QDateTime(date, time, zone);
}

// Start and end of an event: "CLOSE" ends at midnight, and an end before
// the start is past midnight. No start time: a day-long event.
struct When {
    QString start, end;
};
When when(const QTimeZone &zone, int eventDate, const QString &startText, const QString &endText) {
    const QDate date = dateOf(eventDate);
    const QTime start = QTime::fromString(startText.trimmed(), QStringLiteral("HH:mm"));
    if (!start.isValid())
        return {QStringLiteral("DTSTART;VALUE=DATE:") + date.toString(QStringLiteral("yyyyMMdd")),
                QStringLiteral("DTEND;VALUE=DATE:") +
                    date.addDays(1).toString(QStringLiteral("yyyyMMdd"))};
    const QString closing = endText.trimmed();
    QDateTime end;
    if (closing.compare(QLatin1String("CLOSE"), Qt::CaseInsensitive) == 0) {
        end = local(zone, date.addDays(1), QTime(0, 0));
    } else if (const QTime time = QTime::fromString(closing, QStringLiteral("HH:mm"));
               time.isValid()) {
        end = local(zone, time > start ? date : date.addDays(1), time);
    }
    return {QStringLiteral("DTSTART:") + ICalendar::utc(local(zone, date, start)),
            end.isValid() ? QStringLiteral("DTEND:") + ICalendar::utc(end) : QString()};
}

// The iCalendar status of an event's status: a reservation is tentative
// until the count is confirmed.
QString statusProperty(int status) {
    if (status == 9)
        return QStringLiteral("STATUS:CANCELLED");
    return status >= 4 ? QStringLiteral("STATUS:CONFIRMED") : QStringLiteral("STATUS:TENTATIVE");
}

// The last change of an event, the latest of what the change log, its
// change count's stamp and its creation date say, each the club's
// wall-clock time; never after the export itself, whose time stamp a
// calendar program compares it with.
QDateTime lastModified(const QTimeZone &zone, const QDateTime &logged, const QString &counted,
                       int created, const QDateTime &now) {
    QDateTime last = logged;
    for (const QDateTime &other :
         {EventChanges::changedAt(counted, zone),
          created > 0 ? local(zone, dateOf(created), QTime(0, 0)) : QDateTime()}) {
        if (other.isValid() && (!last.isValid() || other > last))
            last = other;
    }
    return last.isValid() && last > now ? now : last;
}

} // namespace

// "event-12@harbour-view-country-club.moravel": the same every export, so a
// calendar program updates the event rather than adding it again.
QString CalendarExport::uid(int eventNumber, const QString &clubName) {
    QString club;
    for (QChar c : clubName.toLower()) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || c.isDigit();
        if (plain && c.unicode() < 128)
            club += c;
        else if (!club.endsWith(QLatin1Char('-')))
            club += QLatin1Char('-');
    }
    while (club.startsWith(QLatin1Char('-')))
        club.remove(0, 1);
    while (club.endsWith(QLatin1Char('-')))
        club.chop(1);
    return QStringLiteral("event-%1@%2.moravel")
        .arg(eventNumber)
        .arg(club.isEmpty() ? QStringLiteral("club") : club);
}

CalendarExport::CalendarExport(Module &module)
    : m_module(module) {}

Result<CalendarExport::Calendar> CalendarExport::calendar(const Request &request) {
    auto found = events(request);
    if (!found)
        return found.error();
    return Calendar{document(found->name, found->zone, found->entries), int(found->entries.size()),
                    found->zone};
}

QByteArray CalendarExport::document(const QString &name, const QString &zone,
                                    std::span<const Entry> entries) {
    QStringList lines{QStringLiteral("BEGIN:VCALENDAR"),
                      QStringLiteral("VERSION:2.0"),
                      QStringLiteral("PRODID:-//Moravel//Event Scheduling//EN"),
                      QStringLiteral("CALSCALE:GREGORIAN"),
                      QStringLiteral("X-WR-CALNAME:") + ICalendar::escaped(name),
                      QStringLiteral("X-WR-TIMEZONE:") + zone};
    for (const Entry &entry : entries)
        lines << entry.lines;
    lines << QStringLiteral("END:VCALENDAR");
    QByteArray content;
    for (const QString &line : lines)
        content += ICalendar::folded(line);
    return content;
}

Result<CalendarExport::Events> CalendarExport::events(const Request &request) {
    auto evnt = m_module.databases.open(QStringLiteral("evnt"));
    if (!evnt)
        return evnt.error();
    auto rooms = ReadRooms(**evnt);
    if (!rooms)
        return rooms.error();
    auto settings = ClubSettings::read(**evnt);
    if (!settings)
        return settings.error();
    const auto zone = settings->timeZone();
    if (!zone)
        return zone.error();
    QHash<int, QString> roomNames;
    for (const Room &room : *rooms)
        roomNames.insert(room.roomnum, room.room.trimmed());

    QString sql = QStringLiteral(
        "select e.eventnum, e.eventdate, e.eventtitle, e.starttime, e.endtime, e.status, "
        "e.setfor, e.guarantee, e.roomnumber, e.contactname, e.contphone1, e.createdate, "
        "c.changecount, c.changedat from eventinfo e left join eventchange c on c.eventnum = "
        "e.eventnum where e.eventdate between ? and ? and (e.status between 2 and 5 or "
        "e.status = 9) and e.eventnum > 0");
    QVariantList values{request.from, request.to};
    if (request.room > 0) {
        sql += QStringLiteral(" and e.roomnumber = ?");
        values << request.room;
    }
    if (!request.rooms.isEmpty()) {
        QStringList marks;
        for (int room : request.rooms) {
            marks << QStringLiteral("?");
            values << room;
        }
        sql += QStringLiteral(" and e.roomnumber in (%1)").arg(marks.join(QLatin1Char(',')));
    }
    if (request.event > 0) {
        sql += QStringLiteral(" and e.eventnum = ?");
        values << request.event;
    }
    // A day-long event (no start time) first on its day, on either engine:
    // they sort a null apart.
    auto found = (*evnt)->exec(
        sql + QStringLiteral(" order by e.eventdate, coalesce(e.starttime, ''), e.eventnum"),
        values);
    if (!found)
        return found.error();

    const Configuration &config = m_module.config;
    const QDateTime now = m_module.ports.clock.now();
    const QString stamp = ICalendar::utc(now);
    auto changed =
        ChangeLog(m_module.messages, m_module.ports.clock, m_module.event).lastChanges(*zone);
    if (!changed)
        return changed.error();
    Events events{{}, QString::fromUtf8(zone->id()), config.compname};
    while (found->next()) {
        Entry entry;
        entry.number = found->value(0).toInt();
        entry.title = found->value(2).toString();
        entry.sequence = found->value(12).toInt();
        entry.uid = uid(entry.number, config.compname);
        const When times = when(*zone, found->value(1).toInt(), found->value(3).toString(),
                                found->value(4).toString());
        const int status = found->value(5).toInt();
        QStringList description{QStringLiteral("Status: ") + config.statusListText(status),
                                QStringLiteral("Guests: %1 (guaranteed %2)")
                                    .arg(found->value(6).toInt())
                                    .arg(found->value(7).toInt())};
        if (request.contacts) {
            if (const QString contact = found->value(9).toString().trimmed(); !contact.isEmpty())
                description << QStringLiteral("Contact: ") + contact;
            if (const QString phone = found->value(10).toString().trimmed(); !phone.isEmpty())
                description << QStringLiteral("Phone: ") + phone;
        }
        const QDateTime modified =
            lastModified(*zone, changed->value(entry.number), found->value(13).toString(),
                         found->value(11).toInt(), now);

        QStringList &lines = entry.lines;
        lines << QStringLiteral("BEGIN:VEVENT")
              << QStringLiteral("UID:") + ICalendar::escaped(entry.uid)
              << QStringLiteral("DTSTAMP:") + stamp << times.start;
        if (!times.end.isEmpty())
            lines << times.end;
        lines << QStringLiteral("SUMMARY:") + ICalendar::escaped(entry.title);
        const int room = found->value(8).toInt();
        if (room > 0)
            lines << QStringLiteral("LOCATION:") + ICalendar::escaped(roomNames.value(
                                                       room, QStringLiteral("Room %1").arg(room)));
        lines << QStringLiteral("DESCRIPTION:") +
                     ICalendar::escaped(description.join(QLatin1Char('\n')))
              << statusProperty(status) << QStringLiteral("SEQUENCE:%1").arg(entry.sequence);
        if (modified.isValid())
            lines << QStringLiteral("LAST-MODIFIED:") + ICalendar::utc(modified);
        lines << QStringLiteral("END:VEVENT");
        events.entries << entry;
    }
    return events;
}

bool CalendarExport::open() {
    if (!m_module.session.CheckAccess(OperatorSession::evaccess1))
        return false;
    const auto rooms = LoadRooms(m_module.access);
    if (!rooms)
        return false;
    form = Form();
    const QDate today = m_module.ports.clock.today();
    form.from = QDate(today.year(), today.month(), 1);
    form.to = form.from.addMonths(1).addDays(-1);
    form.file = QDir::toNativeSeparators(suggestedFile(form.from, form.to));
    form.rooms << std::pair{0, QStringLiteral("Every room")};
    for (const Room &room : *rooms) {
        const QString name = room.room.trimmed();
        form.rooms << std::pair{
            room.roomnum, name.isEmpty() ? QStringLiteral("Room %1").arg(room.roomnum) : name};
    }
    auto settings = ClubSettings::load(m_module.databases);
    form.dateFormat = settings ? settings->shortDateFormat() : QStringLiteral("MM/dd/yyyy");
    const auto zone = settings ? settings->timeZone() : Result<QTimeZone>(settings.error());
    form.zone =
        zone ? QStringLiteral("Times are the club's, in %1.").arg(QString::fromUtf8(zone->id()))
             : zone.error().description;
    return true;
}

QString CalendarExport::suggestedFile(const QDate &from, const QDate &to) const {
    const QString format = QStringLiteral("yyyyMMdd");
    return m_module.clubPath(
        QStringLiteral("events-%1-%2.ics").arg(from.toString(format), to.toString(format)));
}

bool CalendarExport::save() {
    form.error.clear();
    const QString path = form.file.trimmed();
    if (path.isEmpty()) {
        form.error = QStringLiteral("Choose the file to save the calendar in.");
        return false;
    }
    const auto number = [](const QDate &date) {
        return date.year() * 10000 + date.month() * 100 + date.day();
    };
    const int from = number(form.from), to = number(form.to);
    auto made = calendar({.from = std::min(from, to), .to = std::max(from, to), .room = form.room});
    if (!made) {
        form.error = made.error().description;
        return false;
    }
    if (const QString failed = ClubFile::replace(QDir::fromNativeSeparators(path), made->content);
        !failed.isEmpty()) {
        form.error = QStringLiteral("The calendar could not be saved as %1: %2").arg(path, failed);
        return false;
    }
    const QString where = QDir::toNativeSeparators(path);
    m_module.messages.show(made->events == 1
                               ? QStringLiteral("1 event was written to %1.").arg(where)
                               : QStringLiteral("%1 events were written to %2.")
                                     .arg(QString::number(made->events), where),
                           Title, Icon::Information);
    return true;
}
