#include "PublishRunner.h"

#include <QThread>

PublishRunner::PublishRunner(QObject *parent)
    : QObject(parent) {}

PublishRunner::~PublishRunner() {
    finish();
}

CalendarPublisher::Report PublishRunner::stoppedReport(const QString &why) {
    CalendarPublisher::Report report;
    report.stopped = why;
    return report;
}

int PublishRunner::submit(Task task) {
    if (m_closed)
        return 0;
    m_queue.append({++m_lastId, std::move(task)});
    startNext();
    return m_lastId;
}

void PublishRunner::cancel(int task) {
    if (m_current && m_current->id == task) {
        m_cancel = true;
        return;
    }
    for (qsizetype i = 0; i < m_queue.size(); ++i) {
        if (m_queue[i].id != task)
            continue;
        const Queued dropped = m_queue.takeAt(i);
        dropped.task.finished(
            {stoppedReport(QStringLiteral("Publishing was stopped before its end."))});
        return;
    }
}

void PublishRunner::finish() {
    m_closed = true;
    m_queue.clear();
    m_cancel = true;
    if (m_thread)
        m_thread->wait();
    m_thread.reset();
    m_current.reset();
}

void PublishRunner::startNext() {
    while (!m_current && !m_queue.isEmpty() && !m_closed) {
        Queued next = m_queue.takeFirst();
        const auto jobs = next.task.prepare();
        if (!jobs) {
            next.task.finished({stoppedReport(jobs.error().description)});
            continue;
        }
        send(next, *jobs);
    }
}

// The jobs one after the other on a thread of their own; once the server
// stops one (down, refusing, full), the rest are not tried.
void PublishRunner::send(const Queued &queued, const Jobs &jobs) {
    m_current = queued;
    m_cancel = false;
    m_reports.clear();
    const int id = queued.id;
    const bool force = queued.task.force;
    const auto progress = [this, id](int done, int total) {
        QMetaObject::invokeMethod(
            this,
            [this, id, done, total] {
                if (m_current && m_current->id == id && m_current->task.progress)
                    m_current->task.progress(done, total);
            },
            Qt::QueuedConnection);
    };
    m_thread.reset(QThread::create([this, jobs, force, progress, server = makeServer] {
        QString stopped;
        for (const Publishing::Job &job : jobs) {
            m_reports << (stopped.isEmpty()
                              ? Publishing::send(job, force, progress, &m_cancel, server)
                              : stoppedReport(stopped));
            stopped = m_reports.constLast().stopped;
        }
    }));
    connect(m_thread.get(), &QThread::finished, this, &PublishRunner::sent);
    m_thread->start();
}

void PublishRunner::sent() {
    if (!m_thread || !m_current)
        return; // finish() has taken it
    m_thread->wait();
    m_thread.reset();
    const Queued done = *std::exchange(m_current, std::nullopt);
    done.task.finished(m_reports);
    startNext();
}
