#include "Transaction.h"

#include "Databases.h"

#include <QSqlError>

Transaction::Transaction(Database &db)
    : m_db(db) {
    QSqlDatabase handle = m_db.handle();
    m_begun = m_db.dialect().beginWrite(handle);
    m_open = m_begun.ok();
}

Transaction::~Transaction() {
    if (m_open)
        m_db.handle().rollback();
}

Status Transaction::commit() {
    if (!m_open)
        return m_begun.ok() ? Status(DbError{ErrorNumber::Unknown,
                                             QStringLiteral("No transaction is open.")})
                            : m_begun;
    QSqlDatabase handle = m_db.handle();
    if (!handle.commit())
        return m_db.error(handle.lastError());
    m_open = false;
    return {};
}
