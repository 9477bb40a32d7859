#pragma once

#include "PublishRunner.h"

#include <QDateTime>
#include <QObject>
#include <QSet>

class Module;

// Publishing on save (publish.ini's "onsave = yes"): each event saved or
// deleted is sent on its own in the background, its outcome told on the
// status line. An event whose publish failed is kept and sent again with
// the next one; events saved while one is being sent wait and go together.
// Without publish.ini, or with onsave off, a save costs one look at the
// file's date.
class PublishOnSave : public QObject {
    Q_OBJECT

public:
    PublishOnSave(Module &module, PublishRunner &runner, QObject *parent = nullptr);

    // An event was saved or deleted.
    void eventChanged(int number);
    // Events whose publish failed, sent again with the next.
    const QSet<int> &pending() const { return m_pending; }
    // A whole publish sent these.
    void forget(const QSet<int> &numbers) { m_pending -= numbers; }

signals:
    // The main window's status line.
    void status(const QString &text);

private:
    // The club's settings when they publish on save; read again only when
    // publish.ini changed.
    const PublishSettings *onSaveSettings();
    void send();
    Result<PublishRunner::Jobs> prepare();
    void sent(const PublishRunner::Reports &reports);
    static QString outcome(int number, const CalendarPublisher::Report &report);

    Module &m_module;
    PublishRunner &m_runner;
    QSet<int> m_queued;   // saved since the last send began
    QSet<int> m_pending;  // failed, to be sent again
    QList<int> m_sending; // the events of the task running, in its jobs' order
    bool m_busy = false;
    std::optional<PublishSettings> m_settings;
    QDateTime m_stamp; // publish.ini's time when m_settings was read
    qint64 m_size = -1;
};
