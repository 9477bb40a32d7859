#pragma once

#include "values/Result.h"

#include <optional>

class Clock;
class Databases;
class Messages;
struct OperatorSession;

// Records in the shared staff table where the operator is working, and
// reads the operator's number that names the per-operator files.
class StaffLocation {
public:
    static constexpr int WriteAttempts = 3;
    static constexpr int RetryPauseMs = 1000;

    StaffLocation(Databases &databases, OperatorSession &session, Messages &messages, Clock &clock);

    // Writes LocationName for UserName (retrying a locked row a few times),
    // taking SysUser, LocalDrive and MemoMail from the operator's row.
    bool SetStaffLocation();
    // Sets the location back to "Startup" when the module closes.
    bool ResetStaffLocation(const QString &userName);
    // Reads the operator's row without writing it (start-up).
    bool LoadOperator();

private:
    // The operator's row as stored.
    struct StaffRow {
        QString username; // as stored, to address the row
        int sysuser = 0;
        QString localdrive;
        int memomail = 0;
    };

    // The row whose name matches without regard to case; nullopt when absent.
    Result<std::optional<StaffRow>> findRow(const QString &userName);
    Status writeLocation(const QString &storedName, const QString &location, bool clearWork);
    Status writeWithRetry(const QString &storedName, const QString &location, bool clearWork);
    void reportMissingUser();
    // The operator's row, with any problem reported; nullopt when there is
    // none. Its numbers are taken into the session.
    std::optional<StaffRow> operatorRow();

    Databases &m_databases;
    OperatorSession &m_session;
    Messages &m_messages;
    Clock &m_clock;
};
