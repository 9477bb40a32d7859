#pragma once

#include "foundation/Programs.h"

#include <QHash>
#include <functional>

// Starts companion programs. A native executable of the program's name
// (without ".exe") in the club directory wins; otherwise a built-in stand-in
// registered under that name answers. A Windows program file that clubs copy
// in ("TILLZO.EXE") makes the program exist but is never run.
class QtPrograms final : public Programs {
public:
    // A built-in program: it gets the arguments and the window state and
    // returns its exit code.
    using StandIn = std::function<int(const QStringList &arguments, WindowState state)>;

    explicit QtPrograms(QString clubDirectory);

    void registerStandIn(const QString &program, StandIn standIn);

    bool exists(const QString &program) const override;
    bool start(const QString &program, const QStringList &arguments, WindowState state) override;
    int runAndWait(const QString &program, const QStringList &arguments) override;

private:
    // The executable in the club directory, or empty.
    QString executable(const QString &program) const;
    const StandIn *standIn(const QString &program) const;

    QString m_clubDirectory;
    QHash<QString, StandIn> m_standIns;
};
