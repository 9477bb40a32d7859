#pragma once

#include "publishing/CalendarServer.h"

#include <QMap>
#include <QStringList>
#include <functional>
#include <optional>

// A calendar collection in memory that keeps ETags and the write
// conditions as a CalDAV server does, and answers as scripted: a fault
// replaces the answer to the requests it matches.
class FakeCalendarServer : public CalendarServer {
public:
    struct Resource {
        QByteArray content;
        QByteArray etag;
    };

    QUrl collection() const override {
        return QUrl(QStringLiteral("https://cal.example.org/club/"));
    }
    ServerReply probe() override;
    ServerReply put(const QString &name, const QByteArray &content, Unless unless,
                    const QByteArray &etag) override;
    ServerReply remove(const QString &name, Unless unless, const QByteArray &etag) override;
    ServerReply get(const QString &name) override;
    ServerReply list() override; // logged and faulted as "LIST"

    // Someone else's change on the server: a new ETag.
    void change(const QString &name, const QByteArray &content);
    // A reply of that status (0: no answer, with the failure text).
    static ServerReply reply(int status, const QString &failure = QString());

    QMap<QString, Resource> resources;
    // "PUT event-1@club.moravel.ics", in order.
    QStringList requests;
    // Consulted before each request ("PROPFIND", "PUT", "DELETE", "GET").
    std::function<std::optional<ServerReply>(const QString &verb, const QString &name)> fault;
    bool calendar = true; // the collection is a calendar
    bool giveTags = true; // a write's reply carries the new ETag

private:
    std::optional<ServerReply> faulted(const QString &verb, const QString &name);
    QByteArray nextTag();
    int m_tags = 0;
};
