#include "CompanionFiles.h"

#include "Clipboard.h"
#include "session/OperatorSession.h"
#include "storage/ClubFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

// The suite's "Path/File access error".
constexpr int FileAccessError = 75;

} // namespace

CompanionFiles::CompanionFiles(QString clubDirectory, const OperatorSession &session,
                               Clipboard &clipboard)
    : m_clubDirectory(std::move(clubDirectory))
    , m_session(session)
    , m_clipboard(clipboard) {}

QString CompanionFiles::clubFile(const QString &argument) const {
    const QString name =
        QFileInfo(QString(argument).replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName();
    return name.isEmpty() ? QString() : QDir(m_clubDirectory).filePath(name);
}

QString CompanionFiles::manualPath(const QStringList &arguments) const {
    const QString path =
        clubFile(arguments.isEmpty() ? QString::fromLatin1(ManualName) : arguments.first());
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

bool CompanionFiles::showManual(const QStringList &arguments,
                                const std::function<bool(QString)> &open) {
    const QString path = manualPath(arguments);
    if (!path.isEmpty() && open(path))
        return true;
    m_clipboard.setText(QString::fromLatin1(NoHelp));
    return false;
}

Result<HelpText> CompanionFiles::readHelpText(const QStringList &arguments) const {
    HelpText help;
    help.path = clubFile(arguments.value(0));
    help.fileName = QFileInfo(help.path).fileName();
    help.editable = !help.path.isEmpty() && m_session.CheckAccess(HelpEditThreshold);
    QFile file(help.path);
    if (help.path.isEmpty() || !file.exists())
        return help;
    if (!file.open(QIODevice::ReadOnly))
        return DbError{FileAccessError,
                       QStringLiteral("%1: %2").arg(help.fileName, file.errorString())};
    const QByteArray bytes = file.readAll();
    help.exists = true;
    help.crlf = bytes.contains("\r\n");
    // Older texts were written in the 8-bit code page; take them as Latin-1.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    help.text = text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return help;
}

Status CompanionFiles::saveHelpText(const HelpText &help, const QString &text) const {
    if (!help.editable)
        return DbError{
            ErrorNumber::ReadOnly,
            QStringLiteral("%1 may not be changed at this access level.").arg(help.fileName)};
    QString content = text;
    if (help.crlf)
        content.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (const QString failed = ClubFile::replace(help.path, content.toUtf8()); !failed.isEmpty())
        return DbError{FileAccessError,
                       QStringLiteral("%1 was not saved: %2").arg(help.fileName, failed)};
    return {};
}

QString CompanionFiles::picturePath(const QString &argument) const {
    const QDir club(m_clubDirectory);
    const QString slashed = QString(argument).replace(QLatin1Char('\\'), QLatin1Char('/'));
    for (const QString &candidate :
         {club.filePath(argument), club.filePath(slashed), clubFile(argument)}) {
        if (!argument.isEmpty() && !candidate.isEmpty() && QFileInfo(candidate).isFile())
            return QFileInfo(candidate).absoluteFilePath();
    }
    return QString();
}
