#include "QtScreenGrabber.h"

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace {

bool hasDisplay() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal") &&
           !QGuiApplication::screens().isEmpty();
}

QRect desktopArea() {
    QRect area;
    for (QScreen *screen : QGuiApplication::screens())
        area = area.united(screen->geometry());
    return area;
}

// Each screen's own picture at its place on the desktop; false when the
// platform handed out none.
bool paintScreens(QPainter &painter, const QRect &area) {
    for (QScreen *screen : QGuiApplication::screens()) {
        const QPixmap shot = screen->grabWindow(0);
        if (shot.isNull())
            return false;
        painter.drawPixmap(
            QRect(screen->geometry().topLeft() - area.topLeft(), screen->geometry().size()), shot);
    }
    return true;
}

// The program's visible windows, bottom first as they were opened; a menu
// or list still closing is no part of the picture.
bool paintOwnWindows(QPainter &painter, const QRect &area) {
    bool painted = false;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->isMinimized() || window->windowType() == Qt::Popup ||
            window->windowType() == Qt::ToolTip)
            continue;
        const QPixmap shot = window->grab();
        if (shot.isNull())
            continue;
        painter.drawPixmap(window->frameGeometry().topLeft() - area.topLeft(), shot);
        painted = true;
    }
    return painted;
}

ScreenPicture toPicture(const QImage &image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    ScreenPicture picture{rgb.width(), rgb.height(), {}};
    const qsizetype rowBytes = qsizetype(rgb.width()) * 3;
    picture.rgb.reserve(rowBytes * rgb.height());
    for (int y = 0; y < rgb.height(); ++y)
        picture.rgb.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), rowBytes);
    return picture;
}

} // namespace

std::optional<ScreenPicture> QtScreenGrabber::grabDesktop() {
    if (!hasDisplay())
        return std::nullopt;
    const QRect area = desktopArea();
    if (area.isEmpty())
        return std::nullopt;
    QImage desktop(area.size(), QImage::Format_RGB32);
    desktop.fill(Qt::black);
    {
        QPainter painter(&desktop);
        if (!paintScreens(painter, area)) {
            desktop.fill(Qt::black);
            if (!paintOwnWindows(painter, area))
                return std::nullopt;
        }
    }
    return toPicture(desktop);
}
