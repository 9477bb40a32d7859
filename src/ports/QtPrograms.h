#pragma once

#include "Programs.h"

#include <QHash>
#include <functional>

// Starts companion programs. A native executable of the program's name
// (without ".exe") in the club directory wins; then a built-in stand-in
// registered under that name; then an executable in one of the program
// folders (where the build or the installation put this suite's own tools,
// such as the report program). A Windows program file that clubs copy in
// ("TILLZO.EXE") makes the program exist but is never run.
class QtPrograms final : public Programs {
public:
    // A built-in program: it gets the arguments and the window state and
    // returns its exit code.
    using StandIn = std::function<int(const QStringList &arguments, WindowState state)>;

    explicit QtPrograms(QString clubDirectory, QStringList programFolders = defaultFolders());

    // Beside this program, then the build tree's tools.
    static QStringList defaultFolders();

    void registerStandIn(const QString &program, StandIn standIn);

    bool exists(const QString &program) const override;
    bool start(const QString &program, const QStringList &arguments, WindowState state) override;
    int runAndWait(const QString &program, const QStringList &arguments,
                   const QString &input = {}) override;

private:
    // The executable in the club directory, or empty.
    QString executable(const QString &program) const;
    const StandIn *standIn(const QString &program) const;
    QString installedExecutable(const QString &program) const;

    QString m_clubDirectory;
    QStringList m_programFolders;
    QHash<QString, StandIn> m_standIns;
};
