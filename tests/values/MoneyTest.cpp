#include "values/Money.h"

#include "ClubFixture.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {

template <typename T> QString text(const std::optional<T> &value) {
    return value ? value->toString() : u"(none)"_s;
}
qint64 units(const std::optional<Money> &money) {
    return money ? money->units() : std::numeric_limits<qint64>::min();
}
Money money(const char *amount) {
    return *Money::fromText(QString::fromLatin1(amount));
}
Decimal decimal(const char *typed) {
    return *Decimal::fromText(QString::fromLatin1(typed));
}

// Four decimals are kept, the fifth rounds half away from zero, in typed text and in products:
// 12.35 x 0.07 = 0.8645 exactly, where a double product is 0.86449999...; 1.0005 x 2.5 is
// 2.50124999... in binary. A product past the range is held at the limit, or refused.
TEST(Money, PlainTextAndProductsRoundHalfAwayFromZero) {
    const std::pair<const char *, qint64> cases[] = {
        {"12", 120000}, {"1234.56", 12345600}, {"0.0001", 1},
        {"0.00005", 1}, {"2.00004", 20000},    {"-0.00005", -1},
        {".5", 5000},   {"  +7.25", 72500},    {"0.3", 3000}};
    for (const auto &[typed, read] : cases)
        EXPECT_EQ(units(Money::fromText(QString::fromLatin1(typed))), read) << typed;
    EXPECT_EQ(units(Money::fromText(u"1.5"_s + QString(44, u'0'))), 15000) << "costs no digits";
    EXPECT_EQ(units(Money::fromText(u"1000000000000"_s)), Money::Limit);
    for (const char *refused : {"", "abc", "-", ".", "12abc", "1.2.3", "1,250.00",
                                "99999999999999999999", "1000000000000.0001"})
        EXPECT_FALSE(Money::fromText(QString::fromLatin1(refused))) << refused;
    const std::tuple<const char *, double, const char *> factors[] = {
        {"12.35", 0.07, "0.8645"},   {"1000", 0.18, "180"},    {"0.0015", 0.5, "0.0008"},
        {"-0.0015", 0.5, "-0.0008"}, {"19.99", 1.5, "29.985"}, {"55.55", 0.0, "0"}};
    for (const auto &[amount, factor, product] : factors)
        EXPECT_EQ(money(amount).times(factor).toString(), QString::fromLatin1(product)) << amount;
    EXPECT_EQ(money("1000000000000").times(2.0).toString(), u"1000000000000"_s);
    const std::tuple<const char *, const char *, const char *> quantities[] = {
        {"19.99", "2", "39.98"},     {"19.99", "1.5", "29.985"},  {"10", "0.333", "3.33"},
        {"1.0005", "2.5", "2.5013"}, {"0.0001", "7.5", "0.0008"}, {"-0.0001", "7.5", "-0.0008"},
        {"-50", "2", "-100"}};
    for (const auto &[amount, quantity, product] : quantities)
        EXPECT_EQ(text(money(amount).times(decimal(quantity))), QString::fromLatin1(product))
            << amount << " x " << quantity;
    EXPECT_EQ(text(money("123456789.1234").times(decimal("0.333"))), u"41111110.7781"_s);
    EXPECT_EQ(text(money("500000000000").times(decimal("2"))), u"1000000000000"_s);
    EXPECT_FALSE(money("500000000000").times(decimal("2.0001")));
    EXPECT_FALSE(money("999999999999.9999").times(decimal("1.23456789012345678901234567")));
}

// Shown with two decimals and without a leading zero.
TEST(Money, FormatsShowTwoDecimalsSumsStayExactAndStoredValuesComeBackAsTheyWere) {
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"0.005", "0.01", ".01"},  {"-0.005", "-0.01", "-.01"},
        {"2.005", "2.01", "2.01"}, {"-2.005", "-2.01", "-2.01"},
        {"2.0049", "2", "2.00"},   {"0.0049", "0", ".00"},
        {"-0.0049", "0", ".00"},   {"1234.565", "1234.57", "1234.57"},
        {"0.5", "0.5", ".50"},     {"-0.5", "-0.5", "-.50"},
        {"0", "0", ".00"},         {"1000000", "1000000", "1000000.00"}};
    for (const auto &[amount, cents, formatted] : cases) {
        EXPECT_EQ(money(amount).roundedToCents().toString(), QString::fromLatin1(cents)) << amount;
        EXPECT_EQ(money(amount).formatted(), QString::fromLatin1(formatted)) << amount;
    }
    EXPECT_EQ(money("999999999999.995").formatted(), u"1000000000000.00"_s);
    EXPECT_EQ(money("-999999999999.995").roundedToCents().toString(), u"-1000000000000"_s);
    Money total;
    for (int i = 0; i < 10000; ++i)
        total += money("0.0001");
    EXPECT_EQ(total.formatted(), u"1.00"_s);
    const Money most = Money::fromUnits(std::numeric_limits<qint64>::max());
    EXPECT_GT(most + money("1"), Money()) << "saturates upwards";
    EXPECT_LT(-most - money("2"), Money()) << "saturates downwards";
    EXPECT_TRUE(Money::fromUnits(Money::Limit).isInRange());
    EXPECT_FALSE((Money::fromUnits(Money::Limit) + money("0.0001")).isInRange());

    // Stored values come back as they were.
    EXPECT_EQ(units(Money::fromVariant(QVariant(0.1 + 0.2))), 3000) << "shortest form of a double";
    EXPECT_EQ(units(Money::fromVariant(QVariant(2.005))), 20050) << "not 2.00499999...";
    EXPECT_EQ(units(Money::fromVariant(QVariant(qlonglong(42)))), 420000);
    EXPECT_EQ(units(Money::fromVariant(QVariant(u"1042.5000"_s))), 10425000);
    EXPECT_EQ(units(Money::fromVariant(QVariant(u"-0.5000"_s))), -5000);
    EXPECT_EQ(units(Money::fromVariant(QVariant())), 0);
    EXPECT_FALSE(Money::fromVariant(QVariant(u"12 dollars"_s)));
    EXPECT_FALSE(Money::fromVariant(QVariant(std::numeric_limits<double>::quiet_NaN())));
}

