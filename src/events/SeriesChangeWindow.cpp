#include "SeriesChangeWindow.h"

#include "BookingCheck.h"
#include "EventEditor.h"
#include "EventRecord.h"
#include "RepeatPreview.h"
#include "RepeatWindow.h"
#include "ports/Messages.h"
#include "ports/ReportLauncher.h"
#include "session/Module.h"
#include "values/DateNumber.h"
#include "values/TextValue.h"

namespace {

const QString WindowTitle = QStringLiteral("Change the Series");
const QString EventDatabase = QStringLiteral("evnt");

// The rule of `number`'s series; none when it is in none.
Result<std::optional<QString>> seriesRule(Database &evnt, int number) {
    auto row =
        evnt.exec(QStringLiteral("select rule from eventseries where eventnum = ?"), {number});
    if (!row)
        return row.error();
    if (!row->next())
        return std::optional<QString>();
    return std::optional<QString>(row->value(0).toString().trimmed());
}

} // namespace

SeriesChangeWindow::SeriesChangeWindow(Module &module, EventRecord &events, EventEditor &editor,
                                       QObject *parent)
    : QObject(parent)
    , m_module(module)
    , m_events(events)
    , m_editor(editor)
    , m_later(std::make_unique<EventRecord>(module)) {}

SeriesChangeWindow::~SeriesChangeWindow() = default;

QString SeriesChangeWindow::valueLabel(SeriesValue value) {
    static const char *const labels[SeriesValueCount] = {"Start time", "End time", "Room", "Title",
                                                         "Guests"};
    return QString::fromLatin1(labels[int(value)]);
}

void SeriesChangeWindow::refuse(const QString &text) {
    m_module.messages.show(text, WindowTitle, Icon::Information);
}

void SeriesChangeWindow::eventShown() {
    const int number = m_module.event.EventNumber;
    bool found = false;
    if (number > 0) {
        if (auto evnt = m_module.databases.open(EventDatabase)) {
            const auto rule = seriesRule(**evnt, number);
            // An unreadable one is reported when the window opens.
            found = !rule || rule->has_value();
        }
    }
    if (found != inSeries) {
        inSeries = found;
        emit inSeriesChanged();
    }
}

bool SeriesChangeWindow::open() {
    if (const QString why = RepeatWindow::refusalFor(m_module, QStringLiteral("change"));
        !why.isEmpty()) {
        refuse(why);
        return false;
    }
    eventNumber = m_module.event.EventNumber;
    m_club = ReportLauncher(m_module).clubSettings();
    const auto rooms = LoadRooms(m_module.access);
    if (!rooms || !loadSeries())
        return false;
    m_rooms = *rooms;
    const auto &fields = m_module.event.fields;
    caption = QStringLiteral("%1 - #%2 %3")
                  .arg(WindowTitle)
                  .arg(eventNumber)
                  .arg(fields[EventField::Title].trimmed());
    values[SeriesValue::Start] = fields[EventField::Start].trimmed();
    values[SeriesValue::End] = fields[EventField::End].trimmed();
    values[SeriesValue::Room] = fields[EventField::Room].trimmed();
    values[SeriesValue::Title] = fields[EventField::Title].trimmed();
    values[SeriesValue::Guests] = fields[EventField::Guests].trimmed();
    changing.fill(false);
    roomEntries.clear();
    roomRow = -1;
    for (const Room &room : m_rooms) {
        if (QString::number(room.roomnum) == values[SeriesValue::Room])
            roomRow = int(roomEntries.size());
        roomEntries << RoomDisplayLine(room);
    }
    statusText.clear();
    visible = true;
    emit changed();
    return true;
}

bool SeriesChangeWindow::loadSeries() {
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return false;
    const auto rule = seriesRule(*evnt, eventNumber);
    auto rows =
        rule
            ? evnt->exec(QStringLiteral("select e.eventnum, e.eventdate, e.status from eventinfo e "
                                        "join eventseries s on s.eventnum = e.eventnum where "
                                        "s.seriesnum = (select seriesnum from eventseries where "
                                        "eventnum = ?) and e.eventdate > (select eventdate from "
                                        "eventinfo where eventnum = ?) order by e.eventdate, "
                                        "e.eventnum"),
                         {eventNumber, eventNumber})
            : Result<QSqlQuery>(rule.error());
    if (!rows) {
        m_module.messages.ShowErrorCodes(rows.error());
        return false;
    }
    if (!rule->has_value()) {
        refuse(QStringLiteral("Event #%1 is not one of a series.").arg(eventNumber));
        return false;
    }
    ruleText = **rule;
    later.clear();
    while (rows->next())
        later << Later{QStringLiteral("#%1").arg(rows->value(0).toInt()),
                       RepeatWindow::dateText(m_club, dateOfNumber(rows->value(1).toInt())),
                       m_module.config.statusListText(rows->value(2).toInt())};
    return true;
}

