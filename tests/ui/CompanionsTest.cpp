#include "ClubFixture.h"
#include "WaitFor.h"
#include "ports/QtPrograms.h"
#include "ports/ReportLauncher.h"
#include "ui/companions/StandIns.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using WindowState = Programs::WindowState;

// Modal windows block the test, so a timer looks at the modal window once it
// is up, then closes it.
void closeModalWhenShown(std::function<void(QWidget *)> inspect = {}) {
    auto *poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        poll->stop();
        poll->deleteLater();
        if (inspect)
            inspect(modal);
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    });
    poll->start();
}

class CompanionsTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }

    void SetUp() override {
        ClubFixture::SetUp();
        signIn(99);
        module->session.SysUser = 105;
        programsInClub = std::make_unique<QtPrograms>(club);
        registerStandIns(standIns(), *module, nullptr);
    }
    void TearDown() override {
        for (QWidget *window : QApplication::topLevelWidgets())
            window->close();
        EXPECT_TRUE(waitFor([this] {
            return !window(u"acctsift"_s) && !window(u"vrnedit"_s) && !window(u"mspaint"_s) &&
                   !mailforge();
        }));
        programsInClub.reset();
        ClubFixture::TearDown();
    }

    // The visible companion window of that name.
    QWidget *window(const QString &name) {
        for (QWidget *candidate : QApplication::topLevelWidgets())
            if (candidate->objectName() == name && candidate->isVisible())
                return candidate;
        return nullptr;
    }
    template <typename T> T *control(QWidget *window, const QString &name) {
        return window ? window->findChild<T *>(name) : nullptr;
    }
    void write(const QString &name, const QByteArray &bytes) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QtPrograms &standIns() { return *programsInClub; }

    // The operator's work copy filled as the Email Generator fills it, held
    // while the companion starts.
    std::unique_ptr<ReportWorkCopy> selectEvents(const QList<QVariantList> &rows) {
        auto work = ReportLauncher(*module).PrepareReportDatabase();
        EXPECT_TRUE(work);
        if (!work)
            return work;
        const Status added = work->append(
            u"master"_s,
            {u"acctnumber"_s, u"fname"_s, u"lname"_s, u"email1"_s, u"email2"_s, u"email3"_s}, rows);
        EXPECT_TRUE(added) << (added ? "" : added.error().description.toStdString());
        return work;
    }
    static QVariantList event(double number, const QString &fname, const QString &lname,
                              const QString &email) {
        return {number, fname.leftJustified(15), lname.leftJustified(20), email, email, email};
    }

    QWidget *mailforge() { return window(u"mailforge"_s); }
    template <typename T> T *control(const QString &name) { return control<T>(mailforge(), name); }
    QString label(const QString &name) {
        auto *shown = control<QLabel>(name);
        return shown && shown->isVisible() ? shown->text() : QString();
    }
    QStringList row(int r) {
        QStringList cells;
        auto *table = control<QTableWidget>(u"gridlist"_s);
        for (int c = 0; table && c < table->columnCount(); ++c)
            cells << (table->item(r, c) ? table->item(r, c)->text() : QString());
        return cells;
    }

    std::unique_ptr<QtPrograms> programsInClub;
};

TEST_F(CompanionsTest, EveryCompanionHasAStandIn) {
    for (const char *name : {"acctsift", "staffsift", "datesift", "vrnohelp", "vrnedit", "quelvi32",
                             "prenvo", "mspaint", "mailforge"})
        EXPECT_TRUE(standIns().exists(QString::fromLatin1(name).toUpper() + ".EXE")) << name;
    EXPECT_FALSE(standIns().exists(u"pkzip25.exe"_s));
    // The help stand-in answers through the clipboard.
    EXPECT_TRUE(
        standIns().start(u"vrnohelp.exe"_s, {u"manual-MORAVEL.pdf"_s}, WindowState::Maximized));
    EXPECT_EQ(clipboard.content, u"NOHELP"_s);
}

