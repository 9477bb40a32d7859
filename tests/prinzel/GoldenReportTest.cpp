#include "ReportClub.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The pages of pdftotext's output.
QStringList pages(const QString &text) {
    QStringList pages = text.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// Every page carries the headings and its own "Page n of N".
void expectHeadingsOnEveryPage(const QString &text, const QStringList &headings, int count) {
    const QStringList all = pages(text);
    ASSERT_EQ(all.size(), count);
    for (int i = 0; i < count; ++i) {
        for (const QString &heading : headings)
            EXPECT_TRUE(all[i].contains(heading)) << heading.toStdString() << " on page " << i + 1;
        EXPECT_TRUE(all[i].contains(QStringLiteral("Page %1 of %2").arg(i + 1).arg(count)))
            << "page " << i + 1;
    }
}

QString simplified(const QString &text) {
    return text.simplified();
}

TEST(GoldenReport, RoomConflictsOverTwoPages) {
    ReportClub club;
    club.exec(QStringLiteral("update headings set ctlauxtitle = ?"),
              {QStringLiteral("from 20270101 to 20270131")});
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
    club.execMany(QStringLiteral("insert into eventreserv values (?, ?, ?, ?, ?, ?)"), rows);
    const auto made = club.makePdf(ReportClub::block(QStringLiteral("EVNTCON1.RPT")));
    ASSERT_TRUE(made) << made.error().message.toStdString();
    const QString text = club.text();
    expectHeadingsOnEveryPage(text,
                              {"Harbour Club", "Event/Room Conflicts", "from 20270101 to 20270131",
                               "Larger room booking", "Printed 01/15/2027"},
                              *made);
    EXPECT_GE(*made, 2);
    const QRegularExpression event1(QStringLiteral("\\b1\\d\\d\\d\\b"));
    int expected = 1000;
    for (auto match = event1.globalMatch(text); match.hasNext();)
        EXPECT_EQ(match.next().captured().toInt(), expected++) << "each row once, in order";
    EXPECT_EQ(expected, 1070);
    expectGolden(QStringLiteral("evntcon1.txt"), text);
}

TEST(GoldenReport, AnEmptyTablePrintsItsHeadings) {
    ReportClub club;
    club.exec(QStringLiteral("update headings set ctlauxtitle = ?"),
              {QStringLiteral("from 20270201 to 20270228")});
    const auto made = club.makePdf(ReportClub::block(QStringLiteral("evntcon1.rpt")));
    ASSERT_TRUE(made) << made.error().message.toStdString();
    EXPECT_EQ(*made, 1);
    const QString text = club.text();
    expectHeadingsOnEveryPage(text,
                              {"Harbour Club", "Event/Room Conflicts", "from 20270201 to 20270228",
                               "There are no room conflicts."},
                              1);
    expectGolden(QStringLiteral("evntcon1-empty.txt"), text);
}

TEST(GoldenReport, TaskListPrintsTextAsTyped) {
    ReportClub club;
    QString longTask;
    for (int word = 1; longTask.size() < 255; ++word)
        longTask += QStringLiteral("step%1 ").arg(word);
    longTask = longTask.left(255).trimmed();
    const QStringList special{
        QStringLiteral("Confirm \"Gold\" package & the bride's <b>menu</b> \u2615"),
        QStringLiteral("<script>alert('x')</script> {{headings.ctlcompname}} &amp;"), longTask};
    QList<QVariantList> rows;
    for (int i = 0; i < 60; ++i)
        rows.append({100 + i / 5, 20270101 + i % 28,
                     i % 3 ? QStringLiteral("Y") : QStringLiteral("N"),
                     i < 3 ? special[i] : QStringLiteral("Call the florist, item %1").arg(i),
                     i == 2 ? QString() : QStringLiteral("DEMO")});
    club.execMany(QStringLiteral("insert into tasklist values (?, ?, ?, ?, ?)"), rows);
    // The events by date, not by number; 104 was deleted since, room 3 has no
    // name and 107 no room.
    QList<QVariantList> events;
    for (int event = 100; event < 112; ++event) {
        if (event != 104)
            events.append({event, 20270320 - (event - 100),
                           QStringLiteral("Event %1 & \"guests\"").arg(event),
                           event == 107 ? 0 : 1 + event % 3});
    }
    club.execMany(QStringLiteral("insert into eventinfo (eventnum, eventdate, eventtitle, "
                                 "roomnumber) values (?, ?, ?, ?)"),
                  events);
    club.execMany(QStringLiteral("insert into location (roomnum, room) values (?, ?)"),
                  {{1, QStringLiteral("Main Dining Room")}, {2, QStringLiteral("Terrace")}});
    club.exec(QStringLiteral("update headings set ctlauxtitle = ?"),
              {QStringLiteral("Tasks to be done by 01/05/2027")});
    const auto made = club.makePdf(ReportClub::block(QStringLiteral("evnttask1.rpt")));
    ASSERT_TRUE(made) << made.error().message.toStdString();
    EXPECT_GE(*made, 2);
    const QString text = club.text();
    expectHeadingsOnEveryPage(
        text,
        {"Harbour Club", "Event Task List", "Tasks to be done by 01/05/2027", "Task to be done"},
        *made);
    for (const QString &task : special)
        EXPECT_TRUE(simplified(text).contains(task)) << task.toStdString();
    for (const char *event :
         {"Event# 100, Saturday, 03/20/2027, Event 100 & \"guests\", Terrace",
          "Event# 101, Friday, 03/19/2027, Event 101 & \"guests\", Room 3", "Event# 104",
          "Event# 107, Saturday, 03/13/2027, Event 107 & \"guests\" To-do"})
        EXPECT_TRUE(simplified(text).contains(QString::fromUtf8(event))) << event;
    EXPECT_LT(text.indexOf(QStringLiteral("Event# 111")),
              text.indexOf(QStringLiteral("Event# 100")))
        << "the events by date";
    EXPECT_TRUE(pages(text).value(1).contains(QStringLiteral("Event# 106, Sunday")))
        << "an event's tasks that run on to the next page come under its line again";
    expectGolden(QStringLiteral("evnttask1.txt"), text);
}

} // namespace
