#include "ClubFixture.h"
#include "ViewTest.h"
#include "WaitFor.h"
#include "ports/QtPrograms.h"
#include "ports/ReportLauncher.h"
#include "ui/companions/StandIns.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using WindowState = Programs::WindowState;

// The companion programs' stand-in windows: each leaves its answer where
// the suite looks for it and closes by its buttons. What they list is the
// look-ups' and the mail list's rule.
class CompanionsTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }

    void SetUp() override {
        ClubFixture::SetUp();
        signIn(99);
        module->session.SysUser = 105; // whose work copy is rpt05.mdb
        programsInClub = std::make_unique<QtPrograms>(club);
        registerStandIns(*programsInClub, *module, nullptr);
    }
    void TearDown() override {
        for (QWidget *window : QApplication::topLevelWidgets())
            window->close();
        programsInClub.reset();
        ClubFixture::TearDown();
    }

    // Starts the companion and gives its window once it shows.
    QPointer<QWidget> start(const QString &name, const QStringList &arguments = {},
                            WindowState state = WindowState::Normal) {
        EXPECT_TRUE(programsInClub->start(name + u".exe"_s, arguments, state))
            << name.toStdString();
        for (QWidget *candidate : QApplication::topLevelWidgets())
            if (candidate->objectName() == name && candidate->isVisible())
                return candidate;
        ADD_FAILURE() << name.toStdString() << " did not show";
        return nullptr;
    }
    std::unique_ptr<QtPrograms> programsInClub;
};

// Enter searches; a double-click leaves the account number on the
// clipboard and closes.
TEST_F(CompanionsTest, AccountLookupLeavesTheChosenNumber) {
    QPointer<QWidget> sift = start(u"acctsift"_s);
    ASSERT_TRUE(sift);
    auto *table = child<QTableWidget>(*sift, u"gridresults"_s);
    EXPECT_EQ(table->rowCount(), 27) << "every account of the demo club";
    child<QLineEdit>(*sift, u"txtsearch"_s)->setText(u"PATEL"_s);
    emit child<QLineEdit>(*sift, u"txtsearch"_s)->returnPressed();
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 1)->text(), u"Patel, Anil"_s);
    emit table->cellDoubleClicked(0, 1);
    EXPECT_EQ(clipboard.content, u"1041.00"_s);
    EXPECT_TRUE(waitFor([&] { return sift.isNull(); }));
}

// The Email Generator shows the selected events, says where the list was
// saved and copies the addresses.
TEST_F(CompanionsTest, TheEmailGeneratorShowsSavesAndCopiesTheAddresses) {
    auto work = ReportLauncher(*module).PrepareReportDatabase();
    ASSERT_TRUE(work);
    const auto event = [](double number, const char *name, const char *email) {
        return QVariantList{
            number, QString::fromUtf8(name).leftJustified(15), QString(20, ' '), email, email,
            email};
    };
    ASSERT_TRUE(work->append(
        u"master"_s,
        {u"acctnumber"_s, u"fname"_s, u"lname"_s, u"email1"_s, u"email2"_s, u"email3"_s},
        {event(1002, "Smith, John", "john@smith.com"), event(1004, "Bob Hart", "")}));
    QPointer<QWidget> window = start(u"mailforge"_s, {work->fileName()}, WindowState::Maximized);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(window->windowTitle(), u"Email Generator"_s);
    EXPECT_EQ(child<QTableWidget>(*window, u"gridlist"_s)->rowCount(), 2);
    EXPECT_EQ(child<QLabel>(*window, u"lblcounts"_s)->text(),
              u"2 events, 1 address, 1 event without a usable address: 1004"_s);
    EXPECT_EQ(child<QLabel>(*window, u"lblsaved"_s)->text(),
              u"Saved as %1"_s.arg(QDir::toNativeSeparators(path(u"email05.csv"_s))));
    child<QPushButton>(*window, u"cmdcopy"_s)->click();
    EXPECT_EQ(clipboard.content, u"\"Smith, John\" <john@smith.com>"_s);
    EXPECT_EQ(child<QLabel>(*window, u"lblmessage"_s)->text(), u"1 address copied."_s);
    child<QPushButton>(*window, u"cmdclose"_s)->click();
    EXPECT_TRUE(waitFor([&] { return window.isNull(); }));

    EXPECT_TRUE(prompts.messages.isEmpty());
}

// The picture viewer shows a capture scaled into its window, never larger
// than it is, and says which picture it could not show; Info shows the line
// its caller built, blanks and all.
TEST_F(CompanionsTest, ThePictureViewerAndInfoShowWhatTheyWereGiven) {
    QImage wide(2000, 1000, QImage::Format_RGB32);
    wide.fill(Qt::darkGreen);
    ASSERT_TRUE(wide.save(path(u"screen capture.png"_s)));
    QPointer<QWidget> viewer = start(u"mspaint"_s, {u"screen"_s, u"capture.png"_s});
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->windowTitle(), u"screen capture.png - Picture"_s);
    const QLabel *picture = child<QLabel>(*viewer, u"picture"_s);
    const QSize shown = picture->pixmap().size();
    EXPECT_LE(shown.width(), picture->width());
    EXPECT_LE(shown.height(), picture->height());
    EXPECT_NEAR(shown.width(), 2 * shown.height(), 2) << "the picture keeps its shape";
    EXPECT_TRUE(child<QPushButton>(*viewer, u"cmdprint"_s)->isEnabled());
    child<QPushButton>(*viewer, u"cmdclose"_s)->click();
    EXPECT_TRUE(waitFor([&] { return !viewer || !viewer->isVisible(); }));

    QImage small(50, 40, QImage::Format_RGB32);
    small.fill(Qt::white);
    ASSERT_TRUE(small.save(path(u"small.png"_s)));
    QFile damaged(path(u"damaged.png"_s));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x89PNG not a picture");
    damaged.close();
    const struct {
        const char *file, *note;
        bool printable;
    } pictures[] = {{"small.png", "", true},
                    {"damaged.png", "damaged.png cannot be shown: ", false},
                    {"missing.png", "missing.png was not found.", false}};
    for (const auto &p : pictures) {
        SCOPED_TRACE(p.file);
        QPointer<QWidget> window = start(u"mspaint"_s, {QString::fromLatin1(p.file)});
        ASSERT_TRUE(window);
        const QString note = child<QLabel>(*window, u"lblnote"_s)->text();
        EXPECT_EQ(note.left(qstrlen(p.note)), QString::fromLatin1(p.note)) << note.toStdString();
        EXPECT_EQ(child<QPushButton>(*window, u"cmdprint"_s)->isEnabled(), p.printable);
        if (p.printable) {
            EXPECT_EQ(child<QLabel>(*window, u"picture"_s)->pixmap().size(), QSize(50, 40))
                << "a small picture is not enlarged";
        }
        window->close();
    }

    QTimer::singleShot(0, [] {
        auto *info = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(info);
        EXPECT_EQ(info->objectName(), u"quelvi32"_s);
        EXPECT_EQ(info->windowTitle(), u"About Moravel"_s);
        EXPECT_EQ(child<QLabel>(*info, u"lblinfo"_s)->text(), u"DEMO  Moravel 1.0"_s);
        child<QPushButton>(*info, u"cmdok"_s)->click();
    });
    EXPECT_TRUE(programsInClub->start(u"quelvi32.exe"_s, {u"DEMO "_s, u"Moravel"_s, u"1.0"_s},
                                      WindowState::Normal));
}

} // namespace
