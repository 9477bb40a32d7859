#pragma once

#include "CalendarServer.h"
#include "PublishSettings.h"

#include <QNetworkAccessManager>
#include <atomic>

class QNetworkRequest;

// A CalDAV collection over HTTP(S) through Qt Network. Each request is
// waited for in an event loop of its own, so it runs on whichever thread
// made the client (a publishing thread, or the club tool's main thread),
// and gives up after the settings' timeout.
class DavClient final : public CalendarServer {
public:
    // A request under way is given up when `cancel` is set.
    explicit DavClient(const PublishSettings &settings, const std::atomic_bool *cancel = nullptr);

    QUrl collection() const override { return m_settings.collection; }
    ServerReply probe() override;
    ServerReply put(const QString &name, const QByteArray &content, Unless unless,
                    const QByteArray &etag) override;
    ServerReply remove(const QString &name, Unless unless, const QByteArray &etag) override;
    ServerReply get(const QString &name) override;
    ServerReply list() override;

private:
    QNetworkRequest request(const QString &name, Unless unless, const QByteArray &etag) const;
    ServerReply send(const QNetworkRequest &request, const QByteArray &verb,
                     const QByteArray &body = QByteArray());

    PublishSettings m_settings;
    const std::atomic_bool *m_cancel;
    QNetworkAccessManager m_network;
};
