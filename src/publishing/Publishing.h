#pragma once

#include "CalendarPublisher.h"
#include "PublishSettings.h"
#include "values/Result.h"

#include <memory>

class Module;

// A publish in two halves: what to send is read from the club's databases
// on the thread that holds them, then sent from any thread (the window's
// publishing runs in the background).
namespace Publishing {

struct Job {
    PublishSettings settings;
    QString statePath;
    QList<CalendarPublisher::Item> items;
    std::optional<QSet<QString>> only; // one event's publish: its UID
    QString uidSuffix;                 // "@club.moravel": what the club's UIDs end in
};

// The booked events of the settings' range and rooms, from today in the
// club's time zone; with `event`, that event alone (none when it was
// deleted or left the range, so that its resource is removed).
Result<Job> prepare(Module &module, const PublishSettings &settings, int event = 0);
// The server a job is sent to, made on the thread that sends it; by
// default the settings' CalDAV server over the network.
using ServerMaker = std::function<std::unique_ptr<CalendarServer>(const PublishSettings &)>;

// Brings the collection in line with the job, as CalendarPublisher does.
CalendarPublisher::Report send(const Job &job, bool force = false,
                               const CalendarPublisher::Progress &progress = {},
                               const std::atomic_bool *cancel = nullptr,
                               const ServerMaker &makeServer = {});

} // namespace Publishing
