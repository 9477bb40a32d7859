#include "Fakes.h"

#include <gtest/gtest.h>

ScriptedPrompts::~ScriptedPrompts() {
    EXPECT_TRUE(m_answers.isEmpty()) << "scripted answers never asked for: "
                                     << m_answers.join(QStringLiteral(", ")).toStdString();
    EXPECT_EQ(m_expectedErrors, 0) << "error reports announced but never shown";
}

bool ScriptedPrompts::isErrorReport(const QString &title, Icon icon) {
    return icon == Icon::Critical || title == QLatin1String("Brevant Codes") ||
           title == QLatin1String("Uh-oh...");
}

void ScriptedPrompts::message(const QString &text, const QString &title, Icon icon) {
    messages << Shown{text, title, icon};
    if (!isErrorReport(title, icon))
        return;
    if (m_expectedErrors == 0)
        ADD_FAILURE() << "unexpected error report \"" << title.toStdString()
                      << "\": " << text.toStdString();
    else
        --m_expectedErrors;
}

QString ScriptedPrompts::next(const QString &kind, const QString &text) {
    if (m_answers.isEmpty()) {
        ADD_FAILURE() << "unexpected " << kind.toStdString() << ": " << text.toStdString();
        return QString();
    }
    return m_answers.dequeue();
}

bool ScriptedPrompts::askYesNo(const QString &text, const QString &title) {
    questions << Shown{text, title, Icon::Question};
    const QString answer = next(QStringLiteral("question"), text);
    EXPECT_TRUE(answer == QLatin1String("Yes") || answer == QLatin1String("No") || answer.isEmpty())
        << "an input answer was scripted but a question came: " << text.toStdString();
    return answer == QLatin1String("Yes");
}

QString ScriptedPrompts::input(const QString &text, const QString &title, const QString &) {
    inputs << Shown{text, title, Icon::None};
    const QString answer = next(QStringLiteral("input box"), text);
    EXPECT_TRUE(answer.startsWith(QLatin1String("input:")) || answer.isEmpty())
        << "a Yes/No answer was scripted but an input box came: " << text.toStdString();
    return answer.mid(6);
}

QStringList ScriptedPrompts::messageTexts() const {
    QStringList texts;
    for (const Shown &shown : messages)
        texts << shown.text;
    return texts;
}

const ScriptedPrompts::Shown &ScriptedPrompts::lastMessage() const {
    static const Shown none;
    return messages.isEmpty() ? none : messages.last();
}

void ScriptedPrompts::clear() {
    messages.clear();
    questions.clear();
    inputs.clear();
}
