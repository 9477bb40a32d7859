#include "ReceptionFixture.h"
#include "events/ChangeLog.h"
#include "orders/EventOrderWindow.h"
#include "ports/QtPrograms.h"
#include "reports/ReportMenu.h"
#include "startup/ClubUpgrade.h"

#include <QFile>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

const QString Evnt = u"evnt"_s;
const QString Day = u"20270612"_s;

// The papers printed from the Reports menu and the order window by the real
// report program, read back from the PDF: the reception with its order
// typed, the office working the day before.
class OrderPapersTest : public PrintingFixture {
protected:
    void SetUp() override {
        PrintingFixture::SetUp();
        clock.current = QDateTime(QDate(2027, 6, 11), QTime(9, 30));
        menu = std::make_unique<ReportMenu>(*printing);

        printing->event.EventNumber = event;
        window = std::make_unique<EventOrderWindow>(*printing);
        ASSERT_TRUE(window->open());
        for (const auto &[field, text] :
             {std::pair{OrderField::Style, u"Banquet rounds"_s},
              {OrderField::Tables, u"8"_s},
              {OrderField::Seats, u"64"_s},
              {OrderField::Linen, u"Ivory, floor length"_s},
              {OrderField::KitchenNote, u"Salmon plated at 19:15.\nNo nuts at table 4."_s},
              {OrderField::BarNote, u"Last call 23:30"_s},
              {OrderField::SiteContact, u"Colleen Reilly"_s},
              {OrderField::SitePhone, u"267-555-0199"_s}})
            window->editField(field, text);
        const QStringList timeline{u"17:30"_s,         u"Guests arrive"_s, u"19:00"_s,
                                   u"Dinner served"_s, u"21:00"_s,         u"Dancing"_s};
        for (int line = 0; line < 3; ++line)
            window->editTimeline(line, timeline[2 * line], timeline[2 * line + 1]);
        const QStringList needs{u"Vegetarian"_s, u"12"_s,          u"Gluten-free"_s,
                                u"3"_s,          u"Nut allergy"_s, u"1"_s};
        for (int line = 0; line < 3; ++line)
            window->editDietary(line, needs[2 * line], needs[2 * line + 1]);
        window->chooseCourse(1, u"Starter"_s); // the salmon
        ASSERT_TRUE(window->save());
    }
    void TearDown() override {
        window.reset();
        menu.reset();
        PrintingFixture::TearDown();
    }

    QString order(OrderReports::Copy copy) {
        menu->printOrder(copy);
        return printed();
    }
    // A paper of the dates from the menu, the day asked twice.
    QString days(void (ReportMenu::*command)(), const QString &from, const QString &to) {
        prompts.answerInput(from);
        prompts.answerInput(to);
        prompts.offered.clear();
        (menu.get()->*command)();
        EXPECT_EQ(prompts.offered, (QStringList{Day, Day})) << "tomorrow is offered";
        return printed();
    }
    QString issueRecord() {
        return rowTexts(Evnt,
                        u"select revision, issuedat, issuedby, issuedchanged, issuedprints "
                        "from eventorder where eventnum = ?"_s,
                        {event})
            .join(u'/');
    }

    std::unique_ptr<ReportMenu> menu;
    std::unique_ptr<EventOrderWindow> window;
};

