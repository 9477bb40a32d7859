#include "WindowServices.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CenterForm(QWidget *window) {
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void SetTopmost(QWidget *window, bool on) {
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible)
        window->show(); // changing the flag hides the window
}

void ResizeWithinScreen(QWidget *window, QSize wanted) {
    if (const QScreen *screen = window->screen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() - QSize(16, 40));
    window->resize(wanted);
}

void ShowOnTop(QWidget *window) {
    CenterForm(window);
    SetTopmost(window, true);
    window->show();
    window->raise();
    window->activateWindow();
}
