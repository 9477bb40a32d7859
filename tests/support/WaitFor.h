#pragma once

#include <QApplication>
#include <QElapsedTimer>

// Runs the event loop (deferred deletes included) until done() holds or a
// generous limit passes; the result is done() at the end.
template <typename Done> bool waitFor(Done done, int limitMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return done();
}
