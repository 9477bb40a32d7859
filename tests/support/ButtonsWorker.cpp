#include "club/SilentPorts.h"
#include "items/DepartmentButtons.h"
#include "session/Module.h"
#include "storage/ClubStorage.h"

#include <QCoreApplication>
#include <QTextStream>

// A workstation in miniature, run as a process of its own:
//   buttons_worker CLUB BUTTON TIMES
// opens the items window, picks department button BUTTON in the set-up
// panel and saves it TIMES times as "Station BUTTON save N" with the tag
// "TBUTTON". It prints "ready" and saves once it reads "go", so that every
// worker saves at the same moment from buttons read before any other saved.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 4)
        return 2;
    auto club = ClubStorage::load(arguments[1]);
    if (!club)
        return 2;
    SilentPorts ports;
    Module module(*club, Ports{ports, ports, ports, ports, ports, ports, ports});
    module.session.UserLevel = OperatorSession::MaintenanceLevel;
    const int button = arguments[2].toInt();

    DepartmentButtons buttons(module.databases, module.messages, module.session);
    buttons.windowOpened();
    if (!buttons.openPanel())
        return 1;
    buttons.chooseButton(button);

    // Ready; all save at once when the test says so.
    QTextStream(stdout) << "ready" << Qt::endl;
    if (QTextStream(stdin).readLine() != QLatin1String("go"))
        return 1;
    for (int save = 1; save <= arguments[3].toInt(); ++save) {
        buttons.editCaption(QStringLiteral("Station %1 save %2").arg(button).arg(save));
        buttons.editTag(QStringLiteral("T%1").arg(button));
        if (!buttons.saveSettings()) {
            QTextStream(stderr) << "save " << save << ": " << ports.lastMessage << '\n';
            return 1;
        }
    }
    return 0;
}
