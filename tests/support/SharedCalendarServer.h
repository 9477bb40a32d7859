#pragma once

#include "FakeCalendarServer.h"
#include "publishing/Publishing.h"

#include <memory>

// The server a publish is given by its maker: one fake collection that
// stays with the test from one publish to the next.
class SharedCalendarServer : public CalendarServer {
public:
    explicit SharedCalendarServer(FakeCalendarServer &fake)
        : m_fake(fake) {}

    static Publishing::ServerMaker maker(FakeCalendarServer &fake) {
        return [&fake](const PublishSettings &) {
            return std::make_unique<SharedCalendarServer>(fake);
        };
    }

    QUrl collection() const override { return m_fake.collection(); }
    ServerReply probe() override { return m_fake.probe(); }
    ServerReply put(const QString &name, const QByteArray &content, Unless unless,
                    const QByteArray &etag) override {
        return m_fake.put(name, content, unless, etag);
    }
    ServerReply remove(const QString &name, Unless unless, const QByteArray &etag) override {
        return m_fake.remove(name, unless, etag);
    }
    ServerReply get(const QString &name) override { return m_fake.get(name); }
    ServerReply list() override { return m_fake.list(); }

private:
    FakeCalendarServer &m_fake;
};
