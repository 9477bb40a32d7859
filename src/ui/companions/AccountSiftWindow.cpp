#include "AccountSiftWindow.h"

#include "ports/Clipboard.h"
#include "storage/Databases.h"

AccountSiftWindow::AccountSiftWindow(const Databases &databases, Clipboard &clipboard,
                                     QWidget *parent)
    : SiftWindow(QStringLiteral("acctsift"), tr("Account Look-up"),
                 {tr("Account"), tr("Name"), tr("Class"), tr("Status")}, parent)
    , m_lookups(databases, clipboard) {
    search();
}

SiftWindow::Page AccountSiftWindow::find(const QString &text) {
    Page page;
    m_matches.clear();
    auto found = m_lookups.findAccounts(text);
    if (!found) {
        page.error = tr("The member accounts cannot be read.\n%1").arg(found.error().description);
        return page;
    }
    m_matches = found->rows;
    page.more = found->more;
    for (const AccountMatch &match : std::as_const(m_matches)) {
        const QString className =
            match.classDescription.isEmpty()
                ? match.classCode
                : match.classCode + QStringLiteral(" - ") + match.classDescription;
        page.rows << Row{{Lookups::accountText(match.number), match.name, className,
                          match.statusWords().join(QLatin1Char(' '))},
                         match.terminated};
    }
    return page;
}

void AccountSiftWindow::choose(int row) {
    if (row < m_matches.size())
        m_lookups.chooseAccount(m_matches.at(row).number);
}
