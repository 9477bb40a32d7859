#include "DavClient.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

DavClient::DavClient(const PublishSettings &settings, const std::atomic_bool *cancel)
    : m_settings(settings)
    , m_cancel(cancel) {
    // A server's redirect is followed only to the same scheme and host:
    // the password goes nowhere else.
    m_network.setRedirectPolicy(QNetworkRequest::SameOriginRedirectPolicy);
}

QNetworkRequest DavClient::request(const QString &name, Unless unless,
                                   const QByteArray &etag) const {
    QUrl url = m_settings.collection;
    if (!name.isEmpty())
        url.setPath(url.path() + name);
    QNetworkRequest request(url);
    request.setTransferTimeout(m_settings.timeoutSeconds * 1000);
    if (!m_settings.user.isEmpty())
        request.setRawHeader(
            "Authorization",
            "Basic " +
                (m_settings.user + QLatin1Char(':') + m_settings.password).toUtf8().toBase64());
    if (unless == Unless::Exists)
        request.setRawHeader("If-None-Match", "*");
    else if (unless == Unless::Changed)
        request.setRawHeader("If-Match", etag.isEmpty() ? QByteArray("*") : etag);
    return request;
}

ServerReply DavClient::send(const QNetworkRequest &request, const QByteArray &verb,
                            const QByteArray &body) {
    QNetworkReply *reply = m_network.sendCustomRequest(request, verb, body);
    if (m_settings.insecure) // only ever allowed for a server on this machine
        reply->ignoreSslErrors();
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // A publish stopped (the program closing) does not wait out the timeout.
    bool cancelled = false;
    QTimer watch;
    if (m_cancel) {
        QObject::connect(&watch, &QTimer::timeout, reply, [&] {
            if (*m_cancel && !cancelled) {
                cancelled = true;
                reply->abort();
            }
        });
        watch.start(50);
    }
    if (!reply->isFinished())
        loop.exec();
    ServerReply answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    answer.etag = reply->rawHeader("ETag");
    if (reply->isOpen())
        answer.body = reply->readAll();
    const QString host = m_settings.collection.host();
    if (!answer.answered()) {
        if (cancelled)
            answer.failure = QStringLiteral("Publishing was stopped before its end.");
        else if (reply->error() == QNetworkReply::OperationCanceledError ||
                 reply->error() == QNetworkReply::TimeoutError)
            answer.failure =
                QStringLiteral("The calendar server at %1 did not answer within %2.")
                    .arg(host, m_settings.timeoutSeconds == 1
                                   ? QStringLiteral("a second")
                                   : QStringLiteral("%1 seconds").arg(m_settings.timeoutSeconds));
        else
            answer.failure = QStringLiteral("The calendar server at %1 could not be reached: %2.")
                                 .arg(host, reply->errorString());
    }
    reply->deleteLater();
    return answer;
}

ServerReply DavClient::probe() {
    QNetworkRequest probe = request(QString(), Unless::Anything, {});
    probe.setRawHeader("Depth", "0");
    probe.setHeader(QNetworkRequest::ContentTypeHeader,
                    QByteArrayLiteral("application/xml; charset=utf-8"));
    return send(probe, "PROPFIND",
                "<?xml version=\"1.0\" encoding=\"utf-8\"?><propfind xmlns=\"DAV:\"><prop>"
                "<resourcetype/></prop></propfind>");
}

ServerReply DavClient::put(const QString &name, const QByteArray &content, Unless unless,
                           const QByteArray &etag) {
    QNetworkRequest put = request(name, unless, etag);
    put.setHeader(QNetworkRequest::ContentTypeHeader,
                  QByteArrayLiteral("text/calendar; charset=utf-8"));
    return send(put, "PUT", content);
}

ServerReply DavClient::remove(const QString &name, Unless unless, const QByteArray &etag) {
    return send(request(name, unless, etag), "DELETE");
}

ServerReply DavClient::list() {
    QNetworkRequest list = request(QString(), Unless::Anything, {});
    list.setRawHeader("Depth", "1");
    list.setHeader(QNetworkRequest::ContentTypeHeader,
                   QByteArrayLiteral("application/xml; charset=utf-8"));
    return send(list, "PROPFIND",
                "<?xml version=\"1.0\" encoding=\"utf-8\"?><propfind xmlns=\"DAV:\"><prop>"
                "<getetag/></prop></propfind>");
}

ServerReply DavClient::get(const QString &name) {
    return send(request(name, Unless::Anything, {}), "GET");
}
