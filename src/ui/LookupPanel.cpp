#include "LookupPanel.h"

#include "TypingBoxes.h"
#include "events/EventLookup.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <optional>

LookupPanel::LookupPanel(EventLookup &logic, QWidget *parent)
    : QGroupBox(tr("Event Lookup"), parent)
    , m_logic(logic) {
    setObjectName(QStringLiteral("fralookup"));
    auto *grid = new QGridLayout(this);
    int row = 0;
    QWidget *previous = nullptr;
    for (const int index : EventLookup::shownOrder()) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtlookup(%1)").arg(index));
        auto *caption = new QLabel(EventLookup::label(index), this);
        caption->setBuddy(box);
        box->setAccessibleName(caption->text());
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this, index](const QString &text) {
            if (!m_refreshing)
                m_logic.editCriterion(index, text);
        });
        grid->addWidget(caption, row, 0);
        grid->addWidget(box, row, 1);
        ++row;
        if (previous)
            setTabOrder(previous, box);
        previous = box;
        m_boxes[index] = box;
    }

    m_results = new QComboBox(this);
    m_results->setObjectName(QStringLiteral("cbolookup"));
    m_results->setAccessibleName(QStringLiteral("Lookup Results"));
    connect(m_results, &QComboBox::activated, this,
            [this](int index) { m_logic.chooseResult(index); });
    // A search's matches open at once, their count beside them.
    connect(&m_logic, &EventLookup::resultsListed, m_results, [this] {
        if (m_results->isVisible())
            m_results->showPopup();
    });
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lbllookupcount"));
    grid->addWidget(m_count, row, 0);
    grid->addWidget(m_results, row++, 1);
    setTabOrder(previous, m_results);

    auto *buttons = new QHBoxLayout;
    previous = m_results;
    const char *const captions[] = {"Lookup", "Cancel Lookup"};
    for (int i = 0; i < 2; ++i) {
        auto *button = new QPushButton(QString::fromLatin1(captions[i]), this);
        button->setObjectName(QStringLiteral("cmdlookup2(%1)").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] {
            if (i == 0)
                m_logic.search();
            else
                m_logic.cancel();
        });
        buttons->addWidget(button);
        setTabOrder(previous, button);
        previous = button;
    }
    grid->addLayout(buttons, row, 0, 1, 2);
    hide();
}

bool LookupPanel::eventFilter(QObject *watched, QEvent *event) {
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        if (watched == m_boxes[i])
            return boxEvent(i, event);
    }
    return QGroupBox::eventFilter(watched, event);
}

bool LookupPanel::boxEvent(int index, QEvent *event) {
    EventLookup &logic = m_logic;
    return TypingBoxes::dispatch(
        event, {[&] { logic.enterCriterion(index); }, [&] { logic.leaveCriterion(index); },
                [&] { logic.clickCriterion(index); }, [&] { logic.doubleClickCriterion(index); },
                [&](TypingBoxes::Key key) { logic.pressCriterionKey(index, key); },
                [&](TypingBoxes::Key key) {
                    return logic.typeCriterionKey(index, key);
                }});
}

void LookupPanel::refresh() {
    const bool opening = m_logic.visible() && isHidden();
    m_refreshing = true;
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        QLineEdit *box = m_boxes[i];
        if (box->text() != m_logic.criteria[i])
            box->setText(m_logic.criteria[i]);
        box->setStyleSheet(QStringLiteral("QLineEdit { background-color: #%1; }")
                               .arg(m_logic.criterionColor[i], 6, 16, QLatin1Char('0')));
    }
    const ListState &list = m_logic.results;
    QStringList shown;
    for (int i = 0; i < m_results->count(); ++i)
        shown << m_results->itemText(i);
    if (shown != list.entries) {
        m_results->clear();
        m_results->addItems(list.entries);
    }
    m_results->setPlaceholderText(list.text);
    m_results->setCurrentIndex(-1);
    m_results->setVisible(m_logic.resultsVisible);
    m_count->setText(m_logic.resultCount);
    m_count->setVisible(m_logic.resultsVisible);
    m_results->setAccessibleDescription(m_logic.resultCount);
    m_refreshing = false;
    setVisible(m_logic.visible());
    // The date box takes the focus as the panel opens.
    if (opening)
        QTimer::singleShot(0, m_boxes[EventLookup::DateBox],
                           [box = m_boxes[EventLookup::DateBox]] { box->setFocus(); });
}
