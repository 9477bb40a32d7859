#include "StaffSiftWindow.h"

#include "ports/Clipboard.h"
#include "storage/Databases.h"

StaffSiftWindow::StaffSiftWindow(const Databases &databases, Clipboard &clipboard, QWidget *parent)
    : SiftWindow(QStringLiteral("staffsift"), tr("Employee Look-up"),
                 {tr("Employee #"), tr("Name"), tr("Status")}, parent)
    , m_lookups(databases, clipboard) {
    search();
}

SiftWindow::Page StaffSiftWindow::find(const QString &text) {
    Page page;
    m_matches.clear();
    auto found = m_lookups.findEmployees(text);
    if (!found) {
        page.error = tr("The employee list cannot be read.\n%1").arg(found.error().description);
        return page;
    }
    m_matches = found->rows;
    page.more = found->more;
    for (const EmployeeMatch &match : std::as_const(m_matches))
        page.rows << Row{{Lookups::employeeText(match.number), match.name,
                          match.active ? tr("Active") : tr("Inactive")},
                         !match.active};
    return page;
}

void StaffSiftWindow::choose(int row) {
    if (row < m_matches.size())
        m_lookups.chooseEmployee(m_matches.at(row).number);
}
