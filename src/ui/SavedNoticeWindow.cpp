#include "SavedNoticeWindow.h"

#include "WindowServices.h"

#include <QLabel>
#include <QVBoxLayout>

SavedNoticeWindow::SavedNoticeWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmsplashmsg"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QString::fromLatin1(SavedNotice::Text), this);
    label->setObjectName(QStringLiteral("Label1"));
    QFont font = label->font();
    font.setPointSize(font.pointSize() + 6);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    setStyleSheet(
        QStringLiteral("QWidget#frmsplashmsg { background: #FFFFE0; border: 2px solid #404040; }"));
    resize(320, 90);

    m_timer.setInterval(SavedNotice::TickMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_notice.tick()) {
            m_timer.stop();
            close();
        }
    });
}

SavedNoticeWindow *SavedNoticeWindow::ShowSavedNotice(QWidget *parent) {
    auto *notice = new SavedNoticeWindow(parent);
    SetTopmost(notice, true);
    CenterForm(notice);
    notice->show();
    notice->m_timer.start();
    return notice;
}
