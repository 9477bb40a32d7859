#include "Keysend.h"

#include <QHash>

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

class Parser {
public:
    explicit Parser(const QString &text)
        : m_text(text) {}

    QList<KeyStroke> parse() {
        while (m_pos < m_text.size())
            item(NoModifier);
        return m_strokes;
    }

private:
    // One key or group with the modifiers held for it.
    void item(int modifiers) {
        const QChar c = m_text[m_pos++];
        if (c == QLatin1Char('+') || c == QLatin1Char('^') || c == QLatin1Char('%')) {
            const int held = c == QLatin1Char('+') ? Shift : c == QLatin1Char('^') ? Control : Alt;
            if (m_pos < m_text.size())
                item(modifiers | held);
        } else if (c == QLatin1Char('(')) {
            while (m_pos < m_text.size() && m_text[m_pos] != QLatin1Char(')'))
                item(modifiers);
            ++m_pos; // the closing parenthesis
        } else if (c == QLatin1Char('{')) {
            braced(modifiers);
        } else if (c == QLatin1Char('~')) {
            m_strokes << named(13, modifiers);
        } else {
            m_strokes << character(c, modifiers);
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
        int count = 1;
        if (blank > 0) {
            bool ok = false;
            const int repeat = inside.mid(blank + 1).trimmed().toInt(&ok);
            if (ok) {
                name = inside.left(blank);
                count = repeat;
            }
        }
        for (int i = 0; i < count; ++i) {
            if (name.size() == 1) {
                m_strokes << character(name[0], modifiers);
            } else if (const int code = VirtualKeyCode(name)) {
                m_strokes << named(code, modifiers);
            }
        }
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    QList<KeyStroke> m_strokes;
};

} // namespace

int VirtualKeyCode(const QString &name) {
    return namedKeys().value(name.trimmed().toUpper(), 0);
}

QList<KeyStroke> ParseKeyText(const QString &text) {
    return Parser(text).parse();
}

} // namespace Keysend
