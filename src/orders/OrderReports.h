#pragma once

#include <QString>
#include <memory>

class Module;
class ReportWorkCopy;

// The papers of the event orders: an event's order as the kitchen's copy
// (menu by course with quantities) or the client's (with prices); the
// function sheet of a day or a range (every event across the rooms in time
// order with its set-up and timeline); and the kitchen production (the
// items of a day or a range summed by item and course, with the events
// using them). Each fills a work copy of the report template for the report
// program, as the other listings do; none writes to the club's data.
namespace OrderReports {

enum class Copy { Kitchen, Client };

// "evntord1.rpt" (kitchen), "evntord2.rpt" (client), "evntfunc.rpt",
// "evntprod.rpt".
QString orderLayout(Copy copy);
QString functionSheetLayout();
QString productionLayout();

// A work copy filled for the paper with the module's report request set to
// print it; null after the failure was shown (through the module's
// messages). The order prints its last issued revision and marks the
// sections changed in it, and says so when it has changed since.
std::unique_ptr<ReportWorkCopy> fillOrder(Module &module, int number, Copy copy);
// YYYYMMDD dates, from <= to. Fills the copy even when no event falls in the
// range; the paper then says so.
std::unique_ptr<ReportWorkCopy> fillFunctionSheet(Module &module, int from, int to);
std::unique_ptr<ReportWorkCopy> fillProduction(Module &module, int from, int to);

} // namespace OrderReports
