#include "MailforgeWindow.h"

#include "ports/Clipboard.h"
#include "reports/MailList.h"
#include "storage/Databases.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QLabel *textLabel(const QString &name, QWidget *parent) {
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPushButton *button(const QString &name, const QString &caption, QWidget *parent) {
    auto *control = new QPushButton(caption, parent);
    control->setObjectName(name);
    control->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return control;
}

} // namespace

MailforgeWindow::MailforgeWindow(const Databases &databases, Clipboard &clipboard,
                                 const QStringList &arguments, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_clipboard(clipboard)
    , m_counts(textLabel(QStringLiteral("lblcounts"), this))
    , m_table(new QTableWidget(0, 3, this))
    , m_saved(textLabel(QStringLiteral("lblsaved"), this))
    , m_message(textLabel(QStringLiteral("lblmessage"), this))
    , m_copy(button(QStringLiteral("cmdcopy"), tr("&Copy addresses"), this)) {
    setObjectName(QStringLiteral("mailforge"));
    setWindowTitle(tr("Email Generator"));

    m_table->setObjectName(QStringLiteral("gridlist"));
    m_table->setAccessibleName(tr("E-mail list"));
    m_table->setHorizontalHeaderLabels({tr("Name"), tr("E-mail"), tr("Event#")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->setAlternatingRowColors(true);

    auto *note = textLabel(QStringLiteral("lblnote"), this);
    note->setText(tr("Nothing is sent from here: copy the addresses into your e-mail program, or "
                     "open the CSV file."));
    m_message->hide();
    auto *close = button(QStringLiteral("cmdclose"), tr("Close"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_message, 1);
    buttons->addWidget(m_copy);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_counts);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_saved);
    layout->addWidget(note);
    layout->addLayout(buttons);
    resize(720, 480);

    connect(m_copy, &QPushButton::clicked, this, &MailforgeWindow::copyAddresses);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);

    const QString workPath = MailList::workPath(databases.settings().clubDirectory, arguments);
    const auto list = MailList::read(databases, workPath);
    if (!list) {
        m_counts->hide();
        m_saved->hide();
        showMessage(tr("The e-mail list cannot be made.\n%1").arg(list.error().description));
    } else {
        showList(*list);
        showSaved(*list, workPath);
    }
    m_copy->setEnabled(m_addressCount > 0);
}

void MailforgeWindow::showList(const MailList &list) {
    m_counts->setText(list.counts());
    m_addressLine = list.addressLine();
    m_addressCount = list.addresses().size();
    m_table->setRowCount(int(list.rows().size()));
    const QBrush dimmed = palette().brush(QPalette::Disabled, QPalette::Text);
    for (int r = 0; r < m_table->rowCount(); ++r) {
        const MailRow &row = list.rows().at(r);
        const QStringList cells{row.name, MailList::shownAddress(row), QString::number(row.event)};
        for (int c = 0; c < int(cells.size()); ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            if (!row.usable)
                item->setForeground(dimmed);
            m_table->setItem(r, c, item);
        }
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
}

void MailforgeWindow::showSaved(const MailList &list, const QString &workPath) {
    const QString csvPath = MailList::csvPath(workPath);
    const Status saved = list.writeCsv(csvPath);
    m_saved->setText(saved ? tr("Saved as %1").arg(QDir::toNativeSeparators(csvPath))
                           : saved.error().description);
}

void MailforgeWindow::showMessage(const QString &text) {
    m_message->setText(text);
    m_message->setVisible(!text.isEmpty());
}

void MailforgeWindow::copyAddresses() {
    m_clipboard.setText(m_addressLine);
    showMessage(m_addressCount == 1 ? tr("1 address copied.")
                                    : tr("%1 addresses copied.").arg(m_addressCount));
}
