#pragma once

#include "calendar/RoomEditor.h"

#include <QFrame>
#include <array>

class QLayout;
class QLineEdit;
class QListWidget;
class QPushButton;

// fralocation, "View/Add/Edit Rooms": floats centred over the main window
// while the room editor is open.
class RoomEditorPanel final : public QFrame {
    Q_OBJECT

public:
    RoomEditorPanel(RoomEditor &logic, QWidget *parent);

    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildTitle();
    QLayout *buildRoomColumns();
    void connectLists();
    QLayout *buildButtons();
    QListWidget *makeList(const QString &name, const QString &caption, class QGridLayout *grid,
                          int column);
    void placeOverParent();

    RoomEditor &m_logic;
    std::array<QListWidget *, RoomEditor::BoxCount> m_lists{};
    std::array<QLineEdit *, RoomEditor::BoxCount> m_boxes{};
    std::array<QPushButton *, 4> m_buttons{};
};
