#include "OrderReports.h"

#include "ports/Messages.h"
#include "ports/ReportLauncher.h"
#include "session/Module.h"

// Placeholder until the papers land: says so instead of printing.
namespace OrderReports {

namespace {

std::unique_ptr<ReportWorkCopy> notYet(Module &module) {
    module.messages.show(QStringLiteral("This paper cannot be printed yet."),
                         QStringLiteral("Event Order"), Icon::Information);
    return nullptr;
}

} // namespace

QString orderLayout(Copy copy) {
    return copy == Copy::Kitchen ? QStringLiteral("evntord1.rpt") : QStringLiteral("evntord2.rpt");
}
QString functionSheetLayout() {
    return QStringLiteral("evntfunc.rpt");
}
QString productionLayout() {
    return QStringLiteral("evntprod.rpt");
}
std::unique_ptr<ReportWorkCopy> fillOrder(Module &module, int, Copy) {
    return notYet(module);
}
std::unique_ptr<ReportWorkCopy> fillFunctionSheet(Module &module, int, int) {
    return notYet(module);
}
std::unique_ptr<ReportWorkCopy> fillProduction(Module &module, int, int) {
    return notYet(module);
}

} // namespace OrderReports
