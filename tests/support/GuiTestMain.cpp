#include "ui/WindowAccessibility.h"

#include <QApplication>
#include <gtest/gtest.h>

// The view tests run real widgets on the offscreen platform.
int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installWindowAccessibility();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
