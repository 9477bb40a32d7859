#include "ClubFixture.h"
#include "ShownWindow.h"
#include "ui/QtScreenGrabber.h"
#include "utilities/ScreenCapture.h"

#include <QAction>
#include <QFileInfo>
#include <QImage>

namespace {

class ScreenCaptureViewTest : public ClubFixture {};

// The offscreen platform has no display, as a session without one: the
// real command says so and leaves nothing behind.
TEST_F(ScreenCaptureViewTest, TheFileMenuCommandWithoutADisplayExplainsAndSavesNothing) {
    QtScreenGrabber realScreen;
    Module withScreen(settings(),
                      Ports{prompts, clipboard, programs, clock, keys, printer, realScreen});
    ShownWindow shown(withScreen, club, QStringLiteral("capture-view-test"));
    ASSERT_TRUE(shown.show());
    QAction *command = shown.window.menuCommand(QStringLiteral("mnuclipboard"));
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), QStringLiteral("Screen Capture"));

    prompts.clear();
    const QStringList startedBefore = programs.started;
    clipboard.content = QStringLiteral("1042");
    prompts.expectError();
    command->trigger();

    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(
        prompts.lastMessage().text.startsWith(QStringLiteral("Screen Capture needs a display")))
        << prompts.lastMessage().text.toStdString();
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Uh-oh..."));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("screen.bmp"))));
    EXPECT_EQ(programs.started, startedBefore) << "no viewer";
    EXPECT_TRUE(clipboard.content.isEmpty());
    EXPECT_EQ(prompts.busyDepth, 0);
}

// What the viewer shows is read by Qt's own bitmap reader, an independent
// judge of the file.
TEST(ScreenCaptureBitmapView, QtReadsTheBitmapBackPixelForPixel) {
    const ScreenPicture picture{3, 2,
                                QByteArray::fromHex("ff0000 00ff00 0000ff"
                                                    "102030 ffffff 000000")};
    QImage image;
    ASSERT_TRUE(image.loadFromData(ScreenCapture::bitmapFile(picture), "BMP"));
    ASSERT_EQ(image.size(), QSize(3, 2));
    const QList<QColor> expected{Qt::red,   Qt::green, Qt::blue, QColor(0x10, 0x20, 0x30),
                                 Qt::white, Qt::black};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(image.pixelColor(x, y), expected[y * 3 + x]) << x << "," << y;
}

} // namespace