TEST_F(CompanionsTest, AccountLookupLeavesTheChosenNumber) {
    ASSERT_TRUE(standIns().start(u"acctsift.exe"_s, {}, WindowState::Normal));
    QPointer<QWidget> sift = window(u"acctsift"_s);
    ASSERT_TRUE(sift);
    auto *table = control<QTableWidget>(sift, u"gridresults"_s);
    auto *search = control<QLineEdit>(sift, u"txtsearch"_s);
    ASSERT_TRUE(table && search);
    EXPECT_EQ(table->rowCount(), 27) << "every account of the demo club";

    search->setText(u"PATEL"_s);
    emit search->returnPressed();
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), u"1041.00"_s);
    EXPECT_EQ(table->item(0, 1)->text(), u"Patel, Anil"_s);

    // The typing pause runs the search by itself.
    search->setText(u"kowalski"_s);
    ASSERT_TRUE(waitFor([&] { return table->item(0, 0)->text() == "1066.00"; }));
    EXPECT_EQ(table->item(0, 3)->text(), u"TERMINATED"_s);

    control<QPushButton>(sift, u"cmdselect"_s)->click();
    EXPECT_EQ(clipboard.content, u"1066.00"_s);
    EXPECT_TRUE(waitFor([&] { return sift.isNull(); }));

    // A double-click chooses as well; a maximized start opens maximized.
    standIns().start(u"acctsift"_s, {}, WindowState::Maximized);
    sift = window(u"acctsift"_s);
    ASSERT_TRUE(sift);
    EXPECT_TRUE(sift->isMaximized());
    search = control<QLineEdit>(sift, u"txtsearch"_s);
    search->setText(u"2501"_s);
    emit search->returnPressed();
    table = control<QTableWidget>(sift, u"gridresults"_s);
    ASSERT_EQ(table->rowCount(), 1);
    emit table->cellDoubleClicked(0, 1);
    EXPECT_EQ(clipboard.content, u"2501.00"_s);
    EXPECT_TRUE(waitFor([&] { return sift.isNull(); }));
}

TEST_F(CompanionsTest, AccountLookupWithoutTheDatabaseSaysSoInTheWindow) {
    removeDatabase(u"master"_s);
    standIns().start(u"acctsift"_s, {}, WindowState::Normal);
    QWidget *sift = window(u"acctsift"_s);
    ASSERT_TRUE(sift);
    auto *message = control<QLabel>(sift, u"lblmessage"_s);
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->isVisible());
    EXPECT_TRUE(message->text().startsWith(u"The member accounts cannot be read."_s));
    EXPECT_EQ(control<QTableWidget>(sift, u"gridresults"_s)->rowCount(), 0);
    EXPECT_FALSE(control<QPushButton>(sift, u"cmdselect"_s)->isEnabled());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(CompanionsTest, StaffAndDateLookupsLeaveTheirTexts) {
    standIns().start(u"staffsift"_s, {}, WindowState::Normal);
    QPointer<QWidget> staff = window(u"staffsift"_s);
    ASSERT_TRUE(staff);
    auto *search = control<QLineEdit>(staff, u"txtsearch"_s);
    search->setText(u"lutz"_s);
    emit search->returnPressed();
    auto *table = control<QTableWidget>(staff, u"gridresults"_s);
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 2)->text(), u"Inactive"_s);
    control<QPushButton>(staff, u"cmdselect"_s)->click();
    EXPECT_EQ(clipboard.content, u"110"_s);
    EXPECT_TRUE(waitFor([&] { return staff.isNull(); }));

    standIns().start(u"datesift"_s, {}, WindowState::Normal);
    QPointer<QWidget> dates = window(u"datesift"_s);
    ASSERT_TRUE(dates);
    auto *calendar = control<QCalendarWidget>(dates, u"calendar"_s);
    ASSERT_TRUE(calendar);
    EXPECT_EQ(calendar->selectedDate(), clock.today());
    calendar->setSelectedDate(QDate(2027, 3, 5));
    control<QPushButton>(dates, u"cmdselect"_s)->click();
    EXPECT_EQ(clipboard.content, u"20270305"_s);
    EXPECT_TRUE(waitFor([&] { return dates.isNull(); }));
}

