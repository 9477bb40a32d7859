#include "values/TypedNumber.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using Refusal = TypedNumber::Refusal;

TypedNumber::Bounds guests() {
    return TypedNumber::ofColumn(u"evnt"_s, u"eventinfo"_s, u"guarantee"_s).atLeast(Decimal());
}
TypedNumber::Bounds deposit() {
    return TypedNumber::ofColumn(u"evnt"_s, u"eventinfo"_s, u"deposit"_s).atLeast(Decimal());
}
// A free-form price may be a credit.
TypedNumber::Bounds price() {
    return TypedNumber::ofColumn(u"evnt"_s, u"items"_s, u"price"_s);
}
TypedNumber::Bounds quantity() {
    return TypedNumber::ofColumn(u"evnt"_s, u"items"_s, u"qty"_s);
}

TEST(TypedNumber, TheWholeTextIsTheNumberOrItIsRefused) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale french(QLocale::French, QLocale::France);
    const QLocale swiss(QLocale::German, QLocale::Switzerland);
    const QLocale india(QLocale::English, QLocale::India);
    const QLocale egypt(QLocale::Arabic, QLocale::Egypt);
    const QString thirtyDigits = u"123456789012345678901234567890"_s;
    const QString twentyNines = u"99999999999999999999"_s;
    const struct Case {
        const char *rule;
        QString typed;
        const QLocale &locale;
        TypedNumber::Bounds bounds;
        Refusal refusal;
        const char *value = ""; // when read
    } cases[] = {
        {"comma_grouping_and_cents", u"1,250.00"_s, us, price(), Refusal::None, "1250"},
        {"comma_grouping_where_the_comma_marks_decimals", u"1,250.00"_s, german, price(),
         Refusal::None, "1250"},
        {"locale_grouping", u"1.250,00"_s, german, price(), Refusal::None, "1250"},
        {"locale_grouping_not_written_here", u"1.250,00"_s, us, price(), Refusal::NotANumber},
        {"blank_grouping", u"1 250,00"_s, french, price(), Refusal::None, "1250"},
        {"narrow_blank_grouping", u"1\u202F250,00"_s, french, price(), Refusal::None, "1250"},
        {"blank_grouping_not_written_here", u"1 250,00"_s, us, price(), Refusal::NotANumber},
        {"apostrophe_grouping", u"1'250.50"_s, swiss, price(), Refusal::None, "1250.5"},
        {"lakh_grouping", u"1,00,000"_s, india, quantity(), Refusal::None, "100000"},
        {"lakh_grouping_not_written_here", u"1,00,000"_s, us, quantity(), Refusal::NotANumber},
        {"dollar_sign", u"$1,250"_s, us, price(), Refusal::None, "1250"},
        {"credit_before_the_sign", u"-$5.25"_s, us, price(), Refusal::None, "-5.25"},
        {"credit_after_the_sign", u"$ -5.25"_s, us, price(), Refusal::None, "-5.25"},
        {"dollar_sign_on_a_count", u"$12"_s, us, guests(), Refusal::NotANumber},
        {"surrounding_blanks", u" 12 "_s, us, guests(), Refusal::None, "12"},
        {"plus_sign", u"+7"_s, us, guests(), Refusal::None, "7"},
        {"point_first", u".5"_s, us, quantity(), Refusal::None, "0.5"},
        {"exponent", u"1e3"_s, us, quantity(), Refusal::NotANumber},
        {"trailing_letters", u"12abc"_s, us, guests(), Refusal::NotANumber},
        {"two_points", u"1.2.3"_s, us, quantity(), Refusal::NotANumber},
        {"two_points_where_the_point_groups", u"1.2.3"_s, german, quantity(), Refusal::NotANumber},
        {"sign_alone", u"-"_s, us, price(), Refusal::NotANumber},
        {"blank_after_the_sign", u"- 5"_s, us, price(), Refusal::NotANumber},
        {"empty", u""_s, us, guests(), Refusal::Empty},
        {"blanks", u"   "_s, us, guests(), Refusal::Empty},
        {"thirty_digits_count", thirtyDigits, us, guests(), Refusal::AboveMost},
        {"thirty_digits_amount", thirtyDigits, us, deposit(), Refusal::AboveMost},
        {"thirty_digits_quantity", thirtyDigits, us, quantity(), Refusal::TooManyDigits},
        {"twenty_nines_count", twentyNines, us, guests(), Refusal::AboveMost},
        {"twenty_nines_amount", twentyNines, us, deposit(), Refusal::AboveMost},
        {"twenty_nines_quantity", twentyNines, us, quantity(), Refusal::TooManyDigits},
        {"fifty_digits_credit", u"-"_s + thirtyDigits + thirtyDigits.left(20), us, price(),
         Refusal::BelowLeast},
        {"smallint_holds_32767", u"32767"_s, us, guests(), Refusal::None, "32767"},
        {"smallint_refuses_32768", u"32768"_s, us, guests(), Refusal::AboveMost},
        {"guarantee_past_smallint", u"1234567"_s, us, guests(), Refusal::AboveMost},
        {"unicode_minus_where_negatives_are_allowed", u"\u22125"_s, us, price(), Refusal::None,
         "-5"},
        {"unicode_minus_on_a_count", u"\u22125"_s, us, guests(), Refusal::BelowLeast},
        {"hyphen_minus_on_a_count", u"-5"_s, us, guests(), Refusal::BelowLeast},
        {"arabic_indic_digits", u"\u0661\u0662\u0663"_s, us, guests(), Refusal::None, "123"},
        {"arabic_indic_digits_and_marks", u"\u0661\u066C\u0662\u0663\u0664\u066B\u0665\u0660"_s,
         egypt, price(), Refusal::None, "1234.5"},
        {"extended_arabic_indic_digits", u"\u06F1\u06F2"_s, us, guests(), Refusal::None, "12"},
        {"digits_of_two_scripts", u"1\u06623"_s, us, guests(), Refusal::NotANumber},
        {"thousand_times_apart", u"1,250"_s, german, quantity(), Refusal::Ambiguous},
        {"thousand_times_apart_the_other_way", u"1.250"_s, german, quantity(), Refusal::Ambiguous},
        {"comma_grouping_where_the_point_marks_decimals", u"1,250"_s, us, quantity(), Refusal::None,
         "1250"},
        {"decimal_comma", u"1,25"_s, german, quantity(), Refusal::None, "1.25"},
        {"decimal_comma_after_zero", u"0,250"_s, german, quantity(), Refusal::None, "0.25"},
        {"fraction_on_a_count", u"12.5"_s, us, guests(), Refusal::NotWhole},
        {"zero_fraction_on_a_count", u"12.0"_s, us, guests(), Refusal::None, "12"},
        {"more_places_than_money_keeps", u"1.23456"_s, us, price(), Refusal::TooManyDecimals},
        {"more_digits_than_a_double_keeps", u"1.2345678901234567"_s, us, quantity(),
         Refusal::TooManyDigits},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rule);
        const auto read = TypedNumber::read(c.typed, u"Box"_s, c.bounds, c.locale);
        EXPECT_EQ(read.refusal(), c.refusal);
        if (c.refusal == Refusal::None) {
            EXPECT_EQ(read.value().toString(), QString::fromLatin1(c.value));
            // What the program writes back into the box reads as the same value.
            const auto again =
                TypedNumber::read(TypedNumber::plainText(read.value()), {}, c.bounds, c.locale);
            EXPECT_EQ(again.value(), read.value());
        } else if (c.refusal != Refusal::Empty) {
            EXPECT_TRUE(read.message().startsWith(u"Box: \""_s + c.typed.trimmed() + u"\" "_s))
                << read.message().toStdString();
        }
    }

    // What the operator is told.
    EXPECT_EQ(TypedNumber::read(u"1e3", u"Guarantee"_s, guests(), us).message(),
              u"Guarantee: \"1e3\" is not a number.\nType a whole number in digits."_s);
    EXPECT_EQ(TypedNumber::read(u"1234567", u"Guarantee"_s, guests(), us).message(),
              u"Guarantee: \"1234567\" is above 32767, the most the box holds."_s);
    EXPECT_EQ(TypedNumber::read(u"1,250", u"Deposit"_s, deposit(), german).message(),
              u"Deposit: \"1,250\" could mean 1250 or 1,25.\nType it again without "
              "marks between the thousands."_s);
    // Three places written back read the same where the point groups thousands.
    const auto places = TypedNumber::read(u"1.125", {}, deposit(), us);
    EXPECT_EQ(TypedNumber::plainText(places.value()), u"1.1250"_s);
    EXPECT_EQ(
        TypedNumber::read(TypedNumber::plainText(places.value()), {}, deposit(), german).value(),
        places.value());
}

} // namespace
