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
    const mpz_class magnitude = (2 * abs(q.get_num()) * scale + q.get_den()) / (2 * q.get_den());
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
    qint64 priceUnits, quantityUnits; // ten-thousandths
    int serviceHalves;                // service charge in halves of a per cent
    int taxEighths, clubTaxEighths;   // the item's and the club's tax in eighths of a per cent
    int taxableQuarters;              // taxable part of the service charge, in quarters
    Way way;
};

// Price, service charge and tax in ten-thousandths, by the steps as the
// items window takes them, in exact fractions.
QList<mpz_class> oracle(const Case &c) {
    const mpq_class extended =
        rounded(fraction(c.quantityUnits, 10000) * fraction(c.priceUnits, 10000), 4);
    const mpq_class taxpct = fraction(c.taxEighths, 800);
    const mpq_class serviceCharge =
        c.way == Way::NoServiceCharge ? mpq_class(0) : fraction(c.serviceHalves, 200) * extended;
    mpq_class tax = taxpct * extended;
    if (c.way != Way::Untaxed) {
        const mpq_class rate = c.way == Way::ClubRate ? fraction(c.clubTaxEighths, 800) : taxpct;
        tax =
            rounded(rounded(extended * taxpct, 4) +
                        rate * fraction(c.taxableQuarters, 4) * serviceCharge + fraction(5, 10000),
                    2);
    }
    return {units(extended, 4), units(serviceCharge, 4), units(tax, 4)};
}

// The program's row, its rates handed over as doubles the way the engines
// return them.
QList<mpz_class> program(const Case &c) {
    const auto quantity = Decimal::fromText(u"%1"_s.arg(c.quantityUnits / 10000.0, 0, 'f', 4));
    const ItemPricing::Item item{quantity.value_or(Decimal()),
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
        return {};
    QList<mpz_class> stored;
    for (const Money amount : {line->price, line->servchg, line->tax})
        stored << mpz_class(std::to_string(amount.units()));
    return stored;
}

std::string text(const QList<mpz_class> &amounts) {
    std::string all = amounts.isEmpty() ? "nothing " : "";
    for (const mpz_class &amount : amounts)
        all += amount.get_str() + " ";
    return all;
}

TEST(PricingOracle, EveryRatePairPricesAsTheStepsInExactFractions) {
    // Prices every rate pair meets. At 17.5 % the charge on 44.31 is
    // 7.75425: taxed after rounding to 7.7543, its tax gains a cent.
    const std::pair<qint64, qint64> fixed[] = {
        {443100, 10000}, {1000000, 10000}, {123500, 30000}, {100, 10000}};
    std::mt19937_64 random(20270315);
    const auto between = [&](qint64 low, qint64 high) {
        return low + qint64(random() % quint64(high - low + 1));
    };
    int compared = 0, differences = 0;
    for (int halves = 25; halves <= 50; ++halves) {
        for (int eighths = 0; eighths <= 80; ++eighths) {
            std::vector<std::pair<qint64, qint64>> samples(std::begin(fixed), std::end(fixed));
            // Cents mostly, some to four decimals, fees in the thousands, credits;
            // quantities whole mostly, some to two or four decimals.
            for (int i = 0; i < 26; ++i)
                samples.emplace_back(std::array{between(1, 99999) * 100,
                                                between(1000, 100000) * 10000, between(1, 9999999),
                                                -between(1, 99999) * 100}[random() % 4],
                                     std::array{between(1, 500) * 10000, between(100, 99999) * 100,
                                                between(10000, 999999)}[random() % 3]);
            for (const auto &[price, quantity] : samples) {
                for (const Way way :
                     {Way::ItemRate, Way::ClubRate, Way::Untaxed, Way::NoServiceCharge}) {
                    Case c{price, quantity, halves, eighths, int(random() % 81), 4, way};
                    if (way == Way::ClubRate)
                        c.taxableQuarters = int(1 + random() % 4);
                    ++compared;
                    const QList<mpz_class> expected = oracle(c), stored = program(c);
                    if (stored != expected && ++differences <= 10)
                        ADD_FAILURE()
                            << price << " x " << quantity << " ten-thousandths, service " << halves
                            << "/2%, tax " << eighths << "/8%, club tax " << c.clubTaxEighths
                            << "/8%, taxable " << c.taxableQuarters << "/4, way " << int(way)
                            << ": expected " << text(expected) << "stored " << text(stored);
                }
            }
        }
    }
    EXPECT_EQ(differences, 0) << "of " << compared;
    EXPECT_EQ(compared, 26 * 81 * 30 * 4);
}

} // namespace
