#pragma once

#include <QList>
#include <QString>

// The key notation the windows use to type into themselves ("{Tab}" moves
// to the next field):
//   a character      its key; upper-case letters and shifted symbols carry Shift
//   + ^ %            Shift, Ctrl, Alt held for the next key or group
//   ( ... )          a group sharing the modifiers before it
//   {NAME} {NAME n}  a named key, n times; {+} and the like are the character
//   ~                Enter
namespace Keysend {

enum Modifier { NoModifier = 0, Shift = 1, Control = 2, Alt = 4 };

// One key pressed and released.
struct KeyStroke {
    int virtualKey = 0; // the suite's key codes: 9 Tab, 13 Enter, 65 'A', ...
    int modifiers = NoModifier;
    QString text; // what the key types; empty for keys that type nothing

    bool operator==(const KeyStroke &other) const = default;
};

// What one key text may ask for. A longer text, a larger count or deeper
// groups are refused whole: a slip such as "{LEFT 100000000}" would
// otherwise type for hours or exhaust the memory.
inline constexpr int MaxTextLength = 4096; // characters of the text
inline constexpr int MaxRepeat = 1000;     // the n of {NAME n}
inline constexpr int MaxKeystrokes = 4096; // keys pressed for the whole text
inline constexpr int MaxGroupDepth = 16;   // groups ( ... ) inside one another

// The code of a named key ("TAB", "F5", "NUMPAD3"), compared without regard
// to case; 0 when the name is unknown.
int VirtualKeyCode(const QString &name);
// The keystrokes a text stands for. Unknown names send nothing; characters
// beyond ASCII are typed as themselves. A text beyond the limits above gives
// no keystrokes at all, never the part before the limit, and `refusal`
// (when given) says why; it is emptied for a text that is taken.
QList<KeyStroke> ParseKeyText(const QString &text, QString *refusal = nullptr);

} // namespace Keysend

// Types keystrokes into the widget that has the focus; a text that
// ParseKeyText refuses types nothing.
class KeySender {
public:
    virtual ~KeySender() = default;
    virtual void SendKeyText(const QString &text) = 0;
};
