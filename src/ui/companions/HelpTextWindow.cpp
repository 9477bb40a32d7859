#include "HelpTextWindow.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

HelpTextWindow::HelpTextWindow(CompanionFiles files, const QStringList &arguments, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_files(std::move(files))
    , m_text(new QPlainTextEdit(this))
    , m_note(new QLabel(this))
    , m_save(new QPushButton(tr("Save"), this)) {
    setObjectName(QStringLiteral("vrnedit"));

    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setAccessibleName(tr("Help text"));
    // Help texts line up their columns with blanks.
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_note->setObjectName(QStringLiteral("lblnote"));
    m_note->setWordWrap(true);
    m_save->setObjectName(QStringLiteral("cmdsave"));
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("cmdclose"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_note, 1);
    buttons->addWidget(m_save);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    resize(720, 560);

    auto read = m_files.readHelpText(arguments);
    if (read) {
        m_help = read.value();
        m_text->setPlainText(m_help.text);
        if (!m_help.exists)
            showNote(m_help.fileName.isEmpty()
                         ? tr("No help text was named.")
                         : tr("%1 is not in the club directory yet.").arg(m_help.fileName));
    } else {
        // Never offer to overwrite a text we could not read.
        m_help.editable = false;
        showNote(read.error().description);
    }
    setWindowTitle(
        tr("%1 - Help Text [*]").arg(m_help.fileName.isEmpty() ? tr("Help") : m_help.fileName));
    m_text->setReadOnly(!m_help.editable);
    m_save->setVisible(m_help.editable);
    m_save->setEnabled(false);

    connect(m_text->document(), &QTextDocument::modificationChanged, this, [this](bool changed) {
        setWindowModified(changed);
        m_save->setEnabled(changed);
    });
    connect(m_save, &QPushButton::clicked, this, &HelpTextWindow::save);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, [this] {
        if (m_help.editable)
            save();
    });
}

void HelpTextWindow::save() {
    const Status saved = m_files.saveHelpText(m_help, m_text->toPlainText());
    if (!saved) {
        showNote(saved.error().description);
        return;
    }
    m_help.exists = true;
    m_text->document()->setModified(false);
    showNote(tr("%1 saved.").arg(m_help.fileName));
}

void HelpTextWindow::showNote(const QString &note) {
    m_note->setText(note);
}
