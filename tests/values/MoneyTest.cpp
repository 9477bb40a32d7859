#include "values/Money.h"

#include "ClubFixture.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {

qint64 units(const std::optional<Money> &money) {
    return money ? money->units() : std::numeric_limits<qint64>::min();
}

QString text(const std::optional<Decimal> &decimal) {
    return decimal ? decimal->toString() : u"(none)"_s;
}

QString amountText(const QVariant &stored) {
    const auto amount = Money::fromVariant(stored);
    return amount ? amount->toString() : u"(none)"_s;
}

Money money(const char *amount) {
    return *Money::fromText(QString::fromLatin1(amount));
}

Decimal decimal(const char *typed) {
    return *Decimal::fromText(QString::fromLatin1(typed));
}

TEST(Money, PlainTextIsReadWholeAndRoundedHalfAwayFromZero) {
    const struct {
        const char *rule;
        const char *text;
        qint64 units;
    } cases[] = {
        {"whole dollars", "12", 120000},
        {"cents", "1234.56", 12345600},
        {"four decimals kept", "0.0001", 1},
        {"fifth decimal half rounds up", "0.00005", 1},
        {"fifth decimal below half rounds down", "2.00004", 20000},
        {"negative half rounds away from zero", "-0.00005", -1},
        {"no leading zero", ".5", 5000},
        {"blanks and sign", "  +7.25", 72500},
        {"binary-unfriendly sum of tenths", "0.3", 3000},
        {"a long tail of zeros costs no digits", "1.50000000000000000000000000000000000000000000",
         15000},
        {"the largest amount", "1000000000000", Money::Limit},
    };
    for (const auto &c : cases)
        EXPECT_EQ(units(Money::fromText(QString::fromLatin1(c.text))), c.units) << c.rule;
    for (const char *refused : {"", "abc", "-", ".", "12abc", "1.2.3", "1,250.00",
                                "99999999999999999999", "1000000000000.0001"})
        EXPECT_FALSE(Money::fromText(QString::fromLatin1(refused))) << refused;
}

