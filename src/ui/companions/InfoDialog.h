#pragma once

#include <QDialog>

// quelvi32: the "About" box with the info line the caller built (operator,
// program, version and system-user number).
class InfoDialog final : public QDialog {
    Q_OBJECT

public:
    InfoDialog(const QStringList &arguments, QWidget *parent = nullptr);
};