TEST_F(CompanionsTest, HelpTextsAreReadOnlyBelowTheSecondThreshold) {
    module->session.AccessThresholds = {0, 10, 20, 30};
    write(u"evnt-1.txt"_s, "Main window help\n");

    module->session.UserLevel = 19;
    standIns().start(u"vrnedit.exe"_s, {u"evnt-1.txt"_s}, WindowState::Normal);
    QPointer<QWidget> viewer = window(u"vrnedit"_s);
    ASSERT_TRUE(viewer);
    auto *text = control<QPlainTextEdit>(viewer, u"Text1"_s);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->toPlainText(), u"Main window help\n"_s);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_FALSE(control<QPushButton>(viewer, u"cmdsave"_s)->isVisible());
    viewer->close();
    ASSERT_TRUE(waitFor([&] { return viewer.isNull(); }));

    module->session.UserLevel = 20;
    standIns().start(u"vrnedit.exe"_s, {u"evnt-1.txt"_s}, WindowState::Normal);
    viewer = window(u"vrnedit"_s);
    ASSERT_TRUE(viewer);
    text = control<QPlainTextEdit>(viewer, u"Text1"_s);
    auto *save = control<QPushButton>(viewer, u"cmdsave"_s);
    EXPECT_FALSE(text->isReadOnly());
    EXPECT_TRUE(save->isVisible());
    EXPECT_FALSE(save->isEnabled());
    text->setPlainText(u"Main window help, revised\n"_s);
    text->document()->setModified(true);
    ASSERT_TRUE(save->isEnabled());
    save->click();
    QFile file(path(u"evnt-1.txt"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "Main window help, revised\n");
    EXPECT_FALSE(save->isEnabled());
    EXPECT_EQ(control<QLabel>(viewer, u"lblnote"_s)->text(), u"evnt-1.txt saved."_s);
}

TEST_F(CompanionsTest, MissingHelpTextShowsAnEmptyViewerWithANote) {
    QFile::remove(path(u"evnt-3.txt"_s));
    standIns().start(u"vrnedit"_s, {u"evnt-3.txt"_s}, WindowState::Normal);
    QWidget *viewer = window(u"vrnedit"_s);
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(control<QPlainTextEdit>(viewer, u"Text1"_s)->toPlainText().isEmpty());
    EXPECT_TRUE(control<QLabel>(viewer, u"lblnote"_s)->text().contains("evnt-3.txt"));
}

TEST_F(CompanionsTest, InfoBoxIsModalAndReturnsZero) {
    QString shown;
    QString title;
    closeModalWhenShown([&](QWidget *modal) {
        title = modal->windowTitle();
        if (auto *info = modal->findChild<QLabel *>(u"lblinfo"_s))
            shown = info->text();
    });
    const int exitCode = standIns().runAndWait(u"quelvi32.exe"_s,
                                               {u"DEMO@moravel"_s, u"21.12.28a     SysUser: 1"_s});
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(shown, u"DEMO@moravel 21.12.28a     SysUser: 1"_s);
    EXPECT_EQ(title, u"About Moravel"_s);
}

TEST_F(CompanionsTest, PrinterSetUpReturnsZero) {
    bool seen = false;
    closeModalWhenShown([&](QWidget *) { seen = true; });
    EXPECT_EQ(standIns().runAndWait(u"prenvo.exe"_s, {}), 0);
    EXPECT_TRUE(seen);
}

TEST_F(CompanionsTest, PictureViewerShowsTheCaptureOrANote) {
    QImage capture(64, 48, QImage::Format_RGB32);
    capture.fill(Qt::darkCyan);
    ASSERT_TRUE(capture.save(path(u"screen.bmp"_s), "BMP"));
    // The caller names it the suite's way: the club folder, a backslash, the name.
    standIns().start(u"mspaint.exe"_s, {club + u"\\screen.bmp"_s}, WindowState::Normal);
    QPointer<QWidget> viewer = window(u"mspaint"_s);
    ASSERT_TRUE(viewer);
    auto *picture = control<QLabel>(viewer, u"picture"_s);
    ASSERT_TRUE(picture);
    EXPECT_FALSE(picture->pixmap().isNull());
    EXPECT_TRUE(control<QPushButton>(viewer, u"cmdprint"_s)->isEnabled());
    control<QPushButton>(viewer, u"cmdclose"_s)->click();
    EXPECT_TRUE(waitFor([&] { return viewer.isNull(); }));

    standIns().start(u"mspaint"_s, {u"nothing.bmp"_s}, WindowState::Normal);
    viewer = window(u"mspaint"_s);
    ASSERT_TRUE(viewer);
    EXPECT_FALSE(control<QPushButton>(viewer, u"cmdprint"_s)->isEnabled());
    EXPECT_EQ(control<QLabel>(viewer, u"lblnote"_s)->text(), u"nothing.bmp was not found."_s);
}

