#include "utilities/ScreenCapture.h"

#include "ClubFixture.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// Three pixels wide, so each 9-byte row needs 3 bytes of padding; every
// channel distinct, so a swapped channel or row shows.
ScreenPicture threeByTwo() {
    return {3, 2, QByteArray::fromHex("0a141e 28323c 46505a 646e78 828c96 a0aab4")};
}

ScreenPicture filled(int width, int height, char value) {
    return {width, height, QByteArray(qsizetype(width) * height * 3, value)};
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ScreenCaptureBitmap, HeadersAndRowsFollowTheWindowsLayout) {
    EXPECT_EQ(ScreenCapture::bitmapFile(threeByTwo()).toHex(' '),
              QByteArray("42 4d 4e 00 00 00 00 00 00 00 36 00 00 00 " // BM, 78 bytes, pixels at 54
                         "28 00 00 00 03 00 00 00 02 00 00 00 "       // 40, 3 wide, 2 bottom-up
                         "01 00 18 00 00 00 00 00 18 00 00 00 " // 1 plane, 24 bits, 24 image bytes
                         "13 0b 00 00 13 0b 00 00 00 00 00 00 00 00 00 00 " // 72 dpi; no palette
                         // The bottom row first, each pixel blue, green, red, rows padded to 12.
                         "78 6e 64 96 8c 82 b4 aa a0 00 00 00 "
                         "1e 14 0a 3c 32 28 5a 50 46 00 00 00"));
    // Each row is padded to a multiple of four bytes, whatever the width.
    for (const auto &[width, rowBytes] : {std::pair{1, 4}, {2, 8}, {4, 12}, {5, 16}})
        EXPECT_EQ(ScreenCapture::bitmapFile(filled(width, 3, '\x7f')).size(), 54 + 3 * rowBytes);
    ScreenPicture truncated = threeByTwo();
    truncated.rgb.chop(1);
    EXPECT_TRUE(ScreenCapture::bitmapFile(truncated).isEmpty());
}

class ScreenCaptureTest : public ClubFixture {
protected:
    QString picturePath() const { return path(u"screen.bmp"_s); }
    void writeEarlierPicture() {
        earlier = ScreenCapture::bitmapFile(filled(2, 2, '\x55'));
        QFile file(picturePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(earlier) == earlier.size());
    }
    // The capture's files in the club directory, temporaries included.
    QStringList captureFiles() const { return QDir(club).entryList({u"screen.bmp*"_s}); }
    void expectUhOh(const QString &beginning) {
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(beginning))
            << prompts.lastMessage().text.toStdString();
        EXPECT_EQ(prompts.lastMessage().title, u"Uh-oh..."_s);
        EXPECT_EQ(prompts.lastMessage().icon, Icon::Information);
    }
    void expectNothingOpenedAndAllClear() {
        EXPECT_TRUE(programs.started.isEmpty()) << programs.started.join(u'|').toStdString();
        EXPECT_TRUE(clipboard.content.isEmpty());
        EXPECT_EQ(prompts.busyDepth, 0);
    }

    QByteArray earlier;
};

// Each capture is grabbed under the hourglass with the clipboard already
// cleared, replaces the picture and opens it maximized.
TEST_F(ScreenCaptureTest, EachCaptureReplacesThePictureAndOpensItMaximized) {
    struct WatchedScreen final : ScreenGrabber {
        explicit WatchedScreen(FakeOperator &fakes)
            : seen(fakes) {}
        std::optional<ScreenPicture> grabDesktop() override {
            busyDepth = seen.prompts.busyDepth;
            clipboardText = seen.clipboard.content;
            return seen.screen.grabDesktop();
        }
        FakeOperator &seen;
        int busyDepth = -1;
        QString clipboardText = u"(not grabbed)"_s;
    } watched(*this);
    Module watchedModule(settings(),
                         Ports{prompts, clipboard, programs, clock, keys, printer, watched});
    ScreenCapture capture(watchedModule);
    const QString viewerStart = u"mspaint.exe "_s + club + u"\\screen.bmp"_s;
    clipboard.content = u"1042"_s;
    screen.picture = threeByTwo();
    capture.CaptureScreen();
    EXPECT_EQ(watched.busyDepth, 1);
    EXPECT_EQ(watched.clipboardText, QString());
    EXPECT_EQ(contents(picturePath()), ScreenCapture::bitmapFile(threeByTwo()));
    EXPECT_EQ(programs.started, QStringList{viewerStart});
    EXPECT_EQ(programs.states, QList{Programs::WindowState::Maximized});
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(clipboard.content.isEmpty()) << "the clipboard is left empty";

    screen.picture = filled(5, 4, '\x20');
    capture.CaptureScreen();
    EXPECT_EQ(contents(picturePath()), ScreenCapture::bitmapFile(filled(5, 4, '\x20')));
    EXPECT_EQ(programs.started, QStringList(2, viewerStart));
    EXPECT_EQ(captureFiles(), QStringList{u"screen.bmp"_s});
    EXPECT_EQ(prompts.busyDepth, 0);
}

// Without a picture, or with one that does not add up to its size, an
// earlier capture stays as it was.
TEST_F(ScreenCaptureTest, WithoutADisplayNothingIsSavedOrOpened) {
    ScreenPicture broken = threeByTwo();
    broken.rgb.chop(3);
    for (const std::optional<ScreenPicture> &picture : {std::optional<ScreenPicture>(), {broken}}) {
        prompts.clear();
        clipboard.content = u"1042"_s;
        screen.picture = picture;
        prompts.expectError();
        ScreenCapture(*module).CaptureScreen();
        expectUhOh(u"Screen Capture needs a display"_s);
        EXPECT_EQ(contents(picturePath()), earlier);
        expectNothingOpenedAndAllClear();
        writeEarlierPicture();
    }
}

// Files may grow no larger than a limit, as on a nearly full disk: the save
// stops before it is whole, and the message names the file and the system's reason.
TEST_F(ScreenCaptureTest, AFullDiskKeepsTheEarlierPicture) {
    writeEarlierPicture();
    screen.picture = filled(64, 64, '\x33'); // about 12 KB
    prompts.expectError();
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit nearlyFull = previous;
    nearlyFull.rlim_cur = 1024;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    const bool limited = setrlimit(RLIMIT_FSIZE, &nearlyFull) == 0;
    if (limited)
        ScreenCapture(*module).CaptureScreen();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);
    ASSERT_TRUE(limited);

    const QString beginning = u"The screen picture could not be saved as %1: "_s.arg(
        QDir::toNativeSeparators(picturePath()));
    expectUhOh(beginning);
    const QString reason = prompts.lastMessage().text.mid(beginning.size()).trimmed();
    EXPECT_FALSE(reason.isEmpty() || reason == u"Unknown error"_s) << reason.toStdString();
    EXPECT_EQ(contents(picturePath()), earlier) << "the earlier picture is whole";
    EXPECT_EQ(captureFiles(), QStringList{u"screen.bmp"_s});
    expectNothingOpenedAndAllClear();
}

} // namespace
