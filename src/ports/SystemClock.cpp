#include "SystemClock.h"

#include <QEventLoop>
#include <QTimer>

void SystemClock::pause(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}
