#include "Module.h"

Module::Module(StorageSettings storage, Ports modulePorts)
    : ports(modulePorts)
    , databases(std::move(storage))
    , messages(channel, ports.prompts, ports.clock, session, databases.settings().clubDirectory)
    , records(databases, messages)
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
