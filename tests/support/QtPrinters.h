#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <ostream>

// Failure messages show Qt values as text rather than as bytes.
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
inline void PrintTo(const QStringList &texts, std::ostream *out) {
    *out << '{' << texts.join(QStringLiteral(", ")).toStdString() << '}';
}
inline void PrintTo(const QVariantList &values, std::ostream *out) {
    *out << '{';
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            *out << ", ";
        PrintTo(values[i], out);
    }
    *out << '}';
}
