#include "club/SilentPorts.h"
#include "items/DepartmentButtons.h"
#include "session/Module.h"
#include "storage/ClubStorage.h"

#include <QCoreApplication>
#include <QTextStream>

// buttons_worker CLUB BUTTON TIMES: a workstation saving department button BUTTON in the items
// window's set-up panel TIMES times, as "Station BUTTON save N" tagged "TBUTTON". It prints
// "ready" and saves on reading "go", so that all save at once from buttons read before.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    auto club = ClubStorage::load(arguments.value(1));
    if (arguments.size() != 4 || !club)
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
