#pragma once

#include "ports/Programs.h"

class QWidget;

// Shows a built-in companion's window the way the caller asked for a real
// program's window; the window deletes itself when it is closed.
void showCompanion(QWidget *window, Programs::WindowState state);
