#include "Money.h"

#include <charconv>
#include <cmath>
#include <iterator>

namespace {

using Wide = __int128;
using UnsignedWide = unsigned __int128;

// 10^38 is the largest power of ten a Wide holds.
constexpr int MaxShift = 38;

Wide powerOfTen(int exponent) {
    Wide value = 1;
    while (exponent-- > 0)
        value *= 10;
    return value;
}

UnsignedWide magnitude(Wide value) {
    return value < 0 ? UnsignedWide(0) - UnsignedWide(value) : UnsignedWide(value);
}

// numerator / denominator (positive), rounded half away from zero; written
// so that no step can overflow near the limits of a Wide.
Wide divideRounded(Wide numerator, Wide denominator) {
    const UnsignedWide n = magnitude(numerator);
    const UnsignedWide d = UnsignedWide(denominator);
    UnsignedWide quotient = n / d;
    const UnsignedWide remainder = n % d;
    if (remainder >= d - remainder)
        ++quotient;
    return numerator < 0 ? -Wide(quotient) : Wide(quotient);
}

} // namespace

Decimal Decimal::normalized(Wide digits, int decimals) {
    while (decimals > 0 && digits % 10 == 0) {
        digits /= 10;
        --decimals;
    }
    return Decimal(digits, digits == 0 ? 0 : decimals);
}

// Decimal zeros are held back until a digit follows them, so that a long
// tail of zeros costs nothing; only significant digits can run out of room.
std::optional<Decimal> Decimal::read(QStringView text, qsizetype *end) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    Wide digits = 0;
    int decimals = 0;
    int heldZeros = 0;
    bool point = false;
    bool anyDigit = false;
    bool fits = true;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.' && !point) {
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            break;
        anyDigit = true;
        const int digit = c.unicode() - u'0';
        if (point && digit == 0) {
            ++heldZeros;
            continue;
        }
        const int shift = point ? heldZeros + 1 : 1;
        fits = fits && shift <= MaxShift &&
               !__builtin_mul_overflow(digits, powerOfTen(shift), &digits) &&
               !__builtin_add_overflow(digits, Wide(digit), &digits);
        decimals += point ? shift : 0;
        heldZeros = 0;
    }
    if (end)
        *end = i;
    if (!anyDigit || !fits)
        return std::nullopt;
    return Decimal(negative ? -digits : digits, decimals);
}

std::optional<Decimal> Decimal::shortest(double value, bool single) {
    if (!std::isfinite(value))
        return std::nullopt;
    char buffer[512];
    const auto written =
        single ? std::to_chars(buffer, std::end(buffer), float(value), std::chars_format::fixed)
               : std::to_chars(buffer, std::end(buffer), value, std::chars_format::fixed);
    if (written.ec != std::errc())
        return std::nullopt;
    const QString text = QString::fromLatin1(buffer, written.ptr - buffer);
    qsizetype end = 0;
    auto decimal = read(text, &end);
    if (!decimal || end != text.size())
        return std::nullopt;
    return decimal;
}

std::optional<Decimal> Decimal::fromStored(const QVariant &value, bool singleAware) {
    if (value.isNull())
        return Decimal();
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return Decimal(value.toLongLong(), 0);
    case QMetaType::ULongLong:
        return Decimal(Wide(value.toULongLong()), 0);
    case QMetaType::Float:
        return shortest(value.toDouble(), true);
    case QMetaType::Double: {
        const double number = value.toDouble();
        const bool single =
            singleAware && std::fabs(number) <= 3.4e38 && double(float(number)) == number;
        return shortest(number, single);
    }
    default: {
        // Decimal text, as a server's numeric column comes back.
        const QString text = value.toString().trimmed();
        qsizetype end = 0;
        auto decimal = read(text, &end);
        if (!decimal || end != text.size())
            return std::nullopt;
        return decimal;
    }
    }
}

std::optional<Decimal> Decimal::fromText(QStringView text) {
    const QStringView number = text.trimmed();
    qsizetype end = 0;
    auto decimal = read(number, &end);
    if (!decimal || end != number.size())
        return std::nullopt;
    return decimal;
}

std::optional<Decimal> Decimal::fromFactor(const QVariant &value) {
    return fromStored(value, true);
}

