#include "CompanionWindow.h"

#include "ui/WindowServices.h"

#include <QWidget>

void showCompanion(QWidget *window, Programs::WindowState state) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    switch (state) {
    case Programs::WindowState::Maximized:
        window->showMaximized();
        break;
    case Programs::WindowState::Minimized:
        window->showMinimized();
        return;
    case Programs::WindowState::Normal:
        CenterForm(window);
        window->show();
        break;
    }
    window->raise();
    window->activateWindow();
}
