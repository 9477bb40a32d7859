#pragma once

#include "SiftWindow.h"
#include "storage/Lookups.h"

class Clipboard;
class Databases;

// staffsift: finds an employee by name or number and leaves the number on
// the clipboard.
class StaffSiftWindow final : public SiftWindow {
    Q_OBJECT

public:
    StaffSiftWindow(const Databases &databases, Clipboard &clipboard, QWidget *parent = nullptr);

private:
    Page find(const QString &text) override;
    void choose(int row) override;

    Lookups m_lookups;
    QList<EmployeeMatch> m_matches;
};
