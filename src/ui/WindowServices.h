#pragma once

#include <QSize>

class QWidget;

// Placement helpers shared by the windows.
void CenterForm(QWidget *window);
void SetTopmost(QWidget *window, bool on);
// The size wanted, or as much of it as the screen's free area holds with a
// window frame, down to 1366x768.
void ResizeWithinScreen(QWidget *window, QSize wanted);
// A window of its own over the main window: centred, kept above it, shown
// and given the keyboard.
void ShowOnTop(QWidget *window);
