#include "Configuration.h"

QString Configuration::defaultStatusName(int position) {
    switch (position) {
    case 1:
        return QStringLiteral("1-Contact Only");
    case 2:
        return QStringLiteral("2-Reserved");
    case 3:
        return QStringLiteral("3-Reserved w/Dep $");
    case 4:
        return QStringLiteral("4-Confirmed w/Count");
    case 5:
        return QStringLiteral("5-Done/Billed");
    case 6:
        return QStringLiteral("9-Cancelled");
    default:
        return QString();
    }
}
