#include "foundation/Money.h"

#include "ClubFixture.h"

namespace {

qint64 units(const std::optional<Money> &money) {
    return money ? money->units() : std::numeric_limits<qint64>::min();
}

TEST(Money, TypedTextIsReadExactlyAndRoundedHalfAwayFromZero) {
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
        {"reading stops at a letter", "12abc", 120000},
        {"reading stops at a second point", "1.2.3", 12000},
        {"binary-unfriendly sum of tenths", "0.3", 3000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(units(Money::fromText(QString::fromLatin1(c.text))), c.units) << c.rule;
    for (const char *refused : {"", "abc", "-", ".", "99999999999999999999"})
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
    };
    for (const auto &c : cases)
        EXPECT_EQ(Money::fromText(QString::fromLatin1(c.amount))->times(c.factor).toString(),
                  QString::fromLatin1(c.product))
            << c.rule;

    const struct {
        const char *amount;
        const char *cents;
        const char *formatted;
    } rounding[] = {
        {"0.005", "0.01", ".01"},
        {"-0.005", "-0.01", "-.01"},
        {"0.0049", "0", ".00"},
        {"1234.565", "1234.57", "1234.57"},
        {"0.5", "0.5", ".50"},
        {"0", "0", ".00"},
        {"1000000", "1000000", "1000000.00"},
    };
    for (const auto &r : rounding) {
        const Money money = *Money::fromText(QString::fromLatin1(r.amount));
        EXPECT_EQ(money.roundedToCents().toString(), QString::fromLatin1(r.cents)) << r.amount;
        EXPECT_EQ(money.formatted(), QString::fromLatin1(r.formatted)) << r.amount;
    }
}

TEST(Money, StoredValuesComeBackAsTheyWere) {
    EXPECT_EQ(units(Money::fromVariant(QVariant(0.1 + 0.2))), 3000) << "shortest form of a double";
    EXPECT_EQ(units(Money::fromVariant(QVariant(qlonglong(42)))), 420000);
    EXPECT_EQ(units(Money::fromVariant(QVariant(QStringLiteral("1042.5000")))), 10425000);
    EXPECT_EQ(units(Money::fromVariant(QVariant())), 0);
    EXPECT_FALSE(Money::fromVariant(QVariant(QStringLiteral("12 dollars"))));
}

class MoneyStorageTest : public ClubFixture {};

TEST_F(MoneyStorageTest, AmountsSurviveACurrencyColumnAndItsSums) {
    const QStringList amounts{QStringLiteral("0.1"), QStringLiteral("0.2"),
                              QStringLiteral("123456789.1234"), QStringLiteral("-5.5"),
                              QStringLiteral("0.0001")};
    Money total;
    int row = 0;
    for (const QString &amount : amounts) {
        const Money money = *Money::fromText(amount);
        total += money;
        exec(QStringLiteral("evnt"),
             QStringLiteral("insert into items (eventid, price) values (?, ?)"),
             {++row, money.toVariant()});
    }
    const QVariantList stored =
        column(QStringLiteral("evnt"), QStringLiteral("select price from items order by eventid"));
    ASSERT_EQ(stored.size(), amounts.size());
    for (qsizetype i = 0; i < amounts.size(); ++i)
        EXPECT_EQ(Money::fromVariant(stored[i])->toString(), amounts[i]);
    const auto sum = Money::fromVariant(
        scalar(QStringLiteral("evnt"), QStringLiteral("select sum(price) from items")));
    ASSERT_TRUE(sum);
    EXPECT_EQ(*sum, total);
    EXPECT_EQ(sum->toString(), QStringLiteral("123456783.9235"));
}

} // namespace
