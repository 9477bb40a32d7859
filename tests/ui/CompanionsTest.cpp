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
            return !window(QStringLiteral("acctsift")) && !window(QStringLiteral("vrnedit")) &&
                   !window(QStringLiteral("mspaint")) && !mailforge();
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
        const Status added = work->append(QStringLiteral("master"),
                                          {QStringLiteral("acctnumber"), QStringLiteral("fname"),
                                           QStringLiteral("lname"), QStringLiteral("email1"),
                                           QStringLiteral("email2"), QStringLiteral("email3")},
                                          rows);
        EXPECT_TRUE(added) << (added ? "" : added.error().description.toStdString());
        return work;
    }
    static QVariantList event(double number, const QString &fname, const QString &lname,
                              const QString &email) {
        return {number, fname.leftJustified(15), lname.leftJustified(20), email, email, email};
    }

    QWidget *mailforge() { return window(QStringLiteral("mailforge")); }
    template <typename T> T *control(const QString &name) { return control<T>(mailforge(), name); }
    QString label(const QString &name) {
        auto *shown = control<QLabel>(name);
        return shown && shown->isVisible() ? shown->text() : QString();
    }
    QStringList row(int r) {
        QStringList cells;
        auto *table = control<QTableWidget>(QStringLiteral("gridlist"));
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
    EXPECT_FALSE(standIns().exists(QStringLiteral("pkzip25.exe")));
    // The help stand-in answers through the clipboard.
    EXPECT_TRUE(standIns().start(QStringLiteral("vrnohelp.exe"),
                                 {QStringLiteral("manual-MORAVEL.pdf")}, WindowState::Maximized));
    EXPECT_EQ(clipboard.content, QStringLiteral("NOHELP"));
}

TEST_F(CompanionsTest, AccountLookupLeavesTheChosenNumber) {
    ASSERT_TRUE(standIns().start(QStringLiteral("acctsift.exe"), {}, WindowState::Normal));
    QPointer<QWidget> sift = window(QStringLiteral("acctsift"));
    ASSERT_TRUE(sift);
    auto *table = control<QTableWidget>(sift, QStringLiteral("gridresults"));
    auto *search = control<QLineEdit>(sift, QStringLiteral("txtsearch"));
    ASSERT_TRUE(table && search);
    EXPECT_EQ(table->rowCount(), 27) << "every account of the demo club";

    search->setText(QStringLiteral("PATEL"));
    emit search->returnPressed();
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("1041.00"));
    EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("Patel, Anil"));

    // The typing pause runs the search by itself.
    search->setText(QStringLiteral("kowalski"));
    ASSERT_TRUE(waitFor([&] { return table->item(0, 0)->text() == "1066.00"; }));
    EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("TERMINATED"));

    control<QPushButton>(sift, QStringLiteral("cmdselect"))->click();
    EXPECT_EQ(clipboard.content, QStringLiteral("1066.00"));
    EXPECT_TRUE(waitFor([&] { return sift.isNull(); }));

    // A double-click chooses as well; a maximized start opens maximized.
    standIns().start(QStringLiteral("acctsift"), {}, WindowState::Maximized);
    sift = window(QStringLiteral("acctsift"));
    ASSERT_TRUE(sift);
    EXPECT_TRUE(sift->isMaximized());
    search = control<QLineEdit>(sift, QStringLiteral("txtsearch"));
    search->setText(QStringLiteral("2501"));
    emit search->returnPressed();
    table = control<QTableWidget>(sift, QStringLiteral("gridresults"));
    ASSERT_EQ(table->rowCount(), 1);
    emit table->cellDoubleClicked(0, 1);
    EXPECT_EQ(clipboard.content, QStringLiteral("2501.00"));
    EXPECT_TRUE(waitFor([&] { return sift.isNull(); }));
}

TEST_F(CompanionsTest, AccountLookupWithoutTheDatabaseSaysSoInTheWindow) {
    removeDatabase(QStringLiteral("master"));
    standIns().start(QStringLiteral("acctsift"), {}, WindowState::Normal);
    QWidget *sift = window(QStringLiteral("acctsift"));
    ASSERT_TRUE(sift);
    auto *message = control<QLabel>(sift, QStringLiteral("lblmessage"));
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->isVisible());
    EXPECT_TRUE(message->text().startsWith(QStringLiteral("The member accounts cannot be read.")));
    EXPECT_EQ(control<QTableWidget>(sift, QStringLiteral("gridresults"))->rowCount(), 0);
    EXPECT_FALSE(control<QPushButton>(sift, QStringLiteral("cmdselect"))->isEnabled());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(CompanionsTest, StaffAndDateLookupsLeaveTheirTexts) {
    standIns().start(QStringLiteral("staffsift"), {}, WindowState::Normal);
    QPointer<QWidget> staff = window(QStringLiteral("staffsift"));
    ASSERT_TRUE(staff);
    auto *search = control<QLineEdit>(staff, QStringLiteral("txtsearch"));
    search->setText(QStringLiteral("lutz"));
    emit search->returnPressed();
    auto *table = control<QTableWidget>(staff, QStringLiteral("gridresults"));
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("Inactive"));
    control<QPushButton>(staff, QStringLiteral("cmdselect"))->click();
    EXPECT_EQ(clipboard.content, QStringLiteral("110"));
    EXPECT_TRUE(waitFor([&] { return staff.isNull(); }));

    standIns().start(QStringLiteral("datesift"), {}, WindowState::Normal);
    QPointer<QWidget> dates = window(QStringLiteral("datesift"));
    ASSERT_TRUE(dates);
    auto *calendar = control<QCalendarWidget>(dates, QStringLiteral("calendar"));
    ASSERT_TRUE(calendar);
    EXPECT_EQ(calendar->selectedDate(), clock.today());
    calendar->setSelectedDate(QDate(2027, 3, 5));
    control<QPushButton>(dates, QStringLiteral("cmdselect"))->click();
    EXPECT_EQ(clipboard.content, QStringLiteral("20270305"));
    EXPECT_TRUE(waitFor([&] { return dates.isNull(); }));
}

