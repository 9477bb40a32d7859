#include "items/ItemPricing.h"

#include "values/TextValue.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using ItemPricing::Item;
using ItemPricing::Settings;

const char *const QuantityRefusal = "Set the Quantity and try again.";
const char *const PriceTooLarge = "The extended price is too large to store; nothing was added.";
const char *const ChargeTooLarge =
    "The service charge or the tax is too large to store; nothing was added.";
const char *const TotalTooLarge =
    "The price, service charge and tax together are too large to bill; nothing was added.";

// One added item: by default one coffee at 100.00 with 7% tax and an 18%
// service charge, taxed in full at the item's rate.
struct Row {
    const char *rule;
    const char *qty = "1";
    QVariant unitPrice = u"100"_s; // as read or typed
    QVariant taxpct = 0.07;
    QVariant scpct = 0.18;
    bool noServiceCharge = false;
    bool taxExempt = false;
    const char *taxscyesno = "Y";
    const char *deptorstax = "D";
    QVariant salestax = 0.06;
    QVariant sctaxpct = 1.0;
    // What is stored, or the refusal.
    const char *itemdesc = "1 Coffee";
    const char *stored = ""; // price, service charge and tax
    const char *refusal = nullptr;
};

ItemPricing::Priced priced(const Row &row, const QString &description = u"Coffee"_s) {
    const auto quantity = Decimal::fromText(QString::fromLatin1(row.qty)).value_or(Decimal());
    const auto price = Money::fromVariant(row.unitPrice).value_or(Money());
    const Item item{quantity,     price, row.taxpct, row.scpct, description, row.noServiceCharge,
                    row.taxExempt};
    const Settings settings{row.salestax, row.sctaxpct, QString::fromLatin1(row.deptorstax),
                            QString::fromLatin1(row.taxscyesno)};
    return ItemPricing::price(item, settings);
}

TEST(ItemPricing, EachRuleOfThePriceServiceChargeAndTax) {
    const Row rows[] = {
        {.rule = "service charge taxed at the item's rate: 7 + 1.26 + .0005 is 8.26",
         .stored = "100 18 8.26"},
        {.rule = "no mode set taxes the service charge at the item's rate",
         .deptorstax = "",
         .stored = "100 18 8.26"},
        {.rule = "service charge taxed at the club's rate on its taxable part: 7 + .06 x 9",
         .deptorstax = "S",
         .sctaxpct = 0.5,
         .stored = "100 18 7.54"},
        {.rule = "settings in lower case count",
         .taxscyesno = "y",
         .deptorstax = "s",
         .stored = "100 18 8.08"},
        {.rule = "half a mill lifts a tax of 8.2645 to 8.27",
         .scpct = 0.2529,
         .deptorstax = "S",
         .salestax = 0.05,
         .stored = "100 25.29 8.27"},
        {.rule = "the service charge is taxed unrounded: 3.1017 + .07 x 7.75425 + .0005 is 3.64",
         .unitPrice = u"44.31"_s,
         .scpct = 0.175,
         .stored = "44.31 7.7543 3.64"},
        {.rule = "untaxed service charge leaves the tax to four decimals",
         .unitPrice = u"12.35"_s,
         .taxscyesno = "N",
         .stored = "12.35 2.223 0.8645"},
        {.rule = "an unknown mode leaves the tax to four decimals",
         .unitPrice = u"12.35"_s,
         .deptorstax = "X",
         .stored = "12.35 2.223 0.8645"},
        {.rule = "No S/C: no service charge and none in the tax, still to cents",
         .unitPrice = u"12.35"_s,
         .noServiceCharge = true,
         .stored = "12.35 0 0.87"},
        {.rule = "tax-exempt account pays no tax whatever the settings",
         .taxExempt = true,
         .deptorstax = "S",
         .salestax = u"n/a"_s,
         .stored = "100 18 0"},
        {.rule = "Null retail prices the item at nothing",
         .unitPrice = QVariant(),
         .stored = "0 0 0"},
        {.rule = "alternative retail kept to four decimals, the service charge as stored",
         .qty = "3",
         .unitPrice = 12.3456,
         .itemdesc = "3 Coffee",
         .stored = "37.0368 6.6666 3.06"},
        {.rule = "free-form price times a fractional quantity",
         .qty = "1.5",
         .unitPrice = u"19.99"_s,
         .taxscyesno = "N",
         .itemdesc = "1.5 Coffee",
         .stored = "29.985 5.3973 2.099"},
        {.rule = "the quantity in its shortest form",
         .qty = "2.50",
         .itemdesc = "2.5 Coffee",
         .stored = "250 45 20.65"},
        {.rule = "a negative free-form price is a credit",
         .qty = "2",
         .unitPrice = u"-50"_s,
         .itemdesc = "2 Coffee",
         .stored = "-100 -18 -8.26"},
        {.rule = "a single-precision rate is the rate typed, not 0.07000000029802322",
         .unitPrice = u"1000000"_s,
         .taxpct = double(0.07f),
         .scpct = 0.0,
         .taxscyesno = "N",
         .stored = "1000000 0 70000"},
        {.rule = "an extended price past the range is refused",
         .qty = "2",
         .unitPrice = u"999999999999"_s,
         .refusal = PriceTooLarge},
        {.rule = "a tax past the range is refused",
         .unitPrice = u"999999999999"_s,
         .taxpct = 2.0,
         .scpct = 0.0,
         .taxscyesno = "N",
         .refusal = ChargeTooLarge},
        {.rule = "a row each of whose amounts fits but whose total billing cannot charge",
         .unitPrice = u"999999999999"_s,
         .refusal = TotalTooLarge},
        {.rule = "a rate that is not a number is refused by name",
         .taxpct = u"7%"_s,
         .refusal = "The rate taxpct is not a number; nothing was added."},
        {.rule = "a quantity below one is refused", .qty = "0.5", .refusal = QuantityRefusal},
    };
    for (const Row &row : rows) {
        const auto line = priced(row);
        if (row.refusal) {
            EXPECT_FALSE(line) << row.rule;
            EXPECT_EQ(line ? QString() : line.error(), QString::fromUtf8(row.refusal)) << row.rule;
            continue;
        }
        ASSERT_TRUE(line) << row.rule << ": " << line.error().toStdString();
        EXPECT_EQ(line->itemdesc, QString::fromUtf8(row.itemdesc)) << row.rule;
        EXPECT_EQ(line->qty, numericValue(QString::fromLatin1(row.qty))) << row.rule;
        EXPECT_EQ(
            QStringList({line->price.toString(), line->servchg.toString(), line->tax.toString()})
                .join(u' '),
            QString::fromLatin1(row.stored))
            << row.rule;
    }
}

