#pragma once

#include "values/Result.h"

#include <QDate>

class Module;
struct SilentPorts;

namespace DemoSeason {

// A season of bookings for this month and the next three, made through the
// event numbering and the save as an operator would make them: enquiries,
// reservations, confirmed and billed events, a cancellation, a busy
// Saturday, both ballroom sections in use, a section booked beside the
// whole ballroom (its overlap accepted at the save), member and non-member
// events, and to-do tasks, some done and some due today. The rooms and
// calendar years exist; `ports` are the module's.
Status add(Module &module, SilentPorts &ports, const QDate &today);

} // namespace DemoSeason
