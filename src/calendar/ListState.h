#pragma once

#include <QString>
#include <QStringList>

// A list control's entries and the text it shows.
struct ListState {
    QStringList entries;
    QString text;
};
