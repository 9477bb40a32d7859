#include "Companions.h"

#include "Clipboard.h"
#include "Programs.h"
#include "session/Module.h"

#include <QCoreApplication>
#include <QFileInfo>

using WindowState = Programs::WindowState;

Companions::Companions(Module &module)
    : m_module(module) {}

void Companions::Help(int window) {
    Programs &programs = m_module.ports.programs;
    Clipboard &clipboard = m_module.ports.clipboard;
    const QString helpText = QStringLiteral("evnt-%1.txt").arg(window);
    if (programs.exists(QStringLiteral("vrnohelp.exe"))) {
        clipboard.clear();
        programs.start(QStringLiteral("vrnohelp.exe"), {QStringLiteral("manual-MORAVEL.pdf")},
                       WindowState::Maximized);
        if (clipboard.text() != QLatin1String("NOHELP"))
            return;
    }
    programs.start(QStringLiteral("vrnedit.exe"), {helpText}, WindowState::Normal);
}

QString Companions::infoLine() const {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return m_module.session.UserName + QLatin1Char('@') +
           (program.isEmpty() ? QStringLiteral("moravel") : program) + QLatin1Char(' ') +
           QLatin1String(Version) + QStringLiteral("     SysUser: ") +
           QString::number(m_module.session.SysUser);
}

void Companions::Info() {
    m_module.routines.RunAndWait(QStringLiteral("quelvi32.exe"), {infoLine()});
}

bool Companions::LookUp(const QString &program) {
    return m_module.ports.programs.start(program, {}, WindowState::Normal);
}
