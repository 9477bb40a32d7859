#pragma once

#include "values/Result.h"

#include <QDate>

class Database;
struct StorageSettings;

// The demo club's point-of-sale side: a bar till and a dining-room till
// with their sale buttons, the option buttons they share, the store's
// "storeid.dat", and the tills' copies of members, staff, inventory and
// buttons filled by the program's own export.
namespace DemoTills {

Status add(const StorageSettings &settings, const QDate &today);
// A till's button table ("buttondef02", ...) in the first till's shape, as
// the point-of-sale side makes one for each till it adds.
Status addButtonTable(Database &qnposh, int till);

} // namespace DemoTills
