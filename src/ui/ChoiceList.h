#pragma once

#include <QComboBox>

// A drop-down list that chooses only when told to: the arrows, Page Up and
// Down, Home, End and a typed first letter browse its entries, Enter or a
// click in the opened list chooses (activated). The wheel changes nothing.
// Alt+Down, F4 and Space open it, with the current entry marked.
class ChoiceList final : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    // The entry at `row` shown, nothing chosen yet.
    void browse(int row);
    // The next entry after the current one that begins with `text`, or -1.
    int entryStartingWith(const QString &text) const;
};
