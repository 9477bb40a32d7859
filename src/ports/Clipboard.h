#pragma once

#include <QString>

// The system clipboard: look-ups and the report launcher hand text over on it.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
    virtual void clear() = 0;
};