TEST(Money, FactorsAndCentsRoundHalfAwayFromZero) {
    const struct {
        const char *rule;
        const char *amount;
        double factor;
        const char *product;
    } cases[] = {
        // 12.35 x 0.07 = 0.8645 exactly; a double product is 0.86449999...
        {"tax on a price", "12.35", 0.07, "0.8645"},
        {"service charge", "1000", 0.18, "180"},
        {"fifth decimal rounds away from zero", "0.0015", 0.5, "0.0008"},
        {"negative fifth decimal rounds away from zero", "-0.0015", 0.5, "-0.0008"},
        {"fractional quantity", "19.99", 1.5, "29.985"},
        {"factor zero", "55.55", 0.0, "0"},
        {"product past the range is held at the limit", "1000000000000", 2.0, "1000000000000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(money(c.amount).times(c.factor).toString(), QString::fromLatin1(c.product))
            << c.rule;
}

TEST(Money, TypedQuantitiesMultiplyExactly) {
    const struct {
        const char *rule;
        const char *amount;
        const char *quantity;
        const char *product; // empty: refused as out of range
    } cases[] = {
        {"whole quantity", "19.99", "2", "39.98"},
        {"half quantity", "19.99", "1.5", "29.985"},
        {"a third typed as decimals", "10", "0.333", "3.33"},
        // 1.0005 x 2.5 is 2.50124999... in binary.
        {"exact half a mill after a fractional quantity", "1.0005", "2.5", "2.5013"},
        {"thirds of a large amount", "123456789.1234", "0.333", "41111110.7781"},
        {"half a mill rounds away from zero", "0.0001", "7.5", "0.0008"},
        {"negative half a mill rounds away from zero", "-0.0001", "7.5", "-0.0008"},
        {"credit", "-50", "2", "-100"},
        {"product at the limit", "500000000000", "2", "1000000000000"},
        {"product past the limit", "500000000000", "2.0001", ""},
        {"too many digits to work out", "999999999999.9999", "1.23456789012345678901234567", ""},
    };
    for (const auto &c : cases) {
        const auto product = money(c.amount).times(decimal(c.quantity));
        if (*c.product == '\0')
            EXPECT_FALSE(product) << c.rule;
        else
            EXPECT_EQ(product ? product->toString() : QString(), QString::fromLatin1(c.product))
                << c.rule;
    }
}

TEST(Money, FormatsShowTwoDecimalsWithoutALeadingZero) {
    const struct {
        const char *amount;
        const char *cents;
        const char *formatted;
    } cases[] = {
        {"0.005", "0.01", ".01"},
        {"-0.005", "-0.01", "-.01"},
        {"2.005", "2.01", "2.01"},
        {"-2.005", "-2.01", "-2.01"},
        {"2.0049", "2", "2.00"},
        {"0.0049", "0", ".00"},
        {"-0.0049", "0", ".00"},
        {"1234.565", "1234.57", "1234.57"},
        {"0.5", "0.5", ".50"},
        {"-0.5", "-0.5", "-.50"},
        {"0", "0", ".00"},
        {"1000000", "1000000", "1000000.00"},
        {"999999999999.995", "1000000000000", "1000000000000.00"},
        {"-999999999999.995", "-1000000000000", "-1000000000000.00"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(money(c.amount).roundedToCents().toString(), QString::fromLatin1(c.cents))
            << c.amount;
        EXPECT_EQ(money(c.amount).formatted(), QString::fromLatin1(c.formatted)) << c.amount;
    }
}

TEST(Money, SumsStayExactAndNeverWrap) {
    Money total;
    for (int i = 0; i < 10000; ++i)
        total += money("0.0001");
    EXPECT_EQ(total.toString(), u"1"_s);
    EXPECT_EQ(total.formatted(), u"1.00"_s);

    const Money most = Money::fromUnits(std::numeric_limits<qint64>::max());
    EXPECT_GT(most + money("1"), Money()) << "saturates upwards";
    EXPECT_LT(-most - money("2"), Money()) << "saturates downwards";
    EXPECT_TRUE(Money::fromUnits(Money::Limit).isInRange());
    EXPECT_FALSE((Money::fromUnits(Money::Limit) + money("0.0001")).isInRange());
}

TEST(Money, StoredValuesComeBackAsTheyWere) {
    EXPECT_EQ(units(Money::fromVariant(QVariant(0.1 + 0.2))), 3000) << "shortest form of a double";
    EXPECT_EQ(units(Money::fromVariant(QVariant(2.005))), 20050) << "not 2.00499999...";
    EXPECT_EQ(units(Money::fromVariant(QVariant(qlonglong(42)))), 420000);
    EXPECT_EQ(units(Money::fromVariant(QVariant(u"1042.5000"_s))), 10425000);
    EXPECT_EQ(units(Money::fromVariant(QVariant(u"-0.5000"_s))), -5000);
    EXPECT_EQ(units(Money::fromVariant(QVariant())), 0);
    EXPECT_FALSE(Money::fromVariant(QVariant(u"12 dollars"_s)));
    EXPECT_FALSE(Money::fromVariant(QVariant(std::numeric_limits<double>::quiet_NaN())));
}

TEST(Decimal, TypedNumbersReadAsTheSuiteReadsThem) {
    const struct {
        const char *rule;
        const char *typed;
        const char *shortest; // "(none)": nothing readable
    } cases[] = {
        {"whole", "2", "2"},
        {"trailing decimal zeros dropped", "1.50", "1.5"},
        {"bare point", "2.", "2"},
        {"leading zeros dropped", "007", "7"},
        {"blanks and a trailing blank", " 1.5 ", "1.5"},
        {"the whole text or nothing", "12abc", "(none)"},
        {"no grouping: typed text is TypedNumber's", "1,250.00", "(none)"},
        {"negative", "-0.333", "-0.333"},
        {"no leading zero", ".25", "0.25"},
        {"zeros inside the decimals kept", "3.0007", "3.0007"},
        {"no digit", "abc", "(none)"},
        {"empty", "", "(none)"},
        {"more digits than can be held", "123456789012345678901234567890123456789012", "(none)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(text(Decimal::fromText(QString::fromLatin1(c.typed))),
                  QString::fromLatin1(c.shortest))
            << c.rule;

    EXPECT_EQ(decimal("1.5").toDouble(), 1.5);
    EXPECT_LT(decimal("0.999"), Decimal::fromInteger(1));
    EXPECT_EQ(decimal("1.000"), Decimal::fromInteger(1));
    EXPECT_GT(decimal("-0.5"), decimal("-2"));
    EXPECT_LT(decimal("0.0000000000000000000000000000000001"), decimal("12345678901234567890"))
        << "compared although the two cannot be brought to the same decimals";
}

TEST(Decimal, RatesAreTakenByTheirShortestFormForTheirPrecision) {
    const struct {
        const char *rule;
        QVariant stored;
        const char *rate; // "(none)": not a number
    } cases[] = {
        {"double", QVariant(0.07), "0.07"},
        {"double written with more digits", QVariant(0.0700000000000000067), "0.07"},
        {"single-precision column read as a double", QVariant(double(0.07f)), "0.07"},
        {"single-precision value", QVariant(0.07f), "0.07"},
        {"a double that is no single keeps all its digits", QVariant(0.1 + 0.2),
         "0.30000000000000004"},
        {"server numeric text", QVariant(u"0.0825"_s), "0.0825"},
        {"integer", QVariant(1), "1"},
        {"Null", QVariant(), "0"},
        {"not a number", QVariant(u"7%"_s), "(none)"},
        {"infinite", QVariant(std::numeric_limits<double>::infinity()), "(none)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(text(Decimal::fromFactor(c.stored)), QString::fromLatin1(c.rate)) << c.rule;
}

TEST(Decimal, ArithmeticIsExactAndReportsWhatDoesNotFit) {
    EXPECT_EQ(text(decimal("0.05").times(decimal("25.29"))), u"1.2645"_s);
    EXPECT_EQ(text(decimal("8.2645").plus(decimal("0.0005"))), u"8.265"_s);
    EXPECT_EQ(decimal("8.265").roundedTo(2).toString(), u"8.27"_s);
    EXPECT_EQ(decimal("-8.265").roundedTo(2).toString(), u"-8.27"_s);
    EXPECT_EQ(decimal("8.2649999999999999999").roundedTo(2).toString(), u"8.26"_s);
    const Decimal huge = decimal("12345678901234567890123456789");
    EXPECT_FALSE(huge.times(huge));
    EXPECT_FALSE(huge.plus(decimal("0.0000000000000000000000000001")));
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
    int row = 0;
    for (const QString &amount : amounts) {
        const Money stored = *Money::fromText(amount);
        exec(u"evnt"_s,
             u"insert into items (eventid, cost, price, servchg, tax) "
             "values (?, ?, ?, ?, ?)"_s,
             {++row, stored.toVariant(), stored.toVariant(), stored.toVariant(),
              stored.toVariant()});
    }
    for (const char *name : {"cost", "price", "servchg", "tax"}) {
        const QString select = u"select %1 from items order by eventid"_s;
        const QVariantList read = column(u"evnt"_s, select.arg(QLatin1String(name)));
        ASSERT_EQ(read.size(), amounts.size()) << name;
        for (qsizetype i = 0; i < amounts.size(); ++i) {
            EXPECT_EQ(amountText(read[i]), amounts[i]) << name;
            if (onPostgres()) {
                EXPECT_NE(read[i].metaType().id(), QMetaType::Double) << name;
            }
        }
    }
}

} // namespace