TEST_F(CompanionsTest, HelpTextsAreReadOnlyBelowTheSecondThreshold) {
    module->session.AccessThresholds = {0, 10, 20, 30};
    write(QStringLiteral("evnt-1.txt"), "Main window help\n");

    module->session.UserLevel = 19;
    standIns().start(QStringLiteral("vrnedit.exe"), {QStringLiteral("evnt-1.txt")},
                     WindowState::Normal);
    QPointer<QWidget> viewer = window(QStringLiteral("vrnedit"));
    ASSERT_TRUE(viewer);
    auto *text = control<QPlainTextEdit>(viewer, QStringLiteral("Text1"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->toPlainText(), QStringLiteral("Main window help\n"));
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_FALSE(control<QPushButton>(viewer, QStringLiteral("cmdsave"))->isVisible());
    viewer->close();
    ASSERT_TRUE(waitFor([&] { return viewer.isNull(); }));

    module->session.UserLevel = 20;
    standIns().start(QStringLiteral("vrnedit.exe"), {QStringLiteral("evnt-1.txt")},
                     WindowState::Normal);
    viewer = window(QStringLiteral("vrnedit"));
    ASSERT_TRUE(viewer);
    text = control<QPlainTextEdit>(viewer, QStringLiteral("Text1"));
    auto *save = control<QPushButton>(viewer, QStringLiteral("cmdsave"));
    EXPECT_FALSE(text->isReadOnly());
    EXPECT_TRUE(save->isVisible());
    EXPECT_FALSE(save->isEnabled());
    text->setPlainText(QStringLiteral("Main window help, revised\n"));
    text->document()->setModified(true);
    ASSERT_TRUE(save->isEnabled());
    save->click();
    QFile file(path(QStringLiteral("evnt-1.txt")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "Main window help, revised\n");
    EXPECT_FALSE(save->isEnabled());
    EXPECT_EQ(control<QLabel>(viewer, QStringLiteral("lblnote"))->text(),
              QStringLiteral("evnt-1.txt saved."));
}

TEST_F(CompanionsTest, MissingHelpTextShowsAnEmptyViewerWithANote) {
    QFile::remove(path(QStringLiteral("evnt-3.txt")));
    standIns().start(QStringLiteral("vrnedit"), {QStringLiteral("evnt-3.txt")},
                     WindowState::Normal);
    QWidget *viewer = window(QStringLiteral("vrnedit"));
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(control<QPlainTextEdit>(viewer, QStringLiteral("Text1"))->toPlainText().isEmpty());
    EXPECT_TRUE(control<QLabel>(viewer, QStringLiteral("lblnote"))->text().contains("evnt-3.txt"));
}

TEST_F(CompanionsTest, InfoBoxIsModalAndReturnsZero) {
    QString shown;
    QString title;
    closeModalWhenShown([&](QWidget *modal) {
        title = modal->windowTitle();
        if (auto *info = modal->findChild<QLabel *>(QStringLiteral("lblinfo")))
            shown = info->text();
    });
    const int exitCode = standIns().runAndWait(
        QStringLiteral("quelvi32.exe"),
        {QStringLiteral("DEMO@moravel"), QStringLiteral("21.12.28a     SysUser: 1")});
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(shown, QStringLiteral("DEMO@moravel 21.12.28a     SysUser: 1"));
    EXPECT_EQ(title, QStringLiteral("About Moravel"));
}

TEST_F(CompanionsTest, PrinterSetUpReturnsZero) {
    bool seen = false;
    closeModalWhenShown([&](QWidget *) { seen = true; });
    EXPECT_EQ(standIns().runAndWait(QStringLiteral("prenvo.exe"), {}), 0);
    EXPECT_TRUE(seen);
}

TEST_F(CompanionsTest, PictureViewerShowsTheCaptureOrANote) {
    QImage capture(64, 48, QImage::Format_RGB32);
    capture.fill(Qt::darkCyan);
    ASSERT_TRUE(capture.save(path(QStringLiteral("screen.bmp")), "BMP"));
    // The caller names it the suite's way: the club folder, a backslash, the name.
    standIns().start(QStringLiteral("mspaint.exe"), {club + QStringLiteral("\\screen.bmp")},
                     WindowState::Normal);
    QPointer<QWidget> viewer = window(QStringLiteral("mspaint"));
    ASSERT_TRUE(viewer);
    auto *picture = control<QLabel>(viewer, QStringLiteral("picture"));
    ASSERT_TRUE(picture);
    EXPECT_FALSE(picture->pixmap().isNull());
    EXPECT_TRUE(control<QPushButton>(viewer, QStringLiteral("cmdprint"))->isEnabled());
    control<QPushButton>(viewer, QStringLiteral("cmdclose"))->click();
    EXPECT_TRUE(waitFor([&] { return viewer.isNull(); }));

    standIns().start(QStringLiteral("mspaint"), {QStringLiteral("nothing.bmp")},
                     WindowState::Normal);
    viewer = window(QStringLiteral("mspaint"));
    ASSERT_TRUE(viewer);
    EXPECT_FALSE(control<QPushButton>(viewer, QStringLiteral("cmdprint"))->isEnabled());
    EXPECT_EQ(control<QLabel>(viewer, QStringLiteral("lblnote"))->text(),
              QStringLiteral("nothing.bmp was not found."));
}

TEST_F(CompanionsTest, ShowsTheSelectedEventsSavesTheCsvAndCopiesTheAddresses) {
    auto work = selectEvents({event(1017, "Westmoreland Ho", "spitality Group Inc.", "no-at-sign"),
                              event(1002, "Smith, John", "", "john@smith.com"),
                              event(1009, "Ann Lee", "", "ann@example.org"),
                              event(1004, "Bob Hart", "", ""),
                              event(1011, "Ann Lee-Porter", "", "ANN@example.org")});
    ASSERT_TRUE(work);
    EXPECT_EQ(work->fileName(), QStringLiteral("rpt05.mdb"));

    ASSERT_TRUE(standIns().start(QStringLiteral("mailforge.exe"), {work->fileName()},
                                 WindowState::Maximized));
    QWidget *window = mailforge();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Email Generator"));

    auto *table = control<QTableWidget>(QStringLiteral("gridlist"));
    ASSERT_TRUE(table);
    ASSERT_EQ(table->rowCount(), 5);
    EXPECT_EQ(row(0), (QStringList{"Smith, John", "john@smith.com", "1002"}));
    EXPECT_EQ(row(1), (QStringList{"Bob Hart", "(no usable address)", "1004"}));
    EXPECT_EQ(row(4), (QStringList{"Westmoreland Hospitality Group Inc.",
                                   "no-at-sign  (no usable address)", "1017"}));
    EXPECT_EQ(label(QStringLiteral("lblcounts")),
              QStringLiteral("5 events, 2 addresses, 2 events without a usable address: 1004, "
                             "1017"));

    const QString csv = path(QStringLiteral("email05.csv"));
    EXPECT_EQ(label(QStringLiteral("lblsaved")),
              QStringLiteral("Saved as %1").arg(QDir::toNativeSeparators(csv)));
    EXPECT_TRUE(QFile::exists(csv)); // its bytes are the mail list's rule
    EXPECT_TRUE(label(QStringLiteral("lblnote")).startsWith("Nothing is sent from here"));

    auto *copy = control<QPushButton>(QStringLiteral("cmdcopy"));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->accessibleName(), QStringLiteral("Copy addresses"));
    copy->click();
    EXPECT_EQ(clipboard.content,
              QStringLiteral("\"Smith, John\" <john@smith.com>, Ann Lee <ann@example.org>"));
    EXPECT_EQ(label(QStringLiteral("lblmessage")), QStringLiteral("2 addresses copied."));

    QPointer<QWidget> closing = window;
    control<QPushButton>(QStringLiteral("cmdclose"))->click();
    EXPECT_TRUE(waitFor([&] { return closing.isNull(); }));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(CompanionsTest, AMissingWorkDatabaseIsShownInTheWindow) {
    // A path with blanks arrives split; it is joined before it is looked for.
    const QString missing = QDir(club).filePath(QStringLiteral("old lists/rpt05.mdb"));
    ASSERT_TRUE(
        standIns().start(QStringLiteral("mailforge"), missing.split(' '), WindowState::Normal));
    ASSERT_TRUE(mailforge());
    EXPECT_EQ(label(QStringLiteral("lblmessage")),
              QStringLiteral("The e-mail list cannot be made.\nThe work database %1 was not found.")
                  .arg(QDir::toNativeSeparators(missing)));
    EXPECT_EQ(control<QTableWidget>(QStringLiteral("gridlist"))->rowCount(), 0);
    EXPECT_FALSE(control<QPushButton>(QStringLiteral("cmdcopy"))->isEnabled());
    EXPECT_TRUE(label(QStringLiteral("lblsaved")).isEmpty());
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("email05.csv"))));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
