#include "values/TypedNumber.h"

#include <QHash>
#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using Refusal = TypedNumber::Refusal;

TypedNumber::Bounds column(const char *table, const char *name) {
    return TypedNumber::ofColumn(u"evnt"_s, QString::fromLatin1(table), QString::fromLatin1(name));
}

// Each row is "typed=outcome": the value read, or the name of the refusal.
void expectRead(const QLocale &locale, const TypedNumber::Bounds &bounds,
                std::initializer_list<const char *> rows) {
    const QHash<QString, Refusal> refusals{{u"Empty"_s, Refusal::Empty},
                                           {u"NotANumber"_s, Refusal::NotANumber},
                                           {u"Ambiguous"_s, Refusal::Ambiguous},
                                           {u"NotWhole"_s, Refusal::NotWhole},
                                           {u"TooManyDecimals"_s, Refusal::TooManyDecimals},
                                           {u"TooManyDigits"_s, Refusal::TooManyDigits},
                                           {u"BelowLeast"_s, Refusal::BelowLeast},
                                           {u"AboveMost"_s, Refusal::AboveMost}};
    for (const char *row : rows) {
        SCOPED_TRACE(row + (' ' + locale.name().toStdString()));
        const QString typed = QString::fromUtf8(row).section(u'=', 0, -2);
        const QString outcome = QString::fromUtf8(row).section(u'=', -1);
        const Refusal refusal = refusals.value(outcome, Refusal::None); // else a value
        const auto read = TypedNumber::read(typed, u"Box"_s, bounds, locale);
        EXPECT_EQ(read.refusal(), refusal);
        if (refusal == Refusal::None) {
            EXPECT_EQ(read.value().toString(), outcome);
            // What the program writes back into the box reads as the same value.
            const auto again =
                TypedNumber::read(TypedNumber::plainText(read.value()), {}, bounds, locale);
            EXPECT_EQ(again.value(), read.value());
        } else if (refusal != Refusal::Empty) {
            EXPECT_TRUE(read.message().startsWith(u"Box: \""_s + typed.trimmed() + u"\" "_s))
                << read.message().toStdString();
        }
    }
}

// Grouping is read as the workstation's locale writes it, and as the US writes it; Arabic-Indic
// digits are digits; a count takes no sign, fraction or dollar sign; what could be a thousand
// times off is refused.
TEST(TypedNumber, TheWholeTextIsTheNumberOrItIsRefused) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const auto guests = column("eventinfo", "guarantee").atLeast(Decimal());
    const auto deposit = column("eventinfo", "deposit").atLeast(Decimal());
    const auto price = column("items", "price"); // a free-form price may be a credit
    const auto quantity = column("items", "qty");
    expectRead(us, price,
               {"1,250.00=1250", "1.250,00=NotANumber", "1 250,00=NotANumber", "$1,250=1250",
                "-$5.25=-5.25", "$ -5.25=-5.25", "-=NotANumber", "- 5=NotANumber", "\u22125=-5",
                "1.23456=TooManyDecimals",
                "-12345678901234567890123456789012345678901234567890=BelowLeast"});
    expectRead(german, price, {"1,250.00=1250", "1.250,00=1250"});
    expectRead(QLocale(QLocale::French, QLocale::France), price,
               {"1 250,00=1250", "1\u202F250,00=1250"});
    expectRead(QLocale(QLocale::German, QLocale::Switzerland), price, {"1'250.50=1250.5"});
    expectRead(QLocale(QLocale::Arabic, QLocale::Egypt), price,
               {"\u0661\u066C\u0662\u0663\u0664\u066B\u0665\u0660=1234.5"});
    expectRead(QLocale(QLocale::English, QLocale::India), quantity, {"1,00,000=100000"});
    expectRead(us, quantity,
               {"1,00,000=NotANumber", ".5=0.5", "1e3=NotANumber", "1.2.3=NotANumber", "1,250=1250",
                "123456789012345678901234567890=TooManyDigits",
                "99999999999999999999=TooManyDigits", "1.2345678901234567=TooManyDigits"});
    expectRead(
        german, quantity,
        {"1.2.3=NotANumber", "1,250=Ambiguous", "1.250=Ambiguous", "1,25=1.25", "0,250=0.25"});
    expectRead(us, guests,
               {"$12=NotANumber", " 12 =12", "+7=7", "12abc=NotANumber", "=Empty", "   =Empty",
                "32767=32767", "32768=AboveMost", "1234567=AboveMost", "\u22125=BelowLeast",
                "-5=BelowLeast", "\u0661\u0662\u0663=123", "\u06F1\u06F2=12", "1\u06623=NotANumber",
                "12.5=NotWhole", "12.0=12"});
    for (const auto &bounds : {guests, deposit})
        expectRead(us, bounds,
                   {"123456789012345678901234567890=AboveMost", "99999999999999999999=AboveMost"});

    // What the operator is told.
    EXPECT_EQ(TypedNumber::read(u"1e3", u"Guarantee"_s, guests, us).message(),
              u"Guarantee: \"1e3\" is not a number.\nType a whole number in digits."_s);
    EXPECT_EQ(TypedNumber::read(u"1234567", u"Guarantee"_s, guests, us).message(),
              u"Guarantee: \"1234567\" is above 32767, the most the box holds."_s);
    EXPECT_EQ(TypedNumber::read(u"1,250", u"Deposit"_s, deposit, german).message(),
              u"Deposit: \"1,250\" could mean 1250 or 1,25.\nType it again without "
              "marks between the thousands."_s);
    // Three places written back read the same where the point groups thousands.
    const auto places = TypedNumber::read(u"1.125", {}, deposit, us);
    EXPECT_EQ(TypedNumber::plainText(places.value()), u"1.1250"_s);
    EXPECT_EQ(
        TypedNumber::read(TypedNumber::plainText(places.value()), {}, deposit, german).value(),
        places.value());
}

} // namespace