TEST_F(OrderPapersTest, TheKitchensAndTheClientsCopyPrintTheOrderEachWithItsOwnParts) {
    const QString number = QString::number(event);
    const QString kitchen = order(OrderReports::Copy::Kitchen);
    EXPECT_EQ(
        missing(
            kitchen,
            {u"Event Order"_s, u"Park Reception"_s, u"Event #"_s + number, u"Draft - not issued"_s,
             u"Date Saturday, June 12, 2027 Contact Hannah Park, 267-555-0136"_s,
             u"Time 6:00 PM to 11:00 PM On site Colleen Reilly, 267-555-0199"_s,
             u"Room Library Guests set for 60, guarantee 58"_s, u"Timeline"_s,
             u"5:30 PM Guests arrive"_s, u"7:00 PM Dinner served"_s, u"9:00 PM Dancing"_s,
             u"Set-up Style Banquet rounds Seating 8 tables, 64 seats Linen Ivory, floor length"_s,
             u"Menu Starter 30 Grilled Salmon Main 28 Filet Mignon Bar 232 Open Bar"_s,
             u"Dietary counts 12 Vegetarian 3 Gluten-free 1 Nut allergy 16 of 58 guests"_s,
             u"Service notes Kitchen Salmon plated at 19:15. No nuts at table 4."_s,
             u"Bar Last call 23:30"_s, u"Kitchen manager Name"_s, u"Bar manager"_s,
             u"Floor manager"_s}),
        QString())
        << kitchen.toStdString();
    for (const QString &priced : {u"Price"_s, u"1,170.00"_s, u"Approved"_s})
        EXPECT_FALSE(kitchen.contains(priced)) << priced.toStdString();

    const QString client = order(OrderReports::Copy::Client);
    EXPECT_EQ(missing(client, {u"Event Order - Client's Copy"_s, u"Park Reception"_s,
                               u"Room Library Guests set for 60, guarantee 58"_s,
                               u"9:00 PM Dancing"_s, u"Menu Qty Item Price Service Tax Total"_s,
                               u"Starter 30 Grilled Salmon 1,170.00 210.60 81.90 1,462.50"_s,
                               u"Main 28 Filet Mignon 1,344.00 241.92 94.08 1,680.00"_s,
                               u"Bar 232 Open Bar 2,784.00 501.12 194.88 3,480.00"_s,
                               u"Total 5,298.00 953.64 370.86 6,622.50"_s, u"16 of 58 guests"_s,
                               u"Approved as shown Client Name"_s}),
              QString())
        << client.toStdString();
    // The staff's notes and sign-off are the staff's.
    for (const QString &staff : {u"Service notes"_s, u"Salmon plated"_s, u"Kitchen manager"_s})
        EXPECT_FALSE(client.contains(staff)) << staff.toStdString();

    // No event shown, nothing printed.
    printing->event.EventNumber = 0;
    menu->printOrder(OrderReports::Copy::Kitchen);
    EXPECT_EQ(prompts.lastMessage().text, u"No event has been selected..."_s);
    EXPECT_FALSE(QFile::exists(path(u"paper.pdf"_s)));
}

TEST_F(OrderPapersTest, EachRevisionMarksWhatChangedAndAPlainPrintChangesNothing) {
    // Issued from the window, revision 1 prints with no marks.
    window->issue();
    QString paper = printed();
    EXPECT_TRUE(paper.contains(u"Revision 1, issued 06/11/2027 by DEMO"_s)) << paper.toStdString();
    EXPECT_FALSE(paper.contains(u"CHANGED"_s) || paper.contains(u"changed"_s));

    // An item changed: a plain print is a draft with the menu marked, and
    // writes nothing.
    exec(Evnt,
         u"update items set qty = 31, itemdesc = '31 Grilled Salmon' where eventid = ? and "
         "itemnum = 103"_s,
         {event});
    const QString issued = issueRecord();
    const QString count = rowTexts(Evnt, u"select changecount from eventchange"_s).join(u',');
    paper = order(OrderReports::Copy::Kitchen);
    EXPECT_EQ(missing(paper, {u"Draft: changed since revision 1"_s,
                              u"Menu ▶ changed since revision 1"_s, u"31 Grilled Salmon"_s}),
              QString())
        << paper.toStdString();
    EXPECT_EQ(paper.count(u"▶"_s), 1) << "the menu alone is marked";
    EXPECT_EQ(issueRecord(), issued);
    EXPECT_EQ(rowTexts(Evnt, u"select changecount from eventchange"_s).join(u','), count);

    // Issued again: revision 2, its menu marked.
    ASSERT_TRUE(window->open());
    window->issue();
    paper = printed();
    EXPECT_EQ(missing(paper, {u"Revision 2, issued 06/11/2027 by DEMO"_s,
                              u"Menu ▶ CHANGED IN REVISION 2"_s, u"31 Grilled Salmon"_s}),
              QString())
        << paper.toStdString();
    EXPECT_EQ(paper.count(u"▶"_s), 1);

    // Nothing changed since: issuing again keeps revision 2 and its marks.
    window->issue();
    EXPECT_EQ(window->statusText, u"Nothing changed since revision 2; printed again as it was"_s);
    paper = printed();
    EXPECT_EQ(missing(paper, {u"Revision 2, issued"_s, u"Menu ▶ CHANGED IN REVISION 2"_s}),
              QString())
        << paper.toStdString();
    EXPECT_FALSE(paper.contains(u"Revision 3"_s));

    // Cancelled, the order says so at once, whatever was issued.
    exec(Evnt, u"update eventinfo set status = 9 where eventnum = ?"_s, {event});
    paper = order(OrderReports::Copy::Kitchen);
    EXPECT_TRUE(paper.contains(u"EVENT CANCELLED - do not prepare"_s)) << paper.toStdString();
    EXPECT_EQ(paper.count(u"▶"_s), 0);

    // Each issue that raised the revision has its line in the change log.
    QFile log(path(QString::fromLatin1(ChangeLog::FileName)));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(log.readAll());
    EXPECT_EQ(logged.count(u"Event order revision"_s), 2);
    EXPECT_TRUE(logged.contains(ChangeLog::historyKey(event) +
                                u"\\Event order revision 2 issued (changed: Menu)"_s))
        << logged.toStdString();
}

