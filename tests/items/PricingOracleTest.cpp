#include "items/ItemPricing.h"

#include <gmpxx.h>
#include <gtest/gtest.h>
#include <random>

using namespace Qt::StringLiterals;

// The pricing of an added item worked again, step by step, in exact
// fractions, and compared with what the program stores: over every pair of
// the rates clubs use (service charge 12.5 to 25 % by halves, tax 0 to 10 %
// by eighths), each with a spread of prices and quantities, in each way the
// tax can be worked out.
namespace {

// q rounded half away from zero to that many decimals, in units of them.
mpz_class units(const mpq_class &q, int decimals) {
    mpz_class scale;
    mpz_ui_pow_ui(scale.get_mpz_t(), 10, decimals);
    const mpz_class den = q.get_den();
    mpz_class magnitude = (2 * abs(q.get_num()) * scale + den) / (2 * den);
    return sgn(q) < 0 ? mpz_class(-magnitude) : magnitude;
}

mpq_class rounded(const mpq_class &q, int decimals) {
    mpz_class scale;
    mpz_ui_pow_ui(scale.get_mpz_t(), 10, decimals);
    mpq_class r(units(q, decimals), scale);
    r.canonicalize();
    return r;
}

mpq_class fraction(long numerator, long denominator) {
    mpq_class q(numerator, denominator);
    q.canonicalize();
    return q;
}

enum class Way { ItemRate, ClubRate, Untaxed, NoServiceCharge };

struct Case {
    qint64 priceUnits;    // unit price in ten-thousandths
    qint64 quantityUnits; // quantity in ten-thousandths
    int serviceHalves;    // service charge in halves of a per cent
    int taxEighths;       // the item's tax in eighths of a per cent
    int clubTaxEighths;   // the club's tax, for the club-rate way
    int taxableQuarters;  // taxable part of the service charge, in quarters
    Way way;
};

struct Stored {
    mpz_class price, servchg, tax; // ten-thousandths
};

// The steps as the items window takes them, in exact fractions.
Stored oracle(const Case &c) {
    const mpq_class price = fraction(c.priceUnits, 10000);
    const mpq_class quantity = fraction(c.quantityUnits, 10000);
    const mpq_class scpct = fraction(c.serviceHalves, 200);
    const mpq_class taxpct = fraction(c.taxEighths, 800);

    const mpq_class extended = rounded(quantity * price, 4);
    const mpq_class serviceCharge = c.way == Way::NoServiceCharge ? mpq_class(0) : scpct * extended;
    mpq_class tax = taxpct * extended;
    if (c.way != Way::Untaxed) {
        const mpq_class rate = c.way == Way::ClubRate ? fraction(c.clubTaxEighths, 800) : taxpct;
        const mpq_class taxable = fraction(c.taxableQuarters, 4) * serviceCharge;
        tax = rounded(rounded(extended * taxpct, 4) + rate * taxable + fraction(5, 10000), 2);
    }
    return {units(extended, 4), units(serviceCharge, 4), units(tax, 4)};
}

QString decimalText(qint64 tenThousandths) {
    const qint64 magnitude = tenThousandths < 0 ? -tenThousandths : tenThousandths;
    return u"%1%2.%3"_s.arg(tenThousandths < 0 ? u"-"_s : QString())
        .arg(magnitude / 10000)
        .arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
}

// The program's row, its rates handed over as doubles the way the engines
// return them.
std::optional<Stored> program(const Case &c) {
    const auto quantity = Decimal::fromText(decimalText(c.quantityUnits));
    if (!quantity)
        return std::nullopt;
    const ItemPricing::Item item{*quantity,
                                 Money::fromUnits(c.priceUnits),
                                 c.taxEighths / 800.0,
                                 c.serviceHalves / 200.0,
                                 u"Item"_s,
                                 c.way == Way::NoServiceCharge,
                                 false};
    const ItemPricing::Settings settings{c.clubTaxEighths / 800.0, c.taxableQuarters / 4.0,
                                         c.way == Way::ClubRate ? u"S"_s : u"D"_s,
                                         c.way == Way::Untaxed ? u"N"_s : u"Y"_s};
    const auto line = ItemPricing::price(item, settings);
    if (!line)
        return std::nullopt;
    const auto exact = [](Money amount) {
        return mpz_class(std::to_string(amount.units()));
    };
    return Stored{exact(line->price), exact(line->servchg), exact(line->tax)};
}

// Prices a club sells at: cents mostly, some to four decimals, room fees in
// the thousands, a few credits.
qint64 somePrice(std::mt19937_64 &random) {
    const auto between = [&](qint64 low, qint64 high) {
        return low + qint64(random() % quint64(high - low + 1));
    };
    const auto kind = random() % 10;
    if (kind < 4)
        return between(1, 99999) * 100; // .01 to 999.99
    if (kind == 4)
        return between(1, 999) * 100; // .01 to 9.99
    if (kind == 5)
        return between(1000, 100000) * 10000; // whole fees to 100000
    if (kind < 8)
        return between(1, 9999999); // to four decimals
    if (kind == 8)
        return between(1, 500) * 10000;
    return -between(1, 99999) * 100;
}

// Quantities as typed: whole mostly, some to two or four decimals.
qint64 someQuantity(std::mt19937_64 &random) {
    const auto kind = random() % 4;
    if (kind < 2)
        return qint64(1 + random() % 500) * 10000;
    if (kind == 2)
        return qint64(100 + random() % 99900) * 100;
    return qint64(10000 + random() % 990000);
}

TEST(PricingOracle, EveryRatePairPricesAsTheStepsInExactFractions) {
    // Prices every rate pair meets. At 17.5 % the charge on 44.31 is
    // 7.75425: taxed after rounding to 7.7543, its tax gains a cent.
    const std::pair<qint64, qint64> fixed[] = {
        {443100, 10000}, {1000000, 10000}, {123500, 30000}, {100, 10000}};
    constexpr int RandomSamples = 26;
    constexpr Way Ways[] = {Way::ItemRate, Way::ClubRate, Way::Untaxed, Way::NoServiceCharge};
    std::mt19937_64 random(20270315);
    int compared = 0;
    int differences = 0;
    for (int halves = 25; halves <= 50; ++halves) {
        for (int eighths = 0; eighths <= 80; ++eighths) {
            std::vector<std::pair<qint64, qint64>> samples(std::begin(fixed), std::end(fixed));
            for (int i = 0; i < RandomSamples; ++i)
                samples.emplace_back(somePrice(random), someQuantity(random));
            for (const auto &[price, quantity] : samples) {
                for (const Way way : Ways) {
                    const Case c{price,
                                 quantity,
                                 halves,
                                 eighths,
                                 int(random() % 81),
                                 way == Way::ClubRate ? int(1 + random() % 4) : 4,
                                 way};
                    const Stored expected = oracle(c);
                    const auto stored = program(c);
                    ++compared;
                    if (stored && stored->price == expected.price &&
                        stored->servchg == expected.servchg && stored->tax == expected.tax)
                        continue;
                    if (++differences <= 10)
                        ADD_FAILURE()
                            << "price " << decimalText(c.priceUnits).toStdString() << " x "
                            << decimalText(c.quantityUnits).toStdString() << ", service "
                            << halves / 2.0 << "%, tax " << eighths / 8.0 << "%, club tax "
                            << c.clubTaxEighths / 8.0 << "%, taxable " << c.taxableQuarters
                            << "/4, way " << int(way) << ": expected " << expected.price << " "
                            << expected.servchg << " " << expected.tax << ", stored "
                            << (stored ? stored->price.get_str() + " " + stored->servchg.get_str() +
                                             " " + stored->tax.get_str()
                                       : std::string("nothing"));
                }
            }
        }
    }
    EXPECT_EQ(differences, 0) << "of " << compared;
    EXPECT_EQ(compared, 26 * 81 * 30 * 4);
}

} // namespace
