#include "PublishDialog.h"

#include "DialogControls.h"
#include "WindowServices.h"
#include "app/PublishWindow.h"

#include <QBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

PublishDialog::PublishDialog(PublishWindow &logic, QWidget *parent)
    : QDialog(parent)
    , m_logic(logic)
    , m_where(DialogControls::caption(this, QStringLiteral("lblpublishto")))
    , m_progress(new QProgressBar(this))
    , m_result(new QLabel(this))
    , m_problems(new QListWidget(this)) {
    setObjectName(QStringLiteral("frmpublish"));
    setWindowTitle(tr("Publish Calendar"));
    setModal(true);
    m_where->setWordWrap(true);
    m_where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_progress->setObjectName(QStringLiteral("prgpublish"));
    m_progress->setAccessibleName(tr("Publishing progress"));
    DialogControls::describe(m_progress, tr("The events sent to the calendar server so far."));
    m_progress->setMinimumWidth(420);
    m_result->setObjectName(QStringLiteral("lblpublishresult"));
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_result->setAccessibleName(tr("Outcome"));
    m_problems->setObjectName(QStringLiteral("lstpublishproblems"));
    m_problems->setWordWrap(true);
    m_problemsLabel = DialogControls::labelFor(m_problems, tr("Left &as they were"));
    DialogControls::describe(m_problems,
                             tr("The events the calendar server kept as they were, and why."));
    m_cancel = button(QStringLiteral("cmdcancel"), tr("&Cancel"),
                      tr("Stops the publish before the next event; what was sent stays."));
    m_overwrite =
        button(QStringLiteral("cmdoverwrite"), tr("&Overwrite Them"),
               tr("Publishes again, replacing the events changed on the server with the club's."));
    m_close = button(QStringLiteral("cmdclose"), tr("C&lose"), tr("Closes the window."));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_where);
    layout->addWidget(m_progress);
    layout->addWidget(m_result);
    layout->addWidget(m_problemsLabel);
    layout->addWidget(m_problems, 1);
    auto *row = new QHBoxLayout;
    row->addWidget(m_cancel);
    row->addWidget(m_overwrite);
    row->addStretch(1);
    row->addWidget(m_close);
    layout->addLayout(row);

    connect(m_cancel, &QPushButton::clicked, &m_logic, &PublishWindow::cancel);
    connect(m_overwrite, &QPushButton::clicked, &m_logic, &PublishWindow::overwrite);
    connect(m_close, &QPushButton::clicked, this, &PublishDialog::reject);
    connect(&m_logic, &PublishWindow::changed, this, &PublishDialog::refresh);
    refresh();
}

QPushButton *PublishDialog::button(const QString &name, const QString &text, const QString &tip) {
    auto *made = new QPushButton(text, this);
    made->setObjectName(name);
    made->setAutoDefault(false);
    made->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    DialogControls::describe(made, tip);
    return made;
}

void PublishDialog::Run(PublishWindow &logic, QWidget *parent) {
    if (!logic.open())
        return;
    // Shown rather than run in a loop of its own, so the window's commands
    // return while the publish goes on.
    auto *window = new PublishDialog(logic, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    CenterForm(window);
    window->open();
}

// Closing the window while the publish runs cancels it; the window closes
// once the run has ended and said so.
void PublishDialog::reject() {
    if (m_logic.running)
        m_logic.cancel();
    else
        QDialog::reject();
}

void PublishDialog::refresh() {
    m_where->setText(tr("Publishing to %1").arg(m_logic.where));
    m_progress->setMaximum(std::max(m_logic.total, 1));
    m_progress->setValue(m_logic.running ? m_logic.done : m_progress->maximum());
    m_result->setText(m_logic.heading);
    m_problems->clear();
    m_problems->addItems(m_logic.problems);
    m_problemsLabel->setVisible(!m_logic.problems.isEmpty());
    m_problems->setVisible(!m_logic.problems.isEmpty());
    m_cancel->setVisible(m_logic.running);
    m_overwrite->setVisible(m_logic.overwriteOffered && !m_logic.running);
    m_close->setVisible(!m_logic.running);
    if (m_logic.running)
        m_cancel->setFocus();
    else
        m_close->setFocus();
}
