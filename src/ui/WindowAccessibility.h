#pragma once

// Qt gives a plain QWidget the accessible role "client", which screen
// readers on Linux announce as a "filler": a window of ours built on a bare
// QWidget (the task list, the e-mail list, the look-ups) would not be
// announced as a window. Installed once after the QApplication is made,
// this names every such top-level widget a window; dialogs, main windows
// and Qt's own pop-ups keep their roles.
void installWindowAccessibility();
