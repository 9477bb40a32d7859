#pragma once

#include "SiftWindow.h"
#include "storage/Lookups.h"

class Clipboard;
class Databases;

// acctsift: finds a member account by name or number and leaves its number
// on the clipboard.
class AccountSiftWindow final : public SiftWindow {
    Q_OBJECT

public:
    AccountSiftWindow(const Databases &databases, Clipboard &clipboard, QWidget *parent = nullptr);

private:
    Page find(const QString &text) override;
    void choose(int row) override;

    Lookups m_lookups;
    QList<AccountMatch> m_matches;
};
