#pragma once

#include "values/Money.h"
#include "values/Result.h"

#include <QString>
#include <memory>
#include <optional>

class Database;
class Module;
class ReportLauncher;
class ReportWorkCopy;

// The papers of the payment schedules: the client's bill of one event, the
// payments due over a range of dates, and the payments received that the
// accounting staff have yet to post. Each fills a work copy of the report
// template for the report program; none writes to the club's data.
namespace PaymentReports {

// "evntbill.rpt", "evntpaydue.rpt", "evntpaypost.rpt".
QString billLayout();
QString dueLayout();
QString notPostedLayout();

// What the client was priced and paid on an event: the items' price,
// service charge and tax, every payment received, and the deposit asked
// for; an event without a schedule counts the deposit its row keeps, as
// before schedules.
struct Paid {
    Money priced;
    Money received;
    Money deposit;
    Money balance() const { return priced - received; }
};
Result<Paid> paidOn(Database &evnt, int number, const Money &depositColumn);

// Copies the event's payment lines into the work copy's eventpayment
// table; false after the failure was shown.
bool copySchedule(ReportLauncher &launcher, const ReportWorkCopy &work, int number);

// A work copy filled for the paper with the module's report request set to
// print it; null after the failure or refusal was shown (through the
// module's messages). The bill is printed for a confirmed or billed event
// only.
std::unique_ptr<ReportWorkCopy> fillBill(Module &module, int number);
// YYYYMMDD dates, from <= to: the lines still owing that fall due by `to`,
// those due before `from` or before today marked overdue.
std::unique_ptr<ReportWorkCopy> fillDue(Module &module, int from, int to);
// The payments received and not posted, all of them or those received in
// the dates.
struct Dates {
    int from = 0;
    int to = 0;
};
std::unique_ptr<ReportWorkCopy> fillNotPosted(Module &module, std::optional<Dates> received);

} // namespace PaymentReports
