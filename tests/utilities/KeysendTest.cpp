#include "utilities/Keysend.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace Keysend;

namespace Keysend {
void PrintTo(const KeyStroke &s, std::ostream *out) {
    *out << '{' << s.virtualKey << ", " << s.modifiers << ", \"" << s.text.toStdString() << "\"}";
}
} // namespace Keysend

namespace {

TEST(KeyText, NotationParsesIntoKeystrokes) {
    const struct {
        const char *text;
        QList<KeyStroke> strokes;
    } cases[] = {
        {"{tAb}", {{9, NoModifier, u"\t"_s}}}, // names ignore case
        {"+{TAB}", {{9, Shift, u"\t"_s}}},
        {"~", {{13, NoModifier, u"\r"_s}}},
        {"{LEFT 3}", {{37, 0, {}}, {37, 0, {}}, {37, 0, {}}}},
        {"{NOSUCHKEY}a", {{65, 0, u"a"_s}}}, // an unknown name sends nothing
        {"aB", {{65, 0, u"a"_s}, {66, Shift, u"B"_s}}},
        {"^ab", {{65, Control, {}}, {66, 0, u"b"_s}}},               // held for one key only
        {"%(ab)c", {{65, Alt, {}}, {66, Alt, {}}, {67, 0, u"c"_s}}}, // or for the group
        {"+^{END}", {{35, Shift | Control, {}}}},
        {"{+}{~}{}}", {{'+', Shift, u"+"_s}, {'~', Shift, u"~"_s}, {'}', Shift, u"}"_s}}},
        {"é€", {{0xE9, 0, u"é"_s}, {0x20AC, 0, u"€"_s}}},
        {"a{TAB", {{65, 0, u"a"_s}}}, // an unclosed brace sends nothing more
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseKeyText(QString::fromUtf8(c.text)), c.strokes) << c.text;
}

// A text past a limit is refused whole, with the reason.
TEST(KeyText, LimitsRefuseTheWholeTextAndSayWhy) {
    const auto times = [](const char *text, int n) {
        return QString::fromUtf8(text).repeated(n);
    };
    const QString tooDeep = u"The key text puts more than 16 groups inside one another."_s;
    const struct {
        QString text;
        int strokes;
        QString refusal;
    } cases[] = {
        {u"{LEFT 1000}"_s, 1000, {}},
        {u"{LEFT 1001}"_s, 0, u"{LEFT 1001} repeats a key more than 1000 times."_s},
        {u"{a 100000000}"_s, 0, u"{a 100000000} repeats a key more than 1000 times."_s},
        {u"{a 99999999999999999999}"_s, 0,
         u"{a 99999999999999999999} repeats a key more than 1000 times."_s},
        {u"{LEFT -1}a"_s, 1, {}},
        {times("{a 1000}", 4) + "{b 96}", MaxKeystrokes, {}},
        {times("{a 1000}", 4) + "{b 97}", 0, u"The key text presses more than 4096 keys."_s},
        {times("a", 4096), 4096, {}},
        {times("a", 4097), 0, u"The key text is 4097 characters long; at most 4096 are typed."_s},
        {times("+", 2000000), 0,
         u"The key text is 2000000 characters long; at most 4096 are typed."_s},
        {times("+", 4095) + "a", 1, {}},
        {times("(", 16) + "a" + times(")", 16), 1, {}},
        {times("(", 17) + "a" + times(")", 17), 0, tooDeep},
        {times("(", 4000), 0, tooDeep},
    };
    for (const auto &c : cases) {
        QString refusal = u"left from before"_s;
        EXPECT_EQ(ParseKeyText(c.text, &refusal).size(), c.strokes)
            << c.text.left(40).toStdString();
        EXPECT_EQ(refusal, c.refusal);
    }
}

} // namespace
