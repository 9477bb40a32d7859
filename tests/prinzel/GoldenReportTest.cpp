#include "ReportClub.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Prints the layout and compares the whole text, every page's headings and
// "Page n of N" with it, with its golden file; the job's page count is the
// text's.
void expectReport(ReportClub &club, const char *layout, const char *golden) {
    const QString text = club.print(ReportClub::block(layout));
    EXPECT_EQ(text.count(QLatin1Char('\f')), club.pages);
    expectGolden(golden, text);
}

// Empty, the table prints its headings; full, it goes over two pages.
TEST(GoldenReport, RoomConflictsEmptyAndOverTwoPages) {
    ReportClub club;
    club.exec("update headings set ctlauxtitle = ?", {"from 20270201 to 20270228"});
    expectReport(club, "evntcon1.rpt", "evntcon1-empty.txt");
    club.exec("update headings set ctlauxtitle = ?", {"from 20270101 to 20270131"});
    QList<QVariantList> rows;
    for (int i = 0; i < 70; ++i) {
        const QString slot = QStringLiteral("%1:%2")
                                 .arg(8 + i % 48 / 4, 2, 10, QLatin1Char('0'))
                                 .arg(i % 4 * 15, 2, 10, QLatin1Char('0'));
        const QString larger = i % 9 == 0 ? QStringLiteral("Wedding reception of the Smith and "
                                                           "Jones families, dinner and dance")
                                          : QStringLiteral("Reception %1").arg(i);
        // Inserted out of order: the layout sorts by date and time.
        rows.prepend({20270101 + i / 48, slot, 1000 + i, larger, 2000 + i,
                      QStringLiteral("Board meeting %1").arg(i)});
    }
    club.execMany("insert into eventreserv values (?, ?, ?, ?, ?, ?)", rows);
    expectReport(club, "EVNTCON1.RPT", "evntcon1.txt");
}

TEST(GoldenReport, TaskListPrintsTextAsTyped) {
    ReportClub club;
    QString longTask;
    for (int word = 1; longTask.size() < 255; ++word)
        longTask += QStringLiteral("step%1 ").arg(word);
    longTask = longTask.left(255).trimmed();
    const QStringList special{"Confirm \"Gold\" package & the bride's <b>menu</b> \u2615",
                              "<script>alert('x')</script> {{headings.ctlcompname}} &amp;",
                              longTask};
    QList<QVariantList> rows;
    for (int i = 0; i < 60; ++i)
        rows.append({100 + i / 5, 20270101 + i % 28,
                     i % 3 ? QStringLiteral("Y") : QStringLiteral("N"),
                     i < 3 ? special[i] : QStringLiteral("Call the florist, item %1").arg(i),
                     i == 2 ? QString() : QStringLiteral("DEMO")});
    club.execMany("insert into tasklist values (?, ?, ?, ?, ?)", rows);
    // The events by date, not by number; 104 was deleted since, room 3 has no
    // name and 107 no room.
    QList<QVariantList> events;
    for (int event = 100; event < 112; ++event) {
        if (event != 104)
            events.append({event, 20270320 - (event - 100),
                           QStringLiteral("Event %1 & \"guests\"").arg(event),
                           event == 107 ? 0 : 1 + event % 3});
    }
    club.execMany("insert into eventinfo (eventnum, eventdate, eventtitle, "
                  "roomnumber) values (?, ?, ?, ?)",
                  events);
    club.execMany("insert into location (roomnum, room) values (?, ?)",
                  {{1, "Main Dining Room"}, {2, "Terrace"}});
    club.exec("update headings set ctlauxtitle = ?", {"Tasks to be done by 01/05/2027"});
    expectReport(club, "evnttask1.rpt", "evnttask1.txt");
}

} // namespace
