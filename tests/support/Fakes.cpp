#include "Fakes.h"

#include <gtest/gtest.h>

ScriptedPrompts::~ScriptedPrompts() {
    EXPECT_TRUE(m_answers.isEmpty()) << m_answers.size() << " scripted answers never asked for";
    EXPECT_TRUE(m_options.isEmpty()) << m_options.size() << " checklist answers never asked for";
    EXPECT_EQ(m_expectedErrors, 0) << "error reports announced but never shown";
}

void ScriptedPrompts::message(const QString &text, const QString &title, Icon icon) {
    messages << Shown{text, title, icon};
    if (icon != Icon::Critical && title != QLatin1String("Brevant Codes") &&
        title != QLatin1String("Uh-oh..."))
        return;
    EXPECT_GT(m_expectedErrors, 0)
        << "unexpected error report \"" << title.toStdString() << "\": " << text.toStdString();
    m_expectedErrors = std::max(0, m_expectedErrors - 1);
}

bool ScriptedPrompts::chooseOptions(const QString &text, const QString &title,
                                    QList<PromptOption> &options, const QString &name) {
    Q_UNUSED(name);
    checklists << Shown{text, title, Icon::Question};
    offeredOptions << options;
    if (m_options.isEmpty())
        return true;
    const std::optional<QStringList> ticked = m_options.dequeue();
    if (!ticked)
        return false;
    for (PromptOption &option : options)
        option.checked = ticked->contains(QString(option.label).remove(QLatin1Char('&')));
    return true;
}

// The next scripted answer, which must be of the kind the prompt takes.
QVariant ScriptedPrompts::next(QMetaType kind, const QString &text) {
    const QVariant answer = m_answers.isEmpty() ? QVariant() : m_answers.dequeue();
    EXPECT_TRUE(answer.metaType() == kind) << "unexpected " << kind.name() << " prompt ("
                                           << (answer.isValid() ? answer.metaType().name() : "none")
                                           << " scripted): " << text.toStdString();
    return answer;
}

QStringList ScriptedPrompts::messageTexts() const {
    QStringList texts;
    for (const Shown &shown : messages)
        texts << shown.text;
    return texts;
}