TEST_F(OrderPapersTest, ADaysFunctionSheetAndProductionCoverItsBookedEventsOnly) {
    ASSERT_EQ(book(Day, u"Garden Luncheon"_s, u"12:00"_s, u"14:30"_s, 1, 2),
              EventRecord::Saved::Done);
    const int luncheon = lastNumber;
    exec(Evnt, u"update eventinfo set setfor = 40 where eventnum = ?"_s, {luncheon});
    addItems(luncheon, {{40, 101, 1, u"Filet Mignon"_s, "1920, 0, 0"},
                        {40, 301, 3, u"Iced Tea"_s, "120, 0, 0"},
                        {5, 101, 1, u"Filet Mignon"_s, "240, 0, 0"}});
    exec(Evnt,
         u"insert into eventorder (eventnum, setupstyle, tablecount, seatcount, revision) "
         "values (?, 'Theatre', 0, 40, 0)"_s,
         {luncheon});
    exec(Evnt,
         u"insert into eventordertime (eventnum, ord, attime, what) values (?, 1, '11:30', "
         "'Doors open')"_s,
         {luncheon});
    // An enquiry the same morning is no booking yet.
    ASSERT_EQ(book(Day, u"Smith Enquiry"_s, u"09:00"_s, u"11:00"_s, 2, 1),
              EventRecord::Saved::Done);
    addItems(lastNumber, {{10, 101, 1, u"Filet Mignon"_s, "480, 0, 0"}});
    const QString lunch = QString::number(luncheon), park = QString::number(event);

    const QString sheet = days(&ReportMenu::printFunctionSheet, Day, Day);
    EXPECT_EQ(
        missing(sheet,
                {u"Function Sheet Saturday, June 12, 2027"_s, u"Saturday, June 12, 2027"_s,
                 u"12:00 PM - 2:30 PM Ballroom: Garden Luncheon (#%1) Set for 40"_s.arg(lunch),
                 u"Set-up: Theatre, 40 seats"_s, u"11:30 AM Doors open"_s,
                 u"6:00 PM - 11:00 PM Library: Park Reception (#%1) Set for 60, guar. "
                 "58"_s.arg(park),
                 u"Set-up: Banquet rounds, 8 tables, 64 seats"_s, u"5:30 PM Guests arrive"_s,
                 u"9:00 PM Dancing"_s}),
        QString())
        << sheet.toStdString();
    EXPECT_FALSE(sheet.contains(u"Smith"_s));

    const QString production = days(&ReportMenu::printProduction, Day, Day);
    EXPECT_EQ(missing(production,
                      {u"Kitchen Production Saturday, June 12, 2027"_s,
                       u"12:00 PM - 2:30 PM #%1 Garden Luncheon Ballroom 40"_s.arg(lunch),
                       u"6:00 PM - 11:00 PM #%1 Park Reception Library 58 2 events 98"_s.arg(park),
                       u"Starter 30 Grilled Salmon #%1 Park Reception 30"_s.arg(park),
                       u"Main 73 Filet Mignon #%1 Garden Luncheon 45; #%2 Park Reception 28"_s.arg(
                           lunch, park),
                       u"Bar 232 Open Bar #%1 Park Reception 232"_s.arg(park),
                       u"Other 40 Iced Tea #%1 Garden Luncheon 40"_s.arg(lunch)}),
              QString())
        << production.toStdString();
    EXPECT_FALSE(production.contains(u"Smith"_s));

    const QString none = days(&ReportMenu::printFunctionSheet, u"20270701"_s, u"20270702"_s);
    EXPECT_TRUE(none.contains(u"from 07/01/2027 to 07/02/2027 No events are booked."_s))
        << none.toStdString();
}

} // namespace
