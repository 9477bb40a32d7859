#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "billing/PointOfSaleExport.h"
#include "ui/PointOfSaleExportWindow.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

namespace {

class PointOfSaleViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }

    QByteArray request(int till) {
        QFile file(path(QStringLiteral("qnpos%1.req").arg(till, 2, 10, QLatin1Char('0'))));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }
    // A window left open by a failure would wait for the operator forever.
    void closeLeftoverWindowsIn(int milliseconds) {
        QTimer::singleShot(milliseconds, [] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *dialog = qobject_cast<PointOfSaleExportWindow *>(window)) {
                    ADD_FAILURE() << "the export window stayed open: "
                                  << dialog->findChild<QLabel *>(QStringLiteral("lblmsg"))
                                         ->text()
                                         .toStdString();
                    dialog->findChild<QPushButton *>(QStringLiteral("cmderror"))->click();
                    dialog->done(QDialog::Rejected);
                }
            }
        });
    }
};

// What reaches the tills is the export's rule; the window runs it, passes
// its reload code on to both tills and closes by itself.
TEST_F(PointOfSaleViewTest, TheExportWindowRefreshesTheDemoTillsAndClosesByItself) {
    PointOfSaleExport logic(module->databases, module->messages, module->longOperation);
    closeLeftoverWindowsIn(30000);
    PointOfSaleExportWindow window(logic, QStringLiteral("40"));
    EXPECT_EQ(window.exec(), QDialog::Accepted);
    EXPECT_EQ(request(1), QByteArray("40 , 0 , 0 , 0 , 0\r\n"));
    EXPECT_EQ(request(2), QByteArray("40 , 0 , 0 , 0 , 0\r\n"));
}

TEST_F(PointOfSaleViewTest, AnErrorKeepsTheWindowOpenUntilItIsAcknowledged) {
    removeDatabase(QStringLiteral("qnposemp"));
    PointOfSaleExport logic(module->databases, module->messages, module->longOperation);
    PointOfSaleExportWindow window(logic, QStringLiteral("19"));
    window.show();
    ASSERT_TRUE(waitFor([&] { return logic.ErrorFlag == 1; }));
    auto *error = window.findChild<QPushButton *>(QStringLiteral("cmderror"));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("lblmsg"))->text(),
              QStringLiteral("Error 53 @ 1"));
    window.close();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible()) << "neither closing nor Escape while the error shows";
    error->click();
    EXPECT_FALSE(error->isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

// With the tills' program in the club, an account made in the event window
// is at the tills before the operator carries on.
TEST_F(PointOfSaleViewTest, ANewEventAccountReachesBothTillsFromTheEventWindow) {
    QFile tillProgram(path(QStringLiteral("TILLZO.EXE")));
    ASSERT_TRUE(tillProgram.open(QIODevice::WriteOnly));
    ShownWindow shown(*module, club, QStringLiteral("till-view-test"));
    ASSERT_TRUE(shown.show(QSize(1366, 900)));
    MainWindow &window = shown.window;
    const int event = eventNumber(QStringLiteral("Sullivan-Park Reception"));
    QLineEdit *account = shown.typeAccount(event, QStringLiteral("New"));
    auto *assign = window.findChild<QPushButton *>(QStringLiteral("cmdassign"));
    ASSERT_TRUE(account && assign);
    closeLeftoverWindowsIn(30000);
    assign->click();
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Billing Account # 90002 created.\r\nClick OK to update Tillzo POS "
                             "with new account information..."));
    EXPECT_TRUE(
        column(QStringLiteral("qnposmem"), QStringLiteral("select acctnumber from acctinfo"))
            .contains(90002));
    EXPECT_EQ(request(1), QByteArray("16 , 0 , 0 , 0 , 0\r\n"));
    EXPECT_EQ(request(2), QByteArray("16 , 0 , 0 , 0 , 0\r\n"));
    EXPECT_EQ(account->text(), QStringLiteral("90002"));
    EXPECT_TRUE(window.button(EventCommand::Save)->isEnabled() && window.menuBar()->isEnabled())
        << "the window is free again once the tills are done";
}

} // namespace
