#pragma once

class Module;
class QtPrograms;
class QWidget;

// Registers the built-in companions: the account, staff and date look-ups,
// the manual and the help-text viewer, the info box, the printer set-up, the
// picture viewer and the e-mail list of the Email Generator. Their windows
// open above the main window.
void registerStandIns(QtPrograms &programs, Module &module, QWidget *mainWindow);
