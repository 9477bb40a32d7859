#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>

class Messages;
class ReportLauncher;
class ReportWorkCopy;

// Fills the operator's report work copy for the contract builder's
// reports. Each gives the filled copy, or null when nothing is to be
// printed (the operator has been told why).
class ContractReports {
public:
    ContractReports(ReportLauncher &launcher, Messages &messages);

    // The event's row and items, the contract and the club's address. A
    // layout other than the user's own needs a saved event.
    std::unique_ptr<ReportWorkCopy> contract(int eventNumber, int layout, int contractNumber,
                                             const QString &text);
    // Every component of every contract.
    std::unique_ptr<ReportWorkCopy> contractList();
    // The component files offered.
    std::unique_ptr<ReportWorkCopy> componentList(const QStringList &files);

private:
    bool copyEvent(ReportWorkCopy &work, int eventNumber, int layout);
    bool append(ReportWorkCopy &work, const QString &table, const QStringList &columns,
                const QList<QVariantList> &rows);
    void refuse(const QString &text);

    ReportLauncher &m_launcher;
    Messages &m_messages;
};
