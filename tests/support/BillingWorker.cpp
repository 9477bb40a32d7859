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

// A billing workstation in miniature, run as a process of its own:
//   billing_worker CLUB bill EVENT ACCOUNT [GO]   bills the event to the account
//   billing_worker CLUB create EVENT [GO]         creates the event's account
//   billing_worker CLUB create-export EVENT [GO]  the same, then passes the new
//                                                 account on to the tills (the
//                                                 club has "tillzo.exe")
// Exit 0 when billed or created (a new account's number is printed), 3 when
// billing was refused, 1 on any other failure; the last message goes to
// stderr. With GO it leaves GO.<pid> to say it is ready and starts once the
// file GO exists, so that several workers start at the same moment.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 4)
        return 2;
    auto club = ClubStorage::load(arguments[1]);
    if (!club)
        return 2;
    SilentPorts ports;
    Module module(*club, Ports{ports, ports, ports, ports, ports, ports, ports});
    auto loaded = LoadConfiguration(module.databases);
    if (!loaded)
        return 2;
    module.config = loaded->settings;

    const bool bill = arguments[2] == QLatin1String("bill") && arguments.size() >= 5;
    const qsizetype goAt = bill ? 5 : 4;
    if (arguments.size() > goAt && !readyThenWaitFor(arguments[goAt]))
        return 1;
    if (bill) {
        EventBilling billing(module);
        ports.yesAnswers = 1; // "Bill this event now?"
        const auto billed = billing.BillEvent(arguments[3].toInt(), arguments[4].toDouble(), 0);
        if (billed == EventBilling::Billed::Charged)
            return 0;
        QTextStream(stderr) << ports.lastMessage << '\n';
        return ports.lastMessage.contains(QLatin1String("already been billed")) ? 3 : 1;
    }
    if (arguments[2] == QLatin1String("create") || arguments[2] == QLatin1String("create-export")) {
        BillingAccounts accounts(module);
        PointOfSaleExport tills(module.databases, module.messages, module.longOperation);
        if (arguments[2] == QLatin1String("create-export"))
            QObject::connect(&accounts, &BillingAccounts::pointOfSaleExportRequested, &tills,
                             [&tills](const QString &mode) { tills.updateTills(mode); });
        const auto number = accounts.CreateAccount(arguments[3].toInt());
        if (!number || tills.ErrorFlag != 0) {
            QTextStream(stderr) << ports.lastMessage << tills.statusText << tills.errorDetail
                                << '\n';
            return 1;
        }
        QTextStream(stdout) << BillingAccounts::numberText(*number) << '\n';
        return 0;
    }
    return 2;
}
