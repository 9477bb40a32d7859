#include "CalendarServer.h"

#include <QUrl>
#include <QXmlStreamReader>

bool CalendarServer::isCalendar(const QByteArray &multistatus) {
    QXmlStreamReader xml(multistatus);
    int inResourceType = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("resourcetype"))
                ++inResourceType;
            else if (inResourceType > 0 && xml.name() == QLatin1String("calendar") &&
                     xml.namespaceUri() == QLatin1String("urn:ietf:params:xml:ns:caldav"))
                return true;
        } else if (xml.isEndElement() && xml.name() == QLatin1String("resourcetype")) {
            --inResourceType;
        }
    }
    return false;
}

QList<std::pair<QString, QByteArray>> CalendarServer::listed(const QByteArray &multistatus) {
    QList<std::pair<QString, QByteArray>> resources;
    QXmlStreamReader xml(multistatus);
    QString href;
    QByteArray etag;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("response")) {
            href.clear();
            etag.clear();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("href")) {
            href = xml.readElementText().trimmed();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("getetag")) {
            etag = xml.readElementText().trimmed().toUtf8();
        } else if (xml.isEndElement() && xml.name() == QLatin1String("response")) {
            // The collection itself ends in "/"; its members are files.
            const QString path = QUrl::fromPercentEncoding(href.toUtf8());
            if (!path.endsWith(QLatin1Char('/')) && !path.isEmpty())
                resources.append({path.section(QLatin1Char('/'), -1), etag});
        }
    }
    return resources;
}
