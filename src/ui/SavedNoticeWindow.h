#pragma once

#include "startup/SavedNotice.h"

#include <QTimer>
#include <QWidget>

// frmsplashmsg: "Event Data Saved", above every window, closing itself
// after about 0.7 seconds. It deletes itself on close, so each save shows a
// fresh one.
class SavedNoticeWindow final : public QWidget {
    Q_OBJECT

public:
    explicit SavedNoticeWindow(QWidget *parent = nullptr);

    static SavedNoticeWindow *ShowSavedNotice(QWidget *parent = nullptr);
    const SavedNotice &notice() const { return m_notice; }

private:
    SavedNotice m_notice;
    QTimer m_timer;
};
