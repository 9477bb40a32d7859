#include "values/TextValue.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// What the program reads back from the texts it wrote itself.
TEST(TextValue, NumbersAreReadUpToTheFirstOtherCharacterAndTextsCutWhereACharacterEnds) {
    const struct {
        QString text;
        double number;
        int whole;
    } rows[] = {
        {u"  12abc"_s, 12, 12},
        {u"-3.75 guests"_s, -3.75, -3},
        {u"1.2.3"_s, 1.2, 1},
        {u"abc"_s, 0, 0},
        {u"+"_s, 0, 0},
        {u"2147483647"_s, 2147483647.0, 2147483647},
        {u"2147483648"_s, 2147483648.0, 0},
        {u"-2147483649"_s, -2147483649.0, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        EXPECT_DOUBLE_EQ(numericValue(row.text), row.number);
        EXPECT_EQ(integerValue(row.text), row.whole);
    }

    // Cut between characters, never inside one; an ellipsis only when cut.
    const QString party = u"Party \U0001F389"_s; // 8 UTF-16 units, 7 characters
    EXPECT_EQ(cutToLength(party, 8), party);
    EXPECT_EQ(cutToLength(party, 7), u"Party "_s);
    EXPECT_EQ(characterCount(party), 7);
    EXPECT_EQ(shortened(u"  Harper  "_s, 6), u"Harper"_s);
    EXPECT_EQ(shortened(u"Harper Anniversary"_s, 7), u"Harper\u2026"_s);
}

} // namespace
