#pragma once

#include "PublishRunner.h"

#include <QObject>
#include <QSet>
#include <QStringList>

class Module;
class PublishOnSave;

// File menu, "Publish Calendar" (frmpublish): the club's booked events sent
// to the staff calendar in the background while the window shows how far
// it is, then what was added, changed and removed, each resource left as
// it was and why the run stopped if it did. Resources someone changed on
// the server are overwritten only when the operator asks for it.
class PublishWindow : public QObject {
    Q_OBJECT

public:
    PublishWindow(Module &module, PublishRunner &runner, PublishOnSave &onSave,
                  QObject *parent = nullptr);

    // Checks the level and publish.ini, telling the operator what stops
    // it, and starts the publish; false when refused.
    bool open();
    // Cancel: the run stops before the next resource.
    void cancel();
    // Overwrite Them: after asking, publishes again over the server's changes.
    void overwrite();

    QString where; // lblpublishto: the collection's address
    int done = 0;  // prgpublish
    int total = 0;
    bool running = false;
    QString heading;               // lblpublishresult: the counts, or why it stopped
    QStringList problems;          // lstpublishproblems
    bool overwriteOffered = false; // cmdoverwrite shown

signals:
    void changed();

private:
    void start(bool force);
    void finished(const PublishRunner::Reports &reports);

    Module &m_module;
    PublishRunner &m_runner;
    PublishOnSave &m_onSave;
    PublishSettings m_settings;
    QSet<int> m_pendingAtStart;
    int m_task = 0;
};
