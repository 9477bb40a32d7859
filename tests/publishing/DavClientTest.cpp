#include "publishing/DavClient.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

PublishSettings on(quint16 port) {
    auto settings = PublishSettings::parse(
        u"url = http://127.0.0.1:%1/club/events\nuser = clubcal\ntimeout = 1\n"_s.arg(port),
        u"publish.ini"_s);
    EXPECT_TRUE(settings);
    settings->password = u"secret"_s;
    return *settings;
}

} // namespace

// What comes back when no answer does: a server that is not there, and one
// that takes the connection and never answers.
TEST(DavClientTest, NoAnswerIsToldWithItsReason) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 nobody = closed.serverPort();
    closed.close();
    const ServerReply refused = DavClient(on(nobody)).probe();
    EXPECT_FALSE(refused.answered());
    EXPECT_TRUE(refused.failure.startsWith(
        u"The calendar server at 127.0.0.1 could not be reached: Connection refused"_s))
        << qPrintable(refused.failure);

    QTcpServer silent; // accepts, reads, never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    QByteArray request;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] {
        QTcpSocket *socket = silent.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead,
                         [&request, socket] { request += socket->readAll(); });
    });
    const ServerReply slow = DavClient(on(silent.serverPort()))
                                 .put(u"event-1@club.moravel.ics"_s, "BEGIN:VCALENDAR",
                                      CalendarServer::Unless::Changed, "\"tag-1\"");
    EXPECT_FALSE(slow.answered());
    EXPECT_EQ(slow.failure, u"The calendar server at 127.0.0.1 did not answer within a second."_s);
    // What was asked: the resource by name, only if unchanged, with the user's password.
    EXPECT_TRUE(request.startsWith("PUT /club/events/event-1@club.moravel.ics HTTP/1.1"))
        << request.constData();
    EXPECT_TRUE(request.contains("If-Match: \"tag-1\""));
    EXPECT_TRUE(
        request.contains("Authorization: Basic " + QByteArray("clubcal:secret").toBase64()));
}
