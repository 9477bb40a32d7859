#include "OfficeScreen.h"
#include "ui/WindowAccessibility.h"

#include <QApplication>
#include <gtest/gtest.h>

// The view tests run real widgets on the office's screen.
int main(int argc, char **argv) {
    QTemporaryDir screens;
    useOfficeScreen(screens);
    QApplication app(argc, argv);
    installWindowAccessibility();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
