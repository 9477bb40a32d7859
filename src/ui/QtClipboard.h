#pragma once

#include "ports/Clipboard.h"

// The system clipboard's text.
class QtClipboard final : public Clipboard {
public:
    QString text() const override;
    void setText(const QString &text) override;
    void clear() override;
};
