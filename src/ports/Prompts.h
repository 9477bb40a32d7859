#pragma once

#include <QList>
#include <QString>

enum class Icon { None, Critical, Question, Exclamation, Information };

// One box of a checklist: its label, with "&" before its Alt letter, and
// whether it is ticked.
struct PromptOption {
    QString label;
    bool checked = false;
};

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
    // A checklist under `text`: the boxes start as `options` has them and
    // are left there as the operator ticked them; false when he cancelled.
    // `name` names the dialogue for the club's scripts. A port with nobody
    // to ask takes the options as given.
    virtual bool chooseOptions(const QString &text, const QString &title,
                               QList<PromptOption> &options, const QString &name) {
        Q_UNUSED(text);
        Q_UNUSED(title);
        Q_UNUSED(options);
        Q_UNUSED(name);
        return true;
    }
    // Hourglass while a long operation runs.
    virtual void setBusy(bool busy) = 0;
};
