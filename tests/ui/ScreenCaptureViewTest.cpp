#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "ui/QtScreenGrabber.h"
#include "utilities/ScreenCapture.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace {

class ScreenCaptureViewTest : public ClubFixture {};

// The File menu's command reaches the capture with the real screen, which
// the offscreen platform, like a session without a display, does not have.
TEST_F(ScreenCaptureViewTest, TheFileMenuCommandWithoutADisplayExplainsAndSavesNothing) {
    QtScreenGrabber realScreen;
    Module withScreen(settings(),
                      Ports{prompts, clipboard, programs, clock, keys, printer, realScreen});
    ShownWindow shown(withScreen, club, QStringLiteral("capture-view-test"));
    ASSERT_TRUE(shown.show());
    QAction *command = shown.window.menuCommand(QStringLiteral("mnuclipboard"));
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), QStringLiteral("&Screen Capture"));
    prompts.clear();
    prompts.expectError();
    command->trigger();
    ASSERT_TRUE(waitFor([&] { return !prompts.messages.isEmpty(); }));
    EXPECT_TRUE(
        prompts.lastMessage().text.startsWith(QStringLiteral("Screen Capture needs a display")))
        << prompts.lastMessage().text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("screen.bmp"))));
}

// Takes the picture of the program's own windows, and notes what was on the
// screen at that moment: an open menu, and whether the main window had been
// drawn again since the File menu closed.
class WatchingScreen final : public ScreenGrabber {
public:
    std::optional<ScreenPicture> grabDesktop() override {
        ++grabs;
        popupOpen = QApplication::activePopupWidget() != nullptr;
        menuShown = menu && menu->isVisible();
        drawnSinceMenuClosed = paintedAfterMenu;
        const QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB888);
        ScreenPicture picture{shot.width(), shot.height(), {}};
        for (int y = 0; y < shot.height(); ++y)
            picture.rgb.append(reinterpret_cast<const char *>(shot.constScanLine(y)),
                               shot.width() * 3);
        return picture;
    }

    QWidget *window = nullptr;
    QMenu *menu = nullptr;
    bool paintedAfterMenu = false;
    int grabs = 0;
    bool popupOpen = true;
    bool menuShown = true;
    bool drawnSinceMenuClosed = false;
};

// Follows the File menu closing and the main window being drawn after it.
class PaintWatch final : public QObject {
public:
    PaintWatch(WatchingScreen &screen)
        : m_screen(screen) {}
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == m_screen.menu && event->type() == QEvent::Hide)
            m_menuClosed = true;
        if (m_menuClosed && event->type() == QEvent::Paint &&
            static_cast<QWidget *>(watched)->window() == m_screen.window)
            m_screen.paintedAfterMenu = true;
        return false;
    }

private:
    WatchingScreen &m_screen;
    bool m_menuClosed = false;
};

// The command chosen from the open File menu: the picture is taken once
// the menu has closed and the window under it has been drawn again, not of
// the menu itself.
TEST_F(ScreenCaptureViewTest, ThePictureIsTakenOnceTheFileMenuHasClosed) {
    WatchingScreen watching;
    Module withScreen(settings(),
                      Ports{prompts, clipboard, programs, clock, keys, printer, watching});
    ShownWindow shown(withScreen, club, QStringLiteral("capture-menu-test"));
    ASSERT_TRUE(shown.show());
    MainWindow &window = shown.window;
    auto *file = window.findChild<QMenu *>(QStringLiteral("mnufile"));
    ASSERT_TRUE(file);
    watching.window = &window;
    watching.menu = file;
    PaintWatch watch(watching);
    file->installEventFilter(&watch);
    for (QWidget *widget : window.findChildren<QWidget *>())
        widget->installEventFilter(&watch);
    window.installEventFilter(&watch);

    window.menuBar()->setActiveAction(file->menuAction());
    ASSERT_TRUE(waitFor([&] { return file->isVisible(); }));
    QAction *command = window.menuCommand(QStringLiteral("mnuclipboard"));
    const qsizetype startedBefore = programs.started.size();
    QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(command).center());
    EXPECT_EQ(watching.grabs, 0) << "not while the menu is still on the screen";

    ASSERT_TRUE(waitFor([&] { return watching.grabs == 1; }));
    EXPECT_FALSE(watching.popupOpen);
    EXPECT_FALSE(watching.menuShown);
    EXPECT_TRUE(watching.drawnSinceMenuClosed);
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("screen.bmp"))));
    EXPECT_EQ(programs.started.size(), startedBefore + 1) << "the viewer opens the picture";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
    shown.logic.QueryUnloadMainWindow();
}

} // namespace
