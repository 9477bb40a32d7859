#include "DepartmentButtons.h"

#include "ports/Messages.h"
#include "session/OperatorSession.h"
#include "storage/ClubFile.h"
#include "storage/Databases.h"
#include "storage/SharedFile.h"
#include "values/TextValue.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <algorithm>

namespace {

const QString FileName = QStringLiteral("evnt.dat");
// A button file is a few hundred bytes; of a damaged huge one only the start
// is read.
constexpr qint64 MostBytesRead = 64 * 1024;

// New buttons are called "Dept" and show no department until set up.
const DepartmentButton DesignButton{QStringLiteral("Dept"), QString(), true};
const DepartmentButton RestingSample{QStringLiteral("Sample"), QString(), true};

// The file's lines without their ends; the last line break ends the last
// line rather than starting an empty one.
QStringList fileLines(const QString &content) {
    QStringList lines = content.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

// "caption,tag"; a line without a comma is all caption, a third field is
// ignored. A tag is never longer than the box that edits it.
DepartmentButton parsedButton(const QString &line) {
    return {
        line.section(QLatin1Char(','), 0, 0).trimmed(),
        cutToLength(line.section(QLatin1Char(','), 1, 1).trimmed(), DepartmentButtons::TagLength),
        true};
}

QString savedLine(const DepartmentButton &button) {
    return button.caption + QLatin1Char(',') + button.tag;
}

QString joinedLines(const QStringList &lines) {
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// A pasted line break would split the button's line in the file.
QString singleLine(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

} // namespace

DepartmentButtons::DepartmentButtons(const Databases &databases, Messages &messages,
                                     const OperatorSession &session, QObject *parent)
    : QObject(parent)
    , sample(RestingSample)
    , m_databases(databases)
    , m_messages(messages)
    , m_session(session) {
    departmentButtons.fill(DesignButton);
}

QString DepartmentButtons::filePath() const {
    return m_databases.clubPath(FileName);
}

void DepartmentButtons::windowOpened() {
    selectedButton = -1;
    if (QFile::exists(filePath()))
        readButtonFile();
    else
        CreateButtonFile();
    emit changed();
}

void DepartmentButtons::LoadButtons() {
    readButtonFile();
    emit changed();
}

QList<std::pair<QString, QString>> DepartmentButtons::departmentNames() const {
    QList<std::pair<QString, QString>> names;
    for (const DepartmentButton &button : departmentButtons) {
        const QString code = button.tag.trimmed();
        const bool named = std::any_of(names.cbegin(), names.cend(),
                                       [&](const auto &name) { return name.first == code; });
        if (!code.isEmpty() && !button.caption.isEmpty() && !named)
            names.append({code, button.caption});
    }
    return names;
}

QString DepartmentButtons::departmentName(const QString &code) const {
    const QString wanted = code.trimmed();
    for (const auto &[known, name] : departmentNames()) {
        if (known == wanted)
            return name;
    }
    return code;
}

void DepartmentButtons::readButtonFile() {
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = fileLines(QString::fromUtf8(file.read(MostBytesRead)));
    for (int k = 0; k < std::min<int>(lines.size(), ButtonCount); ++k) {
        const DepartmentButton read = parsedButton(lines[k]);
        departmentButtons[k].caption = read.caption;
        departmentButtons[k].tag = read.tag;
        if (read.caption.isEmpty())
            departmentButtons[k].visible = false;
    }
}

void DepartmentButtons::CreateButtonFile() {
    const QString path = filePath();
    SharedFile::FileLock lock(path);
    if (!lock.locked()) {
        reportWriteFailure();
        return;
    }
    // Another workstation may have made, and even set up, the file since we
    // looked: theirs stands.
    if (QFile::exists(path)) {
        readButtonFile();
        return;
    }
    QStringList lines;
    for (const DepartmentButton &button : departmentButtons)
        lines << button.caption + QStringLiteral(" , ") + button.tag;
    const QByteArray content = joinedLines(lines).toUtf8();
    if (!ClubFile::replace(path, content).isEmpty())
        reportWriteFailure();
}

bool DepartmentButtons::openPanel() {
    if (!m_session.CheckAccess(OperatorSession::evaccess2))
        return false;
    if (visible)
        return true;
    visible = true;
    for (DepartmentButton &button : departmentButtons)
        button.visible = true;
    // Each opening starts with no button chosen, so a save never lands on a
    // button chosen the time before.
    selectedButton = -1;
    captionText.clear();
    tagText.clear();
    sample = RestingSample;
    emit changed();
    return true;
}

void DepartmentButtons::chooseButton(int button) {
    if (button < 0 || button >= ButtonCount)
        return;
    const DepartmentButton clicked = departmentButtons[button];
    if (!visible) {
        if (clicked.visible)
            emit showDepartment(clicked.tag, clicked.caption);
        return;
    }
    sample = {clicked.caption, clicked.tag, true};
    captionText = clicked.caption;
    tagText = clicked.tag;
    selectedButton = button;
    emit changed();
}

void DepartmentButtons::editCaption(const QString &text) {
    edited(captionText, sample.caption, text);
}

void DepartmentButtons::editTag(const QString &text) {
    edited(tagText, sample.tag, cutToLength(text, TagLength));
}

void DepartmentButtons::edited(QString &box, QString &sampleText, const QString &text) {
    box = singleLine(text);
    sampleText = box;
    unsavedChanges = true;
    emit changed();
}

bool DepartmentButtons::saveSettings() {
    if (!m_session.CheckAccess(OperatorSession::evaccess2))
        return false;
    if (selectedButton < 0 || selectedButton >= ButtonCount) {
        oops(QStringLiteral("Please select a button # first."));
        return false;
    }
    // Stored as a load gives it back.
    const DepartmentButton saved{sample.caption.trimmed(), sample.tag.trimmed(),
                                 !sample.caption.trimmed().isEmpty()};
    if (saved.caption.contains(QLatin1Char(',')) || saved.tag.contains(QLatin1Char(','))) {
        oops(QStringLiteral("A button caption or department code cannot contain a comma."));
        return false;
    }
    // The button changes only once the file holds it.
    if (!writeSelectedLine(saved)) {
        reportWriteFailure();
        return false;
    }
    departmentButtons[selectedButton] = saved;
    unsavedChanges = false;
    emit changed();
    return true;
}

bool DepartmentButtons::writeSelectedLine(const DepartmentButton &saved) {
    return SharedFile::update(filePath(), [&](const QString &content) {
        QStringList lines = fileLines(content).mid(0, ButtonCount);
        // What the file lacks comes from this window's buttons.
        for (qsizetype k = lines.size(); k < ButtonCount; ++k)
            lines << savedLine(departmentButtons[k]);
        lines[selectedButton] = savedLine(saved);
        return joinedLines(lines);
    });
}

void DepartmentButtons::closePanel() {
    if (unsavedChanges &&
        m_messages.AskYesNo(QStringLiteral("Changes have been made. Do you wish ") +
                                QStringLiteral("\r\n") + QStringLiteral("to save them now?"),
                            QStringLiteral("Save changes?")))
        saveSettings();
    unsavedChanges = false;
    visible = false;
    readButtonFile();
    // Unused buttons hide again, also those a short file did not reach.
    for (DepartmentButton &button : departmentButtons) {
        if (button.caption.trimmed().isEmpty())
            button.visible = false;
    }
    emit changed();
}

void DepartmentButtons::oops(const QString &text) {
    m_messages.show(text, QStringLiteral("Oops..."), Icon::Information);
}

void DepartmentButtons::reportWriteFailure() {
    m_messages.ShowErrorCodes({ErrorNumber::FileAccess,
                               QStringLiteral("The department buttons could not be written to %1.")
                                   .arg(QDir::toNativeSeparators(filePath()))});
}
