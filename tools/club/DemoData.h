#pragma once

#include "values/Result.h"

#include <QDate>

class Databases;

namespace DemoData {

// Believable sample data for a country club: member accounts, employees,
// inventory and receivables codes. The databases exist and are empty.
Status add(Databases &databases, const QDate &today);

} // namespace DemoData
