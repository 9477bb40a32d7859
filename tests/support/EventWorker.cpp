#include "StartTogether.h"
#include "club/SilentPorts.h"
#include "events/EventRecord.h"
#include "session/Module.h"
#include "storage/ClubStorage.h"

#include <QCoreApplication>
#include <QTextStream>

// A workstation as a process of its own:
//   event_worker CLUB numbers COUNT               prints COUNT new event numbers
//   event_worker CLUB book DATE START END ROOM GO books a new event there with the others
// The booking exits 0 when saved, 3 when the slot was taken, 1 otherwise.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    auto club = ClubStorage::load(arguments.value(1));
    const bool book = arguments.value(2) == QLatin1String("book") && arguments.size() == 8;
    if (!club ||
        !(book || (arguments.value(2) == QLatin1String("numbers") && arguments.size() == 4)))
        return 2;
    SilentPorts ports;
    Module module(*club, Ports{ports, ports, ports, ports, ports, ports, ports});
    EventRecord record(module);
    QTextStream out(stdout);
    int number = 0;
    for (int i = book ? 1 : arguments[3].toInt(); i > 0; --i) {
        if ((number = record.NextEventNumber()) <= 0)
            return 1;
        if (!book)
            out << number << '\n';
    }
    if (!book)
        return 0;
    auto &fields = module.event.fields;
    fields[EventField::Date] = arguments[3];
    fields[EventField::Title] =
        QStringLiteral("Booked by process %1").arg(QCoreApplication::applicationPid());
    fields[EventField::Start] = arguments[4];
    fields[EventField::End] = arguments[5];
    fields[EventField::Status] = QStringLiteral("2");
    record.chooseRoom(arguments[6].toInt());
    if (!readyThenWaitFor(arguments[7]))
        return 1;
    switch (record.SaveEvent(EventRecord::NewEvent)) {
    case EventRecord::Saved::Done:
        out << number << '\n';
        return 0;
    case EventRecord::Saved::Conflict:
        return 3;
    default:
        QTextStream(stderr) << ports.lastMessage << '\n';
        return 1;
    }
}
