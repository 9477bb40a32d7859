#pragma once

#include "ReportLayout.h"
#include "foundation/Money.h"

#include <QDate>
#include <QString>
#include <QVariant>

// Stored values as a report prints them.
namespace ValueText {

// "#,##0.00": cents rounded half away from zero, thousands separated by
// commas, a leading minus: "1,234.50", "0.05", "-12.00".
QString money(Money amount);
// YYYYMMDD as "MM/dd/yyyy"; 0 and empty as empty; anything else as stored.
QString date(const QVariant &value);
// YYYYMMDD as "Saturday, 01/16/2027", the day's English name first; 0 and
// empty as empty; anything else as stored.
QString weekday(const QVariant &value);
// YYYYMM, or the month of YYYYMMDD, as "January 2027"; 0 and empty as
// empty; anything else as stored.
QString month(const QVariant &value);
QString format(const QVariant &value, ValueFormat format);

} // namespace ValueText
