#include "PublishWindow.h"

#include "PublishOnSave.h"
#include "session/Module.h"

namespace {
const QString Title = QStringLiteral("Publish Calendar");
}

PublishWindow::PublishWindow(Module &module, PublishRunner &runner, PublishOnSave &onSave,
                             QObject *parent)
    : QObject(parent)
    , m_module(module)
    , m_runner(runner)
    , m_onSave(onSave) {}

bool PublishWindow::open() {
    if (running)
        return true;
    if (!m_module.session.CheckAccess(OperatorSession::evaccess3)) {
        m_module.messages.show(
            QStringLiteral("Publishing the calendar requires the administrator's access level."),
            QStringLiteral("Oops..."), Icon::Information);
        return false;
    }
    auto settings = PublishSettings::load(m_module.databases.settings().clubDirectory);
    if (!settings) {
        m_module.messages.show(settings.error().description, Title, Icon::Exclamation);
        return false;
    }
    m_settings = *settings;
    where = m_settings.collection.toDisplayString();
    start(false);
    return true;
}

void PublishWindow::start(bool force) {
    running = true;
    done = total = 0;
    heading = QStringLiteral("Publishing...");
    problems.clear();
    overwriteOffered = false;
    m_pendingAtStart = m_onSave.pending();
    PublishRunner::Task task;
    task.force = force;
    task.prepare = [this]() -> Result<PublishRunner::Jobs> {
        auto job = Publishing::prepare(m_module, m_settings);
        if (!job)
            return job.error();
        return PublishRunner::Jobs{*job};
    };
    task.progress = [this](int sent, int of) {
        done = sent;
        total = of;
        emit changed();
    };
    task.finished = [this](const PublishRunner::Reports &reports) {
        finished(reports);
    };
    emit changed();
    m_task = m_runner.submit(std::move(task));
}

void PublishWindow::cancel() {
    if (running)
        m_runner.cancel(m_task);
}

void PublishWindow::overwrite() {
    if (running || !overwriteOffered)
        return;
    if (!m_module.messages.AskYesNo(
            QStringLiteral("Replace the events changed on the calendar server with the club's "
                           "own?\r\nThe changes made there are lost."),
            Title))
        return;
    start(true);
}

void PublishWindow::finished(const PublishRunner::Reports &reports) {
    const CalendarPublisher::Report report = reports.value(0);
    running = false;
    heading = report.counts();
    if (!report.stopped.isEmpty())
        heading = report.stopped +
                  (report.sent() > 0 ? QStringLiteral(" What was sent is noted; publish again "
                                                      "to send the rest.\n")
                                     : QStringLiteral("\n")) +
                  heading;
    else
        m_onSave.forget(m_pendingAtStart);
    problems = report.problems;
    overwriteOffered = report.overridable > 0;
    emit changed();
}
