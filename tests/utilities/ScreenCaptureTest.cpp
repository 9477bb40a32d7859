#include "utilities/ScreenCapture.h"

#include "ClubFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
#endif

namespace {

// Three pixels wide, so each 9-byte row needs 3 bytes of padding; every
// channel distinct, so a swapped channel or row shows.
ScreenPicture threeByTwo() {
    return {3, 2,
            QByteArray::fromHex("0a141e 28323c 46505a" // top row
                                "646e78 828c96 a0aab4")};
}

ScreenPicture filled(int width, int height, char value) {
    return {width, height, QByteArray(qsizetype(width) * height * 3, value)};
}

quint32 dword(const QByteArray &bytes, qsizetype offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

quint16 word(const QByteArray &bytes, qsizetype offset) {
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ScreenCaptureTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        capture = std::make_unique<ScreenCapture>(*module);
    }
    void TearDown() override {
        capture.reset();
        ClubFixture::TearDown();
    }

    QString picturePath() const { return path(u"screen.bmp"_s); }
    QString viewerStart() const { return u"mspaint.exe "_s + club + u"\\screen.bmp"_s; }
    void writeEarlierPicture() {
        earlier = ScreenCapture::bitmapFile(filled(2, 2, '\x55'));
        QFile file(picturePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(earlier), earlier.size());
    }
    // What is left of the capture in the club directory, temporaries included.
    QStringList captureFiles() const {
        return QDir(club).entryList({u"screen.bmp*"_s}, QDir::AllEntries);
    }
    void expectUhOh(const QString &beginning) {
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(beginning))
            << prompts.lastMessage().text.toStdString();
        EXPECT_EQ(prompts.lastMessage().title, u"Uh-oh..."_s);
        EXPECT_EQ(prompts.lastMessage().icon, Icon::Information);
    }
    // The message names the file and gives the reason after it.
    void expectSaveFailure() {
        const QString beginning = u"The screen picture could not be saved as %1: "_s.arg(
            QDir::toNativeSeparators(picturePath()));
        expectUhOh(beginning);
        const QString reason = prompts.lastMessage().text.mid(beginning.size()).trimmed();
        EXPECT_FALSE(reason.isEmpty() || reason == QLatin1String("Unknown error"))
            << "the system's reason: " << reason.toStdString();
    }
    void expectNothingOpenedAndAllClear() {
        EXPECT_TRUE(programs.started.isEmpty()) << programs.started.join(u'|').toStdString();
        EXPECT_TRUE(clipboard.content.isEmpty());
        EXPECT_EQ(prompts.busyDepth, 0);
    }

    std::unique_ptr<ScreenCapture> capture;
    QByteArray earlier;
};

TEST(ScreenCaptureBitmap, HeadersAndRowsFollowTheWindowsLayout) {
    const QByteArray bitmap = ScreenCapture::bitmapFile(threeByTwo());
    ASSERT_EQ(bitmap.size(), 54 + 2 * 12);
    EXPECT_EQ(bitmap.left(2), QByteArray("BM"));
    struct Field {
        const char *name;
        qsizetype offset;
        quint32 value;
        bool isWord;
    };
    for (const Field &field :
         {Field{"file size", 2, 78, false}, Field{"reserved", 6, 0, false},
          Field{"pixel offset", 10, 54, false}, Field{"info header size", 14, 40, false},
          Field{"width", 18, 3, false}, Field{"height, bottom-up", 22, 2, false},
          Field{"planes", 26, 1, true}, Field{"bits per pixel", 28, 24, true},
          Field{"compression", 30, 0, false}, Field{"image size", 34, 24, false},
          Field{"horizontal resolution", 38, 2835, false},
          Field{"vertical resolution", 42, 2835, false}, Field{"colours used", 46, 0, false},
          Field{"important colours", 50, 0, false}}) {
        const quint32 stored =
            field.isWord ? word(bitmap, field.offset) : dword(bitmap, field.offset);
        EXPECT_EQ(stored, field.value) << field.name;
    }
    // The bottom row first, each pixel blue, green, red, rows padded to 12.
    EXPECT_EQ(bitmap.mid(54).toHex(' '), QByteArray("78 6e 64 96 8c 82 b4 aa a0 00 00 00 "
                                                    "1e 14 0a 3c 32 28 5a 50 46 00 00 00"));

    // Each row is padded to a multiple of four bytes, whatever the width.
    for (const auto &[width, rowBytes] : {std::pair{1, 4}, {2, 8}, {4, 12}, {5, 16}}) {
        const QByteArray sized = ScreenCapture::bitmapFile(filled(width, 3, '\x7f'));
        EXPECT_EQ(sized.size(), 54 + 3 * rowBytes) << "width " << width;
        EXPECT_EQ(dword(sized, 2), quint32(sized.size())) << "width " << width;
        EXPECT_EQ(dword(sized, 34), quint32(3 * rowBytes)) << "width " << width;
    }

    ScreenPicture truncated = threeByTwo();
    truncated.rgb.chop(1);
    EXPECT_TRUE(ScreenCapture::bitmapFile(truncated).isEmpty());
}

