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

// Workstations as processes of their own: the worker once per argument list (after the club
// directory), waited for. With a go file (last argument) they start work together: each leaves
// GO.<pid> when ready (StartTogether.h), and GO is made once all have.
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
    QElapsedTimer waited;
    waited.start();
    const QFileInfo ready(go + QStringLiteral(".*"));
    while (!go.isEmpty() && ready.dir().entryList({ready.fileName()}).size() < runs.size() &&
           waited.elapsed() < 60000)
        QThread::msleep(5);
    EXPECT_TRUE(go.isEmpty() || QFile(go).open(QIODevice::WriteOnly));
    for (auto &worker : workers)
        EXPECT_TRUE(worker->waitForFinished(120000));
    return workers;
}
