#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

// For workers acting at the same moment: leaves GO.<pid> to say this one is ready, then waits
// (a minute at most) for the file GO.
inline bool readyThenWaitFor(const QString &go) {
    if (!QFile(go + QLatin1Char('.') + QString::number(QCoreApplication::applicationPid()))
             .open(QIODevice::WriteOnly))
        return false;
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(go) && waited.elapsed() < 60000)
        QThread::msleep(1);
    return QFile::exists(go);
}
