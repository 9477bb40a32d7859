#include "ContractReports.h"

#include "payments/PaymentReports.h"
#include "ports/Messages.h"
#include "ports/ReportLauncher.h"

namespace {

const QString EventDatabase = QStringLiteral("evnt");
// The club's own layout prints without a saved event (a blank contract).
constexpr int UserDefinedLayout = 5;
const QString SaveFirst =
    QStringLiteral("You must save the event details before using Contract Builder.");

} // namespace

ContractReports::ContractReports(ReportLauncher &launcher, Messages &messages)
    : m_launcher(launcher)
    , m_messages(messages) {}

void ContractReports::refuse(const QString &text) {
    m_messages.show(text, QStringLiteral("Oops..."), Icon::Information);
}

bool ContractReports::append(ReportWorkCopy &work, const QString &table, const QStringList &columns,
                             const QList<QVariantList> &rows) {
    const Status appended = work.append(table, columns, rows);
    if (!appended)
        m_messages.ShowErrorCodes(appended.error());
    return appended.ok();
}

std::unique_ptr<ReportWorkCopy> ContractReports::contract(int eventNumber, int layout,
                                                          int contractNumber, const QString &text) {
    if (eventNumber < 1 && layout != UserDefinedLayout) {
        refuse(SaveFirst);
        return nullptr;
    }
    auto work = m_launcher.PrepareReportDatabase();
    if (!work)
        return nullptr;
    if (eventNumber >= 1 && !copyEvent(*work, eventNumber, layout))
        return nullptr;
    if (!m_launcher.copyRows(*work, QStringLiteral("config"),
                             QStringLiteral("select * from company"), {},
                             QStringLiteral("company")))
        return nullptr;
    if (!append(
            *work, QStringLiteral("master"),
            {QStringLiteral("acctnumber"), QStringLiteral("billto"), QStringLiteral("comments")},
            {{eventNumber, contractNumber, text}}))
        return nullptr;
    return work;
}

bool ContractReports::copyEvent(ReportWorkCopy &work, int eventNumber, int layout) {
    const auto copied = m_launcher.copyRows(
        work, EventDatabase, QStringLiteral("select * from eventinfo where eventnum = ?"),
        {eventNumber}, QStringLiteral("eventinfo"));
    if (!copied)
        return false;
    if (*copied == 0 && layout != UserDefinedLayout) {
        refuse(SaveFirst);
        return false;
    }
    if (!m_launcher.copyRows(work, EventDatabase,
                             QStringLiteral("select * from items where eventid = ?"), {eventNumber},
                             QStringLiteral("eventitems")))
        return false;
    // The payment schedule, which the contract prints with what was received.
    if (!PaymentReports::copySchedule(m_launcher, work, eventNumber))
        return false;
    // The event's room, so that the contract names it.
    return m_launcher
        .copyRows(work, EventDatabase,
                  QStringLiteral("select l.* from location l where l.roomnum = "
                                 "(select roomnumber from eventinfo where eventnum = ?)"),
                  {eventNumber}, QStringLiteral("location"))
        .has_value();
}

std::unique_ptr<ReportWorkCopy> ContractReports::contractList() {
    auto work = m_launcher.PrepareReportDatabase();
    if (!work)
        return nullptr;
    const auto copied = m_launcher.copyRows(
        *work, EventDatabase,
        QStringLiteral("select contractnum, contractdesc, ord, cbfilename from cbuilder "
                       "order by contractnum, ord"),
        {}, QStringLiteral("cbuilder"));
    if (!copied)
        return nullptr;
    if (*copied == 0) {
        refuse(QStringLiteral("No contracts have been defined."));
        return nullptr;
    }
    return work;
}

std::unique_ptr<ReportWorkCopy> ContractReports::componentList(const QStringList &files) {
    if (files.isEmpty()) {
        refuse(QStringLiteral("No components are currently available in the component window."));
        return nullptr;
    }
    auto work = m_launcher.PrepareReportDatabase();
    if (!work)
        return nullptr;
    QList<QVariantList> rows;
    for (const QString &file : files)
        rows << QVariantList{file};
    if (!append(*work, QStringLiteral("cbuilder"), {QStringLiteral("cbfilename")}, rows))
        return nullptr;
    return work;
}
