#include "FakeCalendarServer.h"

ServerReply FakeCalendarServer::reply(int status, const QString &failure) {
    ServerReply r;
    r.status = status;
    r.failure = failure;
    return r;
}

std::optional<ServerReply> FakeCalendarServer::faulted(const QString &verb, const QString &name) {
    requests << (name.isEmpty() ? verb : verb + QLatin1Char(' ') + name);
    return fault ? fault(verb, name) : std::nullopt;
}

QByteArray FakeCalendarServer::nextTag() {
    return QByteArray("\"tag-") + QByteArray::number(++m_tags) + '"';
}

ServerReply FakeCalendarServer::probe() {
    if (auto f = faulted(QStringLiteral("PROPFIND"), QString()))
        return *f;
    ServerReply r = reply(207);
    r.body = calendar ? QByteArray("<d:multistatus xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:"
                                   "ns:caldav\"><d:response><d:propstat><d:prop><d:resourcetype>"
                                   "<d:collection/><c:calendar/></d:resourcetype></d:prop>"
                                   "</d:propstat></d:response></d:multistatus>")
                      : QByteArray("<d:multistatus xmlns:d=\"DAV:\"><d:response><d:propstat>"
                                   "<d:prop><d:resourcetype><d:collection/></d:resourcetype>"
                                   "</d:prop></d:propstat></d:response></d:multistatus>");
    return r;
}

ServerReply FakeCalendarServer::put(const QString &name, const QByteArray &content, Unless unless,
                                    const QByteArray &etag) {
    if (auto f = faulted(QStringLiteral("PUT"), name))
        return *f;
    const auto at = resources.find(name);
    const bool exists = at != resources.end();
    if ((unless == Unless::Exists && exists) ||
        (unless == Unless::Changed && (!exists || (etag != "*" && at->etag != etag))))
        return reply(412);
    Resource &resource = resources[name];
    resource = {content, nextTag()};
    ServerReply r = reply(exists ? 204 : 201);
    if (giveTags)
        r.etag = resource.etag;
    return r;
}

ServerReply FakeCalendarServer::remove(const QString &name, Unless unless, const QByteArray &etag) {
    if (auto f = faulted(QStringLiteral("DELETE"), name))
        return *f;
    const auto at = resources.find(name);
    if (at == resources.end())
        return reply(404);
    if (unless == Unless::Changed && etag != "*" && at->etag != etag)
        return reply(412);
    resources.erase(at);
    return reply(204);
}

ServerReply FakeCalendarServer::get(const QString &name) {
    if (auto f = faulted(QStringLiteral("GET"), name))
        return *f;
    const auto at = resources.find(name);
    if (at == resources.end())
        return reply(404);
    ServerReply r = reply(200);
    r.body = at->content;
    r.etag = at->etag;
    return r;
}

ServerReply FakeCalendarServer::list() {
    if (auto f = faulted(QStringLiteral("LIST"), QString()))
        return *f;
    ServerReply r = reply(207);
    r.body = "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/club/</d:href></d:response>";
    for (const auto &[name, resource] : resources.asKeyValueRange())
        r.body += "<d:response><d:href>/club/" + QUrl::toPercentEncoding(name, "@") +
                  "</d:href><d:propstat><d:prop><d:getetag>" + resource.etag +
                  "</d:getetag></d:prop></d:propstat></d:response>";
    r.body += "</d:multistatus>";
    return r;
}

void FakeCalendarServer::change(const QString &name, const QByteArray &content) {
    resources[name] = {content, nextTag()};
}
