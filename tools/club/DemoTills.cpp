#include "DemoTills.h"

#include "SilentPorts.h"
#include "billing/PointOfSaleExport.h"
#include "session/Module.h"
#include "storage/ClubFile.h"
#include "storage/SchemaBuilder.h"
#include "storage/Transaction.h"

namespace DemoTills {

namespace {

// Button kinds of the demo tills: 1 opens a department, 2 is a till
// function, 3 and 4 sell an item (4 asks for the quantity).
struct Button {
    int till; // 0: optiondef
    int number;
    const char *caption;
    int type;
    int item;
    double typedPrice; // bretail1: 0 takes the inventory's prices
};

// clang-format off
const Button Buttons[] = {
    {1, 1, "Cabernet", 3, 205, 0},        {1, 2, "Chardonnay", 3, 206, 0},
    {1, 3, "Pinot Noir", 3, 207, 0},      {1, 4, "Prosecco", 3, 208, 0},
    {1, 5, "Pinot - Happy Hr", 3, 207, 42.00},
    {1, 6, "Soft Drinks", 4, 209, 0},     {1, 7, "Coffee/Tea", 4, 210, 0},
    {1, 8, "Beverage", 1, 0, 0},          {1, 9, "Cash", 2, 0, 0},
    {1, 10, "Member Charge", 2, 0, 0},
    {2, 1, "Filet Mignon", 3, 101, 0},    {2, 2, "Chicken Piccata", 3, 102, 0},
    {2, 3, "Grilled Salmon", 3, 103, 0},  {2, 4, "Veg. Risotto", 3, 104, 0},
    {2, 5, "Children's Meal", 3, 113, 0}, {2, 6, "Shrimp Cocktail", 4, 109, 0},
    {2, 7, "Dessert", 4, 114, 0},         {2, 8, "Food", 1, 0, 0},
    {2, 9, "Member Charge", 2, 0, 0},
    {0, 1, "Champagne Toast", 3, 204, 0}, {0, 2, "Cake Cutting", 4, 504, 0},
    {0, 3, "No Charge", 2, 0, 0},
};
// clang-format on

QString tableOf(int till) {
    return till == 0 ? QStringLiteral("optiondef")
                     : QStringLiteral("buttondef%1").arg(till, 2, 10, QLatin1Char('0'));
}

// The buttons as the tills' set-up leaves them: caption, kind and item;
// the prices and accounts come from the export.
Status addButtons(Databases &databases) {
    auto db = databases.open(QStringLiteral("qnposh"));
    if (!db)
        return db.status();
    Transaction transaction(**db);
    if (!transaction.begun())
        return transaction.begun();
    if (Status added = addButtonTable(**db, 2); !added)
        return added;
    for (const Button &button : Buttons) {
        const Status added = (*db)->execute(
            QStringLiteral("insert into %1 (bnumber, bcaption, btype, bitemnumber, bretail1, "
                           "bretail) values (?, ?, ?, ?, ?, ?)")
                .arg(tableOf(button.till)),
            {button.number, QString::fromUtf8(button.caption), button.type, button.item,
             button.typedPrice, button.typedPrice});
        if (!added)
            return added;
    }
    return transaction.commit();
}

Status writeStoreFile(const QString &clubDirectory) {
    const QString path = clubDirectory + QStringLiteral("/storeid.dat");
    if (const QString failed = ClubFile::replace(path, "StoreID=BRV-0417\r\n"); !failed.isEmpty())
        return DbError{ErrorNumber::FileAccess,
                       QStringLiteral("%1 could not be written: %2").arg(path, failed)};
    return {};
}

} // namespace

Status addButtonTable(Database &qnposh, int till) {
    Schema::Table table =
        *Schema::findTable(QStringLiteral("qnposh"), QStringLiteral("buttondef01"));
    table.name = tableOf(till);
    return SchemaBuilder::createTable(qnposh, table);
}

Status add(const StorageSettings &settings, const QDate &today) {
    if (Status written = writeStoreFile(settings.clubDirectory); !written)
        return written;
    SilentPorts ports(today);
    Module module(settings, Ports{ports, ports, ports, ports, ports, ports, ports});
    if (Status set = module.databases.executeIfPresent(
            QStringLiteral("config"), QStringLiteral("update pos set tillcount = 2"));
        !set)
        return set;
    if (Status added = addButtons(module.databases); !added)
        return added;
    // Members, staff and inventory, then the inventory again with the buttons.
    PointOfSaleExport tills(module.databases, module.messages, module.longOperation);
    for (const char *mode : {"40", "17"}) {
        tills.updateTills(QString::fromLatin1(mode));
        if (tills.ErrorFlag != 0)
            return DbError{ErrorNumber::Unknown,
                           QStringLiteral("The demo tills could not be filled: %1 %2")
                               .arg(tills.statusText, tills.errorDetail)};
    }
    return {};
}

} // namespace DemoTills
