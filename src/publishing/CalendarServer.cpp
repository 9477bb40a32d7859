#include "CalendarServer.h"

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
