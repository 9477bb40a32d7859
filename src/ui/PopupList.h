#pragma once

#include <QFrame>
#include <QStringList>

class QListWidget;

// A list that opens as a pop-up under a typing box (above it where the
// screen ends), over the boxes below, and moves nothing. The box keeps the
// keyboard, as with a completer: what is typed goes on into the box, the
// arrows browse the list, Enter or a click chooses, Escape closes it. A
// click elsewhere closes it and lands where it was aimed; Tab closes it and
// moves on from the box.
class PopupList final : public QFrame {
    Q_OBJECT

public:
    // The list inside is named `name` and `accessibleName`; `box` is the
    // box it opens under, whose panel owns it.
    PopupList(const QString &name, const QString &accessibleName, QWidget *box);

    QListWidget *list() const { return m_list; }
    QWidget *box() const { return m_box; }

    // The entries, when they differ from those shown.
    void setEntries(const QStringList &entries);
    // Opens under the box with the entry that begins with the box's text
    // current; an open list stays as it is.
    void open();

signals:
    // An entry chosen (by Enter or a click); the list has closed.
    void chosen(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void choose(int row);
    // The key goes on to the box, as if typed there.
    void forward(const QKeyEvent &event);
    // The entry that begins with the box's text becomes current, or none.
    void followBox();

    QWidget *m_box;
    QListWidget *m_list;
};