TEST_F(ScreenCaptureTest, EachCaptureReplacesThePictureAndOpensItMaximized) {
    clipboard.content = u"1042"_s;
    screen.picture = threeByTwo();
    capture->CaptureScreen();

    EXPECT_EQ(contents(picturePath()), ScreenCapture::bitmapFile(threeByTwo()));
    EXPECT_EQ(programs.started, QStringList{viewerStart()});
    EXPECT_EQ(programs.states, QList{Programs::WindowState::Maximized});
    EXPECT_TRUE(clipboard.content.isEmpty()) << "the clipboard is left empty";
    EXPECT_EQ(prompts.busyDepth, 0);
    EXPECT_TRUE(prompts.messages.isEmpty());

    screen.picture = filled(5, 4, '\x20');
    capture->CaptureScreen();
    EXPECT_EQ(contents(picturePath()), ScreenCapture::bitmapFile(filled(5, 4, '\x20')));
    EXPECT_EQ(programs.started, QStringList(2, viewerStart()));
    EXPECT_EQ(captureFiles(), QStringList{u"screen.bmp"_s});
    EXPECT_EQ(screen.grabs, 2);
    EXPECT_EQ(prompts.busyDepth, 0);
}

// The grab runs under the hourglass, with the clipboard already cleared.
class WatchedScreen final : public ScreenGrabber {
public:
    WatchedScreen(const ScriptedPrompts &prompts, const FakeClipboard &clipboard)
        : m_prompts(prompts)
        , m_clipboard(clipboard) {}
    std::optional<ScreenPicture> grabDesktop() override {
        busyDepth = m_prompts.busyDepth;
        clipboardText = m_clipboard.content;
        return threeByTwo();
    }

    int busyDepth = -1;
    QString clipboardText = u"(not grabbed)"_s;

private:
    const ScriptedPrompts &m_prompts;
    const FakeClipboard &m_clipboard;
};

TEST_F(ScreenCaptureTest, TheScreenIsGrabbedUnderTheHourglassWithTheClipboardClear) {
    WatchedScreen watched(prompts, clipboard);
    Module watchedModule(settings(),
                         Ports{prompts, clipboard, programs, clock, keys, printer, watched});
    clipboard.content = u"Grand Ballroom"_s;
    ScreenCapture(watchedModule).CaptureScreen();
    EXPECT_EQ(watched.busyDepth, 1);
    EXPECT_EQ(watched.clipboardText, QString());
    EXPECT_EQ(prompts.busyDepth, 0);
    EXPECT_EQ(programs.started.size(), 1);
}

TEST_F(ScreenCaptureTest, WithoutADisplayNothingIsSavedOrOpened) {
    const QString noDisplay = u"Screen Capture needs a display"_s;
    clipboard.content = u"1042"_s;
    prompts.expectError();
    capture->CaptureScreen();
    expectUhOh(noDisplay);
    EXPECT_TRUE(captureFiles().isEmpty());
    expectNothingOpenedAndAllClear();

    // An earlier capture stays as it was, and so it does for a picture that
    // does not add up to its size.
    writeEarlierPicture();
    ScreenPicture broken = threeByTwo();
    broken.rgb.chop(3);
    for (const std::optional<ScreenPicture> &picture : {std::optional<ScreenPicture>(), {broken}}) {
        prompts.clear();
        screen.picture = picture;
        prompts.expectError();
        capture->CaptureScreen();
        expectUhOh(noDisplay);
        EXPECT_EQ(contents(picturePath()), earlier);
        expectNothingOpenedAndAllClear();
    }
}

TEST_F(ScreenCaptureTest, AReadOnlyClubDirectoryKeepsTheEarlierPicture) {
    writeEarlierPicture();
    const QFile::Permissions writable = QFile::permissions(club);
    ASSERT_TRUE(QFile::setPermissions(club, QFile::ReadOwner | QFile::ExeOwner));
    QFile probe(path(u"probe.tmp"_s));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QFile::setPermissions(club, writable);
        GTEST_SKIP() << "this account writes into read-only directories";
    }

    screen.picture = threeByTwo();
    prompts.expectError();
    capture->CaptureScreen();
    QFile::setPermissions(club, writable);

    expectSaveFailure();
    EXPECT_EQ(contents(picturePath()), earlier);
    EXPECT_EQ(captureFiles(), QStringList{u"screen.bmp"_s});
    expectNothingOpenedAndAllClear();
}

#ifdef Q_OS_UNIX
// Files may grow no larger than a limit, as on a nearly full disk: writing
// fails part-way, where removing a file still works.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_previous;
        limited.rlim_cur = bytes;
        applied = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool applied = false;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

TEST_F(ScreenCaptureTest, AFullDiskKeepsTheEarlierPicture) {
    writeEarlierPicture();
    screen.picture = filled(64, 64, '\x33'); // about 12 KB
    prompts.expectError();
    {
        FileSizeLimit nearlyFull(1024);
        ASSERT_TRUE(nearlyFull.applied);
        capture->CaptureScreen();
    }
    expectSaveFailure();
    EXPECT_EQ(contents(picturePath()), earlier) << "the earlier picture is whole";
    EXPECT_EQ(captureFiles(), QStringList{u"screen.bmp"_s});
    expectNothingOpenedAndAllClear();
}
#endif

} // namespace