bool Decimal::scaledTo(int decimals, Wide *digits) const {
    const int shift = decimals - m_decimals;
    return shift >= 0 && shift <= MaxShift &&
           !__builtin_mul_overflow(m_digits, powerOfTen(shift), digits);
}

std::optional<Decimal> Decimal::plus(const Decimal &other) const {
    const int decimals = std::max(m_decimals, other.m_decimals);
    Wide left = 0;
    Wide right = 0;
    Wide sum = 0;
    if (!scaledTo(decimals, &left) || !other.scaledTo(decimals, &right) ||
        __builtin_add_overflow(left, right, &sum))
        return std::nullopt;
    return normalized(sum, decimals);
}

std::optional<Decimal> Decimal::times(const Decimal &other) const {
    Wide product = 0;
    if (__builtin_mul_overflow(m_digits, other.m_digits, &product))
        return std::nullopt;
    return normalized(product, m_decimals + other.m_decimals);
}

Decimal Decimal::roundedTo(int decimals) const {
    if (m_decimals <= decimals)
        return *this;
    const int shift = m_decimals - decimals;
    // Any Wide is below half of 10^39: it rounds to nothing.
    if (shift > MaxShift)
        return Decimal();
    return normalized(divideRounded(m_digits, powerOfTen(shift)), decimals);
}

QString Decimal::toString() const {
    UnsignedWide rest = magnitude(m_digits);
    QString text;
    do {
        text.prepend(QChar(u'0' + int(rest % 10)));
        rest /= 10;
    } while (rest != 0);
    if (m_decimals > 0) {
        if (text.size() <= m_decimals)
            text.prepend(QString(m_decimals - text.size() + 1, u'0'));
        text.insert(text.size() - m_decimals, u'.');
    }
    return m_digits < 0 ? u'-' + text : text;
}

double Decimal::toDouble() const {
    return toString().toDouble();
}

std::strong_ordering Decimal::operator<=>(const Decimal &other) const {
    if ((m_digits < 0) != (other.m_digits < 0))
        return m_digits < 0 ? std::strong_ordering::less : std::strong_ordering::greater;
    const int decimals = std::max(m_decimals, other.m_decimals);
    Wide left = 0;
    Wide right = 0;
    // The side that no longer fits once scaled is the larger in magnitude.
    if (!scaledTo(decimals, &left))
        return m_digits < 0 ? std::strong_ordering::less : std::strong_ordering::greater;
    if (!other.scaledTo(decimals, &right))
        return m_digits < 0 ? std::strong_ordering::greater : std::strong_ordering::less;
    return left < right   ? std::strong_ordering::less
           : left > right ? std::strong_ordering::greater
                          : std::strong_ordering::equal;
}

std::optional<Money> Money::fromDecimal(const Decimal &value) {
    Wide units = 0;
    if (!value.roundedTo(4).scaledTo(4, &units) || units > Limit || units < -Limit)
        return std::nullopt;
    return Money(qint64(units));
}

std::optional<Money> Money::fromText(QStringView text) {
    const auto decimal = Decimal::fromText(text);
    return decimal ? fromDecimal(*decimal) : std::nullopt;
}

std::optional<Money> Money::fromVariant(const QVariant &value) {
    const auto decimal = Decimal::fromStored(value, false);
    return decimal ? fromDecimal(*decimal) : std::nullopt;
}

std::optional<Money> Money::times(const Decimal &factor) const {
    const auto product = toDecimal().times(factor);
    return product ? fromDecimal(*product) : std::nullopt;
}

Money Money::times(double factor) const {
    const auto decimal = Decimal::shortest(factor, false);
    if (!decimal)
        return Money();
    if (const auto product = times(*decimal))
        return *product;
    return Money((m_units < 0) != decimal->isNegative() ? -Limit : Limit);
}

Money Money::roundedToCents() const {
    return Money(saturated(divideRounded(m_units, 100) * 100));
}

QString Money::toString() const {
    return toDecimal().toString();
}

QString Money::formatted() const {
    const Wide cents = divideRounded(m_units, 100);
    const UnsignedWide amount = magnitude(cents);
    QString text = amount >= 100 ? QString::number(qulonglong(amount / 100)) : QString();
    text += u'.' + QString::number(int(amount % 100)).rightJustified(2, u'0');
    return cents < 0 ? u'-' + text : text;
}
