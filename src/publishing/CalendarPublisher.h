#pragma once

#include "CalendarServer.h"
#include "PublishState.h"
#include "reports/CalendarExport.h"

#include <QList>
#include <QSet>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>

// Brings a CalDAV collection in line with the club's booked events: one
// resource per event, named by its UID. Only what differs from what the
// server last accepted is sent: each write is conditional on the ETag last
// seen, or on there being no resource yet, so a change someone made on the
// server is reported rather than overwritten (unless forced). Every
// accepted change is written to the publish state at once, so a run that
// stops (server down, disk full, cancelled) leaves a true state and the
// next run sends only the rest.
class CalendarPublisher {
public:
    // One event as the collection is to hold it.
    struct Item {
        QString uid;
        int number = 0;
        QString title;
        int sequence = 0;   // the event's change count
        QByteArray content; // a calendar holding the event alone
        QByteArray fingerprint;
    };
    struct Report {
        int added = 0, changed = 0, removed = 0, unchanged = 0;
        QStringList problems; // resources left as they are, each with why
        int overridable = 0;  // of those, changed or deleted on the server: force settles them
        QString stopped;      // why the run stopped before its end; empty when it ran through
        bool complete() const { return problems.isEmpty() && stopped.isEmpty(); }
        int sent() const { return added + changed + removed; }
        // "3 added, 1 changed, 1 removed, 45 unchanged."
        QString counts() const;
    };
    // Operations done and to do; called before each and once at the end.
    using Progress = std::function<void(int done, int total)>;

    static QList<Item> items(const CalendarExport::Events &events);
    // What a resource's content says of its event, whatever the server did
    // to its lines' folding or order: its VEVENT's lines but those that tell
    // when it was written, sorted, hashed. Each resource carries its own in
    // X-MORAVEL-FINGERPRINT, so that a resource nobody touched is known as
    // the club's even when the journal was lost.
    static QByteArray fingerprint(const QStringList &veventLines);
    static QByteArray fingerprintOf(const QByteArray &resource);
    static QString resourceName(const QString &uid);

    // `uidSuffix` ("@club.moravel") tells the club's resources on the
    // server from others, so that a whole publish finds and removes its own
    // even when the state lost them.
    CalendarPublisher(CalendarServer &server, PublishState &state,
                      const QString &uidSuffix = QString());

    // Publishes items. A whole publish answers for every resource the
    // state knows, removing those no longer among the items (deleted, out
    // of the range, not a booking any more); `only` limits it to those UIDs
    // (one event's publish after a save).
    Report publish(const QList<Item> &items, const std::optional<QSet<QString>> &only = {},
                   bool force = false, const Progress &progress = {},
                   const std::atomic_bool *cancel = nullptr);

private:
    enum class Done { Sent, Unchanged, Problem, Stop };
    Done put(const Item &item, bool force, Report &report);
    Done remove(const QString &uid, bool force, Report &report);
    // What a write's reply means for the item: noted as sent, or why not.
    Done accepted(const Item &item, const ServerReply &reply, bool existed, Report &report);
    Done recorded(const QString &failure, Report &report);
    // Why a reply stops the whole run (the server down, refusing us, full);
    // empty when it concerns one resource only.
    QString fatal(const ServerReply &reply) const;
    static QString label(const QString &uid, const QString &title);

    // Whether a resource the server holds was last written by one of the
    // club's publishers: the journal has its ETag, or its content still
    // matches the fingerprint written into it.
    bool ours(const QString &uid, const ServerReply &held);

    CalendarServer &m_server;
    PublishState &m_state;
    QString m_uidSuffix;
};
