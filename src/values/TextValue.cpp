#include "TextValue.h"

#include <QTextBoundaryFinder>
#include <cmath>
#include <limits>

double numericValue(const QString &text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    bool point = false;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == QLatin1Char('.') && !point)
            point = true;
        else if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            break;
        ++i;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0.0;
}

int integerValue(const QString &text) {
    const double value = std::trunc(numericValue(text));
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return 0;
    return int(value);
}

QString cutToLength(const QString &text, qsizetype length) {
    if (text.size() <= length)
        return text;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    characters.setPosition(length);
    return text.left(characters.isAtBoundary() ? length : characters.toPreviousBoundary());
}

QString shortened(const QString &text, qsizetype length) {
    const QString trimmed = text.trimmed();
    if (trimmed.size() <= length)
        return trimmed;
    return cutToLength(trimmed, length - 1).trimmed() + QChar(0x2026);
}

qsizetype characterCount(const QString &text) {
    qsizetype count = 0;
    for (const QChar c : text)
        count += c.isLowSurrogate() ? 0 : 1;
    return count;
}