TEST_F(CompanionsTest, ShowsTheSelectedEventsSavesTheCsvAndCopiesTheAddresses) {
    auto work = selectEvents({event(1017, "Westmoreland Ho", "spitality Group Inc.", "no-at-sign"),
                              event(1002, "Smith, John", "", "john@smith.com"),
                              event(1009, "Ann Lee", "", "ann@example.org"),
                              event(1004, "Bob Hart", "", ""),
                              event(1011, "Ann Lee-Porter", "", "ANN@example.org")});
    ASSERT_TRUE(work);
    EXPECT_EQ(work->fileName(), u"rpt05.mdb"_s);

    ASSERT_TRUE(standIns().start(u"mailforge.exe"_s, {work->fileName()}, WindowState::Maximized));
    QWidget *window = mailforge();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(window->windowTitle(), u"Email Generator"_s);

    auto *table = control<QTableWidget>(u"gridlist"_s);
    ASSERT_TRUE(table);
    ASSERT_EQ(table->rowCount(), 5);
    EXPECT_EQ(row(0), (QStringList{"Smith, John", "john@smith.com", "1002"}));
    EXPECT_EQ(row(1), (QStringList{"Bob Hart", "(no usable address)", "1004"}));
    EXPECT_EQ(row(4), (QStringList{"Westmoreland Hospitality Group Inc.",
                                   "no-at-sign  (no usable address)", "1017"}));
    EXPECT_EQ(label(u"lblcounts"_s),
              u"5 events, 2 addresses, 2 events without a usable address: 1004, "
              "1017"_s);

    const QString csv = path(u"email05.csv"_s);
    EXPECT_EQ(label(u"lblsaved"_s), u"Saved as %1"_s.arg(QDir::toNativeSeparators(csv)));
    EXPECT_TRUE(QFile::exists(csv)); // its bytes are the mail list's rule
    EXPECT_TRUE(label(u"lblnote"_s).startsWith("Nothing is sent from here"));

    auto *copy = control<QPushButton>(u"cmdcopy"_s);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->accessibleName(), u"Copy addresses"_s);
    copy->click();
    EXPECT_EQ(clipboard.content, u"\"Smith, John\" <john@smith.com>, Ann Lee <ann@example.org>"_s);
    EXPECT_EQ(label(u"lblmessage"_s), u"2 addresses copied."_s);

    QPointer<QWidget> closing = window;
    control<QPushButton>(u"cmdclose"_s)->click();
    EXPECT_TRUE(waitFor([&] { return closing.isNull(); }));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(CompanionsTest, AMissingWorkDatabaseIsShownInTheWindow) {
    // A path with blanks arrives split; it is joined before it is looked for.
    const QString missing = QDir(club).filePath(u"old lists/rpt05.mdb"_s);
    ASSERT_TRUE(standIns().start(u"mailforge"_s, missing.split(' '), WindowState::Normal));
    ASSERT_TRUE(mailforge());
    EXPECT_EQ(label(u"lblmessage"_s),
              u"The e-mail list cannot be made.\nThe work database %1 was not found."_s.arg(
                  QDir::toNativeSeparators(missing)));
    EXPECT_EQ(control<QTableWidget>(u"gridlist"_s)->rowCount(), 0);
    EXPECT_FALSE(control<QPushButton>(u"cmdcopy"_s)->isEnabled());
    EXPECT_TRUE(label(u"lblsaved"_s).isEmpty());
    EXPECT_FALSE(QFile::exists(path(u"email05.csv"_s)));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
