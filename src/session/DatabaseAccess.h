#pragma once

#include "storage/Databases.h"

#include <QString>
#include <QStringList>

class Messages;

// Opens databases for a window's command. A failure is shown to the
// operator (the missing-database message or an error report) and gives
// null or false, so a command only has to stop.
class DatabaseAccess {
public:
    DatabaseAccess(Databases &databases, Messages &messages);

    DatabasePtr open(const QString &name);
    // The same for a write that spans databases (Databases::openTogether).
    DatabasePtr openTogether(const QString &name, const QStringList &others);
    // Makes the others reachable on an open connection.
    bool attach(Database &db, const QStringList &others);
    // A statement that failed on a database opened here is reported the same way.
    void showError(const DbError &error);

    Databases &databases() { return m_databases; }

private:
    Databases &m_databases;
    Messages &m_messages;
};
