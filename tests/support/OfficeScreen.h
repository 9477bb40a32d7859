#pragma once

#include <QFile>
#include <QTemporaryDir>

// Widgets on the offscreen platform, on one screen of 1366x768: the
// smallest screen a club office has. Call before the QApplication is made;
// the folder holds the screen's description while the program runs.
inline void useOfficeScreen(const QTemporaryDir &folder) {
    QFile config(folder.filePath(QStringLiteral("screens.json")));
    const bool written = config.open(QIODevice::WriteOnly) && config.write(R"({
  "synchronousWindowSystemEvents": false, "windowFrameMargins": true,
  "screens": [{"name": "Office", "x": 0, "y": 0, "width": 1366, "height": 768,
               "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") > 0;
    config.close();
    qputenv("QT_QPA_PLATFORM", written ? "offscreen:configfile=" + config.fileName().toLocal8Bit()
                                       : QByteArray("offscreen"));
}
