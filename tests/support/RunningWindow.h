#pragma once

#include "app/MainWindowLogic.h"
#include "session/SingleInstance.h"

#include <gtest/gtest.h>
#include <memory>

// The main window's logic started over a club the way the suite starts it,
// for operator DEMO at level 99, and shut down again.
class RunningWindow {
public:
    void start(Module &module, const QString &club, const QString &name,
               const QString &commandLine = QStringLiteral("ZQJ99DEMO")) {
        instance = std::make_unique<SingleInstance>(club, name);
        logic = std::make_unique<MainWindowLogic>(module);
        ASSERT_EQ(logic->StartMainWindow(commandLine, *instance),
                  MainWindowLogic::Outcome::Started);
    }
    void stop() {
        logic.reset();
        instance.reset();
    }

    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<MainWindowLogic> logic;
};
