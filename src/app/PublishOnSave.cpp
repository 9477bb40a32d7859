#include "PublishOnSave.h"

#include "session/Module.h"

#include <QFileInfo>
#include <algorithm>

PublishOnSave::PublishOnSave(Module &module, PublishRunner &runner, QObject *parent)
    : QObject(parent)
    , m_module(module)
    , m_runner(runner) {}

const PublishSettings *PublishOnSave::onSaveSettings() {
    const QFileInfo file(m_module.clubPath(QLatin1String(PublishSettings::FileName)));
    const QDateTime stamp = file.exists() ? file.lastModified() : QDateTime();
    const qint64 size = file.exists() ? file.size() : -1;
    if (stamp != m_stamp || size != m_size) {
        m_stamp = stamp;
        m_size = size;
        m_settings.reset();
        // A wrong file is told by Publish Calendar; a save goes on without it.
        if (auto loaded = file.exists() ? PublishSettings::load(file.absolutePath())
                                        : Result<PublishSettings>(DbError{});
            loaded && loaded->onSave)
            m_settings = *loaded;
    }
    return m_settings ? &*m_settings : nullptr;
}

void PublishOnSave::eventChanged(int number) {
    if (number < 1 || !onSaveSettings())
        return;
    m_queued.insert(number);
    send();
}

void PublishOnSave::send() {
    if (m_busy || m_queued.isEmpty())
        return;
    m_busy = true;
    PublishRunner::Task task;
    task.prepare = [this] {
        return prepare();
    };
    task.finished = [this](const PublishRunner::Reports &reports) {
        sent(reports);
    };
    m_runner.submit(std::move(task));
}

// A job per event: the queued ones and those that failed before.
Result<PublishRunner::Jobs> PublishOnSave::prepare() {
    const QSet<int> numbers = m_queued + m_pending;
    m_queued.clear();
    m_sending = QList<int>(numbers.begin(), numbers.end());
    std::ranges::sort(m_sending);
    const PublishSettings *settings = onSaveSettings();
    if (!settings)
        return DbError{ErrorNumber::FileMissing,
                       QStringLiteral("publish.ini no longer publishes on save.")};
    PublishRunner::Jobs jobs;
    for (int number : m_sending) {
        auto job = Publishing::prepare(m_module, *settings, number);
        if (!job)
            return job.error();
        jobs << *job;
    }
    return jobs;
}

void PublishOnSave::sent(const PublishRunner::Reports &reports) {
    QStringList told;
    for (qsizetype i = 0; i < m_sending.size(); ++i) {
        const int number = m_sending[i];
        // A task that could not be prepared has one report, for all.
        const CalendarPublisher::Report report = reports.value(std::min(i, reports.size() - 1));
        if (report.stopped.isEmpty())
            m_pending.remove(number);
        else
            m_pending.insert(number);
        told << outcome(number, report);
    }
    m_sending.clear();
    m_busy = false;
    emit status(told.join(QLatin1Char(' ')));
    send();
}

QString PublishOnSave::outcome(int number, const CalendarPublisher::Report &report) {
    const auto why = [](QString text) {
        while (text.endsWith(QLatin1Char('.')))
            text.chop(1);
        return text;
    };
    if (!report.stopped.isEmpty())
        return QStringLiteral("Event #%1 could not be published: %2. It is sent again at the "
                              "next publish.")
            .arg(number)
            .arg(why(report.stopped));
    if (!report.problems.isEmpty())
        return QStringLiteral("Event #%1 could not be published: %2.")
            .arg(number)
            .arg(why(report.problems.join(QLatin1Char(' '))));
    if (report.removed > 0)
        return QStringLiteral("Event #%1 removed from the staff calendar.").arg(number);
    return QStringLiteral("Event #%1 published to the staff calendar.").arg(number);
}
