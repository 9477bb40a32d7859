#include "utilities/Keysend.h"

#include "Fuzz.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using Keysend::Alt;
using Keysend::Control;
using Keysend::KeyStroke;
using Keysend::MaxKeystrokes;
using Keysend::NoModifier;
using Keysend::ParseKeyText;
using Keysend::Shift;

namespace {

struct NotationCase {
    const char *rule;
    const char *text;
    QList<KeyStroke> strokes;
};

void PrintTo(const NotationCase &c, std::ostream *out) {
    *out << c.rule;
}

class Notation : public ::testing::TestWithParam<NotationCase> {};

TEST_P(Notation, ParsesIntoKeystrokes) {
    const auto &c = GetParam();
    const QList<KeyStroke> strokes = ParseKeyText(QString::fromUtf8(c.text));
    ASSERT_EQ(strokes.size(), c.strokes.size());
    for (qsizetype i = 0; i < strokes.size(); ++i) {
        EXPECT_EQ(strokes[i].virtualKey, c.strokes[i].virtualKey) << "stroke " << i;
        EXPECT_EQ(strokes[i].modifiers, c.strokes[i].modifiers) << "stroke " << i;
        EXPECT_EQ(strokes[i].text, c.strokes[i].text) << "stroke " << i;
    }
}

const QString tab = u"\t"_s;

INSTANTIATE_TEST_SUITE_P(
    Rules, Notation,
    ::testing::Values(
        NotationCase{"names_ignore_case", "{tAb}", {{9, NoModifier, tab}}},
        NotationCase{"shift_tab", "+{TAB}", {{9, Shift, tab}}},
        NotationCase{"tilde_is_enter", "~", {{13, NoModifier, u"\r"_s}}},
        NotationCase{"repeat_count", "{LEFT 3}", {{37, 0, {}}, {37, 0, {}}, {37, 0, {}}}},
        NotationCase{"unknown_name_sends_nothing", "{NOSUCHKEY}a", {{65, 0, u"a"_s}}},
        NotationCase{"upper_case_needs_shift", "aB", {{65, 0, u"a"_s}, {66, Shift, u"B"_s}}},
        NotationCase{"control_holds_for_one_key", "^ab", {{65, Control, {}}, {66, 0, u"b"_s}}},
        NotationCase{
            "group_shares_modifiers", "%(ab)c", {{65, Alt, {}}, {66, Alt, {}}, {67, 0, u"c"_s}}},
        NotationCase{"stacked_modifiers", "+^{END}", {{35, Shift | Control, {}}}},
        NotationCase{"braced_specials_are_characters",
                     "{+}{~}{}}",
                     {{'+', Shift, u"+"_s}, {'~', Shift, u"~"_s}, {'}', Shift, u"}"_s}}},
        NotationCase{"characters_beyond_ascii_type_themselves",
                     "é€",
                     {{0xE9, 0, u"é"_s}, {0x20AC, 0, u"€"_s}}},
        NotationCase{"unclosed_brace_sends_nothing_more", "a{TAB", {{65, 0, u"a"_s}}}),

    [](const auto &info) { return std::string(info.param.rule); });

TEST(KeyText, LimitsRefuseTheWholeTextAndSayWhy) {
    const auto times = [](const char *text, int n) {
        return QString::fromUtf8(text).repeated(n);
    };
    struct Case {
        const char *rule;
        QString text;
        int strokes; // when taken
        const char *refusal;
    };
    const Case cases[] = {
        {"repeat at the limit", "{LEFT 1000}", 1000, ""},
        {"repeat past the limit", "{LEFT 1001}", 0,
         "{LEFT 1001} repeats a key more than 1000 times."},
        {"repeated character", "{a 100000000}", 0,
         "{a 100000000} repeats a key more than 1000 times."},
        {"repeat beyond any number", "{a 99999999999999999999}", 0,
         "{a 99999999999999999999} repeats a key more than 1000 times."},
        {"negative repeat sends nothing", "{LEFT -1}a", 1, ""},
        {"keystrokes at the limit", times("{a 1000}", 4) + "{b 96}", MaxKeystrokes, ""},
        {"keystrokes past the limit", times("{a 1000}", 4) + "{b 97}", 0,
         "The key text presses more than 4096 keys."},
        {"text at the length limit", times("a", 4096), 4096, ""},
        {"text past the length limit", times("a", 4097), 0,
         "The key text is 4097 characters long; at most 4096 are typed."},
        {"two million modifiers", times("+", 2000000), 0,
         "The key text is 2000000 characters long; at most 4096 are typed."},
        {"modifiers stacked as long as the text may be", times("+", 4095) + "a", 1, ""},
        {"groups at the depth limit", times("(", 16) + "a" + times(")", 16), 1, ""},
        {"groups past the depth limit", times("(", 17) + "a" + times(")", 17), 0,
         "The key text puts more than 16 groups inside one another."},
        {"unclosed groups past the depth limit", times("(", 4000), 0,
         "The key text puts more than 16 groups inside one another."},
    };
    for (const Case &c : cases) {
        QString refusal = u"left from before"_s;
        const QList<KeyStroke> strokes = ParseKeyText(c.text, &refusal);
        EXPECT_EQ(refusal, QString::fromUtf8(c.refusal)) << c.rule;
        EXPECT_EQ(strokes.size(), c.strokes) << c.rule << ": nothing of a refused text is sent";
    }
}

TEST(KeyText, FuzzedTextsStayWithinTheLimits) {
    FuzzInputs fuzz(20261207);
    const QString alphabet = u"+^%(){}~ aB9-TABLEFT{}()é"_s;
    const QStringList seeds{"{TAB}",    "+{TAB}",     "%(ab)c",     "{LEFT 3}", "{BS 1000}",
                            "((a)b)",   "{}}{{}",     "^+{END}",    "{a 999}",  "{NUMPAD3 2}",
                            "+(^(a)b)", "{F5 99999}", "~{ENTER 4}", "(((((("};
    const int inputs = FuzzInputs::count(3000);
    for (int i = 0; i < inputs; ++i) {
        QString text =
            fuzz.oneIn(3) ? fuzz.from(alphabet, 40) : fuzz.mutate(fuzz.pick(seeds), alphabet);
        if (fuzz.oneIn(10))
            text = text.repeated(1 + fuzz.below(600));
        QString refusal;
        const QList<KeyStroke> strokes = ParseKeyText(text, &refusal);
        const auto input = [&] {
            return "input " + std::to_string(i) + ": " + text.left(80).toStdString();
        };
        ASSERT_TRUE(refusal.isEmpty() || strokes.isEmpty()) << input();
        ASSERT_LE(strokes.size(), MaxKeystrokes) << input();
        ASSERT_TRUE(text.size() <= Keysend::MaxTextLength || !refusal.isEmpty()) << input();
        for (const KeyStroke &stroke : strokes) {
            ASSERT_NE(stroke.virtualKey, 0) << input();
            ASSERT_TRUE(!(stroke.modifiers & (Control | Alt)) || stroke.text.isEmpty())
                << input() << ": a key typed with Ctrl or Alt held types no text";
        }
    }
}

} // namespace
