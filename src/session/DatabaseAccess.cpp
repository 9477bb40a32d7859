#include "DatabaseAccess.h"

#include "ports/Messages.h"

DatabaseAccess::DatabaseAccess(Databases &databases, Messages &messages)
    : m_databases(databases)
    , m_messages(messages) {}

DatabasePtr DatabaseAccess::open(const QString &name) {
    auto db = m_databases.open(name);
    if (!db) {
        m_messages.reportFailure(db.error(), name);
        return nullptr;
    }
    return std::move(db.value());
}

DatabasePtr DatabaseAccess::openTogether(const QString &name, const QStringList &others) {
    DatabasePtr db = open(name);
    return db && attach(*db, others) ? std::move(db) : nullptr;
}

bool DatabaseAccess::attach(Database &db, const QStringList &others) {
    const Status attached = m_databases.attach(db, others);
    if (attached)
        return true;
    // The missing-database message names the one that is missing.
    QString failed = others.value(0);
    if (attached.error().number == ErrorNumber::FileMissing) {
        for (const QString &database : others) {
            if (!m_databases.exists(database)) {
                failed = database;
                break;
            }
        }
    }
    m_messages.reportFailure(attached.error(), failed);
    return false;
}

void DatabaseAccess::showError(const DbError &error) {
    m_messages.ShowErrorCodes(error);
}