TEST(ItemPricing, PerGuestPriceIsRoundedOnceFromTheExactTotal) {
    const struct {
        const char *total;
        qint64 guests;
        const char *perGuest; // nullptr: "No GTE"
    } cases[] = {
        {"999.744", 150, "6.66"}, // 6.66496, not 6.6650 and then 6.67
        {"-999.744", 150, "-6.66"},
        {"4292.84", 100, "42.93"},
        {"1.005", 1, "1.01"},
        {"-1.005", 1, "-1.01"},
        {"20", 3, "6.67"},
        {"0.0149", 1, "0.01"},
        {"0", 100, "0"},
        {"12", 0, nullptr},
        {"12", -4, nullptr},
    };
    for (const auto &c : cases) {
        const auto perGuest =
            ItemPricing::perGuest(*Money::fromText(QString::fromLatin1(c.total)), c.guests);
        EXPECT_EQ(perGuest ? perGuest->toString() : QString(), QString::fromLatin1(c.perGuest))
            << c.total << " / " << c.guests;
    }
}

TEST(ItemPricing, ItemdescKeepsFiftyCharactersAndNeverSplitsOne) {
    const QString letters(47, u'a');
    const struct {
        const char *rule;
        QString description;
        QString itemdesc;
    } cases[] = {
        {"fits as it is", QString(48, u'x'), u"2 "_s + QString(48, u'x')},
        {"cut at fifty", QString(60, u'x'), u"2 "_s + QString(48, u'x')},
        {"an emoji across the cut is left out", letters + u"\U0001F600zz"_s, u"2 "_s + letters},
        {"an emoji that ends at the cut is kept", letters.left(46) + u"\U0001F600zz"_s,
         u"2 "_s + letters.left(46) + u"\U0001F600"_s},
        {"an accent is not parted from its letter", letters + u"e\u0301zz"_s, u"2 "_s + letters},
        {"no description", QString(), u"2 "_s},
    };
    for (const auto &c : cases) {
        const auto line = priced({.rule = c.rule, .qty = "2"}, c.description);
        ASSERT_TRUE(line) << c.rule;
        EXPECT_EQ(line->itemdesc, c.itemdesc) << c.rule;
    }
}

} // namespace
