#pragma once

#include "storage/Databases.h"
#include "storage/Transaction.h"

// Another workstation holding a table against writers until it lets go
// (is destroyed): an open write transaction on SQLite, a table lock inside
// one on PostgreSQL. Reading stays possible on both.
class HeldLock {
public:
    HeldLock(const StorageSettings &settings, const QString &database, const QString &table)
        : m_databases(settings)
        , m_db(m_databases.open(database)) {
        if (!m_db)
            return;
        m_transaction = std::make_unique<Transaction>(**m_db);
        const QString lock = (*m_db)->dialect().lockTableStatement(table);
        m_locked = m_transaction->begun().ok() && (lock.isEmpty() || (*m_db)->execute(lock).ok());
    }

    bool held() const { return m_locked; }

private:
    Databases m_databases;
    Result<DatabasePtr> m_db;
    std::unique_ptr<Transaction> m_transaction;
    bool m_locked = false;
};
