#include "ClubFixture.h"
#include "WaitFor.h"
#include "ports/QtPrograms.h"
#include "ui/companions/StandIns.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <memory>

namespace {

using WindowState = Programs::WindowState;

class MailforgeWindowTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        signIn(99);
        module->session.SysUser = 105;
        programsInClub = std::make_unique<QtPrograms>(club);
        registerStandIns(*programsInClub, *module, nullptr);
    }
    void TearDown() override {
        for (QWidget *window : QApplication::topLevelWidgets())
            window->close();
        EXPECT_TRUE(waitFor([this] { return !mailforge(); }));
        EXPECT_TRUE(prompts.messages.isEmpty());
        programsInClub.reset();
        ClubFixture::TearDown();
    }

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

    QWidget *mailforge() {
        for (QWidget *candidate : QApplication::topLevelWidgets())
            if (candidate->objectName() == QLatin1String("mailforge") && candidate->isVisible())
                return candidate;
        return nullptr;
    }
    template <typename T> T *control(const QString &name) {
        QWidget *window = mailforge();
        return window ? window->findChild<T *>(name) : nullptr;
    }
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

TEST_F(MailforgeWindowTest, ShowsTheSelectedEventsSavesTheCsvAndCopiesTheAddresses) {
    auto work = selectEvents({event(1017, "Westmoreland Ho", "spitality Group Inc.", "no-at-sign"),
                              event(1002, "Smith, John", "", "john@smith.com"),
                              event(1009, "Ann Lee", "", "ann@example.org"),
                              event(1004, "Bob Hart", "", ""),
                              event(1011, "Ann Lee-Porter", "", "ANN@example.org")});
    ASSERT_TRUE(work);
    EXPECT_EQ(work->fileName(), QStringLiteral("rpt05.mdb"));

    ASSERT_TRUE(programsInClub->start(QStringLiteral("mailforge.exe"), {work->fileName()},
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
}

TEST_F(MailforgeWindowTest, AMissingWorkDatabaseIsShownInTheWindow) {
    // A path with blanks arrives split; it is joined before it is looked for.
    const QString missing = QDir(club).filePath(QStringLiteral("old lists/rpt05.mdb"));
    ASSERT_TRUE(programsInClub->start(QStringLiteral("mailforge"), missing.split(' '),
                                      WindowState::Normal));
    ASSERT_TRUE(mailforge());
    EXPECT_EQ(label(QStringLiteral("lblmessage")),
              QStringLiteral("The e-mail list cannot be made.\nThe work database %1 was not found.")
                  .arg(QDir::toNativeSeparators(missing)));
    EXPECT_EQ(control<QTableWidget>(QStringLiteral("gridlist"))->rowCount(), 0);
    EXPECT_FALSE(control<QPushButton>(QStringLiteral("cmdcopy"))->isEnabled());
    EXPECT_TRUE(label(QStringLiteral("lblsaved")).isEmpty());
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("email05.csv"))));
}

} // namespace
