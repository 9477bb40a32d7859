#include "CalendarPublisher.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <algorithm>

using Unless = CalendarServer::Unless;

namespace {

// A resource's content lines, folds undone.
QStringList unfolded(const QByteArray &resource) {
    static const QRegularExpression fold(QStringLiteral("\r?\n[ \t]"));
    QString text = QString::fromUtf8(resource);
    text.remove(fold);
    return text.split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
}

int sequenceOf(const QByteArray &resource) {
    for (const QString &line : unfolded(resource))
        if (line.startsWith(QLatin1String("SEQUENCE:"), Qt::CaseInsensitive))
            return line.mid(9).trimmed().toInt();
    return 0;
}

// The server's tag, or "*" for a server that gives none: a later write then
// asks only that the resource still exists.
QByteArray tagOf(const ServerReply &reply) {
    return reply.etag.isEmpty() ? QByteArray("*") : reply.etag;
}

constexpr char FingerprintProperty[] = "X-MORAVEL-FINGERPRINT:";

// The fingerprint a resource carries, as written by a publisher.
QByteArray carried(const QByteArray &resource) {
    for (const QString &line : unfolded(resource))
        if (line.startsWith(QLatin1String(FingerprintProperty), Qt::CaseInsensitive))
            return line.mid(qsizetype(sizeof FingerprintProperty) - 1).trimmed().toUtf8();
    return QByteArray();
}

// Lines that say when a resource was written, not what it says: the moment
// of writing, a last change capped to it, and the fingerprint itself.
bool stamp(const QString &line) {
    for (const char *name : {"DTSTAMP", "LAST-MODIFIED", "X-MORAVEL-FINGERPRINT"})
        if (line.startsWith(QLatin1String(name), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

QString CalendarPublisher::Report::counts() const {
    return QStringLiteral("%1 added, %2 changed, %3 removed, %4 unchanged.")
        .arg(added)
        .arg(changed)
        .arg(removed)
        .arg(unchanged);
}

QList<CalendarPublisher::Item> CalendarPublisher::items(const CalendarExport::Events &events) {
    QList<Item> items;
    items.reserve(events.entries.size());
    for (CalendarExport::Entry entry : events.entries) {
        const QByteArray print = fingerprint(entry.lines);
        entry.lines.insert(entry.lines.size() - 1, // before END:VEVENT
                           QLatin1String(FingerprintProperty) + QString::fromLatin1(print));
        items << Item{entry.uid,
                      entry.number,
                      entry.title,
                      entry.sequence,
                      CalendarExport::document(events.name, events.zone, std::span(&entry, 1)),
                      print};
    }
    return items;
}

QByteArray CalendarPublisher::fingerprint(const QStringList &veventLines) {
    QStringList kept;
    for (const QString &line : veventLines)
        if (!stamp(line))
            kept << line;
    kept.sort();
    return QCryptographicHash::hash(kept.join(QLatin1Char('\n')).toUtf8(),
                                    QCryptographicHash::Sha256)
        .toHex()
        .left(32);
}

QByteArray CalendarPublisher::fingerprintOf(const QByteArray &resource) {
    QStringList event;
    bool inside = false;
    for (const QString &line : unfolded(resource)) {
        if (line.compare(QLatin1String("BEGIN:VEVENT"), Qt::CaseInsensitive) == 0)
            inside = true;
        if (inside)
            event << line;
        if (line.compare(QLatin1String("END:VEVENT"), Qt::CaseInsensitive) == 0)
            break;
    }
    return fingerprint(event);
}

QString CalendarPublisher::resourceName(const QString &uid) {
    return uid + QStringLiteral(".ics");
}

QString CalendarPublisher::label(const QString &uid, const QString &title) {
    static const QRegularExpression number(QStringLiteral("^event-(\\d+)@"));
    const auto match = number.match(uid);
    const QString event = match.hasMatch() ? QStringLiteral("Event #") + match.captured(1) : uid;
    return title.isEmpty() ? event : QStringLiteral("%1 \"%2\"").arg(event, title.trimmed());
}

CalendarPublisher::CalendarPublisher(CalendarServer &server, PublishState &state,
                                     const QString &uidSuffix)
    : m_server(server)
    , m_state(state)
    , m_uidSuffix(uidSuffix) {}

bool CalendarPublisher::ours(const QString &uid, const ServerReply &held) {
    const QByteArray print = carried(held.body);
    if (!print.isEmpty() && print == fingerprintOf(held.body))
        return true;
    const PublishState::Entry *known = m_state.find(uid);
    return known && known->etag == tagOf(held);
}

QString CalendarPublisher::fatal(const ServerReply &reply) const {
    const QString url = m_server.collection().toDisplayString();
    const QString status = QStringLiteral("%1 %2").arg(reply.status).arg(reply.reason).trimmed();
    if (!reply.answered())
        return reply.failure;
    if (reply.status == 401)
        return QStringLiteral("The calendar server at %1 refused the user and password (%2): "
                              "check user in publish.ini, and the password in "
                              "MORAVEL_CALDAV_PASSWORD or ~/.netrc.")
            .arg(m_server.collection().host(), status);
    if (reply.status == 403)
        return QStringLiteral("The calendar server does not let this user write to %1 (%2).")
            .arg(url, status);
    if (reply.status == 507)
        return QStringLiteral("The calendar server's storage is full (%1): nothing more can be "
                              "published until room is made there.")
            .arg(status);
    if (reply.status >= 500)
        return QStringLiteral("The calendar server failed (%1).").arg(status);
    return QString();
}

CalendarPublisher::Done CalendarPublisher::recorded(const QString &failure, Report &report) {
    if (failure.isEmpty())
        return Done::Sent;
    report.stopped =
        QStringLiteral("The server took the change, but it could not be noted: %1").arg(failure);
    return Done::Stop;
}

CalendarPublisher::Report CalendarPublisher::publish(const QList<Item> &items,
                                                     const std::optional<QSet<QString>> &only,
                                                     bool force, const Progress &progress,
                                                     const std::atomic_bool *cancel) {
    Report report;
    // The server first: a wrong url must not start the journal afresh.
    const ServerReply probe = m_server.probe();
    if (QString why = fatal(probe); !why.isEmpty()) {
        report.stopped = why;
        return report;
    }
    const QString url = m_server.collection().toDisplayString();
    if (probe.status == 404) {
        report.stopped = QStringLiteral("There is no calendar at %1 (404 Not Found): make it on "
                                        "the server, or correct url in publish.ini.")
                             .arg(url);
        return report;
    }
    if (!probe.succeeded() || !CalendarServer::isCalendar(probe.body)) {
        report.stopped =
            probe.succeeded()
                ? QStringLiteral("%1 is not a calendar on the server; url in publish.ini must "
                                 "name a calendar collection.")
                      .arg(url)
                : QStringLiteral("The calendar server did not accept %1 as a calendar (%2 %3).")
                      .arg(url)
                      .arg(probe.status)
                      .arg(probe.reason);
        return report;
    }

    if (const QString failed = m_state.refresh(); !failed.isEmpty()) {
        report.stopped = failed;
        return report;
    }

    // The plan: what differs from what the server last accepted.
    QList<const Item *> puts;
    QSet<QString> wanted;
    for (const Item &item : items) {
        wanted.insert(item.uid);
        const PublishState::Entry *known = m_state.find(item.uid);
        if (known && known->fingerprint == item.fingerprint)
            ++report.unchanged;
        else
            puts << &item;
    }
    // A whole publish also looks for the club's resources the journal does
    // not know (it was lost, or another club directory published there).
    if (!only && !m_uidSuffix.isEmpty()) {
        const ServerReply listing = m_server.list();
        if (QString why = fatal(listing); !why.isEmpty()) {
            report.stopped = why;
            return report;
        }
        for (const auto &[file, etag] : CalendarServer::listed(listing.body)) {
            const QString uid = file.chopped(file.endsWith(QLatin1String(".ics")) ? 4 : 0);
            if (!uid.startsWith(QLatin1String("event-")) || !uid.endsWith(m_uidSuffix) ||
                wanted.contains(uid) || m_state.find(uid) || etag.isEmpty())
                continue;
            if (const QString failed = m_state.record(uid, {etag, "listed"}); !failed.isEmpty()) {
                report.stopped = failed;
                return report;
            }
        }
    }
    QStringList removals;
    for (auto at = m_state.entries().cbegin(); at != m_state.entries().cend(); ++at)
        if (!wanted.contains(at.key()) && (!only || only->contains(at.key())))
            removals << at.key();
    removals.sort();

    const int total = int(puts.size() + removals.size());
    int done = 0;
    const auto step = [&](Done outcome) {
        if (outcome == Done::Unchanged)
            ++report.unchanged;
        if (progress)
            progress(++done, total);
        return outcome != Done::Stop;
    };
    if (progress)
        progress(0, total);
    const auto cancelled = [&] {
        if (!cancel || !*cancel)
            return false;
        report.stopped = QStringLiteral("Publishing was stopped before its end.");
        return true;
    };
    for (const Item *item : puts) {
        // Another workstation publishing at the same time may have sent it.
        if (cancelled())
            return report;
        if (const QString failed = m_state.refresh(); !failed.isEmpty()) {
            report.stopped = failed;
            return report;
        }
        if (!step(put(*item, force, report)))
            return report;
    }
    for (const QString &uid : removals) {
        if (cancelled())
            return report;
        if (const QString failed = m_state.refresh(); !failed.isEmpty()) {
            report.stopped = failed;
            return report;
        }
        if (!step(remove(uid, force, report)))
            return report;
    }
    if (!only) // a whole publish leaves a short journal behind
        if (const QString failed = m_state.compact(); !failed.isEmpty())
            report.problems << failed;
    return report;
}

CalendarPublisher::Done CalendarPublisher::put(const Item &item, bool force, Report &report) {
    const PublishState::Entry *known = m_state.find(item.uid);
    if (known && known->fingerprint == item.fingerprint)
        return Done::Unchanged;
    const bool existed = known != nullptr;
    const ServerReply reply = m_server.put(resourceName(item.uid), item.content,
                                           existed ? Unless::Changed : Unless::Exists,
                                           existed ? known->etag : QByteArray());
    if (reply.status != 412)
        return accepted(item, reply, existed, report);

    // The resource is not as last seen: read what the server holds.
    const ServerReply now = m_server.get(resourceName(item.uid));
    if (QString why = fatal(now); !why.isEmpty()) {
        report.stopped = why;
        return Done::Stop;
    }
    const QString who = label(item.uid, item.title);
    if (now.status == 404 || now.status == 410) {
        if (!force) {
            report.problems << QStringLiteral("%1 was deleted from the calendar on the server by "
                                              "someone else; it was not put back.")
                                   .arg(who);
            ++report.overridable;
            return Done::Problem;
        }
        return accepted(item,
                        m_server.put(resourceName(item.uid), item.content, Unless::Exists, {}),
                        false, report);
    }
    if (!now.succeeded()) {
        report.problems << QStringLiteral("%1 could not be read back from the server (%2 %3); it "
                                          "was left as it is.")
                               .arg(who)
                               .arg(now.status)
                               .arg(now.reason);
        return Done::Problem;
    }
    const QByteArray held = fingerprintOf(now.body);
    if (held == item.fingerprint) // another publisher sent the same
        return recorded(m_state.record(item.uid, {tagOf(now), held}), report) == Done::Stop
                   ? Done::Stop
                   : Done::Unchanged;
    if (const QString failed = m_state.refresh(); !failed.isEmpty()) {
        report.stopped = failed;
        return Done::Stop;
    }
    // Written by another of the club's publishers: the newer of the two stays.
    const bool ours = this->ours(item.uid, now);
    if (ours && sequenceOf(now.body) > item.sequence)
        return recorded(m_state.record(item.uid, {tagOf(now), held}), report) == Done::Stop
                   ? Done::Stop
                   : Done::Unchanged;
    if (!ours && !force) {
        report.problems << QStringLiteral("%1 was changed on the server by someone else since it "
                                          "was published; it was left as they made it.")
                               .arg(who);
        ++report.overridable;
        return Done::Problem;
    }
    const ServerReply again =
        m_server.put(resourceName(item.uid), item.content, Unless::Changed, tagOf(now));
    if (again.status == 412) {
        report.problems << QStringLiteral("%1 changed on the server again while it was being "
                                          "published; publish again.")
                               .arg(who);
        return Done::Problem;
    }
    return accepted(item, again, true, report);
}

CalendarPublisher::Done CalendarPublisher::accepted(const Item &item, const ServerReply &reply,
                                                    bool existed, Report &report) {
    const QString who = label(item.uid, item.title);
    // CalDAV's no-uid-conflict: the event's UID is held by another resource
    // there (the club's exported file imported into the same calendar).
    if (reply.status == 409 || (reply.status == 403 && reply.body.contains("uid-conflict"))) {
        report.problems << QStringLiteral("%1 could not be published: another entry on the "
                                          "server already holds its UID (%2 %3); delete that "
                                          "copy there (an imported calendar file, perhaps).")
                               .arg(who)
                               .arg(reply.status)
                               .arg(reply.reason);
        return Done::Problem;
    }
    if (QString why = fatal(reply); !why.isEmpty()) {
        report.stopped = why;
        return Done::Stop;
    }
    if (reply.status == 404) { // no collection to write into
        report.stopped = QStringLiteral("There is no calendar at %1 any more (%2 %3).")
                             .arg(m_server.collection().toDisplayString())
                             .arg(reply.status)
                             .arg(reply.reason);
        return Done::Stop;
    }
    if (reply.status == 412) {
        report.problems << QStringLiteral("%1 changed on the server again while it was being "
                                          "published; publish again.")
                               .arg(who);
        return Done::Problem;
    }
    if (!reply.succeeded()) {
        report.problems << QStringLiteral("%1 was refused by the calendar server (%2 %3); it was "
                                          "left out.")
                               .arg(who)
                               .arg(reply.status)
                               .arg(reply.reason);
        return Done::Problem;
    }
    ServerReply tagged = reply;
    if (tagged.etag.isEmpty()) // a server may change what it stores and give no tag
        if (const ServerReply now = m_server.get(resourceName(item.uid)); now.succeeded())
            tagged.etag = now.etag;
    if (recorded(m_state.record(item.uid, {tagOf(tagged), item.fingerprint}), report) == Done::Stop)
        return Done::Stop;
    ++(existed ? report.changed : report.added);
    return Done::Sent;
}

CalendarPublisher::Done CalendarPublisher::remove(const QString &uid, bool force, Report &report) {
    const PublishState::Entry *known = m_state.find(uid);
    if (!known) // another publisher removed it meanwhile
        return Done::Unchanged;
    const QString name = resourceName(uid);
    const QString who = label(uid, QString());
    ServerReply reply = m_server.remove(name, Unless::Changed, known->etag);
    if (reply.status == 412) {
        const ServerReply now = m_server.get(name);
        if (QString why = fatal(now); !why.isEmpty()) {
            report.stopped = why;
            return Done::Stop;
        }
        if (now.succeeded()) {
            if (const QString failed = m_state.refresh(); !failed.isEmpty()) {
                report.stopped = failed;
                return Done::Stop;
            }
            if (!ours(uid, now) && !force) {
                report.problems << QStringLiteral("%1 was changed on the server by someone else "
                                                  "since it was published; it was not removed.")
                                       .arg(who);
                ++report.overridable;
                return Done::Problem;
            }
            reply = m_server.remove(name, Unless::Changed, tagOf(now));
        } else {
            reply = now; // gone already, or the reason it cannot be read
        }
    }
    if (QString why = fatal(reply); !why.isEmpty()) {
        report.stopped = why;
        return Done::Stop;
    }
    if (reply.succeeded() || reply.status == 404 || reply.status == 410) {
        if (recorded(m_state.forget(uid), report) == Done::Stop)
            return Done::Stop;
        ++report.removed;
        return Done::Sent;
    }
    report.problems << QStringLiteral("%1 could not be removed from the calendar server (%2 %3).")
                           .arg(who)
                           .arg(reply.status)
                           .arg(reply.reason);
    return Done::Problem;
}
