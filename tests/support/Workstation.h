#pragma once

#include "Fakes.h"
#include "RunningWindow.h"
#include "session/Module.h"

#include <memory>

// Another workstation on the same club: a main window of its own, with its
// own operator, connections and scripted operator, in this test's process.
struct Workstation : FakeOperator {
    Workstation(const StorageSettings &storage, const QString &club, const QString &operatorName)
        : module(storage, ports()) {
        running.start(module, club, QStringLiteral("workstation-") + operatorName,
                      QStringLiteral("ZQJ99") + operatorName);
    }
    ~Workstation() { running.stop(); }

    MainWindowLogic &logic() { return *running.logic; }
    CurrentEvent &event() { return module.event; }
    void click(EventCommand command) { running.logic->editor.run(command); }

    Module module;
    RunningWindow running;
};
