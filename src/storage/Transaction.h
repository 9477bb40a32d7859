#pragma once

#include "values/Result.h"

class Database;

// A write transaction that rolls back unless commit() succeeded. It takes
// the engine's write lock when it begins, so a check and the writes that
// depend on it see no other workstation in between.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // The outcome of beginning; nothing should be written when it failed.
    const Status &begun() const { return m_begun; }
    Status commit();

private:
    Database &m_db;
    Status m_begun;
    bool m_open = false;
};