void SeriesChangeWindow::close() {
    visible = false;
    emit changed();
}

void SeriesChangeWindow::editValue(SeriesValue value, const QString &text) {
    values[value] = text;
    changing[value] = true;
    emit changed();
}

void SeriesChangeWindow::chooseRoom(int row) {
    if (row < 0 || row >= m_rooms.size())
        return;
    roomRow = row;
    editValue(SeriesValue::Room, QString::number(m_rooms[row].roomnum));
}

void SeriesChangeWindow::setChanging(SeriesValue value, bool on) {
    changing[value] = on;
    emit changed();
}

QString SeriesChangeWindow::checkValues() const {
    if (std::none_of(changing.begin(), changing.end(), [](bool on) { return on; }))
        return QStringLiteral("Tick the values to change first.");
    if (later.isEmpty())
        return QStringLiteral("No event of the series comes after #%1.").arg(eventNumber);
    // The times and room as this event would take them: checked as the
    // event window checks a booking.
    const auto &fields = m_module.event.fields;
    const auto chosen = [&](SeriesValue value, EventField field) {
        return changing[value] ? values[value].trimmed() : fields[field].trimmed();
    };
    if (changing[SeriesValue::Start] || changing[SeriesValue::End] || changing[SeriesValue::Room]) {
        if (const auto refused =
                BookingCheck::check(m_rooms, chosen(SeriesValue::Room, EventField::Room),
                                    chosen(SeriesValue::Start, EventField::Start),
                                    chosen(SeriesValue::End, EventField::End)))
            return refused->text;
    }
    if (changing[SeriesValue::Title] && values[SeriesValue::Title].trimmed().isEmpty())
        return QStringLiteral("Title: an event needs one.");
    if (changing[SeriesValue::Guests]) {
        const TypedNumber guests =
            EventRecord::readNumberField(EventField::Guests, values[SeriesValue::Guests]);
        if (!guests.isNumber() && !guests.isEmpty())
            return guests.message();
    }
    return {};
}

bool SeriesChangeWindow::apply() {
    if (const QString why = checkValues(); !why.isEmpty()) {
        statusText = why;
        refuse(why);
        emit changed();
        return false;
    }
    RepeatPreview::SeriesChange change;
    const auto ticked = [&](SeriesValue value) {
        return changing[value] ? std::optional<QString>(values[value].trimmed()) : std::nullopt;
    };
    change.start = ticked(SeriesValue::Start);
    change.end = ticked(SeriesValue::End);
    change.title = ticked(SeriesValue::Title);
    change.guests = ticked(SeriesValue::Guests);
    if (changing[SeriesValue::Room])
        change.room = integerValue(values[SeriesValue::Room]);
    const QList<RepeatPreview::SeriesChanged> outcomes =
        RepeatPreview::changeLater(m_module, *m_later, eventNumber, change);

    m_events.LoadEvent(eventNumber);
    m_editor.endEditing();
    QStringList changedEvents;
    QStringList left;
    for (const RepeatPreview::SeriesChanged &outcome : outcomes) {
        if (outcome.failure.isEmpty()) {
            changedEvents << QStringLiteral("#%1").arg(outcome.event);
            continue;
        }
        QString date;
        for (const Later &each : later)
            if (each.number == QStringLiteral("#%1").arg(outcome.event))
                date = each.date;
        left << (outcome.failure == QLatin1String("not saved")
                     ? QStringLiteral("#%1 on %2 was not saved.").arg(outcome.event).arg(date)
                     : QStringLiteral("#%1 on %2 is %3 and was left as it is.")
                           .arg(outcome.event)
                           .arg(date, outcome.failure));
    }
    QStringList report;
    report << (changedEvents.isEmpty()
                   ? QStringLiteral("No event was changed.")
                   : QStringLiteral("Changed: %1.")
                         .arg(QLocale(QLocale::English).createSeparatedList(changedEvents)));
    statusText = (report + left).join(QLatin1Char('\n'));
    loadSeries();
    emit eventChanged();
    emit calendarChanged();
    emit changed();
    m_module.messages.show(statusText, WindowTitle, Icon::Information);
    return true;
}
