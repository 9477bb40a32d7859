#include "SiftWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

SiftWindow::SiftWindow(const QString &name, const QString &title, const QStringList &headers,
                       QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_search(new QLineEdit(this))
    , m_table(new QTableWidget(0, int(headers.size()), this))
    , m_message(new QLabel(this))
    , m_select(new QPushButton(tr("Select"), this)) {
    setObjectName(name);
    setWindowTitle(title);

    m_search->setObjectName(QStringLiteral("txtsearch"));
    m_search->setPlaceholderText(tr("Name or number"));
    m_search->setClearButtonEnabled(true);
    auto *searchLabel = new QLabel(tr("&Search:"), this);
    searchLabel->setBuddy(m_search);
    m_search->setAccessibleName(tr("Search"));

    m_table->setObjectName(QStringLiteral("gridresults"));
    m_table->setAccessibleName(title);
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setAlternatingRowColors(true);

    m_message->setObjectName(QStringLiteral("lblmessage"));
    m_message->setWordWrap(true);
    m_message->hide();

    m_select->setObjectName(QStringLiteral("cmdselect"));
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("cmdclose"));

    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_select);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_message);
    layout->addLayout(buttons);
    resize(560, 420);

    // One search after a short pause in typing, not one per keystroke.
    m_typingPause.setSingleShot(true);
    m_typingPause.setInterval(250);
    connect(&m_typingPause, &QTimer::timeout, this, &SiftWindow::search);
    connect(m_search, &QLineEdit::textChanged, this, [this] { m_typingPause.start(); });
    connect(m_search, &QLineEdit::returnPressed, this, &SiftWindow::search);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &SiftWindow::chooseCurrent);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &SiftWindow::updateSelect);
    connect(m_select, &QPushButton::clicked, this, &SiftWindow::chooseCurrent);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    for (const QKeySequence &key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)})
        connect(new QShortcut(key, m_table, nullptr, nullptr, Qt::WidgetShortcut),
                &QShortcut::activated, this, &SiftWindow::chooseCurrent);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    updateSelect();
}

void SiftWindow::search() {
    m_typingPause.stop();
    showPage(find(m_search->text().trimmed()));
}

void SiftWindow::showPage(const Page &page) {
    m_table->clearContents();
    m_table->setRowCount(int(page.rows.size()));
    const QBrush dimmed = palette().brush(QPalette::Disabled, QPalette::Text);
    for (int r = 0; r < int(page.rows.size()); ++r) {
        const Row &row = page.rows.at(r);
        for (int c = 0; c < int(row.cells.size()) && c < m_table->columnCount(); ++c) {
            auto *item = new QTableWidgetItem(row.cells.at(c));
            if (row.dimmed)
                item->setForeground(dimmed);
            m_table->setItem(r, c, item);
        }
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
    if (!page.rows.isEmpty())
        m_table->selectRow(0);

    QString message = page.error;
    if (message.isEmpty() && page.rows.isEmpty() && !m_search->text().trimmed().isEmpty())
        message = tr("Nothing matches \"%1\".").arg(m_search->text().trimmed());
    if (message.isEmpty() && page.more)
        message = tr("Only the first %1 matches are shown; type more of the name or number.")
                      .arg(page.rows.size());
    m_message->setText(message);
    m_message->setVisible(!message.isEmpty());
    updateSelect();
}

void SiftWindow::chooseCurrent() {
    const int row = m_table->currentRow();
    if (row < 0 || m_table->selectedItems().isEmpty())
        return;
    choose(row);
    close();
}

void SiftWindow::updateSelect() {
    m_select->setEnabled(!m_table->selectedItems().isEmpty());
}
