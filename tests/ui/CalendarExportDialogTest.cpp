#include "ui/CalendarExportDialog.h"

#include "ClubFixture.h"
#include "reports/CalendarExport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

using CalendarExportDialogTest = ClubFixture;

// The window shows the form the export starts from and hands back what the
// operator set in it; what the export writes is the export's own tests' rule.
TEST_F(CalendarExportDialogTest, ShowsTheFormAndOkHandsBackWhatTheOperatorSet) {
    exec(u"evnt"_s, u"insert into location (roomnum, room, capacity, subdiv) values (4, "
                    "'Library', 20, 0)"_s);
    CalendarExport logic(*module);
    ASSERT_TRUE(logic.open());
    CalendarExportDialog window(logic);
    auto *from = window.findChild<QDateEdit *>(u"dtpfrom"_s);
    auto *to = window.findChild<QDateEdit *>(u"dtpto"_s);
    auto *room = window.findChild<QComboBox *>(u"cboroom"_s);
    auto *file = window.findChild<QLineEdit *>(u"txtfile"_s);
    auto *error = window.findChild<QLabel *>(u"lblerror"_s);
    auto *ok = window.findChild<QPushButton *>(u"cmdok"_s);
    ASSERT_TRUE(from && to && room && file && error && ok);

    EXPECT_EQ(from->date(), logic.form.from);
    EXPECT_EQ(to->date(), logic.form.to);
    EXPECT_EQ(from->displayFormat(), logic.form.dateFormat);
    EXPECT_EQ(room->currentText(), u"Every room"_s);
    EXPECT_EQ(room->findText(u"Library"_s), 1);
    EXPECT_EQ(file->text(), logic.form.file);
    EXPECT_EQ(window.findChild<QLabel *>(u"lblzone"_s)->text(), logic.form.zone);
    EXPECT_TRUE(error->isHidden());

    // A refusal is said in the window, which stays open.
    file->setText(u"  "_s);
    ok->click();
    EXPECT_FALSE(error->isHidden());
    EXPECT_EQ(error->text(), logic.form.error);
    EXPECT_NE(window.result(), QDialog::Accepted);

    from->setDate(QDate(2027, 1, 2));
    to->setDate(QDate(2027, 3, 4));
    room->setCurrentIndex(1);
    const QString chosen = QDir::toNativeSeparators(path(u"library.ics"_s));
    file->setText(chosen);
    ok->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(logic.form.from, QDate(2027, 1, 2));
    EXPECT_EQ(logic.form.to, QDate(2027, 3, 4));
    EXPECT_EQ(logic.form.room, 4);
    EXPECT_EQ(logic.form.file, chosen);
    EXPECT_TRUE(QFile::exists(path(u"library.ics"_s)));
}

} // namespace
