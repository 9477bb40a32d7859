#include "StaffLocation.h"

#include "Clock.h"
#include "Databases.h"
#include "Messages.h"
#include "OperatorSession.h"
#include "Transaction.h"

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
// upper() leaves non-ASCII letters alone.
Result<QString> StaffLocation::storedName(const QString &userName) {
    auto db = m_databases.open(UserDatabase);
    if (!db)
        return db.error();
    auto query = db.value()->exec(QStringLiteral("select username from staff"));
    if (!query)
        return query.error();
    const QString wanted = userName.trimmed().toUpper();
    while (query->next()) {
        const QString name = query->value(0).toString();
        if (name.trimmed().toUpper() == wanted)
            return name;
    }
    return QString();
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
            ? db.value()->execute(
                  QStringLiteral("update staff set location = ?, work = ? where username = ?"),
                  {location, QString(), storedName})
            : db.value()->execute(
                  QStringLiteral("update staff set location = ? where username = ?"),
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
    m_messages.channel().MessageText =
        QStringLiteral("User name not found in user database.\n") +
        QStringLiteral("Contact your system administrator.\n\n") + QStringLiteral("User name: ") +
        m_session.UserName + QStringLiteral("   Sysuser: ") + QString::number(m_session.SysUser);
    m_messages.show(m_messages.channel().MessageText, QStringLiteral("User database problem"),
                    Icon::Information);
    m_messages.WriteAdminLog();
}

std::optional<QString> StaffLocation::operatorRow() {
    auto name = storedName(m_session.UserName);
    if (!name) {
        m_messages.reportFailure(name.error(), UserDatabase);
        return std::nullopt;
    }
    if (name->isEmpty()) {
        reportMissingUser();
        return std::nullopt;
    }
    return *name;
}

bool StaffLocation::LoadOperator() {
    const auto name = operatorRow();
    if (!name)
        return false;
    auto db = m_databases.open(UserDatabase);
    if (!db) {
        m_messages.reportFailure(db.error(), UserDatabase);
        return false;
    }
    auto query = db.value()->exec(
        QStringLiteral("select sysuser, localdrive, memomail from staff where username = ?"),
        {*name});
    if (!query) {
        m_messages.ShowErrorCodes(query.error());
        return false;
    }
    if (query->next()) {
        m_session.SysUser = query->value(0).toInt(); // Null gives 0
        m_session.LocalDrive = query->value(1).toString();
        m_session.MemoMail = query->value(2).toInt();
    }
    return true;
}

bool StaffLocation::SetStaffLocation() {
    m_session.UserName = m_session.UserName.trimmed().toUpper();
    const auto name = operatorRow();
    if (!name)
        return false;
    const Status written = writeWithRetry(*name, m_session.LocationName, true);
    if (!written) {
        m_messages.show(QStringLiteral("Code") + QString::number(written.error().number) +
                            QLatin1Char('\n') + written.error().description +
                            QStringLiteral("Try again."),
                        QStringLiteral("Unexpected writelocation conflict..."), Icon::Information);
        return false;
    }
    return LoadOperator();
}

bool StaffLocation::ResetStaffLocation(const QString &userName) {
    m_session.LocationName = QStringLiteral("Startup");
    m_session.UserName = userName;
    auto name = storedName(userName);
    if (!name || name->isEmpty())
        return false; // nothing to set back; closing goes on regardless
    const Status written = writeWithRetry(*name, m_session.LocationName, false);
    if (!written) {
        // Closing goes on; the administrator learns why the location is stale.
        m_messages.channel().MessageText =
            QStringLiteral("Location not set back to Startup: Code %1 - %2")
                .arg(written.error().number)
                .arg(written.error().description);
        m_messages.WriteAdminLog();
    }
    return written.ok();
}
