#include "Money.h"

#include <QLocale>
#include <limits>

namespace {

using Wide = __int128;

// Amounts beyond this many units are refused: far above any club's bill,
// and far enough below the 64-bit limit that sums of them cannot overflow.
constexpr qint64 Limit = qint64(1'000'000'000'000) * Money::Scale;

Wide powerOfTen(int exponent) {
    Wide value = 1;
    while (exponent-- > 0)
        value *= 10;
    return value;
}

// numerator / denominator, rounded half away from zero.
Wide divideRounded(Wide numerator, Wide denominator) {
    const bool negative = (numerator < 0) != (denominator < 0);
    const Wide n = numerator < 0 ? -numerator : numerator;
    const Wide d = denominator < 0 ? -denominator : denominator;
    const Wide quotient = (n + d / 2) / d;
    return negative ? -quotient : quotient;
}

// A decimal number as digits and a count of decimals: 12.345 is {12345, 3}.
struct Decimal {
    Wide digits = 0;
    int decimals = 0;
};

// Reads [blanks][sign]digits[.digits] and stops at anything else; empty when
// there is no digit or too many of them to be exact.
std::optional<Decimal> readDecimal(QStringView text, qsizetype *end = nullptr) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    Decimal value;
    bool point = false;
    int digits = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.' && !point) {
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            if (++digits > 36)
                return std::nullopt;
            value.digits = value.digits * 10 + (c.unicode() - u'0');
            value.decimals += point ? 1 : 0;
        } else {
            break;
        }
    }
    if (end)
        *end = i;
    if (digits == 0)
        return std::nullopt;
    if (negative)
        value.digits = -value.digits;
    return value;
}

// Ten-thousandths of a decimal, rounded; empty when out of range.
std::optional<qint64> toUnits(const Decimal &value) {
    const Wide units = value.decimals <= 4
                           ? value.digits * powerOfTen(4 - value.decimals)
                           : divideRounded(value.digits, powerOfTen(value.decimals - 4));
    if (units > Limit || units < -Limit)
        return std::nullopt;
    return qint64(units);
}

// A double by its shortest decimal form: 0.07 is 7/100, not the binary
// neighbour of 0.07.
std::optional<Decimal> shortestDecimal(double value) {
    const QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    qsizetype end = 0;
    auto decimal = readDecimal(text, &end);
    if (!decimal || end != text.size())
        return std::nullopt;
    return decimal;
}

} // namespace

std::optional<Money> Money::fromText(QStringView text) {
    const auto decimal = readDecimal(text);
    if (!decimal)
        return std::nullopt;
    const auto units = toUnits(*decimal);
    if (!units)
        return std::nullopt;
    return Money(*units);
}

std::optional<Money> Money::fromVariant(const QVariant &value) {
    if (value.isNull())
        return Money();
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: {
        const Wide units = Wide(value.toLongLong()) * Scale;
        if (units > Limit || units < -Limit)
            return std::nullopt;
        return Money(qint64(units));
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const auto decimal = shortestDecimal(value.toDouble());
        if (!decimal)
            return std::nullopt;
        const auto units = toUnits(*decimal);
        return units ? std::optional<Money>(Money(*units)) : std::nullopt;
    }
    default: {
        // Decimal text, as a server's numeric column may come back.
        const QString text = value.toString().trimmed();
        qsizetype end = 0;
        const auto decimal = readDecimal(text, &end);
        if (!decimal || end != text.size())
            return std::nullopt;
        const auto units = toUnits(*decimal);
        return units ? std::optional<Money>(Money(*units)) : std::nullopt;
    }
    }
}

Money Money::times(double factor) const {
    const auto decimal = shortestDecimal(factor);
    if (!decimal)
        return Money();
    const Wide product =
        divideRounded(Wide(m_units) * decimal->digits, powerOfTen(decimal->decimals));
    if (product > Limit || product < -Limit)
        return Money(product > 0 ? Limit : -Limit);
    return Money(qint64(product));
}

Money Money::roundedToCents() const {
    return Money(qint64(divideRounded(m_units, 100) * 100));
}

QString Money::toString() const {
    const qint64 magnitude = m_units < 0 ? -m_units : m_units;
    QString text = QString::number(magnitude / Scale);
    if (const qint64 fraction = magnitude % Scale) {
        QString decimals = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (decimals.endsWith(QLatin1Char('0')))
            decimals.chop(1);
        text += QLatin1Char('.') + decimals;
    }
    return m_units < 0 ? QLatin1Char('-') + text : text;
}

QString Money::formatted() const {
    const qint64 cents = roundedToCents().m_units / 100;
    const qint64 magnitude = cents < 0 ? -cents : cents;
    const qint64 whole = magnitude / 100;
    QString text = (whole == 0 ? QString() : QString::number(whole)) + QLatin1Char('.') +
                   QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    return cents < 0 ? QLatin1Char('-') + text : text;
}
