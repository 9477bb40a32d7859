#pragma once

#include "events/FieldEntry.h"

#include <QEvent>
#include <functional>
#include <optional>

class QFocusEvent;
class QKeyEvent;

// How the views hand what happens in a typing box to its logic.
namespace TypingBoxes {

using Key = FieldEntry::Key;

// Focus that comes and goes with a message box, a popup or another
// application is not the operator moving between boxes.
bool movedByOperator(const QFocusEvent &focus);

// The keys a box's logic judges: Enter, F5, Tab when the logic moves the
// focus itself, and any key that changes the text; moving about and copying
// pass untouched.
std::optional<Key> judgedKey(const QKeyEvent &key, bool judgesTab);

// What a box's logic does with the operator's focus moves, clicks and keys.
struct Handlers {
    std::function<void()> gotFocus;
    std::function<void()> lostFocus;
    std::function<void()> click;
    std::function<void()> doubleClick;
    std::function<void(Key)> keyDown;  // F5
    std::function<bool(Key)> keyPress; // false: the box must not take the key
    bool judgesTab = false;
};

// Hands the event to the handlers; true when the box must not have it.
bool dispatch(QEvent *event, const Handlers &handlers);

} // namespace TypingBoxes
