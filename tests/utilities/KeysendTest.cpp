#include "utilities/Keysend.h"

#include <gtest/gtest.h>

using Keysend::Alt;
using Keysend::Control;
using Keysend::KeyStroke;
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

const QString tab = QStringLiteral("\t");

INSTANTIATE_TEST_SUITE_P(
    Rules, Notation,
    ::testing::Values(
        NotationCase{"names_ignore_case", "{tAb}", {{9, NoModifier, tab}}},
        NotationCase{"shift_tab", "+{TAB}", {{9, Shift, tab}}},
        NotationCase{"tilde_is_enter", "~", {{13, NoModifier, QStringLiteral("\r")}}},
        NotationCase{"repeat_count", "{LEFT 3}", {{37, 0, {}}, {37, 0, {}}, {37, 0, {}}}},
        NotationCase{"unknown_name_sends_nothing", "{NOSUCHKEY}a", {{65, 0, QStringLiteral("a")}}},
        NotationCase{"upper_case_needs_shift",
                     "aB",
                     {{65, 0, QStringLiteral("a")}, {66, Shift, QStringLiteral("B")}}},
        NotationCase{
            "control_holds_for_one_key", "^ab", {{65, Control, {}}, {66, 0, QStringLiteral("b")}}},
        NotationCase{"group_shares_modifiers",
                     "%(ab)c",
                     {{65, Alt, {}}, {66, Alt, {}}, {67, 0, QStringLiteral("c")}}},
        NotationCase{"stacked_modifiers", "+^{END}", {{35, Shift | Control, {}}}},
        NotationCase{"braced_specials_are_characters",
                     "{+}{~}{}}",
                     {{'+', Shift, QStringLiteral("+")},
                      {'~', Shift, QStringLiteral("~")},
                      {'}', Shift, QStringLiteral("}")}}},
        NotationCase{"characters_beyond_ascii_type_themselves",
                     "é€",
                     {{0xE9, 0, QStringLiteral("é")}, {0x20AC, 0, QStringLiteral("€")}}},
        NotationCase{"unclosed_brace_sends_nothing_more", "a{TAB", {{65, 0, QStringLiteral("a")}}}),

    [](const auto &info) { return std::string(info.param.rule); });

} // namespace