// The whole text or nothing, blanks around it allowed; no grouping (typed text is
// TypedNumber's); no more digits than can be held.
TEST(Decimal, TypedNumbersAndRatesReadAsTheSuiteReadsThemAndComputeExactly) {
    const std::pair<const char *, const char *> cases[] = {
        {"2", "2"},       {"1.50", "1.5"},      {"2.", "2"},     {"007", "7"},
        {" 1.5 ", "1.5"}, {"-0.333", "-0.333"}, {".25", "0.25"}, {"3.0007", "3.0007"}};
    for (const auto &[typed, shortest] : cases)
        EXPECT_EQ(text(Decimal::fromText(QString::fromLatin1(typed))),
                  QString::fromLatin1(shortest))
            << typed;
    for (const QString &refused :
         {u"12abc"_s, u"1,250.00"_s, u"abc"_s, QString(), QString(42, u'9')})
        EXPECT_FALSE(Decimal::fromText(refused)) << refused.toStdString();
    EXPECT_EQ(decimal("1.5").toDouble(), 1.5);
    EXPECT_LT(decimal("0.999"), Decimal::fromInteger(1));
    EXPECT_EQ(decimal("1.000"), Decimal::fromInteger(1));
    EXPECT_GT(decimal("-0.5"), decimal("-2"));
    EXPECT_LT(decimal("0.0000000000000000000000000000000001"), decimal("12345678901234567890"))
        << "compared although the two cannot be brought to the same decimals";

    // Arithmetic is exact and reports what does not fit.
    EXPECT_EQ(text(decimal("0.05").times(decimal("25.29"))), u"1.2645"_s);
    EXPECT_EQ(text(decimal("8.2645").plus(decimal("0.0005"))), u"8.265"_s);
    EXPECT_EQ(decimal("8.265").roundedTo(2).toString(), u"8.27"_s);
    EXPECT_EQ(decimal("-8.265").roundedTo(2).toString(), u"-8.27"_s);
    EXPECT_EQ(decimal("8.2649999999999999999").roundedTo(2).toString(), u"8.26"_s);
    const Decimal huge = decimal("12345678901234567890123456789");
    EXPECT_FALSE(huge.times(huge));
    EXPECT_FALSE(huge.plus(decimal("0.0000000000000000000000000001")));

    // A rate is taken by its shortest form for its precision: a single-precision column read as a
    // double is 0.07, not 0.07000000029...; a double that is no single keeps all its digits.
    const std::pair<QVariant, const char *> rates[] = {
        {0.07, "0.07"},          {0.0700000000000000067, "0.07"},
        {double(0.07f), "0.07"}, {0.07f, "0.07"},
        {u"0.0825"_s, "0.0825"}, {1, "1"},
        {QVariant(), "0"},       {u"7%"_s, "(none)"}};
    EXPECT_EQ(text(Decimal::fromFactor(0.1 + 0.2)), u"0.30000000000000004"_s);
    EXPECT_FALSE(Decimal::fromFactor(std::numeric_limits<double>::infinity()));
    for (const auto &[stored, rate] : rates)
        EXPECT_EQ(text(Decimal::fromFactor(stored)), QString::fromLatin1(rate)) << rate;
}

class MoneyStorageTest : public ClubFixture {};

// Each engine hands a currency column back its own way: SQLite a double or
// text, PostgreSQL the numeric's text, which must not pass through a double.
TEST_F(MoneyStorageTest, AmountsSurviveACurrencyColumnOnEitherEngine) {
    QStringList amounts{u"0.0001"_s, u"12345678.9999"_s,   u"-0.5"_s,
                        u"0.1"_s,    u"-123456789.1234"_s, u"99999999999.9999"_s};
    // A double near a trillion cannot tell these apart; SQLite keeps 15
    // significant digits of a numeric column, so only the server is asked.
    if (onPostgres())
        amounts << u"999999999999.9997"_s << u"999999999999.9998"_s;
    QList<QVariantList> rows;
    for (const QString &amount : amounts) {
        const QVariant stored = Money::fromText(amount)->toVariant();
        rows << QVariantList{rows.size() + 1, stored, stored, stored, stored};
    }
    execEach(u"evnt"_s,
             u"insert into items (eventid, cost, price, servchg, tax) values (?, ?, ?, ?, ?)"_s,
             rows);
    for (const QString &name : {u"cost"_s, u"price"_s, u"servchg"_s, u"tax"_s}) {
        const QVariantList read =
            column(u"evnt"_s, u"select %1 from items order by eventid"_s.arg(name));
        ASSERT_EQ(read.size(), amounts.size()) << name.toStdString();
        for (qsizetype i = 0; i < amounts.size(); ++i) {
            EXPECT_EQ(text(Money::fromVariant(read[i])), amounts[i]) << name.toStdString();
            EXPECT_FALSE(onPostgres() && read[i].metaType().id() == QMetaType::Double)
                << name.toStdString();
        }
    }
}

} // namespace
