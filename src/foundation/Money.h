#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>
#include <compare>
#include <optional>

// An amount of money: a signed count of ten-thousandths, the precision the
// suite's currency columns keep. Amounts are read, added and stored without
// passing through binary floating point; products with a factor (a tax or
// service-charge rate, a quantity) are worked out in exact decimals and
// rounded half away from zero.
class Money {
public:
    static constexpr qint64 Scale = 10000; // units per dollar

    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 units) { return Money(units); }

    // Text as the suite reads a typed number: blanks, an optional sign,
    // digits and one decimal point; reading stops at any other character.
    // Decimals beyond the fourth are rounded. Empty when no digit was read
    // or the amount is out of range.
    static std::optional<Money> fromText(QStringView text);
    // A stored value as either engine hands it back (integer, decimal text or
    // a double, taken by its shortest decimal form). Null gives 0; empty for
    // anything that is not a number.
    static std::optional<Money> fromVariant(const QVariant &value);
    // The value to bind for a currency column: exact decimal text.
    QVariant toVariant() const { return toString(); }

    qint64 units() const { return m_units; }
    bool isZero() const { return m_units == 0; }

    // This amount times a factor, rounded half away from zero to four decimals.
    Money times(double factor) const;
    Money roundedToCents() const;

    // "1234.5", "-0.0001": the shortest exact decimal text.
    QString toString() const;
    // The suite's "######.#0": two decimals, no separators and no leading
    // zero (.00, .50, -.25, 1234.57).
    QString formatted() const;

    Money operator+(Money other) const { return Money(m_units + other.m_units); }
    Money operator-(Money other) const { return Money(m_units - other.m_units); }
    Money operator-() const { return Money(-m_units); }
    Money &operator+=(Money other) {
        m_units += other.m_units;
        return *this;
    }
    auto operator<=>(const Money &) const = default;

private:
    constexpr explicit Money(qint64 units)
        : m_units(units) {}

    qint64 m_units = 0;
};
