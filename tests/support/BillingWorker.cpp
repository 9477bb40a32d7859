#include "StartTogether.h"
#include "billing/BillingAccounts.h"
#include "billing/EventBilling.h"
#include "billing/PointOfSaleExport.h"
#include "club/SilentPorts.h"
#include "session/Module.h"
#include "startup/ConfigurationLoader.h"
#include "storage/ClubStorage.h"

#include <QCoreApplication>
#include <QTextStream>

// A billing workstation as a process of its own (GO: StartTogether.h):
//   billing_worker CLUB bill EVENT ACCOUNT [GO]   bills the event to the account
//   billing_worker CLUB create EVENT [GO]         creates the event's account
//   billing_worker CLUB create-export EVENT [GO]  and passes it on to the tills
// Exit 0 when done (a new account's number printed), 3 when billing was refused, 1 otherwise.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    auto club = ClubStorage::load(arguments.value(1));
    if (arguments.size() < 4 || !club)
        return 2;
    SilentPorts ports;
    Module module(*club, Ports{ports, ports, ports, ports, ports, ports, ports});
    auto loaded = LoadConfiguration(module.databases);
    if (!loaded)
        return 2;
    module.config = loaded->settings;
    const QString mode = arguments[2];
    const qsizetype goAt = mode == QLatin1String("bill") ? 5 : 4;
    if (arguments.size() > goAt && !readyThenWaitFor(arguments[goAt]))
        return 1;
    if (mode == QLatin1String("bill")) {
        ports.yesAnswers = 1; // "Bill this event now?"
        if (EventBilling(module).BillEvent(arguments[3].toInt(), arguments.value(4).toDouble(),
                                           0) == EventBilling::Billed::Charged)
            return 0;
        QTextStream(stderr) << ports.lastMessage << '\n';
        return ports.lastMessage.contains(QLatin1String("already been billed")) ? 3 : 1;
    }
    BillingAccounts accounts(module);
    PointOfSaleExport tills(module.databases, module.messages, module.longOperation);
    if (mode == QLatin1String("create-export"))
        QObject::connect(&accounts, &BillingAccounts::pointOfSaleExportRequested, &tills,
                         [&tills](const QString &exported) { tills.updateTills(exported); });
    else if (mode != QLatin1String("create"))
        return 2;
    const auto number = accounts.CreateAccount(arguments[3].toInt());
    if (!number || tills.ErrorFlag != 0) {
        QTextStream(stderr) << ports.lastMessage << tills.statusText << tills.errorDetail << '\n';
        return 1;
    }
    QTextStream(stdout) << BillingAccounts::numberText(*number) << '\n';
    return 0;
}
