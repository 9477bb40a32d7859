#include "Module.h"

Module::Module(StorageSettings storage, Ports modulePorts)
    : ports(modulePorts)
    , databases(std::move(storage))
    , messages(channel, ports.prompts, ports.clock, session, databases.settings().clubDirectory)
    , staff(databases, session, messages, ports.clock)
    , routines(databases, messages, session, ports.programs, ports.clipboard)
    , checks(databases, messages, ports.clipboard, ports.clock)
    , companions(ports.programs, ports.clipboard, routines, session)
    , access(databases, messages) {}
