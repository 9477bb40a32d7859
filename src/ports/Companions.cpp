#include "Companions.h"

#include "Clipboard.h"
#include "Programs.h"
#include "SharedRoutines.h"
#include "session/OperatorSession.h"

#include <QCoreApplication>
#include <QFileInfo>

using WindowState = Programs::WindowState;

Companions::Companions(Programs &programs, Clipboard &clipboard, SharedRoutines &routines,
                       const OperatorSession &session)
    : m_programs(programs)
    , m_clipboard(clipboard)
    , m_routines(routines)
    , m_session(session) {}

void Companions::Help(int window) {
    const QString helpText = QStringLiteral("evnt-%1.txt").arg(window);
    if (m_programs.exists(QStringLiteral("vrnohelp.exe"))) {
        m_clipboard.clear();
        m_programs.start(QStringLiteral("vrnohelp.exe"), {QStringLiteral("manual-MORAVEL.pdf")},
                         WindowState::Maximized);
        if (m_clipboard.text() != QLatin1String("NOHELP"))
            return;
    }
    m_programs.start(QStringLiteral("vrnedit.exe"), {helpText}, WindowState::Normal);
}

QString Companions::infoLine() const {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return m_session.UserName + QLatin1Char('@') +
           (program.isEmpty() ? QStringLiteral("moravel") : program) + QLatin1Char(' ') +
           QLatin1String(Version) + QStringLiteral("     SysUser: ") +
           QString::number(m_session.SysUser);
}

void Companions::Info() {
    m_routines.RunAndWait(QStringLiteral("quelvi32.exe"), {infoLine()});
}

bool Companions::LookUp(const QString &program) {
    return m_programs.start(program, {}, WindowState::Normal);
}
