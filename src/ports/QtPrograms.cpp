#include "QtPrograms.h"

#include "storage/ClubFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>

namespace {

// "CALC.EXE", "calc.exe" and "calc" name the same companion.
QString baseName(const QString &program) {
    QString name = QFileInfo(program).fileName().toLower();
    if (name.endsWith(QLatin1String(".exe")))
        name.chop(4);
    return name;
}

} // namespace

QtPrograms::QtPrograms(QString clubDirectory, QStringList programFolders)
    : m_clubDirectory(std::move(clubDirectory))
    , m_programFolders(std::move(programFolders)) {}

QStringList QtPrograms::defaultFolders() {
    QStringList folders{QCoreApplication::applicationDirPath()};
#ifdef MORAVEL_BUILD_TOOLS_DIR
    for (const char *tool : {"prinzel"})
        folders << QStringLiteral(MORAVEL_BUILD_TOOLS_DIR "/") + QLatin1String(tool);
#endif
    return folders;
}

void QtPrograms::registerStandIn(const QString &program, StandIn standIn) {
    m_standIns.insert(baseName(program), std::move(standIn));
}

QString QtPrograms::executable(const QString &program) const {
    // A Windows program file is only a marker here; what runs is a native
    // program of the same name without ".exe", whatever its case.
    const QString path = ClubFile::find(m_clubDirectory, baseName(program));
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isExecutable() ||
        file.fileName().endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        return QString();
    return file.absoluteFilePath();
}

QString QtPrograms::installedExecutable(const QString &program) const {
    for (const QString &folder : m_programFolders) {
        const QFileInfo file(QDir(folder).filePath(baseName(program)));
        if (file.isFile() && file.isExecutable())
            return file.absoluteFilePath();
    }
    return QString();
}

const QtPrograms::StandIn *QtPrograms::standIn(const QString &program) const {
    const auto found = m_standIns.constFind(baseName(program));
    return found == m_standIns.constEnd() ? nullptr : &found.value();
}

bool QtPrograms::exists(const QString &program) const {
    return standIn(program) || !executable(program).isEmpty() ||
           ClubFile::exists(m_clubDirectory, QFileInfo(program).fileName()) ||
           !installedExecutable(program).isEmpty();
}

bool QtPrograms::start(const QString &program, const QStringList &arguments, WindowState state) {
    const QString path = executable(program);
    if (!path.isEmpty())
        return QProcess::startDetached(path, arguments, m_clubDirectory);
    if (const StandIn *builtIn = standIn(program)) {
        (*builtIn)(arguments, state);
        return true;
    }
    const QString installed = installedExecutable(program);
    return !installed.isEmpty() && QProcess::startDetached(installed, arguments, m_clubDirectory);
}

int QtPrograms::runAndWait(const QString &program, const QStringList &arguments,
                           const QString &input) {
    QString path = executable(program);
    if (path.isEmpty()) {
        if (const StandIn *builtIn = standIn(program))
            return (*builtIn)(arguments, WindowState::Normal);
        path = installedExecutable(program);
        if (path.isEmpty())
            return -1;
    }
    QProcess process;
    process.setWorkingDirectory(m_clubDirectory);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            loop.quit();
    });
    process.start(path, arguments);
    if (process.waitForStarted()) {
        process.write(input.toUtf8());
        process.closeWriteChannel();
    }
    if (process.state() != QProcess::NotRunning || process.error() != QProcess::FailedToStart)
        loop.exec(); // the windows keep painting while the program runs
    if (process.error() == QProcess::FailedToStart || process.exitStatus() == QProcess::CrashExit)
        return -1;
    return process.exitCode();
}
