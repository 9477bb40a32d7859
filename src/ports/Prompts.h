#pragma once

#include <QString>

enum class Icon { None, Critical, Question, Exclamation, Information };

// The operator's side of every dialogue. Logic classes reach the operator
// only through this port; the views implement it with message boxes and
// the tests with a script.
class Prompts {
public:
    virtual ~Prompts() = default;

    virtual void message(const QString &text, const QString &title, Icon icon) = 0;
    // Yes/No question with No as the default button; true for Yes.
    virtual bool askYesNo(const QString &text, const QString &title) = 0;
    // An empty answer means the operator cancelled.
    virtual QString input(const QString &text, const QString &title,
                          const QString &initial = {}) = 0;
    // Hourglass while a long operation runs.
    virtual void setBusy(bool busy) = 0;
};
