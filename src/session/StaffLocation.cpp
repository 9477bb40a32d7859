#include "StaffLocation.h"

#include "OperatorSession.h"
#include "ports/Clock.h"
#include "ports/Messages.h"
#include "storage/Databases.h"
#include "storage/Transaction.h"

namespace {
const QString UserDatabase = QStringLiteral("user");
}

StaffLocation::StaffLocation(Databases &databases, OperatorSession &session, Messages &messages,
                             Clock &clock)
    : m_databases(databases)
    , m_session(session)
    , m_messages(messages)
    , m_clock(clock) {}

// Names are compared upper-cased here rather than in SQL: the engines'
// upper() leaves non-ASCII letters alone. The staff table is small.
Result<std::optional<StaffLocation::StaffRow>> StaffLocation::findRow(const QString &userName) {
    auto db = m_databases.open(UserDatabase);
    if (!db)
        return db.error();
    auto query = db.value()->exec(
        QStringLiteral("select username, sysuser, localdrive, memomail from staff"));
    if (!query)
        return query.error();
    const QString wanted = userName.trimmed().toUpper();
    while (query->next()) {
        const QString name = query->value(0).toString();
        if (name.trimmed().toUpper() == wanted)
            return std::optional<StaffRow>(StaffRow{name, query->value(1).toInt(), // Null gives 0
                                                    query->value(2).toString(),
                                                    query->value(3).toInt()});
    }
    return std::optional<StaffRow>();
}

Status StaffLocation::writeLocation(const QString &storedName, const QString &location,
                                    bool clearWork) {
    auto db = m_databases.open(UserDatabase);
    if (!db)
        return db.error();
    Transaction transaction(*db.value());
    if (!transaction.begun())
        return transaction.begun();
    const Status status =
        clearWork
            ? db.value()->change(
                  QStringLiteral("update staff set location = ?, work = ? where username = ?"),
                  {location, QString(), storedName})
            : db.value()->change(QStringLiteral("update staff set location = ? where username = ?"),
                                 {location, storedName});
    if (!status)
        return status;
    return transaction.commit();
}

Status StaffLocation::writeWithRetry(const QString &storedName, const QString &location,
                                     bool clearWork) {
    Status written;
    for (int attempt = 1; attempt <= WriteAttempts; ++attempt) {
        written = writeLocation(storedName, location, clearWork);
        if (written || !written.error().isLocked())
            break;
        if (attempt < WriteAttempts)
            m_clock.pause(RetryPauseMs);
    }
    return written;
}

void StaffLocation::reportMissingUser() {
    const QString text = QStringLiteral("User name not found in user database.\n") +
                         QStringLiteral("Contact your system administrator.\n\n") +
                         QStringLiteral("User name: ") + m_session.UserName +
                         QStringLiteral("   Sysuser: ") + QString::number(m_session.SysUser);
    m_messages.show(text, QStringLiteral("User database problem"), Icon::Information);
    m_messages.WriteAdminLog(text);
}

std::optional<StaffLocation::StaffRow> StaffLocation::operatorRow() {
    auto row = findRow(m_session.UserName);
    if (!row) {
        m_messages.reportFailure(row.error(), UserDatabase);
        return std::nullopt;
    }
    if (!*row) {
        reportMissingUser();
        return std::nullopt;
    }
    m_session.SysUser = (*row)->sysuser;
    m_session.LocalDrive = (*row)->localdrive;
    m_session.MemoMail = (*row)->memomail;
    return *row;
}

bool StaffLocation::LoadOperator() {
    return operatorRow().has_value();
}

bool StaffLocation::SetStaffLocation() {
    m_session.UserName = m_session.UserName.trimmed().toUpper();
    const auto row = operatorRow();
    if (!row)
        return false;
    const Status written = writeWithRetry(row->username, m_session.LocationName, true);
    if (!written) {
        m_messages.show(QStringLiteral("Code") + QString::number(written.error().number) +
                            QLatin1Char('\n') + written.error().description +
                            QStringLiteral("Try again."),
                        QStringLiteral("Unexpected writelocation conflict..."), Icon::Information);
        return false;
    }
    return true;
}

bool StaffLocation::ResetStaffLocation(const QString &userName) {
    m_session.LocationName = QStringLiteral("Startup");
    m_session.UserName = userName;
    auto row = findRow(userName);
    if (!row || !*row)
        return false; // nothing to set back; closing goes on regardless
    const Status written = writeWithRetry((*row)->username, m_session.LocationName, false);
    if (!written) {
        // Closing goes on; the administrator learns why the location is stale.
        m_messages.WriteAdminLog(QStringLiteral("Location not set back to Startup: Code %1 - %2")
                                     .arg(written.error().number)
                                     .arg(written.error().description));
    }
    return written.ok();
}
