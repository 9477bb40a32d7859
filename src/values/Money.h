#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>
#include <compare>
#include <limits>
#include <optional>

// An exact decimal number: a quantity as typed, a rate as stored, or a step
// of a tax sum. Kept as digits and a count of decimals without trailing
// zeros, so equal values compare equal. Arithmetic is exact; a result with
// more digits than it can hold is reported as empty, never wrapped.
class Decimal {
public:
    constexpr Decimal() = default;
    static Decimal fromInteger(qint64 value) { return Decimal(value, 0); }

    // Plain decimal text, as the program writes it: an optional sign, digits
    // and one decimal point, with blanks around. Empty for anything else
    // ("12abc", "1,250.00": what people type is read by TypedNumber) and
    // when there are too many digits to hold.
    static std::optional<Decimal> fromText(QStringView text);
    // A rate as either engine hands it back: Null is 0, integers and decimal
    // text as they are, a double by its shortest decimal form. A double that
    // is exactly a single-precision value came from a single column and
    // takes that precision's shortest form (0.07, not 0.07000000029802322).
    // Empty for anything that is not a number.
    static std::optional<Decimal> fromFactor(const QVariant &value);

    bool isNegative() const { return m_digits < 0; }

    std::optional<Decimal> plus(const Decimal &other) const;
    std::optional<Decimal> times(const Decimal &other) const;
    // Rounded half away from zero to that many decimals.
    Decimal roundedTo(int decimals) const;

    // "2", "1.5", "-0.333": the shortest exact text.
    QString toString() const;
    // The nearest double, for columns that keep one.
    double toDouble() const;

    bool operator==(const Decimal &) const = default;
    std::strong_ordering operator<=>(const Decimal &other) const;

private:
    friend class Money;
    using Wide = __int128;

    constexpr Decimal(Wide digits, int decimals)
        : m_digits(digits)
        , m_decimals(decimals) {}
    static Decimal normalized(Wide digits, int decimals);
    // Reads a typed number and tells where reading stopped.
    static std::optional<Decimal> read(QStringView text, qsizetype *end);
    static std::optional<Decimal> shortest(double value, bool single);
    static std::optional<Decimal> fromStored(const QVariant &value, bool singleAware);
    // These digits with that many decimals; false when they do not fit.
    bool scaledTo(int decimals, Wide *digits) const;

    Wide m_digits = 0;
    int m_decimals = 0;
};

// An amount of money: a signed count of ten-thousandths, the precision the
// suite's currency columns keep. Amounts are read, added and stored without
// passing through binary floating point; products with a factor (a tax or
// service-charge rate, a quantity) are worked out in exact decimals and
// rounded half away from zero.
class Money {
public:
    static constexpr qint64 Scale = 10000; // units per dollar
    // Amounts beyond a trillion dollars are refused when read or multiplied:
    // far above any club's bill, and far enough below the 64-bit limit that
    // sums of them do not overflow.
    static constexpr qint64 Limit = qint64(1'000'000'000'000) * Scale;

    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 units) { return Money(units); }

    // Plain decimal text (see Decimal::fromText); decimals beyond the fourth
    // are rounded. Empty when no digit was read
    // or the amount is out of range.
    static std::optional<Money> fromText(QStringView text);
    // A stored value as either engine hands it back (integer, decimal text or
    // a double, taken by its shortest decimal form). Null gives 0; empty for
    // anything that is not a number.
    static std::optional<Money> fromVariant(const QVariant &value);
    // Rounded half away from zero to four decimals; empty out of range.
    static std::optional<Money> fromDecimal(const Decimal &value);
    // The value to bind for a currency column: exact decimal text.
    QVariant toVariant() const { return toString(); }
    Decimal toDecimal() const { return Decimal::normalized(m_units, 4); }

    qint64 units() const { return m_units; }
    bool isZero() const { return m_units == 0; }
    // False for a sum that went past the range a stored amount may have.
    bool isInRange() const { return m_units >= -Limit && m_units <= Limit; }

    // This amount times a factor, rounded half away from zero to four
    // decimals; empty when the product is out of range (or would need more
    // than 38 digits before rounding, which no typed quantity or stored rate
    // comes near).
    std::optional<Money> times(const Decimal &factor) const;
    // The same with a double taken by its shortest decimal form; a product
    // out of range is held at the limit.
    Money times(double factor) const;
    Money roundedToCents() const;

    // "1234.5", "-0.0001": the shortest exact decimal text.
    QString toString() const;
    // The suite's "######.#0" and "#####.#0": two decimals, no separators,
    // no leading zero and no digit limit (.00, .50, -.25, 1234.57).
    QString formatted() const;

    // Sums saturate at the 64-bit limits instead of wrapping; isInRange()
    // tells a total that went too far.
    Money operator+(Money other) const { return Money(saturated(Wide(m_units) + other.m_units)); }
    Money operator-(Money other) const { return Money(saturated(Wide(m_units) - other.m_units)); }
    Money operator-() const { return Money(saturated(-Wide(m_units))); }
    Money &operator+=(Money other) { return *this = *this + other; }
    Money &operator-=(Money other) { return *this = *this - other; }
    auto operator<=>(const Money &) const = default;

private:
    using Wide = __int128;

    constexpr explicit Money(qint64 units)
        : m_units(units) {}
    static constexpr qint64 saturated(Wide units) {
        constexpr qint64 most = std::numeric_limits<qint64>::max();
        return units > most ? most : units < -most - 1 ? -most - 1 : qint64(units);
    }

    qint64 m_units = 0;
};
