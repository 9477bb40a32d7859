#pragma once

#include "WaitFor.h"
#include "app/MainWindowLogic.h"
#include "session/SingleInstance.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSize>
#include <QTest>
#include <optional>

// The main window started over a club as the suite starts it (operator
// DEMO at level 99), shown and active: what a view test drives.
struct ShownWindow {
    ShownWindow(Module &module, const QString &club, const QString &account)
        : instance(club, account)
        , logic(module)
        , window(logic) {}

    // False when start-up refused or the window never became active. Without
    // a size the window is sized as the program sizes it: as large as the
    // screen's free area holds, frame and all.
    bool show(std::optional<QSize> size = std::nullopt) {
        if (logic.StartMainWindow(QStringLiteral("ZQJ99DEMO"), instance) !=
            MainWindowLogic::Outcome::Started)
            return false;
        if (size)
            window.resize(*size);
        else
            window.fitToScreen(QSize(1366, 768));
        window.show();
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }

    // Opens the event for changing and types `text` over its account box,
    // as the operator does before the account button; the box, or null.
    QLineEdit *typeAccount(int event, const QString &text) {
        if (!logic.ShowEvent(event))
            return nullptr;
        window.button(EventCommand::Modify)->click();
        auto *account = window.findChild<QLineEdit *>(QStringLiteral("Text1(10)"));
        if (!account)
            return nullptr;
        QTest::mouseClick(account, Qt::LeftButton);
        if (!waitFor([&] { return account->hasFocus(); }))
            return nullptr;
        QTest::keyClick(account, Qt::Key_A, Qt::ControlModifier); // over what is shown
        QTest::keyClicks(account, text);
        return account;
    }

    SingleInstance instance;
    MainWindowLogic logic;
    MainWindow window;
};
