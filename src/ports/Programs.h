#pragma once

#include <QString>
#include <QStringList>

// Companion programs: look-ups, help, report printing. A built-in stand-in
// may answer for a program name; a real executable of that name in the club
// directory wins.
class Programs {
public:
    enum class WindowState { Normal, Maximized, Minimized };

    virtual ~Programs() = default;

    // True when the club has the program: a native executable or a built-in
    // stand-in, or the program's own file in any case of its name.
    virtual bool exists(const QString &program) const = 0;
    // Starts without waiting; false when it could not be started.
    virtual bool start(const QString &program, const QStringList &arguments,
                       WindowState state = WindowState::Normal) = 0;
    // Starts and waits for the exit code while the windows stay responsive;
    // -1 when the program could not be started or crashed. `input` is written
    // to the program's standard input, which is then closed.
    virtual int runAndWait(const QString &program, const QStringList &arguments,
                           const QString &input = {}) = 0;
};
