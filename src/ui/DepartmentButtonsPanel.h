#pragma once

#include "items/DepartmentButtons.h"

#include <QFrame>
#include <QPointer>
#include <array>

class QLayout;
class QLineEdit;
class QPushButton;

// The items window's department buttons cmddept(0..15), in rows of
// `perRow`. A click lists the department, or picks the button while the
// set-up panel is open.
class DepartmentButtonRow final : public QWidget {
    Q_OBJECT

public:
    DepartmentButtonRow(DepartmentButtons &logic, QWidget *parent, int perRow = 8);

    QPushButton *button(int index) const { return m_buttons[index]; }

public slots:
    void refresh();

private:
    DepartmentButtons &m_logic;
    std::array<QPushButton *, DepartmentButtons::ButtonCount> m_buttons{};
};

// fraconfigbuttons, "Configure Department Buttons": lies over the inventory
// item list while the department buttons are set up.
class DepartmentButtonsPanel final : public QFrame {
    Q_OBJECT

public:
    DepartmentButtonsPanel(DepartmentButtons &logic, QWidget *parent);

    // The widget the panel covers when it opens; without one it is centred
    // over its parent.
    void setCovered(QWidget *itemList) { m_covered = itemList; }

public slots:
    void refresh();

private:
    QWidget *buildTitle();
    QLayout *buildBoxes();
    QWidget *buildDirections();
    QLayout *buildButtons();
    QPushButton *makeButton(const QString &name, const QString &caption);
    QLineEdit *makeBox(const QString &name, const QString &label, const QString &hint,
                       class QGridLayout *grid, int row);
    void placeOverCovered();

    DepartmentButtons &m_logic;
    QPointer<QWidget> m_covered;
    QLineEdit *m_caption = nullptr;
    QLineEdit *m_tag = nullptr;
    QPushButton *m_sample = nullptr;
};
