#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <utility>

// What a calendar server answered: its status, or why no answer came.
struct ServerReply {
    int status = 0; // 0: no answer came (see failure)
    QString reason; // the status's words, "Precondition Failed"
    QByteArray etag;
    QByteArray body;
    QString failure; // why no answer came: refused, timed out, a certificate refused

    bool answered() const { return status != 0; }
    bool succeeded() const { return status >= 200 && status < 300; }
};

// The few requests publishing makes of a CalDAV collection, one resource
// per event, each waited for. A resource is named by its file name in the
// collection ("event-12@club.moravel.ics").
class CalendarServer {
public:
    virtual ~CalendarServer() = default;

    // How a write is made safe against another writer: only when the
    // resource does not exist yet, or only when it still has the ETag last
    // seen ("*": whatever it has, for a server that gives none).
    enum class Unless { Anything, Exists, Changed };

    virtual QUrl collection() const = 0;
    // Whether the collection is there and is a calendar (PROPFIND, depth 0).
    virtual ServerReply probe() = 0;
    virtual ServerReply put(const QString &name, const QByteArray &content, Unless unless,
                            const QByteArray &etag) = 0;
    virtual ServerReply remove(const QString &name, Unless unless, const QByteArray &etag) = 0;
    virtual ServerReply get(const QString &name) = 0;
    // The collection's resources with their ETags (PROPFIND, depth 1).
    virtual ServerReply list() = 0;

    // Whether a PROPFIND answer says the collection is a calendar.
    static bool isCalendar(const QByteArray &multistatus);
    // The resources a listing names (their file names) with their ETags.
    static QList<std::pair<QString, QByteArray>> listed(const QByteArray &multistatus);
};
