#pragma once

#include "ports/Prompts.h"

#include <QPointer>
#include <QWidget>

// Message boxes and input boxes over the window the operator works in,
// else over the main window.
class QtPrompts final : public Prompts {
public:
    void setParentWindow(QWidget *parent) { m_parent = parent; }

    void message(const QString &text, const QString &title, Icon icon) override;
    bool askYesNo(const QString &text, const QString &title) override;
    QString input(const QString &text, const QString &title, const QString &initial) override;
    // A small dialogue of check boxes, chkoption(i), with OK and Cancel;
    // Escape cancels.
    bool chooseOptions(const QString &text, const QString &title, QList<PromptOption> &options,
                       const QString &name) override;
    void setBusy(bool busy) override;

private:
    QWidget *owner() const;

    QPointer<QWidget> m_parent;
    int m_busyDepth = 0;
};
