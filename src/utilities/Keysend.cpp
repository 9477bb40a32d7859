#include "Keysend.h"

#include <QHash>
#include <algorithm>
#include <limits>
#include <optional>

namespace Keysend {

namespace {

const QHash<QString, int> &namedKeys() {
    static const QHash<QString, int> keys = [] {
        QHash<QString, int> table{
            {QStringLiteral("BACKSPACE"), 8},    {QStringLiteral("BS"), 8},
            {QStringLiteral("BKSP"), 8},         {QStringLiteral("BREAK"), 19},
            {QStringLiteral("CAPSLOCK"), 20},    {QStringLiteral("DELETE"), 46},
            {QStringLiteral("DEL"), 46},         {QStringLiteral("DOWN"), 40},
            {QStringLiteral("END"), 35},         {QStringLiteral("ENTER"), 13},
            {QStringLiteral("ESC"), 27},         {QStringLiteral("HELP"), 47},
            {QStringLiteral("HOME"), 36},        {QStringLiteral("INS"), 45},
            {QStringLiteral("INSERT"), 45},      {QStringLiteral("LEFT"), 37},
            {QStringLiteral("NUMLOCK"), 144},    {QStringLiteral("PGDN"), 34},
            {QStringLiteral("PGUP"), 33},        {QStringLiteral("PRTSC"), 42},
            {QStringLiteral("PRTSCR"), 44},      {QStringLiteral("RIGHT"), 39},
            {QStringLiteral("SCROLLLOCK"), 145}, {QStringLiteral("TAB"), 9},
            {QStringLiteral("UP"), 38},
        };
        for (int i = 1; i <= 16; ++i)
            table.insert(QStringLiteral("F%1").arg(i), 111 + i);
        for (int i = 0; i <= 9; ++i)
            table.insert(QStringLiteral("NUMPAD%1").arg(i), 96 + i);
        return table;
    }();
    return keys;
}

// Keys whose character needs Shift on the usual keyboard.
bool needsShift(QChar c) {
    return c.isUpper() || QStringLiteral("~!@#$%^&*()_+{}|:\"<>?").contains(c);
}

// The key code of a typed character: letters and digits are their upper-case
// code; other characters keep their own.
int characterKey(QChar c) {
    return c.isLetter() && c.unicode() < 128 ? c.toUpper().unicode() : c.unicode();
}

KeyStroke character(QChar c, int modifiers) {
    const bool typesText = !(modifiers & (Control | Alt));
    return {characterKey(c), modifiers | (needsShift(c) && c.unicode() < 128 ? Shift : 0),
            typesText ? QString(c) : QString()};
}

KeyStroke named(int code, int modifiers) {
    QString text;
    if (!(modifiers & (Control | Alt))) {
        if (code == 9)
            text = QStringLiteral("\t");
        else if (code == 13)
            text = QStringLiteral("\r");
    }
    return {code, modifiers, text};
}

// A repeat count as typed after the blank of "{NAME n}": a whole number,
// or digits too many for one (a count beyond every limit). None when the
// text is no number, so the blank belongs to the name.
std::optional<qint64> repeatCount(const QString &text) {
    bool ok = false;
    const qint64 count = text.toLongLong(&ok);
    if (ok)
        return count;
    const QStringView digits =
        text.startsWith(QLatin1Char('+')) ? QStringView(text).mid(1) : QStringView(text);
    const bool allDigits =
        !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
    if (allDigits)
        return std::numeric_limits<qint64>::max();
    return std::nullopt;
}

class Parser {
public:
    explicit Parser(const QString &text)
        : m_text(text) {}

    QList<KeyStroke> parse() {
        if (m_text.size() > MaxTextLength)
            refuse(QStringLiteral("The key text is %1 characters long; at most %2 are typed.")
                       .arg(m_text.size())
                       .arg(MaxTextLength));
        while (m_pos < m_text.size() && m_refusal.isEmpty())
            item(NoModifier, 0);
        if (!m_refusal.isEmpty())
            m_strokes.clear();
        return m_strokes;
    }

    const QString &refusal() const { return m_refusal; }

private:
    void refuse(const QString &why) {
        if (m_refusal.isEmpty())
            m_refusal = why;
    }

    void add(const KeyStroke &stroke) {
        if (m_strokes.size() >= MaxKeystrokes)
            refuse(QStringLiteral("The key text presses more than %1 keys.").arg(MaxKeystrokes));
        else
            m_strokes << stroke;
    }

    // One key or group with the modifiers held for it. The modifiers before
    // it are gathered in a loop, and only groups go one call deeper, so the
    // depth of the calls is bounded by MaxGroupDepth.
    void item(int modifiers, int depth) {
        QChar c = m_text[m_pos++];
        while (c == QLatin1Char('+') || c == QLatin1Char('^') || c == QLatin1Char('%')) {
            modifiers |= c == QLatin1Char('+') ? Shift : c == QLatin1Char('^') ? Control : Alt;
            if (m_pos >= m_text.size())
                return;
            c = m_text[m_pos++];
        }
        if (c == QLatin1Char('(')) {
            if (depth >= MaxGroupDepth) {
                refuse(QStringLiteral("The key text puts more than %1 groups inside one another.")
                           .arg(MaxGroupDepth));
                return;
            }
            while (m_pos < m_text.size() && m_text[m_pos] != QLatin1Char(')') &&
                   m_refusal.isEmpty())
                item(modifiers, depth + 1);
            ++m_pos; // the closing parenthesis
        } else if (c == QLatin1Char('{')) {
            braced(modifiers);
        } else if (c == QLatin1Char('~')) {
            add(named(13, modifiers));
        } else {
            add(character(c, modifiers));
        }
    }

    void braced(int modifiers) {
        // "{}}" and "{{}" name the braces themselves.
        int close = int(m_text.indexOf(QLatin1Char('}'), m_pos + 1));
        if (close < 0) {
            m_pos = int(m_text.size());
            return;
        }
        const QString inside = m_text.mid(m_pos, close - m_pos);
        m_pos = close + 1;
        const qsizetype blank = inside.lastIndexOf(QLatin1Char(' '));
        QString name = inside;
        qint64 count = 1;
        if (blank > 0) {
            if (const auto repeat = repeatCount(inside.mid(blank + 1).trimmed())) {
                name = inside.left(blank);
                count = *repeat;
            }
        }
        if (count > MaxRepeat) {
            refuse(QStringLiteral("{%1} repeats a key more than %2 times.")
                       .arg(inside, QString::number(MaxRepeat)));
            return;
        }
        const bool single = name.size() == 1;
        const int code = single ? 0 : VirtualKeyCode(name);
        if (!single && code == 0)
            return;
        for (qint64 i = 0; i < count && m_refusal.isEmpty(); ++i)
            add(single ? character(name[0], modifiers) : named(code, modifiers));
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    QList<KeyStroke> m_strokes;
    QString m_refusal;
};

} // namespace

int VirtualKeyCode(const QString &name) {
    return namedKeys().value(name.trimmed().toUpper(), 0);
}

QList<KeyStroke> ParseKeyText(const QString &text, QString *refusal) {
    Parser parser(text);
    QList<KeyStroke> strokes = parser.parse();
    if (refusal)
        *refusal = parser.refusal();
    return strokes;
}

} // namespace Keysend
