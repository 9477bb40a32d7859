#pragma once

#include "publishing/Publishing.h"

#include <QList>
#include <QObject>
#include <atomic>
#include <memory>
#include <optional>

class QThread;

// Sends publishing jobs on a worker thread, one task at a time, so that the
// window never waits on the calendar server. A task's jobs are read from
// the databases on this (the window's) thread when its turn comes, so they
// are as the club stands then, and the publish state is written by one
// sender at a time.
class PublishRunner : public QObject {
    Q_OBJECT

public:
    using Jobs = QList<Publishing::Job>;
    using Reports = QList<CalendarPublisher::Report>;
    struct Task {
        std::function<Result<Jobs>()> prepare; // on this thread, when the task starts
        bool force = false;
        std::function<void(int done, int total)> progress; // on this thread
        // A report per job, on this thread; a task that could not be
        // prepared has one, stopped with why.
        std::function<void(const Reports &)> finished;
    };

    explicit PublishRunner(QObject *parent = nullptr);
    ~PublishRunner() override;

    // Queues a task; its number, for cancel().
    int submit(Task task);
    bool busy() const { return m_current.has_value(); }
    // A queued task is dropped as stopped; a running one stops between
    // resources, what was accepted noted.
    void cancel(int task);
    // For closing the program: nothing more starts, the running task is
    // stopped and waited for. Its outcome is not reported.
    void finish();

    // The server jobs are sent to; by default the settings' CalDAV server.
    Publishing::ServerMaker makeServer;

    static CalendarPublisher::Report stoppedReport(const QString &why);

private:
    struct Queued {
        int id = 0;
        Task task;
    };
    void startNext();
    void send(const Queued &queued, const Jobs &jobs);
    void sent();

    QList<Queued> m_queue;
    std::optional<Queued> m_current;
    std::unique_ptr<QThread> m_thread;
    std::atomic_bool m_cancel{false};
    Reports m_reports; // written by the worker until it ends
    int m_lastId = 0;
    bool m_closed = false;
};
