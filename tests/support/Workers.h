#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// Workstations as processes of their own: starts the worker program once per
// argument list (each given the club directory first) and waits for them
// all. With a go file, whose name ends every argument list, the workers
// start work together: each leaves GO.<pid> when ready (see
// StartTogether.h), and GO is made once all have.
inline std::vector<std::unique_ptr<QProcess>> runTogether(const QString &program,
                                                          const QString &club,
                                                          const QList<QStringList> &runs,
                                                          const QString &go = QString()) {
    std::vector<std::unique_ptr<QProcess>> workers;
    for (const QStringList &arguments : runs) {
        workers.push_back(std::make_unique<QProcess>());
        workers.back()->start(program, QStringList{club} + arguments +
                                           (go.isEmpty() ? QStringList() : QStringList{go}));
    }
    if (!go.isEmpty()) {
        const QString ready = QFileInfo(go).fileName() + QStringLiteral(".*");
        QElapsedTimer waited;
        waited.start();
        while (QDir(QFileInfo(go).path()).entryList({ready}).size() < runs.size() &&
               waited.elapsed() < 60000)
            QThread::msleep(5);
        QFile start(go);
        EXPECT_TRUE(start.open(QIODevice::WriteOnly));
    }
    for (auto &worker : workers)
        EXPECT_TRUE(worker->waitForFinished(120000));
    return workers;
}
