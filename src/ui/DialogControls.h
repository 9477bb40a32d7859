#pragma once

#include <QString>

class QBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

// The controls the small windows over the main window's event share: a
// caption, a row of an action and Close, and a status line under them.
namespace DialogControls {

// The window's caption in bold above what it shows.
QLabel *caption(QWidget *window, const QString &name);
// The action on the left and Close (object name `closeName`) on the right,
// neither taking Enter; Close rejects the dialog.
void addButtons(QBoxLayout *layout, QWidget *window, QPushButton *action, const QString &closeName);
// A line of what the last action did, selectable for copying.
QLabel *statusLine(QBoxLayout *layout, QWidget *window, const QString &name);
// The label names the control it stands before, for Alt+letter and for
// screen readers.
QLabel *labelFor(QWidget *control, const QString &text);
// The tooltip, which screen readers read as the description.
void describe(QWidget *control, const QString &tip);

} // namespace DialogControls
