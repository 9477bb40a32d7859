#include "StartTogether.h"
#include "club/SilentPorts.h"
#include "events/EventRecord.h"
#include "session/Module.h"
#include "storage/ClubStorage.h"

#include <QCoreApplication>
#include <QTextStream>

// A workstation in miniature, run as a process of its own:
//   event_worker CLUB numbers COUNT             prints COUNT new event numbers
//   event_worker CLUB book DATE START END ROOM GO
//                                               books a new event there
// The booking exits 0 when saved, 3 when the slot was taken, 1 otherwise.
// It saves only once the file GO exists, after leaving GO.<pid> to say it is
// ready, so that all workers save at the same moment.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3)
        return 2;
    auto club = ClubStorage::load(arguments[1]);
    if (!club)
        return 2;
    StorageSettings storage = *club;
    SilentPorts ports;
    Module module(storage, Ports{ports, ports, ports, ports, ports, ports, ports});
    EventRecord record(module);
    QTextStream out(stdout);

    if (arguments[2] == QLatin1String("numbers") && arguments.size() == 4) {
        for (int i = arguments[3].toInt(); i > 0; --i) {
            const int number = record.NextEventNumber();
            if (number <= 0)
                return 1;
            out << number << '\n';
        }
        return 0;
    }
    if (arguments[2] == QLatin1String("book") && arguments.size() == 8) {
        const int number = record.NextEventNumber();
        if (number <= 0)
            return 1;
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
    return 2;
}
