#include "ui/WindowAccessibility.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The view tests run real widgets on the offscreen platform, on one screen
// of 1366x768: the smallest screen a club office has.
int main(int argc, char **argv) {
    QTemporaryDir screens;
    const QString config = screens.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (screens.isValid() && file.open(QIODevice::WriteOnly)) {
        file.write(R"({"synchronousWindowSystemEvents": false, "windowFrameMargins": true,
  "screens": [{"name": "Office", "x": 0, "y": 0, "width": 1366, "height": 768,
               "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        file.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    installWindowAccessibility();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
