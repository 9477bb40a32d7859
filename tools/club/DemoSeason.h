#pragma once

#include "foundation/Result.h"

#include <QDate>

class Module;

namespace DemoSeason {

// A season of bookings for this month and the next three, made through the
// event numbering and the save as an operator would make them: enquiries,
// reservations, confirmed and billed events, a cancellation, a busy
// Saturday, both ballroom sections in use, member and non-member events.
// The rooms and calendar years exist.
Status add(Module &module, const QDate &today);

} // namespace DemoSeason
