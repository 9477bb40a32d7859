#include "ui/WindowAccessibility.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The view tests run real widgets on the offscreen platform, on one screen
// of 1366x768: the smallest screen a club office has.
int main(int argc, char **argv) {
    QTemporaryDir screens;
    QFile config(screens.filePath(QStringLiteral("screens.json")));
    const bool written = config.open(QIODevice::WriteOnly) && config.write(R"({
  "synchronousWindowSystemEvents": false, "windowFrameMargins": true,
  "screens": [{"name": "Office", "x": 0, "y": 0, "width": 1366, "height": 768,
               "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") > 0;
    config.close();
    qputenv("QT_QPA_PLATFORM", written ? "offscreen:configfile=" + config.fileName().toLocal8Bit()
                                       : QByteArray("offscreen"));
    QApplication app(argc, argv);
    installWindowAccessibility();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
