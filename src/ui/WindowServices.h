#pragma once

class QWidget;

// Placement helpers shared by the windows.
void CenterForm(QWidget *window);
void SetTopmost(QWidget *window, bool on);
