#include "ClubFixture.h"
#include "WaitFor.h"
#include "reports/CalendarExport.h"
#include "ui/CalendarExportDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

class CalendarExportViewTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        signIn(99);
        exec(QStringLiteral("evnt"), QStringLiteral("insert into location (roomnum, room, "
                                                    "capacity, subdiv) values (4, 'Terrace', "
                                                    "40, 0)"));
        exec(QStringLiteral("evnt"),
             QStringLiteral("insert into eventinfo (eventnum, eventdate, eventtitle, status, "
                            "roomnumber, starttime, endtime) values (1, 20261212, 'Gala', 4, 4, "
                            "'19:00', '23:00')"));
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }
    template <typename T> T *child(QWidget &window, const char *name) {
        auto *found = window.findChild<T *>(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
};

TEST_F(CalendarExportViewTest, OneWindowChoosesDatesRoomAndFileAndCancelWritesNothing) {
    CalendarExport logic(*module);
    ASSERT_TRUE(logic.open());
    const QString file = path(QStringLiteral("terrace.ics"));
    {
        CalendarExportDialog window(logic);
        window.show();
        auto *room = child<QComboBox>(window, "cboroom");
        ASSERT_EQ(room->count(), 2);
        EXPECT_EQ(room->itemText(0), QStringLiteral("Every room"));
        for (const char *name : {"dtpfrom", "dtpto"})
            EXPECT_TRUE(child<QDateEdit>(window, name)->calendarPopup()) << name;
        EXPECT_EQ(child<QDateEdit>(window, "dtpfrom")->date(), QDate(2026, 12, 1));
        room->setCurrentIndex(1);

        // An empty file name is said in the window, which stays open.
        child<QLineEdit>(window, "txtfile")->clear();
        child<QPushButton>(window, "cmdok")->click();
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(child<QLabel>(window, "lblerror")->isVisible());
        EXPECT_EQ(child<QLabel>(window, "lblerror")->text(),
                  QStringLiteral("Choose the file to save the calendar in."));

        // The file comes from the file window.
        QTimer::singleShot(0, [&] {
            auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_TRUE(files);
            files->selectFile(file);
            static_cast<QDialog *>(files)->accept();
        });
        child<QPushButton>(window, "cmdbrowse")->click();
        EXPECT_EQ(child<QLineEdit>(window, "txtfile")->text(), QDir::toNativeSeparators(file));
        EXPECT_FALSE(child<QLabel>(window, "lblerror")->isVisible());
        child<QPushButton>(window, "cmdok")->click();
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("SUMMARY:Gala\r\n"));
    EXPECT_EQ(
        prompts.messageTexts(),
        QStringList{
            QStringLiteral("1 events were written to %1.").arg(QDir::toNativeSeparators(file))});

    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(logic.open());
    CalendarExportDialog again(logic);
    again.show();
    child<QLineEdit>(again, "txtfile")->setText(file);
    child<QPushButton>(again, "cmdcancel")->click();
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(file));
}

} // namespace
