#pragma once

#include "foundation/SingleInstance.h"
#include "startup/MainWindowLogic.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QSize>
#include <QTest>

// The main window started over a club as the suite starts it (operator
// DEMO at level 99), shown and active: what a view test drives.
struct ShownWindow {
    ShownWindow(Module &module, const QString &club, const QString &account)
        : instance(club, account)
        , logic(module)
        , window(logic) {}

    // False when start-up refused or the window never became active.
    bool show(QSize size = QSize(1366, 768)) {
        if (logic.StartMainWindow(QStringLiteral("ZQJ99DEMO"), instance) !=
            MainWindowLogic::Outcome::Started)
            return false;
        window.resize(size);
        window.show();
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }

    SingleInstance instance;
    MainWindowLogic logic;
    MainWindow window;
};
