#pragma once

#include <QString>
#include <QVariant>
#include <ostream>

// Failure messages show Qt values as text rather than as bytes (lists of
// them too: gtest prints each element with these).
inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QVariant &value, std::ostream *out) {
    if (!value.isValid())
        *out << "<empty>";
    else if (value.isNull())
        *out << "<null>";
    else
        *out << value.metaType().name() << ' ' << value.toString().toStdString();
}
