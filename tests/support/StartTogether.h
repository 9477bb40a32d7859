#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QThread>

// For worker processes that must act at the same moment: leaves the file
// GO.<pid> to say this one is ready, then waits until the file GO exists.
// False when it cannot say so or waited a minute in vain.
inline bool readyThenWaitFor(const QString &go) {
    QFile ready(go + QLatin1Char('.') + QString::number(QCoreApplication::applicationPid()));
    if (!ready.open(QIODevice::WriteOnly))
        return false;
    ready.close();
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(go)) {
        if (waited.elapsed() > 60000)
            return false;
        QThread::msleep(1);
    }
    return true;
}
