#pragma once

#include <QDialog>

class PublishWindow;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

// File menu, "Publish Calendar" (frmpublish): where the calendar goes, how
// far the publish is, and at the end what it did. The window stays open
// until the run has ended; closing it while it runs cancels it.
class PublishDialog final : public QDialog {
    Q_OBJECT

public:
    PublishDialog(PublishWindow &logic, QWidget *parent = nullptr);

    // Starts the publish and shows the window, when the operator may.
    static void Run(PublishWindow &logic, QWidget *parent);

public slots:
    void reject() override;

private:
    QPushButton *button(const QString &name, const QString &text, const QString &tip);
    void refresh();

    PublishWindow &m_logic;
    QLabel *m_where;
    QProgressBar *m_progress;
    QLabel *m_result;
    QLabel *m_problemsLabel;
    QListWidget *m_problems;
    QPushButton *m_cancel;
    QPushButton *m_overwrite;
    QPushButton *m_close;
};
