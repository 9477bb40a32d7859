#include "Module.h"

Module::Module(StorageSettings storage, Ports modulePorts)
    : ports(modulePorts)
    , databases(std::move(storage))
    , messages(channel, ports.prompts, ports.clock, session, databases.settings().clubDirectory)
    , staff(databases, session, messages, ports.clock)
    , routines(databases, messages, session, ports.programs, ports.clipboard)
    , checks(databases, messages, ports.clipboard, ports.clock) {}

DatabasePtr Module::openDatabase(const QString &name) {
    auto db = databases.open(name);
    if (!db) {
        messages.reportFailure(db.error(), name);
        return nullptr;
    }
    return std::move(db.value());
}

DatabasePtr Module::openTogether(const QString &name, const QStringList &others) {
    DatabasePtr db = openDatabase(name);
    return db && attach(*db, others) ? std::move(db) : nullptr;
}

bool Module::attach(Database &db, const QStringList &others) {
    const Status attached = databases.attach(db, others);
    if (attached)
        return true;
    // The missing-database message names the one that is missing.
    QString failed = others.value(0);
    if (attached.error().number == ErrorNumber::FileMissing) {
        for (const QString &database : others) {
            if (!databases.exists(database)) {
                failed = database;
                break;
            }
        }
    }
    messages.reportFailure(attached.error(), failed);
    return false;
}
