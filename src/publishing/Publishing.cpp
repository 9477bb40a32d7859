#include "Publishing.h"

#include "DavClient.h"
#include "ports/Clock.h"
#include "session/Module.h"

namespace Publishing {

Result<Job> prepare(Module &module, const PublishSettings &settings, int event) {
    const QDate today = module.ports.clock.today();
    const auto number = [](const QDate &date) {
        return date.year() * 10000 + date.month() * 100 + date.day();
    };
    CalendarExport::Request request;
    request.from = number(today.addDays(-settings.daysBack));
    request.to = number(today.addDays(settings.daysAhead));
    request.rooms = settings.rooms;
    request.event = event;
    request.contacts = settings.contacts;
    auto events = CalendarExport(module).events(request);
    if (!events)
        return events.error();
    Job job{settings, module.clubPath(QLatin1String(PublishState::FileName)),
            CalendarPublisher::items(*events), std::nullopt,
            QLatin1Char('@') +
                CalendarExport::uid(0, module.config.compname).section(QLatin1Char('@'), 1)};
    if (event > 0)
        job.only = QSet<QString>{CalendarExport::uid(event, module.config.compname)};
    return job;
}

CalendarPublisher::Report send(const Job &job, bool force,
                               const CalendarPublisher::Progress &progress,
                               const std::atomic_bool *cancel, const ServerMaker &makeServer) {
    const std::unique_ptr<CalendarServer> server =
        makeServer ? makeServer(job.settings) : std::make_unique<DavClient>(job.settings, cancel);
    PublishState state(job.statePath, job.settings.collection.toString());
    return CalendarPublisher(*server, state, job.uidSuffix)
        .publish(job.items, job.only, force, progress, cancel);
}

} // namespace Publishing
